#include <filesystem>
#include <memory>
#include <ostream>

#include "base/AppHome.h"
#include "base/FileUtil.h"
#include "base/ProfileFile.h"
#include "base/Random.h"
#include "base/TempDir.h"
#include "cli/Cli.h"
#include "cli/HomeFiles.h"
#include "cli/Json.h"
#include "cli/OutputReply.h"
#include "base/TerminalProgress.h"
#include "controller/Card.h"
#include "controller/Catalogue.h"
#include "controller/LampTypes.h"
#include "controller/LedFile.h"
#include "controller/LedImport.h"
#include "formats/Archive.h"
#include "lang/Language.h"
#include "lang/messages/CliMessages.h"
#include "lang/messages/CommonMessages.h"
#include "layout/LineFile.h"
#include "ops/Output.h"
#include "project/Document.h"
#include "workspace/DocumentOps.h"
#include "workspace/Settings.h"
#include "workspace/Workspace.h"

namespace corv::cli {

namespace fs = std::filesystem;

namespace {

// Frames streamed from a document: a window of a few frames in memory at a time.
class DocumentFrames : public FrameSource {
public:
    explicit DocumentFrames(std::unique_ptr<ClipFrameReader> reader) : reader_(std::move(reader)) {}
    std::size_t Count() const override { return reader_->count(); }
    const Frame* Get(std::size_t i) override { return reader_->Next(i); }
    std::unique_ptr<FrameSource> Fork() const override { return std::make_unique<DocumentFrames>(reader_->Fork()); }

private:
    std::unique_ptr<ClipFrameReader> reader_;
};

// A clip number the document has: bad usage otherwise, naming the clips there are. The
// document's structure is read for it (no frames), and a stale header copy is warned of.
int CheckClipNumber(Context& ctx, const std::string& cmd, const std::string& path, std::optional<long long> clipNo,
                    const TempDir& temp) {
    LoadedDocument doc;
    ReadOptions options;
    options.tempDir = temp.path();
    options.loadFrames = false;
    options.extractMusic = false;
    if (auto read = ReadDocument(path, options, doc); !read) {
        return Fail(ctx, cmd, DocFailure(ctx, path, read.failure()));
    }
    WarnHeaderCopy(ctx, cmd, path, doc);
    if (!clipNo) return kExitOk;
    if (*clipNo < 1 || *clipNo > static_cast<long long>(doc.clips.size())) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNoSuchClipIn,
                                   {std::to_string(*clipNo), std::to_string(doc.clips.size()), path}));
    }
    return kExitOk;
}

int LoadLines(Context& ctx, const std::string& cmd, const Args& args, HomeFiles& home, Layout& layout) {
    auto lines = args.Value("--lines");
    if (!lines) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kLinesRequired));
    }
    return LoadLayout(ctx, cmd, *lines, home, layout);
}

// A workspace of the command line's language for the operations.
void SpeakIn(const Context& ctx, Workspace& ws) {
    ws.app.language = ctx.language;
    ws.strings = ctx.strings;
}

// What an operation warns of, on the terminal as the command's warnings.
class WarningPrompt : public StreamPrompt {
public:
    WarningPrompt(Context& ctx, const std::string& cmd) : StreamPrompt(ctx.err, Answer::No), ctx_(ctx), cmd_(cmd) {}
    void Inform(const std::string& text, PromptIcon /*icon*/) override { Warn(ctx_, cmd_, Reason(ctx_, text)); }

private:
    Context& ctx_;
    const std::string& cmd_;
};

}  // namespace

int RunOutput(Context& ctx, const Args& args) {
    const std::string cmd = "output";
    if (args.positionals().size() != 1) return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsOneProjectDocument));
    auto outPath = args.Value("--out");
    if (!outPath) return Usage(ctx, cmd, Say(ctx, msg::cli::kOutRequired));
    std::string error;
    auto clipNo = args.Int("--clip", error);
    auto first = args.Int("--first", error);
    auto last = args.Int("--last", error);
    auto speed = args.Int("--speed", error);
    auto seed = args.Int("--seed", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    const std::string card = args.Value("--card").value_or("auto");
    if (card != "auto" && card != "none") return Usage(ctx, cmd, Say(ctx, msg::cli::kCardChoices));
    if (speed && (*speed < 0 || *speed > 255)) return OutOfRange(ctx, cmd, "--speed", 0, 255);

    HomeFiles home;
    Workspace ws;
    SpeakIn(ctx, ws);
    if (int rc = LoadLines(ctx, cmd, args, home, ws.layout); rc != kExitOk) return rc;
    ws.lampTypes = home.lamps;
    TempDir temp;
    if (int rc = CheckClipNumber(ctx, cmd, args.positionals()[0], clipNo, temp); rc != kExitOk) return rc;
    auto opened = std::make_unique<ClipFrameReader>();
    ClipFrameReader& reader = *opened;
    const auto open = reader.Open(args.positionals()[0], static_cast<int>(clipNo.value_or(1)) - 1, temp.path());
    if (!open) return Fail(ctx, cmd, DocFailure(ctx, args.positionals()[0], open.failure()));
    const long long a = first.value_or(1), b = last.value_or(static_cast<long long>(reader.count()));
    if (CheckFrameRange(a, b, reader.count()) != 0) return Usage(ctx, cmd, FrameRangeText(ctx, reader.count()));

    ops::ControllerOutputRequest request;
    request.shape = FrameShape{static_cast<int>(reader.height()), static_cast<int>(reader.width())};
    request.first = static_cast<std::size_t>(a - 1);
    request.end = static_cast<std::size_t>(b);
    request.path = *outPath;
    request.speed = static_cast<int>(speed.value_or(30));
    request.catalogue = &home.Catalogue();
    request.card = card == "auto" ? ops::ControllerOutputRequest::Card::Copy : ops::ControllerOutputRequest::Card::None;
    request.askBeforeReplacing = false;  // a file of the same name on the card is kept
    ws.random = seed ? Random(static_cast<std::uint64_t>(*seed)) : Random::FromTime();
    DocumentFrames frames(std::move(opened));
    request.frames = &frames;
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto written = ops::WriteControllerFiles(ws, request, prompt, TerminalProgress());
    return PrintControllerOutput(ctx, ws, written);
}

