#include "base/FileIO.h"

#include <fcntl.h>
#include <dirent.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "base/Binary.h"
#include "base/FileUtil.h"

namespace corv {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::size_t kDirectThreshold = 256 * 1024;
// Large writes let the system allocate its cache in large pieces: 16 MiB per write is
// several times faster than 1 MiB.
constexpr std::size_t kGatherBytes = 16u << 20;
}  // namespace

namespace {

// Moves n bytes with a positioned call (pread or pwrite) until all are done, retried on
// interruption; false when the call moves nothing or fails.
template <typename Call>
bool Whole(std::size_t n, Call call) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = call(done);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(r);
    }
    return true;
}

}  // namespace

bool ReadAt(int fd, void* out, std::size_t n, std::uint64_t offset) {
    auto* dst = static_cast<std::uint8_t*>(out);
    return Whole(n, [&](std::size_t done) {
        return ::pread(fd, dst + done, n - done, static_cast<off_t>(offset + done));
    });
}

bool ReadAtParallel(int fd, std::uint8_t* out, std::size_t n, std::uint64_t offset, unsigned threads,
                    const std::function<void(std::size_t)>& progress) {
    constexpr std::size_t kPiece = 16u << 20;
    const std::size_t pieces = (n + kPiece - 1) / kPiece;
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    std::atomic<std::size_t> next{0}, done{0};
    std::atomic<bool> failed{false};
    auto work = [&](bool reports) {
        for (std::size_t k = next++; k < pieces && !failed; k = next++) {
            std::uint8_t* p = out + k * kPiece;
            const std::size_t len = std::min(kPiece, n - k * kPiece);
#ifdef MADV_POPULATE_WRITE
            // The whole pages inside the piece; a page it shares with a neighbour is faulted in
            // by the copy.
            const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(p) + page - 1) / page * page;
            const std::uintptr_t to = (reinterpret_cast<std::uintptr_t>(p) + len) / page * page;
            if (to > from) {
                ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
            }
#endif
            if (!ReadAt(fd, p, len, offset + k * kPiece)) {
                failed = true;
                return;
            }
            done += len;
            if (reports && progress) {
                progress(done.load());
            }
        }
    };
    const unsigned extra = pieces > 1 ? std::min(std::max(threads, 1u), 8u) - 1 : 0;
    std::vector<std::thread> helpers;
    for (unsigned t = 0; t < extra; ++t) {
        try {
            helpers.emplace_back(work, false);
        } catch (const std::system_error&) {
            break;  // no thread to be had: fewer hands do the work
        }
    }
    work(true);
    for (std::thread& t : helpers) {
        t.join();
    }
    return !failed;
}

FileWriter::~FileWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool FileWriter::Open(const std::filesystem::path& path) {
    // No O_TRUNC: truncating an existing file (such as a fresh temporary file) makes ext4 flush
    // the new data to disk when the file is closed, which made every save several times slower.
    // A file that really has content is cut with ftruncate instead.
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    ok_ = fd_ >= 0;
    if (!ok_) {
        Failed();
    }
    struct stat st {};
    if (ok_ && ::fstat(fd_, &st) == 0 && st.st_size > 0 && ::ftruncate(fd_, 0) != 0) {
        Failed();
    }
    pos_ = 0;
    buffer_.reserve(kBufferSize);
    return ok_;
}

bool FileWriter::OpenExisting(const std::filesystem::path& path, std::uint64_t offset) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ok_ = fd_ >= 0 && ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
    if (!ok_) {
        Failed();
    }
    pos_ = offset;
    buffer_.reserve(kBufferSize);
    return ok_;
}

