#include <gtest/gtest.h>

#include <cstring>

#include "TestHome.h"
#include "base/Binary.h"
#include "base/FileUtil.h"
#include "controller/Catalogue.h"
#include "controller/LampTypes.h"
#include "controller/Parameters.h"
#include "lang/Language.h"
#include "lang/Localize.h"

using namespace corv;
using corv::test::TestFolder;

TEST(Parameters, ClockConversions) {
    EXPECT_EQ(ClockDivisorFromMHz(50), 1);
    EXPECT_EQ(ClockText(1), "25.00");
    EXPECT_EQ(ClockDivisorFromMHz(0.25), 100);
    EXPECT_EQ(ClockDivisorFromMHz(0.05), 251);
    EXPECT_EQ(ClockText(251), "0.05");
    EXPECT_EQ(ClockDivisorFromMHz(25), 1);
    EXPECT_EQ(ClockDivisorFromMHz(8.3), 3);
    EXPECT_EQ(ClockText(25), "1.00");
    for (const auto& text : ClockChoices()) {
        const int v = ClockDivisorFromMHz(std::stod(text));
        EXPECT_GE(v, 1);
        EXPECT_LE(v, 251);
    }
}

TEST(Parameters, GammaAndGray) {
    EXPECT_EQ(GammaFromValue(0.1), 2);
    EXPECT_EQ(GammaFromValue(12), 100);
    EXPECT_EQ(GammaFromValue(2.25), 22);
    EXPECT_EQ(GammaFromValue(1.0), 10);
    EXPECT_EQ(GammaText(22), "2.2");
    EXPECT_EQ(GrayLevelText(0), "2");
    EXPECT_EQ(GrayLevelText(15), "65536");
    EXPECT_EQ(GrayIndexFromLevels(256), 7);
    EXPECT_FALSE(GrayIndexFromLevels(300));
}

TEST(Parameters, ControllerTypeRules) {
    LineSetting s;
    ControllerTypeState state;
    state.graySelection = 13;
    state = ApplyControllerType(s, kSingleController, state);
    EXPECT_EQ(state.graySelection, 7);
    EXPECT_EQ(state.grayListSize, 9);
    EXPECT_EQ(s.controllerType, 1);
    state = ApplyControllerType(s, kMasterSlave, state);
    EXPECT_EQ(state.grayListSize, 16);
    state = ApplyControllerType(s, kSimpleController, state);
    EXPECT_EQ(s.portsPerSlave, 4);
    EXPECT_FALSE(state.portsSelectorEnabled);
    EXPECT_EQ(s.linePorts[100], 4);
    // The single family lists odd gray indexes as index 7.
    LineSetting single;
    single.controllerType = kSingleController;
    single.lineCount = 2;
    single.grayReverse[0] = 0x80 | 9;
    single.grayReverse[1] = 8;
    auto rows = SlaveListRows(single, BuiltInLightTypes(), ChipCatalogue{}, kLanguageEnglish);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(single.grayReverse[0], 0x87);
    EXPECT_EQ(rows[0][5], "256");
    EXPECT_EQ(rows[0][6], "Yes");
    EXPECT_EQ(rows[1][5], "512");
    EXPECT_EQ(rows[0][1], "RGB");
    EXPECT_EQ(rows[0][3], "1.00");
}

TEST(Parameters, ApplyToSelectedOrToTheSlavesNotShown) {
    LineSetting s;
    ParameterValues v;
    v.lightType = 2;
    v.chipCode = 110;
    v.clockDivisor = 5;
    v.grayIndex = 7;
    v.reverse = true;
    v.gamma = 22;
    EXPECT_EQ(ApplyParameters(s, v, {1, 3}, 4, kLanguageEnglish), "");
    EXPECT_EQ(s.icType[1], 110);
    EXPECT_EQ(s.icType[3], 110);
    EXPECT_EQ(s.icType[2], 3);
    EXPECT_EQ(s.grayReverse[1], 0x87);
    EXPECT_EQ(ApplyParameters(s, v, {}, 4, kLanguageEnglish), "Please choose to modify the parameter of the slave.");
    EXPECT_EQ(s.icType[0], 3);
    EXPECT_EQ(s.icType[4], 110);
    EXPECT_EQ(s.icType[255], 110);
    EXPECT_EQ(ApplyParameters(s, v, {}, 4, kLanguageSimplified), "请你选择要修改参数的分控。");
}

