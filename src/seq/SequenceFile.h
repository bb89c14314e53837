#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Sequence files (.fseq): the channel bytes of every frame of a show, as players of networked
// pixel controllers take them. All numbers little-endian.
//
// Version 2: a 32-byte header ("PSEQ", u16 channel data offset, minor, major 2, u16 offset
// of the first variable header, u32 channels a frame, u32 frames, u8 step in ms, flags,
// compression in the low nibble of byte 20 with bits 8-11 of the block count in its high
// nibble, the block count's low byte, the sparse range count, a reserved byte, a u64 unique
// id), then the block index (u32 first frame, u32 compressed length, each), the sparse ranges
// (u24 first channel, u24 count, each), the variable headers (u16 length with its 4-byte
// prefix, a 2-character code, the payload) and from the data offset the channel data: each
// block an independent zstd frame or zlib stream of whole frames, or, uncompressed, the
// frames back to back.
//
// Version 1: a 28-byte header ("PSEQ", u16 data offset, minor 0, major 1, u16 28, u32
// channels, u32 frames, u16 step in ms, u16 universe count, u16 universe size, u8 gamma,
// u8 colour encoding, 2 bytes 0), variable headers from byte 28, the frames raw.

namespace corv::seq {

enum class Compression : std::uint8_t { None = 0, Zstd = 1, Zlib = 2 };

// "none", "zstd", "zlib"; nullptr for other values.
const char* CompressionName(Compression compression);
// The level a compression uses when none is asked for: zstd 2, zlib 6 (none: 0).
int DefaultLevel(Compression compression);
// The levels a compression takes: zstd 1..22, zlib 1..9 (none: 0..0).
int MinLevel(Compression compression);
int MaxLevel(Compression compression);

inline constexpr std::size_t kV1HeaderSize = 28;
inline constexpr std::size_t kV2HeaderSize = 32;
inline constexpr std::uint32_t kMaxBlocks = 4095;        // 12 bits
inline constexpr std::size_t kMaxRanges = 255;           // one byte
inline constexpr std::uint32_t kMaxRangeChannel = 1u << 24;  // u24 first channel and count
// Raw channel bytes a block is planned to hold (at least two frames go in a block).
inline constexpr std::size_t kBlockTargetBytes = 64 * 1024;
// The most channel bytes a block may hold, writing or reading.
inline constexpr std::uint64_t kMaxBlockBytes = std::uint64_t{1} << 30;

// A run of the channel space the stored channels stand for, in order: a file with ranges
// stores their channels one range after another.
struct SparseRange {
    std::uint32_t first = 0;  // 0-based
    std::uint32_t count = 0;
    friend bool operator==(const SparseRange&, const SparseRange&) = default;
};

// A variable header: a 2-character code and its payload as stored. The codes this program
// writes are "mf" (the media file's name) and "sp" (the producer), texts ending in a NUL.
struct VariableHeader {
    std::string code;
    std::string payload;
    // A text header: the payload is `text` and a NUL.
    static VariableHeader Text(std::string code, const std::string& text);
    // The payload up to its first NUL.
    std::string text() const;
    friend bool operator==(const VariableHeader&, const VariableHeader&) = default;
};

// How the frames of a compressed file are cut into blocks: the first block holds
// `firstBlockFrames`, every later one `framesPerBlock` (the last possibly fewer).
//
// A block holds about kBlockTargetBytes of channels and at least 2 frames; the first block
// holds a quarter of that (at least 2 frames, or the file's 1 frame), so a player has its
// first frames after a small read. When that would make more than kMaxBlocks blocks the later
// blocks grow until the count fits.
struct BlockPlan {
    std::uint32_t firstBlockFrames = 0;
    std::uint32_t framesPerBlock = 0;
    std::uint32_t blocks = 0;
    // The first frame of block k.
    std::uint32_t FirstFrame(std::uint32_t k) const {
        return k == 0 ? 0 : firstBlockFrames + (k - 1) * framesPerBlock;
    }
    friend bool operator==(const BlockPlan&, const BlockPlan&) = default;
};
BlockPlan PlanBlocks(std::uint32_t frames, std::uint32_t channels);

// What a writer is asked to write.
struct SequenceOptions {
    int version = 2;  // 1 or 2
    Compression compression = Compression::Zstd;  // version 1: None only
    int level = 0;              // 0: DefaultLevel(compression)
    std::uint16_t stepMs = 25;  // version 2: 1..255; version 1: 1..65535
    std::uint32_t channels = 0;  // a frame's stored channels (the ranges' sum when sparse)
    std::uint32_t frames = 0;    // known up front: AddFrame is called this many times
    std::vector<SparseRange> ranges;  // version 2 only
    std::vector<VariableHeader> variables;
    std::optional<std::uint64_t> uniqueId;  // none: the time of writing in microseconds
};

// One block of a compressed file as its index gives it.
struct SequenceBlock {
    std::uint32_t firstFrame = 0;
    std::uint32_t frames = 0;
    std::uint64_t offset = 0;  // in the file
    std::uint32_t length = 0;  // compressed bytes
};

// What a reader found in a file's headers.
struct SequenceInfo {
    int major = 0;
    int minor = 0;
    std::uint16_t dataOffset = 0;
    std::uint16_t variablesOffset = 0;  // version 1: the fixed header's length
    std::uint32_t channels = 0;
    std::uint32_t frames = 0;
    std::uint16_t stepMs = 0;
    Compression compression = Compression::None;
    std::uint32_t indexEntries = 0;      // the block count of the header
    std::vector<SequenceBlock> blocks;  // the entries in use (compressed files only)
    std::vector<SparseRange> ranges;
    std::vector<VariableHeader> variables;
    std::uint64_t uniqueId = 0;         // version 2
    std::uint16_t universeCount = 0, universeSize = 0;  // version 1
    std::uint8_t gamma = 0, colourEncoding = 0;          // version 1
    std::uint64_t fileSize = 0;
    // The channels of the whole channel space the stored ones reach: the end of the last
    // range, or the channels a frame when there are no ranges.
    std::uint64_t ChannelSpan() const;
};

// The refusals of the reader and the writer (Failure::code).
enum SequenceError : int {
    kSeqCannotRead = 1,   // the file cannot be opened or read
    kSeqNotSequence,      // it does not start with PSEQ
    kSeqUnsupported,      // another version or compression
    kSeqDamaged,          // cut short, or its counts, offsets or blocks do not hold
    kSeqNoSuchFrame,      // ReadFrame past the last frame
    kSeqBadOptions,       // the writer was asked for a file it cannot write
    kSeqCannotWrite,      // the file cannot be written
};

}  // namespace corv::seq
