#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TestHome.h"
#include "controller/Budget.h"
#include "controller/Catalogue.h"
#include "controller/ChannelMap.h"
#include "lang/Language.h"

using namespace corv;
using corv::test::TestFolder;

namespace {

// A grid of one row, `leds` cells wide, with line `line` (1-based) through all of them.
Layout Strip(int leds, int line = 1) {
    Layout l;
    l.New(1, leds, false, 3);
    for (int c = 0; c < leds; ++c) l.lines[static_cast<std::size_t>(line - 1)].push_back(MakePoint(0, c));
    l.RecomputeLineCount();
    return l;
}

const std::vector<LightTypeRecord>& Lamps() {
    static const std::vector<LightTypeRecord> lamps = BuiltInLightTypes();
    return lamps;
}

Result<PowerBudget> RunBudget(const Layout& layout, const std::vector<Frame>& frames, const BudgetOptions& options = {},
                        const ChipCatalogue* catalogue = nullptr) {
    WriterInput in;
    in.layout = &layout;
    in.lamps = &Lamps();
    in.catalogue = catalogue;
    in.frame = FrameShape{frames.front().height(), frames.front().width()};
    ClipFrameSource source(frames);
    return ComputePowerBudget(in, source, 0, frames.size(), options);
}

PowerBudget Budget(const Layout& layout, const std::vector<Frame>& frames, const BudgetOptions& options = {}) {
    auto b = RunBudget(layout, frames, options);
    EXPECT_TRUE(b.ok()) << b.message();
    return b.ok() ? *b : PowerBudget{};
}

Frame Colour(int width, std::uint8_t r, std::uint8_t g, std::uint8_t b) { return Frame::Filled(width, 1, r, g, b); }

// The frames of a clip, without a second thread.
class SingleSource : public FrameSource {
public:
    explicit SingleSource(const std::vector<Frame>& frames) : frames_(frames) {}
    std::size_t Count() const override { return frames_.size(); }
    const Frame* Get(std::size_t i) override { return i < frames_.size() ? &frames_[i] : nullptr; }

private:
    const std::vector<Frame>& frames_;
};

// Frames that cannot be had from `bad` on.
class BrokenSource : public SingleSource {
public:
    BrokenSource(const std::vector<Frame>& frames, std::size_t bad) : SingleSource(frames), bad_(bad) {}
    const Frame* Get(std::size_t i) override { return i >= bad_ ? nullptr : SingleSource::Get(i); }

private:
    std::size_t bad_;
};

}  // namespace

TEST(Budget, OneWhiteLedAtTwentyMilliampsAComponentIsSixtyOneWithIdle) {
    const Layout l = Strip(1);
    const PowerBudget b = Budget(l, {Colour(1, 255, 255, 255)});
    ASSERT_EQ(b.lines.size(), 1u);
    EXPECT_EQ(b.lines[0].line, 1);
    EXPECT_EQ(b.lines[0].slave, 1);
    EXPECT_EQ(b.lines[0].leds, 1u);
    EXPECT_DOUBLE_EQ(b.lines[0].peakAmps, 0.061);
    EXPECT_DOUBLE_EQ(b.lines[0].meanAmps, 0.061);
    EXPECT_DOUBLE_EQ(b.lines[0].peakWatts, 0.061 * 5);
    ASSERT_EQ(b.slaves.size(), 1u);
    EXPECT_EQ(b.slaves[0].lines, std::vector<int>{1});
    EXPECT_DOUBLE_EQ(b.slaves[0].peakAmps, 0.061);
    ASSERT_EQ(b.masters.size(), 1u);
    EXPECT_EQ(b.masters[0].master, 1);
    EXPECT_EQ(b.masters[0].slaves, std::vector<int>{1});
    EXPECT_DOUBLE_EQ(b.total.peakAmps, 0.061);
    EXPECT_DOUBLE_EQ(b.total.meanAmps, 0.061);
    EXPECT_DOUBLE_EQ(b.total.peakWatts, 0.305);
    EXPECT_EQ(b.frames, 1u);
    EXPECT_TRUE(b.warnings.empty());
}

