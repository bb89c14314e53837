#include "ops/Sequence.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <mutex>
#include <functional>
#include <optional>
#include <thread>
#include <limits>
#include <memory>
#include <utility>

#include "base/FileIO.h"
#include "base/MappedPages.h"
#include "lang/Render.h"
#include "lang/UiStrings.h"
#include "lang/messages/SequenceMessages.h"
#include "net/ChannelLayout.h"
#include "net/NetworkFile.h"
#include "project/Document.h"
#include "project/FrameRange.h"
#include "seq/SequenceReader.h"
#include "seq/SequenceWriter.h"
#include "workspace/Workspace.h"

#ifndef CORVANTINE_VERSION
#define CORVANTINE_VERSION "0.0.0"
#endif

namespace corv::ops {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProducer = "Corvantine " CORVANTINE_VERSION;

// A refusal of the engine as the operation's, its message in the workspace's language.
Failure Refused(int code, const Failure& why, std::uint8_t language) {
    Failure failure = why;
    failure.code = code;
    failure.message = Render(why, language);
    return failure;
}

Failure Said(int code, const Text& text, std::vector<std::string> args, std::uint8_t language) {
    return Failure{code, Render(text, language, args), {}, std::move(args), &text};
}

// Every line of the layout as one controller (its universes unused).
net::NetController WholeLayout() {
    net::NetController whole;
    whole.protocol = net::Protocol::Ddp;
    for (int line = 1; line <= kLineCount; ++line) whole.lines.push_back(line);
    return whole;
}

// N of a section named "ControllerN" (any case), or -1.
long long SectionNumber(const std::string& section) {
    static constexpr std::string_view kPrefix = "controller";
    if (section.size() <= kPrefix.size() || section.size() > kPrefix.size() + 9) return -1;
    for (std::size_t i = 0; i < kPrefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(section[i])) != kPrefix[i]) return -1;
    }
    long long n = 0;
    for (std::size_t i = kPrefix.size(); i < section.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(section[i]))) return -1;
        n = n * 10 + (section[i] - '0');
    }
    return n;
}

// One file to write: where, for which controller, its channels and (sparse) their ranges.
struct Target {
    fs::path path;
    std::string section;
    std::vector<int> lines;
    net::ChannelLayout layout;
    std::vector<seq::SparseRange> ranges;
};

// Where a controller's lines lie in the whole layout's channels: one range a run of
// consecutive lines with channels.
Result<std::vector<seq::SparseRange>> RangesIn(const net::ChannelLayout& whole, const Target& target,
                                               std::uint8_t language) {
    std::vector<seq::SparseRange> ranges;
    for (const net::LineChannels& line : whole.channels().lines) {
        if (line.count == 0 || !std::binary_search(target.lines.begin(), target.lines.end(), line.line)) continue;
        if (line.first + line.count > seq::kMaxRangeChannel) {
            return Said(kSeqExportNoChannels, msg::seq::kTooManyRanges, {target.section}, language);
        }
        const auto first = static_cast<std::uint32_t>(line.first), count = static_cast<std::uint32_t>(line.count);
        if (!ranges.empty() && ranges.back().first + ranges.back().count == first) {
            ranges.back().count += count;
        } else {
            ranges.push_back({first, count});
        }
    }
    if (ranges.size() > seq::kMaxRanges) {
        return Said(kSeqExportNoChannels, msg::seq::kTooManyRanges, {target.section}, language);
    }
    return ranges;
}

