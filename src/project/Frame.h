#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>

namespace corv {

// A colour in the byte order frames store it: blue, green, red.
struct Bgr {
    std::uint8_t b = 0;
    std::uint8_t g = 0;
    std::uint8_t r = 0;
    friend bool operator==(const Bgr&, const Bgr&) = default;
};

// One picture: 3 bytes per pixel (blue, green, red), rows stored bottom-up, each row padded
// to a multiple of 4 bytes: the pixel body of a 24-bit bottom-up device-independent bitmap.
class Frame {
public:
    // Bytes per stored row: 3 x width rounded up to a multiple of 4 (= 3w + w mod 4).
    static constexpr std::size_t Stride(std::size_t width) { return 3 * width + (width % 4); }
    static constexpr std::size_t BufferSize(std::size_t width, std::size_t height) {
        return Stride(width) * height;
    }

    Frame() = default;
    // All zero, or a byte copy of `source` when it is given and has the same size.
    Frame(int width, int height, const Frame* source = nullptr);
    // Pixels left unset, for readers that fill every byte right away.
    struct Uninitialized {};
    Frame(int width, int height, Uninitialized);

    Frame(const Frame& other);
    Frame& operator=(const Frame& other);
    // A moved-from frame is empty (0 x 0).
    Frame(Frame&& other) noexcept
        : width_(std::exchange(other.width_, 0)),
          height_(std::exchange(other.height_, 0)),
          size_(std::exchange(other.size_, 0)),
          block_(std::move(other.block_)),
          data_(std::exchange(other.data_, nullptr)) {}
    Frame& operator=(Frame&& other) noexcept {
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        size_ = std::exchange(other.size_, 0);
        block_ = std::move(other.block_);
        data_ = std::exchange(other.data_, nullptr);
        return *this;
    }

    // A block of memory for many frames at once (readers of large files): fewer, larger
    // allocations than one per frame. Frames made in it share it; it goes away with the last.
    static std::shared_ptr<std::uint8_t[]> AllocateBlock(std::size_t bytes);
    // The same, every byte 0 (a large block as the system gives it, with no second pass).
    static std::shared_ptr<std::uint8_t[]> AllocateZeroedBlock(std::size_t bytes);
    // A frame whose pixels live at `offset` in `block` (left as they are there).
    Frame(int width, int height, const std::shared_ptr<std::uint8_t[]>& block, std::size_t offset);

    // A frame that shares this frame's pixels (no copy): for handing frames that are about to
    // leave the clip to a reader that is done with them before they change again.
    Frame SharedView() const {
        return block_ ? Frame(width_, height_, block_, static_cast<std::size_t>(data_ - block_.get())) : Frame();
    }

    // Filled with one colour given as red, green, blue.
    static Frame Filled(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    // Filled with one colour already in stored order (the background colour form).
    static Frame Filled(int width, int height, Bgr colour);

    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t stride() const { return Stride(static_cast<std::size_t>(width_)); }
    std::size_t size() const { return size_; }

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::span<std::uint8_t> bytes() { return {data_, size_}; }
    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

    // Pixel access in picture coordinates (row 0 at the top); no range check.
    std::uint8_t* PixelAt(int x, int y) {
        return data_ + static_cast<std::size_t>(height_ - 1 - y) * stride() + 3 * static_cast<std::size_t>(x);
    }
    const std::uint8_t* PixelAt(int x, int y) const {
        return data_ + static_cast<std::size_t>(height_ - 1 - y) * stride() + 3 * static_cast<std::size_t>(x);
    }
    Bgr Pixel(int x, int y) const {
        const auto* p = PixelAt(x, y);
        return {p[0], p[1], p[2]};
    }
    void SetPixel(int x, int y, Bgr c) {
        auto* p = PixelAt(x, y);
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
    }

    void Fill(Bgr colour);

    friend bool operator==(const Frame& a, const Frame& b);

private:
    int width_ = 0;
    int height_ = 0;
    std::size_t size_ = 0;
    std::shared_ptr<std::uint8_t[]> block_;  // owns the pixels (alone or with other frames)
    std::uint8_t* data_ = nullptr;
};

}  // namespace corv
