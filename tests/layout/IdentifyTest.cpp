// Fast Identify on synthetic photographs made here: soft dots on a dark background with noise,
// uneven light and a tilted grid.
#include <QPainter>
#include <QtTest>
#include <cmath>
#include <random>

#include "layout/Identify.h"

using namespace corv;

namespace {

// A grid of cols x rows dots `pitch` apart, turned by `tilt` degrees, each a soft spot of
// `radius`; light falling off from left to right; noise of +-`noise` levels.
QImage Photo(int cols, int rows, double pitch, double tilt, double radius, int noise, unsigned seed) {
    const int margin = static_cast<int>(pitch * 1.5);
    const int w = static_cast<int>(cols * pitch) + 2 * margin, h = static_cast<int>(rows * pitch) + 2 * margin;
    std::vector<double> level(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0.0);
    const double a = tilt * M_PI / 180.0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const double gx = c * pitch, gy = r * pitch;
            const double cx = margin + gx * std::cos(a) - gy * std::sin(a) + (tilt > 0 ? rows * pitch * std::sin(a) : 0);
            const double cy = margin + gx * std::sin(a) + gy * std::cos(a);
            for (int y = std::max(0, static_cast<int>(cy - 3 * radius)); y < std::min(h, static_cast<int>(cy + 3 * radius) + 1); ++y) {
                for (int x = std::max(0, static_cast<int>(cx - 3 * radius)); x < std::min(w, static_cast<int>(cx + 3 * radius) + 1); ++x) {
                    const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                    level[static_cast<std::size_t>(y * w + x)] += 200.0 * std::exp(-d2 / (2 * radius * radius));
                }
            }
        }
    }
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> jitter(-noise, noise);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // Uneven light: a dim left side, a washed-out right one.
            const double light = 0.55 + 0.45 * x / w;
            const double ambient = 15 + 45.0 * x / w;
            const int v = std::clamp(static_cast<int>(ambient + light * level[static_cast<std::size_t>(y * w + x)]) + jitter(random), 0, 255);
            image.setPixel(x, y, qRgb(v, std::max(0, v - 20), std::max(0, v - 40)));
        }
    }
    return image;
}

int Lit(const QImage& leds) {
    int n = 0;
    for (int y = 0; y < leds.height(); ++y) {
        for (int x = 0; x < leds.width(); ++x) n += leds.pixel(x, y) == qRgb(255, 255, 255);
    }
    return n;
}

}  // namespace

class IdentifyTest : public QObject {
    Q_OBJECT
private slots:
    void findsEveryDotOfAStraightGrid() {
        const QImage photo = Photo(12, 8, 18, 0, 2.5, 12, 1);
        const IdentifiedLeds r = FastIdentify(photo);
        QCOMPARE(static_cast<int>(r.centres.size()), 96);
        QCOMPARE(r.cols, 12);
        QCOMPARE(r.rows, 8);
        QCOMPARE(Lit(r.leds), 96);
        QCOMPARE(r.dropped, 0);
        QVERIFY(std::abs(r.pitch - 18) < 1.0);
    }

    void findsEveryDotOfATiltedGridUnderUnevenLight() {
        const QImage photo = Photo(10, 6, 22, 6, 3.0, 15, 2);
        const IdentifiedLeds r = FastIdentify(photo);
        QCOMPARE(static_cast<int>(r.centres.size()), 60);
        QVERIFY(std::abs(r.tilt * 180 / M_PI - 6) < 1.5);
        QCOMPARE(r.cols, 10);
        QCOMPARE(r.rows, 6);
        QCOMPARE(Lit(r.leds), 60);
    }

    void aGridWithGapsKeepsItsPlacesAndNoiseAloneFindsNothing() {
        // Dots missing from a grid leave their cells dark: the grid keeps its size.
        QImage photo = Photo(8, 5, 20, 0, 2.5, 8, 3);
        QPainter p(&photo);
        p.fillRect(QRectF(30 + 2 * 20 - 8, 30 + 1 * 20 - 8, 16, 16), QColor(20, 0, 0));  // hide dot (col 2, row 1)
        p.end();
        const IdentifiedLeds r = FastIdentify(photo);
        QCOMPARE(static_cast<int>(r.centres.size()), 39);
        QCOMPARE(r.cols, 8);
        QCOMPARE(r.rows, 5);
        QCOMPARE(r.leds.pixel(2, 1), qRgb(0, 0, 0));
        QCOMPARE(r.leds.pixel(3, 1), qRgb(255, 255, 255));
        // A dark picture with noise only, and a tiny picture: no dots.
        QImage dark(200, 120, QImage::Format_RGB32);
        std::mt19937 random(4);
        for (int y = 0; y < dark.height(); ++y) {
            for (int x = 0; x < dark.width(); ++x) {
                const int v = 20 + static_cast<int>(random() % 12);
                dark.setPixel(x, y, qRgb(v, v, v));
            }
        }
        QCOMPARE(static_cast<int>(FastIdentify(dark).centres.size()), 0);
        QCOMPARE(static_cast<int>(FastIdentify(QImage(1, 1, QImage::Format_RGB32)).centres.size()), 0);
    }
};

QTEST_MAIN(IdentifyTest)
#include "IdentifyTest.moc"
