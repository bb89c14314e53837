#include "app/sculpt/tools/ZoneTool.h"

#include "base/Prompt.h"
#include "workspace/Workspace.h"

namespace corv {

void ZoneTool::Apply(const CellRect& r, const Drag&, bool) {
    if (action_ != Action::Delete) view_.clipboard() = CopyZone(view_.workspace().layout, r);
    if (action_ != Action::Copy) DeleteAsked(r);
}

void ZoneTool::DeleteAsked(const CellRect& r) {
    Workspace& ws = view_.workspace();
    const std::string question = Format(ws.strings.askDeleteZone.c_str(), r.x0 + 1, r.y0 + 1, r.x1, r.y1);
    if (view_.prompt().AskOkCancel(question) != Answer::Yes) return;
    DeleteZone(ws.layout, r);
    view_.Changed();
}

}  // namespace corv
