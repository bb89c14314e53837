#include "content/generators/GeneratorUnit.h"

namespace corv::generators {

namespace {

// "Dropping": drops of the colour list fall from the top edge at random columns.
class Dropping final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::Dropping; }
    int Run(GeneratorJob& job, int count) const override {
        const PixelRect& r = job.r;
        const int style = job.style, w = job.w;
        const ColourList& colours = *job.run.colours;
        std::vector<std::pair<int, int>> drops;  // column, head row
        return RunFrames(job, count, FrameLoop{PlainStep(job.run), false, true}, [&](FrameStep& s) {
            // Style 3: a new drop every other frame; styles 1 and 2: a drop every frame, style 2
            // falling two rows a frame.
            if (w > 0 && (style != 2 || s.f % 2 == 0)) drops.emplace_back(r.left + static_cast<int>(job.random() % static_cast<std::uint32_t>(w)), r.top);
            const int n = static_cast<int>(colours.count());
            for (auto& [x, head] : drops) {
                for (int i = 0; i < n; ++i) {
                    const int y = head - i;
                    if (y >= r.top && y < r.bottom) s.F.SetPixel(x, y, Entry(colours, i));
                }
                head += style == 1 ? 2 : 1;
            }
            std::erase_if(drops, [&](const std::pair<int, int>& d) { return d.second - n >= r.bottom; });
        });
    }
};

}  // namespace

const Generator& DroppingGenerator() {
    static const Dropping unit;
    return unit;
}

}  // namespace corv::generators
