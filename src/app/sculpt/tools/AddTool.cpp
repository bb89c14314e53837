#include "app/sculpt/tools/AddTool.h"

#include "app/common/LinePanelState.h"
#include "base/Prompt.h"
#include "lang/Render.h"
#include "lang/messages/SculptMessages.h"
#include "workspace/Workspace.h"

namespace corv {

void AddTool::Apply(const CellRect&, const Drag& drag, bool ctrl) {
    Workspace& ws = view_.workspace();
    LinePanelState& panel = view_.panel();
    const int m = ws.modules.current();
    const DisplayModule module = m > 0 && m < static_cast<int>(ws.modules.size())
                                     ? ws.modules.modules()[static_cast<std::size_t>(m)]
                                     : DisplayModule{"Single pixel", 1, 1, {0}};
    AddOptions options = view_.ToolAddOptions();
    if (ctrl) {
        const AskTilesFunction& askTiles = view_.AskTiles();
        if (!askTiles) return;
        const auto tiles = askTiles(DefaultTileCounts(ws.layout.grid, drag, module));
        if (!tiles) return;
        options.tiles = tiles;
    }
    const int added = AddByModule(ws.layout, panel.currentLine, drag, module, m <= 0, options);
    if (added == 0) DropEmptyStep();  // nothing to undo
    if (added == 0 && module.offsets.size() > 0) WarnWhenFull(module);
    view_.Changed();
}

void AddTool::WarnWhenFull(const DisplayModule& module) {
    Workspace& ws = view_.workspace();
    const LinePanelState& panel = view_.panel();
    bool room = false;
    for (int l = panel.currentLine; l < kLineCount && !room; ++l) {
        room = ws.layout.lines[static_cast<std::size_t>(l)].size() + module.offsets.size() <=
               static_cast<std::size_t>(panel.lineLimit);
    }
    if (!room) {
        view_.prompt().Inform(Format(corv::Render(msg::sculpt::kLinesFull, ws.app.language).c_str(),
                                     panel.currentLine + 1, panel.lineLimit),
                              PromptIcon::Warning);
    }
}

}  // namespace corv
