#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <set>

#include "layout/Wiring.h"

using namespace corv;

namespace {

DisplayModule Square2() {
    DisplayModule m;
    m.name = "sq";
    m.width = 2;
    m.height = 2;
    m.offsets = {0x00000000, 0x00000001, 0x00010001, 0x00010000};  // (0,0) (1,0) (1,1) (0,1) as dx,dy
    return m;
}

DisplayModule Single() {
    DisplayModule m;
    m.offsets = {0};
    return m;
}

// Top-left cells (col, row) of the tiles, in the order they were laid.
std::vector<std::pair<int, int>> TileOrigins(const Line& line) {
    std::vector<std::pair<int, int>> out;
    for (std::size_t i = 0; i < line.size(); i += 4) {
        out.emplace_back(PointCol(line[i]), PointRow(line[i]));
    }
    return out;
}

}  // namespace

TEST(Wiring, TwoByTwoTilesInModesZeroAndTwo) {
    for (int mode : {kZTypeH, kSTypeH}) {
        Layout l;
        l.New(8, 8, false, 3);
        int line = 0;
        AddOptions opt;
        opt.mode = mode;
        const int added = AddByModule(l, line, Drag{0, 0, 3, 3}, Square2(), false, opt);
        EXPECT_EQ(added, 16);
        auto origins = TileOrigins(l.lines[0]);
        if (mode == kSTypeH) {
            EXPECT_EQ(origins, (std::vector<std::pair<int, int>>{{2, 2}, {0, 2}, {0, 0}, {2, 0}}));
        } else {
            EXPECT_EQ(origins, (std::vector<std::pair<int, int>>{{2, 2}, {0, 2}, {2, 0}, {0, 0}}));
        }
        // Inside a tile the module order holds.
        EXPECT_EQ(l.lines[0][1], MakePoint(2, 3));
        EXPECT_EQ(l.setting.lineCount, 1);
    }
}

TEST(Wiring, VerticalModesAndDragDirections) {
    Layout l;
    l.New(8, 8, false, 3);
    int line = 0;
    AddOptions opt;
    opt.mode = kSTypeV;
    // Dragged left and up from (3,3) to (0,0): tiles start at the top-left, step right/down.
    AddByModule(l, line, Drag{3, 3, 0, 0}, Square2(), false, opt);
    EXPECT_EQ(TileOrigins(l.lines[0]), (std::vector<std::pair<int, int>>{{0, 0}, {0, 2}, {2, 2}, {2, 0}}));
    Layout z;
    z.New(8, 8, false, 3);
    opt.mode = kZTypeV;
    AddByModule(z, line = 0, Drag{3, 3, 0, 0}, Square2(), false, opt);
    EXPECT_EQ(TileOrigins(z.lines[0]), (std::vector<std::pair<int, int>>{{0, 0}, {0, 2}, {2, 0}, {2, 2}}));
}

TEST(Wiring, LineLimitMovesWholeTilesToTheNextLineWithRoom) {
    Layout l;
    l.New(40, 40, false, 3);
    for (int i = 0; i < 169; ++i) l.lines[0].push_back(MakePoint(39, 0));
    for (int i = 0; i < 168; ++i) l.lines[1].push_back(MakePoint(39, 1));  // 168 + 4 > 170 too
    int line = 0;
    AddOptions opt;
    opt.lineLimit = 170;
    EXPECT_EQ(AddByModule(l, line, Drag{0, 0, 1, 1}, Square2(), false, opt), 4);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(l.lines[0].size(), 169u);
    EXPECT_EQ(l.lines[2].size(), 4u);
    // No line has room: nothing is added.
    Layout full;
    full.New(4, 4, false, 3);
    for (auto& ln : full.lines) ln.assign(3, MakePoint(3, 3));
    line = 0;
    opt.lineLimit = 4;
    EXPECT_EQ(AddByModule(full, line, Drag{0, 0, 1, 1}, Square2(), false, opt), 0);
    EXPECT_TRUE(full.undo.empty());
}

