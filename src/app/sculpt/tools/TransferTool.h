#pragma once

#include "app/sculpt/tools/ClickTool.h"

namespace corv {

// Transfer: the points of a line from the one clicked on move to the end of the current line.
class TransferTool : public ClickTool {
public:
    using ClickTool::ClickTool;

    void Click(int col, int row) override;
};

}  // namespace corv
