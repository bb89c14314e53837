#include <gtest/gtest.h>

#include "base/TempDir.h"
#include "content/Generators.h"

using namespace corv;

namespace {

constexpr Bgr kBack{1, 2, 3};

struct Clip {
    std::vector<Frame> frames;
    FrameUndo undo;
    ColourList colours;
    GeneratorRun run;
    Clip(int w, int h, std::vector<ListColour> list = {0xFF0000, 0x00FF00, 0x0000FF}) : colours(std::move(list)) {
        frames.push_back(Frame::Filled(w, h, kBack));
        run.frames = &frames;
        run.undo = &undo;
        run.colours = &colours;
        run.background = kBack;
        run.count = 5;
    }
};

// A picture with a different colour in every pixel.
Frame Varied(int w, int h) {
    Frame f(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) f.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(x * 16 + 1), static_cast<std::uint8_t>(y * 16 + 1), 77});
    }
    return f;
}

}  // namespace

TEST(Generators, MovingLeftStepsAndFillsTheEnteringStrip) {
    Clip c(6, 3);
    c.frames[0] = Varied(6, 3);
    c.run.step = 5;  // W - 1: all but one column move, five columns enter
    c.run.count = 2;
    ASSERT_EQ(RunGenerator(c.run, GeneratorMode::Moving, 0), 2);
    ASSERT_EQ(c.frames.size(), 3u);
    EXPECT_EQ(c.frames[1].Pixel(0, 1), c.frames[0].Pixel(5, 1));
    for (int x = 1; x < 6; ++x) EXPECT_EQ(c.frames[1].Pixel(x, 1), ToBgr(0xFF0000)) << x;  // the first colour
    EXPECT_EQ(c.frames[2].Pixel(5, 0), ToBgr(0x00FF00));  // the index advanced once per frame
    EXPECT_EQ(c.colours.selected(), 2);
    EXPECT_EQ(c.run.current, 2u);
    // A step not below the width becomes 1.
    c.run.step = 6;
    c.run.count = 1;
    RunGenerator(c.run, GeneratorMode::Moving, 0);
    EXPECT_EQ(c.run.step, 1);
    EXPECT_EQ(ValidStep(3, 2, 10, 3), 1);   // up: below the height
    EXPECT_EQ(ValidStep(2, 4, 10, 3), 2);   // diagonals: below both
    EXPECT_EQ(ValidStep(0, 0, 10, 3), 1);
}

TEST(Generators, RecycleOnOneColourKeepsThePictureAndOneColourListStaysAtZero) {
    for (int style = 0; style < 8; ++style) {
        Clip c(7, 5, {0x123456});
        c.frames[0] = Frame::Filled(7, 5, Bgr{40, 50, 60});
        c.run.recycle = true;
        c.run.step = 2;
        ASSERT_EQ(RunGenerator(c.run, GeneratorMode::Moving, style), 5);
        for (const Frame& f : c.frames) EXPECT_EQ(f, c.frames[0]) << style;
        EXPECT_EQ(c.colours.selected(), 0);
    }
    // Recycle off with one colour: every frame paints it; the index never moves.
    Clip one(4, 4, {0x00FF00});
    ASSERT_EQ(RunGenerator(one.run, GeneratorMode::Gradual, 5), 5);
    EXPECT_EQ(one.frames.back().Pixel(0, 0), ToBgr(0x00FF00));
    EXPECT_EQ(one.colours.selected(), 0);
}

