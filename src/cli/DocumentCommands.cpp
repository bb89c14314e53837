#include <filesystem>
#include <ostream>

#include "base/FileUtil.h"
#include "base/TempDir.h"
#include "cli/Cli.h"
#include "cli/Json.h"
#include "base/TerminalProgress.h"
#include "formats/Archive.h"
#include "lang/messages/CliMessages.h"
#include "lang/messages/CommonMessages.h"
#include "project/Document.h"
#include "formats/FrameCountScramble.h"
#include "project/NewDocument.h"
#include "workspace/DocumentOps.h"

namespace corv::cli {

namespace fs = std::filesystem;

namespace {

// Reads a document's structure without loading its frames or writing its music.
Result<Done> Probe(const fs::path& path, const TempDir& temp, LoadedDocument& doc) {
    ReadOptions options;
    options.tempDir = temp.path();
    options.loadFrames = false;
    options.extractMusic = false;
    return ReadDocument(path, options, doc);
}

}  // namespace

int WriteBack(Context& ctx, const std::string& cmd, const fs::path& path, const FrameStore& store, LoadedDocument& doc,
              const TempDir& temp) {
    EffectList effects;
    for (auto& layer : doc.layers) effects.Append(std::move(layer));
    DocumentSource source;
    source.frames = &store;
    source.gridScaleX = doc.gridScaleX;
    source.gridScaleY = doc.gridScaleY;
    source.canvasWidth = doc.canvasWidth;
    source.canvasHeight = doc.canvasHeight;
    source.effects = doc.hasTail ? &effects : nullptr;
    source.musicPath = doc.musicPath;
    source.trailingBytes = doc.trailingBytes;
    if (!doc.compressed) {
        const auto written = WriteDocument(path, source, TerminalProgress());
        return written ? kExitOk : Fail(ctx, cmd, DocFailure(ctx, path.string(), written.failure()));
    }
    // Written in the private folder and packed into an archive that then replaces the old one:
    // a failure at any step leaves the archive as it was.
    const fs::path plain = temp.File("edited-" + std::string(document::kEntryName));
    if (auto written = WriteDocument(plain, source); !written) {
        return Fail(ctx, cmd, DocFailure(ctx, path.string(), written.failure()));
    }
    if (auto packed = AddToArchive(path, plain, document::kEntryName, FindRarProgram(), TerminalProgress()); !packed) {
        return FailSave(ctx, cmd, packed.failure());
    }
    return kExitOk;
}

int RunNewProject(Context& ctx, const Args& args) {
    const std::string cmd = "new-project";
    if (args.positionals().size() != 1) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsOneOutputFile));
    }
    std::string error;
    auto width = args.Int("--width", error);
    auto height = args.Int("--height", error);
    auto frames = args.Int("--frames", error);
    if (!error.empty()) {
        return Usage(ctx, cmd, error);
    }
    if (!width || !height) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kWidthHeightRequired));
    }
    if (*width < 1 || *width > kMaxFrameSide || *height < 1 || *height > kMaxFrameSide) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kWidthHeightRange, {std::to_string(kMaxFrameSide)}));
    }
    const long long frameCount = frames.value_or(1);
    if (frameCount < 1 || frameCount > static_cast<long long>(kMaxFrameCount)) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kFramesRange, {std::to_string(kMaxFrameCount)}));
    }
    Bgr colour{};
    if (auto c = args.Value("--color"); c && !ParseColour(*c, colour)) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kColorFormat, {*c}));
    }
    AppState app;
    app.backgroundColour = colour;
    FrameStore store(app);
    store.AddClip(static_cast<int>(*width), static_cast<int>(*height));
    auto& clipFrames = store.CurrentFrames();
    clipFrames.reserve(static_cast<std::size_t>(frameCount));
    // Every frame shows the same pixels: they share one buffer, so the memory taken does not
    // grow with the frame count (the writer streams the frames to the file).
    for (long long i = 1; i < frameCount; ++i) {
        clipFrames.push_back(clipFrames.front().SharedView());
    }
    DocumentSource source;
    source.frames = &store;
    if (auto written = WriteDocument(args.positionals()[0], source, TerminalProgress()); !written) {
        return Fail(ctx, cmd, DocFailure(ctx, args.positionals()[0], written.failure()));
    }
    return kExitOk;
}

