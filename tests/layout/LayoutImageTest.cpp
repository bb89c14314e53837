#include <QGuiApplication>
#include <QtTest>

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
};

QTEST_MAIN(LayoutImageTest)
#include "LayoutImageTest.moc"
