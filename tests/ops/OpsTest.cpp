// The operations of src/ops on a workspace of their own: a request, its result, and the
// frames or layout it made; a refused request, its message.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include <fstream>
#include <sstream>

#include "base/FileUtil.h"
#include "base/TempDir.h"
#include "content/TransitionRenderer.h"
#include "formats/FrameCountScramble.h"
#include "lang/Language.h"
#include "layout/LineFile.h"
#include "ops/ColourProcess.h"
#include "ops/Document.h"
#include "ops/Frames.h"
#include "ops/Generate.h"
#include "ops/Import.h"
#include "ops/Output.h"
#include "project/Document.h"
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
    EXPECT_FALSE(past.ok());
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

namespace {

// A clip of 5 x 2 with three frames of their own, and the layout in use loaded from a line
// file in the folder: two lines, one master controller each.
struct OutputShow {
    TempDir dir;
    Workspace ws;
    RecordingPrompt prompt;
    OutputShow() {
        ws.frames.AddClip(5, 2);
        auto& frames = ws.frames.CurrentFrames();
        frames.clear();
        for (int i = 0; i < 3; ++i) {
            Frame f(5, 2);
            for (std::size_t b = 0; b < f.size(); ++b) f.data()[b] = static_cast<std::uint8_t>(b * 7 + static_cast<std::size_t>(i) * 40 + 1);
            frames.push_back(std::move(f));
        }
        Layout wiring;
        wiring.New(2, 5, false, 3);
        wiring.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(0, 2)};
        wiring.lines[1] = {MakePoint(1, 4), MakePoint(1, 3)};
        wiring.slaveGroups = {1};
        wiring.RecomputeLineCount();
        const std::vector<LightTypeRecord> lamps = ws.lampTypes;
        EXPECT_TRUE(SaveLineFile(dir.File("wall.lnf"), wiring, lamps));
        EXPECT_TRUE(LoadLineFile(dir.File("wall.lnf"), ws.layout, ws.lampTypes, 3));
        ws.random = Random(9);
    }
    // What the engine's writer gives for the same layout, lamps, catalogue and seed.
    OutputResult Engine(FrameSource& source, std::size_t first, std::size_t end, const std::filesystem::path& chosen) {
        const ChipCatalogue catalogue = ChipCatalogue::Load(ws.home / kCatalogueFileName);
        WriterInput in;
        in.layout = &ws.layout;
        in.lamps = &ws.lampTypes;
        in.catalogue = &catalogue;
        in.frame = FrameShape{2, 5};
        Random rng(9);
        return OutputControllerFiles(in, source, first, end, chosen, rng, ws.strings);
    }
    ops::ControllerOutputRequest Request(std::size_t first, std::size_t end, const std::string& name) const {
        ops::ControllerOutputRequest r;
        r.first = first;
        r.end = end;
        r.path = dir.File(name);
        r.card = ops::ControllerOutputRequest::Card::None;
        return r;
    }
};

}  // namespace

TEST(OpsOutput, EveryMasterFileIsTheEngineWritersWithItsFramesAndBytes) {
    OutputShow s;
    ASSERT_EQ(s.ws.layout.setting.lineCount, 2);
    std::vector<int> progress;
    const auto written = ops::WriteControllerFiles(s.ws, s.Request(1, 3, "show.led"), s.prompt,
                                                   [&](int percent) { progress.push_back(percent); });
    ASSERT_TRUE(written) << written.message();
    EXPECT_TRUE(written->complete());
    const std::vector<std::filesystem::path> files = {s.dir.File("show1.led"), s.dir.File("show2.led")};
    EXPECT_EQ(written->files, files);
    EXPECT_TRUE(written->copied.empty());
    ASSERT_EQ(written->report.files.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(written->report.files[i].path, files[i]);
        EXPECT_EQ(written->report.files[i].frames, 2u);
        // A header sector and one 512-byte block a frame.
        EXPECT_EQ(written->report.files[i].bytes, 1536u);
        EXPECT_EQ(std::filesystem::file_size(files[i]), 1536u);
    }
    EXPECT_FALSE(written->report.cardSearched);
    EXPECT_EQ(OutputReportLines(written->report, s.ws.strings),
              (std::vector<std::string>{files[0].string() + ": 2 frames, 1536 bytes",
                                        files[1].string() + ": 2 frames, 1536 bytes", "No card was looked for."}));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 0);
    // Nothing is told on the way: the caller shows the outcome.
    EXPECT_TRUE(s.prompt.messages().empty());
    // The engine's writer with the same frames, layout and seed writes the same bytes.
    TempDir other;
    ClipFrameSource clip(s.ws.frames.CurrentFrames());
    const OutputResult engine = s.Engine(clip, 1, 3, other.File("show.led"));
    ASSERT_TRUE(engine.ok);
    ASSERT_EQ(engine.files.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_EQ(*ReadFileBytes(files[i]), *ReadFileBytes(engine.files[i])) << i;
}

TEST(OpsOutput, TheCardIsLookedForAfterEachFileWhenAsked) {
    OutputShow s;
    // A system without a card.
    TempDir root;
    std::filesystem::create_directories(root.path() / "proc/self");
    std::ofstream(root.path() / "proc/self/mountinfo") << "";
    auto request = s.Request(0, 1, "card.led");
    request.card = ops::ControllerOutputRequest::Card::Copy;
    request.probe = CardProbe{root.path()};
    const auto written = ops::WriteControllerFiles(s.ws, request, s.prompt, {});
    ASSERT_TRUE(written) << written.message();
    EXPECT_EQ(written->files.size(), 2u);
    EXPECT_TRUE(written->copied.empty());
    EXPECT_TRUE(written->report.cardSearched);
    EXPECT_FALSE(written->report.cardFound);
    EXPECT_EQ(OutputReportLines(written->report, s.ws.strings).back(), "No card was found; nothing was written to a card.");
}

