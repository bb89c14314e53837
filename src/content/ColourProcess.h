#pragma once

#include <cstddef>
#include <string>

#include "layout/Layout.h"
#include "project/FrameRange.h"

namespace corv {

// Colour processing of a run of frames s .. e - 1 (0-based, e exclusive) of a clip, inside the
// target rectangle (the edit area, or the whole frame). Each records one undo step (kind 2)
// before it changes anything.

// Replace: pixels equal to `from` become `to`. When both are pure colours (every channel 0 or
// 255) shades count too: a pixel whose lit channels are exactly the 255 channels of `from`,
// all equal, takes the 255 channels of `to` at its own brightness (dark red to dark green).
void ReplaceColour(RangeContext& c, std::size_t s, std::size_t e, Bgr from, Bgr to);
bool PureColour(Bgr c);

// Where the source channels go, as the "from R G B to" list names it.
enum class ChannelOrder { RBG, GRB, GBR, BGR, BRG };
// "R B G" and so on; nullopt for an unknown name.
std::optional<ChannelOrder> ChannelOrderNamed(const std::string& name);
const char* ChannelOrderName(ChannelOrder order);
void SwapChannels(RangeContext& c, std::size_t s, std::size_t e, ChannelOrder order);

// Shade: each chosen channel v becomes v x percent / 100, kept to 255.
void ShadeChannels(RangeContext& c, std::size_t s, std::size_t e, bool red, bool green, bool blue, int percent);

// Clears (to the background) every pixel that no LED of the layout shows; false, with nothing
// changed, when the layout's grid is not the frame's size.
bool ClearNonLed(RangeContext& c, std::size_t s, std::size_t e, const Layout& layout);
// Clears every pixel that is black in `mask` (the current frame); false when the sizes differ.
bool ClearByFrame(RangeContext& c, std::size_t s, std::size_t e, const Frame& mask);

}  // namespace corv
