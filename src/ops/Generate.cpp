#include "ops/Generate.h"

#include <algorithm>

#include "workspace/Workspace.h"

namespace corv::ops {

bool UsesPorts(GeneratorMode mode, int style) { return mode == GeneratorMode::Moving && style >= 8; }

GeneratorRun GeneratorSettings(const GenerateRequest& request) {
    GeneratorRun run;
    run.editArea = request.editArea;
    run.recycle = request.recycle;
    run.step = request.step;
    run.count = request.count;
    run.render = request.render;
    run.seed = request.seed;
    run.bricks = request.bricks;
    run.vshape = request.vshape;
    run.other = request.other;
    run.particles = request.particles;
    run.particlePicture = request.particlePicture;
    run.pictureText = request.pictureText;
    return run;
}

GeneratorRun MakeGeneratorRun(Workspace& ws, const GenerateRequest& request) {
    GeneratorRun run = GeneratorSettings(request);
    run.frames = &ws.frames.CurrentFrames();
    run.current = request.follows.value_or(static_cast<std::size_t>(std::max(ws.app.currentFrame, 0)));
    run.undo = &ws.frameUndo;
    run.colours = &ws.colourPanel.list;
    run.background = ws.app.backgroundColour;
    run.coverMode = ws.app.coverMode;
    run.layout = UsesPorts(request.mode, request.style) ? &ws.layout : nullptr;
    return run;
}

std::optional<Failure> GenerateRefusalOf(const Workspace& ws) {
    if (!ws.frames.HasCurrent() || ws.frames.CurrentClip().frames.empty()) {
        return Failure{kGenerateNoFrames, ws.strings.paramError, {}, {}};
    }
    if (ws.colourPanel.list.empty()) return Failure{kGenerateNoColours, ws.strings.colourListEmpty, {}, {}};
    return std::nullopt;
}

Result<GenerateReply> Generate(Workspace& ws, const GenerateRequest& request, Prompt& /*prompt*/,
                               const ProgressFn& /*progress*/) {
    using R = Result<GenerateReply>;
    if (auto refusal = GenerateRefusalOf(ws)) return R::Fail(std::move(*refusal));
    GeneratorRun run = MakeGeneratorRun(ws, request);
    const int made = RunGenerator(run, request.mode, request.style);
    if (made < 0) return R::Fail(kGenerateRefused, ws.strings.paramError + " (" + run.error + ")", run.error);
    return GenerateReply{made, run.current, run.step, run.frames->size()};
}

}  // namespace corv::ops
