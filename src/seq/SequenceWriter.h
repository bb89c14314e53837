#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "base/Result.h"
#include "seq/SequenceFile.h"

namespace corv::seq {

// Writes a sequence file frame by frame: Open, AddFrame as many times as the options'
// frame count, Finish, Commit. The file is written under a temporary name beside its target
// and takes the target's place on Commit; a writer destroyed before (a failure, an early
// return) leaves the target as it was and no temporary behind.
//
// Compressed files are cut into blocks as PlanBlocks says. The calling thread fills a block;
// two worker threads compress the filled blocks while the next one fills, and the blocks go
// to the file in order. At most a few blocks are held at once: AddFrame waits for the
// oldest block when the workers are behind. The header and the block index are written last,
// into the room kept for them at the start (the block count follows from the frame count).
//
// Failures: kSeqBadOptions (a header the format cannot hold, a frame of another size, a
// frame count other than the one declared), kSeqCannotWrite (the file, with the system's
// reason). After a failure every call fails the same way.
class SequenceWriter {
public:
    SequenceWriter();
    ~SequenceWriter();
    SequenceWriter(const SequenceWriter&) = delete;
    SequenceWriter& operator=(const SequenceWriter&) = delete;

    Result<Done> Open(const std::filesystem::path& path, const SequenceOptions& options);
    // One frame's channels: exactly options.channels bytes.
    Result<Done> AddFrame(std::span<const std::uint8_t> channels);
    // Writes frame k's channels (exactly options.channels bytes) at `out`.
    using FrameFill = std::function<void(std::uint32_t k, std::uint8_t* out)>;
    // Every frame still to come, filled straight into the blocks by the two worker threads
    // (each fills a block and compresses it, several blocks at once, so `fill` is called from
    // several threads for different frames and must not change shared state); the calling
    // thread writes the blocks in order. Uncompressed files go the same way in pieces of a
    // few MiB. `written(n)`, on the calling thread, says n frames are in the file.
    Result<Done> AddFrames(const FrameFill& fill, const std::function<void(std::uint32_t)>& written = {});
    // Writes the last block, the header and the index and closes the file (not yet in place).
    Result<Done> Finish();
    // Puts the finished file in the target's place.
    Result<Done> Commit();

    // The blocks of the file (none when it is not compressed), known once it is open.
    const BlockPlan& plan() const;
    // The header as written (its unique id filled in), once the file is open.
    const SequenceOptions& options() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The bytes before a file's channel data: fixed header, block index (`index`: first frame
// and compressed length a block, `plan.blocks` entries; missing entries are 0/0), sparse
// ranges and variable headers, padded with zeros to a multiple of 4. The options must be
// ones Open accepts (with a unique id).
std::vector<std::uint8_t> HeaderBytes(const SequenceOptions& options, const BlockPlan& plan,
                                      std::span<const std::pair<std::uint32_t, std::uint32_t>> index);

}  // namespace corv::seq
