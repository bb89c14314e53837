#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>

#include "layout/Dxf.h"

using namespace corv;
namespace fs = std::filesystem;

namespace {

const fs::path kDxf = fs::path(CORV_TEST_DATA) / "dxf";

// A drawing written by hand, R12 style, with the given entities.
struct Drawing {
    std::ostringstream s;
    Drawing() { s << "  0\nSECTION\n  2\nHEADER\n  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n"; }
    void Circle(double x, double y, double r) {
        s << "  0\nCIRCLE\n  8\n0\n 10\n" << x << "\n 20\n" << y << "\n 30\n0.0\n 40\n" << r << "\n";
    }
    void Line(double x0, double y0, double x1, double y1) {
        s << "  0\nLINE\n  8\n0\n 10\n" << x0 << "\n 20\n" << y0 << "\n 30\n0.0\n 11\n" << x1 << "\n 21\n" << y1
          << "\n 31\n0.0\n";
    }
    void Text(double x, double y, double h, const std::string& value) {
        s << "  0\nTEXT\n  8\n0\n 10\n" << x << "\n 20\n" << y << "\n 30\n0.0\n 40\n" << h << "\n  1\n" << value << "\n";
    }
    std::string Text() { return s.str() + "  0\nENDSEC\n  0\nEOF\n"; }
};

}  // namespace

TEST(Dxf, SpacingGridAndTopLeftCell) {
    Drawing d;
    for (double x : {0.0, 50.0, 100.0}) {
        for (double y : {0.0, 40.0}) d.Circle(x, y, 5);
    }
    d.Line(0, 40, 100, 40);
    const DxfDrawing drawing = ParseDxf(d.Text());
    EXPECT_EQ(drawing.circles.size(), 6u);
    EXPECT_EQ(SuggestedSpacing(drawing), (std::pair<int, int>{50, 40}));
    Layout layout;
    const DxfImportResult r = ImportDxf(drawing, 50, 40, false, layout, 3);
    EXPECT_EQ(r.cols, 3);
    EXPECT_EQ(r.rows, 2);
    // The top row of circles along the line: the top-left circle is cell (0, 0).
    ASSERT_EQ(layout.lines[0].size(), 3u);
    EXPECT_EQ(layout.lines[0][0], MakePoint(0, 0));
    EXPECT_EQ(layout.lines[0][2], MakePoint(0, 2));
}

TEST(Dxf, LabelledChainsAndRunningNumbers) {
    Drawing d;
    // Chain A: three circles left to right on y = 0, labelled "#3" at its last circle.
    // Chain B: two circles on y = -40, unlabelled.
    for (double x : {0.0, 50.0, 100.0}) d.Circle(x, 0, 5);
    d.Circle(0, -40, 5);
    d.Circle(50, -40, 5);
    d.Line(0, 0, 50, 0);
    d.Line(100, 0, 50, 0);  // drawn the other way round: turned
    d.Line(0, -40, 50, -40);
    d.Text(104, 2, 5, "#3");
    const DxfDrawing drawing = ParseDxf(d.Text());
    ASSERT_EQ(drawing.labels.size(), 1u);
    EXPECT_EQ(drawing.labels[0].number, 3);
    Layout layout;
    const DxfImportResult r = ImportDxf(drawing, 50, 40, false, layout, 3);
    EXPECT_EQ(r.chains, 2);
    // Index 3, stored with the labelled end first.
    ASSERT_EQ(layout.lines[3].size(), 3u);
    EXPECT_EQ(layout.lines[3][0], MakePoint(0, 2));
    EXPECT_EQ(layout.lines[3][2], MakePoint(0, 0));
    // The unlabelled chain after it takes index 4.
    ASSERT_EQ(layout.lines[4].size(), 2u);
    EXPECT_EQ(layout.lines[4][0], MakePoint(1, 0));
    EXPECT_EQ(layout.setting.lineCount, 5);
    // Vertex mode takes the segment end points.
    Layout vertices;
    ImportDxf(drawing, 50, 40, true, vertices, 3);
    EXPECT_EQ(vertices.lines[3].size(), 3u);
}

TEST(Dxf, LeadingSpacesCrlfAndMissingSections) {
    const std::string crlf = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nCIRCLE\r\n 10\r\n1.5\r\n 20\r\n2.5\r\n 40\r\n"
                             "1\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    DxfDrawing d = ParseDxf(crlf);
    ASSERT_EQ(d.circles.size(), 1u);
    EXPECT_DOUBLE_EQ(d.circles[0].centre.y, 2.5);
    d = ParseDxf("  0\nSECTION\n  2\nHEADER\n  0\nENDSEC\n  0\nEOF\n");
    EXPECT_FALSE(d.hasEntities);
    EXPECT_TRUE(d.circles.empty());
    EXPECT_EQ(SuggestedSpacing(d), (std::pair<int, int>{100, 100}));
}

TEST(Dxf, DamagedDrawingsNeverCrash) {
    Drawing d;
    for (int i = 0; i < 20; ++i) {
        d.Circle(i * 10, 0, 2);
        if (i) d.Line((i - 1) * 10, 0, i * 10, 0);
    }
    d.Text(0, 3, 2, "#1");
    const std::string whole = d.Text();
    for (std::size_t n = 0; n < whole.size(); n += 3) {
        DxfDrawing part = ParseDxf(whole.substr(0, n));
        Layout layout;
        ImportDxf(part, 10, 10, n % 2 == 0, layout, 3);
    }
    std::string noise = whole;
    for (std::size_t i = 7; i < noise.size(); i += 11) noise[i] = static_cast<char>('A' + i % 50);
    DxfDrawing damaged = ParseDxf(noise);
    Layout layout;
    ImportDxf(damaged, 10, 10, false, layout, 3);
    SUCCEED();
}

