#include "content/DesignRender.h"

#include <QFont>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <vector>

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

// Outlines with many points are drawn by a coverage accumulator instead of the painter's own
// antialiased rasterizer, which keeps a sorted list of cells per pixel row and slows down with
// the square of the crossings per row (a 1,000-point zigzag takes seconds, 65,535 points never
// end). Every edge adds, per row it crosses, the area it leaves to its right; a running sum
// along the row gives each pixel's winding coverage. The time is linear in the edges' lengths
// and the box's area. Ordinary outlines keep the painter's drawing, pixel for pixel.
class Coverage {
public:
    explicit Coverage(QRect box) : box_(box), stride_(box.width() + 2), acc_(static_cast<std::size_t>(stride_) * box.height(), 0.0f) {}

    QRect box() const { return box_; }

    // An edge in device coordinates.
    void Line(QPointF a, QPointF b) {
        double x0 = a.x() - box_.x(), y0 = a.y() - box_.y(), x1 = b.x() - box_.x(), y1 = b.y() - box_.y();
        if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1) || y0 == y1) return;
        float dir = 1;
        if (y0 > y1) {
            std::swap(x0, x1);
            std::swap(y0, y1);
            dir = -1;
        }
        const int h = box_.height(), w = box_.width();
        if (y1 <= 0 || y0 >= h) return;
        const double dxdy = (x1 - x0) / (y1 - y0);
        double x = x0;
        if (y0 < 0) {
            // Measured from the end nearer the box: from a point far outside (a damaged file's
            // 1e30) the difference would be lost in the rounding.
            x = -y0 < y1 ? x0 - y0 * dxdy : x1 - y1 * dxdy;
            y0 = 0;
        }
        const int rowEnd = static_cast<int>(std::min<double>(h, std::ceil(y1)));
        for (int y = static_cast<int>(y0); y < rowEnd; ++y) {
            const double dy = std::min<double>(y + 1, y1) - std::max<double>(y, y0);
            const double xnext = x + dxdy * dy;
            const double d = dy * dir;
            // Left of the box counts as its first column; right of it lands in the spare column
            // (and what overflowed to no number, at the left: never outside the row).
            const auto inRow = [w](double v) { return v > 0 ? (v < w ? v : static_cast<double>(w)) : 0.0; };
            const double xa = inRow(std::min(x, xnext)), xb = inRow(std::max(x, xnext));
            float* row = &acc_[static_cast<std::size_t>(y) * stride_];
            // Both are within 0..w: truncation is the floor (and cheaper than the call).
            const int xai = static_cast<int>(xa);
            const int xbi = static_cast<int>(xb) + (static_cast<int>(xb) < xb ? 1 : 0);
            const double xaFloor = xai, xbCeil = xbi;
            if (xbi <= xai + 1) {
                const double mid = 0.5 * (xa + xb) - xaFloor;
                row[xai] += static_cast<float>(d - d * mid);
                row[xai + 1] += static_cast<float>(d * mid);
            } else {
                const double s = 1.0 / (xb - xa);
                const double xaFrac = xa - xaFloor;
                const double a0 = 0.5 * s * (1 - xaFrac) * (1 - xaFrac);
                const double xbFrac = xb - xbCeil + 1;
                const double am = 0.5 * s * xbFrac * xbFrac;
                row[xai] += static_cast<float>(d * a0);
                if (xbi == xai + 2) {
                    row[xai + 1] += static_cast<float>(d * (1 - a0 - am));
                } else {
                    const double a1 = s * (1.5 - xaFrac);
                    row[xai + 1] += static_cast<float>(d * (a1 - a0));
                    const float step = static_cast<float>(d * s);
                    for (int xi = xai + 2; xi < xbi - 1; ++xi) row[xi] += step;
                    const double a2 = a1 + (xbi - xai - 3) * s;
                    row[xbi - 1] += static_cast<float>(d * (1 - a2 - am));
                }
                row[xbi] += static_cast<float>(d * am);
            }
            x = xnext;
        }
    }

    // A closed polygon (the last point joins the first).
    void Polygon(const QPolygonF& poly) {
        for (qsizetype i = 0; i < poly.size(); ++i) Line(poly[i], poly[(i + 1) % poly.size()]);
    }

    // Turns the sums into the coverage of every pixel, 0 to 1, even-odd or non-zero winding;
    // row y starts at Row(y).
    void Resolve(bool evenOdd) {
        for (int y = 0; y < box_.height(); ++y) {
            float* line = Row(y);
            float sum = 0;
            for (int x = 0; x < box_.width(); ++x) {
                sum += line[x];
                float c = std::abs(sum);
                if (evenOdd) {
                    c = std::fmod(c, 2.0f);
                    if (c > 1) c = 2 - c;
                }
                line[x] = std::min(c, 1.0f);
            }
        }
    }
    float* Row(int y) { return &acc_[static_cast<std::size_t>(y) * stride_]; }

