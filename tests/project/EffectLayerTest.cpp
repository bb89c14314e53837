#include <gtest/gtest.h>

#include "SampleDesign.h"
#include "project/EffectLayer.h"

using namespace corv;

namespace {
std::vector<std::uint8_t> Bytes(const EffectLayer& layer) {
    ByteWriter w;
    layer.Write(w);
    return w.bytes();
}
}  // namespace

TEST(EffectLayer, EmptyLayerTakesNamePlusFiveBytes) {
    EffectLayer layer;
    layer.name = "2Th layer";
    EXPECT_EQ(Bytes(layer).size(), 1 + layer.name.size() + 2 + 2);
}

TEST(EffectLayer, EveryItemKindSurvivesWriteAndRead) {
    auto layer = test::LayerWithEveryKind();
    const auto bytes = Bytes(*layer);
    ByteReader r(bytes);
    auto back = EffectLayer::Read(r);
    ASSERT_TRUE(back);
    EXPECT_TRUE(r.atEnd());
    ASSERT_EQ(back->items.size(), 12u);
    EXPECT_EQ(back->name, "1Th layer");
    EXPECT_EQ(back->MaskPosition(), kItemStar);
    for (int kind = 1; kind <= 12; ++kind) {
        const EffectItem& a = *layer->items[kind - 1];
        const EffectItem& b = *back->items[kind - 1];
        EXPECT_EQ(b.kind(), kind);
        EXPECT_EQ(b.x, a.x);
        EXPECT_EQ(b.colour, a.colour);
        EXPECT_EQ(b.angle, a.angle);
        EXPECT_EQ(b.sourceY, -2);
    }
    EXPECT_EQ(dynamic_cast<TextItem&>(*back->items[5]).text, "Hello \xE4\xBD\xA0\xE5\xA5\xBD");
    EXPECT_EQ(dynamic_cast<PictureItem&>(*back->items[6]).pixels[23], 23 * 7);
    EXPECT_EQ(dynamic_cast<GroupItem&>(*back->items[8]).children.size(), 2u);
    EXPECT_EQ(dynamic_cast<StarItem&>(*back->items[7]).points, 7);
    EXPECT_EQ(dynamic_cast<RoundRectItem&>(*back->items[4]).parameter, 33);
    EXPECT_EQ(dynamic_cast<RegularPolygonItem&>(*back->items[10]).sides, 8);
    // Writing what was read gives the same bytes.
    EXPECT_EQ(Bytes(*back), bytes);
}

TEST(EffectLayer, DefaultsOfNewItems) {
    auto item = CreateItem(kItemRectangle);
    EXPECT_EQ(item->colour, 0xFFFF0000u);
    EXPECT_EQ(item->lineWidth, 1);
    EXPECT_EQ(item->fill, 1);
    EXPECT_EQ(item->sourceClip, -1);
    EXPECT_EQ(item->sourceW, 1);
    EXPECT_EQ(dynamic_cast<RoundRectItem&>(*CreateItem(kItemRoundRect)).parameter, 20);
    auto picItem = CreateItem(kItemPicture);
    auto& pic = dynamic_cast<PictureItem&>(*picItem);
    EXPECT_EQ(pic.flag, 3);
    EXPECT_EQ(pic.value, 180);
    auto starItem = CreateItem(kItemStar);
    auto& star = dynamic_cast<StarItem&>(*starItem);
    EXPECT_EQ(star.innerPercent, 38);
    EXPECT_EQ(star.points, 5);
    EXPECT_EQ(dynamic_cast<RegularPolygonItem&>(*CreateItem(kItemRegularPolygon)).sides, 5);
    EXPECT_EQ(CreateItem(0), nullptr);
    EXPECT_EQ(CreateItem(13), nullptr);
}

TEST(EffectLayer, UnknownKindsAndImpossibleCountsAreRefused) {
    auto layer = test::LayerWithEveryKind();
    auto bytes = Bytes(*layer);
    const std::size_t firstItem = 1 + layer->name.size() + 2;
    for (std::uint8_t bad : {0, 13, 255}) {
        auto copy = bytes;
        copy[firstItem] = bad;
        ByteReader r(copy);
        EXPECT_EQ(EffectLayer::Read(r), nullptr) << int(bad);
    }
    auto copy = bytes;
    StoreU16(copy.data() + firstItem - 2, 0xFFFF);  // item count past the end
    ByteReader r(copy);
    EXPECT_EQ(EffectLayer::Read(r), nullptr);
    // A picture that claims more pixels than there are.
    ByteWriter w;
    PictureItem pic;
    pic.Write(w);
    StoreU32(w.bytes().data() + EffectItem::kCommonRecordSize + 7, 0x10000);
    StoreU32(w.bytes().data() + EffectItem::kCommonRecordSize + 11, 0x10000);
    ByteReader pr(w.bytes());
    EXPECT_EQ(ReadItem(pr), nullptr);
}

