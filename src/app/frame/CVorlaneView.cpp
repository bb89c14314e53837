#include "app/frame/CVorlaneView.h"

#include "app/common/ViewKeys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "lang/UiStrings.h"
#include "workspace/FrameViewRules.h"
#include "workspace/Workspace.h"

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

CVorlaneView::CVorlaneView(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    hbar_ = new QScrollBar(Qt::Horizontal, this);
    vbar_ = new QScrollBar(Qt::Vertical, this);
    hbar_->setObjectName(QStringLiteral("horizontalScroll"));
    vbar_->setObjectName(QStringLiteral("verticalScroll"));
    connect(hbar_, &QScrollBar::valueChanged, this, &CVorlaneView::OnScroll);
    connect(vbar_, &QScrollBar::valueChanged, this, &CVorlaneView::OnScroll);
}

int CVorlaneView::GridX() const { return std::max<int>(1, ws_.frameView.gridScaleX); }
int CVorlaneView::GridY() const { return std::max<int>(1, ws_.frameView.gridScaleY); }

void CVorlaneView::SetShowGrid(bool on) {
    showGrid_ = on;
    update();
}

void CVorlaneView::GridScaleChanged() {
    LimitCentre();
    UpdateScrollBars();
    update();
}

QRect CVorlaneView::DrawingArea() const {
    return QRect(0, 0, std::max(0, width() - kScrollRoom), std::max(0, height() - kScrollRoom));
}

QRect CVorlaneView::PictureRect() const {
    const Frame* f = const_cast<Workspace&>(ws_).frames.CurrentFrame();
    if (!f) return {};
    const int w = f->width() * GridX() * zoom_, h = f->height() * GridY() * zoom_;
    return QRect(centre_.x() - w / 2, centre_.y() - h / 2, w, h);
}

QPoint CVorlaneView::CellPoint(QPoint at) const {
    const QRect r = PictureRect();
    const int cw = zoom_ * GridX(), ch = zoom_ * GridY();
    // Floor division: points left of or above the picture give negative cells.
    auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    return QPoint(floorDiv(at.x() - r.left(), cw), floorDiv(at.y() - r.top(), ch));
}

std::optional<QPoint> CVorlaneView::CellAt(QPoint at) const {
    const Frame* f = const_cast<Workspace&>(ws_).frames.CurrentFrame();
    if (!f) return std::nullopt;
    const QPoint c = CellPoint(at);
    if (c.x() < 0 || c.y() < 0 || c.x() >= f->width() || c.y() >= f->height()) return std::nullopt;
    return c;
}

void CVorlaneView::ImageCenter() {
    const QRect area = DrawingArea();
    centre_ = area.center();
    centred_ = true;
    if (const Frame* f = ws_.frames.CurrentFrame()) {
        zoom_ = FitZoom(area.width(), area.height(), f->width(), f->height(), GridX(), GridY());
    }
    UpdateScrollBars();
    update();
}

void CVorlaneView::ZoomIn() {
    zoom_ = ZoomUp(zoom_);
    LimitCentre();
    UpdateScrollBars();
    update();
}

void CVorlaneView::ZoomOut() {
    zoom_ = ZoomDown(zoom_);
    LimitCentre();
    UpdateScrollBars();
    update();
}

void CVorlaneView::ZoomAbout(bool in, QPoint at) {
    // The picture point under `at` comes to the middle of the drawing area, and so does the
    // mouse cursor, so that the next wheel step zooms about the same point.
    const QRect before = PictureRect();
    const double fx = before.width() ? static_cast<double>(at.x() - before.left()) / before.width() : 0.5;
    const double fy = before.height() ? static_cast<double>(at.y() - before.top()) / before.height() : 0.5;
    zoom_ = in ? ZoomUp(zoom_) : ZoomDown(zoom_);
    const QRect after = PictureRect();
    const QPoint middle = DrawingArea().center();
    centre_ = QPoint(middle.x() - static_cast<int>(fx * after.width()) + after.width() / 2,
                     middle.y() - static_cast<int>(fy * after.height()) + after.height() / 2);
    LimitCentre();
    UpdateScrollBars();
    if (underMouse()) QCursor::setPos(mapToGlobal(middle));
    update();
}