// The controllers of the description the request names (all, or section [ControllerN]).
Result<std::vector<net::NetController>> ChosenControllers(const Workspace& ws, const SequenceExportRequest& request,
                                                          Prompt& prompt, SequenceExportReply& reply) {
    using R = Result<std::vector<net::NetController>>;
    const std::uint8_t language = ws.app.language;
    auto description = net::ReadNetworkFile(request.netFile, language);
    if (!description) {
        const int code = description.failure().code == net::kNetCannotRead ? kSeqExportNetFileUnreadable
                                                                           : kSeqExportBadNetFile;
        return R::Fail(Refused(code, description.failure(), language));
    }
    reply.warnings = net::DescriptionWarnings(*description, language);
    for (const std::string& warning : reply.warnings) prompt.Inform(warning, PromptIcon::Warning);
    if (request.controller <= 0) return std::move(description->controllers);
    std::string sections;
    for (const net::NetController& c : description->controllers) {
        if (SectionNumber(c.section) == request.controller) return std::vector<net::NetController>{c};
        sections += (sections.empty() ? "[" : ", [") + c.section + "]";
    }
    return R::Fail(Said(kSeqExportBadNetFile, msg::seq::kNoSuchController,
                        {request.netFile.string(), std::to_string(request.controller), sections}, language));
}

// The files the request writes, with their channel layouts for frames of `shape`.
Result<std::vector<Target>> Targets(const Workspace& ws, const SequenceExportRequest& request, FrameShape shape,
                                    Prompt& prompt, SequenceExportReply& reply) {
    using R = Result<std::vector<Target>>;
    const std::uint8_t language = ws.app.language;
    const net::OutputLevels levels = net::BuildOutputLevels(ws.layout.setting);
    const auto build = [&](const net::NetController& controller) {
        net::NetController laid = controller;
        laid.protocol = net::Protocol::Ddp;  // one stream: no universes to fit
        return std::move(*net::ChannelLayout::Build(ws.layout, ws.lampTypes, levels, laid, shape));
    };
    std::vector<Target> targets;
    net::ChannelLayout whole;
    if (request.netFile.empty() || request.sparse) whole = build(WholeLayout());
    if (request.netFile.empty()) {
        targets.push_back({request.path, {}, WholeLayout().lines, std::move(whole), {}});
    } else {
        auto controllers = ChosenControllers(ws, request, prompt, reply);
        if (!controllers) return R::Fail(controllers.failure());
        for (const net::NetController& c : *controllers) {
            fs::path path = request.path;
            if (request.controller <= 0) {
                path.replace_filename(request.path.stem().string() + "-" + c.section + request.path.extension().string());
            }
            Target target{path, c.section, c.lines, build(c), {}};
            std::sort(target.lines.begin(), target.lines.end());
            if (request.sparse) {
                auto ranges = RangesIn(whole, target, language);
                if (!ranges) return R::Fail(ranges.failure());
                target.ranges = std::move(*ranges);
            }
            targets.push_back(std::move(target));
        }
    }
    for (const Target& t : targets) {
        const std::size_t n = t.layout.channelCount();
        if (n == 0) {
            return R::Fail(t.section.empty() ? Said(kSeqExportNoChannels, msg::seq::kLayoutNoChannels, {}, language)
                                             : Said(kSeqExportNoChannels, msg::seq::kNoChannelsToExport,
                                                    {t.section, net::FormatLines(t.lines)}, language));
        }
        if (n > std::numeric_limits<std::uint32_t>::max()) {
            return R::Fail(Said(kSeqExportNoChannels, msg::seq::kTooManyChannels,
                                {std::to_string(n), std::to_string(std::numeric_limits<std::uint32_t>::max())},
                                language));
        }
    }
    return targets;
}

