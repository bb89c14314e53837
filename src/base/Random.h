#pragma once

#include <cstdint>
#include <span>

namespace corv {

// Small seedable generator (xoshiro256**): the same seed gives the same bytes everywhere,
// which makes "--seed N" outputs byte-identical.
class Random {
public:
    explicit Random(std::uint64_t seed);
    static Random FromTime();

    void Seed(std::uint64_t seed);
    std::uint64_t Next64();
    std::uint32_t Next32() { return static_cast<std::uint32_t>(Next64() >> 32); }
    // Uniform in [0, bound); 0 when bound is 0.
    std::uint32_t Below(std::uint32_t bound);
    void Fill(std::span<std::uint8_t> out);

private:
    std::uint64_t s_[4];
};

}  // namespace corv
