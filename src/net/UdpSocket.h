#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/Result.h"

namespace corv::net {

// An IPv4 address and UDP port, both in host byte order.
struct Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    friend bool operator==(const Endpoint&, const Endpoint&) = default;
};

// "a.b.c.d" (four decimal parts of 0..255, nothing else); none for any other text.
Result<std::uint32_t> ParseIPv4(const std::string& text);
std::string FormatIPv4(std::uint32_t address);
// "a.b.c.d:port".
std::string FormatEndpoint(const Endpoint& endpoint);

// An address one host answers to: not 0.0.0.0/8, not multicast (224.0.0.0/4), not the
// reserved block 240.0.0.0/4 with the limited broadcast 255.255.255.255.
bool IsUnicast(std::uint32_t address);
// The multicast group of an E1.31 universe: 239.255.hi.lo.
std::uint32_t E131MulticastGroup(int universe);
bool IsE131MulticastGroup(std::uint32_t address);

// A UDP socket that sends datagrams to IPv4 endpoints. It sends to unicast addresses, and to
// the E1.31 multicast groups when asked to (with a time-to-live of one hop); broadcasts and
// other multicast groups are refused before anything goes out.
class UdpSocket {
public:
    enum Refusal {
        kSocketUnavailable = 1,  // the system gave no socket
        kAddressRefused,         // not a unicast address (nor an allowed multicast group)
        kSendFailed,             // the system refused the datagram
    };

    UdpSocket() = default;
    ~UdpSocket();
    UdpSocket(UdpSocket&& other) noexcept;
    UdpSocket& operator=(UdpSocket&& other) noexcept;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    static Result<UdpSocket> Open();
    bool isOpen() const { return fd_ >= 0; }

    // Whether a datagram may go to `endpoint`: unicast, or one of the E1.31 groups when
    // `e131Multicast` is set.
    static Result<Done> CheckDestination(const Endpoint& endpoint, bool e131Multicast);

    // One datagram, whole. The failure names the endpoint; its reason is the system's.
    Result<Done> SendTo(const Endpoint& endpoint, std::span<const std::uint8_t> datagram,
                        bool e131Multicast = false);

private:
    explicit UdpSocket(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace corv::net
