#pragma once

#include "project/Frame.h"

namespace corv {

// Drawing on the cells of a frame with the frame view's tools (picture coordinates, row 0 at
// the top; points outside the frame are left out).
enum class DrawTool { None = 0, Pen = 1, Brush = 2, Line = 3, Rectangle = 4, Fill = 5 };

// Sets one cell; false when it lies outside the frame.
bool SetCell(Frame& frame, int x, int y, Bgr colour);
// A one-cell wide straight line from (x0, y0) to (x1, y1), both ends included.
void DrawLine(Frame& frame, int x0, int y0, int x1, int y1, Bgr colour);
// The outline of the rectangle with corners (x0, y0) and (x1, y1), both included.
void DrawRectangle(Frame& frame, int x0, int y0, int x1, int y1, Bgr colour);
// Fills the area of equal colour around (x, y) (cells meeting at an edge) with `colour`;
// returns the number of cells changed.
long FloodFill(Frame& frame, int x, int y, Bgr colour);

}  // namespace corv
