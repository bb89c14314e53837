#include "app/sculpt/tools/AddTool.h"

#include "app/common/LinePanelState.h"
#include "base/Prompt.h"
#include "ops/Layout.h"
#include "workspace/Workspace.h"

namespace corv {

void AddTool::Apply(const CellRect&, const Drag& drag, bool ctrl) {
    Workspace& ws = view_.workspace();
    LinePanelState& panel = view_.panel();
    ops::AddLedsRequest request{drag, panel.currentLine, ws.modules.current(), view_.ToolAddOptions()};
    if (ctrl) {
        const AskTilesFunction& askTiles = view_.AskTiles();
        if (!askTiles) return;
        const auto tiles = askTiles(DefaultTileCounts(ws.layout.grid, drag, ops::ModuleToAdd(ws, request.module)));
        if (!tiles) return;
        request.options.tiles = tiles;
    }
    const auto added = ops::AddLeds(ws, request, view_.prompt(), {});
    panel.currentLine = ops::NextLine(added, panel.currentLine);
    // Nothing came: says so when every line from the current one is too full for the module.
    if (!added && added.failure().code == ops::kAddLinesFull) view_.prompt().Inform(added.message(), PromptIcon::Warning);
    view_.Changed();
}

}  // namespace corv