TEST(Budget, ComponentsIdleCurrentVoltsAndLampTypesOwnCurrent) {
    const Layout l = Strip(1);
    // Black: the idle current alone; pure red: one component.
    EXPECT_DOUBLE_EQ(Budget(l, {Colour(1, 0, 0, 0)}).lines[0].peakAmps, 0.001);
    EXPECT_DOUBLE_EQ(Budget(l, {Colour(1, 255, 0, 0)}).lines[0].peakAmps, 0.021);
    BudgetOptions o;
    o.componentMilliamps = 12;
    o.idleMilliamps = 0.5;
    o.volts = 12;
    PowerBudget b = Budget(l, {Colour(1, 255, 255, 255)}, o);
    EXPECT_DOUBLE_EQ(b.lines[0].peakAmps, 0.0365);
    EXPECT_DOUBLE_EQ(b.lines[0].peakWatts, 0.0365 * 12);
    EXPECT_DOUBLE_EQ(b.total.peakWatts, 0.0365 * 12);
    // The lamp type's own current (by name, without regard to case) before the common one.
    o.lampMilliamps["rgb"] = 10;
    b = Budget(l, {Colour(1, 255, 255, 255)}, o);
    EXPECT_DOUBLE_EQ(b.lines[0].peakAmps, 0.0305);
    // A slave's own supply.
    o.slaveVolts = {24};
    b = Budget(l, {Colour(1, 255, 255, 255)}, o);
    EXPECT_DOUBLE_EQ(b.slaves[0].volts, 24);
    EXPECT_DOUBLE_EQ(b.lines[0].peakWatts, 0.0305 * 24);
}

TEST(Budget, GammaBrightnessAndBalanceLowerTheCurrentAsTheLevelTableSays) {
    Layout l = Strip(1);
    const auto amps = [&](std::uint8_t v) { return Budget(l, {Colour(1, v, v, v)}).lines[0].peakAmps; };
    l.setting.gamma[0] = 22;
    const int level128 = BuildGammaTable(22, 100, 3, 0)[128];
    ASSERT_EQ(level128, 56);
    EXPECT_DOUBLE_EQ(amps(128), (3.0 * 56 * 20 / 255 + 1) / 1000);
    EXPECT_LT(amps(128), (3.0 * 128 * 20 / 255 + 1) / 1000);
    l.setting.gamma[0] = 10;
    l.setting.brightness[0] = 50;
    EXPECT_DOUBLE_EQ(amps(255), (3.0 * 127 * 20 / 255 + 1) / 1000);
    l.setting.brightness[0] = 100;
    // The colour balance: red at half, the others full.
    l.setting.red[0] = 50;
    EXPECT_DOUBLE_EQ(amps(255), (20.0 * 50 / 100 + 40 + 1) / 1000);
    l.setting.red[0] = 100;
    // Tables of 10 and 12 bits: the level over their own full scale.
    l.setting.icType[0] = 110;
    EXPECT_DOUBLE_EQ(amps(255), 0.061);
    l.setting.icType[0] = 104;
    l.setting.brightness[0] = 50;
    ASSERT_EQ(BuildGammaTable(10, 50, 104, 0)[255], 2047);
    EXPECT_DOUBLE_EQ(amps(255), (3.0 * 2047 * 20 / 4095 + 1) / 1000);
}

