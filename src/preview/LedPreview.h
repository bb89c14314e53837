#pragma once

// The LED preview: every LED of a layout at its cell, lit with the colour the controller
// output reads for it from a frame (the same pixel rule as the channel map), drawn as round
// dots with an optional soft glow on black.

#include <QImage>
#include <QPointF>
#include <vector>

#include "controller/ChannelMap.h"
#include "layout/Layout.h"
#include "project/Frame.h"

namespace corv {

struct LedDot {
    int row = 0, col = 0;
    std::uint32_t offset = 0;  // the frame byte of the LED's blue; green and red follow
};

// The LEDs the lines drive (one dot per cell; a cell on several lines shows the first), with
// the frame bytes they read from a frame of `frame`'s shape.
std::vector<LedDot> CollectLeds(const Layout& layout, FrameShape frame);

// The colour an LED shows: the three bytes at its offset (black past the frame's end).
Bgr LedColour(const Frame& frame, const LedDot& dot);

// How the grid lies in a picture: the top-left corner of cell (0, 0) and the cell size.
struct LedPlacement {
    QPointF origin;
    double cell = 8;
};

// Draws the dots into `target` (RGB32, black already or whatever lies under them). Large
// drawings are shared out by bands of rows among `threads` threads (0: as many as the machine
// has cores, up to 4), with the same result as one.
void DrawLeds(QImage& target, const std::vector<LedDot>& dots, const Frame& frame, const LedPlacement& place, bool glow, int threads = 0);

// A picture of the layout lit by a frame: the grid fitted into `size`, centred.
LedPlacement FitGrid(const LayoutGrid& grid, QSize size);
QImage RenderLedImage(const Layout& layout, const Frame& frame, QSize size, bool glow);

}  // namespace corv
