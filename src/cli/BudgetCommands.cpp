// The power and timing budget of a layout's ports on the command line.

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "base/TempDir.h"
#include "base/TerminalProgress.h"
#include "cli/Cli.h"
#include "cli/HomeFiles.h"
#include "cli/Json.h"
#include "lang/messages/BudgetMessages.h"
#include "lang/messages/CliMessages.h"
#include "media/VideoSettings.h"
#include "ops/Budget.h"
#include "project/Document.h"
#include "workspace/Settings.h"
#include "workspace/Workspace.h"

namespace corv::cli {

namespace fs = std::filesystem;

namespace {

// A number option: absent, or a finite number within its bound; `rc` set (bad usage, said)
// when it is given and is not.
std::optional<double> NumberOption(Context& ctx, const std::string& cmd, const Args& args, const std::string& name,
                                   bool aboveZero, int& rc) {
    const auto text = args.Value(name);
    if (!text || rc != kExitOk) return std::nullopt;
    double v = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, v);
    if (ec != std::errc() || ptr != end || text->empty() || !std::isfinite(v) || v < 0 || (aboveZero && v == 0)) {
        rc = Usage(ctx, cmd, Say(ctx, aboveZero ? msg::budget::kNeedsAboveZero : msg::budget::kNeedsZeroOrMore,
                                 {name, *text}));
        return std::nullopt;
    }
    return v;
}

std::string Fixed(double v, int decimals) {
    if (!std::isfinite(v)) return "-";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

std::string NumberList(const std::vector<int>& numbers) {
    std::string text;
    for (const int n : numbers) text += (text.empty() ? "" : ",") + std::to_string(n);
    return text;
}

// Rows of cells printed with each column right-aligned to its widest cell.
void PrintTable(Context& ctx, const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], Columns(row[c]));
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += std::string(widths[c] - Columns(row[c]) + 2, ' ') + row[c];
        }
        ctx.out << line << '\n';
    }
}

void PrintReport(Context& ctx, const std::string& cmd, const ops::BudgetReply& reply) {
    namespace m = msg::budget;
    const PowerBudget& b = reply.budget;
    const auto say = [&](const Text& t) { return Say(ctx, t); };
    std::vector<std::vector<std::string>> rows = {{say(m::kColumnLine), say(m::kColumnSlave), say(m::kColumnLeds),
                                                   say(m::kColumnPeakAmps), say(m::kColumnMeanAmps),
                                                   say(m::kColumnPeakWatts), say(m::kColumnMaxFps)}};
    for (const LineBudget& l : b.lines) {
        rows.push_back({std::to_string(l.line), std::to_string(l.slave), std::to_string(l.leds), Fixed(l.peakAmps, 3),
                        Fixed(l.meanAmps, 3), Fixed(l.peakWatts, 2), Fixed(l.maxFps, 1)});
    }
    ctx.out << say(m::kLinesTitle) << '\n';
    PrintTable(ctx, rows);
    rows = {{say(m::kColumnSlave), say(m::kColumnMaster), say(m::kColumnLines), say(m::kColumnPeakAmps),
             say(m::kColumnMeanAmps), say(m::kColumnPeakWatts), say(m::kColumnMaxFps)}};
    for (const SlaveBudget& s : b.slaves) {
        rows.push_back({std::to_string(s.slave), std::to_string(s.master), NumberList(s.lines), Fixed(s.peakAmps, 3),
                        Fixed(s.meanAmps, 3), Fixed(s.peakWatts, 2), Fixed(s.maxFps, 1)});
    }
    ctx.out << say(m::kSlavesTitle) << '\n';
    PrintTable(ctx, rows);
    rows = {{say(m::kColumnMaster), say(m::kColumnSlaves), say(m::kColumnPeakAmps), say(m::kColumnMeanAmps),
             say(m::kColumnPeakWatts), say(m::kColumnMaxFps)}};
    for (const MasterBudget& ms : b.masters) {
        rows.push_back({std::to_string(ms.master), NumberList(ms.slaves), Fixed(ms.peakAmps, 3), Fixed(ms.meanAmps, 3),
                        Fixed(ms.peakWatts, 2), Fixed(ms.maxFps, 1)});
    }
    ctx.out << say(m::kMastersTitle) << '\n';
    PrintTable(ctx, rows);
    ctx.out << Say(ctx, m::kTotalLine,
                   {Fixed(b.total.peakAmps, 3), Fixed(b.total.meanAmps, 3), Fixed(b.total.peakWatts, 2),
                    std::to_string(b.frames)})
            << '\n';
    for (const std::string& warning : reply.warnings) Warn(ctx, cmd, warning);
}

