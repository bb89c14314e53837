#include <gtest/gtest.h>

#include <algorithm>

#include "base/Random.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "TestHome.h"
#include "controller/ChannelMap.h"
#include "lang/Language.h"
#include "lang/Render.h"
#include "net/ChannelLayout.h"
#include "net/NetworkFile.h"
#include "net/Packets.h"
#include "net/TestPatterns.h"

using namespace corv;
using namespace corv::net;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::array<std::uint8_t, 16> kCid = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17,
                                              0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F};

// The bytes of p from `from` to `to`, both included.
Bytes Range(const Bytes& p, std::size_t from, std::size_t to) {
    return Bytes(p.begin() + static_cast<std::ptrdiff_t>(from), p.begin() + static_cast<std::ptrdiff_t>(to + 1));
}

// The root layer's first 38 bytes every E1.31 packet of this sender has, with the root's
// flags and length written out and its vector.
Bytes E131RootBytes(std::uint8_t lengthHigh, std::uint8_t lengthLow, std::uint8_t vector) {
    Bytes b = {0x00, 0x10, 0x00, 0x00, 'A', 'S', 'C', '-', 'E', '1', '.', '1', '7', 0x00, 0x00, 0x00,
               lengthHigh, lengthLow, 0x00, 0x00, 0x00, vector};
    for (const std::uint8_t c : kCid) b.push_back(c);
    return b;
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
    r.pins.fill(LightTypeRecord::kNotConnected);
    std::size_t i = 0;
    for (auto p : pins) r.pins[i++] = p;
    return r;
}

NetController Controller(Protocol protocol, std::vector<int> lines) {
    NetController c;
    c.section = "Controller1";
    c.protocol = protocol;
    c.address = "192.168.1.50";
    c.port = DefaultPort(protocol);
    c.lines = std::move(lines);
    c.universe = protocol == Protocol::ArtNet ? 0 : 1;
    return c;
}

ChannelLayout Built(const Layout& l, const std::vector<LightTypeRecord>& lamps, const NetController& c) {
    auto built = ChannelLayout::Build(l, lamps, BuildOutputLevels(l.setting), c);
    EXPECT_TRUE(built.ok()) << built.failure().reason;
    return built.ok() ? *built : ChannelLayout();
}

// A frame whose pixel (x, y) is red = 10 x + 1, green = 10 y + 2, blue = x + y + 3.
Frame Pattern(int cols, int rows) {
    Frame f(cols, rows);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < cols; ++x) {
            f.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(x + y + 3), static_cast<std::uint8_t>(10 * y + 2),
                                 static_cast<std::uint8_t>(10 * x + 1)});
        }
    }
    return f;
}

Bytes Rgb(const Frame& f, int x, int y) {
    const Bgr c = f.Pixel(x, y);
    return {c.r, c.g, c.b};
}

std::string English(const Failure& f) { return Render(f, kLanguageEnglish); }

}  // namespace

// ---- E1.31 ----

TEST(E131Packet, DataHeaderFieldByField) {
    const Bytes slots = {0xAA, 0xBB, 0xCC};
    const Bytes p = E131Data(kCid, "Stage", 150, 0x1234, 7, slots, 0x0203, false);
    ASSERT_EQ(p.size(), 129u);  // 126 + 3
    // 0-37: preamble 0x0010, postamble 0, "ASC-E1.17\0\0\0", 0x7000 | (110 + 3), vector 4, CID.
    EXPECT_EQ(Range(p, 0, 37), E131RootBytes(0x70, 0x71, 0x04));
    EXPECT_EQ(Range(p, 38, 39), (Bytes{0x70, 0x5B}));  // 0x7000 | (88 + 3)
    EXPECT_EQ(Range(p, 40, 43), (Bytes{0x00, 0x00, 0x00, 0x02}));
    Bytes name(64, 0);
    const std::string stage = "Stage";
    std::copy(stage.begin(), stage.end(), name.begin());
    EXPECT_EQ(Range(p, 44, 107), name);
    EXPECT_EQ(p[108], 150);
    EXPECT_EQ(Range(p, 109, 110), (Bytes{0x02, 0x03}));
    EXPECT_EQ(p[111], 7);
    EXPECT_EQ(p[112], 0x00);
    EXPECT_EQ(Range(p, 113, 114), (Bytes{0x12, 0x34}));
    EXPECT_EQ(Range(p, 115, 116), (Bytes{0x70, 0x0E}));  // 0x7000 | (11 + 3)
    EXPECT_EQ(p[117], 0x02);
    EXPECT_EQ(p[118], 0xA1);
    EXPECT_EQ(Range(p, 119, 120), (Bytes{0x00, 0x00}));
    EXPECT_EQ(Range(p, 121, 122), (Bytes{0x00, 0x01}));
    EXPECT_EQ(Range(p, 123, 124), (Bytes{0x00, 0x04}));  // 3 + 1
    EXPECT_EQ(p[125], 0x00);
    EXPECT_EQ(Range(p, 126, 128), slots);
}

TEST(E131Packet, FullUniverseLengthsAndTerminated) {
    Bytes slots(600);
    for (std::size_t i = 0; i < slots.size(); ++i) slots[i] = static_cast<std::uint8_t>(i * 7);
    const Bytes p = E131Data(kCid, "", 250, 63999, 255, slots, 0, true);
    ASSERT_EQ(p.size(), 638u);  // only 512 slots
    EXPECT_EQ(Range(p, 16, 17), (Bytes{0x72, 0x6E}));    // 0x7000 | 622
    EXPECT_EQ(Range(p, 38, 39), (Bytes{0x72, 0x58}));    // 0x7000 | 600
    EXPECT_EQ(Range(p, 115, 116), (Bytes{0x72, 0x0B}));  // 0x7000 | 523
    EXPECT_EQ(Range(p, 123, 124), (Bytes{0x02, 0x01}));  // 513
    EXPECT_EQ(Range(p, 44, 107), Bytes(64, 0));
    EXPECT_EQ(p[108], 200);  // priority cut to 200
    EXPECT_EQ(Range(p, 109, 110), (Bytes{0x00, 0x00}));
    EXPECT_EQ(p[111], 255);
    EXPECT_EQ(p[112], 0x40);  // stream terminated
    EXPECT_EQ(Range(p, 113, 114), (Bytes{0xF9, 0xFF}));
    EXPECT_EQ(Range(p, 126, 637), Bytes(slots.begin(), slots.begin() + 512));
}

TEST(E131Packet, SourceNameCutTo63BytesNeverInsideACharacter) {
    const std::string longName(70, 'n');
    Bytes p = E131Data(kCid, longName, 100, 1, 0, {}, 0, false);
    ASSERT_EQ(p.size(), 126u);
    EXPECT_EQ(Range(p, 44, 106), Bytes(63, 'n'));
    EXPECT_EQ(p[107], 0);  // always NUL-terminated
    EXPECT_EQ(Range(p, 123, 124), (Bytes{0x00, 0x01}));
    // 62 bytes and a two-byte character: the character does not fit and is left out.
    const std::string accented = std::string(62, 'a') + "\xC3\xA9";
    p = E131Data(kCid, accented, 100, 1, 0, {}, 0, false);
    EXPECT_EQ(Range(p, 44, 105), Bytes(62, 'a'));
    EXPECT_EQ(Range(p, 106, 107), (Bytes{0, 0}));
    // 61 bytes and the character: it fits (63 bytes).
    p = E131Data(kCid, std::string(61, 'a') + "\xC3\xA9", 100, 1, 0, {}, 0, false);
    EXPECT_EQ(Range(p, 105, 107), (Bytes{0xC3, 0xA9, 0x00}));
}

