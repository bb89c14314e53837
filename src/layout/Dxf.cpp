#include "layout/Dxf.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unordered_map>

namespace corv {

namespace {

struct Pair {
    int code = -1;
    std::string value;
};

// Group-code/value pairs of the file, one line each.
class PairReader {
public:
    explicit PairReader(const std::string& text) : text_(text) {}

    bool Next(Pair& p) {
        std::string code, value;
        if (!Line(code) || !Line(value)) {
            return false;
        }
        const auto b = code.find_first_not_of(" \t");
        if (b == std::string::npos) {
            return false;
        }
        char* end = nullptr;
        const long c = std::strtol(code.c_str() + b, &end, 10);
        if (end == code.c_str() + b) {
            return false;  // not a group code: the file is damaged here
        }
        p.code = static_cast<int>(c);
        p.value = std::move(value);
        return true;
    }

private:
    bool Line(std::string& out) {
        if (pos_ >= text_.size()) {
            return false;
        }
        std::size_t nl = text_.find('\n', pos_);
        if (nl == std::string::npos) {
            nl = text_.size();
        }
        out.assign(text_, pos_, nl - pos_);
        while (!out.empty() && (out.back() == '\r' || out.back() == ' ' || out.back() == '\t')) {
            out.pop_back();
        }
        pos_ = nl + 1;
        return true;
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

std::string Trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b);
}

double Number(const std::string& s) {
    return std::strtod(s.c_str(), nullptr);
}

void Extend(DxfDrawing& d, DxfPoint p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        return;
    }
    if (!d.hasExtent) {
        d.minX = d.maxX = p.x;
        d.minY = d.maxY = p.y;
        d.hasExtent = true;
        return;
    }
    d.minX = std::min(d.minX, p.x);
    d.maxX = std::max(d.maxX, p.x);
    d.minY = std::min(d.minY, p.y);
    d.maxY = std::max(d.maxY, p.y);
}

// One entity: its type and its pairs up to the next group code 0.
struct Entity {
    std::string type;
    std::vector<Pair> pairs;
    double Get(int code, double fallback = 0) const {
        for (const auto& p : pairs) {
            if (p.code == code) return Number(p.value);
        }
        return fallback;
    }
    const std::string* Text(int code) const {
        for (const auto& p : pairs) {
            if (p.code == code) return &p.value;
        }
        return nullptr;
    }
};

}  // namespace

