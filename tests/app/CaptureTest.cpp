// Screen capture on a real X server (the test runs under Xvfb): a window of known colours is
// grabbed at the dialog's rate, a second run adds to the first, and the pictures survive Save.
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSpinBox>
#include <QtTest>

#include "app/media/CaptureDialog.h"
#include "app/media/CaptureWindow.h"
#include "base/Prompt.h"
#include "base/TempDir.h"
#include "project/Document.h"

using namespace corv;

namespace {

// Red on the left half, blue on the right.
class Colours : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(0, 0, width() / 2, height(), Qt::red);
        p.fillRect(width() / 2, 0, width() - width() / 2, height(), Qt::blue);
    }
};

}  // namespace

class CaptureTest : public QObject {
    Q_OBJECT

private slots:
    void grabsTheScreenAtTheRateAndAddsRuns() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) QSKIP("needs an X server (run under xvfb-run)");
        Colours colours;
        colours.setWindowFlags(Qt::FramelessWindowHint);
        colours.setGeometry(0, 0, 200, 100);
        colours.show();
        QVERIFY(QTest::qWaitForWindowExposed(&colours));
        RecordingPrompt prompt;
        CaptureDialog dialog(3, prompt, QSize(64, 32));
        dialog.move(400, 300);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.SetRegion(QRect(68, 34, 64, 32));  // straddles the red-blue border at x = 100
        QCOMPARE(dialog.captureWindow()->region(), QRect(68, 34, 64, 32));
        dialog.findChild<QSpinBox*>(QStringLiteral("frames"))->setValue(100);
        dialog.StartCapture();
        QVERIFY(dialog.capturing());
        QVERIFY(!dialog.captureWindow()->isVisible());  // hidden while grabbing
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.capturing(), 20000);
        const qint64 took = clock.elapsed();
        // About 100 pictures (the run ends one before its target) in about 5 seconds.
        QCOMPARE(static_cast<int>(dialog.captured().size()), 99);
        qInfo("100 pictures at 20 a second took %lld ms", static_cast<long long>(took));
        QVERIFY(dialog.captureWindow()->isVisible());
        const Frame& f = dialog.captured().front();
        QCOMPARE(f.width(), 64);
        QCOMPARE(f.height(), 32);
        QCOMPARE(f.Pixel(10, 10), (Bgr{0, 0, 255}));  // red
        QCOMPARE(f.Pixel(50, 10), (Bgr{255, 0, 0}));  // blue
        // A second run keeps the first one's pictures.
        dialog.findChild<QSpinBox*>(QStringLiteral("frames"))->setValue(10);
        dialog.StartCapture();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.capturing(), 10000);
        QCOMPARE(static_cast<int>(dialog.captured().size()), 108);
        // Saved as a document of one clip.
        TempDir dir;
        QVERIFY(dialog.SaveDocument(QString::fromStdString(dir.File("grab.cvn").string())));
        ClipFrameReader reader;
        QCOMPARE(DocErrorOf(reader.Open(dir.File("grab.cvn"), 0, dir.path())), DocError::None);
        QCOMPARE(reader.count(), std::size_t{108});
        QCOMPARE(reader.Next(107)->Pixel(50, 10), (Bgr{255, 0, 0}));
        // The system-wide keys start and stop a run whichever window has the focus (sent
        // through the X server by xdotool, as a keyboard would).
        if (!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            colours.activateWindow();
            QTRY_VERIFY(colours.isActiveWindow());
            dialog.findChild<QSpinBox*>(QStringLiteral("frames"))->setValue(1000);
            QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+shift+F5")}), 0);
            QTRY_VERIFY_WITH_TIMEOUT(dialog.capturing(), 5000);
            QTRY_VERIFY_WITH_TIMEOUT(dialog.captured().size() > 110, 5000);
            QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+shift+F7")}), 0);
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.capturing(), 5000);
            QVERIFY(dialog.captured().size() < 1000);
            dialog.DeleteAll();
            QVERIFY(dialog.captured().empty());
            dialog.findChild<QSpinBox*>(QStringLiteral("frames"))->setValue(10);
            dialog.StartCapture();
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.capturing(), 5000);
        }
        // OK: the pictures made the frame size (scaled), the dialog keeps none.
        const std::size_t kept = dialog.captured().size();
        const std::vector<Frame> scaled = dialog.TakeScaled(QSize(32, 16));
        QCOMPARE(scaled.size(), kept);
        QCOMPARE(scaled.front().width(), 32);
        QCOMPARE(scaled.front().Pixel(5, 5), (Bgr{0, 0, 255}));
        QVERIFY(dialog.captured().empty());
    }
};

QTEST_MAIN(CaptureTest)
#include "CaptureTest.moc"