TEST(Parameters, SlaveGroupRows) {
    auto rows = SlaveGroupRows({4, 0, 9}, 10);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::pair<std::string, int>{"1 - 4", 4}));
    EXPECT_EQ(rows[1], (std::pair<std::string, int>{"5 - 10", 6}));
    rows = SlaveGroupRows({3}, 3);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::pair<std::string, int>{"1 - 3", 3}));
}

TEST(Catalogue, ShippedCatalogueNamesTheSpecialCodes) {
    const auto cat = ChipCatalogue::Load(std::filesystem::path(CORV_TEST_DATA) / "../../data/DrICtype.ict");
    ASSERT_EQ(cat.entries().size(), 26u);
    EXPECT_EQ(cat.Name(0, kLanguageEnglish), "NotEnable");
    EXPECT_EQ(cat.Name(0, kLanguageSimplified), "无使能");
    EXPECT_EQ(cat.Name(21, kLanguageSimplified), "WS2801");
    for (int code : {2, 3, 19, 102, 103, 104, 106, 107, 108, 109, 110, 112, 114, 115, 117}) {
        const int pos = cat.PositionOf(code);
        EXPECT_EQ(cat.CodeAt(static_cast<std::size_t>(pos)), code) << code;
        EXPECT_FALSE(cat.Name(static_cast<std::size_t>(pos), kLanguageEnglish).empty());
    }
    EXPECT_EQ(cat.PositionOf(250), 0);
    EXPECT_EQ(cat.Delay(110), 3);
    EXPECT_EQ(cat.Delay(77), 0);
    EXPECT_NE(cat.Tips(0).find('\n'), std::string::npos);
    EXPECT_TRUE(ChipCatalogue::Load("/nonexistent/DrICtype.ict").entries().empty());
}

TEST(Catalogue, ChoosingAChipSelectsItsOwnGrayLevels) {
    TestFolder dir;
    const auto cat = ChipCatalogue::Load(dir.Write("DrICtype.ict",
                                                   "[main]\r\nEN0=NotEnable\r\nNUM0=2\r\nEN1=WS2801\r\nNUM1=20\r\n"
                                                   "EN2=Wide\r\nNUM2=104\r\nEN3=Odd\r\nNUM3=30\r\n"
                                                   "GRAY20=256\r\nGRAY104=4096\r\nGRAY30=300\r\n"));
    EXPECT_EQ(cat.GrayLevels(20), 256);
    EXPECT_EQ(cat.GrayLevels(2), 0);
    // 16384 levels (index 13) left by another chip become the chip's own 256 (index 7).
    EXPECT_EQ(GrayIndexForChip(cat, 20, 13), 7);
    EXPECT_EQ(GrayIndexForChip(cat, 104, 13), 11);
    // No gray levels in the catalogue, or a number that is no power of two: the choice stays.
    EXPECT_EQ(GrayIndexForChip(cat, 2, 13), 13);
    EXPECT_EQ(GrayIndexForChip(cat, 30, 4), 4);
    EXPECT_EQ(GrayIndexForChip(cat, 99, 5), 5);
    // The single family lists 2 .. 512: 4096 levels are beyond it and become 256.
    EXPECT_EQ(GrayIndexForChip(cat, 104, 3, 9), 7);
    EXPECT_EQ(GrayIndexForChip(cat, 20, 3, 9), 7);

    // The shipped catalogue: WS2801 has 256 levels, the 12-bit chips 4096, the bit-plane chips none.
    const auto shipped = ChipCatalogue::Load(std::filesystem::path(CORV_TEST_DATA) / "../../data/DrICtype.ict");
    EXPECT_EQ(GrayIndexForChip(shipped, 20, 13), 7);
    EXPECT_EQ(GrayIndexForChip(shipped, 117, 13), 11);
    EXPECT_EQ(GrayIndexForChip(shipped, 110, 13), 9);
    EXPECT_EQ(GrayIndexForChip(shipped, 2, 13), 13);
    EXPECT_EQ(GrayIndexForChip(shipped, 3, 5), 5);
}

