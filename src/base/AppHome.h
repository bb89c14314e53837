#pragma once

#include <filesystem>

namespace corv {

// The folder that holds the files kept "beside the program": configuration, catalogues,
// libraries, pictures, help.
//   1. $CORVANTINE_HOME when set (created if missing);
//   2. the program's own folder when it is writable and marked portable by a file
//      kPortableMarker beside the program (the build tree has one; an installed program has
//      not, so root running /usr/local/bin/corvantine does not fill /usr/local/bin);
//   3. $XDG_DATA_HOME/corvantine, default ~/.local/share/corvantine.
// Whatever is chosen is seeded with the files of the installed data folder
// (<program>/../share/corvantine) that it does not have yet.
std::filesystem::path ResolveAppHome(const std::filesystem::path& programDir);
inline constexpr const char* kPortableMarker = "corvantine.portable";

// Copies every file of `from` that is missing in `to` (recursively). Existing files are kept.
void SeedFolder(const std::filesystem::path& from, const std::filesystem::path& to);

// The installed data folder that seeds the application home.
std::filesystem::path InstalledDataDir(const std::filesystem::path& programDir);

}  // namespace corv
