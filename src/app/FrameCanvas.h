#pragma once

#include <QImage>
#include <QWidget>

namespace corv {

class FrameStore;

// Shows the current frame of the current clip, fitted and centred in the widget.
class FrameCanvas : public QWidget {
    Q_OBJECT
public:
    FrameCanvas(FrameStore& frames, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FrameStore& frames_;
};

// The frame's pixels as an image (top row first).
class Frame;
QImage FrameToImage(const Frame& frame);

}  // namespace corv
