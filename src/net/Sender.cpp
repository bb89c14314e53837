#include "net/Sender.h"

#include <algorithm>
#include <map>
#include <utility>

#include "lang/messages/NetMessages.h"
#include "net/Packets.h"

namespace corv::net {

namespace {

// Receivers take a stream as ended after three terminated packets in a row.
constexpr int kTerminatedPackets = 3;

}  // namespace

// What one controller is sent, and the counters of its stream.
struct LiveSender::Target {
    NetController controller;
    ChannelLayout layout;
    Endpoint endpoint;                       // unicast destination (E1.31 multicast: per universe)
    std::vector<std::uint8_t> channels;      // the frame's bytes for this controller
    std::map<int, std::uint8_t> sequences;   // per universe (E1.31 and Art-Net)
    std::uint8_t syncSequence = 0;           // E1.31 synchronisation packets
    std::uint8_t ddpSequence = 0;

    bool multicast() const { return controller.protocol == Protocol::E131 && controller.multicast; }
    Endpoint To(int universe) const {
        return multicast() ? Endpoint{E131MulticastGroup(universe), endpoint.port} : endpoint;
    }
    std::uint16_t syncUniverse() const {
        return controller.sync && controller.protocol == Protocol::E131 ? static_cast<std::uint16_t>(controller.universe)
                                                                        : std::uint16_t{0};
    }
    // E1.31 counts 0..255; Art-Net 1..255 (0 would mean "no sequence").
    std::uint8_t NextSequence(int universe) {
        std::uint8_t& s = sequences[universe];
        if (controller.protocol == Protocol::ArtNet) {
            s = static_cast<std::uint8_t>(s == 255 ? 1 : s + 1);
            return s;
        }
        return s++;
    }
};

Result<std::unique_ptr<LiveSender>> LiveSender::Start(const NetworkDescription& description,
                                                      std::vector<ChannelLayout> layouts, Random& random) {
    using R = Result<std::unique_ptr<LiveSender>>;
    if (layouts.size() != description.controllers.size()) {
        return R::Fail(msg::net::kPlayLayoutsMismatch,
                       {std::to_string(layouts.size()), std::to_string(description.controllers.size())});
    }
    std::unique_ptr<LiveSender> sender(new LiveSender());
    auto socket = UdpSocket::Open();
    if (!socket) return R::Fail(socket.failure());
    sender->socket_ = std::move(*socket);
    random.Fill(sender->cid_);

    for (std::size_t i = 0; i < layouts.size(); ++i) {
        auto target = std::make_unique<Target>(Target{description.controllers[i], std::move(layouts[i]), {}, {}, {}, 0, 0});
        const NetController& c = target->controller;
        target->endpoint.port = c.port;
        if (target->multicast()) {
            for (const UniverseSlice& slice : target->layout.universes()) {
                if (auto allowed = UdpSocket::CheckDestination(target->To(slice.universe), true); !allowed) {
                    return R::Fail(allowed.failure());
                }
            }
        } else {
            auto address = ParseIPv4(c.address);
            if (!address) return R::Fail(address.failure());
            target->endpoint.address = *address;
            if (auto allowed = UdpSocket::CheckDestination(target->endpoint, false); !allowed) {
                return R::Fail(allowed.failure());
            }
        }
        target->channels.assign(target->layout.channelCount(), 0);
        sender->targets_.push_back(std::move(target));
    }
    LiveSender* self = sender.get();
    sender->thread_ = std::thread([self] { self->Run(); });
    return R(std::move(sender));
}

LiveSender::~LiveSender() { Stop(); }

bool LiveSender::Offer(const Frame& frame) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return false;
    }
    // The copy goes into the offering side's own buffer, outside the lock.
    if (spare_.width() == frame.width() && spare_.height() == frame.height() && spare_.data()) {
        std::copy(frame.data(), frame.data() + frame.size(), spare_.data());
    } else {
        spare_ = frame;
    }
    bool replaced = false;
    {
        std::lock_guard lock(mutex_);
        std::swap(spare_, mailbox_);
        replaced = waiting_;
        if (replaced) ++stats_.framesDropped;
        waiting_ = true;
    }
    wake_.notify_one();
    return !replaced;
}

void LiveSender::Flush() {
    std::unique_lock lock(mutex_);
    sent_.wait(lock, [this] { return stopped_ || (!waiting_ && !busy_); });
}

void LiveSender::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

LiveSender::Stats LiveSender::stats() const {
    std::lock_guard lock(mutex_);
    return stats_;
}

void LiveSender::Run() {
    Frame working;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return waiting_ || stopping_; });
            if (stopping_) {
                // A frame still in the mailbox is not sent any more.
                if (waiting_) ++stats_.framesDropped;
                waiting_ = false;
                break;
            }
            std::swap(working, mailbox_);
            waiting_ = false;
            busy_ = true;
        }
        SendFrame(working);
        {
            std::lock_guard lock(mutex_);
            busy_ = false;
            ++stats_.framesSent;
        }
        sent_.notify_all();
    }
    // The end of every E1.31 stream, with the channels last sent.
    for (int k = 0; k < kTerminatedPackets; ++k) {
        for (auto& target : targets_) {
            if (target->controller.protocol == Protocol::E131) SendTarget(*target, true);
        }
    }
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    sent_.notify_all();
}

void LiveSender::SendFrame(const Frame& frame) {
    for (auto& target : targets_) {
        target->layout.Fill(frame, target->channels);
        SendTarget(*target, false);
    }
}

void LiveSender::SendTarget(Target& target, bool terminated) {
    const NetController& c = target.controller;
    const std::span<const std::uint8_t> channels(target.channels);
    switch (c.protocol) {
        case Protocol::E131: {
            const std::string& source = c.sourceName.empty() ? std::string(kDefaultSourceName) : c.sourceName;
            for (const UniverseSlice& slice : target.layout.universes()) {
                const auto packet = E131Data(cid_, source, c.priority, slice.universe, target.NextSequence(slice.universe),
                                             channels.subspan(slice.first, slice.count), target.syncUniverse(), terminated);
                Send(target.To(slice.universe), packet, target.multicast());
            }
            if (c.sync && !terminated) {
                const auto packet = E131Sync(cid_, target.syncSequence++, target.syncUniverse());
                Send(target.To(target.syncUniverse()), packet, target.multicast());
            }
            break;
        }
        case Protocol::ArtNet: {
            for (const UniverseSlice& slice : target.layout.universes()) {
                const auto packet = ArtDmx(target.NextSequence(slice.universe), slice.universe,
                                           channels.subspan(slice.first, slice.count));
                Send(target.endpoint, packet, false);
            }
            if (c.sync) Send(target.endpoint, ArtSync(), false);
            break;
        }
        case Protocol::Ddp: {
            for (const auto& packet : DdpFrame(target.ddpSequence, channels)) Send(target.endpoint, packet, false);
            break;
        }
    }
}

void LiveSender::Send(const Endpoint& to, std::span<const std::uint8_t> datagram, bool multicast) {
    auto sent = socket_.SendTo(to, datagram, multicast);
    std::lock_guard lock(mutex_);
    if (sent) {
        ++stats_.packetsSent;
        return;
    }
    ++stats_.sendFailures;
    if (!stats_.firstFailure) stats_.firstFailure = sent.failure();
}

}  // namespace corv::net
