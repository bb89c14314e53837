#include "net/UdpSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "lang/messages/NetMessages.h"

namespace corv::net {

namespace {

std::string SystemReason(int error) { return std::system_category().message(error); }

sockaddr_in ToSockaddr(const Endpoint& endpoint) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(endpoint.port);
    to.sin_addr.s_addr = htonl(endpoint.address);
    return to;
}

}  // namespace

Result<std::uint32_t> ParseIPv4(const std::string& text) {
    using R = Result<std::uint32_t>;
    std::uint32_t address = 0;
    std::size_t i = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (i >= text.size() || text[i] != '.') return R::Fail(msg::net::kUdpNotIPv4, {text});
            ++i;
        }
        const std::size_t start = i;
        unsigned value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3) {
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
            ++i;
        }
        if (i == start || value > 255 || (i - start > 1 && text[start] == '0')) {
            return R::Fail(msg::net::kUdpNotIPv4, {text});
        }
        address = (address << 8) | value;
    }
    if (i != text.size()) return R::Fail(msg::net::kUdpNotIPv4, {text});
    return address;
}

std::string FormatIPv4(std::uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::string FormatEndpoint(const Endpoint& endpoint) {
    return FormatIPv4(endpoint.address) + ":" + std::to_string(endpoint.port);
}

bool IsUnicast(std::uint32_t address) {
    const std::uint32_t first = address >> 24;
    return first != 0 && first < 224;
}

std::uint32_t E131MulticastGroup(int universe) {
    return (239u << 24) | (255u << 16) | (static_cast<std::uint32_t>(universe) & 0xFFFFu);
}

bool IsE131MulticastGroup(std::uint32_t address) { return (address >> 16) == ((239u << 8) | 255u); }

UdpSocket::~UdpSocket() {
    if (fd_ >= 0) ::close(fd_);
}

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

Result<UdpSocket> UdpSocket::Open() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        Failure failure{kSocketUnavailable, {}, SystemReason(errno), {}, &msg::net::kUdpNoSocket};
        return Result<UdpSocket>::Fail(std::move(failure));
    }
    // Multicast stays on the local network segment.
    const unsigned char ttl = 1;
    ::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
    return UdpSocket(fd);
}

Result<Done> UdpSocket::CheckDestination(const Endpoint& endpoint, bool e131Multicast) {
    if (IsUnicast(endpoint.address) || (e131Multicast && IsE131MulticastGroup(endpoint.address))) return Done{};
    Failure failure{kAddressRefused, {}, {}, {FormatIPv4(endpoint.address)}, &msg::net::kUdpNotUnicast};
    return Result<Done>::Fail(std::move(failure));
}

Result<Done> UdpSocket::SendTo(const Endpoint& endpoint, std::span<const std::uint8_t> datagram,
                               bool e131Multicast) {
    if (auto allowed = CheckDestination(endpoint, e131Multicast); !allowed) return allowed;
    if (fd_ < 0) {
        Failure failure{kSocketUnavailable, {}, SystemReason(EBADF), {}, &msg::net::kUdpNoSocket};
        return Result<Done>::Fail(std::move(failure));
    }
    const sockaddr_in to = ToSockaddr(endpoint);
    ssize_t sent = -1;
    do {
        sent = ::sendto(fd_, datagram.data(), datagram.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to),
                        sizeof to);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0 || static_cast<std::size_t>(sent) != datagram.size()) {
        const int error = sent < 0 ? errno : EMSGSIZE;
        Failure failure{kSendFailed, {}, SystemReason(error), {FormatEndpoint(endpoint)}, &msg::net::kUdpSendFailed};
        return Result<Done>::Fail(std::move(failure));
    }
    return Done{};
}

}  // namespace corv::net
