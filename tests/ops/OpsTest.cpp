// The operations of src/ops on a workspace of their own: a request, its result, and the
// frames or layout it made; a refused request, its message.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <sstream>

#include "base/FileUtil.h"
#include "base/TempDir.h"
#include "content/TransitionRenderer.h"
#include "formats/FrameCountScramble.h"
#include "lang/Language.h"
#include "ops/ColourProcess.h"
#include "ops/Document.h"
#include "ops/Frames.h"
#include "ops/Generate.h"
#include "ops/Import.h"
#include "workspace/Workspace.h"

using namespace corv;

namespace {

constexpr Bgr kBack{1, 2, 3};

// A workspace with one clip of w x h, its one frame filled with the background colour.
struct Fixture {
    Workspace ws;
    RecordingPrompt prompt;
    Fixture(int w, int h) {
        ws.app.backgroundColour = kBack;
        ws.frames.AddClip(w, h);
    }
    std::vector<Frame>& frames() { return ws.frames.CurrentFrames(); }
};

Frame Varied(int w, int h) {
    Frame f(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) f.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(x * 16 + 1), static_cast<std::uint8_t>(y * 16 + 1), 77});
    }
    return f;
}

// A drawing written by hand, R12 style.
struct Drawing {
    std::ostringstream s;
    Drawing() { s << "  0\nSECTION\n  2\nENTITIES\n"; }
    void Circle(double x, double y, double r) {
        s << "  0\nCIRCLE\n  8\n0\n 10\n" << x << "\n 20\n" << y << "\n 30\n0.0\n 40\n" << r << "\n";
    }
    void Line(double x0, double y0, double x1, double y1) {
        s << "  0\nLINE\n  8\n0\n 10\n" << x0 << "\n 20\n" << y0 << "\n 30\n0.0\n 11\n" << x1 << "\n 21\n" << y1
          << "\n 31\n0.0\n";
    }
    DxfDrawing Parsed() { return ParseDxf(s.str() + "  0\nENDSEC\n  0\nEOF\n"); }
};

}  // namespace

TEST(OpsFrames, InsertFollowsTheCurrentFrameOrTheGivenOneAndIsUndone) {
    Fixture f(4, 3);
    f.frames()[0] = Varied(4, 3);
    const auto first = ops::InsertFrame(f.ws, {}, f.prompt, {});
    ASSERT_TRUE(first) << first.message();
    EXPECT_EQ(first->at, 1u);
    ASSERT_EQ(f.frames().size(), 2u);
    EXPECT_EQ(f.frames()[1], Frame::Filled(4, 3, kBack));
    EXPECT_EQ(f.frames()[0], Varied(4, 3));
    const auto atStart = ops::InsertFrame(f.ws, ops::InsertFrameRequest{0}, f.prompt, {});
    ASSERT_TRUE(atStart);
    EXPECT_EQ(atStart->at, 0u);
    ASSERT_EQ(f.frames().size(), 3u);
    EXPECT_EQ(f.frames()[1], Varied(4, 3));
    // The history takes the insert back.
    ASSERT_TRUE(f.ws.frameUndo.Undo(f.frames()));
    EXPECT_EQ(f.frames().size(), 2u);
    EXPECT_EQ(f.frames()[0], Varied(4, 3));
}

TEST(OpsFrames, InsertRefusesPastTheClipAndWithoutAClip) {
    Fixture f(4, 3);
    const auto past = ops::InsertFrame(f.ws, ops::InsertFrameRequest{2}, f.prompt, {});
    ASSERT_FALSE(past);
    EXPECT_EQ(past.failure().code, ops::kInsertOutOfRange);
    EXPECT_EQ(past.message(), "Parameter mistake!");
    EXPECT_EQ(f.frames().size(), 1u);
    EXPECT_FALSE(past.status().ok());
    Workspace empty;
    const auto none = ops::InsertFrame(empty, {}, f.prompt, {});
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().code, ops::kInsertNoClip);
}

TEST(OpsGenerate, TheRequestRunsOverTheWorkspacesClipAndColours) {
    Fixture f(6, 3);
    f.frames()[0] = Varied(6, 3);
    f.ws.colourPanel.list = ColourList({0xFF0000, 0x00FF00, 0x0000FF});
    ops::GenerateRequest r;
    r.mode = GeneratorMode::Moving;
    r.style = 0;  // left
    r.step = 5;
    r.count = 2;
    const auto made = ops::Generate(f.ws, r, f.prompt, {});
    ASSERT_TRUE(made) << made.message();
    EXPECT_EQ(made->made, 2);
    EXPECT_EQ(made->total, 3u);
    EXPECT_EQ(made->last, 2u);
    ASSERT_EQ(f.frames().size(), 3u);
    EXPECT_EQ(f.frames()[1].Pixel(0, 1), f.frames()[0].Pixel(5, 1));
    for (int x = 1; x < 6; ++x) EXPECT_EQ(f.frames()[1].Pixel(x, 1), ToBgr(0xFF0000)) << x;
    EXPECT_EQ(f.ws.colourPanel.list.selected(), 2);
    // The run follows the given frame; a step not below the width is taken as 1.
    r.follows = 0;
    r.step = 6;
    r.count = 1;
    const auto again = ops::Generate(f.ws, r, f.prompt, {});
    ASSERT_TRUE(again);
    EXPECT_EQ(again->step, 1);
    EXPECT_EQ(again->last, 1u);
    EXPECT_EQ(f.frames().size(), 4u);
    EXPECT_TRUE(f.ws.frameUndo.CanUndo());
}

TEST(OpsGenerate, TheRunTakesTheWorkspacesStateAndTheRequestsValues) {
    Fixture f(8, 8);
    f.ws.app.coverMode = true;
    f.ws.app.currentFrame = 0;
    ops::GenerateRequest r;
    r.mode = GeneratorMode::Moving;
    r.style = 8;  // a port style
    r.count = 7;
    r.recycle = true;
    r.seed = 42;
    r.editArea = PixelRect{1, 1, 5, 5};
    GeneratorRun run = ops::MakeGeneratorRun(f.ws, r);
    EXPECT_EQ(run.frames, &f.frames());
    EXPECT_EQ(run.colours, &f.ws.colourPanel.list);
    EXPECT_EQ(run.undo, &f.ws.frameUndo);
    EXPECT_EQ(run.layout, &f.ws.layout);
    EXPECT_EQ(run.background, kBack);
    EXPECT_TRUE(run.coverMode);
    EXPECT_EQ(run.count, 7);
    EXPECT_TRUE(run.recycle);
    EXPECT_EQ(run.seed, 42u);
    ASSERT_TRUE(run.editArea);
    EXPECT_EQ(run.editArea->right, 5);
    r.style = 0;
    EXPECT_EQ(ops::MakeGeneratorRun(f.ws, r).layout, nullptr);
    EXPECT_EQ(ops::GeneratorSettings(r).frames, nullptr);
}

