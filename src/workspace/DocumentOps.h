#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "base/Progress.h"
#include "base/Prompt.h"
#include "base/Result.h"
#include "project/Document.h"
#include "project/NewDocument.h"
#include "workspace/Workspace.h"

namespace corv {

// Shows the "Setting size" dialog for the model; nullopt when the user cancels.
using SizeAsker = std::function<std::optional<FrameSize>(SizeDialogModel&)>;

// New document. The first one (at start-up) adds a clip of the configured frame size; later
// ones ask for a size and replace every clip by one clip of it (Cancel changes nothing).
Result<Done> OnNewDocument(Workspace& ws, const SizeAsker& askSize);

// Opens a plain or compressed document. On success the clips, grid scales and (when the file
// has them) canvas size, layers and music replace the project's; on failure the user is told
// why and the project stays as it was.
Result<Done> OnOpenDocument(Workspace& ws, Prompt& prompt, const std::filesystem::path& path,
                            const ProgressFn& progress = {});

// Clips whose stored line file no longer exists (the project folder was moved, or copied to
// another machine) take the line file of the same name beside the document when there is one:
// each such clip is reported through `prompt` and its new path is what the next save stores.
// Stored paths may come with either kind of separator. Returns how many clips changed.
int FindLineFilesBeside(std::vector<Clip>& clips, const std::filesystem::path& documentPath, const UiStrings& strings,
                        Prompt& prompt);

// Saves the project. With "Compress" set a RAR archive of the document is written beside it
// as well (same name, extension rar).
Result<Done> OnSaveDocument(Workspace& ws, Prompt& prompt, const std::filesystem::path& path,
                            const ProgressFn& progress = {});

// What a document of the workspace holds: its clips, view settings, design and music.
DocumentSource DocumentSourceOf(const Workspace& ws);

// The archive saved beside a document when "Compress" is set.
std::filesystem::path CompressedPathFor(const std::filesystem::path& documentPath);

// "Supplemental": appends frames start..end (1-based, inclusive) of the current clip to an
// existing document.
Result<Done> AppendFramesToFile(Workspace& ws, Prompt& prompt, const std::filesystem::path& target, long long start,
                                long long end, const ProgressFn& progress = {});

// The user's message for a document error.
std::string DocErrorText(DocError error, const UiStrings& strings);

}  // namespace corv
