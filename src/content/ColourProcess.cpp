#include "content/ColourProcess.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace corv {

namespace {

// Runs `f` on every pixel of the target rectangle of frames s .. e - 1, after the undo step.
template <typename F>
void EachPixel(RangeContext& c, std::size_t s, std::size_t e, F f) {
    auto& frames = *c.frames;
    e = std::min(e, frames.size());
    if (s >= e) return;
    c.undo->RecordChange(frames, s, e - s);
    const Frame& first = frames[s];
    const PixelRect t = TargetRect(first.width(), first.height(), c.editArea);
    for (std::size_t i = s; i < e; ++i) {
        Frame& frame = frames[i];
        for (int y = t.top; y < t.bottom && y < frame.height(); ++y) {
            std::uint8_t* row = frame.PixelAt(0, y);
            for (int x = t.left; x < t.right && x < frame.width(); ++x) f(row + 3 * x, x, y);
        }
    }
}

std::array<bool, 3> Lit255(Bgr c) { return {c.b == 255, c.g == 255, c.r == 255}; }

}  // namespace

bool PureColour(Bgr c) {
    auto pure = [](std::uint8_t v) { return v == 0 || v == 255; };
    return pure(c.b) && pure(c.g) && pure(c.r);
}

void ReplaceColour(RangeContext& c, std::size_t s, std::size_t e, Bgr from, Bgr to) {
    if (!PureColour(from) || !PureColour(to)) {
        EachPixel(c, s, e, [&](std::uint8_t* p, int, int) {
            if (p[0] == from.b && p[1] == from.g && p[2] == from.r) {
                p[0] = to.b;
                p[1] = to.g;
                p[2] = to.r;
            }
        });
        return;
    }
    const auto fromLit = Lit255(from), toLit = Lit255(to);
    EachPixel(c, s, e, [&](std::uint8_t* p, int, int) {
        // A shade of `from`: lit exactly where `from` is, the lit channels equal.
        std::uint8_t level = 0;
        for (int ch = 0; ch < 3; ++ch) {
            if ((p[ch] != 0) != fromLit[static_cast<std::size_t>(ch)]) return;
            if (p[ch] != 0) {
                if (level != 0 && p[ch] != level) return;
                level = p[ch];
            }
        }
        const std::uint8_t brightest = std::max({p[0], p[1], p[2]});
        for (int ch = 0; ch < 3; ++ch) p[ch] = toLit[static_cast<std::size_t>(ch)] ? brightest : 0;
    });
}

std::optional<ChannelOrder> ChannelOrderNamed(const std::string& name) {
    for (ChannelOrder o : {ChannelOrder::RBG, ChannelOrder::GRB, ChannelOrder::GBR, ChannelOrder::BGR, ChannelOrder::BRG}) {
        std::string n = ChannelOrderName(o);
        std::string compact = n;
        compact.erase(std::remove(compact.begin(), compact.end(), ' '), compact.end());
        std::string given = name;
        std::transform(given.begin(), given.end(), given.begin(), [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
        if (given == n || given == compact) return o;
    }
    return std::nullopt;
}

const char* ChannelOrderName(ChannelOrder order) {
    switch (order) {
        case ChannelOrder::RBG:
            return "R B G";
        case ChannelOrder::GRB:
            return "G R B";
        case ChannelOrder::GBR:
            return "G B R";
        case ChannelOrder::BGR:
            return "B G R";
        case ChannelOrder::BRG:
            return "B R G";
    }
    return "";
}

void SwapChannels(RangeContext& c, std::size_t s, std::size_t e, ChannelOrder order) {
    EachPixel(c, s, e, [&](std::uint8_t* p, int, int) {
        const int b = p[0], g = p[1], r = p[2];
        int R = r, G = g, B = b;
        switch (order) {
            case ChannelOrder::RBG:
                R = r, G = b, B = g;
                break;
            case ChannelOrder::GRB:
                R = g, G = r, B = b;
                break;
            case ChannelOrder::GBR:
                R = b, G = r, B = g;
                break;
            case ChannelOrder::BGR:
                R = b, G = g, B = r;
                break;
            case ChannelOrder::BRG:
                R = g, G = b, B = r;
                break;
        }
        p[0] = static_cast<std::uint8_t>(B);
        p[1] = static_cast<std::uint8_t>(G);
        p[2] = static_cast<std::uint8_t>(R);
    });
}

void ShadeChannels(RangeContext& c, std::size_t s, std::size_t e, bool red, bool green, bool blue, int percent) {
    percent = std::clamp(percent, 0, 65535);  // a 16-bit value
    const std::array<bool, 3> chosen{blue, green, red};
    EachPixel(c, s, e, [&](std::uint8_t* p, int, int) {
        for (int ch = 0; ch < 3; ++ch) {
            if (chosen[static_cast<std::size_t>(ch)]) p[ch] = static_cast<std::uint8_t>(std::min(255, p[ch] * percent / 100));
        }
    });
}

bool ClearNonLed(RangeContext& c, std::size_t s, std::size_t e, const Layout& layout) {
    if (c.frames->empty()) return false;
    const Frame& first = c.frames->front();
    if (layout.grid.cols != first.width() || layout.grid.rows != first.height()) return false;
    std::vector<bool> lit(static_cast<std::size_t>(first.width()) * static_cast<std::size_t>(first.height()), false);
    for (const Line& line : layout.lines) {
        for (LinePoint p : line) {
            const int x = PointCol(p), y = PointRow(p);
            if (x < first.width() && y < first.height()) lit[static_cast<std::size_t>(y) * static_cast<std::size_t>(first.width()) + static_cast<std::size_t>(x)] = true;
        }
    }
    const Bgr bg = c.background;
    const int w = first.width();
    EachPixel(c, s, e, [&](std::uint8_t* p, int x, int y) {
        if (!lit[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)]) {
            p[0] = bg.b;
            p[1] = bg.g;
            p[2] = bg.r;
        }
    });
    return true;
}

bool ClearByFrame(RangeContext& c, std::size_t s, std::size_t e, const Frame& mask) {
    if (c.frames->empty() || mask.width() != c.frames->front().width() || mask.height() != c.frames->front().height()) {
        return false;
    }
    const Frame keep = mask;  // the mask may be one of the frames that change
    const Bgr bg = c.background;
    EachPixel(c, s, e, [&](std::uint8_t* p, int x, int y) {
        if (keep.Pixel(x, y) == Bgr{0, 0, 0}) {
            p[0] = bg.b;
            p[1] = bg.g;
            p[2] = bg.r;
        }
    });
    return true;
}

}  // namespace corv
