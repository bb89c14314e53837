// The main window's media commands driven as a user drives them: paint edit with a stand-in
// painting program, the import window's preview and its controller output, the video export
// and its options.
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>
#include <fstream>

#include "AppTestSupport.h"
#include "app/media/CaptureDialog.h"
#include "app/media/ImportWindow.h"
#include "app/media/PaintEditSession.h"
#include "app/media/VideoOptionDialog.h"
#include "layout/Layout.h"
#include "media/Movie.h"
#include "media/VideoSettings.h"
#include "project/Document.h"
#include "workspace/Settings.h"

using namespace corv;
using corv::testing::Command;
using corv::testing::StartedWorkspace;

namespace {

Frame Colour(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) { return Frame::Filled(w, h, r, g, b); }

QString WriteScript(const TempDir& dir, const char* name, const std::string& body) {
    const auto path = dir.File(name);
    std::ofstream(path) << "#!/bin/sh\n" << body;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return QString::fromStdString(path.string());
}

}  // namespace

class MediaWindowTest : public QObject {
    Q_OBJECT

private slots:
    void paintEditTakesEverySaveOfThePainterAndCleansUp() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        TempDir dir;
        // The painter saves twice: through a new file renamed over the picture, then in place.
        const QString painter = WriteScript(dir, "painter.sh",
                                            "sleep 0.3\n"
                                            "convert -size 8x8 xc:'#00ff00' -type truecolor BMP3:\"$1.new\" && mv \"$1.new\" \"$1\"\n"
                                            "sleep 0.6\n"
                                            "convert -size 8x8 xc:'#0000ff' -type truecolor BMP3:\"$1\"\n"
                                            "sleep 0.4\n");
        s.ws.config->WriteString(keys::kPaintPath, painter.toStdString());
        const Frame before = *s.ws.frames.CurrentFrame();
        const int w = before.width(), h = before.height();
        QVERIFY(frame.PaintEdit());
        PaintEditSession* session = frame.paintSession();
        QVERIFY(session);
        const QString folder = session->folder();
        QVERIFY(folder.contains(QStringLiteral("/Watch")));
        // The frame went out as a 24-bit bitmap of the frame's own bytes.
        QFile bmp(session->bitmapPath());
        QVERIFY(bmp.open(QIODevice::ReadOnly));
        const QByteArray bytes = bmp.readAll();
        QCOMPARE(bytes.size(), static_cast<int>(54 + before.size()));
        QCOMPARE(bytes.left(2), QByteArray("BM"));
        QVERIFY(std::equal(before.bytes().begin(), before.bytes().end(), bytes.constData() + 54));
        // Each save reaches the frame, scaled to it.
        QTRY_COMPARE_WITH_TIMEOUT(s.ws.frames.CurrentFrame()->Pixel(w - 1, h - 1), (Bgr{0, 255, 0}), 5000);
        QCOMPARE(s.ws.frames.CurrentFrame()->width(), w);
        QTRY_COMPARE_WITH_TIMEOUT(s.ws.frames.CurrentFrame()->Pixel(0, 0), (Bgr{255, 0, 0}), 5000);
        // The painter ended: the folder is gone, and one undo takes every save back.
        QTRY_VERIFY_WITH_TIMEOUT(!frame.paintSession(), 5000);
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(frame.UndoFrames());
        QCOMPARE(s.ws.frames.CurrentFrame()->Pixel(0, 0), before.Pixel(0, 0));