void PrintJson(Context& ctx, const ops::BudgetReply& reply) {
    const PowerBudget& b = reply.budget;
    const auto numbers = [](Json& j, const std::vector<int>& list) {
        j.BeginArray();
        for (const int n : list) j.Value(n);
        j.EndArray();
    };
    Json j;
    j.BeginObject().Key("lines").BeginArray();
    for (const LineBudget& l : b.lines) {
        j.BeginObject().Key("line").Value(l.line).Key("leds").Value(static_cast<std::uint64_t>(l.leds));
        j.Key("peakAmps").Value(l.peakAmps).Key("meanAmps").Value(l.meanAmps).Key("peakWatts").Value(l.peakWatts);
        j.Key("maxFps").Value(l.maxFps).EndObject();
    }
    j.EndArray().Key("slaves").BeginArray();
    for (const SlaveBudget& s : b.slaves) {
        j.BeginObject().Key("slave").Value(s.slave).Key("lines");
        numbers(j, s.lines);
        j.Key("peakAmps").Value(s.peakAmps).Key("meanAmps").Value(s.meanAmps).Key("maxFps").Value(s.maxFps).EndObject();
    }
    j.EndArray().Key("masters").BeginArray();
    for (const MasterBudget& ms : b.masters) {
        j.BeginObject().Key("master").Value(ms.master).Key("slaves");
        numbers(j, ms.slaves);
        j.Key("peakAmps").Value(ms.peakAmps).Key("meanAmps").Value(ms.meanAmps).Key("maxFps").Value(ms.maxFps);
        j.EndObject();
    }
    j.EndArray().Key("total").BeginObject();
    j.Key("peakAmps").Value(b.total.peakAmps).Key("meanAmps").Value(b.total.meanAmps);
    j.Key("peakWatts").Value(b.total.peakWatts).EndObject();
    j.Key("warnings").BeginArray();
    for (const std::string& warning : reply.warnings) j.Value(warning);
    j.EndArray().EndObject();
    ctx.out << j.str() << '\n';
}

// The options' numbers into the request; `rc` set when one is refused.
void ReadNumbers(Context& ctx, const std::string& cmd, const Args& args, ops::BudgetRequest& request, int& rc) {
    const auto ma = NumberOption(ctx, cmd, args, "--ma", false, rc);
    const auto idle = NumberOption(ctx, cmd, args, "--idle-ma", false, rc);
    const auto volts = NumberOption(ctx, cmd, args, "--volts", true, rc);
    const auto fps = NumberOption(ctx, cmd, args, "--fps", true, rc);
    const auto fuse = NumberOption(ctx, cmd, args, "--fuse-amps", true, rc);
    if (ma) {
        // --ma is every lamp type's current, their own values in the application home included.
        request.options.componentMilliamps = *ma;
        request.lampCurrentsFromHome = false;
    }
    if (idle) request.options.idleMilliamps = *idle;
    if (volts) request.options.volts = *volts;
    if (fps) request.options.fps = *fps;
    request.options.fuseAmps = fuse;
}

}  // namespace

int RunBudget(Context& ctx, const Args& args) {
    const std::string cmd = "budget";
    if (args.positionals().size() != 1) return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsOneProjectDocument));
    const auto lines = args.Value("--lines");
    if (!lines) return Usage(ctx, cmd, Say(ctx, msg::cli::kLinesRequired));
    std::string error;
    const auto clipNo = args.Int("--clip", error), first = args.Int("--first", error), last = args.Int("--last", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    ops::BudgetRequest request;
    int rc = kExitOk;
    ReadNumbers(ctx, cmd, args, request, rc);
    if (rc != kExitOk) return rc;

    HomeFiles home;
    Workspace ws;
    ws.app.language = ctx.language;
    ws.strings = ctx.strings;
    ws.home = home.home;
    if (rc = LoadLayout(ctx, cmd, *lines, home, ws.layout); rc != kExitOk) return rc;
    ws.lampTypes = home.lamps;
    TempDir temp;
    const fs::path docPath = args.positionals()[0];
    if (rc = LoadDocumentClip(ctx, cmd, docPath, clipNo.value_or(1), temp, ws); rc != kExitOk) return rc;
    const std::size_t count = ws.frames.CurrentFrames().size();
    const long long a = first.value_or(1), b = last.value_or(static_cast<long long>(count));
    if (CheckFrameRange(a, b, count) != 0) return Usage(ctx, cmd, FrameRangeText(ctx, count));

    request.lineFile = *lines;  // its ".power" file gives the slaves' own supplies
    request.first = static_cast<std::size_t>(a - 1);
    request.end = static_cast<std::size_t>(b);
    // The play speed of the configuration unless --fps gives one.
    if (!args.Value("--fps")) {
        request.options.fps = ReadVideoSettings(home.home / kConfigFileName).framesPerSecond;
    }
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto budget = ops::ComputeBudget(ws, request, prompt, TerminalProgress());
    if (!budget) {
        if (budget.failure().code == ops::kBudgetBadValue) return Usage(ctx, cmd, budget.message());
        return Fail(ctx, cmd, budget.message());
    }
    if (args.Has("--json")) {
        PrintJson(ctx, *budget);
    } else {
        PrintReport(ctx, cmd, *budget);
    }
    return kExitOk;
}

}  // namespace corv::cli
