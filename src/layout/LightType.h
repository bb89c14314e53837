#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corv {

// A lamp type: which driver-chip pin carries which colour component of which pixel.
// Stored as 243 bytes: pin count, 50-byte name, 192 pin bytes.
struct LightTypeRecord {
    static constexpr std::size_t kSize = 243;
    static constexpr std::size_t kOldSize = 115;  // older files: 64 pin bytes
    static constexpr std::size_t kNameSize = 50;
    static constexpr std::size_t kMaxPins = 192;
    static constexpr std::uint8_t kNotConnected = 255;

    std::uint8_t pinCount = 0;
    std::array<char, kNameSize> name{};
    std::array<std::uint8_t, kMaxPins> pins{};

    std::string Name() const;
    void SetName(const std::string& text);  // cut to 49 bytes and NUL-terminated

    std::array<std::uint8_t, kSize> Bytes() const;
    // From a 243-byte or 115-byte record (the older form is widened with pins 0).
    static LightTypeRecord FromBytes(std::span<const std::uint8_t> bytes);

    friend bool operator==(const LightTypeRecord&, const LightTypeRecord&) = default;
};

// "%c%d" text of a pin value ("R1", "B2"); " " when the pin is not connected.
std::string PinText(std::uint8_t value);

// The six built-in lamp types RGB, RBG, GRB, GBR, BRG, BGR.
std::vector<LightTypeRecord> BuiltInLightTypes();
inline constexpr std::size_t kBuiltInLightTypes = 6;

}  // namespace corv