namespace {
bool HasHan(const std::string& text) {
    // U+4E00..U+9FFF in UTF-8: lead byte 0xE4..0xE9.
    for (unsigned char c : text) {
        if (c >= 0xE4 && c <= 0xE9) return true;
    }
    return false;
}
bool Ascii(const std::string& text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}
}  // namespace

TEST(Catalogue, ShippedCatalogueHasChineseTextsBesideTheEnglishOnes) {
    const auto cat = ChipCatalogue::Load(std::filesystem::path(CORV_TEST_DATA) / "../../data/DrICtype.ict");
    ASSERT_EQ(cat.entries().size(), 26u);
    for (std::size_t i = 0; i < cat.entries().size(); ++i) {
        const ChipEntry& e = cat.entries()[i];
        // English stays as it was: the EN name and the TIPS text.
        EXPECT_FALSE(e.english.empty()) << i;
        EXPECT_TRUE(Ascii(e.english)) << i;
        EXPECT_EQ(cat.Name(i, kLanguageEnglish), e.english) << i;
        EXPECT_TRUE(Ascii(e.tips)) << i;
        EXPECT_EQ(cat.Tips(i, kLanguageEnglish), cat.Tips(i)) << i;
        // Every tooltip has a Chinese text, shown in the Chinese program.
        EXPECT_TRUE(HasHan(e.chineseTips)) << i;
        EXPECT_TRUE(HasHan(cat.Tips(i, kLanguageSimplified))) << i;
        EXPECT_EQ(cat.Tips(i, kLanguageSimplified).find('\\'), std::string::npos) << i;
        EXPECT_EQ(cat.Name(i, kLanguageSimplified), e.chinese) << i;
    }
    EXPECT_EQ(cat.Tips(0), "Shift registers without enable line\nGray levels as bit planes");
    EXPECT_NE(cat.Tips(0, kLanguageSimplified).find('\n'), std::string::npos);
    // Descriptive names have Chinese words; chip model names stay the model's name.
    for (std::size_t i : {0u, 1u, 3u, 22u, 23u, 24u, 25u}) EXPECT_TRUE(HasHan(cat.Name(i, kLanguageSimplified))) << i;
    EXPECT_EQ(cat.Name(22, kLanguageEnglish), "SPI 8-bit flag");
    EXPECT_EQ(cat.Name(21, kLanguageSimplified), "WS2801");
    // Traditional Chinese: the Chinese texts, in Traditional characters where they differ.
    EXPECT_TRUE(HasHan(cat.Name(3, kLanguageTraditional)));
    EXPECT_TRUE(HasHan(cat.Tips(0, kLanguageTraditional)));
    if (TraditionalConverterAvailable()) {
        EXPECT_EQ(cat.Name(3, kLanguageTraditional), "RGB並行");
        EXPECT_EQ(cat.Name(0, kLanguageTraditional), "無使能");
    }
}

TEST(Catalogue, ChineseTooltipFallsBackToTheEnglishOne) {
    TestFolder dir;
    const auto file = dir.Write("c.ict", "[main]\r\nCH0=无使能\r\nEN0=NotEnable\r\nNUM0=2\r\nTIPS0=One\\Two\r\n"
                                         "EN1=WS2801\r\nNUM1=20\r\nTIPS1=Serial\r\nCHTIPS1=串行\\时钟\r\n");
    const auto cat = ChipCatalogue::Load(file);
    ASSERT_EQ(cat.entries().size(), 2u);
    EXPECT_EQ(cat.Tips(0, kLanguageSimplified), "One\nTwo");
    EXPECT_EQ(cat.Tips(1, kLanguageSimplified), "串行\n时钟");
    EXPECT_EQ(cat.Tips(1, kLanguageEnglish), "Serial");
    EXPECT_EQ(cat.Tips(1), "Serial");
    EXPECT_EQ(cat.Name(1, kLanguageSimplified), "WS2801");  // no Chinese name: the English one
    EXPECT_EQ(cat.Tips(5, kLanguageSimplified), "");
}

