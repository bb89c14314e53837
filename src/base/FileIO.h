#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "base/Result.h"

namespace corv {

// Reads exactly n bytes at `offset` (pread, retried on interruption); false when the file ends
// first or an error occurs.
bool ReadAt(int fd, void* out, std::size_t n, std::uint64_t offset);

// Reads exactly n bytes at `offset` into `out` on up to `threads` threads, in pieces of 16 MiB
// that each thread takes in turn; the thread that reads a piece also takes its memory from the
// system (in one call, not a fault a page). `progress`, when given, is called on the calling
// thread with the bytes read so far. False when the file ends first or an error occurs.
bool ReadAtParallel(int fd, std::uint8_t* out, std::size_t n, std::uint64_t offset, unsigned threads,
                    const std::function<void(std::size_t)>& progress = {});

// Buffered little-endian writer to a file descriptor. Large blocks bypass the buffer.
// After the first failure every call is a no-op and ok() stays false.
class FileWriter {
public:
    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Creates or truncates `path`.
    bool Open(const std::filesystem::path& path);
    // Opens an existing file for writing at `offset` without truncating it.
    bool OpenExisting(const std::filesystem::path& path, std::uint64_t offset);
    bool ok() const { return ok_ && fd_ >= 0; }
    // The system's error number of the first failure (0 while none).
    int error() const { return error_; }
    std::uint64_t pos() const { return pos_; }

    void U8(std::uint8_t v) { Bytes(&v, 1); }
    void U16(std::uint16_t v);
    void U32(std::uint32_t v);
    void Bytes(const void* data, std::size_t n);
    void Bytes(std::span<const std::uint8_t> data) { Bytes(data.data(), data.size()); }
    void Zeros(std::size_t n);
    // Queues bytes without copying them; they must stay unchanged until the next Flush() or
    // Close(). Queued blocks go out together in large gathered writes.
    void Reference(const void* data, std::size_t n);
    // Copies `n` bytes of another file, from its current position.
    bool CopyFrom(int fd, std::uint64_t n);
    // Copies `n` bytes of another file from `offset` (its own position stays) in large
    // sequential pieces: inside the kernel where the system allows it, else through a buffer of
    // 1 MiB. An input that ends early is a failure (EIO).
    bool CopyRange(int fd, std::uint64_t offset, std::uint64_t n);

    bool Flush();
    // Reserves the disk blocks of a file that is to grow to `bytes`, so that its writes find
    // their blocks allocated instead of having each page's allocation put off and booked (on
    // this machine's file system large writes are then several times faster, and steadier). The
    // file's size stays what is written; what is reserved beyond it is given back on Close().
    // Where the file system cannot reserve, or has not that much room free, nothing changes (the
    // writes report).
    void Reserve(std::uint64_t bytes);
    // The file's descriptor (-1 when it is not open).
    int fd() const { return fd_; }
    // Writes n bytes at `offset`, beside the buffered stream (Flush() first): neither pos() nor
    // ok() changes. Several threads may write disjoint ranges at once.
    bool WriteAt(const void* data, std::size_t n, std::uint64_t offset) const;
    // Truncates the file at the current position (after flushing).
    bool TruncateHere();
    // Flushes and closes; false when anything failed.
    bool Close();

private:
    bool WriteRaw(const std::uint8_t* p, std::size_t n);
    // Records errno as the failure (the first one stays) and returns false.
    bool Failed();
    bool FlushPending();
    // Moves the copy buffer into the queue of gathered blocks.
    void FreezeBuffer();

