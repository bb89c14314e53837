#include "content/generators/GeneratorUnit.h"

#include <cmath>
#include <numbers>

namespace corv::generators {

namespace {

// Particles: each frame is the background with every particle drawn on it, then moved.
int RunParticles(GeneratorJob& job, int count) {
    GeneratorRun& run = job.run;
    ColourList& colours = *run.colours;
    const PixelRect& r = job.r;
    const int w = job.w, h = job.h;
    Stepper stepper(run, static_cast<std::size_t>(count));
    ParticleSystem system(ResolveParticles(run.particles, w, h), w, h, run.seed, run.particlePicture);
    QImage surface(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    const QRgb back = qRgb(run.background.r, run.background.g, run.background.b);
    for (int f = 0; f < count; ++f) {
        Frame& F = stepper.Next(false, r);
        surface.fill(back);
        system.Step(f, surface);
        for (int y = 0; y < h; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(surface.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                F.SetPixel(r.left + x, r.top + y, Bgr{static_cast<std::uint8_t>(qBlue(line[x])),
                                                      static_cast<std::uint8_t>(qGreen(line[x])),
                                                      static_cast<std::uint8_t>(qRed(line[x]))});
            }
        }
        if (run.render > 0) {
            RenderColours(F, r, run.background, colours, static_cast<int>(f % static_cast<int>(colours.count())), run.render);
        }
    }
    Advance(colours);
    return count;
}

// Diffuse: rings about the chosen point, the colour list running outward (or inward), one pixel
// further each frame.
void PaintDiffuse(const GeneratorJob& job, long long startIndex, FrameStep& s) {
    const OtherOptions& o = job.run.other;
    const PixelRect& r = job.r;
    const int w = job.w, h = job.h, f = s.f;
    const double cx = r.left + w * std::clamp(o.centreX, 0, 100) / 100.0;
    const double cy = r.top + h * std::clamp(o.centreY, 0, 100) / 100.0;
    const int ring = std::max(o.ringWidth, 1);
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const double dx = std::abs(x + 0.5 - cx), dy = std::abs(y + 0.5 - cy);
            const double d = o.shape == OtherOptions::Square ? std::max(dx, dy)
                           : o.shape == OtherOptions::Diamond ? dx + dy
                                                              : std::hypot(dx, dy);
            const long long travelled = o.outward ? static_cast<long long>(d) - f : static_cast<long long>(d) + f;
            const long long band = travelled >= 0 ? travelled / ring : -((-travelled + ring - 1) / ring);
            s.F.SetPixel(x, y, Entry(*job.run.colours, startIndex - band));
        }
    }
}

// Linetype: stripes across the rectangle at the angle, moving `speed` a frame.
void PaintLinetype(const GeneratorJob& job, long long startIndex, FrameStep& s) {
    const OtherOptions& o = job.run.other;
    const PixelRect& r = job.r;
    const int f = s.f;
    const double a = o.angle * std::numbers::pi / 180.0;
    const double nx = std::cos(a), ny = std::sin(a);
    const int width = std::max(o.lineWidth, 1);
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const long long along = static_cast<long long>(std::floor((x - r.left) * nx + (y - r.top) * ny)) -
                                    static_cast<long long>(f) * std::max(o.speed, 0);
            const long long band = along >= 0 ? along / width : -((-along + width - 1) / width);
            s.F.SetPixel(x, y, Entry(*job.run.colours, startIndex + band));
        }
    }
}

// Random: blocks of random size and place in random colours of the list.
void PaintRandomBlocks(GeneratorJob& job, FrameStep& s) {
    const OtherOptions& o = job.run.other;
    const ColourList& colours = *job.run.colours;
    const PixelRect& r = job.r;
    const int w = job.w, h = job.h;
    std::mt19937& random = job.random;
    if (o.keep) {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) s.F.SetPixel(x, y, s.P.Pixel(x, y));
        }
    }
    const int lo = std::max(1, std::min(o.minSize, o.maxSize)), hi = std::max(lo, o.maxSize);
    for (int b = 0; b < std::max(o.blocksPerFrame, 0) && w > 0 && h > 0; ++b) {
        const int bw = lo + static_cast<int>(random() % static_cast<std::uint32_t>(hi - lo + 1));
        const int bh = lo + static_cast<int>(random() % static_cast<std::uint32_t>(hi - lo + 1));
        const int bx = r.left + static_cast<int>(random() % static_cast<std::uint32_t>(w));
        const int by = r.top + static_cast<int>(random() % static_cast<std::uint32_t>(h));
        const Bgr c = Entry(colours, static_cast<long long>(random() % colours.count()));
        for (int y = by; y < std::min(by + bh, r.bottom); ++y) {
            for (int x = bx; x < std::min(bx + bw, r.right); ++x) s.F.SetPixel(x, y, c);
        }
    }
}

// Wave: rows shift right by S; the pixels entering at the left take the colour of the row's
// distance from a phase row that sweeps up and down.
void PaintWave(const GeneratorJob& job, int step, FrameStep& s) {
    const ColourList& colours = *job.run.colours;
    const PixelRect& r = job.r;
    const int h = job.h;
    const int period = std::max(2 * (h - 1), 1);
    int phase = s.f % period;
    if (phase >= h) phase = period - phase;
    for (int y = r.top; y < r.bottom; ++y) {
        const int distance = std::abs((y - r.top) - phase);
        const Bgr enter = distance < static_cast<int>(colours.count()) ? Entry(colours, static_cast<long long>(s.index) + distance)
                                                                        : s.P.Pixel(r.left, y);
        Move(s.P, s.F, Sub(r.left, y, r.right, y + 1), kRight, step, false, enter);
    }
}

// "Other": particles, diffuse, linetype, random blocks and the wave.
class Other final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::Other; }
    int Run(GeneratorJob& job, int count) const override {
        if (job.style == 0) return RunParticles(job, count);
        const int step = PlainStep(job.run);
        const long long startIndex = job.run.colours->selected();  // diffuse and linetype lay the list from here
        return RunFrames(job, count, FrameLoop{step, false, true}, [&](FrameStep& s) {
            switch (job.style) {
                case 1: PaintDiffuse(job, startIndex, s); break;
                case 2: PaintLinetype(job, startIndex, s); break;
                case 3: PaintRandomBlocks(job, s); break;
                default: PaintWave(job, step, s); break;
            }
        });
    }
};

}  // namespace

const Generator& OtherGenerator() {
    static const Other unit;
    return unit;
}

}  // namespace corv::generators
