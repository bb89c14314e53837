#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/FrameStore.h"

using namespace corv;

namespace {

// Records what the main window would be told.
struct Recorder : FrameStoreListener {
    std::vector<std::string> events;
    void ClipEntriesChanged(int count, int selected) override {
        events.push_back("entries " + std::to_string(count) + " sel " + std::to_string(selected));
    }
    void FrameNumberShown(int n) override { events.push_back("frame " + std::to_string(n)); }
    void RedrawRequested() override { events.push_back("redraw"); }
};

struct Fixture : ::testing::Test {
    AppState app;
    FrameStore store{app};
    Recorder rec;
    void SetUp() override { store.SetListener(&rec); }
};

using FrameStoreTest = Fixture;

}  // namespace

TEST_F(FrameStoreTest, AddClipSelectsItAndTellsTheSelector) {
    app.backgroundColour = Bgr{5, 6, 7};
    app.currentFrame = 3;
    store.AddClip(10, 4);
    ASSERT_EQ(store.Count(), 1);
    EXPECT_EQ(store.current(), 0);
    EXPECT_EQ(app.frameWidth, 10);
    EXPECT_EQ(app.frameHeight, 4);
    EXPECT_EQ(app.currentFrame, 0);
    ASSERT_EQ(store.CurrentFrames().size(), 1u);
    EXPECT_EQ(store.CurrentFrames()[0].Pixel(9, 3), (Bgr{5, 6, 7}));
    EXPECT_TRUE(store.CurrentClip().lineFilePath.empty());
    EXPECT_EQ(rec.events, (std::vector<std::string>{"frame 1", "redraw", "entries 1 sel 0"}));
}

TEST_F(FrameStoreTest, SeventeenthClipIsIgnored) {
    for (int i = 0; i < 16; ++i) store.AddClip(i + 1, 2);
    rec.events.clear();
    store.AddClip(99, 99);
    EXPECT_EQ(store.Count(), 16);
    EXPECT_EQ(store.current(), 15);
    EXPECT_EQ(app.frameWidth, 16);
    EXPECT_TRUE(rec.events.empty());
}

TEST_F(FrameStoreTest, DeleteMovesLaterClipsDownAndNeverDeletesTheLastClip) {
    store.AddClip(1, 1);
    store.AddClip(2, 2);
    store.AddClip(3, 3);
    store.clip(2).lineFilePath = "/x/third.lnf";
    store.clip(2).sourceFrame = 0;
    store.DeleteClip(1);
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(store.clip(1).width, 3u);
    EXPECT_EQ(store.clip(1).lineFilePath, "/x/third.lnf");
    EXPECT_EQ(store.clip(1).sourceFrame, 0);  // moves with its clip
    EXPECT_EQ(store.current(), 0);
    EXPECT_EQ(app.frameWidth, 1);

    store.DeleteClip(5);  // out of range
    EXPECT_EQ(store.Count(), 2);
    store.DeleteClip(0);
    ASSERT_EQ(store.Count(), 1);
    rec.events.clear();
    store.DeleteClip(0);  // the only clip stays
    EXPECT_EQ(store.Count(), 1);
    EXPECT_TRUE(rec.events.empty());
}

TEST_F(FrameStoreTest, DeleteAllLeavesNoClipUntilTheNextAdd) {
    store.AddClip(4, 4);
    store.AddClip(5, 5);
    store.DeleteClip(-1);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_FALSE(store.HasCurrent());
    EXPECT_EQ(store.CurrentFrame(), nullptr);
    EXPECT_EQ(store.AppendFrame(false), nullptr);
    EXPECT_EQ(rec.events.back(), "entries 0 sel -1");
    store.AddClip(6, 2);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(store.clip(0).width, 6u);
}

TEST_F(FrameStoreTest, SelectOutOfRangeChangesNothing) {
    store.AddClip(8, 2);
    store.AddClip(4, 4);
    store.Select(0);
    app.currentFrame = 0;
    rec.events.clear();
    for (int bad : {-1, 2, 16, 1000}) {
        store.Select(bad);
    }
    EXPECT_EQ(store.current(), 0);
    EXPECT_EQ(app.frameWidth, 8);
    EXPECT_TRUE(rec.events.empty());
    store.Select(1);
    EXPECT_EQ(app.frameWidth, 4);
    EXPECT_EQ(rec.events, (std::vector<std::string>{"frame 1", "redraw"}));
}

TEST_F(FrameStoreTest, InsertModeAddsAfterTheCurrentFrame) {
    store.AddClip(2, 2);
    store.CurrentFrames()[0].SetPixel(0, 0, Bgr{1, 1, 1});
    Frame* copy = store.AppendFrame(false);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Pixel(0, 0), (Bgr{1, 1, 1}));
    app.backgroundColour = Bgr{0, 0, 200};
    Frame* blank = store.AppendFrame(true);
    EXPECT_EQ(blank->Pixel(0, 0), (Bgr{0, 0, 200}));
    EXPECT_EQ(store.CurrentFrames().size(), 3u);
    EXPECT_EQ(app.currentFrame, 2);
    // Inserting after a frame in the middle keeps the later frames behind it.
    app.currentFrame = 0;
    store.AppendFrame(true);
    EXPECT_EQ(app.currentFrame, 1);
    EXPECT_EQ(store.CurrentFrames().size(), 4u);
    EXPECT_EQ(store.CurrentFrames()[2].Pixel(0, 0), (Bgr{1, 1, 1}));
}

TEST_F(FrameStoreTest, CoverModeOverwritesFollowingFramesAndAppendsOnlyPastTheLast) {
    store.AddClip(1, 1);
    for (int i = 1; i < 5; ++i) {
        store.AppendFrame(true)->SetPixel(0, 0, Bgr{static_cast<std::uint8_t>(i), 0, 0});
    }
    ASSERT_EQ(store.CurrentFrames().size(), 5u);  // frames 0..4, pixel = index
    app.coverMode = true;
    app.currentFrame = 2;  // k = 2 of M = 5: producing 4 frames overwrites 3, 4 and appends 2
    for (int i = 0; i < 4; ++i) {
        store.AppendFrame(false)->SetPixel(0, 0, Bgr{static_cast<std::uint8_t>(100 + i), 0, 0});
    }
    const auto& frames = store.CurrentFrames();
    ASSERT_EQ(frames.size(), 7u);
    EXPECT_EQ(app.currentFrame, 6);
    const std::uint8_t expected[7] = {0, 1, 2, 100, 101, 102, 103};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(frames[static_cast<std::size_t>(i)].Pixel(0, 0).b, expected[i]) << i;
    }
}
