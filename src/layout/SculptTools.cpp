#include "layout/SculptTools.h"

#include <algorithm>
#include <limits>

namespace corv {

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
}
std::uint32_t Get32(std::span<const std::uint8_t> in, std::size_t at) {
    std::uint32_t v = 0;
    for (int b = 3; b >= 0; --b) v = (v << 8) | in[at + static_cast<std::size_t>(b)];
    return v;
}

bool OnCell(LinePoint p, int col, int row) { return PointCol(p) == col && PointRow(p) == row; }

// Moves the run of `from` that starts at `index` to the end of `to`.
void MoveRun(Layout& layout, int from, std::size_t index, int to) {
    auto& source = layout.lines[static_cast<std::size_t>(from)];
    auto& target = layout.lines[static_cast<std::size_t>(to)];
    target.insert(target.end(), source.begin() + static_cast<std::ptrdiff_t>(index), source.end());
    source.erase(source.begin() + static_cast<std::ptrdiff_t>(index), source.end());
}

// Undoes (or redoes) a step of type 2, 3 or 4; both directions are the same operation.
void ApplyOwn(Layout& layout, UndoStep& step) {
    if (step.entries.empty()) return;
    UndoEntry& e = step.entries.front();
    switch (step.type) {
        case UndoType::Transferred: {
            // Back from the end of the receiving line to the recorded point, onto the source line.
            // The second entry keeps the run's length (the point may occur in it more than once).
            auto& receiving = layout.lines[e.index];
            const std::size_t length = step.entries.size() > 1 ? step.entries[1].point : 0;
            if (length > 0 && length <= receiving.size() && receiving[receiving.size() - length] == e.point) {
                MoveRun(layout, e.index, receiving.size() - length, e.line);
            }
            std::swap(e.line, e.index);
            break;
        }
        case UndoType::Reversed: {
            auto& line = layout.lines[e.line];
            const std::size_t start = e.point, length = e.index;
            if (start + length <= line.size()) std::reverse(line.begin() + static_cast<std::ptrdiff_t>(start), line.begin() + static_cast<std::ptrdiff_t>(start + length));
            break;
        }
        case UndoType::Exchanged:
            std::swap(layout.lines[e.line], layout.lines[e.index]);
            break;
        default:
            break;
    }
    layout.RecomputeLineCount();
}

}  // namespace

int DeleteZone(Layout& layout, const CellRect& r) {
    UndoStep& step = layout.BeginStep(UndoType::Deleted);
    int removed = 0;
    for (std::size_t l = 0; l < layout.lines.size(); ++l) {
        auto& line = layout.lines[l];
        for (std::size_t i = line.size(); i-- > 0;) {
            if (!r.Contains(line[i])) continue;
            step.entries.push_back(UndoEntry{line[i], static_cast<std::uint16_t>(l), static_cast<std::uint16_t>(i)});
            layout.occupancy.Release(PointRow(line[i]), PointCol(line[i]));
            line.erase(line.begin() + static_cast<std::ptrdiff_t>(i));
            ++removed;
        }
    }
    layout.RecomputeLineCount();
    return removed;
}

LineClipboard CopyZone(const Layout& layout, const CellRect& r) {
    LineClipboard clip;
    clip.source = r;
    for (const Line& line : layout.lines) {
        Line fragment;
        for (LinePoint p : line) {
            if (r.Contains(p)) fragment.push_back(p);
        }
        if (!fragment.empty()) clip.fragments.push_back(std::move(fragment));
    }
    return clip;
}

