#include <cctype>
// `corvantine-cli frames`: the frame view's range operations on a document's clip, through the
// same engine calls as the window's dialogs.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <sstream>

#include "base/FileUtil.h"
#include "base/TempDir.h"
#include "cli/Cli.h"
#include "cli/HomeFiles.h"
#include "content/ColourProcess.h"
#include "cli/Json.h"
#include "lang/messages/CliCommandMessages.h"
#include "lang/messages/CliMessages.h"
#include "project/EffectExport.h"
#include "content/DesignRender.h"
#include "content/TransitionRenderer.h"
#include "base/TerminalProgress.h"
#include "formats/FrameCountScramble.h"
#include "project/Document.h"
#include "project/FrameRange.h"
#include "project/FrameStore.h"
#include "ops/ColourProcess.h"
#include "ops/Frames.h"
#include "ops/Generate.h"
#include "workspace/Workspace.h"

namespace corv::cli {

namespace fs = std::filesystem;

namespace {

// A document read whole, one of whose clips the command works on, and written back as it was
// (plain, or packed again when it came from an archive).
struct EditedDocument {
    TempDir temp;
    LoadedDocument doc;
    fs::path path;
    std::size_t clip = 0;

    int Load(Context& ctx, const std::string& cmd, const std::string& file, std::optional<long long> clipNo) {
        path = file;
        ReadOptions options;
        options.tempDir = temp.path();
        options.progress = TerminalProgress();
        if (auto read = ReadDocument(path, options, doc); !read) {
            return Fail(ctx, cmd, DocFailure(ctx, file, read.failure()));
        }
        WarnHeaderCopy(ctx, cmd, file, doc);
        TakeLineFilesBeside(ctx, cmd, path, doc);
        const long long n = static_cast<long long>(doc.clips.size());
        if (clipNo && (*clipNo < 1 || *clipNo > n)) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kNoSuchClip,
                                       {std::to_string(*clipNo), std::to_string(n)}));
        }
        clip = static_cast<std::size_t>(clipNo.value_or(1) - 1);
        if (frames().empty()) return Fail(ctx, cmd, file + ": " + Say(ctx, msg::cli::kClipHasNoFrame));
        return kExitOk;
    }
    std::vector<Frame>& frames() { return doc.clips[clip].frames; }

    int Save(Context& ctx, const std::string& cmd) {
        AppState app;
        FrameStore store(app);
        store.ReplaceAll(std::move(doc.clips));
        return WriteBack(ctx, cmd, path, store, doc, temp);
    }

    // The document's clips move into a workspace of the command line's language, the clip
    // the command works on current, for the operations; SaveFrom writes them back.
    void MoveInto(const Context& ctx, Workspace& ws) {
        ws.app.language = ctx.language;
        ws.strings = ctx.strings;
        ws.frames.ReplaceAll(std::move(doc.clips));
        ws.frames.Select(static_cast<int>(clip));
    }
    int SaveFrom(Context& ctx, const std::string& cmd, const Workspace& ws) {
        return WriteBack(ctx, cmd, path, ws.frames, doc, temp);
    }
};

std::vector<std::string> SplitComma(const std::string& text) { return Split(text, ','); }

// --rect L,T,R,B (picture coordinates, right and bottom exclusive) inside a frame of w x h.
int ParseRect(Context& ctx, const std::string& cmd, const Args& args, int w, int h, std::optional<PixelRect>& out) {
    auto text = args.Value("--rect");
    if (!text) return kExitOk;
    const auto parts = SplitComma(*text);
    long long v[4] = {};
    bool ok = parts.size() == 4;
    for (std::size_t i = 0; ok && i < 4; ++i) ok = ParseInteger(parts[i], v[i]);
    if (!ok || v[0] < 0 || v[1] < 0 || v[2] > w || v[3] > h || v[0] >= v[2] || v[1] >= v[3]) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kRectInsideFrame,
                                   {std::to_string(w), std::to_string(h)}));
    }
    out = PixelRect{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3])};
    return kExitOk;
}

// --first A --last B (1-based, inclusive) as s, e (0-based, e exclusive); all frames by default.
int ParseRange(Context& ctx, const std::string& cmd, const Args& args, std::size_t count, bool required,
               std::size_t& s, std::size_t& e) {
    std::string error;
    auto first = args.Int("--first", error);
    auto last = args.Int("--last", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (required && (!first || !last)) return Usage(ctx, cmd, Say(ctx, msg::cli::kFirstLastRequired));
    const long long a = first.value_or(1), b = last.value_or(static_cast<long long>(count));
    if (!ValidRange(count, a - 1, b)) return Usage(ctx, cmd, FrameRangeText(ctx, count));
    s = static_cast<std::size_t>(a - 1);
    e = static_cast<std::size_t>(b);
    return kExitOk;
}

int ReadBlock(Context& ctx, const std::string& cmd, const Args& args, FrameBlock& block) {
    auto file = args.Value("--block");
    if (!file) return Usage(ctx, cmd, Say(ctx, msg::cli::kBlockFileRequired));
    auto bytes = ReadFileBytes(*file);
    if (!bytes) return FailOpen(ctx, cmd, bytes.failure());
    auto decoded = DecodeFrameBlock(*bytes);
    if (!decoded) {
        return Fail(ctx, cmd, *file + ": " + Say(ctx, msg::cli::kNotFrameBlock, {std::to_string(bytes->size())}));
    }
    block = std::move(*decoded);
    return kExitOk;
}

template <typename T>
int Choice(Context& ctx, const std::string& cmd, const Args& args, const std::string& option,
           const std::vector<std::pair<std::string, T>>& names, T& out) {
    auto v = args.Value(option);
    if (!v) return kExitOk;
    for (const auto& [name, value] : names) {
        if (name == *v) {
            out = value;
            return kExitOk;
        }
    }
    std::string list;
    for (const auto& [name, value] : names) list += (list.empty() ? "" : ", ") + name;
    return Usage(ctx, cmd, Say(ctx, msg::cli::kOptionTakesChoices, {option, list}));
}

// "Frames: N" in the language of the command line, as the status bar shows it.
void Done(Context& ctx, std::size_t count) {
    ctx.out << Format(ctx.strings.frameCount.c_str(), static_cast<int>(count)) << '\n';
}

int NeedsInteger(Context& ctx, const std::string& cmd, const Args& args, const std::string& option, long long lo,
                 long long hi, std::optional<long long> fallback, long long& out) {
    std::string error;
    auto v = args.Int(option, error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (!v && !fallback) return Usage(ctx, cmd, Say(ctx, msg::cli::kOptionRequired, {option}));
    out = v.value_or(fallback.value_or(0));
    if (out < lo || out > hi) return OutOfRange(ctx, cmd, option, lo, hi);
    return kExitOk;
}

std::string FrameLimit(const Context& ctx) {
    return Say(ctx, msg::cli::kClipFrameLimit, {std::to_string(kMaxFrameCount)});
}

QImage ToImage(const Frame& f) {
    QImage image(f.width(), f.height(), QImage::Format_RGB888);
    for (int y = 0; y < f.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < f.width(); ++x) {
            const Bgr c = f.Pixel(x, y);
            line[3 * x] = c.r;
            line[3 * x + 1] = c.g;
            line[3 * x + 2] = c.b;
        }
    }
    return image;
}

Frame FromImage(const QImage& source, int w, int h) {
    const QImage image = source.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB888);
    Frame f(w, h);
    for (int y = 0; y < h; ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < w; ++x) f.SetPixel(x, y, Bgr{line[3 * x + 2], line[3 * x + 1], line[3 * x]});
    }
    return f;
}

}  // namespace

