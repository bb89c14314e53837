#include "content/Generators.h"

#include "content/TransitionRenderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "base/ProfileFile.h"

namespace corv {

namespace {

struct ModeInfo {
    const char* name;
    std::vector<std::string> styles;
};

const std::vector<std::string> kMovingStyles = {"Left(1)", "Right(2)", "Up(3)", "Down(4)", "LeftUp(5)", "LeftDown(6)",
                                                "RightUp(7)", "RightDown(8)", "Inner-port(9)", "Inter-port(0)"};
const std::vector<std::string> kFourWays = {"Left(1)", "Right(2)", "Up(3)", "Down(4)"};

const ModeInfo& Info(GeneratorMode mode) {
    static const ModeInfo kModes[kGeneratorModes] = {
        {"Moving", kMovingStyles},
        {"Symmetry", {"Horizontal open(1)", "Horizontal close(2)", "Vertical open(3)", "Vertical colse(4)",
                      "Twin corner open(5)", "Twin corner colse(6)"}},
        {"Interleaving", {"Horizontal(1)", "Vertical(2)"}},
        {"Diffusing", {"Ellipse diffuse(1)", "Ellipse shrink(2)", "Rhombus diffuse(3)", "Rhombus shrink(4)",
                       "Rectangle diffuse(5)", "Rectangle shrink(6)"}},
        {"Rotation", {"CCW Right-handed screw(1)", "CW screw(2)", "CCW circumrotate(3)", "CW circumrotate(4)"}},
        {"Gradual changing", {"Brighten(1)", "Darkle(2)", "Inflate(3)", "Deflate(4)", "Fadeout(5)", "Transition(6)"}},
        {"Dropping", {"Style1(1)", "Style2(2)", "Style3(3)"}},
        {"PictureAndText", {"Style1(1)", "Style2(2)"}},
        {"Toy bricks", kFourWays},
        {"Sound wave", {"Left(1)", "Right(2)", "Up(3)", "Down(4)", "Style1(1)"}},
        {"Jalousie", kFourWays},
        {"V shape", kFourWays},
        {"Other", {"Particle(1)", "Diffuse(2)", "Linetype(3)", "Random(4)", "Wave(5)"}},
    };
    return kModes[static_cast<int>(mode)];
}

enum Dir { kLeft, kRight, kUp, kDown, kLeftUp, kLeftDown, kRightUp, kRightDown };

// The frames of one run: the common frame step with its undo and cover mode.
class Stepper {
public:
    Stepper(GeneratorRun& run, std::size_t planned) : run_(run), frames_(*run.frames) {
        const std::size_t after = run_.current + 1;
        existing_ = frames_.size();
        if (run_.coverMode) {
            recorded_ = run_.undo->RecordChange(frames_, after, planned);
        } else {
            run_.undo->BeginUndo(frames_, 0, after, static_cast<std::uint32_t>(planned));
        }
    }
    ~Stepper() {
        if (run_.coverMode && recorded_ && frames_.size() > existing_) run_.undo->AddAppendedTail(existing_, frames_.size() - existing_);
    }
    // The next frame, current afterwards; `copy`: a copy of the current frame instead of a blank.
    Frame& Next(bool copy, const PixelRect& r) {
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
    const Frame& Previous() const { return frames_[run_.current - 1]; }

private:
    GeneratorRun& run_;
    std::vector<Frame>& frames_;
    std::size_t existing_ = 0;
    bool recorded_ = false;
};

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

// One Moving rule on rectangle r from P into F with step s (picture coordinates).
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

PixelRect Sub(int l, int t, int r, int b) { return PixelRect{l, t, r, b}; }

// The ports of the layout with their points in picture coordinates; empty lines left out.
// Points outside the frame (a line file may hold them) are left out.
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

}  // namespace

const char* GeneratorModeName(GeneratorMode mode) { return Info(mode).name; }

std::string GeneratorModeKey(GeneratorMode mode) {
    if (mode == GeneratorMode::PictureAndText) return "picture-and-text";  // the words of the name
    std::string key = Info(mode).name;
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return c == ' ' ? '-' : static_cast<char>(std::tolower(c)); });
    return key;
}

std::optional<GeneratorMode> GeneratorModeFromKey(const std::string& key) {
    for (int m = 0; m < kGeneratorModes; ++m) {
        if (GeneratorModeKey(static_cast<GeneratorMode>(m)) == key) return static_cast<GeneratorMode>(m);
    }
    return std::nullopt;
}

std::vector<std::string> GeneratorStyles(GeneratorMode mode) { return Info(mode).styles; }

const char* RenderModeName(int render) {
    static const char* kNames[kRenderModes] = {"Not", "Left", "Right", "Up", "Down", "Left up", "Left down",
                                               "Right up", "Right down", "Curve up", "Curve down"};
    return render >= 0 && render < kRenderModes ? kNames[render] : "";
}

bool GeneratorAvailable(GeneratorMode mode, int style) {
    const int styles = static_cast<int>(Info(mode).styles.size());
    if (style < 0 || style >= styles) return false;
    switch (mode) {
        case GeneratorMode::Other:
            return true;
        default:
            return true;
    }
}

int ValidStep(int step, int style, int width, int height) {
    const bool across = style == kLeft || style == kRight;
    const bool along = style == kUp || style == kDown;
    const bool ok = step >= 1 && (across ? step < width : along ? step < height : step < width && step < height);
    return ok ? step : 1;
}

