#include "fusebind/Merge.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
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
#include "lang/Render.h"
#include "lang/messages/FusebindMessages.h"
#include "lang/messages/CommonMessages.h"

namespace corv::fuse {

namespace fs = std::filesystem;

Messages LoadMessages(std::uint8_t language) {
    Messages m;
    m.caption = Render(msg::fusebind::kMergeCaption, language);
    m.tooFew = Render(msg::fusebind::kTooFewFiles, language);
    m.typeMismatch = Render(msg::fusebind::kFileTypesDiffer, language);
    m.success = Render(msg::fusebind::kMergeSucceeded, language);
    m.failed = Render(msg::fusebind::kMergeFailed, language);
    m.notOurFormat = Render(msg::fusebind::kNotOurFormat, language);
    m.openFailed = Render(msg::common::kOpenFailed, language);
    m.framesDiffer = Render(msg::fusebind::kFrameCountsDiffer, language);
    m.continueAsk = Render(msg::fusebind::kContinueQuestion, language);
    m.sizeDiffers = Render(msg::fusebind::kSizesDiffer, language);
    m.datPage = Render(msg::fusebind::kDatPageTitle, language);
    m.vidPage = Render(msg::fusebind::kVidPageTitle, language);
    m.datModeFrames = Render(msg::fusebind::kDatModeFrames, language);
    m.datModeSlaves = Render(msg::fusebind::kDatModeSlaves, language);
    m.datModeLabel = Render(msg::fusebind::kDatModeLabel, language);
    m.vidModeLabel = Render(msg::fusebind::kVidModeLabel, language);
    m.horizontal = Render(msg::fusebind::kHorizontal, language);
    m.vertical = Render(msg::common::kVertical, language);
    m.add = Render(msg::common::kAdd, language);
    m.remove = Render(msg::common::kDeleteText, language);
    m.merge = Render(msg::fusebind::kMergeButton, language);
    m.warning = Render(msg::fusebind::kWarningTitle, language);
    m.close = Render(msg::common::kClose, language);
    m.partialBlock = Render(msg::fusebind::kPartialFrameBlock, language);
    m.noWholeFrame = Render(msg::fusebind::kNoWholeFrame, language);
    m.badChecksum = Render(msg::fusebind::kBadChecksum, language);
    m.moreBadChecksums = Render(msg::fusebind::kMoreBadChecksums, language);
    m.framesTooLong = Render(msg::fusebind::kFramesTooLong, language);
    m.noSpace = Render(msg::fusebind::kNoFreeSpace, language);
    m.pictureTooBig = Render(msg::fusebind::kPictureTooBig, language);
    m.tooManySlaves = Render(msg::fusebind::kTooManySlaves, language);
    m.shapeDiffers = Render(msg::fusebind::kSlaveShapeDiffers, language);
    m.entryMissing = Render(msg::fusebind::kArchiveEntryMissing, language);
    m.tooManyCells = Render(msg::fusebind::kTooManyCells, language);
    m.outputIsInput = Render(msg::fusebind::kOutputIsInput, language);
    return m;
}

std::string FillIn(const std::string& text, const std::vector<std::string>& values) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto k = static_cast<std::size_t>(text[i + 1] - '1');
            if (k < values.size()) {
                out += values[k];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string SizeText(std::uint64_t bytes) {
    if (bytes < 1024) {
        return std::to_string(bytes) + " bytes";
    }
    static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    double value = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::optional<std::uint64_t> FreeSpaceOf(const fs::path& folder) {
    struct statvfs st {};
    if (::statvfs(folder.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.f_bavail) * static_cast<std::uint64_t>(st.f_frsize);
}

std::uint8_t LanguageFromIni(const fs::path& iniFile, const std::string& systemLocale) {
    const int configured = ProfileFile(iniFile, "Main").GetInt("Language", 0);
    return SettleLanguage(configured, systemLocale).code;
}

namespace {

// "dat" or "led" for a name ending so (any case), else "".
std::string DataFileKind(const fs::path& p) {
    std::string name = p.filename().string();
    for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* kind : {"dat", "led"}) {
        if (name.size() >= 4 && name.compare(name.size() - 4, 4, std::string(".") + kind) == 0) {
            return kind;
        }
    }
    return {};
}

}  // namespace

std::optional<std::string> CheckDatList(const std::vector<fs::path>& inputs, const Messages& m) {
    if (inputs.size() < 2) {
        return m.tooFew;
    }
    // The data files the program writes (".led") and those of older tools (".dat") hold the
    // same format; one merge takes files of one kind.
    const std::string kind = DataFileKind(inputs.front());
    for (const auto& p : inputs) {
        if (kind.empty() || DataFileKind(p) != kind) {
            return m.typeMismatch;
        }
    }
    return std::nullopt;
}

std::string DatExtension(const std::vector<fs::path>& inputs) {
    const std::string kind = inputs.empty() ? std::string() : DataFileKind(inputs.front());
    for (const auto& p : inputs) {
        if (DataFileKind(p) != kind) {
            return "dat";
        }
    }
    return kind.empty() ? std::string("dat") : kind;
}

namespace {

constexpr std::size_t kSector = kLedSector;
std::uint64_t RoundUp(std::uint64_t n) { return (n + kSector - 1) / kSector * kSector; }

// Output is assembled in pieces of about this size, whatever the sizes the inputs claim.
constexpr std::size_t kPieceBytes = 4u << 20;
// Runs of input copied between two progress reports.
constexpr std::uint64_t kCopyStep = 64u << 20;

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

// A failure message followed by its detail.
std::string With(const std::string& message, const std::string& detail) {
    return detail.empty() ? message : message + " " + detail;
}

// Opens an input for reading; the failure ("PATH: reason") when it is missing, unreadable or
// not a regular file (a pipe is refused before it is opened, which would wait for a writer).
Result<Done> OpenInput(const fs::path& path, FileReader& in) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return FileFailure(path, errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return FileFailure(path, std::string(S_ISDIR(st.st_mode) ? "is a folder, not a file" : "is not a regular file"));
    }
    errno = 0;
    if (!in.Open(path)) {
        return FileFailure(path, errno);
    }
    return Done{};
}

// Reads exactly n bytes of an input at `offset`; the failure ("PATH: reason") when it cannot.
Result<Done> ReadInput(const fs::path& path, int fd, void* out, std::size_t n, std::uint64_t offset) {
    errno = 0;
    if (ReadAt(fd, out, n, offset)) {
        return Done{};
    }
    if (errno != 0) {
        return FileFailure(path, errno);
    }
    return FileFailure(path, std::string("the file ended early"));
}

// The smallest data offset that leaves room for `slaves` records of a master-slave file.
std::uint64_t RecordsEnd(std::size_t slaves) {
    return slaves == 0 ? kSector : RoundUp(SlaveRecordOffset(slaves - 1) + kSpreadRecordBytes);
}

// The most slaves a master-slave file holds: the data offset is stored in 16 bits.
std::size_t MostSlaves() {
    std::size_t n = 1;
    while (RecordsEnd(n + 1) <= 0xFFFF) ++n;
    return n;
}

// A slave record (spread, 26 bytes) keeps in its 13th byte the low byte of the sum of the 12
// before it.
bool RecordChecksumOk(const std::uint8_t* spread) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < 12; ++i) {
        sum += UnspreadByte(spread[2 * i], spread[2 * i + 1]);
    }
    return static_cast<std::uint8_t>(sum) == UnspreadByte(spread[24], spread[25]);
}

// Warns of the records with a wrong checksum: files from the field carry them, and they are
// merged as they are, but never without a word.
void WarnChecksums(const fs::path& path, const std::vector<const std::uint8_t*>& records, const Messages& m,
                   std::vector<std::string>& warnings) {
    constexpr std::size_t kNamed = 20;  // more than this are counted, not listed
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (RecordChecksumOk(records[i])) {
            continue;
        }
        if (++wrong <= kNamed) {
            warnings.push_back(FillIn(m.badChecksum, {path.string(), std::to_string(i + 1)}));
        }
    }
    if (wrong > kNamed) {
        warnings.push_back(FillIn(m.moreBadChecksums, {path.string(), std::to_string(wrong - kNamed)}));
    }
}