DxfDrawing ParseDxf(const std::string& text) {
    DxfDrawing d;
    PairReader reader(text);
    Pair p;
    // Find the ENTITIES section wherever it is.
    bool inSection = false;
    bool found = false;
    while (reader.Next(p)) {
        if (p.code == 0 && Trimmed(p.value) == "SECTION") {
            inSection = true;
            continue;
        }
        if (inSection && p.code == 2) {
            if (Trimmed(p.value) == "ENTITIES") {
                found = true;
                break;
            }
            inSection = false;
        }
    }
    if (!found) {
        return d;
    }
    d.hasEntities = true;
    // Gather the section's entities.
    std::vector<Entity> entities;
    bool ok = reader.Next(p);
    while (ok) {
        if (p.code != 0) {
            ok = reader.Next(p);
            continue;
        }
        Entity e;
        e.type = Trimmed(p.value);
        if (e.type == "ENDSEC" || e.type == "EOF") {
            d.complete = e.type == "ENDSEC";
            break;
        }
        while ((ok = reader.Next(p)) && p.code != 0) {
            e.pairs.push_back(std::move(p));
        }
        entities.push_back(std::move(e));
    }
    // Coordinates that are not numbers, infinite or absurdly far out would overflow every grid
    // and hash computed from them: such entities are left out and counted.
    auto sane = [](double v) { return std::isfinite(v) && std::abs(v) <= kMaxDxfCoordinate; };
    auto saneAll = [&](std::initializer_list<double> values) {
        for (double v : values) {
            if (!sane(v)) {
                ++d.absurd;
                return false;
            }
        }
        return true;
    };
    for (std::size_t i = 0; i < entities.size(); ++i) {
        const Entity& e = entities[i];
        if (e.type == "LINE") {
            DxfDrawing::Line l{{e.Get(10), e.Get(20)}, {e.Get(11), e.Get(21)}};
            if (!saneAll({l.start.x, l.start.y, l.end.x, l.end.y})) continue;
            d.lines.push_back(l);
            Extend(d, l.start);
            Extend(d, l.end);
        } else if (e.type == "CIRCLE") {
            DxfDrawing::Circle c{{e.Get(10), e.Get(20)}, e.Get(40)};
            if (!saneAll({c.centre.x, c.centre.y, c.radius}) || c.radius < 0) continue;
            d.circles.push_back(c);
            Extend(d, c.centre);
        } else if (e.type == "ELLIPSE") {
            DxfDrawing::Ellipse el{{e.Get(10), e.Get(20)}, {e.Get(11), e.Get(21)}};
            if (!saneAll({el.centre.x, el.centre.y, el.axis.x, el.axis.y})) continue;
            d.ellipses.push_back(el);
            Extend(d, el.centre);
        } else if (e.type == "TEXT") {
            ++d.texts;
            const std::string* value = e.Text(1);
            if (value && !value->empty() && (*value)[0] == '#') {
                const auto digit = value->find_first_of("0123456789", 1);
                if (digit != std::string::npos) {
                    // Numbers past any line are kept as "no such line" (kLineCount), never read
                    // past what an int holds.
                    const long long n = std::strtoll(value->c_str() + digit, nullptr, 10);
                    DxfDrawing::Label label{{e.Get(10), e.Get(20)}, e.Get(40),
                                            static_cast<int>(std::clamp<long long>(n, 0, kLineCount))};
                    if (!saneAll({label.at.x, label.at.y, label.height})) continue;
                    d.labels.push_back(label);
                    Extend(d, label.at);
                }
            }
        } else if (e.type == "POLYLINE") {
            std::vector<DxfPoint> vertices;
            for (++i; i < entities.size() && entities[i].type != "SEQEND"; ++i) {
                if (entities[i].type == "VERTEX") {
                    const DxfPoint v{entities[i].Get(10), entities[i].Get(20)};
                    if (!saneAll({v.x, v.y})) continue;
                    vertices.push_back(v);
                    Extend(d, vertices.back());
                }
            }
            d.polylines.push_back(std::move(vertices));
        } else if (e.type == "LWPOLYLINE") {
            // Modern programs write polylines this way: vertices as repeated 10/20 pairs.
            ++d.lwpolylines;
            std::vector<DxfPoint> vertices;
            for (const auto& pr : e.pairs) {
                if (pr.code == 10) {
                    vertices.push_back({Number(pr.value), 0});
                } else if (pr.code == 20 && !vertices.empty()) {
                    vertices.back().y = Number(pr.value);
                    if (!saneAll({vertices.back().x, vertices.back().y})) {
                        vertices.pop_back();
                        continue;
                    }
                    Extend(d, vertices.back());
                }
            }
            d.polylines.push_back(std::move(vertices));
        } else {
            ++d.skipped;
        }
    }
    return d;
}

DxfDrawing ReadDxf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return ParseDxf(text.str());
}

