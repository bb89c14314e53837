#include "app/media/CaptureWindow.h"

#include "lang/QtText.h"
#include "lang/messages/MediaMessages.h"

#include <QCursor>
#include <QFont>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace corv {

CaptureWindow::CaptureWindow(std::uint8_t language, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      caption_(RenderQt(msg::media::kCaptureWindowCaption, language)) {
    setObjectName(QStringLiteral("captureWindow"));
    setWindowOpacity(98.0 / 255);
    // Tracking the pointer without a button lets the cursor announce the resize grips.
    setMouseTracking(true);
    setMinimumSize(1, 1);
    setCursor(Qt::SizeAllCursor);
}

void CaptureWindow::SetRegion(const QRect& region) {
    if (region.isValid() && region != geometry()) setGeometry(region);
}

void CaptureWindow::CancelDrag() {
    dragging_ = false;
    dragEdges_ = {};
}

Qt::Edges CaptureWindow::EdgesAt(const QPoint& p) const {
    Qt::Edges edges;
    if (p.x() < kEdge) edges |= Qt::LeftEdge;
    if (p.x() >= width() - kEdge) edges |= Qt::RightEdge;
    if (p.y() < kEdge) edges |= Qt::TopEdge;
    if (p.y() >= height() - kEdge) edges |= Qt::BottomEdge;
    // A window narrower than two bands would claim both sides; the nearer one wins.
    if (edges.testFlag(Qt::LeftEdge) && edges.testFlag(Qt::RightEdge)) {
        edges.setFlag(p.x() < width() / 2 ? Qt::RightEdge : Qt::LeftEdge, false);
    }
    if (edges.testFlag(Qt::TopEdge) && edges.testFlag(Qt::BottomEdge)) {
        edges.setFlag(p.y() < height() / 2 ? Qt::BottomEdge : Qt::TopEdge, false);
    }
    return edges;
}

void CaptureWindow::ShowCursorFor(Qt::Edges edges) {
    const bool horizontal = edges.testFlag(Qt::LeftEdge) || edges.testFlag(Qt::RightEdge);
    const bool vertical = edges.testFlag(Qt::TopEdge) || edges.testFlag(Qt::BottomEdge);
    Qt::CursorShape shape = Qt::SizeAllCursor;
    if (horizontal && vertical) {
        // Top-left and bottom-right run along the falling diagonal.
        const bool falling = edges.testFlag(Qt::LeftEdge) == edges.testFlag(Qt::TopEdge);
        shape = falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    } else if (horizontal) {
        shape = Qt::SizeHorCursor;
    } else if (vertical) {
        shape = Qt::SizeVerCursor;
    }
    if (cursor().shape() != shape) setCursor(shape);
}

void CaptureWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(255, 255, 255));
    painter.setPen(QColor(255, 0, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    // As large as the window allows, so the region stays recognisable when it is small.
    QFont font = painter.font();
    font.setBold(true);
    int size = 36;
    font.setPointSize(size);
    while (size > 6) {
        const QFontMetrics metrics(font);
        // Two lines where one does not fit ("Capture" over "window").
        const QRect inner = rect().adjusted(kEdge, kEdge, -kEdge, -kEdge);
        const QRect need = metrics.boundingRect(inner, Qt::AlignCenter | Qt::TextWordWrap, caption_);
        const bool fits = need.width() <= inner.width() && need.height() <= inner.height();
        if (fits) break;
        size -= 2;
        font.setPointSize(size);
    }
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 0));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, caption_);
}

void CaptureWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragEdges_ = EdgesAt(event->position().toPoint());
    pressGlobal_ = event->globalPosition().toPoint();
    pressGeometry_ = geometry();
    ShowCursorFor(dragEdges_);
    event->accept();
}

void CaptureWindow::mouseMoveEvent(QMouseEvent* event) {
    // The release may have gone to another window (a message box, a window manager grab).
    if (dragging_ && !event->buttons().testFlag(Qt::LeftButton)) CancelDrag();
    if (!dragging_) {
        ShowCursorFor(EdgesAt(event->position().toPoint()));
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - pressGlobal_;
    QRect r = pressGeometry_;
    if (!dragEdges_) {
        r.translate(delta);
    } else {
        const QRect& from = pressGeometry_;
        const int minSide = std::min(kMinimumSide, std::min(from.width(), from.height()));
        const Qt::Edges e = dragEdges_;
        // Each edge moves on its own; the opposite edge stays where it was.
        if (e.testFlag(Qt::LeftEdge)) r.setLeft(std::min(from.left() + delta.x(), r.right() + 1 - minSide));
        if (e.testFlag(Qt::RightEdge)) r.setRight(std::max(from.right() + delta.x(), r.left() - 1 + minSide));
        if (e.testFlag(Qt::TopEdge)) r.setTop(std::min(from.top() + delta.y(), r.bottom() + 1 - minSide));
        if (e.testFlag(Qt::BottomEdge)) r.setBottom(std::max(from.bottom() + delta.y(), r.top() - 1 + minSide));
    }
    if (r == geometry()) return;
    setGeometry(r);
    emit regionChanged(r);
}

void CaptureWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) CancelDrag();
    ShowCursorFor(EdgesAt(event->position().toPoint()));
}

}  // namespace corv
