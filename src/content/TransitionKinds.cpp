#include "content/TransitionKinds.h"

#include <QPainterPath>
#include <QPolygon>
#include <QRegion>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>

#include "content/TransitionRenderer.h"

namespace corv {

namespace {

// a * b / c in 64 bits, truncating toward zero (every fraction of the table).
int MulDiv(long long a, long long b, long long c) { return c == 0 ? 0 : static_cast<int>(a * b / c); }

void Reveal(const TransitionStep& s, const QRegion& region) {
    // Rectangle by rectangle: copying the parts is far cheaper than clipping to many bands.
    for (const QRect& r : region.intersected(s.full())) s.p.drawImage(r.topLeft(), s.fresh, r);
}

void RevealPath(const TransitionStep& s, const QPainterPath& path) {
    s.p.setClipPath(path);
    s.p.drawImage(0, 0, s.fresh);
    s.p.setClipping(false);
}

QPainterPath FullPath(const TransitionStep& s) {
    QPainterPath path;
    path.addRect(s.full());
    return path;
}

void Triangle(const TransitionStep& s, QPoint a, QPoint b, QPoint c) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QPolygon({a, b, c})));
    path.closeSubpath();
    RevealPath(s, path);
}

// 0, 1: the new picture at once.
void Appear(const TransitionStep& s) {
    if (s.k < 2) s.p.drawImage(0, 0, s.fresh);
}

// 2..9: the new picture uncovered from a side or a corner.
void LeftOver(const TransitionStep& s) { Reveal(s, QRect(0, 0, s.wk(), s.H)); }
void RightOver(const TransitionStep& s) { Reveal(s, QRect(s.wr(), 0, s.W, s.H)); }
void UpOver(const TransitionStep& s) { Reveal(s, QRect(0, 0, s.W, s.hk())); }
void DownOver(const TransitionStep& s) { Reveal(s, QRect(0, s.hr(), s.W, s.H)); }
void Corner1Over(const TransitionStep& s) { Reveal(s, QRect(0, 0, s.wk(), s.hk())); }
void Corner2Over(const TransitionStep& s) { Reveal(s, QRect(s.wr(), 0, s.W, s.hk())); }
void Corner3Over(const TransitionStep& s) { Reveal(s, QRect(0, s.hr(), s.wk(), s.H)); }
void Corner4Over(const TransitionStep& s) { Reveal(s, QRect(s.wr(), s.hr(), s.W, s.hk())); }

// 10..13: a triangle growing from a corner.
void BevelOver(const TransitionStep& s) {
    const int W = s.W, H = s.H;
    const int d = MulDiv(static_cast<long long>(W) + H, s.k, s.n);
    if (s.kind == 10) Triangle(s, {0, 0}, {d, 0}, {0, d});
    if (s.kind == 11) Triangle(s, {W, 0}, {W - d, 0}, {W, d});
    if (s.kind == 12) Triangle(s, {0, H}, {d, H}, {0, H - d});
    if (s.kind == 13) Triangle(s, {W, H}, {W - d, H}, {W, H - d});
}

// 14..17: the new picture pushes the old one out.
void PushLeft(const TransitionStep& s) {
    s.p.drawImage(QPoint(0, 0), s.old, QRect(s.wk(), 0, s.W - s.wk(), s.H));
    s.p.drawImage(QPoint(s.wr(), 0), s.fresh);
}
void PushRight(const TransitionStep& s) {
    s.p.drawImage(QPoint(s.wk(), 0), s.old);
    s.p.drawImage(QPoint(0, 0), s.fresh, QRect(s.wr(), 0, s.W - s.wr(), s.H));
}
void PushUp(const TransitionStep& s) {
    s.p.drawImage(QPoint(0, 0), s.old, QRect(0, s.hk(), s.W, s.H - s.hk()));
    s.p.drawImage(QPoint(0, s.hr()), s.fresh);
}
void PushDown(const TransitionStep& s) {
    s.p.drawImage(QPoint(0, s.hk()), s.old);
    s.p.drawImage(QPoint(0, 0), s.fresh, QRect(0, s.hr(), s.W, s.H - s.hr()));
}

