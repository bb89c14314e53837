#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Random.h"

namespace corv::fuzz {

using Bytes = std::vector<std::uint8_t>;

// Makes damaged copies of valid files. Mutant i of a reader depends only on the run seed, the
// reader's name and i, so one mutant can be made again without making the ones before it.
class Mutator {
public:
    // `seeds`: valid inputs of one reader (at least one); `text`: the reader takes text, so
    // number and line damage is added to the byte damage.
    Mutator(std::uint64_t runSeed, std::string_view reader, const std::vector<Bytes>& seeds,
            bool text);

    // Random mutant number i: one to eight stacked changes of one of the seeds. `recipe`
    // (when given) receives what was done, for reproducers.
    Bytes Make(std::uint64_t i, std::string* recipe = nullptr) const;

    // The 32-bit values a size or count field is set to ("huge", "negative", off by one).
    static const std::vector<std::uint32_t>& InterestingU32();
    static const std::vector<std::uint16_t>& InterestingU16();

private:
    void Once(Bytes& b, Random& rng, std::string& recipe) const;
    void OnceText(Bytes& b, Random& rng, std::string& recipe) const;

    std::uint64_t readerSeed_;
    const std::vector<Bytes>& seeds_;
    bool text_;
};

// splitmix64 step: mixes seeds and indices into independent generator seeds.
std::uint64_t Mix(std::uint64_t a, std::uint64_t b);
std::uint64_t HashName(std::string_view name);

// Hex dump of up to `limit` bytes ("..." after when longer).
std::string Hex(const Bytes& bytes, std::size_t limit = 512);

}  // namespace corv::fuzz
