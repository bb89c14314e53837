#include "app/sculpt/tools/SaveModuleTool.h"

#include "workspace/Workspace.h"

namespace corv {

void SaveModuleTool::Apply(const CellRect& r, const Drag&, bool) {
    Workspace& ws = view_.workspace();
    DisplayModule module{"", static_cast<std::uint16_t>(r.x1 - r.x0), static_cast<std::uint16_t>(r.y1 - r.y0),
                         FirstLineInside(r)};
    while (view_.AskModuleName()) {
        const auto name = view_.AskModuleName()(module);
        if (!name) return;
        module.name = name->toStdString();
        const auto result = ws.modules.Add(module, ws.home / kModuleFileName, view_.prompt(), ws.strings, ws.app.language);
        if (result != ModuleList::AddResult::Refused) break;
    }
    view_.ModulesChanged();
}

}  // namespace corv