TEST(OpsGenerate, RefusalsSayWhy) {
    Fixture f(6, 3);
    f.ws.colourPanel.list = ColourList(std::vector<ListColour>{});
    ops::GenerateRequest r;
    const auto empty = ops::Generate(f.ws, r, f.prompt, {});
    ASSERT_FALSE(empty);
    EXPECT_EQ(empty.failure().code, ops::kGenerateNoColours);
    EXPECT_EQ(empty.message(), "The colour list is empty: add colours in the colour tab first.");
    EXPECT_EQ(f.frames().size(), 1u);
    // In Chinese, the catalogue's words.
    f.ws.strings = LoadUiStrings(kLanguageSimplified);
    EXPECT_EQ(ops::Generate(f.ws, r, f.prompt, {}).message(), "颜色列表为空: 请先在颜色页添加颜色。");
    f.ws.strings = LoadUiStrings(kLanguageEnglish);
    // A style the mode does not have: the engine's reason in the parameter message.
    f.ws.colourPanel.list = ColourList::Rainbow();
    r.style = 99;
    const auto refused = ops::Generate(f.ws, r, f.prompt, {});
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.failure().code, ops::kGenerateRefused);
    EXPECT_FALSE(refused.failure().reason.empty());
    EXPECT_EQ(refused.message(), "Parameter mistake! (" + refused.failure().reason + ")");
    EXPECT_EQ(f.frames().size(), 1u);
}

TEST(OpsImport, DxfChainsBecomeTheLayout) {
    Drawing d;
    for (double x : {0.0, 50.0, 100.0}) {
        for (double y : {0.0, 40.0}) d.Circle(x, y, 5);
    }
    d.Line(0, 40, 100, 40);
    const DxfDrawing drawing = d.Parsed();
    Workspace ws;
    RecordingPrompt prompt;
    ops::DxfImportRequest r;
    r.drawing = &drawing;
    const auto imported = ops::ImportDrawing(ws, r, prompt, {});
    ASSERT_TRUE(imported) << imported.message();
    EXPECT_EQ(imported->suggested, (std::pair<int, int>{50, 40}));
    EXPECT_EQ(imported->spaceX, 50);
    EXPECT_EQ(imported->spaceY, 40);
    EXPECT_TRUE(imported->linesImported);
    EXPECT_EQ(imported->result.leds, 3);
    EXPECT_EQ(ws.layout.grid.cols, 3);
    EXPECT_EQ(ws.layout.grid.rows, 2);
    ASSERT_EQ(ws.layout.lines[0].size(), 3u);
    EXPECT_EQ(ws.layout.lines[0][2], MakePoint(0, 2));
    EXPECT_TRUE(ws.layout.modified);
}

TEST(OpsImport, DxfWithoutChainsGivesThePictureOrKeepsTheLayout) {
    Drawing d;
    d.Circle(0, 0, 1);
    d.Circle(100, 50, 1);
    const DxfDrawing drawing = d.Parsed();
    Workspace ws;
    RecordingPrompt prompt;
    ws.layout.grid.cols = 7;  // a layout of its own, which stays
    ops::DxfImportRequest r;
    r.drawing = &drawing;
    r.pictureWhenNoLeds = std::pair{11, 6};
    const auto pictured = ops::ImportDrawing(ws, r, prompt, {});
    ASSERT_TRUE(pictured) << pictured.message();
    EXPECT_FALSE(pictured->linesImported);
    EXPECT_EQ(ws.layout.grid.cols, 7);
    ASSERT_EQ(pictured->picture.size(), QSize(11, 6));
    EXPECT_EQ(pictured->picture.pixel(0, 5), 0xFFFFFFFFu);   // (0, 0): bottom left
    EXPECT_EQ(pictured->picture.pixel(10, 0), 0xFFFFFFFFu);  // (100, 50): top right
    EXPECT_EQ(pictured->picture.pixel(5, 3), 0xFF000000u);
    EXPECT_EQ(ops::DxfMarksImage(drawing, 11, 6), pictured->picture);
    // No picture of no cells; too small a picture for the marks to stay apart.
    r.pictureWhenNoLeds = std::pair{0, 6};
    const auto none = ops::ImportDrawing(ws, r, prompt, {});
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().code, ops::kDxfGridTooLarge);
    EXPECT_EQ(none.message(), GridLimitText(6, 0));
    Drawing crowd;
    for (int i = 0; i < 10; ++i) crowd.Circle(5, 5, 1);
    crowd.Circle(0, 0, 1);
    const DxfDrawing crowded = crowd.Parsed();
    ops::DxfImportRequest tight;
    tight.drawing = &crowded;
    tight.spaceX = tight.spaceY = 1000;  // one cell: no chain gives LEDs
    tight.pictureWhenNoLeds = std::pair{2, 2};
    const auto small = ops::ImportDrawing(ws, tight, prompt, {});
    ASSERT_FALSE(small);
    EXPECT_EQ(small.failure().code, ops::kDxfPictureTooSmall);
    EXPECT_EQ(small.message(), "Width or height is too small!");
    EXPECT_TRUE(ops::DxfMarksImage(crowded, 2, 2).isNull());
    // Kept anyway: the layout is the drawing's, without LEDs.
    r.keepWithoutLeds = true;
    const auto kept = ops::ImportDrawing(ws, r, prompt, {});
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->linesImported);
    EXPECT_NE(ws.layout.grid.cols, 7);
}

TEST(OpsImport, DxfRefusalsSayWhy) {
    Workspace ws;
    RecordingPrompt prompt;
    const DxfDrawing nothing = ParseDxf("  0\nSECTION\n  2\nHEADER\n  0\nENDSEC\n  0\nEOF\n");
    ops::DxfImportRequest r;
    r.drawing = &nothing;
    const auto notDrawing = ops::ImportDrawing(ws, r, prompt, {});
    ASSERT_FALSE(notDrawing);
    EXPECT_EQ(notDrawing.failure().code, ops::kDxfNotDrawing);
    EXPECT_EQ(notDrawing.message(), "This is not a DXF drawing (it has no ENTITIES section); there is nothing to import.");
    Drawing lines;
    lines.Line(0, 0, 10, 0);
    const DxfDrawing onlyLines = lines.Parsed();
    r.drawing = &onlyLines;
    EXPECT_EQ(ops::ImportDrawing(ws, r, prompt, {}).failure().code, ops::kDxfNoCircles);
    r.vertexMode = true;
    EXPECT_TRUE(ops::ImportDrawing(ws, r, prompt, {}));
    Drawing circles;
    circles.Circle(0, 0, 1);
    const DxfDrawing onlyCircles = circles.Parsed();
    r.drawing = &onlyCircles;
    const auto noLines = ops::ImportDrawing(ws, r, prompt, {});
    ASSERT_FALSE(noLines);
    EXPECT_EQ(noLines.failure().code, ops::kDxfNoLines);
    EXPECT_EQ(noLines.message(), "The drawing has no LINE to take LEDs from.");
    // A spacing so small the grid passes the cell limit: nothing changes, the values are given.
    Drawing far;
    far.Circle(0, 0, 1);
    far.Circle(1e6, 1e6, 1);
    far.Line(0, 0, 1e6, 1e6);
    const DxfDrawing wide = far.Parsed();
    r.drawing = &wide;
    r.vertexMode = false;
    r.spaceX = r.spaceY = 1;
    const Layout before = ws.layout;
    const auto large = ops::ImportDrawing(ws, r, prompt, {});
    ASSERT_FALSE(large);
    EXPECT_EQ(large.failure().code, ops::kDxfTooLarge);
    ASSERT_EQ(large.failure().args.size(), 4u);
    EXPECT_EQ(large.failure().args[0], "1");
    EXPECT_EQ(large.message().rfind("At a spacing of 1 x 1, a grid of ", 0), 0u) << large.message();
    EXPECT_EQ(ws.layout.grid.cols, before.grid.cols);
    EXPECT_TRUE(prompt.messages().empty());
}

