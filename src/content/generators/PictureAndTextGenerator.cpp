#include "content/generators/GeneratorUnit.h"

#include "content/TransitionRenderer.h"

namespace corv::generators {

namespace {

Bgr ToBgrColour(QRgb c) {
    return Bgr{static_cast<std::uint8_t>(qBlue(c)), static_cast<std::uint8_t>(qGreen(c)), static_cast<std::uint8_t>(qRed(c))};
}

// Copies a picture of the rectangle's size into the rectangle of a frame.
void PutPicture(const QImage& picture, Frame& F, const PixelRect& r) {
    for (int y = 0; y < r.height() && y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < r.width() && x < picture.width(); ++x) F.SetPixel(r.left + x, r.top + y, ToBgrColour(line[x]));
    }
}

bool RunFits(GeneratorRun& run, long long frames, std::size_t frameBytes) {
    if (static_cast<std::uint64_t>(frames) * frameBytes <= kMaxRunBytes) return true;
    run.error = std::to_string(frames) + " frames take more than the " + std::to_string(kMaxRunBytes >> 20) + " MB a run may make";
    return false;
}

// The built text picture scrolled through the rectangle: it enters at the far edge and moves one
// pixel a frame until it has left.
int ScrollTextPicture(GeneratorJob& job) {
    GeneratorRun& run = job.run;
    const PictureTextOptions& o = run.pictureText;
    ColourList& colours = *run.colours;
    const PixelRect& r = job.r;
    const int w = job.w, h = job.h, style = job.style;
    const std::size_t frameBytes = job.frameBytes;
    const QImage text = o.textPicture.convertToFormat(QImage::Format_RGB32);
    const bool down = o.vertical && style == 1;
    const int length = o.vertical ? text.height() : text.width();
    const long long total = static_cast<long long>(length) + (o.vertical ? h : w);
    if (!RunFits(run, total, frameBytes)) return -1;
    Stepper stepper(run, static_cast<std::size_t>(total));
    for (int f = 0; f < total; ++f) {
        Frame& F = stepper.Next(false, r);
        const Frame& P = stepper.Previous();
        auto textAt = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < text.width() && y < text.height() ? ToBgrColour(text.pixel(x, y)) : run.background;
        };
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                Bgr c;
                if (!o.vertical) {
                    c = x + 1 < r.right ? P.Pixel(x + 1, y) : textAt(f, y - r.top);
                } else if (!down) {
                    c = y + 1 < r.bottom ? P.Pixel(x, y + 1) : textAt(x - r.left, f);
                } else {
                    c = y > r.top ? P.Pixel(x, y - 1) : textAt(x - r.left, length - 1 - f);
                }
                F.SetPixel(x, y, c);
            }
        }
        if (run.render > 0) RenderColours(F, r, run.background, colours, f % static_cast<int>(colours.count()), run.render);
    }
    Advance(colours);
    return static_cast<int>(total);
}

// Every list entry played through the transition renderer (style 2 plays each back out to the
// background).
int PlayEntries(GeneratorJob& job) {
    GeneratorRun& run = job.run;
    const PictureTextOptions& o = run.pictureText;
    ColourList& colours = *run.colours;
    const PixelRect& r = job.r;
    const int w = job.w, h = job.h, style = job.style;
    const QColor back(run.background.r, run.background.g, run.background.b);
    const std::size_t frameBytes = job.frameBytes;
    if (o.entries.empty()) {
        run.error = "there are no pictures or text files in the list";
        return -1;
    }
    const Bgr ink = Current(colours);
    std::vector<QImage> pictures;
    for (const auto& entry : o.entries) {
        for (QImage& picture : EntryPictures(entry, o.font, QColor(ink.r, ink.g, ink.b), back, QSize(w, h))) {
            pictures.push_back(std::move(picture));
        }
    }
    if (pictures.empty()) {
        run.error = "none of the files in the list could be read";
        return -1;
    }
    const int n = std::max(run.count, 1);
    const int passes = style == 1 ? 2 : 1;
    const long long total = static_cast<long long>(n) * static_cast<long long>(pictures.size()) * passes;
    if (!RunFits(run, total, frameBytes)) return -1;
    TransitionRenderer renderer(w, h, run.seed);
    renderer.steps = n;
    renderer.kind = o.kind > 0 && o.kind < kTransitionKinds ? o.kind : RandomTransitionKind(job.random);
    QImage blank(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    blank.fill(back);
    QImage target = blank;
    renderer.SetPrevious(blank);
    Stepper stepper(run, static_cast<std::size_t>(total));
    int c = std::max(colours.selected(), 0);
    for (const QImage& picture : pictures) {
        for (int pass = 0; pass < passes; ++pass) {
            renderer.SetPictures(pass == 0 ? &picture : &blank);
            for (int k = 1; k <= n; ++k) {
                Frame& F = stepper.Next(false, r);
                renderer.RenderStep(target, k);
                PutPicture(target, F, r);
                if (run.render > 0) RenderColours(F, r, run.background, colours, c, run.render);
                c = (c + 1) % static_cast<int>(colours.count());
            }
        }
    }
    Advance(colours);
    return static_cast<int>(total);
}

// "PictureAndText": the built text picture scrolled through the rectangle, or every list entry
// played through the transition renderer.
class PictureAndText final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::PictureAndText; }
    int Run(GeneratorJob& job, int /*count*/) const override {
        if (!job.run.pictureText.textPicture.isNull()) return ScrollTextPicture(job);
        return PlayEntries(job);
    }
};

}  // namespace

const Generator& PictureAndTextGenerator() {
    static const PictureAndText unit;
    return unit;
}

}  // namespace corv::generators
