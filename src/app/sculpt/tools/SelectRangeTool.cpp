#include "app/sculpt/tools/SelectRangeTool.h"

#include <algorithm>

#include "workspace/Workspace.h"

namespace corv {

void SelectRangeTool::Press(const SculptMouse& m) {
    SculptMarks& marks = view_.marks();
    if (marks.kind == SculptMarks::Kind::Range) {  // the second click of an open drag
        marks.endCol = m.cell.col;
        marks.endRow = m.cell.row;
        Run(marks.startCol, marks.startRow, marks.endCol, marks.endRow, m.modifiers & Qt::ControlModifier);
        return;
    }
    marks.startCol = marks.endCol = m.cell.col;
    marks.startRow = marks.endRow = m.cell.row;
    marks.kind = SculptMarks::Kind::Range;
    view_.Repaint();
}

void SelectRangeTool::Move(const SculptMouse& m) {
    SculptMarks& marks = view_.marks();
    if (marks.kind != SculptMarks::Kind::Range) return;
    const LayoutGrid& grid = view_.workspace().layout.grid;
    marks.endCol = std::clamp(m.cell.col, 0, std::max(0, grid.cols - 1));
    marks.endRow = std::clamp(m.cell.row, 0, std::max(0, grid.rows - 1));
    view_.Repaint();
}

void SelectRangeTool::Release(const SculptMouse& m) {
    if (m.button != Qt::LeftButton) return;
    const SculptMarks& marks = view_.marks();
    if (marks.kind != SculptMarks::Kind::Range) return;
    if (marks.endCol != marks.startCol || marks.endRow != marks.startRow || RunsOnClick()) {
        Run(marks.startCol, marks.startRow, marks.endCol, marks.endRow, m.modifiers & Qt::ControlModifier);
    }
}

void SelectRangeTool::Run(int sx, int sy, int ex, int ey, bool ctrl) {
    view_.marks().kind = SculptMarks::Kind::None;
    const LayoutGrid& grid = view_.workspace().layout.grid;
    const CellRect r{std::max(0, std::min(sx, ex)), std::max(0, std::min(sy, ey)),
                     std::min<int>(grid.cols, std::max(sx, ex) + 1), std::min<int>(grid.rows, std::max(sy, ey) + 1)};
    view_.Repaint();
    if (r.x0 >= r.x1 || r.y0 >= r.y1) return;
    Apply(r, Drag{sy, sx, ey, ex}, ctrl);
}

std::vector<std::uint32_t> SelectRangeTool::FirstLineInside(const CellRect& r) const {
    std::vector<std::uint32_t> offsets;
    for (const Line& line : view_.workspace().layout.lines) {
        for (LinePoint p : line) {
            if (r.Contains(p)) {
                offsets.push_back((static_cast<std::uint32_t>(PointRow(p) - r.y0) << 16) |
                                  static_cast<std::uint32_t>(PointCol(p) - r.x0));
            }
        }
        if (!offsets.empty()) break;
    }
    return offsets;
}

}  // namespace corv
