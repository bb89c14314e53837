#include "app/shell/CCorvantineApp.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTranslator>

#include "app/shell/CMainFrame.h"
#include "app/shell/CommandLine.h"
#include "lang/Language.h"
#include "workspace/Startup.h"

namespace corv {

CCorvantineApp::CCorvantineApp() = default;

CCorvantineApp::~CCorvantineApp() {
    if (qtTexts_) {
        QCoreApplication::removeTranslator(qtTexts_.get());
    }
}

bool CCorvantineApp::InitInstance(const QString& document) {
    QCoreApplication::setOrganizationName(QStringLiteral("Corvantine"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvantine"));
    StartupOptions options;
    options.document = document.toStdString();
    if (!corv::InitInstance(ws_, prompt_, options)) {
        return false;
    }
    LoadQtTexts();
    prompt_.SetStrings(&ws_.strings);
    mainFrame_ = std::make_unique<CMainFrame>(ws_, prompt_);
    if (!document.isEmpty()) {
        // The file as named (a packed document is named by its archive), for a restart.
        mainFrame_->SetDocumentFile(document);
    }
    prompt_.SetParent(mainFrame_.get());
    mainFrame_->showMaximized();
    return true;
}

void CCorvantineApp::LoadQtTexts() { qtTexts_ = InstallQtTranslations(ws_.app.language); }

int CCorvantineApp::ExitInstance() {
    const bool restart = mainFrame_ && mainFrame_->restartRequested();
    const QString document = mainFrame_ ? mainFrame_->restartDocument() : QString();
    mainFrame_.reset();
    corv::ExitInstance(ws_);
    if (restart) {
        QProcess::startDetached(QCoreApplication::applicationFilePath(), RestartArguments(document));
    }
    return 0;
}

}  // namespace corv
