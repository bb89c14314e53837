#include "layout/Wiring.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corv {

namespace {

struct Rect {
    int x0, y0, x1, y1;  // columns x0..x1-1, rows y0..y1-1
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

Rect DragRect(const LayoutGrid& grid, const Drag& d) {
    Rect r{std::min(d.fromCol, d.toCol), std::min(d.fromRow, d.toRow), std::max(d.fromCol, d.toCol) + 1,
           std::max(d.fromRow, d.toRow) + 1};
    r.x0 = std::max(r.x0, 0);
    r.y0 = std::max(r.y0, 0);
    r.x1 = std::min<int>(r.x1, grid.cols);
    r.y1 = std::min<int>(r.y1, grid.rows);
    return r;
}

class Adder {
public:
    Adder(Layout& layout, int& currentLine, UndoStep& step, const AddOptions& options)
        : layout_(layout), line_(currentLine), step_(step), options_(options) {}

    // Moves to a line with room for n more points; false when none is left.
    bool MakeRoom(std::size_t n) {
        const auto limit = static_cast<std::size_t>(std::max(options_.lineLimit, 1));
        if (layout_.lines[static_cast<std::size_t>(line_)].size() + n <= limit) {
            return true;
        }
        for (int l = line_ + 1; l < kLineCount; ++l) {
            if (layout_.lines[static_cast<std::size_t>(l)].size() + n <= limit) {
                line_ = l;
                return true;
            }
        }
        return false;
    }

    bool Offer(int row, int col) {
        if (!layout_.grid.Contains(row, col)) {
            return false;
        }
        return layout_.occupancy.TryOccupy(row, col, options_.allowRepeat, options_.backgroundMask);
    }

    // Appends a point whose cell has already accepted it.
    void Append(int row, int col) {
        auto& line = layout_.lines[static_cast<std::size_t>(line_)];
        const LinePoint p = MakePoint(row, col);
        step_.entries.push_back({p, static_cast<std::uint16_t>(line_), static_cast<std::uint16_t>(line.size())});
        line.push_back(p);
        ++added_;
    }

