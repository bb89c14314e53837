#include "content/TransitionRenderer.h"

#include <QPainter>
#include <algorithm>

#include "content/TransitionKinds.h"

namespace corv {

namespace {

constexpr const char* kNames[kTransitionKinds] = {
    "Random", "Appear", "LeftOver", "RightOver", "UpOver", "DownOver", "Corner1Over", "Corner2Over",
    "Corner3Over", "Corner4Over", "Bevel1Over", "Bevel2Over", "Bevel3Over", "Bevel4Over", "Push/Left",
    "Push/Right", "Push/Up", "Push/Down", "Push/Corner1", "Push/Corner2", "Push/Corner3", "Push/Corner4",
    "Stretch/Left", "Stretch/Right", "Stretch/Up", "Stretch/Down", "Stretch/Center", "Stretch/Corner1",
    "Stretch/Corner2", "Stretch/Corner3", "Stretch/Corner4", "Stretch/Turn", "Shadow", "Mosaic(small)",
    "Mosaic(big)", "Open horizontal", "Open vertical", "Close horizontal", "Close vertical",
    "Horizontal blind", "Vertical blind", "Radar/CCW", "Radar/CW", "Dual Radar/CCW", "Dual Radar/CW",
    "Quad Radar/CCW", "Quad Radar/CW", "Reveal/Rect1", "Reveal/Rect2", "Reveal/Rhombus1", "Reveal/Rhombus2",
    "Reveal/Oval1", "Reveal/Oval2", "Reveal/Cross1", "Reveal/Cross2", "CheckerBoard", "ZigZag", "Spiral"};

}  // namespace

const char* TransitionKindName(int kind) { return kind >= 0 && kind < kTransitionKinds ? kNames[kind] : ""; }

int RandomTransitionKind(std::mt19937& random) {
    return static_cast<int>(random() % kRandomTransitionKinds) + 1;
}

TransitionRenderer::TransitionRenderer(int width, int height, std::uint32_t seed)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), random_(seed) {}

void TransitionRenderer::SetPictures(const QImage* newPicture, const QImage* seedPicture) {
    new_ = newPicture;
    if (previous_.isNull() && seedPicture) SetPrevious(*seedPicture);
}

void TransitionRenderer::SetPrevious(const QImage& previous) {
    previous_ = previous.copy(0, 0, width_, height_).convertToFormat(QImage::Format_RGB32);
}

bool TransitionRenderer::RenderStep(QImage& target, int k) {
    if (new_ && !new_->isNull()) {
        if (previous_.isNull()) previous_ = target.copy(0, 0, width_, height_).convertToFormat(QImage::Format_RGB32);
        Draw(target, k);
    }
    if (k < steps) return true;
    if (new_ && !new_->isNull()) {
        if (TransitionKind(kind).finishWhole) {
            QPainter p(&target);
            p.drawImage(0, 0, *new_);
        }
        SetPrevious(*new_);  // the old picture of the next transition
    }
    return false;
}

void TransitionRenderer::Draw(QImage& target, int k) {
    const int n = std::max(steps, 1);
    k = std::clamp(k, 0, n);
    QPainter p(&target);
    const TransitionStep step{p, *new_, previous_, kind, width_, height_, n, k, random_};
    // An unknown kind draws nothing; the steps still advance.
    if (const TransitionDrawFn draw = TransitionKind(kind).draw) draw(step);
}

QImage FrameToImage32(const Frame& frame) {
    QImage image(frame.width(), frame.height(), QImage::Format_RGB32);
    for (int y = 0; y < frame.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint8_t* in = frame.PixelAt(0, y);
        for (int x = 0; x < frame.width(); ++x) out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
    }
    return image;
}

void ImageToFrame(const QImage& image, Frame& frame) {
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < frame.height() && y < rgb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint8_t* out = frame.PixelAt(0, y);
        for (int x = 0; x < frame.width() && x < rgb.width(); ++x) {
            out[3 * x] = static_cast<std::uint8_t>(qBlue(in[x]));
            out[3 * x + 1] = static_cast<std::uint8_t>(qGreen(in[x]));
            out[3 * x + 2] = static_cast<std::uint8_t>(qRed(in[x]));
        }
    }
}

bool FrameRangeTransition(RangeContext& c, std::size_t s, std::size_t e, int kind, std::uint32_t seed, int* usedKind) {
    auto& frames = *c.frames;
    if (s >= e || e > frames.size() || frames.size() - e < e - s) return false;
    const std::size_t n = e - s;
    std::mt19937 random(seed);
    if (kind == 0) kind = RandomTransitionKind(random);
    if (usedKind) *usedKind = kind;
    const Frame& model = frames[e - 1];
    TransitionRenderer renderer(model.width(), model.height(), seed);
    renderer.kind = kind;
    renderer.steps = static_cast<int>(n);
    const QImage old = FrameToImage32(model);
    c.undo->RecordChange(frames, e, n);
    QImage target = old;
    for (std::size_t i = 0; i < n; ++i) {
        // Each step starts from the frame before it and shows the new run's own frame.
        const QImage fresh = FrameToImage32(frames[e + i]);
        renderer.SetPictures(&fresh, &old);
        renderer.RenderStep(target, static_cast<int>(i + 1));
        ImageToFrame(target, frames[e + i]);
    }
    return true;
}

}  // namespace corv
