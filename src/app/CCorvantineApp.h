#pragma once

#include <memory>
#include <QString>
#include <QStringList>

#include "app/QtPrompt.h"
#include "workspace/Workspace.h"

namespace corv {

class CMainFrame;

// The application object: owns the workspace and the main window, runs start-up and
// shutdown.
class CCorvantineApp {
public:
    CCorvantineApp();
    ~CCorvantineApp();

    // Start-up: engine start-up, then the main window. `arguments` are the program's
    // arguments without the program name. Returns false when the program must end.
    bool InitInstance(const QStringList& arguments);
    // Shutdown: writes the frame size back; restarts the program when the language changed.
    int ExitInstance();

    Workspace& workspace() { return ws_; }
    CMainFrame* mainFrame() const { return mainFrame_.get(); }

private:
    Workspace ws_;
    QtPrompt prompt_;
    std::unique_ptr<CMainFrame> mainFrame_;
};

}  // namespace corv
