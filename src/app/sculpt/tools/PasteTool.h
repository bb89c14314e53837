#pragma once

#include "app/sculpt/tools/ClickTool.h"

namespace corv {

// Paste: the view clipboard's points, or else the system clipboard's layout data, placed from
// the cell clicked, on the current line and the lines after it.
class PasteTool : public ClickTool {
public:
    using ClickTool::ClickTool;

    void Click(int col, int row) override;
};

}  // namespace corv
