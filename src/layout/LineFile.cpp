#include "layout/LineFile.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "base/Binary.h"
#include "base/FileUtil.h"

namespace corv {

namespace {

bool SamePins(const LightTypeRecord& a, const LightTypeRecord& b) { return a.pins == b.pins; }

}  // namespace

LineFileError ParseLineFile(std::span<const std::uint8_t> bytes, LineFileContent& out) {
    ByteReader r(bytes);
    std::uint8_t magic[3];
    std::uint8_t version = 0;
    if (!r.Bytes(magic, 3) || std::memcmp(magic, "LNF", 3) != 0 || !r.U8(version) ||
        static_cast<std::int8_t>(version) > 3) {
        return LineFileError::Unsupported;
    }
    out = LineFileContent{};
    out.version = version;
    const int v = static_cast<std::int8_t>(version);
    std::uint8_t sphere = 0;
    if (!r.Skip(6) || !r.U16(out.grid.rows) || !r.U16(out.grid.cols) || !r.U8(sphere)) {
        return LineFileError::Unsupported;
    }
    out.grid.sphereMode = sphere;
    if (static_cast<std::uint64_t>(out.grid.rows) * out.grid.cols > kMaxGridCells) {
        return LineFileError::GridTooLarge;
    }
    if (sphere == 1) {
        if (!r.Has(static_cast<std::size_t>(out.grid.rows) * 2)) {
            return LineFileError::Unsupported;
        }
        out.grid.rowWidths.resize(out.grid.rows);
        for (auto& w : out.grid.rowWidths) {
            r.U16(w);
        }
    }
    LineSetting& s = out.setting;
    std::uint16_t lineCount = 0;
    if (!r.Skip(4) || !r.U8(s.controllerType) || !r.U16(lineCount) || !r.U16(s.reserved6) ||
        lineCount > kLineCount) {
        return LineFileError::Unsupported;
    }
    for (std::size_t i = 0; i < lineCount; ++i) {
        std::uint32_t k = 0;
        if (!r.U32(k) || k > r.remaining() / 4) {
            return LineFileError::Unsupported;
        }
        auto& line = out.lines[i];
        line.resize(k);
        for (auto& p : line) {
            r.U32(p);
        }
    }
    std::uint32_t pairs = 0;
    if (!r.U32(pairs) || pairs > r.remaining() / 8) {
        return LineFileError::Unsupported;
    }
    s.pairListA.resize(pairs);
    s.pairListB.resize(pairs);
    for (std::uint32_t i = 0; i < pairs; ++i) {
        r.U32(s.pairListA[i]);
        r.U32(s.pairListB[i]);
    }
    if (v >= 1 && !r.Bytes(s.block64.data(), s.block64.size())) {
        return LineFileError::Unsupported;
    }
    std::uint8_t ports = 0;
    if (!r.U8(ports) || !r.U8(s.lineOption)) {
        return LineFileError::Unsupported;
    }
    s.portsPerSlave = static_cast<std::int8_t>(ports) < 1 ? 1 : ports;
    for (auto* table : s.Tables()) {
        if (!r.Bytes(table->data(), lineCount)) {
            return LineFileError::Unsupported;
        }
    }
    s.lineCount = lineCount;
    std::uint32_t skip = 0;
    if (!r.U32(skip) || skip > linefile::kMaxSkip || !r.Skip(skip)) {
        return LineFileError::Unsupported;
    }
    const std::size_t recordSize = v >= 3 ? LightTypeRecord::kSize : LightTypeRecord::kOldSize;
    std::uint32_t count = 0;
    if (!r.U32(count) || count > r.remaining() / recordSize) {
        return LineFileError::Unsupported;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        out.lightTypes.push_back(LightTypeRecord::FromBytes(r.Take(recordSize)));
    }
    std::uint32_t groups = 0;
    if (!r.U32(groups) || groups > r.remaining() / 2) {
        return LineFileError::Unsupported;
    }
    for (std::uint32_t i = 0; i < groups; ++i) {
        std::uint16_t g = 0;
        r.U16(g);
        if (g != 0) {
            out.slaveGroups.push_back(g);
        }
    }
    return r.ok() ? LineFileError::None : LineFileError::Unsupported;
}

void MergeLightTypes(std::vector<LightTypeRecord>& list, std::span<const LightTypeRecord> fileRecords,
                     LineSetting::Table& lightType) {
    const std::size_t before = list.size();
    std::map<std::uint8_t, std::size_t> mapping;
    for (std::size_t a = 1; a < fileRecords.size() && a < 256; ++a) {
        const LightTypeRecord& rec = fileRecords[a];
        if (a < before && SamePins(list[a], rec)) {
            mapping[static_cast<std::uint8_t>(a)] = a;
            continue;
        }
        const bool used = std::find(lightType.begin(), lightType.end(), static_cast<std::uint8_t>(a)) != lightType.end();
        if (!used || rec.pinCount < 1 || rec.pinCount > 127 || rec.Name().empty()) {
            continue;
        }
        auto same = std::find_if(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(before),
                                 [&](const LightTypeRecord& l) { return SamePins(l, rec); });
        if (same != list.begin() + static_cast<std::ptrdiff_t>(before)) {
            mapping[static_cast<std::uint8_t>(a)] = static_cast<std::size_t>(same - list.begin());
        } else {
            list.push_back(rec);
            mapping[static_cast<std::uint8_t>(a)] = list.size() - 1;
        }
    }
    for (auto& entry : lightType) {
        auto it = mapping.find(entry);
        // The table holds bytes: a list past 255 entries cannot be referred to.
        if (it != mapping.end() && it->second <= 255) {
            entry = static_cast<std::uint8_t>(it->second);
        }
    }
}

Result<Done> LoadLineFile(const std::filesystem::path& path, Layout& layout, std::vector<LightTypeRecord>& lampTypes,
                          std::uint8_t defaultChip) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) {
        return Failure{static_cast<int>(LineFileError::OpenFailed), {}, bytes.failure().reason, {}, nullptr};
    }
    LineFileContent content;
    if (LineFileError e = ParseLineFile(*bytes, content); e != LineFileError::None) {
        std::string reason;
        if (e == LineFileError::GridTooLarge) {
            reason = FileFailure(path, GridLimitText(content.grid.rows, content.grid.cols)).reason;
        }
        return Failure{static_cast<int>(e), {}, std::move(reason), {}, nullptr};
    }
    // The loader clears the wiring record, then takes what the file stores over it: table
    // entries past the stored ones keep their values.
    LineSetting merged = layout.setting;
    merged.Clear(defaultChip);
    const LineSetting& s = content.setting;
    merged.controllerType = s.controllerType;
    merged.reserved6 = s.reserved6;
    merged.portsPerSlave = s.portsPerSlave;
    merged.lineOption = s.lineOption;
    if (static_cast<std::int8_t>(content.version) >= 1) {
        merged.block64 = s.block64;
    }
    merged.pairListA = s.pairListA;
    merged.pairListB = s.pairListB;
    auto dst = merged.Tables();
    auto src = s.Tables();
    for (std::size_t t = 0; t < dst.size(); ++t) {
        std::copy_n(src[t]->begin(), s.lineCount, dst[t]->begin());
    }

    MergeLightTypes(lampTypes, content.lightTypes, merged.lightType);
    layout.grid = content.grid;
    layout.lines = std::move(content.lines);
    layout.setting = std::move(merged);
    layout.undo.clear();
    layout.redo.clear();
    layout.RecomputeLineCount();
    layout.slaveGroups = std::move(content.slaveGroups);
    NormaliseSlaveGroups(layout.slaveGroups, layout.setting.SlaveCount());
    layout.occupancy.Rebuild(layout.grid, layout.lines);
    layout.MarkSaved();
    return Done{};
}