// The request's own checks; the failure, if any.
std::optional<Failure> CheckExport(const Workspace& ws, const SequenceExportRequest& r, std::size_t frames,
                                   std::size_t end) {
    const std::uint8_t language = ws.app.language;
    const int minFps = r.version == 1 ? 1 : kMinSequenceFps;
    const bool levelOk = r.level == 0 || (r.level >= seq::MinLevel(r.compression) && r.level <= seq::MaxLevel(r.compression));
    if (!ValidRange(frames, static_cast<long long>(r.first), static_cast<long long>(end)) ||
        end - r.first > std::numeric_limits<std::uint32_t>::max() || (r.version != 1 && r.version != 2) ||
        r.fps < minFps || r.fps > kMaxSequenceFps || !levelOk || seq::CompressionName(r.compression) == nullptr) {
        return Failure{kSeqExportOutOfRange, ws.strings.paramError, {}, {}, nullptr};
    }
    if (r.version == 1 && r.compression != seq::Compression::None) {
        return Said(kSeqExportBadOptions, msg::seq::kOptionV1Compressed, {r.path.string()}, language);
    }
    if (r.netFile.empty() && r.sparse) return Said(kSeqExportBadOptions, msg::seq::kSparseNeedsNet, {}, language);
    if (r.netFile.empty() && r.controller != 0) {
        return Said(kSeqExportBadOptions, msg::seq::kControllerNeedsNet, {}, language);
    }
    if (ws.layout.setting.lineCount == 0) return Failure{kSeqExportNoLayout, ws.strings.noLayout, {}, {}, nullptr};
    return std::nullopt;
}

// Writes one target's file (not yet in place): options.frames frames from `first` through its
// layout.
Result<Done> WriteTarget(seq::SequenceWriter& writer, const Target& target, const std::vector<Frame>& frames,
                         std::size_t first, seq::SequenceOptions options, std::uint64_t& done,
                         std::uint64_t total, const ProgressFn& progress) {
    options.channels = static_cast<std::uint32_t>(target.layout.channelCount());
    options.ranges = target.ranges;
    if (auto opened = writer.Open(target.path, options); !opened) return opened;
    // The frames are filled straight into the file's blocks on both cores. A frame still the
    // unchanged pages of the file it is mapped from is read from that file into a frame of the
    // worker's own first: faster than through the mapping's pages, and the same bytes.
    const auto fill = [&](std::uint32_t k, std::uint8_t* out) {
        const Frame& frame = frames[first + k];
        if (const auto mapped = UnchangedFileRange(frame.data(), frame.size())) {
            thread_local Frame copy;
            if (copy.width() != frame.width() || copy.height() != frame.height()) {
                copy = Frame(frame.width(), frame.height(), Frame::Uninitialized{});
            }
            if (ReadAt(mapped->fd, copy.data(), copy.size(), mapped->offset)) {
                target.layout.Fill(copy, out);
                return;
            }
        }
        target.layout.Fill(frame, out);
    };
    const std::uint64_t before = done;
    const auto written = [&](std::uint32_t n) {
        done = before + n;
        ReportProgress(progress, PercentDone(done, total));
    };
    if (auto added = writer.AddFrames(fill, written); !added) return added;
    return writer.Finish();
}

}  // namespace

std::uint16_t SequenceStepMs(int fps) {
    const int f = std::max(fps, 1);
    return static_cast<std::uint16_t>(std::min(65535, (1000 + f / 2) / f));
}

