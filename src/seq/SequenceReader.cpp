#include "seq/SequenceReader.h"

#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/Binary.h"
#include "base/FileUtil.h"
#include "lang/messages/SequenceMessages.h"

namespace corv::seq {

namespace {

// The most channel bytes a block's compressed bytes can stand for: a zstd block of 128 KiB
// takes at least 4 bytes, deflate gives at most 1032 bytes a byte; a little room for headers.
std::uint64_t MostRawBytes(Compression compression, std::uint64_t packed) {
    const std::uint64_t ratio = compression == Compression::Zstd ? 32768 : 1032;
    return packed * ratio + 4096;
}

std::uint32_t U24At(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16;
}

std::string Str(std::uint64_t v) { return std::to_string(v); }

}  // namespace

struct SequenceReader::Decoder {
    ZSTD_DCtx* zstd = nullptr;
    ~Decoder() { ZSTD_freeDCtx(zstd); }
};

SequenceReader::SequenceReader() = default;
SequenceReader::~SequenceReader() = default;

Failure SequenceReader::Damaged(const Text& text, std::vector<std::string> more) const {
    std::vector<std::string> args{path_.string()};
    args.insert(args.end(), more.begin(), more.end());
    return Failure{kSeqDamaged, {}, {}, std::move(args), &text};
}

Failure SequenceReader::ReadFailed(int error) const {
    const std::string reason = FileFailure(path_, error).reason;
    return Failure{kSeqCannotRead, {}, reason, {reason}, &msg::seq::kCannotRead};
}

Result<Done> SequenceReader::Open(const std::filesystem::path& path) {
    path_ = path;
    info_ = {};
    loaded_.reset();
    next_ = 0;
    packed_.clear();
    raw_.clear();
    file_ = std::make_unique<FileReader>();
    if (auto opened = file_->Open(path); !opened) {
        const std::string& reason = opened.failure().reason;
        return Failure{kSeqCannotRead, {}, reason, {reason}, &msg::seq::kCannotRead};
    }
    info_.fileSize = file_->size();
    auto read = ReadHeaders();
    if (!read) file_.reset();
    return read;
}

Result<Done> SequenceReader::ReadHeaders() {
    const std::uint64_t size = info_.fileSize;
    // Everything before the channel data lies in the first 64 KiB (the data offset is 16-bit).
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(size, 0x10000)));
    if (!head.empty() && !ReadAt(file_->fd(), head.data(), head.size(), 0)) return ReadFailed(errno ? errno : EIO);
    const std::string name = path_.string();
    if (head.size() < 4 || std::memcmp(head.data(), "PSEQ", 4) != 0) {
        return Failure{kSeqNotSequence, {}, {}, {name}, &msg::seq::kNotSequence};
    }
    if (head.size() < 8) return Damaged(msg::seq::kHeaderCutShort, {Str(kV1HeaderSize), Str(size)});
    info_.minor = head[6];
    info_.major = head[7];
    if (info_.major != 1 && info_.major != 2) {
        return Failure{kSeqUnsupported, {}, {}, {name, Str(info_.major), Str(info_.minor)}, &msg::seq::kUnsupportedVersion};
    }
    const std::size_t fixedSize = info_.major == 1 ? kV1HeaderSize : kV2HeaderSize;
    if (head.size() < fixedSize) return Damaged(msg::seq::kHeaderCutShort, {Str(fixedSize), Str(size)});
    const std::uint8_t* h = head.data();
    info_.dataOffset = LoadU16(h + 4);
    info_.variablesOffset = LoadU16(h + 8);
    info_.channels = LoadU32(h + 10);
    info_.frames = LoadU32(h + 14);
    std::uint32_t entries = 0;
    std::size_t rangeCount = 0;
    if (info_.major == 2) {
        info_.stepMs = h[18];
        const unsigned compression = h[20] & 0x0F;
        if (compression > 2) {
            return Failure{kSeqUnsupported, {}, {}, {name, Str(compression)}, &msg::seq::kUnsupportedCompression};
        }
        info_.compression = static_cast<Compression>(compression);
        entries = h[21] | (info_.minor >= 1 ? static_cast<std::uint32_t>(h[20] >> 4) << 8 : 0u);
        rangeCount = h[22];
        info_.uniqueId = LoadU32(h + 24) | std::uint64_t{LoadU32(h + 28)} << 32;
    } else {
        info_.stepMs = LoadU16(h + 18);
        info_.universeCount = LoadU16(h + 20);
        info_.universeSize = LoadU16(h + 22);
        info_.gamma = h[24];
        info_.colourEncoding = h[25];
    }
    info_.indexEntries = entries;
    const std::size_t fixed = fixedSize + 8 * std::size_t{entries} + 6 * rangeCount;
    if (info_.dataOffset > size) return Damaged(msg::seq::kHeaderCutShort, {Str(info_.dataOffset), Str(size)});
    if (info_.variablesOffset < fixed || info_.dataOffset < info_.variablesOffset) {
        return Damaged(msg::seq::kBadOffsets,
                       {Str(info_.variablesOffset), Str(info_.dataOffset), Str(fixed), Str(size)});
    }
    if (info_.channels == 0) return Damaged(msg::seq::kNoChannels, {});

    // The sparse ranges, after the index.
    std::uint64_t inRanges = 0;
    for (std::size_t r = 0; r < rangeCount; ++r) {
        const std::uint8_t* p = h + fixedSize + 8 * std::size_t{entries} + 6 * r;
        info_.ranges.push_back({U24At(p), U24At(p + 3)});
        inRanges += info_.ranges.back().count;
    }
    if (rangeCount > 0 && inRanges != info_.channels) {
        return Damaged(msg::seq::kBadRanges, {Str(inRanges), Str(info_.channels)});
    }

    // The variable headers, up to the channel data (zero bytes after them are padding).
    std::size_t pos = info_.variablesOffset;
    while (info_.dataOffset - pos >= 4) {
        const std::uint16_t length = LoadU16(h + pos);
        if (length == 0) break;
        if (length < 4 || length > info_.dataOffset - pos) return Damaged(msg::seq::kBadVariableHeader, {Str(pos)});
        info_.variables.push_back({std::string(reinterpret_cast<const char*>(h + pos + 2), 2),
                                   std::string(reinterpret_cast<const char*>(h + pos + 4), length - 4u)});
        pos += length;
    }

    if (info_.compression == Compression::None) {
        const std::uint64_t need = std::uint64_t{info_.channels} * info_.frames;
        const std::uint64_t there = size - info_.dataOffset;
        if (need > there) {
            return Damaged(msg::seq::kDataCutShort, {Str(info_.frames), Str(info_.channels), Str(need), Str(there)});
        }
        return Done{};
    }
    return ReadIndex(head, entries);
}

