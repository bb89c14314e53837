#include <benchmark/benchmark.h>

#include <numeric>
#include <string>

#include "controller/ChannelMap.h"

using namespace corv;

namespace {

// A 512 x 256 facade, every pixel an LED, one row per line: the map of all 256 slaves.
struct Facade {
    Layout layout;
    ChannelMap map;
    std::vector<std::uint8_t> frame;
    GammaTable table = BuildGammaTable(22, 90, 3, 0);
    Facade() {
        layout.New(256, 512, false, 3);
        for (int r = 0; r < 256; ++r) {
            for (int c = 0; c < 512; ++c) layout.lines[static_cast<std::size_t>(r)].push_back(MakePoint(r, c));
        }
        layout.RecomputeLineCount();
        map = BuildMasterSlaveMap(layout, BuiltInLightTypes(), 0, 256, FrameShape{256, 512});
        frame.resize(512 * 3 * 256);
        std::iota(frame.begin(), frame.end(), std::uint8_t{0});
    }
};

const Facade& Shared() {
    static const Facade f;
    return f;
}

}  // namespace

// The bare minimum: gather every channel's byte through the map.
static void BM_GatherThroughMap(benchmark::State& state) {
    const Facade& f = Shared();
    std::vector<std::uint8_t> out(f.map.entries.size());
    for (auto _ : state) {
        const std::uint8_t* src = f.frame.data();
        const std::uint32_t* e = f.map.entries.data();
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = src[e[i]];
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}
BENCHMARK(BM_GatherThroughMap);

// Plain 8-bit packing of the same map: gamma and brightness lookup, colour reverse; without
// vector instructions (argument 0) and with the best the processor has (-1).
static void BM_PlainPacking(benchmark::State& state) {
    const Facade& f = Shared();
    const int level = SetPackingInstructions(static_cast<int>(state.range(0)));
    state.SetLabel("vector level " + std::to_string(level));
    std::vector<std::uint8_t> out(f.map.entries.size());
    // As the writer does: the parts are prepared once per file.
    std::vector<SlavePart> parts;
    std::size_t at = 0;
    for (std::uint32_t c : f.map.slaveChannels) {
        SlavePart part{std::span<const std::uint32_t>(f.map.entries).subspan(at, c), &f.table, 3, 13, 1, 1};
        PreparePart(part);
        parts.push_back(part);
        at += c;
    }
    for (auto _ : state) {
        std::size_t offset = 0;
        std::size_t n = 0;
        for (const SlavePart& part : parts) {
            n += PackPart(f.frame, part, 0, out.data() + offset);
            offset += part.entries.size();
        }
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
    SetPackingInstructions(-1);
}
BENCHMARK(BM_PlainPacking)->Arg(0)->Arg(-1);