namespace {
// The options of each frames subcommand; --clip every one takes.
const OptionScopes kFramesScopes = {
    {"frames copy", {"--first", "--last", "--rect", "--block"}},
    {"frames paste", {"--block", "--place", "--times", "--overlay", "--direction", "--reverse-order", "--combine", "--rect"}},
    {"frames steps-paste", {"--block", "--start", "--interval", "--backwards", "--rect"}},
    {"frames repeat", {"--first", "--last", "--times"}},
    {"frames delete", {"--first", "--last", "--spacing", "--rect"}},
    {"frames move", {"--first", "--last", "--direction", "--ranks", "--increments", "--rect"}},
    {"frames insert", {"--after"}},
    {"frames row-col-delete", {"--first", "--last", "--keep-rows", "--delete-rows", "--keep-cols", "--delete-cols", "--rect"}},
    {"frames export", {"--first", "--last"}},
    {"frames import", {}},
};
}  // namespace

namespace {

// frames export: PNG pictures of the range, named by their frame numbers.
int ExportFrames(Context& ctx, const std::string& cmd, const Args& args, const std::vector<Frame>& frames) {
    std::size_t s = 0, e = 0;
    if (int rc = ParseRange(ctx, cmd, args, frames.size(), false, s, e); rc != kExitOk) return rc;
    const fs::path dir = args.positionals()[2];
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) return Fail(ctx, cmd, dir.string() + ": " + Say(ctx, msg::cli::kCannotMakeFolder));
    const int digits = static_cast<int>(std::to_string(frames.size()).size());
    for (std::size_t i = s; i < e; ++i) {
        std::string name = std::to_string(i + 1);
        name.insert(0, static_cast<std::size_t>(std::max(0, digits - static_cast<int>(name.size()))), '0');
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ToImage(frames[i]).save(&buffer, "PNG");
        if (auto written = WriteFileAtomic(dir / ("frame" + name + ".png"),
                                           std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                                     static_cast<std::size_t>(png.size())));
            !written) {
            return FailSave(ctx, cmd, written.failure());
        }
    }
    ctx.out << Say(ctx, msg::cli::kFramesExported, {std::to_string(e - s)}) << '\n';
    return kExitOk;
}

// frames insert: the blank frame the operation puts after frame --after.
int InsertInto(Context& ctx, const std::string& cmd, const Args& args, EditedDocument& d) {
    const auto& frames = d.frames();
    long long after = 0;
    if (int rc = NeedsInteger(ctx, cmd, args, "--after", 1, static_cast<long long>(frames.size()), std::nullopt, after);
        rc != kExitOk) {
        return rc;
    }
    Workspace ws;
    d.MoveInto(ctx, ws);
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto inserted = ops::InsertFrame(ws, ops::InsertFrameRequest{static_cast<std::size_t>(after)}, prompt, ProgressFn());
    if (!inserted) return Fail(ctx, cmd, inserted.message());
    const std::size_t count = ws.frames.CurrentFrames().size();
    if (int rc = d.SaveFrom(ctx, cmd, ws); rc != kExitOk) return rc;
    Done(ctx, count);
    return kExitOk;
}

// The clip written back after an operation and its frame count told, as the status bar shows
// it; a refusal the command does not word itself is the operation's message.
template <class Reply>
int SaveEdited(Context& ctx, const std::string& cmd, EditedDocument& d, Workspace& ws, const Result<Reply>& edited) {
    if (!edited) return Fail(ctx, cmd, edited.message());
    const std::size_t count = ws.frames.CurrentFrames().size();
    if (int rc = d.SaveFrom(ctx, cmd, ws); rc != kExitOk) return rc;
    Done(ctx, count);
    return kExitOk;
}

// What freed pixels and new frames take on the command line.
constexpr Bgr kCommandBackground{0, 0, 0};

// frames copy: the block of the range written to --block; the document is not changed.
int CopyFrom(Context& ctx, const std::string& cmd, const Args& args, EditedDocument& d, const std::optional<PixelRect>& area) {
    ops::CopyFramesRequest request;
    request.editArea = area;
    if (int rc = ParseRange(ctx, cmd, args, d.frames().size(), true, request.first, request.end); rc != kExitOk) return rc;
    auto out = args.Value("--block");
    if (!out) return Usage(ctx, cmd, Say(ctx, msg::cli::kBlockOutRequired));
    Workspace ws;
    d.MoveInto(ctx, ws);
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto copied = ops::CopyFrames(ws, request, prompt, ProgressFn());
    if (!copied) {
        if (copied.failure().code == ops::kCopyTooMany) return Usage(ctx, cmd, Say(ctx, msg::cli::kBlockFrameLimit));
        return Fail(ctx, cmd, copied.message());
    }
    if (auto written = WriteFileAtomic(*out, EncodeFrameBlock(copied->block)); !written) {
        return FailSave(ctx, cmd, written.failure());
    }
    ctx.out << Say(ctx, msg::cli::kFramesCopied, {std::to_string(request.end - request.first)}) << '\n';
    return kExitOk;
}

// frames repeat: every frame of the range --times more times in a row.
int RepeatInto(Context& ctx, const std::string& cmd, const Args& args, EditedDocument& d) {
    ops::RepeatFramesRequest request;
    long long times = 0;
    if (int rc = ParseRange(ctx, cmd, args, d.frames().size(), true, request.first, request.end); rc != kExitOk) return rc;
    if (int rc = NeedsInteger(ctx, cmd, args, "--times", 1, 1000, std::nullopt, times); rc != kExitOk) return rc;
    request.times = static_cast<int>(times);
    Workspace ws;
    d.MoveInto(ctx, ws);
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto repeated = ops::RepeatFrames(ws, request, prompt, ProgressFn());
    if (!repeated && repeated.failure().code == ops::kRepeatClipFull) return Usage(ctx, cmd, FrameLimit(ctx));
    return SaveEdited(ctx, cmd, d, ws, repeated);
}

// frames delete: the range, every frame after --spacing kept ones, or the rectangle of --rect.
int DeleteInto(Context& ctx, const std::string& cmd, const Args& args, EditedDocument& d, const std::optional<PixelRect>& area) {
    ops::DeleteFramesRequest request;
    long long spacing = 0;
    if (int rc = ParseRange(ctx, cmd, args, d.frames().size(), true, request.first, request.end); rc != kExitOk) return rc;
    if (int rc = NeedsInteger(ctx, cmd, args, "--spacing", 0, 200, 0, spacing); rc != kExitOk) return rc;
    request.spacing = static_cast<int>(spacing);
    request.editArea = area;
    request.background = kCommandBackground;
    Workspace ws;
    d.MoveInto(ctx, ws);
    StreamPrompt prompt(ctx.err, Answer::No);
    return SaveEdited(ctx, cmd, d, ws, ops::DeleteFrames(ws, request, prompt, ProgressFn()));
}

// frames move: the rectangle of every frame of the range rotated by --ranks pixels.
int MoveFramesInto(Context& ctx, const std::string& cmd, const Args& args, EditedDocument& d,
                   const std::optional<PixelRect>& area) {
    ops::MoveFramesRequest request;
    long long ranks = 0;
    if (int rc = ParseRange(ctx, cmd, args, d.frames().size(), true, request.first, request.end); rc != kExitOk) return rc;
    if (!args.Value("--direction")) return Usage(ctx, cmd, "--direction left|right|up|down is required");
    if (int rc = Choice<MoveDirection>(ctx, cmd, args, "--direction",
                                       {{"left", MoveDirection::Left}, {"right", MoveDirection::Right},
                                        {"up", MoveDirection::Up}, {"down", MoveDirection::Down}}, request.direction);
        rc != kExitOk) {
        return rc;
    }
    if (int rc = NeedsInteger(ctx, cmd, args, "--ranks", 0, 65535, std::nullopt, ranks); rc != kExitOk) return rc;
    request.ranks = static_cast<int>(ranks);
    request.increments = args.Has("--increments");
    request.editArea = area;
    Workspace ws;
    d.MoveInto(ctx, ws);
    StreamPrompt prompt(ctx.err, Answer::No);
    return SaveEdited(ctx, cmd, d, ws, ops::MoveFrames(ws, request, prompt, ProgressFn()));
}