TEST(Generators, EveryStyleKeepsToTheWorkingRectangleAndRepeatsWithItsSeed) {
    Layout layout;
    layout.New(6, 8, false, 3);
    layout.lines[0] = {MakePoint(1, 1), MakePoint(1, 2), MakePoint(1, 3), MakePoint(2, 3)};
    layout.lines[1] = {MakePoint(4, 5), MakePoint(4, 6)};
    for (int m = 0; m < kGeneratorModes; ++m) {
        const auto mode = static_cast<GeneratorMode>(m);
        for (int style = 0; style < static_cast<int>(GeneratorStyles(mode).size()); ++style) {
            if (!GeneratorAvailable(mode, style)) continue;
            std::vector<Frame> made[2];
            for (int pass = 0; pass < 2; ++pass) {
                Clip c(8, 6);
                c.frames[0] = Varied(8, 6);
                c.run.editArea = PixelRect{2, 1, 7, 5};
                c.run.layout = &layout;
                c.run.seed = 11;
                c.run.count = 4;
                c.run.render = 3;
                c.run.recycle = style % 2 == 1;
                c.run.pictureText.textPicture = QImage(3, 2, QImage::Format_RGB32);  // picture-and-text scrolls it
                c.run.pictureText.textPicture.fill(0xFF336699);
                const int n = RunGenerator(c.run, mode, style);
                ASSERT_GE(n, 1) << GeneratorModeName(mode) << " " << style;
                for (std::size_t i = 1; i < c.frames.size(); ++i) {
                    for (int y = 0; y < 6; ++y) {
                        for (int x = 0; x < 8; ++x) {
                            if (x >= 2 && x < 7 && y >= 1 && y < 5) continue;
                            // Outside: the blank frame's background, or the copied picture.
                            const Bgr p = c.frames[i].Pixel(x, y);
                            ASSERT_TRUE(p == kBack || p == c.frames[0].Pixel(x, y))
                                << GeneratorModeName(mode) << " " << style << " frame " << i << " at " << x << "," << y;
                        }
                    }
                }
                made[pass] = c.frames;
            }
            EXPECT_EQ(made[0], made[1]) << GeneratorModeName(mode) << " " << style;
        }
    }
}

TEST(Generators, CoverModeReusesTheFollowingFramesAndUndoTakesTheRunBack) {
    Clip c(4, 3);
    c.frames.push_back(Frame::Filled(4, 3, Bgr{9, 9, 9}));
    c.frames.push_back(Frame::Filled(4, 3, Bgr{8, 8, 8}));
    const auto before = c.frames;
    c.run.coverMode = true;
    c.run.count = 4;
    ASSERT_EQ(RunGenerator(c.run, GeneratorMode::Gradual, 5), 4);
    ASSERT_EQ(c.frames.size(), 5u);  // two reused, two appended
    EXPECT_EQ(c.frames[1].Pixel(0, 0), ToBgr(0xFF0000));
    EXPECT_EQ(c.frames[4].Pixel(0, 0), ToBgr(0xFF0000));  // the fourth colour wraps to the first
    ASSERT_TRUE(c.undo.Undo(c.frames));
    EXPECT_EQ(c.frames, before);
    // Insert mode: the run goes in after the current frame and one undo removes it.
    Clip ins(4, 3);
    ins.frames.push_back(Frame::Filled(4, 3, Bgr{9, 9, 9}));
    const auto start = ins.frames;
    ins.run.count = 3;
    ASSERT_EQ(RunGenerator(ins.run, GeneratorMode::Gradual, 0), 3);
    EXPECT_EQ(ins.frames.size(), 5u);
    EXPECT_EQ(ins.frames.back(), start.back());  // the frame that followed still follows
    ASSERT_TRUE(ins.undo.Undo(ins.frames));
    EXPECT_EQ(ins.frames, start);
    // A count of 0 makes nothing; an empty colour list and a layout too large are refused.
    ins.run.count = 0;
    EXPECT_EQ(RunGenerator(ins.run, GeneratorMode::Moving, 0), 0);
    ColourList empty;
    ins.run.colours = &empty;
    ins.run.count = 2;
    EXPECT_EQ(RunGenerator(ins.run, GeneratorMode::Moving, 0), -1);
    ins.run.colours = &ins.colours;
    Layout big;
    big.New(10, 10, false, 3);
    ins.run.layout = &big;
    EXPECT_EQ(RunGenerator(ins.run, GeneratorMode::Moving, 8), -1);
    EXPECT_EQ(RunGenerator(ins.run, GeneratorMode::PictureAndText, 0), -1);
}

