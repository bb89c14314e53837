#pragma once

#include "app/sculpt/tools/SculptTool.h"

namespace corv {

// Edit background: the left button paints cells of the background white (allowed), the right
// one black (forbidden), while the button is held; the mask is built again on the release.
class EditBackgroundTool : public SculptTool {
public:
    using SculptTool::SculptTool;

    void Chosen() override { painting_ = false; }
    bool Takes(Qt::MouseButton button) const override {
        return button == Qt::LeftButton || button == Qt::RightButton;
    }
    void Press(const SculptMouse& m) override;
    void Move(const SculptMouse& m) override;
    void Release(const SculptMouse& m) override;

private:
    void PaintCell(int col, int row, bool on);

    bool painting_ = false;  // a button is down
    bool paintOn_ = true;
};

}  // namespace corv