    int fd_ = -1;
    bool ok_ = true;
    int error_ = 0;
    std::uint64_t pos_ = 0;
    std::uint64_t reserved_ = 0;
    std::vector<std::uint8_t> buffer_;
    // Gathered blocks waiting for one writev, and copied buffers they point into.
    std::vector<std::pair<const std::uint8_t*, std::size_t>> pending_;
    std::size_t pendingBytes_ = 0;
    std::vector<std::vector<std::uint8_t>> frozen_;
};

// A file written under a temporary name beside its target. Commit() puts it in the target's
// place; a file that is not committed (a failure, an early return) is removed, so a failed write
// leaves the target as it was and no litter. A symbolic link is followed: the file it points to
// is replaced and the link stays. A target that exists and is not a regular file (a device, a
// folder, a pipe) is refused. The reason of a failure stays with the object (error(), failure()).
// While it lives, a thread has the system start writing out what has been written to `fd`
// so far (in pieces of 8 MiB as the file grows; writing goes on meanwhile): a large file is on
// its way to the disk while it is still being written, and replacing an older file with it,
// which makes the file system write it out first, has little left to do. (A new file is better
// left to the system: writing it out early slows the writing.) Only for files written from the
// start one after another (the file's position is how far it is written).
class WriteBehind {
public:
    explicit WriteBehind(int fd);
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

private:
    struct State;
    std::unique_ptr<State> state_;
};

class ReplacingFile {
public:
    // Replace: a link in the target's place is itself replaced, not followed (for files that
    // go into a folder of the program's own, such as extracted archive entries).
    enum class Links { Follow, Replace };
    explicit ReplacingFile(std::filesystem::path target, Links links = Links::Follow);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool ok() const { return opened_ && (prepared_ || writer.ok()); }
    // Closes the writer: everything is written and only the rename is left. For files that go
    // out together: prepare each, then commit each, so that a failed write of one leaves all.
    Result<Done> Prepare();
    // Closes the writer (unless prepared) and renames; the failure (and the temporary removed)
    // when anything failed.
    Result<Done> Commit();
    // The target as the caller named it (for messages).
    const std::filesystem::path& name() const { return named_; }
    // Whether a file is in the target's place (one to be replaced), as it was when this opened.
    bool replacesFile() const { return replaces_; }
    // Why the file failed: "PATH: reason" (empty while nothing failed), and the same as a failure.
    const std::string& error() const { return failure_.reason; }
    const Failure& failure() const { return failure_; }
    // Records the writer's failure under the target's name as the file's failure, and returns it.
    Failure WriteFailed();

    FileWriter writer;

private:
    std::filesystem::path named_;   // as the caller named it, for messages
    std::filesystem::path target_;  // the regular file really replaced
    bool replaces_ = false;
    std::filesystem::path temp_;
    int slot_ = -1;  // in the list of pending temporary files
    bool opened_ = false;
    bool prepared_ = false;
    bool committed_ = false;
    Failure failure_;
};

// Removes the temporary files of every replacing file not yet committed; safe in a signal
// handler (a program stopped by a signal leaves no half-written file behind).
void RemovePendingTemporaryFiles();

// A per-run working folder, removed with what it holds by RemovePendingTemporaryFiles() until
// it is unregistered; the slot, or -1 when all are taken.
int RegisterPendingFolder(const std::filesystem::path& folder);
void UnregisterPendingFolder(int slot);

// A temporary file that another writer fills (a library that opens the file itself, such as
// the movie writer's), listed for RemovePendingTemporaryFiles() while this object lives.
class PendingTemporaryFile {
public:
    explicit PendingTemporaryFile(const std::filesystem::path& temp);
    ~PendingTemporaryFile();
    PendingTemporaryFile(const PendingTemporaryFile&) = delete;
    PendingTemporaryFile& operator=(const PendingTemporaryFile&) = delete;

private:
    int slot_ = -1;
};

// Buffered little-endian reader of a file descriptor that knows the file's size, so that
// every count can be checked against the bytes really there before anything is allocated.
class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // The failure names the path: "PATH: reason".
    Result<Done> Open(const std::filesystem::path& path);
    bool ok() const { return ok_ && fd_ >= 0; }
    std::uint64_t size() const { return size_; }
    std::uint64_t pos() const { return pos_; }
    std::uint64_t remaining() const { return size_ - pos_; }
    bool atEnd() const { return pos_ >= size_; }
    int fd() const { return fd_; }

    bool U8(std::uint8_t& v);
    bool U16(std::uint16_t& v);
    bool U32(std::uint32_t& v);
    bool Bytes(void* out, std::size_t n);
    bool Skip(std::uint64_t n);
    bool Seek(std::uint64_t pos);
    // Reads everything from the current position to the end.
    bool Rest(std::vector<std::uint8_t>& out);

private:
    bool Fail() {
        ok_ = false;
        return false;
    }
    bool Fill();

    int fd_ = -1;
    bool ok_ = true;
    std::uint64_t size_ = 0;
    std::uint64_t pos_ = 0;       // logical position in the file
    std::vector<std::uint8_t> buffer_;
    std::size_t bufPos_ = 0;      // next unread byte in buffer_
    std::size_t bufLen_ = 0;      // valid bytes in buffer_
};

}  // namespace corv
