#include <gtest/gtest.h>

#include "base/Binary.h"
#include "controller/ChannelMap.h"

using namespace corv;

namespace {

std::uint32_t Offset(int rows, int cols, int row, int col) {
    const std::uint32_t stride = 3 * static_cast<std::uint32_t>(cols) + static_cast<std::uint32_t>(cols % 4);
    return static_cast<std::uint32_t>(rows - 1 - row) * stride + 3 * static_cast<std::uint32_t>(col);
}

Layout Grid(int rows, int cols) {
    Layout l;
    l.New(rows, cols, false, 3);
    return l;
}

LightTypeRecord Lamp(std::initializer_list<std::uint8_t> pins) {
    LightTypeRecord r;
    r.SetName("lamp");
    r.pinCount = static_cast<std::uint8_t>(pins.size());
    r.pins.fill(255);
    std::size_t i = 0;
    for (auto p : pins) r.pins[i++] = p;
    return r;
}

GammaTable Identity() { return BuildGammaTable(10, 100, 3, 0); }

}  // namespace

TEST(ChannelMap, RgbLampOnOnePortReadsRedGreenBlue) {
    Layout l = Grid(2, 4);
    l.lines[0] = {MakePoint(1, 2)};
    l.RecomputeLineCount();
    const auto lamps = BuiltInLightTypes();
    ChannelMap m = BuildMasterSlaveMap(l, lamps, 0, 1, FrameShape{2, 4});
    ASSERT_EQ(m.slaveChannels, (std::vector<std::uint32_t>{12}));
    const std::uint32_t blue = Offset(2, 4, 1, 2);
    EXPECT_EQ(m.entries[0], blue + 2);
    EXPECT_EQ(m.entries[1], blue + 1);
    EXPECT_EQ(m.entries[2], blue);
    for (std::size_t i = 3; i < 12; ++i) EXPECT_EQ(m.entries[i], 0u);
}

TEST(ChannelMap, PlainPackingOfOnePixel) {
    Layout l = Grid(1, 1);
    l.lines[0] = {MakePoint(0, 0)};
    l.RecomputeLineCount();
    ChannelMap m = BuildMasterSlaveMap(l, BuiltInLightTypes(), 0, 1, FrameShape{1, 1});
    const std::vector<std::uint8_t> frame = {10, 20, 30, 0};  // blue, green, red, padding
    const GammaTable t = Identity();
    SlavePart part{m.entries, &t, 3, 13, 1, 1};
    std::vector<std::uint8_t> out(12);
    ASSERT_EQ(PackPart(frame, part, 0, out.data()), 12u);
    EXPECT_EQ(out[0], 30);
    EXPECT_EQ(out[1], 20);
    EXPECT_EQ(out[2], 10);
    EXPECT_EQ(out[3], 10);  // empty channels read frame byte 0
    part.grayReverse = 0x80 | 13;
    PackPart(frame, part, 0, out.data());
    EXPECT_EQ(out[0], 255 - 30);
    part.chipCode = 115;  // bit-reversed bytes
    part.grayReverse = 13;
    PackPart(frame, part, 0, out.data());
    EXPECT_EQ(out[0], 0x78);  // 30 = 0x1E reversed
}

TEST(ChannelMap, GammaAndBrightness) {
    EXPECT_EQ(BuildGammaTable(10, 50, 3, 0)[255], 127);
    EXPECT_EQ(BuildGammaTable(22, 100, 3, 0)[128], 56);
    EXPECT_EQ(BuildGammaTable(10, 100, 110, 0)[255], 1023);
    EXPECT_EQ(BuildGammaTable(10, 100, 104, 0)[255], 4095);
    EXPECT_EQ(BuildGammaTable(10, 100, 104, 1)[255], 255);  // 12 bits only for master-slave
    EXPECT_EQ(BuildGammaTable(10, 100, 3, 0)[0], 0);
    // A percentage above 100 is full brightness, not a value that wraps the 8-bit output.
    EXPECT_EQ(BuildGammaTable(10, 200, 3, 0)[255], 255);
    EXPECT_EQ(BuildGammaTable(10, 200, 3, 0)[128], 128);
}

