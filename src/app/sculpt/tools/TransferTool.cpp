#include "app/sculpt/tools/TransferTool.h"

#include "app/common/LinePanelState.h"
#include "workspace/Workspace.h"

namespace corv {

void TransferTool::Click(int col, int row) {
    Workspace& ws = view_.workspace();
    if (ws.layout.grid.Contains(row, col) && Transfer(ws.layout, col, row, view_.panel().currentLine)) view_.Changed();
}

}  // namespace corv
