#include "app/sculpt/tools/PixelsRepeatTool.h"

#include <algorithm>

#include "ops/Layout.h"
#include "workspace/Settings.h"
#include "workspace/Workspace.h"

namespace corv {

void PixelsRepeatTool::Apply(const CellRect& r, const Drag&, bool) {
    Workspace& ws = view_.workspace();
    int position = 0;
    if (r.x1 - r.x0 == 1 && r.y1 - r.y0 == 1) {
        for (const Line& line : ws.layout.lines) {
            const auto it = std::find(line.begin(), line.end(), MakePoint(r.y0, r.x0));
            if (it != line.end()) {
                position = static_cast<int>(it - line.begin());
                break;
            }
        }
    }
    const int group = ws.config ? ws.config->GetInt(keys::kSnapNumber, 8) : 8;
    const AskRepeatFunction& askRepeat = view_.AskRepeat();
    if (!askRepeat) return;
    const auto answer = askRepeat(position, group);
    if (!answer) return;
    if (ws.config && answer->second >= 1) ws.config->WriteInt(keys::kSnapNumber, answer->second);
    // A count below 1 does nothing.
    if (const auto repeated = ops::RepeatLeds(ws, {r, answer->first}, view_.prompt(), {});
        !repeated && repeated.failure().code == ops::kRepeatNoTimes) {
        return;
    }
    view_.Changed();
}

}  // namespace corv
