#include <gtest/gtest.h>

#include "content/ColourProcess.h"

using namespace corv;

namespace {

struct Clip {
    std::vector<Frame> frames;
    FrameUndo undo;
    RangeContext context;
    explicit Clip(std::vector<Frame> f) : frames(std::move(f)) {
        context.frames = &frames;
        context.undo = &undo;
        context.background = Bgr{9, 9, 9};
    }
};

// A 3 x 2 frame of the given pixels (top row first).
Frame Pixels(std::initializer_list<Bgr> pixels) {
    Frame f(3, 2);
    int i = 0;
    for (Bgr p : pixels) {
        f.SetPixel(i % 3, i / 3, p);
        ++i;
    }
    return f;
}

const Bgr kRed{0, 0, 255}, kGreen{0, 255, 0}, kYellow{0, 255, 255}, kWhite{255, 255, 255};

}  // namespace

TEST(ColourProcess, ReplaceExactAndByPureColourShades) {
    const Frame start = Pixels({kRed, Bgr{0, 0, 128}, Bgr{10, 20, 30}, Bgr{0, 10, 128}, kWhite, Bgr{0, 0, 0}});
    // Same colour for old and new: nothing changes.
    Clip same({start});
    ReplaceColour(same.context, 0, 1, Bgr{10, 20, 30}, Bgr{10, 20, 30});
    EXPECT_EQ(same.frames[0], start);
    ReplaceColour(same.context, 0, 1, kRed, kRed);
    EXPECT_EQ(same.frames[0], start);
    // Pure red to yellow keeps the brightness: (0, 0, 128) becomes (0, 128, 128).
    Clip pure({start});
    ReplaceColour(pure.context, 0, 1, kRed, kYellow);
    EXPECT_EQ(pure.frames[0].Pixel(0, 0), kYellow);
    EXPECT_EQ(pure.frames[0].Pixel(1, 0), (Bgr{0, 128, 128}));
    EXPECT_EQ(pure.frames[0].Pixel(0, 1), (Bgr{0, 10, 128}));  // green is lit too: not a shade of red
    EXPECT_EQ(pure.frames[0].Pixel(1, 1), kWhite);
    EXPECT_EQ(pure.frames[0].Pixel(2, 1), (Bgr{0, 0, 0}));
    // A colour that is not pure: only exact matches.
    Clip exact({start});
    ReplaceColour(exact.context, 0, 1, Bgr{10, 20, 30}, kGreen);
    EXPECT_EQ(exact.frames[0].Pixel(2, 0), kGreen);
    EXPECT_EQ(exact.frames[0].Pixel(1, 0), (Bgr{0, 0, 128}));
    // One undo step gives the frame back.
    ASSERT_TRUE(exact.undo.Undo(exact.frames));
    EXPECT_EQ(exact.frames[0], start);
}

TEST(ColourProcess, SwapShadeAndTheEditArea) {
    const Frame start = Pixels({Bgr{1, 2, 3}, Bgr{100, 150, 200}, kWhite, kRed, kGreen, Bgr{7, 8, 9}});
    Clip c({start, start});
    const auto order = ChannelOrderNamed("R B G");
    ASSERT_TRUE(order);
    SwapChannels(c.context, 0, 1, *order);
    EXPECT_EQ(c.frames[0].Pixel(0, 0), (Bgr{2, 1, 3}));  // R' = r, G' = b, B' = g
    SwapChannels(c.context, 0, 1, *order);
    EXPECT_EQ(c.frames[0], start);  // twice restores
    SwapChannels(c.context, 0, 1, *ChannelOrderNamed("gbr"));
    EXPECT_EQ(c.frames[0].Pixel(0, 0), (Bgr{2, 3, 1}));  // r to G', g to B', b to R'
    SwapChannels(c.context, 0, 1, *ChannelOrderNamed("B R G"));
    EXPECT_EQ(c.frames[0].Pixel(0, 0), start.Pixel(0, 0));  // the two rotations undo each other
    EXPECT_FALSE(ChannelOrderNamed("R G B"));
    EXPECT_EQ(c.frames[1], start);  // outside the range

    ShadeChannels(c.context, 0, 1, true, true, true, 100);
    EXPECT_EQ(c.frames[0], start);
    ShadeChannels(c.context, 0, 1, true, false, false, 0);
    EXPECT_EQ(c.frames[0].Pixel(1, 0), (Bgr{100, 150, 0}));
    ShadeChannels(c.context, 0, 1, false, true, true, 150);
    EXPECT_EQ(c.frames[0].Pixel(1, 0), (Bgr{150, 225, 0}));
    EXPECT_EQ(c.frames[0].Pixel(2, 0), (Bgr{255, 255, 0}));  // 255 x 1.5 kept to 255

    // With an edit area only its pixels change.
    Clip area({start});
    area.context.editArea = PixelRect{1, 0, 2, 2};
    ShadeChannels(area.context, 0, 1, true, true, true, 0);
    EXPECT_EQ(area.frames[0].Pixel(0, 0), start.Pixel(0, 0));
    EXPECT_EQ(area.frames[0].Pixel(1, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(area.frames[0].Pixel(1, 1), (Bgr{0, 0, 0}));
    EXPECT_EQ(area.frames[0].Pixel(2, 1), start.Pixel(2, 1));
}

TEST(ColourProcess, ClearNonLedPointsAndByTheCurrentFrame) {
    const Frame start = Pixels({kRed, kRed, kRed, kGreen, kGreen, kGreen});
    Clip c({start, start});
    Layout layout;
    layout.New(2, 3, false, 3);
    layout.lines[0] = {MakePoint(0, 1), MakePoint(1, 2)};  // row, col
    ASSERT_TRUE(ClearNonLed(c.context, 0, 2, layout));
    for (const Frame& f : c.frames) {
        EXPECT_EQ(f.Pixel(1, 0), kRed);    // LED at row 0, col 1
        EXPECT_EQ(f.Pixel(2, 1), kGreen);  // LED at row 1, col 2
        EXPECT_EQ(f.Pixel(0, 0), (Bgr{9, 9, 9}));
        EXPECT_EQ(f.Pixel(0, 1), (Bgr{9, 9, 9}));
    }
    // A layout of another size: nothing happens.
    Layout other;
    other.New(4, 4, false, 3);
    Clip untouched({start});
    EXPECT_FALSE(ClearNonLed(untouched.context, 0, 1, other));
    EXPECT_EQ(untouched.frames[0], start);
    EXPECT_FALSE(untouched.undo.CanUndo());

    // By the current frame: where it is black, the frames of the range are cleared.
    Frame mask = Pixels({kRed, Bgr{0, 0, 0}, kRed, Bgr{0, 0, 0}, kGreen, kGreen});
    Clip byFrame({start, mask});
    ASSERT_TRUE(ClearByFrame(byFrame.context, 0, 2, byFrame.frames[1]));  // the mask is in the range
    EXPECT_EQ(byFrame.frames[0].Pixel(1, 0), (Bgr{9, 9, 9}));
    EXPECT_EQ(byFrame.frames[0].Pixel(0, 1), (Bgr{9, 9, 9}));
    EXPECT_EQ(byFrame.frames[0].Pixel(0, 0), kRed);
    EXPECT_EQ(byFrame.frames[1].Pixel(0, 1), (Bgr{9, 9, 9}));  // the mask frame itself too
    EXPECT_FALSE(ClearByFrame(byFrame.context, 0, 1, Frame(5, 5)));
}
