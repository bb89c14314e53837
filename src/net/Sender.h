#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "base/Random.h"
#include "base/Result.h"
#include "net/ChannelLayout.h"
#include "net/NetworkFile.h"
#include "net/UdpSocket.h"
#include "project/Frame.h"

namespace corv::net {

// The source name E1.31 packets carry when the network file gives none.
inline constexpr const char* kDefaultSourceName = "Corvantine";

// Sends frames live to the controllers of a network description, on a thread of its own.
// Every frame goes to every controller: E1.31 one data packet per universe (each universe
// with its own sequence number) and a synchronisation packet after the frame when the
// controller asks for it; Art-Net one ArtDmx per universe and an ArtSync when asked; DDP the
// controller's channels in packets of 1440 bytes, the last one pushed.
//
// Between the player and the thread is a mailbox of one frame: Offer() puts a frame in it and
// returns at once; a frame the thread has not taken yet is replaced (and counted as dropped),
// so a slow network never holds the player back. Stop() ends the E1.31 streams (three packets
// with the stream-terminated option per universe, as receivers expect) and joins the thread.
class LiveSender {
public:
    struct Stats {
        std::uint64_t framesSent = 0;     // frames whose packets went out
        std::uint64_t framesDropped = 0;  // frames replaced in the mailbox before they were sent
        std::uint64_t packetsSent = 0;
        std::uint64_t sendFailures = 0;   // datagrams the system refused
        // The first refusal (the endpoint and the system's reason), when there was one.
        std::optional<Failure> firstFailure;
    };

    // Opens the socket and checks every controller's destination; nothing is sent yet.
    // `layouts[i]` is what controller i sends of a frame. The sender's component identifier
    // comes from `random`.
    static Result<std::unique_ptr<LiveSender>> Start(const NetworkDescription& description,
                                                     std::vector<ChannelLayout> layouts, Random& random);
    ~LiveSender();
    LiveSender(const LiveSender&) = delete;
    LiveSender& operator=(const LiveSender&) = delete;

    // Hands a frame to the thread (a copy); false when it replaced one not yet sent. One
    // thread offers.
    bool Offer(const Frame& frame);
    // Waits until the frame last offered has been sent (or the sender stopped).
    void Flush();
    // Ends the streams and joins the thread; later offers are ignored. Idempotent.
    void Stop();

    Stats stats() const;
    const std::array<std::uint8_t, 16>& cid() const { return cid_; }

private:
    struct Target;
    LiveSender() = default;
    void Run();
    void SendFrame(const Frame& frame);
    void SendTarget(Target& target, bool terminated);
    void Send(const Endpoint& to, std::span<const std::uint8_t> datagram, bool multicast);

    UdpSocket socket_;
    std::array<std::uint8_t, 16> cid_{};
    std::vector<std::unique_ptr<Target>> targets_;

    // The mailbox: the frame waiting, and the offering side's spare buffer.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable sent_;
    Frame mailbox_;
    Frame spare_;
    bool waiting_ = false;  // the mailbox holds a frame
    bool busy_ = false;     // the thread is sending a frame it took
    bool stopping_ = false;
    bool stopped_ = false;
    Stats stats_;
    std::thread thread_;
};

}  // namespace corv::net
