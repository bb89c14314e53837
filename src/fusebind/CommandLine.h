#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/Progress.h"
#include "fusebind/Merge.h"

namespace corv::fuse {

// What the merge tool's command line asks for.
struct CommandLine {
    enum class Action { Dialog, Version, Help, CommandHelp, Merge, UsageError };
    // The usage mistakes, told in the running language once it is known.
    enum class Mistake { None, UnknownOption, UnknownCommand, NeedsFile, NoOutput, Mode, Lang };

    Action action = Action::Dialog;
    std::optional<std::uint8_t> language;  // --lang 1|2|3
    std::string command;                   // "merge-dat" or "merge-vid"
    std::string mode, output;
    bool yes = false;
    std::vector<std::filesystem::path> inputs;
    Mistake mistake = Mistake::None;
    std::string mistakeArg;  // the option or command named in the mistake
};

// Reads the arguments after the program name. `--lang N` is taken before the command (or
// alone, for the dialog) and among a command's options.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The texts of the command line: help and usage mistakes.
struct CommandTexts {
    std::string help, datHelp, vidHelp;
    std::string unknownOption, unknownCommand, needsFile, noOutput, datModes, vidModes, langValues, seeHelp, yesHint;
};
// 1 Simplified Chinese, 2 Traditional Chinese, anything else English.
CommandTexts LoadCommandTexts(std::uint8_t language);

// The message of a usage mistake, without the program name.
std::string MistakeText(const CommandLine& c, const CommandTexts& t);

// Runs everything but the dialog and returns the exit status: 0 success, 1 the merge failed
// (the message says why), 2 bad usage. Results go to `out`; warnings, failures, usage
// mistakes to `err`.
int RunCommandLine(const CommandLine& c, const Messages& m, const CommandTexts& t, std::ostream& out,
                   std::ostream& err, const ProgressFn& progress = {});

}  // namespace corv::fuse