TEST(Parameters, ControllerListsInTraditionalChineseAreChinese) {
    const auto columns = SlaveListColumns(kLanguageTraditional);
    ASSERT_EQ(columns.size(), 12u);
    EXPECT_NE(columns[0], "   No.");
    EXPECT_TRUE(HasHan(columns[0]));
    EXPECT_EQ(columns[11], "Gamma");
    EXPECT_EQ(SlaveListColumns(kLanguageEnglish)[0], "   No.");
    EXPECT_TRUE(HasHan(MultiControllerColumns(kLanguageTraditional)[0]));
    EXPECT_EQ(MultiControllerColumns(kLanguageEnglish)[0], "NO.");
}

TEST(LampTypes, BuiltInsAndPinTexts) {
    auto list = BuiltInLightTypes();
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0].Name(), "RGB");
    EXPECT_EQ(list[0].pins[0], 2);
    EXPECT_EQ(list[0].pins[1], 1);
    EXPECT_EQ(list[0].pins[2], 0);
    EXPECT_EQ(list[5].Name(), "BGR");
    EXPECT_EQ(PinText(0), "B1");
    EXPECT_EQ(PinText(2), "R1");
    EXPECT_EQ(PinText(3), "B2");
    EXPECT_EQ(PinText(255), " ");
    EXPECT_EQ(PinValue("R16"), 47);
    EXPECT_FALSE(PinValue("X1"));
}

TEST(LampTypes, SaveFromSelectorsAndShortcut) {
    const UiStrings strings = LoadUiStrings(kLanguageEnglish);
    auto list = BuiltInLightTypes();
    auto r = SaveChipPins(list, "RGB", 3, {"B1", "B1", "B1"}, "", strings);
    EXPECT_EQ(r.kind, ChipPinResult::BuiltInUnchanged);
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(list[0].pins[0], 2);
    r = SaveChipPins(list, "Quad", 4, {"R1", "G1", "B1", "B2"}, "", strings);
    EXPECT_EQ(r.kind, ChipPinResult::Added);
    EXPECT_EQ(r.message, "Save success!");
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[6].pins[0], 2);
    EXPECT_EQ(list[6].pins[1], 1);
    EXPECT_EQ(list[6].pins[2], 0);
    EXPECT_EQ(list[6].pins[3], 3);
    EXPECT_EQ(list[6].pins[4], 255);
    // An empty selector is a pin not connected; a pixel number too large is an error.
    r = SaveChipPins(list, "Quad", 3, {"R1", "", "G2"}, "", strings);
    EXPECT_EQ(r.kind, ChipPinResult::Replaced);
    EXPECT_EQ(list[6].pinCount, 3);
    EXPECT_EQ(list[6].pins[1], 255);
    r = SaveChipPins(list, "Bad", 2, {"R1", "B86"}, "", strings);
    EXPECT_EQ(r.kind, ChipPinResult::PinError);
    EXPECT_EQ(r.message, "Pin2 setting error!");
    EXPECT_EQ(SaveChipPins(list, "None", 0, {}, "", strings).kind, ChipPinResult::Nothing);
    // More than 64 pins come from the shortcut text.
    std::string shortcut;
    for (int p = 1; p <= 22; ++p) shortcut += "R" + std::to_string(p) + "G" + std::to_string(p) + "B" + std::to_string(p);
    shortcut += " x B1";
    r = SaveChipPins(list, "Strip", 68, {}, shortcut, strings);
    ASSERT_EQ(r.kind, ChipPinResult::Added);
    const auto& strip = list.back();
    EXPECT_EQ(strip.pins[0], 2);
    EXPECT_EQ(strip.pins[65], 3 * 22 - 3);
    EXPECT_EQ(strip.pins[66], 255);  // the blank
    EXPECT_EQ(strip.pins[67], 255);  // "x" ended the text
    EXPECT_EQ(ShortcutText(list[0]), "R1G1B1");
}

