#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "layout/DisplayModule.h"
#include "layout/Layout.h"

namespace corv {

// Connection orders of the Add tool.
enum ConnectionMode : int {
    kZTypeH = 0,          // tile rows, every row from the same side
    kZTypeV = 1,          // tile columns, every column from the same side
    kSTypeH = 2,          // tile rows, serpentine
    kSTypeV = 3,          // tile columns, serpentine
    kShortest = 4,        // nearest free cell next (single pixel, by background)
    kShortestH = 5,       // bands, serpentine inside each (single pixel, by background)
};

inline constexpr int kDefaultLineLimit = 4096;

// A mouse drag over the grid, from the press cell to the release cell (both inclusive).
struct Drag {
    int fromRow = 0, fromCol = 0;
    int toRow = 0, toCol = 0;
    bool Upwards() const { return toRow < fromRow; }
    bool Leftwards() const { return toCol < fromCol; }
    // Direction code: bit 0 upwards, bit 1 leftwards.
    int Direction() const { return (Upwards() ? 1 : 0) | (Leftwards() ? 2 : 0); }
};

struct AddOptions {
    int mode = kSTypeH;
    int lineLimit = kDefaultLineLimit;
    bool allowRepeat = false;
    // Set when "Connect by background" is on and a background mask exists (one byte per cell).
    const std::vector<std::uint8_t>* backgroundMask = nullptr;
    // "Connect by background" is on: the shortest-distance modes work (with the mask, when
    // there is one, deciding the cells).
    bool connectByBackground = false;
    // The Ctrl form: the release cell is the anchor and these are the tile counts (across,
    // down). Unset for a plain drag.
    std::optional<std::pair<int, int>> tiles;
};

// The tile counts the Ctrl form's "Setting" dialog opens with: as many tiles as fit between
// the anchor and the grid edge on the side the drag came from.
std::pair<int, int> DefaultTileCounts(const LayoutGrid& grid, const Drag& drag, const DisplayModule& module);

// Lays copies of `module` into the lines starting at `currentLine` (which moves on when the
// line limit is reached) and records them as one undo step. Returns the points added.
int AddByModule(Layout& layout, int& currentLine, const Drag& drag, const DisplayModule& module, bool singlePixel,
                const AddOptions& options);

}  // namespace corv
