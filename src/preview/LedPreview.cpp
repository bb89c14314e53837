#include "preview/LedPreview.h"

#include <algorithm>
#include <cmath>
#include <thread>
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

// A square of coverage values 0..256 for a dot, or a glow, of a cell size, with the run of
// each row that is not empty.
struct Stamp {
    int size = 0;
    int offset = 0;  // from the cell's top-left corner to the stamp's
    std::vector<std::uint16_t> alpha;
    std::vector<std::pair<int, int>> runs;  // per row: first and one past the last non-empty pixel
};

Stamp MakeStamp(double cell, double radius, bool soft) {
    Stamp s;
    s.size = std::max(1, static_cast<int>(std::ceil(2 * radius)) + 2);
    s.offset = static_cast<int>(std::floor(cell / 2 - s.size / 2.0));
    s.alpha.resize(static_cast<std::size_t>(s.size) * s.size);
    s.runs.assign(static_cast<std::size_t>(s.size), {0, 0});
    const double c = s.size / 2.0;
    for (int y = 0; y < s.size; ++y) {
        int first = s.size, last = 0;
        for (int x = 0; x < s.size; ++x) {
            const double d = std::hypot(x + 0.5 - c, y + 0.5 - c);
            double a;
            if (soft) {
                a = d >= radius ? 0 : 0.55 * std::pow(1 - d / radius, 2);
            } else {
                a = std::clamp(radius - d + 0.5, 0.0, 1.0);  // one pixel of antialiased edge
            }
            const auto k = static_cast<std::uint16_t>(std::lround(a * 256));
            s.alpha[static_cast<std::size_t>(y) * s.size + x] = k;
            if (k) {
                first = std::min(first, x);
                last = x + 1;
            }
        }
        if (first < last) s.runs[static_cast<std::size_t>(y)] = {first, last};
    }
    return s;
}

// The pixels of an RGB32 picture, and the rows [top, bottom) a drawing may touch.
struct Pixels {
    std::uint8_t* bits;
    std::ptrdiff_t stride;
    int width, top, bottom;
};

// Lays a stamp at (x0, y0) in colour c (0xffRRGGBB): blended over what is there, or added to
// it. Red and blue are worked on together in one word, green in another.
template <bool Add>
void Apply(const Pixels& target, const Stamp& s, int x0, int y0, std::uint32_t c) {
    const int ys = std::max(0, target.top - y0), ye = std::min(s.size, target.bottom - y0);
    const std::uint32_t crb = c & 0xFF00FFu, cg = c & 0x00FF00u;
    for (int y = ys; y < ye; ++y) {
        const auto [rs, re] = s.runs[static_cast<std::size_t>(y)];
        const int xs = std::max(rs, -x0), xe = std::min(re, target.width - x0);
        auto* row = reinterpret_cast<std::uint32_t*>(target.bits + (y0 + y) * target.stride);
        const std::uint16_t* alpha = s.alpha.data() + static_cast<std::size_t>(y) * s.size;
        for (int x = xs; x < xe; ++x) {
            const std::uint32_t k = alpha[x], d = row[x0 + x];
            std::uint32_t rb, g;
            if constexpr (Add) {
                rb = (d & 0xFF00FFu) + ((crb * k >> 8) & 0xFF00FFu);
                g = (d & 0x00FF00u) + ((cg * k >> 8) & 0x00FF00u);
                // A channel past 255 stays at 255.
                const std::uint32_t orb = rb & 0x1000100u, og = g & 0x10000u;
                rb = (rb | (orb - (orb >> 8))) & 0xFF00FFu;
                g = (g | (og - (og >> 8))) & 0x00FF00u;
            } else {
                rb = ((crb * k + (d & 0xFF00FFu) * (256 - k)) >> 8) & 0xFF00FFu;
                g = ((cg * k + (d & 0x00FF00u) * (256 - k)) >> 8) & 0x00FF00u;
            }
            row[x0 + x] = 0xFF000000u | rb | g;
        }
    }
}

std::uint32_t Rgb32(Bgr c) { return 0xFF000000u | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b; }

}  // namespace

void DrawLeds(QImage& target, const std::vector<LedDot>& dots, const Frame& frame, const LedPlacement& place, bool glow, int threads) {
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
    // Each band of rows is drawn whole (glow, then dots, in the dots' order) by a thread of
    // its own: every pixel sees the same stamps in the same order as in one pass.
    std::uint8_t* const bits = target.bits();  // detached here, before the threads share it
    auto band = [&](int top, int bottom) {
        const Pixels pixels{bits, target.bytesPerLine(), target.width(), top, bottom};
        if (glow) {
            for (const LedDot& d : dots) {
                const Bgr c = LedColour(frame, d);
                if (c.r == 0 && c.g == 0 && c.b == 0) continue;
                Apply<true>(pixels, halo, static_cast<int>(std::floor(place.origin.x() + d.col * cell)) + halo.offset,
                            static_cast<int>(std::floor(place.origin.y() + d.row * cell)) + halo.offset, Rgb32(c));
            }
        }
        for (const LedDot& d : dots) {
            Apply<false>(pixels, dot, static_cast<int>(std::floor(place.origin.x() + d.col * cell)) + dot.offset,
                         static_cast<int>(std::floor(place.origin.y() + d.row * cell)) + dot.offset, Rgb32(LedColour(frame, d)));
        }
    };
    const std::size_t work = dots.size() * static_cast<std::size_t>(glow ? halo.size * halo.size : dot.size * dot.size);
    int parts = threads > 0 ? threads : work < 400000 ? 1 : static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    parts = std::clamp(parts, 1, std::max(1, target.height()));
    std::vector<std::thread> helpers;
    for (int i = 1; i < parts; ++i) {
        helpers.emplace_back(band, target.height() * i / parts, target.height() * (i + 1) / parts);
    }
    band(0, target.height() / parts);
    for (std::thread& t : helpers) t.join();
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
