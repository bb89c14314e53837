#include "app/FrameCanvas.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include "project/FrameStore.h"
#include "workspace/FrameViewRules.h"

namespace corv {

void FillImage(const Frame& frame, QImage& image) {
    if (image.width() != frame.width() || image.height() != frame.height() || image.format() != QImage::Format_RGB888) {
        image = QImage(frame.width(), frame.height(), QImage::Format_RGB888);
    }
    for (int y = 0; y < frame.height(); ++y) {
        uchar* out = image.scanLine(y);
        const std::uint8_t* in = frame.PixelAt(0, y);
        for (int x = 0; x < frame.width(); ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
}

QImage FrameToImage(const Frame& frame) {
    QImage image;
    FillImage(frame, image);
    return image;
}

FrameCanvas::FrameCanvas(FrameStore& frames, QWidget* parent) : QWidget(parent), frames_(frames) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void FrameCanvas::SetShowGrid(bool on) {
    showGrid_ = on;
    update();
}

void FrameCanvas::SetGridScale(int x, int y) {
    gridScaleX_ = std::max(1, x);
    gridScaleY_ = std::max(1, y);
    update();
}

QRect FrameCanvas::PictureRect() const {
    const Frame* f = frames_.CurrentFrame();
    if (!f) return {};
    const int w = f->width() * gridScaleX_ * zoom_, h = f->height() * gridScaleY_ * zoom_;
    return QRect(centre_.x() - w / 2, centre_.y() - h / 2, w, h);
}

void FrameCanvas::ImageCenter() {
    centre_ = rect().center();
    centred_ = true;
    if (const Frame* f = frames_.CurrentFrame()) {
        zoom_ = FitZoom(width(), height(), f->width(), f->height(), gridScaleX_, gridScaleY_);
    }
    update();
}

void FrameCanvas::ZoomIn() {
    zoom_ = ZoomUp(zoom_);
    update();
}

void FrameCanvas::ZoomOut() {
    zoom_ = ZoomDown(zoom_);
    update();
}

void FrameCanvas::ZoomAbout(bool in, QPoint at) {
    // The picture point under `at` (in frame pixels) comes to the middle of the window.
    const QRect before = PictureRect();
    const double fx = before.width() ? static_cast<double>(at.x() - before.left()) / before.width() : 0.5;
    const double fy = before.height() ? static_cast<double>(at.y() - before.top()) / before.height() : 0.5;
    zoom_ = in ? ZoomUp(zoom_) : ZoomDown(zoom_);
    const QRect after = PictureRect();
    const QPoint middle = rect().center();
    centre_ = QPoint(middle.x() - static_cast<int>(fx * after.width()) + after.width() / 2,
                     middle.y() - static_cast<int>(fy * after.height()) + after.height() / 2);
    update();
}

void FrameCanvas::resizeEvent(QResizeEvent*) {
    if (!centred_) ImageCenter();
}

void FrameCanvas::wheelEvent(QWheelEvent* event) {
    if (event->angleDelta().y() != 0) ZoomAbout(event->angleDelta().y() > 0, event->position().toPoint());
    event->accept();
}

void FrameCanvas::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            ZoomIn();
            return;
        case Qt::Key_Minus:
            ZoomOut();
            return;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            // A third of the window; with Ctrl the whole window, with Shift three times it.
            const bool across = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
            int step = (across ? width() : height()) / 3;
            if (event->modifiers() & Qt::ControlModifier) step = across ? width() : height();
            if (event->modifiers() & Qt::ShiftModifier) step *= 3;
            const int sign = event->key() == Qt::Key_Left || event->key() == Qt::Key_Up ? 1 : -1;
            QPoint c = centre_ + (across ? QPoint(sign * step, 0) : QPoint(0, sign * step));
            // At most half of the picture leaves the drawing area.
            const QRect r = PictureRect();
            c.setX(std::clamp(c.x(), -r.width() / 2 + 1, width() + r.width() / 2 - 1));
            c.setY(std::clamp(c.y(), -r.height() / 2 + 1, height() + r.height() / 2 - 1));
            centre_ = c;
            update();
            return;
        }
        default:
            QWidget::keyPressEvent(event);
    }
}

void FrameCanvas::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), Qt::black);
    const Frame* frame = frames_.CurrentFrame();
    if (!frame || frame->width() == 0 || frame->height() == 0) return;
    FillImage(*frame, picture_);
    const QRect target = PictureRect();
    const QRect visible = target.intersected(rect());
    if (visible.isEmpty()) return;
    // Only the part of the frame on screen is scaled: a large zoom costs no more than a small one.
    const double sx = static_cast<double>(target.width()) / frame->width();
    const double sy = static_cast<double>(target.height()) / frame->height();
    const int x0 = static_cast<int>((visible.left() - target.left()) / sx);
    const int y0 = static_cast<int>((visible.top() - target.top()) / sy);
    const int x1 = std::min(frame->width(), static_cast<int>((visible.right() - target.left()) / sx) + 1);
    const int y1 = std::min(frame->height(), static_cast<int>((visible.bottom() - target.top()) / sy) + 1);
    const QRect source(x0, y0, x1 - x0, y1 - y0);
    const QRect shown(target.left() + static_cast<int>(x0 * sx), target.top() + static_cast<int>(y0 * sy),
                      static_cast<int>(source.width() * sx), static_cast<int>(source.height() * sy));
    p.drawImage(shown, picture_, source);
    if (showGrid_ && zoom_ * std::min(gridScaleX_, gridScaleY_) >= 3) {
        p.setPen(QColor(0xDA, 0xDA, 0xDA));
        const int stepX = gridScaleX_ * zoom_, stepY = gridScaleY_ * zoom_;
        for (int c = x0; c <= x1; ++c) {
            const int x = target.left() + c * stepX;
            p.drawLine(x, visible.top(), x, visible.bottom());
        }
        for (int r = y0; r <= y1; ++r) {
            const int y = target.top() + r * stepY;
            p.drawLine(visible.left(), y, visible.right(), y);
        }
    }
}

}  // namespace corv