TEST(E131Packet, SynchronisationPacket) {
    const Bytes p = E131Sync(kCid, 42, 0x0107);
    ASSERT_EQ(p.size(), 49u);
    EXPECT_EQ(Range(p, 0, 37), E131RootBytes(0x70, 0x21, 0x08));  // 0x7000 | 33, vector 8
    EXPECT_EQ(Range(p, 38, 39), (Bytes{0x70, 0x0B}));             // 0x7000 | 11
    EXPECT_EQ(Range(p, 40, 43), (Bytes{0x00, 0x00, 0x00, 0x01}));
    EXPECT_EQ(p[44], 42);
    EXPECT_EQ(Range(p, 45, 46), (Bytes{0x01, 0x07}));
    EXPECT_EQ(Range(p, 47, 48), (Bytes{0x00, 0x00}));
}

TEST(E131Packet, MulticastGroupOfAUniverse) {
    EXPECT_EQ(E131MulticastAddress(1), "239.255.0.1");
    EXPECT_EQ(E131MulticastAddress(0x1234), "239.255.18.52");
    EXPECT_EQ(E131MulticastAddress(63999), "239.255.249.255");
}

// ---- Art-Net ----

TEST(ArtNetPacket, ArtDmxFieldByField) {
    const Bytes data = {1, 2, 3, 4};
    const Bytes p = ArtDmx(9, 0x1234, data);
    const Bytes expected = {'A', 'r', 't', '-', 'N', 'e', 't', 0x00,  // 0-7
                            0x00, 0x50,                               // 8-9 opcode 0x5000, little-endian
                            0x00, 0x0E,                               // 10-11 version 14
                            0x09,                                     // 12 sequence
                            0x00,                                     // 13 physical port
                            0x34,                                     // 14 SubUni
                            0x12,                                     // 15 Net
                            0x00, 0x04,                               // 16-17 length
                            1, 2, 3, 4};
    EXPECT_EQ(p, expected);
}

TEST(ArtNetPacket, OddLengthsArePaddedWithZero) {
    Bytes p = ArtDmx(1, 0, Bytes{7, 8, 9});
    ASSERT_EQ(p.size(), 22u);
    EXPECT_EQ(Range(p, 16, 17), (Bytes{0x00, 0x04}));
    EXPECT_EQ(Range(p, 18, 21), (Bytes{7, 8, 9, 0}));
    p = ArtDmx(1, 0, Bytes{5});
    ASSERT_EQ(p.size(), 20u);
    EXPECT_EQ(Range(p, 16, 19), (Bytes{0x00, 0x02, 5, 0}));
    p = ArtDmx(1, 0, Bytes{});
    ASSERT_EQ(p.size(), 20u);  // at least 2
    EXPECT_EQ(Range(p, 16, 19), (Bytes{0x00, 0x02, 0, 0}));
    p = ArtDmx(1, 0, Bytes(511, 0xEE));
    ASSERT_EQ(p.size(), 18u + 512u);
    EXPECT_EQ(Range(p, 16, 17), (Bytes{0x02, 0x00}));
    EXPECT_EQ(p[528], 0xEE);
    EXPECT_EQ(p[529], 0x00);
    p = ArtDmx(1, 0, Bytes(600, 0xEE));  // only 512
    ASSERT_EQ(p.size(), 18u + 512u);
    EXPECT_EQ(Range(p, 16, 17), (Bytes{0x02, 0x00}));
}

TEST(ArtNetPacket, PortAddressIsFifteenBits) {
    Bytes p = ArtDmx(0, 32767, Bytes{1, 2});
    EXPECT_EQ(Range(p, 12, 15), (Bytes{0x00, 0x00, 0xFF, 0x7F}));
    p = ArtDmx(0, 0x8005, Bytes{1, 2});
    EXPECT_EQ(Range(p, 14, 15), (Bytes{0x05, 0x00}));
    p = ArtDmx(0, 0x0123, Bytes{1, 2});
    EXPECT_EQ(Range(p, 14, 15), (Bytes{0x23, 0x01}));
}

TEST(ArtNetPacket, ArtSync) {
    const Bytes expected = {'A', 'r', 't', '-', 'N', 'e', 't', 0x00, 0x00, 0x52, 0x00, 0x0E, 0x00, 0x00};
    EXPECT_EQ(ArtSync(), expected);
}

// ---- DDP ----

TEST(DdpPacket, SplitIn1440BytePacketsWithPushOnTheLast) {
    Bytes channels(3000);
    for (std::size_t i = 0; i < channels.size(); ++i) channels[i] = static_cast<std::uint8_t>(i % 251);
    std::uint8_t sequence = 0;
    const auto packets = DdpFrame(sequence, channels);
    ASSERT_EQ(packets.size(), 3u);
    const Bytes h0 = {0x40, 0x01, 0x0B, 0x01, 0x00, 0x00, 0x00, 0x00, 0x05, 0xA0};  // offset 0, 1440 bytes
    const Bytes h1 = {0x40, 0x02, 0x0B, 0x01, 0x00, 0x00, 0x05, 0xA0, 0x05, 0xA0};  // offset 1440
    const Bytes h2 = {0x41, 0x03, 0x0B, 0x01, 0x00, 0x00, 0x0B, 0x40, 0x00, 0x78};  // offset 2880, 120, push
    EXPECT_EQ(Range(packets[0], 0, 9), h0);
    EXPECT_EQ(Range(packets[1], 0, 9), h1);
    EXPECT_EQ(Range(packets[2], 0, 9), h2);
    ASSERT_EQ(packets[0].size(), 1450u);
    ASSERT_EQ(packets[1].size(), 1450u);
    ASSERT_EQ(packets[2].size(), 130u);
    EXPECT_EQ(Bytes(packets[0].begin() + 10, packets[0].end()), Bytes(channels.begin(), channels.begin() + 1440));
    EXPECT_EQ(Bytes(packets[1].begin() + 10, packets[1].end()), Bytes(channels.begin() + 1440, channels.begin() + 2880));
    EXPECT_EQ(Bytes(packets[2].begin() + 10, packets[2].end()), Bytes(channels.begin() + 2880, channels.end()));
    EXPECT_EQ(sequence, 3);
}