TEST(OpsOutput, ADocumentsFramesAreWrittenAsTheClipsWouldBe) {
    OutputShow s;
    ASSERT_TRUE(WriteSingleClipDocument(s.dir.File("d.cvn"), s.ws.frames.CurrentFrames()));
    ops::ImportFramesRequest source;
    source.source = s.dir.File("d.cvn");
    source.width = 5;
    source.height = 2;
    source.frames = 2;
    auto imported = ops::ImportFrames(s.ws, source, s.prompt, {});
    ASSERT_TRUE(imported) << imported.message();
    EXPECT_EQ(imported->count, 3u);
    EXPECT_EQ(imported->end, 2u);
    EXPECT_EQ(imported->shape.rows, 2);
    EXPECT_EQ(imported->shape.cols, 5);
    EXPECT_EQ(s.ws.frames.CurrentFrames().size(), 3u);  // the clip does not change
    auto request = s.Request(0, imported->end, "doc.led");
    request.frames = imported->frames.get();
    request.shape = imported->shape;
    const auto written = ops::WriteControllerFiles(s.ws, request, s.prompt, {});
    ASSERT_TRUE(written) << written.message();
    ASSERT_EQ(written->files.size(), 2u);
    EXPECT_EQ(written->report.files[0].frames, 2u);
    TempDir other;
    ClipFrameSource clip(s.ws.frames.CurrentFrames());
    const OutputResult engine = s.Engine(clip, 0, 2, other.File("doc.led"));
    ASSERT_EQ(engine.files.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) EXPECT_EQ(*ReadFileBytes(written->files[i]), *ReadFileBytes(engine.files[i])) << i;
    // More frames than there are, or none asked for: all of them.
    source.frames = 9;
    EXPECT_EQ(ops::ImportFrames(s.ws, source, s.prompt, {})->end, 3u);
    source.frames = 0;
    EXPECT_EQ(ops::ImportFrames(s.ws, source, s.prompt, {})->end, 3u);
    // A source without frames writes the headers alone.
    const std::vector<Frame> none;
    ClipFrameSource empty(none);
    auto headers = s.Request(0, 0, "empty.led");
    headers.frames = &empty;
    EXPECT_FALSE(ops::ControllerOutputRefusalOf(s.ws, headers));
    const auto alone = ops::WriteControllerFiles(s.ws, headers, s.prompt, {});
    ASSERT_TRUE(alone) << alone.message();
    ASSERT_EQ(alone->report.files.size(), 2u);
    EXPECT_EQ(alone->report.files[0].frames, 0u);
    EXPECT_EQ(alone->report.files[0].bytes, 512u);
}

TEST(OpsOutput, OutputRefusalsSayWhyAndWriteNothing) {
    OutputShow s;
    for (const auto& [first, end] : {std::pair<std::size_t, std::size_t>{2, 4}, {1, 1}, {2, 1}}) {
        const auto request = s.Request(first, end, "x.led");
        const auto refusal = ops::ControllerOutputRefusalOf(s.ws, request);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->code, ops::kOutputOutOfRange);
        const auto written = ops::WriteControllerFiles(s.ws, request, s.prompt, {});
        ASSERT_FALSE(written);
        EXPECT_EQ(written.failure().code, ops::kOutputOutOfRange);
        EXPECT_EQ(written.message(), "Parameter mistake!");
    }
    Workspace empty;
    const auto noClip = ops::WriteControllerFiles(empty, s.Request(0, 1, "x.led"), s.prompt, {});
    ASSERT_FALSE(noClip);
    EXPECT_EQ(noClip.failure().code, ops::kOutputNoClip);
    // A folder that is not there: each master's file fails, and nothing is finished.
    const auto missing = ops::WriteControllerFiles(s.ws, s.Request(0, 1, "no/c.led"), s.prompt, {});
    ASSERT_TRUE(missing) << missing.message();
    EXPECT_FALSE(missing->complete());
    EXPECT_TRUE(missing->files.empty());
    EXPECT_TRUE(missing->report.files.empty());
    EXPECT_EQ(missing->failures,
              (std::vector<std::string>{"Write file fail! " + s.dir.File("no/c1.led").string() + ": No such file or directory",
                                        "Write file fail! " + s.dir.File("no/c2.led").string() + ": No such file or directory"}));
    // No line in the layout.
    s.ws.layout = Layout();
    const auto noLayout = ops::WriteControllerFiles(s.ws, s.Request(0, 1, "x.led"), s.prompt, {});
    ASSERT_FALSE(noLayout);
    EXPECT_EQ(noLayout.failure().code, ops::kOutputNoLayout);
    EXPECT_EQ(noLayout.message(), "Not set LED project line! ");
    EXPECT_FALSE(std::filesystem::exists(s.dir.File("x.led")));
    EXPECT_FALSE(std::filesystem::exists(s.dir.File("x1.led")));
    EXPECT_TRUE(s.prompt.messages().empty());
}

TEST(OpsOutput, AControllerFileReadsBackIntoTheFramesAfterTheCurrentOne) {
    OutputShow s;
    ASSERT_TRUE(ops::WriteControllerFiles(s.ws, s.Request(0, 3, "back.led"), s.prompt, {}));
    const std::vector<Frame> before = s.ws.frames.CurrentFrames();
    s.ws.frameUndo.RecordChange(s.ws.frames.CurrentFrames(), 0, 1);
    ASSERT_TRUE(s.ws.frameUndo.CanUndo());
    // The first master's file: the LEDs of the first line, (0, 0) .. (0, 2).
    const auto imported = ops::ImportControllerFile(s.ws, ops::ControllerImportRequest{s.dir.File("back1.led")}, s.prompt, {});
    ASSERT_TRUE(imported) << imported.message();
    EXPECT_EQ(imported->blocks, 3u);
    EXPECT_TRUE(imported->warnings.empty());
    const auto& frames = s.ws.frames.CurrentFrames();
    ASSERT_EQ(frames.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(frames[i + 1].Pixel(c, 0), before[i].Pixel(c, 0)) << i << " " << c;
    }
    EXPECT_EQ(frames[1].Pixel(4, 1), before[1].Pixel(4, 1));  // no LED of this master
    EXPECT_EQ(s.ws.app.currentFrame, 0);
    EXPECT_FALSE(s.ws.frameUndo.CanUndo());  // the history starts anew
    EXPECT_TRUE(s.prompt.messages().empty());
    // A partial block after the last whole one is left out, and the prompt is told.
    std::ofstream(s.dir.File("back1.led"), std::ios::app | std::ios::binary) << "1234567";
    const auto partial = ops::ImportControllerFile(s.ws, ops::ControllerImportRequest{s.dir.File("back1.led")}, s.prompt, {});
    ASSERT_TRUE(partial) << partial.message();
    EXPECT_EQ(partial->blocks, 3u);
    const std::string warning = s.dir.File("back1.led").string() + ": the data ends in a partial frame of 7 bytes, which is left out";
    EXPECT_EQ(partial->warnings, (std::vector<std::string>{warning}));
    EXPECT_EQ(s.prompt.messages(), (std::vector<std::string>{warning}));
    EXPECT_EQ(s.prompt.icons(), (std::vector<PromptIcon>{PromptIcon::Warning}));
}

