#include "formats/Archive.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <system_error>

#include "base/Binary.h"
#include "base/FileIO.h"
#include "base/FileUtil.h"

extern char** environ;

namespace corv {

namespace fs = std::filesystem;

bool IsRarFile(const fs::path& path) {
    FileReader in;
    std::uint8_t head[3];
    return in.Open(path) && in.size() >= 3 && in.Bytes(head, 3) && std::memcmp(head, "Rar", 3) == 0;
}

namespace {

struct ArchiveHandle {
    archive* a = archive_read_new();
    ~ArchiveHandle() { archive_read_free(a); }
};

bool OpenForReading(ArchiveHandle& h, const fs::path& path) {
    archive_read_support_format_rar(h.a);
    archive_read_support_format_rar5(h.a);
    return archive_read_open_filename(h.a, path.c_str(), 1 << 16) == ARCHIVE_OK;
}

std::string EntryName(archive_entry* e) {
    const char* utf8 = archive_entry_pathname_utf8(e);
    const char* name = utf8 ? utf8 : archive_entry_pathname(e);
    return name ? name : "";
}

// The last component of a stored name; archives made on Windows separate with '\'.
std::string LastComponent(const std::string& name) {
    auto cut = name.find_last_of("/\\");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

// The data CRC-32 that each file header of a RAR 4 or RAR 5 archive stores, in header order
// (nullopt for headers without one, such as folders). The reader library does not check it
// for stored entries, so a damaged byte would otherwise be extracted without a word.
std::vector<std::optional<std::uint32_t>> StoredCrcs(const fs::path& path) {
    std::vector<std::optional<std::uint32_t>> crcs;
    FileReader in;
    std::uint8_t sig[8] = {};
    if (!in.Open(path) || !in.Bytes(sig, 7) || std::memcmp(sig, "Rar!\x1a\x07", 6) != 0) {
        return crcs;
    }
    if (sig[6] == 0x00) {  // RAR 4
        std::uint64_t pos = 7;
        while (pos + 7 <= in.size() && in.Seek(pos)) {
            std::uint16_t crc16 = 0, flags = 0, headSize = 0;
            std::uint8_t type = 0;
            if (!in.U16(crc16) || !in.U8(type) || !in.U16(flags) || !in.U16(headSize) || headSize < 7) {
                break;
            }
            std::uint64_t add = 0;
            if (type == 0x74) {
                std::uint32_t pack = 0, unp = 0, fileCrc = 0;
                std::uint8_t host = 0;
                if (headSize < 32 || !in.U32(pack) || !in.U32(unp) || !in.U8(host) || !in.U32(fileCrc)) {
                    break;
                }
                add = pack;
                if (flags & 0x100) {
                    std::uint32_t highPack = 0;
                    if (!in.Seek(pos + 32) || !in.U32(highPack)) {
                        break;
                    }
                    add |= static_cast<std::uint64_t>(highPack) << 32;
                }
                const bool folder = (flags & 0xE0) == 0xE0;
                const bool split = (flags & 0x03) != 0;  // parts of a multi-volume entry
                crcs.push_back(folder || split ? std::nullopt : std::optional<std::uint32_t>(fileCrc));
            } else if (flags & 0x8000) {
                std::uint32_t extra = 0;
                if (!in.U32(extra)) {
                    break;
                }
                add = extra;
            }
            if (type == 0x7B) {
                break;  // end of archive
            }
            pos += headSize + add;
        }
        return crcs;
    }
    if (sig[6] != 0x01 || !in.Bytes(sig + 7, 1) || sig[7] != 0x00) {
        return crcs;
    }
    // RAR 5: variable-length integers, seven bits a byte, low bits first.
    auto vint = [&](std::uint64_t& v) {
        v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            std::uint8_t b = 0;
            if (!in.U8(b)) {
                return false;
            }
            v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if (!(b & 0x80)) {
                return true;
            }
        }
        return false;
    };
    std::uint64_t pos = 8;
    while (pos + 7 <= in.size() && in.Seek(pos)) {
        std::uint32_t headCrc = 0;
        std::uint64_t headSize = 0, type = 0, flags = 0, extra = 0, data = 0;
        if (!in.U32(headCrc) || !vint(headSize) || headSize > in.remaining()) {
            break;
        }
        const std::uint64_t bodyStart = in.pos();
        if (!vint(type) || !vint(flags) || ((flags & 1) && !vint(extra)) || ((flags & 2) && !vint(data))) {
            break;
        }
        if (type == 4 || type == 5) {
            break;  // encrypted headers follow, or the end of the archive
        }
        if (type == 2) {
            std::uint64_t fileFlags = 0, unp = 0, attr = 0;
            std::uint32_t mtime = 0, dataCrc = 0;
            if (!vint(fileFlags) || !vint(unp) || !vint(attr) || ((fileFlags & 2) && !in.U32(mtime)) ||
                ((fileFlags & 4) && !in.U32(dataCrc))) {
                break;
            }
            const bool folder = (fileFlags & 1) != 0;
            const bool split = (flags & 0x18) != 0;  // data continues from or into another volume
            crcs.push_back(folder || split || !(fileFlags & 4) ? std::nullopt : std::optional<std::uint32_t>(dataCrc));
        }
        if (data > in.size()) {
            break;
        }
        pos = bodyStart + headSize + data;
    }
    return crcs;
}

}  // namespace

ExtractResult ExtractArchive(const fs::path& archivePath, const fs::path& destDir, const ProgressFn& progress) {
    ProgressEnd end(progress);
    ExtractResult result;
    std::error_code sizeError;
    const std::uint64_t total = fs::file_size(archivePath, sizeError);
    ArchiveHandle h;
    if (!OpenForReading(h, archivePath)) {
        result.error = archive_error_string(h.a) ? archive_error_string(h.a) : "cannot open archive";
        return result;
    }
    const auto crcs = StoredCrcs(archivePath);
    archive_entry* entry = nullptr;
    std::vector<char> block(1 << 16);
    for (std::size_t index = 0;; ++index) {
        int r = archive_read_next_header(h.a, &entry);
        if (r == ARCHIVE_EOF) {
            break;
        }
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
            result.error = archive_error_string(h.a) ? archive_error_string(h.a) : "damaged archive";
            return result;
        }
        const std::string name = LastComponent(EntryName(entry));
        if (archive_entry_filetype(entry) != AE_IFREG || name.empty() || name == "." || name == "..") {
            archive_read_data_skip(h.a);
            continue;
        }
        // Written beside its place and renamed over whatever had the name (a link is replaced,
        // not followed).
        const fs::path target = destDir / name;
        ReplacingFile out(target, ReplacingFile::Links::Replace);
        bool ok = out.ok();
        uLong crc = crc32(0L, Z_NULL, 0);
        for (;;) {
            la_ssize_t n = archive_read_data(h.a, block.data(), block.size());
            if (n == 0) {
                break;
            }
            if (n < 0) {
                ok = false;
                result.error = archive_error_string(h.a) ? archive_error_string(h.a) : "damaged archive";
                break;
            }
            crc = crc32(crc, reinterpret_cast<const Bytef*>(block.data()), static_cast<uInt>(n));
            if (progress && !sizeError) {
                ReportProgress(progress, PercentDone(static_cast<std::uint64_t>(archive_filter_bytes(h.a, -1)), total));
            }
            out.writer.Bytes(block.data(), static_cast<std::size_t>(n));
        }
        if (ok && index < crcs.size() && crcs[index] && *crcs[index] != static_cast<std::uint32_t>(crc)) {
            ok = false;
            result.error = "CRC error in \"" + name + "\": the archive is damaged";
        }
        if (!ok || !out.Commit()) {
            if (result.error.empty()) {
                result.error = out.error();
            }
            return result;
        }
        result.files.push_back(name);
    }
    result.ok = true;
    return result;
}

