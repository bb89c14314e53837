#include "layout/Layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corv {

std::vector<std::uint16_t> SphereRowWidths(int rows, int cols) {
    std::vector<std::uint16_t> widths(static_cast<std::size_t>(std::max(rows, 0)), 0);
    if (rows < 1 || cols < 1) {
        return widths;
    }
    const double step = 2.0 / rows;
    double circ = (rows % 2 == 1) ? 2 * std::numbers::pi : std::sqrt(1 - step * step / 4) * 2 * std::numbers::pi;
    circ /= cols;
    double y = -1.0;
    for (int i = 0; i < rows; ++i) {
        y += step;
        if (y > 1.0) {
            y = 1.0;
        }
        const double mid = y - step / 2;
        const double w = std::trunc(std::sqrt(std::max(0.0, 1 - mid * mid)) * 2 * std::numbers::pi / circ + 0.5);
        widths[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(std::clamp(w, 0.0, static_cast<double>(cols)));
        if (y >= 1.0) {
            break;
        }
    }
    return widths;
}

std::array<LineSetting::Table*, 11> LineSetting::Tables() {
    return {&lightType, &icType, &clock, &brightness, &grayReverse, &red, &green, &blue, &linePorts, &gamma, &lineExtra};
}

std::array<const LineSetting::Table*, 11> LineSetting::Tables() const {
    return {&lightType, &icType, &clock, &brightness, &grayReverse, &red, &green, &blue, &linePorts, &gamma, &lineExtra};
}

void LineSetting::ResetToDefaults() {
    controllerType = 0;
    reserved6 = 0;
    portsPerSlave = 1;
    lineOption = 0;
    block64.fill(0xFF);
    lineCount = 0;
    lightType.fill(0);
    icType.fill(3);
    clock.fill(25);
    brightness.fill(100);
    grayReverse.fill(13);
    red.fill(100);
    green.fill(100);
    blue.fill(100);
    linePorts.fill(1);
    gamma.fill(10);
    lineExtra.fill(0);
    pairListA.clear();
    pairListB.clear();
}

void LineSetting::Clear(std::uint8_t defaultChip) {
    reserved6 = 0;
    lineCount = 0;
    pairListA.clear();
    pairListB.clear();
    lightType.fill(0);
    icType.fill(defaultChip);
}

int LineSetting::SlaveCount() const {
    const int ports = std::max<int>(portsPerSlave, 1);
    return (lineCount + ports - 1) / ports;
}

void LineSetting::SetPortsPerSlave(std::uint8_t ports) {
    portsPerSlave = std::max<std::uint8_t>(ports, 1);
    linePorts.fill(portsPerSlave);
}

bool GridWithinLimit(long long rows, long long cols) {
    return rows >= 1 && cols >= 1 && rows <= 0xFFFF && cols <= 0xFFFF &&
           static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(cols) <= kMaxGridCells;
}

std::string GridLimitText(long long rows, long long cols) {
    return "a grid of " + std::to_string(rows) + " rows x " + std::to_string(cols) + " cols has " +
           std::to_string(rows * cols) + " cells; the program takes at most " + std::to_string(kMaxGridCells) +
           " cells and 65535 rows or cols";
}

std::size_t PointsOutsideGrid(const LayoutGrid& grid, const std::array<Line, kLineCount>& lines) {
    std::size_t n = 0;
    for (const Line& line : lines) {
        for (LinePoint p : line) {
            n += grid.Contains(PointRow(p), PointCol(p)) ? 0 : 1;
        }
    }
    return n;
}

void NormaliseSlaveGroups(SlaveGroupList& groups, int slaveCount) {
    int remaining = std::max(slaveCount, 0);
    SlaveGroupList out;
    for (std::uint16_t g : groups) {
        if (g == 0 || remaining == 0) {
            continue;
        }
        if (g > remaining) {
            out.push_back(static_cast<std::uint16_t>(remaining));
            remaining = 0;
        } else {
            out.push_back(g);
            remaining -= g;
        }
    }
    if (remaining == 0 && !out.empty()) {
        out.pop_back();  // the last master is implicit and takes what is left
    }
    groups = std::move(out);
}

void Occupancy::Reset(const LayoutGrid& grid) {
    rows_ = grid.rows;
    cols_ = grid.cols;
    cells_.assign(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_), 0);
    if (grid.IsSphere()) {
        for (int r = 0; r < rows_; ++r) {
            const int width = r < static_cast<int>(grid.rowWidths.size()) ? grid.rowWidths[static_cast<std::size_t>(r)] : 0;
            for (int c = std::max(width, 0); c < cols_; ++c) {
                cells_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)] = 1;
            }
        }
    }
}

void Occupancy::Rebuild(const LayoutGrid& grid, const std::array<Line, kLineCount>& lines) {
    Reset(grid);
    for (const auto& line : lines) {
        for (LinePoint p : line) {
            const int r = PointRow(p), c = PointCol(p);
            if (r < rows_ && c < cols_) {
                auto& cell = cells_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)];
                if (cell < 0xFFFF) {
                    ++cell;
                }
            }
        }
    }
}