TEST(OpsImport, GridLimitInEveryLanguage) {
    Workspace ws;
    EXPECT_EQ(ops::GridLimitMessage(ws, 5000, 4000), GridLimitText(5000, 4000));
    ws.strings = LoadUiStrings(kLanguageSimplified);
    EXPECT_EQ(ops::GridLimitMessage(ws, 5000, 4000),
              "网格 5000 行 x 4000 列共 20000000 个单元格; 本程序最多接受 16777216 个单元格, 行数和列数最多 65535");
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

namespace {

constexpr Bgr kDarkRed{0, 0, 128};

// A colour processing request of `mode` over frames start .. end (1-based, inclusive).
ops::ColourProcessRequest Colours(ops::ColourProcessRequest::Mode mode, int start, int end) {
    ops::ColourProcessRequest r;
    r.mode = mode;
    r.start = start;
    r.end = end;
    return r;
}

}  // namespace

TEST(OpsColourProcess, ReplaceRunsOverTheRangeOnlyAndIsUndone) {
    Fixture f(4, 3);
    f.frames().assign(3, Frame::Filled(4, 3, kDarkRed));
    auto r = Colours(ops::ColourProcessRequest::Mode::Replace, 2, 3);
    r.from = Bgr{0, 0, 255};  // red to yellow: the dark shade follows
    r.to = Bgr{0, 255, 255};
    const auto done = ops::ProcessColours(f.ws, r, f.prompt, {});
    ASSERT_TRUE(done) << done.message();
    EXPECT_EQ(done->first, 1u);
    EXPECT_EQ(done->end, 3u);
    EXPECT_EQ(f.frames()[0], Frame::Filled(4, 3, kDarkRed));
    EXPECT_EQ(f.frames()[1], Frame::Filled(4, 3, Bgr{0, 128, 128}));
    EXPECT_EQ(f.frames()[2], Frame::Filled(4, 3, Bgr{0, 128, 128}));
    ASSERT_TRUE(f.ws.frameUndo.Undo(f.frames()));
    EXPECT_EQ(f.frames()[2], Frame::Filled(4, 3, kDarkRed));
}

TEST(OpsColourProcess, SwapAndShadeKeepToTheEditArea) {
    Fixture f(4, 3);
    f.frames()[0] = Frame::Filled(4, 3, Bgr{10, 20, 200});
    auto swap = Colours(ops::ColourProcessRequest::Mode::Swap, 1, 1);
    swap.order = ChannelOrder::BGR;
    swap.editArea = PixelRect{0, 0, 2, 3};  // the left half
    ASSERT_TRUE(ops::ProcessColours(f.ws, swap, f.prompt, {}));
    EXPECT_EQ(f.frames()[0].Pixel(0, 0), (Bgr{200, 20, 10}));
    EXPECT_EQ(f.frames()[0].Pixel(1, 2), (Bgr{200, 20, 10}));
    EXPECT_EQ(f.frames()[0].Pixel(2, 0), (Bgr{10, 20, 200}));
    EXPECT_EQ(f.frames()[0].Pixel(3, 2), (Bgr{10, 20, 200}));
    // Shade the red channel of the whole frame to half.
    auto shade = Colours(ops::ColourProcessRequest::Mode::Shade, 1, 1);
    shade.green = shade.blue = false;
    shade.percent = 50;
    ASSERT_TRUE(ops::ProcessColours(f.ws, shade, f.prompt, {}));
    EXPECT_EQ(f.frames()[0].Pixel(0, 0), (Bgr{200, 20, 5}));
    EXPECT_EQ(f.frames()[0].Pixel(3, 2), (Bgr{10, 20, 100}));
}

TEST(OpsColourProcess, ClearNonLedTakesTheWorkspacesLayoutAndSaysWhenItDiffers) {
    Fixture f(4, 3);
    f.frames().assign(2, Frame::Filled(4, 3, kDarkRed));
    f.ws.layout.New(3, 4, false, 3);
    f.ws.layout.lines[0] = {MakePoint(1, 2)};  // row 1, col 2
    auto r = Colours(ops::ColourProcessRequest::Mode::ClearNonLed, 1, 2);
    ASSERT_TRUE(ops::ProcessColours(f.ws, r, f.prompt, {}));
    for (const Frame& frame : f.frames()) {
        EXPECT_EQ(frame.Pixel(2, 1), kDarkRed);
        EXPECT_EQ(frame.Pixel(0, 0), kBack);  // the workspace's background
        EXPECT_EQ(frame.Pixel(3, 2), kBack);
    }
    // The request's background instead; a layout of another size changes nothing.
    EXPECT_TRUE(f.ws.frameUndo.CanUndo());
    f.frames().assign(1, Frame::Filled(4, 3, kDarkRed));
    f.ws.frameUndo.Reset();
    f.ws.layout.New(5, 6, false, 3);
    f.ws.strings = LoadUiStrings(kLanguageEnglish);
    r.end = 1;
    r.background = Bgr{0, 0, 0};
    const auto differs = ops::ProcessColours(f.ws, r, f.prompt, {});
    ASSERT_FALSE(differs);
    EXPECT_EQ(differs.failure().code, ops::kColourLayoutSize);
    EXPECT_EQ(differs.message(), "the layout is 6 x 5 cells, the frames 4 x 3 pixels: they must match");
    EXPECT_EQ(differs.failure().args, (std::vector<std::string>{"6", "5", "4", "3"}));
    EXPECT_EQ(f.frames()[0], Frame::Filled(4, 3, kDarkRed));
    f.ws.strings = LoadUiStrings(kLanguageSimplified);
    EXPECT_EQ(ops::ProcessColours(f.ws, r, f.prompt, {}).message(), "造型为 6 x 5 格, 帧为 4 x 3 像素: 两者必须相同");
    EXPECT_FALSE(f.ws.frameUndo.CanUndo());
}

TEST(OpsColourProcess, ClearByFrameTakesTheGivenFrameOrTheCurrentOne) {
    Fixture f(2, 1);
    Frame mask(2, 1);
    mask.SetPixel(0, 0, Bgr{0, 0, 0});
    mask.SetPixel(1, 0, kDarkRed);
    f.frames() = {Frame::Filled(2, 1, Bgr{5, 6, 7}), mask, Frame::Filled(2, 1, Bgr{5, 6, 7})};
    auto r = Colours(ops::ColourProcessRequest::Mode::ClearByFrame, 1, 1);
    r.maskFrame = 2;
    r.background = Bgr{9, 9, 9};
    ASSERT_TRUE(ops::ProcessColours(f.ws, r, f.prompt, {}));
    EXPECT_EQ(f.frames()[0].Pixel(0, 0), (Bgr{9, 9, 9}));
    EXPECT_EQ(f.frames()[0].Pixel(1, 0), (Bgr{5, 6, 7}));
    EXPECT_EQ(f.frames()[2], Frame::Filled(2, 1, Bgr{5, 6, 7}));
    // Without a frame given, the current one is the mask: the first has no black left.
    f.ws.app.currentFrame = 0;
    r.maskFrame.reset();
    r.start = 3;
    r.end = 3;
    ASSERT_TRUE(ops::ProcessColours(f.ws, r, f.prompt, {}));
    EXPECT_EQ(f.frames()[2], Frame::Filled(2, 1, Bgr{5, 6, 7}));
    f.ws.app.currentFrame = 1;
    ASSERT_TRUE(ops::ProcessColours(f.ws, r, f.prompt, {}));
    EXPECT_EQ(f.frames()[2].Pixel(0, 0), (Bgr{9, 9, 9}));
    EXPECT_EQ(f.frames()[2].Pixel(1, 0), (Bgr{5, 6, 7}));
    // A frame past the clip is no mask.
    r.maskFrame = 4;
    const auto none = ops::ProcessColours(f.ws, r, f.prompt, {});
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().code, ops::kColourNoMask);
}