void CVorlaneView::Pan(int dx, int dy, int factor) {
    const QRect area = DrawingArea();
    centre_ += QPoint(dx * factor * area.width() / 3, dy * factor * area.height() / 3);
    LimitCentre();
    UpdateScrollBars();
    update();
}

void CVorlaneView::LimitCentre() {
    // At most half of a picture smaller than the area leaves it; a larger one can be moved
    // until its edge meets the area's edge.
    const QRect area = DrawingArea();
    const QRect r = PictureRect();
    const int w = r.width(), h = r.height();
    const int loX = std::min(0, area.width() - w / 2), hiX = std::max(area.width(), w / 2);
    const int loY = std::min(0, area.height() - h / 2), hiY = std::max(area.height(), h / 2);
    centre_.setX(std::clamp(centre_.x(), loX, hiX));
    centre_.setY(std::clamp(centre_.y(), loY, hiY));
}

void CVorlaneView::UpdateScrollBars() {
    // The bars run over the picture's size; the middle position shows the picture centred.
    const QRect area = DrawingArea();
    const QRect r = PictureRect();
    hbar_->setGeometry(0, area.height(), area.width(), kScrollRoom);
    vbar_->setGeometry(area.width(), 0, kScrollRoom, area.height());
    scrolling_ = true;
    hbar_->setRange(0, r.width());
    hbar_->setPageStep(std::max(1, area.width()));
    hbar_->setSingleStep(std::max(1, zoom_ * GridX()));
    hbar_->setValue(r.width() / 2 - (centre_.x() - area.center().x()));
    vbar_->setRange(0, r.height());
    vbar_->setPageStep(std::max(1, area.height()));
    vbar_->setSingleStep(std::max(1, zoom_ * GridY()));
    vbar_->setValue(r.height() / 2 - (centre_.y() - area.center().y()));
    scrolling_ = false;
}

void CVorlaneView::OnScroll() {
    if (scrolling_) return;
    const QRect area = DrawingArea();
    const QRect r = PictureRect();
    centre_ = QPoint(area.center().x() + r.width() / 2 - hbar_->value(), area.center().y() + r.height() / 2 - vbar_->value());
    LimitCentre();
    update();
}

void CVorlaneView::resizeEvent(QResizeEvent* event) {
    if (!centred_) {
        ImageCenter();
    } else {
        // The picture keeps its place relative to the middle of the view.
        if (event->oldSize().isValid()) centre_ += QPoint(event->size().width() - event->oldSize().width(),
                                                          event->size().height() - event->oldSize().height()) / 2;
        LimitCentre();
        UpdateScrollBars();
    }
}

void CVorlaneView::wheelEvent(QWheelEvent* event) {
    if (event->angleDelta().y() != 0) ZoomAbout(event->angleDelta().y() > 0, event->position().toPoint());
    event->accept();
}

void CVorlaneView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // Key 1 is entry 0, ..., key 9 entry 8, key 0 entry 9.
        emit numberKey(key == Qt::Key_0 ? 9 : key - Qt::Key_1);
        return;
    }
    const int factor = event->modifiers() & Qt::ShiftModifier ? 9 : event->modifiers() & Qt::ControlModifier ? 3 : 1;
    switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            ZoomIn();
            return;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            ZoomOut();
            return;
        default:
            if (const QPoint d = ArrowPanDirection(key); !d.isNull()) {
                Pan(d.x(), d.y(), factor);
                return;
            }
            QWidget::keyPressEvent(event);
    }
}

// --- edit area ------------------------------------------------------------------------------

void CVorlaneView::SetEditAreaOn(bool on) {
    if (on && !editAreaMade_) {
        if (const Frame* f = ws_.frames.CurrentFrame()) editArea_ = PixelRect{0, 0, f->width(), f->height()};
        editAreaMade_ = true;
    }
    editAreaOn_ = on;
    if (on) ShowEditArea();
    update();
}

std::optional<PixelRect> CVorlaneView::editArea() const {
    if (!editAreaOn_) return std::nullopt;
    return editArea_;
}

void CVorlaneView::SetEditArea(const PixelRect& r) {
    editArea_ = r;
    editAreaMade_ = true;
    update();
}