TEST(Budget, SlavesAndMastersAddUpFrameByFrame) {
    // Lines 1 and 2 on slave 1 (two lines a slave), line 3 on slave 2; slave 2 is master 2's.
    Layout l;
    l.New(1, 3, false, 3);
    for (int i = 0; i < 3; ++i) l.lines[static_cast<std::size_t>(i)] = {MakePoint(0, i)};
    l.RecomputeLineCount();
    l.setting.SetPortsPerSlave(2);
    l.slaveGroups = {1};
    // Frame 1: LED 1 white, the others black; frame 2: LED 2 white.
    Frame a(3, 1), b(3, 1);
    a.SetPixel(0, 0, {255, 255, 255});
    b.SetPixel(1, 0, {255, 255, 255});
    const PowerBudget r = Budget(l, {a, b});
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_DOUBLE_EQ(r.lines[0].peakAmps, 0.061);
    EXPECT_DOUBLE_EQ(r.lines[0].meanAmps, 0.031);
    EXPECT_DOUBLE_EQ(r.lines[2].peakAmps, 0.001);
    EXPECT_EQ(r.lines[2].slave, 2);
    ASSERT_EQ(r.slaves.size(), 2u);
    EXPECT_EQ(r.slaves[0].lines, (std::vector<int>{1, 2}));
    // The peak of the sum, not the sum of the peaks.
    EXPECT_DOUBLE_EQ(r.slaves[0].peakAmps, 0.062);
    EXPECT_DOUBLE_EQ(r.slaves[0].meanAmps, 0.062);
    EXPECT_EQ(r.slaves[0].master, 1);
    EXPECT_EQ(r.slaves[1].master, 2);
    ASSERT_EQ(r.masters.size(), 2u);
    EXPECT_EQ(r.masters[0].slaves, std::vector<int>{1});
    EXPECT_EQ(r.masters[1].slaves, std::vector<int>{2});
    EXPECT_DOUBLE_EQ(r.masters[1].peakAmps, 0.001);
    EXPECT_DOUBLE_EQ(r.total.peakAmps, 0.063);
    EXPECT_DOUBLE_EQ(r.total.peakWatts, 0.063 * 5);
}

TEST(Budget, LinesWithoutLedsAreLeftOutAndTheRestKeepTheirNumbers) {
    const Layout l = Strip(2, 5);
    const PowerBudget b = Budget(l, {Colour(2, 0, 0, 0)});
    ASSERT_EQ(b.lines.size(), 1u);
    EXPECT_EQ(b.lines[0].line, 5);
    EXPECT_EQ(b.lines[0].slave, 5);
    ASSERT_EQ(b.slaves.size(), 1u);
    EXPECT_EQ(b.slaves[0].slave, 5);
    EXPECT_EQ(b.slaves[0].lines, std::vector<int>{5});
    EXPECT_DOUBLE_EQ(b.lines[0].peakAmps, 0.002);
}

TEST(Budget, MaxFpsFollowsLedsClockAndReset) {
    Layout l = Strip(100);
    const std::vector<Frame> one = {Colour(100, 0, 0, 0)};
    // 8 bits a channel, three channels an LED, the 1 MHz clock (divisor 25), no reset.
    PowerBudget b = Budget(l, one);
    EXPECT_DOUBLE_EQ(b.lines[0].bitsPerLed, 24);
    EXPECT_DOUBLE_EQ(b.lines[0].clockHz, 1e6);
    EXPECT_DOUBLE_EQ(b.lines[0].resetSeconds, 0);
    EXPECT_DOUBLE_EQ(b.lines[0].maxFps, 1.0 / (100 * 24 / 1e6));
    EXPECT_DOUBLE_EQ(b.slaves[0].maxFps, b.lines[0].maxFps);
    EXPECT_DOUBLE_EQ(b.masters[0].maxFps, b.lines[0].maxFps);
    // Twice the LEDs: half the rate.
    const Layout twice = Strip(200);
    const double doubled = Budget(twice, {Colour(200, 0, 0, 0)}).lines[0].maxFps;
    EXPECT_DOUBLE_EQ(doubled, b.lines[0].maxFps / 2);
    // A faster clock (divisor 5: 5 MHz) raises it.
    l.setting.clock[0] = 5;
    EXPECT_DOUBLE_EQ(Budget(l, one).lines[0].maxFps, 1.0 / (100 * 24 / 5e6));
    l.setting.clock[0] = 25;
    // A self-clocked chip: 11 bits a channel and the 96 us gap after each frame; doubling the
    // LEDs no longer halves the rate exactly.
    l.setting.icType[0] = 19;
    b = Budget(l, one);
    EXPECT_DOUBLE_EQ(b.lines[0].resetSeconds, 96e-6);
    EXPECT_DOUBLE_EQ(b.lines[0].maxFps, 1.0 / (100 * 33 / 1e6 + 96e-6));
    Layout twiceSelf = Strip(200);
    twiceSelf.setting.icType[0] = 19;
    const double selfDoubled = Budget(twiceSelf, {Colour(200, 0, 0, 0)}).lines[0].maxFps;
    EXPECT_DOUBLE_EQ(selfDoubled, 1.0 / (200 * 33 / 1e6 + 96e-6));
    EXPECT_GT(selfDoubled, b.lines[0].maxFps / 2);
    EXPECT_NEAR(selfDoubled, b.lines[0].maxFps / 2, b.lines[0].maxFps * 0.02);
    // The catalogue's own gap for a chip.
    TestFolder dir;
    const ChipCatalogue cat = ChipCatalogue::Load(dir.Write("DrICtype.ict", "[main]\r\nEN0=Self\r\nNUM0=19\r\nRESET19=280\r\n"));
    auto withCatalogue = RunBudget(l, one, {}, &cat);
    ASSERT_TRUE(withCatalogue.ok());
    EXPECT_DOUBLE_EQ(withCatalogue->lines[0].maxFps, 1.0 / (100 * 33 / 1e6 + 280e-6));
}

