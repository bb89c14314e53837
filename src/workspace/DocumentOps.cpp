#include "workspace/DocumentOps.h"

#include "base/FileUtil.h"

#include <cctype>

#include "formats/Archive.h"

namespace corv {

namespace fs = std::filesystem;

std::string DocErrorText(DocError error, const UiStrings& strings) {
    switch (error) {
        case DocError::None:
            return {};
        case DocError::OpenFailed:
            return texts::kOpenFileFail;
        case DocError::Unsupported:
            return strings.badFileVersion;
        case DocError::WriteFailed:
            return texts::kSaveFileFail;
        case DocError::SizeMismatch:
            return strings.paramError;
    }
    return {};
}

namespace {

// The program's text, and below it the file and the system's reason where a file could not be
// opened or written.
std::string WithReason(const std::string& text, DocError error, const std::string& reason) {
    if ((error == DocError::OpenFailed || error == DocError::WriteFailed) && !reason.empty()) {
        return text + "\r\n" + reason;
    }
    return text;
}

}  // namespace

Result<Done> OnNewDocument(Workspace& ws, const SizeAsker& askSize) {
    if (ws.frames.Count() == 0) {
        ws.frames.AddClip(ws.app.frameWidth, ws.app.frameHeight);
        ws.documentPath.clear();
        ws.design.trailingBytes.clear();
        return Done{};
    }
    const FrameSize preset = NewDocumentPreset(0, 0, ws.app.frameWidth, ws.app.frameHeight);
    SizeDialogModel model(preset.width, preset.height);
    std::optional<FrameSize> size = askSize ? askSize(model) : model.Accept();
    if (!size) {
        return Done{};  // Cancel: nothing changes
    }
    ws.frames.DeleteClip(-1);
    ws.frames.AddClip(size->width, size->height);
    ws.documentPath.clear();
    ws.frameUndo.Reset();
    ws.design.trailingBytes.clear();  // the unknown records of the file that was open
    return Done{};
}

int FindLineFilesBeside(std::vector<Clip>& clips, const fs::path& documentPath, const UiStrings& strings, Prompt& prompt) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(documentPath, ec);
    const fs::path folder = (ec ? documentPath : absolute).lexically_normal().parent_path();
    int changed = 0;
    for (std::size_t i = 0; i < clips.size(); ++i) {
        Clip& clip = clips[i];
        const std::string stored = clip.lineFilePath;
        if (stored.empty() || fs::is_regular_file(stored, ec)) continue;
        const std::size_t cut = stored.find_last_of("/\\");
        const std::string name = cut == std::string::npos ? stored : stored.substr(cut + 1);
        if (name.empty() || name == "." || name == "..") continue;
        const fs::path beside = folder / name;
        // A path the clip's buffer cannot hold whole is not stored.
        if (!fs::is_regular_file(beside, ec) || beside.string().size() >= Clip::kLineFilePathBuffer) continue;
        clip.lineFilePath = beside.string();
        prompt.Inform(Format(strings.lineFileBeside.c_str(), static_cast<int>(i + 1), stored.c_str(), clip.lineFilePath.c_str()),
                      PromptIcon::Information);
        ++changed;
    }
    return changed;
}

