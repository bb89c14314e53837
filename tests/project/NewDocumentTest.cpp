#include <gtest/gtest.h>

#include "project/NewDocument.h"

using namespace corv;

TEST(SizeDialog, ScaleKeepsThePresetRatioWithIntegerDivision) {
    SizeDialogModel m(64, 48);
    EXPECT_EQ(m.width(), 64);
    EXPECT_EQ(m.height(), 48);
    EXPECT_FALSE(m.EditWidth(100));  // Scale off: the other field stays
    EXPECT_EQ(m.height(), 48);
    m.SetScale(true);
    EXPECT_TRUE(m.EditWidth(100));
    EXPECT_EQ(m.height(), 75);  // 100 * 48 / 64
    EXPECT_TRUE(m.EditWidth(33));
    EXPECT_EQ(m.height(), 24);  // 33 * 48 / 64 = 24.75, cut
    EXPECT_TRUE(m.EditHeight(10));
    EXPECT_EQ(m.width(), 13);  // 10 * 64 / 48 = 13.3
    // The ratio stays the preset's, not the last edited pair's.
    EXPECT_TRUE(m.EditWidth(64));
    EXPECT_EQ(m.height(), 48);
}

TEST(SizeDialog, GuardStopsTheUpdatesFromFeedingEachOther) {
    SizeDialogModel m(3, 2);
    m.SetScale(true);
    int notifications = 0;
    // The dialog writes the height edit, whose change notification edits the height again.
    m.EditWidth(10, [&](int h) {
        ++notifications;
        EXPECT_FALSE(m.EditHeight(h, [&](int) { ++notifications; }));
    });
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(m.width(), 10);  // not recomputed from the rounded height (6 * 3 / 2 = 9)
    EXPECT_EQ(m.height(), 6);
}

TEST(SizeDialog, DefaultsPresetAndAcceptance) {
    SizeDialogModel def;
    EXPECT_EQ(def.width(), 168);
    EXPECT_EQ(def.height(), 168);
    EXPECT_EQ(NewDocumentPreset(0, 10, 32, 24), (FrameSize{32, 24}));
    EXPECT_EQ(NewDocumentPreset(100, 10, 32, 24), (FrameSize{100, 10}));
    SizeDialogModel m(10, 10);
    EXPECT_EQ(m.Accept(), (FrameSize{10, 10}));
    m.EditWidth(0);
    EXPECT_FALSE(m.Accept());
    m.EditWidth(40000);
    EXPECT_FALSE(m.Accept());
}
