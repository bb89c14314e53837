#include "seq/SequenceWriter.h"

#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "base/Binary.h"
#include "base/FileIO.h"
#include "base/FileUtil.h"
#include "lang/messages/SequenceMessages.h"

namespace corv::seq {

namespace {

constexpr std::size_t kWorkers = 2;
// Filled blocks not yet written (being compressed or waiting for their turn); one more fills.
constexpr std::size_t kMaxPending = 3;

std::uint16_t MaxStep(int version) { return version == 1 ? 65535 : 255; }

std::size_t FixedBytes(const SequenceOptions& o, const BlockPlan& plan) {
    return o.version == 1 ? kV1HeaderSize : kV2HeaderSize + 8 * std::size_t{plan.blocks} + 6 * o.ranges.size();
}

std::size_t VariableBytes(const std::vector<VariableHeader>& variables) {
    std::size_t n = 0;
    for (const VariableHeader& v : variables) n += 4 + v.payload.size();
    return n;
}

std::size_t DataOffset(const SequenceOptions& o, const BlockPlan& plan) {
    return (FixedBytes(o, plan) + VariableBytes(o.variables) + 3) & ~std::size_t{3};
}

Failure OptionFailure(const std::string& name, const Text& text, std::vector<std::string> more = {}) {
    std::vector<std::string> args{name};
    args.insert(args.end(), more.begin(), more.end());
    return Failure{kSeqBadOptions, {}, {}, std::move(args), &text};
}

bool RangesHold(const SequenceOptions& o) {
    if (o.ranges.empty()) return true;
    if (o.ranges.size() > kMaxRanges) return false;
    std::uint64_t sum = 0;
    for (const SparseRange& r : o.ranges) {
        if (r.count == 0 || r.first >= kMaxRangeChannel || r.count >= kMaxRangeChannel ||
            std::uint64_t{r.first} + r.count > kMaxRangeChannel) {
            return false;
        }
        sum += r.count;
    }
    return sum == o.channels;
}

bool VariablesHold(const SequenceOptions& o, const BlockPlan& plan) {
    for (const VariableHeader& v : o.variables) {
        if (v.code.size() != 2 || 4 + v.payload.size() > 0xFFFF) return false;
    }
    return DataOffset(o, plan) <= 0xFFFF;
}

// The first thing the format cannot hold, if any.
std::optional<Failure> CheckOptions(const std::string& name, const SequenceOptions& o, const BlockPlan& plan) {
    if (o.version != 1 && o.version != 2) return OptionFailure(name, msg::seq::kOptionVersion);
    if (o.version == 1 && o.compression != Compression::None) return OptionFailure(name, msg::seq::kOptionV1Compressed);
    if (o.version == 1 && !o.ranges.empty()) return OptionFailure(name, msg::seq::kOptionV1Sparse);
    if (CompressionName(o.compression) == nullptr ||
        (o.level != 0 && (o.level < MinLevel(o.compression) || o.level > MaxLevel(o.compression)))) {
        return OptionFailure(name, msg::seq::kOptionLevel);
    }
    if (o.stepMs < 1 || o.stepMs > MaxStep(o.version)) {
        return OptionFailure(name, msg::seq::kOptionStep, {std::to_string(o.stepMs), std::to_string(MaxStep(o.version))});
    }
    if (o.channels == 0) return OptionFailure(name, msg::seq::kOptionNoChannels);
    if (!RangesHold(o)) return OptionFailure(name, msg::seq::kOptionRanges);
    if (!VariablesHold(o, plan)) return OptionFailure(name, msg::seq::kOptionVariableHeader);
    if (o.compression != Compression::None &&
        std::uint64_t{std::max(plan.firstBlockFrames, plan.framesPerBlock)} * o.channels > kMaxBlockBytes) {
        return OptionFailure(name, msg::seq::kOptionTooLarge);
    }
    return std::nullopt;
}

void U24(ByteWriter& w, std::uint32_t v) {
    w.U8(static_cast<std::uint8_t>(v));
    w.U8(static_cast<std::uint8_t>(v >> 8));
    w.U8(static_cast<std::uint8_t>(v >> 16));
}

std::uint64_t MicrosecondsNow() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<microseconds>(system_clock::now().time_since_epoch()).count());
}