        // No painter configured and none on the PATH: a message that says what to do.
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(dir.path().string()));
        s.ws.config->WriteString(keys::kPaintPath, "/no/such/painter");
        QVERIFY(!frame.PaintEdit());
        qputenv("PATH", path);
        QVERIFY(QString::fromStdString(s.prompt.messages().back()).startsWith(QStringLiteral("No painting program was found")));
        // A configured file that cannot run is passed over.
        const QString broken = QString::fromStdString(dir.File("not-executable").string());
        std::ofstream(dir.File("not-executable")) << "x";
        QVERIFY(FindPainter(broken) != broken);
        QCOMPARE(FindPainter(painter), painter);
    }

    void importWindowPreviewsAndWritesControllerFiles() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        TempDir dir;
        const int w = s.ws.app.frameWidth, h = s.ws.app.frameHeight;
        // A movie of three coloured pictures at twice the frame size.
        const std::string movie = dir.File("clip.avi").string();
        {
            MovieWriter writer;
            VideoOptions options;
            options.encoder = "rawvideo";
            QVERIFY(writer.Open(movie, 2 * w, 2 * h, options));
            QVERIFY(writer.Write(Colour(2 * w, 2 * h, 255, 0, 0)));
            QVERIFY(writer.Write(Colour(2 * w, 2 * h, 0, 255, 0)));
            QVERIFY(writer.Write(Colour(2 * w, 2 * h, 0, 0, 255)));
            QVERIFY(writer.Close());
        }
        // The window's panel: the frame size, the count, the first picture, the fit modes.
        ImportWindow window(s.ws.app.language, QSize(w, h), s.ws.temp().path(), QString::fromStdString(dir.File("1.swf").string()));
        window.Preview(QString::fromStdString(movie));
        QCOMPARE(window.frameNum(), 3);
        QCOMPARE(window.importFrames(), 3);
        QCOMPARE(window.findChild<QSpinBox*>(QStringLiteral("width"))->value(), w);
        QVERIFY(!window.previewLabel()->pixmap().isNull());
        QVERIFY(window.findChild<QRadioButton*>(QStringLiteral("center"))->isChecked());
        QCOMPARE(window.fit(), Fit::Center);
        window.findChild<QRadioButton*>(QStringLiteral("stretch"))->setChecked(true);
        QCOMPARE(window.fit(), Fit::Stretch);
        QVERIFY(window.outputControllerData());
        std::ofstream(dir.File("junk.mp4")) << "not a movie";
        window.Preview(QString::fromStdString(dir.File("junk.mp4").string()));
        QCOMPARE(window.frameNum(), 0);
        QVERIFY(window.previewLabel()->text().contains(QStringLiteral("Open file fail!")));

        // Controller files straight from the movie, read back: the wired LEDs show its colours.
        s.ws.layout.New(h, w, false, 3);
        s.ws.layout.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(0, 2)};
        s.ws.layout.RecomputeLineCount();
        const QString led = QString::fromStdString(dir.File("movie.led").string());
        QVERIFY(frame.ImportOutput(QString::fromStdString(movie), Fit::Stretch, 0, led));
        const std::size_t before = s.ws.frames.CurrentFrames().size();
        QVERIFY(frame.ImportControllerFile(led));
        const auto& frames = s.ws.frames.CurrentFrames();
        QCOMPARE(frames.size(), before + 3);
        QCOMPARE(frames[1].Pixel(1, 0), (Bgr{0, 0, 255}));
        QCOMPARE(frames[2].Pixel(2, 0), (Bgr{0, 255, 0}));
        QCOMPARE(frames[3].Pixel(0, 0), (Bgr{255, 0, 0}));
        // A document of another frame size is refused with the program's message.
        std::vector<Frame> other = {Colour(w + 1, h, 1, 2, 3)};
        QCOMPARE(DocErrorOf(WriteSingleClipDocument(dir.File("other.cvn"), other)), DocError::None);
        QVERIFY(!frame.ImportOutput(QString::fromStdString(dir.File("other.cvn").string()), Fit::Center, 0, led));
        QVERIFY(QString::fromStdString(s.prompt.messages().back()).contains(QStringLiteral("The file or the file version is not supported!")));
    }

    void videoExportFollowsTheOptions() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        const std::filesystem::path config = s.ws.home / kConfigFileName;
        // The defaults with no settings: 20 a second, a key frame every 20, quality 65, uncompressed.
        const VideoSettings start = ReadVideoSettings(config);
        QCOMPARE(start.framesPerSecond, 20);
        QCOMPARE(start.keyFramesEvery, 20);
        QCOMPARE(start.compQuality, 65);
        QCOMPARE(start.compFccHandler, 0u);
        QVERIFY(ToVideoOptions(start).encoder.empty());
        // The dialog lists the encoders and writes its five keys on OK.
        {
            VideoOptionDialog dialog(s.ws.app.language, config);
            QComboBox* box = dialog.encoderBox();
            QVERIFY(box->count() >= 3);
            QCOMPARE(box->currentIndex(), 0);
            const int mjpeg = box->findText(QStringLiteral("Motion JPEG"));
            QVERIFY(mjpeg > 0);
            box->setCurrentIndex(mjpeg);
            dialog.findChild<QSpinBox*>(QStringLiteral("framesPerSecond"))->setValue(12);
            dialog.findChild<QSlider*>(QStringLiteral("quality"))->setValue(90);
            QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("qualityValue"))->text(), QStringLiteral("90"));
            dialog.accept();
        }
        const VideoSettings chosen = ReadVideoSettings(config);
        QCOMPARE(chosen.framesPerSecond, 12);
        QCOMPARE(chosen.compQuality, 90);
        QCOMPARE(chosen.compFccHandler, MakeFourcc("MJPG"));
        QCOMPARE(ToVideoOptions(chosen).encoder, std::string("mjpeg"));
        // The export writes the current clip with them.
        TempDir dir;
        const QString out = QString::fromStdString(dir.File("clip.avi").string());
        QVERIFY(frame.ExportVideo(out));
        MovieReader reader;
        QVERIFY(reader.Open(out.toStdString()));
        QCOMPARE(reader.info().codec, std::string("mjpeg"));
        QCOMPARE(reader.info().fps, 12.0);
        QCOMPARE(reader.CountFrames(), static_cast<std::int64_t>(s.ws.frames.CurrentFrames().size()));
        // A file that cannot be written: a message, no file.
        QVERIFY(!frame.ExportVideo(QString::fromStdString(dir.File("no/such/dir/x.avi").string())));
        QVERIFY(QString::fromStdString(s.prompt.messages().back()).contains(QStringLiteral("Save file fail!")));
    }

    void captureDialogStartsWithItsValuesAndInsertsScaledPictures() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        CaptureDialog dialog(s.ws.app.language, s.prompt, QSize(40, 20));
        QCOMPARE(dialog.region().size(), QSize(40, 20));
        QCOMPARE(dialog.findChild<QSpinBox*>(QStringLiteral("rate"))->value(), 20);
        QCOMPARE(dialog.findChild<QSpinBox*>(QStringLiteral("frames"))->value(), 100);
        QVERIFY(dialog.smoothZoom());
        QVERIFY(dialog.hardwareAcceleration());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Video capture transform"));
        // Nothing captured: Save refuses, OK gives nothing.
        TempDir dir;
        QVERIFY(!dialog.SaveDocument(QString::fromStdString(dir.File("c.cvn").string())));
        QVERIFY(dialog.TakeScaled(QSize(8, 8)).empty());
        // The main window places pictures after the current frame in one undo step.
        CMainFrame frame(s.ws, s.prompt);
        const std::size_t count = s.ws.frames.CurrentFrames().size();
        const int w = s.ws.app.frameWidth, h = s.ws.app.frameHeight;
        std::vector<Frame> pictures;
        pictures.push_back(Colour(w, h, 9, 9, 9));
        pictures.push_back(Colour(w, h, 8, 8, 8));
        QVERIFY(frame.PlaceCaptured(std::move(pictures)));
        QCOMPARE(s.ws.frames.CurrentFrames().size(), count + 2);
        QCOMPARE(s.ws.frames.CurrentFrames()[1].Pixel(0, 0), (Bgr{9, 9, 9}));
        QVERIFY(frame.UndoFrames());
        QCOMPARE(s.ws.frames.CurrentFrames().size(), count);
    }
};

QTEST_MAIN(MediaWindowTest)
#include "MediaWindowTest.moc"
