#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <random>

namespace corv {

// One step of a transition as the kinds draw it: the painter on the target (which holds the
// previous frame), the two pictures, step k of n and the mosaics' random tiles.
struct TransitionStep {
    QPainter& p;
    const QImage& fresh;  // the picture that is appearing
    const QImage& old;    // the picture it replaces
    int kind;
    int W, H;
    int n;  // steps, at least 1
    int k;  // 0..n
    std::mt19937& random;

    QRect full() const { return QRect(0, 0, W, H); }
    // The fractions most kinds use: W * k / n, H * k / n, (n - k) * W / n, (n - k) * H / n.
    int wk() const;
    int hk() const;
    int wr() const;
    int hr() const;
};

using TransitionDrawFn = void (*)(const TransitionStep& step);

struct TransitionKindEntry {
    TransitionDrawFn draw = nullptr;
    // The formulas leave the last step partly open (the corner pushes and the turn): the
    // renderer shows the new picture whole after it.
    bool finishWhole = false;
};

// The entry of `kind` (0..57); an unknown kind has no drawing.
const TransitionKindEntry& TransitionKind(int kind);

}  // namespace corv
