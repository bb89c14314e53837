#include "fusebind/CommandLine.h"

#include <filesystem>
#include <system_error>

#include "lang/Language.h"
#include "lang/Render.h"
#include "lang/messages/FusebindMessages.h"
#include "lang/messages/CommonMessages.h"

namespace corv::fuse {

namespace {

bool IsOption(const std::string& a) { return a.size() > 1 && a[0] == '-'; }

// "--name=value" or "--name value": the value, or nullopt (and `i` unchanged) when none follows.
std::optional<std::string> ValueOf(const std::vector<std::string>& args, std::size_t& i, const std::string& name) {
    const std::string& a = args[i];
    if (a.size() > name.size() && a.compare(0, name.size(), name) == 0 && a[name.size()] == '=') {
        return a.substr(name.size() + 1);
    }
    if (i + 1 < args.size() && !IsOption(args[i + 1])) {
        return args[++i];
    }
    return std::nullopt;
}

bool Named(const std::string& a, const std::string& name) {
    return a == name || (a.size() > name.size() && a.compare(0, name.size(), name) == 0 && a[name.size()] == '=');
}

void Mistaken(CommandLine& c, CommandLine::Mistake mistake, const std::string& arg = {}) {
    if (c.mistake == CommandLine::Mistake::None) {
        c.mistake = mistake;
        c.mistakeArg = arg;
    }
}

// --lang N: true when the argument was --lang (with a good value or a mistake recorded).
bool TakeLanguage(const std::vector<std::string>& args, std::size_t& i, CommandLine& c) {
    if (!Named(args[i], "--lang")) {
        return false;
    }
    const auto v = ValueOf(args, i, "--lang");
    if (v && (*v == "1" || *v == "2" || *v == "3")) {
        c.language = static_cast<std::uint8_t>((*v)[0] - '0');
    } else {
        Mistaken(c, CommandLine::Mistake::Lang);
    }
    return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine c;
    std::size_t i = 0;
    bool help = false, version = false;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--version") {
            version = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            help = true;
            continue;
        }
        if (TakeLanguage(args, i, c)) {
            continue;
        }
        if (IsOption(a)) {
            Mistaken(c, CommandLine::Mistake::UnknownOption, a);
            continue;
        }
        break;
    }
    if (version || help) {
        c.action = version ? CommandLine::Action::Version : CommandLine::Action::Help;
        return c;
    }
    if (i >= args.size()) {
        c.action = c.mistake == CommandLine::Mistake::None ? CommandLine::Action::Dialog
                                                            : CommandLine::Action::UsageError;
        return c;
    }
    c.command = args[i];
    if (c.command != "merge-dat" && c.command != "merge-vid") {
        Mistaken(c, CommandLine::Mistake::UnknownCommand, c.command);
        c.action = CommandLine::Action::UsageError;
        return c;
    }
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    for (const auto& a : rest) {
        if (a == "--") {
            break;
        }
        if (a == "--help" || a == "-h") {
            c.action = CommandLine::Action::CommandHelp;
            return c;
        }
    }
    const bool dat = c.command == "merge-dat";
    bool optionsEnded = false;
    for (std::size_t k = 0; k < rest.size(); ++k) {
        const std::string& a = rest[k];
        if (optionsEnded || !IsOption(a)) {
            c.inputs.emplace_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (Named(a, "--mode")) {
            const auto v = ValueOf(rest, k, "--mode");
            c.mode = v.value_or("");
            if (!(dat ? (c.mode == "frames" || c.mode == "slaves") : (c.mode == "horizontal" || c.mode == "vertical"))) {
                Mistaken(c, CommandLine::Mistake::Mode);
            }
        } else if (Named(a, "-o")) {
            const auto v = ValueOf(rest, k, "-o");
            if (!v || v->empty()) {
                Mistaken(c, CommandLine::Mistake::NeedsFile, "-o");
            } else {
                c.output = *v;
            }
        } else if (a == "--yes") {
            c.yes = true;
        } else if (!TakeLanguage(rest, k, c)) {
            Mistaken(c, CommandLine::Mistake::UnknownOption, a);
        }
    }
    if (c.mode.empty()) {
        Mistaken(c, CommandLine::Mistake::Mode);
    }
    if (c.output.empty()) {
        Mistaken(c, CommandLine::Mistake::NoOutput);
    }
    c.action = c.mistake == CommandLine::Mistake::None ? CommandLine::Action::Merge : CommandLine::Action::UsageError;
    return c;
}

CommandTexts LoadCommandTexts(std::uint8_t language) {
    CommandTexts x;
    x.help = Render(msg::fusebind::kHelp, language);
    x.datHelp = Render(msg::fusebind::kMergeDatHelp, language);
    x.vidHelp = Render(msg::fusebind::kMergeVidHelp, language);
    x.unknownOption = Render(msg::common::kNoSuchOption, language);
    x.unknownCommand = Render(msg::common::kNoSuchCommand, language);
    x.needsFile = Render(msg::fusebind::kNeedsFileName, language);
    x.noOutput = Render(msg::fusebind::kNoOutputFile, language);
    x.datModes = Render(msg::fusebind::kDatModeValues, language);
    x.vidModes = Render(msg::fusebind::kVidModeValues, language);
    x.langValues = Render(msg::fusebind::kLangValues, language);
    x.seeHelp = Render(msg::fusebind::kSeeHelp, language);
    x.yesHint = Render(msg::fusebind::kYesHint, language);
    return x;
}

std::string MistakeText(const CommandLine& c, const CommandTexts& t) {
    using M = CommandLine::Mistake;
    switch (c.mistake) {
        case M::UnknownOption:
            return FillIn(t.unknownOption, {c.mistakeArg});
        case M::UnknownCommand:
            return FillIn(t.unknownCommand, {c.mistakeArg});
        case M::NeedsFile:
            return FillIn(t.needsFile, {c.mistakeArg});
        case M::NoOutput:
            return t.noOutput;
        case M::Mode:
            return c.command == "merge-vid" ? t.vidModes : t.datModes;
        case M::Lang:
            return t.langValues;
        case M::None:
            break;
    }
    return {};
}

namespace {

// Message texts carry the dialog's line breaks.
std::string ForTerminal(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        if (ch != '\r') out += ch;
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

}  // namespace

int RunCommandLine(const CommandLine& c, const Messages& m, const CommandTexts& t, std::ostream& out,
                   std::ostream& err, const ProgressFn& progress) {
    switch (c.action) {
        case CommandLine::Action::Help:
            out << t.help;
            return 0;
        case CommandLine::Action::CommandHelp:
            out << (c.command == "merge-vid" ? t.vidHelp : t.datHelp);
            return 0;
        case CommandLine::Action::UsageError: {
            const std::string program = c.command.empty() || c.mistake == CommandLine::Mistake::UnknownCommand
                                            ? std::string("fusebind")
                                            : "fusebind " + c.command;
            err << program << ": " << MistakeText(c, t) << '\n' << FillIn(t.seeHelp, {program}) << '\n';
            return 2;
        }
        case CommandLine::Action::Merge:
            break;
        case CommandLine::Action::Dialog:
        case CommandLine::Action::Version:
            return 2;  // the program itself handles these
    }
    std::string question;
    auto ask = [&](const std::string& text) {
        question = text;
        return c.yes;
    };
    auto choose = [&]() -> std::optional<std::filesystem::path> {
        std::filesystem::path output(c.output);
        // As the dialog's default suffix: a new file named without an extension gets the
        // inputs' (a file that is there, a device say, keeps its name and its checks).
        std::error_code ec;
        if (!output.has_extension() && !std::filesystem::exists(std::filesystem::symlink_status(output, ec))) {
            output += "." + (c.command == "merge-dat" ? DatExtension(c.inputs) : std::string("vid"));
        }
        return output;
    };
    MergeResult r;
    if (c.command == "merge-dat") {
        r = MergeDat(c.inputs, c.mode == "frames" ? DatMode::Frames : DatMode::Slaves, choose, m, ask, progress);
    } else {
        r = MergeVid(c.inputs, c.mode == "horizontal" ? VidMode::Horizontal : VidMode::Vertical, choose, m, ask,
                     progress);
    }
    ReportProgress(progress, 0);  // clears the bar before the messages
    for (const auto& w : r.warnings) {
        err << ForTerminal(w) << '\n';
    }
    if (r.cancelled) {
        err << ForTerminal(question) << '\n' << t.yesHint << '\n';
        return 1;
    }
    (r.ok ? out : err) << ForTerminal(r.message) << '\n';
    return r.ok ? 0 : 1;
}

}  // namespace corv::fuse