TEST(OpsOutput, ImportRefusalsLeaveTheFrames) {
    OutputShow s;
    const auto missing = ops::ImportControllerFile(s.ws, ops::ControllerImportRequest{s.dir.File("none.led")}, s.prompt, {});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.failure().code, ops::kLedImportRefused);
    EXPECT_EQ(missing.message().rfind("Open file fail! ", 0), 0u) << missing.message();
    EXPECT_NE(missing.message().find("No such file or directory"), std::string::npos) << missing.message();
    std::ofstream(s.dir.File("junk.led")) << "not a controller file";
    const auto junk = ops::ImportControllerFile(s.ws, ops::ControllerImportRequest{s.dir.File("junk.led")}, s.prompt, {});
    ASSERT_FALSE(junk);
    EXPECT_EQ(junk.failure().code, ops::kLedImportRefused);
    EXPECT_EQ(junk.message(), s.ws.strings.ledFileUnsupported);
    EXPECT_EQ(s.ws.frames.CurrentFrames().size(), 3u);
    Workspace empty;
    const auto noClip = ops::ImportControllerFile(empty, ops::ControllerImportRequest{s.dir.File("junk.led")}, s.prompt, {});
    ASSERT_FALSE(noClip);
    EXPECT_EQ(noClip.failure().code, ops::kLedImportNoClip);
    s.ws.layout = Layout();
    const auto noLayout = ops::ImportControllerFile(s.ws, ops::ControllerImportRequest{s.dir.File("junk.led")}, s.prompt, {});
    ASSERT_FALSE(noLayout);
    EXPECT_EQ(noLayout.failure().code, ops::kLedImportNoLayout);
    EXPECT_EQ(noLayout.message(), "Not set LED project line! ");
    EXPECT_EQ(s.ws.frames.CurrentFrames().size(), 3u);
    EXPECT_TRUE(s.prompt.messages().empty());
}

TEST(OpsOutput, ASourceThatCannotBeOpenedIsNamedWithTheReason) {
    OutputShow s;
    ASSERT_TRUE(WriteSingleClipDocument(s.dir.File("d.cvn"), s.ws.frames.CurrentFrames()));
    const auto noSource = ops::ImportFrames(s.ws, ops::ImportFramesRequest{}, s.prompt, {});
    ASSERT_FALSE(noSource);
    EXPECT_EQ(noSource.failure().code, ops::kImportNoSource);
    ops::ImportFramesRequest request;
    request.source = s.dir.File("none.cvn");
    const auto missing = ops::ImportFrames(s.ws, request, s.prompt, {});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.failure().code, ops::kImportUnreadable);
    EXPECT_EQ(missing.message(), s.dir.File("none.cvn").string() + "\nOpen file fail!");
    EXPECT_EQ(missing.failure().reason, "Open file fail!");
    // Without a size the workspace's frame size is taken: another one than the document's.
    s.ws.app.frameWidth = 6;
    s.ws.app.frameHeight = 2;
    request.source = s.dir.File("d.cvn");
    const auto otherSize = ops::ImportFrames(s.ws, request, s.prompt, {});
    ASSERT_FALSE(otherSize);
    EXPECT_EQ(otherSize.failure().code, ops::kImportUnreadable);
    EXPECT_EQ(otherSize.failure().reason, "The file or the file version is not supported!");
    s.ws.app.frameWidth = 5;
    const auto fits = ops::ImportFrames(s.ws, request, s.prompt, {});
    ASSERT_TRUE(fits) << fits.message();
    EXPECT_EQ(fits->count, 3u);
    EXPECT_TRUE(s.prompt.messages().empty());
}

// ---- The layout operations (the sculpt tools), the picture identify and the movie import ----

#include <QPainter>

#include <algorithm>

#include "lang/Render.h"
#include "lang/messages/EngineMessages.h"
#include "lang/messages/SculptMessages.h"
#include "ops/Layout.h"

namespace {

// A workspace whose layout is a plain grid of rows x cols.
struct LayoutFixture {
    Workspace ws;
    RecordingPrompt prompt;
    LayoutFixture(int rows, int cols) { ws.layout.New(rows, cols, false, 3); }
    Layout& layout() { return ws.layout; }
    // Line `line` holds these cells (row, col), counted on their cells.
    void Set(int line, std::initializer_list<std::pair<int, int>> cells) {
        Line& l = ws.layout.lines[static_cast<std::size_t>(line)];
        l.clear();
        for (auto [row, col] : cells) l.push_back(MakePoint(row, col));
        ws.layout.occupancy.Rebuild(ws.layout.grid, ws.layout.lines);
        ws.layout.RecomputeLineCount();
    }
};

Line Cells(std::initializer_list<std::pair<int, int>> cells) {
    Line l;
    for (auto [row, col] : cells) l.push_back(MakePoint(row, col));
    return l;
}

Line Sorted(Line l) {
    std::sort(l.begin(), l.end());
    return l;
}

// A module file of one module: two cells side by side.
std::filesystem::path PairModuleFile(const TempDir& dir, const std::string& name) {
    const std::vector<DisplayModule> modules = {DisplayModule{"Pair", 2, 1, {0, 1}}};
    EXPECT_TRUE(WriteFileAtomic(dir.File(name), ModuleFileBytes(modules)));
    return dir.File(name);
}

// A photograph of 5 x 3 lit dots, 50 pixels apart, on near black.
QImage DotsPhoto() {
    QImage photo(300, 200, QImage::Format_RGB32);
    photo.fill(QColor(10, 10, 10));
    QPainter p(&photo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 240, 200));
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 5; ++c) p.drawEllipse(QPointF(40 + c * 50, 50 + r * 50), 6, 6);
    }
    return photo;
}

// The colours of the test movie's pictures, one a picture.
const std::vector<Bgr> kMovieColours = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {0, 0, 0}};

// A lossless movie of 8 x 4 pictures, one of each colour.
std::filesystem::path WriteMovie(const TempDir& dir) {
    const std::filesystem::path path = dir.File("colours.avi");
    VideoOptions options;
    options.encoder = "ffv1";
    MovieWriter writer;
    EXPECT_TRUE(writer.Open(path, 8, 4, options)) << writer.error();
    for (const Bgr& c : kMovieColours) EXPECT_TRUE(writer.Write(Frame::Filled(8, 4, c)));
    EXPECT_TRUE(writer.Close()) << writer.error();
    return path;
}

// Whether a frame is all (nearly) one colour.
bool NearlyFilled(const Frame& f, Bgr c) {
    for (int y = 0; y < f.height(); ++y) {
        for (int x = 0; x < f.width(); ++x) {
            const Bgr p = f.Pixel(x, y);
            if (std::abs(p.b - c.b) > 8 || std::abs(p.g - c.g) > 8 || std::abs(p.r - c.r) > 8) return false;
        }
    }
    return true;
}

}  // namespace

TEST(OpsLayout, NewMakesAnEmptyGridAndTheOneFrameProjectTakesItsSize) {
    Workspace ws;
    RecordingPrompt prompt;
    ws.frames.AddClip(4, 3);
    ws.layout.lines[0] = {MakePoint(0, 0)};
    ws.layout.slaveGroups = {1, 2};
    const auto made = ops::NewLayout(ws, {5, 7, false, std::uint8_t{20}}, prompt, {});
    ASSERT_TRUE(made) << made.message();
    EXPECT_EQ(made->rows, 5);
    EXPECT_EQ(made->cols, 7);
    EXPECT_EQ(ws.layout.grid.rows, 5);
    EXPECT_EQ(ws.layout.grid.cols, 7);
    EXPECT_TRUE(ws.layout.lines[0].empty());
    EXPECT_TRUE(ws.layout.slaveGroups.empty());
    EXPECT_EQ(ws.layout.setting.icType[0], 20);
    EXPECT_EQ(ws.frames.CurrentClip().width, 7u);
    EXPECT_EQ(ws.frames.CurrentClip().height, 5u);
    // Below 1 counts as 1; without a chip the configured one (3 without a configuration).
    const auto small = ops::NewLayout(ws, {0, -4, true, std::nullopt}, prompt, {});
    ASSERT_TRUE(small);
    EXPECT_EQ(small->rows, 1);
    EXPECT_EQ(small->cols, 1);
    EXPECT_TRUE(ws.layout.grid.IsSphere());
    EXPECT_EQ(ws.layout.setting.icType[0], 3);
}

