#include <QAction>
#include <QComboBox>
#include <QProgressBar>
#include <QSpinBox>
#include <QtTest>

#include "app/CMainFrame.h"
#include "app/QtPrompt.h"
#include "base/TempDir.h"
#include "workspace/Startup.h"

using namespace corv;

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void titleAndClipSelectorFollowTheStore() {
        TempDir home;
        Workspace ws;
        RecordingPrompt rp;
        QVERIFY(InitInstance(ws, rp, StartupOptions(home.path(), "en_US.UTF-8")));
        QtPrompt prompt;
        CMainFrame frame(ws, prompt);
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
        TempDir home;
        Workspace ws;
        RecordingPrompt rp;
        QVERIFY(InitInstance(ws, rp, StartupOptions(home.path(), "en_US.UTF-8")));
        for (int i = 0; i < 4; ++i) ws.frames.AppendFrame(true);
        QtPrompt prompt;
        CMainFrame frame(ws, prompt);
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
        TempDir home;
        Workspace ws;
        RecordingPrompt rp;
        QVERIFY(InitInstance(ws, rp, StartupOptions(home.path(), "en_US.UTF-8")));
        QtPrompt prompt;
        CMainFrame frame(ws, prompt);
        frame.show();
        frame.SetProgress(40);
        QVERIFY(frame.progressBar()->isVisible());
        QCOMPARE(frame.progressBar()->value(), 40);
        frame.SetProgress(0);
        QVERIFY(!frame.progressBar()->isVisible());
    }

    void chineseMenusAndSceneNames() {
        TempDir home;
        Workspace ws;
        RecordingPrompt rp;
        QVERIFY(InitInstance(ws, rp, StartupOptions(home.path(), "zh_TW.UTF-8")));
        QtPrompt prompt;
        CMainFrame frame(ws, prompt);
        QCOMPARE(frame.clipSelector()->itemText(0), QStringLiteral("場景1"));
        QVERIFY(frame.languageAction(2)->isChecked());
        QVERIFY(!frame.languageAction(3)->isChecked());
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
