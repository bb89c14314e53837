#include "controller/LayoutExport.h"

#include <algorithm>

#include "base/Binary.h"
#include "controller/ChannelMap.h"

namespace corv {

std::vector<std::uint8_t> MapFileBytes(const Layout& layout, const std::vector<LightTypeRecord>& lamps) {
    const ChannelMap map = BuildMasterSlaveMap(layout, lamps, 0, layout.setting.SlaveCount(),
                                               FrameShape{layout.grid.rows, layout.grid.cols});
    ByteWriter w;
    w.U32(layout.grid.cols);
    w.U32(layout.grid.rows);
    w.U32(static_cast<std::uint32_t>(map.entries.size()));
    for (std::uint32_t e : map.entries) {
        w.U32(e);
    }
    return std::move(w.bytes());
}

HmcPositions HmcPositionMap(const Layout& layout, int bytesPerLed) {
    HmcPositions pos;
    const Line& line = layout.lines[0];
    if (line.empty()) {
        return pos;
    }
    const int rows = layout.grid.rows;
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1;
    for (LinePoint p : line) {
        const int x = PointCol(p), y = rows - 1 - PointRow(p);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    pos.w = maxX - minX + 1;
    pos.h = maxY - minY + 1;
    if (static_cast<long long>(pos.w) * pos.h > 1 << 20) {
        return pos;  // far beyond any limit: no table is built
    }
    pos.entries.assign(static_cast<std::size_t>(pos.w * pos.h), 0xFFFF);
    for (std::size_t k = 0; k < line.size(); ++k) {
        const int x = PointCol(line[k]) - minX, y = rows - 1 - PointRow(line[k]) - minY;
        pos.entries[static_cast<std::size_t>(x * pos.h + y)] =
            static_cast<std::uint16_t>(k * static_cast<std::size_t>(bytesPerLed));
    }
    return pos;
}

std::optional<std::vector<std::uint8_t>> HmcFileBytes(const Layout& layout, const std::vector<LightTypeRecord>& lamps,
                                                      const std::vector<Bgr>& colours, Bgr selected) {
    const Line& line = layout.lines[0];
    const int rows = layout.grid.rows;
    const std::size_t n = line.size();
    if (layout.grid.cols > 128 || rows > 128 || n < 6 || n > 1536) {
        return std::nullopt;
    }
    if (std::any_of(line.begin(), line.end(),
                    [&](LinePoint p) { return !layout.grid.Contains(PointRow(p), PointCol(p)); })) {
        return std::nullopt;  // a point the file places outside the grid has no place in the map
    }
    const LineSetting& s = layout.setting;
    const int chip = s.icType[0];
    const int b = chip == 0x66 ? 2 : 3;
    const HmcPositions pos = HmcPositionMap(layout, b);
    const int w = pos.w, h = pos.h;
    if (w * h > 1800 || w > 255 || h > 255) {
        return std::nullopt;
    }
    ByteWriter out;
    out.Bytes("QZW", 3);
    out.U8(0);
    out.U8(1);
    out.U8(0);
    out.U8(static_cast<std::uint8_t>(w));
    out.U8(static_cast<std::uint8_t>(h));
    out.U8(chip == 19 ? 0x65 : static_cast<std::uint8_t>(chip));
    out.U16(static_cast<std::uint16_t>(n * static_cast<std::size_t>(b)));
    out.U8(s.clock[0]);
    out.U8(static_cast<std::uint8_t>(s.brightness[0] * 31 / 100));
    out.U8(s.grayReverse[0]);
    for (std::uint16_t v : pos.entries) {
        out.U16(v);
    }
    // Channel order of the first slave's lamp type (built-in types only).
    int order[3] = {0, 1, 2};
    const std::uint8_t lampIndex = s.lightType[0];
    if (lampIndex < kBuiltInLightTypes && lampIndex < lamps.size()) {
        for (int i = 0; i < 3; ++i) order[i] = std::min<int>(lamps[lampIndex].pins[static_cast<std::size_t>(i)], 2);
    }
    auto component = [&](Bgr c, int i) {
        const std::uint8_t bytes[3] = {c.b, c.g, c.r};
        return bytes[order[i]];
    };
    auto writeColour = [&](Bgr c, bool selectedColour) {
        if (chip == 0x66) {
            const std::uint16_t v = static_cast<std::uint16_t>(0x8000 | ((component(c, 0) >> 3) << 10) |
                                                               ((component(c, 1) >> 3) << 5) | (component(c, 2) >> 3));
            out.U8(static_cast<std::uint8_t>(v >> 8));
            out.U8(static_cast<std::uint8_t>(v));
            if (selectedColour) out.U8(0);
            return;
        }
        for (int i = 0; i < 3; ++i) {
            const std::uint8_t v = component(c, i);
            out.U8(chip == 0x67 ? static_cast<std::uint8_t>((v >> 1) | 0x80) : v);
        }
    };
    writeColour(selected, true);
    const std::size_t tableStart = out.size();
    for (std::size_t i = 0; i < 192; ++i) {
        writeColour(colours.empty() ? Bgr{} : colours[i % colours.size()], false);
    }
    out.Zeros(576 - (out.size() - tableStart));  // the 16-bit table leaves its last 192 bytes 0
    return std::move(out.bytes());
}

}  // namespace corv