TEST(EffectLayer, DeeplyNestedGroupsAreRefusedNotRecursedForever) {
    ByteWriter w;
    const int depth = EffectItem::kMaxGroupDepth + 5;
    // Build the record by hand: every group holds one more group.
    for (int i = 0; i < depth; ++i) {
        ByteWriter one;
        GroupItem empty;
        empty.Write(one);
        auto b = one.bytes();
        b.resize(b.size() - 2);  // drop the child count of 0
        w.Bytes(b);
        w.U16(1);
    }
    GroupItem leaf;
    leaf.Write(w);
    ByteReader r(w.bytes());
    EXPECT_EQ(ReadItem(r), nullptr);
}

TEST(EffectLayer, MaskThatLeftTheLayerIsStoredAsZero) {
    auto layer = test::LayerWithEveryKind();
    auto removed = layer->items[kItemStar - 1]->Clone();
    layer->mask = removed.get();  // no longer one of the layer's items
    auto bytes = Bytes(*layer);
    EXPECT_EQ(LoadU16(bytes.data() + bytes.size() - 2), 0);
    layer = test::LayerWithEveryKind();
    layer->RemoveItem(layer->mask);
    EXPECT_EQ(layer->mask, nullptr);
    EXPECT_EQ(layer->items.size(), 11u);
    // A stored mask position outside 1..c leaves the mask empty.
    bytes = Bytes(*layer);
    StoreU16(bytes.data() + bytes.size() - 2, 12);
    ByteReader r(bytes);
    auto back = EffectLayer::Read(r);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->mask, nullptr);
}

TEST(EffectLayer, CloneIsDeepAndMaskFollows) {
    auto layer = test::LayerWithEveryKind();
    EffectLayer copy(*layer);
    ASSERT_EQ(copy.items.size(), 12u);
    EXPECT_NE(copy.items[0].get(), layer->items[0].get());
    EXPECT_EQ(copy.MaskPosition(), kItemStar);
    auto& group = dynamic_cast<GroupItem&>(*copy.items[kItemGroup - 1]);
    auto& original = dynamic_cast<GroupItem&>(*layer->items[kItemGroup - 1]);
    EXPECT_NE(group.children[0].get(), original.children[0].get());
    group.MoveBy(5, 5);
    EXPECT_NE(group.children[0]->x, original.children[0]->x);
    EXPECT_EQ(Bytes(*layer), Bytes(EffectLayer(*layer)));
}

TEST(EffectItem, BoundingBoxMoveAndHitTest) {
    auto rect = CreateItem(kItemRectangle);
    rect->x = 10;
    rect->y = 20;
    rect->w = 30;
    rect->h = 40;
    EXPECT_EQ(rect->BoundingBox(), (RectF{10, 20, 30, 40}));
    EXPECT_TRUE(rect->HitTest(11, 21));
    EXPECT_FALSE(rect->HitTest(41, 21));
    rect->MoveBy(-10, 5);
    EXPECT_EQ(rect->BoundingBox(), (RectF{0, 25, 30, 40}));

    auto ellipse = CreateItem(kItemEllipse);
    ellipse->w = 100;
    ellipse->h = 50;
    EXPECT_TRUE(ellipse->HitTest(50, 25));
    EXPECT_FALSE(ellipse->HitTest(2, 2));  // a corner of the box is outside the ellipse

    auto line = CreateItem(kItemLine);
    line->w = 100;
    line->h = 100;
    EXPECT_TRUE(line->HitTest(50, 51));
    EXPECT_FALSE(line->HitTest(80, 10));

    PointsItem poly(kItemPolygon);
    poly.points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(poly.BoundingBox(), (RectF{0, 0, 10, 10}));
    EXPECT_TRUE(poly.HitTest(5, 5));  // filled inside
    poly.fill = 0;
    EXPECT_FALSE(poly.HitTest(5, 5));
    EXPECT_TRUE(poly.HitTest(0, 5));  // on the closing edge
    poly.MoveBy(100, 0);
    EXPECT_EQ(poly.points[0], (PointF{100, 0}));
    PointsItem polyline(kItemPolyline);
    polyline.points = {{0, 0}, {10, 0}, {10, 10}};
    EXPECT_FALSE(polyline.HitTest(0, 10));  // open: no closing edge

    GroupItem group;
    group.children.push_back(CreateItem(kItemRectangle));
    group.children[0]->w = 5;
    group.children[0]->h = 5;
    group.children.push_back(CreateItem(kItemRectangle));
    group.children[1]->x = 20;
    group.children[1]->w = 5;
    group.children[1]->h = 5;
    EXPECT_EQ(group.BoundingBox(), (RectF{0, 0, 25, 5}));
    EXPECT_TRUE(group.HitTest(22, 2));
    EXPECT_FALSE(group.HitTest(10, 2));  // between the children
}

TEST(EffectLayer, GeneratedNames) {
    EXPECT_EQ(LayerName(3, 3), "3Th layer");
    EXPECT_EQ(LayerName(2, 1), "第2层");
    EXPECT_EQ(LayerName(2, 2), "第2層");
}
