#pragma once

#include "app/sculpt/tools/SelectRangeTool.h"

namespace corv {

// Save as module: the first line's points inside the rectangle join the module list under the
// name asked (asked again while the list refuses it).
class SaveModuleTool : public SelectRangeTool {
public:
    using SelectRangeTool::SelectRangeTool;

protected:
    void Apply(const CellRect& r, const Drag& drag, bool ctrl) override;
};

}  // namespace corv
