#include <QAction>
#include <QComboBox>
#include <QProgressBar>
#include <QSpinBox>
#include <QWindow>
#include <QtTest>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/shell/CMainFrame.h"
#include "AppTestSupport.h"
#include "app/shell/CommandLine.h"
#include "app/common/CFrameRangeDialog.h"
#include "app/common/CSizeDialog.h"
#include "lang/Language.h"
#include "lang/UiStrings.h"
#include "app/shell/QtPrompt.h"
#include "base/TempDir.h"
#include "project/Document.h"
#include "workspace/Settings.h"
#include "workspace/Startup.h"

using namespace corv;
using corv::testing::Command;
using corv::testing::WithModal;

namespace {
// A started workspace in a private application home.
struct Started {
    explicit Started(const char* locale = "en_US.UTF-8") {
        ok = InitInstance(ws, recorded, StartupOptions(home.path(), locale)).ok();
    }
    int configuredLanguage() const { return ws.config->GetInt(keys::kLanguage, 0); }
    TempDir home;
    Workspace ws;
    RecordingPrompt recorded;
    QtPrompt prompt;
    bool ok = false;
};

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Every text a user reads in a window: its title, labels, buttons, check boxes, tabs.
QStringList VisibleTexts(QWidget* window) {
    QStringList texts{window->windowTitle()};
    for (auto* label : window->findChildren<QLabel*>()) {
        if (!label->text().isEmpty() && label->pixmap().isNull()) texts << label->text();
    }
    for (auto* button : window->findChildren<QAbstractButton*>()) {
        if (!button->text().isEmpty()) texts << button->text();
    }
    return texts;
}

bool HasChinese(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    }
    return false;
}

