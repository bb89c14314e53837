#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "ops/Operation.h"
#include "project/FrameRange.h"

namespace corv::ops {

// The frame operations of the current clip: what the Edit menu of the frame window and
// `corvantine-cli frames` do.

// "Insert": one blank frame in the background colour, recorded in the frame history.
struct InsertFrameRequest {
    // The new frame follows this many frames of the clip (0 puts it first); none: it follows
    // the current frame.
    std::optional<std::size_t> after;
};
struct InsertFrameReply {
    std::size_t at = 0;  // the new frame's index
};
enum InsertFrameRefusal { kInsertNoClip = 1, kInsertOutOfRange, kInsertNoSize };
Result<InsertFrameReply> InsertFrame(Workspace& ws, const InsertFrameRequest& request, Prompt& prompt,
                                     const ProgressFn& progress);

// The range operations below take frames first .. end - 1 of the current clip (0-based, `end`
// exclusive, as the engine's), the rectangle worked on (picture coordinates; none: the whole
// frame) and the colour freed pixels and new frames take (none: the workspace's background).
// None of them shows its refusal: the caller does. No clip and a range outside the clip are
// refused with the parameter message.

// What an edit of the clip's frames leaves: the frame the window shows and redraws from
// (0-based, within the clip) and the clip's frame count.
struct FrameEditReply {
    std::size_t last = 0;
    std::size_t count = 0;
};

// "Copy": the range cut to the rectangle, as a block for the clipboard (or a file). The clip
// does not change.
struct CopyFramesRequest {
    std::size_t first = 0, end = 0;
    std::optional<PixelRect> editArea;
};
struct CopyFramesReply {
    FrameBlock block;
};
enum CopyFramesRefusal {
    kCopyNoClip = 1,
    kCopyOutOfRange,
    kCopyTooMany,  // more frames than a block holds (kMaxBlockFrames)
};
Result<CopyFramesReply> CopyFrames(Workspace& ws, const CopyFramesRequest& request, Prompt& prompt,
                                   const ProgressFn& progress);

// "Cut": the range leaves the clip for a block (with a rectangle: the rectangles do, and take
// the background). One undo step. Without a rectangle the block's pictures share their pixels
// with the frames the history keeps: encode the block before the history changes again.
struct CutFramesRequest {
    std::size_t first = 0, end = 0;
    std::optional<PixelRect> editArea;
    std::optional<Bgr> background;
};
struct CutFramesReply {
    FrameBlock block;
    std::size_t last = 0;   // the frame the window shows (where the range began)
    std::size_t count = 0;  // the clip's frames now
};
enum CutFramesRefusal { kCutNoClip = 1, kCutOutOfRange, kCutTooMany };
Result<CutFramesReply> CutFrames(Workspace& ws, const CutFramesRequest& request, Prompt& prompt,
                                 const ProgressFn& progress);

// "Paste": a block placed as the options say (inserted after frame `options.place`, or laid
// over the frames from it). A block of another size than the rectangle is asked about
// (askPasteSize, through the prompt): anything but Yes refuses with kPasteDeclined and no
// message. One undo step.
struct PasteFramesRequest {
    FrameBlock block;
    PasteOptions options;
    std::optional<PixelRect> editArea;
    std::optional<Bgr> background;
};
enum PasteFramesRefusal {
    kPasteNoClip = 1,   // no clip, or a clip without frames
    kPasteOutOfRange,   // the place is not a frame of the clip
    kPasteClipFull,     // the clip would pass kMaxFrameCount frames
    kPasteDeclined,     // the size question was not answered Yes
};
Result<FrameEditReply> PasteFrames(Workspace& ws, const PasteFramesRequest& request, Prompt& prompt,
                                   const ProgressFn& progress);

// "Steps paste": the block staggered column by column (a block of the rectangle's height) or
// row by row (of its width) into new frames that follow `start` frames of the clip. Any other
// block is refused with "Size error!". One undo step.
struct StepsPasteRequest {
    FrameBlock block;
    std::size_t start = 0;  // the new frames are inserted at this index (0: first)
    int interval = 1;       // below 1 counts as 1
    bool backwards = false;
    std::optional<PixelRect> editArea;
    std::optional<Bgr> background;
};
enum StepsPasteRefusal {
    kStepsPasteNoClip = 1,  // no clip, or a clip without frames
    kStepsPasteOutOfRange,  // `start` passes the clip's frames
    kStepsPasteSizeError,   // the block fits neither way
};
Result<FrameEditReply> StepsPasteFrames(Workspace& ws, const StepsPasteRequest& request, Prompt& prompt,
                                        const ProgressFn& progress);

// "Repeat time of every frame": every frame of the range occurs times + 1 times in a row.
// One undo step.
struct RepeatFramesRequest {
    std::size_t first = 0, end = 0;
    int times = 1;
};
enum RepeatFramesRefusal {
    kRepeatNoClip = 1,
    kRepeatOutOfRange,
    kRepeatClipFull,  // the clip would pass kMaxFrameCount frames
};
Result<FrameEditReply> RepeatFrames(Workspace& ws, const RepeatFramesRequest& request, Prompt& prompt,
                                    const ProgressFn& progress);

// "Delete": the range leaves the clip, or with a spacing N (1..200) every frame after N kept
// ones; with a rectangle the rectangles take the background instead. One undo step.
struct DeleteFramesRequest {
    std::size_t first = 0, end = 0;
    int spacing = 0;
    std::optional<PixelRect> editArea;
    std::optional<Bgr> background;
};
enum DeleteFramesRefusal { kDeleteNoClip = 1, kDeleteOutOfRange };
Result<FrameEditReply> DeleteFrames(Workspace& ws, const DeleteFramesRequest& request, Prompt& prompt,
                                    const ProgressFn& progress);

// "Frame move": the rectangle of every frame of the range rotates by `ranks` pixels, one more
// each frame with increments. No undo step (as the frame processing dialog).
struct MoveFramesRequest {
    std::size_t first = 0, end = 0;
    MoveDirection direction = MoveDirection::Left;
    int ranks = 1;
    bool increments = false;
    std::optional<PixelRect> editArea;
};
enum MoveFramesRefusal { kMoveNoClip = 1, kMoveOutOfRange };
Result<FrameEditReply> MoveFrames(Workspace& ws, const MoveFramesRequest& request, Prompt& prompt,
                                  const ProgressFn& progress);

// "Row Col Delete": within the rectangle, keep rows and delete rows in turn from the top, then
// columns from the left; what stays closes up and the rest takes the background. One undo step.
struct RowColDeleteRequest {
    std::size_t first = 0, end = 0;
    int keepRows = 1, deleteRows = 1, keepCols = 1, deleteCols = 1;
    std::optional<PixelRect> editArea;
    std::optional<Bgr> background;
};
enum RowColDeleteRefusal { kRowColNoClip = 1, kRowColOutOfRange };
Result<FrameEditReply> RowColDeleteFrames(Workspace& ws, const RowColDeleteRequest& request, Prompt& prompt,
                                          const ProgressFn& progress);

// "Design switch": the n = end - first frames after the range become the steps of a
// transition from the range's last frame into them. Needs n frames after the range. One undo
// step.
struct DesignSwitchRequest {
    std::size_t first = 0, end = 0;
    int kind = 0;            // the transition, 0 .. kTransitionKinds - 1 (0: a random one)
    std::uint32_t seed = 0;  // 0: drawn from the clock
};
struct DesignSwitchReply {
    std::size_t last = 0;   // the last frame of the transition
    std::size_t count = 0;  // the clip's frames
    int kind = 0;           // the transition used
};
enum DesignSwitchRefusal {
    kSwitchNoClip = 1,
    kSwitchOutOfRange,
    kSwitchNoRoom,   // fewer frames after the range than it holds
    kSwitchBadKind,  // not a transition kind (0 .. kTransitionKinds - 1)
};
Result<DesignSwitchReply> DesignSwitchFrames(Workspace& ws, const DesignSwitchRequest& request, Prompt& prompt,
                                             const ProgressFn& progress);

}  // namespace corv::ops
