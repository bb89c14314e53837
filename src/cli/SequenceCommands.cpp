// Sequence files on the command line: a clip exported as a sequence file (.fseq) of the
// channels the live output sends, a sequence file read back into a document, and what `info`
// says of one.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "base/FileUtil.h"
#include "base/TempDir.h"
#include "base/TerminalProgress.h"
#include "cli/Cli.h"
#include "cli/HomeFiles.h"
#include "cli/Json.h"
#include "lang/messages/CliMessages.h"
#include "lang/messages/SequenceMessages.h"
#include "media/VideoSettings.h"
#include "ops/Sequence.h"
#include "project/Document.h"
#include "seq/SequenceReader.h"
#include "workspace/Settings.h"
#include "workspace/Workspace.h"

namespace corv::cli {

namespace fs = std::filesystem;

namespace {


// The command line's workspace: its language, the layout of LAYOUT.lnf and the home's lamp types.
int LoadWorkspace(Context& ctx, const std::string& cmd, const fs::path& lines, HomeFiles& home, Workspace& ws) {
    ws.app.language = ctx.language;
    ws.strings = ctx.strings;
    if (int rc = LoadLayout(ctx, cmd, lines, home, ws.layout); rc != kExitOk) return rc;
    ws.lampTypes = home.lamps;
    std::error_code ec;
    ws.lineFilePath = fs::absolute(lines, ec);
    return kExitOk;
}

// The options of export-fseq that need no file: version, compression and level.
int ParseFormat(Context& ctx, const std::string& cmd, const Args& args, ops::SequenceExportRequest& r) {
    const std::string version = args.Value("--version").value_or("2");
    if (version != "1" && version != "2") return Usage(ctx, cmd, Say(ctx, msg::seq::kVersionChoices));
    r.version = version == "1" ? 1 : 2;
    const auto compression = args.Value("--compression");
    const std::string name = compression.value_or(r.version == 1 ? "none" : "zstd");
    if (name == "zstd") r.compression = seq::Compression::Zstd;
    else if (name == "zlib") r.compression = seq::Compression::Zlib;
    else if (name == "none") r.compression = seq::Compression::None;
    else return Usage(ctx, cmd, Say(ctx, msg::seq::kCompressionChoices));
    if (r.version == 1 && r.compression != seq::Compression::None) {
        return Usage(ctx, cmd, Say(ctx, msg::seq::kV1NotCompressed));
    }
    std::string error;
    const auto level = args.Int("--level", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (level) {
        if (r.compression == seq::Compression::None) return Usage(ctx, cmd, Say(ctx, msg::seq::kLevelNeedsCompression));
        const int lo = seq::MinLevel(r.compression), hi = seq::MaxLevel(r.compression);
        if (*level < lo || *level > hi) return OutOfRange(ctx, cmd, "--level", lo, hi);
        r.level = static_cast<int>(*level);
    }
    return kExitOk;
}

// The network options of export-fseq: --net, --controller N, --sparse.
int ParseNet(Context& ctx, const std::string& cmd, const Args& args, ops::SequenceExportRequest& r) {
    std::string error;
    const auto controller = args.Int("--controller", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    const auto net = args.Value("--net");
    if (controller && !net) return Usage(ctx, cmd, Say(ctx, msg::seq::kControllerNeedsNet));
    if (args.Has("--sparse") && !net) return Usage(ctx, cmd, Say(ctx, msg::seq::kSparseNeedsNet));
    constexpr long long kMaxSection = 999999999;
    if (controller && (*controller < 1 || *controller > kMaxSection)) {
        return OutOfRange(ctx, cmd, "--controller", 1, kMaxSection);
    }
    if (net) r.netFile = *net;
    r.controller = static_cast<int>(controller.value_or(0));
    r.sparse = args.Has("--sparse");
    return kExitOk;
}

int ExportFailed(Context& ctx, const std::string& cmd, const Failure& failure) {
    // A description the reader refuses, or one without the controller asked for, is bad
    // usage, as a bad option is.
    if (failure.code == ops::kSeqExportBadNetFile || failure.code == ops::kSeqExportBadOptions ||
        failure.code == ops::kSeqExportOutOfRange) {
        return Usage(ctx, cmd, WithReason(failure));
    }
    return Fail(ctx, cmd, Reason(ctx, WithReason(failure)));
}

std::string FramesASecond(std::uint16_t stepMs) {
    if (stepMs == 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", 1000.0 / stepMs);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

// "0..2 (3), 30..35 (6)": the ranges' channels, 0-based, both ends included.
std::string RangesText(const Context& ctx, const std::vector<seq::SparseRange>& ranges) {
    if (ranges.empty()) return Say(ctx, msg::seq::kNone);
    std::string text;
    for (const seq::SparseRange& r : ranges) {
        if (!text.empty()) text += ", ";
        text += std::to_string(r.first) + ".." + std::to_string(std::uint64_t{r.first} + r.count - 1) + " (" +
                std::to_string(r.count) + ")";
    }
    return text;
}

std::string HeadersText(const Context& ctx, const std::vector<seq::VariableHeader>& headers) {
    if (headers.empty()) return Say(ctx, msg::seq::kNone);
    std::string text;
    for (const seq::VariableHeader& h : headers) {
        if (!text.empty()) text += ", ";
        text += h.code + " \"" + h.text() + "\"";
    }
    return text;
}

int InfoSequenceJson(Context& ctx, const fs::path& path, const seq::SequenceInfo& info) {
    Json j;
    j.BeginObject().Key("file").Value(path.string()).Key("type").Value("sequence");
    j.Key("major").Value(info.major).Key("minor").Value(info.minor);
    j.Key("channels").Value(info.channels).Key("frames").Value(info.frames).Key("stepMs").Value(info.stepMs);
    j.Key("compression").Value(seq::CompressionName(info.compression));
    j.Key("blocks").Value(static_cast<std::uint64_t>(info.blocks.size())).Key("indexEntries").Value(info.indexEntries);
    j.Key("dataOffset").Value(info.dataOffset).Key("ranges").BeginArray();
    for (const seq::SparseRange& r : info.ranges) {
        j.BeginObject().Key("first").Value(r.first).Key("count").Value(r.count).EndObject();
    }
    j.EndArray().Key("headers").BeginArray();
    for (const seq::VariableHeader& h : info.variables) {
        j.BeginObject().Key("code").Value(h.code).Key("text").Value(h.text()).EndObject();
    }
    j.EndArray().Key("uniqueId").Value(info.uniqueId).Key("size").Value(info.fileSize).EndObject();
    ctx.out << j.str() << '\n';
    return kExitOk;
}

}  // namespace

int RunExportFseq(Context& ctx, const Args& args) {
    const std::string cmd = "export-fseq";
    if (args.positionals().size() != 2) return Usage(ctx, cmd, Say(ctx, msg::seq::kNeedsDocumentAndOutput));
    const fs::path docPath = args.positionals()[0], out = args.positionals()[1];
    const auto lines = args.Value("--lines");
    if (!lines) return Usage(ctx, cmd, Say(ctx, msg::cli::kLinesRequired));
    std::string error;
    const auto clipNo = args.Int("--clip", error), first = args.Int("--first", error), last = args.Int("--last", error);
    const auto fps = args.Int("--fps", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    ops::SequenceExportRequest request;
    request.path = out;
    if (int rc = ParseFormat(ctx, cmd, args, request); rc != kExitOk) return rc;
    if (int rc = ParseNet(ctx, cmd, args, request); rc != kExitOk) return rc;
    const int minFps = request.version == 1 ? 1 : ops::kMinSequenceFps;
    if (fps && (*fps < minFps || *fps > ops::kMaxSequenceFps)) {
        return OutOfRange(ctx, cmd, "--fps", minFps, ops::kMaxSequenceFps);
    }
    std::vector<fs::path> inputs{docPath, *lines};
    if (!request.netFile.empty()) inputs.push_back(request.netFile);
    if (const auto input = OutputAmongInputs(out, inputs)) {
        return Usage(ctx, cmd, Say(ctx, msg::seq::kOutputIsInput, {input->string()}));
    }

    HomeFiles home;
    Workspace ws;
    if (int rc = LoadWorkspace(ctx, cmd, *lines, home, ws); rc != kExitOk) return rc;
    TempDir temp;
    if (int rc = LoadDocumentClip(ctx, cmd, docPath, clipNo.value_or(1), temp, ws, true); rc != kExitOk) return rc;
    const std::size_t count = ws.frames.CurrentFrames().size();
    const long long a = first.value_or(1), b = last.value_or(static_cast<long long>(count));
    if (CheckFrameRange(a, b, count) != 0) return Usage(ctx, cmd, FrameRangeText(ctx, count));
    request.first = static_cast<std::size_t>(a - 1);
    request.end = static_cast<std::size_t>(b);
    // The play speed of the configuration unless --fps gives one.
    request.fps = fps ? static_cast<int>(*fps)
                      : std::clamp(ReadVideoSettings(home.home / kConfigFileName).framesPerSecond, minFps,
                                   ops::kMaxSequenceFps);
    TerminalWarnings prompt(ctx, cmd);
    const auto exported = ops::ExportSequence(ws, request, prompt, TerminalProgress());
    if (!exported) return ExportFailed(ctx, cmd, exported.failure());
    for (const ops::SequenceExportFile& file : exported->files) {
        ctx.out << Say(ctx, msg::seq::kExported,
                       {std::to_string(exported->frames), std::to_string(file.channels), file.path.string()})
                << '\n';
    }
    return kExitOk;
}

int RunImportFseq(Context& ctx, const Args& args) {
    const std::string cmd = "import-fseq";
    if (args.positionals().size() != 1) return Usage(ctx, cmd, Say(ctx, msg::seq::kNeedsOneSequence));
    const fs::path input = args.positionals()[0];
    const auto lines = args.Value("--lines");
    if (!lines) return Usage(ctx, cmd, Say(ctx, msg::cli::kLinesRequired));
    const auto into = args.Value("--into");
    if (!into) return Usage(ctx, cmd, Say(ctx, msg::cli::kIntoRequired));
    std::string error;
    const auto clipNo = args.Int("--clip", error), width = args.Int("--width", error), height = args.Int("--height", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    const auto side = static_cast<long long>(document::kMaxSide);
    if (width && (*width < 1 || *width > side)) return OutOfRange(ctx, cmd, "--width", 1, side);
    if (height && (*height < 1 || *height > side)) return OutOfRange(ctx, cmd, "--height", 1, side);
    if (const auto same = OutputAmongInputs(*into, {input, *lines})) {
        return Usage(ctx, cmd, Say(ctx, msg::seq::kOutputIsInput, {same->string()}));
    }

    HomeFiles home;
    Workspace ws;
    if (int rc = LoadWorkspace(ctx, cmd, *lines, home, ws); rc != kExitOk) return rc;
    TempDir temp;
    LoadedDocument doc;
    std::error_code ec;
    const bool fresh = !fs::exists(*into, ec);
    ops::SequenceImportRequest request;
    request.path = input;
    request.newDocument = fresh;
    if (fresh) request.streamTo = *into;  // straight to disk
    request.width = static_cast<int>(width.value_or(0));
    request.height = static_cast<int>(height.value_or(0));
    if (!fresh) {
        ReadOptions options;
        options.tempDir = temp.path();
        if (auto read = ReadDocument(*into, options, doc); !read) {
            return Fail(ctx, cmd, DocFailure(ctx, *into, read.failure()));
        }
        WarnHeaderCopy(ctx, cmd, *into, doc);
        TakeLineFilesBeside(ctx, cmd, *into, doc);
        const long long clip = clipNo.value_or(1);
        if (clip < 1 || clip > static_cast<long long>(doc.clips.size())) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kNoSuchClipIn,
                                       {std::to_string(clip), std::to_string(doc.clips.size()), *into}));
        }
        ws.frames.ReplaceAll(std::move(doc.clips));
        ws.frames.Select(static_cast<int>(clip - 1));
    } else if (clipNo && *clipNo != 1) {
        return OutOfRange(ctx, cmd, "--clip", 1, 1);
    }
    TerminalWarnings prompt(ctx, cmd);
    const auto imported = ops::ImportSequence(ws, request, prompt, TerminalProgress());
    if (!imported) {
        const Failure& why = imported.failure();
        if (why.code == ops::kSeqImportBadSize || why.code == ops::kSeqImportNoClip) {
            return Usage(ctx, cmd, WithReason(why));
        }
        if (why.code == ops::kSeqImportCannotWrite) return Fail(ctx, cmd, DocFailure(ctx, *into, why));
        return Fail(ctx, cmd, Reason(ctx, WithReason(why)));
    }
    if (!imported->written) {
        if (int rc = WriteBack(ctx, cmd, *into, ws.frames, doc, temp); rc != kExitOk) return rc;
    }
    ctx.out << Say(ctx, msg::seq::kImported,
                   {std::to_string(imported->frames), std::to_string(imported->clip + 1), *into,
                    std::to_string(imported->width) + " x " + std::to_string(imported->height)})
            << '\n';
    return kExitOk;
}

int InfoSequence(Context& ctx, const fs::path& path, bool json) {
    seq::SequenceReader reader;
    if (auto opened = reader.Open(path); !opened) return Fail(ctx, "info", Render(opened.failure(), ctx.language));
    const seq::SequenceInfo& info = reader.info();
    if (json) return InfoSequenceJson(ctx, path, info);
    constexpr std::size_t kWidth = 14;
    ctx.out << Label(ctx, msg::cli::kFileLabel, kWidth) << path.string() << '\n'
            << Label(ctx, msg::cli::kTypeLabel, kWidth) << Say(ctx, msg::seq::kSequenceFile) << '\n'
            << Label(ctx, msg::cli::kVersionLabel, kWidth) << info.major << '.' << info.minor << '\n'
            << Label(ctx, msg::seq::kChannelsLabel, kWidth)
            << Say(ctx, msg::seq::kChannelsPerFrame, {std::to_string(info.channels)}) << '\n'
            << Label(ctx, msg::seq::kFramesLabel, kWidth) << info.frames << '\n'
            << Label(ctx, msg::seq::kStepLabel, kWidth)
            << Say(ctx, msg::seq::kStepValue, {std::to_string(info.stepMs), FramesASecond(info.stepMs)}) << '\n'
            << Label(ctx, msg::seq::kCompressionLabel, kWidth) << seq::CompressionName(info.compression) << '\n';
    if (info.major == 2) {
        ctx.out << Label(ctx, msg::seq::kBlocksLabel, kWidth)
                << Say(ctx, msg::seq::kBlocksValue,
                       {std::to_string(info.blocks.size()), std::to_string(info.indexEntries)})
                << '\n'
                << Label(ctx, msg::seq::kRangesLabel, kWidth) << RangesText(ctx, info.ranges) << '\n';
    }
    ctx.out << Label(ctx, msg::seq::kHeadersLabel, kWidth) << HeadersText(ctx, info.variables) << '\n';
    if (info.major == 2) ctx.out << Label(ctx, msg::seq::kUniqueIdLabel, kWidth) << info.uniqueId << '\n';
    return kExitOk;
}

}  // namespace corv::cli