TEST(Generators, JalousieGradualAndPortStyles) {
    // Jalousie: the block number above the span is the span; s = ceil(span / B) frames.
    Clip j(6, 2);
    j.run.count = 50;
    EXPECT_EQ(RunGenerator(j.run, GeneratorMode::Jalousie, 1), 1);  // six slats of one column
    EXPECT_EQ(j.frames[1].Pixel(5, 1), ToBgr(0xFF0000));
    Clip k(6, 2);
    k.run.count = 2;  // two slats of three: three frames, one more column each
    ASSERT_EQ(RunGenerator(k.run, GeneratorMode::Jalousie, 1), 3);
    EXPECT_EQ(k.frames[1].Pixel(0, 0), ToBgr(0xFF0000));
    EXPECT_EQ(k.frames[1].Pixel(1, 0), kBack);
    EXPECT_EQ(k.frames[1].Pixel(3, 0), ToBgr(0xFF0000));
    EXPECT_EQ(k.frames[3].Pixel(2, 0), ToBgr(0x0000FF));

    // Fadeout ends on the background; Brighten adds 5 a frame up to 255.
    Clip fade(3, 3);
    fade.frames[0] = Frame::Filled(3, 3, Bgr{101, 2, 250});
    fade.run.count = 4;
    RunGenerator(fade.run, GeneratorMode::Gradual, 4);
    EXPECT_EQ(fade.frames[4].Pixel(1, 1), kBack);
    EXPECT_EQ(fade.frames[2].Pixel(1, 1), (Bgr{51, 2, 127}));  // 250 + (3 - 250) * 2 / 4, truncated toward zero
    Clip bright(3, 3);
    bright.frames[0] = Frame::Filled(3, 3, Bgr{0, 100, 253});
    bright.run.count = 2;
    RunGenerator(bright.run, GeneratorMode::Gradual, 0);
    EXPECT_EQ(bright.frames[2].Pixel(0, 0), (Bgr{10, 110, 255}));

    // Inter-port: one port a frame; the first takes the current colour.
    Layout layout;
    layout.New(3, 4, false, 3);
    layout.lines[0] = {MakePoint(0, 0), MakePoint(0, 1)};
    layout.lines[1] = {MakePoint(2, 2), MakePoint(2, 3)};
    Clip p(4, 3);
    p.run.layout = &layout;
    p.run.count = 2;
    ASSERT_EQ(RunGenerator(p.run, GeneratorMode::Moving, 9), 2);
    EXPECT_EQ(p.frames[1].Pixel(1, 0), ToBgr(0xFF0000));
    EXPECT_EQ(p.frames[1].Pixel(3, 2), kBack);            // the background of port 0's last point
    EXPECT_EQ(p.frames[2].Pixel(2, 2), ToBgr(0xFF0000));  // one frame later the colour moved on
    EXPECT_EQ(p.frames[2].Pixel(0, 0), ToBgr(0x00FF00));
}

TEST(Generators, RenderColoursRunsTheListAcrossTheRectangle) {
    ColourList list({0x000001, 0x000002, 0x000003});
    Frame f = Frame::Filled(4, 2, Bgr{5, 5, 5});
    f.SetPixel(0, 0, kBack);
    RenderColours(f, PixelRect{0, 0, 4, 2}, kBack, list, 1, 1);  // Left: columns take 1, 2, 0, 1
    EXPECT_EQ(f.Pixel(0, 0), kBack);                              // the background stays
    EXPECT_EQ(f.Pixel(1, 0), ToBgr(0x000003));
    EXPECT_EQ(f.Pixel(2, 1), ToBgr(0x000001));
    EXPECT_EQ(f.Pixel(3, 1), ToBgr(0x000002));
    RenderColours(f, PixelRect{0, 0, 4, 2}, kBack, list, 0, 4);  // Down: rows from the bottom
    EXPECT_EQ(f.Pixel(1, 1), ToBgr(0x000001));
    EXPECT_EQ(f.Pixel(1, 0), ToBgr(0x000002));
    EXPECT_EQ(GeneratorModeKey(GeneratorMode::Gradual), "gradual-changing");
    EXPECT_EQ(GeneratorModeFromKey("toy-bricks"), GeneratorMode::ToyBricks);
    EXPECT_FALSE(GeneratorModeFromKey("sparkle"));
    EXPECT_EQ(GeneratorStyles(GeneratorMode::Moving).back(), "Inter-port(0)");
}