Result<Done> OnOpenDocument(Workspace& ws, Prompt& prompt, const fs::path& path, const ProgressFn& progress) {
    LoadedDocument doc;
    ReadOptions options;
    options.tempDir = ws.app.tempDir;
    options.progress = progress;
    if (auto read = ReadDocument(path, options, doc); !read) {
        const DocError error = DocErrorOf(read);
        const std::string text = WithReason(DocErrorText(error, ws.strings), error, read.failure().reason);
        prompt.Inform(text, PromptIcon::Warning);
        return Failure{0, text, {}, {}};
    }
    if (!doc.clips.empty() && (doc.headerWidth != doc.clips[0].width || doc.headerHeight != doc.clips[0].height)) {
        prompt.Inform(Format(ws.strings.headerCopyDiffers.c_str(), int{doc.headerWidth}, int{doc.headerHeight},
                             static_cast<int>(doc.clips[0].width), static_cast<int>(doc.clips[0].height)),
                      PromptIcon::Warning);
    }
    FindLineFilesBeside(doc.clips, path, ws.strings, prompt);
    ws.frameUndo.Reset();  // the history belongs to the project that goes away
    ws.frameView.gridScaleX = doc.gridScaleX;
    ws.frameView.gridScaleY = doc.gridScaleY;
    if (doc.hasTail) {
        ws.effects.Clear();
        for (auto& layer : doc.layers) {
            ws.effects.Append(std::move(layer));
        }
        ws.design.canvasWidth = doc.canvasWidth;
        ws.design.canvasHeight = doc.canvasHeight;
        // A document without music must not inherit the previous document's.
        ws.design.musicPath = doc.musicPath;
    }
    ws.design.trailingBytes = std::move(doc.trailingBytes);
    ws.frames.ReplaceAll(std::move(doc.clips));
    // An archive is never overwritten with a plain document: Save writes the .cvn beside it.
    ws.documentPath = doc.compressed ? fs::path(path).replace_extension(".cvn") : path;
    return Done{};
}

fs::path CompressedPathFor(const fs::path& documentPath) {
    std::string ext = documentPath.extension().string();
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    fs::path archive = documentPath;
    if (ext == ".cvn") {
        archive.replace_extension(".rar");
    } else {
        archive += ".rar";
    }
    return archive;
}

DocumentSource DocumentSourceOf(const Workspace& ws) {
    DocumentSource source;
    source.frames = &ws.frames;
    source.gridScaleX = ws.frameView.gridScaleX;
    source.gridScaleY = ws.frameView.gridScaleY;
    source.canvasWidth = ws.design.canvasWidth;
    source.canvasHeight = ws.design.canvasHeight;
    source.effects = &ws.effects;
    source.musicPath = ws.design.musicPath;
    source.trailingBytes = ws.design.trailingBytes;
    return source;
}

Result<Done> OnSaveDocument(Workspace& ws, Prompt& prompt, const fs::path& path, const ProgressFn& progress) {
    Result<Done> saved = WriteDocument(path, DocumentSourceOf(ws), progress);
    if (saved && ws.app.compress) {
        saved = AddToArchive(CompressedPathFor(path), path, document::kEntryName, FindRarProgram());
    }
    if (!saved) {
        const std::string text = WithReason(texts::kSaveFileFail, DocError::WriteFailed, saved.failure().reason);
        prompt.Inform(text, PromptIcon::Warning);
        return Failure{0, text, {}, {}};
    }
    ws.documentPath = path;
    return Done{};
}

Result<Done> AppendFramesToFile(Workspace& ws, Prompt& prompt, const fs::path& target, long long start, long long end,
                                const ProgressFn& progress) {
    if (!ws.frames.HasCurrent()) {
        return Failure{0, ws.strings.paramError, {}, {}};
    }
    const Clip& clip = ws.frames.CurrentClip();
    if (CheckFrameRange(start, end, clip.frames.size()) != 0) {
        prompt.Inform(ws.strings.paramError, PromptIcon::Warning);
        return Failure{0, ws.strings.paramError, {}, {}};
    }
    AppendResult r = AppendFrames(target, clip, static_cast<std::size_t>(start - 1), static_cast<std::size_t>(end - 1),
                                  progress);
    if (r.error == DocError::None) {
        return Done{};
    }
    std::string text = WithReason(DocErrorText(r.error, ws.strings), r.error, r.reason);
    if (r.error == DocError::SizeMismatch) {
        text += "\r\n" + Format(ws.strings.widthHeight.c_str(), static_cast<int>(r.fileWidth),
                                static_cast<int>(r.fileHeight));
    }
    prompt.Inform(text, PromptIcon::Warning);
    return Failure{0, text, {}, {}};
}

}  // namespace corv