std::uint16_t Occupancy::At(int row, int col) const {
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_) {
        return 0;
    }
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col)];
}

bool Occupancy::TryOccupy(int row, int col, bool allowRepeat, const std::vector<std::uint8_t>* mask) {
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_) {
        return false;
    }
    const std::size_t i = static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col);
    if (allowRepeat) {
        if (cells_[i] < 0xFFFF) {
            ++cells_[i];
        }
        return true;
    }
    if (cells_[i] != 0) {
        return false;
    }
    if (mask && (i >= mask->size() || (*mask)[i] == 0)) {
        return false;
    }
    cells_[i] = 1;
    return true;
}

void Occupancy::Release(int row, int col) {
    if (row >= 0 && col >= 0 && row < rows_ && col < cols_) {
        cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col)] = 0;
    }
}

void Occupancy::Decrement(int row, int col) {
    if (row >= 0 && col >= 0 && row < rows_ && col < cols_) {
        auto& cell = cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col)];
        if (cell > 0) {
            --cell;
        }
    }
}

void Layout::RecomputeLineCount() {
    int count = 0;
    for (int i = kLineCount - 1; i >= 0; --i) {
        if (!lines[static_cast<std::size_t>(i)].empty()) {
            count = i + 1;
            break;
        }
    }
    setting.lineCount = static_cast<std::uint16_t>(count);
}

void Layout::New(int rows, int cols, bool sphere, std::uint8_t defaultChip) {
    grid.rows = static_cast<std::uint16_t>(std::clamp(rows, 1, 0xFFFF));
    // Within the cell limit: a grid that does not fit keeps its rows and loses columns.
    grid.cols = static_cast<std::uint16_t>(
        std::clamp<long long>(cols, 1, std::min<long long>(0xFFFF, static_cast<long long>(kMaxGridCells / grid.rows))));
    grid.sphereMode = sphere ? 1 : 0;
    grid.rowWidths = sphere ? SphereRowWidths(grid.rows, grid.cols) : std::vector<std::uint16_t>{};
    for (auto& line : lines) {
        line.clear();
    }
    setting.Clear(defaultChip);
    undo.clear();
    redo.clear();
    occupancy.Reset(grid);
    MarkSaved();
}

UndoStep& Layout::BeginStep(UndoType type) {
    redo.clear();
    undo.push_back(UndoStep{type, {}});
    Pushed();
    return undo.back();
}

void Layout::DropEmptyStep() {
    if (undo.empty()) return;
    undo.pop_back();
    saved.Retracted();
    modified = !saved.AtSaved();
}

void Layout::MarkChanged() {
    saved.ChangedOutside();
    modified = true;
}

void Layout::MarkSaved() {
    saved.MarkSaved();
    modified = false;
}

void Layout::Pushed() {
    if (modified && saved.AtSaved()) saved.ChangedOutside();
    saved.Pushed(undo.size());
    modified = !saved.AtSaved();
}

void Layout::Undone() {
    if (modified && saved.AtSaved()) saved.ChangedOutside();
    saved.Undone(undo.size(), redo.size());
    modified = !saved.AtSaved();
}

void Layout::Redone() {
    if (modified && saved.AtSaved()) saved.ChangedOutside();
    saved.Redone(undo.size(), redo.size());
    modified = !saved.AtSaved();
}

namespace {

bool RemoveEntry(Layout& l, const UndoEntry& e) {
    auto& line = l.lines[e.line];
    if (e.index >= line.size() || line[e.index] != e.point) {
        return false;
    }
    line.erase(line.begin() + e.index);
    l.occupancy.Decrement(PointRow(e.point), PointCol(e.point));
    return true;
}

bool InsertEntry(Layout& l, const UndoEntry& e) {
    auto& line = l.lines[e.line];
    if (e.index > line.size()) {
        return false;
    }
    line.insert(line.begin() + e.index, e.point);
    l.occupancy.TryOccupy(PointRow(e.point), PointCol(e.point), true);
    return true;
}

// Applies a step backwards (undo) or forwards (redo).
bool Apply(Layout& l, const UndoStep& step, bool backwards) {
    const bool removes = (step.type == UndoType::Added) == backwards;
    if (step.type != UndoType::Added && step.type != UndoType::Deleted) {
        return false;
    }
    // Added points are taken out last first; deleted points go back last first.
    if (backwards) {
        for (auto it = step.entries.rbegin(); it != step.entries.rend(); ++it) {
            removes ? RemoveEntry(l, *it) : InsertEntry(l, *it);
        }
    } else {
        for (const auto& e : step.entries) {
            removes ? RemoveEntry(l, e) : InsertEntry(l, e);
        }
    }
    l.RecomputeLineCount();
    return true;
}

}  // namespace

bool Layout::Undo() {
    if (undo.empty() || !Apply(*this, undo.back(), true)) {
        return false;
    }
    redo.push_back(std::move(undo.back()));
    undo.pop_back();
    Undone();
    return true;
}

bool Layout::Redo() {
    if (redo.empty() || !Apply(*this, redo.back(), false)) {
        return false;
    }
    undo.push_back(std::move(redo.back()));
    redo.pop_back();
    Redone();
    return true;
}

}  // namespace corv
