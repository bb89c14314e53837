#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include <QImage>

#include "content/Generators.h"
#include "ops/Operation.h"

namespace corv::ops {

// "Generate": a run of frames of one generator mode and style after a frame of the current
// clip, painted with the workspace's colour list over its background colour (cover mode as
// the workspace has it), the port styles along the workspace's layout.
struct GenerateRequest {
    GeneratorMode mode = GeneratorMode::Moving;
    int style = 0;  // 0-based
    // The frame the run follows; none: the current frame.
    std::optional<std::size_t> follows;
    std::optional<PixelRect> editArea;  // picture coordinates
    // What the pattern panel (and the command line's flags) give.
    bool recycle = false;
    int step = 1;     // S
    int count = 100;  // N (the Jalousie's block number, the picture-and-text steps)
    int render = 0;   // 0..10
    std::uint32_t seed = 1;
    ToyBricksOptions bricks;
    VShapeOptions vshape;
    OtherOptions other;
    ParticleOptions particles = DefaultParticleOptions();
    QImage particlePicture = DefaultParticlePicture();
    PictureTextOptions pictureText;
};

struct GenerateReply {
    int made = 0;              // frames made
    std::size_t last = 0;      // the last frame made
    int step = 1;              // the step the run took (an invalid one is reset to 1)
    std::size_t total = 0;     // frames in the clip afterwards
};

enum GenerateRefusal { kGenerateNoFrames = 1, kGenerateNoColours, kGenerateRefused };

// Whether the moving style follows the ports of the layout.
bool UsesPorts(GeneratorMode mode, int style);

// The request's own values as the engine's run, with nothing of a workspace (as a preview
// renders them into frames of its own).
GeneratorRun GeneratorSettings(const GenerateRequest& request);
// The whole run: the request's values over the workspace's clip, history, colours, background,
// cover mode and layout.
GeneratorRun MakeGeneratorRun(Workspace& ws, const GenerateRequest& request);

// Why a run cannot start in this workspace (no frame to follow, an empty colour list); none
// when it can. The window asks before its dialogs open.
std::optional<Failure> GenerateRefusalOf(const Workspace& ws);

Result<GenerateReply> Generate(Workspace& ws, const GenerateRequest& request, Prompt& prompt,
                               const ProgressFn& progress);

}  // namespace corv::ops
