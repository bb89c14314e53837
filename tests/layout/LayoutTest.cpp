#include <gtest/gtest.h>

#include "layout/Layout.h"

using namespace corv;

TEST(Layout, PointsPackRowHigh) {
    EXPECT_EQ(MakePoint(2, 5), 0x00020005u);
    EXPECT_EQ(PointRow(0x00020005u), 2);
    EXPECT_EQ(PointCol(0x00020005u), 5);
    EXPECT_EQ(MakePoint(65535, 65535), 0xFFFFFFFFu);
}

TEST(Layout, SphereRowWidths) {
    EXPECT_EQ(SphereRowWidths(4, 8), (std::vector<std::uint16_t>{5, 8, 8, 5}));
    EXPECT_EQ(SphereRowWidths(5, 10), (std::vector<std::uint16_t>{6, 9, 10, 9, 6}));
    // Even rows: the two middle rows are full; rows shrink towards the poles.
    auto w = SphereRowWidths(20, 64);
    EXPECT_EQ(w[9], 64);
    EXPECT_EQ(w[10], 64);
    for (int i = 0; i < 9; ++i) {
        EXPECT_LE(w[static_cast<std::size_t>(i)], w[static_cast<std::size_t>(i + 1)]);
        EXPECT_EQ(w[static_cast<std::size_t>(i)], w[static_cast<std::size_t>(19 - i)]);
    }
}

TEST(Layout, SphereOccupancyMarksCellsPastEachRow) {
    Layout l;
    l.New(4, 8, true, 3);
    EXPECT_EQ(l.occupancy.At(0, 4), 0);
    EXPECT_EQ(l.occupancy.At(0, 5), 1);
    EXPECT_EQ(l.occupancy.At(1, 7), 0);
    EXPECT_FALSE(l.occupancy.TryOccupy(0, 6, false));
    EXPECT_TRUE(l.occupancy.TryOccupy(0, 6, true));  // repeats are always accepted
    EXPECT_EQ(l.occupancy.At(0, 6), 2);
}

TEST(Layout, OccupancyRules) {
    Layout l;
    l.New(3, 3, false, 3);
    EXPECT_TRUE(l.occupancy.TryOccupy(1, 1, false));
    EXPECT_FALSE(l.occupancy.TryOccupy(1, 1, false));
    EXPECT_FALSE(l.occupancy.TryOccupy(3, 0, false));
    std::vector<std::uint8_t> mask(9, 0);
    mask[2] = 1;
    EXPECT_FALSE(l.occupancy.TryOccupy(0, 0, false, &mask));
    EXPECT_TRUE(l.occupancy.TryOccupy(0, 2, false, &mask));
    EXPECT_TRUE(l.occupancy.TryOccupy(1, 1, true));
    EXPECT_EQ(l.occupancy.At(1, 1), 2);
    l.occupancy.Decrement(1, 1);
    EXPECT_EQ(l.occupancy.At(1, 1), 1);
    l.occupancy.TryOccupy(1, 1, true);
    l.occupancy.Release(1, 1);
    EXPECT_EQ(l.occupancy.At(1, 1), 0);
    // Two lines sharing a cell give it occupancy 2 after a rebuild.
    l.lines[0] = {MakePoint(2, 2)};
    l.lines[7] = {MakePoint(2, 2), MakePoint(0, 1)};
    l.occupancy.Rebuild(l.grid, l.lines);
    EXPECT_EQ(l.occupancy.At(2, 2), 2);
    EXPECT_EQ(l.occupancy.At(0, 1), 1);
    EXPECT_EQ(l.occupancy.At(1, 1), 0);
}

TEST(Layout, LineCountAndSlaves) {
    Layout l;
    l.New(10, 10, false, 3);
    l.RecomputeLineCount();
    EXPECT_EQ(l.setting.lineCount, 0);
    l.lines[9].push_back(MakePoint(0, 0));
    l.RecomputeLineCount();
    EXPECT_EQ(l.setting.lineCount, 10);
    l.setting.SetPortsPerSlave(4);
    EXPECT_EQ(l.setting.SlaveCount(), 3);
    EXPECT_EQ(l.setting.linePorts[200], 4);
    l.lines[9].clear();
    l.lines[6].push_back(MakePoint(1, 1));
    l.RecomputeLineCount();
    EXPECT_EQ(l.setting.lineCount, 7);
    EXPECT_EQ(l.setting.SlaveCount(), 2);
    l.setting.SetPortsPerSlave(0);
    EXPECT_EQ(l.setting.portsPerSlave, 1);
}

TEST(Layout, SlaveGroupNormalisation) {
    SlaveGroupList g = {2, 5};
    NormaliseSlaveGroups(g, 3);
    EXPECT_EQ(g, (SlaveGroupList{2}));
    g = {3};
    NormaliseSlaveGroups(g, 3);
    EXPECT_TRUE(g.empty());
    g = {4, 0, 9};
    NormaliseSlaveGroups(g, 10);
    EXPECT_EQ(g, (SlaveGroupList{4}));
    g = {1, 1};
    NormaliseSlaveGroups(g, 5);
    EXPECT_EQ(g, (SlaveGroupList{1, 1}));
    NormaliseSlaveGroups(g, 0);
    EXPECT_TRUE(g.empty());
}

TEST(Layout, DefaultsAndClear) {
    LineSetting s;
    EXPECT_EQ(s.icType[0], 3);
    EXPECT_EQ(s.clock[255], 25);
    EXPECT_EQ(s.grayReverse[3], 13);
    EXPECT_EQ(s.gamma[3], 10);
    EXPECT_EQ(s.block64[63], 0xFF);
    s.lightType[4] = 9;
    s.brightness[4] = 50;
    s.pairListA = {1};
    s.pairListB = {2};
    s.reserved6 = 7;
    s.Clear(19);
    EXPECT_EQ(s.lightType[4], 0);
    EXPECT_EQ(s.icType[4], 19);
    EXPECT_EQ(s.brightness[4], 50);  // other tables keep their values
    EXPECT_TRUE(s.pairListA.empty());
    EXPECT_EQ(s.reserved6, 0);
}

#include "lang/Language.h"
#include "layout/PanelLists.h"

TEST(Layout, LinePanelLists) {
    auto ports = PortsPerSlaveChoices(kLanguageEnglish);
    ASSERT_EQ(ports.size(), 5u);
    EXPECT_EQ(ports[4], (std::pair<std::string, int>{"Eight line with a salve", 8}));
    EXPECT_EQ(PortsPerSlaveChoices(kLanguageSimplified)[0].first, "一台分控一条线路");
    EXPECT_EQ(LineLimitChoices(32), (std::vector<int>{32, 170, 512, 1024, 2048, 4096}));
    EXPECT_EQ(AcceptLineLimit(0, 170), 170);
    EXPECT_EQ(AcceptLineLimit(300, 170), 300);
    EXPECT_EQ(ConnectionModeNames(kLanguageEnglish)[4], "Shor distance ");
    EXPECT_EQ(ConnectionModeNames(kLanguageSimplified)[5], "最短距离(横向优先)");
    EXPECT_EQ(LineListColumns(kLanguageSimplified)[1], "点数");
    EXPECT_EQ(LineListColumns(kLanguageSimplified)[0], "线路");
    EXPECT_EQ(LineListColumns(kLanguageEnglish)[0], "No.");
}
