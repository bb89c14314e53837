#include "controller/LedFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <functional>
#include <memory>
#include <mutex>
#include <numeric>
#include <system_error>
#include <thread>

#include "base/Binary.h"
#include "base/FileIO.h"
#include "base/FileUtil.h"
#include "lang/UiStrings.h"

namespace corv {

namespace {

constexpr std::size_t kSector = kLedSector;

std::size_t RoundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

std::uint8_t RandomByte(Random& rng) { return static_cast<std::uint8_t>(rng.Next32() >> 24); }

void FillRandom(ByteWriter& w, std::size_t upTo, Random& rng) {
    while (w.size() < upTo) {
        w.U8(RandomByte(rng));
    }
}

// A 13-byte record, checksummed, spread to 26 bytes.
void WriteRecord(ByteWriter& w, std::array<std::uint8_t, 13> rec, Random& rng) {
    unsigned sum = 0;
    for (int i = 0; i < 12; ++i) sum += rec[static_cast<std::size_t>(i)];
    rec[12] = static_cast<std::uint8_t>(sum);
    for (std::uint8_t b : rec) {
        std::uint8_t two[2];
        SpreadByte(b, rng, two);
        w.U8(two[0]);
        w.U8(two[1]);
    }
}

// Offsets 4..11 of the header: the spread data offset and the block size XOR those bytes.
void WriteSizes(ByteWriter& w, std::size_t H, std::size_t D, Random& rng) {
    std::uint8_t hi[2], lo[2];
    SpreadByte(static_cast<std::uint8_t>(H >> 8), rng, hi);
    SpreadByte(static_cast<std::uint8_t>(H & 0xFF), rng, lo);
    std::uint8_t* p = w.bytes().data();
    p[4] = hi[0];
    p[5] = hi[1];
    p[6] = lo[0];
    p[7] = lo[1];
    StoreU32(p + 8, LoadU32(p + 4) ^ static_cast<std::uint32_t>(D));
}

struct Part {
    SlavePart pack;
    GammaTable table;
    std::size_t offset = 0;     // in the block
    std::size_t dataBytes = 0;  // bytes the part may fill
    std::size_t packedBound = 0;  // most bytes its packing writes
};

bool PlainPacking(int family, int chip) {
    if (family == 2) {
        return chip != 102 && chip != 103 && chip != 108 && chip != 110;
    }
    return chip != 2 && chip != 3 && chip != 102 && chip != 103 && chip != 108 && chip != 110 &&
           !(family == 0 && (chip == 104 || chip == 117));
}

}  // namespace

std::uint8_t RemapChipCode(int code) {
    switch (code) {
        case 19:
            return 101;
        case 107:
            return 106;
        case 115:
            return 112;
        default:
            return static_cast<std::uint8_t>(code);
    }
}

std::uint8_t ClockByte(int family, int code, int clock) {
    if (family == 2) {
        if (code == 106) return 100;
        if (code == 107) return static_cast<std::uint8_t>(clock * 2);
        return static_cast<std::uint8_t>(clock);
    }
    if (code == 106) return 200;
    if (code == 107) return static_cast<std::uint8_t>(clock * 2);
    if (code == 112 || (code == 115 && family == 1)) return clock < 41 ? 16 : 32;
    if (code == 115) return clock < 42 ? 10 : 20;
    return static_cast<std::uint8_t>(clock);
}

namespace {

// One file's parts, the header before its blocks and the layout of a block.
struct FilePlan {
    int family = 0;
    std::vector<Part> parts;
    ByteWriter head;
    std::size_t offset = 0;  // master-slave: the data bytes of all parts
    std::size_t D = 0;       // bytes of a block
    std::size_t F = 0;       // single and simple: data bytes of a frame
    bool fillerFirst = false;
    // The simple 15-bit and 7-bit transpositions keep their own length; every other block is D
    // bytes long.
    bool ownLength = false;
    std::size_t scratchSize = 0;  // the largest packing of a part
};

// The parts of slaves s0 .. s0 + slaves - 1 and their places in the block.
void PlanParts(FilePlan& plan, const LineSetting& s, const ChannelMap& map, int s0, int slaves) {
    const int family = plan.family;
    plan.parts.resize(static_cast<std::size_t>(slaves));
    std::size_t entryStart = 0;
    for (int i = 0; i < slaves; ++i) {
        const auto k = static_cast<std::size_t>(std::clamp(s0 + i, 0, 255));
        Part& part = plan.parts[static_cast<std::size_t>(i)];
        const std::uint32_t C = map.slaveChannels[static_cast<std::size_t>(i)];
        const int chip = s.icType[k];
        part.table = BuildGammaTable(s.gamma[k], s.brightness[k], chip, family);
        part.pack.entries = std::span<const std::uint32_t>(map.entries).subspan(entryStart, C);
        part.pack.table = &part.table;
        part.pack.chipCode = chip;
        part.pack.grayReverse = s.grayReverse[k];
        part.pack.ports = std::max<int>(s.portsPerSlave, 1);
        part.pack.linePorts = std::max<int>(static_cast<std::int8_t>(s.linePorts[k]), 1);
        entryStart += C;
        PreparePart(part.pack);
        part.offset = plan.offset;
        part.dataBytes = family == 0 ? MasterSlaveDataBytes(C, chip) : SingleRecordDataBytes(C, chip);
        plan.offset += part.dataBytes;
    }
}

// The master-slave header and slave records; false with the reason when a slave's record
// cannot hold its data.
bool WriteMasterSlaveHead(FilePlan& plan, const LineSetting& s, int s0, Random& rng, std::string& reason) {
    ByteWriter& head = plan.head;
    const int slaves = static_cast<int>(plan.parts.size());
    head.Bytes("\x00JQZ", 4);
    head.Zeros(8);
    for (int i = 0; i < 4; ++i) head.U8(RandomByte(rng));
    head.U16(static_cast<std::uint16_t>(slaves));
    for (int i = 0; i < slaves; ++i) {
        const auto k = static_cast<std::size_t>(std::clamp(s0 + i, 0, 255));
        const Part& part = plan.parts[static_cast<std::size_t>(i)];
        const int chip = part.pack.chipCode;
        const std::uint32_t w1 = static_cast<std::uint32_t>(part.dataBytes / 4) - 1;
        if (w1 > 0xFFF) {
            // The record holds 12 bits of W: a file that lies is not written.
            reason = "slave " + std::to_string(s0 + i + 1) + " drives more LEDs than a controller file can hold (" +
                     std::to_string(part.dataBytes) + " data bytes a frame, at most 16384)";
            return false;
        }
        std::array<std::uint8_t, 13> rec{};
        rec[0] = RemapChipCode(chip);
        rec[1] = static_cast<std::uint8_t>(w1);
        rec[2] = static_cast<std::uint8_t>(((w1 >> 8) & 0x0F) | (s.linePorts[k] << 4));
        rec[3] = ClockByte(0, chip, s.clock[k]);
        rec[4] = s.grayReverse[k];
        rec[5] = chip == 109 ? static_cast<std::uint8_t>(std::min<int>(s.brightness[k], 100) * 255 / 100) : 8;
        for (int b = 8; b < 12; ++b) rec[static_cast<std::size_t>(b)] = RandomByte(rng);
        WriteRecord(head, rec, rng);
        if (i + 1 < slaves) {
            FillRandom(head, SlaveRecordOffset(static_cast<std::size_t>(i) + 1), rng);
        }
    }
    FillRandom(head, RoundUp(head.size(), kSector), rng);
    plan.D = RoundUp(plan.offset, kSector);
    return true;
}

// The single and simple header with the one slave record; false with the reason when the
// record cannot hold the line's data.
bool WriteSingleHead(FilePlan& plan, const WriterInput& in, int s0, Random& rng, std::string& reason) {
    const LineSetting& s = in.layout->setting;
    const int family = plan.family;
    const std::size_t k0 = static_cast<std::size_t>(std::clamp(s0, 0, 255));
    ByteWriter& head = plan.head;
    Part& part = plan.parts[0];
    const int chip = part.pack.chipCode;
    plan.F = part.dataBytes;
    std::size_t realF = plan.F;
    if (family == 1 && (chip == 2 || chip == 3)) {
        const std::size_t unit = part.pack.linePorts > 1 ? 16 : 8;
        const int planes = std::min(s.grayReverse[k0] & 0x0F, 7) + 1;
        realF = static_cast<std::size_t>(planes) * RoundUp(part.pack.entries.size(), unit) / 8;
        part.dataBytes = realF;
    }
    plan.D = RoundUp(realF, kSector);
    plan.F = realF;
    plan.fillerFirst = PlainPacking(family, chip) && chip <= 100;
    const std::uint8_t clockByte = ClockByte(family, chip, s.clock[k0]);
    if (family == 1) {
        head.Bytes("\x01JQZ", 4);
    } else {
        head.U8(0x05);
        head.U8(static_cast<std::uint8_t>(std::clamp(in.speed, 0, 255)));
        head.Bytes("QZ", 2);
    }
    head.Zeros(8);
    if (family == 2) {
        head.U8(clockByte);
        for (int i = 0; i < 3; ++i) head.U8(RandomByte(rng));
    } else {
        for (int i = 0; i < 4; ++i) head.U8(RandomByte(rng));
    }
    head.U16(1);
    const std::uint32_t recordF = SingleRecordDataBytes(static_cast<std::uint32_t>(part.pack.entries.size()), chip);
    if (recordF > 0xFFFF) {
        reason = "line " + std::to_string(s0 * std::max<int>(s.portsPerSlave, 1) + 1) +
                 " is longer than a controller file can hold (" + std::to_string(recordF) +
                 " data bytes a frame, at most 65535)";
        return false;
    }
    std::array<std::uint8_t, 13> rec{};
    rec[0] = RemapChipCode(chip);
    rec[1] = static_cast<std::uint8_t>(recordF);
    rec[2] = static_cast<std::uint8_t>(recordF >> 8);
    rec[3] = clockByte;
    rec[4] = static_cast<std::uint8_t>(((s.linePorts[k0] & 7) << 4) | (s.grayReverse[k0] & 0x8F));
    rec[5] = family == 1 ? static_cast<std::uint8_t>(in.catalogue ? in.catalogue->Delay(chip) : 0) : s.brightness[k0];
    for (int b = 6; b < 12; ++b) rec[static_cast<std::size_t>(b)] = RandomByte(rng);
    WriteRecord(head, rec, rng);
    FillRandom(head, kSector, rng);
    return true;
}

// Packs one frame into `block`; returns the bytes of the block.
std::size_t PackFrame(const FilePlan& plan, std::span<const std::uint8_t> pixels, std::uint8_t* block,
                      std::vector<std::uint8_t>& scratch) {
    const int family = plan.family;
    const std::size_t D = plan.D, F = plan.F;
    if (family == 0) {
        for (const Part& part : plan.parts) {
            std::uint8_t* at = block + part.offset;
            std::size_t got = 0;
            if (part.packedBound <= part.dataBytes) {
                got = PackPart(pixels, part.pack, family, at);
            } else {
                got = std::min(PackPart(pixels, part.pack, family, scratch.data()), part.dataBytes);
                std::copy_n(scratch.data(), got, at);
            }
            std::fill(at + got, at + part.dataBytes, 0);
        }
        std::fill(block + plan.offset, block + D, 0);
        return D;
    }
    const std::size_t got = PackPart(pixels, plan.parts[0].pack, family, scratch.data());
    const std::size_t filler = D - std::min(D, F);
    const std::size_t data = plan.ownLength ? got : std::min(got, F);
    const std::size_t dataField = plan.ownLength ? data : F;  // short data is padded with zeros
    std::uint8_t* p = block;
    if (plan.fillerFirst) {
        std::fill(p, p + filler, 0);
        p += filler;
    }
    std::copy_n(scratch.data(), data, p);
    std::fill(p + data, p + dataField, 0);
    p += dataField;
    if (!plan.fillerFirst) {
        std::fill(p, p + filler, 0);
        p += filler;
    }
    return static_cast<std::size_t>(p - block);
}

// Frames are packed in batches of about 2 MiB of blocks, each written with one call: few
// system calls, and the batch stays warm in the cache between packing and writing.
class BatchWriter {
public:
    BatchWriter(const FilePlan& plan, FileWriter& out, std::size_t first, std::size_t end, std::size_t frameCount,
                const ProgressFn& progress)
        : plan_(plan), out_(out), first_(first), end_(end), frameCount_(frameCount), progress_(progress) {
        constexpr std::size_t kBatchBytes = 2u << 20;
        blockBytes_ = plan.family == 0 ? plan.D : plan.D + plan.scratchSize;  // simple 102/103 may run long
        perBatch_ = std::max<std::size_t>(1, kBatchBytes / std::max<std::size_t>(blockBytes_, 1));
        batches_ = (frameCount_ + perBatch_ - 1) / perBatch_;
    }