TEST(OpsColourProcess, ARangeOutsideTheClipIsRefusedWithTheParameterMessage) {
    Fixture f(4, 3);
    f.frames().assign(3, Frame::Filled(4, 3, kDarkRed));
    f.ws.strings = LoadUiStrings(kLanguageEnglish);
    auto r = Colours(ops::ColourProcessRequest::Mode::Shade, 2, 4);
    r.percent = 0;
    const auto refusal = ops::ColourProcessRefusalOf(f.ws, r);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->code, ops::kColourOutOfRange);
    const auto refused = ops::ProcessColours(f.ws, r, f.prompt, {});
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.failure().code, ops::kColourOutOfRange);
    EXPECT_EQ(refused.message(), "Parameter mistake!");
    for (const Frame& frame : f.frames()) EXPECT_EQ(frame, Frame::Filled(4, 3, kDarkRed));
    EXPECT_FALSE(f.ws.frameUndo.CanUndo());
    r.start = 0;
    r.end = 3;
    EXPECT_FALSE(ops::ProcessColours(f.ws, r, f.prompt, {}));
    r.start = 1;
    EXPECT_FALSE(ops::ColourProcessRefusalOf(f.ws, r));
}

namespace {

// A request over frames first .. end - 1, its other values the defaults.
template <class Request>
Request Over(std::size_t first, std::size_t end) {
    Request r;
    r.first = first;
    r.end = end;
    return r;
}

// A colour of its own for frame number i.
Bgr Shade(int i) { return Bgr{static_cast<std::uint8_t>(20 + i), static_cast<std::uint8_t>(40 + i), static_cast<std::uint8_t>(60 + i)}; }
Frame Solid(int w, int h, int i) { return Frame::Filled(w, h, Shade(i)); }

// A clip of `count` frames of w x h, frame i filled with Shade(i).
struct Clip5 : Fixture {
    Clip5(int w, int h, int count = 5) : Fixture(w, h) {
        frames().clear();
        for (int i = 0; i < count; ++i) frames().push_back(Solid(w, h, i));
    }
    void Expect(std::initializer_list<int> shades) {
        ASSERT_EQ(frames().size(), shades.size());
        std::size_t k = 0;
        for (int i : shades) EXPECT_EQ(frames()[k++], Solid(frames()[0].width(), frames()[0].height(), i)) << "frame " << k - 1;
    }
};

// A row of pixels, left to right.
Frame Row(std::initializer_list<Bgr> pixels) {
    Frame f(static_cast<int>(pixels.size()), 1);
    int x = 0;
    for (const Bgr& p : pixels) f.SetPixel(x++, 0, p);
    return f;
}

}  // namespace

TEST(OpsFrames, CopyCutsTheRangeToTheRectangleAndLeavesTheClip) {
    Fixture f(4, 3);
    f.frames() = {Solid(4, 3, 0), Varied(4, 3), Solid(4, 3, 2)};
    ops::CopyFramesRequest r{1, 3, PixelRect{1, 0, 3, 2}};
    const auto copied = ops::CopyFrames(f.ws, r, f.prompt, {});
    ASSERT_TRUE(copied) << copied.message();
    EXPECT_EQ(copied->block.width, 2);
    EXPECT_EQ(copied->block.height, 2);
    ASSERT_EQ(copied->block.pictures.size(), 2u);
    EXPECT_EQ(copied->block.pictures[0].Pixel(0, 0), Varied(4, 3).Pixel(1, 0));
    EXPECT_EQ(copied->block.pictures[0].Pixel(1, 1), Varied(4, 3).Pixel(2, 1));
    EXPECT_EQ(copied->block.pictures[1], Solid(2, 2, 2));
    ASSERT_EQ(f.frames().size(), 3u);
    EXPECT_EQ(f.frames()[1], Varied(4, 3));
    EXPECT_FALSE(f.ws.frameUndo.CanUndo());
    // Without a rectangle, whole frames.
    const auto whole = ops::CopyFrames(f.ws, Over<ops::CopyFramesRequest>(0, 1), f.prompt, {});
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->block.width, 4);
    ASSERT_EQ(whole->block.pictures.size(), 1u);
    EXPECT_EQ(whole->block.pictures[0], Solid(4, 3, 0));
}

TEST(OpsFrames, CopyAndCutRefuseARangeOutsideTheClipAndMoreThanABlockHolds) {
    Fixture f(1, 1);
    const std::pair<std::size_t, std::size_t> ranges[] = {{0, 2}, {1, 1}, {1, 0}};
    for (auto [first, end] : ranges) {
        const auto copy = ops::CopyFrames(f.ws, Over<ops::CopyFramesRequest>(first, end), f.prompt, {});
        ASSERT_FALSE(copy);
        EXPECT_EQ(copy.failure().code, ops::kCopyOutOfRange);
        EXPECT_EQ(copy.message(), "Parameter mistake!");
        const auto cut = ops::CutFrames(f.ws, Over<ops::CutFramesRequest>(first, end), f.prompt, {});
        ASSERT_FALSE(cut);
        EXPECT_EQ(cut.failure().code, ops::kCutOutOfRange);
    }
    f.frames().assign(kMaxBlockFrames + 1, Frame::Filled(1, 1, kBack));
    f.frames()[kMaxBlockFrames] = Solid(1, 1, 9);
    const auto tooMany = ops::CopyFrames(f.ws, Over<ops::CopyFramesRequest>(0, kMaxBlockFrames + 1), f.prompt, {});
    ASSERT_FALSE(tooMany);
    EXPECT_EQ(tooMany.failure().code, ops::kCopyTooMany);
    EXPECT_EQ(tooMany.message(), "At most 65535 frames can be copied or cut at a time.");
    const auto cutTooMany = ops::CutFrames(f.ws, Over<ops::CutFramesRequest>(0, kMaxBlockFrames + 1), f.prompt, {});
    ASSERT_FALSE(cutTooMany);
    EXPECT_EQ(cutTooMany.failure().code, ops::kCutTooMany);
    EXPECT_EQ(f.frames().size(), kMaxBlockFrames + 1);
    EXPECT_FALSE(f.ws.frameUndo.CanUndo());
    f.ws.app.language = kLanguageSimplified;
    EXPECT_EQ(ops::CopyFrames(f.ws, Over<ops::CopyFramesRequest>(0, kMaxBlockFrames + 1), f.prompt, {}).message(),
              "一次最多可复制或剪切 65535 帧。");
    // A block's worth is copied.
    const auto full = ops::CopyFrames(f.ws, Over<ops::CopyFramesRequest>(1, kMaxBlockFrames + 1), f.prompt, {});
    ASSERT_TRUE(full);
    ASSERT_EQ(full->block.pictures.size(), kMaxBlockFrames);
    EXPECT_EQ(full->block.pictures.back(), Solid(1, 1, 9));
    // The refusals are the caller's to show.
    EXPECT_TRUE(f.prompt.messages().empty());
    Workspace empty;
    EXPECT_EQ(ops::CopyFrames(empty, {}, f.prompt, {}).failure().code, ops::kCopyNoClip);
    EXPECT_EQ(ops::CutFrames(empty, {}, f.prompt, {}).failure().code, ops::kCutNoClip);
}

