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

// A filled block on its way to the file.
struct Job {
    std::uint32_t firstFrame = 0;
    std::vector<std::uint8_t> raw;
    std::vector<std::uint8_t> packed;
    bool done = false;
    bool failed = false;
};

bool Compress(Compression compression, int level, ZSTD_CCtx* cctx, Job& job) {
    bool ok = false;
    if (compression == Compression::Zstd) {
        if (cctx != nullptr) {
            job.packed.resize(ZSTD_compressBound(job.raw.size()));
            const std::size_t n = ZSTD_compress2(cctx, job.packed.data(), job.packed.size(), job.raw.data(), job.raw.size());
            ok = !ZSTD_isError(n);
            if (ok) job.packed.resize(n);
        }
    } else {
        uLongf n = compressBound(static_cast<uLong>(job.raw.size()));
        job.packed.resize(n);
        ok = compress2(job.packed.data(), &n, job.raw.data(), static_cast<uLong>(job.raw.size()), level) == Z_OK;
        if (ok) job.packed.resize(n);
    }
    job.raw = {};  // the raw bytes are done with
    return ok;
}

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
    std::unique_ptr<Job> filling;
    std::optional<Failure> failure;
    bool finished = false;

    std::mutex mutex;
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
            const bool ok = Compress(options.compression, level, cctx, *job);
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
            if (job->packed.size() > std::numeric_limits<std::uint32_t>::max()) {
                return Fail(OptionFailure(path.string(), msg::seq::kOptionTooLarge));
            }
            file->writer.Bytes(job->packed);
            if (!file->writer.ok()) return WriteFailure(file->WriteFailed());
            index.emplace_back(job->firstFrame, static_cast<std::uint32_t>(job->packed.size()));
        }
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
        return Done{};
    }
    if (!s.filling) {
        s.filling = std::make_unique<Job>();
        s.filling->firstFrame = s.added;
        const std::uint32_t frames = s.blocksFilled == 0 ? s.plan.firstBlockFrames : s.plan.framesPerBlock;
        s.filling->raw.reserve(std::size_t{frames} * channels.size());
    }
    s.filling->raw.insert(s.filling->raw.end(), channels.begin(), channels.end());
    ++s.added;
    if (s.added == s.options.frames || s.added == s.plan.FirstFrame(s.blocksFilled + 1)) {
        ++s.blocksFilled;
        return s.Submit();
    }
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
