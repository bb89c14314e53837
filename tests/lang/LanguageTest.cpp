#include <gtest/gtest.h>

#include "lang/Language.h"

using namespace corv;

TEST(Language, LocaleNamesMapToCodes) {
    struct Case {
        const char* name;
        int code;
        const char* cLocale;
    } cases[] = {
        {"zh_CN.UTF-8", 1, "chs"}, {"zh_TW.UTF-8", 2, "cht"}, {"zh_HK", 2, "cht"},    {"en_US.UTF-8", 3, "english"},
        {"en_GB", 3, "english"},   {"fr_FR@euro", 4, "french"}, {"ru_RU.KOI8-R", 5, "russian"},
        {"de_DE.UTF-8", 6, "german"}, {"ja_JP.UTF-8", 3, ""},   {"C", 3, ""},        {"POSIX", 3, ""},
        {"zh_SG.UTF-8", 3, ""},    {"", 3, ""},
    };
    for (const auto& c : cases) {
        LanguageChoice choice = LanguageFromLocaleName(c.name);
        EXPECT_EQ(choice.code, c.code) << c.name;
        EXPECT_EQ(choice.cLocale, c.cLocale) << c.name;
    }
}

TEST(Language, SettlingKeepsDetectedCLocaleButRunsInEnglish) {
    LanguageChoice fr = SettleLanguage(0, "fr_FR.UTF-8");
    EXPECT_EQ(fr.code, kLanguageFrench);
    EXPECT_EQ(fr.cLocale, "french");
    EXPECT_EQ(fr.threadLocale, 0x0409);
    EXPECT_FALSE(UsesChinese(fr.code));

    LanguageChoice tw = SettleLanguage(0, "zh_TW.UTF-8");
    EXPECT_EQ(tw.code, kLanguageTraditional);
    EXPECT_EQ(tw.threadLocale, 0x0404);
    EXPECT_TRUE(UsesChinese(tw.code));

    // A configured language wins over the system.
    LanguageChoice cn = SettleLanguage(1, "de_DE.UTF-8");
    EXPECT_EQ(cn.code, kLanguageSimplified);
    EXPECT_EQ(cn.threadLocale, 0x0804);
    EXPECT_EQ(cn.cLocale, "chs");
    LanguageChoice en = SettleLanguage(3, "zh_CN.UTF-8");
    EXPECT_EQ(en.code, kLanguageEnglish);
    EXPECT_EQ(en.cLocale, "english");
}

TEST(Language, SystemLocaleFollowsPosixPrecedence) {
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_MESSAGES", "de_DE.UTF-8", 1);
    ::setenv("LANG", "fr_FR.UTF-8", 1);
    EXPECT_EQ(SystemLocaleName(), "de_DE.UTF-8");
    ::setenv("LC_ALL", "zh_TW.UTF-8", 1);
    EXPECT_EQ(SystemLocaleName(), "zh_TW.UTF-8");
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    EXPECT_EQ(SystemLocaleName(), "fr_FR.UTF-8");
    ::unsetenv("LANG");
    EXPECT_EQ(SystemLocaleName(), "C");
}
