#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Result.h"
#include "controller/ChannelMap.h"
#include "net/NetworkFile.h"
#include "net/Sender.h"
#include "project/Frame.h"

namespace corv {

class Workspace;

// The main window's live output: the frame shown, sent as it changes to the controllers of a
// network description through the workspace's layout and lamp types. Offering never waits
// for the network (the sender's thread sends; a frame it has not taken yet is replaced).
class LiveOutput {
public:
    explicit LiveOutput(Workspace& ws);
    ~LiveOutput();
    LiveOutput(const LiveOutput&) = delete;
    LiveOutput& operator=(const LiveOutput&) = delete;

    // Reads the description, lays out each controller's channels for frames of `shape` and
    // starts the sender (a running one is stopped first). The failure's message is in the
    // workspace's language and names the file, with the system's reason where there is one.
    Result<Done> Start(const std::filesystem::path& file, FrameShape shape);
    bool running() const { return sender_ != nullptr; }

    // Hands a frame to the sender. A frame of another shape than the channels were laid out
    // for lays them out again first; the failure (the output stopped) when that fails.
    Result<Done> Offer(const Frame& frame);
    // Offers the frame last offered again (receivers take a source gone quiet as lost).
    Result<Done> Resend();
    // Ends the streams (E1.31 receivers are told the stream ended) and the thread; what the
    // run sent. Nothing happens when not running.
    net::LiveSender::Stats Stop();

    const std::filesystem::path& file() const { return file_; }
    std::size_t controllerCount() const { return description_.controllers.size(); }
    // What the description's check warned of at the last start.
    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    Result<Done> Open(FrameShape shape);

    Workspace& ws_;
    std::filesystem::path file_;
    net::NetworkDescription description_;
    FrameShape shape_;
    std::vector<std::string> warnings_;
    std::unique_ptr<net::LiveSender> sender_;
    Frame last_;
    bool haveLast_ = false;
};

}  // namespace corv