TEST(OpsFrames, CutTakesTheRangeOutOrClearsTheRectangleAndIsUndone) {
    Clip5 f(4, 3);
    const auto cut = ops::CutFrames(f.ws, Over<ops::CutFramesRequest>(1, 3), f.prompt, {});
    ASSERT_TRUE(cut) << cut.message();
    ASSERT_EQ(cut->block.pictures.size(), 2u);
    EXPECT_EQ(cut->block.width, 4);
    EXPECT_EQ(cut->block.pictures[0], Solid(4, 3, 1));
    EXPECT_EQ(cut->block.pictures[1], Solid(4, 3, 2));
    EXPECT_EQ(cut->last, 1u);
    EXPECT_EQ(cut->count, 3u);
    f.Expect({0, 3, 4});
    ASSERT_TRUE(f.ws.frameUndo.Undo(f.frames()));
    f.Expect({0, 1, 2, 3, 4});
    // The clip's end: the window shows the last frame left.
    const auto tail = ops::CutFrames(f.ws, Over<ops::CutFramesRequest>(3, 5), f.prompt, {});
    ASSERT_TRUE(tail);
    EXPECT_EQ(tail->last, 2u);
    f.Expect({0, 1, 2});
    // With a rectangle the frames stay and the rectangle takes the request's background.
    const Bgr white{255, 255, 255};
    ops::CutFramesRequest area{0, 1, PixelRect{0, 0, 1, 3}, white};
    const auto cleared = ops::CutFrames(f.ws, area, f.prompt, {});
    ASSERT_TRUE(cleared);
    EXPECT_EQ(cleared->block.width, 1);
    EXPECT_EQ(cleared->block.height, 3);
    EXPECT_EQ(cleared->block.pictures[0], Solid(1, 3, 0));
    EXPECT_EQ(cleared->count, 3u);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(f.frames()[0].Pixel(0, y), white);
        EXPECT_EQ(f.frames()[0].Pixel(1, y), Shade(0));
    }
    // All frames out: one frame of the workspace's background stays.
    const auto all = ops::CutFrames(f.ws, Over<ops::CutFramesRequest>(0, 3), f.prompt, {});
    ASSERT_TRUE(all);
    EXPECT_EQ(all->count, 1u);
    EXPECT_EQ(all->last, 0u);
    EXPECT_EQ(f.frames()[0], Frame::Filled(4, 3, kBack));
}

TEST(OpsFrames, PasteInsertsAfterThePlaceOrLaysOverTheFrames) {
    Clip5 f(4, 3);
    ops::PasteFramesRequest r;
    r.block = FrameBlock{4, 3, {Solid(4, 3, 7), Solid(4, 3, 8)}};
    r.options.place = 1;
    const auto pasted = ops::PasteFrames(f.ws, r, f.prompt, {});
    ASSERT_TRUE(pasted) << pasted.message();
    EXPECT_EQ(pasted->last, 3u);
    EXPECT_EQ(pasted->count, 7u);
    f.Expect({0, 1, 7, 8, 2, 3, 4});
    EXPECT_TRUE(f.prompt.questions().empty());  // the sizes match: nothing is asked
    ASSERT_TRUE(f.ws.frameUndo.Undo(f.frames()));
    f.Expect({0, 1, 2, 3, 4});
    // Overlaid twice from the fourth frame: the run goes past the end.
    r.options.place = 3;
    r.options.times = 2;
    r.options.overlay = true;
    const auto over = ops::PasteFrames(f.ws, r, f.prompt, {});
    ASSERT_TRUE(over);
    EXPECT_EQ(over->last, 6u);
    f.Expect({0, 1, 2, 7, 8, 7, 8});
    ASSERT_TRUE(f.ws.frameUndo.Undo(f.frames()));
    f.Expect({0, 1, 2, 3, 4});
}

TEST(OpsFrames, PasteAsksAboutAnotherSizeAndRefusesWhatTheClipCannotTake) {
    Clip5 f(4, 3, 2);
    ops::PasteFramesRequest r;
    r.block = FrameBlock{2, 2, {Solid(2, 2, 7)}};
    r.options.overlay = true;
    f.prompt.Script(Answer::No);
    const auto declined = ops::PasteFrames(f.ws, r, f.prompt, {});
    ASSERT_FALSE(declined);
    EXPECT_EQ(declined.failure().code, ops::kPasteDeclined);
    EXPECT_TRUE(declined.message().empty());
    ASSERT_EQ(f.prompt.questions().size(), 1u);
    EXPECT_EQ(f.prompt.questions()[0], Format(f.ws.strings.askPasteSize.c_str(), 2, 2, 3, 4));
    f.Expect({0, 1});
    EXPECT_FALSE(f.ws.frameUndo.CanUndo());
    // Yes: drawn at its own size from the top-left corner.
    const auto yes = ops::PasteFrames(f.ws, r, f.prompt, {});
    ASSERT_TRUE(yes) << yes.message();
    EXPECT_EQ(yes->last, 0u);
    EXPECT_EQ(f.prompt.questions().size(), 2u);
    EXPECT_EQ(f.frames()[0].Pixel(0, 0), Shade(7));
    EXPECT_EQ(f.frames()[0].Pixel(1, 1), Shade(7));
    EXPECT_EQ(f.frames()[0].Pixel(2, 0), Shade(0));
    EXPECT_EQ(f.frames()[0].Pixel(0, 2), Shade(0));
    EXPECT_EQ(f.frames()[1], Solid(4, 3, 1));
    // In the rectangle's size nothing is asked.
    r.editArea = PixelRect{2, 1, 4, 3};
    ASSERT_TRUE(ops::PasteFrames(f.ws, r, f.prompt, {}));
    EXPECT_EQ(f.prompt.questions().size(), 2u);
    EXPECT_EQ(f.frames()[0].Pixel(3, 2), Shade(7));
    EXPECT_EQ(f.frames()[0].Pixel(1, 2), Shade(0));
    // A place past the clip; more frames than a clip holds.
    r.options.place = 2;
    const auto past = ops::PasteFrames(f.ws, r, f.prompt, {});
    ASSERT_FALSE(past);
    EXPECT_EQ(past.failure().code, ops::kPasteOutOfRange);
    EXPECT_EQ(past.message(), "Parameter mistake!");
    r.options.place = 0;
    r.options.times = static_cast<int>(kMaxFrameCount);
    const auto full = ops::PasteFrames(f.ws, r, f.prompt, {});
    ASSERT_FALSE(full);
    EXPECT_EQ(full.failure().code, ops::kPasteClipFull);
    EXPECT_EQ(f.frames().size(), 2u);
    EXPECT_EQ(f.prompt.questions().size(), 2u);
    EXPECT_TRUE(f.prompt.messages().empty());
    Workspace empty;
    EXPECT_EQ(ops::PasteFrames(empty, r, f.prompt, {}).failure().code, ops::kPasteNoClip);
}

