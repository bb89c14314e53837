#include "ops/Document.h"

#include <initializer_list>
#include <string>

#include "formats/Archive.h"
#include "workspace/DocumentOps.h"
#include "workspace/Workspace.h"

namespace corv::ops {

namespace fs = std::filesystem;

namespace {

// The document error a message of the document functions was made of: its text, alone or
// followed by a line break and the file's reason; none for any other message.
std::optional<DocError> ErrorOfMessage(const std::string& message, const UiStrings& strings) {
    for (DocError e : {DocError::OpenFailed, DocError::Unsupported, DocError::SizeMismatch, DocError::WriteFailed}) {
        const std::string text = DocErrorText(e, strings);
        if (!text.empty() && (message == text || message.rfind(text + "\r\n", 0) == 0)) return e;
    }
    return std::nullopt;
}

}  // namespace

Result<OpenDocumentReply> OpenDocument(Workspace& ws, const OpenDocumentRequest& r, Prompt& prompt,
                                       const ProgressFn& progress) {
    using R = Result<OpenDocumentReply>;
    const Result<Done> opened = OnOpenDocument(ws, prompt, r.path, progress);
    if (!opened) {
        const auto error = ErrorOfMessage(opened.message(), ws.strings);
        const int code = error == DocError::OpenFailed    ? kOpenCannotRead
                         : error == DocError::Unsupported ? kOpenUnsupported
                                                          : kOpenFailed;
        return R::Fail(code, opened.message());
    }
    OpenDocumentReply reply;
    reply.documentPath = ws.documentPath;
    reply.fromArchive = IsRarFile(r.path);
    reply.clips = ws.frames.Count();
    reply.frames = ws.frames.HasCurrent() ? ws.frames.CurrentFrames().size() : 0;
    return reply;
}

Result<SaveDocumentReply> SaveDocument(Workspace& ws, const SaveDocumentRequest& r, Prompt& prompt,
                                       const ProgressFn& progress) {
    using R = Result<SaveDocumentReply>;
    const fs::path path = r.path.value_or(ws.documentPath);
    if (path.empty()) return R::Fail(kSaveNoPath, ws.strings.paramError);
    const Result<Done> saved = OnSaveDocument(ws, prompt, path, progress);
    if (!saved) return R::Fail(kSaveFailed, saved.message());
    SaveDocumentReply reply;
    reply.path = path;
    if (ws.app.compress) reply.archive = CompressedPathFor(path);
    return reply;
}

Result<AppendFramesReply> AppendFrames(Workspace& ws, const AppendFramesRequest& r, Prompt& prompt,
                                       const ProgressFn& progress) {
    using R = Result<AppendFramesReply>;
    if (!ws.frames.HasCurrent()) return R::Fail(kAppendNoClip, ws.strings.paramError);
    // The numbers of the range dialog: 1-based, inclusive.
    const long long start = static_cast<long long>(r.first) + 1, end = static_cast<long long>(r.end);
    const bool inClip = CheckFrameRange(start, end, ws.frames.CurrentFrames().size()) == 0;
    const Result<Done> appended = AppendFramesToFile(ws, prompt, r.target, start, end, progress);
    if (!appended) {
        if (!inClip) return R::Fail(kAppendOutOfRange, appended.message());
        int code = kAppendFailed;
        if (const auto error = ErrorOfMessage(appended.message(), ws.strings)) {
            switch (*error) {
                case DocError::OpenFailed: code = kAppendCannotOpen; break;
                case DocError::Unsupported: code = kAppendUnsupported; break;
                case DocError::SizeMismatch: code = kAppendSizeMismatch; break;
                case DocError::WriteFailed: code = kAppendCannotWrite; break;
                case DocError::None: break;
            }
        }
        return R::Fail(code, appended.message());
    }
    return AppendFramesReply{r.end - r.first};
}

}  // namespace corv::ops