bool FileWriter::WriteRaw(const std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd_, p, n);
        if (w < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Failed();
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool FileWriter::Failed() {
    if (ok_ || error_ == 0) {
        error_ = errno != 0 ? errno : EIO;
    }
    return ok_ = false;
}

bool FileWriter::FlushPending() {
    std::size_t i = 0;
    std::vector<iovec> iov;
    iov.reserve(pending_.size());
    for (const auto& [p, n] : pending_) {
        iov.push_back({const_cast<std::uint8_t*>(p), n});
    }
    while (ok_ && i < iov.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(iov.size() - i, IOV_MAX));
        ssize_t w = ::writev(fd_, iov.data() + i, count);
        if (w < 0) {
            if (errno == EINTR) {
                continue;
            }
            Failed();
            break;
        }
        // Step over what went out; a partial write leaves the rest of one block.
        auto left = static_cast<std::size_t>(w);
        while (i < iov.size() && left >= iov[i].iov_len) {
            left -= iov[i].iov_len;
            ++i;
        }
        if (left > 0) {
            iov[i].iov_base = static_cast<std::uint8_t*>(iov[i].iov_base) + left;
            iov[i].iov_len -= left;
        }
    }
    pending_.clear();
    pendingBytes_ = 0;
    frozen_.clear();
    return ok_;
}

void FileWriter::FreezeBuffer() {
    pendingBytes_ += buffer_.size();
    frozen_.push_back(std::move(buffer_));
    buffer_ = {};
    pending_.emplace_back(frozen_.back().data(), frozen_.back().size());
}

void FileWriter::Reference(const void* data, std::size_t n) {
    if (!ok() || n == 0) {
        return;
    }
    pos_ += n;
    if (!buffer_.empty()) {
        FreezeBuffer();  // bytes copied before this block go out before it
    }
    pending_.emplace_back(static_cast<const std::uint8_t*>(data), n);
    pendingBytes_ += n;
    if (pendingBytes_ >= kGatherBytes || pending_.size() >= IOV_MAX) {
        FlushPending();
    }
}

bool FileWriter::Flush() {
    if (!ok()) {
        return false;
    }
    if (!pending_.empty() && !FlushPending()) {
        return false;
    }
    if (!buffer_.empty()) {
        WriteRaw(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    return ok_;
}

bool FileWriter::WriteAt(const void* data, std::size_t n, std::uint64_t offset) const {
    auto p = static_cast<const std::uint8_t*>(data);
    return fd_ >= 0 && Whole(n, [&](std::size_t done) {
               return ::pwrite(fd_, p + done, n - done, static_cast<off_t>(offset + done));
           });
}

void FileWriter::U16(std::uint16_t v) {
    std::uint8_t b[2];
    StoreU16(b, v);
    Bytes(b, 2);
}

void FileWriter::U32(std::uint32_t v) {
    std::uint8_t b[4];
    StoreU32(b, v);
    Bytes(b, 4);
}

void FileWriter::Bytes(const void* data, std::size_t n) {
    if (!ok() || n == 0) {
        return;
    }
    auto p = static_cast<const std::uint8_t*>(data);
    pos_ += n;
    if (pending_.empty()) {
        if (n >= kDirectThreshold) {
            if (Flush()) {
                WriteRaw(p, n);
            }
            return;
        }
        if (buffer_.size() + n > kBufferSize && !Flush()) {
            return;
        }
    } else if (buffer_.size() + n > kBufferSize) {
        // Queued blocks go first: the full buffer joins the queue behind them.
        FreezeBuffer();
        if (pendingBytes_ >= kGatherBytes || pending_.size() >= IOV_MAX) {
            FlushPending();
        }
    }
    buffer_.insert(buffer_.end(), p, p + n);
}

void FileWriter::Zeros(std::size_t n) {
    static const std::uint8_t zeros[4096] = {};
    while (n > 0 && ok()) {
        std::size_t k = std::min(n, sizeof zeros);
        Bytes(zeros, k);
        n -= k;
    }
}

bool FileWriter::CopyFrom(int fd, std::uint64_t n) {
    if (!Flush()) {
        return false;
    }
    // In the kernel when both sides allow it.
    while (n > 0) {
        ssize_t c = ::copy_file_range(fd, nullptr, fd_, nullptr,
                                      static_cast<std::size_t>(std::min<std::uint64_t>(n, 1u << 30)), 0);
        if (c < 0 && errno == EINTR) {
            continue;
        }
        if (c <= 0) {
            break;
        }
        pos_ += static_cast<std::uint64_t>(c);
        n -= static_cast<std::uint64_t>(c);
    }
    if (n == 0) {
        return true;
    }
    std::vector<std::uint8_t> chunk(kBufferSize);
    while (n > 0) {
        std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(n, chunk.size()));
        ssize_t r = ::read(fd, chunk.data(), want);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r <= 0) {
            if (r == 0) {
                errno = EIO;  // the source ended early
            }
            return Failed();
        }
        if (!WriteRaw(chunk.data(), static_cast<std::size_t>(r))) {
            return false;
        }
        pos_ += static_cast<std::uint64_t>(r);
        n -= static_cast<std::uint64_t>(r);
    }
    return true;
}