TEST(OpsLayout, NewRefusesAGridPastTheCellLimit) {
    LayoutFixture f(4, 6);
    const auto huge = ops::NewLayout(f.ws, {5000, 5000, false, std::nullopt}, f.prompt, {});
    ASSERT_FALSE(huge);
    EXPECT_EQ(huge.failure().code, ops::kNewLayoutTooLarge);
    EXPECT_EQ(huge.failure().args, (std::vector<std::string>{"5000", "5000"}));
    EXPECT_EQ(huge.message(), ops::GridLimitMessage(f.ws, 5000, 5000));
    EXPECT_EQ(f.layout().grid.rows, 4);
    EXPECT_EQ(f.layout().grid.cols, 6);
    EXPECT_TRUE(f.prompt.messages().empty());
}

TEST(OpsLayout, AddLaysTheDragIntoTheLineAndAnEmptyAddLeavesNoStep) {
    LayoutFixture f(4, 6);
    ops::AddLedsRequest r;
    r.drag = Drag{0, 5, 0, 0};  // row 0, from column 5 to column 0
    r.options.mode = kZTypeH;
    const auto added = ops::AddLeds(f.ws, r, f.prompt, {});
    ASSERT_TRUE(added) << added.message();
    EXPECT_EQ(added->added, 6);
    EXPECT_EQ(added->line, 0);
    EXPECT_EQ(ops::NextLine(added, 9), 0);
    EXPECT_EQ(f.layout().lines[0], Cells({{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}}));
    EXPECT_EQ(f.layout().undo.size(), 1u);
    // Every cell taken: nothing placed, and the step that added nothing is gone.
    const auto again = ops::AddLeds(f.ws, r, f.prompt, {});
    ASSERT_FALSE(again);
    EXPECT_EQ(again.failure().code, ops::kAddNothingPlaced);
    EXPECT_EQ(again.failure().args, (std::vector<std::string>{"1"}));
    EXPECT_EQ(ops::NextLine(again, 9), 0);
    EXPECT_EQ(f.layout().undo.size(), 1u);
    EXPECT_TRUE(f.prompt.messages().empty());
}

TEST(OpsLayout, AddLaysTheChosenModuleAndSaysWhenEveryLineIsFull) {
    LayoutFixture f(4, 6);
    TempDir dir("corv-ops-");
    ASSERT_EQ(f.ws.modules.Import(PairModuleFile(dir, "pair.mde")), 1);
    EXPECT_EQ(ops::ModuleToAdd(f.ws, 1).offsets, (std::vector<std::uint32_t>{0, 1}));
    // Entry 0, and an index the list does not have, lay single pixels.
    EXPECT_EQ(ops::ModuleToAdd(f.ws, 0).offsets, (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(ops::ModuleToAdd(f.ws, 7).width, 1);
    ops::AddLedsRequest r;
    r.drag = Drag{2, 0, 2, 3};
    r.line = 1;
    r.module = 1;
    r.options.mode = kZTypeH;
    const auto pairs = ops::AddLeds(f.ws, r, f.prompt, {});
    ASSERT_TRUE(pairs) << pairs.message();
    EXPECT_EQ(pairs->added, 4);
    EXPECT_EQ(Sorted(f.layout().lines[1]), Cells({{2, 0}, {2, 1}, {2, 2}, {2, 3}}));
    // Every line at the limit: the message with the line reached and the limit.
    for (auto& line : f.layout().lines) line.assign(2, MakePoint(3, 5));
    f.layout().occupancy.Rebuild(f.layout().grid, f.layout().lines);
    ops::AddLedsRequest full;
    full.drag = Drag{0, 0, 0, 0};
    full.options.lineLimit = 2;
    const auto none = ops::AddLeds(f.ws, full, f.prompt, {});
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().code, ops::kAddLinesFull);
    EXPECT_EQ(none.message(), "The lines are full: line 1 and the lines after it hold 2 points, the line limit.");
    EXPECT_EQ(none.failure().args, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(ops::NextLine(none, 9), 0);
}

TEST(OpsLayout, CopyTakesTheZoneAndDeleteEmptiesIt) {
    LayoutFixture f(4, 6);
    f.Set(0, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}});
    const CellRect zone{1, 0, 3, 1};
    const auto copied = ops::CopyZoneLeds(f.ws, {zone}, f.prompt, {});
    ASSERT_TRUE(copied);
    ASSERT_EQ(copied->clip.fragments.size(), 1u);
    EXPECT_EQ(copied->clip.fragments[0], Cells({{0, 1}, {0, 2}}));
    EXPECT_EQ(copied->clip.source.x0, 1);
    EXPECT_EQ(copied->clip.source.x1, 3);
    EXPECT_EQ(f.layout().lines[0].size(), 6u);
    const auto deleted = ops::DeleteZoneLeds(f.ws, {zone}, f.prompt, {});
    ASSERT_TRUE(deleted);
    EXPECT_EQ(deleted->removed, 2);
    EXPECT_EQ(f.layout().lines[0], Cells({{0, 0}, {0, 3}, {0, 4}, {0, 5}}));
    ASSERT_TRUE(UndoLayout(f.layout()));
    EXPECT_EQ(f.layout().lines[0].size(), 6u);
    // A zone without LEDs: both refuse; the delete's step stays, as the window keeps it.
    const CellRect empty{0, 2, 6, 4};
    const auto nothingCopied = ops::CopyZoneLeds(f.ws, {empty}, f.prompt, {});
    ASSERT_FALSE(nothingCopied);
    EXPECT_EQ(nothingCopied.failure().code, ops::kZoneEmpty);
    const std::size_t steps = f.layout().undo.size();
    const auto nothingDeleted = ops::DeleteZoneLeds(f.ws, {empty}, f.prompt, {});
    ASSERT_FALSE(nothingDeleted);
    EXPECT_EQ(nothingDeleted.failure().code, ops::kZoneEmpty);
    EXPECT_EQ(nothingDeleted.message(), "Parameter mistake!");
    EXPECT_EQ(f.layout().undo.size(), steps + 1);
}

