#include "Mutator.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace corv::fuzz {

namespace {

std::size_t Pick(Random& rng, std::size_t bound) {
    if (bound == 0) {
        return 0;
    }
    if (bound <= 0xFFFFFFFFu) {
        return rng.Below(static_cast<std::uint32_t>(bound));
    }
    return static_cast<std::size_t>(rng.Next64() % bound);
}

// Run lengths: mostly short, sometimes long.
std::size_t RunLength(Random& rng, std::size_t most) {
    std::size_t n = 1 + Pick(rng, 16);
    if (rng.Below(4) == 0)
        n = 1 + Pick(rng, 256);
    if (rng.Below(16) == 0)
        n = 1 + Pick(rng, 4096);
    return std::min(n, std::max<std::size_t>(most, 1));
}

void Note(std::string& recipe, const char* fmt, unsigned long long a, unsigned long long b = 0,
          unsigned long long c = 0) {
    char buf[96];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    if (!recipe.empty())
        recipe += ' ';
    recipe += buf;
}

void PutU16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k)
        b[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> (8 * k));
}

std::uint32_t GetU32(const Bytes& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k)
        v |= static_cast<std::uint32_t>(b[at + static_cast<std::size_t>(k)]) << (8 * k);
    return v;
}

// Spans of digits (with sign, point and exponent) in text: the numbers a text reader parses.
std::vector<std::pair<std::size_t, std::size_t>> NumberTokens(const Bytes& b) {
    std::vector<std::pair<std::size_t, std::size_t>> out;
    std::size_t i = 0;
    while (i < b.size()) {
        if ((b[i] >= '0' && b[i] <= '9') || ((b[i] == '-' || b[i] == '.') && i + 1 < b.size() &&
                                             b[i + 1] >= '0' && b[i + 1] <= '9')) {
            std::size_t j = i + 1;
            while (j < b.size() &&
                   ((b[j] >= '0' && b[j] <= '9') || b[j] == '.' || b[j] == 'e' || b[j] == 'E'))
                ++j;
            out.emplace_back(i, j - i);
            i = j;
        } else {
            ++i;
        }
    }
    return out;
}

// Start offsets of the lines of a text.
std::vector<std::size_t> LineStarts(const Bytes& b) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (b[i] == '\n' && i + 1 < b.size())
            starts.push_back(i + 1);
    }
    return starts;
}

std::size_t LineEnd(const Bytes& b, std::size_t start) {
    auto it = std::find(b.begin() + static_cast<std::ptrdiff_t>(start), b.end(), '\n');
    return it == b.end() ? b.size() : static_cast<std::size_t>(it - b.begin()) + 1;
}

}  // namespace

std::uint64_t Mix(std::uint64_t a, std::uint64_t b) {
    std::uint64_t z = a ^ (b + 0x9E3779B97F4A7C15ull + (a << 6) + (a >> 2));
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t HashName(std::string_view name) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (char c : name) {
        h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    }
    return h;
}

std::string Hex(const Bytes& bytes, std::size_t limit) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    const std::size_t n = std::min(bytes.size(), limit);
    s.reserve(2 * n + 3);
    for (std::size_t i = 0; i < n; ++i) {
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 15];
    }
    if (bytes.size() > limit)
        s += "...";
    return s;
}

const std::vector<std::uint32_t>& Mutator::InterestingU32() {
    static const std::vector<std::uint32_t> v = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x80000001u,
                                                 0xFFFFFFFEu, 0x40000000u, 0x10000000u, 0x01000000u,
                                                 0x00FFFFFFu, 0x00010000u, 0x0000FFFFu, 0x00008000u,
                                                 0x00007FFFu, 0x00000100u, 0u,          1u};
    return v;
}

const std::vector<std::uint16_t>& Mutator::InterestingU16() {
    static const std::vector<std::uint16_t> v = {0xFFFF, 0x7FFF, 0x8000, 0x8001, 0xFFFE,
                                                 0x0100, 0x00FF, 0,      1,      2};
    return v;
}

Mutator::Mutator(std::uint64_t runSeed, std::string_view reader, const std::vector<Bytes>& seeds,
                 bool text)
    : readerSeed_(Mix(runSeed, HashName(reader))), seeds_(seeds), text_(text) {}

Bytes Mutator::Make(std::uint64_t i, std::string* recipeOut) const {
    Random rng(Mix(readerSeed_, i));
    const std::size_t from = Pick(rng, seeds_.size());
    Bytes b = seeds_[from];
    std::string recipe;
    Note(recipe, "seed%llu", from);
    // One change half the time, then ever fewer up to eight.
    int changes = 1;
    while (changes < 8 && rng.Below(2) == 0)
        ++changes;
    for (int c = 0; c < changes; ++c) {
        if (text_ && rng.Below(3) == 0) {
            OnceText(b, rng, recipe);
        } else {
            Once(b, rng, recipe);
        }
    }
    if (recipeOut)
        *recipeOut = std::move(recipe);
    return b;
}