Result<Done> SequenceReader::ReadIndex(const std::vector<std::uint8_t>& head, std::uint32_t entries) {
    std::uint64_t offset = info_.dataOffset;
    bool ended = false;  // an unused entry was seen: no used one may follow
    for (std::uint32_t k = 0; k < entries; ++k) {
        const std::uint8_t* p = head.data() + kV2HeaderSize + 8 * std::size_t{k};
        const std::uint32_t first = LoadU32(p), length = LoadU32(p + 4);
        if (length == 0) {
            ended = true;
            continue;
        }
        const bool inOrder = info_.blocks.empty() ? first == 0 : first > info_.blocks.back().firstFrame;
        if (ended || !inOrder || first >= info_.frames) return Damaged(msg::seq::kBadBlockIndex, {Str(k), Str(first)});
        info_.blocks.push_back({first, 0, offset, length});
        offset += length;
    }
    if (info_.frames > 0 && info_.blocks.empty()) return Damaged(msg::seq::kNoBlockIndex, {});
    const std::uint64_t there = info_.fileSize - info_.dataOffset;
    if (offset - info_.dataOffset > there) {
        return Damaged(msg::seq::kBlocksCutShort, {Str(offset - info_.dataOffset), Str(there)});
    }
    for (std::size_t b = 0; b < info_.blocks.size(); ++b) {
        SequenceBlock& block = info_.blocks[b];
        const std::uint32_t end = b + 1 < info_.blocks.size() ? info_.blocks[b + 1].firstFrame : info_.frames;
        block.frames = end - block.firstFrame;
        const std::uint64_t raw = std::uint64_t{block.frames} * info_.channels;
        if (raw > kMaxBlockBytes || raw > MostRawBytes(info_.compression, block.length)) {
            return Damaged(msg::seq::kImplausibleBlock, {Str(b), Str(raw), Str(block.length)});
        }
    }
    return Done{};
}

