// The sculpt window driven as a user drives it: mouse drags and clicks on the view, the menus,
// the line panel, the dialogs of the tools, the controller dialogs and Import File.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>

#include "AppTestSupport.h"
#include "app/sculpt/ChipPinDialog.h"
#include "app/sculpt/LightingSettingDialog.h"
#include "app/sculpt/MultiControllerDialog.h"
#include "app/sculpt/ImportFileDialog.h"
#include "app/sculpt/LinePanel.h"
#include "app/sculpt/SculptCommands.h"
#include "app/sculpt/LineOperateDialog.h"
#include "app/sculpt/NumbersDialog.h"
#include "app/sculpt/PixelsRepeatDialog.h"
#include "app/sculpt/CSculptFrame.h"
#include "app/sculpt/CSculptView.h"
#include "base/FileUtil.h"
#include "controller/Catalogue.h"
#include "controller/Parameters.h"
#include "lang/Language.h"
#include "layout/LineFile.h"
#include "layout/SculptTools.h"
#include "workspace/LayoutOps.h"

using namespace corv;
using corv::testing::WithModal;

namespace {

// A started workspace and a shown sculpt window on a fresh layout.
struct Sculpt {
    explicit Sculpt(int rows = 10, int cols = 12, const char* locale = "en_US.UTF-8") : s(locale) {
        frame = std::make_unique<CSculptFrame>(s.ws, s.prompt);
        frame->resize(1000, 700);
        frame->show();
        frame->NewLayout(rows, cols, false);
        frame->view()->SetZoom(20.0f);
        QApplication::processEvents();
    }
    Workspace& ws() { return s.ws; }
    CSculptView* view() { return frame->view(); }
    Layout& layout() { return s.ws.layout; }
    QPoint At(int col, int row) { return view()->CellCentre(col, row); }
    void Drag(int c0, int r0, int c1, int r1, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, At(c0, r0));
        QTest::mouseMove(view(), At((c0 + c1) / 2, (r0 + r1) / 2));
        QTest::mouseMove(view(), At(c1, r1));
        QTest::mouseRelease(view(), Qt::LeftButton, mods, At(c1, r1));
    }
    void Click(int col, int row) {
        QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, At(col, row));
    }
    void Tool(int mode) { frame->action(sculpt::kFirstToolCommand + mode)->trigger(); }
    corv::testing::StartedWorkspace s;
    std::unique_ptr<CSculptFrame> frame;
};

Line Points(std::initializer_list<std::pair<int, int>> colRows) {
    Line l;
    for (auto [c, r] : colRows) l.push_back(MakePoint(r, c));
    return l;
}

void SetLine(Layout& layout, int line, Line points) {
    layout.lines[static_cast<std::size_t>(line)] = std::move(points);
    layout.occupancy.Rebuild(layout.grid, layout.lines);
}

}  // namespace

class SculptWindowTest : public QObject {
    Q_OBJECT

private slots:
    void undoAndRedoBackToTheSavedLayoutAskNothing() {
        Sculpt t;
        QVERIFY(t.s.ok);
        QVERIFY(t.frame->windowTitle().contains(QStringLiteral("[*]")));
        QVERIFY(!t.frame->isWindowModified());
        // Edit: the title shows it; undo: the layout is the new one again, nothing to ask.
        t.Drag(0, 0, 3, 1);
        QVERIFY(t.layout().modified);
        QVERIFY(t.frame->isWindowModified());
        t.frame->action(sculpt::kUndo)->trigger();
        QVERIFY(t.layout().lines[0].empty());
        QVERIFY(!t.layout().modified);
        QVERIFY(!t.frame->isWindowModified());
        QVERIFY(t.frame->Return());
        QVERIFY(t.s.prompt.questions().empty());
        // Edit, save, undo (changed again), redo: what is on disk, Return asks nothing.
        TempDir dir;
        t.Drag(0, 0, 3, 1);
        QVERIFY(t.frame->SaveAs(QString::fromStdString(dir.File("wall.lnf").string())));
        QVERIFY(!t.frame->isWindowModified());
        QVERIFY(t.frame->windowTitle().startsWith(QStringLiteral("wall.lnf[*]")));
        t.frame->action(sculpt::kUndo)->trigger();
        QVERIFY(t.layout().modified);
        QVERIFY(t.frame->isWindowModified());
        t.frame->action(sculpt::kRedo)->trigger();
        QCOMPARE(t.layout().lines[0].size(), std::size_t{8});
        QVERIFY(!t.layout().modified);
        QVERIFY(!t.frame->isWindowModified());
        QVERIFY(t.frame->Return());
        QVERIFY(t.s.prompt.questions().empty());
        // A change with no undo step (the controller's ports) stays until saved.
        SetPortsPerSlave(t.ws(), 4);
        t.Drag(5, 5, 6, 5);
        t.frame->action(sculpt::kUndo)->trigger();
        QVERIFY(t.layout().modified);
        t.s.prompt.Script(Answer::Cancel);
        QVERIFY(!t.frame->Return());
        QCOMPARE(t.s.prompt.questions().size(), std::size_t{1});
    }

    void addByDraggingInEachConnectionMode() {
        Sculpt t;
        QVERIFY(t.s.ok);
        QCOMPARE(t.view()->tool(), sculpt::kToolAdd);
        QVERIFY(t.frame->action(sculpt::kFirstToolCommand)->isChecked());
        // S type (H), the default: a serpentine over 4 x 2 cells dragged right and down; the
        // first tile touches the corner where the drag ended.
        t.Drag(0, 0, 3, 1);
        QCOMPARE(t.layout().lines[0], Points({{3, 1}, {2, 1}, {1, 1}, {0, 1}, {0, 0}, {1, 0}, {2, 0}, {3, 0}}));
        QCOMPARE(t.frame->linePanel()->lineList()->topLevelItem(0)->text(1), QStringLiteral("8"));
        QCOMPARE(t.frame->linePanel()->masterPorts()->text(), QStringLiteral("1"));
        QVERIFY(t.layout().modified);
        // Z type (V) on line 2, chosen in the panel.
        t.frame->linePanel()->SelectLine(1);
        t.frame->linePanel()->modeButtons()->button(1)->click();
        t.Drag(0, 3, 1, 4);
        QCOMPARE(t.layout().lines[1], Points({{1, 4}, {1, 3}, {0, 4}, {0, 3}}));
        QCOMPARE(t.frame->linePanel()->masterPorts()->text(), QStringLiteral("2"));
        // A click (press and release on one cell) adds that cell.
        t.frame->linePanel()->SelectLine(2);
        t.Click(7, 7);
        QCOMPARE(t.layout().lines[2], Points({{7, 7}}));
        // An occupied cell refuses a second LED unless repeats are allowed.
        t.Click(7, 7);
        QCOMPARE(t.layout().lines[2].size(), std::size_t{1});
        t.frame->action(sculpt::kAllowRepeat)->trigger();
        QVERIFY(t.view()->allowRepeat);
        t.Click(7, 7);
        QCOMPARE(t.layout().lines[2].size(), std::size_t{2});
        // The shortest-distance modes add nothing without "Connect by background".
        t.frame->linePanel()->modeButtons()->button(4)->click();
        t.Drag(8, 0, 11, 2);
        QCOMPARE(t.layout().lines[2].size(), std::size_t{2});
        // With a background that allows only some cells, mode 4 wires exactly those.
        QImage bg(12, 10, QImage::Format_RGB32);
        bg.fill(Qt::black);
        for (auto [c, r] : {std::pair{9, 0}, {11, 2}, {10, 1}}) bg.setPixel(c, r, qRgb(255, 255, 255));
        t.view()->SetBackground(bg, QRect(0, 0, 120, 100));
        t.frame->action(sculpt::kConnectByBackground)->trigger();
        t.view()->allowRepeat = false;
        t.Drag(8, 0, 11, 2);
        const Line& l2 = t.layout().lines[2];
        QCOMPARE(l2.size(), std::size_t{5});
        // Nearest first, from the line's last point (7, 7).
        QCOMPARE(Line(l2.begin() + 2, l2.end()), Points({{11, 2}, {10, 1}, {9, 0}}));
        // Move keeps to the background too: a cell it forbids refuses the point.
        t.Tool(sculpt::kToolMove);
        t.Drag(9, 0, 9, 1);
        QCOMPARE(t.layout().lines[2][2], MakePoint(2, 11));
        QCOMPARE(t.layout().lines[2][4], MakePoint(0, 9));
        // With "Connect by background" on and no picture (as after a drawing's import) every
        // free cell of the rectangle is a candidate.
        t.frame->DeleteBackground();
        t.Tool(sculpt::kToolAdd);
        t.frame->linePanel()->SelectLine(3);
        t.Drag(0, 8, 2, 8);
        QCOMPARE(t.layout().lines[3], Points({{0, 8}, {1, 8}, {2, 8}}));
    }

