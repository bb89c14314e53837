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
};
// 1 Simplified Chinese, 2 Traditional Chinese, anything else English.
Messages LoadMessages(std::uint8_t language);
// The language from "Vorlane.ini" beside the program (section "Main", key "Language"),
// derived from the system locale when it is 0.
std::uint8_t LanguageFromIni(const std::filesystem::path& iniFile, const std::string& systemLocale);

// Asks the user a Yes/No question; true for Yes.
using AskFn = std::function<bool(const std::string& text)>;

struct MergeResult {
    bool ok = false;
    bool cancelled = false;  // the user said No: nothing is shown
    std::string message;     // the message to show
};

enum class DatMode { Frames = 0, Slaves = 1 };
enum class VidMode { Horizontal = 0, Vertical = 1 };

// Asks for the output file when the merge needs it; nullopt when the user cancels.
using ChooseOutputFn = std::function<std::optional<std::filesystem::path>()>;

// Merges controller data files; the output is written through a temporary file, so nothing
// is left behind on failure.
MergeResult MergeDat(const std::vector<std::filesystem::path>& inputs, DatMode mode, const ChooseOutputFn& output,
                     const Messages& messages, const AskFn& ask, const ProgressFn& progress = {},
                     std::uint64_t seed = 0);

// Merges video project files (plain or RAR-packed) into one picture.
MergeResult MergeVid(const std::vector<std::filesystem::path>& inputs, VidMode mode, const ChooseOutputFn& output,
                     const Messages& messages, const AskFn& ask, const ProgressFn& progress = {});

// The checks made before asking for the output name (too few files, wrong extensions).
std::optional<std::string> CheckDatList(const std::vector<std::filesystem::path>& inputs, const Messages& m);

// The entry name inside a RAR-packed video project file.
inline constexpr const char* kVidEntryName = "VorlaneDoc.vid";

}  // namespace corv::fuse
