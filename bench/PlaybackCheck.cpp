// Plays a 1024 x 1024 clip at 80 frames per second in a 1600 x 1000 main window and reports
// the ticks the play timer delivered against the ticks due, the longest gap between two shown
// frames and the paint time of the frame view. Run it under a real display server (Xvfb):
//   xvfb-run -s "-screen 0 1600x1000x24" build/bench/corvantine-playback [seconds]
#include <QApplication>
#include <QElapsedTimer>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/shell/CMainFrame.h"
#include "app/frame/CVorlaneView.h"
#include "base/Prompt.h"
#include "base/TempDir.h"
#include "workspace/Startup.h"
#include "workspace/Workspace.h"

using namespace corv;

namespace {
class PaintTimer : public QObject {
public:
    std::vector<double> paints;
    QElapsedTimer clock;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        clock.start();
        static_cast<QWidget*>(watched)->removeEventFilter(this);
        QApplication::sendEvent(watched, event);
        watched->installEventFilter(this);
        paints.push_back(clock.nsecsElapsed() / 1e6);
        return true;
    }
};
}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 5.0;
    TempDir home;
    Workspace ws;
    RecordingPrompt prompt;
    if (!InitInstance(ws, prompt, StartupOptions(home.path(), "en_US.UTF-8"))) return 1;
    ws.frames.DeleteClip(-1);
    ws.frames.AddClip(1024, 1024);
    auto& frames = ws.frames.CurrentFrames();
    frames.clear();
    for (int i = 0; i < 80; ++i) {
        // Moving colour bands, so every frame differs from the one before.
        Frame f(1024, 1024);
        for (int y = 0; y < 1024; ++y) {
            for (int x = 0; x < 1024; ++x) {
                f.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(x + 4 * i), static_cast<std::uint8_t>(y - 3 * i),
                                     static_cast<std::uint8_t>((x ^ y) + i)});
            }
        }
        frames.push_back(std::move(f));
    }
    CMainFrame window(ws, prompt);
    window.setGeometry(0, 0, 1600, 1000);
    window.show();
    window.frameView()->ImageCenter();
    window.speed()->setValue(80);

    PaintTimer paintTimer;
    window.frameView()->installEventFilter(&paintTimer);
    std::vector<qint64> shown;
    QElapsedTimer clock;
    double played = seconds;
    QObject::connect(window.frameNumber(), &QSpinBox::valueChanged, [&] { shown.push_back(clock.nsecsElapsed()); });
    QTimer::singleShot(500, [&] {  // let the window settle first
        paintTimer.paints.clear();
        clock.start();
        window.Play();
        QTimer::singleShot(static_cast<int>(seconds * 1000), [&] {
            window.Stop();
            played = clock.nsecsElapsed() / 1e9;
            qapp.quit();
        });
    });
    qapp.exec();

    const int interval = window.playInterval();
    const long due = static_cast<long>(played * 1000 / interval);
    double worstGap = 0;
    for (std::size_t i = 1; i < shown.size(); ++i) worstGap = std::max(worstGap, (shown[i] - shown[i - 1]) / 1e6);
    std::vector<double> paints = paintTimer.paints;
    std::sort(paints.begin(), paints.end());
    const double median = paints.empty() ? 0 : paints[paints.size() / 2];
    const double worstPaint = paints.empty() ? 0 : paints.back();
    std::printf("playback 1024x1024 at 80 fps in %dx%d for %.1f s (interval %d ms)\n", window.frameView()->width(),
                window.frameView()->height(), played, interval);
    std::printf("  ticks due %ld, frames shown %zu, missed %ld\n", due, shown.size(),
                std::max(0L, due - static_cast<long>(shown.size())));
    std::printf("  longest gap between frames %.1f ms\n", worstGap);
    std::printf("  frame view paints %zu, median %.2f ms, worst %.2f ms\n", paints.size(), median, worstPaint);
    return 0;
}
