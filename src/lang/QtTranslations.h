#pragma once

#include <cstdint>
#include <memory>

class QTranslator;

namespace corv {

// Qt's own texts (file chooser, standard buttons) in the program's language: installs Qt's
// translations for Simplified (zh_CN, language 1) or Traditional (zh_TW, language 2) Chinese
// from Qt's translation folder and returns the installed translator; null in English or where
// the system has no translations. Our own texts never depend on it.
std::unique_ptr<QTranslator> InstallQtTranslations(std::uint8_t language);

}  // namespace corv
