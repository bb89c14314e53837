#pragma once

// Geometry of the sculpt view: the zoom steps, which cell lies under a window point, how far
// the picture may be panned, and the background mask that "Connect by background" reads.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <vector>

namespace corv {

inline constexpr float kSculptMinZoom = 0.1f;
inline constexpr float kSculptMaxZoom = 100.0f;
inline constexpr float kSculptStartZoom = 10.0f;

// One wheel step: in, x 1.25 below 10 and + 10 from there; out, x 0.8 up to 10 and - 10 above.
// Nothing changes at the ends of 0.1 .. 100.
float SculptZoomIn(float zoom);
float SculptZoomOut(float zoom);

// The cell under window point (x, y) when the grid's centre is drawn at `centre`, truncated
// towards zero (a point just left of or above the grid still gives column or row 0).
struct SculptCell {
    int col = 0;
    int row = 0;
};
SculptCell SculptCellAt(int x, int y, QPoint centre, int rows, int cols, float zoom);
// The grid's rectangle on screen for the same centre (the inverse of the mapping above).
QRectF SculptGridRect(QPoint centre, int rows, int cols, float zoom);

// Keeps the picture from being panned so far that its leading edge passes the middle of the
// window.
QPoint LimitSculptCentre(QPoint centre, QSize window, int rows, int cols, float zoom);

// The background picture: `rect` is where it lies over the grid in tenths of a cell (a cell
// is 10 units wide), as the background tools place it.
struct SculptBackground {
    QImage picture;
    QRect rect;
    bool Empty() const { return picture.isNull(); }
};

// Pixels per cell of the mask's drawing: 10 while rows + cols is at most 1000, 5 up to 2000,
// then 1.
int BackgroundMaskScale(int rows, int cols);
// One byte per cell (row-major), 1 where the background drawn at that scale is not black at
// the cell's sample point (col x s + s / 2, row x s + s / 2).
std::vector<std::uint8_t> BuildBackgroundMask(const SculptBackground& background, int rows, int cols);

}  // namespace corv