Result<SequenceExportReply> ExportSequence(Workspace& ws, const SequenceExportRequest& request, Prompt& prompt,
                                           const ProgressFn& progress) {
    using R = Result<SequenceExportReply>;
    const int clip = request.clip < 0 ? ws.frames.current() : request.clip;
    if (clip < 0 || clip >= ws.frames.Count() || ws.frames.clip(clip).frames.empty()) {
        return R::Fail(kSeqExportNoClip, ws.strings.paramError);
    }
    const std::vector<Frame>& frames = ws.frames.clip(clip).frames;
    const std::size_t end = request.end == 0 ? frames.size() : request.end;
    if (auto problem = CheckExport(ws, request, frames.size(), end)) return R::Fail(*problem);

    SequenceExportReply reply;
    const FrameShape shape{frames.front().height(), frames.front().width()};
    auto targets = Targets(ws, request, shape, prompt, reply);
    if (!targets) return R::Fail(targets.failure());

    seq::SequenceOptions options;
    options.version = request.version;
    options.compression = request.compression;
    options.level = request.level;
    options.stepMs = SequenceStepMs(request.fps);
    options.frames = static_cast<std::uint32_t>(end - request.first);
    options.uniqueId = request.uniqueId;
    const std::string media = request.mediaFile.value_or(ws.design.musicPath.filename().string());
    if (!media.empty()) options.variables.push_back(seq::VariableHeader::Text("mf", media));
    options.variables.push_back(seq::VariableHeader::Text("sp", kProducer));

    // Each file is written whole, then all take their names: a failure leaves every target.
    ProgressEnd hideProgress(progress);
    std::vector<std::unique_ptr<seq::SequenceWriter>> writers;
    std::uint64_t done = 0;
    const std::uint64_t total = std::uint64_t{options.frames} * targets->size();
    for (const Target& target : *targets) {
        writers.push_back(std::make_unique<seq::SequenceWriter>());
        auto written = WriteTarget(*writers.back(), target, frames, request.first, options, done, total, progress);
        if (!written) {
            const int code = written.failure().code == seq::kSeqCannotWrite ? kSeqExportCannotWrite : kSeqExportBadOptions;
            return R::Fail(Refused(code, written.failure(), ws.app.language));
        }
        reply.files.push_back({target.path, target.section, static_cast<std::uint32_t>(target.layout.channelCount()),
                               target.ranges});
    }
    for (auto& writer : writers) {
        if (auto committed = writer->Commit(); !committed) {
            return R::Fail(Refused(kSeqExportCannotWrite, committed.failure(), ws.app.language));
        }
    }
    reply.frames = options.frames;
    reply.stepMs = options.stepMs;
    return R(std::move(reply));
}

namespace {

using LevelInverse = std::array<std::uint8_t, 256>;

// The frame byte each output level comes back as: the smallest byte giving the level, or for
// a level no byte gives, the byte of the nearest level given (the lower one on a tie).
LevelInverse InverseOf(const net::LevelTable& table) {
    std::array<int, 256> from{};
    from.fill(-1);
    for (int i = 255; i >= 0; --i) from[table[static_cast<std::size_t>(i)]] = i;
    LevelInverse inverse{};
    for (int v = 0; v < 256; ++v) {
        for (int d = 0; d < 256; ++d) {
            if (v - d >= 0 && from[static_cast<std::size_t>(v - d)] >= 0) {
                inverse[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(from[static_cast<std::size_t>(v - d)]);
                break;
            }
            if (v + d < 256 && from[static_cast<std::size_t>(v + d)] >= 0) {
                inverse[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(from[static_cast<std::size_t>(v + d)]);
                break;
            }
        }
    }
    return inverse;
}

constexpr std::uint32_t kNotStored = std::numeric_limits<std::uint32_t>::max();

// For each of the layout's channels, the stored channel of the file that holds it (or
// kNotStored).
std::vector<std::uint32_t> StoredChannels(const seq::SequenceInfo& info, std::size_t layoutChannels) {
    std::vector<std::uint32_t> stored(layoutChannels, kNotStored);
    if (info.ranges.empty()) {
        const std::size_t n = std::min<std::size_t>(layoutChannels, info.channels);
        for (std::size_t i = 0; i < n; ++i) stored[i] = static_cast<std::uint32_t>(i);
        return stored;
    }
    std::uint32_t at = 0;
    for (const seq::SparseRange& r : info.ranges) {
        for (std::uint64_t c = r.first; c < std::uint64_t{r.first} + r.count && c < layoutChannels; ++c) {
            stored[static_cast<std::size_t>(c)] = at + static_cast<std::uint32_t>(c - r.first);
        }
        at += r.count;
    }
    return stored;
}

std::uint64_t PhysicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES), page = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && page > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page)
                                 : std::numeric_limits<std::uint64_t>::max();
}

// How a file's stored channels go back into a frame: through the layout's runs when the file
// holds the layout's channels from the first, else channel by channel: frame byte sources[i]
// is inverses[tables[i]] of stored channel from[i] (none where the table is 0 or from[i] is
// kNotStored).
struct Remap {
    const net::ChannelLayout* layout;
    const std::vector<LevelInverse>* inverse;
    bool direct;
    const std::uint32_t* sources;
    const std::uint16_t* tables;
    const std::uint32_t* from;
    std::size_t channels;