int PasteFragments(Layout& layout, const LineClipboard& clip, int col, int row, int currentLine, int lineLimit,
                   bool allowRepeat, const std::vector<std::uint8_t>* mask) {
    UndoStep& step = layout.BeginStep(UndoType::Added);
    const int dx = col - clip.source.x0, dy = row - clip.source.y0;
    int line = std::max(currentLine, 0), placed = 0;
    for (const Line& fragment : clip.fragments) {
        while (line < kLineCount && layout.lines[static_cast<std::size_t>(line)].size() + fragment.size() > static_cast<std::size_t>(lineLimit)) ++line;
        if (line >= kLineCount) break;
        auto& target = layout.lines[static_cast<std::size_t>(line)];
        for (LinePoint p : fragment) {
            const int c = PointCol(p) + dx, r = PointRow(p) + dy;
            if (!layout.grid.Contains(r, c) || !layout.occupancy.TryOccupy(r, c, allowRepeat, mask)) continue;
            step.entries.push_back(UndoEntry{MakePoint(r, c), static_cast<std::uint16_t>(line), static_cast<std::uint16_t>(target.size())});
            target.push_back(MakePoint(r, c));
            ++placed;
        }
        ++line;
    }
    layout.RecomputeLineCount();
    return placed;
}

std::vector<std::uint8_t> EncodeLayoutData(std::span<const Line> fragments) {
    int minRow = std::numeric_limits<int>::max(), minCol = std::numeric_limits<int>::max();
    for (const Line& f : fragments) {
        for (LinePoint p : f) {
            minRow = std::min(minRow, PointRow(p));
            minCol = std::min(minCol, PointCol(p));
        }
    }
    if (minRow == std::numeric_limits<int>::max()) minRow = minCol = 0;
    std::vector<std::uint8_t> out;
    Put32(out, (static_cast<std::uint32_t>('Q') << 24) | (static_cast<std::uint32_t>('Z') << 16) | static_cast<std::uint32_t>(fragments.size() & 0xFFFF));
    Put32(out, MakePoint(minRow, minCol));
    for (const Line& f : fragments) {
        Put32(out, static_cast<std::uint32_t>(f.size()));
        for (LinePoint p : f) Put32(out, p);
    }
    return out;
}

std::optional<std::vector<Line>> DecodeLayoutData(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8) return std::nullopt;
    const std::uint32_t header = Get32(bytes, 0);
    if ((header >> 24) != 'Q' || ((header >> 16) & 0xFF) != 'Z') return std::nullopt;
    const std::size_t count = header & 0xFFFF;
    std::vector<Line> fragments;
    std::size_t at = 8;
    for (std::size_t k = 0; k < count; ++k) {
        if (at + 4 > bytes.size()) return std::nullopt;
        const std::size_t n = Get32(bytes, at);
        at += 4;
        if (n > (bytes.size() - at) / 4) return std::nullopt;  // claims more points than it holds
        Line f;
        f.reserve(n);
        for (std::size_t i = 0; i < n; ++i, at += 4) f.push_back(Get32(bytes, at));
        fragments.push_back(std::move(f));
    }
    if (at != bytes.size()) return std::nullopt;  // trailing bytes: not this form
    return fragments;
}

int PasteLayoutData(Layout& layout, std::span<const std::uint8_t> bytes, int col, int row, int currentLine) {
    const auto fragments = DecodeLayoutData(bytes);
    if (!fragments) return -1;
    const LinePoint origin = Get32(bytes, 4);
    const int dx = col - PointCol(origin), dy = row - PointRow(origin);
    UndoStep& step = layout.BeginStep(UndoType::Added);
    int placed = 0;
    for (std::size_t k = 0; k < fragments->size(); ++k) {
        const int line = std::max(currentLine, 0) + static_cast<int>(k);
        if (line >= kLineCount) break;
        auto& target = layout.lines[static_cast<std::size_t>(line)];
        for (LinePoint p : (*fragments)[k]) {
            const int c = std::clamp(PointCol(p) + dx, 0, layout.grid.cols - 1);
            const int r = std::clamp(PointRow(p) + dy, 0, layout.grid.rows - 1);
            layout.occupancy.TryOccupy(r, c, true);  // every point is placed
            step.entries.push_back(UndoEntry{MakePoint(r, c), static_cast<std::uint16_t>(line), static_cast<std::uint16_t>(target.size())});
            target.push_back(MakePoint(r, c));
            ++placed;
        }
    }
    layout.RecomputeLineCount();
    return placed;
}

