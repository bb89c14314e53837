#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "project/Frame.h"
#include "project/FrameUndo.h"

namespace corv {

// A rectangle of a frame in picture coordinates (row 0 at the top); right and bottom exclusive.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The rectangle the range operations work on: the edit area clipped to the frame when there is
// one (an empty result means the whole frame), else the whole frame.
PixelRect TargetRect(int width, int height, const std::optional<PixelRect>& editArea);

// A run of frame pictures as the clipboard carries it: marker 0xFF, u16 width, u16 height,
// u16 count, then the pictures in the frame layout (rows bottom-up, padded to 4 bytes).
struct FrameBlock {
    int width = 0;
    int height = 0;
    std::vector<Frame> pictures;
};
// Its sizes and count are 16-bit: a longer run cannot be a block.
inline constexpr std::size_t kMaxBlockFrames = 65535;
inline constexpr const char* kFrameBlockMime = "application/x-corvantine-frame-block";
std::vector<std::uint8_t> EncodeFrameBlock(const FrameBlock& block);
// Reads both the marker form and the older form without it (width at offset 0); a block whose
// sizes do not give exactly its length is refused (nullopt).
std::optional<FrameBlock> DecodeFrameBlock(std::span<const std::uint8_t> bytes);

// What the operations need of the clip besides its frames.
struct RangeContext {
    std::vector<Frame>* frames = nullptr;
    FrameUndo* undo = nullptr;
    Bgr background{};
    std::optional<PixelRect> editArea;  // picture coordinates
};

// The frames first .. last (0-based, `last` exclusive) must lie in the clip and not be empty.
bool ValidRange(std::size_t frameCount, long long first, long long end);

// Copy: frames s .. e - 1 cut to the target rectangle.
FrameBlock CopyFrames(const RangeContext& c, std::size_t s, std::size_t e);
// Repeat: every frame of s .. e - 1 occurs times + 1 times in a row (undo kind 4).
void RepeatFrames(RangeContext& c, std::size_t s, std::size_t e, int times);
// Delete: without an edit area, frames s .. e - 1 are removed (spacing 0; undo kind 1) or, with
// spacing N (1..200), N frames are kept and the next one removed, repeatedly (undo kind 5); a
// clip left without frames gets one background frame. With an edit area the target rectangle
// of frames s, s + step, ... is filled with the background (step 1, or N + 1; undo kind 2).
void DeleteFrames(RangeContext& c, std::size_t s, std::size_t e, int spacing);
// Cut: the frames leave the clip (undo kind 1) and go to the block, whose pictures share their
// pixels (no copy): encode the block before the clip's history changes again. With an edit
// area the frames stay: the block holds their target rectangles, which take the background
// (undo kind 2).
FrameBlock CutFrames(RangeContext& c, std::size_t s, std::size_t e);

enum class PasteDirection { Original, Horizontal, Vertical, Centre };
// How an overlaid picture meets the frame under it. The last three mix the two:
// Superposition: the brighter of the two in each colour channel (a lighten blend);
// Transparency: the mean of the two (a 50 % see-through picture);
// Adding: the sum of the two, clamped at 255.
enum class PasteCombine { Normal, Or, Xor, And, Superposition, Transparency, Adding };
struct PasteOptions {
    std::size_t place = 0;  // 0-based frame the paste is placed at
    int times = 1;
    bool overlay = false;   // overlay onto frames from `place`; else insert after it
    PasteDirection direction = PasteDirection::Original;
    bool reverseOrder = false;
    PasteCombine combine = PasteCombine::Normal;
};
// Paste: returns the index of the last frame touched. A picture of another size than the
// target is drawn at its own size from the target's top-left corner, cut to the target.
std::size_t PasteFrames(RangeContext& c, const FrameBlock& block, const PasteOptions& options);
// The rule of a combination, for tooltips and the help.
std::string CombineRule(PasteCombine combine);

// Steps paste: the block is staggered column by column (same height as the target) or row by
// row (same width); false ("Size error!") otherwise. New frames follow frame `start` (1-based
// numbering: they are inserted at index `start`).
bool StepsPaste(RangeContext& c, const FrameBlock& block, std::size_t start, int interval, bool backwards);

enum class MoveDirection { Left, Right, Up, Down };
// Frame move: the target rectangle of frames s .. e - 1 rotates cyclically by `ranks` pixels,
// one more each frame with increments. No undo step (as the frame processing dialog).
void MoveFrames(RangeContext& c, std::size_t s, std::size_t e, MoveDirection direction, int ranks, bool increments);

// Row Col Delete: within the target rectangle of frames s .. e - 1, keep `keepRows` rows and
// delete the next `deleteRows`, repeatedly from the top; then the same for columns from the
// left. What stays closes up towards the top-left corner and the freed rows and columns at the
// bottom and right of the rectangle take the background: the frames keep their size (a clip
// has one size), their content shrinks. Undo kind 2.
void RowColDelete(RangeContext& c, std::size_t s, std::size_t e, int keepRows, int deleteRows, int keepCols,
                  int deleteCols);

// Puts `incoming` after frame `current` of `frames` as one undo step: inserted, or in cover
// mode overwriting the following frames first and appending only past the last. Frames of
// another size are the caller's to scale first. Returns the index of the last frame placed.
std::size_t PlaceAfter(std::vector<Frame>& frames, std::size_t current, std::vector<Frame> incoming, bool cover,
                       FrameUndo& undo);

}  // namespace corv
