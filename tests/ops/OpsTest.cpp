// The operations of src/ops on a workspace of their own: a request, its result, and the
// frames or layout it made; a refused request, its message.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <sstream>

#include "lang/Language.h"
#include "ops/ColourProcess.h"
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