bool Transfer(Layout& layout, int col, int row, int currentLine) {
    if (currentLine < 0 || currentLine >= kLineCount) return false;
    for (int l = 0; l < kLineCount; ++l) {
        if (l == currentLine) continue;
        auto& line = layout.lines[static_cast<std::size_t>(l)];
        const auto it = std::find_if(line.begin(), line.end(), [&](LinePoint p) { return OnCell(p, col, row); });
        if (it == line.end()) continue;
        UndoStep& step = layout.BeginStep(UndoType::Transferred);
        const std::size_t index = static_cast<std::size_t>(it - line.begin());
        step.entries.push_back(UndoEntry{*it, static_cast<std::uint16_t>(l), static_cast<std::uint16_t>(currentLine)});
        step.entries.push_back(UndoEntry{static_cast<std::uint32_t>(line.size() - index), 0, 0});
        MoveRun(layout, l, index, currentLine);
        layout.RecomputeLineCount();
        return true;
    }
    return false;
}

bool Reverse(Layout& layout, int colA, int rowA, int colB, int rowB) {
    auto either = [&](LinePoint p) { return OnCell(p, colA, rowA) || OnCell(p, colB, rowB); };
    for (int l = 0; l < kLineCount; ++l) {
        auto& line = layout.lines[static_cast<std::size_t>(l)];
        const auto first = std::find_if(line.begin(), line.end(), either);
        if (first == line.end()) continue;
        const auto last = std::find_if(line.rbegin(), line.rend(), either);
        const std::size_t i = static_cast<std::size_t>(first - line.begin());
        const std::size_t j = static_cast<std::size_t>(line.rend() - last - 1);
        if (j <= i) continue;
        std::reverse(line.begin() + static_cast<std::ptrdiff_t>(i), line.begin() + static_cast<std::ptrdiff_t>(j + 1));
        UndoStep& step = layout.BeginStep(UndoType::Reversed);
        step.entries.push_back(UndoEntry{static_cast<std::uint32_t>(i), static_cast<std::uint16_t>(l), static_cast<std::uint16_t>(j - i + 1)});
        return true;
    }
    return false;
}

bool MovePoint(Layout& layout, int fromCol, int fromRow, int toCol, int toRow, bool allowRepeat) {
    if (!layout.grid.Contains(toRow, toCol)) return false;
    for (auto& line : layout.lines) {
        for (LinePoint& p : line) {
            if (!OnCell(p, fromCol, fromRow)) continue;
            if (!layout.occupancy.TryOccupy(toRow, toCol, allowRepeat)) return false;
            layout.occupancy.Decrement(fromRow, fromCol);
            p = MakePoint(toRow, toCol);
            layout.MarkChanged();
            return true;
        }
    }
    return false;
}

int PixelsRepeat(Layout& layout, const CellRect& r, int times) {
    if (times < 1) return 0;
    layout.undo.clear();
    layout.redo.clear();
    int added = 0;
    for (auto& line : layout.lines) {
        std::optional<LinePoint> previous;
        for (std::size_t i = line.size(); i-- > 0;) {
            const LinePoint p = line[i];
            const bool repeat = r.Contains(p) && (!previous || *previous != p);
            previous = p;
            if (!repeat) continue;
            line.insert(line.begin() + static_cast<std::ptrdiff_t>(i + 1), static_cast<std::size_t>(times), p);
            for (int k = 0; k < times; ++k) layout.occupancy.TryOccupy(PointRow(p), PointCol(p), true);
            added += times;
        }
    }
    layout.MarkChanged();
    layout.RecomputeLineCount();
    return added;
}

bool ExchangeLines(Layout& layout, int a, int b) {
    if (a < 0 || b < 0 || a >= kLineCount || b >= kLineCount || a == b) return false;
    std::swap(layout.lines[static_cast<std::size_t>(a)], layout.lines[static_cast<std::size_t>(b)]);
    layout.BeginStep(UndoType::Exchanged).entries.push_back(UndoEntry{0, static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b)});
    layout.RecomputeLineCount();
    return true;
}

