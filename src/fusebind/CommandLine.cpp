#include "fusebind/CommandLine.h"

#include <filesystem>
#include <system_error>

#include "lang/Language.h"
#include "lang/Localize.h"

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
    const bool zh = UsesChinese(language);
    auto t = [&](const char* chinese, const char* english) {
        return zh ? LocalizeText(chinese, language) : std::string(english);
    };
    CommandTexts x;
    x.help = t(
        "用法: fusebind [--lang 1|2|3]                  (合并对话框)\n"
        "      fusebind [--lang 1|2|3] merge-dat --mode frames|slaves -o 输出.dat 输入1.dat 输入2.dat ... [--yes]\n"
        "      fusebind [--lang 1|2|3] merge-vid --mode horizontal|vertical -o 输出.vid 输入1.vid 输入2.vid ... "
        "[--yes]\n"
        "      fusebind --version | --help\n"
        "\n"
        "合并控制器数据文件(.dat 或 .led): 帧数增加或分控增加; 把视频工程文件(.vid)拼成一个画面。\n"
        "--lang 选择对话框和消息的语言: 1 简体中文, 2 繁体中文, 3 英文。不给时按程序旁的\n"
        "Vorlane.ini, 其中没有设定时按系统的语言。\n"
        "--yes 在输入文件不一致时回答\"是否继续?\"; 不给时这样的合并显示问题并以状态 1 退出。\n"
        "运行 \"fusebind merge-dat --help\" 或 \"fusebind merge-vid --help\" 查看命令的选项。\n"
        "退出状态: 0 成功, 1 合并失败, 2 用法错误。\n",
        "Usage: fusebind [--lang 1|2|3]                  (the merge dialog)\n"
        "       fusebind [--lang 1|2|3] merge-dat --mode frames|slaves -o OUT.dat IN1.dat IN2.dat ... [--yes]\n"
        "       fusebind [--lang 1|2|3] merge-vid --mode horizontal|vertical -o OUT.vid IN1.vid IN2.vid ... [--yes]\n"
        "       fusebind --version | --help\n"
        "\n"
        "Merges controller data files (.dat or .led) in time or as more slaves, and video project files (.vid)\n"
        "side by side into one picture.\n"
        "--lang picks the language of the dialog and of the messages: 1 Simplified Chinese,\n"
        "2 Traditional Chinese, 3 English. Without it the language comes from Vorlane.ini beside\n"
        "the program, and from the system where that sets none.\n"
        "--yes answers the \"Continue?\" question when the inputs differ; without it such a merge\n"
        "stops with the question and exit status 1.\n"
        "Run \"fusebind merge-dat --help\" or \"fusebind merge-vid --help\" for a command's options.\n"
        "Exit status: 0 success, 1 the merge failed, 2 bad usage.\n");
    x.datHelp = t(
        "用法: fusebind [--lang 1|2|3] merge-dat --mode frames|slaves -o 输出.dat 输入1.dat 输入2.dat ... [--yes]\n"
        "\n"
        "合并控制器数据文件: 全部为 .dat 或全部为 .led (本程序写出的文件); 输出文件名不带扩展名时\n"
        "使用输入文件的扩展名。\n"
        "  --mode frames   帧数增加, 分控不变: 各文件的帧依次相接 (各文件的分控须相同)\n"
        "  --mode slaves   分控增加, 帧数不变: 各文件的分控逐帧并排\n"
        "  -o 输出.dat     合并后的文件 (先写临时文件; 失败时原文件不变)\n"
        "  --yes           各文件帧数不同时照样合并\n"
        "  --lang 1|2|3    消息的语言: 1 简体中文, 2 繁体中文, 3 英文\n"
        "输入文件末尾不完整的帧块被舍去并给出警告; 校验和错误的分控记录按原样合并并给出警告。\n"
        "输出文件的大小先算好, 磁盘空间不够时不写入。\n",
        "Usage: fusebind [--lang 1|2|3] merge-dat --mode frames|slaves -o OUT.dat IN1.dat IN2.dat ... [--yes]\n"
        "\n"
        "Merges controller data files: all .dat or all .led (the files the program writes); an output\n"
        "named without an extension gets theirs.\n"
        "  --mode frames   more frames, the same slaves: the files' frames one after the other\n"
        "                  (every file must have the same slaves)\n"
        "  --mode slaves   more slaves, the same frames: the files' slaves side by side, frame by frame\n"
        "  -o OUT.dat      the merged file (written through a temporary file; on failure the old one\n"
        "                  stays as it was)\n"
        "  --yes           merge all the same when the files' frame counts differ\n"
        "  --lang 1|2|3    the language of the messages: 1 Simplified Chinese, 2 Traditional Chinese,\n"
        "                  3 English\n"
        "A partial frame block at the end of an input is left out, with a warning; slave records with\n"
        "a wrong checksum are merged as they are, with a warning. The merged file's size is worked out\n"
        "first, and nothing is written when its folder has not the room.\n");
    x.vidHelp = t(
        "用法: fusebind [--lang 1|2|3] merge-vid --mode horizontal|vertical -o 输出.vid 输入1.vid 输入2.vid ... "
        "[--yes]\n"
        "\n"
        "把视频工程文件 (普通的或压缩的) 拼成一个画面。\n"
        "  --mode horizontal   水平: 各画面从左到右并排\n"
        "  --mode vertical     垂直: 各画面上下排列, 第一个在上\n"
        "  -o 输出.vid         合并后的文件 (先写临时文件; 失败时原文件不变)\n"
        "  --yes               帧数或尺寸不一致时照样合并\n"
        "  --lang 1|2|3        消息的语言: 1 简体中文, 2 繁体中文, 3 英文\n"
        "输出文件的大小先算好, 磁盘空间不够时不写入。\n",
        "Usage: fusebind [--lang 1|2|3] merge-vid --mode horizontal|vertical -o OUT.vid IN1.vid IN2.vid ... "
        "[--yes]\n"
        "\n"
        "Merges video project files (plain or packed) into one picture.\n"
        "  --mode horizontal   the pictures side by side, from left to right\n"
        "  --mode vertical     the pictures one above the other, the first on top\n"
        "  -o OUT.vid          the merged file (written through a temporary file; on failure the old\n"
        "                      one stays as it was)\n"
        "  --yes               merge all the same when the frame counts or sizes differ\n"
        "  --lang 1|2|3        the language of the messages: 1 Simplified Chinese, 2 Traditional\n"
        "                      Chinese, 3 English\n"
        "The merged file's size is worked out first, and nothing is written when its folder has not\n"
        "the room.\n");
    x.unknownOption = t("未知选项 %1", "unknown option %1");
    x.unknownCommand = t("未知命令 \"%1\"", "unknown command \"%1\"");
    x.needsFile = t("%1 需要一个文件名", "%1 needs a file name");
    x.noOutput = t("缺少输出文件: 请用 -o 指定", "no output file: name it with -o");
    x.datModes = t("--mode 只能是 frames 或 slaves", "--mode takes frames or slaves");
    x.vidModes = t("--mode 只能是 horizontal 或 vertical", "--mode takes horizontal or vertical");
    x.langValues = t("--lang 只能是 1 (简体中文)、2 (繁体中文) 或 3 (英文)",
                     "--lang takes 1 (Simplified Chinese), 2 (Traditional Chinese) or 3 (English)");
    x.seeHelp = t("运行 \"%1 --help\" 查看选项。", "Run \"%1 --help\" for the options.");
    x.yesHint = t("加上 --yes 即照样合并。", "Give --yes to merge them all the same.");
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
