#include "preview/LedPreview.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace corv {

std::vector<LedDot> CollectLeds(const Layout& layout, FrameShape frame) {
    std::vector<LedDot> dots;
    std::vector<std::uint8_t> seen(static_cast<std::size_t>(layout.grid.rows) * layout.grid.cols, 0);
    const int lines = std::min<int>(layout.setting.lineCount, kLineCount);
    for (int l = 0; l < lines; ++l) {
        for (const LinePoint p : layout.lines[static_cast<std::size_t>(l)]) {
            const int row = PointRow(p), col = PointCol(p);
            if (!layout.grid.Contains(row, col)) continue;
            auto& mark = seen[static_cast<std::size_t>(row) * layout.grid.cols + static_cast<std::size_t>(col)];
            if (mark) continue;
            mark = 1;
            dots.push_back({row, col, LedPixelOffset(layout.grid, frame, p)});
        }
    }
    return dots;
}

Bgr LedColour(const Frame& frame, const LedDot& dot) {
    if (static_cast<std::size_t>(dot.offset) + 3 > frame.size()) return {};
    const std::uint8_t* p = frame.data() + dot.offset;
    return Bgr{p[0], p[1], p[2]};
}

namespace {

// A square of coverage values 0..255 for a dot, or a glow, of a cell size.
struct Stamp {
    int size = 0;
    int offset = 0;  // from the cell's top-left corner to the stamp's
    std::vector<std::uint8_t> alpha;
};

Stamp MakeStamp(double cell, double radius, bool soft) {
    Stamp s;
    s.size = std::max(1, static_cast<int>(std::ceil(2 * radius)) + 2);
    s.offset = static_cast<int>(std::floor(cell / 2 - s.size / 2.0));
    s.alpha.resize(static_cast<std::size_t>(s.size) * s.size);
    const double c = s.size / 2.0;
    for (int y = 0; y < s.size; ++y) {
        for (int x = 0; x < s.size; ++x) {
            const double d = std::hypot(x + 0.5 - c, y + 0.5 - c);
            double a;
            if (soft) {
                a = d >= radius ? 0 : 0.55 * std::pow(1 - d / radius, 2);
            } else {
                a = std::clamp(radius - d + 0.5, 0.0, 1.0);  // one pixel of antialiased edge
            }
            s.alpha[static_cast<std::size_t>(y) * s.size + x] = static_cast<std::uint8_t>(std::lround(a * 255));
        }
    }
    return s;
}

template <bool Add>
void Apply(QImage& target, const Stamp& s, int x0, int y0, Bgr c) {
    const int w = target.width(), h = target.height();
    const int xs = std::max(0, -x0), ys = std::max(0, -y0);
    const int xe = std::min(s.size, w - x0), ye = std::min(s.size, h - y0);
    for (int y = ys; y < ye; ++y) {
        auto* row = reinterpret_cast<QRgb*>(target.scanLine(y0 + y)) + x0;
        const std::uint8_t* a = s.alpha.data() + static_cast<std::size_t>(y) * s.size;
        for (int x = xs; x < xe; ++x) {
            const int k = a[x];
            if (k == 0) continue;
            const QRgb under = row[x];
            int r, g, b;
            if constexpr (Add) {
                r = std::min(255, qRed(under) + c.r * k / 255);
                g = std::min(255, qGreen(under) + c.g * k / 255);
                b = std::min(255, qBlue(under) + c.b * k / 255);
            } else {
                r = qRed(under) + (c.r - qRed(under)) * k / 255;
                g = qGreen(under) + (c.g - qGreen(under)) * k / 255;
                b = qBlue(under) + (c.b - qBlue(under)) * k / 255;
            }
            row[x] = qRgb(r, g, b);
        }
    }
}

}  // namespace

void DrawLeds(QImage& target, const std::vector<LedDot>& dots, const Frame& frame, const LedPlacement& place, bool glow) {
    if (target.format() != QImage::Format_RGB32 && target.format() != QImage::Format_ARGB32_Premultiplied) {
        target = target.convertToFormat(QImage::Format_RGB32);
    }
    const double cell = std::max(place.cell, 0.1);
    if (cell < 1.5) {
        // Below a pixel and a half a cell is one pixel: the dot is its colour.
        for (const LedDot& d : dots) {
            const int x = static_cast<int>(std::floor(place.origin.x() + d.col * cell));
            const int y = static_cast<int>(std::floor(place.origin.y() + d.row * cell));
            if (x < 0 || y < 0 || x >= target.width() || y >= target.height()) continue;
            const Bgr c = LedColour(frame, d);
            reinterpret_cast<QRgb*>(target.scanLine(y))[x] = qRgb(c.r, c.g, c.b);
        }
        return;
    }
    const Stamp dot = MakeStamp(cell, cell * 0.4, false);
    const Stamp halo = MakeStamp(cell, cell * 1.2, true);
    if (glow) {
        for (const LedDot& d : dots) {
            const Bgr c = LedColour(frame, d);
            if (c.r == 0 && c.g == 0 && c.b == 0) continue;
            Apply<true>(target, halo, static_cast<int>(std::floor(place.origin.x() + d.col * cell)) + halo.offset,
                        static_cast<int>(std::floor(place.origin.y() + d.row * cell)) + halo.offset, c);
        }
    }
    for (const LedDot& d : dots) {
        Apply<false>(target, dot, static_cast<int>(std::floor(place.origin.x() + d.col * cell)) + dot.offset,
                     static_cast<int>(std::floor(place.origin.y() + d.row * cell)) + dot.offset, LedColour(frame, d));
    }
}

LedPlacement FitGrid(const LayoutGrid& grid, QSize size) {
    LedPlacement p;
    const double cw = static_cast<double>(size.width()) / std::max<int>(grid.cols, 1);
    const double ch = static_cast<double>(size.height()) / std::max<int>(grid.rows, 1);
    p.cell = std::max(0.1, std::min(cw, ch));
    p.origin = QPointF((size.width() - p.cell * grid.cols) / 2, (size.height() - p.cell * grid.rows) / 2);
    return p;
}

QImage RenderLedImage(const Layout& layout, const Frame& frame, QSize size, bool glow) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    const std::vector<LedDot> dots = CollectLeds(layout, FrameShape{frame.height(), frame.width()});
    DrawLeds(image, dots, frame, FitGrid(layout.grid, size), glow);
    return image;
}

}  // namespace corv