// 18..21: the two pictures move along the diagonal; the corners neither covers go black.
void PushCorner(const TransitionStep& s) {
    const int sx = s.kind == 18 || s.kind == 20 ? 1 : -1;
    const int sy = s.kind == 18 || s.kind == 19 ? 1 : -1;
    const QPoint newAt(sx * s.wr(), sy * s.hr()), oldAt(-sx * s.wk(), -sy * s.hk());
    s.p.fillRect(s.full(), Qt::black);
    s.p.drawImage(oldAt, s.old);
    s.p.drawImage(newAt, s.fresh);
}

// 22..25: the new picture stretched in from a side.
void StretchLeft(const TransitionStep& s) { s.p.drawImage(QRect(0, 0, s.wk(), s.H), s.fresh); }
void StretchRight(const TransitionStep& s) { s.p.drawImage(QRect(s.wr(), 0, s.wk(), s.H), s.fresh); }
void StretchUp(const TransitionStep& s) { s.p.drawImage(QRect(0, 0, s.W, s.hk()), s.fresh); }
void StretchDown(const TransitionStep& s) { s.p.drawImage(QRect(0, s.hr(), s.W, s.hk()), s.fresh); }

// 26..30: the new picture stretched from the centre or a corner over the old one.
void StretchRect(const TransitionStep& s) {
    const int W = s.W, H = s.H;
    const int w = s.wk(), h = s.hk();
    QRect r;
    if (s.kind == 26) r = QRect((W - w) / 2, (H - h) / 2, w, h);
    if (s.kind == 27) r = QRect(0, 0, w, h);
    if (s.kind == 28) r = QRect(W - w, 0, w, h);
    if (s.kind == 29) r = QRect(0, H - h, w, h);
    if (s.kind == 30) r = QRect(W - w, H - h, w, h);
    if (!r.isEmpty()) s.p.drawImage(r, s.fresh);
    s.p.setClipRegion(QRegion(s.full()).xored(QRegion(r)));
    s.p.drawImage(0, 0, s.old);
    s.p.setClipping(false);
}

// 31: the picture turns over its horizontal axis, drawn through three points.
void StretchTurn(const TransitionStep& s) {
    const int H = s.H;
    const int a = s.hr(), b = s.hk();
    s.p.drawImage(0, 0, s.old);
    const double m22 = static_cast<double>(b - a) / H, m21 = -static_cast<double>(a) / H;
    if (b != a) {
        s.p.setTransform(QTransform(1.0, 0.0, m21, m22, a / 2.0, a));
        s.p.drawImage(0, 0, s.fresh);
        s.p.resetTransform();
    }
}

// 32: the new picture fades in.
void Shadow(const TransitionStep& s) {
    s.p.setOpacity(static_cast<double>(s.k) / s.n);
    s.p.drawImage(0, 0, s.fresh);
    s.p.setOpacity(1.0);
}

// 33, 34: random tiles of 10 or 20 pixels; the last step shows everything.
void Mosaic(const TransitionStep& s) {
    const int W = s.W, H = s.H, n = s.n;
    const int t = s.kind == 33 ? 10 : 20;
    const int cols = (W + t) / t, rows = (H + t) / t, cells = cols * rows;
    if (s.k >= n) {
        Reveal(s, QRegion(s.full()));
        return;
    }
    QRegion tiles;
    const int count = cells / n + 5;
    for (int j = 0; j < count; ++j) {
        const int i = static_cast<int>(s.random() % static_cast<std::uint32_t>(cells));
        tiles += QRect((i % cols) * t, (i / cols) * t, t, t);
    }
    Reveal(s, tiles);
}

// 35..38: opening from the middle, closing from the edges.
void OpenHorizontal(const TransitionStep& s) { Reveal(s, QRect(MulDiv(s.n - s.k, s.W, 2LL * s.n), 0, s.wk(), s.H)); }
void OpenVertical(const TransitionStep& s) { Reveal(s, QRect(0, MulDiv(s.n - s.k, s.H, 2LL * s.n), s.W, s.hk())); }
void CloseHorizontal(const TransitionStep& s) {
    Reveal(s, QRegion(s.full()).xored(QRegion(MulDiv(s.W, s.k, 2LL * s.n), 0, s.wr(), s.H)));
}
void CloseVertical(const TransitionStep& s) {
    Reveal(s, QRegion(s.full()).xored(QRegion(0, MulDiv(s.H, s.k, 2LL * s.n), s.W, s.hr())));
}