TEST(OpsFrames, StepsPasteStaggersTheBlockColumnByColumn) {
    const Bgr a{1, 1, 1}, b{2, 2, 2};
    Fixture f(3, 1);
    f.frames()[0] = Row({Shade(0), Shade(1), Shade(2)});
    ops::StepsPasteRequest r;
    r.block = FrameBlock{3, 1, {Row({a, a, a}), Row({b, b, b})}};
    r.start = 1;
    const auto pasted = ops::StepsPasteFrames(f.ws, r, f.prompt, {});
    ASSERT_TRUE(pasted) << pasted.message();
    EXPECT_EQ(pasted->last, 2u);
    EXPECT_EQ(pasted->count, 3u);
    ASSERT_EQ(f.frames().size(), 3u);
    EXPECT_EQ(f.frames()[0], Row({Shade(0), Shade(1), Shade(2)}));
    EXPECT_EQ(f.frames()[1], Row({a, kBack, kBack}));
    EXPECT_EQ(f.frames()[2], Row({b, a, kBack}));
    // Backwards, first, in the request's background.
    r.start = 0;
    r.backwards = true;
    r.background = Bgr{9, 9, 9};
    ASSERT_TRUE(ops::StepsPasteFrames(f.ws, r, f.prompt, {}));
    ASSERT_EQ(f.frames().size(), 5u);
    EXPECT_EQ(f.frames()[0], Row({Bgr{9, 9, 9}, Bgr{9, 9, 9}, a}));
    EXPECT_EQ(f.frames()[1], Row({Bgr{9, 9, 9}, a, b}));
    ASSERT_TRUE(f.ws.frameUndo.Undo(f.frames()));
    EXPECT_EQ(f.frames().size(), 3u);
}

TEST(OpsFrames, StepsPasteRefusesABlockThatFitsNeitherWay) {
    Fixture f(3, 1);
    ops::StepsPasteRequest r;
    r.block = FrameBlock{2, 2, {Solid(2, 2, 1)}};
    const auto refused = ops::StepsPasteFrames(f.ws, r, f.prompt, {});
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.failure().code, ops::kStepsPasteSizeError);
    EXPECT_EQ(refused.message(), "Size error!");
    f.ws.app.language = kLanguageSimplified;
    EXPECT_EQ(ops::StepsPasteFrames(f.ws, r, f.prompt, {}).message(), "尺寸错误!");
    EXPECT_EQ(f.frames().size(), 1u);
    EXPECT_FALSE(f.ws.frameUndo.CanUndo());
    r.block = FrameBlock{3, 1, {Solid(3, 1, 1)}};
    r.start = 2;
    EXPECT_EQ(ops::StepsPasteFrames(f.ws, r, f.prompt, {}).failure().code, ops::kStepsPasteOutOfRange);
    EXPECT_TRUE(f.prompt.messages().empty());
    Workspace empty;
    EXPECT_EQ(ops::StepsPasteFrames(empty, r, f.prompt, {}).failure().code, ops::kStepsPasteNoClip);
}

TEST(OpsFrames, RepeatDoublesEveryFrameOfTheRangeWithinTheFrameLimit) {
    Clip5 f(2, 2, 3);
    const auto repeated = ops::RepeatFrames(f.ws, ops::RepeatFramesRequest{1, 2, 2}, f.prompt, {});
    ASSERT_TRUE(repeated) << repeated.message();
    EXPECT_EQ(repeated->last, 4u);
    EXPECT_EQ(repeated->count, 5u);
    f.Expect({0, 1, 1, 1, 2});
    ASSERT_TRUE(f.ws.frameUndo.Undo(f.frames()));
    f.Expect({0, 1, 2});
    const auto full = ops::RepeatFrames(f.ws, ops::RepeatFramesRequest{0, 2, static_cast<int>(kMaxFrameCount / 2)}, f.prompt, {});
    ASSERT_FALSE(full);
    EXPECT_EQ(full.failure().code, ops::kRepeatClipFull);
    EXPECT_EQ(full.message(), "Parameter mistake!");
    const auto outside = ops::RepeatFrames(f.ws, ops::RepeatFramesRequest{2, 4, 1}, f.prompt, {});
    ASSERT_FALSE(outside);
    EXPECT_EQ(outside.failure().code, ops::kRepeatOutOfRange);
    f.Expect({0, 1, 2});
    Workspace empty;
    EXPECT_EQ(ops::RepeatFrames(empty, {}, f.prompt, {}).failure().code, ops::kRepeatNoClip);
}

TEST(OpsFrames, DeleteRemovesTheRangeEveryNthFrameOrClearsTheRectangle) {
    Clip5 f(3, 2);
    const auto removed = ops::DeleteFrames(f.ws, Over<ops::DeleteFramesRequest>(1, 3), f.prompt, {});
    ASSERT_TRUE(removed) << removed.message();
    EXPECT_EQ(removed->last, 2u);
    EXPECT_EQ(removed->count, 3u);
    f.Expect({0, 3, 4});
    ASSERT_TRUE(f.ws.frameUndo.Undo(f.frames()));
    f.Expect({0, 1, 2, 3, 4});
    // Spacing 1: one kept, the next one removed.
    auto thin = Over<ops::DeleteFramesRequest>(0, 5);
    thin.spacing = 1;
    ASSERT_TRUE(ops::DeleteFrames(f.ws, thin, f.prompt, {}));
    f.Expect({0, 2, 4});
    // A rectangle of the first two frames takes the request's background.
    const Bgr grey{50, 50, 50};
    ops::DeleteFramesRequest area{0, 2, 0, PixelRect{2, 0, 3, 2}, grey};
    const auto cleared = ops::DeleteFrames(f.ws, area, f.prompt, {});
    ASSERT_TRUE(cleared);
    EXPECT_EQ(cleared->count, 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(f.frames()[static_cast<std::size_t>(i)].Pixel(2, 1), grey);
        EXPECT_EQ(f.frames()[static_cast<std::size_t>(i)].Pixel(1, 1), Shade(2 * i));
    }
    EXPECT_EQ(f.frames()[2], Solid(3, 2, 4));
    // Everything: one background frame stays.
    ASSERT_TRUE(ops::DeleteFrames(f.ws, Over<ops::DeleteFramesRequest>(0, 3), f.prompt, {}));
    ASSERT_EQ(f.frames().size(), 1u);
    EXPECT_EQ(f.frames()[0], Frame::Filled(3, 2, kBack));
    const auto outside = ops::DeleteFrames(f.ws, Over<ops::DeleteFramesRequest>(0, 2), f.prompt, {});
    ASSERT_FALSE(outside);
    EXPECT_EQ(outside.failure().code, ops::kDeleteOutOfRange);
    Workspace empty;
    EXPECT_EQ(ops::DeleteFrames(empty, {}, f.prompt, {}).failure().code, ops::kDeleteNoClip);
}

TEST(OpsFrames, MoveRotatesTheRectangleOneMoreEachFrameWithIncrements) {
    const Bgr r{0, 0, 255}, g{0, 255, 0}, b{255, 0, 0};
    Fixture f(3, 1);
    f.frames() = {Row({r, g, b}), Row({r, g, b}), Row({r, g, b})};
    auto request = Over<ops::MoveFramesRequest>(1, 3);
    request.direction = MoveDirection::Left;
    request.ranks = 1;
    request.increments = true;
    const auto moved = ops::MoveFrames(f.ws, request, f.prompt, {});
    ASSERT_TRUE(moved) << moved.message();
    EXPECT_EQ(moved->last, 2u);
    EXPECT_EQ(moved->count, 3u);
    EXPECT_EQ(f.frames()[0], Row({r, g, b}));
    EXPECT_EQ(f.frames()[1], Row({g, b, r}));
    EXPECT_EQ(f.frames()[2], Row({b, r, g}));
    // Right by one inside the first two columns only.
    ops::MoveFramesRequest inside{0, 1, MoveDirection::Right, 1, false, PixelRect{0, 0, 2, 1}};
    ASSERT_TRUE(ops::MoveFrames(f.ws, inside, f.prompt, {}));
    EXPECT_EQ(f.frames()[0], Row({g, r, b}));
    const auto outside = ops::MoveFrames(f.ws, Over<ops::MoveFramesRequest>(3, 4), f.prompt, {});
    ASSERT_FALSE(outside);
    EXPECT_EQ(outside.failure().code, ops::kMoveOutOfRange);
    Workspace empty;
    EXPECT_EQ(ops::MoveFrames(empty, {}, f.prompt, {}).failure().code, ops::kMoveNoClip);
}

