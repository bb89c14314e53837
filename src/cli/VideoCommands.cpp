// Movies on the command line: importing a movie's pictures into a document, writing
// controller data straight from a movie or a document, exporting a clip as a movie, and
// grabbing a region of the screen.

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <thread>

#include "base/Random.h"
#include "base/TempDir.h"
#include "base/TerminalProgress.h"
#include "cli/Cli.h"
#include "cli/OutputReply.h"
#include "cli/HomeFiles.h"
#include "content/TransitionRenderer.h"
#include "controller/Card.h"
#include "controller/LedFile.h"
#include "lang/messages/CliMessages.h"
#include "media/ImportSource.h"
#include "media/Movie.h"
#include "media/VideoSettings.h"
#include "ops/Import.h"
#include "ops/Output.h"
#include "project/Document.h"
#include "workspace/Settings.h"
#include "workspace/Workspace.h"

namespace corv::cli {

namespace fs = std::filesystem;

namespace {

int ParseFit(Context& ctx, const std::string& cmd, const Args& args, Fit& fit) {
    const std::string text = args.Value("--fit").value_or("center");
    if (text == "center") fit = Fit::Center;
    else if (text == "stretch") fit = Fit::Stretch;
    else return Usage(ctx, cmd, Say(ctx, msg::cli::kFitChoices));
    return kExitOk;
}

// Reads a whole document, or starts a new one when the file does not exist yet.
int LoadOrNew(Context& ctx, const std::string& cmd, const fs::path& path, const TempDir& temp, LoadedDocument& doc, bool& fresh) {
    std::error_code ec;
    fresh = !fs::exists(path, ec);
    if (fresh) return kExitOk;
    ReadOptions options;
    options.tempDir = temp.path();
    if (auto read = ReadDocument(path, options, doc); !read) {
        return Fail(ctx, cmd, DocFailure(ctx, path.string(), read.failure()));
    }
    TakeLineFilesBeside(ctx, cmd, path, doc);
    return kExitOk;
}

// Adds frames to clip `clipNo` of a document (a new document of one clip when `fresh`) and
// writes it.
int StoreFrames(Context& ctx, const std::string& cmd, const fs::path& path, LoadedDocument& doc, bool fresh, std::size_t clip,
                std::vector<Frame> frames, const TempDir& temp) {
    if (fresh) {
        if (auto written = WriteSingleClipDocument(path, std::move(frames)); !written) {
            return FailSave(ctx, cmd, written.failure());
        }
        return kExitOk;
    }
    AppState app;
    FrameStore store(app);
    auto& target = doc.clips[clip].frames;
    target.insert(target.end(), std::make_move_iterator(frames.begin()), std::make_move_iterator(frames.end()));
    store.ReplaceAll(std::move(doc.clips));
    return WriteBack(ctx, cmd, path, store, doc, temp);
}

int ClipOf(Context& ctx, const std::string& cmd, const Args& args, const LoadedDocument& doc, bool fresh, std::size_t& clip) {
    std::string error;
    const auto clipNo = args.Int("--clip", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    const long long n = clipNo.value_or(1);
    const long long have = fresh ? 1 : static_cast<long long>(doc.clips.size());
    if (n < 1 || n > have) return OutOfRange(ctx, cmd, "--clip", 1, have);
    clip = static_cast<std::size_t>(n - 1);
    return kExitOk;
}

}  // namespace

int RunImportVideo(Context& ctx, const Args& args) {
    const std::string cmd = "import-video";
    if (args.positionals().size() != 2) return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsMovieAndDocument));
    const fs::path movie = args.positionals()[0], docPath = args.positionals()[1];
    std::string error;
    const auto width = args.Int("--width", error), height = args.Int("--height", error);
    const auto first = args.Int("--first", error), count = args.Int("--count", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    Fit fit = Fit::Center;
    if (int rc = ParseFit(ctx, cmd, args, fit); rc != kExitOk) return rc;
    if (width && (*width < 1 || *width > 4096)) return OutOfRange(ctx, cmd, "--width", 1, 4096);
    if (height && (*height < 1 || *height > 4096)) return OutOfRange(ctx, cmd, "--height", 1, 4096);
    if (first && *first < 1) return OutOfRange(ctx, cmd, "--first", 1, 1LL << 40);
    if (count && *count < 1) return OutOfRange(ctx, cmd, "--count", 1, 1LL << 40);

    TempDir temp;
    LoadedDocument doc;
    bool fresh = false;
    if (int rc = LoadOrNew(ctx, cmd, docPath, temp, doc, fresh); rc != kExitOk) return rc;
    std::size_t clip = 0;
    if (int rc = ClipOf(ctx, cmd, args, doc, fresh, clip); rc != kExitOk) return rc;
    // The document's clips in a workspace of the command line's language, the clip current.
    Workspace ws;
    ws.app.language = ctx.language;
    ws.strings = ctx.strings;
    if (!fresh) {
        ws.frames.ReplaceAll(std::move(doc.clips));
        ws.frames.Select(static_cast<int>(clip));
    }
    ops::MovieImportRequest request;
    request.movie = movie;
    if (width) request.width = static_cast<int>(*width);
    if (height) request.height = static_cast<int>(*height);
    request.fit = fit;
    request.first = first.value_or(1);
    request.count = count;
    // A new document takes the pictures straight to disk.
    if (fresh) request.newDocument = docPath;
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto imported = ops::ImportMovie(ws, request, prompt, TerminalProgress());
    if (!imported) {
        const Failure& why = imported.failure();
        switch (why.code) {
            case ops::kMovieSizeMismatch:
                return Fail(ctx, cmd, Say(ctx, msg::cli::kFrameSizeMustMatch, {why.args[0], why.args[1]}));
            case ops::kMovieNoPictures:
                return Fail(ctx, cmd, Say(ctx, msg::cli::kNoPicturesFrom, {movie.string(), std::to_string(request.first)}));
            case ops::kMovieNotWritten:
                return FailSave(ctx, cmd, why);
            default:  // the movie and the reader's reason
                return Fail(ctx, cmd, why.message);
        }
    }
    const std::size_t n = imported->frames;
    const int w = imported->width, h = imported->height;
    if (!fresh) {
        if (int rc = WriteBack(ctx, cmd, docPath, ws.frames, doc, temp); rc != kExitOk) return rc;
    }
    ctx.out << Say(ctx, msg::cli::kMovieFramesAdded,
                   {std::to_string(n), std::to_string(w), std::to_string(h), std::to_string(clip + 1), docPath.string()})
            << '\n';
    return kExitOk;
}

int RunOutputFrom(Context& ctx, const Args& args) {
    const std::string cmd = "output-from";
    if (args.positionals().size() != 1) return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsOneMovieOrDocument));
    const fs::path source = args.positionals()[0];
    auto outPath = args.Value("--out");
    if (!outPath) return Usage(ctx, cmd, Say(ctx, msg::cli::kOutRequired));
    auto lines = args.Value("--lines");
    if (!lines) return Usage(ctx, cmd, Say(ctx, msg::cli::kLinesRequired));
    std::string error;
    const auto width = args.Int("--width", error), height = args.Int("--height", error);
    const auto first = args.Int("--first", error), last = args.Int("--last", error);
    const auto speed = args.Int("--speed", error), seed = args.Int("--seed", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    Fit fit = Fit::Center;
    if (int rc = ParseFit(ctx, cmd, args, fit); rc != kExitOk) return rc;
    const std::string card = args.Value("--card").value_or("none");
    if (card != "auto" && card != "none") return Usage(ctx, cmd, Say(ctx, msg::cli::kCardChoices));
    if (speed && (*speed < 0 || *speed > 255)) return OutOfRange(ctx, cmd, "--speed", 0, 255);
    if (width && (*width < 1 || *width > 4096)) return OutOfRange(ctx, cmd, "--width", 1, 4096);
    if (height && (*height < 1 || *height > 4096)) return OutOfRange(ctx, cmd, "--height", 1, 4096);

    // The command line's workspace: its language, the line file and the home's lamp types.
    HomeFiles home;
    Workspace ws;
    ws.app.language = ctx.language;
    ws.strings = ctx.strings;
    if (int rc = LoadLayout(ctx, cmd, *lines, home, ws.layout); rc != kExitOk) return rc;
    ws.lampTypes = home.lamps;
    // The frame size: --width/--height, else a document's own, else the layout's grid.
    int w = static_cast<int>(width.value_or(0)), h = static_cast<int>(height.value_or(0));
    if (ImportKindOf(source) == ImportKind::Document && (!width || !height)) {
        ClipFrameReader probe;
        if (auto opened = probe.Open(source, 0, ws.temp().path()); !opened) {
            return Fail(ctx, cmd, DocFailure(ctx, source.string(), opened.failure()));
        }
        if (!width) w = static_cast<int>(probe.width());
        if (!height) h = static_cast<int>(probe.height());
    }
    if (w == 0) w = std::max(1, static_cast<int>(ws.layout.grid.cols));
    if (h == 0) h = std::max(1, static_cast<int>(ws.layout.grid.rows));
    ops::ImportFramesRequest opening;
    opening.source = source;
    opening.width = w;
    opening.height = h;
    opening.fit = fit;
    StreamPrompt prompt(ctx.err, Answer::No);
    auto imported = ops::ImportFrames(ws, opening, prompt, TerminalProgress());
    if (!imported) {
        // An empty name is no file, said as the movie reader says it of any path that is none.
        const std::string why = imported.failure().code == ops::kImportNoSource
                                    ? std::string(texts::kOpenFileFail) + " (" + source.string() + " is not a file)"
                                    : imported.failure().reason;
        return Fail(ctx, cmd, source.string() + ": " + Reason(ctx, why));
    }
    const std::size_t total = imported->count;
    const long long a = first.value_or(1), b = last.value_or(static_cast<long long>(total));
    if (CheckFrameRange(a, b, total) != 0) return Usage(ctx, cmd, FrameRangeText(ctx, total));

    ops::ControllerOutputRequest request;
    request.frames = imported->frames.get();
    request.shape = imported->shape;
    request.first = static_cast<std::size_t>(a - 1);
    request.end = static_cast<std::size_t>(b);
    request.path = *outPath;
    request.speed = static_cast<int>(speed.value_or(30));
    request.catalogue = &home.Catalogue();
    request.card = card == "auto" ? ops::ControllerOutputRequest::Card::Copy : ops::ControllerOutputRequest::Card::None;
    request.askBeforeReplacing = false;  // a file of the same name on the card is kept
    ws.random = seed ? Random(static_cast<std::uint64_t>(*seed)) : Random::FromTime();
    const auto written = ops::WriteControllerFiles(ws, request, prompt, TerminalProgress());
    return PrintControllerOutput(ctx, ws, written);
}

