#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Result.h"
#include "lang/UiStrings.h"
#include "layout/Layout.h"
#include "layout/LightType.h"

namespace corv {

inline constexpr const char* kPinSetFileName = "PinSet.pet";
inline constexpr std::uint16_t kPinSetVersion = 2;

// The built-in lamp types followed by the user's from the lamp-type file (if readable).
std::vector<LightTypeRecord> LoadLampTypes(const std::filesystem::path& pinSetFile);
// Adds the records of a lamp-type file's bytes to `list` (skipping unusable and duplicate
// records); returns how many were added.
int ReadPinSet(const std::vector<std::uint8_t>& bytes, std::vector<LightTypeRecord>& list);
// Why bytes are not a whole lamp-type file (empty when they are): the header and as many
// whole records as it states.
std::string CheckPinSetFile(const std::vector<std::uint8_t>& bytes);
// Writes the user lamp types (entries 6 onward); the failure names the file and the reason.
Result<Done> SaveLampTypes(const std::filesystem::path& pinSetFile, const std::vector<LightTypeRecord>& list);
std::vector<std::uint8_t> PinSetBytes(const std::vector<LightTypeRecord>& list);

// A pin written as a colour letter and a pixel number ("R1" = 2, "G1" = 1, "B2" = 3);
// nullopt when the text is not of that form.
std::optional<int> PinValue(const std::string& text);
// All P pins of a lamp type as the "Shortcut" text.
std::string ShortcutText(const LightTypeRecord& record);

struct ChipPinResult {
    enum Kind { Nothing, PinError, BuiltInUnchanged, Replaced, Added } kind = Nothing;
    std::string message;  // what the dialog shows (empty: nothing)
};

// The chip-pin dialog's Save: P pins from the selectors (P up to 64) or from the shortcut
// text (P above 64), stored under `name`.
ChipPinResult SaveChipPins(std::vector<LightTypeRecord>& list, const std::string& name, int pinCount,
                           const std::vector<std::string>& selectors, const std::string& shortcut,
                           const UiStrings& strings);

// The chip-pin dialog's Delete: built-in types stay; slaves whose lamp type is now past the
// end of the list get type 0. Returns the message to show (empty when nothing happened).
std::string DeleteLampType(std::vector<LightTypeRecord>& list, std::size_t index, LineSetting& setting,
                           const UiStrings& strings);

}  // namespace corv
