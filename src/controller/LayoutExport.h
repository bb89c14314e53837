#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "layout/Layout.h"
#include "layout/LightType.h"
#include "project/Frame.h"

namespace corv {

// The map export: cols, rows, the number of entries, then the master-slave channel map of
// every slave for a frame of exactly the grid's size (0 where a channel has no LED).
std::vector<std::uint8_t> MapFileBytes(const Layout& layout, const std::vector<LightTypeRecord>& lamps);

// The first line's position map for the HMC export: its box (w x h cells, y counted from the
// bottom) and w x h entries in column-major order holding k x bytesPerLed for point k, 0xFFFF
// where there is no LED.
struct HmcPositions {
    int w = 0, h = 0;
    std::vector<std::uint16_t> entries;
};
HmcPositions HmcPositionMap(const Layout& layout, int bytesPerLed);

// The HMC export of the first line with a colour table from `colours` (repeated to 192) and the
// selected colour. nullopt when the limits are not met (grid up to 128 x 128, the line's box up to
// 1800 cells, 6 to 1536 points): the caller shows "Parameter mistake!".
std::optional<std::vector<std::uint8_t>> HmcFileBytes(const Layout& layout, const std::vector<LightTypeRecord>& lamps,
                                                      const std::vector<Bgr>& colours, Bgr selected);

}  // namespace corv
