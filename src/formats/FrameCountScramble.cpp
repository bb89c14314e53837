#include "formats/FrameCountScramble.h"

namespace corv {

std::uint32_t ScrambleFrameCount(std::uint32_t count) {
    return static_cast<std::uint32_t>(ModPow(count, scramble::kPublicExponent, scramble::kModulus)) ^ scramble::kMask;
}

std::optional<std::uint32_t> UnscrambleFrameCount(std::uint32_t stored) {
    const std::uint32_t value = stored ^ scramble::kMask;
    if (value >= scramble::kModulus) {
        return std::nullopt;
    }
    const auto count = static_cast<std::uint32_t>(ModPow(value, scramble::kPrivateExponent, scramble::kModulus));
    if (count > kMaxFrameCount) {
        return std::nullopt;
    }
    return count;
}

}  // namespace corv
