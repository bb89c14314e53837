#pragma once

#include "app/sculpt/tools/ClickTool.h"

namespace corv {

// Reverse: a first cell, then a second one on the same line reverses the points between them;
// a second cell no line joins to the first becomes the first.
class ReverseTool : public ClickTool {
public:
    using ClickTool::ClickTool;

    void Click(int col, int row) override;
};

}  // namespace corv
