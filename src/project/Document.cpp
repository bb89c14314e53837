#include "project/Document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>

#include "base/Binary.h"
#include "base/FileIO.h"
#include "base/FileUtil.h"
#include "base/MappedPages.h"
#include "formats/Archive.h"
#include "formats/FrameCountScramble.h"

namespace corv {

namespace fs = std::filesystem;
using namespace document;

namespace {

bool AcceptedVersion(std::uint8_t v) {
    return static_cast<std::int8_t>(v) <= 0 || v == kVersionPlainCounts;
}

// Clips of at least this many bytes are mapped from the file rather than read.
constexpr std::uint64_t kMapFromBytes = 16u << 20;
// Documents with more frame bytes than this are written out while they are written.
constexpr std::uint64_t kWriteBehindFrom = 64u << 20;

DocError ReadFrameStore(FileReader& in, std::uint8_t version, const ReadOptions& options, LoadedDocument& out) {
    std::uint32_t clipCount = 0;
    if (!in.U32(clipCount)) {
        return DocError::Unsupported;
    }
    if (clipCount == 0 || clipCount > static_cast<std::uint32_t>(FrameStore::kMaxClips)) {
        return DocError::Unsupported;
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes(clipCount);
    for (auto& [w, h] : sizes) {
        if (!in.U32(w) || !in.U32(h)) {
            return DocError::Unsupported;
        }
        if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) {
            return DocError::Unsupported;
        }
    }
    out.clips.clear();
    out.frameCounts.clear();
    out.clips.reserve(clipCount);
    for (std::uint32_t c = 0; c < clipCount; ++c) {
        Clip clip;
        clip.width = sizes[c].first;
        clip.height = sizes[c].second;
        std::uint8_t path[kLineFilePathSize];
        std::uint32_t stored = 0;
        if (!in.Bytes(path, sizeof path) || !in.U32(stored)) {
            return DocError::Unsupported;
        }
        std::size_t len = 0;
        while (len < sizeof path && path[len] != 0) {
            ++len;
        }
        clip.lineFilePath.assign(reinterpret_cast<const char*>(path), std::min(len, kLineFilePathSize - 1));
        std::uint32_t count = stored;
        if (version != kVersionPlainCounts) {
            auto unscrambled = UnscrambleFrameCount(stored);
            if (!unscrambled) {
                return DocError::Unsupported;
            }
            count = *unscrambled;
        }
        const std::uint64_t frameBytes = Frame::BufferSize(clip.width, clip.height);
        out.frameOffsets.push_back(in.pos());
        if (count > kMaxFrameCount || count > in.remaining() / frameBytes) {
            return DocError::Unsupported;
        }
        if (options.loadFrames && count > 0) {
            // The count is known to fit in the file: one block holds the clip's frames. A large
            // clip is mapped (its frames read as they are looked at); a small one, or one that
            // cannot be mapped, is read in large pieces straight into place. The file itself
            // never changes through the mapping, and a document saved over it (written to a new
            // file and renamed into place) leaves the mapping as it was.
            const std::size_t bytes = static_cast<std::size_t>(frameBytes * count);
            std::shared_ptr<std::uint8_t[]> block;
            if (options.mapFrames && bytes >= kMapFromBytes) block = MapFilePrivate(in.fd(), in.pos(), bytes);
            if (block) {
                if (!in.Skip(bytes)) return DocError::Unsupported;
            } else {
                block = Frame::AllocateBlock(bytes);
                // Large clips are read on two threads: taking fresh memory costs as much as the copy.
                const unsigned threads =
                    bytes >= (64u << 20) ? std::min(2u, std::max(1u, std::thread::hardware_concurrency())) : 1;
                auto reported = [&](std::size_t done) {
                    ReportProgress(options.progress, PercentDone(done / frameBytes, count));
                };
                if (!ReadAtParallel(in.fd(), block.get(), bytes, in.pos(), threads, reported) || !in.Skip(bytes)) {
                    return DocError::Unsupported;
                }
            }
            clip.frames.reserve(count);
            for (std::uint32_t i = 0; i < count; ++i) {
                clip.frames.emplace_back(static_cast<int>(clip.width), static_cast<int>(clip.height), block,
                                         static_cast<std::size_t>(frameBytes * i));
            }
        } else if (!in.Skip(frameBytes * count)) {
            return DocError::Unsupported;
        }
        out.clips.push_back(std::move(clip));
        out.frameCounts.push_back(count);
    }
    return DocError::None;
}

Result<Done> ReadTail(FileReader& in, const ReadOptions& options, LoadedDocument& out) {
    std::vector<std::uint8_t> tail;
    if (!in.Rest(tail)) {
        return DocumentFailure(DocError::Unsupported);
    }
    ByteReader r(tail);
    std::uint16_t layerCount = 0;
    if (!r.U16(out.canvasWidth) || !r.U16(out.canvasHeight) || !r.U16(layerCount)) {
        return DocumentFailure(DocError::Unsupported);
    }
    // The count is signed in the file: a negative count reads no layer.
    const int count = static_cast<std::int16_t>(layerCount) < 0 ? 0 : layerCount;
    if (static_cast<std::size_t>(count) > r.remaining() / EffectLayer::kMinRecordSize) {
        return DocumentFailure(DocError::Unsupported);
    }
    out.layers.clear();
    out.layers.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto layer = EffectLayer::Read(r);
        if (!layer) {
            return DocumentFailure(DocError::Unsupported);
        }
        out.layers.push_back(std::move(layer));
    }
    std::uint32_t musicLength = 0;
    if (!r.U32(musicLength) || musicLength > r.remaining()) {
        return DocumentFailure(DocError::Unsupported);
    }
    out.musicLength = musicLength;
    if (musicLength > 0 && options.extractMusic && !options.tempDir.empty()) {
        auto music = r.Take(musicLength);
        const fs::path musicPath = options.tempDir / kMusicFileName;
        // Music that cannot be put in the working folder (a full disk) refuses the open, with
        // the file and the reason: opened without it, the next save would drop it.
        if (auto written = WriteFileAtomic(musicPath, music); !written) {
            return DocumentFailure(DocError::OpenFailed, written.failure().reason);
        }
        out.musicPath = musicPath;
    } else if (!r.Skip(musicLength)) {
        return DocumentFailure(DocError::Unsupported);
    }
    // Whatever follows the music is not ours to read, but it is the user's: kept as it is.
    const auto rest = r.Take(r.remaining());
    out.trailingBytes.assign(rest.begin(), rest.end());
    return Done{};
}

}  // namespace