// Bytes kept from block to block: made larger when needed, never cleared (every byte is
// written over before it is used).
struct BlockBytes {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
    std::size_t capacity = 0;
    std::uint8_t* Make(std::size_t n) {
        if (n > capacity) {
            data.reset(new std::uint8_t[n]);
            capacity = n;
        }
        size = n;
        return data.get();
    }
    std::span<const std::uint8_t> span() const { return {data.get(), size}; }
};

// A block (or, uncompressed, a piece) on its way to the file.
struct Job {
    std::uint32_t firstFrame = 0;
    std::uint32_t frames = 0;
    std::size_t rawFilled = 0;  // the bytes the calling thread has copied in (AddFrame)
    const SequenceWriter::FrameFill* fill = nullptr;  // the worker fills the frames first
    // Uncompressed pieces filled by a worker are written by it, at their place in the file.
    bool writeHere = false;
    std::uint64_t writeAt = 0;
    int writeError = 0;
    BlockBytes raw;
    BlockBytes packed;
    bool done = false;
    bool failed = false;
};

bool Compress(Compression compression, int level, ZSTD_CCtx* cctx, Job& job) {
    if (compression == Compression::None) return true;
    if (compression == Compression::Zstd) {
        if (cctx == nullptr) return false;
        std::uint8_t* out = job.packed.Make(ZSTD_compressBound(job.raw.size));
        const std::size_t n = ZSTD_compress2(cctx, out, job.packed.size, job.raw.data.get(), job.raw.size);
        if (ZSTD_isError(n)) return false;
        job.packed.size = n;
        return true;
    }
    uLongf n = compressBound(static_cast<uLong>(job.raw.size));
    std::uint8_t* out = job.packed.Make(n);
    if (compress2(out, &n, job.raw.data.get(), static_cast<uLong>(job.raw.size), level) != Z_OK) return false;
    job.packed.size = n;
    return true;
}

// Frames in a piece of an uncompressed file filled by the workers: about 2 MiB (larger pieces
// met slow writes more often here).
std::uint32_t PieceFrames(std::uint32_t channels) { return std::max<std::uint32_t>(1, (2u << 20) / channels); }

}  // namespace

std::vector<std::uint8_t> HeaderBytes(const SequenceOptions& o, const BlockPlan& plan,
                                      std::span<const std::pair<std::uint32_t, std::uint32_t>> index) {
    const std::size_t fixed = FixedBytes(o, plan);
    const std::size_t dataOffset = DataOffset(o, plan);
    ByteWriter w;
    w.Bytes("PSEQ", 4);
    w.U16(static_cast<std::uint16_t>(dataOffset));
    if (o.version == 1) {
        w.U8(0);
        w.U8(1);
        w.U16(static_cast<std::uint16_t>(kV1HeaderSize));
        w.U32(o.channels);
        w.U32(o.frames);
        w.U16(o.stepMs);
        w.U16(0);  // universe count
        w.U16(0);  // universe size
        w.U8(1);   // gamma
        w.U8(2);   // colour encoding
        w.U16(0);
    } else {
        w.U8(2);
        w.U8(2);
        w.U16(static_cast<std::uint16_t>(fixed));
        w.U32(o.channels);
        w.U32(o.frames);
        w.U8(static_cast<std::uint8_t>(o.stepMs));
        w.U8(0);  // flags
        w.U8(static_cast<std::uint8_t>(static_cast<unsigned>(o.compression) | ((plan.blocks >> 8) & 0x0F) << 4));
        w.U8(static_cast<std::uint8_t>(plan.blocks & 0xFF));
        w.U8(static_cast<std::uint8_t>(o.ranges.size()));
        w.U8(0);
        const std::uint64_t id = o.uniqueId.value_or(0);
        w.U32(static_cast<std::uint32_t>(id));
        w.U32(static_cast<std::uint32_t>(id >> 32));
        for (std::uint32_t k = 0; k < plan.blocks; ++k) {
            const auto entry = k < index.size() ? index[k] : std::pair<std::uint32_t, std::uint32_t>{0, 0};
            w.U32(entry.first);
            w.U32(entry.second);
        }
        for (const SparseRange& r : o.ranges) {
            U24(w, r.first);
            U24(w, r.count);
        }
    }
    for (const VariableHeader& v : o.variables) {
        w.U16(static_cast<std::uint16_t>(4 + v.payload.size()));
        w.Bytes(v.code.data(), 2);
        w.Bytes(v.payload.data(), v.payload.size());
    }
    w.Zeros(dataOffset - w.size());
    return std::move(w.bytes());
}

