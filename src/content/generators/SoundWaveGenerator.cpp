#include "content/generators/GeneratorUnit.h"

namespace corv::generators {

namespace {

// The bars of a sound wave: each grows toward a random target, then shrinks back to the edge.
// The last entry of `target` is the span the bars grow across.
struct Bars {
    std::vector<int> length, target;
};

bool AlongRows(int style) { return style < 2 || style == 4; }

// The bars at their targets, played `span` frames in so the run opens on a moving wave.
Bars StartBars(GeneratorJob& job) {
    Bars bars;
    std::vector<int>& barLength = bars.length;
    std::vector<int>& barTarget = bars.target;
    const bool rows = AlongRows(job.style);
    const int count = rows ? job.h : job.w, span = std::max(rows ? job.w : job.h, 1);
    barLength.assign(static_cast<std::size_t>(std::max(count, 0)), 0);
    barTarget.assign(static_cast<std::size_t>(std::max(count, 0)), 0);
    for (int& t : barTarget) t = static_cast<int>(job.random() % static_cast<std::uint32_t>(span));
    auto advance = [&] {
        for (std::size_t i = 0; i < barLength.size(); ++i) {
            int& L = barLength[i];
            int& T = barTarget[i];
            if (T == 0) {
                if (--L < 1) {
                    L = std::max(L, 0);
                    T = static_cast<int>(job.random() % static_cast<std::uint32_t>(span));
                }
            } else if (++L >= T) {
                T = 0;
            }
        }
    };
    for (int i = 0; i < span; ++i) advance();
    barTarget.push_back(span);  // the span rides along for the frames
    return bars;
}

// Draws the bars (entries 0..L of the colour list from each bar's free end to the edge), then
// moves each one on.
void PaintBars(GeneratorJob& job, Bars& bars, FrameStep& s) {
    const PixelRect& r = job.r;
    const int style = job.style;
    const ColourList& colours = *job.run.colours;
    std::vector<int>& barLength = bars.length;
    std::vector<int>& barTarget = bars.target;
    const bool rows = AlongRows(style);
    const int span = barTarget.back();
    for (std::size_t i = 0; i + 1 < barTarget.size(); ++i) {
        const int L = std::min(barLength[i], span - 1);
        for (int j = 0; j <= L; ++j) {
            // Entries 0..L from the bar's free end to the edge; none past the list.
            if (j >= static_cast<int>(colours.count())) continue;
            int x, y;
            if (rows) {
                y = r.top + static_cast<int>(i);
                x = r.right - 1 - (L - j);
                if (style == 1) x = r.left + (L - j);                       // from the left edge
                if (style == 4) x = (r.left + r.right) / 2 + ((L - j) % 2 ? 1 : -1) * ((L - j + 1) / 2);  // from the middle
            } else {
                x = r.left + static_cast<int>(i);
                y = style == 2 ? r.bottom - 1 - (L - j) : r.top + (L - j);  // up: from the bottom
            }
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) s.F.SetPixel(x, y, Entry(colours, j));
        }
        int& Lr = barLength[i];
        int& T = barTarget[i];
        if (T == 0) {
            if (--Lr < 1) {
                Lr = std::max(Lr, 0);
                T = static_cast<int>(job.random() % static_cast<std::uint32_t>(std::max(span, 1)));
            }
        } else if (++Lr >= T) {
            T = 0;
        }
    }
}

// "Sound wave": bars of the colour list rising and falling like a level meter.
class SoundWave final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::SoundWave; }
    int Run(GeneratorJob& job, int count) const override {
        Bars bars = StartBars(job);
        return RunFrames(job, count, FrameLoop{PlainStep(job.run), false, true}, [&](FrameStep& s) { PaintBars(job, bars, s); });
    }
};

}  // namespace

const Generator& SoundWaveGenerator() {
    static const SoundWave unit;
    return unit;
}

}  // namespace corv::generators
