#include "app/sculpt/tools/TransferTool.h"

#include "app/common/LinePanelState.h"
#include "ops/Layout.h"
#include "workspace/Workspace.h"

namespace corv {

void TransferTool::Click(int col, int row) {
    if (ops::TransferLeds(view_.workspace(), {col, row, view_.panel().currentLine}, view_.prompt(), {})) view_.Changed();
}

}  // namespace corv
