#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/SavedState.h"

#include "layout/LightType.h"

namespace corv {

// An LED on the grid, packed as (row << 16) | col.
using LinePoint = std::uint32_t;
constexpr LinePoint MakePoint(int row, int col) {
    return (static_cast<std::uint32_t>(row) << 16) | (static_cast<std::uint32_t>(col) & 0xFFFF);
}
constexpr int PointRow(LinePoint p) { return static_cast<int>(p >> 16); }
constexpr int PointCol(LinePoint p) { return static_cast<int>(p & 0xFFFF); }

inline constexpr int kLineCount = 256;
using Line = std::vector<LinePoint>;

// The cell grid of the layout. Sphere layouts have rows of different usable widths.
struct LayoutGrid {
    std::uint16_t rows = 24;
    std::uint16_t cols = 32;
    std::uint8_t sphereMode = 0;
    std::vector<std::uint16_t> rowWidths;  // sphere mode only: usable cells at the left of each row

    bool IsSphere() const { return sphereMode == 1; }
    bool Contains(int row, int col) const { return row >= 0 && col >= 0 && row < rows && col < cols; }
};

// The largest grid the program takes: its per-cell tables (occupancy, background masks, drawn
// pictures) grow with rows x cols, so a file's header alone must not decide their size.
inline constexpr std::uint64_t kMaxGridCells = std::uint64_t{1} << 24;  // 16,777,216, e.g. 4096 x 4096
bool GridWithinLimit(long long rows, long long cols);
// "a grid of R rows x C cols has N cells; the program takes at most 16777216"
std::string GridLimitText(long long rows, long long cols);
// Points of the lines that lie outside the grid (a file may claim them; the output and the
// exports leave them out).
std::size_t PointsOutsideGrid(const LayoutGrid& grid, const std::array<Line, kLineCount>& lines);

// Row widths of a sphere grid: rows are latitude circles, each as long as its circle allows.
std::vector<std::uint16_t> SphereRowWidths(int rows, int cols);

// The wiring record: controller family, lines per slave, and the per-slave tables.
class LineSetting {
public:
    static constexpr std::size_t kSlaves = 256;
    using Table = std::array<std::uint8_t, kSlaves>;

    LineSetting() { ResetToDefaults(); }
    virtual ~LineSetting() = default;

    std::uint8_t controllerType = 0;  // 0 master-slave, 1 single, 2 simple
    std::uint16_t reserved6 = 0;
    std::uint8_t portsPerSlave = 1;
    std::uint8_t lineOption = 0;
    std::array<std::uint8_t, 64> block64{};
    std::uint16_t lineCount = 0;
    Table lightType{}, icType{}, clock{}, brightness{}, grayReverse{}, red{}, green{}, blue{}, linePorts{}, gamma{},
        lineExtra{};
    std::vector<std::uint32_t> pairListA, pairListB;

    // The eleven per-slave tables in stored order.
    std::array<Table*, 11> Tables();
    std::array<const Table*, 11> Tables() const;

    void ResetToDefaults();
    // Clear: what New, Open and the line-file loader start from. icType takes `defaultChip`
    // (the configuration's "DrICtype", normally 3); the other tables keep their values.
    void Clear(std::uint8_t defaultChip);
    // Number of slaves: ceil(lineCount / portsPerSlave).
    int SlaveCount() const;
    // Sets lines per slave and every linePorts entry to it.
    void SetPortsPerSlave(std::uint8_t ports);
};

// Entry k: slaves in controller output file k + 1; the last master takes the rest.
using SlaveGroupList = std::vector<std::uint16_t>;
// Cuts the list to the slaves there are (see the multi-controller rules).
void NormaliseSlaveGroups(SlaveGroupList& groups, int slaveCount);

// Cell occupancy: how many line points lie on each cell.
class Occupancy {
public:
    void Reset(const LayoutGrid& grid);
    // Recomputes from the lines (and the sphere's unusable cells).
    void Rebuild(const LayoutGrid& grid, const std::array<Line, kLineCount>& lines);

    std::uint16_t At(int row, int col) const;
    // Offers a cell to a new point: accepted when free (and allowed by the mask when one is
    // given), or always with repeats allowed; an accepted point counts on the cell.
    bool TryOccupy(int row, int col, bool allowRepeat, const std::vector<std::uint8_t>* mask = nullptr);
    // Frees a cell (the Delete tool).
    void Release(int row, int col);
    // Takes one point off a cell (every other removal).
    void Decrement(int row, int col);
    int rows() const { return rows_; }
    int cols() const { return cols_; }

private:
    int rows_ = 0;
    int cols_ = 0;
    std::vector<std::uint16_t> cells_;
};

// One layout undo step: type and entries (point, line, index).
struct UndoEntry {
    std::uint32_t point = 0;
    std::uint16_t line = 0;
    std::uint16_t index = 0;
};
enum class UndoType : std::uint8_t { Added = 0, Deleted = 1, Transferred = 2, Reversed = 3, Exchanged = 4 };
struct UndoStep {
    UndoType type = UndoType::Added;
    std::vector<UndoEntry> entries;
};

// The whole layout: grid, lines, wiring record, slave groups, occupancy and edit history.
struct Layout {
    LayoutGrid grid;
    std::array<Line, kLineCount> lines;
    LineSetting setting;
    SlaveGroupList slaveGroups;
    Occupancy occupancy;
    std::vector<UndoStep> undo;
    std::vector<UndoStep> redo;
    // Differs from the line file on disk; follows the history's saved state through undo and
    // redo (an edit undone again is no change).
    bool modified = false;
    SavedState saved;

    // lineCount = 1 + the highest line holding a point (0 when all are empty).
    void RecomputeLineCount();
    // A new, empty layout of rows x cols (below 1 becomes 1), sphere or plain.
    void New(int rows, int cols, bool sphere, std::uint8_t defaultChip);
    // Starts a new undo step (clears redo, marks the layout modified).
    UndoStep& BeginStep(UndoType type);
    // Takes back the newest step, which changed nothing.
    void DropEmptyStep();
    // A change that no undo step holds: modified until the next save.
    void MarkChanged();
    // The layout is now what is on disk (opened or saved).
    void MarkSaved();
    // After the history moved (a step pushed, undone or redone): `modified` follows it. A
    // change made by setting `modified` alone counts as one outside the history.
    void Pushed();
    void Undone();
    void Redone();
    // Undo and redo of added and deleted points; false when there is nothing to do.
    bool Undo();
    bool Redo();
};

}  // namespace corv