    void toolMenuAsTheToolTableGivesIt() {
        // Written out by hand from the table of tools: texts in English and Simplified Chinese,
        // keys, and a check mark on the chosen tool only.
        const struct {
            int mode;
            const char* english;
            const char* chinese;
            QKeySequence key;
        } tools[] = {
            {0, "Add", "添加", QKeySequence(Qt::Key_D)},
            {1, "Cut", "剪切", QKeySequence(Qt::CTRL | Qt::Key_X)},
            {2, "Copy", "复制", QKeySequence(Qt::CTRL | Qt::Key_C)},
            {3, "Array copy", "阵列复制", QKeySequence(Qt::SHIFT | Qt::Key_C)},
            {4, "Save as module", "保存为模块", QKeySequence(Qt::Key_M)},
            {5, "Pixels repeat", "像素点重复", QKeySequence(Qt::Key_R)},
            {6, "Delete", "删除", QKeySequence(Qt::Key_Delete)},
            {7, "Paste", "粘贴", QKeySequence(Qt::CTRL | Qt::Key_V)},
            {8, "Transfer", "转接", QKeySequence(Qt::Key_G)},
            {9, "Reverse", "反接", QKeySequence(Qt::Key_A)},
            {11, "Move", "移动", QKeySequence(Qt::CTRL | Qt::Key_M)},
        };
        Sculpt en;
        Sculpt zh(10, 12, "zh_CN.UTF-8");
        for (const auto& tool : tools) {
            QAction* a = en.frame->action(sculpt::kFirstToolCommand + tool.mode);
            QVERIFY2(a, tool.english);
            QCOMPARE(a->text(), QString::fromUtf8(tool.english));
            QCOMPARE(a->shortcut(), tool.key);
            QVERIFY(a->isCheckable());
            QCOMPARE(zh.frame->action(sculpt::kFirstToolCommand + tool.mode)->text(), QString::fromUtf8(tool.chinese));
        }
        QCOMPARE(en.frame->action(sculpt::kUndo)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(en.frame->action(sculpt::kRedo)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
        QCOMPARE(en.frame->action(sculpt::kReturn)->shortcut(), QKeySequence(Qt::Key_Escape));
        QCOMPARE(en.frame->action(sculpt::kImageCenter)->shortcut(), QKeySequence(Qt::Key_Home));
        QCOMPARE(en.frame->action(sculpt::kOutputImage)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_O));
        QCOMPARE(en.frame->action(sculpt::kDeleteModule)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
        QCOMPARE(en.frame->action(sculpt::kDeleteBackground)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
        QCOMPARE(zh.frame->action(sculpt::kLineOperate)->text(), QString::fromUtf8("线路操作"));
        // Every command of the table is in a menu, and only one tool is ticked.
        for (const WindowCommand& c : SculptCommandTable()) QVERIFY(en.frame->action(c.id));
        en.Tool(sculpt::kToolTransfer);
        int ticked = 0;
        for (const auto& tool : tools) ticked += en.frame->action(sculpt::kFirstToolCommand + tool.mode)->isChecked();
        QCOMPARE(ticked, 1);
        QVERIFY(en.frame->action(sculpt::kFirstToolCommand + sculpt::kToolTransfer)->isChecked());
        // The key chooses the tool in the window.
        en.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(en.frame.get()));
        QTest::keyClick(en.view(), Qt::Key_D);
        QCOMPARE(en.view()->tool(), sculpt::kToolAdd);
    }

    void newAndPasteSettingDialogs() {
        Sculpt t;
        // New starts from the current clip's size; Cancel changes nothing.
        const int clipRows = static_cast<int>(t.ws().frames.CurrentClip().height);
        const int clipCols = static_cast<int>(t.ws().frames.CurrentClip().width);
        WithModal([&] { QVERIFY(!t.frame->NewLayout()); },
                  [&](QWidget* w) {
                      auto* d = qobject_cast<NumbersDialog*>(w);
                      QVERIFY(d);
                      QCOMPARE(d->value(0), clipRows);
                      QCOMPARE(d->value(1), clipCols);
                      d->reject();
                  });
        QCOMPARE(t.layout().grid.rows, std::uint16_t{10});
        // A size below 1 becomes 1; the sphere option makes a sphere layout.
        WithModal([&] { QVERIFY(t.frame->NewLayout()); },
                  [&](QWidget* w) {
                      auto* d = qobject_cast<NumbersDialog*>(w);
                      d->field(0)->setValue(0);
                      d->field(1)->setValue(20);
                      d->checkBox()->setChecked(true);
                      d->accept();
                  });
        QCOMPARE(t.layout().grid.rows, std::uint16_t{1});
        QCOMPARE(t.layout().grid.cols, std::uint16_t{20});
        QVERIFY(t.layout().grid.IsSphere());
        // Paste Setting moves the copied rectangle and so the next paste.
        t.frame->NewLayout(10, 12, false);
        SetLine(t.layout(), 0, Points({{2, 2}}));
        t.Tool(sculpt::kToolCopy);
        t.Drag(2, 2, 3, 3);
        QCOMPARE(t.view()->clipboard().source.x0, 2);
        WithModal([&] { QVERIFY(t.frame->PasteSetting()); },
                  [&](QWidget* w) {
                      auto* d = qobject_cast<NumbersDialog*>(w);
                      QCOMPARE(d->value(0), 2);
                      d->field(0)->setValue(1);
                      d->accept();
                  });
        t.Tool(sculpt::kToolPaste);
        t.frame->linePanel()->SelectLine(1);
        t.Click(5, 5);  // moved by (5 - 1, 5 - 2)
        QCOMPARE(t.layout().lines[1], Points({{6, 5}}));
    }

    void ctrlFormAsksForTheTiles() {
        Sculpt t;
        std::pair<int, int> offered{-1, -1};
        t.view()->askTiles = [&](std::pair<int, int> initial) -> std::optional<std::pair<int, int>> {
            offered = initial;
            return std::pair{3, 2};
        };
        // Dragged rightwards and down, released with Ctrl on (col 5, row 4): the most tiles that
        // fit towards the side the drag came from are offered; the tiles end at the anchor.
        t.Drag(4, 3, 5, 4, Qt::ControlModifier);
        QCOMPARE(offered, (std::pair{6, 5}));
        QCOMPARE(t.layout().lines[0].size(), std::size_t{6});
        QVERIFY(std::all_of(t.layout().lines[0].begin(), t.layout().lines[0].end(), [](LinePoint p) {
            return PointCol(p) >= 3 && PointCol(p) <= 5 && PointRow(p) >= 3 && PointRow(p) <= 4;
        }));
        // Cancel adds nothing.
        t.view()->askTiles = [](std::pair<int, int>) { return std::optional<std::pair<int, int>>(); };
        t.Drag(0, 0, 1, 1, Qt::ControlModifier);
        QCOMPARE(t.layout().lines[0].size(), std::size_t{6});
    }

    void deleteZoneAsksAndUndoRedoRestore() {
        Sculpt t;
        SetLine(t.layout(), 0, Points({{1, 1}, {2, 3}, {3, 4}, {4, 5}, {6, 6}}));
        SetLine(t.layout(), 3, Points({{3, 3}, {9, 9}}));
        const auto before = t.layout().lines;
        t.Tool(sculpt::kToolDelete);
        QVERIFY(t.frame->action(sculpt::kFirstToolCommand + sculpt::kToolDelete)->isChecked());
        QVERIFY(!t.frame->action(sculpt::kFirstToolCommand + sculpt::kToolAdd)->isChecked());
        // From column 2, row 3 to column 4, row 5 (0-based): the question shows 3, 4, 5, 6.
        t.s.prompt.Script(Answer::No);
        t.Drag(2, 3, 4, 5);
        QCOMPARE(t.s.prompt.questions().size(), std::size_t{1});
        QVERIFY(QString::fromStdString(t.s.prompt.questions().back()).contains(QStringLiteral("(3,4,5,6)")));
        QVERIFY(t.layout().lines == before);
        t.s.prompt.Script(Answer::Yes);
        t.Drag(2, 3, 4, 5);
        QCOMPARE(t.layout().lines[0], Points({{1, 1}, {6, 6}}));
        QCOMPARE(t.layout().lines[3], Points({{9, 9}}));
        QCOMPARE(t.layout().occupancy.At(4, 3), std::uint16_t{0});
        t.frame->action(sculpt::kUndo)->trigger();
        QVERIFY(t.layout().lines == before);
        QCOMPARE(t.layout().occupancy.At(4, 3), std::uint16_t{1});
        t.frame->action(sculpt::kRedo)->trigger();
        QCOMPARE(t.layout().lines[0], Points({{1, 1}, {6, 6}}));
        QCOMPARE(t.frame->linePanel()->lineList()->topLevelItem(0)->text(1), QStringLiteral("2"));
        // A press, a release on the same cell and a second press complete the rectangle.
        QTest::mousePress(t.view(), Qt::LeftButton, Qt::NoModifier, t.At(0, 0));
        QTest::mouseRelease(t.view(), Qt::LeftButton, Qt::NoModifier, t.At(0, 0));
        QVERIFY(t.view()->dragging());
        QTest::mousePress(t.view(), Qt::LeftButton, Qt::NoModifier, t.At(1, 1));
        QVERIFY(!t.view()->dragging());
        QCOMPARE(t.layout().lines[0], Points({{6, 6}}));
    }

    void transferAndReverseByClicks() {
        Sculpt t;
        SetLine(t.layout(), 4, Points({{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}}));
        SetLine(t.layout(), 1, Points({{0, 0}}));
        t.frame->linePanel()->SelectLine(1);
        t.Tool(sculpt::kToolTransfer);
        t.Click(2, 5);  // the third point of line 5
        QCOMPARE(t.layout().lines[4], Points({{0, 5}, {1, 5}}));
        QCOMPARE(t.layout().lines[1], Points({{0, 0}, {2, 5}, {3, 5}, {4, 5}}));
        t.frame->action(sculpt::kUndo)->trigger();
        QCOMPARE(t.layout().lines[4], Points({{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}}));
        QCOMPARE(t.layout().lines[1], Points({{0, 0}}));
        // Reverse: first and last point of a line reverse the whole line.
        t.Tool(sculpt::kToolReverse);
        t.Click(0, 5);
        QVERIFY(t.view()->dragging());
        t.Click(4, 5);
        QVERIFY(!t.view()->dragging());
        QCOMPARE(t.layout().lines[4], Points({{4, 5}, {3, 5}, {2, 5}, {1, 5}, {0, 5}}));
        // A second click on a cell no line joins to the first keeps the tool waiting.
        t.Click(4, 5);
        t.Click(9, 9);
        QVERIFY(t.view()->dragging());
        t.Click(2, 5);  // (9, 9) is now the first cell: still no pair
        QVERIFY(t.view()->dragging());
        t.Click(4, 5);
        QVERIFY(!t.view()->dragging());
        QCOMPARE(t.layout().lines[4], Points({{2, 5}, {3, 5}, {4, 5}, {1, 5}, {0, 5}}));
    }

    void moveToolDragsOnePoint() {
        Sculpt t;
        SetLine(t.layout(), 0, Points({{1, 1}, {2, 2}}));
        t.Tool(sculpt::kToolMove);
        t.Drag(2, 2, 5, 6);
        QCOMPARE(t.layout().lines[0], Points({{1, 1}, {5, 6}}));
        QCOMPARE(t.layout().occupancy.At(2, 2), std::uint16_t{0});
        // Onto an occupied cell it stays.
        t.Drag(5, 6, 1, 1);
        QCOMPARE(t.layout().lines[0], Points({{1, 1}, {5, 6}}));
    }

    void copyPasteAndTheSystemClipboard() {
        Sculpt t;
        SetLine(t.layout(), 0, Points({{0, 0}, {1, 0}, {5, 5}}));
        SetLine(t.layout(), 2, Points({{1, 1}}));
        // Paste cannot be chosen while nothing was copied.
        QApplication::clipboard()->clear();
        t.Tool(sculpt::kToolPaste);
        QCOMPARE(t.view()->tool(), sculpt::kToolAdd);
        t.Tool(sculpt::kToolCopy);
        t.Drag(0, 0, 1, 1);
        QCOMPARE(t.view()->clipboard().fragments.size(), std::size_t{2});
        t.Tool(sculpt::kToolPaste);
        QCOMPARE(t.view()->tool(), sculpt::kToolPaste);
        t.frame->linePanel()->SelectLine(5);
        t.Click(6, 7);
        QCOMPARE(t.layout().lines[5], Points({{6, 7}, {7, 7}}));
        QCOMPARE(t.layout().lines[6], Points({{7, 8}}));
        t.frame->action(sculpt::kUndo)->trigger();
        QVERIFY(t.layout().lines[5].empty() && t.layout().lines[6].empty());

        // "Line operate" copies lines 1..3 to the system clipboard in the layout-data form and
        // empties the view clipboard; Paste then takes the system's data.
        WithModal([&] { t.frame->LineOperate(); },
                  [&](QWidget* w) {
                      auto* d = qobject_cast<LineOperateDialog*>(w);
                      QVERIFY(d);
                      QCOMPARE(d->lineA()->value(), 6);  // the current line + 1
                      d->operationBox()->setCurrentIndex(static_cast<int>(LineOperation::Copy));
                      d->lineA()->setValue(1);
                      d->connectorBox()->setCurrentIndex(1);
                      d->lineB()->setValue(3);
                      d->accept();
                  });
        QVERIFY(t.view()->clipboard().Empty());
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data && data->hasFormat(QString::fromLatin1(kLayoutDataMime)));
        t.Tool(sculpt::kToolPaste);
        QCOMPARE(t.view()->tool(), sculpt::kToolPaste);
        t.frame->linePanel()->SelectLine(10);
        t.Click(4, 4);  // the origin (row 0, col 0) goes to (4, 4)
        QCOMPARE(t.layout().lines[10], Points({{4, 4}, {5, 4}, {9, 9}}));
        QVERIFY(t.layout().lines[11].empty());  // line 2 was empty: its fragment too
        QCOMPARE(t.layout().lines[12], Points({{5, 5}}));

        // Damaged data: a message, nothing pasted.
        auto* bad = new QMimeData;
        bad->setData(QString::fromLatin1(kLayoutDataMime), QByteArray("\x02\x00Z", 3));
        QApplication::clipboard()->setMimeData(bad);
        const auto before = t.layout().lines;
        const std::size_t messages = t.s.prompt.messages().size();
        t.Click(8, 8);
        QVERIFY(t.layout().lines == before);
        QCOMPARE(t.s.prompt.messages().size(), messages + 1);
    }

    void lineOperateRefusesBadLines() {
        Sculpt t;
        SetLine(t.layout(), 0, Points({{0, 0}}));
        SetLine(t.layout(), 1, Points({{1, 1}, {2, 2}}));
        WithModal([&] { t.frame->LineOperate(); },
                  [&](QWidget* w) {
                      auto* d = qobject_cast<LineOperateDialog*>(w);
                      d->lineA()->setValue(1);
                      d->lineB()->setValue(1);  // exchange with itself
                      d->accept();
                      QVERIFY(d->isVisible());
                      QCOMPARE(QString::fromStdString(t.s.prompt.messages().back()), QStringLiteral("Parameter error!"));
                      d->lineB()->setValue(2);
                      d->accept();
                      QVERIFY(!d->isVisible());
                  });
        QCOMPARE(t.layout().lines[0], Points({{1, 1}, {2, 2}}));
        QCOMPARE(t.layout().lines[1], Points({{0, 0}}));
        t.frame->action(sculpt::kUndo)->trigger();
        QCOMPARE(t.layout().lines[0], Points({{0, 0}}));
        // The validity rules of the five operations.
        using O = LineOperation;
        QVERIFY(!LineOperateValid({O::Unite, 3, 257, false, 0, 0}));
        QVERIFY(LineOperateValid({O::Delete, 0, 4, false, 0, 0}));
        QVERIFY(!LineOperateValid({O::Delete, 0, 300, false, 0, 0}));
        // Line 0 with "And" line 2: line 2 alone is emptied.
        WithModal([&] { QVERIFY(t.frame->LineOperate()); },
                  [&](QWidget* w) {
                      auto* d = qobject_cast<LineOperateDialog*>(w);
                      d->operationBox()->setCurrentIndex(static_cast<int>(O::Delete));
                      d->lineA()->setValue(0);
                      d->lineB()->setValue(2);
                      d->accept();
                  });
        QVERIFY(t.layout().lines[1].empty());
        QCOMPARE(t.layout().lines[0], Points({{0, 0}}));
        QVERIFY(LineOperateValid({O::Move, 4, 0, true, 1, 1}));
        QVERIFY(!LineOperateValid({O::Move, 4, 2, true, 1, 1}));
        QVERIFY(LineOperateValid({O::Copy, 4, 4, false, 0, 0}));
    }

    void pixelsRepeatArrayCopyAndSaveAsModule() {
        Sculpt t;
        SetLine(t.layout(), 0, Points({{0, 0}, {1, 0}, {2, 0}}));
        // Pixels repeat over the whole line with r = 2: a a a b b b c c c; it cannot be undone.
        int asked = -1;
        t.view()->askRepeat = [&](int position, int group) -> std::optional<std::pair<int, int>> {
            asked = position;
            return std::pair{2, group};
        };
        t.Tool(sculpt::kToolPixelsRepeat);
        t.Drag(0, 0, 2, 0);
        QCOMPARE(asked, 0);
        QCOMPARE(t.layout().lines[0].size(), std::size_t{9});
        QCOMPARE(t.layout().lines[0][2], MakePoint(0, 0));
        QCOMPARE(t.layout().lines[0][3], MakePoint(0, 1));
        QVERIFY(t.layout().undo.empty());
        // A single cell (a click, and a second click to complete it) gives the position of its
        // point; the count follows the group size.
        t.Click(1, 0);
        t.Click(1, 0);
        QCOMPARE(asked, 3);
        QCOMPARE(RepeatForGroup(3, 8), 4);
        QCOMPARE(RepeatForGroup(7, 8), 8);
        PixelsRepeatDialog d(3, 8, kLanguageEnglish, t.ws().strings);
        QCOMPARE(d.repeatEdit()->value(), 4);
        d.groupEdit()->setValue(5);
        QCOMPARE(d.repeatEdit()->value(), 1);
        PixelsRepeatDialog first(0, 8, kLanguageEnglish, t.ws().strings);
        QVERIFY(!first.groupEdit()->isEnabled());
        QCOMPARE(first.repeatEdit()->value(), 1);

        // Array copy: the first line's points inside as a module, placed as tiles.
        SetLine(t.layout(), 0, Points({{0, 0}, {1, 1}}));
        t.view()->askTiles = [](std::pair<int, int>) { return std::optional(std::pair{2, 1}); };
        t.frame->linePanel()->SelectLine(1);
        t.view()->allowRepeat = true;
        t.Tool(sculpt::kToolArrayCopy);
        // Dragged up and left to (0, 0): the tiles start there and go right; the first lies on
        // the original and is refused, the second is placed.
        t.Drag(1, 1, 0, 0);
        QVERIFY(!t.view()->allowRepeat);
        QCOMPARE(t.layout().lines[1], Points({{2, 0}, {3, 1}}));
        // Cancelled tiles: nothing added, no empty undo step, and the menu shows the option off.
        t.view()->allowRepeat = true;
        t.frame->action(sculpt::kAllowRepeat)->setChecked(true);
        t.view()->askTiles = [](std::pair<int, int>) { return std::optional<std::pair<int, int>>(); };
        const std::size_t steps = t.layout().undo.size();
        t.Drag(1, 1, 0, 0);
        QVERIFY(!t.frame->action(sculpt::kAllowRepeat)->isChecked());
        QCOMPARE(t.layout().undo.size(), steps);
        // Nothing inside: the message with the line limit.
        t.Drag(8, 8, 9, 9);
        QVERIFY(QString::fromStdString(t.s.prompt.messages().back()).contains(QStringLiteral("1 - 4096")));

        // Save as module: the pattern joins the module list and the panel's combo.
        t.view()->askModuleName = [](const DisplayModule& m) -> std::optional<QString> {
            return m.offsets.size() == 2 && m.width == 2 && m.height == 2 ? std::optional(QStringLiteral("Diagonal"))
                                                                          : std::nullopt;
        };
        t.Tool(sculpt::kToolSaveModule);
        t.Drag(0, 0, 1, 1);
        QCOMPARE(t.frame->linePanel()->moduleBox()->count(), 2);
        QCOMPARE(t.frame->linePanel()->moduleBox()->itemText(1), QStringLiteral("Diagonal"));
        QVERIFY(std::filesystem::file_size(t.ws().home / kModuleFileName) > 1);
        // Add with that module lays its two points per tile.
        t.frame->linePanel()->moduleBox()->setCurrentIndex(1);
        t.frame->linePanel()->SelectLine(5);
        t.Tool(sculpt::kToolAdd);
        t.Drag(4, 4, 7, 5);
        QCOMPARE(t.layout().lines[5].size(), std::size_t{4});
        // Export and import: the same module comes back only once.
        TempDir dir;
        const QString mde = QString::fromStdString(dir.File("mine.mde").string());
        QVERIFY(t.frame->ExportModules(mde));
        QVERIFY(!t.frame->ImportModules(mde));
        QCOMPARE(t.frame->linePanel()->moduleBox()->count(), 2);
        t.frame->action(sculpt::kDeleteModule)->trigger();
        QCOMPARE(t.frame->linePanel()->moduleBox()->count(), 1);
        QVERIFY(t.frame->ImportModules(mde));
        QCOMPARE(t.frame->linePanel()->moduleBox()->count(), 2);
        t.frame->linePanel()->moduleBox()->setCurrentIndex(1);
        t.frame->action(sculpt::kDeleteModule)->trigger();
        QCOMPARE(t.frame->linePanel()->moduleBox()->count(), 1);
    }

    void zoomPanAndTheStatusBar() {
        Sculpt t(24, 32);
        QSignalSpy status(t.view(), &CSculptView::statusText);
        t.view()->SetZoom(8.0f);
        const QPoint middle = t.view()->DrawingArea().center();
        for (float want : {10.0f, 20.0f}) {
            QWheelEvent in(middle, t.view()->mapToGlobal(middle), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                           Qt::NoScrollPhase, false);
            QApplication::sendEvent(t.view(), &in);
            QCOMPARE(t.view()->zoom(), want);
        }
        for (float want : {10.0f, 8.0f}) {
            QWheelEvent out(middle, t.view()->mapToGlobal(middle), {}, QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                            Qt::NoScrollPhase, false);
            QApplication::sendEvent(t.view(), &out);
            QCOMPARE(t.view()->zoom(), want);
        }
        // Each cell's centre maps back to the cell.
        for (auto [c, r] : {std::pair{0, 0}, {31, 23}, {7, 12}}) {
            const SculptCell cell = t.view()->CellAt(t.view()->CellCentre(c, r));
            QCOMPARE(QPoint(cell.col, cell.row), QPoint(c, r));
        }
        // Arrow keys move by a third of the window, never past the middle.
        const QPoint c0 = t.view()->centre();
        QTest::keyClick(t.view(), Qt::Key_Left);
        QCOMPARE(t.view()->centre().x(), std::min(c0.x() + t.view()->DrawingArea().width() / 3, middle.x() + 32 * 8 / 2));
        for (int i = 0; i < 10; ++i) QTest::keyClick(t.view(), Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(t.view()->centre().x(), middle.x() + 32 * 8 / 2);
        t.frame->action(sculpt::kImageCenter)->trigger();
        QCOMPARE(t.view()->centre(), middle);
        // The status bar: a point's line and position, then the drag's size.
        SetLine(t.layout(), 2, Points({{3, 4}, {5, 5}}));
        SetLine(t.layout(), 7, Points({{6, 6}, {3, 4}}));
        t.view()->allowRepeat = true;
        QTest::mouseMove(t.view(), t.At(3, 4));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("X: 4 ,Y: 5  No.: 3, Pixel: 1 8-2,"));
        QTest::mousePress(t.view(), Qt::LeftButton, Qt::NoModifier, t.At(1, 1));
        QTest::mouseMove(t.view(), t.At(4, 2));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Width: 4 ,Height: 2"));
        QTest::mouseRelease(t.view(), Qt::LeftButton, Qt::NoModifier, t.At(4, 2));
    }

    void linePanelSettings() {
        Sculpt t(10, 40);
        LinePanel* panel = t.frame->linePanel();
        // Lines per slave: every port entry follows.
        panel->portsBox()->setCurrentIndex(4);
        QCOMPARE(t.layout().setting.portsPerSlave, std::uint8_t{8});
        QCOMPARE(t.layout().setting.linePorts[200], std::uint8_t{8});
        // The limit list starts with the grid width; a typed 0 keeps the previous limit.
        QCOMPARE(panel->limitBox()->itemText(0), QStringLiteral("40"));
        panel->limitBox()->setEditText(QStringLiteral("170"));
        emit panel->limitBox()->lineEdit()->editingFinished();
        QCOMPARE(t.frame->panelState().lineLimit, 170);
        panel->limitBox()->setEditText(QStringLiteral("0"));
        emit panel->limitBox()->lineEdit()->editingFinished();
        QCOMPARE(t.frame->panelState().lineLimit, 170);
        QCOMPARE(panel->limitBox()->currentText(), QStringLiteral("170"));
        // A full line: the next line with room takes the tile; when none has room, a message.
        t.frame->panelState().lineLimit = 3;
        t.Drag(0, 0, 8, 0);
        QCOMPARE(t.layout().lines[0].size(), std::size_t{3});
        QCOMPARE(t.layout().lines[2].size(), std::size_t{3});
        for (std::size_t l = 0; l < kLineCount; ++l) t.layout().lines[l].assign(3, MakePoint(9, 39));
        const std::size_t messages = t.s.prompt.messages().size();
        t.Click(5, 5);
        QCOMPARE(t.s.prompt.messages().size(), messages + 1);
        QVERIFY(QString::fromStdString(t.s.prompt.messages().back()).contains(QStringLiteral("full")));
        // Ctrl selects a line and shows its first point in the middle, Shift its last.
        for (auto& l : t.layout().lines) l.clear();
        SetLine(t.layout(), 4, Points({{0, 0}, {39, 9}}));
        t.view()->SetZoom(60.0f);
        QTest::mouseClick(panel->lineList()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          panel->lineList()->visualItemRect(panel->lineList()->topLevelItem(4)).center());
        QCOMPARE(t.frame->panelState().currentLine, 4);
        QVERIFY((t.view()->CellCentre(0, 0) - t.view()->DrawingArea().center()).manhattanLength() <= 60);
        QTest::mouseClick(panel->lineList()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          panel->lineList()->visualItemRect(panel->lineList()->topLevelItem(4)).center());
        QVERIFY((t.view()->CellCentre(39, 9) - t.view()->DrawingArea().center()).manhattanLength() <= 60);
    }

    void returnAsksToSaveAndHandsTheLineFileOn() {
        corv::testing::StartedWorkspace s;
        CMainFrame main(s.ws, s.prompt);
        main.show();
        main.action(cmd::kLineSetting)->trigger();
        QVERIFY(main.inSculpt());
        QVERIFY(!main.menuBar()->isVisible());
        CSculptFrame* sculpt = main.sculptFrame();
        QVERIFY(sculpt->menuBar()->isVisible());
        sculpt->NewLayout(6, 8, false);
        sculpt->view()->RunRectangle(0, 0, 3, 0, false);
        QVERIFY(s.ws.layout.modified);
        QVERIFY(main.isWindowModified());  // the title shows the layout's changes while it is edited
        // Cancel stays.
        s.prompt.Script(Answer::Cancel);
        sculpt->action(sculpt::kReturn)->trigger();
        QVERIFY(main.inSculpt());
        // Yes saves (to the chosen file) and returns; the clip takes the line file's path.
        const std::filesystem::path lnf = s.home.File("facade.lnf");
        QVERIFY(sculpt->SaveAs(QString::fromStdString(s.home.File("facade.txt").string())));
        QVERIFY(std::filesystem::exists(lnf));  // the extension is always lnf
        sculpt->view()->RunRectangle(0, 1, 3, 1, false);
        s.prompt.Script(Answer::Yes);
        s.ws.layout.slaveGroups = {0, 5};
        QSignalSpy back(sculpt, &CSculptFrame::returned);
        sculpt->action(sculpt::kReturn)->trigger();
        QCOMPARE(back.count(), 1);
        QVERIFY(!main.inSculpt());
        QVERIFY(main.menuBar()->isVisible());
        QCOMPARE(s.ws.frames.CurrentClip().lineFilePath, lnf.string());
        QVERIFY(s.ws.layout.slaveGroups.empty());  // normalised: one slave, no entry
        Layout reread;
        std::vector<LightTypeRecord> lamps = BuiltInLightTypes();
        QCOMPARE(LineFileErrorOf(LoadLineFile(lnf, reread, lamps, 3)), LineFileError::None);
        QCOMPARE(reread.lines[0].size(), std::size_t{8});
        // Open reads it back into the window.
        main.action(cmd::kLineSetting)->trigger();
        sculpt->NewLayout(3, 3, false);
        QVERIFY(sculpt->Open(QString::fromStdString(lnf.string())));
        QCOMPARE(s.ws.layout.lines[0].size(), std::size_t{8});
        QCOMPARE(sculpt->linePanel()->lineList()->topLevelItem(0)->text(1), QStringLiteral("8"));
        // A damaged line file: the message, the layout stays.
        QVERIFY(WriteFileAtomic(s.home.File("bad.lnf"), std::string("LNF\x09")));
        QVERIFY(!sculpt->Open(QString::fromStdString(s.home.File("bad.lnf").string())));
        QCOMPARE(s.ws.layout.lines[0].size(), std::size_t{8});
        QCOMPARE(QString::fromStdString(s.prompt.messages().back()), QStringLiteral("The file or the file version is not supported!"));
    }

    void outputsMapHmcAndImage() {
        Sculpt t(10, 10);
        TempDir dir;
        SetLine(t.layout(), 0, Points({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
        // Five points: the HMC export refuses and writes nothing.
        QVERIFY(!t.frame->OutputHmc(QString::fromStdString(dir.File("a.hmc").string())));
        QCOMPARE(QString::fromStdString(t.s.prompt.messages().back()), QStringLiteral("Parameter mistake!"));
        QVERIFY(!std::filesystem::exists(dir.File("a.hmc")));
        SetLine(t.layout(), 0, Points({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}));
        QVERIFY(t.frame->OutputHmc(QString::fromStdString(dir.File("a.hmc").string())));
        QCOMPARE(std::filesystem::file_size(dir.File("a.hmc")), std::uintmax_t{14 + 2 * 6 + 3 + 576});
        QVERIFY(t.frame->OutputMap(QString::fromStdString(dir.File("a.map").string())));
        QVERIFY(std::filesystem::file_size(dir.File("a.map")) > 12);
        QVERIFY(t.frame->OutputImage(QString::fromStdString(dir.File("Hookup.png").string())));
        const QImage picture(QString::fromStdString(dir.File("Hookup.png").string()));
        QVERIFY(!picture.isNull());
        QVERIFY(picture.width() >= 10 * 10);
        QVERIFY(t.frame->OutputImage(QString::fromStdString(dir.File("Hookup.jpeg").string())));
        QVERIFY(t.frame->OutputImage(QString::fromStdString(dir.File("Hookup.gif").string())));
    }

    void backgroundTools() {
        Sculpt t(8, 8);
        // A picture that cannot be read: a message, no background.
        TempDir dir;
        QVERIFY(WriteFileAtomic(dir.File("broken.png"), std::string("\x89PNG broken")));
        QVERIFY(!t.frame->ImportBackground(QString::fromStdString(dir.File("broken.png").string())));
        QVERIFY(t.view()->background().Empty());
        // A picture stretched over the grid: its white half allows cells.
        QImage half(4, 4, QImage::Format_RGB32);
        half.fill(Qt::black);
        QPainter(&half).fillRect(0, 0, 2, 4, Qt::white);
        QVERIFY(half.save(QString::fromStdString(dir.File("half.png").string())));
        QVERIFY(t.frame->ImportBackground(QString::fromStdString(dir.File("half.png").string())));
        QCOMPARE(std::count(t.view()->mask().begin(), t.view()->mask().end(), 1), 32L);
        QCOMPARE(t.view()->mask()[0 * 8 + 3], std::uint8_t{1});
        QCOMPARE(t.view()->mask()[0 * 8 + 4], std::uint8_t{0});
        // Text drawn in white on it; the current frame; deleting.
        QVERIFY(t.frame->InputText(QStringLiteral("II"), 8));
        QVERIFY(std::count(t.view()->mask().begin(), t.view()->mask().end(), 1) >= 32L);
        QVERIFY(t.frame->CurrentFrameAsBackground());
        QVERIFY(!t.view()->background().Empty());
        // Open keeps the background over the new grid; New drops it.
        TempDir files;
        Layout other;
        other.New(4, 5, false, 3);
        std::vector<LightTypeRecord> lamps = BuiltInLightTypes();
        QVERIFY(SaveLineFile(files.File("small.lnf"), other, lamps));
        QVERIFY(t.frame->Open(QString::fromStdString(files.File("small.lnf").string())));
        QVERIFY(!t.view()->background().Empty());
        QCOMPARE(t.view()->mask().size(), std::size_t{20});
        QVERIFY(t.frame->NewLayout(8, 8, false));
        QVERIFY(t.view()->background().Empty());
        QVERIFY(t.frame->ImportBackground(QString::fromStdString(dir.File("half.png").string())));
        QVERIFY(t.frame->DeleteBackground());
        QVERIFY(t.view()->mask().empty());
        // A grid past the cell limit is refused with the message; the layout stays.
        QVERIFY(!t.frame->NewLayout(5000, 5000, false));
        QCOMPARE(t.layout().grid.rows, std::uint16_t{8});
        QVERIFY(QString::fromStdString(t.s.prompt.messages().back()).contains(QStringLiteral("5000")));
        // Edit background: the left button allows a cell, the right one forbids it again.
        t.Tool(sculpt::kToolEditBackground);
        t.Click(2, 3);
        QCOMPARE(t.view()->mask()[3 * 8 + 2], std::uint8_t{1});
        QTest::mouseClick(t.view(), Qt::RightButton, Qt::NoModifier, t.At(2, 3));
        QCOMPARE(t.view()->mask()[3 * 8 + 2], std::uint8_t{0});
    }

    void controllerDialogs() {
        Sculpt t;
        // A catalogue whose tooltips hold line breaks.
        {
            std::ofstream ict(t.ws().home / kCatalogueFileName);
            ict << "[main]\nEN0=NotEnable\nNUM0=0\nTIPS0=First\\Second\nEN1=WS2801\nNUM1=21\nTIPS1=One line\n";
        }
        t.layout().lines[0] = {MakePoint(0, 0)};
        t.layout().lines[6] = {MakePoint(1, 1)};
        t.layout().setting.SetPortsPerSlave(4);
        t.layout().RecomputeLineCount();
        LightingSettingDialog d(t.ws(), t.s.prompt);
        auto* list = d.findChild<QTableWidget*>(QStringLiteral("slaveList"));
        QVERIFY(list);
        QCOMPARE(list->rowCount(), 2);  // 7 lines, 4 per slave
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("LightType"));
        auto* chips = d.findChild<QComboBox*>(QStringLiteral("chipType"));
        QCOMPARE(chips->count(), 2);
        QCOMPARE(chips->itemData(0, Qt::ToolTipRole).toString(), QStringLiteral("First\nSecond"));
        auto* gray = d.findChild<QComboBox*>(QStringLiteral("grayLevel"));
        auto* type = d.findChild<QComboBox*>(QStringLiteral("controllerType"));
        QCOMPARE(gray->count(), 16);
        gray->setCurrentIndex(13);
        type->setCurrentIndex(1);  // the single family keeps 2 .. 512
        QCOMPARE(gray->count(), 9);
        QCOMPARE(gray->currentIndex(), 7);
        type->setCurrentIndex(2);  // the simple family: four lines per slave, the selector locked
        QCOMPARE(t.layout().setting.portsPerSlave, std::uint8_t{4});
        t.frame->linePanel()->Refresh();
        QVERIFY(!t.frame->linePanel()->portsBox()->isEnabled());
        type->setCurrentIndex(0);
        QCOMPARE(gray->count(), 16);
        // Apply to a chosen slave.
        list->selectRow(1);
        d.findChild<QComboBox*>(QStringLiteral("chipType"))->setCurrentIndex(1);
        d.findChild<QPushButton*>(QStringLiteral("applyButton"))->click();
        QCOMPARE(t.layout().setting.icType[1], std::uint8_t{21});
        QVERIFY(t.layout().modified);

        // Chinese column titles.
        Sculpt zh(10, 12, "zh_CN.UTF-8");
        LightingSettingDialog dz(zh.ws(), zh.s.prompt);
        QCOMPARE(dz.findChild<QTableWidget*>(QStringLiteral("slaveList"))->horizontalHeaderItem(1)->text(),
                 QString::fromUtf8("灯具类型"));

        // Chip-pin: a new lamp type R1 G1 B1 B2, and the test-file message.
        ChipPinDialog pins(t.ws(), t.s.prompt);
        pins.findChild<QSpinBox*>(QStringLiteral("pinCount"))->setValue(4);
        const char* texts[] = {"R1", "G1", "B1", "B2"};
        for (int i = 0; i < 4; ++i) {
            pins.findChild<QComboBox*>(QStringLiteral("pin%1").arg(i + 1))->setCurrentText(QString::fromLatin1(texts[i]));
        }
        QVERIFY(!pins.findChild<QComboBox*>(QStringLiteral("pin5"))->isEnabled());
        pins.findChild<QComboBox*>(QStringLiteral("lampName"))->setEditText(QStringLiteral("Quad"));
        t.layout().modified = false;
        pins.findChild<QPushButton*>(QStringLiteral("saveButton"))->click();
        QCOMPARE(QString::fromStdString(t.s.prompt.messages().back()), QStringLiteral("Save success!"));
        QVERIFY(t.layout().modified);  // the line file carries the lamp types
        const LightTypeRecord& quad = t.ws().lampTypes.back();
        QCOMPARE(quad.pins[0], std::uint8_t{2});
        QCOMPARE(quad.pins[3], std::uint8_t{3});
        pins.findChild<QPushButton*>(QStringLiteral("makeTestFile"))->click();
        QCOMPARE(QString::fromStdString(t.s.prompt.messages().back()), QString::fromUtf8("暂不支持，请使用分控器"));
        pins.done(QDialog::Accepted);
        QVERIFY(std::filesystem::exists(t.ws().home / "PinSet.pet"));

        // Multi-controller: ten slaves, groups 4, 0, 9 keep [4] and show 1 - 4 and 5 - 10.
        t.layout().setting.SetPortsPerSlave(1);
        t.layout().lines[9] = {MakePoint(2, 2)};
        t.layout().RecomputeLineCount();
        t.layout().slaveGroups = {4, 0, 9};
        MultiControllerDialog multi(t.ws());
        auto* groups = multi.findChild<QTableWidget*>(QStringLiteral("groupList"));
        QVERIFY(groups);
        QCOMPARE(groups->rowCount(), 2);
        QCOMPARE(groups->item(0, 1)->text(), QStringLiteral("1 - 4"));
        QCOMPARE(groups->item(1, 1)->text(), QStringLiteral("5 - 10"));
        QCOMPARE(groups->item(1, 2)->text(), QStringLiteral("6"));
        QVERIFY(t.layout().slaveGroups == SlaveGroupList{4});
        multi.findChild<QSpinBox*>(QStringLiteral("slaveNumber"))->setValue(3);
        multi.findChild<QPushButton*>(QStringLiteral("addController"))->click();
        QVERIFY(t.layout().slaveGroups == (SlaveGroupList{4, 3}));
        QCOMPARE(groups->rowCount(), 3);
    }

    void multiControllerClosesAndChipsBringTheirGrayLevels() {
        Sculpt t;
        // Multi-controller Setting has a Close button that ends it (not only Esc).
        bool closed = false;
        WithModal([&] { t.frame->action(sculpt::kMultiController)->trigger(); },
                  [&](QWidget* w) {
                      auto* d = qobject_cast<MultiControllerDialog*>(w);
                      QVERIFY(d);
                      auto* close = d->findChild<QPushButton*>(QStringLiteral("closeButton"));
                      if (!close) d->reject();
                      QVERIFY(close);
                      QCOMPARE(close->text(), QStringLiteral("Close"));
                      close->click();
                      closed = !d->isVisible();
                      if (!closed) d->reject();
                  });
        QVERIFY(closed);
        QVERIFY(!QApplication::activeModalWidget());
        Sculpt zh(10, 12, "zh_CN.UTF-8");
        MultiControllerDialog multi(zh.ws());
        QCOMPARE(multi.findChild<QPushButton*>(QStringLiteral("closeButton"))->text(), QString::fromUtf8("关闭"));

        // Choosing a chip selects the gray levels the catalogue gives it; a chip without them
        // keeps the choice.
        {
            std::ofstream ict(t.ws().home / kCatalogueFileName);
            ict << "[main]\nEN0=NotEnable\nNUM0=2\nEN1=WS2801\nNUM1=20\nEN2=MBI5030\nNUM2=117\n"
                   "GRAY20=256\nGRAY117=4096\n";
        }
        t.layout().lines[0] = {MakePoint(0, 0)};
        t.layout().RecomputeLineCount();
        LightingSettingDialog d(t.ws(), t.s.prompt);
        auto* chips = d.findChild<QComboBox*>(QStringLiteral("chipType"));
        auto* gray = d.findChild<QComboBox*>(QStringLiteral("grayLevel"));
        chips->setCurrentIndex(0);
        gray->setCurrentIndex(13);
        QCOMPARE(gray->currentText(), QStringLiteral("16384"));  // as WS2801 used to keep it
        chips->setFocus();
        QTest::keyClick(chips, Qt::Key_Down);  // WS2801
        QCOMPARE(chips->currentIndex(), 1);
        QCOMPARE(gray->currentText(), QStringLiteral("256"));
        chips->setCurrentIndex(2);
        QCOMPARE(gray->currentText(), QStringLiteral("4096"));
        gray->setCurrentIndex(3);
        chips->setCurrentIndex(0);  // no gray levels of its own
        QCOMPARE(gray->currentText(), QStringLiteral("16"));
        // Applied, the slave keeps them; showing a slave's values is no chip choice.
        auto* list = d.findChild<QTableWidget*>(QStringLiteral("slaveList"));
        list->selectRow(0);
        chips->setCurrentIndex(1);
        gray->setCurrentIndex(13);
        d.findChild<QPushButton*>(QStringLiteral("applyButton"))->click();
        QCOMPARE(t.layout().setting.icType[0], std::uint8_t{20});
        QCOMPARE(t.layout().setting.grayReverse[0] & 0x0F, 13);
        chips->setCurrentIndex(2);
        list->clearSelection();
        list->selectRow(0);
        QCOMPARE(chips->currentIndex(), 1);
        QCOMPARE(gray->currentText(), QStringLiteral("16384"));
    }

    void importFileDialogDrawingsAndPictures() {
        Sculpt t;
        // A drawing with chains: its lines replace the layout.
        const QString dxf = QStringLiteral(CORV_TEST_DATA "/dxf/led_grid_r12.dxf");
        {
            ImportFileDialog d(t.ws(), t.s.prompt, false);
            QVERIFY(d.LoadFile(dxf));
            QVERIFY(d.pointCount() > 0);
            d.accept();
            QCOMPARE(d.outcome(), ImportFileDialog::Outcome::LinesImported);
        }
        int leds = 0;
        for (const Line& l : t.layout().lines) leds += static_cast<int>(l.size());
        QVERIFY(leds > 0);
        // A picture that cannot be read: a message, nothing changes.
        TempDir dir;
        QVERIFY(WriteFileAtomic(dir.File("x.png"), std::string("not a picture")));
        {
            ImportFileDialog d(t.ws(), t.s.prompt, true);
            QVERIFY(!d.LoadFile(QString::fromStdString(dir.File("x.png").string())));
            d.accept();
            QCOMPARE(d.outcome(), ImportFileDialog::Outcome::None);
        }
        // A photograph of 5 x 3 lit dots: Fast Identify finds them and the window takes the
        // one-pixel-per-LED picture as its background.
        QImage photo(300, 200, QImage::Format_RGB32);
        photo.fill(QColor(10, 10, 10));
        {
            QPainter p(&photo);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(250, 240, 200));
            for (int r = 0; r < 3; ++r) {
                for (int c = 0; c < 5; ++c) p.drawEllipse(QPointF(40 + c * 50, 50 + r * 50), 6, 6);
            }
        }
        QVERIFY(photo.save(QString::fromStdString(dir.File("dots.png").string())));
        ImportFileDialog d(t.ws(), t.s.prompt, true);
        QVERIFY(d.LoadFile(QString::fromStdString(dir.File("dots.png").string())));
        QVERIFY(d.RunFastIdentify());
        QCOMPARE(d.pointCount(), 15);
        d.accept();
        QCOMPARE(d.outcome(), ImportFileDialog::Outcome::Picture);
        int marked = 0;
        const QImage leds15 = d.picture();
        for (int y = 0; y < leds15.height(); ++y) {
            for (int x = 0; x < leds15.width(); ++x) marked += (leds15.pixel(x, y) & 0xFFFFFF) != 0;
        }
        QCOMPARE(marked, 15);
        // Through the window's command: the picture becomes the background, "Connect by
        // background" goes on and the zoom becomes 1.
        WithModal([&] { QVERIFY(t.frame->ImportFile(true, QString::fromStdString(dir.File("dots.png").string()))); },
                  [&](QWidget* w) {
                      auto* dialog = qobject_cast<ImportFileDialog*>(w);
                      QVERIFY(dialog);
                      dialog->accept();
                  });
        QVERIFY(t.view()->connectByBackground);
        QVERIFY(t.frame->action(sculpt::kConnectByBackground)->isChecked());
        QCOMPARE(t.view()->zoom(), 1.0f);
        QCOMPARE(t.view()->background().rect, QRect(0, 0, leds15.width() * 10, leds15.height() * 10));
    }
};

QTEST_MAIN(SculptWindowTest)
#include "SculptWindowTest.moc"