TEST(Budget, ASlaveIsAsFastAsItsSlowestLine) {
    Layout l;
    l.New(1, 30, false, 3);
    for (int c = 0; c < 10; ++c) l.lines[0].push_back(MakePoint(0, c));
    for (int c = 10; c < 30; ++c) l.lines[1].push_back(MakePoint(0, c));
    l.RecomputeLineCount();
    l.setting.SetPortsPerSlave(2);
    const PowerBudget b = Budget(l, {Colour(30, 0, 0, 0)});
    ASSERT_EQ(b.slaves.size(), 1u);
    EXPECT_DOUBLE_EQ(b.slaves[0].maxFps, b.lines[1].maxFps);
    EXPECT_LT(b.lines[1].maxFps, b.lines[0].maxFps);
}

TEST(Budget, WarningsAppearJustAboveTheirLimits) {
    const Layout l = Strip(1);
    const std::vector<Frame> white = {Colour(1, 255, 255, 255)};
    const double fps = Budget(l, white).lines[0].maxFps;
    BudgetOptions o;
    o.fps = fps;          // equal: no warning
    o.fuseAmps = 0.061;   // equal: no warning
    EXPECT_TRUE(Budget(l, white, o).warnings.empty());
    o.fps = std::nextafter(fps, std::numeric_limits<double>::infinity());
    PowerBudget b = Budget(l, white, o);
    ASSERT_EQ(b.warnings.size(), 1u);
    EXPECT_EQ(b.warnings[0].kind, BudgetWarning::LineTooSlow);
    EXPECT_EQ(b.warnings[0].number, 1);
    o.fps = fps;
    o.fuseAmps = std::nextafter(0.061, 0.0);
    b = Budget(l, white, o);
    ASSERT_EQ(b.warnings.size(), 2u);
    EXPECT_EQ(b.warnings[0].kind, BudgetWarning::LineOverFuse);
    EXPECT_EQ(b.warnings[1].kind, BudgetWarning::SlaveOverFuse);
    EXPECT_EQ(b.warnings[1].number, 1);
    EXPECT_EQ(BudgetWarningText(b.warnings[1], kLanguageEnglish), "Slave 1 peaks at 0.061 A, above the fuse's 0.061 A");
    EXPECT_EQ(BudgetWarningValues(b.warnings[1])[0], "1");
    // A slave of two lines over the fuse whose lines are each under it.
    Layout two;
    two.New(1, 2, false, 3);
    two.lines[0] = {MakePoint(0, 0)};
    two.lines[1] = {MakePoint(0, 1)};
    two.RecomputeLineCount();
    two.setting.SetPortsPerSlave(2);
    BudgetOptions fuse;
    fuse.fps = 1;
    fuse.fuseAmps = 0.1;
    b = Budget(two, {Colour(2, 255, 255, 255)}, fuse);
    ASSERT_EQ(b.warnings.size(), 1u);
    EXPECT_EQ(b.warnings[0].kind, BudgetWarning::SlaveOverFuse);
}

