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

std::size_t SlaveRecordOffset(std::size_t i) {
    constexpr std::size_t kPerSector = kLedSector / kSpreadRecordBytes;  // 19
    if (i < kPerSector) {
        return kLedHeadBytes + kSpreadRecordBytes * i;
    }
    const std::size_t later = i - kPerSector;
    return kLedSector * (1 + later / kPerSector) + kSpreadRecordBytes * (later % kPerSector);
}

std::uint32_t SpreadDataOffset(const std::uint8_t* head) {
    return static_cast<std::uint32_t>(UnspreadByte(head[4], head[5]) << 8 | UnspreadByte(head[6], head[7]));
}

}  // namespace corv
