#include "project/EffectExport.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "base/FileUtil.h"

namespace corv {

DocError ExportEffectFile(const std::filesystem::path& player, const std::filesystem::path& out,
                          const DocumentSource& source, const std::filesystem::path& tempDir) {
    const auto program = ReadFileBytes(player);
    if (!program || program->empty() || program->size() > 0xFFFFFFFFu) return DocError::OpenFailed;
    const std::filesystem::path block = tempDir / "EffectBlock.cvn";
    if (const DocError e = WriteDocument(block, source); e != DocError::None) return e;
    const auto document = ReadFileBytes(block);
    std::error_code ec;
    std::filesystem::remove(block, ec);
    if (!document) return DocError::WriteFailed;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(program->size() + document->size() + 4);
    bytes.insert(bytes.end(), program->begin(), program->end());
    bytes.insert(bytes.end(), document->begin(), document->end());
    const auto length = static_cast<std::uint32_t>(program->size());
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    if (!WriteFileAtomic(out, bytes)) return DocError::WriteFailed;
    using P = std::filesystem::perms;
    std::filesystem::permissions(out, P::owner_exec | P::group_exec | P::others_exec, std::filesystem::perm_options::add, ec);
    return DocError::None;
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

DocError ReadEffectFile(const std::filesystem::path& file, const std::filesystem::path& tempDir, LoadedDocument& out) {
    const std::uint64_t start = EffectTemplateLength(file);
    if (start == 0) return DocError::Unsupported;
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
            if (!in.read(buffer.data(), n)) return DocError::OpenFailed;
            copy.write(buffer.data(), n);
            left -= static_cast<std::uint64_t>(n);
        }
        if (!copy) return DocError::OpenFailed;
    }
    ReadOptions options;
    options.tempDir = tempDir;
    const DocError e = ReadDocument(part, options, out);
    std::error_code ec;
    std::filesystem::remove(part, ec);
    return e;
}

}  // namespace corv
