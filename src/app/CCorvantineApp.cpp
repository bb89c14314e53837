#include "app/CCorvantineApp.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QProcess>
#include <QTranslator>

#include "app/CMainFrame.h"
#include "app/CommandLine.h"
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

std::unique_ptr<QTranslator> InstallQtTranslations(std::uint8_t language) {
    if (!UsesChinese(language)) {
        return nullptr;
    }
    const QString locale = language == kLanguageTraditional ? QStringLiteral("zh_TW") : QStringLiteral("zh_CN");
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // "qt_" gathers the modules' catalogues (base, multimedia); "qtbase_" where it is missing.
    for (const QString& name : {QStringLiteral("qt_") + locale, QStringLiteral("qtbase_") + locale}) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(name, folder) && !translator->isEmpty() &&
            QCoreApplication::installTranslator(translator.get())) {
            return translator;
        }
    }
    return nullptr;
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
