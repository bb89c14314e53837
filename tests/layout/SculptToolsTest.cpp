#include <gtest/gtest.h>

#include "layout/SculptTools.h"

using namespace corv;

namespace {

Layout Grid(int rows, int cols) {
    Layout l;
    l.New(rows, cols, false, 3);
    return l;
}

// Puts points (col, row) on a line and counts them on their cells.
void Wire(Layout& l, int line, std::initializer_list<std::pair<int, int>> cells) {
    for (auto [c, r] : cells) {
        l.lines[static_cast<std::size_t>(line)].push_back(MakePoint(r, c));
        l.occupancy.TryOccupy(r, c, true);
    }
    l.RecomputeLineCount();
}

std::vector<std::pair<int, int>> Cells(const Layout& l, int line) {
    std::vector<std::pair<int, int>> out;
    for (LinePoint p : l.lines[static_cast<std::size_t>(line)]) out.emplace_back(PointCol(p), PointRow(p));
    return out;
}

using Cells_t = std::vector<std::pair<int, int>>;

}  // namespace

TEST(SculptTools, ModifiedFollowsTheSavedStateThroughUndoAndRedo) {
    Layout l = Grid(8, 8);
    EXPECT_FALSE(l.modified);  // a new layout is its own saved state
    Wire(l, 0, {{0, 0}, {2, 3}, {3, 4}, {6, 6}});
    Wire(l, 1, {{4, 5}, {7, 7}});
    l.MarkSaved();
    const CellRect zone{2, 3, 5, 6};
    // Edit, undo: unchanged; redo: changed.
    ASSERT_EQ(DeleteZone(l, zone), 3);
    EXPECT_TRUE(l.modified);
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_FALSE(l.modified);
    ASSERT_TRUE(RedoLayout(l));
    EXPECT_TRUE(l.modified);
    // Saved after the edit: undo past the save changes it, redo brings back what is on disk.
    l.MarkSaved();
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_TRUE(l.modified);
    ASSERT_TRUE(RedoLayout(l));
    EXPECT_FALSE(l.modified);
    // Edit, save, edit, undo: unchanged (steps with their own undo too).
    ASSERT_TRUE(ExchangeLines(l, 0, 1));
    l.MarkSaved();
    ASSERT_TRUE(ExchangeLines(l, 0, 1));
    EXPECT_TRUE(l.modified);
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_FALSE(l.modified);
    // Undo past the save and edit: that saved state cannot come back.
    ASSERT_TRUE(UndoLayout(l));
    ASSERT_EQ(DeleteZone(l, CellRect{0, 0, 1, 1}), 1);
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_TRUE(l.modified);
    ASSERT_TRUE(RedoLayout(l));
    EXPECT_TRUE(l.modified);
    // A step that changed nothing and was taken back leaves the layout as it was.
    l.MarkSaved();
    l.BeginStep(UndoType::Added);
    EXPECT_TRUE(l.modified);
    l.DropEmptyStep();
    EXPECT_FALSE(l.modified);
    // A change outside the history stays through undo and redo until the next save, also one
    // made by setting the flag alone.
    ASSERT_TRUE(MovePoint(l, 7, 7, 7, 6, false));
    ASSERT_EQ(DeleteZone(l, CellRect{0, 0, 1, 1}), 0);
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_TRUE(l.modified);
    l.MarkSaved();
    l.modified = true;
    ASSERT_EQ(DeleteZone(l, CellRect{0, 0, 1, 1}), 0);
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_TRUE(l.modified);
}

TEST(SculptTools, DeleteZoneCopyPasteAndTheirUndo) {
    Layout l = Grid(8, 8);
    Wire(l, 0, {{0, 0}, {2, 3}, {3, 4}, {6, 6}});
    Wire(l, 1, {{4, 5}, {7, 7}});
    const auto before = l.lines;
    // The zone from column 2, row 3 to column 4, row 5 (inclusive).
    const CellRect zone{2, 3, 5, 6};
    const LineClipboard clip = CopyZone(l, zone);
    ASSERT_EQ(clip.fragments.size(), 2u);
    EXPECT_EQ(clip.fragments[0].size(), 2u);
    EXPECT_EQ(DeleteZone(l, zone), 3);
    EXPECT_EQ(Cells(l, 0), (Cells_t{{0, 0}, {6, 6}}));
    EXPECT_EQ(l.occupancy.At(3, 2), 0);
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_EQ(l.lines, before);  // every point back at its place
    ASSERT_TRUE(RedoLayout(l));
    EXPECT_EQ(Cells(l, 1), (Cells_t{{7, 7}}));
    ASSERT_TRUE(UndoLayout(l));
    // Paste at (0, 0): the fragments move by the offset from the zone's corner, into lines 3, 4;
    // a cell that is taken refuses its point.
    EXPECT_EQ(PasteFragments(l, clip, 0, 0, 3, 4096, false), 2);
    EXPECT_EQ(Cells(l, 3), (Cells_t{{1, 1}}));  // (0, 0) is line 0's: refused with repeats off
    EXPECT_EQ(Cells(l, 4), (Cells_t{{2, 2}}));
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_EQ(l.lines, before);
}

