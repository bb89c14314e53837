#include "fusebind/Merge.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "base/Binary.h"
#include "base/FileIO.h"
#include "base/FileUtil.h"
#include "base/ProfileFile.h"
#include "base/Random.h"
#include "base/TempDir.h"
#include "formats/Archive.h"
#include "formats/FrameCountScramble.h"
#include "formats/Spread.h"
#include "lang/Language.h"
#include "lang/Localize.h"

namespace corv::fuse {

namespace fs = std::filesystem;

Messages LoadMessages(std::uint8_t language) {
    const bool zh = language == kLanguageSimplified || language == kLanguageTraditional;
    auto t = [&](const char* chinese, const char* english) {
        return zh ? LocalizeText(chinese, language) : std::string(english);
    };
    Messages m;
    m.caption = t("文件合并", "File Merge");
    m.tooFew = t("文件数目太少!", "File number is too small!");
    m.typeMismatch = t("文件类型不一致!", "File type is not consistent!");
    m.success = t("合并文件成功!", "Merge file is successfully!");
    m.failed = t("合并文件失败!", "Merge file failed!");
    m.notOurFormat = t("不是Veltranix格式文件!", " Not Veltranix format files!");
    m.openFailed = t("打开文件失败!", "Open file fail!");
    m.framesDiffer = t("帧数不一样!\r\n", "Frame number vary!\r\n");
    m.continueAsk = t("是否继续?", "Continue?");
    m.sizeDiffers = t("尺寸不一致!\r\n", "Size vary!\r\n");
    m.datPage = t("DAT文件合并", "Merge DAT File");
    m.vidPage = t("VID文件合并", "Merge VID File");
    m.datModeFrames = t("帧数增加,分控不变", "Frame manifold,Slave fixedness");
    m.datModeSlaves = t("分控增加,帧数不变", "Slave manifold,Frame fixedness");
    m.datModeLabel = t("合并方式:", "MergeMode:");
    m.vidModeLabel = t("排列方式:", "MergeMode:");
    m.horizontal = t("水平", "Horizontal");
    m.vertical = t("垂直", "Vertical");
    m.add = t("添加", "Add");
    m.remove = t("删除", "Delete");
    m.merge = t("合并", "Merge");
    m.warning = t("警告", "Warning");
    m.close = t("关闭", "Close");
    return m;
}

std::uint8_t LanguageFromIni(const fs::path& iniFile, const std::string& systemLocale) {
    const int configured = ProfileFile(iniFile, "Main").GetInt("Language", 0);
    return SettleLanguage(configured, systemLocale).code;
}

std::optional<std::string> CheckDatList(const std::vector<fs::path>& inputs, const Messages& m) {
    if (inputs.size() < 2) {
        return m.tooFew;
    }
    for (const auto& p : inputs) {
        std::string name = p.filename().string();
        for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".dat") != 0) {
            return m.typeMismatch;
        }
    }
    return std::nullopt;
}

