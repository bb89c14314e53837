#pragma once

#include "app/sculpt/tools/SelectRangeTool.h"

namespace corv {

// Cut, Copy and Delete: Copy takes the rectangle's points into the view clipboard, Delete
// removes them once the user agrees, Cut does both.
class ZoneTool : public SelectRangeTool {
public:
    enum class Action { Cut, Copy, Delete };

    ZoneTool(SculptToolContext& view, Action action) : SelectRangeTool(view), action_(action) {}

protected:
    void Apply(const CellRect& r, const Drag& drag, bool ctrl) override;

private:
    void DeleteAsked(const CellRect& r);

    Action action_;
};

}  // namespace corv