TEST(ChannelMap, LampUnitsDropAPartialLastLamp) {
    Layout l = Grid(1, 10);
    for (int c = 0; c < 10; ++c) l.lines[0].push_back(MakePoint(0, c));
    l.RecomputeLineCount();
    auto lamps = BuiltInLightTypes();
    lamps.push_back(Lamp({2, 1, 0, 5, 4, 3, 8, 7, 6}));  // 3 pixels
    l.setting.lightType[0] = 6;
    EXPECT_EQ(LampPixels(lamps[6]), 3);
    ChannelMap m = BuildMasterSlaveMap(l, lamps, 0, 1, FrameShape{1, 10});
    // U = 10 / 3 = 3 units of 9 channels: 27, rounded to 36.
    EXPECT_EQ(m.slaveChannels[0], 36u);
    // Chip code 3: units along the port in order; the 10th LED is not output.
    for (std::uint32_t e : m.entries) EXPECT_NE(e / 3, 9u);
    EXPECT_EQ(m.entries[0], Offset(1, 10, 0, 0) + 2);
    EXPECT_EQ(m.entries[9], Offset(1, 10, 0, 3) + 2);
}

TEST(ChannelMap, SharedLinePorts) {
    Layout l = Grid(1, 8);
    for (int c = 0; c < 8; ++c) l.lines[0].push_back(MakePoint(0, c));
    l.RecomputeLineCount();
    l.setting.linePorts[0] = 2;
    auto lamps = BuiltInLightTypes();
    lamps.push_back(Lamp({2}));  // a single-pixel, single-pin lamp: red
    l.setting.lightType[0] = 6;
    ChannelMap m = BuildMasterSlaveMap(l, lamps, 0, 1, FrameShape{1, 8});
    // U = 8 / 2 = 4; per unit: port 1 first, then port 0.
    ASSERT_EQ(m.slaveChannels[0], 12u);
    for (int u = 0; u < 4; ++u) {
        EXPECT_EQ(m.entries[static_cast<std::size_t>(2 * u)], Offset(1, 8, 0, 4 + u) + 2) << u;
        EXPECT_EQ(m.entries[static_cast<std::size_t>(2 * u + 1)], Offset(1, 8, 0, u) + 2) << u;
    }
    // Above code 100 the units run backwards and sit at the end of the part.
    l.setting.icType[0] = 110;
    m = BuildMasterSlaveMap(l, lamps, 0, 1, FrameShape{1, 8});
    EXPECT_EQ(m.entries[0], 0u);
    EXPECT_EQ(m.entries[4], Offset(1, 8, 0, 7) + 2);
    EXPECT_EQ(m.entries[5], Offset(1, 8, 0, 3) + 2);
}

TEST(ChannelMap, EmptySlaveStillHasTwelveChannels) {
    Layout l = Grid(2, 2);
    l.lines[1] = {MakePoint(0, 0)};
    l.RecomputeLineCount();
    ChannelMap m = BuildMasterSlaveMap(l, BuiltInLightTypes(), 0, 2, FrameShape{2, 2});
    ASSERT_EQ(m.slaveChannels, (std::vector<std::uint32_t>{12, 12}));
    for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(m.entries[i], 0u);
    l.setting.linePorts[0] = 3;
    m = BuildMasterSlaveMap(l, BuiltInLightTypes(), 0, 1, FrameShape{2, 2});
    EXPECT_EQ(m.slaveChannels[0], 36u);  // three ports round to 36
}

TEST(ChannelMap, ScaledCoordinatesWhenSizesDiffer) {
    Layout l = Grid(2, 2);
    l.lines[0] = {MakePoint(1, 1)};
    l.RecomputeLineCount();
    ChannelMap m = BuildMasterSlaveMap(l, BuiltInLightTypes(), 0, 1, FrameShape{4, 6});
    // (1, 1) on a 2 x 2 grid reads pixel (trunc(1 * 4 / 2), trunc(1 * 6 / 2)) = (2, 3).
    EXPECT_EQ(m.entries[2], Offset(4, 6, 2, 3));
}

