#pragma once

#include <cstdint>
#include <string>

namespace corv {

// UI language codes as stored in the configuration key "Language".
enum LanguageCode : std::uint8_t {
    kLanguageSystem = 0,  // not chosen: derive from the system at start-up
    kLanguageSimplified = 1,
    kLanguageTraditional = 2,
    kLanguageEnglish = 3,
    kLanguageFrench = 4,   // detected only, runs in English
    kLanguageRussian = 5,  // detected only, runs in English
    kLanguageGerman = 6,   // detected only, runs in English
};

// The language the program runs in, with the locale identifiers it sets.
struct LanguageChoice {
    std::uint8_t code = kLanguageEnglish;
    std::uint16_t threadLocale = 0x0409;  // Windows locale id the texts belong to
    std::string cLocale;                  // C runtime locale name; empty = left unchanged
};

// Maps a POSIX locale name ("zh_TW.UTF-8", "fr_FR@euro", "C") to a language choice:
// zh_CN 1, zh_TW and zh_HK 2, en 3, fr 4, ru 5, de 6, anything else 3 (C locale unchanged).
LanguageChoice LanguageFromLocaleName(const std::string& localeName);

// The locale name the system's messages use: LC_ALL, else LC_MESSAGES, else LANG.
std::string SystemLocaleName();

// Settles the running language: a configured code 0 is derived from the system locale
// name; codes 1 and 2 run in Chinese, every other code in English.
LanguageChoice SettleLanguage(int configured, const std::string& systemLocaleName);

// Text pairs written in code: Chinese below code 3, English otherwise.
inline bool UsesChinese(std::uint8_t code) { return code != kLanguageSystem && code < kLanguageEnglish; }

}  // namespace corv