Result<Done> ReadDocument(const fs::path& path, const ReadOptions& options, LoadedDocument& out) {
    ProgressEnd end(options.progress);
    out = LoadedDocument{};
    fs::path source = path;
    std::string unpackError;  // why a compressed document gave no working copy
    {
        std::uint8_t head[3] = {};
        FileReader probe;
        if (auto opened = probe.Open(path); !opened) {
            return DocumentFailure(DocError::OpenFailed, opened.failure().reason);
        }
        if (probe.size() >= 3 && probe.Bytes(head, 3) && std::memcmp(head, "Rar", 3) == 0) {
            if (options.tempDir.empty()) {
                return DocumentFailure(DocError::OpenFailed);
            }
            // Extract into a folder of its own, so that other entries (an "EffectMusic.mp3", say)
            // never replace the working files of the open project; only the document moves on.
            std::error_code ec;
            fs::remove(options.tempDir / kEntryName, ec);
            std::string pattern = (options.tempDir / "archive-XXXXXX").string();
            if (::mkdtemp(pattern.data()) != nullptr) {
                const fs::path folder = pattern;
                unpackError = ExtractArchive(path, folder).error;
                fs::rename(folder / kEntryName, options.tempDir / kEntryName, ec);
                fs::remove_all(folder, ec);
                // A failed write names the private copy: only the system's reason is told.
                if (const std::string privateName = folder.string(); unpackError.rfind(privateName, 0) == 0) {
                    const auto colon = unpackError.find(": ");
                    unpackError = "cannot be unpacked: " +
                                  (colon == std::string::npos ? std::string("the working folder refused it") : unpackError.substr(colon + 2));
                }
            } else {
                unpackError = std::string("cannot be unpacked: ") + std::strerror(errno);
            }
            // A damaged archive leaves no working copy, which then fails to open.
            source = options.tempDir / kEntryName;
            out.compressed = true;
        }
    }
    FileReader in;
    if (auto opened = in.Open(source); !opened) {
        if (out.compressed) {
            // The message is about the user's archive, never the private working copy.
            return DocumentFailure(
                DocError::OpenFailed,
                FileFailure(path, unpackError.empty() ? "the archive holds no " + std::string(kEntryName) : unpackError)
                    .reason);
        }
        return DocumentFailure(DocError::OpenFailed, opened.failure().reason);
    }
    out.fileSize = in.size();
    out.sourcePath = source;
    std::uint8_t header[kHeaderSize];
    if (!in.Bytes(header, sizeof header) || std::memcmp(header, kMagic, 4) != 0 || !AcceptedVersion(header[4])) {
        return DocumentFailure(DocError::Unsupported);
    }
    out.version = header[4];
    std::uint16_t gx = 0, gy = 0;
    if (!in.U16(out.headerHeight) || !in.U16(out.headerWidth) || !in.U16(gx) || !in.U16(gy)) {
        return DocumentFailure(DocError::Unsupported);
    }
    out.gridScaleX = static_cast<std::int16_t>(gx);
    out.gridScaleY = static_cast<std::int16_t>(gy);
    if (DocError e = ReadFrameStore(in, out.version, options, out); e != DocError::None) {
        return DocumentFailure(e);
    }
    if (!in.atEnd()) {
        out.hasTail = true;
        if (auto tail = ReadTail(in, options, out); !tail) {
            return tail;
        }
    }
    return Done{};
}