TEST(OpsLayout, PasteMovesTheFragmentsByTheOffsetFromTheirZone) {
    LayoutFixture f(4, 6);
    f.Set(0, {{0, 0}, {0, 1}, {0, 2}, {0, 3}});
    const auto copied = ops::CopyZoneLeds(f.ws, {CellRect{1, 0, 3, 1}}, f.prompt, {});
    ASSERT_TRUE(copied);
    const ops::PasteLedsRequest r{&copied->clip, 1, 2, 1, kDefaultLineLimit, false, nullptr};
    const auto placed = ops::PasteLeds(f.ws, r, f.prompt, {});
    ASSERT_TRUE(placed) << placed.message();
    EXPECT_EQ(placed->placed, 2);
    EXPECT_EQ(f.layout().lines[1], Cells({{2, 1}, {2, 2}}));
    // The same cells again: taken.
    const auto taken = ops::PasteLeds(f.ws, r, f.prompt, {});
    ASSERT_FALSE(taken);
    EXPECT_EQ(taken.failure().code, ops::kPasteNothingPlaced);
    EXPECT_EQ(f.layout().lines[1].size(), 2u);
    // A background that forbids the cells refuses them too; without a clipboard nothing is done.
    const std::vector<std::uint8_t> nowhere(24, 0);
    ops::PasteLedsRequest masked = r;
    masked.row = 3;
    masked.mask = &nowhere;
    EXPECT_EQ(ops::PasteLeds(f.ws, masked, f.prompt, {}).failure().code, ops::kPasteNothingPlaced);
    EXPECT_EQ(ops::PasteLeds(f.ws, ops::PasteLedsRequest{}, f.prompt, {}).failure().code, ops::kPasteNothingPlaced);
}

TEST(OpsLayout, TransferAndReverseWorkOnTheRunsOfTheLines) {
    LayoutFixture f(4, 6);
    f.Set(0, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}});
    f.Set(1, {{2, 0}, {2, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5}});
    ASSERT_TRUE(ops::ReverseRun(f.ws, {1, 0, 3, 0}, f.prompt, {}));
    EXPECT_EQ(f.layout().lines[0], Cells({{0, 0}, {0, 3}, {0, 2}, {0, 1}, {0, 4}, {0, 5}}));
    const auto noRun = ops::ReverseRun(f.ws, {5, 3, 4, 3}, f.prompt, {});
    ASSERT_FALSE(noRun);
    EXPECT_EQ(noRun.failure().code, ops::kReverseNoRun);
    // The third LED of line 2 and those after it go to the end of line 1.
    ASSERT_TRUE(ops::TransferLeds(f.ws, {2, 2, 0}, f.prompt, {}));
    EXPECT_EQ(f.layout().lines[0], Cells({{0, 0}, {0, 3}, {0, 2}, {0, 1}, {0, 4}, {0, 5}, {2, 2}, {2, 3}, {2, 4}, {2, 5}}));
    EXPECT_EQ(f.layout().lines[1], Cells({{2, 0}, {2, 1}}));
    EXPECT_EQ(ops::TransferLeds(f.ws, {9, 0, 0}, f.prompt, {}).failure().code, ops::kTransferOutsideGrid);
    // The LED on the cell is on the line itself: no other line has one there.
    const auto own = ops::TransferLeds(f.ws, {1, 0, 0}, f.prompt, {});
    ASSERT_FALSE(own);
    EXPECT_EQ(own.failure().code, ops::kTransferNothing);
    EXPECT_EQ(f.layout().lines[1].size(), 2u);
}

TEST(OpsLayout, MoveTakesTheLedToAFreeCellTheBackgroundAllows) {
    LayoutFixture f(4, 6);
    f.Set(0, {{0, 0}, {0, 1}});
    ASSERT_TRUE(ops::MoveLed(f.ws, {0, 0, 5, 3, false, nullptr}, f.prompt, {}));
    EXPECT_EQ(f.layout().lines[0], Cells({{3, 5}, {0, 1}}));
    EXPECT_TRUE(f.layout().undo.empty());
    EXPECT_EQ(ops::MoveLed(f.ws, {5, 3, 9, 9, false, nullptr}, f.prompt, {}).failure().code, ops::kMoveOutsideGrid);
    const std::vector<std::uint8_t> nowhere(24, 0);
    EXPECT_EQ(ops::MoveLed(f.ws, {5, 3, 2, 2, false, &nowhere}, f.prompt, {}).failure().code,
              ops::kMoveRefusedByBackground);
    EXPECT_EQ(ops::MoveLed(f.ws, {2, 2, 3, 3, false, nullptr}, f.prompt, {}).failure().code, ops::kMoveNothing);
    // A taken cell takes another LED only with repeats allowed.
    EXPECT_EQ(ops::MoveLed(f.ws, {5, 3, 1, 0, false, nullptr}, f.prompt, {}).failure().code, ops::kMoveNothing);
    EXPECT_TRUE(ops::MoveLed(f.ws, {5, 3, 1, 0, true, nullptr}, f.prompt, {}));
    EXPECT_EQ(f.layout().lines[0], Cells({{0, 1}, {0, 1}}));
}

TEST(OpsLayout, RepeatCopiesEveryLedInsideAndEmptiesTheHistory) {
    LayoutFixture f(4, 6);
    ops::AddLedsRequest add;
    add.drag = Drag{0, 1, 0, 0};  // released on column 0: the line starts there
    add.options.mode = kZTypeH;
    ASSERT_TRUE(ops::AddLeds(f.ws, add, f.prompt, {}));
    ASSERT_EQ(f.layout().lines[0], Cells({{0, 0}, {0, 1}}));
    // Below 1: nothing is done, the history stays.
    const auto none = ops::RepeatLeds(f.ws, {CellRect{0, 0, 1, 1}, 0}, f.prompt, {});
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().code, ops::kRepeatNoTimes);
    EXPECT_EQ(f.layout().undo.size(), 1u);
    const auto repeated = ops::RepeatLeds(f.ws, {CellRect{0, 0, 1, 1}, 2}, f.prompt, {});
    ASSERT_TRUE(repeated);
    EXPECT_EQ(repeated->added, 2);
    EXPECT_EQ(f.layout().lines[0], Cells({{0, 0}, {0, 0}, {0, 0}, {0, 1}}));
    EXPECT_TRUE(f.layout().undo.empty());
    const auto empty = ops::RepeatLeds(f.ws, {CellRect{3, 3, 6, 4}, 2}, f.prompt, {});
    ASSERT_FALSE(empty);
    EXPECT_EQ(empty.failure().code, ops::kRepeatNothing);
    EXPECT_EQ(f.layout().lines[0].size(), 4u);
}

