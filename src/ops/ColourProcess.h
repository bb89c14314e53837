#pragma once

#include <optional>

#include "content/ColourProcess.h"
#include "ops/Operation.h"
#include "project/Frame.h"

namespace corv::ops {

// "Color process" of the frame window and `corvantine-cli color-process`: replace a colour,
// swap channels, shade channels, clear the pixels no LED shows or those black in a mask frame,
// over a range of frames of the current clip. One undo step.
struct ColourProcessRequest {
    enum class Mode { Replace = 1, Swap = 2, Shade = 3, ClearNonLed = 4, ClearByFrame = 5 } mode = Mode::Replace;
    int start = 1, end = 1;  // 1-based, inclusive
    Bgr from{}, to{};        // Replace
    ChannelOrder order = ChannelOrder::RBG;  // Swap
    bool red = true, green = true, blue = true;  // Shade
    int percent = 100;
    // The colour cleared pixels take; none: the workspace's background.
    std::optional<Bgr> background;
    // The rectangle worked on (picture coordinates); none: the whole frame.
    std::optional<PixelRect> editArea;
    // ClearByFrame: the 1-based frame whose black pixels are cleared; none: the current frame.
    std::optional<int> maskFrame;
    // ClearNonLed takes the workspace's layout.
};
struct ColourProcessReply {
    std::size_t first = 0, end = 0;  // the frames processed, 0-based, `end` exclusive
};
enum ColourProcessRefusal { kColourNoClip = 1, kColourOutOfRange, kColourNoMask, kColourLayoutSize, kColourMaskSize };
// Why the request's range cannot be processed (no clip, frames outside it); none when it can.
// The window asks before it looks for a layout.
std::optional<Failure> ColourProcessRefusalOf(const Workspace& ws, const ColourProcessRequest& request);

Result<ColourProcessReply> ProcessColours(Workspace& ws, const ColourProcessRequest& request, Prompt& prompt,
                                          const ProgressFn& progress);

}  // namespace corv::ops
