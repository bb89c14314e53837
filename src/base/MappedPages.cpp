#include "base/MappedPages.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <vector>

#include "base/FileIO.h"

namespace corv {

namespace {

struct Mapping {
    std::size_t length = 0;
    int fd = -1;
    std::uint64_t fileOffset = 0;  // of the mapping's first byte
};

// The live mappings by their first byte.
std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<const std::uint8_t*, Mapping>& Registry() {
    static std::map<const std::uint8_t*, Mapping> mappings;
    return mappings;
}

// The mapping that holds all of [p, p + n), with its first byte.
bool Find(const std::uint8_t* p, std::size_t n, const std::uint8_t*& start, Mapping& found) {
    std::lock_guard lock(RegistryMutex());
    auto& mappings = Registry();
    auto it = mappings.upper_bound(p);
    if (it == mappings.begin()) return false;
    --it;
    const std::size_t into = static_cast<std::size_t>(p - it->first);
    if (into > it->second.length || n > it->second.length - into) return false;
    start = it->first;
    found = it->second;
    return true;
}

}  // namespace

std::shared_ptr<std::uint8_t[]> MapFilePrivate(int fd, std::uint64_t offset, std::size_t bytes) {
    const long page = ::sysconf(_SC_PAGESIZE);
    if (fd < 0 || page <= 0 || bytes == 0) return nullptr;
    const std::uint64_t start = offset - offset % static_cast<std::uint64_t>(page);
    const std::size_t length = bytes + static_cast<std::size_t>(offset - start);
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0) return nullptr;
    void* mapped = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, static_cast<off_t>(start));
    if (mapped == MAP_FAILED) {
        ::close(own);
        return nullptr;
    }
    auto* base = static_cast<std::uint8_t*>(mapped);
    {
        std::lock_guard lock(RegistryMutex());
        Registry()[base] = Mapping{length, own, start};
    }
    std::shared_ptr<std::uint8_t> mapping(base, [length, own](std::uint8_t* p) {
        {
            std::lock_guard lock(RegistryMutex());
            Registry().erase(p);
        }
        ::munmap(p, length);
        ::close(own);
    });
    return std::shared_ptr<std::uint8_t[]>(mapping, base + (offset - start));
}

bool PagesUnchanged(const std::uint8_t* p, std::size_t n) { return UnchangedFileRange(p, n).has_value(); }

std::optional<MappedFileRange> UnchangedFileRange(const std::uint8_t* p, std::size_t n) {
    const std::uint8_t* start = nullptr;
    Mapping mapping;
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (n == 0 || pageSize <= 0 || !Find(p, n, start, mapping)) return std::nullopt;
    const auto page = static_cast<std::uintptr_t>(pageSize);
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(p) / page;
    const std::uintptr_t last = (reinterpret_cast<std::uintptr_t>(p) + n - 1) / page;
    // One 64-bit entry a page: bit 63 present, bit 62 swapped, bit 61 a page of a file. A page
    // never looked at, or still the file's, is unchanged; a written one is the program's own
    // (present or swapped, not the file's).
    static const int pagemap = ::open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    if (pagemap < 0) return std::nullopt;
    std::vector<std::uint64_t> entries(static_cast<std::size_t>(last - first + 1));
    if (!ReadAt(pagemap, entries.data(), entries.size() * sizeof(std::uint64_t), std::uint64_t{first} * 8)) {
        return std::nullopt;
    }
    for (const std::uint64_t e : entries) {
        const bool inMemory = (e >> 63 & 1) != 0 || (e >> 62 & 1) != 0;
        if (inMemory && (e >> 61 & 1) == 0) return std::nullopt;
    }
    return MappedFileRange{mapping.fd, mapping.fileOffset + static_cast<std::uint64_t>(p - start)};
}

bool ReadMappedFileBytes(const std::uint8_t* p, std::size_t n, std::uint8_t* out) {
    const std::uint8_t* start = nullptr;
    Mapping mapping;
    if (!Find(p, n, start, mapping)) return false;
    return n == 0 || ReadAt(mapping.fd, out, n, mapping.fileOffset + static_cast<std::uint64_t>(p - start));
}

}  // namespace corv