int RunImportLed(Context& ctx, const Args& args) {
    const std::string cmd = "import-led";
    if (args.positionals().size() != 1) return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsOneControllerFile));
    auto into = args.Value("--into");
    if (!into) return Usage(ctx, cmd, Say(ctx, msg::cli::kIntoRequired));
    std::string error;
    auto clipNo = args.Int("--clip", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    HomeFiles home;
    Workspace ws;
    SpeakIn(ctx, ws);
    if (int rc = LoadLines(ctx, cmd, args, home, ws.layout); rc != kExitOk) return rc;
    ws.lampTypes = home.lamps;

    TempDir temp;
    LoadedDocument doc;
    ReadOptions options;
    options.tempDir = temp.path();
    if (auto read = ReadDocument(*into, options, doc); !read) {
        return Fail(ctx, cmd, DocFailure(ctx, *into, read.failure()));
    }
    WarnHeaderCopy(ctx, cmd, *into, doc);
    TakeLineFilesBeside(ctx, cmd, *into, doc);
    const int clip = static_cast<int>(clipNo.value_or(1)) - 1;
    if (clip < 0 || clip >= static_cast<int>(doc.clips.size())) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNoSuchClip,
                                   {std::to_string(clip + 1), std::to_string(doc.clips.size())}));
    }
    ws.frames.ReplaceAll(std::move(doc.clips));
    ws.frames.Select(clip);
    WarningPrompt prompt(ctx, cmd);  // the file's warnings
    const auto imported =
        ops::ImportControllerFile(ws, ops::ControllerImportRequest{args.positionals()[0]}, prompt, TerminalProgress());
    if (!imported) {
        const bool named = imported.message().find(args.positionals()[0]) != std::string::npos;
        const std::string message = Reason(ctx, imported.message());
        return Fail(ctx, cmd, named ? message : args.positionals()[0] + ": " + message);
    }
    if (int rc = WriteBack(ctx, cmd, *into, ws.frames, doc, temp); rc != kExitOk) return rc;
    ctx.out << Say(ctx, msg::cli::kImportedFrames, {std::to_string(imported->blocks)}) << '\n';
    return kExitOk;
}

