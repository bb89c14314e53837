#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

namespace corv {

class FrameStore;
class Frame;

// The frame view: the current frame of the current clip drawn `zoom` screen pixels a frame
// pixel (times the grid scale), its centre at `centre`, with the cell grid in 0xDADADA.
// "Image center" fits and centres it; "+" / "-" and the wheel step the zoom (the wheel about
// the cursor); painting reuses one picture buffer instead of making one per frame.
class FrameCanvas : public QWidget {
    Q_OBJECT
public:
    FrameCanvas(FrameStore& frames, QWidget* parent = nullptr);

    int zoom() const { return zoom_; }
    QPoint centre() const { return centre_; }
    bool showGrid() const { return showGrid_; }
    void SetShowGrid(bool on);
    void SetGridScale(int x, int y);
    // "Image center": the centre of the window and the zoom at which the frame fits.
    void ImageCenter();
    // Zoom steps keeping the centre (keys) or the picture point under `at` (the wheel).
    void ZoomIn();
    void ZoomOut();
    void ZoomAbout(bool in, QPoint at);
    // The picture's rectangle on screen.
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    FrameStore& frames_;
    int zoom_ = 10;
    QPoint centre_;
    bool centred_ = false;  // set by the first Image center (on the first showing)
    bool showGrid_ = true;
    int gridScaleX_ = 1;
    int gridScaleY_ = 1;
    QImage picture_;  // the frame's pixels, reused from paint to paint
};

// The frame's pixels as an image (top row first).
QImage FrameToImage(const Frame& frame);
// Fills `image` (Format_RGB888 of the frame's size, made when it is not) with the frame's
// pixels without allocating when the size stays.
void FillImage(const Frame& frame, QImage& image);

}  // namespace corv