Result<Done> SequenceReader::LoadBlock(std::size_t b) {
    const SequenceBlock& block = info_.blocks[b];
    loaded_.reset();
    packed_.resize(block.length);
    if (!ReadAt(file_->fd(), packed_.data(), packed_.size(), block.offset)) return ReadFailed(errno ? errno : EIO);
    const std::size_t expected = std::size_t{block.frames} * info_.channels;
    const Failure bad = Damaged(msg::seq::kBadBlock, {Str(b), Str(block.frames), Str(info_.channels)});
    if (info_.compression == Compression::Zstd) {
        // The frame's own size, when it gives one, must be the block's before any room is made.
        const unsigned long long claimed = ZSTD_getFrameContentSize(packed_.data(), packed_.size());
        if (claimed == ZSTD_CONTENTSIZE_ERROR || (claimed != ZSTD_CONTENTSIZE_UNKNOWN && claimed != expected)) return bad;
        if (!decoder_) decoder_ = std::make_unique<Decoder>();
        if (!decoder_->zstd) decoder_->zstd = ZSTD_createDCtx();
        if (!decoder_->zstd) return bad;
        raw_.resize(expected);
        const std::size_t n = ZSTD_decompressDCtx(decoder_->zstd, raw_.data(), raw_.size(), packed_.data(), packed_.size());
        if (ZSTD_isError(n) || n != expected) return bad;
    } else {
        raw_.resize(expected);
        z_stream zs{};
        if (inflateInit(&zs) != Z_OK) return bad;
        zs.next_in = packed_.data();
        zs.avail_in = static_cast<uInt>(packed_.size());
        zs.next_out = raw_.data();
        zs.avail_out = static_cast<uInt>(raw_.size());
        const int rc = inflate(&zs, Z_FINISH);
        const bool whole = rc == Z_STREAM_END && zs.total_out == expected;
        inflateEnd(&zs);
        if (!whole) return bad;
    }
    loaded_ = b;
    return Done{};
}

Result<std::span<const std::uint8_t>> SequenceReader::ReadFrame(std::uint32_t k) {
    using R = Result<std::span<const std::uint8_t>>;
    if (!file_ || k >= info_.frames) {
        const std::string there = file_ ? Str(info_.frames) : "0";
        return R::Fail(Failure{kSeqNoSuchFrame, {}, {}, {path_.string(), Str(k), there}, &msg::seq::kNoSuchFrame});
    }
    const std::size_t n = info_.channels;
    if (info_.compression == Compression::None) {
        raw_.resize(n);
        if (!ReadAt(file_->fd(), raw_.data(), n, info_.dataOffset + std::uint64_t{k} * n)) {
            return ReadFailed(errno ? errno : EIO);
        }
        return std::span<const std::uint8_t>(raw_.data(), n);
    }
    const auto it = std::upper_bound(info_.blocks.begin(), info_.blocks.end(), k,
                                     [](std::uint32_t frame, const SequenceBlock& b) { return frame < b.firstFrame; });
    const auto b = static_cast<std::size_t>(it - info_.blocks.begin()) - 1;
    if (loaded_ != b) {
        if (auto loaded = LoadBlock(b); !loaded) return loaded.failure();
    }
    const std::size_t at = std::size_t{k - info_.blocks[b].firstFrame} * n;
    return std::span<const std::uint8_t>(raw_.data() + at, n);
}

Result<std::span<const std::uint8_t>> SequenceReader::NextFrame() {
    auto frame = ReadFrame(next_);
    if (frame) ++next_;
    return frame;
}

}  // namespace corv::seq