// Whole frame blocks in `dataBytes`; a partial block at the end is dropped with a warning, and
// a file with data but not one whole block is refused (the message is returned).
std::string WholeFrames(const fs::path& path, std::uint64_t dataBytes, std::uint64_t blockBytes,
                        std::uint64_t& frames, const Messages& m, std::vector<std::string>& warnings) {
    frames = dataBytes / blockBytes;
    if (dataBytes % blockBytes == 0) {
        return {};
    }
    if (frames == 0) {
        return With(m.failed, FillIn(m.noWholeFrame, {path.string()}));
    }
    warnings.push_back(FillIn(m.partialBlock, {path.string(), std::to_string(frames)}));
    return {};
}

struct DatHeader {
    std::uint8_t family = 0;
    std::uint32_t H = 0, D = 0;
    std::uint16_t slaves = 0;
    std::uint64_t size = 0;
    std::vector<std::uint8_t> first;  // the first sector
};

// Opens a controller data file and reads its first sector; "" on success, else the message.
std::string ReadDat(const fs::path& path, FileReader& in, DatHeader& h, const Messages& m) {
    if (auto opened = OpenInput(path, in); !opened) {
        return With(m.openFailed, opened.failure().reason);
    }
    h.size = in.size();
    if (h.size < kSector) {
        return With(m.notOurFormat, path.string());
    }
    h.first.resize(kSector);
    if (!in.Bytes(h.first.data(), kSector) || h.first[2] != 'Q' || h.first[3] != 'Z') {
        return With(m.notOurFormat, path.string());
    }
    h.family = h.first[0];
    h.H = SpreadDataOffset(h.first.data());
    h.D = LoadU32(&h.first[8]) ^ LoadU32(&h.first[4]);
    h.slaves = LoadU16(&h.first[16]);
    return {};
}

