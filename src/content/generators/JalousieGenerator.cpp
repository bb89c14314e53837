#include "content/generators/GeneratorUnit.h"

namespace corv::generators {

namespace {

// The width of each slat: the block number run.count divides the span into slats.
int SlatWidth(const GeneratorJob& job) {
    const int span = job.style < 2 ? job.w : job.h;
    const int blocks = std::clamp(job.run.count, 1, std::max(span, 1));
    return (span + blocks - 1) / blocks;
}

// "Jalousie": slats of the current colour open one pixel a frame.
class Jalousie final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::Jalousie; }
    // One frame per column of its slats.
    int Frames(GeneratorJob& job) const override { return SlatWidth(job); }
    int Run(GeneratorJob& job, int count) const override {
        const int slat = SlatWidth(job);
        const PixelRect& r = job.r;
        const int style = job.style, w = job.w, h = job.h;
        return RunFrames(job, count, FrameLoop{PlainStep(job.run), false, true}, [&](FrameStep& s) {
            const bool across = style < 2;
            for (int y = r.top; y < r.bottom; ++y) {
                for (int x = r.left; x < r.right; ++x) {
                    const int along = across ? x - r.left : y - r.top;
                    const int span = across ? w : h;
                    int pos = along % slat;
                    // Left and Up open from the far side of each slat: the painted part mirrored.
                    if (style == 0 || style == 2) pos = (span - 1 - along) % slat;
                    if (pos <= s.f) s.F.SetPixel(x, y, s.colour);
                }
            }
        });
    }
};

}  // namespace

const Generator& JalousieGenerator() {
    static const Jalousie unit;
    return unit;
}

}  // namespace corv::generators
