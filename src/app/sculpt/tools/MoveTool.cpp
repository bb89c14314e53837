#include "app/sculpt/tools/MoveTool.h"

#include <algorithm>

#include "workspace/Workspace.h"

namespace corv {

void MoveTool::Press(const SculptMouse& m) {
    SculptMarks& marks = view_.marks();
    for (const Line& line : view_.workspace().layout.lines) {
        if (std::find(line.begin(), line.end(), MakePoint(m.cell.row, m.cell.col)) != line.end()) {
            marks.kind = SculptMarks::Kind::HeldPoint;
            marks.startCol = marks.endCol = m.cell.col;
            marks.startRow = marks.endRow = m.cell.row;
            break;
        }
    }
}

void MoveTool::Move(const SculptMouse& m) {
    SculptMarks& marks = view_.marks();
    if (marks.kind != SculptMarks::Kind::HeldPoint) return;
    const LayoutGrid& grid = view_.workspace().layout.grid;
    marks.endCol = std::clamp(m.cell.col, 0, std::max(0, grid.cols - 1));
    marks.endRow = std::clamp(m.cell.row, 0, std::max(0, grid.rows - 1));
    view_.Repaint();
}

void MoveTool::Release(const SculptMouse& m) {
    if (m.button != Qt::LeftButton) return;
    SculptMarks& marks = view_.marks();
    if (marks.kind != SculptMarks::Kind::HeldPoint) return;
    marks.kind = SculptMarks::Kind::None;
    view_.RunMove(marks.startCol, marks.startRow, m.cell.col, m.cell.row);
    view_.Repaint();
}

}  // namespace corv
