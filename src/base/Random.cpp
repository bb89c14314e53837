#include "base/Random.h"

#include <chrono>

namespace corv {

namespace {
std::uint64_t SplitMix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
}  // namespace

Random::Random(std::uint64_t seed) { Seed(seed); }

Random Random::FromTime() {
    return Random(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                  static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

void Random::Seed(std::uint64_t seed) {
    for (auto& s : s_) {
        s = SplitMix(seed);
    }
}

std::uint64_t Random::Next64() {
    const std::uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
}

std::uint32_t Random::Below(std::uint32_t bound) {
    if (bound == 0) {
        return 0;
    }
    // Lemire's multiply-shift; the tiny bias is irrelevant for filler bytes and effects.
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(Next32()) * bound) >> 32);
}

void Random::Fill(std::span<std::uint8_t> out) {
    std::size_t i = 0;
    while (i < out.size()) {
        std::uint64_t v = Next64();
        for (int k = 0; k < 8 && i < out.size(); ++k, ++i) {
            out[i] = static_cast<std::uint8_t>(v >> (8 * k));
        }
    }
}

}  // namespace corv