bool UniteLines(Layout& layout, int a, int b) {
    if (a < 0 || b < 0 || a >= kLineCount || b >= kLineCount || a == b) return false;
    auto& from = layout.lines[static_cast<std::size_t>(a)];
    if (from.empty()) return true;
    UndoStep& step = layout.BeginStep(UndoType::Transferred);
    step.entries.push_back(UndoEntry{from.front(), static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b)});
    step.entries.push_back(UndoEntry{static_cast<std::uint32_t>(from.size()), 0, 0});
    MoveRun(layout, a, 0, b);
    layout.RecomputeLineCount();
    return true;
}

namespace {
std::vector<int> LinesOf(int a, int b, bool to) {
    std::vector<int> lines;
    if (a < 0 || a >= kLineCount) {
        // Without line a: line b alone ("And"), or the lines after a up to b ("To").
        if (b < 0 || b >= kLineCount) return lines;
        for (int l = to ? std::max(a + 1, 0) : b; l <= b; ++l) lines.push_back(l);
        return lines;
    }
    lines.push_back(a);
    if (b < 0 || b >= kLineCount) return lines;
    if (to) {
        for (int l = a + 1; l <= b; ++l) lines.push_back(l);
    } else if (b != a) {
        lines.push_back(b);
    }
    return lines;
}
}  // namespace

int DeleteLines(Layout& layout, int a, int b, bool to) {
    const auto lines = LinesOf(a, b, to);
    if (lines.empty()) return -1;
    UndoStep& step = layout.BeginStep(UndoType::Deleted);
    int removed = 0;
    for (int l : lines) {
        auto& line = layout.lines[static_cast<std::size_t>(l)];
        for (std::size_t i = line.size(); i-- > 0;) {
            step.entries.push_back(UndoEntry{line[i], static_cast<std::uint16_t>(l), static_cast<std::uint16_t>(i)});
            layout.occupancy.Decrement(PointRow(line[i]), PointCol(line[i]));
            ++removed;
        }
        line.clear();
    }
    layout.RecomputeLineCount();
    return removed;
}

int MoveLines(Layout& layout, int a, int b, bool to, int dx, int dy) {
    const auto lines = LinesOf(a, b, to);
    if (lines.empty()) return -1;
    int moved = 0;
    for (int l : lines) {
        for (LinePoint& p : layout.lines[static_cast<std::size_t>(l)]) {
            const int c = std::clamp(PointCol(p) + dx, 0, layout.grid.cols - 1);
            const int r = std::clamp(PointRow(p) + dy, 0, layout.grid.rows - 1);
            layout.occupancy.Decrement(PointRow(p), PointCol(p));
            layout.occupancy.TryOccupy(r, c, true);
            p = MakePoint(r, c);
            ++moved;
        }
    }
    layout.MarkChanged();
    return moved;
}

std::vector<std::uint8_t> CopyLines(const Layout& layout, int a, int b) {
    std::vector<Line> fragments;
    if (a < 0 || a >= kLineCount) return EncodeLayoutData(fragments);
    const int last = b >= a && b < kLineCount ? b : a;
    for (int l = a; l <= last; ++l) fragments.push_back(layout.lines[static_cast<std::size_t>(l)]);
    return EncodeLayoutData(fragments);
}

bool UndoLayout(Layout& layout) {
    if (layout.undo.empty()) return false;
    const UndoType type = layout.undo.back().type;
    if (type == UndoType::Added || type == UndoType::Deleted) return layout.Undo();
    ApplyOwn(layout, layout.undo.back());
    layout.redo.push_back(std::move(layout.undo.back()));
    layout.undo.pop_back();
    layout.Undone();
    return true;
}

bool RedoLayout(Layout& layout) {
    if (layout.redo.empty()) return false;
    const UndoType type = layout.redo.back().type;
    if (type == UndoType::Added || type == UndoType::Deleted) return layout.Redo();
    ApplyOwn(layout, layout.redo.back());
    layout.undo.push_back(std::move(layout.redo.back()));
    layout.redo.pop_back();
    layout.Redone();
    return true;
}

}  // namespace corv
