#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Result.h"
#include "content/ColourList.h"
#include "content/Particles.h"
#include "content/PictureText.h"
#include "layout/Layout.h"
#include "project/FrameRange.h"

namespace corv {

// The pattern generators: each appends a run of frames after the current frame of a clip, every
// frame made from the one before it, inside the working rectangle, painting with the colour list
// whose index advances once per frame.
enum class GeneratorMode {
    Moving = 0, Symmetry = 1, Interleaving = 2, Diffusing = 3, Rotation = 4, Gradual = 5, Dropping = 6,
    PictureAndText = 7, ToyBricks = 8, SoundWave = 9, Jalousie = 10, VShape = 11, Other = 12
};
inline constexpr int kGeneratorModes = 13;

// The render modes of "Romance:": 0 "Not", then Left, Right, Up, Down, Left up, Left down,
// Right up, Right down, Curve up, Curve down.
inline constexpr int kRenderModes = 11;

// Names as the English lists give them: the mode combo and each mode's sub-styles.
const char* GeneratorModeName(GeneratorMode mode);
// "moving", "gradual-changing", ...: the English name in lower case with dashes.
std::string GeneratorModeKey(GeneratorMode mode);
std::optional<GeneratorMode> GeneratorModeFromKey(const std::string& key);
std::vector<std::string> GeneratorStyles(GeneratorMode mode);
const char* RenderModeName(int render);
// Whether this program runs a mode's style (the picture-and-text mode and the particle system
// come with the design editor).
bool GeneratorAvailable(GeneratorMode mode, int style);

// The toy-bricks sub-panel: bricks of width x height cells travel in the style's direction along
// lanes `space` apart, one every `frequency` frames in a lane chosen at random, and pile up
// against the far edge; a brick that lands bounces back `rebound` cells first. The run ends when
// every lane is full, after `overpass` more frames of the finished wall (at most 20000 frames and
// a gibibyte of them).
struct ToyBricksOptions {
    int width = 4;
    int height = 2;
    int space = 1;
    int frequency = 3;
    int overpass = 5;
    int rebound = 2;
};

// The V-shape sub-panel: chevrons of the colour list, `interval` pixels a colour, travelling in
// the style's direction ("V move"), folding over and back as they travel ("V turn"), or two of
// them meeting from both edges ("V vis-a-vis"); the run lays the colour list `cycles` times (at
// most a gibibyte of frames).
struct VShapeOptions {
    enum Kind { Move = 0, Turn = 1, VisAVis = 2 } kind = Move;
    int interval = 2;
    int cycles = 1;
};

// The dialogs of "Other": Diffuse (rings out of or into a chosen point, kept in the file
// "Diffusing.dfg"), Linetype (parallel stripes of the colour list moving across at an angle) and
// Random (blocks of random size and place in the colours of the list).
struct OtherOptions {
    // Diffuse
    int centreX = 50, centreY = 50;  // percent of the working rectangle
    enum Shape { Circle = 0, Square = 1, Diamond = 2 } shape = Circle;
    int ringWidth = 2;
    bool outward = true;
    // Linetype
    int angle = 45;  // degrees
    int lineWidth = 2;
    int speed = 1;   // pixels a frame
    // Random
    int minSize = 1, maxSize = 4;
    int blocksPerFrame = 6;
    bool keep = false;  // the blocks stay from frame to frame
};

// The Diffuse dialog's values as kept in "Diffusing.dfg" (an INI file of the application home).
inline constexpr const char* kDiffusingFileName = "Diffusing.dfg";
OtherOptions LoadDiffusing(const std::filesystem::path& file);
// The failure names the file and the reason a write was refused.
Result<Done> SaveDiffusing(const std::filesystem::path& file, const OtherOptions& options);

struct GeneratorRun {
    std::vector<Frame>* frames = nullptr;
    std::size_t current = 0;           // the frame the run follows; the last one made afterwards
    FrameUndo* undo = nullptr;
    ColourList* colours = nullptr;     // its selected index is the current colour
    Bgr background{};
    bool coverMode = false;
    std::optional<PixelRect> editArea;  // picture coordinates
    const Layout* layout = nullptr;     // the wiring, for the port styles
    bool recycle = false;
    int step = 1;                       // S
    int count = 100;                    // N (the Jalousie's block number)
    int render = 0;                     // 0..10
    std::uint32_t seed = 1;             // the random styles
    ToyBricksOptions bricks;
    VShapeOptions vshape;
    OtherOptions other;
    // "Particle": the dialog's values and the picture a particle is drawn as.
    ParticleOptions particles = DefaultParticleOptions();
    QImage particlePicture = DefaultParticlePicture();
    // "PictureAndText": the list, the transition kind, the font and the built text picture.
    PictureTextOptions pictureText;
    // Why a run was refused (RunGenerator returned -1), in English.
    std::string error;
};

// The most a run may add: 4 GiB of new frames.
inline constexpr std::uint64_t kMaxRunBytes = 4ull << 30;

// Runs mode/style (0-based style); returns the number of frames made, or -1 (with `error`) when
// the style is not available here or its needs are not met (an empty colour list, a port style
// without a layout that fits the picture, more than kMaxRunBytes of frames).
int RunGenerator(GeneratorRun& run, GeneratorMode mode, int style);

// "Romance": paints every pixel of the rectangle that differs from the background with the
// colour list, the index running in the render mode's direction from `start`.
void RenderColours(Frame& frame, const PixelRect& r, Bgr background, const ColourList& colours, int start, int render);

// The step S a Moving or Symmetry style takes: 1 when it is not below the span of its
// direction (the width for left and right, the height for up and down, both otherwise).
int ValidStep(int step, int style, int width, int height);

}  // namespace corv
