#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/FileIO.h"
#include "base/Result.h"
#include "seq/SequenceFile.h"

namespace corv::seq {

// Reads a sequence file of version 1 or 2 (uncompressed, zstd or zlib blocks).
//
// Open checks everything the headers claim against the bytes that are really there before
// anything is allocated: the offsets and the index, ranges and variable headers against the
// file, the uncompressed frames against the bytes after the data offset, the blocks (in frame
// order, their lengths within the file) and each block's channel bytes against what its
// compressed bytes could hold. A block is decompressed when a frame of it is first asked for,
// into exactly its frames' channel bytes (never more); a block that does not give exactly
// those is refused. Only one block is held at a time.
//
// Failures (Failure::code a SequenceError) carry a catalogue message naming the file.
class SequenceReader {
public:
    SequenceReader();
    ~SequenceReader();
    SequenceReader(const SequenceReader&) = delete;
    SequenceReader& operator=(const SequenceReader&) = delete;

    Result<Done> Open(const std::filesystem::path& path);
    const SequenceInfo& info() const { return info_; }

    // Frame k's stored channels (info().channels bytes), valid until the next call.
    Result<std::span<const std::uint8_t>> ReadFrame(std::uint32_t k);
    // The frames one after another from the first (or from the one after the last ReadFrame
    // that succeeded through NextFrame).
    Result<std::span<const std::uint8_t>> NextFrame();

private:
    struct Decoder;
    Result<Done> ReadHeaders();
    Result<Done> ReadIndex(const std::vector<std::uint8_t>& head, std::uint32_t entries);
    Result<Done> LoadBlock(std::size_t block);
    Failure Damaged(const Text& text, std::vector<std::string> more) const;
    Failure ReadFailed(int error) const;

    std::filesystem::path path_;
    std::unique_ptr<FileReader> file_;
    SequenceInfo info_;
    std::vector<std::uint8_t> packed_, raw_;
    std::optional<std::size_t> loaded_;  // the block in raw_
    std::uint32_t next_ = 0;
    std::unique_ptr<Decoder> decoder_;
};

}  // namespace corv::seq
