#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Progress.h"

namespace corv::fuse {

// The merge tool's messages, in the running language.
struct Messages {
    std::string caption, tooFew, typeMismatch, success, failed, notOurFormat, openFailed, framesDiffer, continueAsk,
        sizeDiffers;
    // Page and mode texts.
    std::string datPage, vidPage, datModeFrames, datModeSlaves, vidModeLabel, datModeLabel, horizontal, vertical,
        add, remove, merge, warning, close;
    // Details that follow a message or stand as warnings; %1, %2, ... are filled in.
    std::string partialBlock;      // %1 file, %2 whole frames kept
    std::string noWholeFrame;      // %1 file
    std::string badChecksum;       // %1 file, %2 slave (1-based)
    std::string moreBadChecksums;  // %1 file, %2 how many more
    std::string framesTooLong;     // %1 file, %2 frames, %3 width, %4 height, %5 bytes there
    std::string noSpace;           // %1 output, %2 size needed, %3 free there
    std::string pictureTooBig;     // %1 width, %2 height
    std::string tooManySlaves;     // %1 slaves, %2 the most a file holds
    std::string shapeDiffers;      // %1 file
    std::string entryMissing;      // %1 archive, %2 entry name
    std::string tooManyCells;      // %1 width, %2 height, %3 cells, %4 the most the program opens
    std::string outputIsInput;     // %1 output, %2 the input it is
};
// 1 Simplified Chinese, 2 Traditional Chinese, anything else English.
Messages LoadMessages(std::uint8_t language);
// A message text with %1, %2, ... replaced by `values`.
std::string FillIn(const std::string& text, const std::vector<std::string>& values);
// A size for people: "512 bytes", "3.1 MiB", "16.0 GiB".
std::string SizeText(std::uint64_t bytes);
// The language from "Vorlane.ini" beside the program (section "Main", key "Language"),
// derived from the system locale when it is 0.
std::uint8_t LanguageFromIni(const std::filesystem::path& iniFile, const std::string& systemLocale);

// Asks the user a Yes/No question; true for Yes.
using AskFn = std::function<bool(const std::string& text)>;

struct MergeResult {
    bool ok = false;
    bool cancelled = false;  // the user said No: nothing is shown
    std::string message;     // the message to show
    // What the merge found wrong but went on with (a partial frame block dropped, a slave
    // record with a wrong checksum); shown besides the message, also when the merge failed.
    std::vector<std::string> warnings;
};

// The bytes free for an unprivileged writer in `folder`; nullopt when the system cannot tell.
using FreeSpaceFn = std::function<std::optional<std::uint64_t>(const std::filesystem::path& folder)>;
std::optional<std::uint64_t> FreeSpaceOf(const std::filesystem::path& folder);

enum class DatMode { Frames = 0, Slaves = 1 };
enum class VidMode { Horizontal = 0, Vertical = 1 };

// Asks for the output file when the merge needs it; nullopt when the user cancels.
using ChooseOutputFn = std::function<std::optional<std::filesystem::path>()>;

// Merges controller data files; the output is written through a temporary file, so nothing
// is left behind on failure. Its size is known before anything is written and checked against
// the free space of the output's folder (`freeSpace`, FreeSpaceOf when empty); memory use does
// not grow with the sizes the inputs claim.
MergeResult MergeDat(const std::vector<std::filesystem::path>& inputs, DatMode mode, const ChooseOutputFn& output,
                     const Messages& messages, const AskFn& ask, const ProgressFn& progress = {},
                     std::uint64_t seed = 0, const FreeSpaceFn& freeSpace = {});

// Merges video project files (plain or RAR-packed) into one picture, a band of rows at a time.
MergeResult MergeVid(const std::vector<std::filesystem::path>& inputs, VidMode mode, const ChooseOutputFn& output,
                     const Messages& messages, const AskFn& ask, const ProgressFn& progress = {},
                     const FreeSpaceFn& freeSpace = {});

// The checks made before asking for the output name (too few files, wrong extensions: every
// input must be a ".dat" or every input a ".led", in any case of letters).
std::optional<std::string> CheckDatList(const std::vector<std::filesystem::path>& inputs, const Messages& m);
// The extension the inputs of a data merge share, without the dot and in lower case ("dat" or
// "led"); the merged file gets it by default. "dat" when they share none.
std::string DatExtension(const std::vector<std::filesystem::path>& inputs);

// The largest picture the program opens: 16,777,216 cells (4096 x 4096), the limit of its
// grids; a merged video project file is never made larger.
inline constexpr std::uint64_t kMaxPictureCells = std::uint64_t{1} << 24;

// The entry name inside a RAR-packed video project file.
inline constexpr const char* kVidEntryName = "VorlaneDoc.vid";

}  // namespace corv::fuse
