// The design editor driven as a user drives it: shapes by dragging, selection, moving and
// resizing, groups, masks, layers, the clipboard, snapshot undo, and the way out to frames.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QtTest>
#include <cmath>
#include <fstream>

#include "AppTestSupport.h"
#include "app/design/CDesignFrame.h"
#include "app/design/CEffectView.h"
#include "content/DesignRender.h"
#include "base/Binary.h"
#include "base/TempDir.h"
#include "media/Music.h"
#include "workspace/DocumentOps.h"

using namespace corv;

namespace {

struct Design {
    Design() {
        frame = std::make_unique<CDesignFrame>(s.ws, s.prompt);
        frame->resize(1100, 800);
        frame->show();
        frame->Enter();
        QApplication::processEvents();
    }
    CEffectView* view() { return frame->view(); }
    EffectLayer& layer() { return s.ws.effects.at(static_cast<std::size_t>(view()->currentLayer)); }
    QPoint At(double x, double y) { return view()->ToWindow(QPointF(x, y)).toPoint(); }
    void Drag(double x0, double y0, double x1, double y1, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mousePress(view(), Qt::LeftButton, mods, At(x0, y0));
        QTest::mouseMove(view(), At((x0 + x1) / 2, (y0 + y1) / 2));
        QTest::mouseMove(view(), At(x1, y1));
        QTest::mouseRelease(view(), Qt::LeftButton, mods, At(x1, y1));
    }
    void Click(double x, double y, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mouseClick(view(), Qt::LeftButton, mods, At(x, y));
    }
    corv::testing::StartedWorkspace s;
    std::unique_ptr<CDesignFrame> frame;
};

std::vector<std::uint8_t> Record(const EffectLayer& layer) {
    ByteWriter w;
    layer.Write(w);
    return std::move(w.bytes());
}

// Half a second of a 440 Hz tone, 8 kHz mono 16-bit PCM.
void WriteWave(const std::filesystem::path& path) {
    ByteWriter w;
    const std::uint32_t samples = 4000;
    w.Bytes("RIFF", 4);
    w.U32(36 + samples * 2);
    w.Bytes("WAVEfmt ", 8);
    w.U32(16);
    w.U16(1);
    w.U16(1);
    w.U32(8000);
    w.U32(16000);
    w.U16(2);
    w.U16(16);
    w.Bytes("data", 4);
    w.U32(samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i) w.U16(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(i * 2 * 3.14159265 * 440 / 8000))));
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(w.bytes().data()), static_cast<std::streamsize>(w.bytes().size()));
}

}  // namespace

class DesignWindowTest : public QObject {
    Q_OBJECT

private slots:
    void shapesByDraggingSelectionMoveAndResize() {
        Design d;
        QCOMPARE(d.s.ws.design.canvasWidth, std::uint16_t{800});
        QCOMPARE(d.s.ws.design.canvasHeight, std::uint16_t{600});
        QCOMPARE(d.frame->layerList()->count(), 1);
        QCOMPARE(d.frame->layerList()->item(0)->text(), QStringLiteral("1Th layer"));
        // Every drag tool makes its kind over the dragged box.
        const int kinds[] = {kItemRectangle, kItemEllipse, kItemLine, kItemRoundRect, kItemStar, kItemRegularPolygon};
        int n = 0;
        for (int kind : kinds) {
            d.view()->tool = kind;
            d.Drag(20 + n * 100, 20, 100 + n * 100, 90);
            ++n;
            QCOMPARE(static_cast<int>(d.layer().items.size()), n);
            QCOMPARE(static_cast<int>(d.layer().items.back()->kind()), kind);
        }
        const EffectItem& rect = *d.layer().items[0];
        QVERIFY(std::abs(rect.x - 20) <= 1 && std::abs(rect.w - 80) <= 1 && std::abs(rect.h - 70) <= 1);
        // A polyline by clicks, ended with a double click.
        d.view()->tool = kItemPolyline;
        d.Click(100, 300);
        d.Click(200, 350);
        d.Click(300, 300);
        QTest::mouseDClick(d.view(), Qt::LeftButton, Qt::NoModifier, d.At(300, 300));
        QCOMPARE(static_cast<int>(d.layer().items.back()->kind()), static_cast<int>(kItemPolyline));
        QCOMPARE(static_cast<const PointsItem&>(*d.layer().items.back()).points.size(), std::size_t{3});
        // Select: a click picks the topmost item, Ctrl adds, a band takes the items inside.
        d.view()->tool = CEffectView::kSelectTool;
        d.Click(60, 55);
        QCOMPARE(d.view()->selection.size(), std::size_t{1});
        QCOMPARE(d.view()->selection[0], d.layer().items[0].get());
        d.Click(160, 55, Qt::ControlModifier);
        QCOMPARE(d.view()->selection.size(), std::size_t{2});
        d.Drag(5, 5, 330, 120);
        QCOMPARE(d.view()->selection.size(), std::size_t{3});
        // Move: dragging a selected item moves the selection.
        d.Click(60, 55);
        d.Drag(60, 55, 70, 75);
        QVERIFY(std::abs(d.layer().items[0]->x - 30) <= 1);
        QVERIFY(std::abs(d.layer().items[0]->y - 40) <= 1);
        // Resize by the bottom-right handle.
        const RectF b = d.layer().items[0]->BoundingBox();
        d.Drag(b.x + b.w, b.y + b.h, b.x + b.w + 50, b.y + b.h + 20);
        QVERIFY(std::abs(d.layer().items[0]->w - 130) <= 2);
        QVERIFY(std::abs(d.layer().items[0]->h - 90) <= 2);
    }

