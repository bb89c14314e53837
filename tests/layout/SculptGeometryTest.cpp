// The sculpt view's geometry: zoom steps, the window-to-cell mapping with its truncation, the
// pan limit, and the background mask with its sampling scale.
#include <QGuiApplication>
#include <QPainter>
#include <QtTest>

#include "layout/SculptGeometry.h"

using namespace corv;

class SculptGeometryTest : public QObject {
    Q_OBJECT

private slots:
    void zoomSteps() {
        float z = 8.0f;
        z = SculptZoomIn(z);
        QCOMPARE(z, 10.0f);
        z = SculptZoomIn(z);
        QCOMPARE(z, 20.0f);
        z = SculptZoomOut(z);
        QCOMPARE(z, 10.0f);
        z = SculptZoomOut(z);
        QCOMPARE(z, 8.0f);
        // The ends hold; a step past them stops at them.
        QCOMPARE(SculptZoomIn(100.0f), 100.0f);
        QCOMPARE(SculptZoomIn(95.0f), 100.0f);
        QCOMPARE(SculptZoomOut(0.1f), 0.1f);
        QCOMPARE(SculptZoomOut(0.11f), 0.1f);
        QCOMPARE(SculptZoomIn(9.0f), 11.25f);
        QCOMPARE(SculptZoomOut(11.25f), 1.25f);
        // A round trip from the start zoom through every step up and back down.
        z = kSculptStartZoom;
        int ups = 0;
        while (z < kSculptMaxZoom && ups < 100) z = SculptZoomIn(z), ++ups;
        QCOMPARE(ups, 9);
        while (z > kSculptStartZoom) z = SculptZoomOut(z);
        QCOMPARE(z, kSculptStartZoom);
    }

    void windowToCell() {
        // 24 rows, 32 columns centred at (400, 300) at zoom 10: the grid starts at (240, 180).
        const QPoint c(400, 300);
        auto at = [&](int x, int y, float zoom, int rows = 24, int cols = 32) {
            const SculptCell cell = SculptCellAt(x, y, c, rows, cols, zoom);
            return QPoint(cell.col, cell.row);
        };
        QCOMPARE(at(240, 180, 10), QPoint(0, 0));
        QCOMPARE(at(249, 189, 10), QPoint(0, 0));
        QCOMPARE(at(250, 190, 10), QPoint(1, 1));
        QCOMPARE(at(559, 419, 10), QPoint(31, 23));
        QCOMPARE(at(560, 420, 10), QPoint(32, 24));  // past the grid: the caller clips
        // Truncation towards zero: up to a cell left of or above the grid still reads 0.
        QCOMPARE(at(235, 175, 10), QPoint(0, 0));
        QCOMPARE(at(230, 170, 10), QPoint(-1, -1));
        // Below 1 a pixel spans several cells: zoom 0.5 puts the grid at 392..408.
        QCOMPARE(at(392, 294, 0.5f), QPoint(0, 0));
        QCOMPARE(at(393, 295, 0.5f), QPoint(2, 2));
        QCOMPARE(at(395, 294, 0.5f), QPoint(6, 0));
        // The half width is an integer halving of the truncated width: 33 x 1.25 = 41.25 -> 41 -> 20.
        QCOMPARE(at(380, 300, 1.25f, 24, 33), QPoint(0, 12));
        QCOMPARE(at(381, 300, 1.25f, 24, 33), QPoint(0, 12));
        QCOMPARE(at(382, 300, 1.25f, 24, 33), QPoint(1, 12));
        // Above 1: zoom 37.5 on a 3 x 3 grid, grid from 400 - 56 = 344.
        QCOMPARE(at(344 + 37, 300, 37.5f, 3, 3), QPoint(0, 1));
        QCOMPARE(at(344 + 38, 300, 37.5f, 3, 3), QPoint(1, 1));
        // The drawn grid rectangle agrees with the mapping.
        const QRectF g = SculptGridRect(c, 24, 32, 10);
        QCOMPARE(g, QRectF(240, 180, 320, 240));
    }

    void panLimit() {
        const QSize window(800, 600);
        // A 320 x 240 picture: its left edge may reach the middle, not pass it.
        QCOMPARE(LimitSculptCentre(QPoint(1000, 300), window, 24, 32, 10), QPoint(560, 300));
        QCOMPARE(LimitSculptCentre(QPoint(0, 0), window, 24, 32, 10), QPoint(240, 180));
        QCOMPARE(LimitSculptCentre(QPoint(450, 320), window, 24, 32, 10), QPoint(450, 320));
    }

    void maskScaleAndSampling() {
        // rows + cols at 1000, 1001, 2000 and 2001: 10, 5, 5 and 1 pixels per cell.
        const struct {
            int rows, cols, scale;
        } cases[] = {{1, 999, 10}, {1, 1000, 5}, {2, 1998, 5}, {1, 2000, 1}};
        for (const auto& k : cases) {
            QCOMPARE(BackgroundMaskScale(k.rows, k.cols), k.scale);
            const int s = k.scale;
            // A picture of s pixels per cell laid over the grid (10 units per cell): each of its
            // pixels is one pixel of the mask's drawing. Some cells get a white pixel on their
            // sample point, others only beside it.
            QImage picture(k.cols * s, k.rows * s, QImage::Format_RGB32);
            picture.fill(Qt::black);
            std::vector<std::uint8_t> want(static_cast<std::size_t>(k.rows * k.cols), 0);
            for (int r = 0; r < k.rows; ++r) {
                for (int c = 0; c < k.cols; ++c) {
                    if ((r * 7 + c * 3) % 5 == 0) {
                        picture.setPixel(c * s + s / 2, r * s + s / 2, qRgb(0, 0, 1));  // dark but not black
                        want[static_cast<std::size_t>(r * k.cols + c)] = 1;
                    } else if (s > 1 && (r + c) % 4 == 1) {
                        picture.setPixel(c * s + s / 2 + 1, r * s + s / 2 - 1, qRgb(255, 255, 255));
                    }
                }
            }
            const SculptBackground bg{picture, QRect(0, 0, k.cols * 10, k.rows * 10)};
            QVERIFY2(BuildBackgroundMask(bg, k.rows, k.cols) == want, qPrintable(QString::number(k.rows + k.cols)));
        }
    }

    void maskFollowsThePicturesPlace() {
        // A white 2 x 2 picture over cells 2..3 across and 1..2 down; transparent parts are black.
        QImage picture(2, 2, QImage::Format_ARGB32);
        picture.fill(Qt::white);
        picture.setPixel(1, 1, qRgba(255, 255, 255, 0));
        const SculptBackground bg{picture, QRect(20, 10, 20, 20)};
        const std::vector<std::uint8_t> mask = BuildBackgroundMask(bg, 4, 6);
        std::vector<std::uint8_t> want(24, 0);
        want[1 * 6 + 2] = want[1 * 6 + 3] = want[2 * 6 + 2] = 1;
        QVERIFY(mask == want);
        // No background, or one of no size: an empty mask of the grid's size.
        QVERIFY(BuildBackgroundMask({}, 4, 6) == std::vector<std::uint8_t>(24, 0));
        QVERIFY(BuildBackgroundMask({picture, QRect(0, 0, 0, 10)}, 4, 6) == std::vector<std::uint8_t>(24, 0));
    }
};

QTEST_MAIN(SculptGeometryTest)
#include "SculptGeometryTest.moc"
