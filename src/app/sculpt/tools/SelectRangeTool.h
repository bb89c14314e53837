#pragma once

#include <cstdint>
#include <vector>

#include "app/sculpt/tools/SculptTool.h"

namespace corv {

// The tools that work on a rectangle of cells, dragged from one corner to the other or clicked
// corner by corner: Add, Cut, Copy, Array copy, Save as module, Pixels repeat and Delete.
class SelectRangeTool : public SculptTool {
public:
    using SculptTool::SculptTool;

    void Press(const SculptMouse& m) override;
    void Move(const SculptMouse& m) override;
    void Release(const SculptMouse& m) override;

    // The rectangle from a start and an end cell, clipped to the grid (Ctrl for Add's form):
    // ends the drag and does the tool's work on it.
    void Run(int sx, int sy, int ex, int ey, bool ctrl);

protected:
    // Whether a press and a release on one cell work on that cell (Add); the other tools wait
    // for a second click.
    virtual bool RunsOnClick() const { return false; }
    // The tool's work on a rectangle within the grid; `drag` runs from the start to the end cell.
    virtual void Apply(const CellRect& r, const Drag& drag, bool ctrl) = 0;

    // The points of the first line with points inside the rectangle, relative to its corner.
    std::vector<std::uint32_t> FirstLineInside(const CellRect& r) const;
};

}  // namespace corv
