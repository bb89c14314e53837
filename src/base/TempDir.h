#pragma once

#include <filesystem>
#include <string>

namespace corv {

// A private per-run working folder (mkdtemp), removed with everything in it on destruction,
// and by the signal clean-up when the program is stopped (see Signals.h).
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "corvantine-");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool valid() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path File(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
    int slot_ = -1;
};

}  // namespace corv
