#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controller/Card.h"
#include "controller/Catalogue.h"
#include "controller/ChannelMap.h"
#include "controller/LedFile.h"
#include "media/Movie.h"
#include "ops/Operation.h"

namespace corv::ops {

// The controller files of the File menu and of `corvantine-cli output` and `import-led`: frames
// written through the layout in use (one file per master controller, each copied to a card),
// a file read back into frames, and the import window's sources opened as frames to write.

// "Output Controller File": frames first .. end - 1 (0-based, `end` exclusive) written through
// the workspace's layout, lamp types and random bytes, one file per master named from `path`
// ("show.led" gives show1.led, show2.led, ... with slave groups). After each file the card
// copy runs when the request asks for it.
struct ControllerOutputRequest {
    std::size_t first = 0, end = 0;
    // The frames written; none: the current clip's. A source without frames writes the
    // headers alone (first = end = 0).
    FrameSource* frames = nullptr;
    // The frames' size; none: the clip's first frame, or for a source the workspace's frame size.
    std::optional<FrameShape> shape;
    std::filesystem::path path;  // the chosen file
    int speed = 30;              // the simple writer's playback speed byte
    // None: the catalogue file of the application home.
    const ChipCatalogue* catalogue = nullptr;
    enum class Card { None, Copy } card = Card::Copy;
    // A file of the same name on the card: replaced only when the prompt answers Yes (false:
    // it is kept without a question).
    bool askBeforeReplacing = true;
    CardProbe probe;  // where the card is looked for
};
struct ControllerOutputReply {
    std::vector<std::filesystem::path> files;   // written, in master order
    std::vector<std::filesystem::path> copied;  // where files were copied on the card, in order
    // Each file written with its frames and bytes, and what the card search found (the detail
    // under "Output File finished!").
    OutputReport report;
    // "Write file fail! ..." for each master file that could not be written; empty when every
    // one was (then the caller shows the workspace's "Output File finished!").
    std::vector<std::string> failures;
    bool complete() const { return failures.empty(); }
};
enum ControllerOutputRefusal {
    kOutputNoClip = 1,  // no frames given and no current clip
    kOutputOutOfRange,  // the range is not frames of the clip or the source
    kOutputNoLayout,    // the layout has no line ("Not set LED project line! ")
};
// Why the request's frames cannot be written (no clip, a range outside the frames); none when
// they can. The window asks before it looks for a layout.
std::optional<Failure> ControllerOutputRefusalOf(const Workspace& ws, const ControllerOutputRequest& request);

Result<ControllerOutputReply> WriteControllerFiles(Workspace& ws, const ControllerOutputRequest& request, Prompt& prompt,
                                                   const ProgressFn& progress);

// "Import Controller file": the blocks of a master-slave file copied back through the
// workspace's layout into the frames after the current one, appending frames past the end; the
// current frame is the first afterwards and the frame history starts anew. What the file's
// header is warned of (wrong record checksums, a partial last block) is told to the prompt
// as warnings, before the reply or the refusal.
struct ControllerImportRequest {
    std::filesystem::path path;
};
struct ControllerImportReply {
    std::size_t blocks = 0;             // the frames read
    std::vector<std::string> warnings;  // what the prompt was told
};
enum ControllerImportRefusal {
    kLedImportNoClip = 1,  // no current clip
    kLedImportNoLayout,    // the layout has no line
    kLedImportRefused,     // the file cannot be opened or is not one this program reads back
};
Result<ControllerImportReply> ImportControllerFile(Workspace& ws, const ControllerImportRequest& request, Prompt& prompt,
                                                   const ProgressFn& progress);

// The import window's source: a movie or a project document opened as frames at the frame
// size, for the controller output (WriteControllerFiles with the reply's frames). The clip does
// not change; nothing is held whole in memory.
struct ImportFramesRequest {
    std::filesystem::path source;
    std::optional<int> width, height;  // none: the workspace's frame size
    Fit fit = Fit::Center;
    // False: a Flash movie is sampled 12 times a second of its playing time; true (and every
    // other source): every picture.
    bool highSpeed = true;
    int frames = 0;  // how many from the first; 0 (or more than there are): all
};
struct ImportFramesReply {
    std::unique_ptr<FrameSource> frames;
    std::size_t count = 0;  // the frames the source offers
    std::size_t end = 0;    // the frames to take: the first `end` of them
    FrameShape shape;       // the frame size they come at
};
enum ImportFramesRefusal {
    kImportNoSource = 1,  // no file given
    kImportUnreadable,    // the file cannot be opened as frames (the message: the file, then why)
};
Result<ImportFramesReply> ImportFrames(Workspace& ws, const ImportFramesRequest& request, Prompt& prompt,
                                       const ProgressFn& progress);

}  // namespace corv::ops
