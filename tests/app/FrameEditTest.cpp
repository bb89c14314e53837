// The main window's frame editing: the Edit and Play menus, the clipboard form of frames,
// undo and redo, and the play timer.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QComboBox>
#include <QMenuBar>
#include <QMimeData>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include "app/shell/CMainFrame.h"
#include "AppTestSupport.h"
#include "app/frame/CVorlaneView.h"
#include "app/design/CDesignFrame.h"
#include "app/frame/CFrameProcessDialog.h"
#include "app/frame/CPasteDialog.h"
#include "app/frame/CRangeOperateDialog.h"
#include "app/frame/CStepsPasteDialog.h"
#include "base/MappedPages.h"
#include "base/Prompt.h"
#include "base/TempDir.h"
#include "lang/Language.h"
#include "project/FrameRange.h"
#include "workspace/FrameViewRules.h"
#include "workspace/LayoutOps.h"
#include "workspace/Startup.h"
#include "workspace/Workspace.h"

using namespace corv;
using Started = corv::testing::StartedWorkspace;
using corv::testing::Command;

namespace {

// Frames whose first pixel's red byte is their label.
void Label(Workspace& ws, const std::string& labels) {
    auto& frames = ws.frames.CurrentFrames();
    const Frame model = frames.front();
    frames.clear();
    for (char c : labels) {
        Frame f = Frame::Filled(model.width(), model.height(), Bgr{0, 0, static_cast<std::uint8_t>(c)});
        frames.push_back(std::move(f));
    }
}

std::string Labels(const Workspace& ws) {
    std::string s;
    for (const Frame& f : ws.frames.CurrentClip().frames) s += static_cast<char>(f.Pixel(0, 0).r);
    return s;
}

}  // namespace

