#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Binary.h"
#include "project/EffectItem.h"

namespace corv {

// One layer of the design canvas: its items in drawing order and an optional mask item.
class EffectLayer {
public:
    // Bytes of the smallest layer record (empty name, no items).
    static constexpr std::size_t kMinRecordSize = 1 + 2 + 2;

    EffectLayer() = default;
    EffectLayer(const EffectLayer& other);  // deep copy, the mask follows its item
    EffectLayer& operator=(const EffectLayer&) = delete;
    virtual ~EffectLayer() = default;

    std::uint8_t flag = 1;     // not stored
    std::uint8_t checked = 1;  // not stored
    std::string name;
    std::vector<std::unique_ptr<EffectItem>> items;
    const EffectItem* mask = nullptr;

    // 1-based position of the mask item in `items`; 0 when there is none or it is gone.
    int MaskPosition() const;
    // Removes an item (and the mask when it was the mask).
    void RemoveItem(const EffectItem* item);

    void Write(ByteWriter& w) const;
    // Reads a layer record; nullptr when the record is short, an item kind is outside
    // 1..12 or a count runs past the data.
    static std::unique_ptr<EffectLayer> Read(ByteReader& r);
};

// The name shown for the layer at a 1-based position: "%dTh layer", or its Chinese form.
std::string LayerName(int position, std::uint8_t language);

}  // namespace corv
