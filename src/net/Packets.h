#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corv::net {

// The exact bytes of the packets the controllers take, one function a packet kind; each
// stands alone (the sender keeps the sequence numbers and the sockets).

inline constexpr std::size_t kE131MaxSlots = 512;
inline constexpr std::size_t kE131HeaderSize = 126;  // a data packet's bytes before its slots
inline constexpr std::size_t kE131SyncSize = 49;
inline constexpr std::size_t kArtNetHeaderSize = 18;
inline constexpr std::size_t kArtNetMaxData = 512;
inline constexpr std::size_t kArtSyncSize = 14;
inline constexpr std::size_t kDdpHeaderSize = 10;
inline constexpr std::size_t kDdpMaxData = 1440;
inline constexpr std::uint8_t kDdpRgb8 = 0x0B;  // DDP data type: RGB, 8 bits a component

// An E1.31 data packet of the first 512 `slots` (start code 0): `source` cut to 63 bytes
// (never inside a character), `priority` cut to 0..200, `syncUniverse` 0 when the receiver
// shows data as it comes, `terminated` for the last packets of a stream.
std::vector<std::uint8_t> E131Data(const std::array<std::uint8_t, 16>& cid, const std::string& source, int priority,
                                   int universe, std::uint8_t sequence, std::span<const std::uint8_t> slots,
                                   std::uint16_t syncUniverse, bool terminated);
// An E1.31 synchronisation packet for `syncUniverse`.
std::vector<std::uint8_t> E131Sync(const std::array<std::uint8_t, 16>& cid, std::uint8_t sequence,
                                   std::uint16_t syncUniverse);
// The multicast group of an E1.31 universe: "239.255.hi.lo".
std::string E131MulticastAddress(int universe);

// An ArtDmx packet of the first 512 bytes of `data` for the 15-bit port address; the data
// padded with 0 to an even length of at least 2. Sequence 0 tells the receiver not to reorder.
std::vector<std::uint8_t> ArtDmx(std::uint8_t sequence, int portAddress, std::span<const std::uint8_t> data);
// An ArtSync packet.
std::vector<std::uint8_t> ArtSync();

// The DDP packets of one frame of `channels`: 1440 data bytes a packet (the last one shorter),
// each at its byte offset, the push flag on the last. Each packet takes the sequence number
// after `sequence` (1..15, then 1 again), which is left at the last one used. No channels
// give no packets.
std::vector<std::vector<std::uint8_t>> DdpFrame(std::uint8_t& sequence, std::span<const std::uint8_t> channels,
                                                std::uint8_t dataType = kDdpRgb8);

}  // namespace corv::net
