#include <gtest/gtest.h>

#include "lang/Language.h"
#include "lang/Localize.h"
#include "lang/UiStrings.h"

using namespace corv;

TEST(UiStrings, EnglishAndChineseTextsPerKey) {
    UiStrings en = LoadUiStrings(kLanguageEnglish);
    UiStrings zh = LoadUiStrings(kLanguageSimplified);
    EXPECT_EQ(en.badFileVersion, "The file or the file version is not supported!");
    EXPECT_EQ(zh.badFileVersion, "不支持的文件或文件版本!");
    EXPECT_EQ(en.noLayout, "Not set LED project line! ");
    EXPECT_EQ(en.sceneFormat, "Scene%d");
    EXPECT_EQ(Format(zh.widthHeight.c_str(), 32, 24), "宽: 32 ,高: 24");
    // Every key is filled in both languages and the two differ.
    for (const auto& entry : UiStringTable()) {
        EXPECT_FALSE((en.*entry.member).empty()) << entry.key;
        EXPECT_NE(en.*entry.member, zh.*entry.member) << entry.key;
    }
    // French, Russian and German run with the English texts.
    EXPECT_EQ(LoadUiStrings(kLanguageFrench).paramError, "Parameter mistake!");
}

TEST(UiStrings, EffectTypeListsHaveTheirCapacitiesAndStopAtTheFirstEmptyEntry) {
    UiStrings en = LoadUiStrings(kLanguageEnglish);
    const std::size_t counts[8] = {10, 6, 2, 6, 4, 6, 3, 5};
    for (std::size_t list = 0; list < 8; ++list) {
        const auto& names = en.effectTypeNames[list];
        EXPECT_EQ(names.entries.size(), kEffectTypeCapacities[list]);
        EXPECT_EQ(names.Names().size(), counts[list]) << list;
        EXPECT_EQ(EffectTypeNamesChinese(list).size(), counts[list]);
    }
    EXPECT_EQ(en.effectTypeNames[0].Names().back(), "Inter-port(0)");
    EXPECT_EQ(en.effectTypeNames[1].entries[3], "Vertical colse(4)");
    EXPECT_EQ(LoadUiStrings(kLanguageSimplified).effectTypeNames[7].entries[4], "波浪(5)");
}

TEST(UiStrings, TraditionalTextsComeOutInTraditionalCharacters) {
    ASSERT_TRUE(TraditionalConverterAvailable());
    UiStrings tw = LoadUiStrings(kLanguageTraditional);
    EXPECT_EQ(tw.tabColor, "顏色");
    EXPECT_EQ(tw.tabDesign, "花樣");  // glyph-only conversion
    EXPECT_EQ(tw.sceneFormat, "場景%d");
    EXPECT_EQ(tw.effectTypeNames[0].entries[9], "端口間(0)");
    EXPECT_EQ(tw.effectTypeNames[3].entries[0], "橢圓擴散(1)");
    EXPECT_EQ(tw.effectTypeNames[7].entries[1], "擴散(2)");
    EXPECT_EQ(tw.outputDone, "輸出控制器數據完畢!");
    // Format markers and line breaks survive the mapping.
    EXPECT_NE(tw.askPasteSize.find("%d"), std::string::npos);
    EXPECT_NE(tw.askPasteSize.find('\n'), std::string::npos);
    // Simplified stays as written; other languages are not touched.
    EXPECT_EQ(LocalizeText("颜色", kLanguageSimplified), "颜色");
    EXPECT_EQ(LocalizeText("颜色", kLanguageEnglish), "颜色");
    EXPECT_EQ(LocalizeGlyphs("颜色", kLanguageTraditional), "顏色");
    EXPECT_EQ(ToTraditional("Left(1)"), "Left(1)");
}
