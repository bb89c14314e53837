// Layout editing speed: an Add of 10,000 cells and the sculpt tools on a large layout.
#include <benchmark/benchmark.h>

#include "layout/DisplayModule.h"
#include "layout/SculptTools.h"
#include "layout/Wiring.h"

using namespace corv;

// A drag over 100 x 100 cells in each connection mode (10,000 LEDs).
static void BM_Add10000Cells(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    std::vector<std::uint8_t> mask(200 * 200, 1);
    for (auto _ : state) {
        state.PauseTiming();
        Layout layout;
        layout.New(200, 200, false, 3);
        AddOptions options;
        options.mode = mode;
        options.lineLimit = 65535;
        options.backgroundMask = &mask;
        int line = 0;
        state.ResumeTiming();
        const int added = AddByModule(layout, line, Drag{0, 0, 99, 99}, DisplayModule{"Single pixel", 1, 1, {0}}, true, options);
        if (added != 10000) state.SkipWithError("the Add did not place 10,000 LEDs");
        benchmark::DoNotOptimize(added);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_Add10000Cells)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// Delete zone and its undo on a layout of 100,000 LEDs on 256 lines.
static void BM_DeleteZoneAndUndo(benchmark::State& state) {
    Layout layout;
    layout.New(400, 250, false, 3);
    for (int i = 0; i < 100000; ++i) {
        const int row = i / 250, col = i % 250;
        layout.lines[static_cast<std::size_t>(i % 256)].push_back(MakePoint(row, col));
        layout.occupancy.TryOccupy(row, col, true);
    }
    for (auto _ : state) {
        DeleteZone(layout, CellRect{50, 50, 200, 350});
        UndoLayout(layout);
    }
}
BENCHMARK(BM_DeleteZoneAndUndo)->Unit(benchmark::kMillisecond);