TEST(OpsFrames, RowColDeleteClosesUpWhatStays) {
    const Bgr p0{10, 0, 0}, p1{11, 0, 0}, p2{12, 0, 0}, p3{13, 0, 0}, white{255, 255, 255};
    Fixture f(4, 1);
    f.frames() = {Row({p0, p1, p2, p3}), Row({p0, p1, p2, p3})};
    ops::RowColDeleteRequest r{1, 2, 1, 0, 1, 1, std::nullopt, white};
    const auto done = ops::RowColDeleteFrames(f.ws, r, f.prompt, {});
    ASSERT_TRUE(done) << done.message();
    EXPECT_EQ(done->last, 1u);
    EXPECT_EQ(f.frames()[0], Row({p0, p1, p2, p3}));
    EXPECT_EQ(f.frames()[1], Row({p0, p2, white, white}));
    ASSERT_TRUE(f.ws.frameUndo.Undo(f.frames()));
    EXPECT_EQ(f.frames()[1], Row({p0, p1, p2, p3}));
    const auto outside = ops::RowColDeleteFrames(f.ws, Over<ops::RowColDeleteRequest>(0, 3), f.prompt, {});
    ASSERT_FALSE(outside);
    EXPECT_EQ(outside.failure().code, ops::kRowColOutOfRange);
    Workspace empty;
    EXPECT_EQ(ops::RowColDeleteFrames(empty, {}, f.prompt, {}).failure().code, ops::kRowColNoClip);
}

TEST(OpsFrames, DesignSwitchTurnsTheFramesAfterTheRangeIntoTheTransition) {
    Clip5 f(8, 4, 4);
    const auto switched = ops::DesignSwitchFrames(f.ws, ops::DesignSwitchRequest{0, 2, 2, 7}, f.prompt, {});
    ASSERT_TRUE(switched) << switched.message();
    EXPECT_EQ(switched->kind, 2);
    EXPECT_EQ(switched->last, 3u);
    EXPECT_EQ(switched->count, 4u);
    EXPECT_EQ(f.frames()[0], Solid(8, 4, 0));
    EXPECT_EQ(f.frames()[1], Solid(8, 4, 1));
    // "LeftOver" in two steps: the first uncovers the left half of the new frame over the
    // range's last one, the second the new frame whole.
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) EXPECT_EQ(f.frames()[2].Pixel(x, y), Shade(x < 4 ? 2 : 1)) << x << "," << y;
    }
    EXPECT_EQ(f.frames()[3], Solid(8, 4, 3));
    ASSERT_TRUE(f.ws.frameUndo.Undo(f.frames()));
    f.Expect({0, 1, 2, 3});
    // "Random" takes one of the kinds a random run takes.
    const auto random = ops::DesignSwitchFrames(f.ws, ops::DesignSwitchRequest{1, 2, 0, 7}, f.prompt, {});
    ASSERT_TRUE(random);
    EXPECT_GE(random->kind, 1);
    EXPECT_LE(random->kind, kRandomTransitionKinds);
    EXPECT_EQ(random->last, 2u);
}

TEST(OpsFrames, DesignSwitchNeedsAsManyFramesAfterTheRangeAsItHolds) {
    Clip5 f(4, 2, 4);
    const auto noRoom = ops::DesignSwitchFrames(f.ws, ops::DesignSwitchRequest{1, 3, 2, 1}, f.prompt, {});
    ASSERT_FALSE(noRoom);
    EXPECT_EQ(noRoom.failure().code, ops::kSwitchNoRoom);
    EXPECT_EQ(noRoom.message(), "Parameter mistake!");
    EXPECT_EQ(ops::DesignSwitchFrames(f.ws, ops::DesignSwitchRequest{0, 1, kTransitionKinds, 1}, f.prompt, {}).failure().code,
              ops::kSwitchBadKind);
    EXPECT_EQ(ops::DesignSwitchFrames(f.ws, ops::DesignSwitchRequest{0, 5, 2, 1}, f.prompt, {}).failure().code,
              ops::kSwitchOutOfRange);
    f.Expect({0, 1, 2, 3});
    EXPECT_FALSE(f.ws.frameUndo.CanUndo());
    EXPECT_TRUE(f.prompt.messages().empty());
    Workspace empty;
    EXPECT_EQ(ops::DesignSwitchFrames(empty, {}, f.prompt, {}).failure().code, ops::kSwitchNoClip);
}

TEST(OpsDocument, SavedFramesOpenAgainInAnotherWorkspace) {
    TempDir dir("corv-ops-");
    Clip5 a(4, 3, 3);
    a.frames()[1] = Varied(4, 3);
    a.ws.frames.AddClip(2, 2);
    a.ws.frames.CurrentFrames()[0] = Solid(2, 2, 6);
    a.ws.frames.Select(0);
    const auto saved = ops::SaveDocument(a.ws, ops::SaveDocumentRequest{dir.File("show.cvn")}, a.prompt, {});
    ASSERT_TRUE(saved) << saved.message();
    EXPECT_EQ(saved->path, dir.File("show.cvn"));
    EXPECT_FALSE(saved->archive);
    EXPECT_EQ(a.ws.documentPath, dir.File("show.cvn"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("show.rar")));

    Fixture b(9, 9);
    b.ws.frameUndo.RecordInserted(b.frames(), 0, 1);
    const auto opened = ops::OpenDocument(b.ws, ops::OpenDocumentRequest{dir.File("show.cvn")}, b.prompt, {});
    ASSERT_TRUE(opened) << opened.message();
    EXPECT_EQ(opened->documentPath, dir.File("show.cvn"));
    EXPECT_FALSE(opened->fromArchive);
    EXPECT_EQ(opened->clips, 2);
    EXPECT_EQ(opened->frames, 3u);
    const auto& first = b.ws.frames.clip(0).frames;
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0], Solid(4, 3, 0));
    EXPECT_EQ(first[1], Varied(4, 3));
    EXPECT_EQ(first[2], Solid(4, 3, 2));
    ASSERT_EQ(b.ws.frames.clip(1).frames.size(), 1u);
    EXPECT_EQ(b.ws.frames.clip(1).frames[0], Solid(2, 2, 6));
    EXPECT_FALSE(b.ws.frameUndo.CanUndo());
    EXPECT_TRUE(b.prompt.messages().empty());

    // Saved again where it came from, packed beside it with "Compress".
    b.ws.app.compress = 1;
    b.ws.frames.clip(0).frames[0] = Solid(4, 3, 5);
    const auto again = ops::SaveDocument(b.ws, {}, b.prompt, {});
    ASSERT_TRUE(again) << again.message();
    EXPECT_EQ(again->path, dir.File("show.cvn"));
    ASSERT_TRUE(again->archive);
    EXPECT_EQ(*again->archive, dir.File("show.rar"));
    ASSERT_TRUE(std::filesystem::exists(dir.File("show.rar")));
    Workspace c;
    RecordingPrompt prompt;
    const auto unpacked = ops::OpenDocument(c, ops::OpenDocumentRequest{dir.File("show.rar")}, prompt, {});
    ASSERT_TRUE(unpacked) << unpacked.message();
    EXPECT_TRUE(unpacked->fromArchive);
    EXPECT_EQ(unpacked->documentPath, dir.File("show.cvn"));
    EXPECT_EQ(c.frames.clip(0).frames[0], Solid(4, 3, 5));
    EXPECT_EQ(c.frames.clip(0).frames[1], Varied(4, 3));
}