TEST(DdpPacket, ExactlyOnePacketAndSequenceWrap) {
    std::uint8_t sequence = 14;
    auto packets = DdpFrame(sequence, Bytes(1440, 9));
    ASSERT_EQ(packets.size(), 1u);
    EXPECT_EQ(Range(packets[0], 0, 9), (Bytes{0x41, 0x0F, 0x0B, 0x01, 0, 0, 0, 0, 0x05, 0xA0}));
    packets = DdpFrame(sequence, Bytes(1441, 9));  // 1440 + 1
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0][0], 0x40);
    EXPECT_EQ(packets[0][1], 0x01);  // after 15 comes 1 (0 is not used)
    EXPECT_EQ(Range(packets[1], 0, 9), (Bytes{0x41, 0x02, 0x0B, 0x01, 0, 0, 0x05, 0xA0, 0x00, 0x01}));
    EXPECT_EQ(sequence, 2);
    EXPECT_TRUE(DdpFrame(sequence, Bytes{}).empty());
    EXPECT_EQ(sequence, 2);
    packets = DdpFrame(sequence, Bytes{1, 2, 3}, 0x00);
    EXPECT_EQ(Range(packets[0], 0, 12), (Bytes{0x41, 0x03, 0x00, 0x01, 0, 0, 0, 0, 0x00, 0x03, 1, 2, 3}));
}

// ---- The channels ----

TEST(NetChannels, RgbAtGammaOneFullBrightnessIsThePixelsRedGreenBlue) {
    Layout l = Grid(2, 4);
    l.lines[0] = {MakePoint(1, 0), MakePoint(1, 1), MakePoint(0, 3)};
    const Frame f = Pattern(4, 2);
    const ChannelLayout c = Built(l, BuiltInLightTypes(), Controller(Protocol::E131, {1}));
    ASSERT_EQ(c.channelCount(), 9u);
    Bytes out;
    c.Fill(f, out);
    Bytes expected = Rgb(f, 0, 1);
    for (const auto& b : {Rgb(f, 1, 1), Rgb(f, 3, 0)}) expected.insert(expected.end(), b.begin(), b.end());
    EXPECT_EQ(out, expected);
}

TEST(NetChannels, PinOrderOfTheLampType) {
    Layout l = Grid(1, 4);
    l.lines[0] = {MakePoint(0, 1), MakePoint(0, 2)};
    const Frame f = Pattern(4, 1);
    // Built-in lamp type 2 is GRB.
    l.setting.lightType[0] = 2;
    Bytes out;
    Built(l, BuiltInLightTypes(), Controller(Protocol::E131, {1})).Fill(f, out);
    const Bgr a = f.Pixel(1, 0), b = f.Pixel(2, 0);
    EXPECT_EQ(out, (Bytes{a.g, a.r, a.b, b.g, b.r, b.b}));
    // A lamp of two LEDs a unit, with a pin not connected: R2 G2 B2 - R1 B1.
    std::vector<LightTypeRecord> lamps = BuiltInLightTypes();
    lamps.push_back(Lamp({5, 4, 3, LightTypeRecord::kNotConnected, 2, 0}));
    l.setting.lightType[0] = static_cast<std::uint8_t>(lamps.size() - 1);
    l.lines[0].push_back(MakePoint(0, 3));  // a third LED: its unit lacks the second one
    const ChannelLayout c = Built(l, lamps, Controller(Protocol::E131, {1}));
    ASSERT_EQ(c.channelCount(), 12u);
    c.Fill(f, out);
    const Bgr d = f.Pixel(3, 0);
    EXPECT_EQ(out, (Bytes{b.r, b.g, b.b, 0, a.r, a.b, 0, 0, 0, 0, d.r, d.b}));
}

TEST(NetChannels, EveryChannelReadsWhatItsSourceAndTableSay) {
    // Random wiring: lines that run either way, jump, revisit cells, leave the grid; lamp types
    // of one to eight pins with pins not connected; two slaves with their own levels. The fill
    // must give, channel by channel, levels[table][frame byte of its source].
    Random random(1234);
    std::vector<LightTypeRecord> lamps = BuiltInLightTypes();
    lamps.push_back(Lamp({5, 4, 3, LightTypeRecord::kNotConnected, 2, 0}));
    lamps.push_back(Lamp({0, 1, 2, 3, 4, 5, 6, 7}));
    lamps.push_back(Lamp({2}));
    lamps.push_back(Lamp({0, 1, 2}));  // the frame's own byte order
    for (int round = 0; round < 40; ++round) {
        Layout l = Grid(9, 13);
        l.setting.portsPerSlave = 2;
        l.setting.lightType[0] = static_cast<std::uint8_t>(random.Below(static_cast<std::uint32_t>(lamps.size())));
        l.setting.lightType[1] = static_cast<std::uint8_t>(random.Below(static_cast<std::uint32_t>(lamps.size())));
        l.setting.gamma[1] = 22;
        l.setting.brightness[1] = 60;
        for (int line = 0; line < 4; ++line) {
            int r = static_cast<int>(random.Below(9)), c = static_cast<int>(random.Below(13));
            const int dr = static_cast<int>(random.Below(3)) - 1, dc = static_cast<int>(random.Below(3)) - 1;
            const int n = 1 + static_cast<int>(random.Below(40));
            for (int k = 0; k < n; ++k) {
                l.lines[static_cast<std::size_t>(line)].push_back(MakePoint(std::clamp(r, 0, 12), std::clamp(c, 0, 15)));
                if (random.Below(6) == 0) {
                    r = static_cast<int>(random.Below(9));
                    c = static_cast<int>(random.Below(13));
                } else {
                    r += dr;
                    c += dc;
                }
            }
        }
        l.RecomputeLineCount();
        const ChannelLayout layout = Built(l, lamps, Controller(Protocol::Ddp, {1, 2, 3, 4}));
        Frame f(13, 9);
        for (std::size_t i = 0; i < f.size(); ++i) f.data()[i] = static_cast<std::uint8_t>(random.Below(256));
        Bytes out;
        layout.Fill(f, out);
        const ControllerChannels& ch = layout.channels();
        ASSERT_EQ(out.size(), ch.sources.size());
        for (std::size_t i = 0; i < out.size(); ++i) {
            ASSERT_EQ(out[i], ch.levels[ch.tables[i]][f.data()[ch.sources[i]]]) << "round " << round << " channel " << i;
        }
        // The way back, through inverse tables (the smallest byte giving each level), all the
        // channels and the first ones only: channel by channel in channel order, a later one
        // over an earlier one of the same byte; bytes no channel reaches as they were.
        std::vector<LevelTable> inverse(ch.levels.size());
        for (std::size_t t = 0; t < ch.levels.size(); ++t) {
            inverse[t].fill(0);
            for (int x = 255; x >= 0; --x) inverse[t][ch.levels[t][static_cast<std::size_t>(x)]] = static_cast<std::uint8_t>(x);
        }
        for (const std::size_t n : {out.size(), out.size() / 2 + 1, std::size_t{0}}) {
            Frame back(13, 9), expected(13, 9);
            for (std::size_t i = 0; i < back.size(); ++i) back.data()[i] = expected.data()[i] = static_cast<std::uint8_t>(i);
            for (std::size_t i = 0; i < std::min(n, out.size()); ++i) {
                if (ch.tables[i] != 0) expected.data()[ch.sources[i]] = inverse[ch.tables[i]][out[i]];
            }
            layout.Unfill(std::span<const std::uint8_t>(out.data(), std::min(n, out.size())), inverse, back);
            ASSERT_TRUE(back == expected) << "round " << round << ", " << n << " channels back";
        }
    }
}

