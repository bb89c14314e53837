#include <gtest/gtest.h>

#include <vector>

#include "workspace/FrameViewRules.h"

using namespace corv;

TEST(FrameViewRules, ZoomSequenceBothWays) {
    std::vector<int> up{1};
    while (ZoomUp(up.back()) != up.back()) up.push_back(ZoomUp(up.back()));
    EXPECT_EQ(up, (std::vector<int>{1, 2, 3, 4, 5, 6, 8, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    std::vector<int> down{100};
    while (ZoomDown(down.back()) != down.back()) down.push_back(ZoomDown(down.back()));
    EXPECT_EQ(down, (std::vector<int>{100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(ZoomUp(7), 9);  // odd steps from 6..9 go up by 2 as well
}

TEST(FrameViewRules, FitPlayAndSpeed) {
    EXPECT_EQ(FitZoom(40, 40, 32, 24, 1, 1), 1);  // a window smaller than 50 pixels plus a cell
    EXPECT_EQ(FitZoom(1650, 1050, 32, 24, 1, 1), 41);
    EXPECT_EQ(FitZoom(1650, 1050, 32, 24, 2, 1), 25);
    EXPECT_EQ(FitZoom(1650, 1050, 1, 1, 1, 1), 100);  // one cell: the zoom range ends at 100
    EXPECT_EQ(PlayInterval(5), 100);   // 10 frames per second
    EXPECT_EQ(PlayInterval(200), 12);  // 80 frames per second
    EXPECT_EQ(PlayInterval(30), 33);
    EXPECT_FALSE(CanPlay(1));
    EXPECT_TRUE(CanPlay(2));
    EXPECT_FALSE(SpeedAccepted(9));
    EXPECT_TRUE(SpeedAccepted(80));
    EXPECT_FALSE(SpeedAccepted(81));
}