private:
    QRect box_;
    int stride_;
    std::vector<float> acc_;
};

// Adds a triangle or quadrilateral (device coordinates through `t`) with its orientation made
// positive, so that overlapping pieces add up under the non-zero rule.
void AddPositive(Coverage& c, const QTransform& t, std::initializer_list<QPointF> corners) {
    QPointF pts[4];
    int n = 0;
    for (const QPointF& corner : corners) pts[n++] = t.map(corner);
    double area = 0;
    for (int i = 0; i < n; ++i) area += pts[i].x() * pts[(i + 1) % n].y() - pts[(i + 1) % n].x() * pts[i].y();
    for (int i = 0; i < n; ++i) {
        if (area >= 0) c.Line(pts[i], pts[(i + 1) % n]);
        else c.Line(pts[(i + 1) % n], pts[i]);
    }
}

// The outline of a pen of `width` along the points (device coordinates through `t`): a
// rectangle per segment, a bevel on the outer side of every join, square caps at the ends of
// an open line.
void AddStroke(Coverage& c, const QPolygonF& pts, bool closed, double width, const QTransform& t) {
    const double hw = width / 2;
    const qsizetype n = pts.size();
    const qsizetype segments = closed ? n : n - 1;
    bool havePrev = false;
    QPointF prevDir, firstDir;
    const auto join = [&](QPointF at, QPointF before, QPointF after) {
        const QPointF n0(-before.y() * hw, before.x() * hw), n1(-after.y() * hw, after.x() * hw);
        const double turn = before.x() * after.y() - before.y() * after.x();
        if (turn > 0) AddPositive(c, t, {at, at - n0, at - n1});
        else AddPositive(c, t, {at, at + n0, at + n1});
    };
    for (qsizetype i = 0; i < segments; ++i) {
        QPointF a = pts[i], b = pts[(i + 1) % n];
        const QPointF d = b - a;
        const double len = std::hypot(d.x(), d.y());
        if (!(len > 0) || !std::isfinite(len)) continue;
        const QPointF u = d / len, normal(-u.y() * hw, u.x() * hw);
        if (havePrev) join(a, prevDir, u);
        else firstDir = u;
        if (!closed && i == 0) a -= u * hw;
        if (!closed && i == segments - 1) b += u * hw;
        AddPositive(c, t, {a + normal, b + normal, b - normal, a - normal});
        prevDir = u;
        havePrev = true;
    }
    if (closed && havePrev) join(pts[0], prevDir, firstDir);
}

// Paints a picture of the box's device pixels through the coverage.
void PaintThrough(QPainter& p, Coverage& c, bool evenOdd, QImage layer) {
    const QRect box = c.box();
    c.Resolve(evenOdd);
    for (int y = 0; y < box.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(layer.scanLine(y));
        const float* cov = c.Row(y);
        for (int x = 0; x < box.width(); ++x) {
            const std::uint32_t k = static_cast<std::uint32_t>(cov[x] * 256 + 0.5f);
            if (k >= 256) continue;
            const std::uint32_t px = line[x];
            line[x] = (((px & 0xFF00FFu) * k >> 8) & 0xFF00FFu) | ((((px >> 8) & 0xFF00FFu) * k) & 0xFF00FF00u);
        }
    }
    const QTransform world = p.worldTransform();
    p.setWorldTransform(QTransform());
    const QTransform rest = p.deviceTransform();  // what lies between world and device pixels
    const qreal ratio = rest.m11() > 0 ? rest.m11() : 1;
    layer.setDevicePixelRatio(ratio);
    p.drawImage(rest.inverted().map(QPointF(box.topLeft())), layer);
    p.setWorldTransform(world);
}

// Paints the brush through the coverage.
void PaintCoverage(QPainter& p, Coverage& c, bool evenOdd, const QBrush& brush, const QTransform& toDevice) {
    const QRect box = c.box();
    QImage layer(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) return;
    if (brush.style() == Qt::SolidPattern) {
        layer.fill(brush.color());
    } else {
        layer.fill(Qt::transparent);
        QPainter q(&layer);
        q.setTransform(toDevice * QTransform::fromTranslate(-box.x(), -box.y()));
        q.fillRect(toDevice.inverted().mapRect(QRectF(box)), brush);
    }
    PaintThrough(p, c, evenOdd, std::move(layer));
}

