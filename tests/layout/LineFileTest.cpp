#include <gtest/gtest.h>

#include "TestHome.h"
#include <cstring>

#include "base/Binary.h"
#include "base/FileUtil.h"
#include "layout/LineFile.h"

using namespace corv;
using corv::test::TestFolder;

namespace {

LightTypeRecord Lamp(const char* name, std::initializer_list<std::uint8_t> pins) {
    LightTypeRecord r;
    r.SetName(name);
    r.pinCount = static_cast<std::uint8_t>(pins.size());
    r.pins.fill(255);
    std::size_t i = 0;
    for (auto p : pins) r.pins[i++] = p;
    return r;
}

// A line file as a hex editor would write it, for the given version.
std::vector<std::uint8_t> HandMade(std::uint8_t version) {
    ByteWriter w;
    w.Bytes("LNF", 3);
    w.U8(version);
    w.Zeros(6);
    w.U16(2);  // rows
    w.U16(3);  // cols
    w.U8(0);
    w.U32(0);
    w.U8(1);   // single controller
    w.U16(2);  // two lines
    w.U16(0x1234);
    w.U32(1);
    w.U32(MakePoint(0, 2));
    w.U32(2);
    w.U32(MakePoint(1, 0));
    w.U32(MakePoint(1, 1));
    w.U32(1);  // one pair
    w.U32(7);
    w.U32(8);
    if (version >= 1) {
        for (int i = 0; i < 64; ++i) w.U8(static_cast<std::uint8_t>(i));
    }
    w.U8(0);  // ports per slave 0: taken as 1
    w.U8(5);
    for (int t = 0; t < 11; ++t) {
        w.U8(static_cast<std::uint8_t>(10 + t));
        w.U8(static_cast<std::uint8_t>(20 + t));
    }
    w.U32(3);
    w.Zeros(3);  // skipped bytes
    const std::size_t rec = version >= 3 ? 243 : 115;
    w.U32(1);
    std::vector<std::uint8_t> r(rec, 0);
    r[0] = 3;
    std::memcpy(r.data() + 1, "RGB", 3);
    r[51] = 2;
    r[52] = 1;
    r[53] = 0;
    w.Bytes(r);
    w.U32(3);
    w.U16(200);
    w.U16(0);
    w.U16(1);
    return std::move(w.bytes());
}

}  // namespace

TEST(LineFile, SizeFollowsTheFormula) {
    Layout l;
    l.New(24, 32, false, 3);
    l.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(0, 2)};
    l.RecomputeLineCount();
    l.slaveGroups = {1, 2};
    const auto lamps = BuiltInLightTypes();
    const auto bytes = LineFileBytes(l, lamps);
    const std::size_t L = lamps.size(), G = 2;
    EXPECT_EQ(bytes.size(), 10 + 5 + 4 + (5 + 4 + 12 + 4 + 64 + 2 + 11 + 4) + 4 + 243 * L + 4 + 2 * G);
}

