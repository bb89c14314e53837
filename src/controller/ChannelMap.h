#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <cstddef>
#include <vector>

#include "layout/Layout.h"
#include "layout/LightType.h"

namespace corv {

// For every output channel, the byte of the frame buffer that feeds it; per slave, how many
// channels are its own. Channels without an LED read byte 0.
struct ChannelMap {
    std::vector<std::uint32_t> entries;
    std::vector<std::uint32_t> slaveChannels;  // one count per slave, in slave order
};

// 256 output levels, one per 8-bit frame byte.
using GammaTable = std::array<std::uint16_t, 256>;

// The frame the map reads: rows x cols pixels (bottom-up BGR rows padded to 4 bytes).
struct FrameShape {
    int rows = 0;
    int cols = 0;
};

// Byte offset of the blue byte of the frame pixel an LED at point `p` shows: the LED's cell
// scaled to the frame when the sizes differ (truncated), rows bottom-up; 0 outside the frame.
std::uint32_t LedPixelOffset(const LayoutGrid& grid, FrameShape frame, LinePoint p);

// Pixels an LED lamp type covers: (largest connected pin value) / 3 + 1.
int LampPixels(const LightTypeRecord& lamp);

// The master-slave map of slaves s0 .. s0 + n - 1.
ChannelMap BuildMasterSlaveMap(const Layout& layout, const std::vector<LightTypeRecord>& lamps, int s0, int n,
                               FrameShape frame);
// The single- or simple-family map of slave s0.
ChannelMap BuildSingleMap(const Layout& layout, const std::vector<LightTypeRecord>& lamps, int s0, FrameShape frame);

// Output levels for gamma byte g (gamma x 10) and brightness; the maximum is 1023 for code
// 110, 4095 for codes 104 and 117 in the master-slave family, 255 otherwise.
GammaTable BuildGammaTable(int gamma, int brightness, int chipCode, int controllerType);

// Data bytes per frame of one slave in the master-slave family (W x 4).
std::uint32_t MasterSlaveDataBytes(std::uint32_t channels, int chipCode);
// The single and simple writers' F (data bytes per frame) as the slave record states it.
std::uint32_t SingleRecordDataBytes(std::uint32_t channels, int chipCode);

// What one slave's part needs to pack.
struct SlavePart {
    std::span<const std::uint32_t> entries;
    const GammaTable* table = nullptr;
    int chipCode = 0;
    std::uint8_t grayReverse = 0;
    int ports = 1;         // lines per slave (the packing's group width)
    int linePorts = 1;     // ports of the slave (bit-plane stream split)
    // Set by PreparePart for the frame loop: the largest map entry, and for the plain packing
    // the 256 output bytes (low byte of the table, colour reverse applied).
    std::uint32_t maxEntry = 0xFFFFFFFFu;
    std::array<std::uint8_t, 256> plainBytes{};
    bool identity = false;  // plainBytes[i] == i: bytes go out as they are
    bool prepared = false;
    // Runs of the map where LED after LED reads the same three bytes of pixels a fixed step
    // apart (a strip along a row): packed from the frame directly, without the map.
    struct Run {
        std::uint32_t first = 0;  // map index of the run's first channel
        std::uint32_t leds = 0;   // triplets in the run
        std::uint32_t base = 0;   // frame offset of the first LED's lowest byte
        std::int32_t step = 0;    // bytes from one LED to the next
        std::uint8_t order[3] = {0, 1, 2};
    };
    std::vector<Run> runs{};
};

// Which vector instructions the plain packing may use: 0 none, 1 SSSE3, 2 AVX-512 VBMI, -1
// (the default) the best the processor has; never more than it has. Returns the level in
// effect. The bytes are the same at every level (tests compare them).
int SetPackingInstructions(int level);

// Precomputes what the frame loop needs (once per file).
void PreparePart(SlavePart& part);

// Packs one part for the family into `out`; returns the bytes written. `out` must hold at
// least PackedSizeBound(part) bytes.
std::size_t PackPart(std::span<const std::uint8_t> frame, const SlavePart& part, int controllerType,
                     std::uint8_t* out);
// An upper bound of the bytes PackPart writes for a part.
std::size_t PackedSizeBound(const SlavePart& part, int controllerType);

}  // namespace corv
