#include <gtest/gtest.h>

#include <QGuiApplication>
#include <set>

#include "content/TransitionRenderer.h"

using namespace corv;

namespace {

// Pictures of one colour each, or with a pattern so that moved pictures show it.
QImage Filled(int w, int h, QRgb c) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}
QImage Pattern(int w, int h, int seed) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 13 + seed) & 255, (x ^ y) & 255));
    }
    return image;
}

// Runs a whole transition, each step drawn on the frame the step before made.
QImage RunTransition(int kind, int n, const QImage& old, const QImage& fresh, std::vector<QImage>* steps = nullptr) {
    TransitionRenderer r(old.width(), old.height(), 7);
    r.kind = kind;
    r.steps = n;
    r.SetPictures(&fresh, &old);
    QImage target = old;
    for (int k = 1; k <= n; ++k) {
        const bool more = r.RenderStep(target, k);
        EXPECT_EQ(more, k < n) << kind;
        if (steps) steps->push_back(target);
    }
    EXPECT_EQ(r.previous(), fresh.convertToFormat(QImage::Format_RGB32)) << kind;  // the next transition starts here
    return target;
}

// How many pixels of `image` equal the new picture's colour.
int NewPixels(const QImage& image, QRgb fresh) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == fresh;
    }
    return count;
}

}  // namespace

TEST(Transition, EveryKindEndsOnTheNewPictureExactly) {
    const QImage old = Pattern(37, 23, 1), fresh = Pattern(37, 23, 99);
    for (int kind = 0; kind < kTransitionKinds; ++kind) {
        for (int n : {1, 2, 7}) EXPECT_EQ(RunTransition(kind, n, old, fresh), fresh) << TransitionKindName(kind) << " n=" << n;
    }
    // The clip kinds and the mosaics reveal the whole picture at k = n in that one step, drawn on
    // the old picture; an unknown kind draws nothing.
    std::vector<int> single;
    for (int k = 2; k <= 13; ++k) single.push_back(k);
    for (int k = 33; k <= 40; ++k) single.push_back(k);
    for (int k = 47; k <= 57; ++k) single.push_back(k);
    for (int kind : single) {
        for (int n : {1, 3, 8}) {
            TransitionRenderer r(37, 23, 5);
            r.kind = kind;
            r.steps = n;
            r.SetPictures(&fresh, &old);
            QImage target = old;
            EXPECT_FALSE(r.RenderStep(target, n));
            EXPECT_EQ(target, fresh) << TransitionKindName(kind) << " n=" << n;
        }
    }
    TransitionRenderer unknown(37, 23);
    unknown.kind = 58;
    unknown.steps = 1;
    unknown.SetPictures(&fresh, &old);
    QImage untouched = old;
    unknown.RenderStep(untouched, 1);
    EXPECT_EQ(untouched, old);
    EXPECT_STREQ(TransitionKindName(57), "Spiral");
    EXPECT_STREQ(TransitionKindName(58), "");
}

TEST(Transition, ClipKindsRevealTheRectanglesOfTheirFormulas) {
    const int W = 40, H = 30, n = 4;
    const QRgb o = qRgb(10, 10, 10), f = qRgb(200, 0, 0);
    const QImage old = Filled(W, H, o), fresh = Filled(W, H, f);
    auto stepOf = [&](int kind, int k) {
        std::vector<QImage> steps;
        RunTransition(kind, n, old, fresh, &steps);
        return steps[static_cast<std::size_t>(k - 1)];
    };
    // LeftOver at k = 1: the left W*k/n = 10 columns.
    QImage s = stepOf(2, 1);
    EXPECT_EQ(s.pixel(9, 15), f);
    EXPECT_EQ(s.pixel(10, 15), o);
    EXPECT_EQ(NewPixels(s, f), 10 * H);
    // RightOver at k = 1: from (n - k) * W / n = 30.
    s = stepOf(3, 1);
    EXPECT_EQ(s.pixel(29, 0), o);
    EXPECT_EQ(s.pixel(30, 0), f);
    // Corner1Over at k = 2: 20 x 15 at the top-left.
    s = stepOf(6, 2);
    EXPECT_EQ(NewPixels(s, f), 20 * 15);
    EXPECT_EQ(s.pixel(19, 14), f);
    EXPECT_EQ(s.pixel(20, 14), o);
    // Open horizontal at k = 2: x from (n - k) * W / (2n) = 10, width W * k / n = 20.
    s = stepOf(35, 2);
    EXPECT_EQ(s.pixel(9, 0), o);
    EXPECT_EQ(s.pixel(10, 0), f);
    EXPECT_EQ(s.pixel(29, 0), f);
    EXPECT_EQ(s.pixel(30, 0), o);
    // Close vertical at k = 1: all but the middle band (0, H*k/(2n) = 3, W, (n-k)*H/n = 22).
    s = stepOf(38, 1);
    EXPECT_EQ(s.pixel(0, 2), f);
    EXPECT_EQ(s.pixel(0, 3), o);
    EXPECT_EQ(s.pixel(0, 24), o);
    EXPECT_EQ(s.pixel(0, 25), f);
    // Horizontal blind at k = 2: 10 of every 20 columns.
    s = stepOf(39, 2);
    EXPECT_EQ(NewPixels(s, f), 2 * 10 * H);
    EXPECT_EQ(s.pixel(15, 0), o);
    EXPECT_EQ(s.pixel(21, 0), f);
    // Reveal/Rect1 at k = 2: 20 x 15 in the middle.
    s = stepOf(47, 2);
    EXPECT_EQ(NewPixels(s, f), 20 * 15);
    EXPECT_EQ(s.pixel(10, 7), f);
    EXPECT_EQ(s.pixel(9, 7), o);
    // Reveal/Rect2 at k = 1: all but the middle 30 x 22 (from (5, 4)).
    s = stepOf(48, 1);
    EXPECT_EQ(NewPixels(s, f), W * H - 30 * 22);
    // Reveal/Cross1 at k = 2: the union of a vertical and a horizontal band.
    s = stepOf(53, 2);
    EXPECT_EQ(NewPixels(s, f), 20 * H + W * 15 - 20 * 15);
    // ZigZag at k = 1 (b = 2, rows 15, q = 150): three full rows of blocks and 30 pixels of the
    // fourth, from the left since f = 3 is odd from the right.
    s = stepOf(56, 1);
    EXPECT_EQ(s.pixel(0, 5), f);
    EXPECT_EQ(s.pixel(W - 1, 6), f);
    EXPECT_EQ(s.pixel(W - 31, 6), o);
    EXPECT_EQ(NewPixels(s, f), 3 * 2 * W + 30 * 2);
    // Push/Left at k = 2: the old picture's right half slid left, the new one's left half after it.
    const QImage po = Pattern(W, H, 3), pf = Pattern(W, H, 77);
    std::vector<QImage> pushes;
    RunTransition(14, n, po, pf, &pushes);
    EXPECT_EQ(pushes[1].pixel(0, 5), po.pixel(20, 5));
    EXPECT_EQ(pushes[1].pixel(20, 5), pf.pixel(0, 5));
    // Shadow half way: the mean of the two.
    std::vector<QImage> fades;
    RunTransition(32, 2, old, fresh, &fades);
    EXPECT_NEAR(qRed(fades[0].pixel(3, 3)), (10 + 200) / 2, 2);
}

