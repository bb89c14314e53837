#include "formats/FrameCountScramble.h"

namespace corv {

std::uint64_t ModPow(std::uint64_t base, std::uint64_t exponent, std::uint64_t modulus) {
    std::uint64_t result = 1 % modulus;
    base %= modulus;
    while (exponent != 0) {
        if (exponent % 2 == 0) {
            exponent /= 2;
            base = base * base % modulus;
        } else {
            exponent -= 1;
            result = result * base % modulus;
        }
    }
    return result;
}

namespace {
// The same loop with the modulus known at compile time, so the remainder becomes a multiply.
std::uint64_t ModPowFixed(std::uint64_t base, std::uint64_t exponent) {
    constexpr std::uint64_t m = scramble::kModulus;
    std::uint64_t result = 1;
    base %= m;
    while (exponent != 0) {
        if (exponent % 2 == 0) {
            exponent /= 2;
            base = base * base % m;
        } else {
            exponent -= 1;
            result = result * base % m;
        }
    }
    return result;
}
}  // namespace

std::uint32_t ScrambleFrameCount(std::uint32_t count) {
    return static_cast<std::uint32_t>(ModPowFixed(count, scramble::kPublicExponent)) ^ scramble::kMask;
}

std::optional<std::uint32_t> UnscrambleFrameCount(std::uint32_t stored) {
    const std::uint32_t value = stored ^ scramble::kMask;
    if (value >= scramble::kModulus) {
        return std::nullopt;
    }
    const auto count = static_cast<std::uint32_t>(ModPowFixed(value, scramble::kPrivateExponent));
    if (count > kMaxFrameCount) {
        return std::nullopt;
    }
    return count;
}

}  // namespace corv
