#include "content/generators/GeneratorUnit.h"

#include <cmath>

namespace corv::generators {

namespace {

// One pixel of a "Gradual changing" frame from the previous frame P (and, for the fadeout, the
// picture the run started from).
void PaintGradualPixel(const GeneratorJob& job, const Frame& start, int count, FrameStep& s, int x, int y) {
    const int W = job.W, H = job.H;
    const Frame& P = s.P;
    Frame& F = s.F;
    const Bgr p = P.Pixel(x, y);
    switch (job.style) {
        case 0:
            F.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(std::min(p.b + 5, 255)), static_cast<std::uint8_t>(std::min(p.g + 5, 255)),
                                 static_cast<std::uint8_t>(std::min(p.r + 5, 255))});
            break;
        case 1:
            F.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(std::max(p.b - 5, 0)), static_cast<std::uint8_t>(std::max(p.g - 5, 0)),
                                 static_cast<std::uint8_t>(std::max(p.r - 5, 0))});
            break;
        case 2:
        case 3: {
            // Inflate / deflate: the previous picture scaled one pixel larger or
            // smaller on every side (nearest pixel).
            const double grow = job.style == 2 ? 2.0 : -2.0;
            if (W + grow <= 0 || H + grow <= 0) break;  // nothing left to draw
            const double sx = (W + grow) / W, sy = (H + grow) / H;
            const int fx = static_cast<int>(std::floor((x + 0.5 + grow / 2) / sx));
            const int fy = static_cast<int>(std::floor((y + 0.5 + grow / 2) / sy));
            if (fx >= 0 && fy >= 0 && fx < W && fy < H) F.SetPixel(x, y, P.Pixel(fx, fy));
            break;
        }
        case 4: {
            const Bgr st = start.Pixel(x, y), b = job.run.background;
            const int f = s.f;
            auto mix = [&](int from, int to) { return static_cast<std::uint8_t>(from + (to - from) * (f + 1) / count); };
            F.SetPixel(x, y, Bgr{mix(st.b, b.b), mix(st.g, b.g), mix(st.r, b.r)});
            break;
        }
        default:
            F.SetPixel(x, y, s.colour);
    }
}

// "Gradual changing": brighten, darken, inflate, deflate, fade out to the background, or the
// current colour each frame.
class Gradual final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::Gradual; }
    int Run(GeneratorJob& job, int count) const override {
        const Frame start = (*job.run.frames)[job.run.current];  // Fadeout runs from the picture of the start
        const PixelRect& r = job.r;
        return RunFrames(job, count, FrameLoop{PlainStep(job.run), false, true}, [&](FrameStep& s) {
            for (int y = r.top; y < r.bottom; ++y) {
                for (int x = r.left; x < r.right; ++x) PaintGradualPixel(job, start, count, s, x, y);
            }
        });
    }
};

}  // namespace

const Generator& GradualGenerator() {
    static const Gradual unit;
    return unit;
}

}  // namespace corv::generators