void Mutator::Once(Bytes& b, Random& rng, std::string& recipe) const {
    const std::uint32_t op = rng.Below(16);
    if (b.empty()) {
        const std::size_t n = RunLength(rng, 64);
        b.resize(n);
        rng.Fill(b);
        Note(recipe, "fill%llu", n);
        return;
    }
    switch (op) {
        case 0:
        case 1: {  // flip one bit
            const std::size_t at = Pick(rng, b.size());
            const unsigned bit = rng.Below(8);
            b[at] ^= static_cast<std::uint8_t>(1u << bit);
            Note(recipe, "flip@%llu.%llu", at, bit);
            break;
        }
        case 2: {  // a byte to 0, 0xFF or anything
            const std::size_t at = Pick(rng, b.size());
            static const std::uint8_t values[] = {0x00, 0xFF, 0x7F, 0x80, 0x01};
            const std::uint32_t k = rng.Below(6);
            b[at] = k < 5 ? values[k] : static_cast<std::uint8_t>(rng.Next32());
            Note(recipe, "byte@%llu=%llu", at, b[at]);
            break;
        }
        case 3:
        case 4: {  // a 4-byte field to a huge, negative or boundary value (aligned half the time)
            if (b.size() < 4) {
                b.resize(4);
            }
            std::size_t at = Pick(rng, b.size() - 3);
            if (rng.Below(2) == 0)
                at &= ~std::size_t{3};
            const auto& values = InterestingU32();
            std::uint32_t v = rng.Below(8) == 0
                                  ? rng.Next32()
                                  : values[rng.Below(static_cast<std::uint32_t>(values.size()))];
            if (rng.Below(8) == 0)
                v = static_cast<std::uint32_t>(b.size() + rng.Below(3) - 1);  // the file size, +-1
            PutU32(b, at, v);
            Note(recipe, "u32@%llu=0x%llx", at, v);
            break;
        }
        case 5: {  // a 2-byte field
            if (b.size() < 2) {
                b.resize(2);
            }
            const std::size_t at = Pick(rng, b.size() - 1);
            const auto& values = InterestingU16();
            const std::uint16_t v = values[rng.Below(static_cast<std::uint32_t>(values.size()))];
            PutU16(b, at, v);
            Note(recipe, "u16@%llu=0x%llx", at, v);
            break;
        }
        case 6: {  // a count off by a little
            if (b.size() < 4) {
                b.resize(4);
            }
            const std::size_t at = Pick(rng, b.size() - 3);
            const int delta = static_cast<int>(rng.Below(33)) - 16;
            PutU32(b, at, GetU32(b, at) + static_cast<std::uint32_t>(delta));
            Note(recipe, delta < 0 ? "add@%llu=-%llu" : "add@%llu=+%llu", at,
                 static_cast<unsigned long long>(delta < 0 ? -delta : delta));
            break;
        }
        case 7: {  // cut short
            const std::size_t n = Pick(rng, b.size());
            b.resize(n);
            Note(recipe, "cut%llu", n);
            break;
        }
        case 8:
        case 9: {  // insert a run: random bytes, one repeated byte, or a copy from a seed
            const std::size_t at = Pick(rng, b.size() + 1);
            const std::size_t n = RunLength(rng, 4096);
            Bytes run(n);
            const std::uint32_t kind = rng.Below(3);
            if (kind == 0) {
                rng.Fill(run);
            } else if (kind == 1) {
                std::fill(run.begin(), run.end(),
                          rng.Below(2) ? 0xFF : static_cast<std::uint8_t>(rng.Next32()));
            } else {
                const Bytes& other = seeds_[Pick(rng, seeds_.size())];
                run.resize(std::min(n, other.size()));
                const std::size_t src = Pick(rng, other.size() - run.size() + 1);
                std::copy_n(other.begin() + static_cast<std::ptrdiff_t>(src), run.size(),
                            run.begin());
            }
            b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), run.begin(), run.end());
            Note(recipe, "insert@%llu+%llu(%llu)", at, run.size(), kind);
            break;
        }
        case 10:
        case 11: {  // delete a run
            const std::size_t at = Pick(rng, b.size());
            const std::size_t n = RunLength(rng, b.size() - at);
            b.erase(b.begin() + static_cast<std::ptrdiff_t>(at),
                    b.begin() + static_cast<std::ptrdiff_t>(at + n));
            Note(recipe, "erase@%llu-%llu", at, n);
            break;
        }
        case 12: {  // splice: this file's start, another seed's end
            const Bytes& other = seeds_[Pick(rng, seeds_.size())];
            const std::size_t keep = Pick(rng, b.size() + 1);
            const std::size_t from = Pick(rng, other.size() + 1);
            b.resize(keep);
            b.insert(b.end(), other.begin() + static_cast<std::ptrdiff_t>(from), other.end());
            Note(recipe, "splice@%llu<-%llu", keep, from);
            break;
        }
        case 13: {  // overwrite a piece with the same piece of another seed (cross-over)
            const Bytes& other = seeds_[Pick(rng, seeds_.size())];
            const std::size_t at = Pick(rng, std::min(b.size(), other.size()));
            const std::size_t n =
                std::min(RunLength(rng, 4096), std::min(b.size(), other.size()) - at);
            std::copy_n(other.begin() + static_cast<std::ptrdiff_t>(at), n,
                        b.begin() + static_cast<std::ptrdiff_t>(at));
            Note(recipe, "cross@%llu+%llu", at, n);
            break;
        }
        case 14: {  // repeat a piece in place (a record or a block twice)
            const std::size_t at = Pick(rng, b.size());
            const std::size_t n = RunLength(rng, b.size() - at);
            Bytes piece(b.begin() + static_cast<std::ptrdiff_t>(at),
                        b.begin() + static_cast<std::ptrdiff_t>(at + n));
            const std::size_t times = 1 + rng.Below(rng.Below(4) == 0 ? 64 : 3);
            for (std::size_t t = 0; t < times && b.size() < (1u << 22); ++t) {
                b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), piece.begin(), piece.end());
            }
            Note(recipe, "repeat@%llu+%llux%llu", at, n, times);
            break;
        }
        default: {  // move a piece elsewhere
            const std::size_t at = Pick(rng, b.size());
            const std::size_t n = RunLength(rng, b.size() - at);
            Bytes piece(b.begin() + static_cast<std::ptrdiff_t>(at),
                        b.begin() + static_cast<std::ptrdiff_t>(at + n));
            b.erase(b.begin() + static_cast<std::ptrdiff_t>(at),
                    b.begin() + static_cast<std::ptrdiff_t>(at + n));
            const std::size_t to = Pick(rng, b.size() + 1);
            b.insert(b.begin() + static_cast<std::ptrdiff_t>(to), piece.begin(), piece.end());
            Note(recipe, "move@%llu+%llu>%llu", at, n, to);
            break;
        }
    }
}

