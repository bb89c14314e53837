#include "ops/Layout.h"

#include <algorithm>
#include <string>
#include <utility>

#include "base/FileUtil.h"
#include "controller/LayoutExport.h"
#include "lang/Render.h"
#include "lang/UiStrings.h"
#include "lang/messages/SculptMessages.h"
#include "ops/Import.h"
#include "workspace/LayoutOps.h"
#include "workspace/Workspace.h"

namespace corv::ops {

namespace {

// The parameter message with the refusal's code and values.
Failure ParamRefusal(const Workspace& ws, int code, std::vector<std::string> args = {}) {
    return Failure{code, ws.strings.paramError, {}, std::move(args), nullptr};
}

// A file operation that failed, as the refusal `code` (its reason names the file).
Failure FileRefusal(Failure why, int code) {
    why.code = code;
    return why;
}

// An add that changed nothing leaves no step to undo.
void DropEmptyStep(Layout& layout) {
    if (!layout.undo.empty() && layout.undo.back().entries.empty()) layout.DropEmptyStep();
}

// Whether a line from `line` on has room for `points` more within `lineLimit`.
bool RoomFrom(const Layout& layout, int line, std::size_t points, int lineLimit) {
    for (int l = std::max(line, 0); l < kLineCount; ++l) {
        if (layout.lines[static_cast<std::size_t>(l)].size() + points <= static_cast<std::size_t>(lineLimit)) return true;
    }
    return false;
}

}  // namespace

Result<NewLayoutReply> NewLayout(Workspace& ws, const NewLayoutRequest& r, Prompt& /*prompt*/,
                                 const ProgressFn& /*progress*/) {
    using R = Result<NewLayoutReply>;
    const int rows = std::max(1, r.rows), cols = std::max(1, r.cols);
    if (!GridWithinLimit(rows, cols)) {
        return R::Fail(Failure{kNewLayoutTooLarge, GridLimitMessage(ws, rows, cols), {},
                               {std::to_string(rows), std::to_string(cols)}, nullptr});
    }
    corv::NewLayout(ws, rows, cols, r.sphere, r.defaultChip.value_or(DefaultChip(ws)));
    return NewLayoutReply{ws.layout.grid.rows, ws.layout.grid.cols};
}

DisplayModule ModuleToAdd(const Workspace& ws, int index) {
    if (index > 0 && index < static_cast<int>(ws.modules.size())) return ws.modules.modules()[static_cast<std::size_t>(index)];
    return DisplayModule{"Single pixel", 1, 1, {0}};
}

Result<AddLedsReply> AddLeds(Workspace& ws, const AddLedsRequest& r, Prompt& /*prompt*/, const ProgressFn& /*progress*/) {
    using R = Result<AddLedsReply>;
    const DisplayModule module = ModuleToAdd(ws, r.module);
    int line = r.line;
    const int added = AddByModule(ws.layout, line, r.drag, module, r.module <= 0, r.options);
    if (added > 0) return AddLedsReply{added, line};
    DropEmptyStep(ws.layout);
    if (!module.offsets.empty() && !RoomFrom(ws.layout, line, module.offsets.size(), r.options.lineLimit)) {
        return R::Fail(Failure{kAddLinesFull,
                               Format(Render(msg::sculpt::kLinesFull, ws.app.language).c_str(), line + 1, r.options.lineLimit),
                               {},
                               {std::to_string(line + 1), std::to_string(r.options.lineLimit)},
                               &msg::sculpt::kLinesFull});
    }
    return R::Fail(ParamRefusal(ws, kAddNothingPlaced, {std::to_string(line + 1)}));
}

int NextLine(const Result<AddLedsReply>& result, int line) {
    if (result) return result->line;
    const auto& args = result.failure().args;
    return args.empty() ? line : std::stoi(args.front()) - 1;
}

Result<DeleteZoneReply> DeleteZoneLeds(Workspace& ws, const ZoneRequest& r, Prompt& /*prompt*/,
                                       const ProgressFn& /*progress*/) {
    using R = Result<DeleteZoneReply>;
    const int removed = DeleteZone(ws.layout, r.zone);
    if (removed == 0) return R::Fail(ParamRefusal(ws, kZoneEmpty));
    return DeleteZoneReply{removed};
}

Result<CopyZoneReply> CopyZoneLeds(Workspace& ws, const ZoneRequest& r, Prompt& /*prompt*/,
                                   const ProgressFn& /*progress*/) {
    using R = Result<CopyZoneReply>;
    LineClipboard clip = CopyZone(ws.layout, r.zone);
    if (clip.Empty()) return R::Fail(ParamRefusal(ws, kZoneEmpty));
    return CopyZoneReply{std::move(clip)};
}

Result<PasteLedsReply> PasteLeds(Workspace& ws, const PasteLedsRequest& r, Prompt& /*prompt*/,
                                 const ProgressFn& /*progress*/) {
    using R = Result<PasteLedsReply>;
    if (!r.clip) return R::Fail(ParamRefusal(ws, kPasteNothingPlaced));
    const int placed = PasteFragments(ws.layout, *r.clip, r.col, r.row, r.line, r.lineLimit, r.allowRepeat, r.mask);
    if (placed == 0) return R::Fail(ParamRefusal(ws, kPasteNothingPlaced));
    return PasteLedsReply{placed};
}

Result<Done> TransferLeds(Workspace& ws, const TransferLedsRequest& r, Prompt& /*prompt*/, const ProgressFn& /*progress*/) {
    using R = Result<Done>;
    if (!ws.layout.grid.Contains(r.row, r.col)) return R::Fail(ParamRefusal(ws, kTransferOutsideGrid));
    if (!Transfer(ws.layout, r.col, r.row, r.line)) return R::Fail(ParamRefusal(ws, kTransferNothing));
    return Done{};
}

Result<Done> ReverseRun(Workspace& ws, const ReverseRunRequest& r, Prompt& /*prompt*/, const ProgressFn& /*progress*/) {
    using R = Result<Done>;
    if (!Reverse(ws.layout, r.colA, r.rowA, r.colB, r.rowB)) return R::Fail(ParamRefusal(ws, kReverseNoRun));
    return Done{};
}

Result<Done> MoveLed(Workspace& ws, const MoveLedRequest& r, Prompt& /*prompt*/, const ProgressFn& /*progress*/) {
    using R = Result<Done>;
    const LayoutGrid& grid = ws.layout.grid;
    if (!grid.Contains(r.toRow, r.toCol)) return R::Fail(ParamRefusal(ws, kMoveOutsideGrid));
    const std::size_t cell = static_cast<std::size_t>(r.toRow) * grid.cols + static_cast<std::size_t>(r.toCol);
    if (r.mask && cell < r.mask->size() && (*r.mask)[cell] == 0) return R::Fail(ParamRefusal(ws, kMoveRefusedByBackground));
    if (!MovePoint(ws.layout, r.fromCol, r.fromRow, r.toCol, r.toRow, r.allowRepeat)) {
        return R::Fail(ParamRefusal(ws, kMoveNothing));
    }
    return Done{};
}

Result<RepeatLedsReply> RepeatLeds(Workspace& ws, const RepeatLedsRequest& r, Prompt& /*prompt*/,
                                   const ProgressFn& /*progress*/) {
    using R = Result<RepeatLedsReply>;
    if (r.times < 1) return R::Fail(ParamRefusal(ws, kRepeatNoTimes));
    const int added = PixelsRepeat(ws.layout, r.zone, r.times);
    if (added == 0) return R::Fail(ParamRefusal(ws, kRepeatNothing));
    return RepeatLedsReply{added};
}

Result<DisplayModule> ArrayCopyModule(const Workspace& ws, const CellRect& zone, int lineLimit) {
    using R = Result<DisplayModule>;
    std::vector<std::uint32_t> offsets;
    for (const Line& line : ws.layout.lines) {
        for (LinePoint p : line) {
            if (zone.Contains(p)) {
                offsets.push_back((static_cast<std::uint32_t>(PointRow(p) - zone.y0) << 16) |
                                  static_cast<std::uint32_t>(PointCol(p) - zone.x0));
            }
        }
        if (!offsets.empty()) break;
    }
    if (offsets.empty() || offsets.size() > static_cast<std::size_t>(std::max(lineLimit, 0))) {
        return R::Fail(Failure{kArrayPixelRange,
                               Format(Render(msg::sculpt::kArrayCopyPixelRange, ws.app.language).c_str(), lineLimit),
                               {},
                               {},
                               &msg::sculpt::kArrayCopyPixelRange});
    }
    return DisplayModule{"", static_cast<std::uint16_t>(zone.x1 - zone.x0), static_cast<std::uint16_t>(zone.y1 - zone.y0),
                         std::move(offsets)};
}

Result<AddLedsReply> ArrayCopyLeds(Workspace& ws, const ArrayCopyRequest& r, Prompt& /*prompt*/,
                                   const ProgressFn& /*progress*/) {
    using R = Result<AddLedsReply>;
    const auto module = ArrayCopyModule(ws, r.zone, r.options.lineLimit);
    if (!module) return R::Fail(module.failure());
    int line = r.line;
    const int added = AddByModule(ws.layout, line, r.drag, *module, false, r.options);
    if (added > 0) return AddLedsReply{added, line};
    DropEmptyStep(ws.layout);
    return R::Fail(ParamRefusal(ws, kArrayNothingPlaced, {std::to_string(line + 1)}));
}

Result<LineOperationReply> OperateLines(Workspace& ws, const LineOperationRequest& r, Prompt& /*prompt*/,
                                        const ProgressFn& /*progress*/) {
    using R = Result<LineOperationReply>;
    using K = LineOperationKind;
    Layout& layout = ws.layout;
    LineOperationReply reply;
    bool changed = true;
    switch (r.kind) {
        case K::Exchange:
        case K::Unite:
            if (r.b < 0 || r.b >= kLineCount || r.a == r.b) return R::Fail(ParamRefusal(ws, kLinesNotTwo));
            changed = r.kind == K::Exchange ? ExchangeLines(layout, r.a, r.b) : UniteLines(layout, r.a, r.b);
            break;
        case K::Delete:
            reply.count = DeleteLines(layout, r.a, r.b, r.to);
            changed = reply.count >= 0;
            break;
        case K::Move:
            reply.count = MoveLines(layout, r.a, r.b, r.to, r.dx, r.dy);
            changed = reply.count > 0;
            break;
        case K::Copy:
            reply.data = CopyLines(layout, r.a, r.b);
            break;
    }
    if (!changed) return R::Fail(ParamRefusal(ws, kLinesUnchanged));
    return reply;
}

Result<ControllerTypeReply> SetControllerType(Workspace& ws, const ControllerTypeRequest& r, Prompt& /*prompt*/,
                                              const ProgressFn& /*progress*/) {
    using R = Result<ControllerTypeReply>;
    if (r.type < kMasterSlave || r.type > kSimpleController) return R::Fail(ParamRefusal(ws, kControllerTypeUnknown));
    const ControllerTypeState state = ApplyControllerType(ws.layout.setting, r.type, r.state);
    ws.layout.MarkChanged();
    return ControllerTypeReply{state};
}

Result<Done> SetLinesPerSlave(Workspace& ws, const LinesPerSlaveRequest& r, Prompt& /*prompt*/,
                              const ProgressFn& /*progress*/) {
    using R = Result<Done>;
    if (!IsPortsPerSlaveChoice(r.ports)) return R::Fail(ParamRefusal(ws, kPortsNotAChoice));
    if (ws.layout.setting.controllerType == kSimpleController && r.ports != 4) {
        return R::Fail(ParamRefusal(ws, kPortsSimpleController));
    }
    SetPortsPerSlave(ws, r.ports);
    return Done{};
}

Result<SlaveParametersReply> SetSlaveParameters(Workspace& ws, const SlaveParametersRequest& r, Prompt& /*prompt*/,
                                                const ProgressFn& /*progress*/) {
    SlaveParametersReply reply;
    reply.message = ApplyParameters(ws.layout.setting, r.values, r.slaves, r.rowCount, ws.app.language);
    ws.layout.MarkChanged();
    return reply;
}

Result<Done> ExportModules(Workspace& ws, const ExportModulesRequest& r, Prompt& /*prompt*/, const ProgressFn& /*progress*/) {
    using R = Result<Done>;
    if (auto exported = ws.modules.Export(r.path); !exported) return R::Fail(FileRefusal(exported.failure(), kModulesNotExported));
    return Done{};
}

Result<ImportModulesReply> ImportModules(Workspace& ws, const ImportModulesRequest& r, Prompt& /*prompt*/,
                                         const ProgressFn& /*progress*/) {
    using R = Result<ImportModulesReply>;
    if (r.checked) {
        const auto bytes = ReadFileBytes(r.path);
        if (!bytes) return R::Fail(FileRefusal(bytes.failure(), kModulesCannotRead));
        if (const std::string why = CheckModuleFile(*bytes); !why.empty()) {
            return R::Fail(Failure{kModulesNotModuleFile, ws.strings.paramError, why, {}, nullptr});
        }
    }
    ImportModulesReply reply{ws.modules.Import(r.path)};
    if (r.keep) {
        if (auto kept = ws.modules.Rewrite(ws.home / kModuleFileName); !kept) {
            return R::Fail(FileRefusal(kept.failure(), kModulesNotKept));
        }
    }
    return reply;
}

Result<Done> DeleteModule(Workspace& ws, const DeleteModuleRequest& r, Prompt& /*prompt*/, const ProgressFn& /*progress*/) {
    using R = Result<Done>;
    if (r.index <= 0 || r.index >= static_cast<int>(ws.modules.size())) return R::Fail(ParamRefusal(ws, kModuleNotUsers));
    ws.modules.Delete(r.index, ws.home / kModuleFileName);
    return Done{};
}

Result<Done> ExportMap(Workspace& ws, const ExportMapRequest& r, Prompt& /*prompt*/, const ProgressFn& /*progress*/) {
    using R = Result<Done>;
    ws.layout.RecomputeLineCount();
    if (auto written = WriteFileAtomic(r.path, MapFileBytes(ws.layout, ws.lampTypes)); !written) {
        return R::Fail(FileRefusal(written.failure(), kMapNotWritten));
    }
    return Done{};
}

std::optional<Failure> HmcRefusalOf(const Workspace& ws, const ExportHmcRequest& r) {
    if (!HmcFileBytes(ws.layout, ws.lampTypes, r.colours, r.selected)) return ParamRefusal(ws, kHmcOutsideLimits);
    return std::nullopt;
}

Result<Done> ExportHmc(Workspace& ws, const ExportHmcRequest& r, Prompt& /*prompt*/, const ProgressFn& /*progress*/) {
    using R = Result<Done>;
    const auto bytes = HmcFileBytes(ws.layout, ws.lampTypes, r.colours, r.selected);
    if (!bytes) return R::Fail(ParamRefusal(ws, kHmcOutsideLimits));
    if (auto written = WriteFileAtomic(r.path, *bytes); !written) return R::Fail(FileRefusal(written.failure(), kHmcNotWritten));
    return Done{};
}

}  // namespace corv::ops