TEST(NetChannels, LinesInLineNumberOrderAndTheirPlaces) {
    Layout l = Grid(2, 4);
    l.lines[0] = {MakePoint(0, 0)};
    l.lines[2] = {MakePoint(1, 2), MakePoint(1, 3)};
    l.lines[3] = {MakePoint(0, 1)};
    const Frame f = Pattern(4, 2);
    const NetController ctl = Controller(Protocol::Ddp, {3, 1});  // taken in line-number order
    const ChannelLayout c = Built(l, BuiltInLightTypes(), ctl);
    ASSERT_EQ(c.channels().lines, (std::vector<LineChannels>{{1, 0, 3}, {3, 3, 6}}));
    EXPECT_TRUE(c.universes().empty());  // DDP has none
    Bytes out;
    c.Fill(f, out);
    Bytes expected = Rgb(f, 0, 0);
    for (const auto& b : {Rgb(f, 2, 1), Rgb(f, 3, 1)}) expected.insert(expected.end(), b.begin(), b.end());
    EXPECT_EQ(out, expected);
}

TEST(NetChannels, ThroughTheOutputLevels) {
    Layout l = Grid(1, 2);
    l.lines[0] = {MakePoint(0, 0), MakePoint(0, 1)};
    l.setting.brightness[0] = 50;
    l.setting.red[0] = 40;
    Frame f(2, 1);
    f.SetPixel(0, 0, Bgr{200, 100, 255});
    f.SetPixel(1, 0, Bgr{1, 3, 0});
    Bytes out;
    Built(l, BuiltInLightTypes(), Controller(Protocol::E131, {1})).Fill(f, out);
    // Red 255 at half brightness is 127, at 40 % balance 51; green 100 -> 50; blue 200 -> 100.
    EXPECT_EQ(out, (Bytes{51, 50, 100, 0, 1, 0}));

    // Gamma 2.0: the controller files' table, as 8 bits.
    l.setting.brightness[0] = 100;
    l.setting.red[0] = 100;
    l.setting.gamma[0] = 20;
    const GammaTable g = BuildGammaTable(20, 100, 3, 0);
    Built(l, BuiltInLightTypes(), Controller(Protocol::E131, {1})).Fill(f, out);
    EXPECT_EQ(out, (Bytes{static_cast<std::uint8_t>(g[255]), static_cast<std::uint8_t>(g[100]),
                          static_cast<std::uint8_t>(g[200]), static_cast<std::uint8_t>(g[0]),
                          static_cast<std::uint8_t>(g[3]), static_cast<std::uint8_t>(g[1])}));
    EXPECT_EQ(out[1], 39);  // (100/255)^2 x 255 = 39.2

    // A 10-bit chip (code 110) at gamma 1.0 is scaled back to the frame's bytes.
    l.setting.gamma[0] = 10;
    l.setting.icType[0] = 110;
    ASSERT_EQ(BuildGammaTable(10, 100, 110, 0)[255], 1023);
    Built(l, BuiltInLightTypes(), Controller(Protocol::E131, {1})).Fill(f, out);
    EXPECT_EQ(out, (Bytes{255, 100, 200, 0, 3, 1}));
    // A 12-bit one (code 104 in the master-slave family) at 25 %: 255 -> 64.
    l.setting.icType[0] = 104;
    l.setting.brightness[0] = 25;
    Built(l, BuiltInLightTypes(), Controller(Protocol::E131, {1})).Fill(f, out);
    EXPECT_EQ(out[0], 64);
}

TEST(NetChannels, EachLineTakesItsSlavesLampAndLevels) {
    Layout l = Grid(1, 3);
    l.setting.SetPortsPerSlave(2);  // lines 1 and 2 are slave 1's, line 3 slave 2's
    l.lines[0] = {MakePoint(0, 0)};
    l.lines[1] = {MakePoint(0, 1)};
    l.lines[2] = {MakePoint(0, 2)};
    l.setting.lightType[1] = 5;  // BGR
    l.setting.brightness[1] = 0;
    l.setting.blue[1] = 100;
    Frame f = Frame::Filled(3, 1, 90, 60, 30);
    Bytes out;
    Built(l, BuiltInLightTypes(), Controller(Protocol::E131, {1, 2, 3})).Fill(f, out);
    EXPECT_EQ(out, (Bytes{90, 60, 30, 90, 60, 30, 0, 0, 0}));
    l.setting.brightness[1] = 100;
    Built(l, BuiltInLightTypes(), Controller(Protocol::E131, {1, 2, 3})).Fill(f, out);
    EXPECT_EQ(out, (Bytes{90, 60, 30, 90, 60, 30, 30, 60, 90}));
}

TEST(NetChannels, PointsOutsideTheGridAndShortFramesSendZero) {
    Layout l = Grid(2, 2);
    l.lines[0] = {MakePoint(0, 0), MakePoint(5, 5), MakePoint(1, 1)};
    const Frame f = Frame::Filled(2, 2, 9, 8, 7);
    const ChannelLayout c = Built(l, BuiltInLightTypes(), Controller(Protocol::E131, {1}));
    Bytes out;
    c.Fill(f, out);
    EXPECT_EQ(out, (Bytes{9, 8, 7, 0, 0, 0, 9, 8, 7}));
    c.Fill(Frame(), out);  // no pixels at all
    EXPECT_EQ(out, Bytes(9, 0));
    // A one-row frame holds the bottom row (cell row 1) only.
    c.Fill(Frame::Filled(2, 1, 9, 8, 7), out);
    EXPECT_EQ(out, (Bytes{0, 0, 0, 0, 0, 0, 9, 8, 7}));
}

TEST(NetChannels, FramesOfAnotherSizeAreScaledLikeTheControllerFiles) {
    Layout l = Grid(2, 2);
    l.lines[0] = {MakePoint(1, 1)};
    const Frame f = Pattern(4, 4);
    auto built = ChannelLayout::Build(l, BuiltInLightTypes(), BuildOutputLevels(l.setting),
                                      Controller(Protocol::E131, {1}), FrameShape{4, 4});
    ASSERT_TRUE(built.ok());
    EXPECT_EQ(built->channels().sources[2], LedPixelOffset(l.grid, FrameShape{4, 4}, MakePoint(1, 1)));
    Bytes out;
    built->Fill(f, out);
    EXPECT_EQ(out, Rgb(f, 2, 2));
}

TEST(NetChannels, UniversesOfChannelsPerUniverse) {
    Layout l = Grid(1, 10);
    for (int c = 0; c < 7; ++c) l.lines[0].push_back(MakePoint(0, c));
    for (int c = 7; c < 10; ++c) l.lines[1].push_back(MakePoint(0, c));
    NetController ctl = Controller(Protocol::E131, {1, 2});
    ctl.universe = 5;
    ctl.channelsPerUniverse = 12;
    ChannelLayout c = Built(l, BuiltInLightTypes(), ctl);
    ASSERT_EQ(c.channelCount(), 30u);
    EXPECT_EQ(c.universes(), (std::vector<UniverseSlice>{{5, 0, 12}, {6, 12, 12}, {7, 24, 6}}));
    // Every line starts a new universe.
    ctl.lineStartsUniverse = true;
    c = Built(l, BuiltInLightTypes(), ctl);
    EXPECT_EQ(c.universes(), (std::vector<UniverseSlice>{{5, 0, 12}, {6, 12, 9}, {7, 21, 9}}));
    // The default 510 channels: 30 fit in one.
    ctl.lineStartsUniverse = false;
    ctl.channelsPerUniverse = 510;
    c = Built(l, BuiltInLightTypes(), ctl);
    EXPECT_EQ(c.universes(), (std::vector<UniverseSlice>{{5, 0, 30}}));
    // An empty line takes no universe.
    ctl.lines = {1, 2, 3};
    ctl.lineStartsUniverse = true;
    c = Built(l, BuiltInLightTypes(), ctl);
    EXPECT_EQ(c.universes(), (std::vector<UniverseSlice>{{5, 0, 21}, {6, 21, 9}}));
    EXPECT_EQ(c.channels().lines.back(), (LineChannels{3, 30, 0}));
}

