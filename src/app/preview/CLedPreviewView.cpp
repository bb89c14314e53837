#include "app/preview/CLedPreviewView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

#include "lang/QtText.h"
#include "lang/messages/PreviewMessages.h"
#include "workspace/Workspace.h"

namespace corv {

CLedPreviewView::CLedPreviewView(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
    setObjectName(QStringLiteral("ledPreview"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CLedPreviewView::Refresh() {
    shape_ = {};
    dots_.clear();
    update();
}

void CLedPreviewView::SetCell(double cell) {
    cell_ = std::clamp(cell, 0.1, 100.0);
    update();
}

void CLedPreviewView::Fit() {
    cell_ = 0;
    scroll_ = {};
    update();
}

LedPlacement CLedPreviewView::Placement(QSize size) const {
    LedPlacement p = FitGrid(ws_.layout.grid, size);
    if (cell_ > 0) {
        p.cell = cell_;
        p.origin = QPointF((size.width() - cell_ * ws_.layout.grid.cols) / 2, (size.height() - cell_ * ws_.layout.grid.rows) / 2);
    }
    p.origin -= scroll_;
    return p;
}

QImage CLedPreviewView::Render(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    const Frame* frame = ws_.frames.CurrentFrame();
    if (!frame) return image;
    // The dots follow the frame's shape (the layout's cells scaled to it, as the output does).
    const FrameShape shape{frame->height(), frame->width()};
    if (shape.rows != shape_.rows || shape.cols != shape_.cols || dots_.empty()) {
        dots_ = CollectLeds(ws_.layout, shape);
        shape_ = shape;
    }
    DrawLeds(image, dots_, *frame, Placement(size), glow);
    return image;
}

void CLedPreviewView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Render(size()));
    if (dots_.empty()) {
        p.setPen(Qt::white);
        p.drawText(rect(), Qt::AlignCenter,
                   RenderQt(msg::preview::kNoLedsOnLines, ws_.app.language));
    }
}

void CLedPreviewView::wheelEvent(QWheelEvent* e) {
    const double current = Placement(size()).cell;
    SetCell(e->angleDelta().y() > 0 ? current * 1.25 : current * 0.8);
    e->accept();
}

void CLedPreviewView::keyPressEvent(QKeyEvent* e) {
    const double stepX = width() / 3.0, stepY = height() / 3.0;
    switch (e->key()) {
        case Qt::Key_Left: scroll_.rx() -= stepX; break;
        case Qt::Key_Right: scroll_.rx() += stepX; break;
        case Qt::Key_Up: scroll_.ry() -= stepY; break;
        case Qt::Key_Down: scroll_.ry() += stepY; break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: SetCell(Placement(size()).cell * 1.25); return;
        case Qt::Key_Minus: SetCell(Placement(size()).cell * 0.8); return;
        case Qt::Key_Home: Fit(); return;
        default: return QWidget::keyPressEvent(e);
    }
    update();
}

void CLedPreviewView::mousePressEvent(QMouseEvent* e) {
    setFocus();
    dragFrom_ = e->position();
}

void CLedPreviewView::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & (Qt::LeftButton | Qt::MiddleButton))) return;
    scroll_ -= e->position() - dragFrom_;
    dragFrom_ = e->position();
    update();
}

}  // namespace corv