std::optional<std::vector<ArchiveEntry>> ListArchive(const fs::path& archivePath) {
    ArchiveHandle h;
    if (!OpenForReading(h, archivePath)) {
        return std::nullopt;
    }
    std::vector<ArchiveEntry> entries;
    archive_entry* entry = nullptr;
    for (;;) {
        int r = archive_read_next_header(h.a, &entry);
        if (r == ARCHIVE_EOF) {
            break;
        }
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
            return std::nullopt;
        }
        entries.push_back({EntryName(entry), static_cast<std::uint64_t>(archive_entry_size(entry)),
                           archive_entry_filetype(entry) == AE_IFREG});
        archive_read_data_skip(h.a);
    }
    return entries;
}

namespace {

std::uint32_t DosTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    if (tm.tm_year < 80) {
        return (1u << 21) | (1u << 16);  // 1980-01-01
    }
    return (static_cast<std::uint32_t>(tm.tm_year - 80) << 25) | (static_cast<std::uint32_t>(tm.tm_mon + 1) << 21) |
           (static_cast<std::uint32_t>(tm.tm_mday) << 16) | (static_cast<std::uint32_t>(tm.tm_hour) << 11) |
           (static_cast<std::uint32_t>(tm.tm_min) << 5) | static_cast<std::uint32_t>(tm.tm_sec / 2);
}

