#pragma once

#include <memory>

#include "project/EffectLayer.h"
#include "project/EffectList.h"

namespace corv::test {

// A layer holding one item of every kind 1..12 with non-default values, the group with two
// children, and the star as its mask.
inline std::unique_ptr<EffectLayer> LayerWithEveryKind() {
    auto layer = std::make_unique<EffectLayer>();
    layer->name = "1Th layer";
    for (int kind = 1; kind <= 12; ++kind) {
        auto item = CreateItem(kind);
        item->state = static_cast<std::uint8_t>(kind);
        item->x = 10.5f * kind;
        item->y = 3.25f * kind;
        item->w = 40;
        item->h = 20;
        item->colour = 0xFF000000u | static_cast<std::uint32_t>(kind * 0x010203);
        item->lineWidth = static_cast<std::uint8_t>(1 + kind % 6);
        item->angle = static_cast<std::uint16_t>(kind * 15);
        item->fill = static_cast<std::uint8_t>(kind % 2);
        item->sourceX = static_cast<std::int16_t>(kind);
        item->sourceY = -2;
        item->sourceW = 30;
        item->sourceH = 10;
        item->sourceClip = 0;
        if (auto* p = dynamic_cast<PointsItem*>(item.get())) {
            p->points = {{1, 2}, {30, 4}, {15, 40}};
        } else if (auto* t = dynamic_cast<TextItem*>(item.get())) {
            t->fontFace = "Noto Sans";
            t->fontValue = 0x00010018;
            t->text = "Hello \xE4\xBD\xA0\xE5\xA5\xBD";
        } else if (auto* pic = dynamic_cast<PictureItem*>(item.get())) {
            pic->pictureWidth = 3;
            pic->pictureHeight = 2;
            pic->pixels.resize(24);
            for (std::size_t i = 0; i < pic->pixels.size(); ++i) pic->pixels[i] = static_cast<std::uint8_t>(i * 7);
            pic->extra = 77;
        } else if (auto* g = dynamic_cast<GroupItem*>(item.get())) {
            g->children.push_back(CreateItem(kItemEllipse));
            auto inner = std::make_unique<GroupItem>();
            inner->children.push_back(CreateItem(kItemRectangle));
            g->children.push_back(std::move(inner));
        } else if (auto* s = dynamic_cast<StarItem*>(item.get())) {
            s->points = 7;
        } else if (auto* r = dynamic_cast<RoundRectItem*>(item.get())) {
            r->parameter = 33;
        } else if (auto* rp = dynamic_cast<RegularPolygonItem*>(item.get())) {
            rp->sides = 8;
        }
        layer->items.push_back(std::move(item));
    }
    layer->mask = layer->items[kItemStar - 1].get();
    return layer;
}

}  // namespace corv::test
