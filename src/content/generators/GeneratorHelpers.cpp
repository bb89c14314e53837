#include "content/generators/GeneratorUnit.h"

namespace corv::generators {

Stepper::Stepper(GeneratorRun& run, std::size_t planned) : run_(run), frames_(*run.frames) {
    const std::size_t after = run_.current + 1;
    existing_ = frames_.size();
    if (run_.coverMode) {
        recorded_ = run_.undo->RecordChange(frames_, after, planned);
    } else {
        run_.undo->BeginUndo(frames_, 0, after, static_cast<std::uint32_t>(planned));
    }
}

Stepper::~Stepper() {
    if (run_.coverMode && recorded_ && frames_.size() > existing_) run_.undo->AddAppendedTail(existing_, frames_.size() - existing_);
}

Frame& Stepper::Next(bool copy, const PixelRect& r) {
    const Frame& cur = frames_[run_.current];
    if (run_.coverMode && run_.current + 1 < frames_.size()) return frames_[++run_.current];
    if (run_.coverMode) {
        Frame f = cur;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) f.SetPixel(x, y, Bgr{0, 0, 0});
        }
        frames_.push_back(std::move(f));
        return frames_[++run_.current];
    }
    Frame f = copy ? Frame(cur) : Frame::Filled(cur.width(), cur.height(), run_.background);
    frames_.insert(frames_.begin() + static_cast<std::ptrdiff_t>(run_.current + 1), std::move(f));
    return frames_[++run_.current];
}

Bgr Current(const ColourList& list) {
    const std::size_t i = static_cast<std::size_t>(list.selected());
    return list.empty() ? Bgr{} : ToBgr(list[i < list.count() ? i : 0]);
}
Bgr Entry(const ColourList& list, long long i) {
    const long long n = static_cast<long long>(list.count());
    return n == 0 ? Bgr{} : ToBgr(list[static_cast<std::size_t>(((i % n) + n) % n)]);
}
void Advance(ColourList& list) {
    if (!list.empty()) list.Select((list.selected() + 1) % static_cast<int>(list.count()));
}

void Move(const Frame& P, Frame& F, const PixelRect& r, Dir d, int s, bool recycle, Bgr colour) {
    const int w = r.width(), h = r.height();
    if (w <= 0 || h <= 0) return;
    const int sx = std::min(s, w), sy = std::min(s, h);
    auto rowShift = [&](int y, int dx, Bgr enter) {  // dx < 0: left
        for (int x = r.left; x < r.right; ++x) {
            const int from = x - dx;
            F.SetPixel(x, y, from >= r.left && from < r.right ? P.Pixel(from, y) : enter);
        }
    };
    switch (d) {
        case kLeft:
            for (int y = r.top; y < r.bottom; ++y) rowShift(y, -sx, recycle ? P.Pixel(r.left, y) : colour);
            break;
        case kRight:
            for (int y = r.top; y < r.bottom; ++y) rowShift(y, sx, recycle ? P.Pixel(r.right - 1, y) : colour);
            break;
        case kUp:
        case kDown: {
            // Up: content moves toward the top; the rows entering at the bottom copy P's top row.
            const int dy = d == kUp ? -sy : sy;
            const int source = d == kUp ? r.top : r.bottom - 1;
            for (int y = r.top; y < r.bottom; ++y) {
                const int from = y - dy;
                for (int x = r.left; x < r.right; ++x) {
                    if (from >= r.top && from < r.bottom) {
                        F.SetPixel(x, y, P.Pixel(x, from));
                    } else {
                        F.SetPixel(x, y, recycle ? P.Pixel(x, source) : colour);
                    }
                }
            }
            break;
        }
        default: {
            // Diagonals: each row shifts sideways; what enters comes from the neighbouring row's
            // edge, so the content also travels up or down.
            const bool left = d == kLeftUp || d == kLeftDown;
            const bool up = d == kLeftUp || d == kRightUp;
            const int edge = left ? r.right - 1 : r.left;        // the column where colour enters
            const int opposite = left ? r.left : r.right - 1;    // the corner pixel taken with recycle
            for (int y = r.top; y < r.bottom; ++y) {
                const int neighbour = up ? y + 1 : y - 1;
                Bgr enter;
                if (neighbour < r.top || neighbour >= r.bottom) {
                    enter = recycle ? P.Pixel(opposite, up ? r.top : r.bottom - 1) : colour;
                } else {
                    enter = P.Pixel(edge, neighbour);
                }
                rowShift(y, left ? -sx : sx, enter);
            }
        }
    }
}

std::vector<std::vector<std::pair<int, int>>> Ports(const Layout& layout, int width, int height) {
    std::vector<std::vector<std::pair<int, int>>> ports;
    for (const Line& line : layout.lines) {
        std::vector<std::pair<int, int>> points;
        for (LinePoint p : line) {
            if (PointCol(p) < width && PointRow(p) < height) points.emplace_back(PointCol(p), PointRow(p));
        }
        if (!points.empty()) ports.push_back(std::move(points));
    }
    return ports;
}

int WithinGibibyte(const GeneratorJob& job, long long count) {
    const long long budget = std::max<long long>(1, (1LL << 30) / static_cast<long long>(std::max<std::size_t>(job.frameBytes, 1)));
    return static_cast<int>(std::min<long long>(count, budget));
}

}  // namespace corv::generators
