#include "layout/LightType.h"

#include <algorithm>
#include <cstring>

namespace corv {

std::string LightTypeRecord::Name() const {
    std::size_t n = 0;
    while (n < name.size() && name[n] != '\0') {
        ++n;
    }
    return std::string(name.data(), n);
}

void LightTypeRecord::SetName(const std::string& text) {
    name.fill('\0');
    std::memcpy(name.data(), text.data(), std::min(text.size(), kNameSize - 1));
}

std::array<std::uint8_t, LightTypeRecord::kSize> LightTypeRecord::Bytes() const {
    std::array<std::uint8_t, kSize> out{};
    out[0] = pinCount;
    std::memcpy(out.data() + 1, name.data(), kNameSize);
    std::memcpy(out.data() + 1 + kNameSize, pins.data(), kMaxPins);
    return out;
}

LightTypeRecord LightTypeRecord::FromBytes(std::span<const std::uint8_t> bytes) {
    LightTypeRecord r;
    if (bytes.empty()) {
        return r;
    }
    r.pinCount = bytes[0];
    const std::size_t nameBytes = std::min(kNameSize, bytes.size() - 1);
    std::memcpy(r.name.data(), bytes.data() + 1, nameBytes);
    if (bytes.size() > 1 + kNameSize) {
        const std::size_t pinBytes = std::min(kMaxPins, bytes.size() - 1 - kNameSize);
        std::memcpy(r.pins.data(), bytes.data() + 1 + kNameSize, pinBytes);
    }
    return r;
}

std::string PinText(std::uint8_t value) {
    if (value == LightTypeRecord::kNotConnected) {
        return " ";
    }
    return std::string(1, "BGR"[value % 3]) + std::to_string(value / 3 + 1);
}

std::vector<LightTypeRecord> BuiltInLightTypes() {
    std::vector<LightTypeRecord> list;
    for (const char* name : {"RGB", "RBG", "GRB", "GBR", "BRG", "BGR"}) {
        LightTypeRecord r;
        r.pinCount = 3;
        r.SetName(name);
        r.pins.fill(LightTypeRecord::kNotConnected);
        for (int i = 0; i < 3; ++i) {
            r.pins[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::string("BGR").find(name[i]));
        }
        list.push_back(r);
    }
    return list;
}

}  // namespace corv
