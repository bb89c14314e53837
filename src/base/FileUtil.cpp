#include "base/FileUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>

#include "base/FileIO.h"

namespace corv {

namespace fs = std::filesystem;

Result<std::vector<std::uint8_t>> ReadFileBytes(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return FileFailure(path, errno);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        Failure failure = FileFailure(path, errno);
        ::close(fd);
        return failure;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return FileFailure(path, std::string(S_ISDIR(st.st_mode) ? "is a folder, not a file" : "is not a regular file"));
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t r = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r <= 0) {
            Failure failure =
                FileFailure(path, r == 0 ? std::string("the file ended early") : std::string(std::strerror(errno)));
            ::close(fd);
            return failure;
        }
        done += static_cast<std::size_t>(r);
    }
    ::close(fd);
    return bytes;
}

Failure FileFailure(const fs::path& path, int error) {
    return FileFailure(path, std::string(std::strerror(error != 0 ? error : EIO)));
}

Failure FileFailure(const fs::path& path, const std::string& reason) {
    return Failure{0, {}, path.string() + ": " + reason, {}, nullptr};
}

Result<fs::path> ResolveWriteTarget(const fs::path& path) {
    fs::path current = path;
    // Follows a chain of links by hand, so that a dangling one still names the file to create.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                return current;  // a new file (its folder is checked when the file is made)
            }
            return FileFailure(path, errno);
        }
        if (S_ISREG(st.st_mode)) {
            return current;
        }
        if (!S_ISLNK(st.st_mode)) {
            return FileFailure(path, S_ISDIR(st.st_mode) ? std::string("is a folder, not a file")
                                                         : std::string("is not a regular file (a device, pipe or socket); "
                                                                       "refusing to replace it"));
        }
        std::error_code ec;
        const fs::path link = fs::read_symlink(current, ec);
        if (ec) {
            return FileFailure(path, ec.value());
        }
        current = link.is_absolute() ? link : current.parent_path() / link;
    }
    return FileFailure(path, ELOOP);
}

bool SameFile(const fs::path& a, const fs::path& b) {
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::optional<fs::path> OutputAmongInputs(const fs::path& output, const std::vector<fs::path>& inputs) {
    for (const auto& input : inputs) {
        if (SameFile(output, input)) {
            return input;
        }
    }
    return std::nullopt;
}

Result<fs::path> MakeSiblingTemp(const fs::path& target) {
    fs::path dir = target.parent_path();
    if (dir.empty()) {
        dir = ".";
    }
    std::string pattern = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return FileFailure(target, errno);
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

Result<Done> WriteFileAtomic(const fs::path& path, std::span<const std::uint8_t> bytes) {
    const auto target = ResolveWriteTarget(path);
    if (!target) {
        return target.failure();
    }
    auto tmp = MakeSiblingTemp(*target);
    if (!tmp) {
        return FileFailure(path, errno);
    }
    const PendingTemporaryFile pending(*tmp);  // removed if a signal stops the program meanwhile
    // The temporary file is new and empty: opened without O_TRUNC, which would make ext4 flush
    // the data on close.
    int fd = ::open(tmp->c_str(), O_WRONLY | O_CLOEXEC);
    bool ok = fd >= 0 && WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && !ReplaceWithTemp(*tmp, *target)) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        Failure failure = FileFailure(path, error);
        std::error_code ec;
        fs::remove(*tmp, ec);
        return failure;
    }
    return Done{};
}

Result<Done> WriteFileAtomic(const fs::path& path, const std::string& text) {
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