// An output that is one of the inputs (the same file, through links or another spelling) is
// refused before anything is written: the merge reads the inputs while it writes; "" or the message.
std::string OutputNotAnInput(const fs::path& output, const std::vector<fs::path>& inputs, const Messages& m) {
    if (const auto input = OutputAmongInputs(output, inputs)) {
        return With(m.failed, FillIn(m.outputIsInput, {output.string(), input->string()}));
    }
    return {};
}

// The output, opened and checked for room before a byte of it is written; "" or the message.
std::string OpenOutput(ReplacingFile& out, const fs::path& named, std::uint64_t bytes, const FreeSpaceFn& freeSpace,
                       const Messages& m) {
    if (!out.ok()) {
        return With(m.openFailed, out.error());
    }
    const auto target = ResolveWriteTarget(named);
    fs::path folder = target ? target->parent_path() : named.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const auto free = freeSpace ? freeSpace(folder) : FreeSpaceOf(folder);
    if (free && *free < bytes) {
        return With(m.failed, FillIn(m.noSpace, {named.string(), SizeText(bytes), SizeText(*free)}));
    }
    out.writer.Reserve(bytes);
    return {};
}

// Makes the output the target when everything went well; removes it otherwise. `readError`
// is the reason an input could not be read, when that stopped the merge.
MergeResult Finish(ReplacingFile& out, const std::string& readError, const Messages& m,
                   std::vector<std::string> warnings) {
    MergeResult r;
    r.warnings = std::move(warnings);
    if (!readError.empty()) {
        r.message = With(m.failed, readError);
    } else if (auto committed = out.Commit(); !committed) {
        r.message = With(m.failed, committed.failure().reason);
    } else {
        r.ok = true;
        r.message = m.success;
    }
    return r;
}

MergeResult WithWarnings(MergeResult r, std::vector<std::string> warnings) {
    r.warnings = std::move(warnings);
    return r;
}

struct DatFramesInput {
    fs::path path;
    FileReader in;
    DatHeader h;
    std::uint64_t frames = 0;
};