struct SequenceWriter::Impl {
    std::filesystem::path path;
    SequenceOptions options;
    BlockPlan plan;
    int level = 0;
    std::unique_ptr<ReplacingFile> file;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> index;  // the blocks written
    std::uint32_t added = 0;
    std::uint32_t blocksFilled = 0;
    std::uint32_t inFile = 0;  // frames written to the file
    std::unique_ptr<Job> filling;
    std::vector<std::unique_ptr<Job>> spare;  // written jobs, their buffers kept for the next
    std::optional<Failure> failure;
    bool finished = false;

    std::mutex mutex;
    std::mutex writing;  // held by a worker writing its piece
    std::condition_variable workReady, jobDone;
    // The filled blocks: `pending` owns them until they are written (in file order); `todo`
    // names those no worker has taken yet. A worker touches a block only until it marks it done.
    std::deque<std::unique_ptr<Job>> pending;
    std::deque<Job*> todo;
    bool stopping = false;
    std::vector<std::thread> workers;

    ~Impl() { StopWorkers(); }

    Failure Fail(Failure f) {
        failure = f;
        return f;
    }
    Failure WriteFailure(const Failure& why) {
        return Fail(Failure{kSeqCannotWrite, {}, why.reason, {why.reason}, &msg::seq::kCannotWrite});
    }

    void StartWorkers() {
        stopping = false;
        for (std::size_t i = 0; i < kWorkers; ++i) workers.emplace_back([this] { Work(); });
    }
    void StopWorkers() {
        {
            std::lock_guard lock(mutex);
            stopping = true;
        }
        workReady.notify_all();
        for (std::thread& t : workers) t.join();
        workers.clear();
    }

    void Work() {
        // Each block a zstd frame that gives its size and a checksum of its bytes, so that a
        // damaged block is found when it is read.
        ZSTD_CCtx* cctx = options.compression == Compression::Zstd ? ZSTD_createCCtx() : nullptr;
        if (cctx != nullptr && (ZSTD_isError(ZSTD_CCtx_setParameter(cctx, ZSTD_c_compressionLevel, level)) ||
                                ZSTD_isError(ZSTD_CCtx_setParameter(cctx, ZSTD_c_checksumFlag, 1)) ||
                                ZSTD_isError(ZSTD_CCtx_setParameter(cctx, ZSTD_c_contentSizeFlag, 1)))) {
            ZSTD_freeCCtx(cctx);
            cctx = nullptr;
        }
        for (;;) {
            Job* job = nullptr;
            {
                std::unique_lock lock(mutex);
                workReady.wait(lock, [&] { return stopping || !todo.empty(); });
                if (stopping) break;
                job = todo.front();
                todo.pop_front();
            }
            if (job->fill != nullptr) {
                const std::size_t n = options.channels;
                std::uint8_t* out = job->raw.data.get();
                for (std::uint32_t f = 0; f < job->frames; ++f) (*job->fill)(job->firstFrame + f, out + f * n);
            }
            const bool ok = Compress(options.compression, level, cctx, *job);
            if (ok && job->writeHere) {
                // The writes take turns: in the file system a second writer would spin while the
                // first writes, taking the processor from filling.
                std::lock_guard turn(writing);
                if (!file->writer.WriteAt(job->raw.data.get(), job->raw.size, job->writeAt)) {
                    job->writeError = errno != 0 ? errno : EIO;
                }
            }
            {
                std::lock_guard lock(mutex);
                job->failed = !ok;
                job->done = true;
            }
            jobDone.notify_all();
        }
        ZSTD_freeCCtx(cctx);
    }