    void Into(std::span<const std::uint8_t> in, Frame& frame) const {
        if (direct) {
            layout->Unfill(in, *inverse, frame);
            return;
        }
        std::uint8_t* out = frame.data();
        const std::uint8_t* bytes = in.data();
        const LevelInverse* inverses = inverse->data();
        for (std::size_t i = 0; i < channels; ++i) {
            if (tables[i] == 0 || from[i] == kNotStored) continue;
            out[sources[i]] = inverses[tables[i]][bytes[from[i]]];
        }
    }
};

// The end of piece p of a file's frames, which starts at `first`: the next block's first frame
// (a compressed file is read a block at a time), else `frames` frames on.
std::uint32_t PieceEnd(const seq::SequenceInfo& info, std::uint32_t p, std::uint32_t first, std::uint32_t frames) {
    if (info.blocks.empty()) return std::min(info.frames, first + frames);
    return p + 1 < info.blocks.size() ? info.blocks[p + 1].firstFrame : info.frames;
}

// What two readers of one file share: the frames done, and the first frame that failed.
struct ReadShare {
    std::atomic<std::uint32_t> done{0};
    std::atomic<std::uint32_t> failedAt{std::numeric_limits<std::uint32_t>::max()};

    void Failed(std::uint32_t k) {
        std::uint32_t seen = failedAt.load();
        while (k < seen && !failedAt.compare_exchange_weak(seen, k)) {
        }
    }
};

// One reader's share of a file's frames: piece `part`, `part` + parts, ... (the blocks of a
// compressed file, else pieces of 64 frames), so that two readers each decompress and remap
// their own. Stops at the first frame that fails, or past one the other reader failed at;
// `failed` is the frame of the failure returned.
Result<Done> ReadPart(seq::SequenceReader& reader, const Remap& remap, std::vector<Frame>& frames, unsigned part,
                      unsigned parts, ReadShare& share, std::uint32_t& failed, const std::function<void()>& tick) {
    const seq::SequenceInfo& info = reader.info();
    constexpr std::uint32_t kPiece = 64;
    for (std::uint32_t first = 0, piece = 0; first < info.frames && first < share.failedAt.load(); ++piece) {
        const std::uint32_t end = PieceEnd(info, piece, first, kPiece);
        if (piece % parts == part) {
            for (std::uint32_t k = first; k < end; ++k) {
                const auto channels = reader.ReadFrame(k);
                if (!channels) {
                    failed = k;
                    share.Failed(k);
                    return channels.failure();
                }
                remap.Into(*channels, frames[k]);
            }
            share.done += end - first;
            if (tick) tick();
        }
        first = end;
    }
    return Done{};
}

// Reads every frame of the open `reader` into `frames` (made, zeroed, one a file frame), on
// two threads with a second reader of the same file. The failure is that of the first frame
// that fails, as one reader would find it.
Result<Done> ReadFrames(const fs::path& path, seq::SequenceReader& reader, const Remap& remap,
                        std::vector<Frame>& frames, const ProgressFn& progress) {
    ReadShare share;
    const std::uint32_t total = reader.info().frames;
    seq::SequenceReader second;
    std::optional<Result<Done>> other;
    std::uint32_t mineAt = 0, otherAt = 0;
    std::thread helper;
    if (total > 1 && second.Open(path)) {
        helper = std::thread([&] { other = ReadPart(second, remap, frames, 1, 2, share, otherAt, {}); });
    }
    const unsigned parts = helper.joinable() ? 2 : 1;
    const auto tick = [&] { ReportProgress(progress, PercentDone(share.done.load(), total)); };
    Result<Done> mine = ReadPart(reader, remap, frames, 0, parts, share, mineAt, tick);
    if (helper.joinable()) helper.join();
    const bool otherFailed = other && !*other;
    if (!mine && (!otherFailed || mineAt < otherAt)) return mine;
    if (otherFailed) return *other;
    return Done{};
}

