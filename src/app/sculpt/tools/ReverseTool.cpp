#include "app/sculpt/tools/ReverseTool.h"

#include "ops/Layout.h"
#include "workspace/Workspace.h"

namespace corv {

void ReverseTool::Click(int col, int row) {
    SculptMarks& marks = view_.marks();
    if (marks.kind != SculptMarks::Kind::FirstCell) {
        marks.startCol = col;
        marks.startRow = row;
        marks.kind = SculptMarks::Kind::FirstCell;
        view_.Repaint();
        return;
    }
    if (ops::ReverseRun(view_.workspace(), {marks.startCol, marks.startRow, col, row}, view_.prompt(), {})) {
        marks.kind = SculptMarks::Kind::None;
        view_.Changed();
    } else {
        marks.startCol = col;  // B becomes the new A
        marks.startRow = row;
        view_.Repaint();
    }
}

}  // namespace corv
