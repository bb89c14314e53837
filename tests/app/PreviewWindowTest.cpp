// The previews in the main window: the sphere preview only for sphere layouts, its play
// rules and Show face, and the LED preview lit by the current frame.
#include <QAction>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/frame/CVorlaneView.h"
#include "app/preview/CLedPreviewFrame.h"
#include "app/preview/CSphereFrame.h"
#include "layout/Layout.h"

using namespace corv;
using corv::testing::Command;
using corv::testing::StartedWorkspace;

class PreviewWindowTest : public QObject {
    Q_OBJECT

private slots:
    void sphereOnlyForSphereLayoutsAndItsPlayRules() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        frame.show();
        QAction* sphere = Command(frame, cmd::kSphereView);
        QVERIFY(sphere);
        QCOMPARE(sphere->shortcut(), QKeySequence(Qt::Key_F3));
        // A plain layout: the sphere stays away and the status bar says why; its view (and the
        // OpenGL probe) is not made before it is needed.
        QVERIFY(!frame.EnterSphere());
        QVERIFY(!frame.sphereFrame()->view());
        QVERIFY(frame.statusBar()->currentMessage().contains(QStringLiteral("sphere layouts only")));
        // A sphere layout: the page shows, with its Control menu.
        s.ws.layout.New(10, 20, true, 3);
        QVERIFY(frame.EnterSphere());
        CSphereFrame* page = frame.sphereFrame();
        QVERIFY(page->isVisible());
        QCOMPARE(page->view()->mesh().rings.size(), std::size_t{10});
        QStringList entries;
        for (QAction* a : page->menuBar()->actions().front()->menu()->actions()) {
            if (!a->isSeparator()) entries << a->text();
        }
        QCOMPARE(entries, (QStringList{QStringLiteral("&Play"), QStringLiteral("&Stop"), QStringLiteral("Show face"),
                                       QStringLiteral("Return main window")}));
        // The play rate follows the speed field, kept to 10..80 a second.
        auto* speed = frame.findChild<QSpinBox*>(QStringLiteral("1049"));
        QVERIFY(speed);
        speed->setValue(80);
        QCOMPARE(page->playInterval(), 12);
        speed->setValue(10);
        QCOMPARE(page->playInterval(), 100);
        // One frame does not play; two do, and each tick shows the next frame's number.
        auto& frames = s.ws.frames.CurrentFrames();
        frames.resize(1);
        QVERIFY(!page->Play());
        frames.push_back(frames.front());
        frames.push_back(frames.front());
        s.ws.app.currentFrame = 0;
        QVERIFY(page->Play());
        QTRY_VERIFY(s.ws.app.currentFrame != 0);
        page->Stop();
        QVERIFY(!page->playing());
        // Turned by the arrow keys, back by Show face.
        page->view()->state().Nudge(1, 0);
        QVERIFY(page->view()->state().transform != InitialTransform());
        page->ShowFace();
        QCOMPARE(page->view()->state().transform, InitialTransform());
        // Without OpenGL (this platform may have none) the view says so instead of drawing.
        QApplication::processEvents();
        if (page->view()->failed()) QVERIFY(page->view()->failure().contains(QStringLiteral("OpenGL")));
        // Return.
        emit page->returned();
        QVERIFY(!page->isVisible());
        QVERIFY(frame.frameView()->isVisible());
    }

    void ledPreviewShowsTheFrameAsTheLedsWill() {
        StartedWorkspace s;
        QVERIFY(s.ok);
        CMainFrame frame(s.ws, s.prompt);
        frame.show();
        Frame& f = s.ws.frames.CurrentFrames().front();
        s.ws.layout.New(f.height(), f.width(), false, 3);
        s.ws.layout.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(2, 3)};
        s.ws.layout.RecomputeLineCount();
        f.SetPixel(3, 2, Bgr{10, 200, 30});
        frame.EnterLedPreview();
        CLedPreviewFrame* page = frame.ledPreviewFrame();
        QVERIFY(page->isVisible());
        CLedPreviewView* view = page->view();
        view->glow = false;
        const QImage image = view->Render(QSize(f.width() * 10, f.height() * 10));
        QCOMPARE(view->dots().size(), std::size_t{3});
        QCOMPARE(image.pixel(35, 25), qRgb(30, 200, 10));  // the middle of cell (2, 3)
        QCOMPARE(image.pixel(55, 25), qRgb(0, 0, 0));      // no LED there
        // Zoom and fit.
        view->SetCell(20);
        QCOMPARE(view->cell(), 20.0);
        view->Fit();
        QCOMPARE(view->cell(), 0.0);
        // The layout changes: the dots follow.
        s.ws.layout.lines[1] = {MakePoint(1, 1)};
        s.ws.layout.RecomputeLineCount();
        view->Refresh();
        view->Render(QSize(100, 100));
        QCOMPARE(view->dots().size(), std::size_t{4});
        emit page->returned();
        QVERIFY(frame.frameView()->isVisible());
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "PreviewWindowTest.moc"
