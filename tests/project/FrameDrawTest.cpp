#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "project/FrameDraw.h"

using namespace corv;

namespace {

constexpr Bgr kInk{0, 0, 255};

// The frame as rows of '#' (ink) and '.' (anything else), top row first.
std::string Picture(const Frame& f) {
    std::string s;
    for (int y = 0; y < f.height(); ++y) {
        for (int x = 0; x < f.width(); ++x) s += f.Pixel(x, y) == kInk ? '#' : '.';
        s += '\n';
    }
    return s;
}

}  // namespace

TEST(FrameDraw, CellsLinesAndRectanglesStayInsideTheFrame) {
    Frame f(5, 4);
    EXPECT_TRUE(SetCell(f, 4, 3, kInk));
    EXPECT_FALSE(SetCell(f, 5, 0, kInk));
    EXPECT_FALSE(SetCell(f, -1, 0, kInk));
    EXPECT_EQ(Picture(f), ".....\n.....\n.....\n....#\n");

    Frame line(5, 4);
    DrawLine(line, 0, 0, 4, 2, kInk);  // a shallow diagonal: one cell per column
    EXPECT_EQ(Picture(line), "#....\n.##..\n...##\n.....\n");
    Frame back(5, 4);
    DrawLine(back, 4, 2, 0, 0, kInk);  // the same cells drawn the other way round
    const std::string drawn = Picture(back);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), '#'), 5);
    EXPECT_EQ(back.Pixel(0, 0), kInk);
    EXPECT_EQ(back.Pixel(4, 2), kInk);

    Frame clipped(3, 3);
    DrawLine(clipped, -5, 1, 10, 1, kInk);  // ends far outside: only the cells inside are set
    EXPECT_EQ(Picture(clipped), "...\n###\n...\n");

    Frame box(5, 4);
    DrawRectangle(box, 3, 2, 1, 0, kInk);  // corners in any order
    EXPECT_EQ(Picture(box), ".###.\n.#.#.\n.###.\n.....\n");
    Frame dot(2, 2);
    DrawRectangle(dot, 1, 1, 1, 1, kInk);
    EXPECT_EQ(Picture(dot), "..\n.#\n");
}

TEST(FrameDraw, FloodFillTakesTheAreaOfEqualColourOnly) {
    Frame f(6, 5);
    // A wall splits the frame: the fill from the left must not pass it (diagonal gaps do not
    // connect areas).
    DrawLine(f, 3, 0, 3, 2, kInk);
    DrawLine(f, 3, 2, 5, 4, kInk);
    Frame left = f;
    const Bgr green{0, 255, 0};
    const long changed = FloodFill(left, 0, 0, green);
    int greens = 0;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) greens += left.Pixel(x, y) == green;
    }
    EXPECT_EQ(changed, greens);
    EXPECT_EQ(left.Pixel(5, 0), f.Pixel(5, 0));  // beyond the wall: unchanged
    EXPECT_EQ(left.Pixel(0, 4), green);
    EXPECT_EQ(left.Pixel(3, 0), kInk);           // the wall itself stays
    // Filling with the colour already there changes nothing; outside the frame neither.
    EXPECT_EQ(FloodFill(left, 0, 0, green), 0);
    EXPECT_EQ(FloodFill(left, 9, 9, kInk), 0);
    // A large frame filled whole: no recursion limit.
    Frame big(1500, 1500);
    EXPECT_EQ(FloodFill(big, 700, 700, kInk), 1500L * 1500L);
}