TEST(OpsLayout, ArrayCopyLaysTheZonesFirstLineAsTiles) {
    LayoutFixture f(6, 8);
    f.Set(0, {{0, 0}, {0, 1}});
    const CellRect zone{0, 0, 2, 1};
    const auto module = ops::ArrayCopyModule(f.ws, zone, kDefaultLineLimit);
    ASSERT_TRUE(module);
    EXPECT_EQ(module->width, 2);
    EXPECT_EQ(module->height, 1);
    EXPECT_EQ(module->offsets, (std::vector<std::uint32_t>{0, 1}));
    // Tiles from (2, 2) rightwards and downwards, 2 across and 2 down, into line 2.
    ops::ArrayCopyRequest r;
    r.zone = zone;
    r.drag = Drag{3, 3, 2, 2};
    r.line = 1;
    r.options.mode = kSTypeH;
    r.options.tiles = std::pair{2, 2};
    const auto laid = ops::ArrayCopyLeds(f.ws, r, f.prompt, {});
    ASSERT_TRUE(laid) << laid.message();
    EXPECT_EQ(laid->added, 8);
    EXPECT_EQ(laid->line, 1);
    EXPECT_EQ(Sorted(f.layout().lines[1]),
              Sorted(Cells({{2, 2}, {2, 3}, {2, 4}, {2, 5}, {3, 2}, {3, 3}, {3, 4}, {3, 5}})));
}

TEST(OpsLayout, ArrayCopyRefusesAZoneOutsideTheLimitAndTilesOnTakenCells) {
    LayoutFixture f(6, 8);
    f.Set(0, {{0, 0}, {0, 1}});
    const auto empty = ops::ArrayCopyModule(f.ws, CellRect{4, 4, 6, 6}, kDefaultLineLimit);
    ASSERT_FALSE(empty);
    EXPECT_EQ(empty.failure().code, ops::kArrayPixelRange);
    EXPECT_EQ(empty.message(), "The choice of pixel points for 1 - 4096 points!");
    const auto tooMany = ops::ArrayCopyModule(f.ws, CellRect{0, 0, 2, 1}, 1);
    ASSERT_FALSE(tooMany);
    EXPECT_EQ(tooMany.message(), "The choice of pixel points for 1 - 1 points!");
    // One tile over the original: every cell taken, nothing laid, no empty step left.
    ops::ArrayCopyRequest r;
    r.zone = CellRect{0, 0, 2, 1};
    r.drag = Drag{1, 1, 0, 0};
    r.line = 1;
    r.options.tiles = std::pair{1, 1};
    const std::size_t steps = f.layout().undo.size();
    const auto taken = ops::ArrayCopyLeds(f.ws, r, f.prompt, {});
    ASSERT_FALSE(taken);
    EXPECT_EQ(taken.failure().code, ops::kArrayNothingPlaced);
    EXPECT_EQ(ops::NextLine(taken, 9), 1);
    EXPECT_EQ(f.layout().undo.size(), steps);
    r.zone = CellRect{4, 4, 6, 6};
    EXPECT_EQ(ops::ArrayCopyLeds(f.ws, r, f.prompt, {}).failure().code, ops::kArrayPixelRange);
}

TEST(OpsLayout, LineOperationsExchangeUniteCopyMoveAndDelete) {
    using K = ops::LineOperationKind;
    LayoutFixture f(4, 6);
    f.Set(0, {{0, 0}, {0, 1}});
    f.Set(1, {{1, 0}});
    ASSERT_TRUE(ops::OperateLines(f.ws, {K::Exchange, 0, 1, false, 0, 0}, f.prompt, {}));
    EXPECT_EQ(f.layout().lines[0], Cells({{1, 0}}));
    EXPECT_EQ(f.layout().lines[1], Cells({{0, 0}, {0, 1}}));
    for (int b : {-1, 1}) {
        const auto notTwo = ops::OperateLines(f.ws, {K::Unite, 1, b, false, 0, 0}, f.prompt, {});
        ASSERT_FALSE(notTwo);
        EXPECT_EQ(notTwo.failure().code, ops::kLinesNotTwo);
    }
    ASSERT_TRUE(ops::OperateLines(f.ws, {K::Unite, 1, 0, false, 0, 0}, f.prompt, {}));
    EXPECT_EQ(f.layout().lines[0], Cells({{1, 0}, {0, 0}, {0, 1}}));
    EXPECT_TRUE(f.layout().lines[1].empty());
    const auto copied = ops::OperateLines(f.ws, {K::Copy, 0, 0, false, 0, 0}, f.prompt, {});
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->data, CopyLines(f.layout(), 0, 0));
    const auto fragments = DecodeLayoutData(copied->data);
    ASSERT_TRUE(fragments);
    ASSERT_EQ(fragments->size(), 1u);
    EXPECT_EQ((*fragments)[0].size(), 3u);
    const auto moved = ops::OperateLines(f.ws, {K::Move, 0, -1, false, 1, 1}, f.prompt, {});
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->count, 3);
    EXPECT_EQ(f.layout().lines[0], Cells({{2, 1}, {1, 1}, {1, 2}}));
    // An empty line does not move; no line at all is neither moved nor deleted.
    EXPECT_EQ(ops::OperateLines(f.ws, {K::Move, 5, -1, false, 1, 1}, f.prompt, {}).failure().code, ops::kLinesUnchanged);
    EXPECT_EQ(ops::OperateLines(f.ws, {K::Move, -1, -1, false, 1, 1}, f.prompt, {}).failure().code, ops::kLinesUnchanged);
    EXPECT_EQ(ops::OperateLines(f.ws, {K::Delete, -1, -1, false, 0, 0}, f.prompt, {}).failure().code, ops::kLinesUnchanged);
    const auto deleted = ops::OperateLines(f.ws, {K::Delete, 0, -1, false, 0, 0}, f.prompt, {});
    ASSERT_TRUE(deleted);
    EXPECT_EQ(deleted->count, 3);
    EXPECT_TRUE(f.layout().lines[0].empty());
}

TEST(OpsLayout, TheWiringRecordTakesTheFamilyTheLinesPerSlaveAndTheSlaveValues) {
    LayoutFixture f(4, 12);
    for (int l = 0; l < 10; ++l) f.Set(l, {{l % 4, l}});
    ASSERT_EQ(f.layout().setting.lineCount, 10);
    const auto simple = ops::SetControllerType(f.ws, {kSimpleController, ControllerTypeState{}}, f.prompt, {});
    ASSERT_TRUE(simple);
    EXPECT_FALSE(simple->state.portsSelectorEnabled);
    EXPECT_EQ(f.layout().setting.controllerType, kSimpleController);
    EXPECT_EQ(f.layout().setting.portsPerSlave, 4);
    EXPECT_TRUE(f.layout().modified);
    EXPECT_EQ(ops::SetControllerType(f.ws, {3, ControllerTypeState{}}, f.prompt, {}).failure().code,
              ops::kControllerTypeUnknown);
    // The simple family keeps four lines per slave.
    EXPECT_EQ(ops::SetLinesPerSlave(f.ws, {2}, f.prompt, {}).failure().code, ops::kPortsSimpleController);
    EXPECT_TRUE(ops::SetLinesPerSlave(f.ws, {4}, f.prompt, {}));
    ASSERT_TRUE(ops::SetControllerType(f.ws, {kMasterSlave, ControllerTypeState{}}, f.prompt, {}));
    EXPECT_EQ(ops::SetLinesPerSlave(f.ws, {5}, f.prompt, {}).failure().code, ops::kPortsNotAChoice);
    // Eight lines a slave: two slaves; the groups are cut to them (the last master is implicit).
    f.layout().slaveGroups = {1, 5};
    ASSERT_TRUE(ops::SetLinesPerSlave(f.ws, {8}, f.prompt, {}));
    EXPECT_EQ(f.layout().setting.portsPerSlave, 8);
    EXPECT_EQ(f.layout().setting.linePorts[200], 8);
    EXPECT_EQ(f.layout().slaveGroups, (SlaveGroupList{1}));
    // Values into a chosen slave; with none chosen into the slaves not shown, with the message.
    ParameterValues values;
    values.chipCode = 20;
    const auto chosen = ops::SetSlaveParameters(f.ws, {values, {0}, 2}, f.prompt, {});
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(chosen->message.empty());
    EXPECT_EQ(f.layout().setting.icType[0], 20);
    EXPECT_EQ(f.layout().setting.icType[1], 3);
    values.chipCode = 21;
    const auto unshown = ops::SetSlaveParameters(f.ws, {values, {}, 2}, f.prompt, {});
    ASSERT_TRUE(unshown);
    EXPECT_EQ(unshown->message, Render(msg::engine::kChooseSlaveToModify, kLanguageEnglish));
    EXPECT_EQ(f.layout().setting.icType[1], 3);
    EXPECT_EQ(f.layout().setting.icType[2], 21);
    EXPECT_EQ(f.layout().setting.icType[255], 21);
}

