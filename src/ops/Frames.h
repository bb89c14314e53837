#pragma once

#include <cstddef>
#include <optional>

#include "ops/Operation.h"

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

}  // namespace corv::ops
