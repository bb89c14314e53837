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

#include "project/FrameRange.h"

// Cutting half of a 1 GiB clip and undoing it: frames are owned buffers that move into the
// undo step and back, so neither depends on the bytes of the clip. range(0): frame side.
static void BM_CutHalfOfOneGibibyteAndUndo(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const std::size_t count = (std::size_t{1} << 30) / Frame::BufferSize(static_cast<std::size_t>(side), static_cast<std::size_t>(side));
    std::vector<Frame> frames;
    frames.reserve(count);
    for (std::size_t i = 0; i < count; ++i) frames.push_back(Frame::Filled(side, side, Bgr{1, 2, 3}));
    FrameUndo undo;
    RangeContext c;
    c.frames = &frames;
    c.undo = &undo;
    for (auto _ : state) {
        DeleteFrames(c, count / 4, count / 4 + count / 2, 0);  // the delete dialog, by range
        undo.Undo(frames);
        benchmark::DoNotOptimize(frames.data());
    }
    state.counters["frames"] = static_cast<double>(count);
}
BENCHMARK(BM_CutHalfOfOneGibibyteAndUndo)->Arg(1024)->Arg(64)->Arg(8)->Unit(benchmark::kMillisecond);

// Cut alone and undo alone, timed apart (1024 x 1024 frames: 341 of them in 1 GiB).
static void BM_CutThenUndoApart(benchmark::State& state) {
    const std::size_t count = (std::size_t{1} << 30) / Frame::BufferSize(1024, 1024);
    std::vector<Frame> frames;
    for (std::size_t i = 0; i < count; ++i) frames.push_back(Frame::Filled(1024, 1024, Bgr{1, 2, 3}));
    FrameUndo undo;
    RangeContext c;
    c.frames = &frames;
    c.undo = &undo;
    const bool timeUndo = state.range(0) == 1;
    for (auto _ : state) {
        if (timeUndo) {
            state.PauseTiming();
            CutFrames(c, 0, count / 2);
            state.ResumeTiming();
            undo.Undo(frames);
        } else {
            CutFrames(c, 0, count / 2);
            state.PauseTiming();
            undo.Undo(frames);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_CutThenUndoApart)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
