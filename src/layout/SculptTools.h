#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "layout/Layout.h"

namespace corv {

// The tools of the sculpt window that change the lines of a layout (the Add tool is in
// Wiring.h). Rectangles are in cells: columns x0 .. x1 - 1, rows y0 .. y1 - 1.
struct CellRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Contains(LinePoint p) const {
        return PointCol(p) >= x0 && PointCol(p) < x1 && PointRow(p) >= y0 && PointRow(p) < y1;
    }
};

// The view clipboard of Copy and Cut: one fragment per line that had points inside, in line
// order, and the rectangle they came from.
struct LineClipboard {
    std::vector<Line> fragments;
    CellRect source;
    bool Empty() const { return fragments.empty(); }
};

// Delete zone: every point inside leaves its line (one undo step of type 1); the number removed.
int DeleteZone(Layout& layout, const CellRect& r);
// Copy: the points inside, line by line.
LineClipboard CopyZone(const Layout& layout, const CellRect& r);
// Paste from the view clipboard at (col, row): the fragments go to consecutive lines from
// `currentLine`, each moved by the offset from the source rectangle's corner, lines that would
// pass `lineLimit` skipped; points off the grid or on cells that refuse them are left out. One
// undo step of type 0; the number of points placed.
int PasteFragments(Layout& layout, const LineClipboard& clip, int col, int row, int currentLine, int lineLimit,
                   bool allowRepeat, const std::vector<std::uint8_t>* mask = nullptr);

// The system clipboard's layout data ("Port copy"): header with "Q" and "Z" in its top bytes and
// the fragment count below, the origin (smallest row << 16 | smallest column), then each
// fragment's count and points; little-endian.
inline constexpr const char* kLayoutDataMime = "application/x-corvantine-layout-data";
std::vector<std::uint8_t> EncodeLayoutData(std::span<const Line> fragments);
// Nullopt for data of another form, too short or whose counts do not match its length.
std::optional<std::vector<Line>> DecodeLayoutData(std::span<const std::uint8_t> bytes);
// Pastes layout data at (col, row): fragment k to line currentLine + k, points moved by the
// offset from the data's origin (kept on the grid), every point placed. One undo step of type 0.
int PasteLayoutData(Layout& layout, std::span<const std::uint8_t> bytes, int col, int row, int currentLine);

// Transfer: the first point on (col, row) in another line than the current one moves, with every
// point after it, to the end of the current line (undo type 2). False when no line has one.
bool Transfer(Layout& layout, int col, int row, int currentLine);
// Reverse: in the first line with a point on cell A or B and a later one on A or B, the run
// between them is reversed (undo type 3). False when no line has such a pair.
bool Reverse(Layout& layout, int colA, int rowA, int colB, int rowB);
// Move: the first point on (fromCol, fromRow) goes to (toCol, toRow) when that cell takes it.
// No undo step.
bool MovePoint(Layout& layout, int fromCol, int fromRow, int toCol, int toRow, bool allowRepeat);
// Pixels repeat: each point inside that differs from the one handled just before gets `times`
// copies after it. Empties the history (it cannot be undone). The points added.
int PixelsRepeat(Layout& layout, const CellRect& r, int times);

// "Line operate" (line numbers 0-based here).
bool ExchangeLines(Layout& layout, int a, int b);  // undo type 4
bool UniteLines(Layout& layout, int a, int b);     // a appended to b (undo type 2)
// Deletes line a and line b ("And") or lines a + 1 .. b ("To"); b out of range: only a.
int DeleteLines(Layout& layout, int a, int b, bool to);
// Moves the points of the lines by (dx, dy), kept on the grid; no undo step.
int MoveLines(Layout& layout, int a, int b, bool to, int dx, int dy);
// The lines a .. b (only a when b is out of range) as layout data.
std::vector<std::uint8_t> CopyLines(const Layout& layout, int a, int b);

// Undo and redo of every step type (0..4).
bool UndoLayout(Layout& layout);
bool RedoLayout(Layout& layout);

}  // namespace corv