TEST(Packing, ThirtyBitWord) {
    // One port, three channels reading bytes 0, 1, 2.
    const std::vector<std::uint32_t> entries = {0, 1, 2};
    GammaTable t{};
    for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i);
    SlavePart part{entries, &t, 110, 13, 1, 1};
    std::vector<std::uint8_t> out(8);
    std::vector<std::uint8_t> zeros = {0, 0, 0};
    ASSERT_EQ(PackPart(zeros, part, 0, out.data()), 4u);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x80, 0, 0, 0, 0}));
    std::vector<std::uint8_t> one = {0, 0, 1};
    PackPart(one, part, 0, out.data());
    EXPECT_EQ(out[0], 0x03);  // 0x80000003: bit 1 set, odd parity
    EXPECT_EQ(out[3], 0x80);
    // Two ports: position q takes entries q, 2 + q, 4 + q; bytes interleave by port.
    const std::vector<std::uint32_t> two = {0, 1, 2, 3, 4, 5};
    SlavePart p2{two, &t, 110, 13, 2, 2};
    std::vector<std::uint8_t> frame = {0, 0, 0, 0, 1, 0};
    ASSERT_EQ(PackPart(frame, p2, 0, out.data()), 8u);
    EXPECT_EQ(out[0], 0x03);  // position 0, byte 0 (c = 1)
    EXPECT_EQ(out[1], 0x00);  // position 1, byte 0
    EXPECT_EQ(out[6], 0x80);
    EXPECT_EQ(out[7], 0x80);
}

TEST(Packing, FlagByteTwelveBitAndPairs) {
    GammaTable t{};
    for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i);
    const std::vector<std::uint32_t> e = {0, 1, 2};
    const std::vector<std::uint8_t> frame = {0xFF, 0x80, 0x01};  // A, B, C
    std::vector<std::uint8_t> out(8);
    SlavePart flag{e, &t, 108, 13, 1, 1};
    ASSERT_EQ(PackPart(frame, flag, 0, out.data()), 4u);
    EXPECT_EQ(out[0], 0x01);  // Cc
    EXPECT_EQ(out[1], 0x80);  // B
    EXPECT_EQ(out[2], 0xFF);  // A
    // 0xC0 | (~(3 << 4 | 2 << 2 | 0) & 0x3F) = 0xC0 | (~0x38 & 0x3F) = 0xC7
    EXPECT_EQ(out[3], 0xC7);
    GammaTable wide{};
    for (int i = 0; i < 256; ++i) wide[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i * 16 + 5);
    SlavePart split{e, &wide, 104, 13, 1, 1};
    ASSERT_EQ(PackPart(frame, split, 0, out.data()), 6u);
    // value 0xFF5: low nibble 5, then >> 4 = 0xFF
    EXPECT_EQ(out[0], 0x05);
    EXPECT_EQ(out[1], 0xFF);
    EXPECT_EQ(out[2], 0x05);
    EXPECT_EQ(out[3], 0x80);
    const std::vector<std::uint32_t> one = {0};
    SlavePart pairs{one, &wide, 117, 13, 1, 1};
    ASSERT_EQ(PackPart(frame, pairs, 0, out.data()), 2u);
    EXPECT_EQ(out[0], 0xFF);  // 0xFF5 >> 4
    EXPECT_EQ(out[1], 0xF5);  // 0xFF5 & 0xFF
}

