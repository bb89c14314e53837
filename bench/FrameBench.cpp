#include <benchmark/benchmark.h>

#include "project/FrameStore.h"

using namespace corv;

// Filling a frame of a large facade (512 x 256 LEDs).
static void BM_FrameFill(benchmark::State& state) {
    Frame f(512, 256);
    std::uint8_t v = 0;
    for (auto _ : state) {
        f.Fill(Bgr{v, static_cast<std::uint8_t>(v + 1), static_cast<std::uint8_t>(v + 2)});
        ++v;
        benchmark::DoNotOptimize(f.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.size()));
}
BENCHMARK(BM_FrameFill);

// The common frame step: producing frames one after another into a clip.
static void BM_AppendFrames(benchmark::State& state) {
    for (auto _ : state) {
        AppState app;
        FrameStore store(app);
        store.AddClip(128, 64);
        for (int i = 0; i < state.range(0); ++i) {
            benchmark::DoNotOptimize(store.AppendFrame(false));
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AppendFrames)->Arg(1000);
