#include "app/design/CEffectView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "content/DesignRender.h"
#include "workspace/Workspace.h"

namespace corv {

CEffectView::CEffectView(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
    setObjectName(QStringLiteral("designView"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    hbar_ = new QScrollBar(Qt::Horizontal, this);
    vbar_ = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {hbar_, vbar_}) {
        bar->setCursor(Qt::ArrowCursor);
        connect(bar, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
    }
    UpdateScrollBars();
}

QPoint CEffectView::scroll() const { return QPoint(hbar_->value(), vbar_->value()); }

void CEffectView::SetScroll(QPoint offset) {
    hbar_->setValue(offset.x());
    vbar_->setValue(offset.y());
}

void CEffectView::UpdateScrollBars() {
    const int bar = hbar_->sizeHint().height();
    hbar_->setGeometry(0, height() - bar, std::max(0, width() - bar), bar);
    vbar_->setGeometry(width() - bar, 0, bar, std::max(0, height() - bar));
    // Scrolling from centred: half the overhang each way.
    const QSizeF size = QSizeF(canvas()) * zoom_;
    const int overX = std::max(0, static_cast<int>(std::ceil((size.width() - width()) / 2)) + 20);
    const int overY = std::max(0, static_cast<int>(std::ceil((size.height() - height()) / 2)) + 20);
    const bool needX = size.width() + 40 > width(), needY = size.height() + 40 > height();
    hbar_->setRange(needX ? -overX : 0, needX ? overX : 0);
    vbar_->setRange(needY ? -overY : 0, needY ? overY : 0);
    hbar_->setPageStep(std::max(1, width()));
    vbar_->setPageStep(std::max(1, height()));
    hbar_->setSingleStep(std::max(1, width() / 10));
    vbar_->setSingleStep(std::max(1, height() / 10));
    hbar_->setVisible(needX);
    vbar_->setVisible(needY);
}

void CEffectView::resizeEvent(QResizeEvent*) { UpdateScrollBars(); }

EffectLayer* CEffectView::layer() {
    if (currentLayer < 0 || currentLayer >= static_cast<int>(ws_.effects.Count())) return nullptr;
    return &ws_.effects.at(static_cast<std::size_t>(currentLayer));
}

QSize CEffectView::canvas() const {
    return QSize(std::max<int>(ws_.design.canvasWidth, 1), std::max<int>(ws_.design.canvasHeight, 1));
}

void CEffectView::SetZoom(double zoom) {
    zoom_ = std::clamp(zoom, 0.1, 16.0);
    UpdateScrollBars();
    update();
}

QRectF CEffectView::CanvasRect() const {
    const QSizeF size = QSizeF(canvas()) * zoom_;
    return QRectF(QPointF((width() - size.width()) / 2 - hbar_->value(), (height() - size.height()) / 2 - vbar_->value()), size);
}

QPointF CEffectView::ToCanvas(QPointF window) const { return (window - CanvasRect().topLeft()) / zoom_; }
QPointF CEffectView::ToWindow(QPointF canvas) const { return CanvasRect().topLeft() + canvas * zoom_; }

void CEffectView::ClearSelection() {
    selection.clear();
    emit selectionChanged();
    update();
}

void CEffectView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x2A, 0x2A, 0x2A));
    const QRectF area = CanvasRect();
    p.save();
    p.translate(area.topLeft());
    p.scale(zoom_, zoom_);
    p.fillRect(QRectF(QPointF(0, 0), QSizeF(canvas())), Qt::black);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(QRectF(QPointF(0, 0), QSizeF(canvas())));
    const DesignTime time{&ws_.frames, tick};
    for (const auto& l : ws_.effects) {
        if (l->checked) DrawLayer(p, *l, time);
    }
    if (pointsItem_) DrawItem(p, *pointsItem_, time);
    p.restore();
    // The selection: dashed boxes, the corner handles on the last one.
    p.setPen(QPen(Qt::white, 1, Qt::DashLine));
    for (const EffectItem* item : selection) {
        const RectF b = item->BoundingBox();
        p.drawRect(QRectF(ToWindow({b.x, b.y}), ToWindow({b.x + b.w, b.y + b.h})).normalized());
    }
    if (!selection.empty()) {
        const RectF b = selection.back()->BoundingBox();
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        for (QPointF c : {QPointF(b.x, b.y), QPointF(b.x + b.w, b.y), QPointF(b.x, b.y + b.h), QPointF(b.x + b.w, b.y + b.h)}) {
            p.drawRect(QRectF(ToWindow(c) - QPointF(3, 3), QSizeF(6, 6)));
        }
        const QPointF turn = RotateHandle();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(ToWindow({b.x + b.w / 2, b.y}), turn);
        p.setPen(Qt::black);
        p.setBrush(QColor(0x40, 0xC0, 0xFF));
        p.drawEllipse(turn, 4.5, 4.5);
        p.setRenderHint(QPainter::Antialiasing, false);
    }
    if (drag_ == Drag::Band || drag_ == Drag::Create) {
        p.setPen(QPen(Qt::yellow, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(ToWindow(pressAt_), ToWindow(lastAt_)).normalized());
    }
}

QPointF CEffectView::RotateHandle() const {
    const RectF b = selection.back()->BoundingBox();
    return ToWindow({b.x + b.w / 2, b.y}) - QPointF(0, 20);
}

int CEffectView::HandleAt(QPointF window) const {
    if (selection.empty()) return -1;
    const RectF b = selection.back()->BoundingBox();
    const QPointF corners[4] = {{b.x, b.y}, {b.x + b.w, b.y}, {b.x, b.y + b.h}, {b.x + b.w, b.y + b.h}};
    for (int i = 0; i < 4; ++i) {
        if ((ToWindow(corners[i]) - window).manhattanLength() <= 6) return i;
    }
    return -1;
}

void CEffectView::mousePressEvent(QMouseEvent* e) {
    setFocus();
    if (e->button() == Qt::MiddleButton) {
        drag_ = Drag::Pan;
        panFrom_ = e->position();
        return;
    }
    if (e->button() != Qt::LeftButton || !layer()) return;
    const QPointF at = ToCanvas(e->position());
    pressAt_ = lastAt_ = at;
    moved_ = false;
    if (tool == kItemPolyline || tool == kItemPolygon) {
        if (!pointsItem_) {
            pointsItem_ = NewItem(tool, static_cast<float>(at.x()), static_cast<float>(at.y()), static_cast<float>(at.x()),
                                  static_cast<float>(at.y()), colour, static_cast<std::uint8_t>(lineWidth), fill, 0);
            static_cast<PointsItem&>(*pointsItem_).points = {{static_cast<float>(at.x()), static_cast<float>(at.y())}};
        }
        static_cast<PointsItem&>(*pointsItem_).points.push_back({static_cast<float>(at.x()), static_cast<float>(at.y())});
        update();
        return;
    }
    if (tool != kSelectTool) {
        drag_ = Drag::Create;
        return;
    }
    if (!selection.empty() && (RotateHandle() - e->position()).manhattanLength() <= 7) {
        drag_ = Drag::Rotate;
        return;
    }
    handle_ = HandleAt(e->position());
    if (handle_ >= 0) {
        drag_ = Drag::Resize;
        return;
    }
    EffectItem* hit = ItemAt(*layer(), static_cast<float>(at.x()), static_cast<float>(at.y()));
    const bool add = e->modifiers() & Qt::ControlModifier;
    if (!hit) {
        if (!add) selection.clear();
        drag_ = Drag::Band;
    } else {
        const bool selected = std::find(selection.begin(), selection.end(), hit) != selection.end();
        if (add && selected) {
            std::erase(selection, hit);  // Ctrl on a selected item takes it out
        } else {
            if (!add && !selected) selection.clear();
            std::erase(selection, hit);
            selection.push_back(hit);  // the most recently selected is last
        }
        drag_ = Drag::Move;
    }
    emit selectionChanged();
    update();
}

void CEffectView::mouseMoveEvent(QMouseEvent* e) {
    if (drag_ == Drag::Pan) {
        const QPointF d = e->position() - std::exchange(panFrom_, e->position());
        SetScroll(scroll() - d.toPoint());
        return;
    }
    const QPointF at = ToCanvas(e->position());
    if (drag_ == Drag::Rotate && !selection.empty()) {
        // 0 degrees points up; clockwise on the screen, as the items are drawn.
        EffectItem* item = selection.back();
        const RectF b = item->BoundingBox();
        const QPointF d = at - QPointF(b.x + b.w / 2, b.y + b.h / 2);
        if (!d.isNull()) {
            double degrees = std::atan2(d.x(), -d.y()) * 180 / M_PI;
            if (e->modifiers() & Qt::ShiftModifier) degrees = std::round(degrees / 15) * 15;
            const auto angle = static_cast<std::uint16_t>((static_cast<int>(std::lround(degrees)) % 360 + 360) % 360);
            moved_ = moved_ || angle != item->angle;
            item->angle = angle;
        }
    } else if (drag_ == Drag::Move && !selection.empty()) {
        const QPointF d = at - lastAt_;
        for (EffectItem* item : selection) item->MoveBy(static_cast<float>(d.x()), static_cast<float>(d.y()));
        moved_ = moved_ || !d.isNull();
    } else if (drag_ == Drag::Resize && !selection.empty()) {
        EffectItem* item = selection.back();
        const RectF b = item->BoundingBox();
        float l = b.x, t = b.y, r = b.x + b.w, bottom = b.y + b.h;
        if (handle_ == 0 || handle_ == 2) l = static_cast<float>(at.x());
        else r = static_cast<float>(at.x());
        if (handle_ == 0 || handle_ == 1) t = static_cast<float>(at.y());
        else bottom = static_cast<float>(at.y());
        if (item->kind() == kItemGroup || item->kind() == kItemPolyline || item->kind() == kItemPolygon) {
            item->MoveBy(l - b.x, t - b.y);  // point items and groups move with the handle
        } else {
            item->x = l;
            item->y = t;
            item->w = r - l;
            item->h = bottom - t;
        }
        moved_ = true;
    }
    lastAt_ = at;
    if (drag_ != Drag::None) update();
}

void CEffectView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton && drag_ == Drag::Pan) drag_ = Drag::None;
    if (e->button() != Qt::LeftButton) return;
    const Drag drag = std::exchange(drag_, Drag::None);
    EffectLayer* l = layer();
    if (!l) return;
    if (drag == Drag::Band) {
        selection = ItemsInside(*l, static_cast<float>(pressAt_.x()), static_cast<float>(pressAt_.y()),
                                static_cast<float>(lastAt_.x()), static_cast<float>(lastAt_.y()));
        emit selectionChanged();
    } else if (drag == Drag::Create) {
        const QRectF box = QRectF(pressAt_, lastAt_);
        std::unique_ptr<EffectItem> item;
        if (tool == kItemText || tool == kItemPicture || tool == kItemPictureArea) {
            if (makeItem) item = makeItem(tool, box.normalized());
        } else if (box.width() != 0 || box.height() != 0) {
            item = NewItem(tool, static_cast<float>(pressAt_.x()), static_cast<float>(pressAt_.y()), static_cast<float>(lastAt_.x()),
                           static_cast<float>(lastAt_.y()), colour, static_cast<std::uint8_t>(lineWidth), fill,
                           static_cast<std::uint16_t>(std::clamp(parameter, 0, 65535)));
        }
        if (item) {
            selection = {item.get()};
            l->items.push_back(std::move(item));
            emit selectionChanged();
            emit edited();
        }
    } else if ((drag == Drag::Move || drag == Drag::Resize || drag == Drag::Rotate) && moved_) {
        if (drag == Drag::Rotate) emit selectionChanged();  // the panel's angle
        emit edited();
    }
    update();
}

