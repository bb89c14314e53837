// Live output on the command line: a clip played to networked pixel controllers.

#include <signal.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>

#include "base/TempDir.h"
#include "base/TerminalProgress.h"
#include "cli/Cli.h"
#include "cli/HomeFiles.h"
#include "lang/messages/CliMessages.h"
#include "lang/messages/NetMessages.h"
#include "media/VideoSettings.h"
#include "net/TestPatterns.h"
#include "ops/Network.h"
#include "project/Document.h"
#include "workspace/Settings.h"
#include "workspace/Workspace.h"

namespace corv::cli {

namespace fs = std::filesystem;

namespace {

constexpr long long kMaxLoops = 1000000;

std::atomic<bool> gStopPlaying{false};
struct sigaction gBefore[2];
constexpr int kStopSignals[2] = {SIGINT, SIGTERM};

extern "C" void OnStopPlaying(int sig) {
    if (!gStopPlaying.exchange(true)) return;
    // A second signal takes the course the first one would have had.
    for (int i = 0; i < 2; ++i) {
        if (kStopSignals[i] == sig) ::sigaction(sig, &gBefore[i], nullptr);
    }
    ::raise(sig);
}

// While it lives, SIGINT and SIGTERM end the run cleanly (the stop flag); a second one takes
// its usual course. A signal the program was started to ignore stays ignored.
class StopOnSignals {
public:
    StopOnSignals() {
        gStopPlaying.store(false);
        for (int i = 0; i < 2; ++i) {
            installed_[i] = ::sigaction(kStopSignals[i], nullptr, &gBefore[i]) == 0 && gBefore[i].sa_handler != SIG_IGN;
            if (!installed_[i]) continue;
            struct sigaction action {};
            action.sa_handler = OnStopPlaying;
            sigemptyset(&action.sa_mask);
            ::sigaction(kStopSignals[i], &action, nullptr);
        }
    }
    ~StopOnSignals() {
        for (int i = 0; i < 2; ++i) {
            if (installed_[i]) ::sigaction(kStopSignals[i], &gBefore[i], nullptr);
        }
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;
    const std::atomic<bool>* flag() const { return &gStopPlaying; }

private:
    bool installed_[2] = {false, false};
};


std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

int PlayFailed(Context& ctx, const std::string& cmd, const Failure& failure) {
    // A description the reader refuses, or one whose universes the layout's lines overrun, is
    // bad usage, as a bad option is.
    if (failure.code == ops::kPlayBadNetFile || failure.code == ops::kPlayBadController) {
        return Usage(ctx, cmd, WithReason(failure));
    }
    return Fail(ctx, cmd, Reason(ctx, WithReason(failure)));
}

// The end of a run: its frames, seconds and drops, or why it failed.
int Played(Context& ctx, const std::string& cmd, const Result<ops::PlayReply>& played) {
    if (!played) return PlayFailed(ctx, cmd, played.failure());

    const std::string sent = std::to_string(played->framesSent), dropped = std::to_string(played->framesDropped);
    ctx.out << Say(ctx, played->stopped ? msg::net::kPlayStopped : msg::net::kPlayDone,
                   {sent, Seconds(played->seconds), dropped})
            << '\n';
    if (played->sendFailures > 0) {
        const std::string firstFailure = played->firstSendFailure ? WithReason(*played->firstSendFailure) : std::string();
        return Fail(ctx, cmd, Say(ctx, msg::net::kPlaySendFailures, {std::to_string(played->sendFailures), firstFailure}));
    }
    return kExitOk;
}

}  // namespace

int RunPlay(Context& ctx, const Args& args) {
    const std::string cmd = "play";
    if (args.positionals().size() != 1) return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsOneProjectDocument));
    const auto lines = args.Value("--lines");
    if (!lines) return Usage(ctx, cmd, Say(ctx, msg::cli::kLinesRequired));
    const auto net = args.Value("--net");
    if (!net) return Usage(ctx, cmd, Say(ctx, msg::net::kPlayNetRequired));
    std::string error;
    const auto clipNo = args.Int("--clip", error), first = args.Int("--first", error), last = args.Int("--last", error);
    const auto fps = args.Int("--fps", error), loops = args.Int("--loop", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (fps && (*fps < 1 || *fps > ops::kMaxPlayFps)) return OutOfRange(ctx, cmd, "--fps", 1, ops::kMaxPlayFps);
    if (loops && (*loops < 0 || *loops > kMaxLoops)) return OutOfRange(ctx, cmd, "--loop", 0, kMaxLoops);

    HomeFiles home;
    Workspace ws;
    ws.app.language = ctx.language;
    ws.strings = ctx.strings;
    if (int rc = LoadLayout(ctx, cmd, *lines, home, ws.layout); rc != kExitOk) return rc;
    ws.lampTypes = home.lamps;
    TempDir temp;
    const fs::path docPath = args.positionals()[0];
    if (int rc = LoadDocumentClip(ctx, cmd, docPath, clipNo.value_or(1), temp, ws); rc != kExitOk) return rc;
    const std::size_t count = ws.frames.CurrentFrames().size();
    const long long a = first.value_or(1), b = last.value_or(static_cast<long long>(count));
    if (CheckFrameRange(a, b, count) != 0) return Usage(ctx, cmd, FrameRangeText(ctx, count));

    ops::PlayRequest request;
    request.netFile = *net;
    request.first = static_cast<std::size_t>(a - 1);
    request.end = static_cast<std::size_t>(b);
    // The play speed of the configuration unless --fps gives one.
    request.fps = fps ? static_cast<int>(*fps) : ReadVideoSettings(home.home / kConfigFileName).framesPerSecond;
    request.loops = static_cast<int>(loops.value_or(1));
    StopOnSignals signals;
    request.stop = signals.flag();
    TerminalWarnings prompt(ctx, cmd);
    const auto played = ops::PlayNetwork(ws, request, prompt, TerminalProgress());
    return Played(ctx, cmd, played);
}

int RunTestPattern(Context& ctx, const Args& args) {
    const std::string cmd = "test-pattern";
    if (!args.positionals().empty()) return Usage(ctx, cmd, Say(ctx, msg::net::kTestPatternExtraArgument, {args.positionals()[0]}));
    const auto lines = args.Value("--lines");
    if (!lines) return Usage(ctx, cmd, Say(ctx, msg::cli::kLinesRequired));
    const auto net = args.Value("--net");
    if (!net) return Usage(ctx, cmd, Say(ctx, msg::net::kPlayNetRequired));
    const auto name = args.Value("--pattern");
    if (!name) return Usage(ctx, cmd, Say(ctx, msg::net::kTestPatternRequired));
    const auto pattern = net::ParseTestPattern(*name);
    if (!pattern) return Usage(ctx, cmd, Say(ctx, msg::net::kBadTestPattern, {*name}));
    std::string error;
    const auto seconds = args.Int("--seconds", error), fps = args.Int("--fps", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (seconds && (*seconds < 0 || *seconds > ops::kMaxTestSeconds)) {
        return OutOfRange(ctx, cmd, "--seconds", 0, ops::kMaxTestSeconds);
    }
    if (fps && (*fps < 1 || *fps > ops::kMaxPlayFps)) return OutOfRange(ctx, cmd, "--fps", 1, ops::kMaxPlayFps);

    HomeFiles home;
    Workspace ws;
    ws.app.language = ctx.language;
    ws.strings = ctx.strings;
    if (int rc = LoadLayout(ctx, cmd, *lines, home, ws.layout); rc != kExitOk) return rc;
    ws.lampTypes = home.lamps;

    ops::TestPatternRequest request;
    request.netFile = *net;
    request.pattern = *pattern;
    request.seconds = static_cast<int>(seconds.value_or(10));
    request.fps = static_cast<int>(fps.value_or(net::kTestPatternFps));
    StopOnSignals signals;
    request.stop = signals.flag();
    TerminalWarnings prompt(ctx, cmd);
    const auto played = ops::SendTestPattern(ws, request, prompt, TerminalProgress());
    return Played(ctx, cmd, played);
}

}  // namespace corv::cli