// frames row-col-delete: rows and columns of the rectangle kept and deleted in turn.
int RowColDeleteInto(Context& ctx, const std::string& cmd, const Args& args, EditedDocument& d,
                     const std::optional<PixelRect>& area) {
    ops::RowColDeleteRequest request;
    long long keepRows = 0, deleteRows = 0, keepCols = 0, deleteCols = 0;
    if (int rc = ParseRange(ctx, cmd, args, d.frames().size(), false, request.first, request.end); rc != kExitOk) return rc;
    for (auto [option, value] : {std::pair{"--keep-rows", &keepRows}, std::pair{"--delete-rows", &deleteRows},
                                 std::pair{"--keep-cols", &keepCols}, std::pair{"--delete-cols", &deleteCols}}) {
        if (int rc = NeedsInteger(ctx, cmd, args, option, 0, 65535, 1, *value); rc != kExitOk) return rc;
    }
    request.keepRows = static_cast<int>(keepRows);
    request.deleteRows = static_cast<int>(deleteRows);
    request.keepCols = static_cast<int>(keepCols);
    request.deleteCols = static_cast<int>(deleteCols);
    request.editArea = area;
    request.background = kCommandBackground;
    Workspace ws;
    d.MoveInto(ctx, ws);
    StreamPrompt prompt(ctx.err, Answer::No);
    return SaveEdited(ctx, cmd, d, ws, ops::RowColDeleteFrames(ws, request, prompt, ProgressFn()));
}

// The prompt of a paste: where the window asks whether to paste a block of another size, the
// command line goes on and says so.
class PasteSizePrompt : public StreamPrompt {
public:
    PasteSizePrompt(Context& ctx, std::string cmd) : StreamPrompt(ctx.err, Answer::Yes), ctx_(ctx), cmd_(std::move(cmd)) {}
    Answer AskYesNo(const std::string& question) override {
        std::string text = question;
        std::replace(text.begin(), text.end(), '\n', ' ');
        Warn(ctx_, cmd_, text);
        return Answer::Yes;
    }

private:
    Context& ctx_;
    std::string cmd_;
};

// frames paste: the block of --block placed as the options say.
int PasteInto(Context& ctx, const std::string& cmd, const Args& args, EditedDocument& d, const std::optional<PixelRect>& area) {
    ops::PasteFramesRequest request;
    const std::size_t count = d.frames().size();
    long long place = 0, times = 0;
    if (int rc = ReadBlock(ctx, cmd, args, request.block); rc != kExitOk) return rc;
    if (int rc = NeedsInteger(ctx, cmd, args, "--place", 1, static_cast<long long>(count), std::nullopt, place);
        rc != kExitOk) {
        return rc;
    }
    if (int rc = NeedsInteger(ctx, cmd, args, "--times", 1, 1000, 1, times); rc != kExitOk) return rc;
    if (count + request.block.pictures.size() * static_cast<std::size_t>(times) > kMaxFrameCount) {
        return Usage(ctx, cmd, FrameLimit(ctx));
    }
    PasteOptions& o = request.options;
    o.place = static_cast<std::size_t>(place - 1);
    o.times = static_cast<int>(times);
    o.overlay = args.Has("--overlay");
    o.reverseOrder = args.Has("--reverse-order");
    if (int rc = Choice<PasteDirection>(ctx, cmd, args, "--direction",
                                        {{"original", PasteDirection::Original}, {"horizontal", PasteDirection::Horizontal},
                                         {"vertical", PasteDirection::Vertical}, {"center", PasteDirection::Centre}},
                                        o.direction);
        rc != kExitOk) {
        return rc;
    }
    if (int rc = Choice<PasteCombine>(ctx, cmd, args, "--combine",
                                      {{"normal", PasteCombine::Normal}, {"or", PasteCombine::Or}, {"xor", PasteCombine::Xor},
                                       {"and", PasteCombine::And}, {"superposition", PasteCombine::Superposition},
                                       {"transparency", PasteCombine::Transparency}, {"adding", PasteCombine::Adding}},
                                      o.combine);
        rc != kExitOk) {
        return rc;
    }
    request.editArea = area;
    request.background = kCommandBackground;
    Workspace ws;
    d.MoveInto(ctx, ws);
    PasteSizePrompt prompt(ctx, cmd);
    const auto pasted = ops::PasteFrames(ws, request, prompt, ProgressFn());
    if (!pasted && pasted.failure().code == ops::kPasteClipFull) return Usage(ctx, cmd, FrameLimit(ctx));
    return SaveEdited(ctx, cmd, d, ws, pasted);
}

// frames steps-paste: the block staggered into new frames after --start.
int StepsPasteInto(Context& ctx, const std::string& cmd, const Args& args, EditedDocument& d,
                   const std::optional<PixelRect>& area) {
    ops::StepsPasteRequest request;
    long long start = 0, interval = 0;
    if (int rc = ReadBlock(ctx, cmd, args, request.block); rc != kExitOk) return rc;
    if (int rc = NeedsInteger(ctx, cmd, args, "--start", 0, static_cast<long long>(d.frames().size()), std::nullopt, start);
        rc != kExitOk) {
        return rc;
    }
    if (int rc = NeedsInteger(ctx, cmd, args, "--interval", 0, 65535, 1, interval); rc != kExitOk) return rc;
    request.start = static_cast<std::size_t>(start);
    request.interval = static_cast<int>(interval);
    request.backwards = args.Has("--backwards");
    request.editArea = area;
    request.background = kCommandBackground;
    Workspace ws;
    d.MoveInto(ctx, ws);
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto pasted = ops::StepsPasteFrames(ws, request, prompt, ProgressFn());
    if (!pasted && pasted.failure().code == ops::kStepsPasteSizeError) {
        return Fail(ctx, cmd, "Size error!");  // the program's text, the same in every language
    }
    return SaveEdited(ctx, cmd, d, ws, pasted);
}

}  // namespace

