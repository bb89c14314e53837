#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <cstdint>

namespace corv {

// The see-through frame that marks the screen region a video capture reads. It floats above
// every window; dragging inside moves it and pressing near an edge or a corner resizes it.
class CaptureWindow : public QWidget {
    Q_OBJECT
public:
    // Language 1 and 2 caption the window in Chinese, anything else in English.
    explicit CaptureWindow(std::uint8_t language, QWidget* parent = nullptr);

    // The marked region in global screen coordinates.
    QRect region() const { return geometry(); }
    // Moves and sizes the window without reporting it back through regionChanged.
    void SetRegion(const QRect& region);
    // Ends a move or resize in progress (a question box that takes over the mouse would
    // otherwise leave the window following the pointer).
    void CancelDrag();

    // Width of the band along the border where a press resizes instead of moving.
    static constexpr int kEdge = 6;
    // Smallest side a resize by the mouse leaves, so the grips stay reachable.
    static constexpr int kMinimumSide = 2 * kEdge + 4;

signals:
    // The user moved or resized the window; the new global rectangle.
    void regionChanged(QRect region);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Qt::Edges EdgesAt(const QPoint& local) const;
    void ShowCursorFor(Qt::Edges edges);

    QString caption_;
    bool dragging_ = false;
    Qt::Edges dragEdges_;       // empty while moving
    QPoint pressGlobal_;
    QRect pressGeometry_;
};

}  // namespace corv
