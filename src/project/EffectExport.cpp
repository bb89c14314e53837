#include "project/EffectExport.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/FileUtil.h"

namespace corv {

namespace {

std::uint64_t Le(std::span<const std::uint8_t> b, std::size_t at, std::size_t n) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v |= static_cast<std::uint64_t>(b[at + i]) << (8 * i);
    return v;
}

}  // namespace

bool IsEffectPlayer(std::span<const std::uint8_t> p) {
    // ELF header: magic, class 2 (64-bit), data 1 (little-endian); the section table's offset,
    // entry size, count and the index of the section holding the names.
    if (p.size() < 64 || p[0] != 0x7F || p[1] != 'E' || p[2] != 'L' || p[3] != 'F' || p[4] != 2 || p[5] != 1) {
        return false;
    }
    const std::uint64_t shoff = Le(p, 0x28, 8), entry = Le(p, 0x3A, 2), count = Le(p, 0x3C, 2), names = Le(p, 0x3E, 2);
    if (entry < 64 || names >= count || shoff > p.size() || count > (p.size() - shoff) / entry) return false;
    auto header = [&](std::uint64_t i) { return static_cast<std::size_t>(shoff + i * entry); };
    const std::uint64_t namesAt = Le(p, header(names) + 0x18, 8), namesSize = Le(p, header(names) + 0x20, 8);
    if (namesAt > p.size() || namesSize > p.size() - namesAt) return false;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t name = Le(p, header(i), 4);
        if (name >= namesSize || kEffectPlayerSection.size() + 1 > namesSize - name) continue;
        const auto* text = reinterpret_cast<const char*>(p.data() + namesAt + name);
        if (std::string_view(text, kEffectPlayerSection.size()) != kEffectPlayerSection ||
            text[kEffectPlayerSection.size()] != '\0') {
            continue;
        }
        const std::uint64_t at = Le(p, header(i) + 0x18, 8), size = Le(p, header(i) + 0x20, 8);
        return at <= p.size() && size <= p.size() - at && size >= kEffectPlayerMarker.size() &&
               std::string_view(reinterpret_cast<const char*>(p.data() + at), kEffectPlayerMarker.size()) ==
                   kEffectPlayerMarker;
    }
    return false;
}

Result<Done> ExportEffectFile(const std::filesystem::path& player, const std::filesystem::path& out,
                              const DocumentSource& source, const std::filesystem::path& tempDir) {
    if (SameFile(out, player)) {
        return DocumentFailure(DocError::WriteFailed,
                               FileFailure(out, std::string("is the player program itself; choose another output")).reason);
    }
    const auto program = ReadFileBytes(player);
    if (!program) return DocumentFailure(DocError::OpenFailed, program.failure().reason);
    if (program->size() > 0xFFFFFFFFu || !IsEffectPlayer(*program)) {
        return DocumentFailure(DocError::Unsupported, FileFailure(player, std::string("is not the effect player program")).reason);
    }
    const std::filesystem::path block = tempDir / "EffectBlock.cvn";
    if (auto written = WriteDocument(block, source); !written) {
        // The reason is told of the file asked for, not of the private copy.
        const std::string& why = written.failure().reason;
        const std::string privateName = block.string() + ": ";
        return DocumentFailure(DocErrorOf(written),
                               FileFailure(out, why.rfind(privateName, 0) == 0 ? why.substr(privateName.size()) : why).reason);
    }
    const auto document = ReadFileBytes(block);
    std::error_code ec;
    std::filesystem::remove(block, ec);
    if (!document) return DocumentFailure(DocError::WriteFailed, document.failure().reason);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(program->size() + document->size() + 4);
    bytes.insert(bytes.end(), program->begin(), program->end());
    bytes.insert(bytes.end(), document->begin(), document->end());
    const auto length = static_cast<std::uint32_t>(program->size());
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    if (auto written = WriteFileAtomic(out, bytes); !written) {
        return DocumentFailure(DocError::WriteFailed, written.failure().reason);
    }
    using P = std::filesystem::perms;
    std::filesystem::permissions(out, P::owner_exec | P::group_exec | P::others_exec, std::filesystem::perm_options::add, ec);
    return Done{};
}

std::uint64_t EffectTemplateLength(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) return 0;
    const std::uint64_t size = static_cast<std::uint64_t>(in.tellg());
    if (size < 4) return 0;
    in.seekg(static_cast<std::streamoff>(size - 4));
    unsigned char tail[4] = {};
    if (!in.read(reinterpret_cast<char*>(tail), 4)) return 0;
    const std::uint64_t length = tail[0] | (tail[1] << 8) | (tail[2] << 16) | (static_cast<std::uint64_t>(tail[3]) << 24);
    return length > 0 && length < size - 4 ? length : 0;
}

bool IsEffectFile(const std::filesystem::path& file) {
    const std::uint64_t length = EffectTemplateLength(file);
    if (length == 0 || length > (256u << 20)) return false;  // no player is that large
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> program(static_cast<std::size_t>(length));
    return in.read(reinterpret_cast<char*>(program.data()), static_cast<std::streamsize>(length)) && IsEffectPlayer(program);
}

Result<Done> ReadEffectFile(const std::filesystem::path& file, const std::filesystem::path& tempDir, LoadedDocument& out,
                            bool loadFrames) {
    const std::uint64_t start = EffectTemplateLength(file);
    if (start == 0) return DocumentFailure(DocError::Unsupported);
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    const std::uint64_t size = static_cast<std::uint64_t>(in.tellg());
    in.seekg(static_cast<std::streamoff>(start));
    // The document part goes to a file of its own, read as any document.
    const std::filesystem::path part = tempDir / "EffectPlay.cvn";
    {
        std::ofstream copy(part, std::ios::binary | std::ios::trunc);
        std::vector<char> buffer(1 << 20);
        std::uint64_t left = size - 4 - start;
        while (left > 0 && in) {
            const auto n = static_cast<std::streamsize>(std::min<std::uint64_t>(left, buffer.size()));
            if (!in.read(buffer.data(), n)) return DocumentFailure(DocError::OpenFailed);
            copy.write(buffer.data(), n);
            left -= static_cast<std::uint64_t>(n);
        }
        if (!copy) return DocumentFailure(DocError::OpenFailed);
    }
    ReadOptions options;
    options.tempDir = tempDir;
    options.loadFrames = loadFrames;
    options.extractMusic = loadFrames;
    Result<Done> read = ReadDocument(part, options, out);
    std::error_code ec;
    std::filesystem::remove(part, ec);
    return read;
}

}  // namespace corv
