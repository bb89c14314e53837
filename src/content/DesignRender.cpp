#include "content/DesignRender.h"

#include <QFont>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "content/TransitionRenderer.h"

namespace corv {

namespace {

QRectF Box(const EffectItem& item) { return QRectF(item.x, item.y, item.w, item.h).normalized(); }

QPolygonF Points(const PointsItem& item) {
    QPolygonF poly;
    for (const PointF& pt : item.points) poly << QPointF(pt.x, pt.y);
    return poly;
}

// The points of a star or regular polygon inscribed in the box, starting at the top.
QPolygonF Around(const QRectF& box, int corners, double inner) {
    QPolygonF poly;
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    const int n = inner > 0 ? corners * 2 : corners;
    for (int i = 0; i < n; ++i) {
        const double a = -std::numbers::pi / 2 + 2 * std::numbers::pi * i / n;
        const double r = inner > 0 && i % 2 == 1 ? inner : 1.0;
        poly << QPointF(c.x() + rx * r * std::cos(a), c.y() + ry * r * std::sin(a));
    }
    return poly;
}

const Frame* SourceFrame(const EffectItem& item, const DesignTime& time) {
    if (!time.frames || item.sourceClip < 0 || item.sourceClip >= time.frames->Count()) return nullptr;
    const Clip& clip = time.frames->clip(item.sourceClip);
    if (clip.frames.empty()) return nullptr;
    return &clip.frames[time.tick % clip.frames.size()];
}

}  // namespace

QRect SourceRect(const EffectItem& item, const FrameStore* frames) {
    if (!frames || item.sourceClip < 0 || item.sourceClip >= frames->Count()) return {};
    const Clip& clip = frames->clip(item.sourceClip);
    const int W = static_cast<int>(clip.width), H = static_cast<int>(clip.height);
    if (W <= 0 || H <= 0) return {};
    const int x = std::clamp<int>(item.sourceX, 0, W - 1), y = std::clamp<int>(item.sourceY, 0, H - 1);
    const int w = item.sourceW > 0 && x + item.sourceW <= W ? item.sourceW : W - x;
    const int h = item.sourceH > 0 && y + item.sourceH <= H ? item.sourceH : H - y;
    return QRect(x, y, w, h);
}

QPainterPath ItemPath(const EffectItem& item) {
    QPainterPath path;
    const QRectF box = Box(item);
    switch (item.kind()) {
        case kItemEllipse:
            path.addEllipse(box);
            break;
        case kItemRoundRect: {
            const double r = std::min<double>(static_cast<const RoundRectItem&>(item).parameter, std::min(box.width(), box.height()) / 2);
            path.addRoundedRect(box, r, r);
            break;
        }
        case kItemStar: {
            const auto& star = static_cast<const StarItem&>(item);
            path.addPolygon(Around(box, std::max<int>(star.points, 2), std::clamp(star.innerPercent, std::uint8_t{1}, std::uint8_t{100}) / 100.0));
            path.closeSubpath();
            break;
        }
        case kItemRegularPolygon:
            path.addPolygon(Around(box, std::max<int>(static_cast<const RegularPolygonItem&>(item).sides, 3), 0));
            path.closeSubpath();
            break;
        case kItemPolygon:
            path.addPolygon(Points(static_cast<const PointsItem&>(item)));
            path.closeSubpath();
            break;
        case kItemPolyline:
            path.addPolygon(Points(static_cast<const PointsItem&>(item)));
            break;
        case kItemLine:
            path.moveTo(item.x, item.y);
            path.lineTo(item.x + item.w, item.y + item.h);
            break;
        case kItemGroup:
            for (const auto& child : static_cast<const GroupItem&>(item).children) path.addPath(ItemPath(*child));
            break;
        default:
            path.addRect(box);
    }
    return path;
}

void DrawItem(QPainter& p, const EffectItem& item, const DesignTime& time) {
    if (item.kind() == kItemGroup) {
        for (const auto& child : static_cast<const GroupItem&>(item).children) DrawItem(p, *child, time);
        return;
    }
    p.save();
    const QRectF box = Box(item);
    if (item.angle % 360 != 0) {
        p.translate(box.center());
        p.rotate(item.angle % 360);
        p.translate(-box.center());
    }
    const QColor colour = QColor::fromRgba(item.colour);
    p.setPen(QPen(colour, std::max<int>(item.lineWidth, 1)));
    // A clip source paints the shape with that clip's frame; else the colour fills it.
    const Frame* frame = SourceFrame(item, time);
    const QRect source = SourceRect(item, time.frames);
    QBrush brush = item.fill ? QBrush(colour) : QBrush(Qt::NoBrush);
    QImage picture;
    if (frame && !source.isEmpty()) {
        picture = FrameToImage32(*frame).copy(source);
        if (!box.isEmpty()) {
            brush = QBrush(picture);
            QTransform t;
            t.translate(box.left(), box.top());
            t.scale(box.width() / picture.width(), box.height() / picture.height());
            brush.setTransform(t);
        }
    }
    switch (item.kind()) {
        case kItemText: {
            const auto& text = static_cast<const TextItem&>(item);
            QFont font(QString::fromStdString(text.fontFace));
            font.setPixelSize(text.fontValue > 0 && text.fontValue < 4096 ? static_cast<int>(text.fontValue)
                                                                          : std::max(1, static_cast<int>(box.height())));
            p.setFont(font);
            p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QString::fromUtf8(text.text.data(), static_cast<qsizetype>(text.text.size())));
            break;
        }
        case kItemPicture: {
            const auto& pic = static_cast<const PictureItem&>(item);
            const std::uint64_t need = static_cast<std::uint64_t>(pic.pictureWidth) * pic.pictureHeight * 4;
            if (pic.pictureWidth > 0 && pic.pictureHeight > 0 && pic.pixels.size() >= need) {
                const QImage image(pic.pixels.data(), static_cast<int>(pic.pictureWidth), static_cast<int>(pic.pictureHeight),
                                   static_cast<qsizetype>(pic.pictureWidth) * 4, QImage::Format_ARGB32);
                p.setRenderHint(QPainter::SmoothPixmapTransform);
                p.drawImage(box, image);
            }
            break;
        }
        case kItemPictureArea:
            if (!picture.isNull()) {
                p.drawImage(box, picture);
            } else {
                p.setBrush(Qt::NoBrush);
                p.drawRect(box);
            }
            break;
        case kItemLine:
        case kItemPolyline:
            p.setBrush(Qt::NoBrush);
            p.drawPath(ItemPath(item));
            break;
        default:
            p.setBrush(brush);
            p.drawPath(ItemPath(item));
    }
    p.restore();
}

void DrawLayer(QPainter& p, const EffectLayer& layer, const DesignTime& time) {
    p.save();
    if (layer.mask) {
        QPainterPath clip = ItemPath(*layer.mask);
        const QRectF box = Box(*layer.mask);
        if (layer.mask->angle % 360 != 0) {
            QTransform t;
            t.translate(box.center().x(), box.center().y());
            t.rotate(layer.mask->angle % 360);
            t.translate(-box.center().x(), -box.center().y());
            clip = t.map(clip);
        }
        p.setClipPath(clip, Qt::IntersectClip);
    }
    for (const auto& item : layer.items) {
        if (item.get() != layer.mask) DrawItem(p, *item, time);
    }
    p.restore();
}

QImage RenderDesign(const EffectList& effects, QSize size, const DesignTime& time, QColor background) {
    QImage canvas(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    canvas.fill(background);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    for (const auto& layer : effects) {
        if (layer->checked) DrawLayer(p, *layer, time);
    }
    return canvas;
}

}  // namespace corv
