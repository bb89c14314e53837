#include <filesystem>
#include <fstream>
#include <ostream>

#include "base/FileUtil.h"
#include "base/ProfileFile.h"
#include "cli/Cli.h"
#include "cli/Json.h"
#include "layout/DisplayModule.h"
#include "workspace/Settings.h"

namespace corv::cli {

namespace {

enum class FileKind { Unknown, Configuration, Document, LineFile, Modules, PinSet, Led };

FileKind Detect(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    char head[4] = {};
    in.read(head, 4);
    const auto n = in.gcount();
    if (n >= 4 && std::string(head, 4) == "ledv") {
        return FileKind::Document;
    }
    if (n >= 3 && std::string(head, 3) == "Rar") {
        return FileKind::Document;
    }
    if (n >= 3 && std::string(head, 3) == "LNF") {
        return FileKind::LineFile;
    }
    if (n >= 4 && head[2] == 'Q' && head[3] == 'Z') {
        return FileKind::Led;
    }
    // A module file has no name of its own: a leading 0 byte and whole module records.
    if (n >= 1 && head[0] == 0) {
        std::error_code ec;
        if (std::filesystem::file_size(path, ec) < (64u << 20) && !ec) {
            if (auto bytes = ReadFileBytes(path); bytes && CheckModuleFile(*bytes).empty()) {
                return FileKind::Modules;
            }
        }
    }
    auto ext = path.extension().string();
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".mde") {
        return FileKind::Modules;
    }
    if (ext == ".pet") {
        return FileKind::PinSet;
    }
    ProfileFile probe(path, kMainSection);
    if (ext == ".ldc" || ext == ".ini" || !probe.Sections().empty()) {
        return FileKind::Configuration;
    }
    return FileKind::Unknown;
}

int InfoConfiguration(Context& ctx, const std::filesystem::path& path, bool json) {
    ProfileFile main(path, kMainSection);
    const auto sections = main.Sections();
    if (json) {
        Json j;
        j.BeginObject().Key("file").Value(path.string()).Key("type").Value("configuration");
        j.Key("main").BeginObject();
        for (const auto& k : MainSectionKeys()) {
            j.Key(k.name).BeginObject();
            if (k.isInt) {
                j.Key("value").Value(main.GetInt(k.name, k.intDefault)).Key("default").Value(k.intDefault);
            } else {
                j.Key("value").Value(main.GetString(k.name, k.textDefault)).Key("default").Value(k.textDefault);
            }
            j.Key("set").Value(main.HasKey(k.name)).EndObject();
        }
        j.EndObject().Key("sections").BeginArray();
        for (const auto& s : sections) {
            j.BeginObject().Key("name").Value(s).Key("keys").Value(
                static_cast<int>(ProfileFile(path, s).Keys().size())).EndObject();
        }
        j.EndArray().EndObject();
        ctx.out << j.str() << '\n';
        return kExitOk;
    }
    ctx.out << "File:     " << path.string() << "\nType:     configuration file\n[Main]\n";
    for (const auto& k : MainSectionKeys()) {
        std::string value = k.isInt ? std::to_string(main.GetInt(k.name, k.intDefault))
                                    : "\"" + main.GetString(k.name, k.textDefault) + "\"";
        if (!main.HasKey(k.name)) {
            value += " (default)";
        }
        ctx.out << "  " << k.name << std::string(18 - std::string(k.name).size(), ' ') << value
                << std::string(value.size() < 16 ? 16 - value.size() : 1, ' ') << k.meaning << '\n';
    }
    ctx.out << "Sections:";
    for (const auto& s : sections) {
        ctx.out << ' ' << s << " (" << ProfileFile(path, s).Keys().size() << " keys)";
    }
    ctx.out << '\n';
    return kExitOk;
}

}  // namespace

int RunInfo(Context& ctx, const Args& args) {
    if (args.positionals().size() != 1) {
        ctx.err << Say(ctx, "Usage: ", "用法: ") << "corvantine-cli info FILE [--json]\n";
        return kExitUsage;
    }
    std::filesystem::path path = args.positionals()[0];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        ctx.err << "corvantine-cli info: " << path.string() << ": "
                << (std::filesystem::exists(path, ec) ? Say(ctx, "not a regular file", "不是普通文件")
                                                      : Say(ctx, "no such file", "文件不存在"))
                << '\n';
        return kExitFailed;
    }
    switch (Detect(path)) {
        case FileKind::Configuration:
            return InfoConfiguration(ctx, path, args.Has("--json"));
        case FileKind::Document:
            return InfoDocument(ctx, path, args.Has("--json"));
        case FileKind::LineFile:
            return InfoLineFile(ctx, path, args.Has("--json"));
        case FileKind::Modules:
            return InfoModules(ctx, path, args.Has("--json"));
        case FileKind::PinSet:
            return InfoPinSet(ctx, path, args.Has("--json"));
        case FileKind::Led:
            return InfoLed(ctx, path, args.Has("--json"), args.Has("--strict"));
        case FileKind::Unknown:
            break;
    }
    ctx.err << "corvantine-cli info: " << path.string() << ": " << Say(ctx, "unknown file type", "无法识别的文件类型") << '\n';
    return kExitFailed;
}

}  // namespace corv::cli