QRect CVorlaneView::EditAreaOnScreen() const {
    const QRect r = PictureRect();
    const int cw = zoom_ * GridX(), ch = zoom_ * GridY();
    return QRect(QPoint(r.left() + editArea_.left * cw, r.top() + editArea_.top * ch),
                 QPoint(r.left() + editArea_.right * cw - 1, r.top() + editArea_.bottom * ch - 1));
}

void CVorlaneView::ShowEditArea() {
    emit statusMessage(QString::fromStdString(
        Format(ws_.strings.zone.c_str(), editArea_.left, editArea_.top, editArea_.right, editArea_.bottom)));
}

void CVorlaneView::ResetEditBuffers() {
    ws_.frameUndo.Reset();
    pressCopy_ = Frame();
    drag_ = Drag::None;
    // The edit area stays where it was, inside the new frame size.
    if (const Frame* f = ws_.frames.CurrentFrame()) {
        editArea_ = TargetRect(f->width(), f->height(), editArea_);
        if (editArea_.Empty()) editArea_ = PixelRect{0, 0, f->width(), f->height()};
    }
    update();
}

void CVorlaneView::BeginUndo(int kind, int index, std::uint32_t count) {
    if (!ws_.frames.HasCurrent() || index < 0) return;
    ws_.frameUndo.BeginUndo(ws_.frames.CurrentFrames(), kind, static_cast<std::size_t>(index), count);
    emit frameEdited();
}

// --- drawing ----------------------------------------------------------------------------------

void CVorlaneView::SetDrawingTool(DrawTool tool, Bgr colour) {
    tool_ = tool;
    colour_ = colour;
    setCursor(tool == DrawTool::None ? Qt::ArrowCursor : Qt::CrossCursor);
}

Frame* CVorlaneView::EditableFrame() { return ws_.frames.CurrentFrame(); }

void CVorlaneView::DrawStroke(QPoint cell) {
    auto& frames = ws_.frames.CurrentFrames();
    if (strokeFrame_ < 0 || static_cast<std::size_t>(strokeFrame_) >= frames.size()) return;
    Frame* f = &frames[static_cast<std::size_t>(strokeFrame_)];
    if (f->width() != pressCopy_.width() || f->height() != pressCopy_.height()) return;
    switch (tool_) {
        case DrawTool::Pen:
        case DrawTool::Brush:
            DrawLine(*f, lastCell_.x(), lastCell_.y(), cell.x(), cell.y(), colour_);  // no gaps on fast moves
            break;
        case DrawTool::Line:
            *f = pressCopy_;
            DrawLine(*f, pressCell_.x(), pressCell_.y(), cell.x(), cell.y(), colour_);
            break;
        case DrawTool::Rectangle:
            *f = pressCopy_;
            DrawRectangle(*f, pressCell_.x(), pressCell_.y(), cell.x(), cell.y(), colour_);
            break;
        case DrawTool::Fill:
        case DrawTool::None:
            break;
    }
    lastCell_ = cell;
    update();
}

void CVorlaneView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    Frame* f = EditableFrame();
    if (!f) return;
    const QPoint at = event->position().toPoint();
    if (tool_ != DrawTool::None) {
        const auto cell = CellAt(at);
        if (!cell) return;
        emit strokeStarted();
        strokeFrame_ = ws_.app.currentFrame;
        ws_.frameUndo.BeginUndo(ws_.frames.CurrentFrames(), FrameUndo::kChanged, static_cast<std::size_t>(ws_.app.currentFrame), 1);
        f = EditableFrame();
        if (tool_ == DrawTool::Fill) {
            FloodFill(*f, cell->x(), cell->y(), colour_);
            update();
        } else {
            pressCopy_ = *f;
            pressCell_ = lastCell_ = *cell;
            drag_ = Drag::Draw;
            DrawStroke(*cell);
        }
        emit frameEdited();
        return;
    }
    if (!editAreaOn_) return;
    // An area made on a larger clip is first brought inside this frame.
    editArea_ = TargetRect(f->width(), f->height(), editArea_);
    if (editArea_.Empty()) editArea_ = PixelRect{0, 0, f->width(), f->height()};
    QPoint cell = CellPoint(at);
    cell.setX(std::clamp(cell.x(), 0, f->width() - 1));
    cell.setY(std::clamp(cell.y(), 0, f->height() - 1));
    dragStartCell_ = cell;
    dragStartArea_ = editArea_;
    // Inside the area the mouse moves it, unless it covers the whole frame and cannot move.
    const bool whole = editArea_ == PixelRect{0, 0, f->width(), f->height()};
    if (!whole && EditAreaOnScreen().contains(at)) {
        drag_ = Drag::Move;
        setCursor(Qt::SizeAllCursor);
    } else {
        drag_ = Drag::Band;
        editArea_ = PixelRect{cell.x(), cell.y(), cell.x() + 1, cell.y() + 1};
        ShowEditArea();
        update();
    }
}

