#pragma once

#include "app/sculpt/tools/SculptTool.h"

namespace corv {

// Move: a press on a point holds it, the release puts it on the cell under the pointer.
class MoveTool : public SculptTool {
public:
    using SculptTool::SculptTool;

    void Press(const SculptMouse& m) override;
    void Move(const SculptMouse& m) override;
    void Release(const SculptMouse& m) override;
};

}  // namespace corv