MergeResult DatFrames(const std::vector<fs::path>& inputs, const ChooseOutputFn& choose, const Messages& m,
                      const ProgressFn& progress, const FreeSpaceFn& freeSpace) {
    const auto output = choose ? choose() : std::nullopt;
    if (!output) {
        return Cancelled();
    }
    if (auto e = OutputNotAnInput(*output, inputs, m); !e.empty()) {
        return Fail(e);
    }
    std::vector<std::string> warnings;
    // Every input is checked before anything is written.
    std::vector<std::unique_ptr<DatFramesInput>> files;
    for (const auto& path : inputs) {
        auto f = std::make_unique<DatFramesInput>();
        f->path = path;
        DatHeader& h = f->h;
        if (auto e = ReadDat(path, f->in, h, m); !e.empty()) {
            return WithWarnings(Fail(e), warnings);
        }
        if (files.empty()) {
            if (h.H < kLedHeadBytes || h.H > h.size || h.D == 0) {
                return WithWarnings(Fail(With(m.notOurFormat, path.string())), warnings);
            }
        } else {
            const DatHeader& h0 = files[0]->h;
            if (h.H != h0.H || h.D != h0.D || h.slaves != h0.slaves || h.H > h.size) {
                return WithWarnings(Fail(With(m.failed, FillIn(m.shapeDiffers, {path.string()}))), warnings);
            }
        }
        // The slave records inside the header (the first file's are the ones merged).
        std::vector<std::uint8_t> head(h.H);
        if (auto read = ReadInput(path, f->in.fd(), head.data(), head.size(), 0); !read) {
            return WithWarnings(Fail(With(m.openFailed, read.failure().reason)), warnings);
        }
        std::vector<const std::uint8_t*> records;
        for (std::size_t i = 0; i < h.slaves; ++i) {
            const std::size_t at = h.family == 0 ? SlaveRecordOffset(i) : kLedHeadBytes + kSpreadRecordBytes * i;
            if (at + kSpreadRecordBytes > head.size()) {
                break;
            }
            records.push_back(head.data() + at);
        }
        WarnChecksums(path, records, m, warnings);
        if (auto e = WholeFrames(path, h.size - h.H, h.D, f->frames, m, warnings); !e.empty()) {
            return WithWarnings(Fail(e), warnings);
        }
        files.push_back(std::move(f));
    }
    const std::uint64_t D = files[0]->h.D;
    std::uint64_t total = files[0]->h.H;
    for (const auto& f : files) {
        total += f->frames * D;
    }
    ReplacingFile out(*output);
    if (auto e = OpenOutput(out, *output, total, freeSpace, m); !e.empty()) {
        return WithWarnings(Fail(e), warnings);
    }
    // The first file whole (its header is the output's), then the frame blocks of the others;
    // a partial block at the end of any of them is left out. Each is one run of its bytes,
    // copied in large pieces (inside the kernel where the system can), never frame by frame.
    std::uint64_t done = 0;
    for (std::size_t k = 0; out.writer.ok() && k < files.size(); ++k) {
        DatFramesInput& f = *files[k];
        std::uint64_t from = k == 0 ? 0 : f.h.H;
        std::uint64_t left = (k == 0 ? f.h.H : 0) + f.frames * D;
        while (left > 0 && out.writer.ok()) {
            const std::uint64_t step = std::min(left, kCopyStep);
            out.writer.CopyRange(f.in.fd(), from, step);
            from += step;
            left -= step;
            done += step;
            ReportProgress(progress, PercentDone(done, total));
        }
    }
    return Finish(out, {}, m, std::move(warnings));
}

struct DatInput {
    fs::path path;
    FileReader in;
    std::vector<std::uint8_t> records;  // n x 26 bytes, still spread
    std::uint16_t slaves = 0;
    std::uint64_t words = 0;       // w
    std::uint64_t blockBytes = 0;  // b
    std::uint64_t dataStart = 0;
    std::uint64_t frames = 0;
    std::uint64_t offset = 0;  // where its words start in an output block
};