namespace {

// The outcome of one way of copying: every byte out, a failure (errno tells it), or the rest
// left to another way.
enum class CopyStep { Done, Failed, Another };

// Failures of a way of copying that another way may not meet: the kernel or the filesystems
// cannot copy between these two files so (EOPNOTSUPP is ENOTSUP here).
bool AnotherWayMayWork(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// `n` bytes from `in` at `offset` to `out` at its position with copy_file_range; `offset` and
// `n` follow the bytes that reached the output.
CopyStep CopyInKernel(int in, std::uint64_t& offset, int out, std::uint64_t& n) {
    while (n > 0) {
        auto from = static_cast<loff_t>(offset);
        const ssize_t c = ::copy_file_range(in, &from, out, nullptr,
                                            static_cast<std::size_t>(std::min<std::uint64_t>(n, 1u << 30)), 0);
        if (c < 0 && errno == EINTR) {
            continue;
        }
        if (c < 0) {
            return AnotherWayMayWork(errno) ? CopyStep::Another : CopyStep::Failed;
        }
        if (c == 0) {
            return CopyStep::Another;  // the input ended, or the filesystem copies nothing so
        }
        offset += static_cast<std::uint64_t>(c);
        n -= static_cast<std::uint64_t>(c);
    }
    return CopyStep::Done;
}

}  // namespace

bool FileWriter::CopyRange(int fd, std::uint64_t offset, std::uint64_t n) {
    if (!Flush()) {
        return false;
    }
    // In the kernel: no copy through this process, and none at all where the filesystem shares
    // blocks between files or copies on its server.
    const std::uint64_t asked = n;
    const CopyStep step = CopyInKernel(fd, offset, fd_, n);
    pos_ += asked - n;
    if (step == CopyStep::Failed) {
        return Failed();
    }
    if (step == CopyStep::Done) {
        return true;
    }
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(n, kBufferSize)));
    while (n > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(n, chunk.size()));
        const ssize_t r = ::pread(fd, chunk.data(), want, static_cast<off_t>(offset));
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r <= 0) {
            if (r == 0) {
                errno = EIO;  // the input ended early
            }
            return Failed();
        }
        if (!WriteRaw(chunk.data(), static_cast<std::size_t>(r))) {
            return false;
        }
        offset += static_cast<std::uint64_t>(r);
        n -= static_cast<std::uint64_t>(r);
        pos_ += static_cast<std::uint64_t>(r);
    }
    return true;
}

bool FileWriter::TruncateHere() {
    if (!Flush()) {
        return false;
    }
    if (::ftruncate(fd_, static_cast<off_t>(pos_)) != 0) {
        Failed();
    }
    return ok_;
}

void FileWriter::Reserve(std::uint64_t bytes) {
    // Small files gain nothing; a file that would not fit is not given the disk's last room
    // while it is written (its own writes tell when it does not fit).
    if (fd_ < 0 || bytes < (1u << 20) || bytes <= reserved_) return;
    struct statvfs disk {};
    if (::fstatvfs(fd_, &disk) != 0 || bytes / disk.f_frsize >= disk.f_bavail) return;
    if (::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes)) == 0) {
        reserved_ = bytes;
        return;
    }
    // A file system that ran out of room part way keeps what it found: given back at once.
    struct stat st {};
    if (::fstat(fd_, &st) == 0) (void)::ftruncate(fd_, st.st_size);
}