namespace {
// --list-codecs lists and does nothing else; the encoding's options belong to an export.
const OptionScopes kExportVideoScopes = {
    {"export-video DOC.cvn OUT", {"--codec", "--fps", "--quality", "--key", "--clip", "--first", "--last"}},
    {"export-video --list-codecs", {"--list-codecs"}},
};
}  // namespace

int RunExportVideo(Context& ctx, const Args& args) {
    const std::string cmd = "export-video";
    if (std::string error; !args.CheckScopes(kExportVideoScopes, {args.Has("--list-codecs") ? "export-video --list-codecs" : "export-video DOC.cvn OUT"}, error)) {
        return Usage(ctx, cmd, error);
    }
    if (args.Has("--list-codecs")) {
        for (const VideoEncoder& e : AvailableVideoEncoders()) ctx.out << e.name << '\t' << e.description << '\n';
        return kExitOk;
    }
    if (args.positionals().size() != 2) return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsDocumentAndMovie));
    const fs::path docPath = args.positionals()[0], out = args.positionals()[1];
    std::string error;
    const auto fps = args.Int("--fps", error), quality = args.Int("--quality", error), key = args.Int("--key", error);
    const auto clipNo = args.Int("--clip", error), first = args.Int("--first", error), last = args.Int("--last", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (fps && (*fps < 1 || *fps > 100)) return OutOfRange(ctx, cmd, "--fps", 1, 100);
    if (quality && (*quality < 1 || *quality > 100)) return OutOfRange(ctx, cmd, "--quality", 1, 100);
    if (key && (*key < 1 || *key > 1000)) return OutOfRange(ctx, cmd, "--key", 1, 1000);

    // The settings of the option dialog, each overridable here.
    HomeFiles home;
    VideoOptions options = ToVideoOptions(ReadVideoSettings(home.home / kConfigFileName));
    if (fps) options.fps = static_cast<int>(*fps);
    if (quality) options.quality = static_cast<int>(*quality);
    if (key) options.keyEvery = static_cast<int>(*key);
    if (auto codec = args.Value("--codec")) {
        if (*codec == "uncompressed") *codec = "rawvideo";
        if (!EncoderByName(*codec)) {
            std::string names;
            for (const VideoEncoder& e : AvailableVideoEncoders()) names += (names.empty() ? "" : ", ") + e.name;
            return Usage(ctx, cmd, Say(ctx, msg::cli::kUnknownCodec, {*codec, names}));
        }
        options.encoder = *codec;
    }
    TempDir temp;
    ClipFrameReader reader;
    if (auto opened = reader.Open(docPath, static_cast<int>(clipNo.value_or(1)) - 1, temp.path()); !opened) {
        return Fail(ctx, cmd, DocFailure(ctx, docPath.string(), opened.failure()));
    }
    const long long a = first.value_or(1), b = last.value_or(static_cast<long long>(reader.count()));
    if (CheckFrameRange(a, b, reader.count()) != 0) return Usage(ctx, cmd, FrameRangeText(ctx, reader.count()));
    MovieWriter writer;
    if (!writer.Open(out, static_cast<int>(reader.width()), static_cast<int>(reader.height()), options)) {
        return Fail(ctx, cmd, out.string() + ": " + writer.error());
    }
    const ProgressFn progress = TerminalProgress();
    for (long long i = a - 1; i < b; ++i) {
        const Frame* f = reader.Next(static_cast<std::size_t>(i));
        if (!f || !writer.Write(*f)) {
            writer.Abandon();
            return Fail(ctx, cmd, f ? out.string() + ": " + writer.error()
                                    : DocFailure(ctx, docPath.string(), DocumentFailure(DocError::OpenFailed)));
        }
        if (progress) progress(static_cast<int>((i - a + 2) * 100 / (b - a + 1)));
    }
    if (!writer.Close()) return Fail(ctx, cmd, out.string() + ": " + writer.error());
    ctx.out << Say(ctx, msg::cli::kMovieWritten,
                   {std::to_string(b - a + 1), out.string(), writer.encoder(), std::to_string(options.fps)})
            << '\n';
    return kExitOk;
}

