#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace corv {

inline constexpr const char* kCatalogueFileName = "DrICtype.ict";

struct ChipEntry {
    std::string chinese;
    std::string english;
    std::string tips;
    // "CHTIPS%d": the tooltip in Chinese; empty when the catalogue gives none.
    std::string chineseTips;
    int code = 0;
};

// The driver-chip catalogue: chip names in list order with their codes.
class ChipCatalogue {
public:
    static constexpr int kMaxEntries = 250;

    // Reads the catalogue (a missing file gives an empty list in which every code reads 0).
    static ChipCatalogue Load(const std::filesystem::path& file);

    const std::vector<ChipEntry>& entries() const { return entries_; }
    // Name at a list position: the Chinese name in the Chinese UI when there is one (in
    // Traditional characters for Traditional Chinese), else the English name.
    std::string Name(std::size_t position, std::uint8_t language) const;
    // Tooltip with every backslash turned into a line break.
    std::string Tips(std::size_t position) const;
    // The tooltip in a language: the Chinese one in the Chinese UI when there is one, else
    // the English one; backslashes become line breaks.
    std::string Tips(std::size_t position, std::uint8_t language) const;
    // The chip code at a list position (0 when there is none).
    int CodeAt(std::size_t position) const;
    // List position of a chip code (0 for codes no entry has).
    int PositionOf(int code) const;
    // Whether an entry has this code.
    bool HasCode(int code) const;
    // "DELAY<code>": read by the single-controller writer; 0 by default.
    int Delay(int code) const;
    // "GRAY<code>": the number of gray levels the chip itself has (256 for an 8-bit chip),
    // which choosing the chip selects; 0 when the catalogue gives none.
    int GrayLevels(int code) const;
    // "RESET<code>": the gap in microseconds a self-clocked chip (one without a clock line)
    // needs after each frame before it shows it; without the key DefaultChipResetMicros(code).
    int ResetMicros(int code) const;

private:
    std::vector<ChipEntry> entries_;
    std::array<int, 255> positionOfCode_{};
    std::map<int, int> delays_;
    std::map<int, int> grayLevels_;
    std::map<int, int> resets_;
};

// The reset gap of the self-clocked chips the program knows, in microseconds: 96 for DMX512
// (code 19: a break of at least 88 us and a mark after it of at least 8 us before each
// frame); 0 for every other code (chips with a clock line latch without a gap). A catalogue
// entry of a self-clocked chip of its own gives its gap with "RESET<code>".
int DefaultChipResetMicros(int code);

}  // namespace corv