// 39, 40: blinds 20 pixels apart.
void Blind(const TransitionStep& s) {
    const int W = s.W, H = s.H;
    const int w = MulDiv(20, s.k, s.n);
    QRegion blinds;
    if (w > 0) {
        if (s.kind == 39) {
            for (int x = 0; x < W; x += 20) blinds += QRect(x, 0, w, H);
        } else {
            for (int y = 0; y < H; y += 20) blinds += QRect(0, y, W, w);
        }
    }
    Reveal(s, blinds);
}

// 41..46: one, two or four pies sweeping round the centre, counter-clockwise or clockwise.
void Radar(const TransitionStep& s) {
    const int W = s.W, H = s.H;
    const QRectF box(-W / 2, -H / 2, 2.0 * W, 2.0 * H);
    const QPointF centre = box.center();
    const int pies = s.kind <= 42 ? 1 : s.kind <= 44 ? 2 : 4;
    const double span = 360.0 / pies;
    const int sweep = (s.kind % 2 == 1 ? 1 : -1) * static_cast<int>(span) * s.k / s.n;  // whole degrees, truncated
    const double starts[4] = {0, 180, 90, 270};
    QPainterPath path;
    for (int i = 0; i < pies; ++i) {
        QPainterPath pie;
        pie.moveTo(centre);
        pie.arcTo(box, starts[i], sweep);
        pie.closeSubpath();
        path = path.united(pie);
    }
    RevealPath(s, path);
}

// 47, 48: a rectangle growing from the centre, or the old picture's shrinking to it.
void RevealRect1(const TransitionStep& s) { Reveal(s, QRect((s.W - s.wk()) / 2, (s.H - s.hk()) / 2, s.wk(), s.hk())); }
void RevealRect2(const TransitionStep& s) {
    Reveal(s, QRegion(s.full()).xored(QRegion((s.W - s.wr()) / 2, (s.H - s.hr()) / 2, s.wr(), s.hr())));
}

// 49, 50: the same with a rhombus.
void RevealRhombus(const TransitionStep& s) {
    const int W = s.W, H = s.H, n = s.n, k = s.k;
    const int d = s.kind == 49 ? MulDiv(static_cast<long long>(W) + H, k, 2LL * n)
                               : MulDiv(static_cast<long long>(n - k) * (W + H), 1, 2LL * n);
    QPainterPath rhombus;
    rhombus.addPolygon(QPolygonF(QPolygon({QPoint(W / 2, H / 2 - d), QPoint(W / 2 + d, H / 2), QPoint(W / 2, H / 2 + d),
                                           QPoint(W / 2 - d, H / 2)})));
    rhombus.closeSubpath();
    RevealPath(s, s.kind == 49 ? rhombus : FullPath(s).subtracted(rhombus));
}

// 51, 52: the same with an oval.
void RevealOval(const TransitionStep& s) {
    const int W = s.W, H = s.H, n = s.n;
    const int m = s.kind == 51 ? s.k : n - s.k;
    const int w = static_cast<int>(std::lround(W * static_cast<double>(m) * 1.414 / n));
    const int h = static_cast<int>(std::lround(H * static_cast<double>(m) * 1.414 / n));
    QPainterPath oval;
    oval.addEllipse(QRectF((W - w) / 2, (H - h) / 2, w, h));
    RevealPath(s, s.kind == 51 ? oval : FullPath(s).subtracted(oval));
}

// 53, 54: a cross opening from the middle, or closing from the edges.
void RevealCross1(const TransitionStep& s) {
    const int W = s.W, H = s.H, n = s.n, k = s.k;
    Reveal(s, QRegion(MulDiv(n - k, W, 2LL * n), 0, s.wk(), H).united(QRegion(0, MulDiv(n - k, H, 2LL * n), W, s.hk())));
}
void RevealCross2(const TransitionStep& s) {
    const int W = s.W, H = s.H, n = s.n, k = s.k;
    const QRegion a = QRegion(MulDiv(W, k, 2LL * n), 0, s.wr(), H).united(QRegion(0, MulDiv(H, k, 2LL * n), W, s.hr()));
    Reveal(s, QRegion(s.full()).xored(a));
}