int InfoDocument(Context& ctx, const fs::path& path, bool json) {
    TempDir temp;
    LoadedDocument doc;
    if (auto read = Probe(path, temp, doc); !read) {
        return Fail(ctx, "info", DocFailure(ctx, path.string(), read.failure()));
    }
    WarnHeaderCopy(ctx, "info", path.string(), doc);
    TakeLineFilesBeside(ctx, "info", path, doc);
    if (json) {
        Json j;
        j.BeginObject().Key("file").Value(path.string()).Key("type").Value("document");
        j.Key("version").Value(static_cast<int>(doc.version)).Key("compressed").Value(doc.compressed);
        j.Key("gridScale").BeginArray().Value(static_cast<int>(doc.gridScaleX)).Value(static_cast<int>(doc.gridScaleY)).EndArray();
        j.Key("clips").BeginArray();
        for (std::size_t i = 0; i < doc.clips.size(); ++i) {
            const Clip& c = doc.clips[i];
            j.BeginObject().Key("width").Value(c.width).Key("height").Value(c.height);
            j.Key("frames").Value(doc.frameCounts[i]).Key("lineFile").Value(c.lineFilePath).EndObject();
        }
        j.EndArray().Key("design").Value(doc.hasTail);
        j.Key("canvas").BeginArray().Value(static_cast<int>(doc.canvasWidth)).Value(static_cast<int>(doc.canvasHeight)).EndArray();
        j.Key("layers").BeginArray();
        for (const auto& layer : doc.layers) {
            j.BeginObject().Key("name").Value(layer->name).Key("items").Value(static_cast<std::uint64_t>(layer->items.size()));
            j.Key("kinds").BeginArray();
            for (const auto& item : layer->items) {
                j.Value(static_cast<int>(item->kind()));
            }
            j.EndArray().Key("mask").Value(layer->MaskPosition()).EndObject();
        }
        j.EndArray().Key("musicBytes").Value(doc.musicLength).EndObject();
        ctx.out << j.str() << '\n';
        return kExitOk;
    }
    ctx.out << Label(ctx, msg::cli::kFileLabel, 13) << path.string() << '\n';
    ctx.out << Label(ctx, msg::cli::kTypeLabel, 13) << Say(ctx, msg::cli::kProjectDocument)
            << (doc.compressed ? Say(ctx, msg::cli::kCompressedNote) : std::string()) << '\n';
    ctx.out << Label(ctx, msg::cli::kVersionLabel, 13) << static_cast<int>(doc.version)
            << (doc.version == document::kVersionPlainCounts ? Say(ctx, msg::cli::kPlainCountsNote) : std::string())
            << '\n';
    ctx.out << Label(ctx, msg::cli::kGridScaleLabel, 13) << doc.gridScaleX << " x " << doc.gridScaleY << '\n';
    ctx.out << Label(ctx, msg::cli::kClipsLabel, 13) << doc.clips.size() << '\n';
    for (std::size_t i = 0; i < doc.clips.size(); ++i) {
        const Clip& c = doc.clips[i];
        ctx.out << "  " << Format(ctx.strings.sceneFormat.c_str(), static_cast<int>(i + 1)) << ": " << c.width
                << " x " << c.height << ", " << Say(ctx, msg::cli::kFrameCount, {std::to_string(doc.frameCounts[i])});
        if (!c.lineFilePath.empty()) {
            ctx.out << Say(ctx, msg::cli::kLineFileNote, {c.lineFilePath});
        }
        ctx.out << '\n';
    }
    if (!doc.hasTail) {
        ctx.out << Label(ctx, msg::cli::kDesignLabel, 13) << Say(ctx, msg::cli::kNoDesign) << '\n';
        return kExitOk;
    }
    ctx.out << Label(ctx, msg::cli::kCanvasLabel, 13) << doc.canvasWidth << " x " << doc.canvasHeight << '\n';
    ctx.out << Label(ctx, msg::cli::kLayersLabel, 13) << doc.layers.size() << '\n';
    for (const auto& layer : doc.layers) {
        ctx.out << "  \"" << layer->name << "\": " << Say(ctx, msg::cli::kItemCount, {std::to_string(layer->items.size())});
        for (std::size_t i = 0; i < layer->items.size(); ++i) {
            ctx.out << (i == 0 ? " (" : ", ") << ItemKindText(ctx, layer->items[i]->kind());
        }
        ctx.out << (layer->items.empty() ? "" : ")");
        if (layer->MaskPosition() > 0) {
            ctx.out << Say(ctx, msg::cli::kMaskItem, {std::to_string(layer->MaskPosition())});
        }
        ctx.out << '\n';
    }
    ctx.out << Label(ctx, msg::cli::kMusicLabel, 13)
            << (doc.musicLength ? Say(ctx, msg::cli::kByteCount, {std::to_string(doc.musicLength)}) : Say(ctx, msg::cli::kNone)) << '\n';
    return kExitOk;
}

