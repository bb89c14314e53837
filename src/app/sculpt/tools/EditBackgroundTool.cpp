#include "app/sculpt/tools/EditBackgroundTool.h"

#include <QPainter>

#include "workspace/Workspace.h"

namespace corv {

void EditBackgroundTool::Press(const SculptMouse& m) {
    painting_ = true;
    paintOn_ = m.button == Qt::LeftButton;
    PaintCell(m.cell.col, m.cell.row, paintOn_);
}

void EditBackgroundTool::Move(const SculptMouse& m) {
    if (painting_) PaintCell(m.cell.col, m.cell.row, paintOn_);
}

void EditBackgroundTool::Release(const SculptMouse&) {
    if (!painting_) return;
    painting_ = false;
    const LayoutGrid& grid = view_.workspace().layout.grid;
    view_.EditedMask() = BuildBackgroundMask(view_.EditedBackground(), grid.rows, grid.cols);
}

void EditBackgroundTool::PaintCell(int col, int row, bool on) {
    const LayoutGrid& grid = view_.workspace().layout.grid;
    if (!grid.Contains(row, col)) return;
    SculptBackground& background = view_.EditedBackground();
    std::vector<std::uint8_t>& mask = view_.EditedMask();
    if (background.Empty()) {
        QImage picture(grid.cols, grid.rows, QImage::Format_RGB32);
        picture.fill(Qt::black);
        background = {picture, QRect(0, 0, grid.cols * 10, grid.rows * 10)};
        mask.assign(static_cast<std::size_t>(grid.rows) * grid.cols, 0);
    }
    // The cell's square in the picture's pixels.
    const QRect& r = background.rect;
    const double sx = background.picture.width() / static_cast<double>(r.width());
    const double sy = background.picture.height() / static_cast<double>(r.height());
    const QRectF cell((col * 10 - r.x()) * sx, (row * 10 - r.y()) * sy, 10 * sx, 10 * sy);
    {
        QPainter p(&background.picture);
        p.fillRect(cell.toAlignedRect(), on ? Qt::white : Qt::black);
    }
    if (mask.size() == static_cast<std::size_t>(grid.rows) * grid.cols) {
        mask[static_cast<std::size_t>(row) * grid.cols + static_cast<std::size_t>(col)] = on ? 1 : 0;
    }
    view_.Repaint();
}

}  // namespace corv
