#include <QApplication>

#include <cstdio>

#include "app/shell/CCorvantineApp.h"
#include "app/shell/CommandLine.h"
#include "app/shell/StopSignalWatcher.h"
#include "base/Signals.h"
#include "media/Music.h"

int main(int argc, char** argv) {
    // Help, version and bad usage are answered before Qt looks for a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const corv::CommandLine commandLine = corv::ParseCommandLine(arguments);
    switch (commandLine.action) {
        case corv::CommandLine::Action::Help:
            std::fputs(corv::UsageText().toLocal8Bit().constData(), stdout);
            return 0;
        case corv::CommandLine::Action::Version:
            std::fputs(corv::VersionText().toLocal8Bit().constData(), stdout);
            return 0;
        case corv::CommandLine::Action::BadUsage:
            std::fprintf(stderr, "corvantine: %s\nTry 'corvantine --help' for more information.\n",
                         commandLine.error.toLocal8Bit().constData());
            return 2;
        case corv::CommandLine::Action::Run:
            break;
    }

    corv::CleanUpOnSignals();
    corv::PreferFfmpegMediaBackend();
    int rc = 0;
    {
        QApplication qapp(argc, argv);
        // Before the application object, whose workspace makes the per-run folder: from then on
        // a stop signal ends the program through the usual shutdown, which removes the folder.
        corv::StopSignalWatcher stopSignals;
        corv::CCorvantineApp app;
        if (!app.InitInstance(commandLine.document)) {
            return 1;
        }
        // A signal during start-up was noted before the event loop could take it.
        if (corv::StopSignalWatcher::Received() == 0) {
            rc = QApplication::exec();
        }
        app.ExitInstance();
    }
    corv::StopSignalWatcher::TakeUsualCourse();
    return rc;
}
