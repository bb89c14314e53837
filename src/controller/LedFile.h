#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "base/Result.h"
#include "base/Random.h"
#include "controller/Card.h"
#include "controller/Catalogue.h"
#include "controller/ChannelMap.h"
#include "formats/Spread.h"
#include "lang/UiStrings.h"
#include "layout/Layout.h"
#include "project/Frame.h"

namespace corv {

// Frames for the writers, delivered one at a time.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual std::size_t Count() const = 0;
    // Frame i, valid until the next call; nullptr when it cannot be had.
    virtual const Frame* Get(std::size_t i) = 0;
    // An independent source of the same frames for another thread, or nullptr when the frames
    // can be had on one thread only.
    virtual std::unique_ptr<FrameSource> Fork() const { return nullptr; }
};

// The frames of a clip in memory.
class ClipFrameSource : public FrameSource {
public:
    explicit ClipFrameSource(const std::vector<Frame>& frames) : frames_(frames) {}
    std::size_t Count() const override { return frames_.size(); }
    const Frame* Get(std::size_t i) override { return i < frames_.size() ? &frames_[i] : nullptr; }
    std::unique_ptr<FrameSource> Fork() const override { return std::make_unique<ClipFrameSource>(frames_); }

private:
    const std::vector<Frame>& frames_;
};

// What the writers need besides the frames.
struct WriterInput {
    const Layout* layout = nullptr;
    const std::vector<LightTypeRecord>* lamps = nullptr;
    const ChipCatalogue* catalogue = nullptr;
    FrameShape frame;
    int speed = 30;  // the simple writer's playback speed byte
};

// The 13-byte slave records and the clock-byte and chip-code rules.
std::uint8_t RemapChipCode(int code);
std::uint8_t ClockByte(int controllerType, int code, int clock);

// Writes one controller data file for slaves s0 .. s0 + n - 1 (the single and simple
// families use slave s0) and frames first .. end - 1. A failure when the file cannot be
// written, with the reason as its message (a line too long for the file, an unreadable frame,
// the path and the system's reason).
Result<Done> WriteLedFile(const std::filesystem::path& path, const WriterInput& in, int s0, int n, FrameSource& frames,
                          std::size_t first, std::size_t end, Random& rng, const ProgressFn& progress = {});

// What an output wrote, for the detail under "Output File finished!".
struct OutputFileReport {
    std::filesystem::path path;
    std::size_t frames = 0;
    std::uintmax_t bytes = 0;       // the file's size on disk
    std::filesystem::path cardCopy;  // where it was copied on the card; empty when it was not
};
struct OutputReport {
    std::vector<OutputFileReport> files;  // in master order
    bool cardSearched = false;            // a card was looked for after each file
    bool cardFound = false;
    // After the card copy of `file` (CopyToCard's answer).
    void NoteCardCopy(const std::filesystem::path& file, const CardCopyResult& copy);
};
// The report as lines in the language of `strings`: each file with its path, frame count and
// size, then whether a card was found and what was written to it.
std::vector<std::string> OutputReportLines(const OutputReport& report, const UiStrings& strings);
// The same lines joined by newlines.
std::string OutputReportText(const OutputReport& report, const UiStrings& strings);

struct OutputResult {
    bool ok = false;
    std::vector<std::filesystem::path> files;  // written, in master order
    std::vector<std::string> messages;         // what the user is shown, in order
    OutputReport report;                       // the files written (filled in by the output entry)
};

// The output entry: one file per master controller named from the chosen path ("%s%d.led"
// from the path without its extension, or the chosen name with one master);
// `afterFile` (the removable-disk copy) runs after each file is closed.
OutputResult OutputControllerFiles(const WriterInput& in, FrameSource& frames, std::size_t first, std::size_t end,
                                   const std::filesystem::path& chosen, Random& rng, const UiStrings& strings,
                                   const ProgressFn& progress = {},
                                   const std::function<void(const std::filesystem::path&)>& afterFile = {});

// The master file names and slave ranges the output entry uses.
struct MasterFile {
    std::filesystem::path path;
    int firstSlave = 0;
    int slaves = 0;
};
std::vector<MasterFile> PlanMasterFiles(const Layout& layout, const std::filesystem::path& chosen);

}  // namespace corv
