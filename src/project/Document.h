#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "base/Result.h"
#include "project/EffectLayer.h"
#include "project/EffectList.h"
#include "project/FrameStore.h"

namespace corv {

// The project document (".cvn"): header, frame store block and the optional design tail.
namespace document {
inline constexpr char kMagic[4] = {'l', 'e', 'd', 'v'};
inline constexpr std::size_t kHeaderSize = 10;
inline constexpr std::uint8_t kVersionScrambled = 0x00;   // what we write
inline constexpr std::uint8_t kVersionPlainCounts = '1';  // older files: counts stored as is
inline constexpr std::size_t kLineFilePathSize = 260;
// Offset of the frame store block.
inline constexpr std::size_t kFrameStoreOffset = 18;
// Name of the single entry of a compressed document and of the working copy.
inline constexpr const char* kEntryName = "Corvantinev.cvn";
// Where embedded music goes when a document is opened.
inline constexpr const char* kMusicFileName = "EffectMusic.mp3";
// Largest frame side a document may hold (frame sizes are 16-bit signed in the program).
inline constexpr std::uint32_t kMaxSide = 32767;
}  // namespace document

enum class DocError {
    None,
    OpenFailed,    // "Open file fail!"
    Unsupported,   // "The file or the file version is not supported!"
    WriteFailed,   // "Save file fail!"
    SizeMismatch,  // append: "Parameter mistake!\r\nWidth: %d ,Height: %d"
};

// A document operation's failure: its `code` is the DocError; its `reason` names the file and
// the system's reason ("PATH: reason") where a file could not be opened or written.
inline Failure DocumentFailure(DocError error, std::string reason = {}) {
    return Failure{static_cast<int>(error), {}, std::move(reason), {}, nullptr};
}
// The DocError of an outcome (None for a success).
inline DocError DocErrorOf(const Result<Done>& result) {
    return result ? DocError::None : static_cast<DocError>(result.failure().code);
}

// What the writer stores besides the clips.
struct DocumentSource {
    const FrameStore* frames = nullptr;
    std::int16_t gridScaleX = 1;
    std::int16_t gridScaleY = 1;
    std::uint16_t canvasWidth = 0;
    std::uint16_t canvasHeight = 0;
    const EffectList* effects = nullptr;
    std::filesystem::path musicPath;  // embedded when not empty and readable
    // Written after the music as they are: the bytes a document held after its last record.
    std::span<const std::uint8_t> trailingBytes;
};

// Everything a document holds, as read.
struct LoadedDocument {
    std::uint8_t version = 0;
    bool compressed = false;
    std::uint16_t headerHeight = 0;  // the size copies of the header
    std::uint16_t headerWidth = 0;
    std::int16_t gridScaleX = 1;
    std::int16_t gridScaleY = 1;
    std::vector<Clip> clips;                 // frames are empty unless they were loaded
    std::vector<std::uint32_t> frameCounts;  // per clip
    bool hasTail = false;                    // the file goes on after the frame store block
    std::uint16_t canvasWidth = 0;
    std::uint16_t canvasHeight = 0;
    std::vector<std::unique_ptr<EffectLayer>> layers;
    std::uint32_t musicLength = 0;
    std::filesystem::path musicPath;  // the extracted music file, when there was music
    // Bytes after the music (records of a later program, say): kept so that a save writes
    // them back after the music instead of dropping them.
    std::vector<std::uint8_t> trailingBytes;
    std::uint64_t fileSize = 0;
    std::vector<std::uint64_t> frameOffsets;  // per clip: where its first frame starts
    std::filesystem::path sourcePath;         // the plain document read (the extracted copy)
};

struct ReadOptions {
    // Per-run folder: extraction of compressed documents and of embedded music.
    std::filesystem::path tempDir;
    // Load the frames; false only walks over them (for describing a file).
    bool loadFrames = true;
    // Write embedded music to tempDir.
    bool extractMusic = true;
    // Large clips' frames mapped from the file (read when first looked at, copied when changed)
    // rather than read at once.
    bool mapFrames = true;
    ProgressFn progress;
};

// Reads a plain or compressed document. Every count and size is checked against the bytes
// that are really there before anything is allocated.
Result<Done> ReadDocument(const std::filesystem::path& path, const ReadOptions& options, LoadedDocument& out);

// Reads the frames of one clip of a document one at a time, for output of documents larger
// than memory.
class ClipFrameReader {
public:
    ClipFrameReader() = default;
    ClipFrameReader(const ClipFrameReader&) = delete;
    ClipFrameReader& operator=(const ClipFrameReader&) = delete;