TEST(Packing, SingleFamilyBitPlanes15BitAnd7Bit) {
    GammaTable t{};
    for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i);
    // Six channels: padded at the front by two zero channels to eight.
    const std::vector<std::uint32_t> e = {0, 1, 2, 3, 4, 5};
    const std::vector<std::uint8_t> frame = {0x80, 0x80, 0x00, 0xFF, 0x40, 0x01};
    std::vector<std::uint8_t> out(64);
    SlavePart planes{e, &t, 3, 1, 1, 1};  // gray index 1: two planes
    ASSERT_EQ(PackPart(frame, planes, 1, out.data()), 2u);
    EXPECT_EQ(out[0], 0b00110100);  // bit 7 of each channel, first channel in the MSB after 2 pads
    EXPECT_EQ(out[1], 0b00000110);  // bit 6
    SlavePart fifteen{{e.data(), 3}, &t, 102, 13, 1, 1};
    ASSERT_EQ(PackPart(frame, fifteen, 1, out.data()), 2u);
    // (0x80 >> 3) << 10 | (0x80 >> 3) << 5 | 0 = 0x4200
    EXPECT_EQ(out[0], 0x42);
    EXPECT_EQ(out[1], 0x00);
    SlavePart seven{e, &t, 103, 13, 1, 1};
    ASSERT_EQ(PackPart(frame, seven, 1, out.data()), 6u);
    EXPECT_EQ(out[0], 0xC0);  // 0x80 >> 1 | 0x80
    EXPECT_EQ(out[3], 0xFF);
    seven.grayReverse = 0x80;
    PackPart(frame, seven, 1, out.data());
    EXPECT_EQ(out[3], 0x80);  // (~0xFF) >> 1 | 0x80
}

TEST(Packing, SimpleFamilyTranspositions) {
    GammaTable t{};
    for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i);
    const std::vector<std::uint32_t> e = {0, 1, 2, 3};
    const std::vector<std::uint8_t> frame = {0x80, 0x00, 0x00, 0x01};
    std::vector<std::uint8_t> out(32);
    SlavePart plain{e, &t, 3, 13, 4, 4};
    ASSERT_EQ(PackPart(frame, plain, 2, out.data()), 4u);
    // Bit 7: only value 0 has it -> nibble 0001; bit 0: only value 3 -> nibble 1000.
    EXPECT_EQ(out[0], 0x10);
    EXPECT_EQ(out[3], 0x08);
    SlavePart lsb{e, &t, 106, 13, 4, 4};
    PackPart(frame, lsb, 2, out.data());
    EXPECT_EQ(out[0], 0x80);  // bit 0 first
    EXPECT_EQ(out[3], 0x01);
    SlavePart seven{e, &t, 103, 13, 4, 4};
    ASSERT_EQ(PackPart(frame, seven, 2, out.data()), 4u);
    EXPECT_EQ(out[0], 0xF1);  // marker, then bit 7's nibble
    EXPECT_EQ(out[3], 0x00);  // bits 2 and 1; bit 0 dropped
    SlavePart fifteen{e, &t, 102, 13, 4, 4};
    // Marker, then bits 7..3: F 1 0 0 0 0 -> 0xF1 0x00 0x00.
    ASSERT_EQ(PackPart(frame, fifteen, 2, out.data()), 3u);
    EXPECT_EQ(out[0], 0xF1);
    EXPECT_EQ(out[1], 0x00);
    // Code 110 over twelve channels: 16 bytes; all zero values give W = 0x80000000 on every port.
    const std::vector<std::uint32_t> twelve(12, 1);
    const std::vector<std::uint8_t> zero = {0, 0};
    SlavePart word{twelve, &t, 110, 13, 4, 4};
    ASSERT_EQ(PackPart(zero, word, 2, out.data()), 16u);
    EXPECT_EQ(out[0], 0xF0);  // byte 3 (0x80) of all four ports: bit 7 sets every bit of the first nibble
    EXPECT_EQ(out[1], 0x00);
    EXPECT_EQ(out[4], 0x00);
}

#include "controller/LayoutExport.h"

TEST(LayoutExport, MapFile) {
    Layout l = Grid(2, 3);
    l.lines[0] = {MakePoint(0, 0)};
    l.lines[1] = {MakePoint(1, 2)};
    l.RecomputeLineCount();
    const auto bytes = MapFileBytes(l, BuiltInLightTypes());
    ASSERT_EQ(bytes.size(), 12u + 4 * 24);
    EXPECT_EQ(LoadU32(&bytes[0]), 3u);
    EXPECT_EQ(LoadU32(&bytes[4]), 2u);
    EXPECT_EQ(LoadU32(&bytes[8]), 24u);
    EXPECT_EQ(LoadU32(&bytes[12]), Offset(2, 3, 0, 0) + 2);
    EXPECT_EQ(LoadU32(&bytes[12 + 4 * 12]), Offset(2, 3, 1, 2) + 2);
    EXPECT_EQ(LoadU32(&bytes[12 + 4 * 3]), 0u);
}

