#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "layout/Layout.h"
#include "project/Frame.h"

namespace corv::net {

// Commissioning patterns: frames that show whether every controller, line and LED is wired as
// the layout says.
enum class TestPattern {
    Lines,  // each line's LEDs in its own colour (kTestLineColours, in turn), its first LED white
    Chase,  // each line lights one LED (white), one step a frame along its wiring order
    Rgb,    // every LED red, then green, then blue, then white, one step a second
    White,  // every LED white
    Off,    // every LED black
};

// The colours of `lines`, line 1 the first, line 9 the first again, ...
inline constexpr Bgr kTestLineColours[] = {
    {0, 0, 255},    // red
    {0, 255, 0},    // green
    {255, 0, 0},    // blue
    {0, 255, 255},  // yellow
    {255, 255, 0},  // cyan
    {255, 0, 255},  // magenta
    {0, 128, 255},  // orange
    {255, 0, 128},  // violet
};

// The frames a second a pattern plays at unless told otherwise.
inline constexpr int kTestPatternFps = 25;

// "lines", "chase", "rgb", "white", "off"; nothing for another name.
std::optional<TestPattern> ParseTestPattern(std::string_view name);

// Frame k (0-based) of `pattern` played at `fps` frames a second, of the layout's grid size:
// each LED's cell set, every other cell black.
Frame TestPatternFrame(const Layout& layout, TestPattern pattern, std::uint64_t k, int fps);

}  // namespace corv::net