// What the readers and the writer of a streamed import share: a ring of frames, frame k in
// slot k % ring while it waits to be written.
struct FrameRing {
    std::vector<Frame> slots;
    std::vector<std::int64_t> filled;  // the frame each slot holds ready (-1: none)
    std::mutex mutex;
    std::condition_variable changed;
    std::uint32_t written = 0;
    std::uint32_t failedAt = std::numeric_limits<std::uint32_t>::max();
    bool stop = false;
};

// One reader's share of a streamed import (pieces as ReadPart takes them, uncompressed ones
// of a quarter of the ring), each frame remapped into its slot once that is free.
Result<Done> DecodeInto(seq::SequenceReader& reader, const Remap& remap, FrameRing& ring, unsigned part,
                        unsigned parts, std::uint32_t& failed) {
    const seq::SequenceInfo& info = reader.info();
    const auto size = static_cast<std::uint32_t>(ring.slots.size());
    const std::uint32_t piece = std::max<std::uint32_t>(1, size / 4);
    for (std::uint32_t first = 0, p = 0; first < info.frames; ++p) {
        const std::uint32_t end = PieceEnd(info, p, first, piece);
        for (std::uint32_t k = first; k < end && p % parts == part; ++k) {
            const auto channels = reader.ReadFrame(k);
            std::unique_lock lock(ring.mutex);
            if (!channels) {
                failed = k;
                ring.failedAt = std::min(ring.failedAt, k);
                ring.changed.notify_all();
                return channels.failure();
            }
            ring.changed.wait(lock, [&] { return ring.stop || k >= ring.failedAt || k < ring.written + size; });
            if (ring.stop || k >= ring.failedAt) return Done{};
            lock.unlock();
            remap.Into(*channels, ring.slots[k % size]);
            lock.lock();
            ring.filled[k % size] = k;
            ring.changed.notify_all();
        }
        first = end;
    }
    return Done{};
}

// A streamed import: two readers of the file decode into the ring, the calling thread writes
// the frames in order to `out`. A failure to read is the one `readFailure` makes of the
// reader's; one to write is the document's, as kSeqImportCannotWrite.
Result<Done> StreamFrames(const fs::path& path, seq::SequenceReader& reader, const Remap& remap, int w, int h,
                          ClipDocumentWriter& out, const ProgressFn& progress,
                          const std::function<Failure(const Failure&)>& readFailure) {
    const std::uint32_t total = reader.info().frames;
    const std::size_t frameBytes = Frame::BufferSize(static_cast<std::size_t>(w), static_cast<std::size_t>(h));
    const auto size = static_cast<std::uint32_t>(std::clamp<std::size_t>((8u << 20) / frameBytes, 8, 256));
    FrameRing ring;
    const auto block = Frame::AllocateZeroedBlock(frameBytes * size);
    for (std::uint32_t r = 0; r < size; ++r) ring.slots.emplace_back(w, h, block, frameBytes * r);
    ring.filled.assign(size, -1);

    seq::SequenceReader second;
    std::optional<Result<Done>> other;
    std::optional<Result<Done>> mine;
    std::uint32_t mineAt = 0, otherAt = 0;
    const bool two = total > 1 && second.Open(path);
    const unsigned parts = two ? 2 : 1;
    std::thread first([&] { mine = DecodeInto(reader, remap, ring, 0, parts, mineAt); });
    std::thread helper;
    if (two) helper = std::thread([&] { other = DecodeInto(second, remap, ring, 1, 2, otherAt); });
    std::optional<Failure> writeFailure;
    for (std::uint32_t k = 0; k < total; ++k) {
        std::unique_lock lock(ring.mutex);
        ring.changed.wait(lock, [&] { return ring.filled[k % size] == k || ring.failedAt <= k; });
        if (ring.failedAt <= k) break;
        lock.unlock();
        auto added = out.Add(ring.slots[k % size]);
        lock.lock();
        if (!added) {
            writeFailure = added.failure();
            ring.stop = true;
            ring.changed.notify_all();
            break;
        }
        ring.written = k + 1;
        ring.changed.notify_all();
        lock.unlock();
        ReportProgress(progress, PercentDone(k + 1, total));
    }
    first.join();
    if (helper.joinable()) helper.join();
    if (writeFailure) {
        writeFailure->code = kSeqImportCannotWrite;
        return *writeFailure;
    }
    const bool otherFailed = other && !*other;
    if (mine && !*mine && (!otherFailed || mineAt < otherAt)) return readFailure(mine->failure());
    if (otherFailed) return readFailure(other->failure());
    return Done{};
}