TEST(Budget, BadValuesAreRefused) {
    BudgetOptions o;
    EXPECT_FALSE(CheckBudgetOptions(o));
    o.volts = 0;
    auto bad = CheckBudgetOptions(o);
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->value, BudgetValue::Volts);
    EXPECT_TRUE(bad->mustBeAboveZero);
    o.volts = 5;
    o.componentMilliamps = -1;
    ASSERT_TRUE(CheckBudgetOptions(o));
    EXPECT_EQ(CheckBudgetOptions(o)->value, BudgetValue::Milliamps);
    EXPECT_FALSE(CheckBudgetOptions(o)->mustBeAboveZero);
    o.componentMilliamps = 0;  // no current at all is a number like any other
    EXPECT_FALSE(CheckBudgetOptions(o));
    o.idleMilliamps = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(CheckBudgetOptions(o)->value, BudgetValue::IdleMilliamps);
    o.idleMilliamps = 1;
    o.fps = std::numeric_limits<double>::infinity();
    EXPECT_EQ(CheckBudgetOptions(o)->value, BudgetValue::Fps);
    o.fps = 20;
    o.fuseAmps = 0;
    EXPECT_EQ(CheckBudgetOptions(o)->value, BudgetValue::FuseAmps);
    o.fuseAmps.reset();
    o.slaveVolts = {0, 12};  // 0: the common supply
    EXPECT_FALSE(CheckBudgetOptions(o));
    o.slaveVolts = {-12};
    EXPECT_EQ(CheckBudgetOptions(o)->value, BudgetValue::Volts);
}

TEST(Budget, TwoThreadsGiveWhatOneGives) {
    const int leds = 1000;
    const Layout l = Strip(leds);
    std::vector<Frame> frames;
    for (int f = 0; f < 400; ++f) {
        Frame frame(leds, 1);
        for (int c = 0; c < leds; ++c) {
            frame.SetPixel(c, 0, {static_cast<std::uint8_t>((c + f) % 256), static_cast<std::uint8_t>(f % 256),
                                  static_cast<std::uint8_t>((c * 7 + f * 3) % 256)});
        }
        frames.push_back(std::move(frame));
    }
    WriterInput in;
    in.layout = &l;
    in.lamps = &Lamps();
    in.frame = FrameShape{1, leds};
    ClipFrameSource forking(frames);
    SingleSource single(frames);
    auto two = ComputePowerBudget(in, forking, 0, frames.size(), {});
    auto one = ComputePowerBudget(in, single, 0, frames.size(), {});
    ASSERT_TRUE(two.ok());
    ASSERT_TRUE(one.ok());
    EXPECT_EQ(two->frames, 400u);
    EXPECT_DOUBLE_EQ(two->lines[0].peakAmps, one->lines[0].peakAmps);
    EXPECT_NEAR(two->lines[0].meanAmps, one->lines[0].meanAmps, 1e-12);
    EXPECT_DOUBLE_EQ(two->total.peakWatts, one->total.peakWatts);
    // A range of the frames.
    auto part = ComputePowerBudget(in, forking, 10, 20, {});
    ASSERT_TRUE(part.ok());
    EXPECT_EQ(part->frames, 10u);
}

TEST(Budget, AFrameThatCannotBeHadIsAFailure) {
    const Layout l = Strip(1);
    const std::vector<Frame> frames = {Colour(1, 0, 0, 0), Colour(1, 0, 0, 0)};
    WriterInput in;
    in.layout = &l;
    in.lamps = &Lamps();
    in.frame = FrameShape{1, 1};
    BrokenSource source(frames, 1);
    auto b = ComputePowerBudget(in, source, 0, 2, {});
    ASSERT_FALSE(b.ok());
    EXPECT_NE(b.message().find("frame 2"), std::string::npos);
}

