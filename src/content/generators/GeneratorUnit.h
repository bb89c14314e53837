#pragma once

// The pattern generators' own parts, shared by the units of the modes (one file each in this
// folder) and RunGenerator; nothing outside src/content includes this header.

#include <algorithm>
#include <cstddef>
#include <random>
#include <utility>
#include <vector>

#include "content/Generators.h"

namespace corv::generators {

// The directions of the Moving styles 1..8, in their order.
enum Dir { kLeft, kRight, kUp, kDown, kLeftUp, kLeftDown, kRightUp, kRightDown };

// What RunGenerator has worked out for every mode before the mode's unit runs.
struct GeneratorJob {
    GeneratorRun& run;
    int style;               // 0-based
    int W, H;                // the picture
    PixelRect r;             // the working rectangle, picture coordinates
    int w, h;                // its size
    std::size_t frameBytes;  // the bytes of one frame
    std::mt19937 random;     // seeded with run.seed, for the random styles
};

// One mode's unit. RunGenerator checks the common needs (a frame to follow, an available style,
// a colour list), asks the unit whether it accepts the run, how many frames it makes, refuses
// more than kMaxRunBytes of them, then runs it.
class Generator {
public:
    virtual ~Generator() = default;
    virtual GeneratorMode mode() const = 0;
    // False (with run.error) when the mode's own needs are not met.
    virtual bool Accepts(GeneratorJob& /*job*/) const { return true; }
    // The frames the run makes: the count asked for, unless the mode decides the length itself.
    virtual int Frames(GeneratorJob& job) const { return std::max(job.run.count, 0); }
    // Makes `count` (> 0) frames after the current one: the number made, or -1 with run.error.
    virtual int Run(GeneratorJob& job, int count) const = 0;
};

// The unit of a mode; null for a value that names no mode.
const Generator* FindGenerator(GeneratorMode mode);

// Each mode's unit (defined in its own file), for the registry.
const Generator& MovingGenerator();
const Generator& SymmetryGenerator();
const Generator& InterleavingGenerator();
const Generator& DiffusingGenerator();
const Generator& RotationGenerator();
const Generator& GradualGenerator();
const Generator& DroppingGenerator();
const Generator& PictureAndTextGenerator();
const Generator& ToyBricksGenerator();
const Generator& SoundWaveGenerator();
const Generator& JalousieGenerator();
const Generator& VShapeGenerator();
const Generator& OtherGenerator();

// The most frames a toy-bricks or V-shape run makes.
inline constexpr int kMaxBrickFrames = 20000;

// The frames of one run: the common frame step with its undo and cover mode.
class Stepper {
public:
    Stepper(GeneratorRun& run, std::size_t planned);
    ~Stepper();
    Stepper(const Stepper&) = delete;
    Stepper& operator=(const Stepper&) = delete;
    // The next frame, current afterwards; `copy`: a copy of the current frame instead of a blank.
    Frame& Next(bool copy, const PixelRect& r);
    const Frame& Previous() const { return frames_[run_.current - 1]; }

private:
    GeneratorRun& run_;
    std::vector<Frame>& frames_;
    std::size_t existing_ = 0;
    bool recorded_ = false;
};

// The colour list's current entry, and entry i taken round the list.
Bgr Current(const ColourList& list);
Bgr Entry(const ColourList& list, long long i);
// The colour index one on, round the list.
void Advance(ColourList& list);

// One Moving rule on rectangle r from P into F with step s (picture coordinates).
void Move(const Frame& P, Frame& F, const PixelRect& r, Dir d, int s, bool recycle, Bgr colour);
inline PixelRect Sub(int l, int t, int r, int b) { return PixelRect{l, t, r, b}; }

// The ports of the layout with their points in picture coordinates; empty lines left out.
// Points outside the frame (a line file may hold them) are left out.
std::vector<std::vector<std::pair<int, int>>> Ports(const Layout& layout, int width, int height);

// A length the mode decides, kept within a gibibyte of new frames.
int WithinGibibyte(const GeneratorJob& job, long long count);

// The step S of the modes that take it from the run as it is (at least 1).
inline int PlainStep(const GeneratorRun& run) { return std::max(run.step, 1); }

// One frame of the common frame loop: the new frame, the one before it, its number, and the
// colour index and colour the frame paints with.
struct FrameStep {
    Frame& F;
    const Frame& P;
    int f;
    std::size_t index;
    Bgr colour;
};

// How the common frame loop runs: the step S it keeps in the run, whether each frame starts as a
// copy of the one before (else blank), whether "Romance" paints each frame afterwards.
struct FrameLoop {
    int step = 1;
    bool copy = false;
    bool romance = false;
};

// The frame loop of the modes that make each frame from the one before: `paint(FrameStep&)` draws
// a frame, then the colour index advances once.
template <class Paint>
int RunFrames(GeneratorJob& job, int count, const FrameLoop& loop, Paint&& paint) {
    GeneratorRun& run = job.run;
    ColourList& colours = *run.colours;
    run.step = loop.step;
    Stepper stepper(run, static_cast<std::size_t>(count));
    for (int f = 0; f < count; ++f) {
        const std::size_t index = static_cast<std::size_t>(colours.selected());
        Frame& F = stepper.Next(loop.copy, job.r);
        const Frame& P = stepper.Previous();  // no frame is added until the next step
        FrameStep step{F, P, f, index, Current(colours)};
        paint(step);
        if (run.render > 0 && loop.romance) RenderColours(F, job.r, run.background, colours, static_cast<int>(index), run.render);
        Advance(colours);
    }
    return count;
}

}  // namespace corv::generators
