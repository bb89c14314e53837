// The main window's sequence file commands: the export dialog's choices and the request they
// make, export of the current clip and import of the file back into it.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

#include <fstream>

#include "AppTestSupport.h"
#include "app/shell/SequenceExportDialog.h"
#include "net/NetworkFile.h"
#include "seq/SequenceReader.h"

using namespace corv;
using corv::testing::Command;
using corv::testing::StartedWorkspace;

namespace {

// A 3 x 8 grid: line 1 the first row left to right, line 2 the third row right to left; the
// lamp type RGB, gamma 1.0 and brightness 100 % (channels are the pixels' red, green, blue).
void TwoRows(Workspace& ws) {
    ws.layout.New(3, 8, false, 2);
    for (int c = 0; c < 8; ++c) ws.layout.lines[0].push_back(MakePoint(0, c));
    for (int c = 7; c >= 0; --c) ws.layout.lines[1].push_back(MakePoint(2, c));
    ws.layout.occupancy.Rebuild(ws.layout.grid, ws.layout.lines);
    ws.layout.RecomputeLineCount();
}

// Frame k: pixel (row, col) red 10k + col, green 100 + row, blue 200 - k.
Frame Picture(int k) {
    Frame f(8, 3);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 8; ++c) {
            f.SetPixel(c, r, Bgr{static_cast<std::uint8_t>(200 - k), static_cast<std::uint8_t>(100 + r),
                                 static_cast<std::uint8_t>(10 * k + c)});
        }
    }
    return f;
}

}  // namespace

class SequenceWindowTest : public QObject {
    Q_OBJECT

private slots:
    void dialogChoicesMakeTheRequest() {
        TempDir dir;
        // Without a network description only the whole layout can be chosen.
        SequenceExportDialog plain(30, 25, dir.path() / "missing.net", QStringLiteral("a.fseq"), 1);
        QCOMPARE(plain.scopeBox()->count(), 1);
        QVERIFY(!plain.sparseBox()->isEnabled() && !plain.controllerBox()->isEnabled());
        QCOMPARE(plain.lastBox()->value(), 30);
        QCOMPARE(plain.fpsBox()->value(), 25);
        ops::SequenceExportRequest r = plain.request();
        QCOMPARE(r.path, std::filesystem::path("a.fseq"));
        QCOMPARE(r.first, std::size_t{0});
        QCOMPARE(r.end, std::size_t{30});
        QCOMPARE(r.version, 2);
        QVERIFY(r.compression == seq::Compression::Zstd);
        QCOMPARE(r.level, 0);
        QVERIFY(r.netFile.empty());
        // Version 1 is uncompressed: the compression and the level are off.
        plain.versionBox()->setCurrentIndex(1);
        QVERIFY(!plain.compressionBox()->isEnabled() && !plain.levelBox()->isEnabled());
        r = plain.request();
        QCOMPARE(r.version, 1);
        QVERIFY(r.compression == seq::Compression::None);
        // The range follows itself: a first frame past the last moves the last.
        plain.firstBox()->setValue(12);
        plain.lastBox()->setValue(5);
        QCOMPARE(plain.firstBox()->value(), 5);

        // With a description: every controller, or one, as sparse ranges.
        net::NetworkDescription d;
        net::NetController c;
        c.protocol = net::Protocol::Ddp;
        c.address = "127.0.0.1";
        c.lines = {1};
        d.controllers.push_back(c);
        QVERIFY(net::WriteNetworkFile(dir.path() / "shop.net", d).ok());
        SequenceExportDialog withNet(30, 25, dir.path() / "shop.net", QStringLiteral("b.fseq"), 1);
        QCOMPARE(withNet.scopeBox()->count(), 3);
        withNet.scopeBox()->setCurrentIndex(2);
        QVERIFY(withNet.controllerBox()->isEnabled() && withNet.sparseBox()->isEnabled());
        withNet.controllerBox()->setValue(1);
        withNet.sparseBox()->setChecked(true);
        withNet.compressionBox()->setCurrentIndex(1);
        withNet.levelBox()->setValue(9);
        r = withNet.request();
        QCOMPARE(r.netFile, dir.path() / "shop.net");
        QCOMPARE(r.controller, 1);
        QVERIFY(r.sparse);
        QVERIFY(r.compression == seq::Compression::Zlib);
        QCOMPARE(r.level, 9);
    }

    void exportThenImportGivesTheLedsBack() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        TwoRows(s.ws);
        s.ws.frames.DeleteClip(-1);
        s.ws.frames.AddClip(8, 3);
        s.ws.frames.CurrentFrames().assign({Picture(0), Picture(1), Picture(2)});
        s.ws.app.currentFrame = 0;
        CMainFrame frame(s.ws, s.prompt);
        QVERIFY(Command(frame, cmd::kExportSequence));
        QVERIFY(Command(frame, cmd::kImportSequence));

        TempDir dir;
        ops::SequenceExportRequest request;
        request.path = dir.path() / "show.fseq";
        request.fps = 40;
        request.compression = seq::Compression::Zlib;
        QVERIFY(frame.ExportSequence(request));
        seq::SequenceReader reader;
        QVERIFY(reader.Open(request.path).ok());
        QCOMPARE(reader.info().channels, std::uint32_t{16 * 3});
        QCOMPARE(reader.info().frames, std::uint32_t{3});
        QCOMPARE(reader.info().stepMs, std::uint16_t{25});
        for (std::uint32_t k = 0; k < 3; ++k) {
            auto channels = reader.ReadFrame(k);
            QVERIFY(channels.ok());
            // Line 1 first LED (0,0); line 2 starts at (2,7): red, green, blue.
            QCOMPARE(int((*channels)[0]), int(10 * k));
            QCOMPARE(int((*channels)[1]), 100);
            QCOMPARE(int((*channels)[2]), int(200 - k));
            QCOMPARE(int((*channels)[24]), int(10 * k + 7));
            QCOMPARE(int((*channels)[25]), 102);
        }

        // Imported: three frames more, each LED as it was; the cells without an LED black.
        QVERIFY(frame.ImportSequence(QString::fromStdString(request.path.string())));
        const auto& frames = s.ws.frames.CurrentFrames();
        QCOMPARE(frames.size(), std::size_t{6});
        for (int k = 0; k < 3; ++k) {
            const Frame& back = frames[static_cast<std::size_t>(3 + k)];
            for (int row : {0, 2}) {
                for (int c = 0; c < 8; ++c) {
                    QVERIFY(back.Pixel(c, row) == Picture(k).Pixel(c, row));
                }
            }
            QVERIFY(back.Pixel(3, 1) == Bgr{});
        }
        // A file that is not a sequence: refused with a message, nothing added.
        const auto bad = dir.path() / "bad.fseq";
        { std::ofstream(bad) << "not a sequence"; }
        const std::size_t messages = s.prompt.messages().size();
        QVERIFY(!frame.ImportSequence(QString::fromStdString(bad.string())));
        QCOMPARE(frames.size(), std::size_t{6});
        QVERIFY(s.prompt.messages().size() > messages);
    }
};

QTEST_MAIN(SequenceWindowTest)
#include "SequenceWindowTest.moc"
