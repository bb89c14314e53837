#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "base/SavedState.h"
#include "project/Frame.h"

namespace corv {

// The frame view's history: three undo and three redo steps over the current clip's frames.
// Frames that leave the clip (removed, or inserted and then undone) are moved into the step,
// never copied, so cutting half of a large clip and undoing it costs no pixel copy. Steps of
// frames changed in place keep copies of the frames before the change.
//
// Kinds: 0 frames were inserted; 1 frames were removed; 2 and 3 frames were changed in place;
// 4 every frame of a run was repeated; 5 every n-th frame of a run was removed.
class FrameUndo {
public:
    static constexpr std::size_t kDepth = 3;
    // Steps whose copies would take more pixels than this are not kept (both stacks are
    // emptied instead): width x height x count above 40,000,000.
    static constexpr std::uint64_t kMaxCopiedPixels = 40000000;

    enum Kind : std::uint8_t { kInserted = 0, kRemoved = 1, kChanged = 2, kChangedOther = 3, kRepeated = 4, kThinned = 5 };

    // The general entry for frame producers, called before they change the clip:
    //   kind 0: `count` frames will be inserted at `index` (undo takes them out again);
    //   kind 1: frames index .. index + count - 1 will be removed (copies are kept);
    //   kinds 2, 3, 4: frames index .. index + count - 1 will change in place;
    //   kind 5: in place, `count` packing an offset in its top 8 bits and an end in its low 24
    //   bits: frames index + offset .. index + end - 1 will change.
    // Copies above the size limit empty both stacks instead.
    void BeginUndo(const std::vector<Frame>& frames, int kind, std::size_t index, std::uint32_t count);

    // Kind 0, after the insertion: frames index .. index + count - 1 are the inserted ones.
    void RecordInserted(const std::vector<Frame>& frames, std::size_t index, std::size_t count);
    // Kinds 2 and 3, before the change: copies of frames index .. index + count - 1.
    // False when the copies were too large (both stacks were emptied, no step was kept);
    // `limited` false keeps the step whatever its size.
    bool RecordChange(const std::vector<Frame>& frames, std::size_t index, std::size_t count, Kind kind = kChanged,
                      bool limited = true);
    // The change just recorded also appended frames from..from + count - 1 at the clip's end:
    // undoing the step takes them out again, redoing puts them back.
    void AddAppendedTail(std::size_t from, std::size_t count);

    // Operations that take frames out of the clip do it through these, which move the frames
    // into the step. Kind 1: removes frames index .. index + count - 1.
    void Remove(std::vector<Frame>& frames, std::size_t index, std::size_t count);
    // Kind 5: removes the frames at the given ascending positions.
    void RemoveAt(std::vector<Frame>& frames, const std::vector<std::size_t>& positions);
    // The newest step (a removal) emptied the clip, which got a stand-in frame as its one frame:
    // undoing the step takes the placeholder out again, redoing it puts it back.
    void MarkPlaceholder();
    // Kind 4, after the insertion: the frames at the given ascending positions were inserted.
    void RecordInsertedAt(const std::vector<Frame>& frames, const std::vector<std::size_t>& positions);

    // Reverses the newest step on `frames` and moves it to the redo stack; false when there is
    // none. The index of the first frame the step touched is given back in `touched`.
    bool Undo(std::vector<Frame>& frames, std::size_t* touched = nullptr);
    bool Redo(std::vector<Frame>& frames, std::size_t* touched = nullptr);
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    std::size_t UndoDepth() const { return undo_.size(); }
    std::size_t RedoDepth() const { return redo_.size(); }
    // The kind of the newest undo step (for tests and the status of the window).
    int NewestKind() const { return undo_.empty() ? -1 : undo_.front().kind; }
    // Empties both stacks (a new or opened project). The current frames stay the saved ones
    // when they were.
    void Reset();
    // Whether the clip stands where it stood when the document was last saved: an edit
    // undone again is no change. Once the saved state has left the three steps kept (or the
    // frames changed outside the history) it never comes back until the next save.
    bool AtSaved() const { return saved_.AtSaved(); }
    // The document was saved, opened or made: the frames as they are now are the saved ones.
    void MarkSaved() { saved_.MarkSaved(); }
    // The frames changed without a step (an import, a change too large to keep).
    void MarkChangedOutside() { saved_.ChangedOutside(); }

private:
    struct Step {
        std::uint8_t kind = 0;
        std::size_t index = 0;
        // Frames that are in the clip in one state of the step and not in the other, with
        // their positions in the state that holds them (ascending). `present`: they are in the
        // clip now.
        std::vector<std::size_t> positions;
        std::vector<Frame> frames;
        bool present = false;
        bool inPlace = false;  // kinds 2, 3: `frames` are swapped with the clip's at index..
        bool placeholder = false;  // the clip holds one stand-in frame while the step's frames are out
        Frame standIn;             // that frame while the step's frames are in
        // In-place steps that also appended frames at the end: their positions, and the frames
        // while they are out of the clip.
        std::vector<std::size_t> tailPositions;
        std::vector<Frame> tail;
        bool tailPresent = false;
    };
    void Push(Step step);
    static void Apply(std::vector<Frame>& clip, Step& step);

    std::deque<Step> undo_;  // newest first
    std::deque<Step> redo_;
    SavedState saved_;
};

// Moves the frames at ascending `positions` out of `clip` in one pass; they are returned in
// that order.
std::vector<Frame> TakeFramesAt(std::vector<Frame>& clip, const std::vector<std::size_t>& positions);
// Puts `frames` back so that frame k ends up at positions[k] (ascending), in one pass.
void PutFramesAt(std::vector<Frame>& clip, const std::vector<std::size_t>& positions, std::vector<Frame>& frames);

}  // namespace corv