std::pair<int, int> SuggestedSpacing(const DxfDrawing& d, bool vertexMode) {
    // The LED positions: circle centres, or in vertex mode the segments' end points.
    std::vector<double> xs, ys;
    double minGap = 0;
    if (vertexMode) {
        for (const auto& l : d.lines) {
            if (xs.size() >= 1000) break;
            xs.push_back(l.start.x);
            ys.push_back(l.start.y);
            xs.push_back(l.end.x);
            ys.push_back(l.end.y);
        }
        // End points that meet are one LED: gaps below a thousandth of the extent do not count.
        const double extent = d.hasExtent ? std::max(d.maxX - d.minX, d.maxY - d.minY) : 0;
        minGap = extent / 1000;
    } else {
        const std::size_t n = std::min<std::size_t>(d.circles.size(), 1000);
        for (std::size_t i = 0; i < n; ++i) {
            xs.push_back(d.circles[i].centre.x);
            ys.push_back(d.circles[i].centre.y);
        }
        minGap = d.circles.empty() ? 0 : 2 * d.circles[0].radius;
    }
    if (xs.size() < 2) {
        return {100, 100};
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    auto smallest = [minGap](const std::vector<double>& v) {
        double best = -1;
        for (std::size_t i = 1; i < v.size(); ++i) {
            const double gap = v[i] - v[i - 1];
            if (gap > minGap && (best < 0 || gap < best)) {
                best = gap;
            }
        }
        return best;
    };
    double sx = smallest(xs), sy = smallest(ys);
    if (sx < 0 && sy < 0) {
        return {100, 100};
    }
    // LEDs in one row (or column) only: the other direction takes the same spacing.
    if (sx < 0) sx = sy;
    if (sy < 0) sy = sx;
    // Whole drawing units, at least 1 (a drawing in metres has gaps below one unit).
    auto whole = [](double v) { return static_cast<int>(std::clamp(std::trunc(v + 0.004), 1.0, kMaxDxfSpacing)); };
    return {whole(sx), whole(sy)};
}

namespace {

// Points hashed on a grid of cells of a given size, for near-neighbour look-ups.
class PointHash {
public:
    explicit PointHash(double cell) : cell_(cell > 0 ? cell : 1e-6) {}
    void Add(DxfPoint p, std::size_t id) { map_[Key(p.x, p.y)].push_back(id); }
    template <class F>
    void Near(DxfPoint p, F&& visit) const {
        const auto cx = Cell(p.x), cy = Cell(p.y);
        for (long long dx = -1; dx <= 1; ++dx) {
            for (long long dy = -1; dy <= 1; ++dy) {
                auto it = map_.find(Pack(cx + dx, cy + dy));
                if (it != map_.end()) {
                    for (std::size_t id : it->second) visit(id);
                }
            }
        }
    }
    // Every id in the cells a box touches.
    template <class F>
    void InBox(double x0, double y0, double x1, double y1, F&& visit) const {
        const long long ax = Cell(x0), bx = Cell(x1), ay = Cell(y0), by = Cell(y1);
        // Counted in floating point: far-apart corners overflow a product of integers.
        if ((static_cast<double>(bx) - ax + 1) * (static_cast<double>(by) - ay + 1) >
            static_cast<double>(map_.size()) * 4 + 64) {
            for (const auto& [key, ids] : map_) {
                for (std::size_t id : ids) visit(id);
            }
            return;
        }
        for (long long x = ax; x <= bx; ++x) {
            for (long long y = ay; y <= by; ++y) {
                auto it = map_.find(Pack(x, y));
                if (it != map_.end()) {
                    for (std::size_t id : it->second) visit(id);
                }
            }
        }
    }

private:
    // Coordinates are bounded (kMaxDxfCoordinate) but a tiny cell could still take a quotient past
    // what an integer holds: it is clamped first.
    long long Cell(double v) const { return static_cast<long long>(std::clamp(std::floor(v / cell_), -1e15, 1e15)); }
    static std::uint64_t Pack(long long x, long long y) {
        return (static_cast<std::uint64_t>(x) << 32) ^ (static_cast<std::uint64_t>(y) & 0xFFFFFFFFu);
    }
    std::uint64_t Key(double x, double y) const { return Pack(Cell(x), Cell(y)); }

    double cell_;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> map_;
};

bool Near(DxfPoint a, DxfPoint b, double tol) { return std::abs(a.x - b.x) <= tol && std::abs(a.y - b.y) <= tol; }

}  // namespace

DxfImportResult ImportDxf(const DxfDrawing& d, int spaceX, int spaceY, bool vertexMode, Layout& layout,
                          std::uint8_t defaultChip) {
    DxfImportResult result;
    const double scaleX = 1.0 / std::max(spaceX, 1), scaleY = 1.0 / std::max(spaceY, 1);
    const double w = d.hasExtent ? d.maxX - d.minX : 0, h = d.hasExtent ? d.maxY - d.minY : 0;
    const double cols = std::trunc(w * scaleX + 1.5), rows = std::trunc(h * scaleY + 1.5);
    if (!GridWithinLimit(static_cast<long long>(std::min(rows, 1e6)), static_cast<long long>(std::min(cols, 1e6)))) {
        result.tooLarge = true;  // the layout is left as it was
        result.rows = static_cast<int>(std::min(rows, 2e9));
        result.cols = static_cast<int>(std::min(cols, 2e9));
        return result;
    }
    result.cols = static_cast<int>(cols);
    result.rows = static_cast<int>(rows);
    layout.New(result.rows, result.cols, false, defaultChip);
    auto cellOf = [&](DxfPoint p) {
        const double col = std::trunc((p.x - d.minX) * scaleX + 0.5);
        const double row = std::trunc((d.maxY - p.y) * scaleY + 0.5);
        return MakePoint(static_cast<int>(std::clamp(row, 0.0, result.rows - 1.0)),
                         static_cast<int>(std::clamp(col, 0.0, result.cols - 1.0)));
    };

    const double radius = d.circles.empty() ? 0 : d.circles[0].radius;
    const double tol = std::max(radius / 2, 1e-9);

    // Segments by their end points, to join them into chains without comparing every pair.
    PointHash ends(std::max(tol * 2, 1e-6));
    for (std::size_t i = 0; i < d.lines.size(); ++i) {
        ends.Add(d.lines[i].start, i);
        ends.Add(d.lines[i].end, i);
    }
    // Circles on a grid about as fine as the spacing.
    PointHash circleHash(std::max({static_cast<double>(std::min(spaceX, spaceY)), radius * 4, 1e-6}));
    for (std::size_t i = 0; i < d.circles.size(); ++i) {
        circleHash.Add(d.circles[i].centre, i);
    }
    std::vector<bool> segmentUsed(d.lines.size(), false), circleUsed(d.circles.size(), false),
        labelUsed(d.labels.size(), false);
    int running = 0;
    std::vector<bool> lineHasLeds(kLineCount, false);

    for (std::size_t startSeg = 0; startSeg < d.lines.size(); ++startSeg) {
        if (segmentUsed[startSeg]) {
            continue;
        }
        // Build the chain forward from this segment.
        std::vector<DxfDrawing::Line> chain{d.lines[startSeg]};
        segmentUsed[startSeg] = true;
        for (;;) {
            const DxfPoint end = chain.back().end;
            std::size_t next = d.lines.size();
            bool reversed = false;
            ends.Near(end, [&](std::size_t id) {
                if (segmentUsed[id] || id >= next) return;
                if (Near(d.lines[id].start, end, tol)) {
                    next = id;
                    reversed = false;
                } else if (Near(d.lines[id].end, end, tol)) {
                    next = id;
                    reversed = true;
                }
            });
            if (next == d.lines.size()) {
                break;
            }
            segmentUsed[next] = true;
            DxfDrawing::Line seg = d.lines[next];
            if (reversed) std::swap(seg.start, seg.end);
            chain.push_back(seg);
        }
        ++result.chains;
        // The label at the chain's last point, else at its first.
        const DxfPoint first = chain.front().start, last = chain.back().end;
        int index = -1;
        bool atLast = false;
        for (int pass = 0; pass < 2 && index < 0; ++pass) {
            const DxfPoint at = pass == 0 ? last : first;
            for (std::size_t l = 0; l < d.labels.size(); ++l) {
                const auto& label = d.labels[l];
                if (!labelUsed[l] && Near(label.at, at, 2 * label.height)) {
                    labelUsed[l] = true;
                    index = label.number;
                    atLast = pass == 0;
                    break;
                }
            }
        }
        if (index < 0) {
            index = running;
        }
        running = std::max(running, index + 1);
        if (index >= kLineCount) {
            continue;  // no such line
        }
        // The chain's LEDs in chain order.
        std::vector<LinePoint> cells;
        if (vertexMode) {
            cells.push_back(cellOf(chain.front().start));
            for (const auto& seg : chain) cells.push_back(cellOf(seg.end));
        } else {
            for (const auto& seg : chain) {
                std::vector<std::pair<double, std::size_t>> taken;
                const double x0 = std::min(seg.start.x, seg.end.x), x1 = std::max(seg.start.x, seg.end.x);
                const double y0 = std::min(seg.start.y, seg.end.y), y1 = std::max(seg.start.y, seg.end.y);
                const double dx = seg.end.x - seg.start.x, dy = seg.end.y - seg.start.y;
                const double len = std::hypot(dx, dy);
                circleHash.InBox(x0 - radius, y0 - radius, x1 + radius, y1 + radius, [&](std::size_t id) {
                    if (circleUsed[id]) return;
                    const auto& c = d.circles[id];
                    const double r = c.radius;
                    if (c.centre.x < x0 - r || c.centre.x > x1 + r || c.centre.y < y0 - r || c.centre.y > y1 + r) return;
                    const double dist = len > 0 ? std::abs(dy * (c.centre.x - seg.start.x) - dx * (c.centre.y - seg.start.y)) / len
                                                : std::hypot(c.centre.x - seg.start.x, c.centre.y - seg.start.y);
                    if (dist < r / 2) {
                        taken.emplace_back(std::abs(c.centre.x - seg.start.x) + std::abs(c.centre.y - seg.start.y), id);
                    }
                });
                std::sort(taken.begin(), taken.end());
                for (const auto& [distance, id] : taken) {
                    circleUsed[id] = true;
                    cells.push_back(cellOf(d.circles[id].centre));
                }
            }
        }
        auto& line = layout.lines[static_cast<std::size_t>(index)];
        if (atLast) {
            line.insert(line.begin(), cells.rbegin(), cells.rend());
        } else {
            line.insert(line.end(), cells.begin(), cells.end());
        }
        result.leds += static_cast<int>(cells.size());
        if (!cells.empty()) lineHasLeds[static_cast<std::size_t>(index)] = true;
    }
    result.linesUsed = static_cast<int>(std::count(lineHasLeds.begin(), lineHasLeds.end(), true));
    layout.RecomputeLineCount();
    layout.occupancy.Rebuild(layout.grid, layout.lines);
    for (const Line& line : layout.lines) {
        for (LinePoint p : line) {
            result.sharedCells += layout.occupancy.At(PointRow(p), PointCol(p)) > 1 ? 1 : 0;
        }
    }
    return result;
}

std::optional<std::vector<std::uint8_t>> DxfPicture(const DxfDrawing& d, int width, int height) {
    if (width < 1 || height < 1) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    const double w = d.maxX - d.minX, h = d.maxY - d.minY;
    for (const auto& c : d.circles) {
        int x = w > 0 ? static_cast<int>(std::trunc((c.centre.x - d.minX) / w * (width - 1) + 0.5)) : 0;
        int y = h > 0 ? static_cast<int>(std::trunc((d.maxY - c.centre.y) / h * (height - 1) + 0.5)) : 0;
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
        bool placed = false;
        // The pixel itself first, then its neighbours, nearest first.
        static const int order[9][2] = {{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
        for (const auto& o : order) {
            const int px = x + o[0], py = y + o[1];
            if (px < 0 || py < 0 || px >= width || py >= height) continue;
            auto& cell = picture[static_cast<std::size_t>(py) * static_cast<std::size_t>(width) + static_cast<std::size_t>(px)];
            if (cell == 0) {
                cell = 1;
                placed = true;
                break;
            }
        }
        if (!placed) {
            return std::nullopt;
        }
    }
    return picture;
}

}  // namespace corv