TEST(LineFile, WrittenFilesReadBackIdentically) {
    TestFolder dir;
    Layout l;
    l.New(5, 10, true, 3);
    l.lines[0] = {MakePoint(0, 0), MakePoint(2, 9)};
    l.lines[3] = {MakePoint(4, 1)};
    l.setting.controllerType = 1;
    l.setting.SetPortsPerSlave(2);
    l.setting.clock[1] = 7;
    l.setting.gamma[0] = 22;
    l.setting.lineExtra[1] = 9;
    l.setting.pairListA = {1, 2};
    l.setting.pairListB = {3, 4};
    l.setting.block64[5] = 0;
    l.setting.lineOption = 4;
    l.slaveGroups = {1};
    auto lamps = BuiltInLightTypes();
    lamps.push_back(Lamp("Quad", {2, 1, 0, 3}));
    ASSERT_TRUE(SaveLineFile(dir / "a.lnf", l, lamps));
    const auto first = *ReadFileBytes(dir / "a.lnf");

    Layout back;
    auto list = BuiltInLightTypes();
    ASSERT_EQ(LineFileErrorOf(LoadLineFile(dir / "a.lnf", back, list, 3)), LineFileError::None);
    EXPECT_EQ(back.grid.rowWidths, (std::vector<std::uint16_t>{6, 9, 10, 9, 6}));
    EXPECT_EQ(back.lines[3], l.lines[3]);
    EXPECT_EQ(back.setting.lineCount, 4);
    EXPECT_EQ(back.setting.controllerType, 1);
    EXPECT_EQ(back.setting.clock[1], 7);
    EXPECT_EQ(back.setting.pairListB, (std::vector<std::uint32_t>{3, 4}));
    EXPECT_EQ(back.setting.block64[5], 0);
    EXPECT_EQ(back.occupancy.At(2, 9), 1);
    EXPECT_EQ(back.occupancy.At(0, 7), 1);  // beyond the sphere row
    // Unused lamp records are not merged; the list is as it was, so writing gives the same bytes
    // when the lamp list matches.
    ASSERT_TRUE(SaveLineFile(dir / "b.lnf", back, lamps));
    EXPECT_EQ(*ReadFileBytes(dir / "b.lnf"), first);
}

TEST(LineFile, HandMadeFilesOfEveryVersion) {
    for (std::uint8_t version : {0, 1, 2, 3}) {
        LineFileContent c;
        ASSERT_EQ(ParseLineFile(HandMade(version), c), LineFileError::None) << int(version);
        EXPECT_EQ(c.grid.rows, 2);
        EXPECT_EQ(c.grid.cols, 3);
        EXPECT_EQ(c.setting.controllerType, 1);
        EXPECT_EQ(c.setting.reserved6, 0x1234);
        EXPECT_EQ(c.lines[1], (Line{MakePoint(1, 0), MakePoint(1, 1)}));
        EXPECT_EQ(c.setting.pairListA, (std::vector<std::uint32_t>{7}));
        EXPECT_EQ(c.setting.block64[10], version >= 1 ? 10 : 0xFF);
        EXPECT_EQ(c.setting.portsPerSlave, 1);
        EXPECT_EQ(c.setting.lineOption, 5);
        EXPECT_EQ(c.setting.icType[1], 21);
        EXPECT_EQ(c.setting.lineExtra[0], 20);
        ASSERT_EQ(c.lightTypes.size(), 1u);
        EXPECT_EQ(c.lightTypes[0].Name(), "RGB");
        EXPECT_EQ(c.lightTypes[0].pins[0], 2);
        EXPECT_EQ(c.lightTypes[0].pins[100], version >= 3 ? 0 : 0);  // widened with zeros
        EXPECT_EQ(c.slaveGroups, (SlaveGroupList{200, 1}));  // the zero entry is dropped
    }
    auto bad = HandMade(3);
    bad[3] = 4;
    LineFileContent c;
    EXPECT_EQ(ParseLineFile(bad, c), LineFileError::Unsupported);
    bad[3] = 0xFF;  // -1: read like a version before the 64-byte block
    EXPECT_NE(ParseLineFile(bad, c), LineFileError::None);
    auto skip = HandMade(3);
    // The skip count sits before the light records: 30001 refuses the file.
    const std::size_t skipAt = skip.size() - 4 - 6 - 4 - 243 - 3 - 4;
    ASSERT_EQ(LoadU32(&skip[skipAt]), 3u);
    StoreU32(&skip[skipAt], 30001);
    EXPECT_EQ(ParseLineFile(skip, c), LineFileError::Unsupported);
}

TEST(LineFile, EveryTruncationIsRefused) {
    const auto whole = HandMade(3);
    for (std::size_t n = 0; n < whole.size(); ++n) {
        LineFileContent c;
        std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_EQ(ParseLineFile(cut, c), LineFileError::Unsupported) << n;
    }
}

