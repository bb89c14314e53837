// The sculpt window's power and timing panel and the output command's question before it
// writes controller files for frames the budget warns of.
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/sculpt/BudgetPanel.h"
#include "app/sculpt/CSculptFrame.h"
#include "app/preview/CLedPreviewView.h"

using namespace corv;
using corv::testing::StartedWorkspace;

namespace {

// A 2 x 20 grid: line 1 the first row (20 LEDs), line 2 five LEDs of the second row.
void Lines(Workspace& ws) {
    ws.layout.New(2, 20, false, 2);
    for (int c = 0; c < 20; ++c) ws.layout.lines[0].push_back(MakePoint(0, c));
    for (int c = 0; c < 5; ++c) ws.layout.lines[1].push_back(MakePoint(1, c));
    ws.layout.occupancy.Rebuild(ws.layout.grid, ws.layout.lines);
    ws.layout.RecomputeLineCount();
}

}  // namespace

class BudgetPanelTest : public QObject {
    Q_OBJECT

private slots:
    void panelShowsEachLineAndMarksTheWarnings() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        Lines(s.ws);
        s.ws.frames.DeleteClip(-1);
        s.ws.frames.AddClip(20, 2);
        s.ws.frames.CurrentFrames().assign({Frame::Filled(20, 2, 255, 255, 255), Frame(20, 2)});
        CMainFrame frame(s.ws, s.prompt);
        BudgetPanel* panel = frame.sculptFrame()->budgetPanel();
        QVERIFY(panel && !frame.sculptFrame()->budgetDock()->isVisible());
        QVERIFY(panel->Compute());
        QTableWidget* table = panel->table();
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("1"));
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("20"));
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral("5"));
        const double peak1 = table->item(0, 3)->text().toDouble(), mean1 = table->item(0, 4)->text().toDouble();
        const double peak2 = table->item(1, 3)->text().toDouble();
        // A white frame and a black one: the mean halfway between the peak and the idle current.
        QVERIFY(peak1 > mean1 && mean1 > 0.020);
        QCOMPARE(QString::number((peak1 + 0.020) / 2, 'f', 3), table->item(0, 4)->text());
        QVERIFY(peak2 < peak1);
        QVERIFY(panel->totalLabel()->text().contains(QStringLiteral("2 frames")));
        QCOMPARE(panel->warningList()->count(), 1);  // "No warnings"
        QCOMPARE(table->item(0, 0)->background().style(), Qt::NoBrush);

        // A fuse between the two lines' peaks: line 1 is warned of and marked, line 2 not.
        panel->fuseBox()->setValue((peak1 + peak2) / 2);
        QVERIFY(panel->Compute());
        QVERIFY(panel->warningList()->count() >= 1);
        QVERIFY(panel->warningList()->item(0)->text().contains(QStringLiteral("Line 1")));
        QVERIFY(table->item(0, 0)->background().style() != Qt::NoBrush);
        QCOMPARE(table->item(1, 0)->background().style(), Qt::NoBrush);
        // Twice the current a component: the peak about doubles.
        panel->fuseBox()->setValue(0);
        panel->milliampsBox()->setValue(40);
        QVERIFY(panel->Compute());
        QVERIFY(table->item(0, 3)->text().toDouble() > 1.9 * peak1);

        // No clip: nothing to compute, said in the total's place.
        s.ws.frames.DeleteClip(-1);
        QVERIFY(!panel->Compute());
        QCOMPARE(table->rowCount(), 0);
    }

    void outputAsksBeforeWritingWhatTheBudgetWarnsOf() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        Lines(s.ws);
        s.ws.frames.DeleteClip(-1);
        s.ws.frames.AddClip(20, 2);
        s.ws.frames.CurrentFrames().assign({Frame::Filled(20, 2, 255, 255, 255), Frame::Filled(20, 2, 255, 255, 255)});
        CMainFrame frame(s.ws, s.prompt);
        TempDir dir;
        const auto path = dir.path() / "show.led";
        // No warnings: no question.
        const std::size_t questions = s.prompt.questions().size();
        QVERIFY(frame.BudgetAllowsOutput(0, 2));
        QCOMPARE(s.prompt.questions().size(), questions);

        // A fuse of 0.1 A: asked; Cancel writes nothing, Continue writes.
        frame.sculptFrame()->budgetPanel()->fuseBox()->setValue(0.1);
        s.prompt.Script(Answer::No);
        QVERIFY(!frame.OutputControllerFile(1, 2, QString::fromStdString(path.string())));
        QCOMPARE(s.prompt.questions().size(), questions + 1);
        QVERIFY(QString::fromStdString(s.prompt.questions().back()).contains(QStringLiteral("Line 1")));
        QVERIFY(!std::filesystem::exists(path));
        s.prompt.Script(Answer::Yes);
        QVERIFY(frame.OutputControllerFile(1, 2, QString::fromStdString(path.string())));
        QVERIFY(std::filesystem::exists(path));
    }

    void ledPreviewsCurrentViewTintsEachLedByItsCurrent() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        Lines(s.ws);
        for (auto& gamma : s.ws.layout.setting.gamma) gamma = 10;
        for (auto& brightness : s.ws.layout.setting.brightness) brightness = 100;
        s.ws.frames.DeleteClip(-1);
        s.ws.frames.AddClip(20, 2);
        s.ws.app.currentFrame = 0;
        CLedPreviewView view(s.ws);
        view.glow = false;
        view.currentView = true;
        // Counts the pixels of a colour (within 8 of each component).
        auto count = [](const QImage& image, QColor colour) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (std::abs(c.red() - colour.red()) <= 8 && std::abs(c.green() - colour.green()) <= 8 &&
                        std::abs(c.blue() - colour.blue()) <= 8) {
                        ++n;
                    }
                }
            }
            return n;
        };
        // Every component full: the most an LED draws, white. Red alone: a third of it, red.
        s.ws.frames.CurrentFrames().assign({Frame::Filled(20, 2, 255, 255, 255)});
        const QImage white = view.Render(QSize(400, 80));
        s.ws.frames.CurrentFrames().assign({Frame::Filled(20, 2, 255, 0, 0)});
        const QImage red = view.Render(QSize(400, 80));
        s.ws.frames.CurrentFrames().assign({Frame(20, 2)});
        const QImage off = view.Render(QSize(400, 80));
        QVERIFY(count(white, Qt::white) > 100);
        QCOMPARE(count(red, Qt::white), 0);
        QVERIFY(count(red, QColor(255, 0, 0)) > 100);
        QCOMPARE(count(off, QColor(255, 0, 0)), 0);
        QCOMPARE(count(off, Qt::white), 0);
        // Off, the picture is as the frame's colours would draw it.
        view.currentView = false;
        s.ws.frames.CurrentFrames().assign({Frame::Filled(20, 2, 255, 0, 0)});
        QVERIFY(count(view.Render(QSize(400, 80)), QColor(255, 0, 0)) > 100);
    }
};

QTEST_MAIN(BudgetPanelTest)
#include "BudgetPanelTest.moc"