int InfoLed(Context& ctx, const fs::path& path, bool json, bool strict) {
    const auto read = ReadLedInfo(path);
    if (!read) {
        const std::string& error = read.message();
        return Fail(ctx, "info", error == texts::kOpenFileFail
                                     ? Say(ctx, msg::common::kOpenFailed) + " " + read.failure().reason
                                     : path.string() + ": " + Reason(ctx, error));
    }
    const LedFileInfo& info = *read;
    // What a controller would trip over is told on stderr; --strict makes it a failure.
    std::vector<std::string> problems;
    for (int slave : info.WrongChecksums()) {
        problems.push_back(Say(ctx, msg::cli::kWrongSlaveChecksum, {std::to_string(slave)}));
    }
    if (info.trailingBytes > 0) {
        problems.push_back(Say(ctx, msg::cli::kPartialBlock,
                               {std::to_string(info.frameCount), std::to_string(info.trailingBytes)}));
    }
    if (info.recordsBlockSize != 0 && info.recordsBlockSize != info.blockSize) {
        problems.push_back(Say(ctx, msg::cli::kBlockSizeDisagrees,
                               {std::to_string(info.blockSize), std::to_string(info.recordsBlockSize)}));
    }
    for (const auto& p : problems) Warn(ctx, "info", path.string() + ": " + p);
    const int status = strict && !problems.empty() ? kExitFailed : kExitOk;
    const char* family = info.family == 0 ? "master-slave" : info.family == 1 ? "single" : info.family == 5 ? "simple" : "unknown";
    HomeFiles home;  // the chip catalogue names the records' chips
    if (json) {
        Json j;
        j.BeginObject().Key("file").Value(path.string()).Key("type").Value("controller data");
        j.Key("family").Value(static_cast<int>(info.family)).Key("familyName").Value(family);
        j.Key("slaveCount").Value(static_cast<int>(info.slaveCount)).Key("dataOffset").Value(info.dataOffset);
        j.Key("blockSize").Value(info.blockSize).Key("frames").Value(static_cast<std::uint64_t>(info.frameCount));
        j.Key("trailingBytes").Value(info.trailingBytes);
        j.Key("slaves").BeginArray();
        for (const auto& r : info.records) {
            j.BeginObject().Key("chipCode").Value(r.chipCode).Key("chipName").Value(home.ChipName(r.chipCode, kLanguageEnglish));
            j.Key(info.family == 0 ? "W" : "F").Value(r.dataWords).Key("ports").Value(r.ports);
            j.Key("clockByte").Value(r.clockByte).Key("byte4").Value(static_cast<int>(r.bytes[4]));
            j.Key("byte5").Value(static_cast<int>(r.bytes[5])).Key("checksumValid").Value(r.checksumOk).EndObject();
        }
        ctx.out << j.EndArray().EndObject().str() << '\n';
        return status;
    }
    const std::string familyText = info.family == 0   ? Say(ctx, msg::cli::kFamilyMasterSlave)
                                   : info.family == 1 ? Say(ctx, msg::cli::kFamilySingle)
                                   : info.family == 5 ? Say(ctx, msg::cli::kFamilySimple)
                                                      : Say(ctx, msg::cli::kFamilyUnknown);
    ctx.out << Label(ctx, msg::cli::kFileLabel, 13) << path.string() << '\n' << Label(ctx, msg::cli::kTypeLabel, 13)
            << Say(ctx, msg::cli::kControllerData, {familyText, std::to_string(info.family)})
            << '\n' << Label(ctx, msg::cli::kSlavesLabel, 13) << info.slaveCount << '\n' << Label(ctx, msg::cli::kDataOffsetLabel, 13)
            << info.dataOffset << '\n' << Label(ctx, msg::cli::kBlockSizeLabel, 13) << info.blockSize << '\n'
            << Label(ctx, msg::common::kFramesLabel, 13) << info.frameCount << '\n';
    for (std::size_t i = 0; i < info.records.size(); ++i) {
        const auto& r = info.records[i];
        const std::string chipName = home.ChipName(r.chipCode, ctx.language);
        ctx.out << "  " << i + 1 << ": "
                << Say(ctx, msg::cli::kSlaveRecord,
                       {std::to_string(r.chipCode) + (chipName.empty() ? std::string() : " (" + chipName + ")"),
                        info.family == 0 ? "W" : "F", std::to_string(r.dataWords), std::to_string(r.ports),
                        std::to_string(r.clockByte), std::to_string(r.bytes[4]), std::to_string(r.bytes[5]),
                        r.checksumOk ? Say(ctx, msg::cli::kChecksumValid) : Say(ctx, msg::cli::kChecksumWrong)})
                << '\n';
    }
    return status;
}

int RunCard(Context& ctx, const Args& args) {
    const auto mounts = ProbeMounts(CardProbe{});
    const MountedDevice* card = nullptr;
    for (const auto& d : mounts) {
        if (d.suitable) {
            card = &d;
            break;
        }
    }
    if (args.Has("--json")) {
        Json j;
        j.BeginObject().Key("card");
        if (card) {
            j.Value(card->mountPoint.string());
        } else {
            j.Null();
        }
        j.Key("devices").BeginArray();
        for (const auto& d : mounts) {
            j.BeginObject().Key("source").Value(d.source).Key("mountPoint").Value(d.mountPoint.string());
            j.Key("device").Value(d.deviceName).Key("fsType").Value(d.fsType).Key("fat").Value(d.fatVersion);
            j.Key("suitable").Value(d.suitable).Key("reason").Value(d.reason).EndObject();
        }
        ctx.out << j.EndArray().EndObject().str() << '\n';
        return kExitOk;
    }
    for (const auto& d : mounts) {
        ctx.out << d.mountPoint.string() << " (" << d.source << ", " << d.fsType << "): "
                << (d.suitable ? Say(ctx, msg::cli::kMountSuitable) : d.reason) << '\n';
    }
    ctx.out << Say(ctx, msg::cli::kCardPrefix) << (card ? card->mountPoint.string() : Say(ctx, msg::cli::kNone)) << '\n';
    return kExitOk;
}

int PrintControllerOutput(Context& ctx, const Workspace& ws, const ops::Result<ops::ControllerOutputReply>& written) {
    if (!written) {  // a check before writing refused (a layout without a line)
        ctx.err << Reason(ctx, written.message()) << '\n';
        return kExitFailed;
    }
    for (const auto& f : written->files) ctx.out << f.string() << '\n';
    for (const auto& c : written->copied) ctx.out << "copied to " << c.string() << '\n';
    for (const auto& m : written->failures) ctx.err << Reason(ctx, m) << '\n';
    if (!written->complete()) return kExitFailed;
    ctx.out << ws.strings.outputDone << '\n';
    // The detail of "Output File finished!", as the window shows it.
    for (const std::string& line : OutputReportLines(written->report, ws.strings)) ctx.out << line << '\n';
    return kExitOk;
}

}  // namespace corv::cli