TEST(Wiring, OccupiedAndOutsideCellsAreSkippedAndUndoRestores) {
    Layout l;
    l.New(3, 3, false, 3);
    int line = 0;
    AddOptions opt;
    AddByModule(l, line, Drag{0, 0, 0, 2}, Single(), true, opt);  // a row of three
    ASSERT_EQ(l.lines[0].size(), 3u);
    line = 1;
    // Over the same cells again: all occupied.
    EXPECT_EQ(AddByModule(l, line, Drag{0, 0, 0, 2}, Single(), true, opt), 0);
    // Repeats allowed: they go in.
    opt.allowRepeat = true;
    EXPECT_EQ(AddByModule(l, line, Drag{0, 0, 0, 1}, Single(), true, opt), 2);
    EXPECT_EQ(l.occupancy.At(0, 0), 2);
    EXPECT_EQ(l.setting.lineCount, 2);
    ASSERT_TRUE(l.Undo());
    EXPECT_TRUE(l.lines[1].empty());
    EXPECT_EQ(l.occupancy.At(0, 0), 1);
    EXPECT_EQ(l.setting.lineCount, 1);
    ASSERT_TRUE(l.Redo());
    EXPECT_EQ(l.lines[1].size(), 2u);
    ASSERT_TRUE(l.Undo());
    ASSERT_TRUE(l.Undo());
    EXPECT_TRUE(l.lines[0].empty());
    EXPECT_EQ(l.occupancy.At(1, 0), 0);
    EXPECT_FALSE(l.Undo());
    // A module hanging over the grid edge keeps the points that fit.
    line = 0;
    opt.allowRepeat = false;
    EXPECT_EQ(AddByModule(l, line, Drag{0, 0, 1, 1}, Square2(), false, opt), 4);
}

TEST(Wiring, DeletedPointsComeBackOnUndo) {
    Layout l;
    l.New(4, 4, false, 3);
    l.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(0, 2)};
    l.occupancy.Rebuild(l.grid, l.lines);
    UndoStep& step = l.BeginStep(UndoType::Deleted);
    step.entries.push_back({MakePoint(0, 1), 0, 1});
    l.lines[0].erase(l.lines[0].begin() + 1);
    l.occupancy.Release(0, 1);
    ASSERT_TRUE(l.Undo());
    EXPECT_EQ(l.lines[0], (Line{MakePoint(0, 0), MakePoint(0, 1), MakePoint(0, 2)}));
    EXPECT_EQ(l.occupancy.At(0, 1), 1);
    ASSERT_TRUE(l.Redo());
    EXPECT_EQ(l.lines[0].size(), 2u);
}

TEST(Wiring, CtrlFormTilesFromTheAnchor) {
    Layout l;
    l.New(10, 10, false, 3);
    const Drag drag{0, 0, 5, 5};  // rightwards and down, released on (5,5)
    EXPECT_EQ(DefaultTileCounts(l.grid, drag, Square2()), (std::pair<int, int>{3, 3}));
    const Drag back{9, 9, 5, 5};  // leftwards and up
    EXPECT_EQ(DefaultTileCounts(l.grid, back, Square2()), (std::pair<int, int>{2, 2}));
    int line = 0;
    AddOptions opt;
    opt.mode = kZTypeH;
    opt.tiles = std::make_pair(2, 1);
    EXPECT_EQ(AddByModule(l, line, drag, Square2(), false, opt), 8);
    // First tile: its bottom-right cell is the anchor, the next one to its left.
    EXPECT_EQ(TileOrigins(l.lines[0]), (std::vector<std::pair<int, int>>{{4, 4}, {2, 4}}));
}