void RenderColours(Frame& frame, const PixelRect& r, Bgr background, const ColourList& colours, int start, int render) {
    if (render <= 0 || render >= kRenderModes || colours.empty()) return;
    const int d = render - 1;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (frame.Pixel(x, y) == background) continue;
            const int fromTop = y - r.top, fromBottom = r.bottom - 1 - y;
            const int fromLeft = x - r.left, fromRight = r.right - 1 - x;
            const int p = fromLeft % 12;
            const int bump = p >= 4 && p <= 7 ? 2 : (p == 2 || p == 3 || p == 8 || p == 9) ? 1 : 0;
            long long c = start;
            switch (d) {
                case 0: c += fromLeft; break;
                case 1: c += fromRight; break;
                case 2: c += fromTop; break;
                case 3: c += fromBottom; break;
                case 4: c += fromLeft + fromTop; break;
                case 5: c += fromLeft + fromBottom; break;
                case 6: c += fromRight + fromTop; break;
                case 7: c += fromRight + fromBottom; break;
                case 8: c += fromTop + bump; break;
                case 9: c += fromBottom + bump; break;
                default: break;
            }
            frame.SetPixel(x, y, Entry(colours, c));
        }
    }
}

namespace {

// Toy bricks in lane coordinates: `across` picks the lane, `along` runs from the entry edge (0)
// to the far edge (span - 1) where the bricks pile up.
class ToyBricks {
public:
    ToyBricks(const PixelRect& r, int style, const ToyBricksOptions& o, std::uint32_t seed) : r_(r), style_(style), o_(o), random_(seed) {
        const bool vertical = style >= 2;  // up or down: lanes side by side across the width
        across_ = vertical ? std::max(o.width, 1) : std::max(o.height, 1);
        along_ = vertical ? std::max(o.height, 1) : std::max(o.width, 1);
        const int laneSpan = vertical ? r.width() : r.height();
        span_ = vertical ? r.height() : r.width();
        const int pitch = across_ + std::max(o.space, 0);
        lanes_ = std::max(1, (laneSpan + std::max(o.space, 0)) / pitch);
        pitch_ = pitch;
        piles_.assign(static_cast<std::size_t>(lanes_), {});
    }
    bool Done() const { return finished_ > std::max(o_.overpass, 0); }
    // One frame: a new brick when due, every brick one cell on; drawn into `frame` when given.
    void Step(int f, Bgr colour, Frame* frame) {
        const int capacity = std::max(1, span_ / along_);
        std::vector<int> open;
        for (int lane = 0; lane < lanes_; ++lane) {
            int coming = 0;
            for (const Brick& b : moving_) coming += b.lane == lane;
            if (static_cast<int>(piles_[static_cast<std::size_t>(lane)].size()) + coming < capacity) open.push_back(lane);
        }
        if (!open.empty() && f % std::max(o_.frequency, 1) == 0) {
            const int lane = open[random_() % open.size()];
            moving_.push_back(Brick{lane, -along_, colour, std::max(o_.rebound, 0), 0});
        }
        if (frame) {
            for (int lane = 0; lane < lanes_; ++lane) {
                const auto& pile = piles_[static_cast<std::size_t>(lane)];
                for (std::size_t k = 0; k < pile.size(); ++k) Draw(*frame, lane, span_ - static_cast<int>(k + 1) * along_, pile[k]);
            }
            for (const Brick& b : moving_) Draw(*frame, b.lane, b.pos, b.colour);
        }
        // Move: toward the far edge; a landing brick bounces back `rebound` cells first.
        for (Brick& b : moving_) {
            const int floor = span_ - static_cast<int>(piles_[static_cast<std::size_t>(b.lane)].size() + 1) * along_;
            if (b.rising > 0) {
                --b.pos;
                --b.rising;
            } else if (b.pos + 1 >= floor) {
                if (b.bounces > 0) {
                    b.rising = b.bounces;
                    b.bounces = 0;
                    b.pos = floor;
                } else {
                    b.pos = floor;
                    b.landed = true;
                }
            } else {
                ++b.pos;
            }
        }
        for (const Brick& b : moving_) {
            if (b.landed) piles_[static_cast<std::size_t>(b.lane)].push_back(b.colour);
        }
        std::erase_if(moving_, [](const Brick& b) { return b.landed; });
        if (open.empty() && moving_.empty()) ++finished_;
    }

private:
    struct Brick {
        int lane;
        int pos;  // the cell of the brick nearest the entry edge, along the travel
        Bgr colour;
        int bounces;
        int rising;
        bool landed = false;
    };
    void Draw(Frame& frame, int lane, int pos, Bgr colour) const {
        for (int a = 0; a < across_; ++a) {
            for (int t = 0; t < along_; ++t) {
                const int c = lane * pitch_ + a, d = pos + t;
                if (d < 0 || d >= span_) continue;
                int x = 0, y = 0;
                switch (style_) {
                    case 0: x = r_.right - 1 - d; y = r_.top + c; break;   // left: enters at the right
                    case 1: x = r_.left + d; y = r_.top + c; break;        // right
                    case 2: x = r_.left + c; y = r_.bottom - 1 - d; break; // up: enters at the bottom
                    default: x = r_.left + c; y = r_.top + d; break;       // down
                }
                if (x >= r_.left && x < r_.right && y >= r_.top && y < r_.bottom) frame.SetPixel(x, y, colour);
            }
        }
    }
    PixelRect r_;
    int style_;
    ToyBricksOptions o_;
    std::mt19937 random_;
    int across_ = 1, along_ = 1, span_ = 1, lanes_ = 1, pitch_ = 1;
    std::vector<std::vector<Bgr>> piles_;
    std::vector<Brick> moving_;
    int finished_ = 0;
};

constexpr int kMaxBrickFrames = 20000;

}  // namespace

