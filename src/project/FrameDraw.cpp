#include "project/FrameDraw.h"

#include "base/LineWalk.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace corv {

namespace {
bool Inside(const Frame& f, int x, int y) { return x >= 0 && y >= 0 && x < f.width() && y < f.height(); }
Bgr Get(const Frame& f, int x, int y) { return f.Pixel(x, y); }
void Put(Frame& f, int x, int y, Bgr c) { f.SetPixel(x, y, c); }
}  // namespace

bool SetCell(Frame& frame, int x, int y, Bgr colour) {
    if (!Inside(frame, x, y)) return false;
    Put(frame, x, y, colour);
    return true;
}

void DrawLine(Frame& frame, int x0, int y0, int x1, int y1, Bgr colour) {
    WalkLine(x0, y0, x1, y1, [&](int x, int y) { SetCell(frame, x, y, colour); });
}

void DrawRectangle(Frame& frame, int x0, int y0, int x1, int y1, Bgr colour) {
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    DrawLine(frame, x0, y0, x1, y0, colour);
    DrawLine(frame, x0, y1, x1, y1, colour);
    DrawLine(frame, x0, y0, x0, y1, colour);
    DrawLine(frame, x1, y0, x1, y1, colour);
}

long FloodFill(Frame& frame, int x, int y, Bgr colour) {
    if (!Inside(frame, x, y)) return 0;
    const Bgr old = Get(frame, x, y);
    if (old == colour) return 0;
    // Scan-line fill with an explicit stack: no recursion depth on large frames.
    long changed = 0;
    std::vector<std::pair<int, int>> stack{{x, y}};
    while (!stack.empty()) {
        auto [sx, sy] = stack.back();
        stack.pop_back();
        if (Get(frame, sx, sy) != old) continue;
        int left = sx, right = sx;
        while (left > 0 && Get(frame, left - 1, sy) == old) --left;
        while (right + 1 < frame.width() && Get(frame, right + 1, sy) == old) ++right;
        for (int cx = left; cx <= right; ++cx) {
            Put(frame, cx, sy, colour);
            ++changed;
        }
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= frame.height()) continue;
            bool run = false;
            for (int cx = left; cx <= right; ++cx) {
                const bool same = Get(frame, cx, ny) == old;
                if (same && !run) stack.emplace_back(cx, ny);
                run = same;
            }
        }
    }
    return changed;
}

}  // namespace corv
