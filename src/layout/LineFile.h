#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "base/Result.h"
#include "layout/Layout.h"
#include "layout/LightType.h"

namespace corv {

namespace linefile {
inline constexpr std::uint8_t kVersion = 3;       // what we write; 0..3 are read
inline constexpr std::uint32_t kMaxSkip = 30000;  // larger skip counts refuse the file
// Configuration key of the current line file: the eight letters and two blanks.
inline constexpr const char* kConfigKey = "LineFile  ";
}  // namespace linefile

// GridTooLarge: the header claims more cells than the program takes (GridWithinLimit).
enum class LineFileError { None, OpenFailed, Unsupported, GridTooLarge };

// What a line file holds, as read.
struct LineFileContent {
    std::uint8_t version = linefile::kVersion;
    LayoutGrid grid;
    std::array<Line, kLineCount> lines;
    LineSetting setting;
    std::vector<LightTypeRecord> lightTypes;
    SlaveGroupList slaveGroups;  // as stored, zero entries dropped
};

// Parses a line file; every count and table is checked against the bytes there.
LineFileError ParseLineFile(std::span<const std::uint8_t> bytes, LineFileContent& out);

// Loads a line file into the layout, merging its lamp types into `lampTypes` (the program's
// list). On any error the layout and the list stay as they were. The failure's `code` is the
// LineFileError; its reason names the file and why it could not be read, or the grid limit.
Result<Done> LoadLineFile(const std::filesystem::path& path, Layout& layout, std::vector<LightTypeRecord>& lampTypes,
                          std::uint8_t defaultChip);
// The LineFileError of an outcome (None for a success).
inline LineFileError LineFileErrorOf(const Result<Done>& result) {
    return result ? LineFileError::None : static_cast<LineFileError>(result.failure().code);
}

// The bytes of a version-3 line file of the layout and the program's lamp types.
std::vector<std::uint8_t> LineFileBytes(const Layout& layout, std::span<const LightTypeRecord> lampTypes);
// Writes them (through a temporary file); the failure names the file and the reason.
Result<Done> SaveLineFile(const std::filesystem::path& path, Layout& layout, std::span<const LightTypeRecord> lampTypes);

// The path a line file is saved under: the last four characters become ".lnf".
std::filesystem::path LineFilePathFor(const std::filesystem::path& chosen);

// Maps the file's lamp types into the program's list and rewrites the slaves' lightType
// entries (record 0 is never merged).
void MergeLightTypes(std::vector<LightTypeRecord>& list, std::span<const LightTypeRecord> fileRecords,
                     LineSetting::Table& lightType);

}  // namespace corv
