#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "controller/Budget.h"

using namespace corv;

namespace {

// 100,000 LEDs: a 400 x 250 wall, a row a line (250 lines on 63 slaves of four lines).
constexpr int kCols = 400;
constexpr int kRows = 250;
constexpr std::size_t kFrames = 1000;

// kFrames frames taken in turn from a few different pictures (the work is the same as for as
// many different ones, the memory is not); it forks for the second thread.
class CycleSource : public FrameSource {
public:
    explicit CycleSource(std::shared_ptr<const std::vector<Frame>> pictures) : pictures_(std::move(pictures)) {}
    std::size_t Count() const override { return kFrames; }
    const Frame* Get(std::size_t i) override { return &(*pictures_)[i % pictures_->size()]; }
    std::unique_ptr<FrameSource> Fork() const override { return std::make_unique<CycleSource>(pictures_); }

private:
    std::shared_ptr<const std::vector<Frame>> pictures_;
};

struct Wall {
    Layout layout;
    std::vector<LightTypeRecord> lamps = BuiltInLightTypes();
    std::shared_ptr<std::vector<Frame>> pictures = std::make_shared<std::vector<Frame>>();
    Wall() {
        layout.New(kRows, kCols, false, 3);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kCols; ++c) layout.lines[static_cast<std::size_t>(r)].push_back(MakePoint(r, c));
        }
        layout.RecomputeLineCount();
        layout.setting.SetPortsPerSlave(4);
        layout.setting.gamma.fill(22);
        for (int p = 0; p < 7; ++p) {
            Frame f(kCols, kRows);
            for (std::size_t i = 0; i < f.size(); ++i) f.data()[i] = static_cast<std::uint8_t>(i * 7 + p * 31);
            pictures->push_back(std::move(f));
        }
    }
};

}  // namespace

// The whole budget of 100,000 LEDs over 1,000 frames (the target: under a second).
static void BM_BudgetOfAHundredThousandLeds(benchmark::State& state) {
    static const Wall wall;
    WriterInput in;
    in.layout = &wall.layout;
    in.lamps = &wall.lamps;
    in.frame = FrameShape{kRows, kCols};
    BudgetOptions options;
    options.fuseAmps = 10;
    for (auto _ : state) {
        CycleSource frames(wall.pictures);
        auto budget = ComputePowerBudget(in, frames, 0, kFrames, options);
        benchmark::DoNotOptimize(budget.ok());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kFrames) *
                            kRows * kCols);
}
BENCHMARK(BM_BudgetOfAHundredThousandLeds)->Unit(benchmark::kMillisecond)->UseRealTime();
