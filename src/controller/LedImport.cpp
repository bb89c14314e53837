#include "controller/LedImport.h"

#include <algorithm>
#include <cctype>

#include "base/Binary.h"
#include "base/FileIO.h"
#include "base/FileUtil.h"
#include "controller/ChannelMap.h"
#include "controller/LedFile.h"

namespace corv {

namespace {

LedFileInfo::Record DecodeRecord(const std::uint8_t* spread, int family) {
    LedFileInfo::Record r;
    unsigned sum = 0;
    for (std::size_t i = 0; i < 13; ++i) {
        r.bytes[i] = UnspreadByte(spread[2 * i], spread[2 * i + 1]);
        if (i < 12) sum += r.bytes[i];
    }
    r.checksumOk = static_cast<std::uint8_t>(sum) == r.bytes[12];
    r.chipCode = r.bytes[0];
    r.clockByte = r.bytes[3];
    if (family == 0) {
        r.dataWords = (((r.bytes[2] & 0x0F) << 8) | r.bytes[1]) + 1;
        r.ports = r.bytes[2] >> 4;
    } else {
        r.dataWords = r.bytes[1] | (r.bytes[2] << 8);
        r.ports = (r.bytes[4] >> 4) & 7;
    }
    return r;
}

}  // namespace

Result<LedFileInfo> ReadLedInfo(const std::filesystem::path& path) {
    auto fail = [](const std::string& why) -> Result<LedFileInfo> { return Failure{0, why, why, {}, nullptr}; };
    LedFileInfo info;
    FileReader in;
    if (auto opened = in.Open(path); !opened) return Failure{0, "Open file fail!", opened.failure().reason, {}, nullptr};
    info.fileSize = in.size();
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(in.size(), 64 * 1024)));
    if (head.size() < 44 || !in.Bytes(head.data(), head.size()) || head[2] != 'Q' || head[3] != 'Z') {
        return fail("not a controller data file");
    }
    info.family = head[0];
    const int family = info.family == 0 ? 0 : (info.family == 5 ? 2 : 1);
    info.dataOffset = SpreadDataOffset(head.data());
    info.blockSize = LoadU32(&head[8]) ^ LoadU32(&head[4]);
    info.slaveCount = LoadU16(&head[16]);
    std::size_t pos = kLedHeadBytes;  // the end of the records read
    for (std::uint16_t i = 0; i < info.slaveCount; ++i) {
        const std::size_t at = family == 0 ? SlaveRecordOffset(i) : pos;
        if (at + kSpreadRecordBytes > head.size()) return fail("the slave records run past the end of the file");
        info.records.push_back(DecodeRecord(&head[at], family));
        pos = at + kSpreadRecordBytes;
    }
    if (info.blockSize == 0 || info.dataOffset < pos || info.dataOffset > info.fileSize) {
        return fail("the data offset or block size cannot be true");
    }
    info.frameCount = (info.fileSize - info.dataOffset) / info.blockSize;
    info.trailingBytes = (info.fileSize - info.dataOffset) % info.blockSize;
    if (family == 0) {
        std::uint64_t words = 0;
        for (const auto& r : info.records) words += static_cast<std::uint64_t>(r.dataWords);
        info.recordsBlockSize = (4 * words + 511) / 512 * 512;
    }
    return info;
}

std::vector<int> LedFileInfo::WrongChecksums() const {
    std::vector<int> wrong;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!records[i].checksumOk) wrong.push_back(static_cast<int>(i) + 1);
    }
    return wrong;
}

int MasterIndexFromPath(const std::filesystem::path& path) {
    const std::string s = path.string();
    if (s.size() < 4) {
        return 0;
    }
    const std::string stem = s.substr(0, s.size() - 4);
    int digits = 0;
    while (digits < 3 && digits < static_cast<int>(stem.size()) &&
           std::isdigit(static_cast<unsigned char>(stem[stem.size() - 1 - static_cast<std::size_t>(digits)]))) {
        ++digits;
    }
    int n = digits == 0 ? 0 : std::stoi(stem.substr(stem.size() - static_cast<std::size_t>(digits)));
    return n > 0 ? n - 1 : 0;
}

