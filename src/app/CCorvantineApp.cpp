#include "app/CCorvantineApp.h"

#include <QCoreApplication>
#include <QProcess>

#include "app/CMainFrame.h"
#include "workspace/Startup.h"

namespace corv {

CCorvantineApp::CCorvantineApp() = default;

CCorvantineApp::~CCorvantineApp() = default;

bool CCorvantineApp::InitInstance(const QStringList& arguments) {
    QCoreApplication::setOrganizationName(QStringLiteral("Corvantine"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvantine"));
    StartupOptions options;
    if (!arguments.isEmpty()) {
        options.document = arguments.front().toStdString();
    }
    if (!corv::InitInstance(ws_, prompt_, options)) {
        return false;
    }
    mainFrame_ = std::make_unique<CMainFrame>(ws_, prompt_);
    prompt_.SetParent(mainFrame_.get());
    mainFrame_->showMaximized();
    return true;
}

int CCorvantineApp::ExitInstance() {
    const bool restart = mainFrame_ && mainFrame_->restartRequested();
    mainFrame_.reset();
    corv::ExitInstance(ws_);
    if (restart) {
        QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
    }
    return 0;
}

}  // namespace corv
