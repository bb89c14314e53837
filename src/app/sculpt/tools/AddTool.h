#pragma once

#include "app/sculpt/tools/SelectRangeTool.h"

namespace corv {

// Add: lays the line panel's module in its connection mode over the rectangle, on the current
// line and the lines after it; with Ctrl it asks for the tile counts first. A click adds on
// the cell clicked.
class AddTool : public SelectRangeTool {
public:
    using SelectRangeTool::SelectRangeTool;

protected:
    bool RunsOnClick() const override { return true; }
    void Apply(const CellRect& r, const Drag& drag, bool ctrl) override;
};

}  // namespace corv
