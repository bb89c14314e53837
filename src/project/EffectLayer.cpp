#include "project/EffectLayer.h"

#include <algorithm>

#include "lang/Language.h"
#include "lang/Localize.h"
#include "lang/UiStrings.h"
#include "lang/messages/EngineMessages.h"

namespace corv {

EffectLayer::EffectLayer(const EffectLayer& other) : flag(other.flag), checked(other.checked), name(other.name) {
    items.reserve(other.items.size());
    for (const auto& item : other.items) {
        items.push_back(item->Clone());
        if (item.get() == other.mask) {
            mask = items.back().get();
        }
    }
}

int EffectLayer::MaskPosition() const {
    if (!mask) {
        return 0;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].get() == mask) {
            return static_cast<int>(i + 1);
        }
    }
    return 0;
}

void EffectLayer::RemoveItem(const EffectItem* item) {
    if (item == mask) {
        mask = nullptr;
    }
    std::erase_if(items, [item](const auto& p) { return p.get() == item; });
}

void EffectLayer::Write(ByteWriter& w) const {
    const std::size_t nameLength = std::min<std::size_t>(name.size(), 255);
    w.U8(static_cast<std::uint8_t>(nameLength));
    w.Bytes(name.data(), nameLength);
    const std::size_t n = std::min<std::size_t>(items.size(), 0xFFFF);
    w.U16(static_cast<std::uint16_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        items[i]->Write(w);
    }
    const int maskPos = MaskPosition();
    w.U16(static_cast<std::uint16_t>(maskPos <= static_cast<int>(n) ? maskPos : 0));
}

std::unique_ptr<EffectLayer> EffectLayer::Read(ByteReader& r) {
    auto layer = std::make_unique<EffectLayer>();
    std::uint8_t nameLength = 0;
    std::uint16_t count = 0;
    if (!r.U8(nameLength) || !r.FixedString(nameLength, layer->name) || !r.U16(count)) {
        return nullptr;
    }
    // Each item record takes at least the common fields; a count that cannot fit is refused
    // before anything is allocated for it.
    if (static_cast<std::size_t>(count) > r.remaining() / EffectItem::kCommonRecordSize) {
        return nullptr;
    }
    layer->items.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        auto item = ReadItem(r);
        if (!item) {
            return nullptr;
        }
        layer->items.push_back(std::move(item));
    }
    std::uint16_t maskPos = 0;
    if (!r.U16(maskPos)) {
        return nullptr;
    }
    if (maskPos >= 1 && maskPos <= count) {
        layer->mask = layer->items[maskPos - 1u].get();
    }
    return layer;
}

std::string LayerName(int position, std::uint8_t language) {
    if (UsesChinese(language)) {
        return LocalizeText(Format(msg::engine::kLayerName.chinese, position), language);
    }
    return Format(msg::engine::kLayerName.english, position);
}

}  // namespace corv
