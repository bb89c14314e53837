#include "net/TestPatterns.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "controller/ChannelMap.h"

namespace corv::net {

namespace {

constexpr Bgr kWhite{255, 255, 255};

void SetLed(Frame& frame, const LayoutGrid& grid, FrameShape shape, LinePoint p, Bgr colour) {
    if (!grid.Contains(PointRow(p), PointCol(p))) return;
    std::uint8_t* pixel = frame.data() + LedPixelOffset(grid, shape, p);
    pixel[0] = colour.b;
    pixel[1] = colour.g;
    pixel[2] = colour.r;
}

}  // namespace

std::optional<TestPattern> ParseTestPattern(std::string_view name) {
    if (name == "lines") return TestPattern::Lines;
    if (name == "chase") return TestPattern::Chase;
    if (name == "rgb") return TestPattern::Rgb;
    if (name == "white") return TestPattern::White;
    if (name == "off") return TestPattern::Off;
    return std::nullopt;
}

Frame TestPatternFrame(const Layout& layout, TestPattern pattern, std::uint64_t k, int fps) {
    const LayoutGrid& grid = layout.grid;
    const FrameShape shape{grid.rows, grid.cols};
    Frame frame(grid.cols, grid.rows);
    if (pattern == TestPattern::Off || grid.rows == 0 || grid.cols == 0) return frame;
    constexpr Bgr kSteps[] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, kWhite};
    const std::uint64_t second = k / static_cast<std::uint64_t>(std::max(fps, 1));
    const Bgr everyLed = pattern == TestPattern::Rgb ? kSteps[second % std::size(kSteps)] : kWhite;
    for (std::size_t n = 0; n < layout.lines.size(); ++n) {
        const Line& line = layout.lines[n];
        if (line.empty()) continue;
        switch (pattern) {
        case TestPattern::Lines: {
            const Bgr colour = kTestLineColours[n % std::size(kTestLineColours)];
            for (std::size_t led = 0; led < line.size(); ++led) {
                SetLed(frame, grid, shape, line[led], led == 0 ? kWhite : colour);
            }
            break;
        }
        case TestPattern::Chase:
            SetLed(frame, grid, shape, line[static_cast<std::size_t>(k % line.size())], kWhite);
            break;
        default:
            for (const LinePoint p : line) SetLed(frame, grid, shape, p, everyLed);
            break;
        }
    }
    return frame;
}

}  // namespace corv::net
