#pragma once

#include <cstdint>
#include <memory>
#include <QString>
#include <QStringList>

#include "app/shell/QtPrompt.h"
#include "lang/QtTranslations.h"
#include "workspace/Workspace.h"

class QTranslator;

namespace corv {

class CMainFrame;

// The application object: owns the workspace and the main window, runs start-up and
// shutdown.
class CCorvantineApp {
public:
    CCorvantineApp();
    ~CCorvantineApp();

    // Start-up: engine start-up, then the main window. `document` is the document named on
    // the command line (empty for a new one). Returns false when the program must end.
    bool InitInstance(const QString& document = {});
    // Shutdown: writes the frame size back; restarts the program when the language changed,
    // with the document that was open.
    int ExitInstance();

    Workspace& workspace() { return ws_; }
    CMainFrame* mainFrame() const { return mainFrame_.get(); }

private:
    void LoadQtTexts();

    Workspace ws_;
    QtPrompt prompt_;
    std::unique_ptr<QTranslator> qtTexts_;
    std::unique_ptr<CMainFrame> mainFrame_;
};

}  // namespace corv
