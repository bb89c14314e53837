#pragma once

#include "app/sculpt/tools/SculptTool.h"

namespace corv {

// The tools that work on the cell clicked: Paste, Transfer and Reverse.
class ClickTool : public SculptTool {
public:
    using SculptTool::SculptTool;

    void Press(const SculptMouse& m) override { Click(m.cell.col, m.cell.row); }
    // A click on a cell, never left of or above the grid.
    virtual void Click(int col, int row) = 0;
};

}  // namespace corv