void Mutator::OnceText(Bytes& b, Random& rng, std::string& recipe) const {
    const std::uint32_t op = rng.Below(5);
    if (op <= 1) {  // a number becomes an extreme one
        const auto tokens = NumberTokens(b);
        if (tokens.empty()) {
            return Once(b, rng, recipe);
        }
        static const char* numbers[] = {"0",
                                        "-1",
                                        "1e308",
                                        "-1e308",
                                        "nan",
                                        "inf",
                                        "-inf",
                                        "2147483647",
                                        "-2147483648",
                                        "4294967296",
                                        "99999999999999999999999",
                                        "1e-320",
                                        "-0",
                                        "65535",
                                        "65536",
                                        "256",
                                        "255",
                                        "32768",
                                        "1e19",
                                        "-9223372036854775809",
                                        "0x7fffffff",
                                        "1.#INF"};
        const auto [at, len] = tokens[Pick(rng, tokens.size())];
        const std::size_t k = rng.Below(static_cast<std::uint32_t>(std::size(numbers)));
        const std::string v = numbers[k];
        b.erase(b.begin() + static_cast<std::ptrdiff_t>(at),
                b.begin() + static_cast<std::ptrdiff_t>(at + len));
        b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), v.begin(), v.end());
        Note(recipe, "number@%llu=#%llu", at, k);
        return;
    }
    const auto starts = LineStarts(b);
    const std::size_t line = Pick(rng, starts.size());
    const std::size_t s = starts[line], e = LineEnd(b, s);
    if (op == 2) {  // drop a line
        b.erase(b.begin() + static_cast<std::ptrdiff_t>(s),
                b.begin() + static_cast<std::ptrdiff_t>(e));
        Note(recipe, "dropline%llu", line);
    } else if (op == 3) {  // repeat a line
        Bytes piece(b.begin() + static_cast<std::ptrdiff_t>(s),
                    b.begin() + static_cast<std::ptrdiff_t>(e));
        const std::size_t to = starts[Pick(rng, starts.size())];
        b.insert(b.begin() + static_cast<std::ptrdiff_t>(to), piece.begin(), piece.end());
        Note(recipe, "dupline%llu>%llu", line, to);
    } else {  // a line of the format's vocabulary, or a very long one
        static const char* lines[] = {"0\n",        "\n",          "\r\n",  "=\n",      "[\n",
                                      "]\n",        "[main]\n",    "[]\n",  ";\n",      "SECTION\n",
                                      "ENTITIES\n", "ENDSEC\n",    "EOF\n", "SEQEND\n", "VERTEX\n",
                                      "10\n",       "40\n",        "999\n", "-1\n",     "key=\n",
                                      "=value\n",   "\xEF\xBB\xBF"};
        const std::size_t k = rng.Below(static_cast<std::uint32_t>(std::size(lines)) + 1);
        std::string v = k < std::size(lines) ? std::string(lines[k])
                                             : std::string(1 + Pick(rng, 20000), 'A') + "\n";
        b.insert(b.begin() + static_cast<std::ptrdiff_t>(s), v.begin(), v.end());
        Note(recipe, "line@%llu=#%llu", s, k);
    }
}

}  // namespace corv::fuzz
