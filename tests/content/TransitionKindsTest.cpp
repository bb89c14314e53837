#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <random>
#include <vector>

#include "content/TransitionKinds.h"
#include "content/TransitionRenderer.h"

using namespace corv;

namespace {

QImage Stripes(int w, int h, int seed) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb((x * 11 + seed) & 255, (y * 5 + seed) & 255, (x * y + seed) & 255));
    }
    return image;
}

// Step k of n of `kind`, drawn through the table on the old picture.
QImage DrawStep(int kind, int k, int n, const QImage& old, const QImage& fresh) {
    QImage target = old.copy();
    std::mt19937 random(3);
    {
        QPainter p(&target);
        const TransitionStep step{p, fresh, old, kind, old.width(), old.height(), n, k, random};
        TransitionKind(kind).draw(step);
    }
    return target;
}

}  // namespace

TEST(TransitionKinds, EveryKindHasItsDrawingAndOnlyThePartlyOpenOnesFinishWhole) {
    for (int kind = 0; kind < kTransitionKinds; ++kind) {
        EXPECT_NE(TransitionKind(kind).draw, nullptr) << kind;
        const bool cornerPushOrTurn = (kind >= 18 && kind <= 21) || kind == 31;
        EXPECT_EQ(TransitionKind(kind).finishWhole, cornerPushOrTurn) << kind;
    }
    for (int kind : {-1, kTransitionKinds, 1000}) {
        EXPECT_EQ(TransitionKind(kind).draw, nullptr) << kind;
        EXPECT_FALSE(TransitionKind(kind).finishWhole) << kind;
    }
}

TEST(TransitionKinds, TheStepFractionsTruncate) {
    QImage image(1, 1, QImage::Format_RGB32);
    QPainter p(&image);
    std::mt19937 random(1);
    const TransitionStep step{p, image, image, 2, 37, 23, 7, 3, random};
    EXPECT_EQ(step.wk(), 15);  // 37 * 3 / 7 = 15.86
    EXPECT_EQ(step.hk(), 9);   // 23 * 3 / 7 = 9.86
    EXPECT_EQ(step.wr(), 21);  // 4 * 37 / 7 = 21.14
    EXPECT_EQ(step.hr(), 13);  // 4 * 23 / 7 = 13.14
    EXPECT_EQ(step.full(), QRect(0, 0, 37, 23));
}

TEST(TransitionKinds, EachKindDrawsItsOwnMiddleStep) {
    // An entry given twice, or a family's drawing that misses one of its kinds, shows as two
    // kinds drawing the same step. Only kinds 0 and 1 (the new picture at once) share theirs.
    const QImage old = Stripes(97, 61, 1), fresh = Stripes(97, 61, 128);
    std::vector<QImage> steps;
    for (int kind = 1; kind < kTransitionKinds; ++kind) steps.push_back(DrawStep(kind, 2, 5, old, fresh));
    for (std::size_t a = 0; a < steps.size(); ++a) {
        for (std::size_t b = a + 1; b < steps.size(); ++b) {
            EXPECT_NE(steps[a], steps[b]) << TransitionKindName(static_cast<int>(a) + 1) << " and "
                                          << TransitionKindName(static_cast<int>(b) + 1);
        }
    }
    EXPECT_EQ(DrawStep(0, 1, 5, old, fresh), DrawStep(1, 1, 5, old, fresh));
}