TEST(Transition, BlockKindsOnSmallPicturesAndMosaicsAccumulate) {
    // Below 11 rows the blocks of CheckerBoard, ZigZag and Spiral are one pixel.
    const QRgb o = qRgb(0, 0, 0), f = qRgb(0, 255, 0);
    const QImage old = Filled(8, 5, o), fresh = Filled(8, 5, f);
    std::vector<QImage> steps;
    RunTransition(57, 40, old, fresh, &steps);  // 40 blocks of 1 pixel: one more each step
    for (int k = 1; k < 40; ++k) EXPECT_EQ(NewPixels(steps[static_cast<std::size_t>(k - 1)], f), k) << k;
    // The spiral goes right along the top, then down the right side.
    EXPECT_EQ(steps[7].pixel(7, 0), f);
    EXPECT_EQ(steps[8].pixel(7, 1), f);
    EXPECT_EQ(steps[8].pixel(0, 1), o);
    steps.clear();
    RunTransition(55, 3, old, fresh, &steps);  // cells 3 wide (b = 1): a third of each at k = 1
    EXPECT_EQ(steps[0].pixel(0, 0), f);
    EXPECT_EQ(steps[0].pixel(1, 0), o);
    // Mosaic steps add tiles and never take any away.
    const QImage bigOld = Filled(60, 40, o), bigNew = Filled(60, 40, f);
    steps.clear();
    RunTransition(33, 6, bigOld, bigNew, &steps);
    int before = 0;
    for (const QImage& s : steps) {
        const int now = NewPixels(s, f);
        EXPECT_GE(now, before);
        before = now;
    }
    EXPECT_EQ(before, 60 * 40);
}

TEST(Transition, RandomKindsStayBelow55AndTheRangeTransitionJoinsTheRuns) {
    std::mt19937 random(5);
    std::set<int> seen;
    for (int i = 0; i < 5000; ++i) seen.insert(RandomTransitionKind(random));
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 54);
    EXPECT_EQ(seen.size(), 54u);

    // Frames A B | C D E F: the run 1..2 sets n = 2; frames C and D become the steps from B.
    std::vector<Frame> frames;
    for (std::uint8_t v : {10, 20, 30, 40, 50, 60}) frames.push_back(Frame::Filled(8, 6, Bgr{v, v, v}));
    const std::vector<Frame> before = frames;
    FrameUndo undo;
    RangeContext c;
    c.frames = &frames;
    c.undo = &undo;
    ASSERT_TRUE(FrameRangeTransition(c, 0, 2, 2, 1));  // LeftOver
    EXPECT_EQ(frames[2].Pixel(0, 0), (Bgr{30, 30, 30}));  // step 1: the left half of C
    EXPECT_EQ(frames[2].Pixel(7, 0), (Bgr{20, 20, 20}));  // the rest still B
    EXPECT_EQ(frames[3], before[3]);                       // step 2 = n: D whole
    EXPECT_EQ(frames[4], before[4]);
    ASSERT_TRUE(undo.Undo(frames));
    EXPECT_EQ(frames, before);
    // Too few frames after the range, or an empty range: nothing changes.
    EXPECT_FALSE(FrameRangeTransition(c, 0, 4, 2, 1));
    EXPECT_FALSE(FrameRangeTransition(c, 2, 2, 2, 1));
    EXPECT_EQ(frames, before);
    int used = -1;
    ASSERT_TRUE(FrameRangeTransition(c, 3, 4, 0, 42, &used));
    EXPECT_GE(used, 1);
    EXPECT_LE(used, 54);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // painting needs a GUI application, off screen
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