ImportResult ImportLedFile(const std::filesystem::path& path, const Layout& layout,
                           const std::vector<LightTypeRecord>& lamps, FrameStore& frames, AppState& app,
                           const UiStrings& strings, const ProgressFn& progress) {
    ProgressEnd done(progress);
    ImportResult result;
    if (layout.setting.lineCount == 0) {
        result.message = strings.noLayout;
        return result;
    }
    FileReader in;
    if (!frames.HasCurrent()) {
        result.message = "Open file fail!";
        return result;
    }
    if (auto opened = in.Open(path); !opened) {
        result.message = "Open file fail! " + opened.failure().reason;
        return result;
    }
    std::uint8_t head5[5];
    if (!in.Bytes(head5, 5) || head5[2] != 'Q' || head5[3] != 'Z' || (head5[0] & 0xFD) > 1) {
        result.message = strings.ledFileUnsupported;
        return result;
    }
    // Single-family files would need the single map and their own block framing; they are
    // refused rather than read into the wrong places.
    if (head5[0] != 0) {
        result.message = strings.ledFileUnsupported;
        return result;
    }
    const auto read = ReadLedInfo(path);
    if (!read || read->records.empty()) {
        result.message = strings.ledFileUnsupported;
        return result;
    }
    const LedFileInfo& info = *read;
    const int firstChip = info.records[0].chipCode;
    if (firstChip == 108 || firstChip == 110) {
        result.message = strings.ledFileUnsupported;
        return result;
    }
    // The block size is checked against the records and the file before a block is taken: a
    // damaged header must not decide how much memory the import takes.
    if (info.blockSize != info.recordsBlockSize) {
        result.message = strings.ledFileUnsupported + " (" + path.string() + ": the block size " +
                         std::to_string(info.blockSize) + " disagrees with the slave records, which describe " +
                         std::to_string(info.recordsBlockSize) + ")";
        return result;
    }
    if (info.frameCount == 0) {
        result.message = strings.ledFileUnsupported + " (" + path.string() + ": the file holds no whole frame)";
        return result;
    }
    for (int slave : info.WrongChecksums()) {
        result.warnings.push_back(path.string() + ": the record of slave " + std::to_string(slave) +
                                  " has a wrong checksum; its data is imported as it is");
    }
    if (info.trailingBytes > 0) {
        result.warnings.push_back(path.string() + ": the data ends in a partial frame of " +
                                  std::to_string(info.trailingBytes) + " bytes, which is left out");
    }
    // The master's slaves, as the output command splits them.
    const int S = layout.setting.SlaveCount();
    const auto& groups = layout.slaveGroups;
    const int master = MasterIndexFromPath(path);
    int s0 = 0, n = 0;
    if (master < static_cast<int>(groups.size())) {
        for (int i = 0; i < master; ++i) s0 += groups[static_cast<std::size_t>(i)];
        n = groups[static_cast<std::size_t>(master)];
    } else {
        for (auto g : groups) s0 += g;
        n = std::max(S - s0, 0);
    }
    Clip& clip = frames.CurrentClip();
    const FrameShape shape{static_cast<int>(clip.height), static_cast<int>(clip.width)};
    const ChannelMap map = BuildMasterSlaveMap(layout, lamps, s0, n, shape);

    const std::size_t D = info.blockSize;
    const std::size_t copy = std::min(D, map.entries.size());
    std::vector<std::uint8_t> block(D);
    if (!in.Seek(info.dataOffset)) {
        result.message = strings.ledFileUnsupported;
        return result;
    }
    const int w = static_cast<int>(clip.width), h = static_cast<int>(clip.height);
    for (std::uint64_t b = 0; b < info.frameCount; ++b) {
        ReportProgress(progress, PercentDone(b + 1, info.frameCount));
        if (!in.Bytes(block.data(), D)) {
            break;
        }
        auto& list = clip.frames;
        if (app.currentFrame + 1 >= static_cast<int>(list.size())) {
            list.emplace_back(w, h);
            app.currentFrame = static_cast<int>(list.size()) - 1;
        } else {
            ++app.currentFrame;
        }
        Frame& target = list[static_cast<std::size_t>(app.currentFrame)];
        const std::size_t size = target.size();
        std::uint8_t* pixels = target.data();
        for (std::size_t i = 0; i < copy; ++i) {
            const std::uint32_t off = map.entries[i];
            if (off < size) {
                pixels[off] = block[i];
            }
        }
        ++result.blocks;
    }
    app.currentFrame = 0;
    if (frames.listener()) {
        frames.listener()->FrameNumberShown(1);
        frames.listener()->RedrawRequested();
    }
    result.ok = true;
    return result;
}

}  // namespace corv