TEST(NetChannels, UniversesPastTheProtocolsLastAreRefused) {
    Layout l = Grid(1, 200);
    for (int c = 0; c < 200; ++c) l.lines[0].push_back(MakePoint(0, c));  // 600 channels: 2 universes
    NetController ctl = Controller(Protocol::E131, {1});
    ctl.section = "Controller4";
    ctl.universe = 63999;
    auto built = ChannelLayout::Build(l, BuiltInLightTypes(), BuildOutputLevels(l.setting), ctl);
    ASSERT_FALSE(built.ok());
    EXPECT_EQ(built.failure().code, kNetUniverseRange);
    EXPECT_EQ(English(built.failure()), "[Controller4]: lines 1 need universes 63999 to 64000, but e131 allows 1 to 63999");
    ctl.universe = 63998;
    EXPECT_TRUE(ChannelLayout::Build(l, BuiltInLightTypes(), BuildOutputLevels(l.setting), ctl).ok());
    ctl.protocol = Protocol::ArtNet;
    ctl.universe = 32767;
    built = ChannelLayout::Build(l, BuiltInLightTypes(), BuildOutputLevels(l.setting), ctl);
    ASSERT_FALSE(built.ok());
    EXPECT_NE(English(built.failure()).find("artnet allows 0 to 32767"), std::string::npos);
    ctl.universe = 32766;
    EXPECT_TRUE(ChannelLayout::Build(l, BuiltInLightTypes(), BuildOutputLevels(l.setting), ctl).ok());
}

// ---- The network description file ----

TEST(NetworkFile, LinesWrittenAndRead) {
    auto lines = ParseLines("1-4, 7");
    ASSERT_TRUE(lines.ok());
    EXPECT_EQ(*lines, (std::vector<int>{1, 2, 3, 4, 7}));
    lines = ParseLines(" 9 ,3-3,2-5,256");
    ASSERT_TRUE(lines.ok());
    EXPECT_EQ(*lines, (std::vector<int>{2, 3, 4, 5, 9, 256}));
    for (const char* bad : {"", " ", "0", "257", "4-1", "1,,2", "1,", "a", "1-", "-3", "1-2-3", "1.5", "2 3"}) {
        EXPECT_FALSE(ParseLines(bad).ok()) << bad;
    }
    EXPECT_EQ(FormatLines({7, 1, 2, 3, 4}), "1-4,7");
    EXPECT_EQ(FormatLines({5}), "5");
    EXPECT_EQ(FormatLines({1, 3, 4}), "1,3-4");
    EXPECT_EQ(FormatLines({}), "");
}

TEST(NetworkFile, ReadsEveryKeyAndTheDefaults) {
    test::TestFolder dir;
    const auto path = dir.Write("show.net",
                                "; the stage\r\n"
                                "[Controller2]\r\n"
                                "protocol = ArtNet\r\n"
                                "Address=10.0.0.7\r\n"
                                "Lines=5\r\n"
                                "[Controller1]\r\n"
                                "Protocol=e131\r\n"
                                "Address=192.168.1.50\r\n"
                                "Port=5569\r\n"
                                "Multicast=1\r\n"
                                "Lines=1-4,7\r\n"
                                "Universe=10\r\n"
                                "ChannelsPerUniverse=512\r\n"
                                "LineStartsUniverse=1\r\n"
                                "Priority=150\r\n"
                                "SourceName=Front of house\r\n"
                                "Sync=1\r\n"
                                "[Controller7]\r\n"
                                "Protocol=DDP\r\n"
                                "Address=10.0.0.8\r\n"
                                "Lines=6\r\n");
    auto read = ReadNetworkFile(path, kLanguageEnglish);
    ASSERT_TRUE(read.ok()) << read.message();
    ASSERT_EQ(read->controllers.size(), 3u);
    const NetController& a = read->controllers[0];
    EXPECT_EQ(a.section, "Controller1");
    EXPECT_EQ(a.protocol, Protocol::E131);
    EXPECT_EQ(a.address, "192.168.1.50");
    EXPECT_EQ(a.port, 5569);
    EXPECT_TRUE(a.multicast);
    EXPECT_EQ(a.lines, (std::vector<int>{1, 2, 3, 4, 7}));
    EXPECT_EQ(a.universe, 10);
    EXPECT_EQ(a.channelsPerUniverse, 512);
    EXPECT_TRUE(a.lineStartsUniverse);
    EXPECT_EQ(a.priority, 150);
    EXPECT_EQ(a.sourceName, "Front of house");
    EXPECT_TRUE(a.sync);
    const NetController& b = read->controllers[1];
    EXPECT_EQ(b.section, "Controller2");
    EXPECT_EQ(b.protocol, Protocol::ArtNet);
    EXPECT_EQ(b.port, 6454);
    EXPECT_FALSE(b.multicast);
    EXPECT_EQ(b.universe, 1);
    EXPECT_EQ(b.channelsPerUniverse, 510);
    EXPECT_FALSE(b.lineStartsUniverse);
    EXPECT_EQ(b.priority, 100);
    EXPECT_EQ(b.sourceName, "");
    EXPECT_FALSE(b.sync);
    EXPECT_EQ(read->controllers[2].section, "Controller7");
    EXPECT_EQ(read->controllers[2].protocol, Protocol::Ddp);
    EXPECT_EQ(read->controllers[2].port, 4048);
    // E1.31 by multicast needs no address.
    const auto multicast = dir.Write("m.net", "[Controller1]\nProtocol=e131\nMulticast=1\nLines=1\n");
    read = ReadNetworkFile(multicast, kLanguageEnglish);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read->controllers[0].address, "");
}

namespace {

struct BadKey {
    std::string lines;     // the section's lines after [Controller3]
    std::string expected;  // the whole English message after "FILE: "
};

}  // namespace