void CVorlaneView::mouseMoveEvent(QMouseEvent* event) {
    const Frame* f = EditableFrame();
    if (drag_ == Drag::None || !f) return;
    const QPoint raw = CellPoint(event->position().toPoint());
    if (drag_ == Drag::Draw) {
        DrawStroke(raw);  // cells outside the frame are left out by the drawing itself
        return;
    }
    const QPoint cell(std::clamp(raw.x(), 0, f->width() - 1), std::clamp(raw.y(), 0, f->height() - 1));
    if (drag_ == Drag::Band) {
        // Whole cells from the press cell to the cell under the mouse, both included.
        editArea_ = PixelRect{std::min(cell.x(), dragStartCell_.x()), std::min(cell.y(), dragStartCell_.y()),
                              std::max(cell.x(), dragStartCell_.x()) + 1, std::max(cell.y(), dragStartCell_.y()) + 1};
    } else {
        // Moved by whole cells and kept inside the frame.
        const int dx = std::clamp(cell.x() - dragStartCell_.x(), -dragStartArea_.left, f->width() - dragStartArea_.right);
        const int dy = std::clamp(cell.y() - dragStartCell_.y(), -dragStartArea_.top, f->height() - dragStartArea_.bottom);
        editArea_ = PixelRect{dragStartArea_.left + dx, dragStartArea_.top + dy, dragStartArea_.right + dx,
                              dragStartArea_.bottom + dy};
    }
    ShowEditArea();
    update();
}

void CVorlaneView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    if (drag_ == Drag::Draw) {
        pressCopy_ = Frame();
        strokeFrame_ = -1;
    }
    if (drag_ == Drag::Move) setCursor(tool_ == DrawTool::None ? Qt::ArrowCursor : Qt::CrossCursor);
    drag_ = Drag::None;
}

// --- painting ---------------------------------------------------------------------------------

void CVorlaneView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect area = DrawingArea();
    p.fillRect(event->rect(), Qt::black);
    p.fillRect(QRect(area.right() + 1, area.bottom() + 1, kScrollRoom, kScrollRoom), palette().window());
    p.setClipRect(area);
    const Frame* frame = ws_.frames.CurrentFrame();
    if (!frame || frame->width() == 0 || frame->height() == 0) return;
    FillImage(*frame, picture_);
    const QRect target = PictureRect();
    const QRect visible = target.intersected(area).intersected(event->rect());
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
    const int stepX = GridX() * zoom_, stepY = GridY() * zoom_;
    if (showGrid_ && std::min(stepX, stepY) >= 3) {
        p.setPen(QColor(0xDA, 0xDA, 0xDA));
        for (int c = x0; c <= x1; ++c) {
            const int x = target.left() + c * stepX;
            p.drawLine(x, visible.top(), x, visible.bottom());
        }
        for (int r = y0; r <= y1; ++r) {
            const int y = target.top() + r * stepY;
            p.drawLine(visible.left(), y, visible.right(), y);
        }
    }
    if (editAreaOn_) {
        // The tracker: a dashed frame in two colours, readable on any picture, with corner handles.
        const QRect e = EditAreaOnScreen();
        p.setPen(QPen(Qt::white, 2));
        p.drawRect(e);
        p.setPen(QPen(QColor(0xFF, 0x40, 0x40), 2, Qt::DashLine));
        p.drawRect(e);
        for (const QPoint& corner : {e.topLeft(), e.topRight(), e.bottomLeft(), e.bottomRight()}) {
            p.fillRect(QRect(corner - QPoint(3, 3), QSize(7, 7)), QColor(0xFF, 0x40, 0x40));
        }
    }
}

}  // namespace corv