// The frame size the import makes frames of, and the clip they go to (-1: a new document).
Result<std::pair<int, int>> ImportSize(const Workspace& ws, const SequenceImportRequest& r, int& clip) {
    using R = Result<std::pair<int, int>>;
    const std::uint8_t language = ws.app.language;
    if (r.newDocument) {
        clip = -1;
        const int w = r.width > 0 ? r.width : ws.layout.grid.cols, h = r.height > 0 ? r.height : ws.layout.grid.rows;
        const auto side = static_cast<int>(document::kMaxSide);
        if (r.width < 0 || r.height < 0 || w < 1 || h < 1 || w > side || h > side) {
            return R::Fail(kSeqImportBadSize, ws.strings.paramError);
        }
        return std::pair{w, h};
    }
    clip = r.clip < 0 ? ws.frames.current() : r.clip;
    if (clip < 0 || clip >= ws.frames.Count()) return R::Fail(kSeqImportNoClip, ws.strings.paramError);
    const Clip& target = ws.frames.clip(clip);
    const int w = static_cast<int>(target.width), h = static_cast<int>(target.height);
    if ((r.width > 0 && r.width != w) || (r.height > 0 && r.height != h)) {
        return R::Fail(Said(kSeqImportBadSize, msg::seq::kImportSizeDiffers,
                            {std::to_string(w) + " x " + std::to_string(h)}, language));
    }
    return std::pair{w, h};
}

}  // namespace