int RunAppendFrames(Context& ctx, const Args& args) {
    const std::string cmd = "append-frames";
    if (args.positionals().size() != 2) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsSourceAndTarget));
    }
    std::string error;
    auto first = args.Int("--first", error);
    auto last = args.Int("--last", error);
    if (!error.empty()) {
        return Usage(ctx, cmd, error);
    }
    if (!first || !last) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kFirstLastRequired));
    }
    TempDir temp;
    LoadedDocument source;
    ReadOptions options;
    options.tempDir = temp.path();
    options.extractMusic = false;
    if (auto read = ReadDocument(args.positionals()[0], options, source); !read) {
        return Fail(ctx, cmd, DocFailure(ctx, args.positionals()[0], read.failure()));
    }
    const Clip& clip = source.clips.front();
    if (CheckFrameRange(*first, *last, clip.frames.size()) != 0) {
        return Usage(ctx, cmd, FrameRangeText(ctx, clip.frames.size()));
    }
    AppendResult r = AppendFrames(args.positionals()[1], clip, static_cast<std::size_t>(*first - 1),
                                  static_cast<std::size_t>(*last - 1), TerminalProgress());
    if (r.headerCopyDiffers) {
        Warn(ctx, cmd, Say(ctx, msg::cli::kHeaderClipSizeDiffers, {args.positionals()[1]}));
    }
    if (r.error != DocError::None) {
        std::string text = DocFailure(ctx, args.positionals()[1], DocumentFailure(r.error, r.reason));
        if (r.error == DocError::SizeMismatch) {
            text += "\r\n" + Format(ctx.strings.widthHeight.c_str(), static_cast<int>(r.fileWidth),
                                    static_cast<int>(r.fileHeight));
        }
        return Fail(ctx, cmd, text);
    }
    ctx.out << r.newFrameCount << '\n';
    return kExitOk;
}

int RunPack(Context& ctx, const Args& args) {
    const std::string cmd = "pack";
    if (args.positionals().size() != 2) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsCvnAndRar));
    }
    const fs::path in = args.positionals()[0];
    TempDir temp;
    LoadedDocument doc;
    Result<Done> read = Probe(in, temp, doc);
    if (read && doc.compressed) {
        read = DocumentFailure(DocError::Unsupported);  // already an archive
    }
    if (!read) {
        return Fail(ctx, cmd, DocFailure(ctx, in.string(), read.failure()));
    }
    const auto program = args.Has("--builtin") ? std::nullopt : FindRarProgram();
    if (auto packed = AddToArchive(args.positionals()[1], in, document::kEntryName, program, TerminalProgress()); !packed) {
        return FailSave(ctx, cmd, packed.failure());
    }
    return kExitOk;
}

int RunUnpack(Context& ctx, const Args& args) {
    const std::string cmd = "unpack";
    if (args.positionals().size() != 2) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsRarAndCvn));
    }
    TempDir temp;
    ExtractResult x = ExtractArchive(args.positionals()[0], temp.path(), TerminalProgress());
    const fs::path extracted = temp.File(document::kEntryName);
    std::error_code ec;
    if (!x.ok) {
        return Fail(ctx, cmd, Say(ctx, msg::common::kOpenFailed) + " " + args.positionals()[0] + ": " +
                                  Reason(ctx, x.error));
    }
    if (!fs::is_regular_file(extracted, ec)) {
        return Fail(ctx, cmd, Say(ctx, msg::common::kOpenFailed) + " " + args.positionals()[0] + ": " +
                                  Say(ctx, msg::cli::kNoEntryInArchive, {document::kEntryName}));
    }
    LoadedDocument doc;
    if (auto read = Probe(extracted, temp, doc); !read) {
        return Fail(ctx, cmd, DocFailure(ctx, args.positionals()[0], read.failure()));
    }
    auto bytes = ReadFileBytes(extracted);
    if (!bytes) {
        return FailSave(ctx, cmd, bytes.failure());
    }
    if (auto written = WriteFileAtomic(args.positionals()[1], *bytes); !written) {
        return FailSave(ctx, cmd, written.failure());
    }
    return kExitOk;
}

}  // namespace corv::cli