// A RAR 4 block header starts with the low 16 bits of the CRC-32 of the rest of the header.
void PutHeaderCrc(std::vector<std::uint8_t>& header) {
    const uLong crc = crc32(0L, header.data() + 2, static_cast<uInt>(header.size() - 2));
    StoreU16(header.data(), static_cast<std::uint16_t>(crc & 0xFFFF));
}

}  // namespace

Result<Done> WriteStoredRar(const fs::path& archivePath, const fs::path& file, const std::string& entryName,
                            const ProgressFn& progress) {
    ProgressEnd end(progress);
    FileReader in;
    if (auto opened = in.Open(file); !opened) {
        return opened;
    }
    if (entryName.empty() || entryName.size() > 0xFFFF - 64) {
        return Failure{};
    }
    const std::uint64_t size = in.size();
    // The entry's CRC comes before its data: one pass to compute it.
    uLong crc = crc32(0L, Z_NULL, 0);
    {
        std::vector<std::uint8_t> buf(1 << 20);
        std::uint64_t left = size;
        while (left > 0) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, buf.size()));
            if (!in.Bytes(buf.data(), n)) {
                return Failure{};  // a read that stops short has no reason of its own
            }
            crc = crc32(crc, buf.data(), static_cast<uInt>(n));
            left -= n;
            ReportProgress(progress, PercentDone(size - left, 2 * size));  // reading is the first half
        }
        if (!in.Seek(0)) {
            return Failure{};
        }
    }
    struct stat st {};
    ::fstat(in.fd(), &st);

    const bool large = size > 0xFFFFFFFFull;
    ByteWriter head;
    // Marker block and archive header.
    head.Bytes("Rar!\x1a\x07\x00", 7);
    std::vector<std::uint8_t> mainHeader = {0, 0, 0x73, 0, 0, 13, 0, 0, 0, 0, 0, 0, 0};
    PutHeaderCrc(mainHeader);
    head.Bytes(mainHeader);
    // File header of a stored entry.
    ByteWriter fh;
    fh.U16(0);
    fh.U8(0x74);
    fh.U16(static_cast<std::uint16_t>(0x8000 | (large ? 0x0100 : 0)));
    fh.U16(static_cast<std::uint16_t>(32 + entryName.size() + (large ? 8 : 0)));
    fh.U32(static_cast<std::uint32_t>(size));  // packed size = size: stored
    fh.U32(static_cast<std::uint32_t>(size));
    fh.U8(3);  // host: Unix
    fh.U32(static_cast<std::uint32_t>(crc));
    fh.U32(DosTime(st.st_mtime));
    fh.U8(29);    // version needed to extract
    fh.U8(0x30);  // method: store
    fh.U16(static_cast<std::uint16_t>(entryName.size()));
    fh.U32(0100644);  // regular file, rw-r--r--
    if (large) {
        fh.U32(static_cast<std::uint32_t>(size >> 32));
        fh.U32(static_cast<std::uint32_t>(size >> 32));
    }
    fh.Bytes(entryName.data(), entryName.size());
    PutHeaderCrc(fh.bytes());
    head.Bytes(fh.bytes());

    ReplacingFile archive(archivePath);
    FileWriter& out = archive.writer;
    bool ok = archive.ok();
    out.Bytes(head.bytes());
    // The copy goes in pieces so that the second half of the progress moves too.
    constexpr std::uint64_t kPiece = 64u << 20;
    for (std::uint64_t done = 0; ok && done < size; done += std::min(kPiece, size - done)) {
        ok = out.CopyFrom(in.fd(), std::min(kPiece, size - done));
        ReportProgress(progress, PercentDone(size + done + std::min(kPiece, size - done), 2 * size));
    }
    // End of archive block.
    std::vector<std::uint8_t> endBlock = {0, 0, 0x7B, 0x00, 0x40, 7, 0};
    PutHeaderCrc(endBlock);
    out.Bytes(endBlock.data(), endBlock.size());
    if (!ok) {
        return archive.failure();  // why the file could not be made (a failed copy tells none)
    }
    return archive.Commit();
}

