#include "project/Frame.h"

#include <algorithm>

namespace corv {

Frame::Frame(int width, int height, const Frame* source)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    if (source && source->width_ == width_ && source->height_ == height_) {
        pixels_ = source->pixels_;
    } else {
        pixels_.assign(BufferSize(static_cast<std::size_t>(width_), static_cast<std::size_t>(height_)), 0);
    }
}

Frame Frame::Filled(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return Filled(width, height, Bgr{blue, green, red});
}

Frame Frame::Filled(int width, int height, Bgr colour) {
    Frame f(width, height);
    f.Fill(colour);
    return f;
}

void Frame::Fill(Bgr colour) {
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(width_);
    if (rowBytes == 0 || height_ == 0) {
        return;
    }
    // Build one row, then copy it to every row; padding bytes stay zero.
    std::uint8_t* first = pixels_.data();
    for (std::size_t x = 0; x < rowBytes; x += 3) {
        first[x] = colour.b;
        first[x + 1] = colour.g;
        first[x + 2] = colour.r;
    }
    for (int y = 1; y < height_; ++y) {
        std::copy_n(first, rowBytes, first + static_cast<std::size_t>(y) * stride());
    }
}

}  // namespace corv
