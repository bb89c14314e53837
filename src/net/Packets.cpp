#include "net/Packets.h"

#include <algorithm>
#include <cstring>

namespace corv::net {

namespace {

void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, v >> 16);
    Put16(p + 2, v);
}

// The root layer both E1.31 packets start with: preamble, postamble, packet identifier, the
// root's flags and length, its vector and the sender's CID.
void E131Root(std::uint8_t* p, std::size_t size, std::uint32_t vector, const std::array<std::uint8_t, 16>& cid) {
    static constexpr char kIdentifier[12] = {'A', 'S', 'C', '-', 'E', '1', '.', '1', '7', 0, 0, 0};
    Put16(p, 0x0010);
    Put16(p + 2, 0x0000);
    std::memcpy(p + 4, kIdentifier, sizeof kIdentifier);
    Put16(p + 16, 0x7000 | static_cast<std::uint32_t>(size - 16));
    Put32(p + 18, vector);
    std::memcpy(p + 22, cid.data(), cid.size());
}

constexpr char kArtNetId[8] = {'A', 'r', 't', '-', 'N', 'e', 't', 0};

void ArtNetHead(std::uint8_t* p, std::uint16_t opcode) {
    std::memcpy(p, kArtNetId, sizeof kArtNetId);
    p[8] = static_cast<std::uint8_t>(opcode);  // little-endian
    p[9] = static_cast<std::uint8_t>(opcode >> 8);
    Put16(p + 10, 14);                         // protocol version, big-endian
}

}  // namespace

std::vector<std::uint8_t> E131Data(const std::array<std::uint8_t, 16>& cid, const std::string& source, int priority,
                                   int universe, std::uint8_t sequence, std::span<const std::uint8_t> slots,
                                   std::uint16_t syncUniverse, bool terminated) {
    const std::size_t n = std::min(slots.size(), kE131MaxSlots);
    std::vector<std::uint8_t> p(kE131HeaderSize + n, 0);
    E131Root(p.data(), p.size(), 0x00000004, cid);
    // Framing layer.
    Put16(&p[38], 0x7000 | static_cast<std::uint32_t>(p.size() - 38));
    Put32(&p[40], 0x00000002);
    std::size_t nameBytes = std::min<std::size_t>(source.size(), 63);
    while (nameBytes > 0 && nameBytes < source.size() && (static_cast<unsigned char>(source[nameBytes]) & 0xC0) == 0x80) {
        --nameBytes;  // never half a character
    }
    std::memcpy(&p[44], source.data(), nameBytes);
    p[108] = static_cast<std::uint8_t>(std::clamp(priority, 0, 200));
    Put16(&p[109], syncUniverse);
    p[111] = sequence;
    p[112] = terminated ? 0x40 : 0x00;
    Put16(&p[113], static_cast<std::uint16_t>(universe));
    // DMP layer.
    Put16(&p[115], 0x7000 | static_cast<std::uint32_t>(p.size() - 115));
    p[117] = 0x02;
    p[118] = 0xA1;
    Put16(&p[119], 0x0000);
    Put16(&p[121], 0x0001);
    Put16(&p[123], static_cast<std::uint32_t>(n + 1));
    p[125] = 0x00;  // start code
    if (n > 0) std::memcpy(&p[kE131HeaderSize], slots.data(), n);
    return p;
}

std::vector<std::uint8_t> E131Sync(const std::array<std::uint8_t, 16>& cid, std::uint8_t sequence,
                                   std::uint16_t syncUniverse) {
    std::vector<std::uint8_t> p(kE131SyncSize, 0);
    E131Root(p.data(), p.size(), 0x00000008, cid);
    Put16(&p[38], 0x7000 | static_cast<std::uint32_t>(p.size() - 38));
    Put32(&p[40], 0x00000001);
    p[44] = sequence;
    Put16(&p[45], syncUniverse);
    // 47-48 reserved, 0.
    return p;
}

std::string E131MulticastAddress(int universe) {
    const auto u = static_cast<std::uint16_t>(universe);
    return "239.255." + std::to_string(u >> 8) + "." + std::to_string(u & 0xFF);
}

std::vector<std::uint8_t> ArtDmx(std::uint8_t sequence, int portAddress, std::span<const std::uint8_t> data) {
    const std::size_t n = std::min(data.size(), kArtNetMaxData);
    const std::size_t length = std::max<std::size_t>(2, n + (n % 2));
    std::vector<std::uint8_t> p(kArtNetHeaderSize + length, 0);
    ArtNetHead(p.data(), 0x5000);
    p[12] = sequence;
    p[13] = 0;  // physical port
    const auto address = static_cast<std::uint32_t>(portAddress) & 0x7FFF;
    p[14] = static_cast<std::uint8_t>(address & 0xFF);  // SubUni
    p[15] = static_cast<std::uint8_t>(address >> 8);    // Net
    Put16(&p[16], static_cast<std::uint32_t>(length));
    if (n > 0) std::memcpy(&p[kArtNetHeaderSize], data.data(), n);
    return p;
}

std::vector<std::uint8_t> ArtSync() {
    std::vector<std::uint8_t> p(kArtSyncSize, 0);
    ArtNetHead(p.data(), 0x5200);
    // 12-13 Aux1, Aux2: 0.
    return p;
}

std::vector<std::vector<std::uint8_t>> DdpFrame(std::uint8_t& sequence, std::span<const std::uint8_t> channels,
                                                std::uint8_t dataType) {
    std::vector<std::vector<std::uint8_t>> packets;
    for (std::size_t offset = 0; offset < channels.size(); offset += kDdpMaxData) {
        const std::size_t n = std::min(kDdpMaxData, channels.size() - offset);
        const bool last = offset + n == channels.size();
        sequence = static_cast<std::uint8_t>(sequence % 15 + 1);
        std::vector<std::uint8_t> p(kDdpHeaderSize + n, 0);
        p[0] = static_cast<std::uint8_t>(0x40 | (last ? 0x01 : 0x00));
        p[1] = sequence;
        p[2] = dataType;
        p[3] = 1;  // the display
        Put32(&p[4], static_cast<std::uint32_t>(offset));
        Put16(&p[8], static_cast<std::uint32_t>(n));
        std::memcpy(&p[kDdpHeaderSize], channels.data() + offset, n);
        packets.push_back(std::move(p));
    }
    return packets;
}

}  // namespace corv::net