namespace {

constexpr std::size_t kSector = kLedSector;
std::size_t RoundUp(std::size_t n) { return (n + kSector - 1) / kSector * kSector; }

struct DatHeader {
    std::uint8_t family = 0;
    std::uint32_t H = 0, D = 0;
    std::uint16_t slaves = 0;
    std::uint64_t size = 0;
    std::vector<std::uint8_t> first;  // the first sector
};

// Opens a controller data file and reads its first sector; "" on success, else the message.
std::string ReadDat(const fs::path& path, FileReader& in, DatHeader& h, const Messages& m) {
    if (!in.Open(path)) {
        return m.openFailed;
    }
    h.size = in.size();
    if (h.size < kSector) {
        return m.notOurFormat;
    }
    h.first.resize(kSector);
    if (!in.Bytes(h.first.data(), kSector) || h.first[2] != 'Q' || h.first[3] != 'Z') {
        return m.notOurFormat;
    }
    h.family = h.first[0];
    h.H = SpreadDataOffset(h.first.data());
    h.D = LoadU32(&h.first[8]) ^ LoadU32(&h.first[4]);
    h.slaves = LoadU16(&h.first[16]);
    return {};
}

MergeResult Fail(const std::string& message) {
    MergeResult r;
    r.message = message;
    return r;
}

MergeResult Cancelled() {
    MergeResult r;
    r.cancelled = true;
    return r;
}

// Makes the output the target when everything went well; removes it otherwise.
MergeResult Finish(ReplacingFile& out, bool ok, const Messages& m) {
    if (!ok || !out.Commit()) {
        return Fail(m.failed);
    }
    MergeResult r;
    r.ok = true;
    r.message = m.success;
    return r;
}

MergeResult DatFrames(const std::vector<fs::path>& inputs, const ChooseOutputFn& choose, const Messages& m,
                      const ProgressFn& progress) {
    const auto output = choose ? choose() : std::nullopt;
    if (!output) {
        return Cancelled();
    }
    FileReader first;
    DatHeader h0;
    if (auto e = ReadDat(inputs[0], first, h0, m); !e.empty()) {
        return Fail(e);
    }
    if (h0.H > h0.size || h0.D == 0) {
        return Fail(m.notOurFormat);
    }
    // Every input is checked before anything is written.
    for (std::size_t i = 1; i < inputs.size(); ++i) {
        FileReader in;
        DatHeader h;
        if (auto e = ReadDat(inputs[i], in, h, m); !e.empty()) {
            return Fail(e);
        }
        if (h.H != h0.H || h.D != h0.D || h.slaves != h0.slaves || h.H > h.size) {
            return Fail(m.failed);
        }
    }
    ReplacingFile out(*output);
    if (!out.ok()) {
        return Fail(m.openFailed);
    }
    bool ok = first.Seek(0) && ::lseek(first.fd(), 0, SEEK_SET) == 0 && out.writer.CopyFrom(first.fd(), h0.size);
    int shown = 30;
    ReportProgress(progress, shown);
    for (std::size_t i = 1; ok && i < inputs.size(); ++i) {
        FileReader in;
        DatHeader h;
        ok = ReadDat(inputs[i], in, h, m).empty() && ::lseek(in.fd(), h.H, SEEK_SET) == static_cast<off_t>(h.H) &&
             out.writer.CopyFrom(in.fd(), h.size - h.H);
        shown += 40;
        ReportProgress(progress, std::min(shown, 100));
    }
    return Finish(out, ok, m);
}

struct DatInput {
    FileReader in;
    std::vector<std::uint8_t> records;  // n x 26 bytes, still spread
    std::uint16_t slaves = 0;
    std::uint64_t words = 0;  // w
    std::size_t blockBytes = 0;  // b
    std::uint64_t dataStart = 0;
    std::uint64_t frames = 0;
};

MergeResult DatSlaves(const std::vector<fs::path>& inputs, const ChooseOutputFn& choose, const Messages& m,
                      const AskFn& ask, const ProgressFn& progress, std::uint64_t seed) {
    std::vector<std::unique_ptr<DatInput>> files;
    for (const auto& path : inputs) {
        auto f = std::make_unique<DatInput>();
        DatHeader h;
        if (auto e = ReadDat(path, f->in, h, m); !e.empty()) {
            return Fail(e);
        }
        if (h.family != 0) {
            return Fail(m.typeMismatch);
        }
        f->slaves = h.slaves;  // the whole 16-bit count: 256 slaves must not read as none
        if (f->slaves == 0) {
            return Fail(m.notOurFormat);
        }
        f->dataStart = RoundUp(SlaveRecordOffset(f->slaves - 1u) + kSpreadRecordBytes);
        if (f->dataStart > h.size) {
            return Fail(m.notOurFormat);
        }
        std::vector<std::uint8_t> sectors(static_cast<std::size_t>(f->dataStart));
        std::memcpy(sectors.data(), h.first.data(), kSector);
        if (sectors.size() > kSector && !f->in.Bytes(sectors.data() + kSector, sectors.size() - kSector)) {
            return Fail(m.notOurFormat);
        }
        for (std::size_t i = 0; i < f->slaves; ++i) {
            const std::uint8_t* rec = sectors.data() + SlaveRecordOffset(i);
            f->records.insert(f->records.end(), rec, rec + kSpreadRecordBytes);
            const std::uint32_t b1 = UnspreadByte(rec[2], rec[3]);
            const std::uint32_t b2 = UnspreadByte(rec[4], rec[5]);
            f->words += b1 + (b2 & 0x0F) * 256 + 1;
        }
        f->blockBytes = RoundUp(static_cast<std::size_t>(f->words * 4));
        f->frames = (h.size - f->dataStart) / f->blockBytes;
        if (!f->in.Seek(f->dataStart)) {
            return Fail(m.notOurFormat);
        }
        files.push_back(std::move(f));
    }
    std::uint64_t F = 0;
    bool differ = false;
    for (const auto& f : files) {
        differ = differ || f->frames != files[0]->frames;
        F = std::max(F, f->frames);
    }
    if (differ && !(ask && ask(m.framesDiffer + m.continueAsk))) {
        return Cancelled();
    }
    const auto output = choose ? choose() : std::nullopt;
    if (!output) {
        return Cancelled();
    }
    std::size_t totalSlaves = 0;
    std::uint64_t totalWords = 0;
    std::vector<std::uint8_t> records;
    for (const auto& f : files) {
        totalSlaves += f->slaves;
        totalWords += f->words;
        records.insert(records.end(), f->records.begin(), f->records.end());
    }
    if (totalSlaves > 0xFFFF) {
        return Fail(m.failed);
    }
    // Header: the head, then every record where master-slave files keep it (19 a sector, none
    // straddling two), zeros between them.
    ByteWriter head;
    head.Bytes("\x00JQZ", 4);
    head.Zeros(12);
    head.U16(static_cast<std::uint16_t>(totalSlaves));
    const std::size_t H =
        totalSlaves == 0 ? kSector : RoundUp(SlaveRecordOffset(totalSlaves - 1) + kSpreadRecordBytes);
    head.Zeros(H - head.size());
    for (std::size_t i = 0; i < totalSlaves; ++i) {
        std::memcpy(head.bytes().data() + SlaveRecordOffset(i), records.data() + kSpreadRecordBytes * i,
                    kSpreadRecordBytes);
    }
    const std::size_t D = RoundUp(static_cast<std::size_t>(totalWords * 4));
    Random rng(seed ? seed : Random::FromTime().Next64());
    std::uint8_t hi[2], lo[2];
    SpreadByte(static_cast<std::uint8_t>(H >> 8), rng, hi);
    SpreadByte(0, rng, lo);
    auto* p = head.bytes().data();
    p[4] = hi[0];
    p[5] = hi[1];
    p[6] = lo[0];
    p[7] = lo[1];
    StoreU32(p + 8, LoadU32(p + 4) ^ static_cast<std::uint32_t>(D));

    ReplacingFile out(*output);
    if (!out.ok()) {
        return Fail(m.openFailed);
    }
    out.writer.Bytes(head.bytes());
    std::vector<std::uint8_t> block(D);
    std::vector<std::uint8_t> chunk;
    bool ok = true;
    for (std::uint64_t i = 0; ok && i < F; ++i) {
        std::fill(block.begin(), block.end(), 0);
        std::size_t offset = 0;
        for (auto& f : files) {
            if (i < f->frames) {
                chunk.resize(f->blockBytes);
                ok = ok && f->in.Bytes(chunk.data(), chunk.size());
                // The tail past the file's own words belongs to the next file (or to nothing).
                if (offset < D) {
                    std::memcpy(block.data() + offset, chunk.data(), std::min(chunk.size(), D - offset));
                }
            }
            offset += static_cast<std::size_t>(f->words * 4);
        }
        out.writer.Bytes(block.data(), block.size());
        ok = ok && out.writer.ok();
        ReportProgress(progress, PercentDone(i + 1, F));
    }
    return Finish(out, ok, m);
}

struct VidInput {
    fs::path source;  // the plain file read (the extracted copy for archives)
    std::uint8_t header[10] = {};
    std::uint32_t width = 0, height = 0, frames = 0;
    std::uint64_t frameOffset = 0;
    std::size_t stride = 0;
    int fd = -1;
    ~VidInput() {
        if (fd >= 0) ::close(fd);
    }
};

std::string ReadVid(const fs::path& path, std::size_t index, const TempDir& temp, VidInput& v, const Messages& m) {
    v.source = path;
    {
        FileReader probe;
        std::uint8_t head[3] = {};
        if (!probe.Open(path)) {
            return m.openFailed;
        }
        if (probe.size() >= 3 && probe.Bytes(head, 3) && std::memcmp(head, "Rar", 3) == 0) {
            const fs::path folder = temp.path() / std::to_string(index);
            std::error_code ec;
            fs::create_directories(folder, ec);
            ExtractArchive(path, folder);
            v.source = folder / kVidEntryName;
        }
    }
    FileReader in;
    if (!in.Open(v.source)) {
        return m.openFailed;
    }
    std::uint32_t clips = 0;
    if (!in.Bytes(v.header, 10) || std::memcmp(v.header, "velt", 4) != 0 ||
        static_cast<std::int8_t>(v.header[4]) > 0 || !in.Skip(8) || !in.U32(clips) || clips < 1 || clips > 16) {
        return m.typeMismatch;
    }
    for (std::uint32_t c = 0; c < clips; ++c) {
        std::uint32_t w = 0, h = 0;
        if (!in.U32(w) || !in.U32(h)) {
            return m.typeMismatch;
        }
        if (c == 0) {
            v.width = w;
            v.height = h;
        }
    }
    std::uint32_t stored = 0;
    if (v.width < 1 || v.height < 1 || v.width > 32767 || v.height > 32767 || !in.Skip(260) || !in.U32(stored)) {
        return m.typeMismatch;
    }
    auto count = UnscrambleFrameCount(stored);
    v.stride = 3 * static_cast<std::size_t>(v.width) + v.width % 4;
    const std::uint64_t frameBytes = static_cast<std::uint64_t>(v.stride) * v.height;
    if (!count || *count > in.remaining() / frameBytes) {
        return m.typeMismatch;  // a count the file cannot hold: truncated or damaged
    }
    v.frames = *count;
    v.frameOffset = in.pos();
    v.fd = ::open(v.source.c_str(), O_RDONLY | O_CLOEXEC);
    return v.fd < 0 ? m.openFailed : std::string();
}

}  // namespace

