#include "content/generators/GeneratorUnit.h"

namespace corv::generators {

namespace {

// "Interleaving": neighbouring rows (or columns) move one pixel a frame in opposite directions.
class Interleaving final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::Interleaving; }
    int Run(GeneratorJob& job, int count) const override {
        const PixelRect& r = job.r;
        const int H = job.H;
        return RunFrames(job, count, FrameLoop{PlainStep(job.run), false, false}, [&](FrameStep& s) {
            if (job.style == 0) {
                for (int y = r.top; y < r.bottom; ++y) {
                    const bool even = (H - 1 - y) % 2 == 0;  // rows counted as stored, from the bottom
                    Move(s.P, s.F, Sub(r.left, y, r.right, y + 1), even ? kRight : kLeft, 1, false, s.colour);
                }
            } else {
                for (int x = r.left; x < r.right; ++x) Move(s.P, s.F, Sub(x, r.top, x + 1, r.bottom), x % 2 == 0 ? kUp : kDown, 1, false, s.colour);
            }
        });
    }
};

}  // namespace

const Generator& InterleavingGenerator() {
    static const Interleaving unit;
    return unit;
}

}  // namespace corv::generators