TEST(Generators, ToyBricksPileUpUntilTheWallIsFull) {
    // Bricks of 2 x 1 falling down 1 apart on 8 x 4: lanes at columns 0, 3, 6 (the last one cut
    // to the picture), four bricks each.
    Clip c(8, 4, {0xFF0000});
    c.run.bricks = ToyBricksOptions{2, 1, 1, 1, 3, 0};
    const int made = RunGenerator(c.run, GeneratorMode::ToyBricks, 3);
    ASSERT_GT(made, 12);
    ASSERT_EQ(c.frames.size(), static_cast<std::size_t>(made) + 1);
    const Frame& last = c.frames.back();
    const Bgr red = ToBgr(0xFF0000);
    for (int y = 0; y < 4; ++y) {
        for (int x : {0, 1, 3, 4, 6, 7}) EXPECT_EQ(last.Pixel(x, y), red) << x << "," << y;
        for (int x : {2, 5}) EXPECT_EQ(last.Pixel(x, y), kBack) << x << "," << y;
    }
    // The wall stands for the overpass frames: the last four frames are the same.
    EXPECT_EQ(c.frames[c.frames.size() - 4], last);
    // A falling brick is above the pile: in the first frames the bottom row is still empty.
    EXPECT_EQ(c.frames[1].Pixel(0, 3), kBack);
    // Up: the bricks pile against the top edge instead.
    Clip up(8, 4, {0x00FF00});
    up.run.bricks = ToyBricksOptions{2, 1, 1, 1, 0, 1};
    ASSERT_GT(RunGenerator(up.run, GeneratorMode::ToyBricks, 2), 0);
    EXPECT_EQ(up.frames.back().Pixel(0, 0), ToBgr(0x00FF00));
}

TEST(Generators, VShapeChevronsTravelOnePixelAFrame) {
    Clip c(9, 6, {0x000001, 0x000002, 0x000003});
    c.run.vshape.interval = 1;
    c.run.vshape.cycles = 2;
    ASSERT_EQ(RunGenerator(c.run, GeneratorMode::VShape, 3), 6);  // cycles x colours x interval
    // Down: on the middle column a colour moves one row a frame; the arms trail behind it.
    for (int f = 1; f < 6; ++f) {
        EXPECT_EQ(c.frames[static_cast<std::size_t>(f + 1)].Pixel(4, 3), c.frames[static_cast<std::size_t>(f)].Pixel(4, 2)) << f;
    }
    EXPECT_EQ(c.frames[2].Pixel(3, 3), c.frames[2].Pixel(4, 2));  // one column out: one row back
    // Vis-a-vis: the two halves mirror each other.
    Clip m(9, 6, {0x000001, 0x000002, 0x000003});
    m.run.vshape.kind = VShapeOptions::VisAVis;
    RunGenerator(m.run, GeneratorMode::VShape, 3);
    for (int x = 0; x < 9; ++x) EXPECT_EQ(m.frames[3].Pixel(x, 0), m.frames[3].Pixel(x, 5)) << x;
}

TEST(Generators, OtherStylesDiffuseLinetypeRandomAndTheDiffusingFile) {
    // Diffuse from the top-left corner as squares: the colour at a cell depends on its distance.
    Clip d(8, 8, {0x000001, 0x000002, 0x000003, 0x000004});
    d.run.other.centreX = 0;
    d.run.other.centreY = 0;
    d.run.other.shape = OtherOptions::Square;
    d.run.other.ringWidth = 1;
    d.run.count = 2;
    ASSERT_EQ(RunGenerator(d.run, GeneratorMode::Other, 1), 2);
    EXPECT_EQ(d.frames[1].Pixel(3, 0), d.frames[1].Pixel(0, 3));  // the same square ring
    EXPECT_EQ(d.frames[1].Pixel(3, 1), d.frames[1].Pixel(3, 3));
    EXPECT_NE(d.frames[1].Pixel(1, 1), d.frames[1].Pixel(2, 2));
    EXPECT_EQ(d.frames[2].Pixel(3, 3), d.frames[1].Pixel(2, 2));  // outward: a ring a frame
    // Linetype at 0 degrees: vertical stripes, moving one pixel a frame.
    Clip l(8, 4, {0x000001, 0x000002, 0x000003});
    l.run.other.angle = 0;
    l.run.other.lineWidth = 1;
    l.run.count = 2;
    RunGenerator(l.run, GeneratorMode::Other, 2);
    EXPECT_EQ(l.frames[1].Pixel(2, 0), l.frames[1].Pixel(2, 3));
    EXPECT_EQ(l.frames[2].Pixel(3, 0), l.frames[1].Pixel(2, 0));
    // Random with keep: blocks only add up.
    Clip r(10, 10, {0xFF0000});
    r.run.other.keep = true;
    r.run.other.blocksPerFrame = 2;
    r.run.count = 4;
    RunGenerator(r.run, GeneratorMode::Other, 3);
    int before = 0;
    for (std::size_t i = 1; i < r.frames.size(); ++i) {
        int lit = 0;
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) lit += r.frames[i].Pixel(x, y) == ToBgr(0xFF0000);
        }
        EXPECT_GE(lit, before);
        before = lit;
    }
    EXPECT_GT(before, 0);
    // The Diffuse dialog's file keeps its values; a missing file gives the defaults.
    TempDir home;
    const auto file = home.path() / kDiffusingFileName;
    EXPECT_EQ(LoadDiffusing(file).centreX, 50);
    OtherOptions o;
    o.centreX = 10;
    o.shape = OtherOptions::Diamond;
    o.outward = false;
    ASSERT_TRUE(SaveDiffusing(file, o));
    const OtherOptions back = LoadDiffusing(file);
    EXPECT_EQ(back.centreX, 10);
    EXPECT_EQ(back.shape, OtherOptions::Diamond);
    EXPECT_FALSE(back.outward);
}