TEST(Budget, BitsOfThePackings) {
    EXPECT_DOUBLE_EQ(ChipBitsPerChannel(0, 3, 13), 8);
    EXPECT_DOUBLE_EQ(ChipBitsPerChannel(0, 104, 13), 16);
    EXPECT_DOUBLE_EQ(ChipBitsPerChannel(1, 104, 13), 8);
    EXPECT_DOUBLE_EQ(ChipBitsPerChannel(0, 117, 13), 16);
    EXPECT_DOUBLE_EQ(ChipBitsPerChannel(2, 110, 13), 32.0 / 3);
    EXPECT_DOUBLE_EQ(ChipBitsPerChannel(1, 102, 13), 16.0 / 3);
    EXPECT_DOUBLE_EQ(ChipBitsPerChannel(1, 2, 0x84), 5);
    EXPECT_DOUBLE_EQ(ChipBitsPerChannel(1, 3, 13), 8);
    EXPECT_DOUBLE_EQ(ChipBitsPerChannel(0, 19, 13), 11);
    EXPECT_DOUBLE_EQ(SlaveClockHz(25), 1e6);
    EXPECT_DOUBLE_EQ(SlaveClockHz(1), 25e6);
    EXPECT_DOUBLE_EQ(SlaveClockHz(251), 50e3);
    EXPECT_TRUE(std::isinf(LineMaxFps(10, 0, 1e6, 0)));
    EXPECT_EQ(DefaultChipResetMicros(19), 96);
    EXPECT_EQ(DefaultChipResetMicros(3), 0);
    const auto shipped = ChipCatalogue::Load(std::filesystem::path(CORV_TEST_DATA) / "../../data/DrICtype.ict");
    EXPECT_EQ(shipped.ResetMicros(19), 96);
    EXPECT_EQ(shipped.ResetMicros(20), 0);
}

TEST(Budget, LampTypesOwnCurrentsAreASideSetting) {
    TestFolder dir;
    const auto file = dir / kLampCurrentFileName;
    EXPECT_TRUE(ReadLampMilliamps(file).empty());
    ASSERT_TRUE(WriteLampMilliamps(file, "Strip 60", 12.5).ok());
    ASSERT_TRUE(WriteLampMilliamps(file, "RGB", 10).ok());
    dir.Write("other.ini", "[main]\r\nGood=3\r\nNegative=-1\r\nWord=many\r\n");
    const auto values = ReadLampMilliamps(file);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_DOUBLE_EQ(values.at("strip 60"), 12.5);
    EXPECT_DOUBLE_EQ(values.at("rgb"), 10);
    const auto other = ReadLampMilliamps(dir / "other.ini");
    ASSERT_EQ(other.size(), 1u);
    EXPECT_DOUBLE_EQ(other.at("good"), 3);
}

TEST(Budget, EachLedsCurrentOfAFrameAddsUpToItsLine) {
    // Four LEDs: white, red, black, half green (gamma 1.0 and 100 %: levels are the bytes).
    Layout l = Strip(4);
    l.setting.gamma[0] = 10;
    l.setting.brightness[0] = 100;
    Frame f(4, 1);
    f.SetPixel(0, 0, Bgr{255, 255, 255});
    f.SetPixel(1, 0, Bgr{0, 0, 255});
    f.SetPixel(3, 0, Bgr{0, 51, 0});
    WriterInput in;
    in.layout = &l;
    in.lamps = &Lamps();
    in.frame = FrameShape{1, 4};
    const std::vector<LineLedCurrents> lines = FrameLedCurrents(in, f, BudgetOptions{});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].line, 1);
    ASSERT_EQ(lines[0].milliamps.size(), 4u);
    EXPECT_NEAR(lines[0].milliamps[0], 61.0, 1e-9);
    EXPECT_NEAR(lines[0].milliamps[1], 21.0, 1e-9);
    EXPECT_NEAR(lines[0].milliamps[2], 1.0, 1e-9);
    EXPECT_NEAR(lines[0].milliamps[3], 1.0 + 20.0 * 51 / 255, 1e-9);
    // The same as the budget's line for that frame.
    const PowerBudget b = Budget(l, {f});
    EXPECT_NEAR(lines[0].amps, b.lines[0].peakAmps, 1e-12);
    EXPECT_NEAR(FullLedMilliamps(Lamps()[0], BudgetOptions{}), 61.0, 1e-12);
}