int RunFrames(Context& ctx, const Args& args) {
    if (args.positionals().size() < 2) {
        return Usage(ctx, "frames", Say(ctx, msg::cli::kFramesNeedsSubcommand));
    }
    const std::string sub = args.positionals()[0];
    const std::string cmd = "frames " + sub;
    static const std::vector<std::string> subs = {"copy", "paste", "steps-paste", "repeat", "delete", "move",
                                                  "insert", "row-col-delete", "export", "import"};
    if (std::find(subs.begin(), subs.end(), sub) == subs.end()) {
        return Usage(ctx, "frames", Say(ctx, msg::cli::kUnknownFramesSubcommand,
                                        {sub, "copy, paste, steps-paste, repeat, delete, move, insert, row-col-delete, export, import"}));
    }
    std::string error;
    if (!args.CheckScopes(kFramesScopes, {cmd}, error)) return Usage(ctx, cmd, error);
    const std::size_t extra = sub == "export" ? 1 : 0;
    if (sub != "import" && args.positionals().size() != 2 + extra) {
        return Usage(ctx, cmd, sub == "export" ? Say(ctx, msg::cli::kExportNeedsFolder)
                                               : Say(ctx, msg::cli::kExactlyOneDocument));
    }
    if (sub == "import" && args.positionals().size() < 3) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsDocAndPicture));
    }
    auto clipNo = args.Int("--clip", error);
    if (!error.empty()) return Usage(ctx, cmd, error);

    EditedDocument d;
    if (int rc = d.Load(ctx, cmd, args.positionals()[1], clipNo); rc != kExitOk) return rc;
    auto& frames = d.frames();
    const int w = frames.front().width(), h = frames.front().height();
    std::optional<PixelRect> area;
    if (int rc = ParseRect(ctx, cmd, args, w, h, area); rc != kExitOk) return rc;

    // Each edit: the document's clips into a workspace, the operation, the clips written back.
    if (sub == "copy") return CopyFrom(ctx, cmd, args, d, area);
    if (sub == "export") return ExportFrames(ctx, cmd, args, frames);
    if (sub == "repeat") return RepeatInto(ctx, cmd, args, d);
    if (sub == "delete") return DeleteInto(ctx, cmd, args, d, area);
    if (sub == "move") return MoveFramesInto(ctx, cmd, args, d, area);
    if (sub == "insert") return InsertInto(ctx, cmd, args, d);
    if (sub == "row-col-delete") return RowColDeleteInto(ctx, cmd, args, d, area);
    if (sub == "paste") return PasteInto(ctx, cmd, args, d, area);
    if (sub == "steps-paste") return StepsPasteInto(ctx, cmd, args, d, area);
    if (sub == "import") {
        // Pictures need the image plug-ins of a GUI application object (off screen here).
        const OffscreenGui gui;
        for (std::size_t i = 2; i < args.positionals().size(); ++i) {
            const std::string& file = args.positionals()[i];
            QImage image;
            if (auto readable = ReadFileBytes(file); !readable) return FailOpen(ctx, cmd, readable.failure());
            if (!image.load(QString::fromStdString(file))) {
                return Fail(ctx, cmd, file + ": " + Say(ctx, msg::cli::kNotReadablePicture));
            }
            if (frames.size() >= kMaxFrameCount) return Fail(ctx, cmd, FrameLimit(ctx));
            frames.push_back(FromImage(image, w, h));
        }
    }
    const std::size_t count = frames.size();  // the document's clips go to the writer
    if (int rc = d.Save(ctx, cmd); rc != kExitOk) return rc;
    Done(ctx, count);
    return kExitOk;
}

}  // namespace corv::cli

namespace corv::cli {

namespace {
// The options of one way of processing; the range, --rect and --clip every way takes.
const OptionScopes kColorProcessScopes = {
    {"color-process --replace", {"--replace"}},
    {"color-process --swap", {"--swap"}},
    {"color-process --shade", {"--shade", "--channels"}},
    {"color-process --clear-non-led", {"--clear-non-led", "--background"}},
    {"color-process --clear-by-frame", {"--clear-by-frame", "--background"}},
};
}  // namespace

int RunColorProcess(Context& ctx, const Args& args) {
    const std::string cmd = "color-process";
    if (args.positionals().size() != 1) return Usage(ctx, cmd, Say(ctx, msg::cli::kExactlyOneDocument));
    // Exactly one way of processing.
    const char* modes[] = {"--replace", "--swap", "--shade", "--clear-non-led", "--clear-by-frame"};
    int chosen = 0;
    for (const char* m : modes) chosen += args.Value(m) ? 1 : 0;
    if (chosen != 1) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kColourProcessNeedsOne));
    }
    std::string error;
    for (const char* m : modes) {
        if (args.Value(m) && !args.CheckScopes(kColorProcessScopes, {std::string("color-process ") + m}, error)) {
            return Usage(ctx, cmd, error);
        }
    }
    auto clipNo = args.Int("--clip", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    using Mode = ops::ColourProcessRequest::Mode;
    ops::ColourProcessRequest request;
    if (auto r = args.Value("--replace")) {
        request.mode = Mode::Replace;
        const auto parts = Split(*r, ',');
        if (parts.size() != 2 || !ParseColour(parts[0], request.from) || !ParseColour(parts[1], request.to)) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kReplaceTakesColours));
        }
    }
    if (auto o = args.Value("--swap")) {
        request.mode = Mode::Swap;
        const auto order = ChannelOrderNamed(*o);
        if (!order) return Usage(ctx, cmd, Say(ctx, msg::cli::kSwapChoices));
        request.order = *order;
    }
    if (args.Value("--shade")) {
        request.mode = Mode::Shade;
        const auto percent = args.Int("--shade", error);
        if (!error.empty()) return Usage(ctx, cmd, error);
        if (*percent < 0 || *percent > 65535) return OutOfRange(ctx, cmd, "--shade", 0, 65535);
        request.percent = static_cast<int>(*percent);
        request.red = request.green = request.blue = false;
        const std::string channels = args.Value("--channels").value_or("RGB");
        for (char ch : channels) {
            switch (std::toupper(static_cast<unsigned char>(ch))) {
                case 'R': request.red = true; break;
                case 'G': request.green = true; break;
                case 'B': request.blue = true; break;
                default:
                    return Usage(ctx, cmd, Say(ctx, msg::cli::kChannelsLetters));
            }
        }
    }
    Bgr background{};
    if (auto b = args.Value("--background"); b && !ParseColour(*b, background)) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kBackgroundTakesColour));
    }
    request.background = background;

    EditedDocument d;
    if (int rc = d.Load(ctx, cmd, args.positionals()[0], clipNo); rc != kExitOk) return rc;
    const std::size_t count = d.frames().size();
    const int w = d.frames().front().width(), h = d.frames().front().height();
    if (int rc = ParseRect(ctx, cmd, args, w, h, request.editArea); rc != kExitOk) return rc;
    std::size_t s = 0, e = 0;
    if (int rc = ParseRange(ctx, cmd, args, count, false, s, e); rc != kExitOk) return rc;
    request.start = static_cast<int>(s + 1);
    request.end = static_cast<int>(e);

    Workspace ws;
    if (auto file = args.Value("--clear-non-led")) {
        request.mode = Mode::ClearNonLed;
        HomeFiles home;
        Layout layout;
        if (int rc = LoadLayout(ctx, cmd, *file, home, layout); rc != kExitOk) return rc;
        ws.layout = std::move(layout);
    } else if (args.Value("--clear-by-frame")) {
        request.mode = Mode::ClearByFrame;
        auto n = args.Int("--clear-by-frame", error);
        if (!error.empty()) return Usage(ctx, cmd, error);
        if (*n < 1 || *n > static_cast<long long>(count)) {
            return OutOfRange(ctx, cmd, "--clear-by-frame", 1, static_cast<long long>(count));
        }
        request.maskFrame = static_cast<int>(*n);
    }
    d.MoveInto(ctx, ws);
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto processed = ops::ProcessColours(ws, request, prompt, ProgressFn());
    if (!processed) return Fail(ctx, cmd, processed.message());
    if (int rc = d.SaveFrom(ctx, cmd, ws); rc != kExitOk) return rc;
    ctx.out << Say(ctx, msg::cli::kFramesProcessed, {std::to_string(s + 1), std::to_string(e)}) << '\n';
    return kExitOk;
}

}  // namespace corv::cli

#include "content/Generators.h"