Result<SequenceImportReply> ImportSequence(Workspace& ws, const SequenceImportRequest& request, Prompt& prompt,
                                           const ProgressFn& progress) {
    using R = Result<SequenceImportReply>;
    const std::uint8_t language = ws.app.language;
    if (ws.layout.setting.lineCount == 0) return R::Fail(kSeqImportNoLayout, ws.strings.noLayout);
    int clip = -1;
    const auto size = ImportSize(ws, request, clip);
    if (!size) return R::Fail(size.failure());
    const auto [w, h] = *size;

    seq::SequenceReader reader;
    if (auto opened = reader.Open(request.path); !opened) {
        const int code = opened.failure().code == seq::kSeqCannotRead ? kSeqImportCannotRead : kSeqImportBadFile;
        return R::Fail(Refused(code, opened.failure(), language));
    }
    const seq::SequenceInfo& info = reader.info();
    const std::uint64_t bytes = std::uint64_t{info.frames} * Frame::BufferSize(static_cast<std::size_t>(w),
                                                                               static_cast<std::size_t>(h));
    // (A file of no frames makes an empty clip in the workspace, written by the caller.)
    const bool streamed = request.newDocument && !request.streamTo.empty() && info.frames > 0;
    if (!streamed && bytes > PhysicalMemory() / 2) {
        return R::Fail(Said(kSeqImportTooLarge, msg::seq::kImportTooLarge,
                            {std::to_string(info.frames), std::to_string(bytes >> 20)}, language));
    }

    const net::OutputLevels levels = net::BuildOutputLevels(ws.layout.setting);
    const auto layout = net::ChannelLayout::Build(ws.layout, ws.lampTypes, levels, WholeLayout(), FrameShape{h, w});
    const net::ControllerChannels& ch = layout->channels();
    std::vector<LevelInverse> inverse;
    for (const net::LevelTable& table : ch.levels) inverse.push_back(InverseOf(table));
    const std::vector<std::uint32_t> stored = StoredChannels(info, ch.sources.size());

    SequenceImportReply reply;
    reply.width = w;
    reply.height = h;
    reply.fileChannels = static_cast<std::uint32_t>(std::min<std::uint64_t>(info.ChannelSpan(), 0xFFFFFFFFu));
    reply.layoutChannels = static_cast<std::uint32_t>(ch.sources.size());
    reply.stepMs = info.stepMs;
    const Remap remap{&*layout,           &inverse,        info.ranges.empty(), ch.sources.data(),
                      ch.tables.data(), stored.data(), stored.size()};
    const auto readFailure = [&](const Failure& why) {
        const int code = why.code == seq::kSeqCannotRead ? kSeqImportCannotRead : kSeqImportBadFile;
        return Refused(code, why, language);
    };
    std::vector<Frame> made;
    if (streamed) {
        ProgressEnd hideProgress(progress);
        ClipDocumentWriter out(request.streamTo);
        const std::string lines = ws.lineFilePath.string();
        auto begun = out.Begin(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h),
                               lines.size() < Clip::kLineFilePathBuffer ? lines : std::string(), info.frames);
        if (!begun) {
            Failure why = begun.failure();
            why.code = kSeqImportCannotWrite;
            return R::Fail(why);
        }
        if (auto read = StreamFrames(request.path, reader, remap, w, h, out, progress, readFailure); !read) {
            return R::Fail(read.failure());
        }
        if (auto finished = out.Finish(); !finished) {
            Failure why = finished.failure();
            why.code = kSeqImportCannotWrite;
            return R::Fail(why);
        }
    } else {
        made.reserve(info.frames);
        ProgressEnd hideProgress(progress);
        // One block of zeros holds the new frames (pixels no channel reaches stay black).
        const std::size_t frameBytes = Frame::BufferSize(static_cast<std::size_t>(w), static_cast<std::size_t>(h));
        const auto block = Frame::AllocateZeroedBlock(frameBytes * info.frames);
        for (std::uint32_t k = 0; k < info.frames; ++k) made.emplace_back(w, h, block, frameBytes * k);
        if (auto read = ReadFrames(request.path, reader, remap, made, progress); !read) {
            return R::Fail(readFailure(read.failure()));
        }
    }
    if (info.ChannelSpan() != ch.sources.size()) {
        reply.warnings.push_back(Render(msg::seq::kChannelsDiffer, language,
                                        {request.path.string(), std::to_string(info.ChannelSpan()),
                                         std::to_string(ch.sources.size())}));
        prompt.Inform(reply.warnings.back(), PromptIcon::Warning);
    }
    if (streamed) {
        reply.frames = info.frames;
        reply.clip = 0;
        reply.written = true;
        return R(std::move(reply));
    }
    reply.frames = made.size();
    if (request.newDocument) {
        Clip fresh;
        fresh.width = static_cast<std::uint32_t>(w);
        fresh.height = static_cast<std::uint32_t>(h);
        const std::string lines = ws.lineFilePath.string();
        if (lines.size() < Clip::kLineFilePathBuffer) fresh.lineFilePath = lines;
        fresh.frames = std::move(made);
        std::vector<Clip> clips;
        clips.push_back(std::move(fresh));
        ws.frames.ReplaceAll(std::move(clips));
        reply.clip = 0;
    } else {
        auto& frames = ws.frames.clip(clip).frames;
        frames.insert(frames.end(), std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
        reply.clip = clip;
    }
    // The frames changed outside the history.
    ws.frameUndo.Reset();
    ws.frameUndo.MarkChangedOutside();
    return R(std::move(reply));
}

}  // namespace corv::ops