TEST(LayoutExport, HmcPositionsLimitsAndColours) {
    Layout l = Grid(10, 10);
    l.lines[0] = {MakePoint(9, 2), MakePoint(9, 3), MakePoint(8, 3)};
    l.RecomputeLineCount();
    const std::vector<Bgr> colours = {Bgr{10, 20, 30}};
    const HmcPositions small = HmcPositionMap(l, 3);
    EXPECT_EQ(small.w, 2);
    EXPECT_EQ(small.h, 2);
    EXPECT_EQ(small.entries, (std::vector<std::uint16_t>{0, 0xFFFF, 3, 6}));
    EXPECT_FALSE(HmcFileBytes(l, BuiltInLightTypes(), colours, Bgr{}));  // n < 6
    Layout row = Grid(10, 10);
    for (int c = 0; c < 6; ++c) row.lines[0].push_back(MakePoint(4, c));
    auto flat = HmcFileBytes(row, BuiltInLightTypes(), colours, Bgr{});
    ASSERT_TRUE(flat);
    EXPECT_EQ((*flat)[6], 6);
    EXPECT_EQ((*flat)[7], 1);  // six points in one row: h = 1
    row.lines[0].pop_back();
    EXPECT_FALSE(HmcFileBytes(row, BuiltInLightTypes(), colours, Bgr{}));  // five points
    // A point a file places outside the grid (65535, 65535 overflowed the position map).
    row.lines[0].push_back(MakePoint(0xFFFF, 0xFFFF));
    EXPECT_FALSE(HmcFileBytes(row, BuiltInLightTypes(), colours, Bgr{}));
    row.lines[0].back() = MakePoint(4, 5);
    EXPECT_TRUE(HmcFileBytes(row, BuiltInLightTypes(), colours, Bgr{}));
    l.lines[0] = {MakePoint(9, 2), MakePoint(9, 3), MakePoint(8, 3), MakePoint(8, 2), MakePoint(7, 2),
                  MakePoint(7, 3)};
    auto hmc = HmcFileBytes(l, BuiltInLightTypes(), colours, Bgr{1, 2, 3});
    ASSERT_TRUE(hmc);
    const auto& f = *hmc;
    EXPECT_EQ(std::string(f.begin(), f.begin() + 3), "QZW");
    EXPECT_EQ(f[6], 2);  // w
    EXPECT_EQ(f[7], 3);  // h
    EXPECT_EQ(f[8], 3);
    EXPECT_EQ(LoadU16(&f[9]), 18);
    EXPECT_EQ(f[12], 100 * 31 / 100);
    // Column-major: (x 0, y 0) = point 0, (x 0, y 1) = point 3, (x 1, y 0) = point 1.
    EXPECT_EQ(LoadU16(&f[14]), 0);
    EXPECT_EQ(LoadU16(&f[16]), 9);
    EXPECT_EQ(LoadU16(&f[14 + 2 * 3]), 3);
    const std::size_t sel = 14 + 2 * 6;
    EXPECT_EQ(f[sel], 3);  // RGB lamp: red, green, blue of the selected colour
    EXPECT_EQ(f[sel + 1], 2);
    EXPECT_EQ(f[sel + 2], 1);
    EXPECT_EQ(f[sel + 3], 30);  // table colour blue 10, green 20, red 30 written 30, 20, 10
    EXPECT_EQ(f[sel + 4], 20);
    EXPECT_EQ(f[sel + 5], 10);
    EXPECT_EQ(f.size(), sel + 3 + 576);
    // 64 colours repeat three times.
    std::vector<Bgr> many;
    for (int i = 0; i < 64; ++i) many.push_back(Bgr{static_cast<std::uint8_t>(i), 0, 0});
    hmc = HmcFileBytes(l, BuiltInLightTypes(), many, Bgr{});
    EXPECT_EQ((*hmc)[sel + 3 + 3 * 5 + 2], 5);
    EXPECT_EQ((*hmc)[sel + 3 + 3 * 69 + 2], 5);
    EXPECT_EQ((*hmc)[sel + 3 + 3 * 133 + 2], 5);
    // Chip code 0x67: every byte (v >> 1) | 0x80.
    l.setting.icType[0] = 0x67;
    hmc = HmcFileBytes(l, BuiltInLightTypes(), colours, Bgr{});
    EXPECT_EQ((*hmc)[sel + 3], (30 >> 1) | 0x80);
    // A grid wider than 128 is refused.
    Layout wide = Grid(2, 200);
    for (int c = 0; c < 6; ++c) wide.lines[0].push_back(MakePoint(0, c));
    EXPECT_FALSE(HmcFileBytes(wide, BuiltInLightTypes(), colours, Bgr{}));
}

