#include "base/TempDir.h"

#include <cstdlib>
#include <system_error>

#include "base/FileIO.h"

namespace corv {

TempDir::TempDir(const std::string& prefix) {
    std::error_code ec;
    auto base = std::filesystem::temp_directory_path(ec);
    if (ec) {
        base = "/tmp";
    }
    std::string pattern = (base / (prefix + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
        slot_ = RegisterPendingFolder(path_);
    }
}

TempDir::~TempDir() {
    UnregisterPendingFolder(slot_);
    if (!path_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
}

}  // namespace corv