    // Files of more than one batch with blocks of one size are packed on two threads.
    void Run(FrameSource& frames) {
        std::unique_ptr<FrameSource> forked;
        if (batches_ >= 2 && !plan_.ownLength && std::thread::hardware_concurrency() >= 2) {
            forked = frames.Fork();
        }
        std::thread helper;
        if (forked) {
            try {
                helper = std::thread([&] { Work(*forked, 1, 2, false); });
            } catch (const std::system_error&) {
                // No second thread to be had: one does all the work.
            }
        }
        Work(frames, 0, helper.joinable() ? 2 : 1, true);
        if (helper.joinable()) {
            helper.join();
        }
    }

    std::atomic<bool> failed{false};
    std::atomic<long long> unreadable{-1};  // a frame that could not be read
    std::atomic<int> writeError{0};

private:
    // Worker w of `workers` packs batches w, w + workers, ... With blocks of one size, each
    // batch's place in the file is known and workers write independently.
    void Work(FrameSource& source, std::size_t w, std::size_t workers, bool reports) {
        const std::uint64_t H = plan_.head.size();
        std::vector<std::uint8_t> batch(perBatch_ * blockBytes_);
        std::vector<std::uint8_t> scratch(plan_.scratchSize + 16);
        std::uint64_t at = H;
        for (std::size_t b = w; b < batches_ && !failed.load(std::memory_order_relaxed); b += workers) {
            const std::size_t f0 = first_ + b * perBatch_;
            const std::size_t f1 = std::min(end_, f0 + perBatch_);
            std::size_t used = 0;
            for (std::size_t f = f0; f < f1; ++f) {
                if (reports) {
                    ReportProgress(progress_, PercentDone(f - first_ + 1, frameCount_));
                }
                const Frame* frame = source.Get(f);
                if (!frame) {
                    unreadable = static_cast<long long>(f);
                    failed = true;
                    return;
                }
                used += PackFrame(plan_, frame->bytes(), batch.data() + used, scratch);
            }
            if (workers > 1) {
                at = H + static_cast<std::uint64_t>(f0 - first_) * plan_.D;
            }
            if (!WriteBatch(batch.data(), used, at)) {
                failed = true;
                return;
            }
            at += used;
        }
    }

