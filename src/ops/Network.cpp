#include "ops/Network.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

#include "lang/Render.h"
#include "lang/UiStrings.h"
#include "net/ChannelLayout.h"
#include "net/NetworkFile.h"
#include "net/Sender.h"
#include "net/TestPatterns.h"
#include "project/FrameRange.h"
#include "workspace/Workspace.h"

namespace corv::ops {

namespace {

using Clock = std::chrono::steady_clock;

// A refusal of the engine as the operation's, its message in the workspace's language.
Failure Refused(int code, const Failure& why, std::uint8_t language) {
    Failure failure = why;
    failure.code = code;
    failure.message = Render(why, language);
    return failure;
}

bool StopAsked(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }

// Sleeps until `deadline`, waking every few milliseconds to look at the stop flag; false when
// the flag ended the wait.
bool WaitUntil(Clock::time_point deadline, const std::atomic<bool>* stop) {
    constexpr auto kSlice = std::chrono::milliseconds(20);
    for (;;) {
        if (StopAsked(stop)) return false;
        const auto now = Clock::now();
        if (now >= deadline) return true;
        std::this_thread::sleep_until(std::min(deadline, now + kSlice));
    }
}

// The channel layouts of every controller of the description, for frames of `shape`.
Result<std::vector<net::ChannelLayout>> BuildLayouts(const Workspace& ws, const net::NetworkDescription& description,
                                                     FrameShape shape) {
    using R = Result<std::vector<net::ChannelLayout>>;
    const net::OutputLevels levels = net::BuildOutputLevels(ws.layout.setting);
    std::vector<net::ChannelLayout> layouts;
    for (const net::NetController& controller : description.controllers) {
        auto built = net::ChannelLayout::Build(ws.layout, ws.lampTypes, levels, controller, shape);
        if (!built) return R::Fail(Refused(kPlayBadController, built.failure(), ws.app.language));
        layouts.push_back(std::move(*built));
    }
    return layouts;
}

// Offers frame k of the run, frameAt(k), to the sender for k = 0 .. total - 1 (total 0: until
// stopped), frame k at start + k / fps; then waits out the last frame's time. Progress is of the
// run, or of each `period` frames when it runs until stopped.
void RunFrames(net::LiveSender& sender, const std::function<const Frame&(std::uint64_t)>& frameAt,
               std::uint64_t total, std::uint64_t period, int fps, const std::atomic<bool>* stop,
               const ProgressFn& progress, PlayReply& reply) {
    const auto start = Clock::now();
    const auto due = [&](std::uint64_t k) {
        return start + std::chrono::nanoseconds(static_cast<std::int64_t>(k * 1'000'000'000ull /
                                                                          static_cast<std::uint64_t>(fps)));
    };
    std::uint64_t k = 0;
    for (; total == 0 || k < total; ++k) {
        if (!WaitUntil(due(k), stop)) {
            reply.stopped = true;
            break;
        }
        sender.Offer(frameAt(k));
        ReportProgress(progress, total == 0 ? PercentDone(k % period + 1, period) : PercentDone(k + 1, total));
    }
    if (!reply.stopped) {
        reply.stopped = !WaitUntil(due(k), stop);
        sender.Flush();
    }
    reply.seconds = std::chrono::duration<double>(Clock::now() - start).count();
}

// Reads the network description, tells its warnings, lays out its controllers for frames of
// `shape` and sends the run (as RunFrames) to them; the streams are ended after it.
Result<PlayReply> SendRun(Workspace& ws, const std::filesystem::path& netFile, FrameShape shape,
                          const std::function<const Frame&(std::uint64_t)>& frameAt, std::uint64_t total,
                          std::uint64_t period, int fps, const std::atomic<bool>* stop, Prompt& prompt,
                          const ProgressFn& progress) {
    using R = Result<PlayReply>;
    auto description = net::ReadNetworkFile(netFile, ws.app.language);
    if (!description) {
        const int code = description.failure().code == net::kNetCannotRead ? kPlayNetFileUnreadable : kPlayBadNetFile;
        return R::Fail(Refused(code, description.failure(), ws.app.language));
    }
    PlayReply reply;
    reply.warnings = net::DescriptionWarnings(*description, ws.app.language);
    for (const std::string& warning : reply.warnings) prompt.Inform(warning, PromptIcon::Warning);

    auto layouts = BuildLayouts(ws, *description, shape);
    if (!layouts) return R::Fail(layouts.failure());
    auto sender = net::LiveSender::Start(*description, std::move(*layouts), ws.random);
    if (!sender) return R::Fail(Refused(kPlayCannotSend, sender.failure(), ws.app.language));

    {
        ProgressEnd hideProgress(progress);
        RunFrames(**sender, frameAt, total, period, fps, stop, progress, reply);
    }
    (*sender)->Stop();
    const net::LiveSender::Stats stats = (*sender)->stats();
    reply.framesSent = stats.framesSent;
    reply.framesDropped = stats.framesDropped;
    reply.packetsSent = stats.packetsSent;
    reply.sendFailures = stats.sendFailures;
    if (stats.firstFailure) reply.firstSendFailure = Refused(kPlayCannotSend, *stats.firstFailure, ws.app.language);
    return R(std::move(reply));
}

}  // namespace

Result<PlayReply> PlayNetwork(Workspace& ws, const PlayRequest& request, Prompt& prompt, const ProgressFn& progress) {
    using R = Result<PlayReply>;
    const int clip = request.clip < 0 ? ws.frames.current() : request.clip;
    if (clip < 0 || clip >= ws.frames.Count() || ws.frames.clip(clip).frames.empty()) {
        return R::Fail(kPlayNoClip, ws.strings.paramError);
    }
    const std::vector<Frame>& frames = ws.frames.clip(clip).frames;
    const std::size_t end = request.end == 0 ? frames.size() : request.end;
    if (!ValidRange(frames.size(), static_cast<long long>(request.first), static_cast<long long>(end)) ||
        request.fps < 1 || request.fps > kMaxPlayFps || request.loops < 0) {
        return R::Fail(kPlayOutOfRange, ws.strings.paramError);
    }
    if (ws.layout.setting.lineCount == 0) return R::Fail(kPlayNoLayout, ws.strings.noLayout);

    const std::size_t count = end - request.first;
    const std::uint64_t total = request.loops == 0 ? 0 : static_cast<std::uint64_t>(count) * request.loops;
    const FrameShape shape{frames.front().height(), frames.front().width()};
    const auto frameAt = [&](std::uint64_t k) -> const Frame& {
        return frames[request.first + static_cast<std::size_t>(k % count)];
    };
    return SendRun(ws, request.netFile, shape, frameAt, total, count, request.fps, request.stop, prompt, progress);
}

Result<PlayReply> SendTestPattern(Workspace& ws, const TestPatternRequest& request, Prompt& prompt,
                                  const ProgressFn& progress) {
    using R = Result<PlayReply>;
    if (request.fps < 1 || request.fps > kMaxPlayFps || request.seconds < 0 || request.seconds > kMaxTestSeconds) {
        return R::Fail(kPlayOutOfRange, ws.strings.paramError);
    }
    if (ws.layout.setting.lineCount == 0) return R::Fail(kPlayNoLayout, ws.strings.noLayout);
    const std::uint64_t total = static_cast<std::uint64_t>(request.seconds) * static_cast<std::uint64_t>(request.fps);
    const FrameShape shape{ws.layout.grid.rows, ws.layout.grid.cols};
    Frame frame;
    const auto frameAt = [&](std::uint64_t k) -> const Frame& {
        frame = net::TestPatternFrame(ws.layout, request.pattern, k, request.fps);
        return frame;
    };
    return SendRun(ws, request.netFile, shape, frameAt, total, static_cast<std::uint64_t>(request.fps), request.fps,
                   request.stop, prompt, progress);
}

}  // namespace corv::ops
