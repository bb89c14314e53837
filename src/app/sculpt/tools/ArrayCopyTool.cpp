#include "app/sculpt/tools/ArrayCopyTool.h"

#include "app/common/LinePanelState.h"
#include "base/Prompt.h"
#include "ops/Layout.h"
#include "workspace/Workspace.h"

namespace corv {

void ArrayCopyTool::Apply(const CellRect& r, const Drag& drag, bool) {
    Workspace& ws = view_.workspace();
    LinePanelState& panel = view_.panel();
    const auto module = ops::ArrayCopyModule(ws, r, panel.lineLimit);
    if (!module) {
        view_.prompt().Inform(module.message(), PromptIcon::Warning);
        return;
    }
    view_.SwitchRepeatOff();
    const AskTilesFunction& askTiles = view_.AskTiles();
    if (!askTiles) return;
    const auto tiles = askTiles(DefaultTileCounts(ws.layout.grid, drag, *module));
    if (!tiles) return;
    ops::ArrayCopyRequest request{r, drag, panel.currentLine, view_.ToolAddOptions()};
    request.options.tiles = tiles;
    panel.currentLine = ops::NextLine(ops::ArrayCopyLeds(ws, request, view_.prompt(), {}), panel.currentLine);
    view_.Changed();
}

}  // namespace corv