std::uintmax_t FileSize(const QString& path) { return std::filesystem::file_size(path.toStdString()); }
}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void titleAndClipSelectorFollowTheStore() {
        Started s;
        QVERIFY(s.ok);
        Workspace& ws = s.ws;
        CMainFrame frame(ws, s.prompt);
        // "[*]" is where the title shows unsaved changes.
        QCOMPARE(frame.windowTitle(), QStringLiteral("Untitled[*] - Corvantine"));
        frame.SetDocumentName(QStringLiteral("bridge.cvn"));
        QCOMPARE(frame.windowTitle(), QStringLiteral("bridge.cvn[*] - Corvantine"));

        QCOMPARE(frame.clipSelector()->count(), 1);
        QCOMPARE(frame.clipSelector()->itemText(0), QStringLiteral("Scene1"));
        ws.frames.AddClip(8, 8);
        ws.frames.AddClip(4, 4);
        QCOMPARE(frame.clipSelector()->count(), 3);
        QCOMPARE(frame.clipSelector()->currentIndex(), 2);
        QCOMPARE(frame.clipSelector()->itemText(2), QStringLiteral("Scene3"));
        ws.frames.DeleteClip(1);
        QCOMPARE(frame.clipSelector()->count(), 2);
        QCOMPARE(frame.clipSelector()->currentIndex(), 0);
        ws.frames.DeleteClip(-1);
        QCOMPARE(frame.clipSelector()->count(), 0);
    }

    void frameNumberSelectsFrameWithinTheClip() {
        Started s;
        QVERIFY(s.ok);
        Workspace& ws = s.ws;
        for (int i = 0; i < 4; ++i) ws.frames.AppendFrame(true);
        CMainFrame frame(ws, s.prompt);
        frame.frameNumber()->setValue(3);
        QCOMPARE(ws.app.currentFrame, 2);
        frame.frameNumber()->setValue(50);  // past the end: kept within the clip
        QCOMPARE(ws.app.currentFrame, 4);
        // Choosing a clip in the selector selects it and shows frame 1.
        ws.frames.AddClip(2, 2);
        frame.clipSelector()->setCurrentIndex(0);
        emit frame.clipSelector()->activated(0);
        QCOMPARE(ws.frames.current(), 0);
        QCOMPARE(frame.frameNumber()->value(), 1);
    }

    void progressBarShowsAndHides() {
        Started s;
        QVERIFY(s.ok);
        Workspace& ws = s.ws;
        CMainFrame frame(ws, s.prompt);
        frame.show();
        frame.SetProgress(40);
        QVERIFY(frame.progressBar()->isVisible());
        QCOMPARE(frame.progressBar()->value(), 40);
        frame.SetProgress(0);
        QVERIFY(!frame.progressBar()->isVisible());
    }

    void sizeDialogKeepsTheRatioWhileScaleIsTicked() {
        SizeDialogModel model(64, 32);
        const UiStrings strings = LoadUiStrings(kLanguageEnglish);
        CSizeDialog dialog(model, strings);
        dialog.scaleBox()->setChecked(true);
        dialog.widthEdit()->setValue(100);
        QCOMPARE(dialog.heightEdit()->value(), 50);
        dialog.heightEdit()->setValue(10);
        QCOMPARE(dialog.widthEdit()->value(), 20);
        dialog.scaleBox()->setChecked(false);
        dialog.widthEdit()->setValue(7);
        QCOMPARE(dialog.heightEdit()->value(), 10);
        QCOMPARE(model.Accept().value(), (FrameSize{7, 10}));
    }

    void frameRangeDialogStaysOpenOnABadRange() {
        UiStrings strings = LoadUiStrings(3);
        CFrameRangeDialog dialog(2, 5, 4, strings);
        QString shown;
        // Answer the "Parameter mistake!" box as soon as it appears.
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        dialog.accept();
        QCOMPARE(shown, QStringLiteral("Parameter mistake!"));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        dialog.endEdit()->setValue(4);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.start(), 2);
    }

    void saveAndOpenThroughTheWindow() {
        TempDir dir;
        Started s;
        QVERIFY(s.ok);
        Workspace& ws = s.ws;
        CMainFrame frame(ws, s.prompt);
        frame.show();
        ws.frames.AppendFrame(true);
        const QString path = QString::fromStdString((dir.path() / "show.cvn").string());
        QVERIFY(frame.FileSaveAs(path));
        QCOMPARE(frame.windowTitle(), QStringLiteral("show.cvn[*] - Corvantine"));
        QVERIFY(!frame.isWindowModified());
        QCOMPARE(frame.windowHandle()->title(), QStringLiteral("show.cvn - Corvantine"));  // as the title bar shows it
        ws.frames.AddClip(4, 4);
        QCOMPARE(frame.clipSelector()->count(), 2);
        QVERIFY(frame.isWindowModified());
        QCOMPARE(frame.windowHandle()->title(), QStringLiteral("show.cvn* - Corvantine"));
        QVERIFY(frame.FileOpen(path));
        QCOMPARE(frame.clipSelector()->count(), 1);
        QCOMPARE(ws.frames.CurrentFrames().size(), size_t(2));
        QVERIFY(!frame.progressBar()->isVisible());
    }

    void chineseMenusAndSceneNames() {
        Started s("zh_TW.UTF-8");
        QVERIFY(s.ok);
        Workspace& ws = s.ws;
        CMainFrame frame(ws, s.prompt);
        QCOMPARE(frame.clipSelector()->itemText(0), QStringLiteral("場景1"));
        QVERIFY(frame.languageAction(2)->isChecked());
        QVERIFY(!frame.languageAction(3)->isChecked());
    }

    // --- Command line -------------------------------------------------------------------

    void commandLineOptionsAndDocument() {
        using A = CommandLine::Action;
        QCOMPARE(ParseCommandLine({}).action, A::Run);
        QVERIFY(ParseCommandLine({}).document.isEmpty());
        QCOMPARE(ParseCommandLine({QStringLiteral("show.cvn")}).document, QStringLiteral("show.cvn"));
        QCOMPARE(ParseCommandLine({QStringLiteral("--help")}).action, A::Help);
        QCOMPARE(ParseCommandLine({QStringLiteral("-h")}).action, A::Help);
        QCOMPARE(ParseCommandLine({QStringLiteral("show.cvn"), QStringLiteral("--version")}).action, A::Version);
        const CommandLine bad = ParseCommandLine({QStringLiteral("--bogus")});
        QCOMPARE(bad.action, A::BadUsage);
        QVERIFY(bad.error.contains(QStringLiteral("--bogus")));
        QCOMPARE(ParseCommandLine({QStringLiteral("a.cvn"), QStringLiteral("b.cvn")}).action, A::BadUsage);
        // Qt's own window options pass, with their values.
        const CommandLine qt = ParseCommandLine({QStringLiteral("-platform"), QStringLiteral("offscreen"),
                                                 QStringLiteral("-style=fusion"), QStringLiteral("-reverse"),
                                                 QStringLiteral("x.cvn")});
        QCOMPARE(qt.action, A::Run);
        QCOMPARE(qt.document, QStringLiteral("x.cvn"));
        QCOMPARE(ParseCommandLine({QStringLiteral("-platform")}).action, A::BadUsage);
        // After "--" a name that looks like an option is the document.
        QCOMPARE(ParseCommandLine({QStringLiteral("--"), QStringLiteral("-odd.cvn")}).document,
                 QStringLiteral("-odd.cvn"));
        QVERIFY(UsageText().startsWith(QStringLiteral("Usage: corvantine [DOCUMENT]\n")));
        QVERIFY(QRegularExpression(QStringLiteral("^corvantine \\d+\\.\\d+\\.\\d+\n$")).match(VersionText()).hasMatch());
    }

    void programAnswersHelpAndVersionWithoutADisplay() {
        const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/corvantine");
        if (!QFileInfo(program).isExecutable()) {
            QSKIP("the corvantine program is not built beside the tests");
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            env.remove(QString::fromLatin1(var));
        }
        TempDir home;
        env.insert(QStringLiteral("CORVANTINE_HOME"), QString::fromStdString(home.path().string()));
        auto run = [&](const QStringList& args, QByteArray& out, QByteArray& err) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(program, args);
            if (!p.waitForFinished(20000)) {
                p.kill();
                p.waitForFinished();
                return -1;
            }
            out = p.readAllStandardOutput();
            err = p.readAllStandardError();
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QByteArray out, err;
        QCOMPARE(run({QStringLiteral("--help")}, out, err), 0);
        QCOMPARE(QString::fromLocal8Bit(out), UsageText());
        QVERIFY(out.contains("[DOCUMENT]"));
        QCOMPARE(run({QStringLiteral("--version")}, out, err), 0);
        QCOMPARE(QString::fromLocal8Bit(out), VersionText());
        QCOMPARE(run({QStringLiteral("--bogus")}, out, err), 2);
        QVERIFY(out.isEmpty());
        QVERIFY(err.contains("unknown option '--bogus'"));
        QVERIFY(err.count('\n') <= 2);
    }

    // --- Texts of the dialogs in Chinese ------------------------------------------------

    void sizeDialogInEachLanguage() {
        SizeDialogModel model(64, 32);
        const UiStrings zh = LoadUiStrings(kLanguageSimplified);
        CSizeDialog chinese(model, zh);
        QCOMPARE(chinese.windowTitle(), QStringLiteral("设置尺寸"));
        QCOMPARE(chinese.scaleBox()->text(), QStringLiteral("等比例缩放"));
        const QStringList texts = VisibleTexts(&chinese);
        QVERIFY(texts.contains(QStringLiteral("宽度(像素):")));
        QVERIFY(texts.contains(QStringLiteral("确定")));
        QVERIFY(texts.contains(QStringLiteral("取消")));
        for (const QString& t : texts) QVERIFY2(HasChinese(t), qPrintable(t));

        const UiStrings tw = LoadUiStrings(kLanguageTraditional);
        CSizeDialog traditional(model, tw);
        QCOMPARE(traditional.windowTitle(), QStringLiteral("設置尺寸"));
        QVERIFY(VisibleTexts(&traditional).contains(QStringLiteral("寬度(像素):")));
        QVERIFY(VisibleTexts(&traditional).contains(QStringLiteral("確定")));
        for (const QString& t : VisibleTexts(&traditional)) QVERIFY2(HasChinese(t), qPrintable(t));

        const UiStrings en = LoadUiStrings(kLanguageEnglish);
        CSizeDialog english(model, en);
        QCOMPARE(english.windowTitle(), QStringLiteral("Setting size"));
        QVERIFY(VisibleTexts(&english).contains(QStringLiteral("Height (pixels):")));
    }

    void sizeDialogWarnsInTheRunningLanguage() {
        SizeDialogModel model(64, 32);
        const UiStrings zh = LoadUiStrings(kLanguageSimplified);
        CSizeDialog dialog(model, zh);
        dialog.widthEdit()->setValue(0);
        auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QString text, button;
        WithModal([&] { ok->click(); },
                  [&](QWidget* w) {
                      auto* box = qobject_cast<QMessageBox*>(w);
                      QVERIFY(box);
                      text = box->text();
                      button = box->button(QMessageBox::Ok)->text();
                      box->accept();
                  });
        QCOMPARE(text, QStringLiteral("宽度和高度必须在1..%1之间。").arg(kMaxFrameSide));
        QCOMPARE(button, QStringLiteral("确定"));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void frameRangeDialogInEachLanguage() {
        const UiStrings zh = LoadUiStrings(kLanguageSimplified);
        CFrameRangeDialog chinese(1, 1, 1, zh);
        QCOMPARE(chinese.windowTitle(), QStringLiteral("选择帧范围"));
        const QStringList texts = VisibleTexts(&chinese);
        for (const char* t : {"起始帧:", "结束帧:", "第一帧", "最后一帧", "确定", "取消"}) {
            QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
        }
        for (const QString& t : texts) QVERIFY2(HasChinese(t), qPrintable(t));

        const UiStrings tw = LoadUiStrings(kLanguageTraditional);
        CFrameRangeDialog traditional(1, 1, 1, tw);
        QCOMPARE(traditional.windowTitle(), QStringLiteral("選擇幀範圍"));
        const QStringList twTexts = VisibleTexts(&traditional);
        for (const char* t : {"起始幀:", "結束幀:", "第一幀", "最後一幀", "確定"}) {
            QVERIFY2(twTexts.contains(QString::fromUtf8(t)), t);
        }
        // "Parameter mistake!" in Chinese, with its button.
        CFrameRangeDialog bad(3, 2, 4, zh);
        QString text, button;
        WithModal([&] { bad.accept(); },
                  [&](QWidget* w) {
                      auto* box = qobject_cast<QMessageBox*>(w);
                      QVERIFY(box);
                      text = box->text();
                      button = box->button(QMessageBox::Ok)->text();
                      box->accept();
                  });
        QCOMPARE(text, QStringLiteral("参数错误！"));
        QCOMPARE(button, QStringLiteral("确定"));
    }

    void aboutBoxInTheRunningLanguage() {
        for (const auto& [locale, title, ok] :
             {std::tuple{"zh_CN.UTF-8", "关于Corvantine", "确定"}, std::tuple{"zh_TW.UTF-8", "關於Corvantine", "確定"},
              std::tuple{"en_US.UTF-8", "About Corvantine", "OK"}}) {
            Started s(locale);
            QVERIFY(s.ok);
            CMainFrame frame(s.ws, s.prompt);
            QAction* about = Command(frame, cmd::kAbout);
            QVERIFY(about);
            QString shownTitle, shownText, shownOk;
            WithModal([&] { about->trigger(); },
                      [&](QWidget* w) {
                          auto* box = qobject_cast<QMessageBox*>(w);
                          QVERIFY(box);
                          shownTitle = box->windowTitle();
                          shownText = box->text();
                          shownOk = box->button(QMessageBox::Ok)->text();
                          box->accept();
                      });
            QCOMPARE(shownTitle, QString::fromUtf8(title));
            QCOMPARE(shownOk, QString::fromUtf8(ok));
            QVERIFY(shownText.startsWith(QStringLiteral("Corvantine ")));
            QCOMPARE(HasChinese(shownText), UsesChinese(s.ws.app.language));
        }
    }

    void saveQuestionButtonsInTheRunningLanguage() {
        const UiStrings zh = LoadUiStrings(kLanguageSimplified);
        QtPrompt prompt;
        prompt.SetStrings(&zh);
        QStringList buttons;
        Answer answer = Answer::Yes;
        WithModal([&] { answer = prompt.AskYesNoCancel(zh.askSave); },
                  [&](QWidget* w) {
                      auto* box = qobject_cast<QMessageBox*>(w);
                      QVERIFY(box);
                      for (auto which : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
                          buttons << box->button(which)->text();
                      }
                      box->button(QMessageBox::No)->click();
                  });
        QCOMPARE(buttons, (QStringList{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), QStringLiteral("取消")}));
        QCOMPARE(answer, Answer::No);
    }

    void uniteFileStartsTheMergeToolInTheRunningLanguage() {
        for (const auto& [locale, language] : {std::pair{"zh_CN.UTF-8", "1"}, std::pair{"zh_TW.UTF-8", "2"},
                                               std::pair{"en_US.UTF-8", "3"}, std::pair{"fr_FR.UTF-8", "3"}}) {
            Started s(locale);
            QVERIFY(s.ok);
            CMainFrame frame(s.ws, s.recorded);
            QString program;
            QStringList arguments;
            frame.SetProgramStarter([&](const QString& p, const QStringList& a) {
                program = p;
                arguments = a;
                return true;
            });
            Command(frame, cmd::kUniteFile)->trigger();
            QVERIFY(program.endsWith(QStringLiteral("/fusebind")));
            QCOMPARE(arguments, (QStringList{QStringLiteral("--lang"), QString::fromLatin1(language)}));
        }
        // A tool that does not start is reported.
        Started s;
        CMainFrame frame(s.ws, s.recorded);
        frame.SetProgramStarter([](const QString&, const QStringList&) { return false; });
        QVERIFY(!frame.UniteFile());
        QVERIFY(Q(s.recorded.messages().back()).startsWith(QStringLiteral("Open file fail!")));
    }

    // --- Supplemental -------------------------------------------------------------------

    void supplementalRangeIsValidForEveryClip() {
        QCOMPARE(InitialSupplementalRange(0, 1).start, 1);
        QCOMPARE(InitialSupplementalRange(0, 1).end, 1);
        QCOMPARE(InitialSupplementalRange(3, 8).start, 2);
        QCOMPARE(InitialSupplementalRange(3, 8).end, 4);
        for (int count = 1; count <= 6; ++count) {
            for (int current = -2; current <= count + 2; ++current) {
                const FrameRange r = InitialSupplementalRange(current, count);
                QVERIFY2(CheckFrameRange(r.start, r.end, static_cast<std::size_t>(count)) == 0,
                         qPrintable(QStringLiteral("%1 frames at %2: %3..%4").arg(count).arg(current).arg(r.start).arg(r.end)));
            }
        }
    }

    void supplementalDialogStartsValidOnAOneFrameClip() {
        Started s("zh_CN.UTF-8");
        QVERIFY(s.ok);
        QCOMPARE(s.ws.frames.CurrentFrames().size(), size_t(1));
        CMainFrame frame(s.ws, s.recorded);
        int start = 0, end = 0;
        QString title;
        bool accepted = false;
        WithModal([&] { Command(frame, cmd::kSupplemental)->trigger(); },
                  [&](QWidget* w) {
                      auto* range = qobject_cast<CFrameRangeDialog*>(w);
                      QVERIFY(range);
                      title = range->windowTitle();
                      start = range->start();
                      end = range->end();
                      // The range as offered passes the dialog's own check.
                      accepted = CheckFrameRange(start, end, 1) == 0;
                      range->reject();
                  });
        QCOMPARE(start, 1);
        QCOMPARE(end, 1);
        QVERIFY(accepted);
        QCOMPARE(title, QStringLiteral("选择帧范围"));
    }

    // --- Language switch with the open document ------------------------------------------

    void languageSwitchRestartsWithTheSavedDocument() {
        TempDir dir;
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.recorded);
        frame.show();
        s.ws.frames.AppendFrame(true);
        const QString path = QString::fromStdString((dir.path() / "show.cvn").string());
        QVERIFY(frame.FileSaveAs(path));
        QVERIFY(!frame.IsModified());
        frame.languageAction(1)->trigger();
        QVERIFY(s.recorded.questions().empty());  // nothing to save: no question
        QVERIFY(frame.restartRequested());
        QCOMPARE(frame.restartDocument(), path);
        QCOMPARE(s.configuredLanguage(), 1);
        QVERIFY(!frame.isVisible());
        QCOMPARE(RestartArguments(frame.restartDocument()), (QStringList{QStringLiteral("--"), path}));
    }

    void cancelKeepsTheDocumentAndTheLanguage() {
        TempDir dir;
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.recorded);
        frame.show();
        const QString path = QString::fromStdString((dir.path() / "show.cvn").string());
        QVERIFY(frame.FileSaveAs(path));
        s.ws.frames.AppendFrame(true);
        QVERIFY(frame.IsModified());
        s.recorded.Script(Answer::Cancel);
        frame.languageAction(2)->trigger();
        QCOMPARE(s.recorded.questions().size(), size_t(1));
        QCOMPARE(Q(s.recorded.questions().front()), QStringLiteral("Save file, Yes/No/Cancel ?"));
        QVERIFY(!frame.restartRequested());
        QVERIFY(frame.isVisible());
        QCOMPARE(s.configuredLanguage(), 0);  // nothing written
        QVERIFY(!LanguageRestartNeeded(s.ws));
        QVERIFY(frame.languageAction(3)->isChecked());
        QVERIFY(!frame.languageAction(2)->isChecked());
        QVERIFY(frame.IsModified());
        QCOMPARE(s.ws.frames.CurrentFrames().size(), size_t(2));
    }

    void noDropsTheChangesAndRestartsWithTheSavedFile() {
        TempDir dir;
        Started s("zh_TW.UTF-8");
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.recorded);
        frame.show();
        const QString path = QString::fromStdString((dir.path() / "show.cvn").string());
        QVERIFY(frame.FileSaveAs(path));
        const auto savedSize = FileSize(path);
        s.ws.frames.AppendFrame(true);
        s.recorded.Script(Answer::No);
        frame.languageAction(3)->trigger();
        QCOMPARE(s.recorded.questions().size(), size_t(1));
        QVERIFY(HasChinese(Q(s.recorded.questions().front())));
        QVERIFY(frame.restartRequested());
        QCOMPARE(frame.restartDocument(), path);
        QCOMPARE(FileSize(path), savedSize);  // the file as last saved
        QCOMPARE(s.configuredLanguage(), 3);
    }

    void yesSavesBeforeTheRestart() {
        TempDir dir;
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.recorded);
        frame.show();
        const QString path = QString::fromStdString((dir.path() / "show.cvn").string());
        QVERIFY(frame.FileSaveAs(path));
        s.ws.frames.AppendFrame(true);
        s.ws.frames.AppendFrame(true);
        s.recorded.Script(Answer::Yes);
        frame.languageAction(1)->trigger();
        QVERIFY(frame.restartRequested());
        QCOMPARE(frame.restartDocument(), path);
        LoadedDocument doc;
        ReadOptions options;
        options.tempDir = dir.path();
        QCOMPARE(DocErrorOf(ReadDocument(path.toStdString(), options, doc)), DocError::None);
        QCOMPARE(doc.clips.at(0).frames.size(), size_t(3));
    }

    void unsavedNewDocumentRestartsEmpty() {
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.recorded);
        frame.show();
        QVERIFY(!frame.IsModified());
        frame.languageAction(1)->trigger();
        QVERIFY(s.recorded.questions().empty());
        QVERIFY(frame.restartRequested());
        QVERIFY(frame.restartDocument().isEmpty());
        QVERIFY(RestartArguments(frame.restartDocument()).isEmpty());

        // Changed but never saved, the changes dropped: empty as well.
        Started t;
        CMainFrame changed(t.ws, t.recorded);
        changed.show();
        t.ws.frames.AppendFrame(true);
        t.recorded.Script(Answer::No);
        changed.languageAction(2)->trigger();
        QCOMPARE(t.recorded.questions().size(), size_t(1));
        QVERIFY(changed.restartRequested());
        QVERIFY(changed.restartDocument().isEmpty());
    }

    void packedDocumentRestartsFromItsArchive() {
        TempDir dir;
        Started s;
        QVERIFY(s.ok);
        s.ws.app.compress = 1;
        CMainFrame frame(s.ws, s.recorded);
        frame.show();
        const QString plain = QString::fromStdString((dir.path() / "show.cvn").string());
        const QString packed = QString::fromStdString((dir.path() / "show.rar").string());
        QVERIFY(frame.FileSaveAs(plain));
        QVERIFY(QFileInfo::exists(packed));
        QVERIFY(QFile::remove(plain));
        QVERIFY(frame.FileOpen(packed));
        QCOMPARE(frame.documentFile(), packed);
        frame.languageAction(1)->trigger();
        QCOMPARE(frame.restartDocument(), packed);
    }

    void closingWithChangesAsksAsWell() {
        TempDir dir;
        Started s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.recorded);
        frame.show();
        s.ws.frames.AppendFrame(true);
        s.recorded.Script(Answer::Cancel);
        QVERIFY(!frame.close());
        QVERIFY(frame.isVisible());
        s.recorded.Script(Answer::No);
        QVERIFY(frame.close());
        QVERIFY(!frame.restartRequested());
        QCOMPARE(s.recorded.questions().size(), size_t(2));
    }

    void restartArgumentsAreAbsolute() {
        QVERIFY(RestartArguments(QString()).isEmpty());
        const QStringList args = RestartArguments(QStringLiteral("shows/-odd.cvn"));
        QCOMPARE(args.size(), 2);
        QCOMPARE(args[0], QStringLiteral("--"));
        QVERIFY(QFileInfo(args[1]).isAbsolute());
        QVERIFY(args[1].endsWith(QStringLiteral("/shows/-odd.cvn")));
        QCOMPARE(ParseCommandLine(args).document, args[1]);
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