    void groupsMasksClipboardAndUndo() {
        Design d;
        d.view()->tool = kItemRectangle;
        d.Drag(10, 10, 60, 60);
        d.view()->tool = kItemEllipse;
        d.Drag(100, 10, 160, 60);
        QVERIFY(d.frame->history().CanUndo());
        // Undo takes the ellipse away, redo brings it back; a new edit ends the redo.
        QVERIFY(d.frame->Undo());
        QCOMPARE(d.layer().items.size(), std::size_t{1});
        QVERIFY(d.frame->Redo());
        QCOMPARE(d.layer().items.size(), std::size_t{2});
        // Group and Unlay.
        d.view()->selection = {d.layer().items[0].get(), d.layer().items[1].get()};
        QVERIFY(d.frame->Group());
        QCOMPARE(d.layer().items.size(), std::size_t{1});
        QCOMPARE(static_cast<int>(d.layer().items[0]->kind()), static_cast<int>(kItemGroup));
        QVERIFY(d.frame->Undo());
        QCOMPARE(d.layer().items.size(), std::size_t{2});
        QVERIFY(!d.frame->history().CanRedo() || d.frame->Redo());
        d.view()->selection = {d.layer().items[0].get()};
        if (d.layer().items[0]->kind() == kItemGroup) QVERIFY(d.frame->Ungroup());
        QCOMPARE(d.layer().items.size(), std::size_t{2});
        // The mask: Ctrl+M makes the first selected item the layer's mask, Shift+M clears it.
        d.view()->selection = {d.layer().items[1].get()};
        d.frame->action(33218)->trigger();
        QCOMPARE(d.layer().mask, d.layer().items[1].get());
        // A snapshot keeps it.
        QVERIFY(d.frame->Undo());
        QVERIFY(d.frame->Redo());
        QVERIFY(d.layer().mask != nullptr);
        d.frame->action(33219)->trigger();
        QCOMPARE(d.layer().mask, nullptr);
        // Copy and paste under the program's own clipboard type; damaged data is refused.
        d.view()->selection = {d.layer().items[0].get()};
        QVERIFY(d.frame->Copy());
        QVERIFY(QApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("application/x-corvantine-design-items")));
        QVERIFY(d.frame->Paste());
        QCOMPARE(d.layer().items.size(), std::size_t{3});
        QCOMPARE(d.layer().items[2]->x, d.layer().items[0]->x + 10);
        QVERIFY(d.frame->Cut());
        QCOMPARE(d.layer().items.size(), std::size_t{2});
        auto* bad = new QMimeData;
        bad->setData(QStringLiteral("application/x-corvantine-design-items"), QByteArray("\x01\x00\x0d", 3));
        QApplication::clipboard()->setMimeData(bad);
        QVERIFY(!d.frame->Paste());
        QCOMPARE(d.layer().items.size(), std::size_t{2});
        QVERIFY(!d.s.prompt.messages().empty());
    }

    void turningHandleAndScrolling() {
        Design d;
        d.view()->tool = kItemRectangle;
        d.Drag(300, 200, 500, 300);
        d.view()->tool = CEffectView::kSelectTool;
        EffectItem& item = *d.layer().items.back();
        QCOMPARE(d.view()->selection.back(), &item);
        const int snapshots = d.frame->history().current();
        // The round handle sits 20 pixels above the top middle; dragging it to the right of
        // the centre turns the item a quarter, below it half; Shift snaps to 15 degrees.
        const QPoint handle = d.At(400, 200) - QPoint(0, 20);
        QTest::mousePress(d.view(), Qt::LeftButton, Qt::NoModifier, handle);
        QTest::mouseMove(d.view(), d.At(600, 250));
        QTest::mouseRelease(d.view(), Qt::LeftButton, Qt::NoModifier, d.At(600, 250));
        QCOMPARE(item.angle, std::uint16_t{90});
        QCOMPARE(d.frame->history().current(), snapshots + 1);
        const QPoint again = d.At(400, 200) - QPoint(0, 20);
        QTest::mousePress(d.view(), Qt::LeftButton, Qt::NoModifier, again);
        {
            // QTest's mouse moves carry no modifiers.
            const QPointF at = d.At(390, 400);
            QMouseEvent move(QEvent::MouseMove, at, d.view()->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
            QApplication::sendEvent(d.view(), &move);
        }
        QTest::mouseRelease(d.view(), Qt::LeftButton, Qt::ShiftModifier, d.At(390, 400));
        QCOMPARE(item.angle, std::uint16_t{180});  // 183 degrees snapped
        auto* angle = d.frame->findChild<QSpinBox*>(QStringLiteral("angle"));
        QVERIFY(angle && angle->isEnabled());
        QCOMPARE(angle->value(), 180);
        QVERIFY(d.frame->Undo());
        QCOMPARE(d.layer().items.back()->angle, std::uint16_t{90});
        QVERIFY(!angle->isEnabled());  // undo leaves nothing selected
        // The turned item is drawn turned: a tall bar instead of a wide one.
        const QImage drawn = RenderDesign(d.s.ws.effects, QSize(800, 600), DesignTime{&d.s.ws.frames, 0});
        QVERIFY(drawn.pixel(400, 170) != qRgb(0, 0, 0));
        QCOMPARE(drawn.pixel(320, 250), qRgb(0, 0, 0));

        // Zoomed in, the canvas scrolls by its bars, the middle button and the arrow keys;
        // Home centres it again. Canvas points keep their place under the mapping.
        d.view()->SetZoom(4);
        const auto bars = d.view()->findChildren<QScrollBar*>();
        QCOMPARE(bars.size(), 2);
        for (QScrollBar* bar : bars) QVERIFY(bar->isVisible() && bar->maximum() > 0);
        const QPointF centre = d.view()->ToWindow({400, 300});
        d.view()->SetScroll({100, 50});
        QCOMPARE(d.view()->ToWindow({400, 300}), centre - QPointF(100, 50));
        QTest::mousePress(d.view(), Qt::MiddleButton, Qt::NoModifier, QPoint(300, 300));
        QTest::mouseMove(d.view(), QPoint(340, 310));
        QTest::mouseRelease(d.view(), Qt::MiddleButton, Qt::NoModifier, QPoint(340, 310));
        QCOMPARE(d.view()->scroll(), QPoint(60, 40));
        QTest::keyClick(d.view(), Qt::Key_Right);
        QVERIFY(d.view()->scroll().x() > 60);
        QTest::keyClick(d.view(), Qt::Key_Home);
        QCOMPARE(d.view()->scroll(), QPoint(0, 0));
        // Zoomed out, no bars and no scrolling.
        d.view()->SetZoom(0.5);
        for (QScrollBar* bar : bars) QVERIFY(!bar->isVisible());
        d.view()->SetScroll({100, 50});
        QCOMPARE(d.view()->scroll(), QPoint(0, 0));
    }

    void layersAndValueEdits() {
        Design d;
        d.frame->NewLayer();
        d.frame->NewLayer();
        QCOMPARE(d.frame->layerList()->count(), 3);
        QCOMPARE(d.frame->layerList()->item(2)->text(), QStringLiteral("3Th layer"));
        QCOMPARE(d.view()->currentLayer, 2);
        QVERIFY(d.frame->MoveLayer(true));
        QCOMPARE(d.view()->currentLayer, 1);
        QVERIFY(d.frame->DeleteLayer());
        QCOMPARE(d.frame->layerList()->count(), 2);
        QCOMPARE(d.frame->layerList()->item(1)->text(), QStringLiteral("2Th layer"));
        // Unchecking the current layer moves to a checked one; the last checked one stays checked.
        d.frame->layerList()->setCurrentRow(0);
        QCOMPARE(d.view()->currentLayer, 0);
        d.frame->layerList()->item(0)->setCheckState(Qt::Unchecked);
        QCOMPARE(d.view()->currentLayer, 1);
        d.frame->layerList()->item(1)->setCheckState(Qt::Unchecked);
        QCOMPARE(d.frame->layerList()->item(1)->checkState(), Qt::Checked);
        // Value edits: line width 1..6 (0 typed becomes 1), x only inside the canvas.
        d.view()->tool = kItemRectangle;
        d.Drag(10, 10, 50, 50);
        Selection s = d.view()->selection;
        SetLineWidth(s, 0);
        QCOMPARE(s[0]->lineWidth, std::uint8_t{1});
        SetLineWidth(s, 9);
        QCOMPARE(s[0]->lineWidth, std::uint8_t{6});
        QVERIFY(SetPosition(s, 100, 200, 800, 600));
        QCOMPARE(s[0]->x, 100.0f);
        QVERIFY(!SetPosition(s, 900, 0, 800, 600));  // x past the canvas, y 0: both left as they are
        QCOMPARE(s[0]->x, 100.0f);
        QCOMPARE(s[0]->y, 200.0f);
        d.frame->ApplyColour(0x00FF00);
        QCOMPARE(s[0]->colour, 0xFF00FF00u);
    }

    void textPicturesAndTheWayToFrames() {
        Design d;
        QVERIFY(d.frame->AddText(QStringLiteral("LED"), QRectF(10, 10, 100, 40)));
        // The font of text items: the selected one and the next ones.
        d.frame->ApplyFont(QStringLiteral("DejaVu Serif"), 24);
        const auto& text = static_cast<const TextItem&>(*d.layer().items.back());
        QCOMPARE(QString::fromStdString(text.fontFace), QStringLiteral("DejaVu Serif"));
        QCOMPARE(text.fontValue, 24u);
        QVERIFY(d.frame->AddText(QStringLiteral("SHOW"), QRectF(10, 60, 100, 40)));
        QCOMPARE(static_cast<const TextItem&>(*d.layer().items.back()).fontValue, 24u);
        TempDir dir;
        std::ofstream(dir.File("broken.png")) << "no";
        QVERIFY(!d.frame->AddPicture(QString::fromStdString(dir.File("broken.png").string()), QRectF(0, 0, 10, 10)));
        QImage blue(6, 4, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(QString::fromStdString(dir.File("blue.png").string())));
        QVERIFY(d.frame->AddPicture(QString::fromStdString(dir.File("blue.png").string()), QRectF(0, 0, 800, 600)));
        QVERIFY(d.frame->AddPictureArea());
        const EffectItem& area = *d.layer().items.back();
        QCOMPARE(area.sourceClip, std::int16_t{0});
        QCOMPARE(area.w, static_cast<float>(d.s.ws.frames.CurrentClip().width));
        // Render: frames of the played design appended to the current clip, one undo step.
        const std::size_t before = d.s.ws.frames.CurrentFrames().size();
        QSignalSpy added(d.frame.get(), &CDesignFrame::framesAdded);
        QCOMPARE(d.frame->RenderFrames(4), 4);
        QCOMPARE(d.s.ws.frames.CurrentFrames().size(), before + 4);
        QCOMPARE(added.count(), 1);
        QCOMPARE(d.s.ws.frames.CurrentFrames().back().Pixel(1, 1), (Bgr{255, 0, 0}));  // the blue picture under everything
        // Music: a missing file and a file without sound are refused with a message; a real
        // sound is kept.
        QVERIFY(!d.frame->SetMusic(QString::fromStdString(dir.File("none.mp3").string())));
        std::ofstream(dir.File("song.mp3")) << "ID3";
        const std::size_t told = d.s.prompt.messages().size();
        QVERIFY(!d.frame->SetMusic(QString::fromStdString(dir.File("song.mp3").string())));
        QCOMPARE(d.s.prompt.messages().size(), told + 1);
        QVERIFY(d.s.prompt.messages().back().find("The music file cannot be read") != std::string::npos);
        QVERIFY(d.s.ws.design.musicPath.empty());
        WriteWave(dir.File("tone.wav"));
        QVERIFY(d.frame->SetMusic(QString::fromStdString(dir.File("tone.wav").string())));
        QCOMPARE(d.s.ws.design.musicPath, dir.File("tone.wav"));
        // Play advances the time the canvas shows and starts the music; without a sound
        // device the status bar says so and the design plays on.
        d.frame->Play();
        QVERIFY(d.frame->playing());
        QTRY_VERIFY(d.view()->tick >= 2);
        if (QMediaDevices::audioOutputs().isEmpty()) {
            QVERIFY(!d.frame->music().playing());
            QCOMPARE(d.frame->statusBar()->currentMessage(),
                     QStringLiteral("The background music cannot be played: This machine has no sound output device"));
        } else {
            QVERIFY(d.frame->music().playing());
            QCOMPARE(d.frame->music().source(), QString::fromStdString(dir.File("tone.wav").string()));
            QTest::qWait(300);
            QVERIFY2(d.frame->music().error().isEmpty(), qPrintable(d.frame->music().error()));
        }
        d.frame->Stop();
        QVERIFY(!d.frame->playing());
        QVERIFY(!d.frame->music().playing());
        d.frame->Stop();
    }

    void everyItemKindSurvivesSaveAndOpen() {
        Design d;
        d.view()->tool = kItemRectangle;
        for (int kind : {kItemRectangle, kItemEllipse, kItemLine, kItemRoundRect, kItemStar, kItemRegularPolygon}) {
            d.view()->tool = kind;
            d.Drag(10, 10, 90, 70);
        }
        d.view()->tool = kItemPolygon;
        d.Click(100, 100);
        d.Click(200, 100);
        d.Click(150, 200);
        QTest::mouseDClick(d.view(), Qt::LeftButton, Qt::NoModifier, d.At(150, 200));
        QVERIFY(d.frame->AddText(QStringLiteral("Hi"), QRectF(0, 0, 50, 20)));
        TempDir dir;
        QImage red(3, 3, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(QString::fromStdString(dir.File("red.png").string())));
        QVERIFY(d.frame->AddPicture(QString::fromStdString(dir.File("red.png").string()), QRectF(5, 5, 30, 30)));
        QVERIFY(d.frame->AddPictureArea());
        d.view()->selection = {d.layer().items[0].get(), d.layer().items[1].get()};
        QVERIFY(d.frame->Group());
        d.layer().mask = d.layer().items[1].get();
        d.layer().items[2]->angle = 45;
        const auto before = Record(d.layer());
        const auto path = dir.File("design.cvn");
        QVERIFY(OnSaveDocument(d.s.ws, d.s.prompt, path).ok());
        d.s.ws.effects.Clear();
        QVERIFY(OnOpenDocument(d.s.ws, d.s.prompt, path).ok());
        QCOMPARE(d.s.ws.effects.Count(), std::size_t{1});
        QVERIFY(Record(d.s.ws.effects.at(0)) == before);
    }
};

QTEST_MAIN(DesignWindowTest)
#include "DesignWindowTest.moc"
