#include "lang/Language.h"

#include <cctype>
#include <cstdlib>

namespace corv {

LanguageChoice LanguageFromLocaleName(const std::string& localeName) {
    std::string name = localeName;
    if (auto cut = name.find_first_of(".@"); cut != std::string::npos) {
        name.resize(cut);
    }
    std::string lang = name.substr(0, name.find('_'));
    std::string country = name.find('_') == std::string::npos ? "" : name.substr(name.find('_') + 1);
    for (auto& c : lang) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (auto& c : country) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    if (lang == "zh" && country == "CN") return {kLanguageSimplified, 0x0804, "chs"};
    if (lang == "zh" && (country == "TW" || country == "HK")) return {kLanguageTraditional, 0x0404, "cht"};
    if (lang == "en") return {kLanguageEnglish, 0x0409, "english"};
    if (lang == "fr") return {kLanguageFrench, 0x0409, "french"};
    if (lang == "ru") return {kLanguageRussian, 0x0409, "russian"};
    if (lang == "de") return {kLanguageGerman, 0x0409, "german"};
    return {kLanguageEnglish, 0x0409, ""};
}

std::string SystemLocaleName() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* v = std::getenv(var); v && *v) {
            return v;
        }
    }
    return "C";
}

LanguageChoice SettleLanguage(int configured, const std::string& systemLocaleName) {
    switch (configured) {
        case kLanguageSimplified:
            return {kLanguageSimplified, 0x0804, "chs"};
        case kLanguageTraditional:
            return {kLanguageTraditional, 0x0404, "cht"};
        case kLanguageSystem: {
            // A derived French, Russian or German system keeps its C locale but runs in English.
            LanguageChoice derived = LanguageFromLocaleName(systemLocaleName);
            if (derived.code == kLanguageSimplified || derived.code == kLanguageTraditional) {
                return derived;
            }
            derived.threadLocale = 0x0409;
            return derived;
        }
        default:
            return {static_cast<std::uint8_t>(configured < 0 || configured > 255 ? kLanguageEnglish : configured),
                    0x0409, "english"};
    }
}

}  // namespace corv
