#include "base/AppHome.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace corv {

namespace fs = std::filesystem;

fs::path InstalledDataDir(const fs::path& programDir) {
    return programDir.parent_path() / "share" / "corvantine";
}

void SeedFolder(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (!fs::is_directory(from, ec)) {
        return;
    }
    fs::create_directories(to, ec);
    for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        fs::path rel = fs::relative(it->path(), from, ec);
        if (ec) {
            break;
        }
        fs::path dst = to / rel;
        if (it->is_directory(ec)) {
            fs::create_directories(dst, ec);
        } else if (!fs::exists(dst, ec)) {
            fs::copy_file(it->path(), dst, ec);
        }
        ec.clear();
    }
}

fs::path ResolveAppHome(const fs::path& programDir) {
    std::error_code ec;
    fs::path home;
    if (const char* env = std::getenv("CORVANTINE_HOME"); env && *env) {
        home = env;
        fs::create_directories(home, ec);
    } else if (::access(programDir.c_str(), W_OK) == 0 && fs::exists(programDir / kPortableMarker, ec)) {
        home = programDir;
    } else {
        fs::path base;
        if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
            base = xdg;
        } else if (const char* h = std::getenv("HOME"); h && *h) {
            base = fs::path(h) / ".local" / "share";
        } else {
            base = fs::temp_directory_path(ec);
        }
        home = base / "corvantine";
        fs::create_directories(home, ec);
    }
    SeedFolder(InstalledDataDir(programDir), home);
    return home;
}

}  // namespace corv