TEST(Generators, CoverModeClearsOnlyAppendedFramesAndOddInputsAreSafe) {
    // Dropping in a small edit area: a reused frame keeps its pixels outside the drops, an
    // appended one starts as a copy with its rectangle black.
    Clip c(6, 6, {0xFF0000});
    c.frames[0] = Frame::Filled(6, 6, Bgr{50, 50, 50});
    c.frames.push_back(Frame::Filled(6, 6, Bgr{70, 70, 70}));
    c.run.current = 0;
    c.run.coverMode = true;
    c.run.editArea = PixelRect{1, 1, 4, 4};
    c.run.count = 2;
    ASSERT_EQ(RunGenerator(c.run, GeneratorMode::Dropping, 2), 2);
    ASSERT_EQ(c.frames.size(), 3u);
    EXPECT_EQ(c.frames[1].Pixel(0, 0), (Bgr{70, 70, 70}));  // reused: unchanged outside
    EXPECT_EQ(c.frames[1].Pixel(5, 5), (Bgr{70, 70, 70}));
    EXPECT_EQ(c.frames[2].Pixel(0, 0), (Bgr{70, 70, 70}));  // appended: a copy of the frame before...
    int black = 0;
    for (int y = 1; y < 4; ++y) {
        for (int x = 1; x < 4; ++x) black += c.frames[2].Pixel(x, y) == Bgr{0, 0, 0};
    }
    EXPECT_GE(black, 6);  // ...its rectangle cleared to black before the drops were drawn

    // A line file may hold LEDs outside the grid: they are left out, nothing is read outside.
    Layout layout;
    layout.New(3, 3, false, 3);
    layout.lines[0] = {MakePoint(0, 0), MakePoint(200, 200), MakePoint(1, 1)};
    Clip p(3, 3);
    p.run.layout = &layout;
    p.run.count = 2;
    EXPECT_EQ(RunGenerator(p.run, GeneratorMode::Moving, 8), 2);
    EXPECT_EQ(RunGenerator(p.run, GeneratorMode::Moving, 9), 2);
    // Deflate and inflate on frames of one and two pixels.
    for (int side : {1, 2}) {
        Clip tiny(side, side);
        EXPECT_EQ(RunGenerator(tiny.run, GeneratorMode::Gradual, 3), 5);
        EXPECT_EQ(RunGenerator(tiny.run, GeneratorMode::Gradual, 2), 5);
    }
    // A run larger than a run may make is refused with its reason, before anything is made.
    Clip big(1024, 1024);
    big.run.count = 2000;
    EXPECT_EQ(RunGenerator(big.run, GeneratorMode::Moving, 0), -1);
    EXPECT_NE(big.run.error.find("MB"), std::string::npos);
    EXPECT_EQ(big.frames.size(), 1u);
    EXPECT_FALSE(big.undo.CanUndo());
}