MergeResult DatSlaves(const std::vector<fs::path>& inputs, const ChooseOutputFn& choose, const Messages& m,
                      const AskFn& ask, const ProgressFn& progress, std::uint64_t seed,
                      const FreeSpaceFn& freeSpace) {
    std::vector<std::string> warnings;
    std::vector<std::unique_ptr<DatInput>> files;
    for (const auto& path : inputs) {
        auto f = std::make_unique<DatInput>();
        f->path = path;
        DatHeader h;
        if (auto e = ReadDat(path, f->in, h, m); !e.empty()) {
            return WithWarnings(Fail(e), warnings);
        }
        if (h.family != 0) {
            return WithWarnings(Fail(With(m.typeMismatch, path.string())), warnings);
        }
        f->slaves = h.slaves;  // the whole 16-bit count: 256 slaves must not read as none
        if (f->slaves == 0) {
            return WithWarnings(Fail(With(m.notOurFormat, path.string())), warnings);
        }
        // The records are read only when the file really holds them.
        f->dataStart = RecordsEnd(f->slaves);
        if (f->dataStart > h.size) {
            return WithWarnings(Fail(With(m.notOurFormat, path.string())), warnings);
        }
        std::vector<std::uint8_t> sectors(static_cast<std::size_t>(f->dataStart));
        std::memcpy(sectors.data(), h.first.data(), kSector);
        if (sectors.size() > kSector) {
            if (auto read = ReadInput(path, f->in.fd(), sectors.data() + kSector, sectors.size() - kSector, kSector);
                !read) {
                return WithWarnings(Fail(With(m.openFailed, read.failure().reason)), warnings);
            }
        }
        std::vector<const std::uint8_t*> records;
        for (std::size_t i = 0; i < f->slaves; ++i) {
            const std::uint8_t* rec = sectors.data() + SlaveRecordOffset(i);
            records.push_back(rec);
            f->records.insert(f->records.end(), rec, rec + kSpreadRecordBytes);
            const std::uint32_t b1 = UnspreadByte(rec[2], rec[3]);
            const std::uint32_t b2 = UnspreadByte(rec[4], rec[5]);
            f->words += b1 + (b2 & 0x0F) * 256 + 1;
        }
        WarnChecksums(path, records, m, warnings);
        f->blockBytes = RoundUp(f->words * 4);
        if (auto e = WholeFrames(path, h.size - f->dataStart, f->blockBytes, f->frames, m, warnings); !e.empty()) {
            return WithWarnings(Fail(e), warnings);
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
        return WithWarnings(Cancelled(), warnings);
    }
    const auto output = choose ? choose() : std::nullopt;
    if (!output) {
        return WithWarnings(Cancelled(), warnings);
    }
    if (auto e = OutputNotAnInput(*output, inputs, m); !e.empty()) {
        return WithWarnings(Fail(e), warnings);
    }
    std::size_t totalSlaves = 0;
    std::uint64_t totalWords = 0;
    for (auto& f : files) {
        f->offset = totalWords * 4;
        totalSlaves += f->slaves;
        totalWords += f->words;
    }
    const std::size_t most = MostSlaves();
    if (totalSlaves > most) {
        return WithWarnings(
            Fail(With(m.failed, FillIn(m.tooManySlaves, {std::to_string(totalSlaves), std::to_string(most)}))),
            warnings);
    }
    // Header: the head, then every record where master-slave files keep it (19 a sector, none
    // straddling two), zeros between them.
    const auto H = static_cast<std::size_t>(RecordsEnd(totalSlaves));
    const std::uint64_t D = RoundUp(totalWords * 4);
    ByteWriter head;
    head.Bytes("\x00JQZ", 4);
    head.Zeros(12);
    head.U16(static_cast<std::uint16_t>(totalSlaves));
    head.Zeros(H - head.size());
    std::size_t slave = 0;
    for (const auto& f : files) {
        for (std::size_t i = 0; i < f->slaves; ++i, ++slave) {
            std::memcpy(head.bytes().data() + SlaveRecordOffset(slave), f->records.data() + kSpreadRecordBytes * i,
                        kSpreadRecordBytes);
        }
    }
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
    if (auto e = OpenOutput(out, *output, H + F * D, freeSpace, m); !e.empty()) {
        return WithWarnings(Fail(e), warnings);
    }
    out.writer.Bytes(head.bytes());
    // Each output block is made a piece at a time. Every file's block lands at its offset, the
    // tail past its own words included: that belongs to the next file, which overwrites it
    // with its own block, or to nothing when the next file has no such frame.
    const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(D, kPieceBytes));
    std::vector<std::uint8_t> buffer(piece);
    std::string readError;
    for (std::uint64_t i = 0; readError.empty() && out.writer.ok() && i < F; ++i) {
        for (std::uint64_t from = 0; readError.empty() && from < D; from += piece) {
            const std::uint64_t to = std::min(D, from + piece);
            std::fill(buffer.begin(), buffer.end(), 0);
            for (const auto& f : files) {
                if (i >= f->frames) {
                    continue;
                }
                const std::uint64_t a = std::max(from, f->offset);
                const std::uint64_t b = std::min(to, f->offset + f->blockBytes);
                if (a >= b) {
                    continue;
                }
                if (auto read = ReadInput(f->path, f->in.fd(), buffer.data() + (a - from), static_cast<std::size_t>(b - a),
                                          f->dataStart + i * f->blockBytes + (a - f->offset));
                    !read) {
                    readError = read.failure().reason;
                    break;
                }
            }
            out.writer.Bytes(buffer.data(), static_cast<std::size_t>(to - from));
        }
        ReportProgress(progress, PercentDone(i + 1, F));
    }
    return Finish(out, readError, m, std::move(warnings));
}

