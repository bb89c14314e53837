#include "ops/Budget.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "lang/Render.h"
#include "lang/UiStrings.h"
#include "project/FrameRange.h"
#include "workspace/Workspace.h"

namespace corv::ops {

namespace {

Failure BadValue(const BadBudgetValue& bad, std::uint8_t language) {
    char given[32];
    std::snprintf(given, sizeof given, "%g", bad.given);
    const std::string name = Render(BudgetValueName(bad.value), language);
    const Text& text = BadBudgetValueMessage(bad);
    return Failure{kBudgetBadValue, Render(text, language, {name, given}), {}, {name, given}, &text};
}

}  // namespace

Result<BudgetReply> ComputeBudget(Workspace& ws, const BudgetRequest& request, Prompt& /*prompt*/,
                                  const ProgressFn& progress) {
    using R = Result<BudgetReply>;
    BudgetOptions options = request.options;
    if (request.lampCurrentsFromHome && !ws.home.empty()) {
        for (const auto& [name, milliamps] : ReadLampMilliamps(ws.home / kLampCurrentFileName)) {
            options.lampMilliamps.emplace(name, milliamps);  // the request's own values stay
        }
    }
    if (options.slaveVolts.empty() && !request.lineFile.empty()) {
        options.slaveVolts = ReadSlaveVolts(PowerFileOf(request.lineFile));
    }
    if (auto bad = CheckBudgetOptions(options)) return R::Fail(BadValue(*bad, ws.app.language));

    std::unique_ptr<FrameSource> clipFrames;
    FrameSource* frames = request.frames;
    FrameShape shape{ws.layout.grid.rows, ws.layout.grid.cols};
    if (!frames) {
        const int clip = request.clip < 0 ? ws.frames.current() : request.clip;
        if (clip < 0 || clip >= ws.frames.Count() || ws.frames.clip(clip).frames.empty()) {
            return R::Fail(kBudgetNoClip, ws.strings.paramError);
        }
        const std::vector<Frame>& list = ws.frames.clip(clip).frames;
        shape = FrameShape{list.front().height(), list.front().width()};
        clipFrames = std::make_unique<ClipFrameSource>(list);
        frames = clipFrames.get();
    }
    if (request.shape) shape = *request.shape;
    const std::size_t end = request.end == 0 ? frames->Count() : request.end;
    if (!ValidRange(frames->Count(), static_cast<long long>(request.first), static_cast<long long>(end))) {
        return R::Fail(kBudgetOutOfRange, ws.strings.paramError);
    }
    if (ws.layout.setting.lineCount == 0) return R::Fail(kBudgetNoLayout, ws.strings.noLayout);

    ChipCatalogue homeCatalogue;
    const ChipCatalogue* catalogue = request.catalogue;
    if (!catalogue && !ws.home.empty()) {
        homeCatalogue = ChipCatalogue::Load(ws.home / kCatalogueFileName);
        catalogue = &homeCatalogue;
    }
    WriterInput in;
    in.layout = &ws.layout;
    in.lamps = &ws.lampTypes;
    in.catalogue = catalogue;
    in.frame = shape;
    auto budget = ComputePowerBudget(in, *frames, request.first, end, options, progress);
    if (!budget) return R::Fail(kBudgetUnreadableFrame, budget.message(), budget.message());
    BudgetReply reply;
    reply.budget = std::move(*budget);
    for (const BudgetWarning& warning : reply.budget.warnings) {
        reply.warnings.push_back(BudgetWarningText(warning, ws.app.language));
    }
    return R(std::move(reply));
}

}  // namespace corv::ops