TEST(Packing, PreparedPackingMatchesThePlainLoop) {
    // Maps that mix strip runs (rows of lamps in both directions, of every length around the
    // 5- and 21-LED steps of the vector instructions, touching the first and the last byte of
    // the frame), odd orders and scattered channels: with a gamma table, with the identity table
    // and with colour reverse, and at every level of vector instructions, the prepared path must
    // give the same bytes as the path through the map alone. The frame is exactly its size, so
    // the sanitizer build sees any read past it.
    Layout l = Grid(10, 64);
    auto row = [&](int line, int r, int from, int to) {
        const int step = from <= to ? 1 : -1;
        for (int c = from; c != to + step; c += step) l.lines[static_cast<std::size_t>(line)].push_back(MakePoint(r, c));
    };
    row(0, 0, 0, 63);  // the top row ends at the last byte of the frame
    row(1, 0, 63, 0);
    row(2, 9, 63, 0);  // the bottom row, leftwards, ends at byte 0
    row(3, 9, 0, 63);
    int line = 4;
    for (int n : {8, 9, 10, 11, 12, 13, 14, 15, 21, 22, 23, 24, 43, 44, 45}) {
        if (line % 2 == 0) {
            row(line, 3 + n % 5, 2, 2 + n - 1);
        } else {
            row(line, 3 + n % 5, 2 + n - 1, 2);
        }
        ++line;
    }
    for (int c = 0; c < 64; c += 3) l.lines[static_cast<std::size_t>(line)].push_back(MakePoint(5, c));
    ++line;
    l.RecomputeLineCount();
    auto lamps = BuiltInLightTypes();
    for (int k = 1; k < line; k += 3) l.setting.lightType[static_cast<std::size_t>(k)] = 4;  // BRG
    const ChannelMap m = BuildMasterSlaveMap(l, lamps, 0, line, FrameShape{10, 64});
    std::vector<std::uint8_t> frame(Frame::BufferSize(64, 10));
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i * 37 + 11);
    const GammaTable gamma = BuildGammaTable(22, 80, 3, 0);
    const GammaTable identity = BuildGammaTable(10, 100, 3, 0);
    for (int level : {0, 1, 2}) {
        const int inEffect = SetPackingInstructions(level);
        EXPECT_LE(inEffect, level);
        int runs = 0, identities = 0;
        for (const GammaTable* t : {&gamma, &identity}) {
            std::size_t offset = 0;
            for (std::size_t k = 0; k < m.slaveChannels.size(); ++k) {
                const auto entries = std::span<const std::uint32_t>(m.entries).subspan(offset, m.slaveChannels[k]);
                for (std::uint8_t gray : {std::uint8_t{13}, std::uint8_t{0x80 | 13}}) {
                    SlavePart plain{entries, t, 3, gray, 1, 1};
                    SlavePart prepared = plain;
                    PreparePart(prepared);
                    runs += static_cast<int>(prepared.runs.size());
                    identities += prepared.identity ? 1 : 0;
                    std::vector<std::uint8_t> a(entries.size()), b(entries.size());
                    PackPart(frame, plain, 0, a.data());
                    PackPart(frame, prepared, 0, b.data());
                    EXPECT_EQ(a, b) << "slave " << k << " gray " << int{gray} << " level " << inEffect;
                }
                offset += m.slaveChannels[k];
            }
        }
        EXPECT_GE(runs, 2 * 2 * (line - 1));
        EXPECT_EQ(identities, line);  // only the identity table without colour reverse
    }
    SetPackingInstructions(-1);
}