namespace {

Bgr ToBgrColour(QRgb c) {
    return Bgr{static_cast<std::uint8_t>(qBlue(c)), static_cast<std::uint8_t>(qGreen(c)), static_cast<std::uint8_t>(qRed(c))};
}

// Copies a picture of the rectangle's size into the rectangle of a frame.
void PutPicture(const QImage& picture, Frame& F, const PixelRect& r) {
    for (int y = 0; y < r.height() && y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < r.width() && x < picture.width(); ++x) F.SetPixel(r.left + x, r.top + y, ToBgrColour(line[x]));
    }
}

bool RunFits(GeneratorRun& run, long long frames, std::size_t frameBytes) {
    if (static_cast<std::uint64_t>(frames) * frameBytes <= kMaxRunBytes) return true;
    run.error = std::to_string(frames) + " frames take more than the " + std::to_string(kMaxRunBytes >> 20) + " MB a run may make";
    return false;
}

// "PictureAndText": the built text picture scrolled through the rectangle, or every list entry
// played through the transition renderer (style 2 plays each back out to the background).
int RunPictureText(GeneratorRun& run, int style, const PixelRect& r, std::mt19937& random) {
    const PictureTextOptions& o = run.pictureText;
    ColourList& colours = *run.colours;
    const int w = r.width(), h = r.height();
    const QColor back(run.background.r, run.background.g, run.background.b);
    const std::size_t frameBytes = (*run.frames)[run.current].size();
    if (!o.textPicture.isNull()) {
        // The text enters at the far edge and moves one pixel a frame until it has left.
        const QImage text = o.textPicture.convertToFormat(QImage::Format_RGB32);
        const bool down = o.vertical && style == 1;
        const int length = o.vertical ? text.height() : text.width();
        const long long total = static_cast<long long>(length) + (o.vertical ? h : w);
        if (!RunFits(run, total, frameBytes)) return -1;
        Stepper stepper(run, static_cast<std::size_t>(total));
        for (int f = 0; f < total; ++f) {
            Frame& F = stepper.Next(false, r);
            const Frame& P = stepper.Previous();
            auto textAt = [&](int x, int y) {
                return x >= 0 && y >= 0 && x < text.width() && y < text.height() ? ToBgrColour(text.pixel(x, y)) : run.background;
            };
            for (int y = r.top; y < r.bottom; ++y) {
                for (int x = r.left; x < r.right; ++x) {
                    Bgr c;
                    if (!o.vertical) {
                        c = x + 1 < r.right ? P.Pixel(x + 1, y) : textAt(f, y - r.top);
                    } else if (!down) {
                        c = y + 1 < r.bottom ? P.Pixel(x, y + 1) : textAt(x - r.left, f);
                    } else {
                        c = y > r.top ? P.Pixel(x, y - 1) : textAt(x - r.left, length - 1 - f);
                    }
                    F.SetPixel(x, y, c);
                }
            }
            if (run.render > 0) RenderColours(F, r, run.background, colours, f % static_cast<int>(colours.count()), run.render);
        }
        Advance(colours);
        return static_cast<int>(total);
    }
    if (o.entries.empty()) {
        run.error = "there are no pictures or text files in the list";
        return -1;
    }
    const Bgr ink = Current(colours);
    std::vector<QImage> pictures;
    for (const auto& entry : o.entries) {
        for (QImage& picture : EntryPictures(entry, o.font, QColor(ink.r, ink.g, ink.b), back, QSize(w, h))) {
            pictures.push_back(std::move(picture));
        }
    }
    if (pictures.empty()) {
        run.error = "none of the files in the list could be read";
        return -1;
    }
    const int n = std::max(run.count, 1);
    const int passes = style == 1 ? 2 : 1;
    const long long total = static_cast<long long>(n) * static_cast<long long>(pictures.size()) * passes;
    if (!RunFits(run, total, frameBytes)) return -1;
    TransitionRenderer renderer(w, h, run.seed);
    renderer.steps = n;
    renderer.kind = o.kind > 0 && o.kind < kTransitionKinds ? o.kind : RandomTransitionKind(random);
    QImage blank(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    blank.fill(back);
    QImage target = blank;
    renderer.SetPrevious(blank);
    Stepper stepper(run, static_cast<std::size_t>(total));
    int c = std::max(colours.selected(), 0);
    for (const QImage& picture : pictures) {
        for (int pass = 0; pass < passes; ++pass) {
            renderer.SetPictures(pass == 0 ? &picture : &blank);
            for (int k = 1; k <= n; ++k) {
                Frame& F = stepper.Next(false, r);
                renderer.RenderStep(target, k);
                PutPicture(target, F, r);
                if (run.render > 0) RenderColours(F, r, run.background, colours, c, run.render);
                c = (c + 1) % static_cast<int>(colours.count());
            }
        }
    }
    Advance(colours);
    return static_cast<int>(total);
}

}  // namespace

