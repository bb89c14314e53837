#include <benchmark/benchmark.h>

#include "base/TempDir.h"
#include "project/Document.h"
#include "formats/FrameCountScramble.h"

using namespace corv;

// Save and open of a 64 MiB document (256 x 128 frames) in the page cache.
static void BM_DocumentSaveOpen(benchmark::State& state) {
    TempDir dir;
    AppState app;
    FrameStore store(app);
    store.AddClip(256, 128);
    auto& frames = store.CurrentFrames();
    while (frames.size() * frames[0].size() < (64u << 20)) {
        frames.push_back(frames[0]);
    }
    DocumentSource source;
    source.frames = &store;
    const auto path = dir.File("bench.cvn");
    for (auto _ : state) {
        WriteDocument(path, source);
        LoadedDocument doc;
        ReadOptions options;
        options.tempDir = dir.path();
        ReadDocument(path, options, doc);
        benchmark::DoNotOptimize(doc.clips.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 2 * frames.size() * frames[0].size()));
}
BENCHMARK(BM_DocumentSaveOpen)->Unit(benchmark::kMillisecond);

static void BM_FrameCountScramble(benchmark::State& state) {
    std::uint32_t n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(UnscrambleFrameCount(ScrambleFrameCount(n++ & kMaxFrameCount)));
    }
}
BENCHMARK(BM_FrameCountScramble);
