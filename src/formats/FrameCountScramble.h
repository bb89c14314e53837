#pragma once

#include <cstdint>
#include <optional>

namespace corv {

// The stored form of a clip's frame count in version-0 documents: the count raised to a
// public exponent modulo a fixed 29-bit modulus, XOR a 32-bit mask. The private exponent
// undoes it for every count below the modulus.
namespace scramble {
inline constexpr std::uint64_t kModulus = 413856241;  // 29 bits, product of two primes
inline constexpr std::uint64_t kPublicExponent = 131;  // 8 bits
inline constexpr std::uint64_t kPrivateExponent = 3760571;  // 22 bits
inline constexpr std::uint32_t kMask = 0xC3A95D76u;
}  // namespace scramble

// Largest frame count one clip may hold in a document (16,777,215 frames: over six days
// at 30 frames per second). Counts above it are neither written nor accepted.
inline constexpr std::uint32_t kMaxFrameCount = 0xFFFFFFu;

// Modular exponentiation by square-and-multiply on 64-bit intermediates (so the modulus must
// stay below 2^32). Inline, so that a constant modulus turns the remainders into multiplies.
constexpr std::uint64_t ModPow(std::uint64_t base, std::uint64_t exponent, std::uint64_t modulus) {
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

std::uint32_t ScrambleFrameCount(std::uint32_t count);
// The count a stored word stands for; nullopt when no storable count gives that word.
std::optional<std::uint32_t> UnscrambleFrameCount(std::uint32_t stored);

}  // namespace corv
