#include <QGuiApplication>
#include <QtTest>

#include "base/FileUtil.h"
#include "base/TempDir.h"
#include "layout/LayoutImage.h"

using namespace corv;

class LayoutImageTest : public QObject {
    Q_OBJECT

private slots:
    void ledsRoutesAndFormats() {
        Layout layout;
        layout.New(4, 6, false, 3);
        layout.lines[2] = {MakePoint(1, 1), MakePoint(1, 4)};
        const QImage image = RenderLayout(layout, 10);
        QCOMPARE(image.size(), QSize(61, 41));
        // LED centres and the route between them have the line's colour; empty cells do not.
        QCOMPARE(image.pixelColor(45, 15).rgb(), LineColour(2).rgb());
        QCOMPARE(image.pixelColor(15, 15).rgb(), LineColour(2).rgb());
        // The route between them is drawn (antialiased, so only its presence is checked).
        QVERIFY(image.pixelColor(30, 15).red() > 100);
        QVERIFY(image.pixelColor(35, 35).rgb() != LineColour(2).rgb());
        TempDir dir;
        QVERIFY(SaveLayoutImage(image, QString::fromStdString(dir.File("a.png").string())));
        QVERIFY(SaveLayoutImage(image, QString::fromStdString(dir.File("a.JPEG").string())));
        QVERIFY(SaveLayoutImage(image, QString::fromStdString(dir.File("a.bmp").string())));
        QVERIFY(SaveLayoutImage(image, QString::fromStdString(dir.File("a.gif").string())));
        QCOMPARE(QImage(QString::fromStdString(dir.File("a.png").string())).size(), image.size());
        // The GIF reads back (Qt reads GIF) with the LED's colour.
        const QImage gif(QString::fromStdString(dir.File("a.gif").string()), "GIF");
        QCOMPARE(gif.size(), image.size());
        QCOMPARE(gif.pixelColor(45, 15).rgb(), LineColour(2).rgb());
        QVERIFY(!SaveLayoutImage(image, QString::fromStdString(dir.File("no/such/folder/a.gif").string())));
    }

    void lineNumbersStayInsideAndSizeIsBounded() {
        // Line 12 starts in the last column: its number is moved left into the picture instead
        // of being drawn past the right edge.
        Layout layout;
        layout.New(3, 5, false, 3);
        layout.lines[11] = {MakePoint(1, 4)};
        const QImage image = RenderLayout(layout, 12);
        QCOMPARE(image.width(), 61);
        int bright = 0;
        for (int y = 0; y < 12; ++y) {
            for (int x = 40; x < 56; ++x) {
                const QColor c = image.pixelColor(x, y);
                bright += c.red() > 200 && c.green() > 200 && c.blue() > 200 ? 1 : 0;
            }
        }
        QVERIFY2(bright > 5, "the number is drawn inside the picture");
        // Pictures stay within the bounds: smaller cells, or none when even 2 pixels do not fit.
        LayoutGrid grid;
        grid.rows = 2000;
        grid.cols = 2000;
        QCOMPARE(LayoutPictureCell(grid, 12), 4);  // 8001 x 8001 pixels fit, 10001 x 10001 do not
        grid.cols = 20000;
        QCOMPARE(LayoutPictureCell(grid, 12), 0);
        grid.rows = 10;
        grid.cols = 10;
        QCOMPARE(LayoutPictureCell(grid, 12), 12);
        // A failed save names the file and its reason.
        TempDir dir;
        const auto saved = SaveLayoutImage(image, QString::fromStdString(dir.File("none/a.png").string()));
        QVERIFY(!saved);
        QVERIFY(QString::fromStdString(saved.failure().reason).endsWith(QStringLiteral("No such file or directory")));
    }
};

QTEST_MAIN(LayoutImageTest)
#include "LayoutImageTest.moc"