TEST(NetworkFile, EveryBadKeyIsRefusedNamingSectionKeyAndAllowedValues) {
    test::TestFolder dir;
    const std::string e131 = "Protocol=e131\nAddress=10.0.0.1\nLines=1\n";
    const std::string artnet = "Protocol=artnet\nAddress=10.0.0.1\nLines=1\n";
    const std::vector<BadKey> cases = {
        {"Address=10.0.0.1\nLines=1\n", "[Controller3] has no Protocol; allowed values: e131, artnet or ddp"},
        {"Protocol=sacn\nAddress=10.0.0.1\nLines=1\n",
         "[Controller3] Protocol=sacn is not allowed; allowed values: e131, artnet or ddp"},
        {"Protocol=artnet\nLines=1\n",
         "[Controller3] has no Address; allowed values: a unicast IPv4 address such as 192.168.1.50"},
        {"Protocol=e131\nLines=1\n", "[Controller3] has no Address; allowed values: a unicast IPv4 address such as "
                                     "192.168.1.50 (or Multicast=1)"},
        {"Protocol=ddp\nAddress=10.0.0.256\nLines=1\n",
         "[Controller3] Address=10.0.0.256 is not allowed; allowed values: a unicast IPv4 address such as 192.168.1.50"},
        {"Protocol=artnet\nAddress=239.255.0.1\nLines=1\n",
         "[Controller3] Address=239.255.0.1 is not allowed; allowed values: a unicast IPv4 address such as "
         "192.168.1.50"},
        {"Protocol=artnet\nAddress=255.255.255.255\nLines=1\n",
         "[Controller3] Address=255.255.255.255 is not allowed; allowed values: a unicast IPv4 address such as "
         "192.168.1.50"},
        {"Protocol=artnet\nAddress=0.1.2.3\nLines=1\n",
         "[Controller3] Address=0.1.2.3 is not allowed; allowed values: a unicast IPv4 address such as 192.168.1.50"},
        {"Protocol=artnet\nAddress=host.local\nLines=1\n",
         "[Controller3] Address=host.local is not allowed; allowed values: a unicast IPv4 address such as "
         "192.168.1.50"},
        {e131 + "Port=0\n", "[Controller3] Port=0 is not allowed; allowed values: a whole number from 1 to 65535"},
        {e131 + "Port=65536\n", "[Controller3] Port=65536 is not allowed; allowed values: a whole number from 1 to 65535"},
        {e131 + "Port=55x\n", "[Controller3] Port=55x is not allowed; allowed values: a whole number from 1 to 65535"},
        {e131 + "Multicast=2\n", "[Controller3] Multicast=2 is not allowed; allowed values: 0 or 1"},
        {artnet + "Multicast=1\n",
         "[Controller3] Multicast=1 is not allowed; allowed values: 0 (only e131 sends by multicast)"},
        {"Protocol=e131\nAddress=10.0.0.1\n",
         "[Controller3] has no Lines; allowed values: line numbers from 1 to 256, such as 1-4,7"},
        {"Protocol=e131\nAddress=10.0.0.1\nLines=0\n",
         "[Controller3] Lines=0 is not allowed; allowed values: line numbers from 1 to 256, such as 1-4,7"},
        {"Protocol=e131\nAddress=10.0.0.1\nLines=3-1\n",
         "[Controller3] Lines=3-1 is not allowed; allowed values: line numbers from 1 to 256, such as 1-4,7"},
        {"Protocol=e131\nAddress=10.0.0.1\nLines=1-300\n",
         "[Controller3] Lines=1-300 is not allowed; allowed values: line numbers from 1 to 256, such as 1-4,7"},
        {e131 + "Universe=0\n",
         "[Controller3] Universe=0 is not allowed; allowed values: a whole number from 1 to 63999"},
        {e131 + "Universe=64000\n",
         "[Controller3] Universe=64000 is not allowed; allowed values: a whole number from 1 to 63999"},
        {artnet + "Universe=32768\n",
         "[Controller3] Universe=32768 is not allowed; allowed values: a whole number from 0 to 32767"},
        {artnet + "Universe=-1\n",
         "[Controller3] Universe=-1 is not allowed; allowed values: a whole number from 0 to 32767"},
        {e131 + "ChannelsPerUniverse=0\n",
         "[Controller3] ChannelsPerUniverse=0 is not allowed; allowed values: a whole number from 1 to 512"},
        {e131 + "ChannelsPerUniverse=513\n",
         "[Controller3] ChannelsPerUniverse=513 is not allowed; allowed values: a whole number from 1 to 512"},
        {e131 + "LineStartsUniverse=yes\n", "[Controller3] LineStartsUniverse=yes is not allowed; allowed values: 0 or 1"},
        {e131 + "Priority=201\n",
         "[Controller3] Priority=201 is not allowed; allowed values: a whole number from 0 to 200"},
        {e131 + "SourceName=" + std::string(64, 's') + "\n",
         "[Controller3] SourceName=" + std::string(64, 's') +
             " is not allowed; allowed values: one line of text of at most 63 bytes"},
        {e131 + "Sync=-1\n", "[Controller3] Sync=-1 is not allowed; allowed values: 0 or 1"},
        {e131 + "Colour=red\n",
         "[Controller3] Colour is not a key of a controller; allowed keys: Protocol, Address, Port, Multicast, Lines, "
         "Universe, ChannelsPerUniverse, LineStartsUniverse, Priority, SourceName, Sync"},
    };
    int n = 0;
    for (const BadKey& c : cases) {
        const std::string name = "bad" + std::to_string(++n) + ".net";
        const auto path = dir.Write(name, "[Controller1]\nProtocol=ddp\nAddress=10.0.0.9\nLines=9\n\n[Controller3]\n" +
                                              c.lines);
        const auto read = ReadNetworkFile(path, kLanguageEnglish);
        ASSERT_FALSE(read.ok()) << c.lines;
        EXPECT_EQ(read.message(), path.string() + ": " + c.expected) << c.lines;
        EXPECT_GE(read.failure().code, kNetUnknownKey);
        EXPECT_LE(read.failure().code, kNetBadValue);
        // The same failure rendered again in another language.
        EXPECT_EQ(English(Failure{0, {}, {}, read.failure().args, read.failure().text}), read.message());
    }
}

TEST(NetworkFile, MessagesInChinese) {
    test::TestFolder dir;
    const auto path = dir.Write("c.net", "[Controller1]\nProtocol=e131\nAddress=10.0.0.1\nLines=1\nPriority=300\n");
    const auto read = ReadNetworkFile(path, kLanguageSimplified);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.message(), path.string() + ": [Controller1] Priority=300 无效; 允许的值: 0 到 200 的整数");
}

TEST(NetworkFile, BadFilesAndSections) {
    test::TestFolder dir;
    const auto expectRefused = [&](const std::string& text, int code, const std::string& expected) {
        static int n = 0;
        const auto path = dir.Write("f" + std::to_string(++n) + ".net", text);
        const auto read = ReadNetworkFile(path, kLanguageEnglish);
        ASSERT_FALSE(read.ok()) << text;
        EXPECT_EQ(read.failure().code, code) << text;
        std::string message = expected;
        const std::size_t at = message.find("FILE");
        if (at != std::string::npos) message.replace(at, 4, path.string());
        EXPECT_EQ(read.message(), message) << text;
    };
    const std::string body = "Protocol=ddp\nAddress=10.0.0.9\nLines=1\n";
    expectRefused("", kNetNoControllers, "FILE lists no controller: add a section [Controller1]");
    expectRefused("; nothing\n\n", kNetNoControllers, "FILE lists no controller: add a section [Controller1]");
    expectRefused("Protocol=ddp\n", kNetNotProfile,
                  "FILE is not a network description (INI text with sections [Controller1], [Controller2], ...)");
    expectRefused(std::string("[Controller1]\n\0\x01\x02", 17), kNetNotProfile,
                  "FILE is not a network description (INI text with sections [Controller1], [Controller2], ...)");
    for (const char* section : {"Output1", "Controller0", "Controller01", "Controller", "Controller 2", "Controller-1"}) {
        expectRefused("[" + std::string(section) + "]\n" + body, kNetBadSection,
                      "FILE: section [" + std::string(section) +
                          "] is not a controller; allowed section names: [Controller1], [Controller2], ...");
    }
    expectRefused("[Controller1]\n" + body + "[controller1]\n" + body, kNetBadSection,
                  "FILE: section [controller1] appears twice");
    const auto missing = dir / "none.net";
    const auto read = ReadNetworkFile(missing, kLanguageEnglish);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.failure().code, kNetCannotRead);
    EXPECT_EQ(read.message(), "Cannot read the network description: " + missing.string() + ": No such file or directory");
}

