#include <QAction>
#include <QComboBox>
#include <QProgressBar>
#include <QSpinBox>
#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QTimer>

#include "app/CMainFrame.h"
#include "app/DocumentDialogs.h"
#include "lang/UiStrings.h"
#include "app/QtPrompt.h"
#include "base/TempDir.h"
#include "workspace/Startup.h"

using namespace corv;

namespace {
// A started workspace in a private application home.
struct Started {
    explicit Started(const char* locale = "en_US.UTF-8") {
        ok = InitInstance(ws, recorded, StartupOptions(home.path(), locale)).ok();
    }
    TempDir home;
    Workspace ws;
    RecordingPrompt recorded;
    QtPrompt prompt;
    bool ok = false;
};
}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void titleAndClipSelectorFollowTheStore() {
        Started s;
        QVERIFY(s.ok);
        Workspace& ws = s.ws;
        CMainFrame frame(ws, s.prompt);
        QCOMPARE(frame.windowTitle(), QStringLiteral("Untitled - Corvantine"));
        frame.SetDocumentName(QStringLiteral("bridge.cvn"));
        QCOMPARE(frame.windowTitle(), QStringLiteral("bridge.cvn - Corvantine"));

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
        CSizeDialog dialog(model);
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
        QCOMPARE(frame.windowTitle(), QStringLiteral("show.cvn - Corvantine"));
        ws.frames.AddClip(4, 4);
        QCOMPARE(frame.clipSelector()->count(), 2);
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
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