TEST(OpsLayout, ModulesAreExportedImportedAndDeleted) {
    LayoutFixture f(4, 6);
    TempDir dir("corv-ops-");
    f.ws.home = dir.path();
    const auto pair = PairModuleFile(dir, "pair.mde");
    // Checked and kept: the home's module file holds the module afterwards.
    const auto imported = ops::ImportModules(f.ws, {pair, true, true}, f.prompt, {});
    ASSERT_TRUE(imported) << imported.message();
    EXPECT_EQ(imported->added, 1);
    EXPECT_EQ(f.ws.modules.size(), 2u);
    ModuleList reread;
    reread.Load(dir.File(kModuleFileName));
    EXPECT_EQ(reread.size(), 2u);
    // The same shape comes only once; the window's import neither checks nor keeps.
    const auto again = ops::ImportModules(f.ws, {pair, false, false}, f.prompt, {});
    ASSERT_TRUE(again);
    EXPECT_EQ(again->added, 0);
    ASSERT_TRUE(ops::ExportModules(f.ws, {dir.File("mine.mde")}, f.prompt, {}));
    const auto exported = ReadFileBytes(dir.File("mine.mde"));
    ASSERT_TRUE(exported);
    EXPECT_TRUE(CheckModuleFile(*exported).empty());
    const auto notExported = ops::ExportModules(f.ws, {dir.File("none/mine.mde")}, f.prompt, {});
    ASSERT_FALSE(notExported);
    EXPECT_EQ(notExported.failure().code, ops::kModulesNotExported);
    EXPECT_FALSE(notExported.failure().reason.empty());
    // Deleting: never the single pixel, never a module the list does not have.
    EXPECT_EQ(ops::DeleteModule(f.ws, {0}, f.prompt, {}).failure().code, ops::kModuleNotUsers);
    EXPECT_EQ(ops::DeleteModule(f.ws, {2}, f.prompt, {}).failure().code, ops::kModuleNotUsers);
    ASSERT_TRUE(ops::DeleteModule(f.ws, {1}, f.prompt, {}));
    EXPECT_EQ(f.ws.modules.size(), 1u);
    reread.Load(dir.File(kModuleFileName));
    EXPECT_EQ(reread.size(), 1u);
}

TEST(OpsLayout, ACheckedImportRefusesWhatIsNoModuleFile) {
    LayoutFixture f(4, 6);
    TempDir dir("corv-ops-");
    f.ws.home = dir.path();
    const auto missing = ops::ImportModules(f.ws, {dir.File("none.mde"), true, true}, f.prompt, {});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.failure().code, ops::kModulesCannotRead);
    EXPECT_FALSE(missing.failure().reason.empty());
    ASSERT_TRUE(WriteFileAtomic(dir.File("words.mde"), std::string("not modules")));
    const auto words = ops::ImportModules(f.ws, {dir.File("words.mde"), true, true}, f.prompt, {});
    ASSERT_FALSE(words);
    EXPECT_EQ(words.failure().code, ops::kModulesNotModuleFile);
    EXPECT_FALSE(words.failure().reason.empty());
    EXPECT_EQ(f.ws.modules.size(), 1u);
    // A home that cannot take the module file.
    const auto pair = PairModuleFile(dir, "pair.mde");
    f.ws.home = dir.File("gone");
    const auto notKept = ops::ImportModules(f.ws, {pair, true, true}, f.prompt, {});
    ASSERT_FALSE(notKept);
    EXPECT_EQ(notKept.failure().code, ops::kModulesNotKept);
    EXPECT_FALSE(notKept.failure().reason.empty());
}

TEST(OpsImport, IdentifyFindsTheDotsAndWiresThemWhenAsked) {
    LayoutFixture f(2, 2);
    const QImage photo = DotsPhoto();
    // Without a wiring mode the layout stays.
    const auto found = ops::IdentifyLeds(f.ws, {photo, std::nullopt, 3}, f.prompt, {});
    ASSERT_TRUE(found) << found.message();
    EXPECT_EQ(found->found.centres.size(), 15u);
    EXPECT_EQ(found->wired, 0);
    EXPECT_EQ(f.layout().grid.rows, 2);
    EXPECT_EQ(found->found.leds.width(), found->found.cols);
    // Wired: a grid of the dots' picture, every dot an LED, the chip asked for.
    const auto wired = ops::IdentifyLeds(f.ws, {photo, kShortestH, 20}, f.prompt, {});
    ASSERT_TRUE(wired) << wired.message();
    EXPECT_EQ(wired->wired, 15);
    EXPECT_EQ(f.layout().grid.rows, wired->found.rows);
    EXPECT_EQ(f.layout().grid.cols, wired->found.cols);
    std::size_t leds = 0;
    for (const Line& l : f.layout().lines) leds += l.size();
    EXPECT_EQ(leds, 15u);
    EXPECT_EQ(f.layout().setting.icType[0], 20);
    EXPECT_TRUE(f.prompt.messages().empty());
}

TEST(OpsImport, IdentifyRefusesNoPictureAndAPictureWithoutDots) {
    LayoutFixture f(2, 2);
    const auto none = ops::IdentifyLeds(f.ws, {QImage(), kShortestH, 3}, f.prompt, {});
    ASSERT_FALSE(none);
    EXPECT_EQ(none.failure().code, ops::kIdentifyNoPicture);
    EXPECT_EQ(none.message(), Render(msg::sculpt::kFastIdentifyNeedsPicture, kLanguageEnglish));
    QImage dark(80, 60, QImage::Format_RGB32);
    dark.fill(QColor(0x15, 0x15, 0x15));
    const auto noDots = ops::IdentifyLeds(f.ws, {dark, kShortestH, 3}, f.prompt, {});
    ASSERT_FALSE(noDots);
    EXPECT_EQ(noDots.failure().code, ops::kIdentifyNoDots);
    EXPECT_EQ(noDots.message(), Render(msg::sculpt::kNoLedDots, kLanguageEnglish));
    EXPECT_EQ(f.layout().grid.rows, 2);
}

