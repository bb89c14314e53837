#include "project/EffectItem.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corv {

const char* ItemKindName(int kind) {
    static const char* const names[] = {"unknown",      "rectangle", "polyline", "ellipse",
                                        "line",         "round rectangle", "text", "picture",
                                        "star",         "group",     "polygon",  "regular polygon",
                                        "picture area"};
    return kind >= 1 && kind <= 12 ? names[kind] : names[0];
}

namespace {

bool InBox(const RectF& b, float px, float py) {
    // Boxes may be drawn in any direction: normalise negative sizes.
    const float x0 = std::min(b.x, b.x + b.w), x1 = std::max(b.x, b.x + b.w);
    const float y0 = std::min(b.y, b.y + b.h), y1 = std::max(b.y, b.y + b.h);
    return px >= x0 && px <= x1 && py >= y0 && py <= y1;
}

float DistanceToSegment(PointF a, PointF b, float px, float py) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / len2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float cx = a.x + t * dx - px, cy = a.y + t * dy - py;
    return std::sqrt(cx * cx + cy * cy);
}

// How close to a stroke a click must be to hit it.
float StrokeTolerance(std::uint8_t lineWidth) { return std::max(3.0f, lineWidth / 2.0f + 1.0f); }

}  // namespace

void EffectItem::Write(ByteWriter& w) const {
    w.U8(kind_);
    w.U8(state);
    w.F32(x);
    w.F32(y);
    w.F32(this->w);
    w.F32(h);
    w.U32(colour);
    w.U8(lineWidth);
    w.U16(angle);
    w.U8(fill);
    w.I16(sourceX);
    w.I16(sourceY);
    w.I16(sourceW);
    w.I16(sourceH);
    w.I16(sourceClip);
    WriteExtra(w);
}

void EffectItem::MoveBy(float dx, float dy) {
    x += dx;
    y += dy;
}

bool EffectItem::HitTest(float px, float py) const { return InBox(BoundingBox(), px, py); }

std::unique_ptr<EffectItem> CreateItem(int kind) {
    switch (kind) {
        case kItemRectangle:
        case kItemEllipse:
        case kItemLine:
        case kItemPictureArea:
            return std::make_unique<ShapeItem>(static_cast<std::uint8_t>(kind));
        case kItemPolyline:
        case kItemPolygon:
            return std::make_unique<PointsItem>(static_cast<std::uint8_t>(kind));
        case kItemRoundRect:
            return std::make_unique<RoundRectItem>();
        case kItemText:
            return std::make_unique<TextItem>();
        case kItemPicture:
            return std::make_unique<PictureItem>();
        case kItemStar:
            return std::make_unique<StarItem>();
        case kItemGroup:
            return std::make_unique<GroupItem>();
        case kItemRegularPolygon:
            return std::make_unique<RegularPolygonItem>();
        default:
            return nullptr;
    }
}

std::unique_ptr<EffectItem> ReadItem(ByteReader& r, int depth) {
    std::uint8_t kind = 0;
    if (depth > EffectItem::kMaxGroupDepth || !r.U8(kind)) {
        return nullptr;
    }
    auto item = CreateItem(kind);
    if (!item) {
        return nullptr;
    }
    float x, y, w, h;
    bool ok = r.U8(item->state) && r.F32(x) && r.F32(y) && r.F32(w) && r.F32(h) && r.U32(item->colour) &&
              r.U8(item->lineWidth) && r.U16(item->angle) && r.U8(item->fill) && r.I16(item->sourceX) &&
              r.I16(item->sourceY) && r.I16(item->sourceW) && r.I16(item->sourceH) && r.I16(item->sourceClip);
    if (!ok) {
        return nullptr;
    }
    item->x = x;
    item->y = y;
    item->w = w;
    item->h = h;
    if (!item->ReadExtra(r, depth) || !r.ok()) {
        return nullptr;
    }
    item->AfterLoad(-1);
    return item;
}

bool ShapeItem::HitTest(float px, float py) const {
    if (kind() == kItemEllipse) {
        const float rx = std::abs(w) / 2, ry = std::abs(h) / 2;
        if (rx <= 0 || ry <= 0) {
            return false;
        }
        const float cx = std::min(x, x + w) + rx, cy = std::min(y, y + h) + ry;
        const float nx = (px - cx) / rx, ny = (py - cy) / ry;
        return nx * nx + ny * ny <= 1.0f;
    }
    if (kind() == kItemLine) {
        return DistanceToSegment({x, y}, {x + w, y + h}, px, py) <= StrokeTolerance(lineWidth);
    }
    return EffectItem::HitTest(px, py);
}

RectF PointsItem::BoundingBox() const {
    if (points.empty()) {
        return EffectItem::BoundingBox();
    }
    float x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
    for (const auto& p : points) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

void PointsItem::MoveBy(float dx, float dy) {
    EffectItem::MoveBy(dx, dy);
    for (auto& p : points) {
        p.x += dx;
        p.y += dy;
    }
}

bool PointsItem::HitTest(float px, float py) const {
    if (points.size() < 2) {
        return EffectItem::HitTest(px, py);
    }
    const float tol = StrokeTolerance(lineWidth);
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        if (DistanceToSegment(points[i], points[i + 1], px, py) <= tol) {
            return true;
        }
    }
    if (kind() == kItemPolygon) {
        if (DistanceToSegment(points.back(), points.front(), px, py) <= tol) {
            return true;
        }
        if (fill) {
            // Even-odd rule inside the closed outline.
            bool inside = false;
            for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                const PointF a = points[i], b = points[j];
                if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x) {
                    inside = !inside;
                }
            }
            return inside;
        }
    }
    return false;
}