int RunCapture(Context& ctx, const Args& args) {
    const std::string cmd = "capture";
    if (args.positionals().size() != 1) return Usage(ctx, cmd, Say(ctx, msg::cli::kCaptureNeedsOneDocument));
    const fs::path docPath = args.positionals()[0];
    auto region = args.Value("--region");
    if (!region) return Usage(ctx, cmd, Say(ctx, msg::cli::kRegionRequired));
    const auto parts = Split(*region, ',');
    int r[4] = {};
    bool ok = parts.size() == 4;
    for (std::size_t i = 0; ok && i < 4; ++i) {
        try {
            std::size_t used = 0;
            r[i] = std::stoi(parts[i], &used);
            ok = used == parts[i].size();
        } catch (...) {
            ok = false;
        }
    }
    if (!ok || r[2] < 1 || r[3] < 1 || r[2] > 4096 || r[3] > 4096) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kRegionFormat));
    }
    std::string error;
    const auto rate = args.Int("--rate", error), count = args.Int("--frames", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (rate && (*rate < 1 || *rate > 100)) return OutOfRange(ctx, cmd, "--rate", 1, 100);
    if (count && (*count < 1 || *count > 100000)) return OutOfRange(ctx, cmd, "--frames", 1, 100000);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        return Fail(ctx, cmd, Say(ctx, msg::cli::kCaptureNeedsDisplay));
    }
    TempDir temp;
    LoadedDocument doc;
    bool fresh = false;
    if (int rc = LoadOrNew(ctx, cmd, docPath, temp, doc, fresh); rc != kExitOk) return rc;
    if (!fresh && (doc.clips.empty() || doc.clips[0].width != static_cast<std::uint32_t>(r[2]) ||
                   doc.clips[0].height != static_cast<std::uint32_t>(r[3]))) {
        return Fail(ctx, cmd, Say(ctx, msg::cli::kRegionSizeMustMatch));
    }
    static int argc = 1;
    static char name[] = "corvantine-cli";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "xcb");
    QuietQtStartup();
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return Fail(ctx, cmd, Say(ctx, msg::cli::kNoScreen));
    const auto period = std::chrono::microseconds(1000000 / rate.value_or(20));
    std::vector<Frame> frames;
    auto due = std::chrono::steady_clock::now();
    for (long long i = 0; i < count.value_or(100); ++i) {
        std::this_thread::sleep_until(due);
        due += period;
        const QImage picture = screen->grabWindow(0, r[0], r[1], r[2], r[3]).toImage();
        if (picture.isNull()) return Fail(ctx, cmd, Say(ctx, msg::cli::kScreenUnreadable));
        Frame f(r[2], r[3]);
        ImageToFrame(picture.convertToFormat(QImage::Format_RGB32).scaled(r[2], r[3]), f);
        frames.push_back(std::move(f));
    }
    const std::size_t n = frames.size();
    if (int rc = StoreFrames(ctx, cmd, docPath, doc, fresh, 0, std::move(frames), temp); rc != kExitOk) return rc;
    ctx.out << Say(ctx, msg::cli::kFramesCaptured, {std::to_string(n), docPath.string()}) << '\n';
    return kExitOk;
}

}  // namespace corv::cli
