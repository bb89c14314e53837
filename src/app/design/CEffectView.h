#pragma once

#include <QPointF>
#include <QWidget>

class QScrollBar;
#include <functional>

#include "content/DesignEdit.h"

namespace corv {

class Workspace;

// The design canvas: the layers drawn at a zoom, centred in the view, with the selection's
// handles. The select tool clicks, drags a rubber band, moves the selection and resizes the
// last selected item by its corner handles; the shape tools create an item of their kind by
// dragging, the point tools (polyline, polygon) by clicks ended with a double click. The round
// handle above the last selected item turns it (Shift: in steps of 15 degrees). A canvas
// larger than the window pans by its scroll bars, the middle button or the arrow keys.
class CEffectView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSelectTool = 0;  // other tools are item kinds

    explicit CEffectView(Workspace& ws, QWidget* parent = nullptr);

    int currentLayer = 0;
    Selection selection;
    int tool = kSelectTool;
    std::size_t tick = 0;  // the play time shown
    // What new items take from the tool panel.
    std::uint32_t colour = 0xFF0000;
    int lineWidth = 1;
    bool fill = true;
    int parameter = 20;
    // Called for the items the view cannot make from a drag alone (text, picture), with the box.
    std::function<std::unique_ptr<EffectItem>(int kind, QRectF box)> makeItem;

    EffectLayer* layer();
    QSize canvas() const;
    double zoom() const { return zoom_; }
    void SetZoom(double zoom);
    // How far the canvas is scrolled from centred, in window pixels.
    QPoint scroll() const;
    void SetScroll(QPoint offset);
    // Canvas and window points.
    QPointF ToCanvas(QPointF window) const;
    QPointF ToWindow(QPointF canvas) const;
    void ClearSelection();

signals:
    // An edit is done (the frame records a snapshot and refreshes the panel).
    void edited();
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // The corner handle of the last selected item under a window point: 0..3, -1 none.
    int HandleAt(QPointF window) const;
    // The turning handle of the last selected item, in window points.
    QPointF RotateHandle() const;
    QRectF CanvasRect() const;
    // The scroll bars' ranges follow the zoomed canvas and the window.
    void UpdateScrollBars();

    Workspace& ws_;
    double zoom_ = 1.0;
    enum class Drag { None, Band, Move, Resize, Rotate, Create, Pan } drag_ = Drag::None;
    QScrollBar* hbar_;
    QScrollBar* vbar_;
    QPointF panFrom_;  // window point of a middle-button pan
    QPointF pressAt_, lastAt_;  // canvas points
    int handle_ = -1;
    bool moved_ = false;
    std::unique_ptr<EffectItem> pointsItem_;  // a polyline or polygon being clicked
};

}  // namespace corv