TEST(Dxf, RealDrawings) {
    struct Expect {
        const char* file;
        std::size_t circles, lines, texts, ellipses, polylines, lw, labels;
    } files[] = {
        {"arrayed-holes.dxf", 0, 0, 0, 0, 0, 0, 0},
        {"circlesellipsesarcs.dxf", 1, 0, 0, 2, 0, 0, 0},
        {"entities.dxf", 0, 29, 0, 0, 29, 29, 0},
        {"led_facade_r2018.dxf", 120, 117, 3, 0, 0, 0, 3},
        {"led_grid_r12.dxf", 32, 30, 1, 0, 0, 0, 1},
        {"led_grid_r2000_crlf.dxf", 32, 30, 1, 0, 0, 0, 1},
        {"led_vertex_lwpolyline_r2010.dxf", 0, 55, 0, 0, 5, 5, 0},
        {"lines.dxf", 0, 11, 0, 0, 0, 0, 0},
        {"openscad_export.dxf", 0, 452, 0, 0, 0, 0, 0},
        {"polylines.dxf", 0, 0, 0, 0, 2, 0, 0},
    };
    for (const auto& e : files) {
        const DxfDrawing d = ReadDxf(kDxf / e.file);
        EXPECT_TRUE(d.hasEntities) << e.file;
        EXPECT_EQ(d.circles.size(), e.circles) << e.file;
        EXPECT_EQ(d.lines.size(), e.lines) << e.file;
        EXPECT_EQ(static_cast<std::size_t>(d.texts), e.texts) << e.file;
        EXPECT_EQ(d.ellipses.size(), e.ellipses) << e.file;
        EXPECT_EQ(d.polylines.size(), e.polylines) << e.file;
        EXPECT_EQ(static_cast<std::size_t>(d.lwpolylines), e.lw) << e.file;
        EXPECT_EQ(d.labels.size(), e.labels) << e.file;
    }
}

TEST(Dxf, LedGridImportsAsItsReadmeSays) {
    for (const char* file : {"led_grid_r12.dxf", "led_grid_r2000_crlf.dxf"}) {
        const DxfDrawing d = ReadDxf(kDxf / file);
        const auto [sx, sy] = SuggestedSpacing(d);
        EXPECT_EQ(sx, 50) << file;
        EXPECT_EQ(sy, 40) << file;
        Layout layout;
        const DxfImportResult r = ImportDxf(d, sx, sy, false, layout, 3);
        EXPECT_EQ(r.cols, 8) << file;
        EXPECT_EQ(r.rows, 4) << file;
        EXPECT_EQ(layout.lines[3].size(), 16u) << file;
        EXPECT_EQ(layout.lines[4].size(), 16u) << file;
        EXPECT_EQ(r.leds, 32) << file;
    }
    const DxfDrawing facade = ReadDxf(kDxf / "led_facade_r2018.dxf");
    Layout layout;
    const auto [fx, fy] = SuggestedSpacing(facade);
    ImportDxf(facade, fx, fy, false, layout, 3);
    EXPECT_EQ(layout.lines[0].size(), 40u);
    EXPECT_EQ(layout.lines[2].size(), 40u);
    EXPECT_EQ(layout.lines[4].size(), 40u);
}

TEST(Dxf, FallbackPicture) {
    Drawing d;
    d.Circle(0, 0, 1);
    d.Circle(100, 50, 1);
    d.Circle(100, 50, 1);  // the same spot: moves next door
    const DxfDrawing drawing = ParseDxf(d.Text());
    auto picture = DxfPicture(drawing, 11, 6);
    ASSERT_TRUE(picture);
    EXPECT_EQ((*picture)[5 * 11 + 0], 1);   // (0, 0) is the bottom-left of the drawing
    EXPECT_EQ((*picture)[0 * 11 + 10], 1);  // (100, 50) the top-right
    EXPECT_EQ(std::count(picture->begin(), picture->end(), 1), 3);
    EXPECT_FALSE(DxfPicture(drawing, 0, 6));
    // Ten LEDs on one pixel cannot all find room within one pixel of it.
    Drawing crowd;
    for (int i = 0; i < 10; ++i) crowd.Circle(5, 5, 1);
    crowd.Circle(0, 0, 1);
    EXPECT_FALSE(DxfPicture(ParseDxf(crowd.Text()), 2, 2));
}

TEST(Dxf, HundredThousandCirclesAreNotQuadratic) {
    // 100 chains of 1000 circles: a serpentine facade.
    Drawing d;
    for (int row = 0; row < 100; ++row) {
        for (int c = 0; c < 1000; ++c) {
            d.Circle(c * 10, -row * 10, 2);
            if (c) d.Line((c - 1) * 10, -row * 10, c * 10, -row * 10);
        }
    }
    const auto t0 = std::chrono::steady_clock::now();
    const DxfDrawing drawing = ParseDxf(d.Text());
    Layout layout;
    const DxfImportResult r = ImportDxf(drawing, 10, 10, false, layout, 3);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_EQ(r.leds, 100000);
    EXPECT_EQ(r.chains, 100);
    RecordProperty("seconds", std::to_string(seconds));
}