void PointsItem::WriteExtra(ByteWriter& w) const {
    const std::size_t n = std::min<std::size_t>(points.size(), std::numeric_limits<std::uint16_t>::max());
    w.U16(static_cast<std::uint16_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        w.F32(points[i].x);
        w.F32(points[i].y);
    }
}

bool PointsItem::ReadExtra(ByteReader& r, int) {
    std::uint16_t n = 0;
    if (!r.U16(n) || !r.Has(static_cast<std::size_t>(n) * 8)) {
        return false;
    }
    points.resize(n);
    for (auto& p : points) {
        r.F32(p.x);
        r.F32(p.y);
    }
    return r.ok();
}

void TextItem::WriteExtra(ByteWriter& w) const {
    w.FixedString(fontFace, kFaceNameSize);
    w.U32(fontValue);
    const std::size_t n = std::min<std::size_t>(text.size(), std::numeric_limits<std::uint16_t>::max());
    w.U16(static_cast<std::uint16_t>(n));
    w.Bytes(text.data(), n);
}

bool TextItem::ReadExtra(ByteReader& r, int) {
    std::uint16_t n = 0;
    if (!r.FixedString(kFaceNameSize, fontFace) || !r.U32(fontValue) || !r.U16(n)) {
        return false;
    }
    auto bytes = r.Take(n);
    if (!r.ok()) {
        return false;
    }
    text.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return true;
}

void PictureItem::WriteExtra(ByteWriter& w) const {
    w.U8(flag);
    w.U16(value);
    w.U32(extra);
    const std::size_t need = static_cast<std::size_t>(pictureWidth) * pictureHeight * 4;
    if (pixels.size() == need) {
        w.U32(pictureWidth);
        w.U32(pictureHeight);
        w.Bytes(pixels.data(), pixels.size());
    } else {
        // Inconsistent pixel data is never written as if it matched the size.
        w.U32(0);
        w.U32(0);
    }
}

bool PictureItem::ReadExtra(ByteReader& r, int) {
    if (!r.U8(flag) || !r.U16(value) || !r.U32(extra) || !r.U32(pictureWidth) || !r.U32(pictureHeight)) {
        return false;
    }
    const std::uint64_t pixelCount = static_cast<std::uint64_t>(pictureWidth) * pictureHeight;
    if (pixelCount > r.remaining() / 4) {
        return false;
    }
    auto bytes = r.Take(static_cast<std::size_t>(pixelCount * 4));
    if (!r.ok()) {
        return false;
    }
    pixels.assign(bytes.begin(), bytes.end());
    return true;
}

GroupItem::GroupItem(const GroupItem& other) : EffectItem(other) {
    children.reserve(other.children.size());
    for (const auto& c : other.children) {
        children.push_back(c->Clone());
    }
}

RectF GroupItem::BoundingBox() const {
    if (children.empty()) {
        return EffectItem::BoundingBox();
    }
    RectF first = children.front()->BoundingBox();
    float x0 = std::min(first.x, first.x + first.w), x1 = std::max(first.x, first.x + first.w);
    float y0 = std::min(first.y, first.y + first.h), y1 = std::max(first.y, first.y + first.h);
    for (const auto& c : children) {
        RectF b = c->BoundingBox();
        x0 = std::min({x0, b.x, b.x + b.w});
        x1 = std::max({x1, b.x, b.x + b.w});
        y0 = std::min({y0, b.y, b.y + b.h});
        y1 = std::max({y1, b.y, b.y + b.h});
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

void GroupItem::MoveBy(float dx, float dy) {
    EffectItem::MoveBy(dx, dy);
    for (auto& c : children) {
        c->MoveBy(dx, dy);
    }
}

bool GroupItem::HitTest(float px, float py) const {
    if (children.empty()) {
        return EffectItem::HitTest(px, py);
    }
    return std::any_of(children.begin(), children.end(), [&](const auto& c) { return c->HitTest(px, py); });
}

void GroupItem::WriteExtra(ByteWriter& w) const {
    const std::size_t n = std::min<std::size_t>(children.size(), std::numeric_limits<std::uint16_t>::max());
    w.U16(static_cast<std::uint16_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        children[i]->Write(w);
    }
}

bool GroupItem::ReadExtra(ByteReader& r, int depth) {
    std::uint16_t n = 0;
    if (!r.U16(n) || static_cast<std::size_t>(n) > r.remaining() / kCommonRecordSize) {
        return false;
    }
    children.reserve(n);
    for (std::uint16_t i = 0; i < n; ++i) {
        auto child = ReadItem(r, depth + 1);
        if (!child) {
            return false;
        }
        children.push_back(std::move(child));
    }
    return true;
}

}  // namespace corv