TEST(OpsImport, AMovieJoinsTheCurrentClipFromTheFirstPictureAsked) {
    TempDir dir("corv-ops-");
    const auto movie = WriteMovie(dir);
    Fixture f(8, 4);
    ops::MovieImportRequest r;
    r.movie = movie;
    r.first = 2;
    r.count = 3;
    const auto imported = ops::ImportMovie(f.ws, r, f.prompt, {});
    ASSERT_TRUE(imported) << imported.message();
    EXPECT_EQ(imported->frames, 3u);
    EXPECT_EQ(imported->width, 8);
    EXPECT_EQ(imported->height, 4);
    ASSERT_EQ(f.frames().size(), 4u);
    EXPECT_EQ(f.frames()[0], Frame::Filled(8, 4, kBack));
    for (std::size_t i = 1; i < 4; ++i) EXPECT_TRUE(NearlyFilled(f.frames()[i], kMovieColours[i])) << i;
    // Without a count: every picture to the end.
    r.first = 4;
    r.count.reset();
    const auto rest = ops::ImportMovie(f.ws, r, f.prompt, {});
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->frames, 2u);
    EXPECT_EQ(f.frames().size(), 6u);
    EXPECT_TRUE(NearlyFilled(f.frames()[5], kMovieColours[4]));
}

TEST(OpsImport, AMovieMakesANewDocumentOfTheSizeAsked) {
    TempDir dir("corv-ops-");
    const auto movie = WriteMovie(dir);
    Workspace ws;
    RecordingPrompt prompt;
    ops::MovieImportRequest r;
    r.movie = movie;
    r.width = 4;
    r.height = 2;
    r.fit = Fit::Stretch;
    r.newDocument = dir.File("new.cvn");
    const auto made = ops::ImportMovie(ws, r, prompt, {});
    ASSERT_TRUE(made) << made.message();
    EXPECT_EQ(made->frames, 5u);
    EXPECT_FALSE(ws.frames.HasCurrent());
    Workspace other;
    ASSERT_TRUE(ops::OpenDocument(other, {dir.File("new.cvn")}, prompt, {}));
    ASSERT_EQ(other.frames.CurrentFrames().size(), 5u);
    EXPECT_EQ(other.frames.CurrentClip().width, 4u);
    EXPECT_TRUE(NearlyFilled(other.frames.CurrentFrames()[2], kMovieColours[2]));
    r.newDocument = dir.File("none/new.cvn");
    const auto notWritten = ops::ImportMovie(ws, r, prompt, {});
    ASSERT_FALSE(notWritten);
    EXPECT_EQ(notWritten.failure().code, ops::kMovieNotWritten);
    EXPECT_FALSE(notWritten.failure().reason.empty());
}

TEST(OpsImport, AMovieImportRefusesAndLeavesTheClip) {
    TempDir dir("corv-ops-");
    const auto movie = WriteMovie(dir);
    Fixture f(8, 4);
    ops::MovieImportRequest r;
    r.movie = movie;
    r.width = 10;
    const auto size = ops::ImportMovie(f.ws, r, f.prompt, {});
    ASSERT_FALSE(size);
    EXPECT_EQ(size.failure().code, ops::kMovieSizeMismatch);
    EXPECT_EQ(size.failure().args, (std::vector<std::string>{"8", "4"}));
    r.width.reset();
    r.first = 9;
    const auto past = ops::ImportMovie(f.ws, r, f.prompt, {});
    ASSERT_FALSE(past);
    EXPECT_EQ(past.failure().code, ops::kMovieNoPictures);
    EXPECT_EQ(past.failure().args, (std::vector<std::string>{movie.string(), "9"}));
    ASSERT_TRUE(WriteFileAtomic(dir.File("words.mp4"), std::string("words")));
    r.movie = dir.File("words.mp4");
    r.first = 1;
    const auto words = ops::ImportMovie(f.ws, r, f.prompt, {});
    ASSERT_FALSE(words);
    EXPECT_EQ(words.failure().code, ops::kMovieCannotOpen);
    EXPECT_EQ(words.message().rfind(dir.File("words.mp4").string() + ": ", 0), 0u) << words.message();
    EXPECT_EQ(f.frames().size(), 1u);
    Workspace empty;
    r.movie = movie;
    EXPECT_EQ(ops::ImportMovie(empty, r, f.prompt, {}).failure().code, ops::kMovieNoClip);
}

#include "controller/LayoutExport.h"

TEST(OpsLayout, TheMapAndTheHmcFileAreWrittenOfTheLayout) {
    LayoutFixture f(10, 10);
    TempDir dir("corv-ops-");
    f.Set(0, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}});
    ASSERT_TRUE(ops::ExportMap(f.ws, {dir.File("a.map")}, f.prompt, {}));
    EXPECT_EQ(*ReadFileBytes(dir.File("a.map")), MapFileBytes(f.layout(), f.ws.lampTypes));
    const auto noMap = ops::ExportMap(f.ws, {dir.File("none/a.map")}, f.prompt, {});
    ASSERT_FALSE(noMap);
    EXPECT_EQ(noMap.failure().code, ops::kMapNotWritten);
    EXPECT_FALSE(noMap.failure().reason.empty());
    // Five LEDs are too few for the form: refused before any file.
    ops::ExportHmcRequest r{dir.File("a.hmc"), {Bgr{0, 0, 255}, Bgr{0, 255, 0}}, Bgr{255, 255, 255}};
    const auto refusal = ops::HmcRefusalOf(f.ws, r);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->code, ops::kHmcOutsideLimits);
    EXPECT_EQ(refusal->message, "Parameter mistake!");
    EXPECT_EQ(ops::ExportHmc(f.ws, r, f.prompt, {}).failure().code, ops::kHmcOutsideLimits);
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.hmc")));
    f.Set(0, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}});
    EXPECT_FALSE(ops::HmcRefusalOf(f.ws, r));
    ASSERT_TRUE(ops::ExportHmc(f.ws, r, f.prompt, {}));
    EXPECT_EQ(*ReadFileBytes(dir.File("a.hmc")), *HmcFileBytes(f.layout(), f.ws.lampTypes, r.colours, r.selected));
    r.path = dir.File("none/a.hmc");
    const auto noHmc = ops::ExportHmc(f.ws, r, f.prompt, {});
    ASSERT_FALSE(noHmc);
    EXPECT_EQ(noHmc.failure().code, ops::kHmcNotWritten);
    EXPECT_FALSE(noHmc.failure().reason.empty());
}
