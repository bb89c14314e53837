#include "ops/Output.h"

#include <algorithm>
#include <utility>

#include "controller/LedImport.h"
#include "lang/UiStrings.h"
#include "media/ImportSource.h"
#include "project/FrameRange.h"
#include "workspace/Workspace.h"

namespace corv::ops {

std::optional<Failure> ControllerOutputRefusalOf(const Workspace& ws, const ControllerOutputRequest& request) {
    if (!request.frames && !ws.frames.HasCurrent()) return Failure{kOutputNoClip, ws.strings.paramError, {}, {}, nullptr};
    const std::size_t count = request.frames ? request.frames->Count() : ws.frames.CurrentClip().frames.size();
    const bool emptySource = request.frames && count == 0 && request.first == 0 && request.end == 0;
    if (!emptySource && !ValidRange(count, static_cast<long long>(request.first), static_cast<long long>(request.end))) {
        return Failure{kOutputOutOfRange, ws.strings.paramError, {}, {}, nullptr};
    }
    return std::nullopt;
}

Result<ControllerOutputReply> WriteControllerFiles(Workspace& ws, const ControllerOutputRequest& request, Prompt& prompt,
                                                   const ProgressFn& progress) {
    using R = Result<ControllerOutputReply>;
    if (auto refusal = ControllerOutputRefusalOf(ws, request)) return R::Fail(std::move(*refusal));
    if (ws.layout.setting.lineCount == 0) return R::Fail(kOutputNoLayout, ws.strings.noLayout);

    // The frames: the request's source, or the current clip's.
    std::optional<ClipFrameSource> clip;
    FrameSource* frames = request.frames;
    FrameShape shape{ws.app.frameHeight, ws.app.frameWidth};
    if (!frames) {
        const std::vector<Frame>& list = ws.frames.CurrentFrames();
        frames = &clip.emplace(list);
        shape = FrameShape{list.front().height(), list.front().width()};
    }
    shape = request.shape.value_or(shape);

    ChipCatalogue loaded;
    const ChipCatalogue* catalogue = request.catalogue;
    if (!catalogue) {
        loaded = ChipCatalogue::Load(ws.home / kCatalogueFileName);
        catalogue = &loaded;
    }
    WriterInput in;
    in.layout = &ws.layout;
    in.lamps = &ws.lampTypes;
    in.catalogue = catalogue;
    in.frame = shape;
    in.speed = request.speed;

    ControllerOutputReply reply;
    std::vector<std::pair<std::filesystem::path, CardCopyResult>> copies;
    auto afterFile = [&](const std::filesystem::path& file) {
        if (request.card != ControllerOutputRequest::Card::Copy) return;
        CardCopyResult copy = CopyToCard(file, request.probe, ws.strings, request.askBeforeReplacing ? &prompt : nullptr);
        if (copy.copied) reply.copied.push_back(copy.destination);
        copies.emplace_back(file, std::move(copy));
    };
    OutputResult r = OutputControllerFiles(in, *frames, request.first, request.end, request.path, ws.random, ws.strings,
                                           progress, afterFile);
    for (const auto& [file, copy] : copies) r.report.NoteCardCopy(file, copy);
    reply.files = std::move(r.files);
    reply.report = std::move(r.report);
    if (!r.ok) reply.failures = std::move(r.messages);
    return R(std::move(reply));
}

Result<ControllerImportReply> ImportControllerFile(Workspace& ws, const ControllerImportRequest& request, Prompt& prompt,
                                                   const ProgressFn& progress) {
    using R = Result<ControllerImportReply>;
    if (!ws.frames.HasCurrent()) return R::Fail(kLedImportNoClip, ws.strings.paramError);
    if (ws.layout.setting.lineCount == 0) return R::Fail(kLedImportNoLayout, ws.strings.noLayout);
    ImportResult r = ImportLedFile(request.path, ws.layout, ws.lampTypes, ws.frames, ws.app, ws.strings, progress);
    for (const std::string& warning : r.warnings) prompt.Inform(warning, PromptIcon::Warning);
    if (!r.ok) return R::Fail(kLedImportRefused, std::move(r.message));
    // The frames changed outside the history.
    ws.frameUndo.Reset();
    ws.frameUndo.MarkChangedOutside();
    return ControllerImportReply{r.blocks, std::move(r.warnings)};
}

Result<ImportFramesReply> ImportFrames(Workspace& ws, const ImportFramesRequest& request, Prompt& /*prompt*/,
                                       const ProgressFn& /*progress*/) {
    using R = Result<ImportFramesReply>;
    if (request.source.empty()) return R::Fail(kImportNoSource, ws.strings.paramError);
    const int width = request.width.value_or(ws.app.frameWidth), height = request.height.value_or(ws.app.frameHeight);
    auto opened = OpenImportSource(request.source, width, height, request.fit, ws.temp().path(), request.highSpeed);
    if (!opened) {
        const std::string& why = opened.message();
        return R::Fail(Failure{kImportUnreadable, request.source.string() + "\n" + why, why, {}, nullptr});
    }
    ImportFramesReply reply;
    reply.frames = std::move(*opened);
    reply.count = reply.frames->Count();
    reply.end = request.frames > 0 ? std::min(static_cast<std::size_t>(request.frames), reply.count) : reply.count;
    reply.shape = FrameShape{height, width};
    return R(std::move(reply));
}

}  // namespace corv::ops
