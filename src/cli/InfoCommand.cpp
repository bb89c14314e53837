#include <filesystem>
#include <fstream>
#include <ostream>

#include "base/FileUtil.h"
#include "base/ProfileFile.h"
#include "cli/Cli.h"
#include "cli/Json.h"
#include "base/TempDir.h"
#include "lang/messages/CliMessages.h"
#include "layout/DisplayModule.h"
#include "project/EffectExport.h"
#include "workspace/Settings.h"

namespace corv::cli {

namespace {

enum class FileKind { Unknown, Configuration, Document, LineFile, Modules, PinSet, Led, Effect, Sequence };

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
    if (n >= 4 && std::string(head, 4) == "PSEQ") {
        return FileKind::Sequence;
    }
    if (n >= 3 && std::string(head, 3) == "LNF") {
        return FileKind::LineFile;
    }
    if (n >= 4 && head[2] == 'Q' && head[3] == 'Z') {
        return FileKind::Led;
    }
    if (n >= 4 && std::string(head, 4) == "\x7F" "ELF" && IsEffectFile(path)) {
        return FileKind::Effect;
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
    // A configuration is text of sections and keys, whatever its name; only an empty one (every
    // key at its default) needs the name to tell.
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) < (64u << 20) && !ec) {
        if (auto bytes = ReadFileBytes(path)) {
            const auto sections = ProfileFile::ProfileSections(
                std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
            if (sections && (*sections > 0 || ext == ".ldc" || ext == ".ini")) {
                return FileKind::Configuration;
            }
        }
    }
    return FileKind::Unknown;
}

// An exported effect file: what the player will show.
int InfoEffect(Context& ctx, const std::filesystem::path& path, bool json) {
    TempDir temp;
    LoadedDocument doc;
    if (auto read = ReadEffectFile(path, temp.path(), doc, false); !read) {
        return Fail(ctx, "info", DocFailure(ctx, path.string(), read.failure()));
    }
    std::error_code ec;
    const std::uint64_t size = std::filesystem::file_size(path, ec);
    const std::uint64_t player = EffectTemplateLength(path);
    if (json) {
        Json j;
        j.BeginObject().Key("file").Value(path.string()).Key("type").Value("effect");
        j.Key("size").Value(size).Key("playerBytes").Value(player).Key("clips").BeginArray();
        for (std::size_t i = 0; i < doc.clips.size(); ++i) {
            j.BeginObject().Key("width").Value(doc.clips[i].width).Key("height").Value(doc.clips[i].height);
            j.Key("frames").Value(doc.frameCounts[i]).EndObject();
        }
        j.EndArray().Key("layers").Value(static_cast<std::uint64_t>(doc.layers.size()));
        j.Key("musicBytes").Value(doc.musicLength).EndObject();
        ctx.out << j.str() << '\n';
        return kExitOk;
    }
    ctx.out << Label(ctx, msg::cli::kFileLabel, 10) << path.string() << '\n' << Label(ctx, msg::cli::kTypeLabel, 10)
            << Say(ctx, msg::cli::kEffectFile) << '\n'
            << Label(ctx, msg::cli::kSizeLabel, 10)
            << Say(ctx, msg::cli::kEffectFileSize, {std::to_string(size), std::to_string(player)})
            << '\n';
    for (std::size_t i = 0; i < doc.clips.size(); ++i) {
        ctx.out << "  " << Format(ctx.strings.sceneFormat.c_str(), static_cast<int>(i + 1)) << ": " << doc.clips[i].width
                << " x " << doc.clips[i].height << ", " << Say(ctx, msg::cli::kFrameCount, {std::to_string(doc.frameCounts[i])})
                << '\n';
    }
    ctx.out << Label(ctx, msg::cli::kLayersLabel, 10) << doc.layers.size() << '\n';
    return kExitOk;
}

// What a key of section "Main" means, in the running language.
std::string KeyMeaning(const Context& ctx, const SettingKey& key) {
    static const std::pair<const char*, const Text&> meanings[] = {
        {keys::kErrorCode, msg::cli::kWriteTestKey},    {keys::kRows, msg::cli::kRowsKey},
        {keys::kCols, msg::cli::kColsKey},              {keys::kLanguage, msg::cli::kLanguageKey},
        {keys::kLineFile, msg::cli::kLineFileKey},      {keys::kAutoCheckVersion, msg::cli::kCheckVersionKey},
        {keys::kCompress, msg::cli::kCompressKey},      {keys::kSkin, msg::cli::kSkinKey},
        {keys::kPaintPath, msg::cli::kPaintPathKey},    {keys::kDrICtype, msg::cli::kChipTypeKey},
        {keys::kSnapNumber, msg::cli::kSnapKey},
    };
    for (const auto& [name, meaning] : meanings) {
        if (std::string(name) == key.name) return Say(ctx, meaning);
    }
    return key.meaning;
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
                static_cast<int>(main.InSection(s).Keys().size())).EndObject();
        }
        j.EndArray().EndObject();
        ctx.out << j.str() << '\n';
        return kExitOk;
    }
    ctx.out << Label(ctx, msg::cli::kFileLabel, 10) << path.string() << '\n' << Label(ctx, msg::cli::kTypeLabel, 10)
            << Say(ctx, msg::cli::kConfigurationFile) << "\n[Main]\n";
    for (const auto& k : MainSectionKeys()) {
        std::string value = k.isInt ? std::to_string(main.GetInt(k.name, k.intDefault))
                                    : "\"" + main.GetString(k.name, k.textDefault) + "\"";
        if (!main.HasKey(k.name)) {
            value += Say(ctx, msg::cli::kDefaultNote);
        }
        ctx.out << "  " << k.name << std::string(18 - std::string(k.name).size(), ' ') << value
                << std::string(Columns(value) < 16 ? 16 - Columns(value) : 1, ' ') << KeyMeaning(ctx, k) << '\n';
    }
    ctx.out << Say(ctx, msg::cli::kSectionsLabel);
    for (const auto& s : sections) {
        ctx.out << ' ' << s << " (" << Say(ctx, msg::cli::kKeyCount, {std::to_string(main.InSection(s).Keys().size())}) << ")";
    }
    ctx.out << '\n';
    return kExitOk;
}

}  // namespace

int RunInfo(Context& ctx, const Args& args) {
    if (args.positionals().size() != 1) {
        ctx.err << Say(ctx, msg::cli::kUsagePrefix) << "corvantine-cli info FILE [--json]\n";
        return kExitUsage;
    }
    std::filesystem::path path = args.positionals()[0];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        ctx.err << "corvantine-cli info: " << path.string() << ": "
                << (std::filesystem::exists(path, ec) ? Say(ctx, msg::cli::kNotRegularFile)
                                                      : Say(ctx, msg::cli::kFileDoesNotExist))
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
        case FileKind::Effect:
            return InfoEffect(ctx, path, args.Has("--json"));
        case FileKind::Sequence:
            return InfoSequence(ctx, path, args.Has("--json"));
        case FileKind::Unknown:
            break;
    }
    ctx.err << "corvantine-cli info: " << path.string() << ": " << Say(ctx, msg::cli::kUnknownFileType) << '\n';
    return kExitFailed;
}

}  // namespace corv::cli
