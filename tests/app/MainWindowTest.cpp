// The main window as a whole: the menus against the command table in each language, the frame
// view's scroll bars, panning, edit area and drawing, the side panel, recent files, help,
// system settings, skins and dropped documents.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QSpinBox>
#include <QListWidget>
#include <QTabWidget>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <functional>
#include <set>

#include "app/shell/CMainFrame.h"
#include "AppTestSupport.h"
#include "app/frame/CVorlaneView.h"
#include "app/frame/ColourPanel.h"
#include "app/frame/ColorProcessDialog.h"
#include "app/frame/PatternPanel.h"
#include "app/frame/OtherStyleDialog.h"
#include "app/frame/ParticleDialog.h"
#include "app/frame/PictureTextPanel.h"
#include "app/frame/CFrameProcessDialog.h"
#include "app/shell/ManualViewer.h"
#include "content/TransitionRenderer.h"
#include "lang/Language.h"
#include "app/shell/SystemSettingDialog.h"
#include "base/ProfileFile.h"
#include "base/Prompt.h"
#include "base/TempDir.h"
#include "lang/Language.h"
#include "lang/Localize.h"
#include "workspace/Settings.h"
#include "workspace/Startup.h"
#include "workspace/WindowSettings.h"
#include "workspace/Workspace.h"

using namespace corv;
using Started = corv::testing::StartedWorkspace;
using corv::testing::WithModal;

namespace {

// Every action of the window's menus (submenus included).
QList<QAction*> MenuActions(QMenu* menu) {
    QList<QAction*> all;
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            all += MenuActions(a->menu());
        } else if (!a->isSeparator()) {
            all << a;
        }
    }
    return all;
}

QList<QAction*> MenuActions(const CMainFrame& frame) {
    QList<QAction*> all;
    for (QAction* top : frame.menuBar()->actions()) {
        if (top->menu()) all += MenuActions(top->menu());
    }
    return all;
}

// A view of a 10 x 8 frame at zoom 10 whose picture starts at a known place.
struct ViewSetup {
    Started s;
    std::unique_ptr<CMainFrame> frame;
    CVorlaneView* view = nullptr;
    QPoint origin;  // the screen position of cell (0, 0)
    ViewSetup() {
        s.ws.frames.DeleteClip(-1);
        s.ws.frames.AddClip(10, 8);
        frame = std::make_unique<CMainFrame>(s.ws, s.prompt);
        view = frame->frameView();
        view->resize(400 + CVorlaneView::kScrollRoom, 300 + CVorlaneView::kScrollRoom);
        view->ImageCenter();
        origin = view->PictureRect().topLeft();
    }
    QPoint Cell(int x, int y) const {
        const int step = view->zoom();
        return origin + QPoint(x * step + step / 2, y * step + step / 2);
    }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menusHoldEveryCommandOfTheTableInEachLanguage() {
        for (const char* locale : {"en_US.UTF-8", "zh_CN.UTF-8", "zh_TW.UTF-8"}) {
            Started s(locale);
            QVERIFY(s.ok);
            CMainFrame frame(s.ws, s.prompt);
            const QList<QAction*> actions = MenuActions(frame);
            std::set<int> ids;
            for (QAction* a : actions) ids.insert(a->data().toInt());
            for (const WindowCommand& entry : CommandTable()) {
                QAction* a = frame.action(entry.id);
                QVERIFY2(a, qPrintable(QString::number(entry.id)));
                QVERIFY2(actions.contains(a), qPrintable(QStringLiteral("%1 not in a menu").arg(entry.id)));
                QCOMPARE(a->text(), CommandText(entry, s.ws.app.language));
                QCOMPARE(a->shortcut(), CommandKey(entry));
                QCOMPARE(a->isCheckable(), entry.checkable);
            }
            // Four recent-file places follow the import commands.
            for (int i = 0; i < kRecentFileCount; ++i) QVERIFY(ids.count(kFirstRecentFile + i));
            // The texts are the language's own: a few checked by hand.
            const std::uint8_t lang = s.ws.app.language;
            const char* open = lang == kLanguageSimplified ? "打开(&O)..." : lang == kLanguageTraditional ? "打開(&O)..." : "&Open ...";
            QCOMPARE(frame.action(cmd::kOpen)->text(), QString::fromUtf8(open));
            QCOMPARE(frame.action(cmd::kLanguageEnglish)->text(), QStringLiteral("&English"));
            QCOMPARE(frame.action(cmd::kLanguageTraditional)->text(),
                     QString::fromUtf8(UsesChinese(lang) ? "繁體中文" : "Traditional(繁體中文)"));
            QCOMPARE(frame.action(cmd::kLanguageSimplified)->text(),
                     QString::fromUtf8(UsesChinese(lang) ? "简体中文" : "Simplified han(简体中文)"));
            QVERIFY(frame.action(cmd::kHelp)->shortcut() == QKeySequence(Qt::Key_F1));
            QVERIFY(frame.action(cmd::kReturn)->shortcut() == QKeySequence(Qt::Key_Escape));
            QVERIFY(frame.action(cmd::kLineSetting)->shortcut() == QKeySequence(Qt::SHIFT | Qt::Key_S));
            // The running language and skin are ticked.
            QVERIFY(frame.languageAction(lang)->isChecked());
            QVERIFY(frame.action(cmd::kSkinNone)->isChecked());
            // The menu titles too.
            QStringList titles;
            for (QAction* top : frame.menuBar()->actions()) titles << top->text();
            QCOMPARE(titles.front(), lang == kLanguageEnglish ? QStringLiteral("&File") : QString::fromUtf8("文件(&F)"));
        }
    }

