#include "app/sculpt/tools/ArrayCopyTool.h"

#include "app/common/LinePanelState.h"
#include "base/Prompt.h"
#include "lang/Render.h"
#include "lang/messages/SculptMessages.h"
#include "workspace/Workspace.h"

namespace corv {

void ArrayCopyTool::Apply(const CellRect& r, const Drag& drag, bool) {
    Workspace& ws = view_.workspace();
    LinePanelState& panel = view_.panel();
    const std::vector<std::uint32_t> offsets = FirstLineInside(r);
    if (offsets.empty() || static_cast<int>(offsets.size()) > panel.lineLimit) {
        view_.prompt().Inform(Format(corv::Render(msg::sculpt::kArrayCopyPixelRange, ws.app.language).c_str(),
                                     panel.lineLimit),
                              PromptIcon::Warning);
        return;
    }
    view_.SwitchRepeatOff();
    DisplayModule module{"", static_cast<std::uint16_t>(r.x1 - r.x0), static_cast<std::uint16_t>(r.y1 - r.y0), offsets};
    const AskTilesFunction& askTiles = view_.AskTiles();
    if (!askTiles) return;
    const auto tiles = askTiles(DefaultTileCounts(ws.layout.grid, drag, module));
    if (!tiles) return;
    AddOptions options = view_.ToolAddOptions();
    options.tiles = tiles;
    if (AddByModule(ws.layout, panel.currentLine, drag, module, false, options) == 0) DropEmptyStep();
    view_.Changed();
}

}  // namespace corv
