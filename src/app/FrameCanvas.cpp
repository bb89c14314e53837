#include "app/FrameCanvas.h"

#include <QImage>
#include <QPainter>

#include "project/FrameStore.h"

namespace corv {

QImage FrameToImage(const Frame& frame) {
    QImage image(frame.width(), frame.height(), QImage::Format_RGB888);
    for (int y = 0; y < frame.height(); ++y) {
        uchar* out = image.scanLine(y);
        const std::uint8_t* in = frame.PixelAt(0, y);
        for (int x = 0; x < frame.width(); ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    return image;
}

FrameCanvas::FrameCanvas(FrameStore& frames, QWidget* parent) : QWidget(parent), frames_(frames) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(pal);
    setMinimumSize(200, 150);
}

void FrameCanvas::paintEvent(QPaintEvent*) {
    const Frame* frame = frames_.CurrentFrame();
    if (!frame || frame->width() == 0 || frame->height() == 0) {
        return;
    }
    QPainter p(this);
    const QImage image = FrameToImage(*frame);
    // Whole-pixel zoom so every LED cell stays a crisp square.
    const int zoom = std::max(1, std::min(width() / frame->width(), height() / frame->height()));
    const QSize size(frame->width() * zoom, frame->height() * zoom);
    const QRect target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(), size.height());
    p.drawImage(target, image);
    p.setPen(QColor(96, 96, 96));
    p.drawRect(target.adjusted(-1, -1, 0, 0));
}

}  // namespace corv