void CEffectView::mouseDoubleClickEvent(QMouseEvent* e) {
    // A double click ends a polyline or polygon (its last click counted twice is dropped).
    if (!pointsItem_ || !layer()) return QWidget::mouseDoubleClickEvent(e);
    auto& points = static_cast<PointsItem&>(*pointsItem_).points;
    if (points.size() >= 2) points.pop_back();
    if (points.size() >= 2) {
        const RectF b = pointsItem_->BoundingBox();
        pointsItem_->x = b.x;
        pointsItem_->y = b.y;
        pointsItem_->w = b.w;
        pointsItem_->h = b.h;
        selection = {pointsItem_.get()};
        layer()->items.push_back(std::move(pointsItem_));
        emit selectionChanged();
        emit edited();
    }
    pointsItem_.reset();
    update();
}

void CEffectView::keyPressEvent(QKeyEvent* e) {
    const int stepX = std::max(1, width() / 10), stepY = std::max(1, height() / 10);
    switch (e->key()) {
        case Qt::Key_Left: SetScroll(scroll() - QPoint(stepX, 0)); break;
        case Qt::Key_Right: SetScroll(scroll() + QPoint(stepX, 0)); break;
        case Qt::Key_Up: SetScroll(scroll() - QPoint(0, stepY)); break;
        case Qt::Key_Down: SetScroll(scroll() + QPoint(0, stepY)); break;
        case Qt::Key_Home: SetScroll({}); break;
        default: return QWidget::keyPressEvent(e);
    }
}

void CEffectView::wheelEvent(QWheelEvent* e) {
    SetZoom(e->angleDelta().y() > 0 ? zoom_ * 1.25 : zoom_ * 0.8);
    e->accept();
}

}  // namespace corv