    // The writes take turns: in the file system a second writer spins while the first writes,
    // taking the processor from packing.
    bool WriteBatch(const std::uint8_t* bytes, std::size_t size, std::uint64_t at) {
        std::lock_guard<std::mutex> lock(writing_);
        const bool wrote = out_.WriteAt(bytes, size, at);
        if (!wrote) {
            writeError = errno != 0 ? errno : EIO;
        }
        return wrote;
    }

    const FilePlan& plan_;
    FileWriter& out_;
    std::size_t first_, end_, frameCount_;
    const ProgressFn& progress_;
    std::size_t blockBytes_ = 0, perBatch_ = 0, batches_ = 0;
    std::mutex writing_;
};

}  // namespace

Result<Done> WriteLedFile(const std::filesystem::path& path, const WriterInput& in, int s0, int n, FrameSource& frames,
                          std::size_t first, std::size_t end, Random& rng, const ProgressFn& progress) {
    ProgressEnd done(progress);
    auto fail = [](std::string reason) -> Result<Done> { return Failure{0, std::move(reason), {}, {}}; };
    const Layout& layout = *in.layout;
    const LineSetting& s = layout.setting;
    const int family = s.controllerType;
    ChannelMap map = family == 0 ? BuildMasterSlaveMap(layout, *in.lamps, s0, n, in.frame)
                                 : BuildSingleMap(layout, *in.lamps, s0, in.frame);
    FilePlan plan;
    plan.family = family;
    PlanParts(plan, s, map, s0, family == 0 ? n : 1);

    // Header and slave records.
    std::string reason;
    if (!(family == 0 ? WriteMasterSlaveHead(plan, s, s0, rng, reason) : WriteSingleHead(plan, in, s0, rng, reason))) {
        return fail(reason);
    }
    const std::size_t H = plan.head.size();
    if (family == 0) {
        WriteSizes(plan.head, H, plan.D, rng);
    } else {
        WriteSizes(plan.head, 0x0200, plan.D, rng);
    }

    ReplacingFile file(path);
    FileWriter& out = file.writer;
    out.Bytes(plan.head.bytes());
    if (!file.ok() || !out.Flush()) {
        // The reason the file could not be made, else the write's own.
        return fail(file.ok() || file.error().empty() ? FileFailure(path, out.error()).reason : file.error());
    }
    // The simple writer writes no frames for the bit-plane codes (the controllers of that
    // family do not take them); the file is the header alone.
    const std::vector<Part>& parts = plan.parts;
    const bool writeFrames = !(family == 2 && (parts[0].pack.chipCode == 2 || parts[0].pack.chipCode == 3));
    plan.ownLength = family == 2 && (parts[0].pack.chipCode == 102 || parts[0].pack.chipCode == 103);
    for (Part& part : plan.parts) {
        part.packedBound = PackedSizeBound(part.pack, family);  // once per file, not per frame
        plan.scratchSize = std::max(plan.scratchSize, part.packedBound);
    }

    const std::size_t frameCount = writeFrames && end > first ? end - first : 0;
    // Frames of one block size each: the file's size is known.
    if (!plan.ownLength) out.Reserve(H + std::uint64_t{plan.D} * frameCount);
    BatchWriter batches(plan, out, first, end, frameCount, progress);
    batches.Run(frames);
    if (batches.unreadable >= 0) {
        return fail("frame " + std::to_string(batches.unreadable + 1) + " cannot be read");
    }
    if (batches.failed) {
        return fail(FileFailure(path, batches.writeError.load()).reason);
    }
    if (auto committed = file.Commit(); !committed) {
        return fail(committed.failure().reason);
    }
    return Done{};
}

std::vector<MasterFile> PlanMasterFiles(const Layout& layout, const std::filesystem::path& chosen) {
    std::vector<MasterFile> files;
    const int S = layout.setting.SlaveCount();
    const auto& groups = layout.slaveGroups;
    // The chosen name without its extension: "show.led" gives show1.led, show2.led, ...; only
    // a real extension goes, never a folder of the path.
    const std::string text = chosen.string();
    const std::string ext = chosen.filename().extension().string();
    const std::string base = text.substr(0, text.size() - ext.size());
    int before = 0;
    for (std::size_t i = 0; i <= groups.size(); ++i) {
        const int count = i < groups.size() ? groups[i] : S - before;
        MasterFile m;
        m.path = groups.empty() ? chosen : std::filesystem::path(base + std::to_string(i + 1) + ".led");
        m.firstSlave = before;
        m.slaves = count;
        files.push_back(m);
        before += std::max(count, 0);
    }
    return files;
}

OutputResult OutputControllerFiles(const WriterInput& in, FrameSource& frames, std::size_t first, std::size_t end,
                                   const std::filesystem::path& chosen, Random& rng, const UiStrings& strings,
                                   const ProgressFn& progress,
                                   const std::function<void(const std::filesystem::path&)>& afterFile) {
    OutputResult result;
    if (in.layout->setting.lineCount == 0) {
        result.messages.push_back(strings.noLayout);
        return result;
    }
    result.ok = true;
    for (const MasterFile& m : PlanMasterFiles(*in.layout, chosen)) {
        if (m.slaves < 1) {
            continue;
        }
        if (auto written = WriteLedFile(m.path, in, m.firstSlave, m.slaves, frames, first, end, rng, progress); !written) {
            const std::string& why = written.message();
            result.messages.push_back(why.empty() ? std::string("Write file fail!") : "Write file fail! " + why);
            result.ok = false;
            continue;
        }
        result.files.push_back(m.path);
        OutputFileReport file;
        file.path = m.path;
        file.frames = end > first ? end - first : 0;
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(m.path, ec);
        file.bytes = ec ? 0 : size;
        result.report.files.push_back(std::move(file));
        if (afterFile) {
            afterFile(m.path);
        }
    }
    if (result.ok) {
        result.messages.push_back(strings.outputDone);
    }
    return result;
}

void OutputReport::NoteCardCopy(const std::filesystem::path& file, const CardCopyResult& copy) {
    cardSearched = true;
    cardFound = cardFound || copy.cardFound;
    if (!copy.copied) return;
    for (OutputFileReport& f : files) {
        if (f.path == file) f.cardCopy = copy.destination;
    }
}

std::vector<std::string> OutputReportLines(const OutputReport& report, const UiStrings& strings) {
    std::vector<std::string> lines;
    for (const OutputFileReport& f : report.files) {
        lines.push_back(Format(strings.outputFileLine.c_str(), f.path.string().c_str(), static_cast<unsigned long long>(f.frames),
                               static_cast<unsigned long long>(f.bytes)));
    }
    if (!report.cardSearched) {
        lines.push_back(strings.outputCardNotSearched);
    } else if (!report.cardFound) {
        lines.push_back(strings.outputNoCard);
    } else {
        for (const OutputFileReport& f : report.files) {
            lines.push_back(f.cardCopy.empty()
                                ? Format(strings.outputCardSkipped.c_str(), f.path.filename().string().c_str())
                                : Format(strings.outputCardWritten.c_str(), f.cardCopy.string().c_str()));
        }
    }
    return lines;
}

std::string OutputReportText(const OutputReport& report, const UiStrings& strings) {
    std::string text;
    for (const std::string& line : OutputReportLines(report, strings)) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    return text;
}

}  // namespace corv