bool FileWriter::Close() {
    if (fd_ < 0) {
        return false;
    }
    Flush();
    if (reserved_ > 0) {
        // Blocks reserved past the end (a file that came out smaller) are given back: cutting
        // the file at its own size releases them.
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && static_cast<std::uint64_t>(st.st_size) < reserved_) {
            if (::ftruncate(fd_, st.st_size) != 0) Failed();
        }
        reserved_ = 0;
    }
    if (::close(fd_) != 0) {
        Failed();
    }
    fd_ = -1;
    return ok_;
}

FileReader::~FileReader() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

Result<Done> FileReader::Open(const std::filesystem::path& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        ok_ = false;
        return FileFailure(path, errno);
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        ok_ = false;
        return FileFailure(path, errno);
    }
    if (!S_ISREG(st.st_mode)) {
        ok_ = false;
        return FileFailure(path, std::string(S_ISDIR(st.st_mode) ? "is a folder, not a file" : "is not a regular file"));
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
    pos_ = 0;
    buffer_.resize(64 * 1024);
    ok_ = true;
    return Done{};
}

bool FileReader::Fill() {
    bufPos_ = 0;
    bufLen_ = 0;
    for (;;) {
        ssize_t r = ::read(fd_, buffer_.data(), buffer_.size());
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r <= 0) {
            return Fail();
        }
        bufLen_ = static_cast<std::size_t>(r);
        return true;
    }
}

bool FileReader::Bytes(void* out, std::size_t n) {
    if (!ok() || n > remaining()) {
        return Fail();
    }
    auto dst = static_cast<std::uint8_t*>(out);
    // Buffered bytes first.
    std::size_t take = std::min(n, bufLen_ - bufPos_);
    if (take > 0) {
        std::memcpy(dst, buffer_.data() + bufPos_, take);
        bufPos_ += take;
        dst += take;
        n -= take;
        pos_ += take;
    }
    if (n == 0) {
        return true;
    }
    if (n >= buffer_.size()) {
        // Large blocks go straight into the destination.
        while (n > 0) {
            ssize_t r = ::read(fd_, dst, n);
            if (r < 0 && errno == EINTR) {
                continue;
            }
            if (r <= 0) {
                return Fail();
            }
            dst += r;
            n -= static_cast<std::size_t>(r);
            pos_ += static_cast<std::uint64_t>(r);
        }
        return true;
    }
    while (n > 0) {
        if (bufPos_ == bufLen_ && !Fill()) {
            return false;
        }
        take = std::min(n, bufLen_ - bufPos_);
        std::memcpy(dst, buffer_.data() + bufPos_, take);
        bufPos_ += take;
        dst += take;
        n -= take;
        pos_ += take;
    }
    return true;
}

bool FileReader::U8(std::uint8_t& v) { return Bytes(&v, 1); }

bool FileReader::U16(std::uint16_t& v) {
    std::uint8_t b[2];
    if (!Bytes(b, 2)) {
        return false;
    }
    v = LoadU16(b);
    return true;
}

bool FileReader::U32(std::uint32_t& v) {
    std::uint8_t b[4];
    if (!Bytes(b, 4)) {
        return false;
    }
    v = LoadU32(b);
    return true;
}

bool FileReader::Seek(std::uint64_t pos) {
    if (!ok() || pos > size_) {
        return Fail();
    }
    if (::lseek(fd_, static_cast<off_t>(pos), SEEK_SET) != static_cast<off_t>(pos)) {
        return Fail();
    }
    pos_ = pos;
    bufPos_ = bufLen_ = 0;
    return true;
}

