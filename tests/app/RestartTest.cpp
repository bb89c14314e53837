// What the program keeps from one run to the next: the colour list, the panels' choices and
// the folders file dialogs open in. Each test ends a run (window gone, shutdown done) and starts
// a new one on the same application home, named by CORVANTINE_HOME as for the program.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "AppTestSupport.h"
#include "app/shell/CMainFrame.h"
#include "app/frame/ColourPanel.h"
#include "app/common/FileDialogFolders.h"
#include "app/frame/PatternPanel.h"
#include "app/frame/PictureTextPanel.h"
#include "app/shell/QtPrompt.h"
#include "app/sculpt/CSculptFrame.h"
#include "app/sculpt/CSculptView.h"
#include "base/TempDir.h"
#include "workspace/DocumentOps.h"
#include "workspace/Settings.h"
#include "workspace/Startup.h"

using namespace corv;
using corv::testing::WithModal;

namespace {

// One run of the program: start-up from the environment's application home, the main window,
// and at the end the window closed and the shutdown done.
struct Run {
    Run() {
        ok = InitInstance(ws, recorded, StartupOptions({}, "en_US.UTF-8")).ok();
        if (ok) frame = std::make_unique<CMainFrame>(ws, prompt);
    }
    ~Run() {
        frame.reset();
        if (ok) ExitInstance(ws);
    }
    Workspace ws;
    RecordingPrompt recorded;
    QtPrompt prompt;
    std::unique_ptr<CMainFrame> frame;
    bool ok = false;
};

QString Q(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

}  // namespace

class RestartTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        home_ = std::make_unique<TempDir>();
        qputenv("CORVANTINE_HOME", home_->path().string().c_str());
    }
    void cleanup() {
        qunsetenv("CORVANTINE_HOME");
        home_.reset();
    }

    void ColourListSurvivesARestart() {
        std::vector<ListColour> made;
        {
            Run run;
            QVERIFY(run.ok);
            QVERIFY(std::filesystem::equivalent(run.ws.home, home_->path()));
            ColourPanel* panel = run.frame->colourPanel();
            panel->Clear();
            panel->SetCurrentColour(0x112233);
            panel->AddCurrentColour();
            panel->fixedChoice()->setChecked(true);
            panel->fixedBox()->setCurrentIndex(panel->fixedBox()->findData(64));
            panel->SetCurrentColour(0xFFEEDD);
            panel->AddCurrentColour();
            panel->SetBackground(Bgr{10, 20, 30});
            panel->lineWidthBox()->setValue(5);
            made = run.ws.colourPanel.list.colours();
            QCOMPARE(int(made.size()), 65);
        }
        Run run;
        QVERIFY(run.ok);
        QVERIFY(run.ws.colourPanel.list.colours() == made);
        // The panel shows what it got: the count, the way colours are added, the line width.
        ColourPanel* panel = run.frame->colourPanel();
        QCOMPARE(panel->countLabel()->text(), QStringLiteral("65"));
        QVERIFY(panel->fixedChoice()->isChecked());
        QCOMPARE(panel->fixedBox()->currentData().toInt(), 64);
        QCOMPARE(panel->lineWidthBox()->value(), 5);
        QCOMPARE(int{run.ws.app.backgroundColour.b}, 10);
        QCOMPARE(int{run.ws.app.backgroundColour.r}, 30);
        QCOMPARE(run.ws.colourPanel.current, 0xFFEEDDu);
    }

    void PanelChoicesSurviveARestart() {
        {
            Run run;
            QVERIFY(run.ok);
            PatternPanel* pattern = run.frame->patternPanel();
            // Jalousie sets its own block count when chosen: the user's count comes after it.
            pattern->SetMode(GeneratorMode::Jalousie);
            pattern->countBox()->setValue(7);
            pattern->renderBox()->setCurrentIndex(4);
            pattern->styleList()->setCurrentRow(1);
            PictureTextPanel* text = pattern->pictureTextPanel();
            text->stuntBox()->setCurrentIndex(3);
            text->directionBox()->setCurrentIndex(1);
            text->textEdit()->setText(QStringLiteral("Good evening"));
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(21);
            text->SetFont(font, QColor(0, 128, 255));
            LinePanelState& line = run.frame->sculptFrame()->panelState();
            line.lineLimit = 1234;
            line.connectionMode = 4;
        }
        Run run;
        QVERIFY(run.ok);
        PatternPanel* pattern = run.frame->patternPanel();
        QCOMPARE(pattern->mode(), GeneratorMode::Jalousie);
        QCOMPARE(pattern->count(), 7);
        QCOMPARE(pattern->renderBox()->currentIndex(), 4);
        QCOMPARE(pattern->styleList()->currentRow(), 1);
        PictureTextPanel* text = pattern->pictureTextPanel();
        QCOMPARE(text->stuntBox()->currentIndex(), 3);
        QCOMPARE(text->directionBox()->currentIndex(), 1);
        QCOMPARE(text->textEdit()->text(), QStringLiteral("Good evening"));
        QCOMPARE(text->textFont().pixelSize(), 21);
        QCOMPARE(text->textColour(), QColor(0, 128, 255));
        // "Make frame number:" keeps its own rule: it starts at the frame width.
        QCOMPARE(text->steps(), int{run.ws.app.frameWidth});
        const LinePanelState& line = run.frame->sculptFrame()->panelState();
        QCOMPARE(line.lineLimit, 1234);
        QCOMPARE(line.connectionMode, 4);
    }

    void TheLanguagesOwnDefaultsFollowALanguageChange() {
        // A run in English that leaves the typed text and its font as they were: the next run,
        // in Chinese, shows the Chinese default text and font, not the English ones.
        QString chineseText;
        QString chineseFont;
        {
            Run run;
            QVERIFY(run.ok);
        }
        ProfileFile(home_->path() / kConfigFileName, kMainSection).WriteInt(keys::kLanguage, 1);
        {
            Run run;
            QVERIFY(run.ok);
            QCOMPARE(int{run.ws.app.language}, 1);
            PictureTextPanel* text = run.frame->patternPanel()->pictureTextPanel();
            chineseText = text->textEdit()->text();
            chineseFont = text->textFont().family();
            // A text of its own is kept, whatever the language; one too long to read back is not.
            text->textEdit()->setText(QString(600, QLatin1Char('x')));
        }
        {
            Run run;
            PictureTextPanel* text = run.frame->patternPanel()->pictureTextPanel();
            QVERIFY(std::any_of(chineseText.begin(), chineseText.end(), [](QChar c) { return c.unicode() >= 0x4E00; }));
            QCOMPARE(text->textEdit()->text(), chineseText);
            QCOMPARE(text->textFont().family(), chineseFont);
            text->textEdit()->setText(QStringLiteral("Mine"));
        }
        Run run;
        QCOMPARE(run.frame->patternPanel()->pictureTextPanel()->textEdit()->text(), QStringLiteral("Mine"));
    }

    void DamagedChoicesAreLeftOut() {
        {
            Run run;
            QVERIFY(run.ok);
        }
        // Values no widget can take (from an older program, or edited by hand).
        ProfileFile section(home_->path() / kConfigFileName, "Panel choices");
        section.WriteInt("patternPanel.modeBox", 99);
        section.WriteInt("patternPanel.frameCount", -5);
        section.WriteInt("patternPanel.styleList", 1000);
        section.WriteInt("linePanel.ConnectionMode", 42);
        Run run;
        QVERIFY(run.ok);
        PatternPanel* pattern = run.frame->patternPanel();
        QCOMPARE(static_cast<int>(pattern->mode()), 0);
        QCOMPARE(pattern->count(), 100);
        QCOMPARE(run.frame->sculptFrame()->panelState().connectionMode, 2);
    }

    void FileDialogsOpenInTheFolderLastUsedForTheirKind() {
        TempDir shows;
        TempDir other;
        {
            Run run;
            QVERIFY(run.ok);
            QVERIFY(OnSaveDocument(run.ws, run.recorded, other.path() / "b.cvn").ok());
            RememberFolder(run.ws, FileKind::Document, Q(shows.path() / "a.cvn"));
            QCOMPARE(LastFolder(run.ws, FileKind::Document), Q(shows.path()));
            QCOMPARE(LastFolder(run.ws, FileKind::Movie, QStringLiteral("fallback")), QStringLiteral("fallback"));
        }
        Run run;
        QVERIFY(run.ok);
        // Open opens where the last document was chosen; the file chosen now moves it.
        // The dialogs are always closed before anything is checked: a check that failed inside
        // would leave a modal window open and the test waiting for it.
        bool opened = false;
        QString shown, kind;
        WithModal([&] { opened = run.frame->FileOpen(); },
                  [&](QWidget* modal) {
                      kind = QString::fromLatin1(modal->metaObject()->className());
                      if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                          shown = dialog->directory().absolutePath();
                          // The file's whole name typed, then the Open button without the
                          // dialog's own check that the file is there: its file list fills in a
                          // thread of its own and may not know the file yet (choosing the file
                          // in the list raced with that).
                          auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                          if (name) name->setText(Q(other.path() / "b.cvn"));
                          static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
                      } else if (auto* other = qobject_cast<QDialog*>(modal)) {
                          other->reject();
                      }
                  });
        QCOMPARE(kind, QStringLiteral("QFileDialog"));
        QCOMPARE(shown, QDir(Q(shows.path())).absolutePath());
        QVERIFY(opened);
        QCOMPARE(QDir(LastFolder(run.ws, FileKind::Document)).absolutePath(), QDir(Q(other.path())).absolutePath());
        // Save As of the same kind follows it; a dialog of another kind does not.
        shown.clear();
        WithModal([&] { run.frame->FileSaveAs(); },
                  [&](QWidget* modal) {
                      if (auto* dialog = qobject_cast<QFileDialog*>(modal)) shown = dialog->directory().absolutePath();
                      if (auto* any = qobject_cast<QDialog*>(modal)) any->reject();
                  });
        QCOMPARE(shown, QDir(Q(other.path())).absolutePath());
        QVERIFY(LastFolder(run.ws, FileKind::ControllerFile).isEmpty());
    }

private:
    std::unique_ptr<TempDir> home_;
};

QTEST_MAIN(RestartTest)
#include "RestartTest.moc"