std::optional<fs::path> FindRarProgram() {
    const char* pathEnv = std::getenv("PATH");
    if (!pathEnv) {
        return std::nullopt;
    }
    std::string paths = pathEnv;
    std::size_t start = 0;
    while (start <= paths.size()) {
        std::size_t end = paths.find(':', start);
        std::string dir = paths.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty()) {
            fs::path candidate = fs::path(dir) / "rar";
            if (::access(candidate.c_str(), X_OK) == 0) {
                return candidate;
            }
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return std::nullopt;
}

int RunProgram(const fs::path& program, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string arg0 = program.string();
    argv.push_back(arg0.data());
    std::vector<std::string> copies = args;
    for (auto& a : copies) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The archiver works without a console: its chatter is not the user's business.
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        return -1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Result<Done> AddToArchive(const fs::path& named, const fs::path& file, const std::string& entryName,
                          const std::optional<fs::path>& rarProgram, const ProgressFn& progress) {
    // The same rules as every other write: a link is followed, a device, folder or pipe is
    // refused, before any work is done.
    const auto resolved = ResolveWriteTarget(named);
    if (!resolved) {
        return resolved.failure();
    }
    const fs::path& archivePath = *resolved;
    if (rarProgram) {
        // The outside archiver stores the file under its own name: give it one called
        // entryName, and let it make a fresh archive beside the target that then replaces it.
        std::error_code ec;
        fs::path staging = archivePath.parent_path() / (".corvantine-rar-" + std::to_string(::getpid()));
        fs::create_directories(staging, ec);
        const fs::path named = staging / entryName;
        const fs::path freshArchive = staging / "out.rar";
        fs::remove(named, ec);
        fs::create_hard_link(file, named, ec);
        if (ec) {
            ec.clear();
            fs::copy_file(file, named, fs::copy_options::overwrite_existing, ec);
        }
        bool ok = !ec && RunProgram(*rarProgram, {"a", "-o+", "-as", "-ep", "-idq", freshArchive.string(),
                                                 named.string()}) == 0 &&
                  IsRarFile(freshArchive);
        if (ok) {
            ok = ReplaceWithTemp(freshArchive, archivePath);  // keeps the replaced file's permissions
        }
        fs::remove_all(staging, ec);
        if (ok) {
            return Done{};
        }
    }
    return WriteStoredRar(archivePath, file, entryName, progress);
}

}  // namespace corv