namespace corv::cli {

namespace {

// Integer options that set fields of a struct, each kept to its range.
template <class T>
struct IntField {
    const char* option;
    int T::*field;
    int low, high;
};
template <class T>
int IntFields(Context& ctx, const std::string& cmd, const Args& args, T& into, std::initializer_list<IntField<T>> fields) {
    std::string error;
    for (const auto& f : fields) {
        const auto v = args.Int(f.option, error);
        if (!error.empty()) return Usage(ctx, cmd, error);
        if (v && (*v < f.low || *v > f.high)) return OutOfRange(ctx, cmd, f.option, f.low, f.high);
        if (v) into.*(f.field) = static_cast<int>(*v);
    }
    return kExitOk;
}

}  // namespace

namespace {
// The particle values: a template of the home's library, then the KEY=VALUE list over it.
int ParticleArgs(Context& ctx, const std::string& cmd, const Args& args, ops::GenerateRequest& run) {
    const HomeFiles files;
    if (auto name = args.Value("--template")) {
        auto loaded = LoadParticleTemplate(files.home / kParticleLibraryName, *name);
        if (!loaded) {
            return Fail(ctx, cmd, Say(ctx, msg::cli::kNoParticleTemplate,
                                      {*name, (files.home / kParticleLibraryName).string()}));
        }
        run.particles = *loaded;
    }
    if (auto list = args.Value("--particle")) {
        using O = ParticleOptions;
        O& o = run.particles;
        for (const std::string& item : Split(*list, ',')) {
            const auto eq = item.find('=');
            const std::string key = item.substr(0, eq), value = eq == std::string::npos ? std::string() : item.substr(eq + 1);
            char* end = nullptr;
            const long number = std::strtol(value.c_str(), &end, 10);
            const bool isNumber = !value.empty() && *end == '\0' && number >= -100000 && number <= 100000;
            const int n = static_cast<int>(number);
            // A combo: one of its words, or a typed number.
            auto combo = [&](int which, std::initializer_list<const char*> words) {
                int i = 0;
                for (const char* w : words) {
                    if (value == w) {
                        o.combos[static_cast<std::size_t>(which)] = {i, 0};
                        return true;
                    }
                    ++i;
                }
                if (!isNumber) return false;
                o.combos[static_cast<std::size_t>(which)] = {-1, n};
                return true;
            };
            static const char* kRanges[] = {"min-vx", "max-vx", "min-vy", "max-vy", "min-vz", "max-vz"};
            static const char* kAccel[] = {"ax", "ay", "az"};
            bool ok = false;
            if (key == "x") ok = combo(O::kPosX, {"random", "middle"});
            else if (key == "y") ok = combo(O::kPosY, {"top", "middle", "bottom"});
            else if (key == "z") ok = combo(O::kPosZ, {"random"});
            else if (key == "vx") ok = combo(O::kSpeedX, {"random"});
            else if (key == "vy") ok = combo(O::kSpeedY, {"random", "sqrt"});
            else if (key == "vz") ok = combo(O::kSpeedZ, {"random"});
            else if (key == "wind") ok = combo(O::kWind, {"east", "west", "random", "not"}) && !isNumber;
            else if (key == "cycle" || key == "power") {
                ok = isNumber && n >= 0;
                if (ok) o.combos[key == "cycle" ? O::kCycle : O::kPower] = {-1, n};
            } else if (key == "send") {
                ok = isNumber && n >= 0;
                if (ok) o.sendSpeed = n;
            } else if (key == "throw") {
                ok = value == "0" || value == "1";
                if (ok) o.throwAbout = value == "1";
            } else {
                for (int i = 0; i < 6; ++i) {
                    if (key == kRanges[i]) ok = isNumber, o.ranges[static_cast<std::size_t>(i)] = n;
                }
                for (int i = 0; i < 3; ++i) {
                    if (key == kAccel[i]) ok = isNumber, o.accel[static_cast<std::size_t>(i)] = n;
                }
            }
            if (!ok) {
                return Usage(ctx, cmd, Say(ctx, msg::cli::kBadParticleValue, {item}));
            }
        }
    }
    const auto picture = args.Value("--particle-picture");
    const std::filesystem::path path = picture ? std::filesystem::path(*picture) : files.home / kParticlePictureName;
    if (picture || std::filesystem::exists(path)) {
        QImage image(QString::fromStdString(path.string()));
        if (image.isNull()) {
            return Fail(ctx, cmd, Say(ctx, msg::cli::kParticlePictureUnreadable, {path.string()}));
        }
        run.particlePicture = image;
    }
    return kExitOk;
}
}  // namespace

namespace {
// The picture-and-text values: the list (--files) or a text picture built from --text.
int PictureTextArgs(Context& ctx, const std::string& cmd, const Args& args, ops::GenerateRequest& run, Bgr background, int w,
                    int h) {
    PictureTextOptions& o = run.pictureText;
    std::string error;
    const auto size = args.Int("--size", error);
    const auto kind = args.Int("--kind", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (size && (*size < 1 || *size > 4096)) return OutOfRange(ctx, cmd, "--size", 1, 4096);
    if (kind && (*kind < 0 || *kind >= kTransitionKinds)) return OutOfRange(ctx, cmd, "--kind", 0, kTransitionKinds - 1);
    o.kind = static_cast<int>(kind.value_or(0));
    o.font = DefaultPictureTextFont(ctx.language != 3, static_cast<int>(size.value_or(std::max(h, 1))));
    if (auto face = args.Value("--font")) o.font.setFamily(QString::fromStdString(*face));
    const auto files = args.Value("--files");
    const auto text = args.Value("--text");
    if (files.has_value() == text.has_value()) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kPictureAndTextSource));
    }
    if (files) {
        for (const std::string& f : Split(*files, ',')) {
            if (!std::filesystem::is_regular_file(f)) return Fail(ctx, cmd, Say(ctx, msg::cli::kFileMissing, {f}));
            o.entries.emplace_back(f);
        }
        return kExitOk;
    }
    bool vertical = false;
    if (auto d = args.Value("--direction")) {
        if (*d == "vertical") vertical = true;
        else if (*d != "horizontal") return Usage(ctx, cmd, Say(ctx, msg::cli::kDirectionChoices));
    }
    Bgr ink{0, 0, 255};  // pure red, as the panel starts
    if (auto c = args.Value("--text-color"); c && !ParseColour(*c, ink)) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kTextColourTakesColour));
    }
    const QColor back(background.r, background.g, background.b);
    o.vertical = vertical;
    o.textPicture = BuildTextPicture(QString::fromStdString(*text), o.font, QColor(ink.r, ink.g, ink.b), back, QSize(w, h), vertical);
    return kExitOk;
}
}  // namespace

namespace {
// The options of one mode or style of the generators; the others (--mode, --style, the colours,
// --background, --rect, --clip, --cover, --seed) every mode takes. Toy bricks, the V shape and the
// scrolled text decide the length of their runs themselves; the step, recycle and "Romance:"
// (--render) belong to the modes that paint with them. Picture-and-text runs the list of
// --files or the picture of --text, each with options of its own.
const OptionScopes kGenerateScopes = {
    {"--mode moving", {"--frames", "--step", "--recycle"}},
    {"--mode moving --style 9", {"--lines"}},
    {"--mode moving --style 10", {"--lines"}},
    {"--mode symmetry", {"--frames", "--step", "--recycle"}},
    {"--mode interleaving", {"--frames"}},
    {"--mode diffusing", {"--frames", "--recycle"}},
    {"--mode rotation", {"--frames"}},
    {"--mode gradual-changing", {"--frames", "--render"}},
    {"--mode dropping", {"--frames", "--filter-number", "--render"}},
    {"--mode picture-and-text", {"--font", "--size", "--render"}},
    {"--mode picture-and-text --files", {"--files", "--frames", "--kind"}},
    {"--mode picture-and-text --text", {"--text", "--direction", "--text-color"}},
    {"--mode toy-bricks", {"--brick-width", "--brick-height", "--space", "--frequency", "--overpass", "--rebound", "--render"}},
    {"--mode sound-wave", {"--frames", "--render"}},
    {"--mode jalousie", {"--frames", "--block-number", "--render"}},
    {"--mode v-shape", {"--v-kind", "--steps-interval", "--color-pad-cycles"}},
    {"--mode other", {"--frames", "--step", "--render"}},
    {"--mode other --style 1", {"--template", "--particle", "--particle-picture"}},
    {"--mode other --style 2", {"--center-x", "--center-y", "--shape", "--ring-width", "--inward"}},
    {"--mode other --style 3", {"--angle", "--line-width", "--speed"}},
    {"--mode other --style 4", {"--min-size", "--max-size", "--blocks", "--keep"}},
};
}  // namespace