TEST(LineFile, CountsPastTheEndAreRefused) {
    auto bytes = HandMade(3);
    LineFileContent c;
    auto patch = bytes;
    StoreU16(&patch[20], 300);  // more than 256 lines
    EXPECT_EQ(ParseLineFile(patch, c), LineFileError::Unsupported);
    patch = bytes;
    StoreU32(&patch[24], 0x40000000);  // a line of a billion points
    EXPECT_EQ(ParseLineFile(patch, c), LineFileError::Unsupported);
}

TEST(LineFile, RefusedFileLeavesTheLayoutAlone) {
    TestFolder dir;
    Layout l;
    l.New(4, 4, false, 3);
    l.lines[0] = {MakePoint(1, 1)};
    dir.Write("bad.lnf", "LNF\x09 nonsense");
    auto list = BuiltInLightTypes();
    EXPECT_EQ(LineFileErrorOf(LoadLineFile(dir / "bad.lnf", l, list, 3)), LineFileError::Unsupported);
    EXPECT_EQ(LineFileErrorOf(LoadLineFile(dir / "none.lnf", l, list, 3)), LineFileError::OpenFailed);
    EXPECT_EQ(l.lines[0].size(), 1u);
    EXPECT_EQ(LineFilePathFor("/a/show.txt"), std::filesystem::path("/a/show.lnf"));
    EXPECT_EQ(LineFilePathFor("/a/show.lnf"), std::filesystem::path("/a/show.lnf"));
}

TEST(LineFile, LightTypeMerge) {
    // The program has the six built-in types and two more (indices 6, 7).
    auto list = BuiltInLightTypes();
    list.push_back(Lamp("Six", {0, 1, 2, 3}));
    list.push_back(Lamp("Seven", {5, 4, 3}));
    // The file's records: 2 is new (pins differ from list record 2), 7 equals list record 7.
    std::vector<LightTypeRecord> file = BuiltInLightTypes();
    file[2] = Lamp("NewTwo", {9, 9, 9});
    file.push_back(Lamp("Other6", {1}));
    file.push_back(Lamp("Seven", {5, 4, 3}));
    LineSetting::Table table{};
    table[0] = 2;
    table[1] = 7;
    MergeLightTypes(list, file, table);
    ASSERT_EQ(list.size(), 9u);
    EXPECT_EQ(list[8].Name(), "NewTwo");
    EXPECT_EQ(table[0], 8);
    EXPECT_EQ(table[1], 7);
    // A record that no slave uses is ignored; one equal to an existing record maps to it.
    auto list2 = BuiltInLightTypes();
    std::vector<LightTypeRecord> file2 = BuiltInLightTypes();
    file2.push_back(Lamp("SameAsGRB", {1, 2, 0}));  // index 6: pins of GRB
    file2.push_back(Lamp("Unused", {4}));
    LineSetting::Table t2{};
    t2[0] = 6;
    MergeLightTypes(list2, file2, t2);
    EXPECT_EQ(list2.size(), 6u);
    EXPECT_EQ(t2[0], 2);
}

TEST(LineFile, RandomDamageNeverCrashes) {
    Layout l;
    l.New(6, 6, true, 3);
    l.lines[0] = {MakePoint(0, 0), MakePoint(1, 1)};
    l.lines[2] = {MakePoint(2, 2)};
    l.RecomputeLineCount();
    l.slaveGroups = {1};
    const auto whole = LineFileBytes(l, BuiltInLightTypes());
    std::uint32_t seed = 99;
    int accepted = 0;
    for (int round = 0; round < 2000; ++round) {
        auto copy = whole;
        for (int k = 0; k < 4; ++k) {
            seed = seed * 1664525u + 1013904223u;
            copy[(seed >> 8) % copy.size()] ^= static_cast<std::uint8_t>(seed >> 24 | 1);
        }
        LineFileContent c;
        if (ParseLineFile(copy, c) == LineFileError::None) {
            ++accepted;
            EXPECT_LE(c.setting.lineCount, kLineCount);
        }
    }
    EXPECT_GT(accepted, 0);
}
