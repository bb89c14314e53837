// Looking up a particle template, as `generate --template` does once: in a library of 20,000
// names, and in a megabyte library whose "Number" claims 2147483647 templates. Both cost one
// reading of the file, not one per name.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>

#include "base/ProfileFile.h"
#include "base/TempDir.h"
#include "content/Particles.h"

using namespace corv;

namespace {

// The library's file time is set an hour back, as for a library saved long before the run.
void Settle(const std::filesystem::path& file) {
    std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
}

std::filesystem::path ManyNames(const TempDir& dir) {
    const auto lib = dir.File("many.ptb");
    std::ofstream out(lib, std::ios::binary);
    out << "[Main]\nNumber=20000\n";
    for (int i = 1; i <= 20000; ++i) out << "Name" << i << "=Template " << i << "\n";
    for (int i = 1; i <= 20000; ++i) out << "[Template " << i << "]\nSpeed=" << i % 100 << "\n";
    out.close();
    Settle(lib);
    return lib;
}

std::filesystem::path HugeNumber(const TempDir& dir) {
    const auto lib = dir.File("huge.ptb");
    std::ofstream out(lib, std::ios::binary);
    out << "[Main]\nNumber=2147483647\nName1=Fountain\nName2=Snow\n[Fountain]\nSpeed=25\n[Filler]\n";
    for (int i = 0; out.tellp() < 1 << 20; ++i) out << "Key" << i << "=" << std::string(40, 'x') << "\n";
    out.close();
    Settle(lib);
    return lib;
}

void BM_ParticleTemplateOfTwentyThousand(benchmark::State& state) {
    TempDir dir;
    const auto lib = ManyNames(dir);
    for (auto _ : state) {
        auto t = LoadParticleTemplate(lib, "Template 20000");
        if (!t) state.SkipWithError("template not found");
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_ParticleTemplateOfTwentyThousand)->Unit(benchmark::kMillisecond);

void BM_ParticleTemplateOfHugeNumber(benchmark::State& state) {
    TempDir dir;
    const auto lib = HugeNumber(dir);
    for (auto _ : state) {
        auto t = LoadParticleTemplate(lib, "Fountain");
        if (!t) state.SkipWithError("template not found");
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_ParticleTemplateOfHugeNumber)->Unit(benchmark::kMillisecond);

// Every one of the 20,000 names looked up through one reader: the file is read once.
void BM_ProfileLookupsOfTwentyThousand(benchmark::State& state) {
    TempDir dir;
    const auto lib = ManyNames(dir);
    for (auto _ : state) {
        const ProfileFile main(lib, "Main");
        int found = 0;
        for (int i = 1; i <= 20000; ++i) found += main.HasKey("Name" + std::to_string(i));
        if (found != 20000) state.SkipWithError("names missing");
    }
    state.SetItemsProcessed(state.iterations() * 20000);
}
BENCHMARK(BM_ProfileLookupsOfTwentyThousand)->Unit(benchmark::kMillisecond);

}  // namespace