// A video project file's head: "velt", version and size words (10 + 8 bytes), the clip count,
// the clips' sizes, 260 bytes, the scrambled frame count.
constexpr std::size_t kVidHeadBytes = 10 + 8 + 4 + 8 + 260 + 4;

struct VidInput {
    fs::path path;    // as named
    fs::path source;  // the plain file read (the extracted copy for archives)
    FileReader in;
    std::uint8_t header[10] = {};
    std::uint32_t width = 0, height = 0, frames = 0;
    std::uint64_t frameOffset = 0;
    std::uint64_t stride = 0;
    std::uint64_t frameBytes = 0;
};

std::string ReadVid(const fs::path& path, std::size_t index, const TempDir& temp, VidInput& v, const Messages& m) {
    v.path = path;
    v.source = path;
    {
        FileReader probe;
        std::uint8_t head[3] = {};
        if (auto opened = OpenInput(path, probe); !opened) {
            return With(m.openFailed, opened.failure().reason);
        }
        if (probe.size() >= 3 && probe.Bytes(head, 3) && std::memcmp(head, "Rar", 3) == 0) {
            const fs::path folder = temp.path() / std::to_string(index);
            std::error_code ec;
            fs::create_directories(folder, ec);
            const ExtractResult x = ExtractArchive(path, folder);
            if (!x.ok) {
                return With(m.openFailed, path.string() + ": " + x.error);
            }
            if (std::find(x.files.begin(), x.files.end(), kVidEntryName) == x.files.end()) {
                return With(m.openFailed, FillIn(m.entryMissing, {path.string(), kVidEntryName}));
            }
            v.source = folder / kVidEntryName;
        }
    }
    FileReader& in = v.in;
    if (auto opened = OpenInput(v.source, in); !opened) {
        return With(m.openFailed, opened.failure().reason);
    }
    const std::string bad = With(m.typeMismatch, path.string());
    std::uint32_t clips = 0;
    if (!in.Bytes(v.header, 10) || std::memcmp(v.header, "velt", 4) != 0 ||
        static_cast<std::int8_t>(v.header[4]) > 0 || !in.Skip(8) || !in.U32(clips) || clips < 1 || clips > 16) {
        return bad;
    }
    for (std::uint32_t c = 0; c < clips; ++c) {
        std::uint32_t w = 0, h = 0;
        if (!in.U32(w) || !in.U32(h)) {
            return bad;
        }
        if (c == 0) {
            v.width = w;
            v.height = h;
        }
    }
    std::uint32_t stored = 0;
    if (v.width < 1 || v.height < 1 || v.width > 32767 || v.height > 32767 || !in.Skip(260) || !in.U32(stored)) {
        return bad;
    }
    const auto count = UnscrambleFrameCount(stored);
    if (!count) {
        return bad;
    }
    v.stride = 3 * static_cast<std::uint64_t>(v.width) + v.width % 4;
    v.frameBytes = v.stride * v.height;
    // The frames claimed must be there; a file without frames claims nothing to read.
    if (*count > in.remaining() / v.frameBytes) {
        return With(m.typeMismatch, FillIn(m.framesTooLong, {path.string(), std::to_string(*count),
                                                              std::to_string(v.width), std::to_string(v.height),
                                                              std::to_string(in.remaining())}));
    }
    v.frames = *count;
    v.frameOffset = in.pos();
    return {};
}

}  // namespace

