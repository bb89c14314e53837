#include "content/generators/GeneratorUnit.h"

#include <cmath>
#include <numbers>

namespace corv::generators {

namespace {

// The band of each pixel of the rectangle (-1 none): sectors about the centre (the circumrotate
// styles) or spiral arms (the screws), one band per colour of the list.
std::vector<int> MakeBands(const GeneratorJob& job, int n) {
    const int style = job.style, w = job.w, h = job.h;
    std::vector<int> bandOf;
    bandOf.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), -1);
    const double cx = w / 2.0, cy = h / 2.0;
    if (style >= 2) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const double angle = std::atan2(y + 0.5 - cy, x + 0.5 - cx) + std::numbers::pi;
                int band = static_cast<int>(angle / (2 * std::numbers::pi) * n);
                if (band >= n) band = 0;
                bandOf[static_cast<std::size_t>(y * w + x)] = band;
            }
        }
        return bandOf;
    }
    // Spiral arms: the label map starts all 0; along each arm its band's label.
    std::fill(bandOf.begin(), bandOf.end(), 0);
    const double limit = std::hypot(w, h) * 0.5 * 0.125;
    for (double t = 2 * std::numbers::pi / 100; t < limit; t += 2 * std::numbers::pi / 100) {
        const double radius = 8 * t;
        for (int k = 0; k < n; ++k) {
            for (double a = k * 2 * std::numbers::pi / n; a < (k + 1) * 2 * std::numbers::pi / n; a += std::numbers::pi / (4 * radius)) {
                const double c = std::cos(a + t) * radius, s = std::sin(a + t) * radius;
                const int x = static_cast<int>(cx + (style == 0 ? c : s)), y = static_cast<int>(cy + (style == 0 ? s : c));
                if (x >= 0 && y >= 0 && x < w && y < h) bandOf[static_cast<std::size_t>(y * w + x)] = k;
            }
        }
    }
    // Empty bands are dropped: the bands left are numbered in order.
    std::vector<int> used(static_cast<std::size_t>(n), 0);
    for (int b : bandOf) used[static_cast<std::size_t>(b)] = 1;
    std::vector<int> renumber(static_cast<std::size_t>(n), 0);
    for (int k = 0, next = 0; k < n; ++k) renumber[static_cast<std::size_t>(k)] = used[static_cast<std::size_t>(k)] ? next++ : 0;
    for (int& b : bandOf) b = renumber[static_cast<std::size_t>(b)];
    return bandOf;
}

// "Rotation": the colour list turns through the bands, one band a frame.
class Rotation final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::Rotation; }
    int Run(GeneratorJob& job, int count) const override {
        const ColourList& colours = *job.run.colours;
        std::vector<int> bandOf;
        int bandCount = 0;
        if (job.w > 0 && job.h > 0) {
            const int n = static_cast<int>(colours.count());
            bandOf = MakeBands(job, n);
            bandCount = n;
        }
        const int w = job.w, h = job.h;
        return RunFrames(job, count, FrameLoop{PlainStep(job.run), false, false}, [&](FrameStep& s) {
            const int dirStep = job.style == 2 ? 1 : -1;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const int band = bandOf[static_cast<std::size_t>(y * w + x)];
                    if (band >= 0 && bandCount > 0) s.F.SetPixel(job.r.left + x, job.r.top + y, Entry(colours, static_cast<long long>(s.index) + dirStep * band));
                }
            }
        });
    }
};

}  // namespace

const Generator& RotationGenerator() {
    static const Rotation unit;
    return unit;
}

}  // namespace corv::generators