namespace {
// The values of the V-shape sub-panel and of the "Other" dialogs.
int ShapeArgs(Context& ctx, const std::string& cmd, const Args& args, ops::GenerateRequest& run) {
    std::string error;
    // The V-shape values.
    if (auto kind = args.Value("--v-kind")) {
        if (*kind == "move") run.vshape.kind = VShapeOptions::Move;
        else if (*kind == "turn") run.vshape.kind = VShapeOptions::Turn;
        else if (*kind == "vis-a-vis") run.vshape.kind = VShapeOptions::VisAVis;
        else return Usage(ctx, cmd, Say(ctx, msg::cli::kVKindChoices));
    }
    const auto interval = args.Int("--steps-interval", error);
    const auto cycles = args.Int("--color-pad-cycles", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (interval && (*interval < 1 || *interval > 1000)) return OutOfRange(ctx, cmd, "--steps-interval", 1, 1000);
    if (cycles && (*cycles < 1 || *cycles > 100)) return OutOfRange(ctx, cmd, "--color-pad-cycles", 1, 100);
    if (interval) run.vshape.interval = static_cast<int>(*interval);
    if (cycles) run.vshape.cycles = static_cast<int>(*cycles);
    // The values of the "Other" dialogs.
    if (int rc = IntFields<OtherOptions>(ctx, cmd, args, run.other,
                                          {{"--center-x", &OtherOptions::centreX, 0, 100},
                                           {"--center-y", &OtherOptions::centreY, 0, 100},
                                           {"--ring-width", &OtherOptions::ringWidth, 1, 1000},
                                           {"--angle", &OtherOptions::angle, 0, 359},
                                           {"--line-width", &OtherOptions::lineWidth, 1, 1000},
                                           {"--speed", &OtherOptions::speed, 0, 1000},
                                           {"--min-size", &OtherOptions::minSize, 1, 1000},
                                           {"--max-size", &OtherOptions::maxSize, 1, 1000},
                                           {"--blocks", &OtherOptions::blocksPerFrame, 0, 10000}});
        rc != kExitOk) {
        return rc;
    }
    if (auto shape = args.Value("--shape")) {
        if (*shape == "circle") run.other.shape = OtherOptions::Circle;
        else if (*shape == "square") run.other.shape = OtherOptions::Square;
        else if (*shape == "diamond") run.other.shape = OtherOptions::Diamond;
        else return Usage(ctx, cmd, Say(ctx, msg::cli::kShapeChoices));
    }
    run.other.outward = !args.Has("--inward");
    run.other.keep = args.Has("--keep");
    return kExitOk;
}
}  // namespace

int RunGenerate(Context& ctx, const Args& args) {
    const std::string cmd = "generate";
    if (args.positionals().size() != 1) return Usage(ctx, cmd, Say(ctx, msg::cli::kExactlyOneDocument));
    const auto modeText = args.Value("--mode");
    if (!modeText) return Usage(ctx, cmd, Say(ctx, msg::cli::kModeRequired));
    const auto mode = GeneratorModeFromKey(*modeText);
    if (!mode) {
        std::string names;
        for (int m = 0; m < kGeneratorModes; ++m) names += (m ? ", " : "") + GeneratorModeKey(static_cast<GeneratorMode>(m));
        return Usage(ctx, cmd, Say(ctx, msg::cli::kUnknownMode, {*modeText, names}));
    }
    std::string error;
    const auto style = args.Int("--style", error);
    auto frames = args.Int("--frames", error);
    const auto blocks = args.Int("--block-number", error);
    const auto filter = args.Int("--filter-number", error);
    const auto step = args.Int("--step", error);
    const auto seed = args.Int("--seed", error);
    auto clipNo = args.Int("--clip", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    const auto styles = GeneratorStyles(*mode);
    if (!style) return Usage(ctx, cmd, Say(ctx, msg::cli::kStyleRequired));
    if (*style < 1 || *style > static_cast<long long>(styles.size())) return OutOfRange(ctx, cmd, "--style", 1, static_cast<long long>(styles.size()));
    const std::string modeKind = "--mode " + GeneratorModeKey(*mode);
    std::vector<std::string> kinds = {modeKind, modeKind + " --style " + std::to_string(*style)};
    if (*mode == GeneratorMode::PictureAndText) {
        // The list or the text; with neither or both the values below say what is missing.
        const bool files = args.Has("--files"), text = args.Has("--text");
        if (files || !text) kinds.push_back(modeKind + " --files");
        if (text || !files) kinds.push_back(modeKind + " --text");
    }
    if (!args.CheckScopes(kGenerateScopes, kinds, error)) {
        return Usage(ctx, cmd, error);
    }
    if (!GeneratorAvailable(*mode, static_cast<int>(*style - 1))) {
        return Fail(ctx, cmd, Say(ctx, msg::cli::kStyleNotAvailable, {GeneratorModeName(*mode), styles[static_cast<std::size_t>(*style - 1)]}));
    }
    if (blocks) frames = blocks;
    if (filter) frames = filter;
    const long long count = frames.value_or(*mode == GeneratorMode::Jalousie ? 3 : 100);
    if (count < 0 || count > 100000) return OutOfRange(ctx, cmd, "--frames", 0, 100000);
    if (step && (*step < 1 || *step > 32767)) return OutOfRange(ctx, cmd, "--step", 1, 32767);
    int render = 0;
    if (auto r = args.Value("--render")) {
        render = -1;
        for (int i = 0; i < kRenderModes; ++i) {
            std::string key = RenderModeName(i);
            std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return c == ' ' ? '-' : static_cast<char>(std::tolower(c)); });
            if (key == *r) render = i;
        }
        if (render < 0) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kRenderChoices));
        }
    }
    Bgr background{};
    if (auto b = args.Value("--background"); b && !ParseColour(*b, background)) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kBackgroundTakesColour));
    }
    ColourList colours;
    if (int rc = ParseColourOption(ctx, cmd, args, colours); rc != kExitOk) return rc;
    if (colours.empty()) return Usage(ctx, cmd, Say(ctx, msg::cli::kColourListEmpty));

    EditedDocument d;
    if (int rc = d.Load(ctx, cmd, args.positionals()[0], clipNo); rc != kExitOk) return rc;
    auto& clipFrames = d.frames();
    const int w = clipFrames.front().width(), h = clipFrames.front().height();
    Layout layout;
    const bool ports = *mode == GeneratorMode::Moving && *style >= 9;
    if (ports) {
        const auto lines = args.Value("--lines");
        if (!lines) return Usage(ctx, cmd, Say(ctx, msg::cli::kPortStylesNeedLines));
        HomeFiles home;
        if (int rc = LoadLayout(ctx, cmd, *lines, home, layout); rc != kExitOk) return rc;
        if (layout.grid.cols > w || layout.grid.rows > h) {
            return Fail(ctx, cmd, Say(ctx, msg::cli::kLayoutLargerThanFrames,
                                      {std::to_string(layout.grid.cols), std::to_string(layout.grid.rows), std::to_string(w), std::to_string(h)}));
        }
    }
    ops::GenerateRequest run;
    run.mode = *mode;
    run.style = static_cast<int>(*style - 1);
    run.follows = clipFrames.size() - 1;  // after the last frame
    run.recycle = args.Has("--recycle");
    run.step = static_cast<int>(step.value_or(1));
    run.count = static_cast<int>(count);
    run.render = render;
    run.seed = static_cast<std::uint32_t>(seed.value_or(1));
    if (int rc = ParseRect(ctx, cmd, args, w, h, run.editArea); rc != kExitOk) return rc;
    // The toy-bricks values, named after their labels.
    if (int rc = IntFields<ToyBricksOptions>(ctx, cmd, args, run.bricks,
                                              {{"--brick-width", &ToyBricksOptions::width, 1, 1000},
                                               {"--brick-height", &ToyBricksOptions::height, 1, 1000},
                                               {"--space", &ToyBricksOptions::space, 0, 1000},
                                               {"--frequency", &ToyBricksOptions::frequency, 1, 1000},
                                               {"--overpass", &ToyBricksOptions::overpass, 0, 10000},
                                               {"--rebound", &ToyBricksOptions::rebound, 0, 1000}});
        rc != kExitOk) {
        return rc;
    }
    if (int rc = ShapeArgs(ctx, cmd, args, run); rc != kExitOk) return rc;
    const OffscreenGui gui;  // fonts and picture plug-ins for the picture styles
    if (*mode == GeneratorMode::Other && *style == 1) {
        if (int rc = ParticleArgs(ctx, cmd, args, run); rc != kExitOk) return rc;
    }
    if (*mode == GeneratorMode::PictureAndText) {
        if (int rc = PictureTextArgs(ctx, cmd, args, run, background, w, h); rc != kExitOk) return rc;
    }
    if (clipFrames.size() + static_cast<std::size_t>(count) > kMaxFrameCount) return Fail(ctx, cmd, FrameLimit(ctx));
    Workspace ws;
    d.MoveInto(ctx, ws);
    ws.colourPanel.list = std::move(colours);
    ws.app.backgroundColour = background;
    ws.app.coverMode = args.Has("--cover");
    if (ports) ws.layout = std::move(layout);
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto made = ops::Generate(ws, run, prompt, ProgressFn());
    if (!made) {
        const std::string& why = made.failure().reason.empty() ? made.message() : made.failure().reason;
        return Fail(ctx, cmd, Say(ctx, msg::cli::kGeneratorFailed, {why}));
    }
    if (int rc = d.SaveFrom(ctx, cmd, ws); rc != kExitOk) return rc;
    ctx.out << Say(ctx, msg::cli::kFramesGenerated,
                   {GeneratorModeName(*mode), styles[static_cast<std::size_t>(*style - 1)], std::to_string(made->made),
                    std::to_string(made->total)})
            << '\n';
    return kExitOk;
}