    // Writes the compressed blocks at the front that are done, and waits for the oldest ones
    // until no more than `keep` are left.
    Result<Done> WriteReady(std::size_t keep) {
        for (;;) {
            std::unique_ptr<Job> job;
            {
                std::unique_lock lock(mutex);
                if (pending.empty()) return Done{};
                if (!pending.front()->done) {
                    if (pending.size() <= keep) return Done{};
                    jobDone.wait(lock, [&] { return pending.front()->done; });
                }
                job = std::move(pending.front());
                pending.pop_front();
            }
            const auto block = std::to_string(index.size());
            if (job->failed) return Fail(OptionFailure(path.string(), msg::seq::kCompressFailed, {block}));
            if (job->writeError != 0) return WriteFailure(FileFailure(path, job->writeError));
            const bool packed = options.compression != Compression::None;
            const std::span<const std::uint8_t> bytes = packed ? job->packed.span() : job->raw.span();
            if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
                return Fail(OptionFailure(path.string(), msg::seq::kOptionTooLarge));
            }
            if (!job->writeHere) file->writer.Bytes(bytes);
            if (!file->writer.ok()) return WriteFailure(file->WriteFailed());
            if (packed) index.emplace_back(job->firstFrame, static_cast<std::uint32_t>(bytes.size()));
            inFile += job->frames;
            spare.push_back(std::move(job));
        }
    }

    // A job for `frames` frames from `first`, with room for their channels.
    std::unique_ptr<Job> NewJob(std::uint32_t first, std::uint32_t frames) {
        std::unique_ptr<Job> job;
        if (spare.empty()) {
            job = std::make_unique<Job>();
        } else {
            job = std::move(spare.back());
            spare.pop_back();
        }
        job->firstFrame = first;
        job->frames = frames;
        job->rawFilled = 0;
        job->fill = nullptr;
        job->writeHere = false;
        job->writeAt = 0;
        job->writeError = 0;
        job->done = job->failed = false;
        job->raw.Make(std::size_t{frames} * options.channels);
        return job;
    }

    // Frames in the block (or uncompressed piece) that starts at frame `added`.
    std::uint32_t NextBlockFrames() const {
        const std::uint32_t end = options.compression == Compression::None
                                      ? added + PieceFrames(options.channels)
                                      : plan.FirstFrame(blocksFilled + 1);
        return std::min(end, options.frames) - added;
    }

    Result<Done> Submit() {
        {
            std::lock_guard lock(mutex);
            todo.push_back(filling.get());
            pending.push_back(std::move(filling));
        }
        workReady.notify_one();
        return WriteReady(kMaxPending);
    }
};

SequenceWriter::SequenceWriter() = default;
SequenceWriter::~SequenceWriter() = default;

const BlockPlan& SequenceWriter::plan() const { return impl_->plan; }
const SequenceOptions& SequenceWriter::options() const { return impl_->options; }

Result<Done> SequenceWriter::Open(const std::filesystem::path& path, const SequenceOptions& options) {
    impl_ = std::make_unique<Impl>();
    Impl& s = *impl_;
    s.path = path;
    s.options = options;
    if (!s.options.uniqueId) s.options.uniqueId = MicrosecondsNow();
    s.level = options.level != 0 ? options.level : DefaultLevel(options.compression);
    if (options.compression != Compression::None) s.plan = PlanBlocks(options.frames, options.channels);
    if (auto problem = CheckOptions(path.string(), s.options, s.plan)) return s.Fail(*problem);
    s.file = std::make_unique<ReplacingFile>(path);
    if (!s.file->ok()) return s.WriteFailure(s.file->failure());
    const std::vector<std::uint8_t> head = HeaderBytes(s.options, s.plan, {});
    // An uncompressed file's size is known: its blocks are reserved.
    if (options.compression == Compression::None) {
        s.file->writer.Reserve(head.size() + std::uint64_t{s.options.channels} * s.options.frames);
    }
    s.file->writer.Bytes(head);
    if (!s.file->writer.ok()) return s.WriteFailure(s.file->WriteFailed());
    s.index.reserve(s.plan.blocks);
    if (options.compression != Compression::None) s.StartWorkers();
    return Done{};
}

