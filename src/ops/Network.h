#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "net/TestPatterns.h"
#include "ops/Operation.h"

namespace corv::ops {

// "Play to the network": the frames of a clip sent live to the networked pixel controllers a
// network description (.net) lists, through the workspace's layout and lamp types, in real
// time. Frame k of the run goes out at start + k / fps (one clock, absolute deadlines: late
// frames never push the later ones back); a frame the network could not take in time is
// replaced by the next one and counted as dropped.
struct PlayRequest {
    std::filesystem::path netFile;
    int clip = -1;                   // 0-based; -1: the current clip
    std::size_t first = 0, end = 0;  // 0-based, `end` exclusive; end 0: to the clip's last frame
    int fps = 20;                    // 1..kMaxPlayFps frames a second
    int loops = 1;                   // times the range is played; 0: until stopped
    // Set from anywhere (a signal handler, a Stop button) to end the run after the frame in
    // flight; the streams are ended as when the run is over.
    const std::atomic<bool>* stop = nullptr;
};
struct PlayReply {
    std::uint64_t framesSent = 0;
    std::uint64_t framesDropped = 0;
    double seconds = 0;       // from the first frame to the end of the run
    bool stopped = false;     // ended by the stop flag
    std::uint64_t packetsSent = 0;
    std::uint64_t sendFailures = 0;  // datagrams the system refused (the run goes on)
    std::optional<Failure> firstSendFailure;
    // What the description's check warned of (told to the prompt as warnings first).
    std::vector<std::string> warnings;
};
enum PlayRefusal {
    kPlayNoClip = 1,     // no such clip, or a clip without frames
    kPlayOutOfRange,     // the range is not frames of the clip, or a bad fps or loop count
    kPlayNoLayout,       // the layout has no line
    kPlayNetFileUnreadable,  // the network description cannot be read
    kPlayBadNetFile,     // the network description is refused (a bad section, key or value)
    kPlayBadController,  // a controller's channels cannot be laid out from the layout
    kPlayCannotSend,     // no socket, or a destination refused
};
inline constexpr int kMaxPlayFps = 100;

Result<PlayReply> PlayNetwork(Workspace& ws, const PlayRequest& request, Prompt& prompt, const ProgressFn& progress);

// A commissioning pattern (net::TestPattern) of the workspace's layout sent live, as PlayNetwork
// sends a clip: `seconds` x `fps` frames, frame k at start + k / fps; 0 seconds: until stopped.
// Refused as PlayNetwork is (kPlayOutOfRange for a bad fps or seconds).
inline constexpr int kMaxTestSeconds = 86400;
struct TestPatternRequest {
    std::filesystem::path netFile;
    net::TestPattern pattern = net::TestPattern::Lines;
    int seconds = 10;
    int fps = 25;  // 1..kMaxPlayFps
    const std::atomic<bool>* stop = nullptr;
};
Result<PlayReply> SendTestPattern(Workspace& ws, const TestPatternRequest& request, Prompt& prompt,
                                  const ProgressFn& progress);

}  // namespace corv::ops
