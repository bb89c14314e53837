// Files whose headers claim more than they hold, drawings with absurd numbers and module files
// from outside: refused or warned of, never followed into huge allocations or endless loops.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "TestHome.h"
#include "base/Binary.h"
#include "base/FileUtil.h"
#include "layout/DisplayModule.h"
#include "layout/Dxf.h"
#include "layout/LineFile.h"

using namespace corv;
using corv::test::TestFolder;
using corv::test::WithAddressLimit;

namespace {

Layout SmallLayout() {
    Layout l;
    l.New(3, 4, false, 3);
    l.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(2, 3)};
    l.RecomputeLineCount();
    return l;
}

std::string DrawingWith(const std::string& entities, bool ended = true) {
    return "  0\nSECTION\n  2\nENTITIES\n" + entities + (ended ? "  0\nENDSEC\n  0\nEOF\n" : "");
}

std::string Circle(const std::string& x, const std::string& y, const std::string& r = "1") {
    return "  0\nCIRCLE\n 10\n" + x + "\n 20\n" + y + "\n 40\n" + r + "\n";
}

std::string LineEntity(double x0, double y0, double x1, double y1) {
    std::ostringstream s;
    s << "  0\nLINE\n 10\n" << x0 << "\n 20\n" << y0 << "\n 11\n" << x1 << "\n 21\n" << y1 << "\n";
    return s.str();
}

}  // namespace

