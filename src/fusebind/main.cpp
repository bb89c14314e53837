#include <QApplication>
#include <QTranslator>

#include <exception>
#include <new>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "base/FileIO.h"
#include "base/FileUtil.h"
#include "base/Signals.h"
#include "fusebind/CommandLine.h"
#include "fusebind/FusebindDialog.h"
#include "fusebind/Merge.h"
#include "base/TerminalProgress.h"
#include "lang/Language.h"

using namespace corv;
using namespace corv::fuse;

int main(int argc, char** argv) {
    corv::CleanUpOnSignals();
    // Past a file size limit a write fails with its reason, told like any other failure,
    // instead of the program being stopped with a half-written temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLine c = ParseCommandLine(args);
    if (c.action == CommandLine::Action::Version) {
        std::cout << "fusebind " << CORVANTINE_VERSION << '\n';
        return 0;
    }
    // --lang (the main window starts the dialog with its own language) over Vorlane.ini and
    // the system.
    const std::uint8_t language =
        c.language ? *c.language : LanguageFromIni(ProgramDir() / "Vorlane.ini", SystemLocaleName());
    const Messages m = LoadMessages(language);
    if (c.action != CommandLine::Action::Dialog) {
        // A merge larger than the memory there is fails with exit 1 and no half-written file.
        try {
            return RunCommandLine(c, m, LoadCommandTexts(language), std::cout, std::cerr, TerminalProgress());
        } catch (const std::bad_alloc&) {
            corv::RemovePendingTemporaryFiles();
            std::cerr << "fusebind: not enough memory for this job\n";
        } catch (const std::exception& e) {
            corv::RemovePendingTemporaryFiles();
            std::cerr << "fusebind: " << e.what() << '\n';
        }
        return 1;
    }
    QApplication app(argc, argv);
    // Qt's file choosers and buttons in the dialog's language.
    const std::unique_ptr<QTranslator> qtTexts = InstallQtTranslations(language);
    CFusebindDialog dialog(m);
    dialog.show();
    return QApplication::exec();
}