bool FileReader::Skip(std::uint64_t n) {
    if (!ok() || n > remaining()) {
        return Fail();
    }
    if (n <= bufLen_ - bufPos_) {
        bufPos_ += static_cast<std::size_t>(n);
        pos_ += n;
        return true;
    }
    return Seek(pos_ + n);
}

bool FileReader::Rest(std::vector<std::uint8_t>& out) {
    if (!ok()) {
        return false;
    }
    out.resize(static_cast<std::size_t>(remaining()));
    return Bytes(out.data(), out.size());
}

namespace {

// Temporary files of replacing files not yet committed, for RemovePendingTemporaryFiles(),
// which may run in a signal handler: fixed slots, a path is visible only once complete.
// A slot names the process that listed it: a child made by fork() that is stopped leaves its
// parent's files alone.
struct PendingSlot {
    std::atomic<bool> taken{false};
    std::atomic<bool> ready{false};
    std::atomic<pid_t> owner{0};
    char path[PATH_MAX] = {};
};
PendingSlot g_pending[32];

int RegisterPending(const std::filesystem::path& p) {
    const std::string& text = p.native();
    if (text.size() >= PATH_MAX) {
        return -1;
    }
    for (int i = 0; i < 32; ++i) {
        bool expected = false;
        if (g_pending[i].taken.compare_exchange_strong(expected, true)) {
            std::memcpy(g_pending[i].path, text.c_str(), text.size() + 1);
            g_pending[i].owner.store(::getpid(), std::memory_order_relaxed);
            g_pending[i].ready.store(true, std::memory_order_release);
            return i;
        }
    }
    return -1;  // more at once than the slots hold: such a file is not removed on a signal
}

void UnregisterPending(int slot) {
    if (slot >= 0) {
        g_pending[slot].ready.store(false, std::memory_order_release);
        g_pending[slot].taken.store(false, std::memory_order_release);
    }
}

// Per-run working folders, removed with what they hold by RemovePendingTemporaryFiles().
PendingSlot g_folders[8];

// Removes what the folder `dir` holds (`depth` levels of sub-folders), then `name` itself in
// `parent`, with system calls that are safe in a signal handler only: no allocation, no
// locks, no stdio.
void RemoveTreeAt(int parent, const char* name, int depth) {
    const int dir = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir >= 0) {
        alignas(8) char buffer[4096];
        for (;;) {
            const long n = ::syscall(SYS_getdents64, dir, buffer, sizeof buffer);
            if (n <= 0) break;
            for (long at = 0; at < n;) {
                struct Entry {
                    std::uint64_t ino;
                    std::int64_t off;
                    unsigned short reclen;
                    unsigned char type;
                    char name[1];
                };
                const auto* e = reinterpret_cast<const Entry*>(buffer + at);
                at += e->reclen;
                const char* entry = e->name;
                if (entry[0] == '.' && (entry[1] == 0 || (entry[1] == '.' && entry[2] == 0))) continue;
                if (::unlinkat(dir, entry, 0) != 0 && (errno == EISDIR || e->type == DT_DIR) && depth > 0) {
                    RemoveTreeAt(dir, entry, depth - 1);
                }
            }
        }
        ::close(dir);
    }
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

}  // namespace

void RemovePendingTemporaryFiles() {
    const int saved = errno;
    const pid_t self = ::getpid();
    for (PendingSlot& slot : g_pending) {
        if (slot.ready.load(std::memory_order_acquire) && slot.owner.load(std::memory_order_relaxed) == self) {
            ::unlink(slot.path);
        }
    }
    for (PendingSlot& slot : g_folders) {
        if (slot.ready.load(std::memory_order_acquire) && slot.owner.load(std::memory_order_relaxed) == self) {
            RemoveTreeAt(AT_FDCWD, slot.path, 4);
        }
    }
    errno = saved;
}

