#pragma once

// The self-playing effect file: a copy of the player program with the design appended as a
// project document (header, frame store block, canvas size, layers, music), followed by four
// bytes holding the length of the player part, by which the player finds the document.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "project/Document.h"

namespace corv {

// The player program carries this text in an ELF section of its own; a program without it is
// not taken as the player (a text file, a picture or another program would make an effect file
// that cannot play).
inline constexpr std::string_view kEffectPlayerSection = ".corvantine_player";
inline constexpr std::string_view kEffectPlayerMarker = "corvantine-player: effect block 1";

// True when `program` is our player: a 64-bit little-endian ELF file whose section
// kEffectPlayerSection begins with kEffectPlayerMarker.
bool IsEffectPlayer(std::span<const std::uint8_t> program);

// Writes the player, the document and the player's length to `out` (made executable). The
// file is written whole or not at all. A player that is not ours (IsEffectPlayer) is refused
// (Unsupported), as is an output that is the player itself (WriteFailed); the failure's reason
// says why, naming `player` or `out`.
Result<Done> ExportEffectFile(const std::filesystem::path& player, const std::filesystem::path& out,
                              const DocumentSource& source, const std::filesystem::path& tempDir);

// The length of the player part an exported file names in its last four bytes; 0 when the
// file is too short or names a length past its end.
std::uint64_t EffectTemplateLength(const std::filesystem::path& file);

// True when `file` is an exported effect file: our player (IsEffectPlayer) as the part its last
// four bytes name.
bool IsEffectFile(const std::filesystem::path& file);

// Reads the appended document of an exported file (the frames, the design, the music into
// tempDir). Without `loadFrames` only its structure is read: no frames, no music written.
Result<Done> ReadEffectFile(const std::filesystem::path& file, const std::filesystem::path& tempDir, LoadedDocument& out,
                            bool loadFrames = true);

}  // namespace corv
