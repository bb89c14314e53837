#pragma once

#include "app/sculpt/tools/SelectRangeTool.h"

namespace corv {

// Array copy: the first line's points inside the rectangle become a module, laid as tiles
// (the counts asked) on the current line; "Allow repeat pixels" goes off.
class ArrayCopyTool : public SelectRangeTool {
public:
    using SelectRangeTool::SelectRangeTool;

protected:
    void Apply(const CellRect& r, const Drag& drag, bool ctrl) override;
};

}  // namespace corv
