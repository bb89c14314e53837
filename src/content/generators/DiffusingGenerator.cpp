#include "content/generators/GeneratorUnit.h"

#include <cmath>

namespace corv::generators {

namespace {

// The rings of the ellipse and rectangle styles: the ring of each pixel of the rectangle (-1
// none) and the ring colours, ring 0 outermost.
struct Rings {
    std::vector<int> ringOf;
    std::vector<Bgr> colours;
};

Rings MakeRings(const GeneratorJob& job) {
    Rings rings;
    const int style = job.style, w = job.w, h = job.h;
    if (style == 2 || style == 3 || w <= 0 || h <= 0) return rings;
    std::vector<int>& ringOf = rings.ringOf;
    ringOf.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), -1);
    int ringCount = 0;
    if (style < 2) {
        // Ellipses from the whole rectangle inward, one pixel less per ring on the shorter axis.
        const double a = w / 2.0, b = h / 2.0, s = std::max(1.0, std::floor(std::min(a, b)));
        ringCount = static_cast<int>(s) + 1;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const double dx = (x + 0.5 - a) / a, dy = (y + 0.5 - b) / b;
                const double rho = std::sqrt(dx * dx + dy * dy);
                if (rho <= 1.0) ringOf[static_cast<std::size_t>(y * w + x)] = std::min(ringCount - 1, static_cast<int>(s * (1.0 - rho) + 0.5));
            }
        }
    } else {
        ringCount = (std::min(w, h) + 1) / 2;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) ringOf[static_cast<std::size_t>(y * w + x)] = std::min({x, y, w - 1 - x, h - 1 - y});
        }
    }
    rings.colours.assign(static_cast<std::size_t>(std::max(ringCount, 1)), job.run.background);
    return rings;
}

// Rhombus: the four quadrants move diagonally, out of or into the centre.
void PaintRhombus(const GeneratorJob& job, FrameStep& s) {
    const PixelRect& r = job.r;
    const Frame& P = s.P;
    Frame& F = s.F;
    const Bgr colour = s.colour;
    const bool recycle = job.run.recycle;
    const int xm = (r.left + r.right) / 2, ym = (r.top + r.bottom) / 2;
    const bool out = job.style == 2;
    Move(P, F, Sub(r.left, r.top, xm, ym), out ? kLeftUp : kRightDown, 1, recycle, colour);
    Move(P, F, Sub(xm, r.top, r.right, ym), out ? kRightUp : kLeftDown, 1, recycle, colour);
    Move(P, F, Sub(r.left, ym, xm, r.bottom), out ? kLeftDown : kRightUp, 1, recycle, colour);
    Move(P, F, Sub(xm, ym, r.right, r.bottom), out ? kRightDown : kLeftUp, 1, recycle, colour);
}

// The ring colours move one ring per frame; the new colour enters at the centre (diffuse) or at
// the edge (shrink); with recycle the leaving colour comes back.
void PaintRings(const GeneratorJob& job, Rings& state, FrameStep& s) {
    std::vector<Bgr>& rings = state.colours;
    const std::vector<int>& ringOf = state.ringOf;
    const int w = job.w, h = job.h;
    const bool diffuse = job.style % 2 == 0;
    if (diffuse) {
        const Bgr leaving = rings.front();
        std::rotate(rings.begin(), rings.begin() + 1, rings.end());
        rings.back() = job.run.recycle ? leaving : s.colour;
    } else {
        const Bgr leaving = rings.back();
        std::rotate(rings.rbegin(), rings.rbegin() + 1, rings.rend());
        rings.front() = job.run.recycle ? leaving : s.colour;
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int ring = ringOf[static_cast<std::size_t>(y * w + x)];
            if (ring >= 0) s.F.SetPixel(job.r.left + x, job.r.top + y, rings[static_cast<std::size_t>(std::min<int>(ring, static_cast<int>(rings.size()) - 1))]);
        }
    }
}

// "Diffusing": ellipse or rectangle rings, or rhombus quadrants, out of or into the centre.
class Diffusing final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::Diffusing; }
    int Run(GeneratorJob& job, int count) const override {
        Rings rings = MakeRings(job);
        return RunFrames(job, count, FrameLoop{PlainStep(job.run), false, false}, [&](FrameStep& s) {
            if (job.style == 2 || job.style == 3) {
                PaintRhombus(job, s);
            } else {
                PaintRings(job, rings, s);
            }
        });
    }
};

}  // namespace

const Generator& DiffusingGenerator() {
    static const Diffusing unit;
    return unit;
}

}  // namespace corv::generators
