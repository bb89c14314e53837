#pragma once

#include <cstdint>

#include "base/Random.h"

namespace corv {

// The spread encoding of controller data files: each byte x becomes two bytes,
// (r1 AND 0x1F) OR (x << 5) and (r2 AND 0xE0) OR (x >> 3), with r1 and r2 random.
void SpreadByte(std::uint8_t x, Random& rng, std::uint8_t out[2]);
std::uint8_t UnspreadByte(std::uint8_t first, std::uint8_t second);

}  // namespace corv
