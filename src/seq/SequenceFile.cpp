#include "seq/SequenceFile.h"

#include <algorithm>
#include <utility>

namespace corv::seq {

const char* CompressionName(Compression compression) {
    switch (compression) {
        case Compression::None: return "none";
        case Compression::Zstd: return "zstd";
        case Compression::Zlib: return "zlib";
    }
    return nullptr;
}

int DefaultLevel(Compression compression) {
    return compression == Compression::Zstd ? 2 : compression == Compression::Zlib ? 6 : 0;
}

int MinLevel(Compression compression) { return compression == Compression::None ? 0 : 1; }

int MaxLevel(Compression compression) {
    return compression == Compression::Zstd ? 22 : compression == Compression::Zlib ? 9 : 0;
}

VariableHeader VariableHeader::Text(std::string code, const std::string& text) {
    VariableHeader header{std::move(code), text};
    header.payload.push_back('\0');
    return header;
}

std::string VariableHeader::text() const { return payload.substr(0, payload.find('\0')); }

BlockPlan PlanBlocks(std::uint32_t frames, std::uint32_t channels) {
    if (frames == 0) return {};
    const std::uint64_t perBlock = std::max<std::uint64_t>(2, kBlockTargetBytes / std::max<std::uint32_t>(channels, 1));
    BlockPlan plan;
    // A quarter block first (at least 2 frames): a player starting the file reads little
    // before its first frame.
    plan.firstBlockFrames = static_cast<std::uint32_t>(std::min<std::uint64_t>(frames, std::max<std::uint64_t>(2, perBlock / 4)));
    std::uint64_t per = perBlock;
    const std::uint64_t rest = frames - plan.firstBlockFrames;
    if (1 + (rest + per - 1) / per > kMaxBlocks) per = (rest + kMaxBlocks - 2) / (kMaxBlocks - 1);
    plan.framesPerBlock = static_cast<std::uint32_t>(per);
    plan.blocks = static_cast<std::uint32_t>(1 + (rest + per - 1) / per);
    return plan;
}

std::uint64_t SequenceInfo::ChannelSpan() const {
    if (ranges.empty()) return channels;
    std::uint64_t end = 0;
    for (const SparseRange& r : ranges) end = std::max<std::uint64_t>(end, std::uint64_t{r.first} + r.count);
    return end;
}

}  // namespace corv::seq