TEST(OpsDocument, RefusedOpensAndSavesTellThePromptOnceAndLeaveTheWorkspace) {
    TempDir dir("corv-ops-");
    Fixture f(4, 3);
    f.frames()[0] = Varied(4, 3);
    const auto missing = ops::OpenDocument(f.ws, ops::OpenDocumentRequest{dir.File("missing.cvn")}, f.prompt, {});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.failure().code, ops::kOpenCannotRead);
    EXPECT_EQ(missing.message(), "Open file fail!\r\n" + dir.File("missing.cvn").string() + ": No such file or directory");
    ASSERT_TRUE(WriteFileAtomic(dir.File("bad.cvn"), std::string("ledv\x05\0\0\0\0\0", 10) + std::string(40, '\0')));
    const auto bad = ops::OpenDocument(f.ws, ops::OpenDocumentRequest{dir.File("bad.cvn")}, f.prompt, {});
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.failure().code, ops::kOpenUnsupported);
    EXPECT_EQ(bad.message(), "The file or the file version is not supported!");
    EXPECT_EQ(f.prompt.messages(), (std::vector<std::string>{missing.message(), bad.message()}));
    EXPECT_EQ(f.ws.frames.Count(), 1);
    EXPECT_EQ(f.frames()[0], Varied(4, 3));
    EXPECT_TRUE(f.ws.documentPath.empty());
    // In Chinese, the catalogue's words.
    f.ws.strings = LoadUiStrings(kLanguageSimplified);
    const auto zh = ops::OpenDocument(f.ws, ops::OpenDocumentRequest{dir.File("bad.cvn")}, f.prompt, {});
    EXPECT_EQ(zh.failure().code, ops::kOpenUnsupported);
    EXPECT_EQ(zh.message(), "不支持的文件或文件版本!");
    f.ws.strings = LoadUiStrings(kLanguageEnglish);

    // Never saved and no path given: the window asks for one (Save As).
    const auto noPath = ops::SaveDocument(f.ws, {}, f.prompt, {});
    ASSERT_FALSE(noPath);
    EXPECT_EQ(noPath.failure().code, ops::kSaveNoPath);
    EXPECT_EQ(f.prompt.messages().size(), 3u);
    const auto unwritable = ops::SaveDocument(f.ws, ops::SaveDocumentRequest{dir.File("no-folder") / "a.cvn"}, f.prompt, {});
    ASSERT_FALSE(unwritable);
    EXPECT_EQ(unwritable.failure().code, ops::kSaveFailed);
    EXPECT_EQ(unwritable.message(),
              "Save file fail!\r\n" + (dir.File("no-folder") / "a.cvn").string() + ": No such file or directory");
    EXPECT_EQ(f.prompt.messages().back(), unwritable.message());
    EXPECT_EQ(f.prompt.messages().size(), 4u);
    EXPECT_TRUE(f.ws.documentPath.empty());
}

TEST(OpsDocument, AppendPutsTheRangeAfterTheTargetsFrames) {
    TempDir dir("corv-ops-");
    Clip5 target(4, 3, 1);
    target.frames()[0] = Varied(4, 3);
    ASSERT_TRUE(ops::SaveDocument(target.ws, ops::SaveDocumentRequest{dir.File("target.cvn")}, target.prompt, {}));
    Clip5 source(4, 3, 4);
    std::vector<int> progress;
    const auto appended = ops::AppendFrames(source.ws, ops::AppendFramesRequest{dir.File("target.cvn"), 1, 3}, source.prompt,
                                            [&](int v) { progress.push_back(v); });
    ASSERT_TRUE(appended) << appended.message();
    EXPECT_EQ(appended->appended, 2u);
    EXPECT_FALSE(progress.empty());
    source.Expect({0, 1, 2, 3});  // the workspace does not change

    Workspace read;
    RecordingPrompt prompt;
    ASSERT_TRUE(ops::OpenDocument(read, ops::OpenDocumentRequest{dir.File("target.cvn")}, prompt, {}));
    const auto& frames = read.frames.clip(0).frames;
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], Varied(4, 3));
    EXPECT_EQ(frames[1], Solid(4, 3, 1));
    EXPECT_EQ(frames[2], Solid(4, 3, 2));
}

TEST(OpsDocument, AppendRefusalsSayWhyAndLeaveTheTargetAlone) {
    TempDir dir("corv-ops-");
    Clip5 small(8, 4, 1);
    ASSERT_TRUE(ops::SaveDocument(small.ws, ops::SaveDocumentRequest{dir.File("small.cvn")}, small.prompt, {}));
    Clip5 two(4, 3, 1);
    two.ws.frames.AddClip(4, 3);
    ASSERT_TRUE(ops::SaveDocument(two.ws, ops::SaveDocumentRequest{dir.File("two.cvn")}, two.prompt, {}));
    const auto smallBefore = *ReadFileBytes(dir.File("small.cvn"));
    const auto twoBefore = *ReadFileBytes(dir.File("two.cvn"));

    Clip5 s(4, 3, 3);
    auto append = [&](const std::string& name, std::size_t first, std::size_t end) {
        return ops::AppendFrames(s.ws, ops::AppendFramesRequest{dir.File(name), first, end}, s.prompt, {});
    };
    const auto outside = append("small.cvn", 2, 4);
    ASSERT_FALSE(outside);
    EXPECT_EQ(outside.failure().code, ops::kAppendOutOfRange);
    EXPECT_EQ(outside.message(), "Parameter mistake!");
    EXPECT_EQ(append("small.cvn", 2, 2).failure().code, ops::kAppendOutOfRange);
    const auto size = append("small.cvn", 0, 1);
    ASSERT_FALSE(size);
    EXPECT_EQ(size.failure().code, ops::kAppendSizeMismatch);
    EXPECT_EQ(size.message(), "Parameter mistake!\r\nWidth: 8 ,Height: 4");
    const auto clips = append("two.cvn", 0, 1);
    ASSERT_FALSE(clips);
    EXPECT_EQ(clips.failure().code, ops::kAppendUnsupported);
    EXPECT_EQ(clips.message(), "The file or the file version is not supported!");
    const auto none = append("none.cvn", 0, 1);
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().code, ops::kAppendCannotOpen);
    EXPECT_EQ(none.message().rfind("Open file fail!\r\n", 0), 0u) << none.message();
    // Each was told once, as the window tells it.
    EXPECT_EQ(s.prompt.messages(), (std::vector<std::string>{outside.message(), "Parameter mistake!", size.message(),
                                                              clips.message(), none.message()}));
    EXPECT_EQ(*ReadFileBytes(dir.File("small.cvn")), smallBefore);
    EXPECT_EQ(*ReadFileBytes(dir.File("two.cvn")), twoBefore);
    // Without a clip nothing is told.
    Workspace empty;
    RecordingPrompt quiet;
    const auto noClip = ops::AppendFrames(empty, ops::AppendFramesRequest{dir.File("small.cvn"), 0, 1}, quiet, {});
    ASSERT_FALSE(noClip);
    EXPECT_EQ(noClip.failure().code, ops::kAppendNoClip);
    EXPECT_TRUE(quiet.messages().empty());
}