    void englishMenuAsTheCommandListGivesIt() {
        // Written out by hand from the list of commands, not taken from the table the window is
        // built from: a wrong text, key or a missing command shows here.
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        const struct {
            int id;
            const char* text;
            QKeySequence key;
        } commands[] = {
            {57600, "&New", {}},
            {57601, "&Open ...", QKeySequence(Qt::CTRL | Qt::Key_O)},
            {57603, "&Save", QKeySequence(Qt::CTRL | Qt::Key_S)},
            {57604, "Save &As...", {}},
            {32928, "Supplemental", QKeySequence(Qt::Key_A)},
            {32857, "Output &Controller File", QKeySequence(Qt::Key_O)},
            {32909, "Import", QKeySequence(Qt::Key_I)},
            {32924, "Import Controller file", {}},
            {57665, "E&xit", {}},
            {32813, "Show grid", {}},
            {32804, "Image center", QKeySequence(Qt::Key_Home)},
            {32773, "&Toolsbar", QKeySequence(Qt::Key_S)},
            {59393, "&StatusBar", {}},
            {32810, "Play(&P)", QKeySequence(Qt::Key_P)},
            {32811, "Stop(&S)", QKeySequence(Qt::Key_Space)},
            {32880, "Live output", {}},
            {32881, "Network output...", {}},
            {57643, "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z)},
            {57644, "&Redo", QKeySequence(Qt::CTRL | Qt::Key_Y)},
            {32814, "Insert(I)", QKeySequence(Qt::CTRL | Qt::Key_I)},
            {57635, "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X)},
            {57634, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C)},
            {57637, "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V)},
            {32903, "Steps paste", QKeySequence(Qt::Key_V)},
            {32808, "&Delete", QKeySequence(Qt::Key_Delete)},
            {32812, "&Cover mode", QKeySequence(Qt::Key_Insert)},
            {32809, "&Edit Area", QKeySequence(Qt::CTRL | Qt::Key_B)},
            {32820, "Video capture transform", QKeySequence(Qt::Key_G)},
            {32807, "Paint edit", QKeySequence(Qt::CTRL | Qt::Key_E)},
            {32922, "Unite File", {}},
            {32816, "Color process", QKeySequence(Qt::CTRL | Qt::Key_P)},
            {32910, "Frame process", QKeySequence(Qt::Key_F)},
            {32908, "Row Col Delete", QKeySequence(Qt::CTRL | Qt::Key_Delete)},
            {32818, "Simplified han(简体中文)", {}},
            {32923, "Traditional(繁體中文)", {}},
            {32819, "&English", {}},
            {32792, "Line &Setting", QKeySequence(Qt::SHIFT | Qt::Key_S)},
            {32862, "S&ystem setting", {}},
            {32838, "&Help", QKeySequence(Qt::Key_F1)},
            {57664, "&About...", {}},
            {32877, "Skin1", {}},
            {32878, "Skin2", {}},
            {32879, "Skin3", {}},
            {32791, "Return", QKeySequence(Qt::Key_Escape)},
        };
        const QList<QAction*> menus = MenuActions(frame);
        for (const auto& c : commands) {
            QAction* a = frame.action(c.id);
            QVERIFY2(a && menus.contains(a), qPrintable(QString::number(c.id)));
            QCOMPARE(a->text(), QString::fromUtf8(c.text));
            QCOMPARE(a->shortcut(), c.key);
        }
    }

    void scrollBarsAndArrowKeysPanTheFrame() {
        ViewSetup v;
        CVorlaneView* view = v.view;
        const QRect picture = view->PictureRect();
        QCOMPARE(view->horizontalBar()->maximum(), picture.width());
        QCOMPARE(view->verticalBar()->maximum(), picture.height());
        QCOMPARE(view->horizontalBar()->value(), picture.width() / 2);  // centred
        // The bars sit in the room kept for them, outside the drawing area.
        QCOMPARE(view->horizontalBar()->geometry().top(), view->DrawingArea().bottom() + 1);
        QCOMPARE(view->verticalBar()->geometry().left(), view->DrawingArea().right() + 1);
        // Moving the bar to the right moves the picture to the left by as much.
        view->horizontalBar()->setValue(view->horizontalBar()->value() + 30);
        QCOMPARE(view->PictureRect().left(), picture.left() - 30);
        // Arrow keys: a third of the area; the bars follow; at most half of a small picture leaves.
        view->ImageCenter();
        const QPoint before = view->centre();
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(view->centre().x(), before.x() - view->DrawingArea().width() / 3);
        QCOMPARE(view->horizontalBar()->value(), view->PictureRect().width() / 2 + view->DrawingArea().width() / 3);
        for (int i = 0; i < 5; ++i) QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view->centre().x(), 0);  // the picture's middle stays on the area's edge
        QTest::keyClick(view, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(view->centre().y(), 0);
        // A picture larger than the area can be panned until its edge meets the area's edge.
        for (int i = 0; i < 8; ++i) QTest::keyClick(view, Qt::Key_Plus);
        for (int i = 0; i < 5; ++i) QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(view->PictureRect().left(), 0);
        // Number keys reach the pattern panel: key 1 is entry 0, key 0 entry 9.
        QSignalSpy numbers(view, &CVorlaneView::numberKey);
        QTest::keyClick(view, Qt::Key_1);
        QTest::keyClick(view, Qt::Key_0);
        QCOMPARE(numbers.size(), 2);
        QCOMPARE(numbers[0][0].toInt(), 0);
        QCOMPARE(numbers[1][0].toInt(), 9);
    }

    void editAreaDragsSnapsMovesAndLimitsTheRangeOperations() {
        ViewSetup v;
        QAction* editArea = v.frame->action(cmd::kEditArea);
        QVERIFY(editArea && editArea->isEnabled());
        editArea->trigger();
        QVERIFY(v.view->editAreaOn());
        QCOMPARE(*v.view->editArea(), (PixelRect{0, 0, 10, 8}));  // the first time: the whole frame
        // Over a whole-frame area the mouse starts a new one (there is nothing to move).
        QTest::mousePress(v.view, Qt::LeftButton, {}, v.Cell(2, 2));
        QTest::mouseMove(v.view, v.Cell(3, 4));
        QTest::mouseRelease(v.view, Qt::LeftButton, {}, v.Cell(3, 4));
        QCOMPARE(*v.view->editArea(), (PixelRect{2, 2, 4, 5}));
        // A rubber band outside the area starts a new one: whole cells, both ends included.
        v.view->SetEditArea(PixelRect{0, 0, 2, 2});
        QTest::mousePress(v.view, Qt::LeftButton, {}, v.Cell(6, 5) + QPoint(3, -2));
        QTest::mouseMove(v.view, v.Cell(3, 2));
        QTest::mouseRelease(v.view, Qt::LeftButton, {}, v.Cell(3, 2));
        QCOMPARE(*v.view->editArea(), (PixelRect{3, 2, 7, 6}));
        QCOMPARE(v.frame->statusBar()->currentMessage(), QStringLiteral("Block(3,2,7,6)"));
        // Dragging inside moves it by whole cells and keeps it inside the frame.
        QTest::mousePress(v.view, Qt::LeftButton, {}, v.Cell(4, 3));
        QTest::mouseMove(v.view, v.Cell(5, 3));
        QCOMPARE(*v.view->editArea(), (PixelRect{4, 2, 8, 6}));
        QTest::mouseMove(v.view, v.Cell(9, 9) + QPoint(200, 200));
        QTest::mouseRelease(v.view, Qt::LeftButton, {}, v.Cell(9, 9) + QPoint(200, 200));
        QCOMPARE(*v.view->editArea(), (PixelRect{6, 4, 10, 8}));
        // The range operations see it: Cut refills the area and keeps the frame.
        Frame& f = v.s.ws.frames.CurrentFrames()[0];
        f = Frame::Filled(10, 8, Bgr{9, 9, 9});
        QVERIFY(v.frame->CutFrames(1, 1));
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), std::size_t{1});
        QCOMPARE(v.s.ws.frames.CurrentFrames()[0].Pixel(7, 5), v.s.ws.app.backgroundColour);
        QCOMPARE(v.s.ws.frames.CurrentFrames()[0].Pixel(1, 1), (Bgr{9, 9, 9}));
        // Switched off, the operations take whole frames again.
        editArea->trigger();
        QVERIFY(!v.frame->editArea());
        QVERIFY(v.frame->UndoFrames());
        QCOMPARE(v.s.ws.frames.CurrentFrames()[0].Pixel(7, 5), (Bgr{9, 9, 9}));
    }

