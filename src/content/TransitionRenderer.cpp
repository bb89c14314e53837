#include "content/TransitionRenderer.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QTransform>
#include <algorithm>
#include <cmath>

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

// a * b / c in 64 bits, truncating toward zero (every fraction of the table).
int MulDiv(long long a, long long b, long long c) { return c == 0 ? 0 : static_cast<int>(a * b / c); }

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
        // The kinds whose last step the formulas leave partly open (the corner pushes and the
        // turn) end with the new picture whole.
        if ((kind >= 18 && kind <= 21) || kind == 31) {
            QPainter p(&target);
            p.drawImage(0, 0, *new_);
        }
        SetPrevious(*new_);  // the old picture of the next transition
    }
    return false;
}

void TransitionRenderer::Draw(QImage& target, int k) {
    const int W = width_, H = height_;
    const int n = std::max(steps, 1);
    k = std::clamp(k, 0, n);
    const QImage& fresh = *new_;
    const QImage& old = previous_;
    const QRect full(0, 0, W, H);
    QPainter p(&target);
    auto reveal = [&](const QRegion& region) {
        // Rectangle by rectangle: copying the parts is far cheaper than clipping to many bands.
        for (const QRect& r : region.intersected(full)) p.drawImage(r.topLeft(), fresh, r);
    };
    auto revealPath = [&](const QPainterPath& path) {
        p.setClipPath(path);
        p.drawImage(0, 0, fresh);
        p.setClipping(false);
    };
    auto fullPath = [&] {
        QPainterPath path;
        path.addRect(full);
        return path;
    };
    auto triangle = [&](QPoint a, QPoint b, QPoint c) {
        QPainterPath path;
        path.addPolygon(QPolygonF(QPolygon({a, b, c})));
        path.closeSubpath();
        revealPath(path);
    };
    const int wk = MulDiv(W, k, n), hk = MulDiv(H, k, n);
    const int wr = MulDiv(n - k, W, n), hr = MulDiv(n - k, H, n);
    switch (kind) {
        case 0:
        case 1:
            if (k < 2) p.drawImage(0, 0, fresh);
            break;
        case 2: reveal(QRect(0, 0, wk, H)); break;
        case 3: reveal(QRect(wr, 0, W, H)); break;
        case 4: reveal(QRect(0, 0, W, hk)); break;
        case 5: reveal(QRect(0, hr, W, H)); break;
        case 6: reveal(QRect(0, 0, wk, hk)); break;
        case 7: reveal(QRect(wr, 0, W, hk)); break;
        case 8: reveal(QRect(0, hr, wk, H)); break;
        case 9: reveal(QRect(wr, hr, W, hk)); break;
        case 10:
        case 11:
        case 12:
        case 13: {
            const int d = MulDiv(static_cast<long long>(W) + H, k, n);
            if (kind == 10) triangle({0, 0}, {d, 0}, {0, d});
            if (kind == 11) triangle({W, 0}, {W - d, 0}, {W, d});
            if (kind == 12) triangle({0, H}, {d, H}, {0, H - d});
            if (kind == 13) triangle({W, H}, {W - d, H}, {W, H - d});
            break;
        }
        case 14:
            p.drawImage(QPoint(0, 0), old, QRect(wk, 0, W - wk, H));
            p.drawImage(QPoint(wr, 0), fresh);
            break;
        case 15:
            p.drawImage(QPoint(wk, 0), old);
            p.drawImage(QPoint(0, 0), fresh, QRect(wr, 0, W - wr, H));
            break;
        case 16:
            p.drawImage(QPoint(0, 0), old, QRect(0, hk, W, H - hk));
            p.drawImage(QPoint(0, hr), fresh);
            break;
        case 17:
            p.drawImage(QPoint(0, hk), old);
            p.drawImage(QPoint(0, 0), fresh, QRect(0, hr, W, H - hr));
            break;
        case 18:
        case 19:
        case 20:
        case 21: {
            // The two pictures move along the diagonal; the corners neither covers go black.
            const int sx = kind == 18 || kind == 20 ? 1 : -1;
            const int sy = kind == 18 || kind == 19 ? 1 : -1;
            const QPoint newAt(sx * wr, sy * hr), oldAt(-sx * wk, -sy * hk);
            p.fillRect(full, Qt::black);
            p.drawImage(oldAt, old);
            p.drawImage(newAt, fresh);
            break;
        }
        case 22: p.drawImage(QRect(0, 0, wk, H), fresh); break;
        case 23: p.drawImage(QRect(wr, 0, wk, H), fresh); break;
        case 24: p.drawImage(QRect(0, 0, W, hk), fresh); break;
        case 25: p.drawImage(QRect(0, hr, W, hk), fresh); break;
        case 26:
        case 27:
        case 28:
        case 29:
        case 30: {
            const int w = wk, h = hk;
            QRect r;
            if (kind == 26) r = QRect((W - w) / 2, (H - h) / 2, w, h);
            if (kind == 27) r = QRect(0, 0, w, h);
            if (kind == 28) r = QRect(W - w, 0, w, h);
            if (kind == 29) r = QRect(0, H - h, w, h);
            if (kind == 30) r = QRect(W - w, H - h, w, h);
            if (!r.isEmpty()) p.drawImage(r, fresh);
            p.setClipRegion(QRegion(full).xored(QRegion(r)));
            p.drawImage(0, 0, old);
            p.setClipping(false);
            break;
        }
        case 31: {
            // The picture turns over its horizontal axis: drawn through three points.
            const int a = hr, b = hk;
            p.drawImage(0, 0, old);
            const double m22 = static_cast<double>(b - a) / H, m21 = -static_cast<double>(a) / H;
            if (b != a) {
                p.setTransform(QTransform(1.0, 0.0, m21, m22, a / 2.0, a));
                p.drawImage(0, 0, fresh);
                p.resetTransform();
            }
            break;
        }
        case 32:
            p.setOpacity(static_cast<double>(k) / n);
            p.drawImage(0, 0, fresh);
            p.setOpacity(1.0);
            break;
        case 33:
        case 34: {
            const int t = kind == 33 ? 10 : 20;
            const int cols = (W + t) / t, rows = (H + t) / t, cells = cols * rows;
            if (k >= n) {
                reveal(QRegion(full));
                break;
            }
            QRegion tiles;
            const int count = cells / n + 5;
            for (int j = 0; j < count; ++j) {
                const int i = static_cast<int>(random_() % static_cast<std::uint32_t>(cells));
                tiles += QRect((i % cols) * t, (i / cols) * t, t, t);
            }
            reveal(tiles);
            break;
        }
        case 35: reveal(QRect(MulDiv(n - k, W, 2LL * n), 0, wk, H)); break;
        case 36: reveal(QRect(0, MulDiv(n - k, H, 2LL * n), W, hk)); break;
        case 37: reveal(QRegion(full).xored(QRegion(MulDiv(W, k, 2LL * n), 0, wr, H))); break;
        case 38: reveal(QRegion(full).xored(QRegion(0, MulDiv(H, k, 2LL * n), W, hr))); break;
        case 39:
        case 40: {
            const int s = MulDiv(20, k, n);
            QRegion blinds;
            if (s > 0) {
                if (kind == 39) {
                    for (int x = 0; x < W; x += 20) blinds += QRect(x, 0, s, H);
                } else {
                    for (int y = 0; y < H; y += 20) blinds += QRect(0, y, W, s);
                }
            }
            reveal(blinds);
            break;
        }
        case 41:
        case 42:
        case 43:
        case 44:
        case 45:
        case 46: {
            const QRectF box(-W / 2, -H / 2, 2.0 * W, 2.0 * H);
            const QPointF centre = box.center();
            const int pies = kind <= 42 ? 1 : kind <= 44 ? 2 : 4;
            const double span = 360.0 / pies;
            const int sweep = (kind % 2 == 1 ? 1 : -1) * static_cast<int>(span) * k / n;  // whole degrees, truncated
            const double starts[4] = {0, 180, 90, 270};
            QPainterPath path;
            for (int i = 0; i < pies; ++i) {
                QPainterPath pie;
                pie.moveTo(centre);
                pie.arcTo(box, starts[i], sweep);
                pie.closeSubpath();
                path = path.united(pie);
            }
            revealPath(path);
            break;
        }
        case 47: reveal(QRect((W - wk) / 2, (H - hk) / 2, wk, hk)); break;
        case 48: reveal(QRegion(full).xored(QRegion((W - wr) / 2, (H - hr) / 2, wr, hr))); break;
        case 49:
        case 50: {
            const int d = kind == 49 ? MulDiv(static_cast<long long>(W) + H, k, 2LL * n)
                                     : MulDiv(static_cast<long long>(n - k) * (W + H), 1, 2LL * n);
            QPainterPath rhombus;
            rhombus.addPolygon(QPolygonF(QPolygon({QPoint(W / 2, H / 2 - d), QPoint(W / 2 + d, H / 2), QPoint(W / 2, H / 2 + d),
                                                   QPoint(W / 2 - d, H / 2)})));
            rhombus.closeSubpath();
            revealPath(kind == 49 ? rhombus : fullPath().subtracted(rhombus));
            break;
        }
        case 51:
        case 52: {
            const int m = kind == 51 ? k : n - k;
            const int w = static_cast<int>(std::lround(W * static_cast<double>(m) * 1.414 / n));
            const int h = static_cast<int>(std::lround(H * static_cast<double>(m) * 1.414 / n));
            QPainterPath oval;
            oval.addEllipse(QRectF((W - w) / 2, (H - h) / 2, w, h));
            revealPath(kind == 51 ? oval : fullPath().subtracted(oval));
            break;
        }
        case 53:
            reveal(QRegion(MulDiv(n - k, W, 2LL * n), 0, wk, H).united(QRegion(0, MulDiv(n - k, H, 2LL * n), W, hk)));
            break;
        case 54: {
            const QRegion a = QRegion(MulDiv(W, k, 2LL * n), 0, wr, H).united(QRegion(0, MulDiv(H, k, 2LL * n), W, hr));
            reveal(QRegion(full).xored(a));
            break;
        }
        case 55: {
            const int b = std::max(H / 11, 1), c = 3 * b;
            QRegion cells;
            const int width = MulDiv(c, k, n);
            for (int r = 0; r <= 10 && r < H; ++r) {
                const int y = r * b;
                const int h = r == 10 ? H - 10 * b : b;
                if (width > 0 && h > 0) {
                    for (int x = r % 2 == 0 ? 0 : -(c / 2); x < W; x += c) cells += QRect(x, y, width, h);
                }
            }
            reveal(cells);
            break;
        }
        case 56: {
            const int b = std::max(H / 11, 1);
            const int rows = (H + b - 1) / b;
            const long long q = static_cast<long long>(k) * (static_cast<long long>(rows) * W) / n;
            const int f = static_cast<int>(q / W), m = static_cast<int>(q % W);
            QRegion zig(0, 0, W, f * b);
            if (m > 0) zig += f % 2 == 0 ? QRect(0, f * b, m, b) : QRect(W - m, f * b, m, b);
            reveal(zig);
            break;
        }
        case 57: {
            const int b = std::max(H / 11, 1);
            const long long blocks = static_cast<long long>((W + b - 1) / b) * ((H + b - 1) / b);
            const long long m = static_cast<long long>(k) * blocks / n;
            // A clockwise inward spiral of b x b blocks from the top-left corner.
            enum { Right, Down, Left, Up } dir = Right;
            int x = 0, y = 0, inset = 0;
            QRegion spiral;
            for (long long i = 0; i < m; ++i) {
                spiral += QRect(x, y, b, b);
                switch (dir) {
                    case Right:
                        if (x + b + inset >= W) {
                            dir = Down;
                            y += b;
                        } else {
                            x += b;
                        }
                        break;
                    case Down:
                        if (y + b + inset >= H) {
                            dir = Left;
                            x -= b;
                        } else {
                            y += b;
                        }
                        break;
                    case Left:
                        if (x - b - inset < 0) {
                            dir = Up;
                            y -= b;
                        } else {
                            x -= b;
                        }
                        break;
                    case Up:
                        if (y - b - (inset + b) < 0) {
                            dir = Right;
                            inset += b;
                            x += b;
                        } else {
                            y -= b;
                        }
                        break;
                }
            }
            reveal(spiral);
            break;
        }
        default:
            break;  // an unknown kind draws nothing; the steps still advance
    }
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
