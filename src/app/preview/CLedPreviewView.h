#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <vector>

#include "controller/Budget.h"
#include "preview/LedPreview.h"

namespace corv {

class Workspace;

// The LED preview: dots on black, zoomed and panned like the sculpt view.
class CLedPreviewView : public QWidget {
    Q_OBJECT
public:
    CLedPreviewView(Workspace& ws, QWidget* parent = nullptr);
    bool glow = true;
    // The current view: each LED tinted by the current it draws in the frame shown (black none,
    // through red and yellow to white at every component full), each line's amps written at
    // its first LED; by the power budget's rules with `currents`.
    bool currentView = false;
    BudgetOptions currents;
    // The layout changed: the dots are collected again.
    void Refresh();
    const std::vector<LedDot>& dots() const { return dots_; }
    double cell() const { return cell_; }
    void SetCell(double cell);
    QPointF scroll() const { return scroll_; }
    // Fits the grid into the window.
    void Fit();
    // The picture as drawn (for tests and the benchmark).
    QImage Render(QSize size);

protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    LedPlacement Placement(QSize size) const;
    // The current view of `frame` into `image`.
    void DrawCurrents(QImage& image, const Frame& frame, const LedPlacement& place);

    Workspace& ws_;
    std::vector<LedDot> dots_;
    FrameShape shape_{};
    double cell_ = 0;  // 0: fit the window
    QPointF scroll_;
    QPointF dragFrom_;
    QImage buffer_;
};

}  // namespace corv