    void drawingToolsChangeCellsWithOneUndoStepPerStroke() {
        ViewSetup v;
        const Bgr red{0, 0, 255};
        const Bgr bg = v.s.ws.frames.CurrentFrames()[0].Pixel(0, 0);
        // Without a tool the mouse draws nothing.
        QTest::mouseClick(v.view, Qt::LeftButton, {}, v.Cell(1, 1));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[0].Pixel(1, 1), bg);
        v.view->SetDrawingTool(DrawTool::Pen, red);
        QTest::mousePress(v.view, Qt::LeftButton, {}, v.Cell(1, 1));
        QTest::mouseMove(v.view, v.Cell(4, 1));  // a fast move leaves no gaps
        QTest::mouseRelease(v.view, Qt::LeftButton, {}, v.Cell(4, 1));
        for (int x = 1; x <= 4; ++x) QCOMPARE(v.s.ws.frames.CurrentFrames()[0].Pixel(x, 1), red);
        QVERIFY(v.frame->action(cmd::kUndo)->isEnabled());
        QCOMPARE(v.s.ws.frameUndo.NewestKind(), 2);
        // The line tool shows only the last line of the drag.
        v.view->SetDrawingTool(DrawTool::Line, red);
        QTest::mousePress(v.view, Qt::LeftButton, {}, v.Cell(0, 3));
        QTest::mouseMove(v.view, v.Cell(9, 7));
        QTest::mouseMove(v.view, v.Cell(9, 3));
        QTest::mouseRelease(v.view, Qt::LeftButton, {}, v.Cell(9, 3));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[0].Pixel(9, 3), red);
        QCOMPARE(v.s.ws.frames.CurrentFrames()[0].Pixel(9, 7), bg);
        // Fill: the area of the background around the press cell.
        const Bgr green{0, 255, 0};
        v.view->SetDrawingTool(DrawTool::Fill, green);
        QTest::mouseClick(v.view, Qt::LeftButton, {}, v.Cell(0, 0));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[0].Pixel(9, 0), green);
        QCOMPARE(v.s.ws.frames.CurrentFrames()[0].Pixel(0, 7), bg);  // below the line: another area
        // A press outside the picture records nothing.
        const std::size_t depth = v.s.ws.frameUndo.UndoDepth();
        QTest::mouseClick(v.view, Qt::LeftButton, {}, v.origin - QPoint(5, 5));
        QCOMPARE(v.s.ws.frameUndo.UndoDepth(), depth);
        // Three strokes back: the frame as it was.
        QVERIFY(v.frame->UndoFrames());
        QVERIFY(v.frame->UndoFrames());
        QVERIFY(v.frame->UndoFrames());
        QCOMPARE(v.s.ws.frames.CurrentFrames()[0], Frame::Filled(10, 8, bg));
    }

    void historyStaysWithItsClipAndStrokesWithTheirFrame() {
        ViewSetup v;
        v.s.ws.frames.AddClip(6, 4);  // a second clip of another size
        v.frame->ClipEntriesChanged(v.s.ws.frames.Count(), v.s.ws.frames.current());
        v.s.ws.frames.Select(0);
        QVERIFY(v.frame->InsertFrame());
        QVERIFY(v.frame->action(cmd::kUndo)->isEnabled());
        // Choosing the other clip: the first clip's history cannot act on it.
        emit v.frame->clipSelector()->activated(1);
        QCOMPARE(v.s.ws.frames.current(), 1);
        QVERIFY(!v.frame->UndoFrames());
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), std::size_t{1});
        // An edit area made on the larger clip is brought inside the smaller frame at the press.
        emit v.frame->clipSelector()->activated(0);
        v.view->ImageCenter();
        v.frame->action(cmd::kEditArea)->trigger();
        v.view->SetEditArea(PixelRect{4, 4, 10, 8});
        emit v.frame->clipSelector()->activated(1);
        v.view->ImageCenter();
        const QPoint inside = v.view->PictureRect().topLeft() + QPoint(2, 2);
        QTest::mousePress(v.view, Qt::LeftButton, {}, inside);
        QTest::mouseMove(v.view, inside + QPoint(v.view->zoom(), 0));
        QTest::mouseRelease(v.view, Qt::LeftButton, {}, inside + QPoint(v.view->zoom(), 0));
        const PixelRect area = *v.view->editArea();
        QVERIFY(area.right <= 6 && area.bottom <= 4 && !area.Empty());
        v.frame->action(cmd::kEditArea)->trigger();
        // A stroke stops playback and stays on the frame it began on.
        emit v.frame->clipSelector()->activated(0);
        QVERIFY(v.frame->InsertFrame());
        QVERIFY(v.frame->InsertFrame());
        v.frame->frameNumber()->setValue(1);
        v.view->ImageCenter();
        v.origin = v.view->PictureRect().topLeft();
        v.frame->speed()->setValue(80);
        v.frame->Play();
        QVERIFY(v.frame->playing());
        v.view->SetDrawingTool(DrawTool::Line, Bgr{0, 0, 255});
        const int pressed = v.s.ws.app.currentFrame;
        QTest::mousePress(v.view, Qt::LeftButton, {}, v.Cell(0, 0));
        QVERIFY(!v.frame->playing());
        QTest::mouseMove(v.view, v.Cell(5, 0));
        QTest::mouseRelease(v.view, Qt::LeftButton, {}, v.Cell(5, 0));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[static_cast<std::size_t>(pressed)].Pixel(5, 0), (Bgr{0, 0, 255}));
    }

    void longRangesAndEmptyClipsAreRefusedOrHandled() {
        Started s;
        QVERIFY(s.ok);
        s.ws.frames.DeleteClip(-1);
        s.ws.frames.AddClip(1, 1);
        auto& frames = s.ws.frames.CurrentFrames();
        frames.assign(65536, Frame::Filled(1, 1, Bgr{1, 2, 3}));
        CMainFrame frame(s.ws, s.prompt);
        // A frame block counts its frames in 16 bits: a longer range is refused before anything changes.
        QVERIFY(!frame.CutFrames(1, 65536));
        QCOMPARE(s.ws.frames.CurrentFrames().size(), std::size_t{65536});
        QVERIFY(QString::fromStdString(s.prompt.messages().back()).contains(QStringLiteral("65535")));
        QVERIFY(!frame.CopyFrames(1, 65536));
        QVERIFY(frame.CopyFrames(2, 65536));
        // A clip read without frames: Insert makes one of the clip's size; Paste does nothing.
        s.ws.frames.CurrentClip().frames.clear();
        QVERIFY(!frame.PasteFrames(PasteOptions{}));
        QVERIFY(!frame.StepsPasteFrames(0, 1, false));
        QVERIFY(frame.InsertFrame());
        QCOMPARE(s.ws.frames.CurrentFrames().size(), std::size_t{1});
        QCOMPARE(s.ws.frames.CurrentFrames()[0].width(), 1);
    }

    void colourPanelBuildsTheListAndDrivesTheDrawingTools() {
        ViewSetup v;
        v.frame->show();
        ColourPanel* panel = v.frame->colourPanel();
        QVERIFY(panel);
        QCOMPARE(panel->countLabel()->text(), QStringLiteral("192"));  // the rainbow at start
        QCOMPARE(panel->libraryBox()->itemText(0), QStringLiteral("192Color"));
        QVERIFY(panel->gradeChoice()->isChecked());
        QCOMPARE(panel->gradeBox()->currentText(), QStringLiteral("8"));
        QCOMPARE(panel->fixedBox()->currentText(), QStringLiteral("32"));
        QVERIFY(panel->toolButton(DrawTool::None)->isChecked());
        // Ctrl + "Color:" adds the colour; white after black at grade 8 gives 33.
        panel->Clear();
        QCOMPARE(panel->countLabel()->text(), QStringLiteral("0"));
        panel->SetCurrentColour(0x000000);
        panel->ColourButton(Qt::ControlModifier);
        panel->SetCurrentColour(0xFFFFFF);
        panel->ColourButton(Qt::ControlModifier);
        QCOMPARE(panel->countLabel()->text(), QStringLiteral("33"));
        panel->fixedChoice()->setChecked(true);
        panel->fixedBox()->setCurrentIndex(0);  // 16
        panel->ColourButton(Qt::ControlModifier);
        QCOMPARE(v.s.ws.colourPanel.list.count(), std::size_t{49});
        // Shift + a click on the strip removes that entry; Ctrl keeps the list up to it.
        QTest::mouseClick(panel->strip(), Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 3));
        QCOMPARE(v.s.ws.colourPanel.list.count(), std::size_t{48});
        QCOMPARE(v.s.ws.colourPanel.list[0], MakeListColour(7, 7, 7));
        QTest::mouseClick(panel->strip(), Qt::LeftButton, {}, QPoint(ColourStrip::kCell * 9 + 3, 3));
        QCOMPARE(v.s.ws.colourPanel.list.selected(), 9);
        QCOMPARE(v.s.ws.colourPanel.current, v.s.ws.colourPanel.list[9]);  // a click takes the colour
        panel->Delete(Qt::ControlModifier);
        QCOMPARE(panel->countLabel()->text(), QStringLiteral("10"));
        panel->Delete({});
        QCOMPARE(panel->countLabel()->text(), QStringLiteral("9"));
        // The library: saved, loaded back, the rainbow again, removed.
        QVERIFY(panel->SaveToLibrary());
        QCOMPARE(panel->libraryBox()->count(), 2);
        QCOMPARE(panel->libraryBox()->itemText(1), QStringLiteral("9Color"));
        QVERIFY(std::filesystem::exists(v.s.home.path() / ColourLibrary::kFileName));
        panel->LoadLibraryEntry(0);
        QCOMPARE(v.s.ws.colourPanel.list.count(), std::size_t{192});
        panel->LoadLibraryEntry(1);
        QCOMPARE(v.s.ws.colourPanel.list.count(), std::size_t{9});
        panel->libraryBox()->setCurrentIndex(1);
        QVERIFY(panel->RemoveLibraryEntry());
        QCOMPARE(panel->libraryBox()->count(), 1);
        panel->libraryBox()->setCurrentIndex(0);
        QVERIFY(!panel->RemoveLibraryEntry());  // the rainbow stays
        // The tool buttons choose the frame view's tool; it paints with the current colour.
        panel->toolButton(DrawTool::Pen)->click();
        QCOMPARE(v.view->drawingTool(), DrawTool::Pen);
        panel->SetCurrentColour(0x00FF00);
        v.view->ImageCenter();
        v.origin = v.view->PictureRect().topLeft();
        QTest::mouseClick(v.view, Qt::LeftButton, {}, v.Cell(2, 2));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[0].Pixel(2, 2), (Bgr{0, 0xFF, 0}));
        panel->toolButton(DrawTool::None)->click();
        QCOMPARE(v.view->drawingTool(), DrawTool::None);
        // "Back:" is the colour of new blank frames.
        panel->SetBackground(Bgr{1, 2, 3});
        QVERIFY(v.frame->InsertFrame());
        QCOMPARE(v.s.ws.frames.CurrentFrame()->Pixel(0, 0), (Bgr{1, 2, 3}));
        panel->lineWidthBox()->setValue(4);
        panel->fillBox()->setChecked(true);
        QCOMPARE(v.s.ws.colourPanel.lineWidth, 4);
        QVERIFY(v.s.ws.colourPanel.fill);
    }

    void colorProcessOverARangeWithItsUndo() {
        ViewSetup v;
        auto& frames = v.s.ws.frames.CurrentFrames();
        frames.assign(3, Frame::Filled(10, 8, Bgr{0, 0, 128}));  // dark red
        ColorProcessDialog dialog(2, 3, kLanguageEnglish, v.s.ws.strings);
        QCOMPARE(dialog.start(), 2);
        QCOMPARE(dialog.end(), 3);
        QVERIFY(dialog.modeChoice(ColorProcessDialog::Mode::Replace)->isChecked());
        dialog.SetColours(Bgr{0, 0, 255}, Bgr{0, 255, 255});  // red to yellow
        QVERIFY(v.frame->ColorProcessFrames(dialog.request()));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[0].Pixel(0, 0), (Bgr{0, 0, 128}));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[1].Pixel(0, 0), (Bgr{0, 128, 128}));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[2].Pixel(0, 0), (Bgr{0, 128, 128}));
        QVERIFY(v.frame->UndoFrames());
        QCOMPARE(v.s.ws.frames.CurrentFrames()[2].Pixel(0, 0), (Bgr{0, 0, 128}));
        // Swap through the dialog's choices; a range past the clip is refused.
        dialog.modeChoice(ColorProcessDialog::Mode::Swap)->setChecked(true);
        dialog.orderBox()->setCurrentIndex(3);  // "B G R"
        QCOMPARE(dialog.orderBox()->currentText(), QStringLiteral("B G R"));
        QVERIFY(v.frame->ColorProcessFrames(dialog.request()));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[1].Pixel(0, 0), (Bgr{128, 0, 0}));
        ColorProcessRequest bad = dialog.request();
        bad.end = 4;
        QVERIFY(!v.frame->ColorProcessFrames(bad));
        // Clear non-LED points without any wiring: the usual message, nothing changed.
        ColorProcessRequest clear;
        clear.mode = ColorProcessRequest::Mode::ClearNonLed;
        clear.start = 1;
        clear.end = 3;
        QVERIFY(!v.frame->ColorProcessFrames(clear));
        QCOMPARE(QString::fromStdString(v.s.prompt.messages().back()), QString::fromStdString(v.s.ws.strings.noLayout));
        QVERIFY(v.frame->action(cmd::kColorProcess)->isEnabled());
    }

    void designSwitchJoinsTwoRuns() {
        ViewSetup v;
        auto& frames = v.s.ws.frames.CurrentFrames();
        frames.clear();
        for (std::uint8_t c : {10, 20, 30, 40, 50}) frames.push_back(Frame::Filled(10, 8, Bgr{c, c, c}));
        // Frames 1..2 set two steps: frames 3 and 4 appear from frame 2 (Reveal/Rect1).
        QVERIFY(v.frame->DesignSwitchFrames(1, 2, 47));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[2].Pixel(0, 0), (Bgr{20, 20, 20}));  // the corner not yet
        QCOMPARE(v.s.ws.frames.CurrentFrames()[2].Pixel(5, 4), (Bgr{30, 30, 30}));  // the middle shows frame 3
        QCOMPARE(v.s.ws.frames.CurrentFrames()[3].Pixel(0, 0), (Bgr{40, 40, 40}));  // the last step whole
        QCOMPARE(v.s.ws.app.currentFrame, 3);
        QVERIFY(v.frame->UndoFrames());
        QCOMPARE(v.s.ws.frames.CurrentFrames()[2].Pixel(5, 4), (Bgr{30, 30, 30}));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[2].Pixel(0, 0), (Bgr{30, 30, 30}));
        // Not enough frames after the range: the message, nothing changed.
        QVERIFY(!v.frame->DesignSwitchFrames(2, 4, 2));
        QCOMPARE(QString::fromStdString(v.s.prompt.messages().back()), QString::fromStdString(v.s.ws.strings.paramError));
        // The dialog's page and its check.
        CFrameProcessDialog d(5, kLanguageEnglish, v.s.ws.strings);
        d.pages()->setCurrentIndex(1);
        QVERIFY(d.designSwitch());
        QCOMPARE(d.kindBox()->count(), kTransitionKinds);
        QCOMPARE(d.kindBox()->itemText(57), QStringLiteral("Spiral"));
        d.endEdit()->setValue(3);
        d.startEdit()->setValue(1);
        bool warned = false;
        WithModal([&] { d.accept(); },
                  [&](QWidget* w) {
                      warned = true;
                      qobject_cast<QDialog*>(w)->accept();
                  });
        QVERIFY(warned);
        QCOMPARE(d.result(), int(QDialog::Rejected));  // still open
    }

    void patternPanelRunsTheGeneratorsFromClicksAndNumberKeys() {
        ViewSetup v;
        PatternPanel* panel = v.frame->patternPanel();
        QVERIFY(panel);
        QCOMPARE(v.frame->sideTabs()->tabText(0), QStringLiteral("Design"));
        QCOMPARE(v.frame->sideTabs()->tabText(1), QStringLiteral("Color"));
        QCOMPARE(panel->modeBox()->count(), kGeneratorModes);
        QCOMPARE(panel->styleList()->count(), 10);
        QCOMPARE(panel->styleList()->item(9)->text(), QStringLiteral("Inter-port(0)"));
        QCOMPARE(panel->countBox()->value(), 100);
        QCOMPARE(panel->stepBox()->value(), 1);
        // Enabling rules: recycle for modes 0-3, render for 5, 6, 9, 10, 12, step for 0, 1, 12.
        QVERIFY(panel->recycleBox()->isEnabled());
        QVERIFY(!panel->renderBox()->isEnabled());
        panel->SetMode(GeneratorMode::Jalousie);
        QVERIFY(!panel->recycleBox()->isEnabled());
        QVERIFY(panel->renderBox()->isEnabled());
        QVERIFY(!panel->stepBox()->isEnabled());
        QCOMPARE(panel->countLabel()->text(), QStringLiteral("Block Number:"));
        QCOMPARE(panel->countBox()->value(), 3);
        panel->SetMode(GeneratorMode::SoundWave);
        QCOMPARE(panel->styleList()->count(), 5);
        QCOMPARE(panel->styleList()->item(4)->text(), QStringLiteral("Style1(1)"));
        panel->SetMode(GeneratorMode::ToyBricks);
        QVERIFY(panel->countBox()->isHidden());
        QVERIFY(!panel->bricksPanel()->isHidden());
        QCOMPARE(panel->bricks().width, 4);
        panel->bricksBox(5)->setValue(0);
        QCOMPARE(panel->bricks().rebound, 0);
        panel->SetMode(GeneratorMode::VShape);
        QVERIFY(panel->bricksPanel()->isHidden());
        QVERIFY(!panel->vshapePanel()->isHidden());
        QCOMPARE(panel->vshape().interval, 2);
        panel->SetMode(GeneratorMode::PictureAndText);
        QVERIFY(panel->vshapePanel()->isHidden());
        // Picture and text: its sub-panel; an empty list says so; a picture in the list runs.
        QVERIFY(!panel->pictureTextPanel()->isHidden());
        QVERIFY(panel->styleList()->item(0)->flags() & Qt::ItemIsEnabled);
        const std::size_t before = v.s.ws.frames.CurrentFrames().size();
        QCOMPARE(v.frame->RunGenerator(GeneratorMode::PictureAndText, 0), -1);
        QCOMPARE(QString::fromStdString(v.s.prompt.messages().back()), QString::fromStdString(v.s.ws.strings.noPicText));
        QImage blue(8, 8, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        const QString bluePath = QString::fromStdString(v.s.home.File("blue.png").string());
        QVERIFY(blue.save(bluePath));
        panel->pictureTextPanel()->AddFiles({bluePath, bluePath});
        panel->pictureTextPanel()->SetSteps(3);
        QCOMPARE(v.frame->RunGenerator(GeneratorMode::PictureAndText, 0), 6);
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), before + 6);
        // A built text picture takes the list's place and locks its controls until the list is empty.
        panel->pictureTextPanel()->textEdit()->setText(QStringLiteral("HI"));
        panel->pictureTextPanel()->buildButton()->click();
        QVERIFY(panel->pictureTextPanel()->hasTextPicture());
        QVERIFY(!panel->pictureTextPanel()->browseButton()->isEnabled());
        QVERIFY(v.frame->RunGenerator(GeneratorMode::PictureAndText, 0) > 0);
        panel->pictureTextPanel()->list()->selectAll();
        panel->pictureTextPanel()->DeleteSelected();
        QVERIFY(!panel->pictureTextPanel()->hasTextPicture());
        QVERIFY(panel->pictureTextPanel()->browseButton()->isEnabled());
        QCOMPARE(v.frame->RunGenerator(GeneratorMode::PictureAndText, 0), -1);
        // Each run is one undo step.
        QVERIFY(v.frame->UndoFrames());
        QVERIFY(v.frame->UndoFrames());
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), before);
        // A click on an entry runs it after the current frame: 5 frames of Gradual "Transition".
        panel->SetMode(GeneratorMode::Gradual);
        panel->countBox()->setValue(5);
        v.s.ws.colourPanel.list = ColourList({0x00FF00, 0x0000FF});
        QListWidget* list = panel->styleList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(5)).center());
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), std::size_t{6});
        QCOMPARE(v.s.ws.app.currentFrame, 5);
        QCOMPARE(v.s.ws.frames.CurrentFrames()[1].Pixel(0, 0), ToBgr(0x00FF00));
        QCOMPARE(v.s.ws.frames.CurrentFrames()[2].Pixel(0, 0), ToBgr(0x0000FF));
        QVERIFY(v.frame->UndoFrames());  // one step takes the whole run back
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), std::size_t{1});
        // Key 1 in the frame view runs entry 0 of the mode (Brighten).
        v.frame->frameNumber()->setValue(1);
        QTest::keyClick(v.view, Qt::Key_1);
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), std::size_t{6});
        // Key 0 is entry 9: Gradual has six entries, so nothing runs.
        QTest::keyClick(v.view, Qt::Key_0);
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), std::size_t{6});
        // Diffuse through its dialog: OK runs it and keeps its values in Diffusing.dfg.
        panel->SetMode(GeneratorMode::Other);
        panel->countBox()->setValue(3);
        const std::size_t framesBefore = v.s.ws.frames.CurrentFrames().size();
        WithModal([&] { panel->RunEntry(1); },
                  [&](QWidget* w) {
                      auto* dialog = qobject_cast<OtherStyleDialog*>(w);
                      QVERIFY(dialog);
                      dialog->field("centreX")->setValue(25);
                      dialog->accept();
                  });
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), framesBefore + 3);
        QCOMPARE(LoadDiffusing(v.s.home.path() / kDiffusingFileName).centreX, 25);
        // Cancel runs nothing.
        WithModal([&] { panel->RunEntry(3); }, [&](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), framesBefore + 3);
        // Particle through its dialog: the values and picture stay for the next run; Cancel runs nothing.
        QVERIFY(panel->styleList()->item(0)->flags() & Qt::ItemIsEnabled);
        WithModal([&] { panel->RunEntry(0); },
                  [&](QWidget* w) {
                      auto* dialog = qobject_cast<ParticleDialog*>(w);
                      QVERIFY(dialog);
                      QCOMPARE(dialog->combo(ParticleOptions::kPosY)->currentText(), QStringLiteral("Top"));
                      dialog->combo(ParticleOptions::kPosY)->setCurrentIndex(1);
                      dialog->accept();
                  });
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), framesBefore + 6);
        WithModal([&] { panel->RunEntry(0); },
                  [&](QWidget* w) {
                      auto* dialog = qobject_cast<ParticleDialog*>(w);
                      QCOMPARE(dialog->combo(ParticleOptions::kPosY)->currentText(), QStringLiteral("Middle"));
                      dialog->reject();
                  });
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), framesBefore + 6);
        // The port styles without any wiring: the usual message.
        panel->SetMode(GeneratorMode::Moving);
        QCOMPARE(v.frame->RunGenerator(GeneratorMode::Moving, 8), -1);
        QCOMPARE(QString::fromStdString(v.s.prompt.messages().back()), QString::fromStdString(v.s.ws.strings.noLayout));
        // An empty colour list: a message, nothing made.
        v.s.ws.colourPanel.list.Clear();
        QCOMPARE(v.frame->RunGenerator(GeneratorMode::Moving, 0), -1);
        QCOMPARE(v.s.ws.frames.CurrentFrames().size(), framesBefore + 6);
    }

    void particleDialogValuesPictureAndTemplates() {
        Started s;
        QVERIFY(s.ok);
        ParticleDialog d(s.ws, s.prompt, DefaultParticleOptions(), DefaultParticlePicture());
        QCOMPARE(d.combo(ParticleOptions::kPosX)->count(), 2);
        QCOMPARE(d.combo(ParticleOptions::kSpeedY)->itemText(1), QStringLiteral("sqrt(acc*hei/2)"));
        QCOMPARE(d.combo(ParticleOptions::kWind)->currentText(), QStringLiteral("Not"));
        // A typed number instead of an entry.
        d.combo(ParticleOptions::kPosX)->setEditText(QStringLiteral("5000"));
        QCOMPARE(d.options().combos[ParticleOptions::kPosX].selection, -1);
        QCOMPARE(d.options().combos[ParticleOptions::kPosX].typed, 5000);
        d.sendSpeed()->setValue(25);
        // Templates: an empty name is refused with the message; saving twice keeps one entry.
        d.templateBox()->setEditText(QString());
        QVERIFY(!d.SaveTemplate());
        QCOMPARE(QString::fromStdString(s.prompt.messages().back()), QString::fromStdString(s.ws.strings.askModelName));
        d.templateBox()->setEditText(QStringLiteral("Rain"));
        QVERIFY(d.SaveTemplate());
        QVERIFY(d.SaveTemplate());
        QCOMPARE(d.templateBox()->count(), 1);
        QCOMPARE(ProfileFile(s.home.path() / kParticleLibraryName, "Main").GetInt("Number", 0), 1);
        d.SetOptions(DefaultParticleOptions());
        QVERIFY(d.SelectTemplate(QStringLiteral("Rain")));
        QCOMPARE(d.options().sendSpeed, 25);
        QCOMPARE(d.options().combos[ParticleOptions::kPosX].typed, 5000);
        // A second dialog lists it.
        ParticleDialog again(s.ws, s.prompt, DefaultParticleOptions(), QImage());
        QCOMPARE(again.templateBox()->count(), 1);
        QVERIFY(d.DeleteTemplate());
        QCOMPARE(d.templateBox()->count(), 0);
        // An unreadable picture: a message, the picture kept.
        TempDir dir;
        std::ofstream(dir.File("broken.bmp")) << "BM broken";
        QVERIFY(!d.LoadPicture(QString::fromStdString(dir.File("broken.bmp").string())));
        QCOMPARE(d.picture().size(), QSize(3, 3));
        QImage red(5, 3, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(QString::fromStdString(dir.File("red.png").string())));
        QVERIFY(d.LoadPicture(QString::fromStdString(dir.File("red.png").string())));
        QCOMPARE(d.picture().size(), QSize(5, 3));
    }

    void aDamagedColourLibraryIsReportedAndKept() {
        Started s;
        QVERIFY(s.ok);
        const auto file = s.home.path() / ColourLibrary::kFileName;
        std::ofstream(file) << "damaged";
        CMainFrame frame(s.ws, s.prompt);
        QVERIFY(QString::fromStdString(s.prompt.messages().back()).contains(QStringLiteral("damaged colour library")));
        QCOMPARE(frame.colourPanel()->libraryBox()->count(), 1);  // the rainbow only
        QVERIFY(!frame.colourPanel()->SaveToLibrary());
        std::ifstream in(file);
        std::string text;
        in >> text;
        QCOMPARE(QString::fromStdString(text), QStringLiteral("damaged"));
    }

    void sidePanelRecentFilesHelpAndDrops() {
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        // F2 switches the side panel's tab; "Toolsbar" hides and shows the panel.
        QCOMPARE(frame.sideTabs()->count(), 2);
        QCOMPARE(frame.sideTabs()->currentIndex(), 0);
        frame.SwitchSideTab();
        QCOMPARE(frame.sideTabs()->currentIndex(), 1);
        frame.SwitchSideTab();
        QCOMPARE(frame.sideTabs()->currentIndex(), 0);
        bool f2 = false;
        for (QAction* a : frame.actions()) f2 |= a->shortcut() == QKeySequence(Qt::Key_F2);
        QVERIFY(f2);
        frame.show();
        QAction* tools = frame.action(cmd::kToolsbar);
        QVERIFY(tools->isChecked());
        tools->trigger();
        QVERIFY(frame.sidePanel()->isHidden());
        tools->trigger();
        QVERIFY(!frame.sidePanel()->isHidden());
        frame.action(cmd::kStatusBar)->trigger();
        QVERIFY(frame.statusBar()->isHidden());

        // Saved documents go to the top of the recent files, which the configuration keeps.
        TempDir dir;
        QStringList saved;
        for (const char* name : {"a.cvn", "b.cvn", "c.cvn", "d.cvn", "e.cvn"}) {
            saved << QString::fromStdString(dir.File(name).string());
            QVERIFY(frame.FileSaveAs(saved.back()));
        }
        QCOMPARE(frame.recentFiles().size(), kRecentFileCount);
        QCOMPARE(frame.recentFiles().front(), saved.back());
        QCOMPARE(QString::fromStdString(ReadRecentFiles(s.ws.ConfigPath()).front()), saved.back());
        QAction* first = frame.findChildren<QAction*>().front();
        for (QAction* a : frame.findChildren<QAction*>()) {
            if (a->data().toInt() == kFirstRecentFile + 3) first = a;
        }
        QVERIFY(first->isVisible());
        QVERIFY(first->text().endsWith(QStringLiteral("b.cvn")));
        QVERIFY(frame.InsertFrame());
        QVERIFY(frame.action(cmd::kUndo)->isEnabled());
        s.prompt.Script(Answer::No);  // the inserted frame is not saved
        QVERIFY(frame.OpenRecent(3));
        QVERIFY(!frame.action(cmd::kUndo)->isEnabled());  // the history went with the old project
        QCOMPARE(frame.recentFiles().front(), saved[1]);
        // A listed file that went away is reported and leaves the list.
        QFile::remove(saved[4]);
        QVERIFY(!frame.OpenRecent(1));
        QVERIFY(!frame.recentFiles().contains(saved[4]));

        // A document dropped on the window opens.
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(saved[2])});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame, &drop);
        QTRY_COMPARE(QString::fromStdString(s.ws.documentPath.string()), saved[2]);
        delete data;

        // Help shows the manual for the language in the program's own viewer (the English one
        // stands in); the desktop's viewer is used only on request.
        QString opened;
        frame.SetFileOpener([&](const QString& path) {
            opened = path;
            return true;
        });
        QVERIFY(frame.Help());
        ManualViewer* manual = frame.manualViewer();
        QVERIFY(manual && manual->isVisible());
        QVERIFY(manual->path().endsWith(QStringLiteral("/Help_e.pdf")));
        QVERIFY(manual->pageCount() > 1);
        QVERIFY(opened.isEmpty());
        manual->findChild<QPushButton*>(QStringLiteral("openExternally"))->click();
        QCOMPARE(opened, manual->path());
        frame.SetFileOpener([](const QString&) { return false; });
        const std::size_t before = s.prompt.messages().size();
        manual->findChild<QPushButton*>(QStringLiteral("openExternally"))->click();
        QCOMPARE(s.prompt.messages().size(), before + 1);  // no desktop viewer: a message instead of silence
        QVERIFY(QString::fromStdString(s.prompt.messages().back()).contains(manual->path()));
        manual->close();
    }

    void systemSettingAndSkinsKeepTheirSettings() {
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        frame.show();
        WithModal([&] { frame.action(cmd::kSystemSetting)->trigger(); },
                  [&](QWidget* w) {
                      auto* dialog = qobject_cast<SystemSettingDialog*>(w);
                      QVERIFY(dialog);
                      QCOMPARE(dialog->gridWidthBox()->value(), 1);
                      dialog->gridWidthBox()->setValue(2);
                      dialog->compressBox()->setChecked(true);
                      dialog->paintPathEdit()->setText(QStringLiteral("/opt/paint/bin/paint"));
                      dialog->accept();
                  });
        QCOMPARE(s.ws.frameView.gridScaleX, 2);
        QCOMPARE(s.ws.app.compress, 1);
        ProfileFile cfg(s.ws.ConfigPath(), kMainSection);
        QCOMPARE(QString::fromStdString(cfg.GetString(keys::kPaintPath)), QStringLiteral("/opt/paint/bin/paint"));
        const Frame& f = s.ws.frames.CurrentFrames().front();
        QCOMPARE(frame.frameView()->PictureRect().width(), f.width() * 2 * frame.frameView()->zoom());
        // Cancel changes nothing.
        WithModal([&] { frame.SystemSetting(); },
                  [&](QWidget* w) {
                      qobject_cast<SystemSettingDialog*>(w)->gridWidthBox()->setValue(7);
                      qobject_cast<QDialog*>(w)->reject();
                  });
        QCOMPARE(s.ws.frameView.gridScaleX, 2);

        // A skin is kept as a setting; No keeps the program running.
        s.prompt.Script(Answer::No);
        frame.ChooseSkin(2);
        QCOMPARE(cfg.GetInt(keys::kSkin, 0), 2);
        QVERIFY(frame.action(cmd::kSkin2)->isChecked());
        QVERIFY(!frame.action(cmd::kSkinNone)->isChecked());
        QVERIFY(frame.isVisible());
        // Choosing the skin that is set asks nothing.
        const std::size_t asked = s.prompt.questions().size();
        frame.ChooseSkin(2);
        QCOMPARE(s.prompt.questions().size(), asked);
        // Yes restarts the program after the usual question about changes (the grid scale
        // changed the document: its changes are dropped here).
        s.prompt.Script(Answer::Yes);
        s.prompt.Script(Answer::No);
        frame.ChooseSkin(1);
        QVERIFY(!frame.isVisible());
        QVERIFY(frame.restartRequested());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
