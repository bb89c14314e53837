#pragma once

#include <cstddef>
#include <cstdint>

#include "base/Random.h"

namespace corv {

// The spread encoding of controller data files: each byte x becomes two bytes,
// (r1 AND 0x1F) OR (x << 5) and (r2 AND 0xE0) OR (x >> 3), with r1 and r2 random.
void SpreadByte(std::uint8_t x, Random& rng, std::uint8_t out[2]);
std::uint8_t UnspreadByte(std::uint8_t first, std::uint8_t second);

// Controller data files are laid out in sectors of 512 bytes. After the 18-byte head come the
// slave records, 13 bytes each spread to 26; in master-slave files a record never straddles a
// sector, so 19 fit in the first sector and 19 in each one after it.
constexpr std::size_t kLedSector = 512;
constexpr std::size_t kLedHeadBytes = 18;
constexpr std::size_t kSpreadRecordBytes = 26;
// Where slave record i (0-based) of a master-slave file starts.
std::size_t SlaveRecordOffset(std::size_t i);
// The data offset H that head bytes 4..7 carry spread.
std::uint32_t SpreadDataOffset(const std::uint8_t* head);

}  // namespace corv
