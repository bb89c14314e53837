#include "content/generators/GeneratorUnit.h"

namespace corv::generators {

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

// "Toy bricks": bricks travel in the style's direction and pile up until the wall is full.
class ToyBricksUnit final : public Generator {
public:
    GeneratorMode mode() const override { return GeneratorMode::ToyBricks; }
    int Frames(GeneratorJob& job) const override {
        // The wall decides the length of the run: played once without drawing to count it.
        ToyBricks dry(job.r, job.style, job.run.bricks, job.run.seed);
        int count = 0;
        while (!dry.Done() && count < kMaxBrickFrames) dry.Step(count++, Bgr{}, nullptr);
        return WithinGibibyte(job, count);
    }
    int Run(GeneratorJob& job, int count) const override {
        ToyBricks bricks(job.r, job.style, job.run.bricks, job.run.seed);
        return RunFrames(job, count, FrameLoop{PlainStep(job.run), false, true}, [&](FrameStep& s) { bricks.Step(s.f, s.colour, &s.F); });
    }
};

}  // namespace

const Generator& ToyBricksGenerator() {
    static const ToyBricksUnit unit;
    return unit;
}

}  // namespace corv::generators
