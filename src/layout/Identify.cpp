#include "layout/Identify.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace corv {

namespace {

// The mean of every (2r+1) square about each pixel, through an integral image.
std::vector<float> BoxMean(const std::vector<float>& v, int w, int h, int r) {
    std::vector<double> sum(static_cast<std::size_t>(w + 1) * static_cast<std::size_t>(h + 1), 0.0);
    auto at = [&](int x, int y) -> double& { return sum[static_cast<std::size_t>(y) * static_cast<std::size_t>(w + 1) + static_cast<std::size_t>(x)]; };
    for (int y = 0; y < h; ++y) {
        double row = 0;
        for (int x = 0; x < w; ++x) {
            row += v[static_cast<std::size_t>(y * w + x)];
            at(x + 1, y + 1) = at(x + 1, y) + row;
        }
    }
    std::vector<float> out(v.size());
    for (int y = 0; y < h; ++y) {
        const int y0 = std::max(0, y - r), y1 = std::min(h, y + r + 1);
        for (int x = 0; x < w; ++x) {
            const int x0 = std::max(0, x - r), x1 = std::min(w, x + r + 1);
            const double s = at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0);
            out[static_cast<std::size_t>(y * w + x)] = static_cast<float>(s / ((x1 - x0) * (y1 - y0)));
        }
    }
    return out;
}

// Otsu's threshold of values 0..255.
int Otsu(const std::vector<float>& v) {
    std::array<double, 256> hist{};
    for (float f : v) hist[static_cast<std::size_t>(std::clamp(static_cast<int>(f), 0, 255))] += 1;
    const double total = static_cast<double>(v.size());
    double sumAll = 0;
    for (int i = 0; i < 256; ++i) sumAll += i * hist[static_cast<std::size_t>(i)];
    double sumB = 0, weightB = 0, best = -1;
    int threshold = 0;
    for (int t = 0; t < 256; ++t) {
        weightB += hist[static_cast<std::size_t>(t)];
        if (weightB == 0) continue;
        const double weightF = total - weightB;
        if (weightF == 0) break;
        sumB += t * hist[static_cast<std::size_t>(t)];
        const double mB = sumB / weightB, mF = (sumAll - sumB) / weightF;
        const double between = weightB * weightF * (mB - mF) * (mB - mF);
        if (between > best) {
            best = between;
            threshold = t;
        }
    }
    return threshold;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

}  // namespace

IdentifiedLeds FastIdentify(const QImage& photo, int minArea) {
    IdentifiedLeds result;
    const QImage image = photo.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    if (w < 2 || h < 2) return result;
    // Brightness: the brightest channel, so coloured LEDs count as much as white ones.
    std::vector<float> bright(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) bright[static_cast<std::size_t>(y * w + x)] = static_cast<float>(std::max({qRed(line[x]), qGreen(line[x]), qBlue(line[x])}));
    }
    // Uneven light: subtract the local background (a wide mean).
    const int radius = std::max(8, std::min(w, h) / 12);
    const std::vector<float> background = BoxMean(bright, w, h, radius);
    std::vector<float> lifted(bright.size());
    for (std::size_t i = 0; i < bright.size(); ++i) lifted[i] = std::max(0.0f, bright[i] - background[i]);
    const int threshold = std::max(Otsu(lifted), 24);  // noise alone never reaches it
    // Connected components (8 neighbours) of the pixels above the threshold.
    std::vector<int> label(bright.size(), -1);
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        if (label[static_cast<std::size_t>(start)] >= 0 || lifted[static_cast<std::size_t>(start)] <= threshold) continue;
        double sx = 0, sy = 0, weight = 0;
        int area = 0;
        stack.assign(1, start);
        label[static_cast<std::size_t>(start)] = 1;
        while (!stack.empty()) {
            const int p = stack.back();
            stack.pop_back();
            const int px = p % w, py = p / w;
            const double m = lifted[static_cast<std::size_t>(p)];
            sx += px * m;
            sy += py * m;
            weight += m;
            ++area;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = px + dx, ny = py + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    const int q = ny * w + nx;
                    if (label[static_cast<std::size_t>(q)] >= 0 || lifted[static_cast<std::size_t>(q)] <= threshold) continue;
                    label[static_cast<std::size_t>(q)] = 1;
                    stack.push_back(q);
                }
            }
        }
        if (area >= minArea && weight > 0) result.centres.emplace_back(sx / weight, sy / weight);
    }
    const auto& c = result.centres;
    if (c.empty()) return result;
    // Pitch and tilt from each dot's nearest neighbour.
    std::vector<double> distances, angles;
    for (std::size_t i = 0; i < c.size(); ++i) {
        double best = 1e300;
        QPointF nearest;
        for (std::size_t j = 0; j < c.size(); ++j) {
            if (i == j) continue;
            const QPointF d = c[j] - c[i];
            const double dist = std::hypot(d.x(), d.y());
            if (dist < best) {
                best = dist;
                nearest = d;
            }
        }
        if (best < 1e300) {
            distances.push_back(best);
            // The direction folded into -45..45 degrees: rows and columns count alike.
            double a = std::atan2(nearest.y(), nearest.x());
            while (a > M_PI / 4) a -= M_PI / 2;
            while (a < -M_PI / 4) a += M_PI / 2;
            angles.push_back(a);
        }
    }
    result.pitch = distances.empty() ? 1.0 : std::max(1.0, Median(distances));
    result.tilt = Median(angles);
    // Turn the dots back by the tilt and give each its cell.
    const double cs = std::cos(-result.tilt), sn = std::sin(-result.tilt);
    std::vector<QPointF> straight;
    double minX = 1e300, minY = 1e300;
    for (const QPointF& p : c) {
        const QPointF q(p.x() * cs - p.y() * sn, p.x() * sn + p.y() * cs);
        straight.push_back(q);
        minX = std::min(minX, q.x());
        minY = std::min(minY, q.y());
    }
    std::vector<std::pair<int, int>> cells;
    for (const QPointF& q : straight) {
        const int col = static_cast<int>(std::lround((q.x() - minX) / result.pitch));
        const int row = static_cast<int>(std::lround((q.y() - minY) / result.pitch));
        cells.emplace_back(col, row);
        result.cols = std::max(result.cols, col + 1);
        result.rows = std::max(result.rows, row + 1);
    }
    result.leds = QImage(result.cols, result.rows, QImage::Format_RGB32);
    result.leds.fill(Qt::black);
    for (const auto& [col, row] : cells) {
        // Two dots on one pixel: the nearest free pixel within one pixel.
        bool placed = false;
        for (int ring = 0; ring <= 1 && !placed; ++ring) {
            for (int dy = -ring; dy <= ring && !placed; ++dy) {
                for (int dx = -ring; dx <= ring && !placed; ++dx) {
                    const int x = col + dx, y = row + dy;
                    if (x < 0 || y < 0 || x >= result.cols || y >= result.rows || result.leds.pixel(x, y) != qRgb(0, 0, 0)) continue;
                    result.leds.setPixel(x, y, qRgb(255, 255, 255));
                    placed = true;
                }
            }
        }
        if (!placed) ++result.dropped;
    }
    return result;
}

}  // namespace corv
