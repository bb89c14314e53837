#include "app/preview/CLedPreviewView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "controller/ChannelMap.h"
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
    if (currentView) {
        DrawCurrents(image, *frame, Placement(size));
        return image;
    }
    DrawLeds(image, dots_, *frame, Placement(size), glow);
    return image;
}

namespace {

// Black at no current, red at a third, yellow at two thirds, white at the most an LED draws.
Bgr Heat(double share) {
    const double v = std::clamp(share, 0.0, 1.0) * 3.0;
    auto level = [](double x) { return static_cast<std::uint8_t>(std::lround(std::clamp(x, 0.0, 1.0) * 255)); };
    return Bgr{level(v - 2.0), level(v - 1.0), level(v)};
}

}  // namespace

void CLedPreviewView::DrawCurrents(QImage& image, const Frame& frame, const LedPlacement& place) {
    WriterInput in;
    in.layout = &ws_.layout;
    in.lamps = &ws_.lampTypes;
    in.frame = FrameShape{frame.height(), frame.width()};
    const std::vector<LineLedCurrents> lines = FrameLedCurrents(in, frame, currents);
    // A picture of the frame's shape holding each LED's tint where the dots read their colour.
    Frame heat(frame.width(), frame.height());
    std::uint8_t* bytes = heat.data();
    const int perSlave = std::max<int>(ws_.layout.setting.portsPerSlave, 1);
    for (const LineLedCurrents& line : lines) {
        const std::size_t index = static_cast<std::size_t>(line.line - 1);
        const std::size_t slave = std::min<std::size_t>(index / static_cast<std::size_t>(perSlave), LineSetting::kSlaves - 1);
        const std::uint8_t lampIndex = ws_.layout.setting.lightType[slave];
        const LightTypeRecord lamp = lampIndex < ws_.lampTypes.size() ? ws_.lampTypes[lampIndex] : BuiltInLightTypes()[0];
        const double idle = currents.idleMilliamps;
        const double range = std::max(FullLedMilliamps(lamp, currents) - idle, 1e-9);
        const Line& points = ws_.layout.lines[index];
        for (std::size_t led = 0; led < points.size() && led < line.milliamps.size(); ++led) {
            if (!ws_.layout.grid.Contains(PointRow(points[led]), PointCol(points[led]))) continue;
            const std::uint32_t at = LedPixelOffset(ws_.layout.grid, in.frame, points[led]);
            if (!bytes || at + 2 >= heat.size()) continue;
            const Bgr c = Heat((line.milliamps[led] - idle) / range);
            bytes[at] = c.b;
            bytes[at + 1] = c.g;
            bytes[at + 2] = c.r;
        }
    }
    DrawLeds(image, dots_, heat, place, glow);
    // Each line's amps at its first LED.
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(std::clamp(static_cast<int>(place.cell * 0.9), 9, 16));
    painter.setFont(font);
    for (const LineLedCurrents& line : lines) {
        const LinePoint first = ws_.layout.lines[static_cast<std::size_t>(line.line - 1)].front();
        const QPointF at = place.origin + QPointF((PointCol(first) + 0.5) * place.cell, (PointRow(first) + 0.5) * place.cell);
        const QString text = QString::number(line.line) + QStringLiteral(": ") + QString::number(line.amps, 'f', 2) +
                             QStringLiteral(" A");
        // Right of the LED, or left of it where the right runs out of the picture.
        const double width = painter.fontMetrics().horizontalAdvance(text) + 4.0;
        const double right = at.x() + place.cell * 0.6;
        const double x = right + width > image.width() ? at.x() - place.cell * 0.6 - width : right;
        const QRectF box(QPointF(x, at.y() - font.pixelSize() * 0.7), QSizeF(width, font.pixelSize() * 1.4));
        painter.fillRect(painter.boundingRect(box, Qt::AlignLeft | Qt::AlignVCenter, text).adjusted(-2, 0, 2, 0),
                         QColor(0, 0, 0, 170));
        painter.setPen(QColor(120, 220, 255));
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
    }
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
