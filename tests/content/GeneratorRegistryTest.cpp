#include <gtest/gtest.h>

#include <set>

#include "content/Generators.h"
#include "content/generators/GeneratorUnit.h"

using namespace corv;

TEST(GeneratorRegistry, EveryModeHasItsOwnUnit) {
    std::set<const generators::Generator*> units;
    for (int m = 0; m < kGeneratorModes; ++m) {
        const auto mode = static_cast<GeneratorMode>(m);
        const generators::Generator* unit = generators::FindGenerator(mode);
        ASSERT_NE(unit, nullptr) << GeneratorModeName(mode);
        EXPECT_EQ(unit->mode(), mode) << GeneratorModeName(mode);
        units.insert(unit);
    }
    EXPECT_EQ(units.size(), static_cast<std::size_t>(kGeneratorModes));
    EXPECT_EQ(generators::FindGenerator(static_cast<GeneratorMode>(kGeneratorModes)), nullptr);
    EXPECT_EQ(generators::FindGenerator(static_cast<GeneratorMode>(-1)), nullptr);
}

TEST(GeneratorRegistry, AnUnknownModeOrStyleIsRefusedAndNothingChanges) {
    std::vector<Frame> frames{Frame::Filled(4, 3, Bgr{1, 2, 3})};
    FrameUndo undo;
    ColourList colours({0xFF0000, 0x00FF00});
    GeneratorRun run;
    run.frames = &frames;
    run.undo = &undo;
    run.colours = &colours;
    run.count = 3;
    EXPECT_FALSE(GeneratorModeFromKey("sparkle"));
    for (int m : {kGeneratorModes, kGeneratorModes + 5, -1}) {
        const auto unknown = static_cast<GeneratorMode>(m);
        EXPECT_FALSE(GeneratorAvailable(unknown, 0)) << m;
        EXPECT_EQ(RunGenerator(run, unknown, 0), -1) << m;
        EXPECT_EQ(run.error, "this style is not available") << m;
    }
    EXPECT_EQ(RunGenerator(run, GeneratorMode::Moving, static_cast<int>(GeneratorStyles(GeneratorMode::Moving).size())), -1);
    EXPECT_EQ(run.error, "this style is not available");
    EXPECT_EQ(frames.size(), 1u);
    EXPECT_FALSE(undo.CanUndo());
    EXPECT_EQ(colours.selected(), 0);
    // A known mode still runs through its unit.
    EXPECT_EQ(RunGenerator(run, GeneratorMode::Moving, 0), 3);
    EXPECT_TRUE(run.error.empty());
    EXPECT_EQ(frames.size(), 4u);
}