    int added() const { return added_; }

private:
    Layout& layout_;
    int& line_;
    UndoStep& step_;
    const AddOptions& options_;
    int added_ = 0;
};

void AddTiles(Adder& adder, const DisplayModule& module, int firstCol, int firstRow, int stepX, int stepY, int tx,
              int ty, int mode) {
    const bool byColumns = mode == kZTypeV || mode == kSTypeV;
    const bool serpentine = mode == kSTypeH || mode == kSTypeV;
    const int outer = byColumns ? tx : ty;
    const int inner = byColumns ? ty : tx;
    for (int o = 0; o < outer; ++o) {
        for (int k = 0; k < inner; ++k) {
            const int i = (serpentine && o % 2 == 1) ? inner - 1 - k : k;
            const int tileCol = firstCol + (byColumns ? o : i) * stepX;
            const int tileRow = firstRow + (byColumns ? i : o) * stepY;
            if (!adder.MakeRoom(module.offsets.size())) {
                return;
            }
            for (std::uint32_t off : module.offsets) {
                const int row = tileRow + static_cast<int>(off >> 16);
                const int col = tileCol + static_cast<int>(off & 0xFFFF);
                if (adder.Offer(row, col)) {
                    adder.Append(row, col);
                }
            }
        }
    }
}

void AddShortest(Adder& adder, Layout& layout, int line, const Rect& r, std::vector<std::pair<int, int>> cells) {
    const auto& points = layout.lines[static_cast<std::size_t>(line)];
    long long pr = 0, pc = 0;
    if (!points.empty()) {
        pr = PointRow(points.back());
        pc = PointCol(points.back());
    }
    // The nearest free cell next; among equally near ones the first in scan order (column by
    // column, and within a column row by row). The free cells are kept on a map of the
    // rectangle and searched in growing square rings around the last point, so a step costs
    // the ring area up to the nearest cell instead of every cell.
    const int w = r.x1 - r.x0, h = r.y1 - r.y0;
    std::vector<std::uint8_t> free(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    for (const auto& [row, col] : cells) free[static_cast<std::size_t>(row - r.y0) * static_cast<std::size_t>(w) + static_cast<std::size_t>(col - r.x0)] = 1;
    auto isFree = [&](long long row, long long col) {
        return row >= r.y0 && row < r.y1 && col >= r.x0 && col < r.x1 &&
               free[static_cast<std::size_t>(row - r.y0) * static_cast<std::size_t>(w) + static_cast<std::size_t>(col - r.x0)] != 0;
    };
    const long long maxRing = std::max<long long>({std::llabs(pr - r.y0), std::llabs(pr - (r.y1 - 1)), std::llabs(pc - r.x0),
                                                   std::llabs(pc - (r.x1 - 1))}) +
                              std::max(w, h);
    for (std::size_t n = 0; n < cells.size(); ++n) {
        long long bestD = -1, bestRow = 0, bestCol = 0;
        for (long long k = 0; k <= maxRing; ++k) {
            if (bestD >= 0 && k * k > bestD) break;  // nothing nearer lies further out
            auto consider = [&](long long row, long long col) {
                if (!isFree(row, col)) return;
                const long long d = (row - pr) * (row - pr) + (col - pc) * (col - pc);
                if (bestD < 0 || d < bestD || (d == bestD && (col < bestCol || (col == bestCol && row < bestRow)))) {
                    bestD = d;
                    bestRow = row;
                    bestCol = col;
                }
            };
            if (k == 0) {
                consider(pr, pc);
                continue;
            }
            for (long long c = pc - k; c <= pc + k; ++c) {
                consider(pr - k, c);
                consider(pr + k, c);
            }
            for (long long row = pr - k + 1; row <= pr + k - 1; ++row) {
                consider(row, pc - k);
                consider(row, pc + k);
            }
        }
        if (bestD < 0) break;
        free[static_cast<std::size_t>(bestRow - r.y0) * static_cast<std::size_t>(w) + static_cast<std::size_t>(bestCol - r.x0)] = 0;
        adder.Append(static_cast<int>(bestRow), static_cast<int>(bestCol));
        pr = bestRow;
        pc = bestCol;
    }
}

// Splits [lo, hi) into runs of indexes for which `has` is true, separated by indexes where
// it is false.
template <class Pred>
std::vector<std::pair<int, int>> Runs(int lo, int hi, Pred has) {
    std::vector<std::pair<int, int>> runs;
    int start = -1;
    for (int i = lo; i < hi; ++i) {
        if (has(i)) {
            if (start < 0) start = i;
        } else if (start >= 0) {
            runs.emplace_back(start, i);
            start = -1;
        }
    }
    if (start >= 0) {
        runs.emplace_back(start, hi);
    }
    return runs;
}

void AddBands(Adder& adder, const Rect& r, const std::vector<std::uint8_t>& candidate, const Drag& drag) {
    const int w = r.x1 - r.x0;
    auto has = [&](int row, int col) {
        return candidate[static_cast<std::size_t>(row - r.y0) * static_cast<std::size_t>(w) +
                         static_cast<std::size_t>(col - r.x0)] != 0;
    };
    // Bands: groups of rows between empty rows, cut by columns empty within the group.
    auto rowGroups = Runs(r.y0, r.y1, [&](int row) {
        for (int c = r.x0; c < r.x1; ++c) {
            if (has(row, c)) return true;
        }
        return false;
    });
    if (drag.Upwards()) {
        std::reverse(rowGroups.begin(), rowGroups.end());
    }
    for (const auto& [ra, rb] : rowGroups) {
        auto bands = Runs(r.x0, r.x1, [&](int col) {
            for (int row = ra; row < rb; ++row) {
                if (has(row, col)) return true;
            }
            return false;
        });
        if (drag.Leftwards()) {
            std::reverse(bands.begin(), bands.end());
        }
        for (const auto& [ca, cb] : bands) {
            bool leftToRight = !drag.Leftwards();
            for (int k = 0; k < rb - ra; ++k) {
                const int row = drag.Upwards() ? rb - 1 - k : ra + k;
                bool any = false;
                for (int j = 0; j < cb - ca; ++j) {
                    const int col = leftToRight ? ca + j : cb - 1 - j;
                    if (has(row, col)) {
                        adder.Append(row, col);
                        any = true;
                    }
                }
                if (any) {
                    leftToRight = !leftToRight;  // serpentine: the next row comes back
                }
            }
        }
    }
}

}  // namespace

std::pair<int, int> DefaultTileCounts(const LayoutGrid& grid, const Drag& drag, const DisplayModule& module) {
    const int w = std::max<int>(module.width, 1), h = std::max<int>(module.height, 1);
    const int across = !drag.Leftwards() ? (drag.toCol + 1) / w : (grid.cols - drag.toCol) / w;
    const int down = !drag.Upwards() ? (drag.toRow + 1) / h : (grid.rows - drag.toRow) / h;
    return {across, down};
}

int AddByModule(Layout& layout, int& currentLine, const Drag& drag, const DisplayModule& module, bool singlePixel,
                const AddOptions& options) {
    currentLine = std::clamp(currentLine, 0, kLineCount - 1);
    UndoStep& step = layout.BeginStep(UndoType::Added);
    Adder adder(layout, currentLine, step, options);
    const int w = std::max<int>(module.width, 1), h = std::max<int>(module.height, 1);
    const bool rightwards = !drag.Leftwards(), downwards = !drag.Upwards();

    if (options.mode == kShortest || options.mode == kShortestH) {
        const Rect r = DragRect(layout.grid, drag);
        if (singlePixel && (options.connectByBackground || options.backgroundMask) && !r.Empty()) {
            // Every cell of the rectangle is offered first; the accepted ones are the candidates.
            std::vector<std::uint8_t> candidate(static_cast<std::size_t>(r.x1 - r.x0) *
                                                static_cast<std::size_t>(r.y1 - r.y0));
            std::vector<std::pair<int, int>> cells;  // scan order: by column, then by row
            for (int c = r.x0; c < r.x1; ++c) {
                for (int row = r.y0; row < r.y1; ++row) {
                    if (adder.Offer(row, c)) {
                        candidate[static_cast<std::size_t>(row - r.y0) * static_cast<std::size_t>(r.x1 - r.x0) +
                                  static_cast<std::size_t>(c - r.x0)] = 1;
                        cells.emplace_back(row, c);
                    }
                }
            }
            if (options.mode == kShortest) {
                AddShortest(adder, layout, currentLine, r, std::move(cells));
            } else {
                AddBands(adder, r, candidate, drag);
            }
        }
    } else if (options.tiles) {
        const int firstCol = rightwards ? drag.toCol - w + 1 : drag.toCol;
        const int firstRow = downwards ? drag.toRow - h + 1 : drag.toRow;
        AddTiles(adder, module, firstCol, firstRow, rightwards ? -w : w, downwards ? -h : h, options.tiles->first,
                 options.tiles->second, options.mode);
    } else {
        const Rect r = DragRect(layout.grid, drag);
        if (!r.Empty()) {
            AddTiles(adder, module, rightwards ? r.x1 - w : r.x0, downwards ? r.y1 - h : r.y0,
                     rightwards ? -w : w, downwards ? -h : h, (r.x1 - r.x0) / w, (r.y1 - r.y0) / h, options.mode);
        }
    }
    const int added = adder.added();
    if (step.entries.empty()) {
        layout.DropEmptyStep();  // nothing to undo
    }
    layout.RecomputeLineCount();
    return added;
}

}  // namespace corv