TEST(LampTypes, DeleteAndFileVersions) {
    TestFolder dir;
    const UiStrings strings = LoadUiStrings(kLanguageEnglish);
    auto list = BuiltInLightTypes();
    SaveChipPins(list, "Seven", 2, {"R1", "G1"}, "", strings);
    SaveChipPins(list, "Eight", 1, {"B1"}, "", strings);
    ASSERT_TRUE(SaveLampTypes(dir / "PinSet.pet", list));
    EXPECT_EQ(ReadFileBytes(dir / "PinSet.pet")->size(), 4u + 2 * 243);
    auto loaded = LoadLampTypes(dir / "PinSet.pet");
    ASSERT_EQ(loaded.size(), 8u);
    EXPECT_EQ(loaded[7].Name(), "Eight");
    // Loading the same records again drops them as duplicates.
    EXPECT_EQ(ReadPinSet(*ReadFileBytes(dir / "PinSet.pet"), loaded), 0);

    LineSetting s;
    s.lightType[0] = 7;
    s.lightType[1] = 6;
    EXPECT_EQ(DeleteLampType(loaded, 2, s, strings), "");  // built in
    EXPECT_EQ(DeleteLampType(loaded, 6, s, strings), "Delete success!");
    EXPECT_EQ(s.lightType[0], 0);  // now past the end
    EXPECT_EQ(s.lightType[1], 6);  // not shifted

    // Version 1: 115-byte records, widened with zero pins; unusable records are skipped.
    ByteWriter w;
    w.U16(3);
    w.U16(1);
    std::vector<std::uint8_t> rec(115, 0);
    rec[0] = 2;
    std::memcpy(rec.data() + 1, "Old", 3);
    rec[51] = 5;
    w.Bytes(rec);
    rec[0] = 0;  // no pins: skipped
    w.Bytes(rec);
    rec[0] = 2;
    rec[1] = 0;  // no name: skipped
    w.Bytes(rec);
    auto v1 = BuiltInLightTypes();
    EXPECT_EQ(ReadPinSet(w.bytes(), v1), 1);
    EXPECT_EQ(v1.back().Name(), "Old");
    EXPECT_EQ(v1.back().pins[0], 5);
    EXPECT_EQ(v1.back().pins[100], 0);
    // A file cut below the records its header states is not a whole lamp-type file.
    EXPECT_EQ(CheckPinSetFile(w.bytes()), "");
    auto cut = w.bytes();
    cut.pop_back();
    EXPECT_EQ(CheckPinSetFile(cut), "the file states 3 lamp types but holds 2 whole records");
    EXPECT_NE(CheckPinSetFile({1, 0}), "");
    const auto saved = *ReadFileBytes(dir / "PinSet.pet");
    EXPECT_EQ(CheckPinSetFile(saved), "");
    EXPECT_NE(CheckPinSetFile(std::vector<std::uint8_t>(saved.begin(), saved.end() - 243)), "");
}

TEST(Parameters, DialogListsAndMultiControllerEdits) {
    EXPECT_EQ(GrayLevelChoices(kSingleController).back(), "512");
    EXPECT_EQ(GrayLevelChoices(kMasterSlave).size(), 16u);
    EXPECT_EQ(SlaveListColumns(kLanguageSimplified)[0], "  分控");
    EXPECT_EQ(SlaveListColumns(kLanguageEnglish).size(), 12u);
    EXPECT_EQ(MultiControllerColumns(kLanguageEnglish)[2], "SlaveNum");
    ParameterValues d = DialogDefaults(ChipCatalogue{});
    EXPECT_EQ(d.grayIndex, 13);
    EXPECT_EQ(d.gamma, 10);
    SlaveGroupList g;
    AddController(g, 3, 10);
    AddController(g, 4, 10);
    EXPECT_EQ(g, (SlaveGroupList{3, 4}));
    AddController(g, 5, 10);  // cut to the 3 left, then it is the implicit last master
    EXPECT_EQ(g, (SlaveGroupList{3, 4}));
    RefurbishController(g, 0, 1, 10);
    EXPECT_EQ(g, (SlaveGroupList{1, 4}));
    RefurbishController(g, 2, 9, 10);  // the last row has no entry
    EXPECT_EQ(g, (SlaveGroupList{1, 4}));
    DeleteController(g, 0, 10);
    EXPECT_EQ(g, (SlaveGroupList{4}));
}
