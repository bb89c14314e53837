#pragma once

#include "app/sculpt/tools/SelectRangeTool.h"

namespace corv {

// Pixels repeat: every point inside the rectangle repeats the count asked (a single cell
// offers its point's position); it cannot be undone.
class PixelsRepeatTool : public SelectRangeTool {
public:
    using SelectRangeTool::SelectRangeTool;

protected:
    void Apply(const CellRect& r, const Drag& drag, bool ctrl) override;
};

}  // namespace corv
