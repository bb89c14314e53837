#include "content/generators/GeneratorUnit.h"

#include <cmath>

namespace corv::generators {

namespace {

// One V-shape frame. Along: the distance from the entry edge in the travel direction; across:
// from the middle line. The chevron's colour bands run along v = along - slope * across.
void PaintChevrons(const GeneratorJob& job, long long startIndex, FrameStep& s) {
    const PixelRect& r = job.r;
    const int style = job.style, f = s.f;
    const VShapeOptions& o = job.run.vshape;
    const ColourList& colours = *job.run.colours;
    const int interval = std::max(o.interval, 1);
    const bool vertical = style >= 2;
    const int span = vertical ? job.h : job.w, breadth = vertical ? job.w : job.h;
    double slope = 1.0;
    if (o.kind == VShapeOptions::Turn) {
        // A triangle wave from 1 to -1 and back over one pass of the colour list.
        const int period = std::max(2, static_cast<int>(colours.count()) * interval);
        const double phase = static_cast<double>(f % period) / period;
        slope = phase < 0.5 ? 1.0 - 4.0 * phase : -3.0 + 4.0 * phase;
    }
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            int along = 0;
            switch (style) {
                case 0: along = r.right - 1 - x; break;  // left: travels toward the left edge
                case 1: along = x - r.left; break;
                case 2: along = r.bottom - 1 - y; break;
                default: along = y - r.top; break;
            }
            if (o.kind == VShapeOptions::VisAVis) along = std::min(along, span - 1 - along);
            const int across = std::abs((vertical ? x - r.left : y - r.top) * 2 - (breadth - 1)) / 2;
            const long long v = static_cast<long long>(std::floor(along - slope * across)) - f;
            const long long band = v >= 0 ? v / interval : -((-v + interval - 1) / interval);
            s.F.SetPixel(x, y, Entry(colours, startIndex - band));
        }
    }
}

// "V shape": chevrons of the colour list; the run lays the list `cycles` times.
class VShape final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::VShape; }
    int Frames(GeneratorJob& job) const override {
        const GeneratorRun& run = job.run;
        const long long frames = static_cast<long long>(std::max(run.vshape.cycles, 1)) * static_cast<long long>(run.colours->count()) *
                                 std::max(run.vshape.interval, 1);
        return WithinGibibyte(job, std::min<long long>(frames, kMaxBrickFrames));
    }
    int Run(GeneratorJob& job, int count) const override {
        const long long startIndex = job.run.colours->selected();  // the list is laid from here
        return RunFrames(job, count, FrameLoop{PlainStep(job.run), true, false}, [&](FrameStep& s) { PaintChevrons(job, startIndex, s); });
    }
};

}  // namespace

const Generator& VShapeGenerator() {
    static const VShape unit;
    return unit;
}

}  // namespace corv::generators
