#include "content/generators/GeneratorUnit.h"

namespace corv::generators {

namespace {

// "Symmetry": the halves (or quarters) of the rectangle move apart or together.
class Symmetry final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::Symmetry; }
    int Run(GeneratorJob& job, int count) const override {
        const int style = job.style;
        const int step = ValidStep(job.run.step, style < 2 ? kLeft : style < 4 ? kUp : kLeftUp, job.W, job.H);
        const PixelRect& r = job.r;
        const bool recycle = job.run.recycle;
        return RunFrames(job, count, FrameLoop{step, style >= 4, false}, [&](FrameStep& s) {
            const Frame& P = s.P;
            Frame& F = s.F;
            const Bgr colour = s.colour;
            const int xm = (r.left + r.right) / 2, ym = (r.top + r.bottom) / 2;
            const bool open = style % 2 == 0;
            if (style < 2) {
                Move(P, F, Sub(r.left, r.top, xm, r.bottom), open ? kLeft : kRight, step, recycle, colour);
                Move(P, F, Sub(xm, r.top, r.right, r.bottom), open ? kRight : kLeft, step, recycle, colour);
            } else if (style < 4) {
                Move(P, F, Sub(r.left, r.top, r.right, ym), open ? kUp : kDown, step, recycle, colour);
                Move(P, F, Sub(r.left, ym, r.right, r.bottom), open ? kDown : kUp, step, recycle, colour);
            } else {
                Move(P, F, Sub(r.left, r.top, xm, ym), open ? kLeftUp : kRightDown, step, recycle, colour);
                Move(P, F, Sub(xm, r.top, r.right, ym), open ? kRightUp : kLeftDown, step, recycle, colour);
                Move(P, F, Sub(r.left, ym, xm, r.bottom), open ? kLeftDown : kRightUp, step, recycle, colour);
                Move(P, F, Sub(xm, ym, r.right, r.bottom), open ? kRightDown : kLeftUp, step, recycle, colour);
            }
        });
    }
};

}  // namespace

const Generator& SymmetryGenerator() {
    static const Symmetry unit;
    return unit;
}

}  // namespace corv::generators
