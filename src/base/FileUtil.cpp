#include "base/FileUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace corv {

namespace fs = std::filesystem;

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::error_code ec;
    auto size = fs::file_size(path, ec);
    if (ec) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(size);
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<fs::path> MakeSiblingTemp(const fs::path& target) {
    fs::path dir = target.parent_path();
    if (dir.empty()) {
        dir = ".";
    }
    std::string pattern = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return std::nullopt;
    }
    ::close(fd);
    return fs::path(pattern);
}

static bool WriteAll(int fd, const std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool WriteFileAtomic(const fs::path& path, std::span<const std::uint8_t> bytes) {
    auto tmp = MakeSiblingTemp(path);
    if (!tmp) {
        return false;
    }
    // The temporary file is new and empty: opened without O_TRUNC, which would make ext4 flush
    // the data on close.
    int fd = ::open(tmp->c_str(), O_WRONLY | O_CLOEXEC);
    bool ok = fd >= 0 && WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    if (fd >= 0 && ::close(fd) != 0) {
        ok = false;
    }
    ok = ok && ReplaceWithTemp(*tmp, path);
    if (!ok) {
        std::error_code ec;
        fs::remove(*tmp, ec);
    }
    return ok;
}

bool WriteFileAtomic(const fs::path& path, const std::string& text) {
    return WriteFileAtomic(
        path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// The process umask, read without changing it: setting it to 0 for a moment would give files
// that other threads create at that instant the widest permissions.
static mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
        }
    }
    return 022;  // kernels before 4.7 do not show it; the usual mask
}

bool ReplaceWithTemp(const fs::path& temp, const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        ::chmod(temp.c_str(), st.st_mode & 07777);
    } else {
        ::chmod(temp.c_str(), 0666 & ~CurrentUmask());
    }
    return ::rename(temp.c_str(), target.c_str()) == 0;
}

fs::path ProgramDir() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return fs::current_path(ec);
    }
    return exe.parent_path();
}

}  // namespace corv