// 55: eleven rows of cells, every other row shifted half a cell, the cells widening.
void CheckerBoard(const TransitionStep& s) {
    const int W = s.W, H = s.H;
    const int b = std::max(H / 11, 1), c = 3 * b;
    QRegion cells;
    const int width = MulDiv(c, s.k, s.n);
    for (int r = 0; r <= 10 && r < H; ++r) {
        const int y = r * b;
        const int h = r == 10 ? H - 10 * b : b;
        if (width > 0 && h > 0) {
            for (int x = r % 2 == 0 ? 0 : -(c / 2); x < W; x += c) cells += QRect(x, y, width, h);
        }
    }
    Reveal(s, cells);
}

// 56: rows of blocks filled left to right, then right to left.
void ZigZag(const TransitionStep& s) {
    const int W = s.W, H = s.H;
    const int b = std::max(H / 11, 1);
    const int rows = (H + b - 1) / b;
    const long long q = static_cast<long long>(s.k) * (static_cast<long long>(rows) * W) / s.n;
    const int f = static_cast<int>(q / W), m = static_cast<int>(q % W);
    QRegion zig(0, 0, W, f * b);
    if (m > 0) zig += f % 2 == 0 ? QRect(0, f * b, m, b) : QRect(W - m, f * b, m, b);
    Reveal(s, zig);
}

// 57: a clockwise inward spiral of b x b blocks from the top-left corner.
void Spiral(const TransitionStep& s) {
    const int W = s.W, H = s.H;
    const int b = std::max(H / 11, 1);
    const long long blocks = static_cast<long long>((W + b - 1) / b) * ((H + b - 1) / b);
    const long long m = static_cast<long long>(s.k) * blocks / s.n;
    enum { Right, Down, Left, Up } dir = Right;
    int x = 0, y = 0, inset = 0;
    QRegion spiral;
    for (long long i = 0; i < m; ++i) {
        spiral += QRect(x, y, b, b);
        switch (dir) {
            case Right:
                if (x + b + inset >= W) {
                    dir = Down;
                    y += b;
                } else {
                    x += b;
                }
                break;
            case Down:
                if (y + b + inset >= H) {
                    dir = Left;
                    x -= b;
                } else {
                    y += b;
                }
                break;
            case Left:
                if (x - b - inset < 0) {
                    dir = Up;
                    y -= b;
                } else {
                    x -= b;
                }
                break;
            case Up:
                if (y - b - (inset + b) < 0) {
                    dir = Right;
                    inset += b;
                    x += b;
                } else {
                    y -= b;
                }
                break;
        }
    }
    Reveal(s, spiral);
}

// In kind order, 0..57.
constexpr std::array<TransitionKindEntry, kTransitionKinds> kKinds = {{
    {Appear},      {Appear},      {LeftOver},    {RightOver},    {UpOver},       {DownOver},
    {Corner1Over}, {Corner2Over}, {Corner3Over}, {Corner4Over},  {BevelOver},    {BevelOver},
    {BevelOver},   {BevelOver},   {PushLeft},    {PushRight},    {PushUp},       {PushDown},
    {PushCorner, true}, {PushCorner, true}, {PushCorner, true}, {PushCorner, true},
    {StretchLeft}, {StretchRight}, {StretchUp},  {StretchDown},  {StretchRect},  {StretchRect},
    {StretchRect}, {StretchRect}, {StretchRect}, {StretchTurn, true}, {Shadow},  {Mosaic},
    {Mosaic},      {OpenHorizontal}, {OpenVertical}, {CloseHorizontal}, {CloseVertical}, {Blind},
    {Blind},       {Radar},       {Radar},       {Radar},        {Radar},        {Radar},
    {Radar},       {RevealRect1}, {RevealRect2}, {RevealRhombus}, {RevealRhombus}, {RevealOval},
    {RevealOval},  {RevealCross1}, {RevealCross2}, {CheckerBoard}, {ZigZag},     {Spiral},
}};

constexpr TransitionKindEntry kUnknownKind{};

}  // namespace

int TransitionStep::wk() const { return MulDiv(W, k, n); }
int TransitionStep::hk() const { return MulDiv(H, k, n); }
int TransitionStep::wr() const { return MulDiv(n - k, W, n); }
int TransitionStep::hr() const { return MulDiv(n - k, H, n); }

const TransitionKindEntry& TransitionKind(int kind) {
    return kind >= 0 && kind < kTransitionKinds ? kKinds[static_cast<std::size_t>(kind)] : kUnknownKind;
}

}  // namespace corv