namespace {

void ListItem(const Context& ctx, const EffectItem& item, int depth, bool isMask) {
    std::ostream& out = ctx.out;
    std::ostringstream x, y, w, h;
    x << item.x;
    y << item.y;
    w << item.w;
    h << item.h;
    out << std::string(static_cast<std::size_t>(depth) * 2 + 2, ' ') << ItemKindText(ctx, item.kind())
        << Say(ctx, msg::cli::kItemPlace, {x.str(), y.str(), w.str(), h.str()});
    char colour[16];
    std::snprintf(colour, sizeof colour, "%06X", item.colour & 0xFFFFFFu);
    out << Say(ctx, msg::cli::kItemColourWidth, {colour, std::to_string(item.lineWidth)})
        << (item.fill ? Say(ctx, msg::cli::kItemFilled) : Say(ctx, msg::cli::kItemOutline));
    if (item.angle) out << Say(ctx, msg::cli::kItemAngle, {std::to_string(item.angle)});
    if (item.sourceClip >= 0) out << Say(ctx, msg::cli::kItemSourceClip, {std::to_string(item.sourceClip + 1)});
    if (item.kind() == kItemText) out << Say(ctx, msg::cli::kItemTextMark) << " \"" << static_cast<const TextItem&>(item).text << "\"";
    if (isMask) out << Say(ctx, msg::cli::kItemMaskMark);
    out << '\n';
    if (item.kind() == kItemGroup) {
        for (const auto& child : static_cast<const GroupItem&>(item).children) ListItem(ctx, *child, depth + 1, false);
    }
}

void JsonItem(Json& j, const EffectItem& item, bool isMask) {
    j.BeginObject().Key("kind").Value(ItemKindName(item.kind())).Key("x").Value(static_cast<double>(item.x))
        .Key("y").Value(static_cast<double>(item.y)).Key("w").Value(static_cast<double>(item.w))
        .Key("h").Value(static_cast<double>(item.h)).Key("colour").Value(static_cast<std::int64_t>(item.colour & 0xFFFFFFu))
        .Key("lineWidth").Value(static_cast<int>(item.lineWidth)).Key("fill").Value(item.fill != 0)
        .Key("angle").Value(static_cast<int>(item.angle)).Key("sourceClip").Value(static_cast<int>(item.sourceClip)).Key("mask").Value(isMask);
    if (item.kind() == kItemText) j.Key("text").Value(static_cast<const TextItem&>(item).text);
    if (item.kind() == kItemGroup) {
        j.Key("children").BeginArray();
        for (const auto& child : static_cast<const GroupItem&>(item).children) JsonItem(j, *child, false);
        j.EndArray();
    }
    j.EndObject();
}

}  // namespace

namespace {
// The options of each design subcommand, and of the kinds add makes.
const OptionScopes kDesignScopes = {
    {"design list", {"--json"}},
    {"design render", {"--frames", "--clip"}},
    {"design export", {"--player"}},
    {"design add", {"--box", "--color", "--angle", "--outline", "--layer", "--mask"}},
    {"design add text", {"--text"}},
    {"design add picture-area", {"--clip"}},
};
}  // namespace

