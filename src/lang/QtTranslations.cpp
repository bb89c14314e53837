#include "lang/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "lang/Language.h"

namespace corv {

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

}  // namespace corv
