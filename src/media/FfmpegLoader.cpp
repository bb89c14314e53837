#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "media/FfmpegBackend.h"

namespace corv::ffmpeg {

namespace {

struct Loaded {
    const Backend* backend = nullptr;
    std::string why;
};

// Where the module is: the library folder of the running program's tree, found from the
// program's own folder (bin/ of the installed tree; bin/, tests/ or bench/ of the build tree).
std::filesystem::path Place() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path() / CORVANTINE_MODULE_DIR_FROM_BIN / kModuleName;
}

Loaded LoadModule() {
    Loaded out;
    const std::filesystem::path place = Place();
    std::string reason;
    std::error_code ec;
    if (place.empty() || !std::filesystem::is_regular_file(place, ec)) {
        reason = (place.empty() ? std::string(kModuleName) : place.lexically_normal().string()) + " is missing";
    } else if (void* module = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL); !module) {
        const char* e = dlerror();
        reason = e ? e : place.string();
    } else {
        auto entry = reinterpret_cast<EntryPoint>(dlsym(module, kEntryPoint));
        const Backend* backend = entry ? entry() : nullptr;
        if (backend && backend->version == kBackendVersion) {
            out.backend = backend;  // kept loaded for the life of the program
            return out;
        }
        reason = place.lexically_normal().string() + " belongs to another build";
        dlclose(module);
    }
    out.why = "Movies and sound files cannot be read or written: the program's FFmpeg module cannot be loaded (" + reason + ").";
    return out;
}

}  // namespace

const Backend* Load(std::string* why) {
    static const Loaded loaded = LoadModule();
    if (!loaded.backend && why) *why = loaded.why;
    return loaded.backend;
}

}  // namespace corv::ffmpeg