namespace {

// design export: a file that plays the design by itself, the player with the document appended.
int DesignExport(Context& ctx, const std::string& cmd, const Args& args, EditedDocument& d, int canvasW, int canvasH) {
    const auto& pos = args.positionals();
    if (pos.size() != 3) return Usage(ctx, cmd, Say(ctx, msg::cli::kExportNeedsOut));
    const fs::path player = args.Value("--player").value_or((ProgramDir() / "corvantine-player").string());
    if (!fs::is_regular_file(player)) return Fail(ctx, cmd, Say(ctx, msg::cli::kPlayerMissing, {player.string()}));
    // Nothing is written over what the export reads: the document, the player.
    if (const auto input = OutputAmongInputs(pos[2], {d.path, player})) {
        return Fail(ctx, cmd, Say(ctx, msg::cli::kOutputSameAsInput, {pos[2], input->string()}));
    }
    if (const auto program = ReadFileBytes(player); !program) {
        return FailOpen(ctx, cmd, program.failure());
    } else if (!IsEffectPlayer(*program)) {
        return Fail(ctx, cmd, Say(ctx, msg::cli::kNotEffectPlayer, {player.string()}));
    }
    AppState app;
    FrameStore store(app);
    store.ReplaceAll(std::move(d.doc.clips));
    EffectList effects;
    for (auto& layer : d.doc.layers) effects.Append(std::move(layer));
    DocumentSource source;
    source.frames = &store;
    source.gridScaleX = d.doc.gridScaleX;
    source.gridScaleY = d.doc.gridScaleY;
    source.canvasWidth = static_cast<std::uint16_t>(canvasW);
    source.canvasHeight = static_cast<std::uint16_t>(canvasH);
    source.effects = &effects;
    source.musicPath = d.doc.musicPath;
    source.trailingBytes = d.doc.trailingBytes;
    if (auto exported = ExportEffectFile(player, pos[2], source, d.temp.path()); !exported) {
        return Fail(ctx, cmd, DocFailure(ctx, pos[2], exported.failure()));
    }
    ctx.out << pos[2] << '\n';
    return kExitOk;
}

// design add: a shape on a layer, for designs made from the shell: add KIND --box X,Y,W,H.
int DesignAdd(Context& ctx, const std::string& cmd, const Args& args, EditedDocument& d, int canvasW, int canvasH) {
    const auto& pos = args.positionals();
    std::string error;
    if (pos.size() != 3) return Usage(ctx, cmd, Say(ctx, msg::cli::kAddNeedsKind));
    int kind = 0;
    for (int k = 1; k <= 12; ++k) {
        std::string name = ItemKindName(k);
        std::replace(name.begin(), name.end(), ' ', '-');
        if (name == pos[2] && k != kItemGroup && k != kItemPicture) kind = k;
    }
    if (kind == 0) return Usage(ctx, cmd, Say(ctx, msg::cli::kAddKindChoices));
    const auto box = SplitComma(args.Value("--box").value_or("0,0,100,100"));
    float b[4] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        char* end = nullptr;
        b[i] = i < box.size() ? std::strtof(box[i].c_str(), &end) : 0;
        if (box.size() != 4 || !end || *end != '\0' || !std::isfinite(b[i]) || std::abs(b[i]) > 1e6f) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kBoxTakesRect));
        }
    }
    auto item = CreateItem(kind);
    item->x = b[0];
    item->y = b[1];
    item->w = b[2];
    item->h = b[3];
    Bgr c{0, 0, 255};
    if (auto colour = args.Value("--color"); colour && !ParseColour(*colour, c)) return Usage(ctx, cmd, Say(ctx, msg::cli::kColorTakesColour));
    item->colour = 0xFF000000u | (static_cast<std::uint32_t>(c.r) << 16) | (static_cast<std::uint32_t>(c.g) << 8) | c.b;
    if (auto a = args.Int("--angle", error); a) item->angle = static_cast<std::uint16_t>(((*a % 360) + 360) % 360);
    if (args.Has("--outline")) item->fill = 0;
    if (kind == kItemText) static_cast<TextItem&>(*item).text = args.Value("--text").value_or("Text");
    if (kind == kItemPictureArea) {
        item->sourceClip = static_cast<std::int16_t>(d.clip);
        item->sourceX = item->sourceY = 0;
        item->sourceW = item->sourceH = 0;  // the whole clip
    }
    if (!error.empty()) return Usage(ctx, cmd, error);
    const auto layerNo = args.Int("--layer", error);
    if (d.doc.layers.empty() || (layerNo && *layerNo > static_cast<long long>(d.doc.layers.size()))) {
        auto layer = std::make_unique<EffectLayer>();
        layer->name = LayerName(static_cast<int>(d.doc.layers.size()) + 1, ctx.language);
        d.doc.layers.push_back(std::move(layer));
    }
    const std::size_t at = layerNo ? static_cast<std::size_t>(std::clamp<long long>(*layerNo, 1, static_cast<long long>(d.doc.layers.size())) - 1)
                                   : d.doc.layers.size() - 1;
    EffectLayer& layer = *d.doc.layers[at];
    layer.items.push_back(std::move(item));
    if (args.Has("--mask")) layer.mask = layer.items.back().get();
    d.doc.hasTail = true;
    if (!d.doc.canvasWidth) d.doc.canvasWidth = static_cast<std::uint16_t>(canvasW);
    if (!d.doc.canvasHeight) d.doc.canvasHeight = static_cast<std::uint16_t>(canvasH);
    return d.Save(ctx, cmd);
}

}  // namespace

// corvantine-cli design DOC list|render|export|add
int RunDesign(Context& ctx, const Args& args) {
    const std::string cmd = "design";
    const auto& pos = args.positionals();
    if (pos.size() < 2) return Usage(ctx, cmd, Say(ctx, msg::cli::kDesignNeedsCommand));
    const std::string sub = pos[1];
    std::string error;
    if (sub == "list" || sub == "render" || sub == "export" || sub == "add") {
        std::vector<std::string> kinds = {"design " + sub};
        if (sub == "add" && pos.size() >= 3) kinds.push_back(kinds.front() + " " + pos[2]);
        if (!args.CheckScopes(kDesignScopes, kinds, error)) return Usage(ctx, cmd, error);
    }
    const auto frames = args.Int("--frames", error);
    const auto clipNo = args.Int("--clip", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    EditedDocument d;
    if (int rc = d.Load(ctx, cmd, pos[0], clipNo); rc != kExitOk) return rc;
    const int canvasW = d.doc.canvasWidth ? d.doc.canvasWidth : 800, canvasH = d.doc.canvasHeight ? d.doc.canvasHeight : 600;
    if (sub == "list") {
        if (pos.size() != 2) return Usage(ctx, cmd, Say(ctx, msg::cli::kListTakesNoNames));
        if (args.Has("--json")) {
            Json j;
            j.BeginObject().Key("canvas").BeginArray().Value(canvasW).Value(canvasH).EndArray().Key("music").Value(d.doc.musicLength > 0)
                .Key("layers").BeginArray();
            for (const auto& layer : d.doc.layers) {
                j.BeginObject().Key("name").Value(layer->name).Key("items").BeginArray();
                for (const auto& item : layer->items) JsonItem(j, *item, item.get() == layer->mask);
                j.EndArray().EndObject();
            }
            j.EndArray().EndObject();
            ctx.out << j.str() << '\n';
            return kExitOk;
        }
        ctx.out << Say(ctx, msg::cli::kCanvasSummary,
                       {std::to_string(canvasW), std::to_string(canvasH), std::to_string(d.doc.layers.size())})
                << (d.doc.musicLength ? Say(ctx, msg::cli::kMusicBytes, {std::to_string(d.doc.musicLength)}) : std::string())
                << '\n';
        for (std::size_t l = 0; l < d.doc.layers.size(); ++l) {
            const EffectLayer& layer = *d.doc.layers[l];
            ctx.out << l + 1 << ". " << layer.name << ": " << layer.items.size() << Say(ctx, msg::cli::kLayerItems) << '\n';
            for (const auto& item : layer.items) ListItem(ctx, *item, 0, item.get() == layer.mask);
        }
        return kExitOk;
    }
    if (sub == "render") {
        // The design played for N frames, the canvas scaled to the clip's frame size, after the clip's last frame.
        if (!frames) return Usage(ctx, cmd, Say(ctx, msg::cli::kRenderNeedsFrames));
        if (*frames < 1 || *frames > 100000) return OutOfRange(ctx, cmd, "--frames", 1, 100000);
        const OffscreenGui gui;
        auto& clipFrames = d.frames();
        if (clipFrames.size() + static_cast<std::size_t>(*frames) > kMaxFrameCount) return Fail(ctx, cmd, FrameLimit(ctx));
        AppState app;
        FrameStore sources(app);
        sources.ReplaceAll(d.doc.clips);  // the clips items show, as they were before the run
        EffectList effects;
        for (const auto& layer : d.doc.layers) effects.Append(std::make_unique<EffectLayer>(*layer));
        const int w = clipFrames.front().width(), h = clipFrames.front().height();
        for (long long t = 0; t < *frames; ++t) {
            const QImage canvas = RenderDesign(effects, QSize(canvasW, canvasH), DesignTime{&sources, static_cast<std::size_t>(t)});
            Frame f(w, h);
            ImageToFrame(canvas.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), f);
            clipFrames.push_back(std::move(f));
        }
        const std::size_t total = clipFrames.size();
        if (int rc = d.Save(ctx, cmd); rc != kExitOk) return rc;
        ctx.out << Say(ctx, msg::cli::kDesignFramesAppended,
                       {std::to_string(*frames), std::to_string(total)})
                << '\n';
        return kExitOk;
    }
    if (sub == "export") return DesignExport(ctx, cmd, args, d, canvasW, canvasH);
    if (sub == "add") return DesignAdd(ctx, cmd, args, d, canvasW, canvasH);
    return Usage(ctx, cmd, Say(ctx, msg::cli::kUnknownDesignCommand, {sub}));
}

}  // namespace corv::cli
