// The time from starting to open a document to the first picture of the main window's frame
// view: start-up with the document named (as the desktop program does with one on its command
// line), the main window made and shown maximized, and the first paint of the frame view done.
// Run it under a real display server (Xvfb):
//   xvfb-run -s "-screen 0 1600x1000x24" build/bench/corvantine-first-picture DOC.cvn
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "app/frame/CVorlaneView.h"
#include "app/shell/CMainFrame.h"
#include "base/Prompt.h"
#include "base/TempDir.h"
#include "workspace/Startup.h"
#include "workspace/Workspace.h"

using namespace corv;

namespace {
// Quits once the watched widget has painted for the first time.
class FirstPaint : public QObject {
public:
    QElapsedTimer* clock = nullptr;
    double seconds = -1;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || seconds >= 0) return false;
        watched->removeEventFilter(this);
        QApplication::sendEvent(watched, event);
        seconds = clock->nsecsElapsed() / 1e9;
        QTimer::singleShot(0, qApp, &QApplication::quit);
        return true;
    }
};
}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvantine-first-picture DOC.cvn\n");
        return 2;
    }
    TempDir home;
    Workspace ws;
    RecordingPrompt prompt;
    QElapsedTimer clock;
    clock.start();
    if (!InitInstance(ws, prompt, StartupOptions(home.path(), "en_US.UTF-8", argv[1]))) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const double opened = clock.nsecsElapsed() / 1e9;
    CMainFrame window(ws, prompt);
    FirstPaint first;
    first.clock = &clock;
    window.frameView()->installEventFilter(&first);
    window.showMaximized();
    QTimer::singleShot(60000, &qapp, &QApplication::quit);  // never wait longer than a minute
    qapp.exec();
    if (first.seconds < 0) {
        std::fprintf(stderr, "no picture within a minute\n");
        return 1;
    }
    std::printf("open %.3f s\nfirst-picture %.3f s\n", opened, first.seconds);
    return 0;
}