TEST(NetworkFile, WriteAndReadBack) {
    test::TestFolder dir;
    NetworkDescription d;
    NetController a = Controller(Protocol::E131, {1, 2, 3, 4, 7});
    a.port = 5570;
    a.universe = 300;
    a.channelsPerUniverse = 504;
    a.lineStartsUniverse = true;
    a.priority = 0;
    a.sourceName = "  Stage left ";  // blanks kept (written quoted)
    a.sync = true;
    NetController b = Controller(Protocol::ArtNet, {8});
    b.universe = 32767;
    b.sync = true;
    b.sourceName = "\"quoted\"";
    NetController c = Controller(Protocol::Ddp, {9, 10, 12});
    c.address = "127.0.0.1";
    c.port = 14048;
    NetController m = Controller(Protocol::E131, {200});
    m.address = "";
    m.multicast = true;
    m.universe = 63999;
    m.sourceName = "\xE8\x88\x9E\xE5\x8F\xB0";  // UTF-8 text
    d.controllers = {a, b, c, m};
    const auto path = dir / "show.net";
    ASSERT_TRUE(WriteNetworkFile(path, d).ok());
    auto read = ReadNetworkFile(path, kLanguageEnglish);
    ASSERT_TRUE(read.ok()) << read.message();
    for (std::size_t i = 0; i < d.controllers.size(); ++i) d.controllers[i].section = "Controller" + std::to_string(i + 1);
    EXPECT_EQ(*read, d);
    const std::string text = dir.Read("show.net");
    EXPECT_EQ(text.substr(0, text.find("[Controller2]")),
              "[Controller1]\r\nProtocol=e131\r\nAddress=192.168.1.50\r\nPort=5570\r\nMulticast=0\r\nLines=1-4,7\r\n"
              "Universe=300\r\nChannelsPerUniverse=504\r\nLineStartsUniverse=1\r\nPriority=0\r\n"
              "SourceName=\"  Stage left \"\r\nSync=1\r\n\r\n");
    // Written again from what was read: the same bytes.
    ASSERT_TRUE(WriteNetworkFile(dir / "again.net", *read).ok());
    EXPECT_EQ(dir.Read("again.net"), text);
}

TEST(NetworkFile, TheWriterRefusesWhatTheReaderWould) {
    test::TestFolder dir;
    const auto path = dir.Write("keep.net", "old");
    NetworkDescription d;
    d.controllers.push_back(Controller(Protocol::E131, {1}));
    d.controllers.push_back(Controller(Protocol::E131, {2}));
    d.controllers[1].priority = 300;
    auto written = WriteNetworkFile(path, d);
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.failure().code, kNetBadValue);
    EXPECT_EQ(written.message(),
              path.string() + ": [Controller2] Priority=300 is not allowed; allowed values: a whole number from 0 to 200");
    EXPECT_EQ(dir.Read("keep.net"), "old");
    d.controllers[1].priority = 100;
    d.controllers[1].lines = {};
    EXPECT_EQ(WriteNetworkFile(path, d).failure().code, kNetMissingKey);
    d.controllers[1].lines = {2};
    d.controllers[1].sourceName = "two\nlines";
    EXPECT_EQ(WriteNetworkFile(path, d).failure().code, kNetBadValue);
    d.controllers[1].sourceName = "";
    d.controllers[1].protocol = Protocol::Ddp;
    d.controllers[1].multicast = true;
    EXPECT_EQ(WriteNetworkFile(path, d).failure().code, kNetBadValue);
    EXPECT_EQ(dir.Read("keep.net"), "old");
}

TEST(NetworkFile, Warnings) {
    NetworkDescription d;
    NetController a = Controller(Protocol::E131, {1, 2, 3, 4});
    a.section = "Controller1";
    NetController b = Controller(Protocol::E131, {3, 4, 5});
    b.section = "Controller2";
    d.controllers = {a, b};
    EXPECT_EQ(DescriptionWarnings(d, kLanguageEnglish),
              (std::vector<std::string>{"Lines 3-4 are driven by both [Controller1] and [Controller2]",
                                        "[Controller1] and [Controller2] both send universe 1 to 192.168.1.50:5568"}));
    d.controllers[1].lines = {5};
    d.controllers[1].universe = 2;
    EXPECT_TRUE(DescriptionWarnings(d, kLanguageEnglish).empty());
    d.controllers[1].universe = 1;
    d.controllers[1].address = "192.168.1.51";  // another receiver
    EXPECT_TRUE(DescriptionWarnings(d, kLanguageEnglish).empty());
    d.controllers[1].protocol = Protocol::ArtNet;  // another protocol
    d.controllers[1].address = a.address;
    d.controllers[1].port = a.port;
    EXPECT_TRUE(DescriptionWarnings(d, kLanguageEnglish).empty());
    d.controllers[0].multicast = d.controllers[1].multicast = true;
    d.controllers[1].protocol = Protocol::E131;
    d.controllers[1].address = "";
    EXPECT_EQ(DescriptionWarnings(d, kLanguageEnglish),
              (std::vector<std::string>{"[Controller1] and [Controller2] both send universe 1 to multicast"}));
    d.controllers[0] = Controller(Protocol::Ddp, {1});
    d.controllers[0].section = "Controller1";
    d.controllers[1] = Controller(Protocol::Ddp, {2});
    d.controllers[1].section = "Controller2";
    EXPECT_EQ(DescriptionWarnings(d, kLanguageSimplified),
              (std::vector<std::string>{"[Controller1] 和 [Controller2] 都向 192.168.1.50:4048 发送 DDP 数据"}));
}