int RunGenerator(GeneratorRun& run, GeneratorMode mode, int style) {
    run.error.clear();
    if (!run.frames || run.frames->empty() || !run.undo || !run.colours) {
        run.error = "there is no frame to follow";
        return -1;
    }
    if (!GeneratorAvailable(mode, style)) {
        run.error = "this style is not available";
        return -1;
    }
    if (run.colours->empty()) {
        run.error = "the colour list is empty";
        return -1;
    }
    auto& frames = *run.frames;
    run.current = std::min(run.current, frames.size() - 1);
    const Frame& model = frames[run.current];
    const int W = model.width(), H = model.height();
    const PixelRect r = TargetRect(W, H, run.editArea);
    const int w = r.width(), h = r.height();
    ColourList& colours = *run.colours;
    int count = std::max(run.count, 0);
    std::mt19937 random(run.seed);

    // The port styles need wiring that fits the picture.
    const bool ports = mode == GeneratorMode::Moving && style >= 8;
    if (ports && (!run.layout || run.layout->grid.cols > W || run.layout->grid.rows > H)) {
        run.error = "the layout is larger than the picture";
        return -1;
    }

    // Jalousie makes one frame per column of its slats.
    int blocks = 0, slat = 0;
    if (mode == GeneratorMode::Jalousie) {
        const int span = style < 2 ? w : h;
        blocks = std::clamp(run.count, 1, std::max(span, 1));
        slat = (span + blocks - 1) / blocks;
        count = slat;
    }
    if (mode == GeneratorMode::VShape) {
        const long long frames = static_cast<long long>(std::max(run.vshape.cycles, 1)) * static_cast<long long>(colours.count()) *
                                 std::max(run.vshape.interval, 1);
        count = static_cast<int>(std::min<long long>(frames, kMaxBrickFrames));
    }
    if (mode == GeneratorMode::ToyBricks) {
        // The wall decides the length of the run: played once without drawing to count it.
        ToyBricks dry(r, style, run.bricks, run.seed);
        count = 0;
        while (!dry.Done() && count < kMaxBrickFrames) dry.Step(count++, Bgr{}, nullptr);
    }
    if (mode == GeneratorMode::ToyBricks || mode == GeneratorMode::VShape) {
        // Runs whose length the mode decides stay within a gibibyte of new frames.
        const long long budget = std::max<long long>(1, (1LL << 30) / static_cast<long long>(std::max<std::size_t>(model.size(), 1)));
        count = static_cast<int>(std::min<long long>(count, budget));
    }
    if (count == 0) return 0;
    if (static_cast<std::uint64_t>(count) * model.size() > kMaxRunBytes) {
        run.error = std::to_string(count) + " frames of " + std::to_string(W) + " x " + std::to_string(H) + " take " +
                    std::to_string(static_cast<std::uint64_t>(count) * model.size() >> 20) + " MB, more than the " +
                    std::to_string(kMaxRunBytes >> 20) + " MB a run may make";
        return -1;
    }

    if (mode == GeneratorMode::PictureAndText) return RunPictureText(run, style, r, random);
    if (mode == GeneratorMode::Other && style == 0) {
        // Particles: each frame is the background with every particle drawn on it, then moved.
        Stepper stepper(run, static_cast<std::size_t>(count));
        ParticleSystem system(ResolveParticles(run.particles, w, h), w, h, run.seed, run.particlePicture);
        QImage surface(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
        const QRgb back = qRgb(run.background.r, run.background.g, run.background.b);
        for (int f = 0; f < count; ++f) {
            Frame& F = stepper.Next(false, r);
            surface.fill(back);
            system.Step(f, surface);
            for (int y = 0; y < h; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(surface.constScanLine(y));
                for (int x = 0; x < w; ++x) {
                    F.SetPixel(r.left + x, r.top + y, Bgr{static_cast<std::uint8_t>(qBlue(line[x])),
                                                          static_cast<std::uint8_t>(qGreen(line[x])),
                                                          static_cast<std::uint8_t>(qRed(line[x]))});
                }
            }
            if (run.render > 0) {
                RenderColours(F, r, run.background, colours, static_cast<int>(f % static_cast<int>(colours.count())), run.render);
            }
        }
        Advance(colours);
        return count;
    }

    const int step = (mode == GeneratorMode::Moving || mode == GeneratorMode::Symmetry)
                         ? ValidStep(run.step, mode == GeneratorMode::Moving ? style : (style < 2 ? kLeft : style < 4 ? kUp : kLeftUp), W, H)
                         : std::max(run.step, 1);
    run.step = step;
    const bool copyFrame = (mode == GeneratorMode::Symmetry && style >= 4) || mode == GeneratorMode::VShape;
    const Frame start = model;  // Fadeout runs from the picture of the start

    // Per-run state of the styles that keep it.
    std::vector<int> ringOf;       // Diffusing: the ring of each pixel of the rectangle
    std::vector<Bgr> rings;        // its colours, ring 0 outermost
    std::vector<int> bandOf;       // Rotation: the band of each pixel (-1 none)
    int bandCount = 0;
    std::vector<std::pair<int, int>> drops;  // Dropping: column, head row
    std::vector<int> barLength, barTarget;    // Sound wave
    const auto portList = ports ? Ports(*run.layout, W, H) : std::vector<std::vector<std::pair<int, int>>>{};

    if (mode == GeneratorMode::Diffusing && style != 2 && style != 3 && w > 0 && h > 0) {
        ringOf.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), -1);
        int ringCount = 0;
        if (style < 2) {
            // Ellipses from the whole rectangle inward, one pixel less per ring on the shorter axis.
            const double a = w / 2.0, b = h / 2.0, s = std::max(1.0, std::floor(std::min(a, b)));
            ringCount = static_cast<int>(s) + 1;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const double dx = (x + 0.5 - a) / a, dy = (y + 0.5 - b) / b;
                    const double rho = std::sqrt(dx * dx + dy * dy);
                    if (rho <= 1.0) ringOf[static_cast<std::size_t>(y * w + x)] = std::min(ringCount - 1, static_cast<int>(s * (1.0 - rho) + 0.5));
                }
            }
        } else {
            ringCount = (std::min(w, h) + 1) / 2;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) ringOf[static_cast<std::size_t>(y * w + x)] = std::min({x, y, w - 1 - x, h - 1 - y});
            }
        }
        rings.assign(static_cast<std::size_t>(std::max(ringCount, 1)), run.background);
    }
    if (mode == GeneratorMode::Rotation && w > 0 && h > 0) {
        const int n = static_cast<int>(colours.count());
        bandOf.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), -1);
        const double cx = w / 2.0, cy = h / 2.0;
        if (style >= 2) {
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const double angle = std::atan2(y + 0.5 - cy, x + 0.5 - cx) + std::numbers::pi;
                    int band = static_cast<int>(angle / (2 * std::numbers::pi) * n);
                    if (band >= n) band = 0;
                    bandOf[static_cast<std::size_t>(y * w + x)] = band;
                }
            }
        } else {
            // Spiral arms: the label map starts all 0; along each arm its band's label.
            std::fill(bandOf.begin(), bandOf.end(), 0);
            const double limit = std::hypot(w, h) * 0.5 * 0.125;
            for (double t = 2 * std::numbers::pi / 100; t < limit; t += 2 * std::numbers::pi / 100) {
                const double radius = 8 * t;
                for (int k = 0; k < n; ++k) {
                    for (double a = k * 2 * std::numbers::pi / n; a < (k + 1) * 2 * std::numbers::pi / n; a += std::numbers::pi / (4 * radius)) {
                        const double c = std::cos(a + t) * radius, s = std::sin(a + t) * radius;
                        const int x = static_cast<int>(cx + (style == 0 ? c : s)), y = static_cast<int>(cy + (style == 0 ? s : c));
                        if (x >= 0 && y >= 0 && x < w && y < h) bandOf[static_cast<std::size_t>(y * w + x)] = k;
                    }
                }
            }
            // Empty bands are dropped: the bands left are numbered in order.
            std::vector<int> used(static_cast<std::size_t>(n), 0);
            for (int b : bandOf) used[static_cast<std::size_t>(b)] = 1;
            std::vector<int> renumber(static_cast<std::size_t>(n), 0);
            for (int k = 0, next = 0; k < n; ++k) renumber[static_cast<std::size_t>(k)] = used[static_cast<std::size_t>(k)] ? next++ : 0;
            for (int& b : bandOf) b = renumber[static_cast<std::size_t>(b)];
        }
        bandCount = n;
    }
    if (mode == GeneratorMode::SoundWave) {
        const bool rows = style < 2 || style == 4;
        const int bars = rows ? h : w, span = std::max(rows ? w : h, 1);
        barLength.assign(static_cast<std::size_t>(std::max(bars, 0)), 0);
        barTarget.assign(static_cast<std::size_t>(std::max(bars, 0)), 0);
        for (int& t : barTarget) t = static_cast<int>(random() % static_cast<std::uint32_t>(span));
        auto advance = [&] {
            for (std::size_t i = 0; i < barLength.size(); ++i) {
                int& L = barLength[i];
                int& T = barTarget[i];
                if (T == 0) {
                    if (--L < 1) {
                        L = std::max(L, 0);
                        T = static_cast<int>(random() % static_cast<std::uint32_t>(span));
                    }
                } else if (++L >= T) {
                    T = 0;
                }
            }
        };
        for (int i = 0; i < span; ++i) advance();
        barTarget.push_back(span);  // the span rides along for the frames
    }

    ToyBricks bricks(r, style, run.bricks, run.seed);
    const long long startIndex = colours.selected();  // V shape lays the list from here
    Stepper stepper(run, static_cast<std::size_t>(count));
    for (int f = 0; f < count; ++f) {
        const std::size_t index = static_cast<std::size_t>(colours.selected());
        Frame& F = stepper.Next(copyFrame, r);
        const Frame& P = stepper.Previous();  // no frame is added until the next step
        const Bgr colour = Current(colours);
        switch (mode) {
            case GeneratorMode::Moving:
                if (!ports) {
                    Move(P, F, r, static_cast<Dir>(style), step, run.recycle, colour);
                } else if (style == 8) {
                    for (const auto& port : portList) {
                        const Bgr first = run.recycle ? P.Pixel(port.back().first, port.back().second) : colour;
                        for (std::size_t i = 0; i < port.size(); ++i) {
                            const auto [x, y] = port[i];
                            if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
                            if (i < static_cast<std::size_t>(step)) {
                                F.SetPixel(x, y, first);
                                continue;
                            }
                            const std::size_t end = i / static_cast<std::size_t>(step) * static_cast<std::size_t>(step) - 1;
                            const Bgr c = P.Pixel(port[end].first, port[end].second);
                            if (!(c == Bgr{0, 0, 0})) F.SetPixel(x, y, c);
                        }
                    }
                } else {
                    for (std::size_t k = 0; k < portList.size(); ++k) {
                        Bgr c;
                        if (k == 0) {
                            c = run.recycle ? P.Pixel(portList.back().front().first, portList.back().front().second) : colour;
                        } else {
                            c = P.Pixel(portList[k - 1].back().first, portList[k - 1].back().second);
                        }
                        for (const auto& [x, y] : portList[k]) {
                            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) F.SetPixel(x, y, c);
                        }
                    }
                }
                break;
            case GeneratorMode::Symmetry: {
                const int xm = (r.left + r.right) / 2, ym = (r.top + r.bottom) / 2;
                const bool open = style % 2 == 0;
                if (style < 2) {
                    Move(P, F, Sub(r.left, r.top, xm, r.bottom), open ? kLeft : kRight, step, run.recycle, colour);
                    Move(P, F, Sub(xm, r.top, r.right, r.bottom), open ? kRight : kLeft, step, run.recycle, colour);
                } else if (style < 4) {
                    Move(P, F, Sub(r.left, r.top, r.right, ym), open ? kUp : kDown, step, run.recycle, colour);
                    Move(P, F, Sub(r.left, ym, r.right, r.bottom), open ? kDown : kUp, step, run.recycle, colour);
                } else {
                    Move(P, F, Sub(r.left, r.top, xm, ym), open ? kLeftUp : kRightDown, step, run.recycle, colour);
                    Move(P, F, Sub(xm, r.top, r.right, ym), open ? kRightUp : kLeftDown, step, run.recycle, colour);
                    Move(P, F, Sub(r.left, ym, xm, r.bottom), open ? kLeftDown : kRightUp, step, run.recycle, colour);
                    Move(P, F, Sub(xm, ym, r.right, r.bottom), open ? kRightDown : kLeftUp, step, run.recycle, colour);
                }
                break;
            }
            case GeneratorMode::Interleaving:
                if (style == 0) {
                    for (int y = r.top; y < r.bottom; ++y) {
                        const bool even = (H - 1 - y) % 2 == 0;  // rows counted as stored, from the bottom
                        Move(P, F, Sub(r.left, y, r.right, y + 1), even ? kRight : kLeft, 1, false, colour);
                    }
                } else {
                    for (int x = r.left; x < r.right; ++x) Move(P, F, Sub(x, r.top, x + 1, r.bottom), x % 2 == 0 ? kUp : kDown, 1, false, colour);
                }
                break;
            case GeneratorMode::Diffusing:
                if (style == 2 || style == 3) {
                    // Rhombus: the four quadrants move diagonally, out of or into the centre.
                    const int xm = (r.left + r.right) / 2, ym = (r.top + r.bottom) / 2;
                    const bool out = style == 2;
                    Move(P, F, Sub(r.left, r.top, xm, ym), out ? kLeftUp : kRightDown, 1, run.recycle, colour);
                    Move(P, F, Sub(xm, r.top, r.right, ym), out ? kRightUp : kLeftDown, 1, run.recycle, colour);
                    Move(P, F, Sub(r.left, ym, xm, r.bottom), out ? kLeftDown : kRightUp, 1, run.recycle, colour);
                    Move(P, F, Sub(xm, ym, r.right, r.bottom), out ? kRightDown : kLeftUp, 1, run.recycle, colour);
                } else {
                    // The ring colours move one ring per frame; the new colour enters at the centre
                    // (diffuse) or at the edge (shrink); with recycle the leaving colour comes back.
                    const bool diffuse = style % 2 == 0;
                    if (diffuse) {
                        const Bgr leaving = rings.front();
                        std::rotate(rings.begin(), rings.begin() + 1, rings.end());
                        rings.back() = run.recycle ? leaving : colour;
                    } else {
                        const Bgr leaving = rings.back();
                        std::rotate(rings.rbegin(), rings.rbegin() + 1, rings.rend());
                        rings.front() = run.recycle ? leaving : colour;
                    }
                    for (int y = 0; y < h; ++y) {
                        for (int x = 0; x < w; ++x) {
                            const int ring = ringOf[static_cast<std::size_t>(y * w + x)];
                            if (ring >= 0) F.SetPixel(r.left + x, r.top + y, rings[static_cast<std::size_t>(std::min<int>(ring, static_cast<int>(rings.size()) - 1))]);
                        }
                    }
                }
                break;
            case GeneratorMode::Rotation: {
                const int dirStep = style == 2 ? 1 : -1;
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < w; ++x) {
                        const int band = bandOf[static_cast<std::size_t>(y * w + x)];
                        if (band >= 0 && bandCount > 0) F.SetPixel(r.left + x, r.top + y, Entry(colours, static_cast<long long>(index) + dirStep * band));
                    }
                }
                break;
            }
            case GeneratorMode::Gradual:
                for (int y = r.top; y < r.bottom; ++y) {
                    for (int x = r.left; x < r.right; ++x) {
                        const Bgr p = P.Pixel(x, y);
                        switch (style) {
                            case 0:
                                F.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(std::min(p.b + 5, 255)), static_cast<std::uint8_t>(std::min(p.g + 5, 255)),
                                                     static_cast<std::uint8_t>(std::min(p.r + 5, 255))});
                                break;
                            case 1:
                                F.SetPixel(x, y, Bgr{static_cast<std::uint8_t>(std::max(p.b - 5, 0)), static_cast<std::uint8_t>(std::max(p.g - 5, 0)),
                                                     static_cast<std::uint8_t>(std::max(p.r - 5, 0))});
                                break;
                            case 2:
                            case 3: {
                                // Inflate / deflate: the previous picture scaled one pixel larger or
                                // smaller on every side (nearest pixel).
                                const double grow = style == 2 ? 2.0 : -2.0;
                                if (W + grow <= 0 || H + grow <= 0) break;  // nothing left to draw
                                const double sx = (W + grow) / W, sy = (H + grow) / H;
                                const int fx = static_cast<int>(std::floor((x + 0.5 + grow / 2) / sx));
                                const int fy = static_cast<int>(std::floor((y + 0.5 + grow / 2) / sy));
                                if (fx >= 0 && fy >= 0 && fx < W && fy < H) F.SetPixel(x, y, P.Pixel(fx, fy));
                                break;
                            }
                            case 4: {
                                const Bgr s = start.Pixel(x, y), b = run.background;
                                auto mix = [&](int from, int to) { return static_cast<std::uint8_t>(from + (to - from) * (f + 1) / count); };
                                F.SetPixel(x, y, Bgr{mix(s.b, b.b), mix(s.g, b.g), mix(s.r, b.r)});
                                break;
                            }
                            default:
                                F.SetPixel(x, y, colour);
                        }
                    }
                }
                break;
            case GeneratorMode::Dropping: {
                // Style 3: a new drop every other frame; styles 1 and 2: a drop every frame, style 2
                // falling two rows a frame.
                if (w > 0 && (style != 2 || f % 2 == 0)) drops.emplace_back(r.left + static_cast<int>(random() % static_cast<std::uint32_t>(w)), r.top);
                const int n = static_cast<int>(colours.count());
                for (auto& [x, head] : drops) {
                    for (int i = 0; i < n; ++i) {
                        const int y = head - i;
                        if (y >= r.top && y < r.bottom) F.SetPixel(x, y, Entry(colours, i));
                    }
                    head += style == 1 ? 2 : 1;
                }
                std::erase_if(drops, [&](const std::pair<int, int>& d) { return d.second - n >= r.bottom; });
                break;
            }
            case GeneratorMode::SoundWave: {
                const bool rows = style < 2 || style == 4;
                const int span = barTarget.back();
                for (std::size_t i = 0; i + 1 < barTarget.size(); ++i) {
                    const int L = std::min(barLength[i], span - 1);
                    for (int j = 0; j <= L; ++j) {
                        // Entries 0..L from the bar's free end to the edge; none past the list.
                        if (j >= static_cast<int>(colours.count())) continue;
                        int x, y;
                        if (rows) {
                            y = r.top + static_cast<int>(i);
                            x = r.right - 1 - (L - j);
                            if (style == 1) x = r.left + (L - j);                       // from the left edge
                            if (style == 4) x = (r.left + r.right) / 2 + ((L - j) % 2 ? 1 : -1) * ((L - j + 1) / 2);  // from the middle
                        } else {
                            x = r.left + static_cast<int>(i);
                            y = style == 2 ? r.bottom - 1 - (L - j) : r.top + (L - j);  // up: from the bottom
                        }
                        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) F.SetPixel(x, y, Entry(colours, j));
                    }
                    int& Lr = barLength[i];
                    int& T = barTarget[i];
                    if (T == 0) {
                        if (--Lr < 1) {
                            Lr = std::max(Lr, 0);
                            T = static_cast<int>(random() % static_cast<std::uint32_t>(std::max(span, 1)));
                        }
                    } else if (++Lr >= T) {
                        T = 0;
                    }
                }
                break;
            }
            case GeneratorMode::ToyBricks:
                bricks.Step(f, colour, &F);
                break;
            case GeneratorMode::VShape: {
                // Along: the distance from the entry edge in the travel direction; across: from
                // the middle line. The chevron's colour bands run along v = along - slope * across.
                const int interval = std::max(run.vshape.interval, 1);
                const bool vertical = style >= 2;
                const int span = vertical ? h : w, breadth = vertical ? w : h;
                double slope = 1.0;
                if (run.vshape.kind == VShapeOptions::Turn) {
                    // A triangle wave from 1 to -1 and back over one pass of the colour list.
                    const int period = std::max(2, static_cast<int>(colours.count()) * interval);
                    const double phase = static_cast<double>(f % period) / period;
                    slope = phase < 0.5 ? 1.0 - 4.0 * phase : -3.0 + 4.0 * phase;
                }
                for (int y = r.top; y < r.bottom; ++y) {
                    for (int x = r.left; x < r.right; ++x) {
                        int along = 0;
                        switch (style) {
                            case 0: along = r.right - 1 - x; break;  // left: travels toward the left edge
                            case 1: along = x - r.left; break;
                            case 2: along = r.bottom - 1 - y; break;
                            default: along = y - r.top; break;
                        }
                        if (run.vshape.kind == VShapeOptions::VisAVis) along = std::min(along, span - 1 - along);
                        const int across = std::abs((vertical ? x - r.left : y - r.top) * 2 - (breadth - 1)) / 2;
                        const long long v = static_cast<long long>(std::floor(along - slope * across)) - f;
                        const long long band = v >= 0 ? v / interval : -((-v + interval - 1) / interval);
                        F.SetPixel(x, y, Entry(colours, startIndex - band));
                    }
                }
                break;
            }
            case GeneratorMode::Jalousie: {
                const bool across = style < 2;
                for (int y = r.top; y < r.bottom; ++y) {
                    for (int x = r.left; x < r.right; ++x) {
                        const int along = across ? x - r.left : y - r.top;
                        const int span = across ? w : h;
                        int pos = along % slat;
                        // Left and Up open from the far side of each slat: the painted part mirrored.
                        if (style == 0 || style == 2) pos = (span - 1 - along) % slat;
                        if (pos <= f) F.SetPixel(x, y, colour);
                    }
                }
                break;
            }
            case GeneratorMode::Other: {
                const OtherOptions& o = run.other;
                if (style == 1) {
                    // Diffuse: rings about the chosen point, the colour list running outward (or
                    // inward), one pixel further each frame.
                    const double cx = r.left + w * std::clamp(o.centreX, 0, 100) / 100.0;
                    const double cy = r.top + h * std::clamp(o.centreY, 0, 100) / 100.0;
                    const int ring = std::max(o.ringWidth, 1);
                    for (int y = r.top; y < r.bottom; ++y) {
                        for (int x = r.left; x < r.right; ++x) {
                            const double dx = std::abs(x + 0.5 - cx), dy = std::abs(y + 0.5 - cy);
                            const double d = o.shape == OtherOptions::Square ? std::max(dx, dy)
                                           : o.shape == OtherOptions::Diamond ? dx + dy
                                                                              : std::hypot(dx, dy);
                            const long long travelled = o.outward ? static_cast<long long>(d) - f : static_cast<long long>(d) + f;
                            const long long band = travelled >= 0 ? travelled / ring : -((-travelled + ring - 1) / ring);
                            F.SetPixel(x, y, Entry(colours, startIndex - band));
                        }
                    }
                    break;
                }
                if (style == 2) {
                    // Linetype: stripes across the rectangle at the angle, moving `speed` a frame.
                    const double a = o.angle * std::numbers::pi / 180.0;
                    const double nx = std::cos(a), ny = std::sin(a);
                    const int width = std::max(o.lineWidth, 1);
                    for (int y = r.top; y < r.bottom; ++y) {
                        for (int x = r.left; x < r.right; ++x) {
                            const long long along = static_cast<long long>(std::floor((x - r.left) * nx + (y - r.top) * ny)) -
                                                    static_cast<long long>(f) * std::max(o.speed, 0);
                            const long long band = along >= 0 ? along / width : -((-along + width - 1) / width);
                            F.SetPixel(x, y, Entry(colours, startIndex + band));
                        }
                    }
                    break;
                }
                if (style == 3) {
                    // Random: blocks of random size and place in random colours of the list.
                    if (o.keep) {
                        for (int y = r.top; y < r.bottom; ++y) {
                            for (int x = r.left; x < r.right; ++x) F.SetPixel(x, y, P.Pixel(x, y));
                        }
                    }
                    const int lo = std::max(1, std::min(o.minSize, o.maxSize)), hi = std::max(lo, o.maxSize);
                    for (int b = 0; b < std::max(o.blocksPerFrame, 0) && w > 0 && h > 0; ++b) {
                        const int bw = lo + static_cast<int>(random() % static_cast<std::uint32_t>(hi - lo + 1));
                        const int bh = lo + static_cast<int>(random() % static_cast<std::uint32_t>(hi - lo + 1));
                        const int bx = r.left + static_cast<int>(random() % static_cast<std::uint32_t>(w));
                        const int by = r.top + static_cast<int>(random() % static_cast<std::uint32_t>(h));
                        const Bgr c = Entry(colours, static_cast<long long>(random() % colours.count()));
                        for (int y = by; y < std::min(by + bh, r.bottom); ++y) {
                            for (int x = bx; x < std::min(bx + bw, r.right); ++x) F.SetPixel(x, y, c);
                        }
                    }
                    break;
                }
                // Wave: rows shift right by S; the pixels entering at the left take the colour of the
                // row's distance from a phase row that sweeps up and down.
                const int period = std::max(2 * (h - 1), 1);
                int phase = f % period;
                if (phase >= h) phase = period - phase;
                for (int y = r.top; y < r.bottom; ++y) {
                    const int distance = std::abs((y - r.top) - phase);
                    const Bgr enter = distance < static_cast<int>(colours.count()) ? Entry(colours, static_cast<long long>(index) + distance)
                                                                                    : P.Pixel(r.left, y);
                    Move(P, F, Sub(r.left, y, r.right, y + 1), kRight, step, false, enter);
                }
                break;
            }
            default:
                break;
        }
        if (run.render > 0 && (mode == GeneratorMode::Dropping || mode == GeneratorMode::SoundWave || mode == GeneratorMode::Jalousie ||
                               mode == GeneratorMode::ToyBricks ||
                               mode == GeneratorMode::Gradual || mode == GeneratorMode::Other)) {
            RenderColours(F, r, run.background, colours, static_cast<int>(index), run.render);
        }
        Advance(colours);
    }
    return count;
}

OtherOptions LoadDiffusing(const std::filesystem::path& file) {
    OtherOptions o;
    const ProfileFile profile(file, "Diffuse");
    o.centreX = std::clamp(profile.GetInt("CentreX", o.centreX), 0, 100);
    o.centreY = std::clamp(profile.GetInt("CentreY", o.centreY), 0, 100);
    o.shape = static_cast<OtherOptions::Shape>(std::clamp(profile.GetInt("Shape", o.shape), 0, 2));
    o.ringWidth = std::clamp(profile.GetInt("RingWidth", o.ringWidth), 1, 1000);
    o.outward = profile.GetInt("Outward", o.outward ? 1 : 0) != 0;
    return o;
}

bool SaveDiffusing(const std::filesystem::path& file, const OtherOptions& o) {
    ProfileFile profile(file, "Diffuse");
    return profile.WriteInt("CentreX", o.centreX) && profile.WriteInt("CentreY", o.centreY) &&
           profile.WriteInt("Shape", o.shape) && profile.WriteInt("RingWidth", o.ringWidth) &&
           profile.WriteInt("Outward", o.outward ? 1 : 0);
}

}  // namespace corv
