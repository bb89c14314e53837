// The sphere preview's OpenGL drawing under a real X server (Mesa's software renderer): the
// fragments that find their facet from where they lie show the same picture as the facets
// drawn one by one, for a sphere drawn facet by facet and for one drawn as coarse bands.
#include <QOpenGLWidget>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/preview/CLedSphereView.h"
#include "preview/SpherePreview.h"

using namespace corv;
using corv::testing::StartedWorkspace;

class SphereGlTest : public QObject {
    Q_OBJECT

private slots:
    void openGlPictureEqualsTheFacets_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("missesPerMille");
        QTest::newRow("12 rings, facet by facet") << 12 << 24 << 5;
        QTest::newRow("50 rings, in bands") << 50 << 100 << 5;
        // Facets of about two pixels: the facet drawing's outlines cover a third of each.
        QTest::newRow("200 rings, in bands") << 200 << 400 << 50;
    }

    void openGlPictureEqualsTheFacets() {
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(int, missesPerMille);
        StartedWorkspace s;
        QVERIFY(s.ok);
        s.ws.layout.New(rows, cols, true, 3);
        s.ws.frames.DeleteClip(-1);
        s.ws.frames.AddClip(cols, rows);
        auto& frames = s.ws.frames.CurrentFrames();
        frames.assign(1, Frame(cols, rows));
        // Every cell its own colour, neighbours far apart.
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < cols; ++x) {
                frames[0].SetPixel(x, y, Bgr{static_cast<std::uint8_t>(40 + 37 * x), static_cast<std::uint8_t>(40 + 53 * y), static_cast<std::uint8_t>(90 + 101 * (x + y))});
            }
        }
        s.ws.app.currentFrame = 0;
        CLedSphereView view(s.ws);
        view.resize(640, 480);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY2(view.usesOpenGL(), qPrintable(view.failure()));
        view.state().Nudge(4, -3);  // turned, so that the poles and the back are in play
        auto* target = view.findChild<QOpenGLWidget*>();
        QVERIFY(target);
        const QImage gl = target->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!view.failed(), qPrintable(view.failure()));
        const QImage soft = RenderSphereImage(view.mesh(), frames[0], view.state().transform, gl.size(), view.state().scale);
        // Each lit pixel of the OpenGL picture shows a colour the facet drawing has at that
        // pixel or next to it (the two draw facet borders and the outline a pixel apart).
        int lit = 0, softLit = 0, matched = 0;
        for (int y = 0; y < gl.height(); ++y) {
            for (int x = 0; x < gl.width(); ++x) {
                if (qRed(soft.pixel(x, y)) || qGreen(soft.pixel(x, y)) || qBlue(soft.pixel(x, y))) ++softLit;
                const QRgb c = gl.pixel(x, y) & 0xFFFFFF;
                if (!c) continue;
                ++lit;
                bool found = false;
                for (int dy = -1; dy <= 1 && !found; ++dy) {
                    for (int dx = -1; dx <= 1 && !found; ++dx) {
                        const QPoint p(x + dx, y + dy);
                        found = soft.rect().contains(p) && (soft.pixel(p) & 0xFFFFFF) == c;
                    }
                }
                matched += found;
            }
        }
        QVERIFY2(lit > 50000, qPrintable(QString::number(lit)));
        QVERIFY2(std::abs(lit - softLit) < softLit / 50, qPrintable(QStringLiteral("%1 against %2").arg(lit).arg(softLit)));
        QVERIFY2(matched >= lit - lit * missesPerMille / 1000, qPrintable(QStringLiteral("%1 of %2 pixels match").arg(matched).arg(lit)));
    }
};

QTEST_MAIN(SphereGlTest)
#include "SphereGlTest.moc"
