// The sculpt view's drawing: a layout of 100,000 LEDs on 256 lines painted at a zoom that shows
// it whole (and at closer zooms that show part of it), as one paint of a 1600 x 1000 window does.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <iostream>

#include "app/sculpt/CSculptView.h"
#include "base/Prompt.h"
#include "workspace/Workspace.h"

using namespace corv;

namespace {

// 400 x 250 cells, every cell an LED: 256 lines of about 391 LEDs each, wired as serpentines.
void FillLayout(Workspace& ws) {
    ws.layout.New(250, 400, false, 3);
    int line = 0;
    std::size_t perLine = (250 * 400 + 255) / 256;
    for (int r = 0; r < 250; ++r) {
        for (int i = 0; i < 400; ++i) {
            const int c = r % 2 == 0 ? i : 399 - i;
            auto& l = ws.layout.lines[static_cast<std::size_t>(line)];
            l.push_back(MakePoint(r, c));
            if (l.size() == perLine && line < 255) ++line;
        }
    }
    ws.layout.occupancy.Rebuild(ws.layout.grid, ws.layout.lines);
}

void BM_SculptPaint(benchmark::State& state) {
    Workspace ws;
    FillLayout(ws);
    StreamPrompt prompt(std::cerr, Answer::No);
    LinePanelState panel;
    CSculptView view(ws, prompt, panel);
    view.resize(1600, 1000);
    view.SetZoom(static_cast<float>(state.range(0)) / 10.0f);  // 3.9: the whole layout in the window
    QImage target;
    for (auto _ : state) {
        view.Render(target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["leds"] = 100000;
}
BENCHMARK(BM_SculptPaint)->Arg(39)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
