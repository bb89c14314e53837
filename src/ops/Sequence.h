#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ops/Operation.h"
#include "seq/SequenceFile.h"

namespace corv::ops {

// "Export sequence": frames of a clip written as a sequence file (.fseq) of the channels the
// live output would send for them (net/ChannelLayout.h: lines in number order, each line's
// LEDs in wiring order, each LED's components in its lamp type's pin order, through the
// output level tables), through the workspace's layout and lamp types. The frames are turned
// into channels one at a time as they are written: no second copy of the clip is made.
//
// Without a network description the file holds the whole layout: every line in number order.
// With one, each controller it lists gets a file of its own lines' channels, named after the
// request's path with "-" and the controller's section before the extension ("show.fseq":
// "show-Controller1.fseq", "show-Controller2.fseq", ...); with `controller` N only the
// controller of section [ControllerN] is written, to the request's path itself. `sparse`
// marks a controller's channels with where they lie in the whole layout's channels (its
// lines' places there, runs of consecutive lines as one range), so that a player holding
// every controller's file can put them in one channel space. The universes of the
// description play no part. Every file is written whole before any takes its name: a
// failure leaves every target as it was.
struct SequenceExportRequest {
    std::filesystem::path path;
    int clip = -1;                   // 0-based; -1: the current clip
    std::size_t first = 0, end = 0;  // 0-based, `end` exclusive; end 0: to the clip's last frame
    int fps = 20;                    // version 2: kMinSequenceFps..kMaxSequenceFps; version 1 from 1
    int version = 2;                 // 1 or 2
    seq::Compression compression = seq::Compression::Zstd;  // version 1: None
    int level = 0;                   // 0: the compression's default (zstd 2, zlib 6)
    std::filesystem::path netFile;   // empty: the whole layout in one file
    int controller = 0;              // with a description: 0 every controller, N section [ControllerN]
    bool sparse = false;             // with a description only
    std::optional<std::uint64_t> uniqueId;  // none: the time of writing in microseconds
    // The media file the sequence names ("mf"); none: the workspace's music file's name, if any.
    std::optional<std::string> mediaFile;
};
struct SequenceExportFile {
    std::filesystem::path path;
    std::string section;  // the controller's section; empty for the whole layout
    std::uint32_t channels = 0;
    std::vector<seq::SparseRange> ranges;  // when sparse
};
struct SequenceExportReply {
    std::vector<SequenceExportFile> files;
    std::uint32_t frames = 0;
    std::uint16_t stepMs = 0;
    std::vector<std::string> warnings;  // the description's (told to the prompt too)
};
enum SequenceExportRefusal {
    kSeqExportNoClip = 1,         // no such clip, or a clip without frames
    kSeqExportOutOfRange,         // the range is not frames of the clip, or a bad fps, version or level
    kSeqExportNoLayout,           // the layout has no line
    kSeqExportNetFileUnreadable,  // the network description cannot be read
    kSeqExportBadNetFile,         // the network description is refused, or has no such controller
    kSeqExportNoChannels,         // the lines to write hold no LED, or too many channels
    kSeqExportBadOptions,         // sparse or a controller without a description, version 1 compressed
    kSeqExportCannotWrite,        // a file could not be written
};
inline constexpr int kMinSequenceFps = 4;  // a step of at most 255 ms
inline constexpr int kMaxSequenceFps = 1000;
// The step a frame rate gives (1000 / fps, rounded).
std::uint16_t SequenceStepMs(int fps);

Result<SequenceExportReply> ExportSequence(Workspace& ws, const SequenceExportRequest& request, Prompt& prompt,
                                           const ProgressFn& progress);

// "Import sequence": the frames of a sequence file turned back into pictures through the
// workspace's layout (the whole layout, as the export without a description lays it) and
// appended to a clip. Each channel goes to the frame byte its LED shows, through the inverse
// of its output level table: exact where the table gives every level once (gamma 1.0,
// brightness and balance 100 % give every byte as it is); where several bytes give one level
// the smallest of them, and a level no byte gives takes the byte of the nearest level. A
// sparse file's channels go where its ranges put them in the layout's channels. Pixels no
// channel reaches stay black. A file whose channels do not match the layout's is imported as
// far as both go, with a warning naming both counts.
//
// The frames are read one block at a time and made into new frames, which join the clip only
// when the whole file has been read: a refused file (cut short, damaged) leaves the workspace
// as it was.
struct SequenceImportRequest {
    std::filesystem::path path;
    int clip = -1;  // 0-based clip the frames are appended to; -1: the current clip
    // The workspace's clips replaced by one new clip of width x height (0: the layout's grid)
    // holding the file's frames, with the workspace's line file.
    bool newDocument = false;
    int width = 0, height = 0;
    // With newDocument: the new document written straight to this file instead (a few frames
    // held at a time, the file in place once whole); the workspace stays as it was.
    std::filesystem::path streamTo{};
};
struct SequenceImportReply {
    std::size_t frames = 0;  // the frames appended
    int clip = 0;            // 0-based
    int width = 0, height = 0;
    std::uint32_t fileChannels = 0;     // the channels the file reaches (its ranges' end when sparse)
    std::uint32_t layoutChannels = 0;
    std::uint16_t stepMs = 0;
    std::vector<std::string> warnings;  // told to the prompt too
    bool written = false;               // the new document is in place at streamTo
};
enum SequenceImportRefusal {
    kSeqImportCannotRead = 1,  // the file cannot be opened or read
    kSeqImportBadFile,         // not a sequence file, another version, or damaged / cut short
    kSeqImportNoClip,          // no such clip
    kSeqImportNoLayout,        // the layout has no line
    kSeqImportBadSize,         // a new clip's size outside 1..kMaxSide
    kSeqImportTooLarge,        // the frames would take more than half of the memory
    kSeqImportCannotWrite,     // the new document (streamTo) cannot be written: a document failure
};

Result<SequenceImportReply> ImportSequence(Workspace& ws, const SequenceImportRequest& request, Prompt& prompt,
                                           const ProgressFn& progress);

}  // namespace corv::ops
