#include "project/Frame.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>
#include <utility>

namespace corv {

Frame::Frame(int width, int height, Uninitialized)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      size_(BufferSize(static_cast<std::size_t>(width_), static_cast<std::size_t>(height_))),
      block_(new std::uint8_t[size_]),
      data_(block_.get()) {}

Frame::Frame(int width, int height, const std::shared_ptr<std::uint8_t[]>& block, std::size_t offset)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      size_(BufferSize(static_cast<std::size_t>(width_), static_cast<std::size_t>(height_))),
      block_(block),
      data_(block.get() + offset) {}

std::shared_ptr<std::uint8_t[]> Frame::AllocateBlock(std::size_t bytes) {
    constexpr std::size_t kLarge = 4u << 20;
    if (bytes < kLarge) {
        return std::shared_ptr<std::uint8_t[]>(new std::uint8_t[bytes == 0 ? 1 : bytes]);
    }
    // Large blocks come straight from the system (and go back to it whole), in huge pages where
    // the system has them: filling a block of small pages was ten times slower. Readers take
    // the pages in large pieces as they fill them (ReadAtParallel).
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        throw std::bad_alloc();
    }
    ::madvise(p, bytes, MADV_HUGEPAGE);
    return std::shared_ptr<std::uint8_t[]>(static_cast<std::uint8_t*>(p),
                                           [bytes](std::uint8_t* q) { ::munmap(q, bytes); });
}

std::shared_ptr<std::uint8_t[]> Frame::AllocateZeroedBlock(std::size_t bytes) {
    constexpr std::size_t kLarge = 4u << 20;
    if (bytes < kLarge) return std::shared_ptr<std::uint8_t[]>(new std::uint8_t[bytes == 0 ? 1 : bytes]());
    return AllocateBlock(bytes);  // fresh anonymous pages are zero
}

Frame::Frame(int width, int height, const Frame* source) : Frame(width, height, Uninitialized{}) {
    if (source && source->width_ == width_ && source->height_ == height_) {
        std::copy_n(source->data_, size_, data_);
    } else {
        std::fill_n(data_, size_, std::uint8_t{0});
    }
}

Frame::Frame(const Frame& other) : Frame(other.width_, other.height_, &other) {}

Frame& Frame::operator=(const Frame& other) {
    if (this != &other) {
        Frame copy(other);
        *this = std::move(copy);
    }
    return *this;
}

bool operator==(const Frame& a, const Frame& b) {
    return a.width_ == b.width_ && a.height_ == b.height_ && std::equal(a.data(), a.data() + a.size_, b.data());
}

Frame Frame::Filled(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return Filled(width, height, Bgr{blue, green, red});
}

Frame Frame::Filled(int width, int height, Bgr colour) {
    Frame f(width, height, Uninitialized{});
    std::fill_n(f.data_, f.size_, std::uint8_t{0});
    f.Fill(colour);
    return f;
}

void Frame::Fill(Bgr colour) {
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(width_);
    if (rowBytes == 0 || height_ == 0) {
        return;
    }
    // Build one row, then copy it to every row; padding bytes stay zero.
    std::uint8_t* first = data_;
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