std::uint64_t FrameStoreBlockSize(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& sizes,
                                  const std::vector<std::uint64_t>& frameCounts) {
    std::uint64_t n = 4 + 8 * sizes.size();
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        n += kLineFilePathSize + 4 + frameCounts[i] * Frame::BufferSize(sizes[i].first, sizes[i].second);
    }
    return n;
}

Result<Done> WriteDocument(const fs::path& path, const DocumentSource& source, const ProgressFn& progress) {
    ProgressEnd end(progress);
    const FrameStore* store = source.frames;
    if (!store || store->Count() < 1) {
        return DocumentFailure(DocError::WriteFailed);
    }
    for (int c = 0; c < store->Count(); ++c) {
        const Clip& clip = store->clip(c);
        // Nothing is written that the reader would refuse.
        if (clip.frames.size() > kMaxFrameCount || clip.width == 0 || clip.height == 0 || clip.width > kMaxSide ||
            clip.height > kMaxSide) {
            return DocumentFailure(DocError::WriteFailed);
        }
    }
    ReplacingFile file(path);
    FileWriter& out = file.writer;
    if (!file.ok()) {
        return DocumentFailure(DocError::WriteFailed, file.error());
    }
    std::uint64_t frameBytes = 0;
    for (int c = 0; c < store->Count(); ++c) {
        frameBytes += Frame::BufferSize(store->clip(c).width, store->clip(c).height) * store->clip(c).frames.size();
    }
    out.Reserve(frameBytes);
    // A large document that replaces one is on its way to the disk while its frames are
    // written (the replacement waits for that).
    std::optional<WriteBehind> behind;
    if (frameBytes >= kWriteBehindFrom && file.replacesFile()) behind.emplace(out.fd());
    out.Bytes(kMagic, 4);
    out.U8(kVersionScrambled);
    out.Zeros(5);
    out.U16(static_cast<std::uint16_t>(store->clip(0).height));
    out.U16(static_cast<std::uint16_t>(store->clip(0).width));
    out.U16(static_cast<std::uint16_t>(source.gridScaleX));
    out.U16(static_cast<std::uint16_t>(source.gridScaleY));

    out.U32(static_cast<std::uint32_t>(store->Count()));
    for (int c = 0; c < store->Count(); ++c) {
        out.U32(store->clip(c).width);
        out.U32(store->clip(c).height);
    }
    for (int c = 0; c < store->Count(); ++c) {
        const Clip& clip = store->clip(c);
        std::uint8_t pathBuf[kLineFilePathSize] = {};
        std::memcpy(pathBuf, clip.lineFilePath.data(), std::min(clip.lineFilePath.size(), kLineFilePathSize - 1));
        out.Bytes(pathBuf, sizeof pathBuf);
        const auto count = static_cast<std::uint32_t>(clip.frames.size());
        out.U32(ScrambleFrameCount(count));
        const std::size_t frameBytes = Frame::BufferSize(clip.width, clip.height);
        // Frames still the unchanged pages of the file they are mapped from are copied from
        // that file inside the system, runs of them at a time; the others go from memory.
        std::optional<MappedFileRange> run;
        std::uint64_t runBytes = 0;
        const auto copyRun = [&] {
            // In pieces, so that what is copied can be written out while the rest is copied.
            constexpr std::uint64_t kPiece = 32u << 20;
            for (std::uint64_t at = 0; run && at < runBytes && out.ok(); at += kPiece) {
                out.CopyRange(run->fd, run->offset + at, std::min(kPiece, runBytes - at));
            }
            run.reset();
            runBytes = 0;
        };
        for (std::uint32_t i = 0; i < count; ++i) {
            ReportProgress(progress, PercentDone(i, count));
            const Frame& f = clip.frames[i];
            if (f.size() != frameBytes) {
                return DocumentFailure(DocError::WriteFailed);  // never write a frame of another size
            }
            const std::optional<MappedFileRange> mapped = UnchangedFileRange(f.data(), f.size());
            if (mapped && run && mapped->fd == run->fd && mapped->offset == run->offset + runBytes) {
                runBytes += f.size();
                continue;
            }
            copyRun();
            if (mapped) {
                run = mapped;
                runBytes = f.size();
            } else {
                out.Reference(f.data(), f.size());
            }
        }
        copyRun();
        if (!out.ok()) {
            // The write's own reason (a full disk, a size limit).
            return DocumentFailure(DocError::WriteFailed, file.WriteFailed().reason);
        }
    }

    if (!out.Flush()) {
        return DocumentFailure(DocError::WriteFailed, file.WriteFailed().reason);
    }
    behind.reset();  // before the file is closed
    ByteWriter tail;
    tail.U16(source.canvasWidth);
    tail.U16(source.canvasHeight);
    const std::size_t layerCount = source.effects ? std::min<std::size_t>(source.effects->Count(), 0x7FFF) : 0;
    tail.U16(static_cast<std::uint16_t>(layerCount));
    for (std::size_t i = 0; i < layerCount; ++i) {
        source.effects->at(i).Write(tail);
    }
    out.Bytes(tail.bytes());
    bool musicWritten = false;
    if (!source.musicPath.empty()) {
        int fd = ::open(source.musicPath.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= 0xFFFFFFFF) {
            out.U32(static_cast<std::uint32_t>(st.st_size));
            musicWritten = out.CopyFrom(fd, static_cast<std::uint64_t>(st.st_size));
            if (!musicWritten) {
                ::close(fd);
                return DocumentFailure(DocError::WriteFailed, file.WriteFailed().reason);
            }
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
    if (!musicWritten) {
        out.U32(0);
    }
    out.Bytes(source.trailingBytes);
    if (auto committed = file.Commit(); !committed) {
        return DocumentFailure(DocError::WriteFailed, committed.failure().reason);
    }
    return Done{};
}

namespace {

std::shared_ptr<const int> ShareDescriptor(int fd) {
    return std::shared_ptr<const int>(new int(fd), [](const int* p) {
        ::close(*p);
        delete p;
    });
}

}  // namespace

Result<Done> ClipFrameReader::Open(const fs::path& path, int clip, const fs::path& tempDir) {
    file_.reset();
    window_.reset();
    windowFirst_ = windowCount_ = 0;
    count_ = 0;
    LoadedDocument doc;
    ReadOptions options;
    options.tempDir = tempDir;
    options.loadFrames = false;
    options.extractMusic = false;
    if (auto read = ReadDocument(path, options, doc); !read) {
        return read;
    }
    if (clip < 0 || clip >= static_cast<int>(doc.clips.size())) {
        return DocumentFailure(DocError::Unsupported);
    }
    const int fd = ::open(doc.sourcePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return DocumentFailure(DocError::OpenFailed);
    }
    file_ = ShareDescriptor(fd);
    const auto c = static_cast<std::size_t>(clip);
    width_ = doc.clips[c].width;
    height_ = doc.clips[c].height;
    count_ = doc.frameCounts[c];
    offset_ = doc.frameOffsets[c];
    ::posix_fadvise(fd, static_cast<off_t>(offset_), 0, POSIX_FADV_SEQUENTIAL);
    return Done{};
}

std::unique_ptr<ClipFrameReader> ClipFrameReader::Fork() const {
    auto other = std::make_unique<ClipFrameReader>();
    other->file_ = file_;
    other->width_ = width_;
    other->height_ = height_;
    other->count_ = count_;
    other->offset_ = offset_;
    return other;
}

const Frame* ClipFrameReader::Next(std::size_t i) {
    if (!file_ || i >= count_) {
        return nullptr;
    }
    const std::size_t frameBytes = Frame::BufferSize(width_, height_);
    if (i < windowFirst_ || i >= windowFirst_ + windowCount_) {
        // About 2 MiB of frames with one read: few system calls, and the frames stay in the
        // cache while they are used (packing straight from mapped page-cache pages was slower).
        const std::size_t capacity = std::max<std::size_t>(1, (2u << 20) / std::max<std::size_t>(frameBytes, 1));
        const std::size_t n = std::min(capacity, count_ - i);
        windowCount_ = 0;
        if (!window_) {
            window_ = Frame::AllocateBlock(capacity * frameBytes);
        }
        if (!ReadAt(*file_, window_.get(), n * frameBytes, offset_ + static_cast<std::uint64_t>(i) * frameBytes)) {
            return nullptr;  // the file was cut short since it was opened
        }
        windowFirst_ = i;
        windowCount_ = n;
    }
    view_ = Frame(static_cast<int>(width_), static_cast<int>(height_), window_, (i - windowFirst_) * frameBytes);
    return &view_;
}

int CheckFrameRange(long long start, long long end, std::size_t frameCount) {
    if (start < 1 || start > kMaxRangeNumber) {
        return 1;
    }
    if (end < 1 || end > kMaxRangeNumber || end > static_cast<long long>(frameCount)) {
        return 2;
    }
    if (start > end) {
        return 1;
    }
    return 0;
}

AppendResult AppendFrames(const fs::path& target, const Clip& source, std::size_t first, std::size_t last,
                          const ProgressFn& progress) {
    ProgressEnd end(progress);
    AppendResult result;
    if (first > last || last >= source.frames.size()) {
        result.error = DocError::WriteFailed;
        return result;
    }
    FileReader in;
    if (auto opened = in.Open(target); !opened) {
        result.error = DocError::OpenFailed;
        result.reason = opened.failure().reason;
        return result;
    }
    std::uint8_t header[kHeaderSize];
    std::uint16_t copyHeight = 0, copyWidth = 0;
    std::uint32_t clipCount = 0;
    if (!in.Bytes(header, sizeof header) || !in.U16(copyHeight) || !in.U16(copyWidth) || !in.Skip(4) ||
        !in.U32(clipCount) || std::memcmp(header, kMagic, 4) != 0 || static_cast<std::int8_t>(header[4]) > 0 ||
        clipCount != 1) {
        result.error = DocError::Unsupported;
        return result;
    }
    std::uint32_t width = 0, height = 0;
    if (!in.U32(width) || !in.U32(height)) {
        result.error = DocError::Unsupported;
        return result;
    }
    // The frames must match what the file's clip really holds; the header's copy is only
    // reported, as readers ignore it.
    result.headerCopyDiffers = copyWidth != width || copyHeight != height;
    if (width != source.width || height != source.height) {
        result.error = DocError::SizeMismatch;
        result.fileWidth = width;
        result.fileHeight = height;
        return result;
    }
    std::uint32_t stored = 0;
    if (!in.Skip(kLineFilePathSize) || !in.U32(stored)) {
        result.error = DocError::Unsupported;
        return result;
    }
    const std::uint64_t countOffset = in.pos() - 4;
    auto existing = UnscrambleFrameCount(stored);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        result.error = DocError::Unsupported;
        return result;
    }
    const std::uint64_t frameBytes = Frame::BufferSize(width, height);
    const std::uint64_t added = last - first + 1;
    if (!existing || *existing > in.remaining() / frameBytes || *existing + added > kMaxFrameCount) {
        result.error = DocError::Unsupported;
        return result;
    }
    const std::uint64_t framesEnd = in.pos() + *existing * frameBytes;
    const std::uint64_t tailBytes = in.size() - framesEnd;
    result.newFrameCount = static_cast<std::uint32_t>(*existing + added);

    ReplacingFile file(target);
    FileWriter& out = file.writer;
    const int inFd = in.fd();
    // Everything before the count, the new count, the frames already there.
    bool ok = file.ok() && ::lseek(inFd, 0, SEEK_SET) == 0 && out.CopyFrom(inFd, countOffset);
    out.U32(ScrambleFrameCount(result.newFrameCount));
    ok = ok && ::lseek(inFd, static_cast<off_t>(countOffset + 4), SEEK_SET) >= 0 &&
         out.CopyFrom(inFd, framesEnd - countOffset - 4);
    // The new frames.
    for (std::size_t i = first; ok && i <= last; ++i) {
        ReportProgress(progress, PercentDone(i - first, added));
        const Frame& f = source.frames[i];
        if (f.size() != frameBytes) {
            ok = false;
            break;
        }
        out.Bytes(f.data(), f.size());
        ok = out.ok();
    }
    // The target's design, music and anything else after its frames.
    ok = ok && ::lseek(inFd, static_cast<off_t>(framesEnd), SEEK_SET) == static_cast<off_t>(framesEnd) &&
         out.CopyFrom(inFd, tailBytes);
    if (!ok && out.error() != 0) {
        file.WriteFailed();  // the system's reason, under the target's name
    }
    result.error = ok && file.Commit() ? DocError::None : DocError::WriteFailed;
    if (result.error != DocError::None) {
        result.reason = file.error();
    }
    return result;
}

}  // namespace corv

