#include "formats/Spread.h"

namespace corv {

void SpreadByte(std::uint8_t x, Random& rng, std::uint8_t out[2]) {
    const auto r1 = static_cast<std::uint8_t>(rng.Next32() >> 24);
    const auto r2 = static_cast<std::uint8_t>(rng.Next32() >> 24);
    out[0] = static_cast<std::uint8_t>((r1 & 0x1F) | (x << 5));
    out[1] = static_cast<std::uint8_t>((r2 & 0xE0) | (x >> 3));
}

std::uint8_t UnspreadByte(std::uint8_t first, std::uint8_t second) {
    return static_cast<std::uint8_t>((first >> 5) | ((second & 0x1F) << 3));
}

}  // namespace corv