TEST(Wiring, ShortestModesVisitEveryCandidateOnce) {
    for (int mode : {kShortest, kShortestH}) {
        Layout l;
        l.New(6, 8, false, 3);
        std::vector<std::uint8_t> mask(48, 1);
        for (int r = 0; r < 6; ++r) mask[static_cast<std::size_t>(r * 8 + 3)] = 0;  // an empty column: two bands
        mask[0] = 0;
        int line = 0;
        AddOptions opt;
        opt.mode = mode;
        opt.backgroundMask = &mask;
        const int added = AddByModule(l, line, Drag{0, 0, 5, 7}, Single(), true, opt);
        EXPECT_EQ(added, 48 - 6 - 1) << mode;
        std::set<LinePoint> seen(l.lines[0].begin(), l.lines[0].end());
        EXPECT_EQ(seen.size(), l.lines[0].size());
        if (mode == kShortest) {
            // From (0,0) the nearest free cells are (1,0) and (0,1); the scan meets column 0
            // first and a later candidate must be strictly nearer to win.
            EXPECT_EQ(l.lines[0][0], MakePoint(1, 0));
            EXPECT_EQ(l.lines[0][1], MakePoint(2, 0));
        }
        if (mode == kShortestH) {
            // The first band (columns 0..2) is finished before the second begins, row by row.
            for (std::size_t i = 0; i < 17; ++i) EXPECT_LT(PointCol(l.lines[0][i]), 3) << i;
            EXPECT_EQ(l.lines[0][0], MakePoint(0, 1));
            EXPECT_EQ(l.lines[0][2], MakePoint(1, 2));  // the second row comes back
        }
    }
    // Without the background, or with another module, these modes add nothing.
    Layout l;
    l.New(4, 4, false, 3);
    int line = 0;
    AddOptions opt;
    opt.mode = kShortest;
    EXPECT_EQ(AddByModule(l, line, Drag{0, 0, 3, 3}, Single(), true, opt), 0);
    std::vector<std::uint8_t> mask(16, 1);
    opt.backgroundMask = &mask;
    EXPECT_EQ(AddByModule(l, line, Drag{0, 0, 3, 3}, Square2(), false, opt), 0);
}

// The nearest-cell order checked against the plain search over every cell, on random masks.
TEST(Wiring, ShortestOrderMatchesTheFullSearch) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 20; ++trial) {
        const int rows = 5 + static_cast<int>(random() % 20), cols = 5 + static_cast<int>(random() % 20);
        std::vector<std::uint8_t> mask(static_cast<std::size_t>(rows * cols));
        for (auto& m : mask) m = random() % 3 != 0;
        Layout layout;
        layout.New(rows, cols, false, 3);
        // A point already on the line sets where the search starts.
        const int startRow = static_cast<int>(random() % rows), startCol = static_cast<int>(random() % cols);
        layout.lines[0].push_back(MakePoint(startRow, startCol));
        layout.occupancy.TryOccupy(startRow, startCol, true);
        AddOptions options;
        options.mode = kShortest;
        options.lineLimit = 65535;
        options.backgroundMask = &mask;
        int line = 0;
        AddByModule(layout, line, Drag{0, 0, rows - 1, cols - 1}, DisplayModule{"Single pixel", 1, 1, {0}}, true, options);
        // The reference: every free masked cell in scan order (column, then row), nearest first.
        std::vector<std::pair<int, int>> cells;
        for (int c = 0; c < cols; ++c) {
            for (int r = 0; r < rows; ++r) {
                if (mask[static_cast<std::size_t>(r * cols + c)] && !(r == startRow && c == startCol)) cells.emplace_back(r, c);
            }
        }
        std::vector<bool> used(cells.size(), false);
        double pr = startRow, pc = startCol;
        Line expected{MakePoint(startRow, startCol)};
        for (std::size_t n = 0; n < cells.size(); ++n) {
            double best = 1e300;
            std::size_t bi = 0;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                if (used[i]) continue;
                const double d = std::hypot(cells[i].first - pr, cells[i].second - pc);
                if (d < best) {
                    best = d;
                    bi = i;
                }
            }
            used[bi] = true;
            expected.push_back(MakePoint(cells[bi].first, cells[bi].second));
            pr = cells[bi].first;
            pc = cells[bi].second;
        }
        EXPECT_EQ(layout.lines[0], expected) << "trial " << trial;
    }
}