// Cut and mutated forms of a good file: the reader never fails without a message, and what it
// reads it writes back to a file that reads the same.
TEST(NetworkFile, TruncatedAndMutatedFiles) {
    test::TestFolder dir;
    NetworkDescription d;
    NetController a = Controller(Protocol::E131, {1, 2, 3, 4, 7});
    a.sourceName = "Stage";
    a.sync = true;
    NetController m = Controller(Protocol::E131, {9});
    m.address = "";
    m.multicast = true;
    d.controllers = {a, Controller(Protocol::ArtNet, {5, 6}), Controller(Protocol::Ddp, {8}), m};
    ASSERT_TRUE(WriteNetworkFile(dir / "good.net", d).ok());
    const std::string good = dir.Read("good.net");
    int n = 0;
    int accepted = 0;
    const auto check = [&](const std::string& text) {
        const auto path = dir.Write("fuzz" + std::to_string(++n) + ".net", text);
        auto read = ReadNetworkFile(path, kLanguageEnglish);
        if (!read.ok()) {
            EXPECT_FALSE(read.message().empty());
            EXPECT_GE(read.failure().code, kNetCannotRead);
            EXPECT_LE(read.failure().code, kNetBadValue);
        } else {
            ++accepted;
            const auto again = dir / ("again" + std::to_string(n) + ".net");
            const auto written = WriteNetworkFile(again, *read);
            ASSERT_TRUE(written.ok()) << written.message() << "\n" << text;
            auto reread = ReadNetworkFile(again, kLanguageEnglish);
            ASSERT_TRUE(reread.ok()) << reread.message();
            for (std::size_t i = 0; i < read->controllers.size(); ++i) {
                read->controllers[i].section = "Controller" + std::to_string(i + 1);
            }
            EXPECT_EQ(*reread, *read) << text;
            std::filesystem::remove(again);
        }
        std::filesystem::remove(path);
    };
    for (std::size_t cut = 0; cut <= good.size(); ++cut) check(good.substr(0, cut));
    std::mt19937 random(20240611);
    const std::string alphabet = "[]=;,-.0123456789 \r\n\tabcdeflmnprstuyCLPSUAM\"'\x01\xC3\xA9\xFF";
    for (int i = 0; i < 1500; ++i) {
        std::string text = good;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = random() % text.size();
            const char c = alphabet[random() % alphabet.size()];
            switch (random() % 4) {
                case 0: text[at] = c; break;
                case 1: text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), c); break;
                case 2: text.erase(at, 1 + random() % 8); break;
                default: text.insert(at, text.substr(random() % text.size(), random() % 40)); break;
            }
        }
        check(text);
    }
    EXPECT_GT(accepted, 0);
}

// ---- Test patterns ----

namespace {

constexpr Bgr kTestWhite{255, 255, 255};

// The colour the frame shows at an LED's cell.
Bgr At(const Frame& f, LinePoint p) { return f.Pixel(PointCol(p), PointRow(p)); }

}  // namespace

TEST(TestPatterns, NamesAndFrameSize) {
    EXPECT_EQ(ParseTestPattern("lines"), TestPattern::Lines);
    EXPECT_EQ(ParseTestPattern("chase"), TestPattern::Chase);
    EXPECT_EQ(ParseTestPattern("rgb"), TestPattern::Rgb);
    EXPECT_EQ(ParseTestPattern("white"), TestPattern::White);
    EXPECT_EQ(ParseTestPattern("off"), TestPattern::Off);
    EXPECT_FALSE(ParseTestPattern("White").has_value());
    EXPECT_FALSE(ParseTestPattern("").has_value());
    const Layout l = Grid(3, 5);
    const Frame f = TestPatternFrame(l, TestPattern::White, 0, 25);
    EXPECT_EQ(f.width(), 5);
    EXPECT_EQ(f.height(), 3);
}

TEST(TestPatterns, LinesEachInItsColourTheFirstLedWhite) {
    Layout l = Grid(3, 4);
    l.lines[0] = {MakePoint(0, 0), MakePoint(0, 1), MakePoint(0, 2)};
    l.lines[1] = {MakePoint(2, 3), MakePoint(1, 3)};
    l.lines[8] = {MakePoint(2, 0), MakePoint(2, 1)};  // line 9 takes the first colour again
    const Frame f = TestPatternFrame(l, TestPattern::Lines, 7, 25);
    EXPECT_EQ(At(f, MakePoint(0, 0)), kTestWhite);
    EXPECT_EQ(At(f, MakePoint(0, 1)), (Bgr{0, 0, 255}));
    EXPECT_EQ(At(f, MakePoint(0, 2)), (Bgr{0, 0, 255}));
    EXPECT_EQ(At(f, MakePoint(2, 3)), kTestWhite);
    EXPECT_EQ(At(f, MakePoint(1, 3)), (Bgr{0, 255, 0}));
    EXPECT_EQ(At(f, MakePoint(2, 0)), kTestWhite);
    EXPECT_EQ(At(f, MakePoint(2, 1)), kTestLineColours[0]);
    EXPECT_EQ(At(f, MakePoint(1, 1)), Bgr{});  // no LED
    // Every colour of the list differs from the others and from white.
    for (std::size_t i = 0; i < std::size(kTestLineColours); ++i) {
        EXPECT_NE(kTestLineColours[i], kTestWhite);
        for (std::size_t j = i + 1; j < std::size(kTestLineColours); ++j) EXPECT_NE(kTestLineColours[i], kTestLineColours[j]);
    }
}

TEST(TestPatterns, ChaseWalksEachLineInWiringOrder) {
    Layout l = Grid(2, 4);
    l.lines[0] = {MakePoint(1, 3), MakePoint(0, 0), MakePoint(1, 1)};
    l.lines[1] = {MakePoint(0, 2), MakePoint(0, 3)};
    for (std::uint64_t k = 0; k < 7; ++k) {
        const Frame f = TestPatternFrame(l, TestPattern::Chase, k, 25);
        for (std::size_t n = 0; n < 2; ++n) {
            const Line& line = l.lines[n];
            for (std::size_t led = 0; led < line.size(); ++led) {
                EXPECT_EQ(At(f, line[led]), led == k % line.size() ? kTestWhite : Bgr{}) << "frame " << k << " line "
                                                                                           << n + 1 << " LED " << led;
            }
        }
    }
}

TEST(TestPatterns, RgbStepsEverySecondAndWhiteAndOff) {
    Layout l = Grid(2, 3);
    l.lines[0] = {MakePoint(0, 0), MakePoint(1, 2)};
    const Bgr steps[] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, kTestWhite, {0, 0, 255}};
    for (std::uint64_t second = 0; second < 5; ++second) {
        for (const std::uint64_t k : {second * 10, second * 10 + 9}) {  // 10 frames a second
            const Frame f = TestPatternFrame(l, TestPattern::Rgb, k, 10);
            EXPECT_EQ(At(f, MakePoint(0, 0)), steps[second]) << "frame " << k;
            EXPECT_EQ(At(f, MakePoint(1, 2)), steps[second]) << "frame " << k;
            EXPECT_EQ(At(f, MakePoint(0, 1)), Bgr{}) << "frame " << k;
        }
    }
    const Frame white = TestPatternFrame(l, TestPattern::White, 3, 25);
    EXPECT_EQ(At(white, MakePoint(0, 0)), kTestWhite);
    EXPECT_EQ(At(white, MakePoint(1, 2)), kTestWhite);
    EXPECT_EQ(At(white, MakePoint(1, 0)), Bgr{});
    const Frame off = TestPatternFrame(l, TestPattern::Off, 3, 25);
    EXPECT_TRUE(std::all_of(off.bytes().begin(), off.bytes().end(), [](std::uint8_t b) { return b == 0; }));
    // Through a controller's channels: every channel of every LED at full.
    Bytes out;
    Built(l, BuiltInLightTypes(), Controller(Protocol::Ddp, {1})).Fill(white, out);
    EXPECT_EQ(out, Bytes(6, 255));
}
