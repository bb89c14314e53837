#include <QApplication>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "base/FileUtil.h"
#include "base/Signals.h"
#include "fusebind/FusebindDialog.h"
#include "fusebind/Merge.h"
#include "lang/Language.h"

using namespace corv;
using namespace corv::fuse;

namespace {

int Usage() {
    std::cerr << "Usage: fusebind                      (the merge dialog)\n"
                 "       fusebind merge-dat --mode frames|slaves -o OUT.dat IN1.dat IN2.dat ... [--yes]\n"
                 "       fusebind merge-vid --mode horizontal|vertical -o OUT.vid IN1.vid IN2.vid ... [--yes]\n"
                 "       fusebind --version | --help\n"
                 "--yes answers the \"Continue?\" question when the inputs differ; without it such a\n"
                 "merge stops with the message and exit status 1.\n";
    return 2;
}

int RunCommand(const std::vector<std::string>& args, const Messages& m) {
    const std::string command = args[0];
    std::string mode, out;
    bool yes = false;
    std::vector<std::filesystem::path> inputs;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--mode" && i + 1 < args.size()) {
            mode = args[++i];
        } else if (args[i] == "-o" && i + 1 < args.size()) {
            out = args[++i];
        } else if (args[i] == "--yes") {
            yes = true;
        } else if (!args[i].empty() && args[i][0] == '-') {
            return Usage();
        } else {
            inputs.emplace_back(args[i]);
        }
    }
    if (out.empty()) {
        return Usage();
    }
    std::string question;
    auto ask = [&](const std::string& text) {
        question = text;
        return yes;
    };
    auto choose = [&]() -> std::optional<std::filesystem::path> { return std::filesystem::path(out); };
    MergeResult r;
    if (command == "merge-dat" && (mode == "frames" || mode == "slaves")) {
        r = MergeDat(inputs, mode == "frames" ? DatMode::Frames : DatMode::Slaves, choose, m, ask);
    } else if (command == "merge-vid" && (mode == "horizontal" || mode == "vertical")) {
        r = MergeVid(inputs, mode == "horizontal" ? VidMode::Horizontal : VidMode::Vertical, choose, m, ask);
    } else {
        return Usage();
    }
    if (r.cancelled) {
        std::cerr << question << '\n';
        return 1;
    }
    (r.ok ? std::cout : std::cerr) << r.message << '\n';
    return r.ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    corv::CleanUpOnSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::uint8_t language = LanguageFromIni(ProgramDir() / "Vorlane.ini", SystemLocaleName());
    const Messages m = LoadMessages(language);
    if (!args.empty()) {
        if (args[0] == "--version") {
            std::cout << "fusebind " << CORVANTINE_VERSION << '\n';
            return 0;
        }
        if (args[0] == "--help" || args[0] == "-h") {
            Usage();
            return 0;
        }
        return RunCommand(args, m);
    }
    QApplication app(argc, argv);
    CFusebindDialog dialog(m);
    dialog.show();
    return QApplication::exec();
}
