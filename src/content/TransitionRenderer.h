#pragma once

#include <QImage>
#include <cstdint>
#include <random>

#include "project/Frame.h"
#include "project/FrameRange.h"

namespace corv {

// The transitions from one picture to the next, drawn step by step: kinds 0..57 (0 "Random"
// is resolved by the callers to 1..54).
inline constexpr int kTransitionKinds = 58;
inline constexpr int kRandomTransitionKinds = 54;
const char* TransitionKindName(int kind);
// A kind for "Random": 1..54 (never the block kinds 55..57).
int RandomTransitionKind(std::mt19937& random);

class TransitionRenderer {
public:
    // `seed` drives the mosaic kinds' random tiles.
    TransitionRenderer(int width, int height, std::uint32_t seed = 1);

    int width() const { return width_; }
    int height() const { return height_; }
    int steps = 0;  // n
    int kind = 0;

    // The picture that is appearing (borrowed: it must live until its step is drawn) and, the
    // first time, the picture to start from (copied as the old picture).
    void SetPictures(const QImage* newPicture, const QImage* seedPicture = nullptr);
    // Replaces the old picture (a caller whose old picture moves).
    void SetPrevious(const QImage& previous);
    const QImage& previous() const { return previous_; }

    // Draws step k onto `target` (which holds the previous frame); true while k < n. At k >= n
    // the new picture is shown whole and becomes the old picture of the next transition.
    bool RenderStep(QImage& target, int k);

private:
    void Draw(QImage& target, int k);
    int width_, height_;
    QImage previous_;
    const QImage* new_ = nullptr;
    std::mt19937 random_;
};

// Frames as pictures for the renderer and back.
QImage FrameToImage32(const Frame& frame);
void ImageToFrame(const QImage& image, Frame& frame);

// The frame-range transition ("Design switch"): with n = e - s, the n frames after frame e - 1
// become the steps 1..n of the transition from frame e - 1 to each of them, so the clip runs
// without a jump into the new run. Needs n frames after e - 1 (false otherwise). Kind 0 takes a
// random kind of 1..54 from `seed`. One undo step (kind 2).
bool FrameRangeTransition(RangeContext& c, std::size_t s, std::size_t e, int kind, std::uint32_t seed, int* usedKind = nullptr);

}  // namespace corv