class FrameEditTest : public QObject {
    Q_OBJECT

private slots:
    void menusHoldTheFrameCommandsInEachLanguage() {
        for (const char* locale : {"en_US.UTF-8", "zh_CN.UTF-8", "zh_TW.UTF-8"}) {
            Started s(locale);
            QVERIFY(s.ok);
            CMainFrame frame(s.ws, s.prompt);
            const struct {
                int id;
                const char* english;
                const char* simplified;
                const char* traditional;
            } expected[] = {{cmd::kUndo, "&Undo", "撤销(&U)", "撤銷(&U)"},   {cmd::kCut, "Cu&t", "剪切(&T)", "剪切(&T)"},
                            {cmd::kCopy, "&Copy", "复制(&C)", "複製(&C)"},   {cmd::kPaste, "&Paste", "粘贴(&P)", "粘貼(&P)"},
                            {cmd::kDelete, "&Delete", "删除(&D)", "刪除(&D)"}, {cmd::kStepsPaste, "Steps paste", "阶梯粘贴", "階梯粘貼"},
                            {cmd::kPlay, "Play(&P)", "播放(&P)", "播放(&P)"}};
            for (const auto& e : expected) {
                QAction* a = Command(frame, e.id);
                QVERIFY2(a, locale);
                const char* want = s.ws.app.language == kLanguageSimplified    ? e.simplified
                                   : s.ws.app.language == kLanguageTraditional ? e.traditional
                                                                               : e.english;
                QCOMPARE(a->text(), QString::fromUtf8(want));
            }
            QCOMPARE(Command(frame, cmd::kCopy)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
            QCOMPARE(Command(frame, cmd::kRowColDelete)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
            QCOMPARE(Command(frame, cmd::kStop)->shortcut(), QKeySequence(Qt::Key_Space));
            // The media commands are there and working; the video export too, in the File menu.
            for (int id : {cmd::kPaintEdit, cmd::kVideoCapture, cmd::kImport, cmd::kExportVideo, cmd::kVideoOptions}) {
                QAction* a = Command(frame, id);
                QVERIFY2(a, locale);
                QVERIFY(a->isEnabled());
                QVERIFY(!a->text().isEmpty());
            }
            // Cover mode toggles the engine's flag.
            QAction* cover = Command(frame, cmd::kCoverMode);
            QVERIFY(cover && cover->isCheckable());
            cover->trigger();
            QVERIFY(s.ws.app.coverMode);
            cover->trigger();
            QVERIFY(!s.ws.app.coverMode);
        }
    }

    void copyPutsTheMarkedBlockOnTheClipboardAndPasteTakesItBack() {
        Started s;
        QVERIFY(s.ok);
        Label(s.ws, "ABC");
        CMainFrame frame(s.ws, s.prompt);
        QApplication::clipboard()->clear();
        QVERIFY(!Command(frame, cmd::kPaste)->isEnabled());
        QVERIFY(frame.CopyFrames(2, 3));
        const QByteArray bytes = QApplication::clipboard()->mimeData()->data(QString::fromLatin1(kFrameBlockMime));
        const Frame& f = s.ws.frames.CurrentFrames().front();
        QCOMPARE(bytes.size(), qsizetype(7 + 2 * f.size()));
        QCOMPARE(static_cast<std::uint8_t>(bytes[0]), std::uint8_t{0xFF});
        QVERIFY(Command(frame, cmd::kPaste)->isEnabled());
        PasteOptions o;
        o.place = 2;  // after frame 3
        QVERIFY(frame.PasteFrames(o));
        QCOMPARE(QString::fromStdString(Labels(s.ws)), QStringLiteral("ABCBC"));
        QCOMPARE(s.ws.app.currentFrame, 4);
        QVERIFY(frame.UndoFrames());
        QCOMPARE(QString::fromStdString(Labels(s.ws)), QStringLiteral("ABC"));
        QVERIFY(frame.RedoFrames());
        QCOMPARE(QString::fromStdString(Labels(s.ws)), QStringLiteral("ABCBC"));

        // A damaged block is refused with a message and the clip stays.
        auto* damaged = new QMimeData;
        damaged->setData(QString::fromLatin1(kFrameBlockMime), bytes.left(bytes.size() - 1));
        QApplication::clipboard()->setMimeData(damaged);
        const std::size_t before = s.prompt.messages().size();
        QVERIFY(!frame.PasteFrames(o));
        QCOMPARE(s.prompt.messages().size(), before + 1);
        QCOMPARE(QString::fromStdString(Labels(s.ws)), QStringLiteral("ABCBC"));
        QVERIFY(!frame.StepsPasteFrames(1, 1, false));
    }

    void cutDeleteRepeatAndInsertWithTheirUndo() {
        Started s;
        QVERIFY(s.ok);
        Label(s.ws, "ABCDE");
        CMainFrame frame(s.ws, s.prompt);
        QVERIFY(!frame.CutFrames(0, 2));  // out of range: nothing happens
        QVERIFY(!frame.DeleteFrames(3, 9, 0));
        QVERIFY(frame.CutFrames(2, 3));
        QCOMPARE(QString::fromStdString(Labels(s.ws)), QStringLiteral("ADE"));
        QVERIFY(frame.DeleteFrames(1, 3, 1));  // spacing 1: the second goes
        QCOMPARE(QString::fromStdString(Labels(s.ws)), QStringLiteral("AE"));
        QVERIFY(frame.RepeatFrames(1, 2, 1));
        QCOMPARE(QString::fromStdString(Labels(s.ws)), QStringLiteral("AAEE"));
        QVERIFY(frame.InsertFrame());
        QCOMPARE(s.ws.frames.CurrentFrames().size(), std::size_t{5});
        // Three steps back at most: the cut cannot be undone any more.
        QVERIFY(frame.UndoFrames());
        QVERIFY(frame.UndoFrames());
        QVERIFY(frame.UndoFrames());
        QVERIFY(!frame.UndoFrames());
        QCOMPARE(QString::fromStdString(Labels(s.ws)), QStringLiteral("ADE"));
        QVERIFY(!Command(frame, cmd::kUndo)->isEnabled());
        QVERIFY(Command(frame, cmd::kRedo)->isEnabled());
    }

    void playIntervalAndOneFrameClips() {
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        frame.speed()->setValue(5);
        QCOMPARE(frame.playInterval(), 100);
        frame.speed()->setValue(200);
        QCOMPARE(frame.playInterval(), 12);
        QCOMPARE(s.ws.frames.CurrentFrames().size(), std::size_t{1});
        frame.Play();
        QVERIFY(!frame.playing());  // one frame does not play
        QVERIFY(frame.InsertFrame());
        frame.frameNumber()->setValue(1);
        frame.Play();
        QVERIFY(frame.playing());
        QTRY_COMPARE_WITH_TIMEOUT(s.ws.app.currentFrame, 1, 1000);
        QTRY_COMPARE_WITH_TIMEOUT(s.ws.app.currentFrame, 0, 1000);  // wraps to the first frame
        // Changing the speed while playing restarts the timer at the new rate; 90 is ignored.
        frame.speed()->setValue(40);
        QVERIFY(frame.playing());
        QCOMPARE(frame.playTimerInterval(), 25);
        frame.speed()->setValue(90);
        QCOMPARE(frame.playTimerInterval(), 25);
        frame.Stop();
        QVERIFY(!frame.playing());
    }

    void frameViewZoomCentreAndGrid() {
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        CVorlaneView* view = frame.frameView();
        view->resize(40, 40);  // smaller than 50 pixels plus a cell
        view->ImageCenter();
        QCOMPARE(view->zoom(), 1);
        QCOMPARE(view->centre(), view->DrawingArea().center());
        view->resize(1650 + CVorlaneView::kScrollRoom, 1050 + CVorlaneView::kScrollRoom);
        view->ImageCenter();
        const Frame& f = s.ws.frames.CurrentFrames().front();
        QCOMPARE(view->zoom(), std::max(1, std::min(1600 / f.width(), 1000 / f.height())));
        // The keys step the zoom as the rules do.
        view->resize(40, 40);
        view->ImageCenter();
        QList<int> seen;
        for (int i = 0; i < 9; ++i, QTest::keyClick(view, Qt::Key_Plus)) seen << view->zoom();
        QCOMPARE(seen, (QList<int>{1, 2, 3, 4, 5, 6, 8, 10, 20}));
        QTest::keyClick(view, Qt::Key_Minus);
        QCOMPARE(view->zoom(), 20);  // the ninth key press went to 30, minus comes back
        view->resize(1650, 1050);
        // The wheel keeps the point under the cursor: it comes to the middle of the window.
        view->ImageCenter();
        const QRect r = view->PictureRect();
        const QPoint corner = r.topLeft() + QPoint(1, 1);
        view->ZoomAbout(true, corner);
        QVERIFY(qAbs(view->PictureRect().left() - view->DrawingArea().center().x()) <= view->zoom() + 2);
        QAction* grid = Command(frame, cmd::kShowGrid);
        QVERIFY(grid && grid->isChecked());
        grid->trigger();
        QVERIFY(!view->showGrid());
        // A drawn frame: grid lines in 0xDADADA between the cells.
        view->SetShowGrid(true);
        view->ImageCenter();
        const QImage shot = view->grab().toImage();
        const QRect p = view->PictureRect();
        QCOMPARE(shot.pixelColor(p.left(), p.center().y()).rgb(), QColor(0xDA, 0xDA, 0xDA).rgb());
    }

    void paintOfALargeFrame() {
        // A 1024 x 1024 clip in a 1600 x 1000 window: one paint (Image center, grid on).
        Started s;
        QVERIFY(s.ok);
        s.ws.frames.AddClip(1024, 1024);
        CMainFrame frame(s.ws, s.prompt);
        CVorlaneView* view = frame.frameView();
        view->resize(1600, 1000);
        view->ImageCenter();
        QPixmap target(view->size());
        QBENCHMARK { view->render(&target); }
    }

    void aMappedDocumentIsTakenWithoutReadingItAndComparedExactly() {
        // A clip of more than 16 MiB is mapped when it is opened: the saved state is taken
        // without reading its frames into memory of the program's own, a change made outside
        // the history shows, and putting the byte back leaves nothing to save.
        TempDir dir;
        const QString path = QString::fromStdString(dir.File("big.cvn").string());
        {
            Started maker;
            QVERIFY(maker.ok);
            maker.ws.frames.DeleteClip(-1);
            maker.ws.frames.AddClip(1024, 1024);
            auto& frames = maker.ws.frames.CurrentFrames();
            frames.clear();
            for (int i = 0; i < 7; ++i) {
                Frame f(1024, 1024);
                for (std::size_t b = 0; b < f.size(); b += 997) f.data()[b] = static_cast<std::uint8_t>(b + i);
                frames.push_back(std::move(f));
            }
            CMainFrame made(maker.ws, maker.prompt);
            QVERIFY(made.FileSaveAs(path));
        }
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        QVERIFY(frame.FileOpen(path));
        QCOMPARE(s.ws.frames.CurrentFrames().size(), std::size_t{7});
        QVERIFY(!frame.IsModified());
        Frame& f = s.ws.frames.CurrentFrames()[3];
        QVERIFY(PagesUnchanged(f.data(), f.size()));
        const std::uint8_t was = f.data()[5000];
        f.data()[5000] = static_cast<std::uint8_t>(was ^ 0x5A);
        QVERIFY(frame.IsModified());
        f.data()[5000] = was;
        QVERIFY(!PagesUnchanged(f.data(), f.size()));
        QVERIFY(!frame.IsModified());

        // Saved over its own file with a frame changed: the new state, and the frames still
        // mapped from the old file compare as before.
        s.ws.frames.CurrentFrames()[1].data()[7] ^= 1;
        QVERIFY(frame.IsModified());
        QVERIFY(frame.FileSave());
        QVERIFY(!frame.IsModified());
        s.ws.frames.CurrentFrames()[1].data()[7] ^= 1;
        QVERIFY(frame.IsModified());
        s.ws.frames.CurrentFrames()[1].data()[7] ^= 1;
        QVERIFY(!frame.IsModified());
        s.ws.frames.CurrentFrames()[6].data()[9] ^= 2;
        QVERIFY(frame.IsModified());
    }

    void undoAndRedoBackToTheSavedDocumentLeaveNothingToSave() {
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        frame.show();
        QVERIFY(frame.windowTitle().contains(QStringLiteral("[*]")));
        QVERIFY(!frame.isWindowModified());
        // Edit: modified, and the title says so; undo: nothing to save, nothing asked.
        QVERIFY(frame.InsertFrame());
        QVERIFY(frame.IsModified());
        QVERIFY(frame.isWindowModified());
        QVERIFY(frame.UndoFrames());
        QVERIFY(!frame.IsModified());
        QVERIFY(!frame.isWindowModified());
        QVERIFY(frame.SaveModified());
        QVERIFY(s.prompt.questions().empty());
        // Edit, save, undo (changed), redo: the document on disk again.
        TempDir dir;
        const QString path = QString::fromStdString(dir.File("show.cvn").string());
        QVERIFY(frame.InsertFrame());
        QVERIFY(frame.FileSaveAs(path));
        QVERIFY(!frame.isWindowModified());
        QVERIFY(frame.windowTitle().startsWith(QStringLiteral("show.cvn[*]")));
        QVERIFY(frame.UndoFrames());
        QVERIFY(frame.isWindowModified());
        QVERIFY(frame.RedoFrames());
        QVERIFY(!frame.IsModified());
        QVERIFY(!frame.isWindowModified());
        QVERIFY(frame.SaveModified());
        QVERIFY(s.prompt.questions().empty());
        // Four edits after the save: undoing the three kept does not reach it.
        for (int i = 0; i < 4; ++i) QVERIFY(frame.InsertFrame());
        while (frame.UndoFrames()) {
        }
        QVERIFY(frame.IsModified());
        QVERIFY(frame.isWindowModified());
        QVERIFY(frame.FileSave());
        QVERIFY(!frame.isWindowModified());

        // The design editor: its edits show in its title and the main window's, undo and
        // redo back to the saved design leave nothing to save.
        frame.EnterDesign();
        QVERIFY(frame.FileSave());  // with the layer a design starts with
        CDesignFrame* design = frame.designFrame();
        QVERIFY(design->windowTitle().contains(QStringLiteral("[*]")));
        QVERIFY(!design->isWindowModified());
        QVERIFY(!frame.isWindowModified());
        design->NewLayer();
        QVERIFY(design->isWindowModified());
        QVERIFY(frame.isWindowModified());
        QVERIFY(design->Undo());
        QVERIFY(!design->isWindowModified());
        QVERIFY(!frame.IsModified());
        QVERIFY(!frame.isWindowModified());
        QVERIFY(design->Redo());
        QVERIFY(frame.FileSave());
        QVERIFY(!design->isWindowModified());
        QVERIFY(design->Undo());
        QVERIFY(design->isWindowModified());
        QVERIFY(frame.isWindowModified());
        QVERIFY(design->Redo());
        QVERIFY(!design->isWindowModified());
        QVERIFY(!frame.IsModified());
        QVERIFY(!frame.isWindowModified());
        QVERIFY(s.prompt.questions().empty());
    }

    void outputAndImportControllerFilesFromTheFileMenu() {
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        QVERIFY(Command(frame, cmd::kOutputControllerFile));
        QCOMPARE(Command(frame, cmd::kOutputControllerFile)->text(), QStringLiteral("Output &Controller File"));
        TempDir dir;
        const QString path = QString::fromStdString(dir.File("show.led").string());
        // Without a layout: "Not set LED project line! ".
        QVERIFY(!frame.OutputControllerFile(1, 1, path));
        QCOMPARE(QString::fromStdString(s.prompt.messages().back()), QString::fromStdString(s.ws.strings.noLayout));
        const Frame& f = s.ws.frames.CurrentFrames().front();
        s.ws.layout.New(f.height(), f.width(), false, 3);
        s.ws.layout.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(0, 2)};
        s.ws.layout.RecomputeLineCount();
        s.ws.frames.CurrentFrames()[0].SetPixel(1, 0, Bgr{10, 20, 30});
        QVERIFY(!frame.OutputControllerFile(1, 5, path));  // past the clip
        QVERIFY(frame.OutputControllerFile(1, 1, path));
        QCOMPARE(QString::fromStdString(s.prompt.messages().back()), QStringLiteral("Output File finished!"));
        QVERIFY(QFileInfo::exists(path));
        // Its detail: the file written with its frame count and size, then the card.
        QCOMPARE(s.prompt.details().size(), std::size_t{1});
        const QString detail = QString::fromStdString(s.prompt.details().back());
        QVERIFY2(detail.startsWith(path + QStringLiteral(": 1 frames, %1 bytes\n").arg(QFileInfo(path).size())), qPrintable(detail));
        QVERIFY2(detail.contains(QStringLiteral("card")), qPrintable(detail));
        // Reading it back adds its one block after the current frame.
        QVERIFY(frame.ImportControllerFile(path));
        QCOMPARE(s.ws.frames.CurrentFrames().size(), std::size_t{2});
        QCOMPARE(s.ws.frames.CurrentFrames()[1].Pixel(1, 0), (Bgr{10, 20, 30}));
        QVERIFY(!frame.ImportControllerFile(QString::fromStdString(dir.File("none.led").string())));
        QVERIFY(QString::fromStdString(s.prompt.messages().back()).contains(QStringLiteral("No such file or directory")));
    }

    void outputLoadsTheLineFileInUse() {
        // A layout saved as a line file by one session...
        Started wiring;
        QVERIFY(wiring.ok);
        const Frame& f = wiring.ws.frames.CurrentFrames().front();
        wiring.ws.layout.New(f.height(), f.width(), false, 3);
        wiring.ws.layout.lines[0] = {MakePoint(0, 0), MakePoint(1, 0)};
        wiring.ws.layout.RecomputeLineCount();
        TempDir dir;
        std::filesystem::path lineFile;
        QVERIFY(SaveLineFileAs(wiring.ws, dir.File("wall.lnf"), &lineFile).ok());
        // ...is the wiring the next one outputs with, before any line setting is opened.
        Started s;
        QVERIFY(s.ok);
        s.ws.app.lineFile = lineFile.string();
        CMainFrame frame(s.ws, s.prompt);
        QVERIFY(frame.OutputControllerFile(1, 1, QString::fromStdString(dir.File("out.led").string())));
        QCOMPARE(s.ws.layout.setting.lineCount, wiring.ws.layout.setting.lineCount);
        QVERIFY(!frame.IsModified());  // loading the wiring changed nothing to save
        // A line file that is gone gives the usual message.
        Started gone;
        QVERIFY(gone.ok);
        gone.ws.app.lineFile = dir.File("missing.lnf").string();
        CMainFrame other(gone.ws, gone.prompt);
        QVERIFY(!other.OutputControllerFile(1, 1, QString::fromStdString(dir.File("x.led").string())));
        QCOMPARE(QString::fromStdString(gone.prompt.messages().back()), QString::fromStdString(gone.ws.strings.noLayout));
    }

    void dialogsHandTheirValuesOn() {
        const UiStrings strings = LoadUiStrings(kLanguageEnglish);
        CRangeOperateDialog copy(CRangeOperateDialog::Mode::Copy, 2, 5, kLanguageEnglish, strings);
        QCOMPARE(copy.start(), 2);
        QCOMPARE(copy.end(), 2);
        copy.secondChoice()->setChecked(true);
        copy.numberEdit()->setValue(3);
        QVERIFY(copy.second());
        QCOMPARE(copy.number(), 3);
        CPasteDialog paste(3, 5, kLanguageEnglish, strings);
        paste.modeBox()->setCurrentIndex(1);
        paste.directionBox()->setCurrentIndex(3);
        paste.combineBox()->setCurrentIndex(5);
        const PasteOptions o = paste.options();
        QCOMPARE(o.place, std::size_t{2});
        QVERIFY(o.overlay);
        QVERIFY(o.direction == PasteDirection::Centre);
        QVERIFY(o.combine == PasteCombine::Transparency);
        QVERIFY(paste.combineBox()->itemData(5, Qt::ToolTipRole).toString().contains(QStringLiteral("mean")));
        const UiStrings chinese = LoadUiStrings(kLanguageSimplified);
        CStepsPasteDialog steps(1, 5, kLanguageSimplified, chinese);
        steps.intervalEdit()->setValue(0);
        QCOMPARE(steps.interval(), 1);  // below 2 counts as 1
        QCOMPARE(steps.windowTitle(), QStringLiteral("阶梯粘贴"));
        CFrameProcessDialog process(7, kLanguageEnglish, strings);
        QCOMPARE(process.end(), 7);
        process.directionChoice(MoveDirection::Up)->setChecked(true);
        QVERIFY(process.direction() == MoveDirection::Up);
    }
};

QTEST_MAIN(FrameEditTest)
#include "FrameEditTest.moc"
