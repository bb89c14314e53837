#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <optional>

#include "project/Frame.h"
#include "project/FrameDraw.h"
#include "project/FrameRange.h"

class QScrollBar;

namespace corv {

class Workspace;

// The frame view: the current frame of the current clip drawn `zoom` screen pixels a frame
// pixel (times the grid scale), its centre at `centre`, with the cell grid in 0xDADADA.
// "Image center" fits and centres it; "+" / "-" and the wheel step the zoom (the wheel about
// the cursor); the arrow keys and the scroll bars pan. The mouse draws with the chosen tool,
// or, without one, drags the edit area. Painting reuses one picture buffer.
class CVorlaneView : public QWidget {
    Q_OBJECT
public:
    // Room kept at the right and bottom for the scroll bars.
    static constexpr int kScrollRoom = 18;

    explicit CVorlaneView(Workspace& ws, QWidget* parent = nullptr);

    int zoom() const { return zoom_; }
    QPoint centre() const { return centre_; }
    bool showGrid() const { return showGrid_; }
    void SetShowGrid(bool on);
    // The grid scale comes from the document; this redraws after it changed.
    void GridScaleChanged();
    // "Image center": the centre of the window and the zoom at which the frame fits.
    void ImageCenter();
    // Zoom steps keeping the centre (keys) or the picture point under `at` (the wheel).
    void ZoomIn();
    void ZoomOut();
    void ZoomAbout(bool in, QPoint at);
    // Arrow-key panning: dx, dy in steps of a third of the drawing area (signs give the way
    // the picture moves); `factor` 3 for a whole area (Ctrl), 9 with Shift.
    void Pan(int dx, int dy, int factor);
    // The picture's rectangle on screen, and the drawing area (the client less the scroll bars).
    QRect PictureRect() const;
    QRect DrawingArea() const;
    // The cell under a point of the view (picture coordinates); nullopt outside the picture.
    std::optional<QPoint> CellAt(QPoint at) const;
    QScrollBar* horizontalBar() const { return hbar_; }
    QScrollBar* verticalBar() const { return vbar_; }

    // The edit area: on/off, and the rectangle in frame pixels (right, bottom exclusive). The
    // first time it is switched on it covers the whole frame.
    bool editAreaOn() const { return editAreaOn_; }
    void SetEditAreaOn(bool on);
    std::optional<PixelRect> editArea() const;
    void SetEditArea(const PixelRect& r);

    // The drawing tool and its colour (chosen in the colour panel); None lets the mouse drag the
    // edit area.
    void SetDrawingTool(DrawTool tool, Bgr colour);
    DrawTool drawingTool() const { return tool_; }

    // Empties undo and redo and the view's own stroke buffers (a new or opened project).
    void ResetEditBuffers();
    // Records an operation on the current clip before it changes it (kinds as the history
    // keeps them); the document counts as changed afterwards through its frames.
    void BeginUndo(int kind, int index, std::uint32_t count);

signals:
    // A status line for the window ("Block(l,t,r,b)" while the edit area is dragged).
    void statusMessage(const QString& text);
    // The current frame was drawn on (its undo step is recorded).
    void frameEdited();
    // A drawing stroke begins (playback stops: the stroke stays on its frame).
    void strokeStarted();
    // Number keys 1..9, 0: entry 0..9 of the pattern panel's type list.
    void numberKey(int entry);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int GridX() const;
    int GridY() const;
    Frame* EditableFrame();
    void LimitCentre();
    void UpdateScrollBars();
    void OnScroll();
    QRect EditAreaOnScreen() const;
    void ShowEditArea();
    // A frame point (not clamped) under a screen point, in cells.
    QPoint CellPoint(QPoint at) const;
    void DrawStroke(QPoint cell);

    Workspace& ws_;
    int zoom_ = 10;
    QPoint centre_;
    bool centred_ = false;  // set by the first Image center (on the first showing)
    bool showGrid_ = true;
    QImage picture_;  // the frame's pixels, reused from paint to paint
    QScrollBar* hbar_ = nullptr;
    QScrollBar* vbar_ = nullptr;
    bool scrolling_ = false;  // the bars are being set from the centre

    bool editAreaOn_ = false;
    bool editAreaMade_ = false;
    PixelRect editArea_;
    enum class Drag { None, Band, Move, Draw } drag_ = Drag::None;
    QPoint dragStartCell_;
    PixelRect dragStartArea_;

    DrawTool tool_ = DrawTool::None;
    Bgr colour_{};
    Frame pressCopy_;  // the frame as it was when the stroke began (tools 1..4)
    QPoint pressCell_, lastCell_;
    int strokeFrame_ = -1;  // the frame the stroke draws on
};

// The frame's pixels as an image (top row first).
QImage FrameToImage(const Frame& frame);
// Fills `image` (Format_RGB888 of the frame's size, made when it is not) with the frame's
// pixels without allocating when the size stays.
void FillImage(const Frame& frame, QImage& image);

}  // namespace corv