// The device pixels an outline (device coordinates) can touch: its bounds grown by `margin`,
// within the device and the painter's clip.
QRect DeviceBox(QPainter& p, const QPolygonF& device, double margin) {
    const qreal ratio = p.device() ? p.device()->devicePixelRatio() : 1;
    QRectF bounds = p.device() ? QRectF(0, 0, p.device()->width() * ratio, p.device()->height() * ratio) : QRectF();
    if (p.hasClipping()) bounds &= p.deviceTransform().mapRect(p.clipBoundingRect());
    // The extremes as numbers of their own, cut to the bounds before a rectangle is made of
    // them: a rectangle keeps a width, in which a point far outside (a damaged file's 1e30)
    // would swallow the others.
    double left = bounds.right(), top = bounds.bottom(), right = bounds.left(), bottom = bounds.top();
    for (const QPointF& pt : device) {
        if (!std::isfinite(pt.x()) || !std::isfinite(pt.y())) continue;
        left = std::min(left, pt.x() - margin);
        right = std::max(right, pt.x() + margin);
        top = std::min(top, pt.y() - margin);
        bottom = std::max(bottom, pt.y() + margin);
    }
    left = std::max(left, bounds.left());
    top = std::max(top, bounds.top());
    right = std::min(right, bounds.right());
    bottom = std::min(bottom, bounds.bottom());
    if (!(right > left && bottom > top)) return {};
    return QRectF(QPointF(left, top), QPointF(right, bottom)).toAlignedRect() & bounds.toAlignedRect();
}

// The box a band of rows at a time, so that a coverage and its picture stay within 1M pixels
// (8 MB) however large the device; the edges are walked again per band, which costs far less
// than touching more memory.
template <class Paint>
void ForBands(QRect box, Paint paint) {
    const int rows = std::max(1, (1 << 20) / std::max(1, box.width()));
    for (int top = box.top(); top <= box.bottom(); top += rows) paint(QRect(box.left(), top, box.width(), std::min(rows, box.bottom() + 1 - top)));
}

// Whether the painter's own rasterizer draws the outline (device coordinates) in reasonable
// time. Its cost: per row, the square of its cells (the crossings and the run of each flat
// edge), times `weight`; beyond some sixteen million cell visits (tens of milliseconds) or with
// very many points, not.
bool Ordinary(const QPolygonF& device, bool closed, QRect box, double weight) {
    if (device.size() > 4096) return false;
    std::vector<double> diff(static_cast<std::size_t>(box.height()) + 1, 0.0);
    const qsizetype n = device.size();
    for (qsizetype i = 0; i < (closed ? n : n - 1); ++i) {
        const QPointF a = device[i], b = device[(i + 1) % n];
        const double top = std::max<double>(std::min(a.y(), b.y()) - box.y(), 0);
        const double bottom = std::min<double>(std::max(a.y(), b.y()) - box.y(), box.height());
        if (!(bottom >= top)) continue;
        const int r0 = std::min<int>(static_cast<int>(top), box.height() - 1), r1 = std::max(r0 + 1, static_cast<int>(std::ceil(bottom)));
        const double cells = std::min(std::abs(b.x() - a.x()), static_cast<double>(box.width())) / (r1 - r0) + 1;
        diff[r0] += cells;
        diff[r1] -= cells;
    }
    double cells = 0, cost = 0;
    for (int r = 0; r < box.height(); ++r) {
        cells += diff[r];
        cost += cells * cells * weight;
    }
    return cost < 16e6;
}

// Draws an outline of many points with the accumulator; false when the outline is ordinary
// (few enough crossings per row for the painter) and the caller draws it as before.
// The points that are numbers: a point of no number or infinity is left out and its
// neighbours joined, as the painter does, so that the outline still closes.
QPolygonF FinitePoints(const QPolygonF& pts) {
    QPolygonF out;
    out.reserve(pts.size());
    for (const QPointF& pt : pts) {
        if (std::isfinite(pt.x()) && std::isfinite(pt.y())) out << pt;
    }
    return out;
}