MergeResult MergeDat(const std::vector<fs::path>& inputs, DatMode mode, const ChooseOutputFn& output,
                     const Messages& m, const AskFn& ask, const ProgressFn& progress, std::uint64_t seed,
                     const FreeSpaceFn& freeSpace) {
    if (auto e = CheckDatList(inputs, m)) {
        return Fail(*e);
    }
    return mode == DatMode::Frames ? DatFrames(inputs, output, m, progress, freeSpace)
                                   : DatSlaves(inputs, output, m, ask, progress, seed, freeSpace);
}

MergeResult MergeVid(const std::vector<fs::path>& inputs, VidMode mode, const ChooseOutputFn& choose,
                     const Messages& m, const AskFn& ask, const ProgressFn& progress, const FreeSpaceFn& freeSpace) {
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
    if (auto e = OutputNotAnInput(*output, inputs, m); !e.empty()) {
        return Fail(e);
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
    if (W > 32767 || Hh > 32767) {
        return Fail(With(m.failed, FillIn(m.pictureTooBig, {std::to_string(W), std::to_string(Hh)})));
    }
    // A picture the program would not open is not made, however few frames it has.
    if (W * Hh > kMaxPictureCells) {
        return Fail(With(m.failed, FillIn(m.tooManyCells, {std::to_string(W), std::to_string(Hh), std::to_string(W * Hh),
                                                           std::to_string(kMaxPictureCells)})));
    }
    if (F > kMaxFrameCount) {
        return Fail(m.failed);
    }
    const std::uint64_t stride = 3 * W + W % 4;
    const std::uint64_t frameBytes = stride * Hh;
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
    // W, Hh < 32768 and F < 2^24: the size fits 64 bits.
    if (auto e = OpenOutput(out, *output, kVidHeadBytes + F * frameBytes, freeSpace, m); !e.empty()) {
        return Fail(e);
    }
    out.writer.Bytes(head.bytes());
    // A band of output rows at a time; every input gives the rows of its own that fall in the band,
    // which lie one after the other in its frame.
    const std::uint64_t bandRows = std::max<std::uint64_t>(1, kPieceBytes / stride);
    std::vector<std::uint8_t> band(static_cast<std::size_t>(std::min(bandRows, Hh) * stride));
    std::vector<std::uint8_t> rows;
    std::string readError;
    for (std::uint64_t i = 0; readError.empty() && out.writer.ok() && i < F; ++i) {
        for (std::uint64_t o0 = 0; readError.empty() && o0 < Hh; o0 += bandRows) {
            const std::uint64_t o1 = std::min(Hh, o0 + bandRows);
            std::fill(band.begin(), band.end(), 0);
            std::uint64_t colOffset = 0;  // horizontal: bytes from the left
            std::uint64_t rowsAbove = 0;  // vertical: picture rows above this file
            for (const auto& f : files) {
                // Stored rows run bottom-up: horizontally files share the bottom row; vertically
                // the first file is on top. Output row `base + r` is the file's row r.
                const std::uint64_t base = mode == VidMode::Horizontal ? 0 : Hh - rowsAbove - f->height;
                const std::uint64_t r0 = std::max(o0, base) - base;        // its first row in the band
                const std::uint64_t end = std::min(o1, base + f->height);  // the output row after its last
                if (i < f->frames && base + r0 < end) {
                    const std::uint64_t n = end - base - r0;
                    rows.resize(static_cast<std::size_t>(n * f->stride));
                    if (auto read = ReadInput(f->source, f->in.fd(), rows.data(), rows.size(),
                                              f->frameOffset + i * f->frameBytes + r0 * f->stride);
                        !read) {
                        readError = read.failure().reason;
                        break;
                    }
                    for (std::uint64_t k = 0; k < n; ++k) {
                        std::memcpy(band.data() + (base + r0 + k - o0) * stride + colOffset,
                                    rows.data() + k * f->stride, 3 * static_cast<std::size_t>(f->width));
                    }
                }
                if (mode == VidMode::Horizontal) {
                    colOffset += 3 * static_cast<std::uint64_t>(f->width);
                } else {
                    rowsAbove += f->height;
                }
            }
            out.writer.Bytes(band.data(), static_cast<std::size_t>((o1 - o0) * stride));
            ReportProgress(progress, PercentDone(i * Hh + o1, F * Hh));
        }
    }
    return Finish(out, readError, m, {});
}

}  // namespace corv::fuse
