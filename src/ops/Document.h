#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>

#include "ops/Operation.h"

namespace corv::ops {

// The document operations of the File menu: open, save and "Supplemental". Like the window
// today they tell the prompt of a failure themselves (a warning, with the file and the
// system's reason below the program's text) and of what they found on the way (a header that
// disagrees with the first clip, line files taken from beside the document); the failure
// they return carries the same text for a caller without a prompt, and must not be shown
// again. A document packed as an archive is written by the save when "Compress" is set
// (ws.app.compress); there is no packing of its own.

// "Open": a plain document or an archive holding one. On success its clips, grid scales and
// (when it has them) canvas, layers and music replace the workspace's, and the frame history
// starts anew; on failure the workspace stays as it was.
struct OpenDocumentRequest {
    std::filesystem::path path;
};
struct OpenDocumentReply {
    std::filesystem::path documentPath;  // what Save writes: the document beside an archive
    bool fromArchive = false;            // the file was an archive
    int clips = 0;                       // the document's clips
    std::size_t frames = 0;              // the frames of its first (now current) clip
};
enum OpenDocumentRefusal {
    kOpenCannotRead = 1,  // the file, or the document in the archive, could not be read
    kOpenUnsupported,     // not a document of a version this program reads
    kOpenFailed,          // any other reason
};
Result<OpenDocumentReply> OpenDocument(Workspace& ws, const OpenDocumentRequest& request, Prompt& prompt,
                                       const ProgressFn& progress);

// "Save" / "Save As": the workspace's clips, view settings, design and music, and with
// "Compress" set an archive of the document beside it (same name, extension rar). The saved
// path becomes the workspace's document path.
struct SaveDocumentRequest {
    // None: the workspace's document path.
    std::optional<std::filesystem::path> path;
};
struct SaveDocumentReply {
    std::filesystem::path path;                    // the document written
    std::optional<std::filesystem::path> archive;  // the archive written beside it
};
enum SaveDocumentRefusal {
    kSaveNoPath = 1,  // no path given and the project was never saved (the window asks: Save As)
    kSaveFailed,      // the document or its archive could not be written
};
Result<SaveDocumentReply> SaveDocument(Workspace& ws, const SaveDocumentRequest& request, Prompt& prompt,
                                       const ProgressFn& progress);

// "Supplemental": frames first .. end - 1 (0-based, `end` exclusive) of the current clip
// appended to the one clip of an existing document of the same frame size; the document keeps
// everything else it holds. The workspace does not change.
struct AppendFramesRequest {
    std::filesystem::path target;
    std::size_t first = 0, end = 0;
};
struct AppendFramesReply {
    std::size_t appended = 0;  // the frames appended
};
enum AppendFramesRefusal {
    kAppendNoClip = 1,     // no current clip (nothing is shown)
    kAppendOutOfRange,     // the range is not frames of the clip
    kAppendCannotOpen,     // the target could not be opened
    kAppendUnsupported,    // the target is no document of one clip this program appends to
    kAppendSizeMismatch,   // the target's frames are of another size (given in the message)
    kAppendCannotWrite,    // the frames could not be written
    kAppendFailed,         // any other reason
};
Result<AppendFramesReply> AppendFrames(Workspace& ws, const AppendFramesRequest& request, Prompt& prompt,
                                       const ProgressFn& progress);

}  // namespace corv::ops
