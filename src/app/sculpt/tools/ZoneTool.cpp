#include "app/sculpt/tools/ZoneTool.h"

#include "base/Prompt.h"
#include "ops/Layout.h"
#include "workspace/Workspace.h"

namespace corv {

void ZoneTool::Apply(const CellRect& r, const Drag&, bool) {
    if (action_ != Action::Delete) {
        const auto copied = ops::CopyZoneLeds(view_.workspace(), {r}, view_.prompt(), {});
        // An empty zone leaves the clipboard with nothing but the zone.
        view_.clipboard() = copied ? copied->clip : LineClipboard{{}, r};
    }
    if (action_ != Action::Copy) DeleteAsked(r);
}

void ZoneTool::DeleteAsked(const CellRect& r) {
    Workspace& ws = view_.workspace();
    const std::string question = Format(ws.strings.askDeleteZone.c_str(), r.x0 + 1, r.y0 + 1, r.x1, r.y1);
    if (view_.prompt().AskOkCancel(question) != Answer::Yes) return;
    ops::DeleteZoneLeds(ws, {r}, view_.prompt(), {});  // the step stays even for an empty zone
    view_.Changed();
}

}  // namespace corv
