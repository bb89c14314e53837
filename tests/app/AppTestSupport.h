// Shared pieces of the desktop program's tests.
#pragma once

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/shell/CMainFrame.h"
#include "base/Prompt.h"
#include "base/TempDir.h"
#include "workspace/Startup.h"
#include "workspace/Workspace.h"

namespace corv::testing {

// A started workspace in a private application home, answering questions from a script.
struct StartedWorkspace {
    explicit StartedWorkspace(const char* locale = "en_US.UTF-8") {
        ok = InitInstance(ws, prompt, StartupOptions(home.path(), locale)).ok();
    }
    TempDir home;
    Workspace ws;
    RecordingPrompt prompt;
    bool ok = false;
};

// The main window's command with this id, wherever it is (menus or window actions).
inline QAction* Command(const CMainFrame& frame, int id) {
    for (QAction* a : frame.findChildren<QAction*>()) {
        if (a->data().toInt() == id) return a;
    }
    return nullptr;
}

// Runs `action` (which opens a modal window) and hands that window to `inspect` as soon as it
// shows; `inspect` must close it.
inline void WithModal(const std::function<void()>& action, const std::function<void(QWidget*)>& inspect) {
    bool seen = false;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && !seen) {
            seen = true;
            timer.stop();
            inspect(modal);
        }
    });
    timer.start();
    action();
    timer.stop();
    QVERIFY2(seen, "no modal window showed");
}

}  // namespace corv::testing
