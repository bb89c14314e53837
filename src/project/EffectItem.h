#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Binary.h"

namespace corv {

struct RectF {
    float x = 0, y = 0, w = 0, h = 0;
    friend bool operator==(const RectF&, const RectF&) = default;
};

struct PointF {
    float x = 0, y = 0;
    friend bool operator==(const PointF&, const PointF&) = default;
};

// Item kinds as stored in the kind byte.
enum ItemKind : std::uint8_t {
    kItemRectangle = 1,
    kItemPolyline = 2,
    kItemEllipse = 3,
    kItemLine = 4,
    kItemRoundRect = 5,
    kItemText = 6,
    kItemPicture = 7,
    kItemStar = 8,
    kItemGroup = 9,
    kItemPolygon = 10,
    kItemRegularPolygon = 11,
    kItemPictureArea = 12,
};

// Short English name of an item kind ("rectangle", "group", ...); "unknown" outside 1..12.
const char* ItemKindName(int kind);

// One drawing item of a design layer. Every kind shares the common fields and adds its
// own data after them in the record.
class EffectItem {
public:
    // Bytes of the common part of an item record: the least any record takes.
    static constexpr std::size_t kCommonRecordSize = 36;
    // Deepest group nesting a file may hold.
    static constexpr int kMaxGroupDepth = 32;

    explicit EffectItem(std::uint8_t kind) : kind_(kind) {}
    virtual ~EffectItem() = default;

    std::uint8_t kind() const { return kind_; }

    std::uint8_t state = 0;
    float x = 0, y = 0, w = 0, h = 0;
    std::uint32_t colour = 0xFFFF0000u;  // ARGB, opaque red
    std::uint8_t lineWidth = 1;
    std::uint16_t angle = 0;
    std::uint8_t fill = 1;
    std::int16_t sourceX = -1, sourceY = -1, sourceW = 1, sourceH = 1;
    std::int16_t sourceClip = -1;

    // The whole record: common fields, then the kind's data.
    void Write(ByteWriter& w) const;
    virtual std::unique_ptr<EffectItem> Clone() const = 0;
    virtual RectF BoundingBox() const { return {x, y, w, h}; }
    virtual void MoveBy(float dx, float dy);
    virtual bool HitTest(float px, float py) const;
    // Called with -1 right after the record has been read.
    virtual void AfterLoad(int) {}

protected:
    EffectItem(const EffectItem&) = default;
    virtual void WriteExtra(ByteWriter&) const {}
    // Reads the kind's data; false when the record is short or inconsistent.
    virtual bool ReadExtra(ByteReader&, int /*depth*/) { return true; }

    friend std::unique_ptr<EffectItem> ReadItem(ByteReader& r, int depth);

private:
    std::uint8_t kind_;
};

// A new item of `kind` with its defaults; nullptr outside 1..12.
std::unique_ptr<EffectItem> CreateItem(int kind);
// Reads one item record (kind byte first); nullptr when the kind is outside 1..12 or the
// record runs past the data.
std::unique_ptr<EffectItem> ReadItem(ByteReader& r, int depth = 0);

namespace detail {
template <class T>
class ItemOf : public EffectItem {
public:
    using EffectItem::EffectItem;
    std::unique_ptr<EffectItem> Clone() const override {
        return std::make_unique<T>(static_cast<const T&>(*this));
    }
};
}  // namespace detail

// Kinds 1, 3, 4, 12: the box alone.
class ShapeItem : public detail::ItemOf<ShapeItem> {
public:
    explicit ShapeItem(std::uint8_t kind) : ItemOf(kind) {}
    bool HitTest(float px, float py) const override;
};

// Kinds 2, 10: a list of points.
class PointsItem : public detail::ItemOf<PointsItem> {
public:
    explicit PointsItem(std::uint8_t kind) : ItemOf(kind) {}
    std::vector<PointF> points;

    RectF BoundingBox() const override;
    void MoveBy(float dx, float dy) override;
    bool HitTest(float px, float py) const override;

protected:
    void WriteExtra(ByteWriter& w) const override;
    bool ReadExtra(ByteReader& r, int depth) override;
};

// Kind 5: a rectangle with rounded corners; the parameter is the corner radius.
class RoundRectItem : public detail::ItemOf<RoundRectItem> {
public:
    RoundRectItem() : ItemOf(kItemRoundRect) {}
    std::uint16_t parameter = 20;

protected:
    void WriteExtra(ByteWriter& w) const override { w.U16(parameter); }
    bool ReadExtra(ByteReader& r, int) override { return r.U16(parameter); }
};

// Kind 6: text drawn with a font.
class TextItem : public detail::ItemOf<TextItem> {
public:
    static constexpr std::size_t kFaceNameSize = 32;
    TextItem() : ItemOf(kItemText) {}
    std::string fontFace;      // at most 31 bytes
    std::uint32_t fontValue = 0;
    std::string text;          // stored bytes, at most 65535

protected:
    void WriteExtra(ByteWriter& w) const override;
    bool ReadExtra(ByteReader& r, int depth) override;
};

// Kind 7: a 32-bit ARGB picture drawn scaled into the box.
class PictureItem : public detail::ItemOf<PictureItem> {
public:
    PictureItem() : ItemOf(kItemPicture) {}
    std::uint8_t flag = 3;
    std::uint16_t value = 180;
    std::uint32_t extra = 0;
    std::uint32_t pictureWidth = 0;
    std::uint32_t pictureHeight = 0;
    std::vector<std::uint8_t> pixels;  // pictureWidth x pictureHeight x 4 bytes

protected:
    void WriteExtra(ByteWriter& w) const override;
    bool ReadExtra(ByteReader& r, int depth) override;
};

// Kind 8: a star; inner radius in percent of the outer one, and the number of points.
class StarItem : public detail::ItemOf<StarItem> {
public:
    StarItem() : ItemOf(kItemStar) {}
    std::uint8_t innerPercent = 38;
    std::uint8_t points = 5;

protected:
    void WriteExtra(ByteWriter& w) const override {
        w.U8(innerPercent);
        w.U8(points);
    }
    bool ReadExtra(ByteReader& r, int) override { return r.U8(innerPercent) && r.U8(points); }
};

// Kind 11: a regular polygon with a number of sides.
class RegularPolygonItem : public detail::ItemOf<RegularPolygonItem> {
public:
    RegularPolygonItem() : ItemOf(kItemRegularPolygon) {}
    std::uint8_t sides = 5;

protected:
    void WriteExtra(ByteWriter& w) const override { w.U8(sides); }
    bool ReadExtra(ByteReader& r, int) override { return r.U8(sides); }
};

// Kind 9: a group that owns its children.
class GroupItem : public EffectItem {
public:
    GroupItem() : EffectItem(kItemGroup) {}
    GroupItem(const GroupItem& other);
    std::vector<std::unique_ptr<EffectItem>> children;

    std::unique_ptr<EffectItem> Clone() const override { return std::make_unique<GroupItem>(*this); }
    RectF BoundingBox() const override;
    void MoveBy(float dx, float dy) override;
    bool HitTest(float px, float py) const override;

protected:
    void WriteExtra(ByteWriter& w) const override;
    bool ReadExtra(ByteReader& r, int depth) override;
};

}  // namespace corv
