#include "layout/SculptGeometry.h"

#include <algorithm>
#include <cmath>

namespace corv {

float SculptZoomIn(float zoom) {
    if (!(zoom < kSculptMaxZoom)) return zoom;
    return std::min(kSculptMaxZoom, zoom < 10.0f ? zoom * 1.25f : zoom + 10.0f);
}

float SculptZoomOut(float zoom) {
    if (!(zoom > kSculptMinZoom)) return zoom;
    return std::max(kSculptMinZoom, zoom <= 10.0f ? zoom * 0.8f : zoom - 10.0f);
}

namespace {
int Span(int cells, float zoom) { return static_cast<int>(std::trunc(static_cast<double>(cells) * zoom)); }
}  // namespace

SculptCell SculptCellAt(int x, int y, QPoint centre, int rows, int cols, float zoom) {
    const int left = centre.x() - Span(cols, zoom) / 2;
    const int top = centre.y() - Span(rows, zoom) / 2;
    return {static_cast<int>(std::trunc((x - left) / static_cast<double>(zoom))),
            static_cast<int>(std::trunc((y - top) / static_cast<double>(zoom)))};
}

QRectF SculptGridRect(QPoint centre, int rows, int cols, float zoom) {
    const int left = centre.x() - Span(cols, zoom) / 2;
    const int top = centre.y() - Span(rows, zoom) / 2;
    return {static_cast<double>(left), static_cast<double>(top), cols * static_cast<double>(zoom),
            rows * static_cast<double>(zoom)};
}

QPoint LimitSculptCentre(QPoint centre, QSize window, int rows, int cols, float zoom) {
    const int halfW = Span(cols, zoom) / 2, halfH = Span(rows, zoom) / 2;
    const int midX = window.width() / 2, midY = window.height() / 2;
    return {std::clamp(centre.x(), midX - halfW, midX + halfW), std::clamp(centre.y(), midY - halfH, midY + halfH)};
}

int BackgroundMaskScale(int rows, int cols) {
    const long long sum = static_cast<long long>(rows) + cols;
    return sum <= 1000 ? 10 : sum <= 2000 ? 5 : 1;
}

std::vector<std::uint8_t> BuildBackgroundMask(const SculptBackground& background, int rows, int cols) {
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(std::max(0, rows)) * static_cast<std::size_t>(std::max(0, cols)), 0);
    if (background.Empty() || background.rect.width() <= 0 || background.rect.height() <= 0 || mask.empty()) {
        return mask;
    }
    // The picture drawn without smoothing into a bitmap of s pixels per cell: each bitmap pixel
    // shows the picture pixel its centre falls on. Only the sample pixels are worked out.
    const QImage picture = background.picture.convertToFormat(QImage::Format_ARGB32);
    const int s = BackgroundMaskScale(rows, cols);
    const double scale = s / 10.0;
    const double dx = background.rect.x() * scale, dy = background.rect.y() * scale;
    const double dw = background.rect.width() * scale, dh = background.rect.height() * scale;
    const int pw = picture.width(), ph = picture.height();
    std::vector<int> sourceCol(static_cast<std::size_t>(cols), -1);
    for (int c = 0; c < cols; ++c) {
        const double px = c * s + s / 2 + 0.5;
        if (px < dx || px >= dx + dw) continue;
        sourceCol[static_cast<std::size_t>(c)] = std::min(pw - 1, static_cast<int>((px - dx) * pw / dw));
    }
    for (int r = 0; r < rows; ++r) {
        const double py = r * s + s / 2 + 0.5;
        if (py < dy || py >= dy + dh) continue;
        const int sy = std::min(ph - 1, static_cast<int>((py - dy) * ph / dh));
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(sy));
        std::uint8_t* out = mask.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(cols);
        for (int c = 0; c < cols; ++c) {
            const int sx = sourceCol[static_cast<std::size_t>(c)];
            if (sx < 0) continue;
            const QRgb px = line[sx];
            // Transparent parts show the black under the picture.
            out[c] = qAlpha(px) != 0 && (qRed(px) | qGreen(px) | qBlue(px)) != 0 ? 1 : 0;
        }
    }
    return mask;
}

}  // namespace corv
