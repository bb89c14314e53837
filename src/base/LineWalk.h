#pragma once

#include <cstdlib>

namespace corv {

// Visits the cells of a straight line from (x0, y0) to (x1, y1), both ends included
// (Bresenham: every step moves one cell along the longer axis).
template <class Plot>
void WalkLine(int x0, int y0, int x1, int y1, Plot&& plot) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        plot(x0, y0);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

}  // namespace corv