MergeResult MergeDat(const std::vector<fs::path>& inputs, DatMode mode, const ChooseOutputFn& output,
                     const Messages& m, const AskFn& ask, const ProgressFn& progress, std::uint64_t seed) {
    if (auto e = CheckDatList(inputs, m)) {
        return Fail(*e);
    }
    return mode == DatMode::Frames ? DatFrames(inputs, output, m, progress)
                                   : DatSlaves(inputs, output, m, ask, progress, seed);
}

MergeResult MergeVid(const std::vector<fs::path>& inputs, VidMode mode, const ChooseOutputFn& choose,
                     const Messages& m, const AskFn& ask, const ProgressFn& progress) {
    if (inputs.size() < 2) {
        return Fail(m.tooFew);
    }
    TempDir temp("fusebind-");  // extracted archives; removed when the merge ends
    std::vector<std::unique_ptr<VidInput>> files;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        auto v = std::make_unique<VidInput>();
        if (auto e = ReadVid(inputs[i], i, temp, *v, m); !e.empty()) {
            return Fail(e);
        }
        files.push_back(std::move(v));
    }
    std::string warning;
    const VidInput& first = *files[0];
    for (const auto& f : files) {
        if (f->frames != first.frames && warning.find(m.framesDiffer) == std::string::npos) {
            warning = m.framesDiffer + warning;
        }
    }
    for (const auto& f : files) {
        if ((mode == VidMode::Horizontal && f->height != first.height) ||
            (mode == VidMode::Vertical && f->width != first.width)) {
            warning += m.sizeDiffers;
        }
    }
    if (!warning.empty() && !(ask && ask(warning + m.continueAsk))) {
        return Cancelled();
    }
    const auto output = choose ? choose() : std::nullopt;
    if (!output) {
        return Cancelled();
    }
    std::uint64_t W = 0, Hh = 0, F = 0;
    for (const auto& f : files) {
        if (mode == VidMode::Horizontal) {
            W += f->width;
            Hh = std::max<std::uint64_t>(Hh, f->height);
        } else {
            W = std::max<std::uint64_t>(W, f->width);
            Hh += f->height;
        }
        F = std::max<std::uint64_t>(F, f->frames);
    }
    if (W > 32767 || Hh > 32767 || F > kMaxFrameCount) {
        return Fail(m.failed);
    }
    const std::size_t stride = 3 * static_cast<std::size_t>(W) + W % 4;
    ByteWriter head;
    head.Bytes(files.back()->header, 10);
    head.U16(static_cast<std::uint16_t>(Hh));
    head.U16(static_cast<std::uint16_t>(W));
    head.U16(1);
    head.U16(1);
    head.U32(1);
    head.U32(static_cast<std::uint32_t>(W));
    head.U32(static_cast<std::uint32_t>(Hh));
    head.Zeros(260);
    head.U32(ScrambleFrameCount(static_cast<std::uint32_t>(F)));
    ReplacingFile out(*output);
    if (!out.ok()) {
        return Fail(m.openFailed);
    }
    out.writer.Bytes(head.bytes());
    std::vector<std::uint8_t> frame(stride * Hh);
    std::vector<std::uint8_t> in;
    bool ok = true;
    for (std::uint64_t i = 0; ok && i < F; ++i) {
        std::fill(frame.begin(), frame.end(), 0);
        std::size_t colOffset = 0;        // horizontal: bytes from the left
        std::size_t rowsAbove = 0;        // vertical: picture rows above this file
        for (const auto& f : files) {
            if (i < f->frames) {
                in.resize(f->stride * f->height);
                ok = ok && ReadAt(f->fd, in.data(), in.size(), f->frameOffset + i * in.size());
                for (std::size_t r = 0; ok && r < f->height; ++r) {
                    // Stored rows run bottom-up: horizontally files share the bottom row;
                    // vertically the first file is on top.
                    const std::size_t outRow = mode == VidMode::Horizontal ? r : Hh - rowsAbove - f->height + r;
                    std::memcpy(frame.data() + outRow * stride + colOffset, in.data() + r * f->stride,
                                3 * static_cast<std::size_t>(f->width));
                }
            }
            if (mode == VidMode::Horizontal) {
                colOffset += 3 * static_cast<std::size_t>(f->width);
            } else {
                rowsAbove += f->height;
            }
        }
        out.writer.Bytes(frame.data(), frame.size());
        ok = ok && out.writer.ok();
        ReportProgress(progress, PercentDone(i + 1, F));
    }
    return Finish(out, ok, m);
}

}  // namespace corv::fuse