Result<Done> SequenceWriter::AddFrame(std::span<const std::uint8_t> channels) {
    if (!impl_) return Failure{kSeqBadOptions, {}, {}, {"", "1", "0"}, &msg::seq::kFrameCountDiffers};
    Impl& s = *impl_;
    if (s.failure) return *s.failure;
    const std::string name = s.path.string();
    if (channels.size() != s.options.channels) {
        return s.Fail(OptionFailure(name, msg::seq::kWrongFrameSize,
                                    {std::to_string(channels.size()), std::to_string(s.options.channels)}));
    }
    if (s.added >= s.options.frames || s.finished) {
        return s.Fail(OptionFailure(name, msg::seq::kFrameCountDiffers,
                                    {std::to_string(std::uint64_t{s.added} + 1), std::to_string(s.options.frames)}));
    }
    if (s.options.compression == Compression::None) {
        s.file->writer.Bytes(channels);
        if (!s.file->writer.ok()) return s.WriteFailure(s.file->WriteFailed());
        ++s.added;
        ++s.inFile;
        return Done{};
    }
    if (!s.filling) s.filling = s.NewJob(s.added, s.NextBlockFrames());
    std::copy(channels.begin(), channels.end(), s.filling->raw.data.get() + s.filling->rawFilled);
    s.filling->rawFilled += channels.size();
    ++s.added;
    if (s.added == s.options.frames || s.added == s.plan.FirstFrame(s.blocksFilled + 1)) {
        ++s.blocksFilled;
        return s.Submit();
    }
    return Done{};
}

Result<Done> SequenceWriter::AddFrames(const FrameFill& fill, const std::function<void(std::uint32_t)>& written) {
    if (!impl_) return Failure{kSeqBadOptions, {}, {}, {"", "1", "0"}, &msg::seq::kFrameCountDiffers};
    Impl& s = *impl_;
    if (s.failure) return *s.failure;
    // A block begun with AddFrame is filled up here first.
    if (s.filling) {
        std::vector<std::uint8_t> one(s.options.channels);
        while (s.filling && s.added < s.options.frames) {
            fill(s.added, one.data());
            if (auto added = AddFrame(one); !added) return added;
        }
    }
    // Uncompressed: the workers write their pieces themselves after what is in the file.
    const bool plain = s.options.compression == Compression::None;
    if (plain && !s.file->writer.Flush()) return s.WriteFailure(s.file->WriteFailed());
    const std::uint64_t start = plain ? s.file->writer.pos() - std::uint64_t{s.added} * s.options.channels : 0;
    if (s.workers.empty()) s.StartWorkers();
    // The workers hold `fill` only until every job is written (or they are stopped).
    const auto stop = [&](Result<Done> failed) {
        s.StopWorkers();
        return failed;
    };
    while (s.added < s.options.frames && !s.finished) {
        const std::uint32_t frames = s.NextBlockFrames();
        s.filling = s.NewJob(s.added, frames);
        s.filling->fill = &fill;
        s.filling->writeHere = plain;
        s.filling->writeAt = start + std::uint64_t{s.added} * s.options.channels;
        s.added += frames;
        if (s.options.compression != Compression::None) ++s.blocksFilled;
        if (auto submitted = s.Submit(); !submitted) return stop(submitted);
        if (written) written(s.inFile);
    }
    if (auto rest = s.WriteReady(0); !rest) return stop(rest);
    if (written) written(s.inFile);
    return Done{};
}

Result<Done> SequenceWriter::Finish() {
    if (!impl_) return Failure{kSeqBadOptions, {}, {}, {"", "0", "0"}, &msg::seq::kFrameCountDiffers};
    Impl& s = *impl_;
    if (s.failure) return *s.failure;
    if (s.finished) return Done{};
    if (s.added != s.options.frames) {
        return s.Fail(OptionFailure(s.path.string(), msg::seq::kFrameCountDiffers,
                                    {std::to_string(s.added), std::to_string(s.options.frames)}));
    }
    if (auto written = s.WriteReady(0); !written) return written;
    s.StopWorkers();
    const std::vector<std::uint8_t> head = HeaderBytes(s.options, s.plan, s.index);
    if (!s.file->writer.Flush()) return s.WriteFailure(s.file->WriteFailed());
    if (!s.file->writer.WriteAt(head.data(), head.size(), 0)) return s.WriteFailure(FileFailure(s.path, errno));
    if (auto prepared = s.file->Prepare(); !prepared) return s.WriteFailure(prepared.failure());
    s.finished = true;
    return Done{};
}

Result<Done> SequenceWriter::Commit() {
    if (!impl_) return Failure{kSeqBadOptions, {}, {}, {"", "0", "0"}, &msg::seq::kFrameCountDiffers};
    Impl& s = *impl_;
    if (s.failure) return *s.failure;
    if (!s.finished) {
        if (auto finished = Finish(); !finished) return finished;
    }
    if (auto committed = s.file->Commit(); !committed) return s.WriteFailure(committed.failure());
    return Done{};
}

}  // namespace corv::seq