bool DrawLargeOutline(QPainter& p, const QPolygonF& given, bool closed, const QPen& pen, const QBrush& brush) {
    if (given.size() < 3) return false;
    const QPolygonF pts = FinitePoints(given);
    if (pts.size() < 2) return true;
    const QTransform toDevice = p.deviceTransform();
    const QPolygonF device = toDevice.map(pts);
    const bool stroke = pen.style() != Qt::NoPen;
    const double penWidth = stroke ? std::max(pen.widthF(), 1.0) : 0.0;
    const double scale = std::sqrt(std::abs(toDevice.determinant()));
    const QRect box = DeviceBox(p, device, penWidth * std::max(scale, 1.0) + 2);
    if (box.isEmpty()) return true;
    if (Ordinary(device, closed, box, stroke ? 4 : 1)) return false;
    if (brush.style() != Qt::NoBrush && closed) {
        ForBands(box, [&](QRect band) {
            Coverage fill(band);
            fill.Polygon(device);
            PaintCoverage(p, fill, true, brush, toDevice);
        });
    }
    // The painter's scale of pens: uniform scales and turns only (else a shear).
    const double sx = toDevice.m11() * toDevice.m11() + toDevice.m12() * toDevice.m12();
    const double sy = toDevice.m21() * toDevice.m21() + toDevice.m22() * toDevice.m22();
    const bool noShear = toDevice.type() <= QTransform::TxTranslate ||
                         (toDevice.type() <= QTransform::TxRotate && qFuzzyCompare(sx, sy));
    const double penScale = toDevice.type() <= QTransform::TxTranslate ? 1.0 : std::sqrt(std::max(sx, sy));
    if (stroke && noShear && penWidth * penScale <= 1) {
        // A line no wider than a pixel: the painter's thin-line drawing, which walks the
        // segments once.
        QPainterPath path;
        path.addPolygon(pts);
        if (closed) path.closeSubpath();
        p.setBrush(Qt::NoBrush);
        p.setPen(pen);
        p.drawPath(path);
    } else if (stroke) {
        ForBands(box, [&](QRect band) {
            Coverage line(band);
            AddStroke(line, pts, closed, penWidth, toDevice);
            PaintCoverage(p, line, false, pen.brush(), toDevice);
        });
    }
    return true;
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
            p.setBrush(Qt::NoBrush);
            p.drawPath(ItemPath(item));
            break;
        case kItemPolyline:
            if (!DrawLargeOutline(p, Points(static_cast<const PointsItem&>(item)), false, p.pen(), Qt::NoBrush)) {
                p.setBrush(Qt::NoBrush);
                p.drawPath(ItemPath(item));
            }
            break;
        case kItemPolygon:
            if (!DrawLargeOutline(p, Points(static_cast<const PointsItem&>(item)), true, p.pen(), brush)) {
                p.setBrush(brush);
                p.drawPath(ItemPath(item));
            }
            break;
        default:
            p.setBrush(brush);
            p.drawPath(ItemPath(item));
    }
    p.restore();
}

namespace {

// The turn of a mask item about its box's centre.
QTransform MaskTurn(const EffectItem& mask) {
    QTransform t;
    if (mask.angle % 360 != 0) {
        const QRectF box = Box(mask);
        t.translate(box.center().x(), box.center().y());
        t.rotate(mask.angle % 360);
        t.translate(-box.center().x(), -box.center().y());
    }
    return t;
}

// A layer whose mask is an outline of many points (a clip path of it would cost the painter
// the square of its crossings): the other items drawn into a picture of the device pixels the
// mask covers, shown through the mask's coverage. False for an ordinary mask.
bool DrawThroughLargeMask(QPainter& p, const EffectLayer& layer, const DesignTime& time) {
    const EffectItem& mask = *layer.mask;
    if (mask.kind() != kItemPolygon && mask.kind() != kItemPolyline) return false;
    const QPolygonF given = Points(static_cast<const PointsItem&>(mask));
    if (given.size() < 3) return false;
    const QPolygonF pts = FinitePoints(given);
    const QPolygonF device = (MaskTurn(mask) * p.deviceTransform()).map(pts);
    const QRect box = DeviceBox(p, device, 2);
    if (box.isEmpty()) return true;
    if (Ordinary(device, true, box, 1)) return false;
    ForBands(box, [&](QRect band) {
        QImage picture(band.size(), QImage::Format_ARGB32_Premultiplied);
        if (picture.isNull()) return;
        picture.fill(Qt::transparent);
        {
            QPainter q(&picture);
            q.setRenderHints(p.renderHints());
            q.setTransform(p.deviceTransform() * QTransform::fromTranslate(-band.x(), -band.y()));
            for (const auto& item : layer.items) {
                if (item.get() != layer.mask) DrawItem(q, *item, time);
            }
        }
        Coverage cover(band);
        cover.Polygon(device);
        PaintThrough(p, cover, true, std::move(picture));
    });
    return true;
}

}  // namespace

void DrawLayer(QPainter& p, const EffectLayer& layer, const DesignTime& time) {
    if (layer.mask && DrawThroughLargeMask(p, layer, time)) return;
    p.save();
    if (layer.mask) p.setClipPath(MaskTurn(*layer.mask).map(ItemPath(*layer.mask)), Qt::IntersectClip);
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