std::vector<std::uint8_t> LineFileBytes(const Layout& layout, std::span<const LightTypeRecord> lampTypes) {
    ByteWriter w;
    w.Bytes("LNF", 3);
    w.U8(linefile::kVersion);
    w.Zeros(6);
    w.U16(layout.grid.rows);
    w.U16(layout.grid.cols);
    w.U8(layout.grid.sphereMode);
    if (layout.grid.IsSphere()) {
        for (std::size_t i = 0; i < layout.grid.rows; ++i) {
            w.U16(i < layout.grid.rowWidths.size() ? layout.grid.rowWidths[i] : 0);
        }
    }
    w.U32(0);
    const LineSetting& s = layout.setting;
    const std::uint16_t n = s.lineCount;
    w.U8(s.controllerType);
    w.U16(n);
    w.U16(s.reserved6);
    for (std::size_t i = 0; i < n; ++i) {
        const auto& line = layout.lines[i];
        w.U32(static_cast<std::uint32_t>(line.size()));
        for (LinePoint p : line) {
            w.U32(p);
        }
    }
    const std::size_t pairs = std::min(s.pairListA.size(), s.pairListB.size());
    w.U32(static_cast<std::uint32_t>(pairs));
    for (std::size_t i = 0; i < pairs; ++i) {
        w.U32(s.pairListA[i]);
        w.U32(s.pairListB[i]);
    }
    w.Bytes(s.block64.data(), s.block64.size());
    w.U8(s.portsPerSlave);
    w.U8(s.lineOption);
    for (const auto* table : s.Tables()) {
        w.Bytes(table->data(), n);
    }
    w.U32(0);
    w.U32(static_cast<std::uint32_t>(lampTypes.size()));
    for (const auto& rec : lampTypes) {
        const auto b = rec.Bytes();
        w.Bytes(b.data(), b.size());
    }
    w.U32(static_cast<std::uint32_t>(layout.slaveGroups.size()));
    for (std::uint16_t g : layout.slaveGroups) {
        w.U16(g);
    }
    return std::move(w.bytes());
}

Result<Done> SaveLineFile(const std::filesystem::path& path, Layout& layout, std::span<const LightTypeRecord> lampTypes) {
    layout.RecomputeLineCount();
    if (auto written = WriteFileAtomic(path, LineFileBytes(layout, lampTypes)); !written) {
        return written;
    }
    layout.MarkSaved();
    return Done{};
}

std::filesystem::path LineFilePathFor(const std::filesystem::path& chosen) {
    std::string s = chosen.string();
    const std::string name = chosen.filename().string();
    if (name.size() >= 4) {
        s.replace(s.size() - 4, 4, ".lnf");
    } else {
        s += ".lnf";
    }
    return s;
}

}  // namespace corv
