// The previews' drawing time: the sphere preview of a 200-row sphere in a 1024 x 768 OpenGL
// view (Mesa's software renderer under Xvfb), its QPainter drawing for comparison, and the
// LED preview of 100,000 LEDs. Run under a display server:
//   xvfb-run -s "-screen 0 1600x1000x24" build/bench/corvantine-preview-bench
#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/preview/CLedSphereView.h"
#include "base/Prompt.h"
#include "base/TempDir.h"
#include "preview/LedPreview.h"
#include "workspace/Startup.h"
#include "workspace/Workspace.h"

using namespace corv;

namespace {

Frame Bands(int w, int h, int i) {
    Frame f(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            f.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(x + 4 * i), static_cast<std::uint8_t>(y - 3 * i), static_cast<std::uint8_t>((x ^ y) + i)});
        }
    }
    return f;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    TempDir home;
    Workspace ws;
    RecordingPrompt prompt;
    if (!InitInstance(ws, prompt, StartupOptions(home.path(), "en_US.UTF-8"))) return 1;

    // A sphere of 200 rows and 400 columns, frames of its size.
    ws.layout.New(200, 400, true, 3);
    ws.frames.DeleteClip(-1);
    ws.frames.AddClip(400, 200);
    auto& frames = ws.frames.CurrentFrames();
    frames.clear();
    for (int i = 0; i < 20; ++i) frames.push_back(Bands(400, 200, i));
    ws.app.currentFrame = 0;
    CLedSphereView view(ws);
    view.resize(1024, 768);
    view.show();
    std::size_t facets = 0;
    for (const auto& ring : view.mesh().rings) facets += ring.count >= 2 ? static_cast<std::size_t>(ring.count) : 0;
    std::vector<double> gl;
    if (view.usesOpenGL()) {
        auto* target = view.findChild<QOpenGLWidget*>();
        for (int i = 0; i < 205; ++i) {
            ws.app.currentFrame = i % 20;
            view.state().Nudge(1, 0);
            target->grabFramebuffer();  // draws the frame now
            if (i >= 5) gl.push_back(view.lastDrawMs());
        }
        std::printf("sphere 200 rows (%zu facets), OpenGL at 1024 x 768: median %.2f ms a frame, worst %.2f ms\n", facets, Median(gl),
                    *std::max_element(gl.begin(), gl.end()));
    } else {
        std::printf("sphere: no OpenGL here (%s)\n", view.failure().toLocal8Bit().constData());
    }
    {
        std::vector<double> build, fill;
        std::vector<std::uint32_t> rgba;
        for (int i = 0; i < 20; ++i) {
            QElapsedTimer clock;
            clock.start();
            const SphereColourSampler sampler(view.mesh(), 400, 200);
            build.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            clock.restart();
            sampler.Fill(frames[static_cast<std::size_t>(i)], rgba, 1024);
            fill.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        }
        std::printf("sphere 200 rows: the facets' colours of a frame take %.2f ms (their sample points, once per frame size: %.2f ms)\n",
                    Median(fill), Median(build));
    }
    std::vector<double> soft;
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer clock;
        clock.start();
        const QImage image = RenderSphereImage(view.mesh(), frames[static_cast<std::size_t>(i)], view.state().transform, QSize(1024, 768), 1.0f);
        soft.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("sphere 200 rows, QPainter at 1024 x 768: median %.2f ms a frame\n", Median(soft));

    // 100,000 LEDs: a 250 x 400 grid, every cell wired (lines of 400), frames of its size.
    Layout layout;
    layout.New(250, 400, false, 3);
    for (int r = 0; r < 250; ++r) {
        for (int c = 0; c < 400; ++c) layout.lines[static_cast<std::size_t>(r)].push_back(MakePoint(r, c));
    }
    layout.RecomputeLineCount();
    const Frame led = Bands(400, 250, 1);
    const std::vector<LedDot> dots = CollectLeds(layout, FrameShape{250, 400});
    for (const bool glow : {false, true}) {
        for (const QSize size : {QSize(1200, 750), QSize(1600, 1000)}) {
            std::vector<double> t;
            QImage image(size, QImage::Format_RGB32);
            for (int i = 0; i < 20; ++i) {
                QElapsedTimer clock;
                clock.start();
                image.fill(Qt::black);
                DrawLeds(image, dots, led, FitGrid(layout.grid, size), glow);
                t.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            }
            std::printf("LED preview %zu LEDs at %d x %d%s: median %.2f ms a frame\n", dots.size(), size.width(), size.height(),
                        glow ? " with glow" : "", Median(t));
        }
    }
    return 0;
}