int RegisterPendingFolder(const std::filesystem::path& folder) {
    const std::string& text = folder.native();
    if (text.size() >= PATH_MAX) {
        return -1;
    }
    for (int i = 0; i < 8; ++i) {
        bool expected = false;
        if (g_folders[i].taken.compare_exchange_strong(expected, true)) {
            std::memcpy(g_folders[i].path, text.c_str(), text.size() + 1);
            g_folders[i].owner.store(::getpid(), std::memory_order_relaxed);
            g_folders[i].ready.store(true, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

void UnregisterPendingFolder(int slot) {
    if (slot >= 0) {
        g_folders[slot].ready.store(false, std::memory_order_release);
        g_folders[slot].taken.store(false, std::memory_order_release);
    }
}

PendingTemporaryFile::PendingTemporaryFile(const std::filesystem::path& temp) : slot_(RegisterPending(temp)) {}

PendingTemporaryFile::~PendingTemporaryFile() { UnregisterPending(slot_); }

ReplacingFile::ReplacingFile(std::filesystem::path target, Links links) : named_(std::move(target)) {
    auto resolved = links == Links::Follow ? ResolveWriteTarget(named_) : Result<std::filesystem::path>(named_);
    if (!resolved) {
        failure_ = resolved.failure();
        return;
    }
    target_ = *resolved;
    std::error_code ec;
    replaces_ = std::filesystem::is_regular_file(target_, ec);
    auto t = MakeSiblingTemp(target_);
    if (!t) {
        failure_ = t.failure();
        return;
    }
    temp_ = *t;
    slot_ = RegisterPending(temp_);
    opened_ = writer.Open(temp_);
    if (!opened_) {
        failure_ = FileFailure(named_, writer.error());
    }
}

ReplacingFile::~ReplacingFile() {
    if (!committed_ && !temp_.empty()) {
        std::error_code ec;  // the writer closes its descriptor after this, unflushed
        std::filesystem::remove(temp_, ec);
    }
    UnregisterPending(slot_);
}

Result<Done> ReplacingFile::Prepare() {
    if (!opened_ || prepared_) {
        if (opened_ && prepared_) {
            return Done{};
        }
        return failure_;
    }
    if (!writer.Close()) {
        failure_ = FileFailure(named_, writer.error());
        opened_ = false;  // nothing to rename; the temporary goes with the object
        return failure_;
    }
    prepared_ = true;
    return Done{};
}

Failure ReplacingFile::WriteFailed() {
    failure_ = FileFailure(named_, writer.error());
    return failure_;
}

Result<Done> ReplacingFile::Commit() {
    const bool closed = prepared_ || writer.Close();
    // Unregistered before the rename: a signal afterwards must not remove the committed file.
    UnregisterPending(std::exchange(slot_, -1));
    if (!opened_) {
        return failure_;  // the reason was recorded when the file was opened
    }
    if (!closed) {
        failure_ = FileFailure(named_, writer.error());
        return failure_;
    }
    committed_ = ReplaceWithTemp(temp_, target_);
    if (!committed_) {
        failure_ = FileFailure(named_, errno);
        return failure_;
    }
    return Done{};
}


struct WriteBehind::State {
    int fd = -1;
    std::mutex mutex;
    std::condition_variable stop;
    bool stopping = false;
    std::thread thread;
};

WriteBehind::WriteBehind(int fd) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.fd = fd;
    if (fd < 0) return;
    try {
        s.thread = std::thread([&s] {
            constexpr off_t kPiece = 8 << 20;
            off_t started = 0;
            std::unique_lock lock(s.mutex);
            while (!s.stopping) {
                lock.unlock();
                const off_t at = ::lseek(s.fd, 0, SEEK_CUR);
                if (at >= started + kPiece) {
                    ::sync_file_range(s.fd, started, at - started, SYNC_FILE_RANGE_WRITE);
                    started = at;
                }
                lock.lock();
                s.stop.wait_for(lock, std::chrono::milliseconds(5), [&s] { return s.stopping; });
            }
        });
    } catch (const std::system_error&) {
        // No thread to be had: the file is written out later, as any other.
    }
}

WriteBehind::~WriteBehind() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->stop.notify_all();
    if (state_->thread.joinable()) state_->thread.join();
}

}  // namespace corv