    // Opens clip `clip` (0-based) of a plain or compressed document.
    Result<Done> Open(const std::filesystem::path& path, int clip, const std::filesystem::path& tempDir);
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    std::size_t count() const { return count_; }
    // Frame i from a read-ahead window of many frames (the frame shares the window and stays
    // valid until the next call); nullptr when it cannot be read.
    const Frame* Next(std::size_t i);
    // A second reader of the same clip for another thread; it shares the open file.
    std::unique_ptr<ClipFrameReader> Fork() const;

private:
    std::shared_ptr<const int> file_;  // the descriptor, closed with the last reader sharing it
    std::shared_ptr<std::uint8_t[]> window_;
    std::size_t windowFirst_ = 0, windowCount_ = 0;
    Frame view_;
    std::uint32_t width_ = 0, height_ = 0;
    std::size_t count_ = 0;
    std::uint64_t offset_ = 0;
};

// Writes a document (version 0) through a temporary file in the target folder that is
// renamed over the target: a failure leaves the previous file as it was.
Result<Done> WriteDocument(const std::filesystem::path& path, const DocumentSource& source,
                           const ProgressFn& progress = {});

// Writes `frames` (all of one size) as a document of one clip with no design: what the
// screen capture saves. WriteFailed for no frames or frames of mixed sizes.
Result<Done> WriteSingleClipDocument(const std::filesystem::path& path, std::vector<Frame> frames);

// Writes a document of one clip frame by frame, without holding the frames: imports of long
// movies go straight to disk. The file appears whole on Finish(), or not at all.
class ClipDocumentWriter {
public:
    explicit ClipDocumentWriter(std::filesystem::path path);
    ~ClipDocumentWriter();
    ClipDocumentWriter(const ClipDocumentWriter&) = delete;
    ClipDocumentWriter& operator=(const ClipDocumentWriter&) = delete;

    // Frames of width x height (the clip's line file as given, cut to what the file holds);
    // the failure when the file cannot be made. `expectedFrames`, when known, has the file's
    // room reserved (more or fewer frames may still come).
    Result<Done> Begin(std::uint32_t width, std::uint32_t height, const std::string& lineFilePath = {},
                       std::size_t expectedFrames = 0);
    // Adds a frame (copied at once); a failure for another size or a failed write.
    Result<Done> Add(const Frame& frame);
    std::uint32_t count() const { return count_; }
    // Writes the frame count and the empty design, and puts the file in place.
    Result<Done> Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
    std::uint32_t width_ = 0, height_ = 0, count_ = 0;
    std::uint64_t countOffset_ = 0;
};

// Bytes a document of these clips takes without its tail.
std::uint64_t FrameStoreBlockSize(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& sizes,
                                  const std::vector<std::uint64_t>& frameCounts);

// Appends frames first..last (0-based, inclusive) of `source` to the single clip of an
// existing document. The target's clip must have the source's size; whatever followed its
// frame store block (canvas, layers, music) is kept after the new frames. The target is
// rewritten through a temporary file, so a failure leaves it untouched.
// On SizeMismatch, fileWidth/fileHeight tell the target's size.
struct AppendResult {
    DocError error = DocError::None;
    // The target's name and the system's reason ("PATH: reason") when it could not be opened or
    // written.
    std::string reason;
    std::uint32_t fileWidth = 0;
    std::uint32_t fileHeight = 0;
    std::uint32_t newFrameCount = 0;
    // The header's copy of the clip size disagrees with the clip (the copy is not used when
    // reading, so the frames still go in; callers warn).
    bool headerCopyDiffers = false;
};
AppendResult AppendFrames(const std::filesystem::path& target, const Clip& source, std::size_t first,
                          std::size_t last, const ProgressFn& progress = {});

// The checks of the "Select frame range" dialog (1-based numbers). Returns 0 when the range
// is good, 1 when the start field is wrong, 2 when the end field is wrong.
int CheckFrameRange(long long start, long long end, std::size_t frameCount);
inline constexpr long long kMaxRangeNumber = 100000000;

}  // namespace corv