TEST(SculptTools, TransferReverseMoveAndPixelsRepeat) {
    Layout l = Grid(6, 10);
    Wire(l, 4, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}});  // line 5 (0-based 4)
    Wire(l, 1, {{0, 5}});                                  // line 2 (0-based 1) is current
    // Transfer clicked on the third point of line 5: points 3.. go to the end of line 2.
    ASSERT_TRUE(Transfer(l, 2, 0, 1));
    EXPECT_EQ(Cells(l, 4), (Cells_t{{0, 0}, {1, 0}}));
    EXPECT_EQ(Cells(l, 1), (Cells_t{{0, 5}, {2, 0}, {3, 0}, {4, 0}}));
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_EQ(Cells(l, 4), (Cells_t{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
    EXPECT_EQ(Cells(l, 1), (Cells_t{{0, 5}}));
    ASSERT_TRUE(RedoLayout(l));
    EXPECT_EQ(Cells(l, 1).size(), 4u);
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_FALSE(Transfer(l, 9, 5, 1));  // no point there
    // Reverse with A and B on the first and last point reverses the whole line; a cell no line
    // connects to A leaves the tool waiting (false).
    ASSERT_TRUE(Reverse(l, 0, 0, 4, 0));
    EXPECT_EQ(Cells(l, 4), (Cells_t{{4, 0}, {3, 0}, {2, 0}, {1, 0}, {0, 0}}));
    EXPECT_FALSE(Reverse(l, 4, 0, 9, 5));
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_EQ(Cells(l, 4).front(), (std::pair<int, int>{0, 0}));
    // Move: onto a free cell, not onto a taken one.
    EXPECT_TRUE(MovePoint(l, 0, 5, 9, 5, false));
    EXPECT_EQ(Cells(l, 1), (Cells_t{{9, 5}}));
    EXPECT_FALSE(MovePoint(l, 9, 5, 1, 0, false));
    EXPECT_EQ(l.occupancy.At(5, 0), 0);
    // Pixels repeat with r = 2 on a line a, b, c all inside: a a a b b b c c c; no undo.
    Layout p = Grid(3, 3);
    Wire(p, 0, {{0, 0}, {1, 0}, {2, 0}});
    EXPECT_EQ(PixelsRepeat(p, CellRect{0, 0, 3, 1}, 2), 6);
    EXPECT_EQ(Cells(p, 0), (Cells_t{{0, 0}, {0, 0}, {0, 0}, {1, 0}, {1, 0}, {1, 0}, {2, 0}, {2, 0}, {2, 0}}));
    EXPECT_EQ(p.occupancy.At(0, 1), 3);
    EXPECT_FALSE(UndoLayout(p));
}

TEST(SculptTools, LineOperationsAndTheLayoutDataForm) {
    Layout l = Grid(10, 10);
    Wire(l, 0, {{1, 1}, {2, 1}});
    Wire(l, 1, {{5, 5}});
    Wire(l, 2, {{7, 7}, {8, 7}});
    ASSERT_TRUE(ExchangeLines(l, 0, 2));
    EXPECT_EQ(Cells(l, 0), (Cells_t{{7, 7}, {8, 7}}));
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_EQ(Cells(l, 0), (Cells_t{{1, 1}, {2, 1}}));
    EXPECT_FALSE(ExchangeLines(l, 3, 3));
    ASSERT_TRUE(UniteLines(l, 0, 1));
    EXPECT_TRUE(l.lines[0].empty());
    EXPECT_EQ(Cells(l, 1), (Cells_t{{5, 5}, {1, 1}, {2, 1}}));
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_EQ(Cells(l, 1), (Cells_t{{5, 5}}));
    EXPECT_EQ(Cells(l, 0), (Cells_t{{1, 1}, {2, 1}}));
    // Delete "To": lines 1..2 (0-based 0..1); undo brings them back.
    EXPECT_EQ(DeleteLines(l, 0, 1, true), 3);
    EXPECT_EQ(l.occupancy.At(1, 1), 0);
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_EQ(Cells(l, 1), (Cells_t{{5, 5}}));
    // Without line a (0 in the dialog): line b alone ("And"), lines up to b ("To"); nothing when
    // neither is a line.
    EXPECT_EQ(DeleteLines(l, -1, 1, false), 1);
    EXPECT_TRUE(l.lines[1].empty());
    EXPECT_EQ(Cells(l, 0), (Cells_t{{1, 1}, {2, 1}}));
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_EQ(DeleteLines(l, -1, 1, true), 3);
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_EQ(DeleteLines(l, -1, 256, true), -1);
    EXPECT_EQ(Cells(l, 1), (Cells_t{{5, 5}}));
    // Move by an offset, kept on the grid.
    EXPECT_EQ(MoveLines(l, 2, -1, false, 5, -10), 2);
    EXPECT_EQ(Cells(l, 2), (Cells_t{{9, 0}, {9, 0}}));
    // Port copy and paste: the data form round trip, moved to the clicked cell.
    const auto data = CopyLines(l, 0, 1);
    const auto back = DecodeLayoutData(data);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[0], l.lines[0]);
    EXPECT_EQ(PasteLayoutData(l, data, 3, 3, 5), 3);  // origin (1, 1) to (3, 3)
    EXPECT_EQ(Cells(l, 5), (Cells_t{{3, 3}, {4, 3}}));
    EXPECT_EQ(Cells(l, 6), (Cells_t{{7, 7}}));
    ASSERT_TRUE(UndoLayout(l));
    EXPECT_TRUE(l.lines[5].empty());
    // Short, inconsistent or foreign data is refused, every truncation too.
    for (std::size_t n = 0; n < data.size(); ++n) {
        EXPECT_FALSE(DecodeLayoutData(std::span(data.data(), n))) << n;
    }
    auto foreign = data;
    foreign[3] = 'X';
    EXPECT_FALSE(DecodeLayoutData(foreign));
    auto claims = data;
    claims[8] = 200;  // the first fragment claims 200 points
    EXPECT_FALSE(DecodeLayoutData(claims));
    EXPECT_EQ(PasteLayoutData(l, claims, 0, 0, 0), -1);
}