TEST(GridLimit, HeadersClaimingHugeGridsAreRefusedWithinLittleMemory) {
    TestFolder dir;
    auto bytes = LineFileBytes(SmallLayout(), BuiltInLightTypes());
    StoreU16(&bytes[10], 0xFFFF);  // rows
    StoreU16(&bytes[12], 0xFFFF);  // cols: 4.3 billion cells, 8.6 GB of occupancy
    ASSERT_TRUE(WriteFileAtomic(dir / "huge.lnf", bytes));
    const int code = WithAddressLimit(256u << 20, [&] {
        Layout layout;
        auto lamps = BuiltInLightTypes();
        const auto loaded = LoadLineFile(dir / "huge.lnf", layout, lamps, 3);
        return LineFileErrorOf(loaded) == LineFileError::GridTooLarge &&
                       loaded.failure().reason.find("65535 rows x 65535 cols") != std::string::npos
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0);
    // Just inside the limit loads; one row more does not.
    StoreU16(&bytes[10], 4096);
    StoreU16(&bytes[12], 4096);
    LineFileContent c;
    EXPECT_EQ(ParseLineFile(bytes, c), LineFileError::None);
    StoreU16(&bytes[10], 4097);
    EXPECT_EQ(ParseLineFile(bytes, c), LineFileError::GridTooLarge);
    // New layouts of the dialogs keep their rows and lose columns past the limit.
    Layout l;
    l.New(10000, 10000, false, 3);
    EXPECT_EQ(l.grid.rows, 10000);
    EXPECT_EQ(static_cast<std::uint64_t>(l.grid.rows) * l.grid.cols, kMaxGridCells / 10000 * 10000);
    EXPECT_TRUE(GridWithinLimit(1, 65535));
    EXPECT_FALSE(GridWithinLimit(0, 5));
    EXPECT_FALSE(GridWithinLimit(65536, 1));
}

TEST(GridLimit, PointsOutsideTheGridAreCounted) {
    Layout l = SmallLayout();
    EXPECT_EQ(PointsOutsideGrid(l.grid, l.lines), 0u);
    l.lines[1] = {MakePoint(3, 0), MakePoint(0, 4), MakePoint(0xFFFF, 0xFFFF)};
    EXPECT_EQ(PointsOutsideGrid(l.grid, l.lines), 3u);
}

TEST(DxfHardening, NonFiniteAndFarCoordinatesAreLeftOutAndNothingLoops) {
    // inf, nan, 1e300 and a huge radius: each entity is dropped and counted; the sane circle
    // stays. Before, such numbers overflowed the point hash and the integer cells.
    const std::string text = DrawingWith(Circle("inf", "0") + Circle("nan", "1") + Circle("1e300", "-1e300") +
                                          Circle("5", "5", "1e30") + Circle("1", "1") + Circle("2", "1") +
                                          LineEntity(1, 1, 2, 1) + LineEntity(0, 0, 1e12, 0));
    const DxfDrawing d = ParseDxf(text);
    EXPECT_EQ(d.circles.size(), 2u);
    EXPECT_EQ(d.lines.size(), 1u);
    EXPECT_EQ(d.absurd, 5);
    EXPECT_TRUE(d.complete);
    EXPECT_LE(d.maxX, 2.0);
    Layout layout;
    const DxfImportResult r = ImportDxf(d, 1, 1, false, layout, 3);
    EXPECT_FALSE(r.tooLarge);
    EXPECT_EQ(r.leds, 2);
    // Spacing far larger than the drawing, and the largest spacing there is, still one cell.
    EXPECT_EQ(ImportDxf(d, 1000000000, 1000000000, false, layout, 3).cols, 1);
}

TEST(DxfHardening, GridsPastTheCellLimitAreRefusedAndTheLayoutKept) {
    const DxfDrawing d = ParseDxf(DrawingWith(Circle("0", "0") + Circle("100000", "100000") +
                                              LineEntity(0, 0, 100000, 100000)));
    Layout layout = SmallLayout();
    const DxfImportResult r = ImportDxf(d, 1, 1, false, layout, 3);
    EXPECT_TRUE(r.tooLarge);
    EXPECT_EQ(r.rows, 100001);
    EXPECT_EQ(layout.grid.rows, 3);  // untouched
    EXPECT_EQ(layout.lines[0].size(), 3u);
}

TEST(DxfHardening, EarlyEndNoSectionAndSharedCells) {
    EXPECT_FALSE(ParseDxf(DrawingWith(Circle("0", "0"), false)).complete);
    EXPECT_EQ(ParseDxf(DrawingWith(Circle("0", "0"), false)).circles.size(), 1u);
    EXPECT_FALSE(ParseDxf("\x89PNG\r\n\x1a\n").hasEntities);
    EXPECT_FALSE(ParseDxf("").hasEntities);
    // Two LEDs 3 units apart at a spacing of 10 fall on one cell: counted.
    const DxfDrawing d = ParseDxf(DrawingWith(Circle("0", "0") + Circle("3", "0") + Circle("20", "0") +
                                              LineEntity(0, 0, 20, 0)));
    Layout layout;
    EXPECT_EQ(ImportDxf(d, 10, 10, false, layout, 3).sharedCells, 2);
    EXPECT_EQ(ImportDxf(d, 1, 1, false, layout, 3).sharedCells, 0);
}

TEST(DxfHardening, VertexDrawingsGetAUsableSpacing) {
    // A zig-zag of segments, 30 units apart across and 10 along: no circle at all. The old
    // suggestion (circles only) gave 100 x 100 and put every LED into a handful of cells.
    std::string entities;
    for (int row = 0; row < 4; ++row) {
        for (int k = 0; k < 5; ++k) entities += LineEntity(k * 30.0, row * 10.0, (k + 1) * 30.0, row * 10.0);
    }
    const DxfDrawing d = ParseDxf(DrawingWith(entities));
    const auto spacing = SuggestedSpacing(d, true);
    EXPECT_EQ(spacing, std::make_pair(30, 10));
    Layout layout;
    const DxfImportResult r = ImportDxf(d, spacing.first, spacing.second, true, layout, 3);
    EXPECT_EQ(r.leds, 24);
    EXPECT_EQ(r.sharedCells, 0);
    // A drawing in metres (gaps below one unit) suggests 1, never 0 or a negative number.
    const DxfDrawing metres = ParseDxf(DrawingWith(Circle("0", "0", "0.01") + Circle("0.03", "0.03", "0.01")));
    EXPECT_EQ(SuggestedSpacing(metres), std::make_pair(1, 1));
    const DxfDrawing far = ParseDxf(DrawingWith(Circle("0", "0", "0") + Circle("999999999", "999999999", "0")));
    EXPECT_EQ(SuggestedSpacing(far), std::make_pair(999999999, 999999999));
}

TEST(ModuleFileCheck, OutsideFilesMustBeWholeModuleFiles) {
    DisplayModule m;
    m.name = "two";
    m.width = 2;
    m.height = 1;
    m.offsets = {0, 1};
    const auto good = ModuleFileBytes(std::vector<DisplayModule>{m, m});
    EXPECT_EQ(CheckModuleFile(good), "");
    // Every cut inside a record is refused (the lenient reader took the records before it);
    // a cut between the records leaves a whole file of one module.
    const std::size_t recordSize = DisplayModule::kHeaderSize + 2 * 4;
    for (std::size_t n = 1; n < good.size(); ++n) {
        EXPECT_EQ(CheckModuleFile(std::span(good).first(n)).empty(), n == 1 || n == 1 + recordSize) << n;
    }
    const std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13};
    EXPECT_NE(CheckModuleFile(png).find("not a module file"), std::string::npos);
    auto outside = good;
    StoreU32(&outside[1 + 22], 0x00000002);  // point (2, 0) in a 2 x 1 module
    EXPECT_NE(CheckModuleFile(outside).find("outside"), std::string::npos);
    EXPECT_EQ(CheckModuleFile(std::vector<std::uint8_t>{0}), "");  // what an export of no module writes
    EXPECT_NE(CheckModuleFile(std::vector<std::uint8_t>{}), "");
}
