#pragma once

// The self-playing effect file: a copy of the player program with the design appended as a
// project document (header, frame store block, canvas size, layers, music), followed by four
// bytes holding the length of the player part, by which the player finds the document.

#include <filesystem>

#include "project/Document.h"

namespace corv {

// Writes the player, the document and the player's length to `out` (made executable). The
// file is written whole or not at all.
DocError ExportEffectFile(const std::filesystem::path& player, const std::filesystem::path& out,
                          const DocumentSource& source, const std::filesystem::path& tempDir);

// The length of the player part an exported file names in its last four bytes; 0 when the
// file is too short or names a length past its end.
std::uint64_t EffectTemplateLength(const std::filesystem::path& file);

// Reads the appended document of an exported file (the frames, the design, the music into
// tempDir).
DocError ReadEffectFile(const std::filesystem::path& file, const std::filesystem::path& tempDir, LoadedDocument& out);

}  // namespace corv