namespace corv {

struct ClipDocumentWriter::State {
    explicit State(fs::path path) : file(std::move(path)) {}
    ReplacingFile file;
};

ClipDocumentWriter::ClipDocumentWriter(fs::path path) : state_(std::make_unique<State>(std::move(path))) {}
ClipDocumentWriter::~ClipDocumentWriter() = default;

Result<Done> ClipDocumentWriter::Begin(std::uint32_t width, std::uint32_t height, const std::string& lineFilePath,
                                       std::size_t expectedFrames) {
    if (!state_->file.ok()) return DocumentFailure(DocError::WriteFailed, state_->file.error());
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return DocumentFailure(DocError::WriteFailed);
    width_ = width;
    height_ = height;
    FileWriter& out = state_->file.writer;
    out.Reserve(std::uint64_t{expectedFrames} * Frame::BufferSize(width, height));
    out.Bytes(kMagic, 4);
    out.U8(kVersionScrambled);
    out.Zeros(5);
    out.U16(static_cast<std::uint16_t>(height));
    out.U16(static_cast<std::uint16_t>(width));
    out.U16(1);
    out.U16(1);
    out.U32(1);
    out.U32(width);
    out.U32(height);
    std::uint8_t pathBuf[kLineFilePathSize] = {};
    std::memcpy(pathBuf, lineFilePath.data(), std::min(lineFilePath.size(), kLineFilePathSize - 1));
    out.Bytes(pathBuf, sizeof pathBuf);
    countOffset_ = out.pos();
    out.U32(ScrambleFrameCount(0));
    if (!out.ok()) return DocumentFailure(DocError::WriteFailed, state_->file.WriteFailed().reason);
    return Done{};
}

Result<Done> ClipDocumentWriter::Add(const Frame& frame) {
    if (width_ == 0 || frame.width() != static_cast<int>(width_) || frame.height() != static_cast<int>(height_) ||
        count_ >= kMaxFrameCount) {
        return DocumentFailure(DocError::WriteFailed);
    }
    state_->file.writer.Bytes(frame.data(), frame.size());
    ++count_;
    if (!state_->file.writer.ok()) return DocumentFailure(DocError::WriteFailed, state_->file.WriteFailed().reason);
    return Done{};
}

Result<Done> ClipDocumentWriter::Finish() {
    if (width_ == 0 || count_ == 0) return DocumentFailure(DocError::WriteFailed);
    FileWriter& out = state_->file.writer;
    out.U16(0);  // no canvas, no layers, no music
    out.U16(0);
    out.U16(0);
    out.U32(0);
    std::uint8_t count[4];
    StoreU32(count, ScrambleFrameCount(count_));
    if (!out.Flush()) {
        return DocumentFailure(DocError::WriteFailed, state_->file.WriteFailed().reason);
    }
    if (!out.WriteAt(count, sizeof count, countOffset_)) {
        return DocumentFailure(DocError::WriteFailed, FileFailure(state_->file.name(), errno).reason);
    }
    if (auto committed = state_->file.Commit(); !committed) {
        return DocumentFailure(DocError::WriteFailed, committed.failure().reason);
    }
    return Done{};
}

Result<Done> WriteSingleClipDocument(const fs::path& path, std::vector<Frame> frames) {
    if (frames.empty()) return DocumentFailure(DocError::WriteFailed);
    for (const Frame& f : frames) {
        if (f.width() != frames.front().width() || f.height() != frames.front().height()) {
            return DocumentFailure(DocError::WriteFailed);
        }
    }
    AppState app;
    FrameStore store(app);
    Clip clip;
    clip.width = static_cast<std::uint32_t>(frames.front().width());
    clip.height = static_cast<std::uint32_t>(frames.front().height());
    clip.frames = std::move(frames);
    std::vector<Clip> clips;
    clips.push_back(std::move(clip));
    store.ReplaceAll(std::move(clips));
    DocumentSource source;
    source.frames = &store;
    return WriteDocument(path, source);
}

}  // namespace corv
