#include "workspace/WindowSettings.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <system_error>

#include "base/FileUtil.h"
#include "base/ProfileFile.h"
#include "workspace/Settings.h"

namespace corv {

namespace {

std::string Key(int i) { return "File" + std::to_string(i + 1); }

void WriteRecentFiles(const std::filesystem::path& configFile, const std::vector<std::string>& list) {
    ProfileFile profile(configFile, kRecentSection);
    for (int i = 0; i < kRecentFiles; ++i) {
        profile.WriteString(Key(i), i < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(i)] : std::string());
    }
}

std::string Normal(const std::filesystem::path& path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return (ec ? path : absolute).lexically_normal().string();
}

}  // namespace

std::vector<std::string> ReadRecentFiles(const std::filesystem::path& configFile) {
    ProfileFile profile(configFile, kRecentSection);
    std::vector<std::string> list;
    for (int i = 0; i < kRecentFiles; ++i) {
        std::string entry = profile.GetString(Key(i));
        if (!entry.empty() && std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(std::move(entry));
    }
    return list;
}

void AddRecentFile(const std::filesystem::path& configFile, const std::filesystem::path& path) {
    const std::string entry = Normal(path);
    std::vector<std::string> list = ReadRecentFiles(configFile);
    std::erase(list, entry);
    list.insert(list.begin(), entry);
    if (list.size() > kRecentFiles) list.resize(kRecentFiles);
    WriteRecentFiles(configFile, list);
}

void RemoveRecentFile(const std::filesystem::path& configFile, const std::filesystem::path& path) {
    std::vector<std::string> list = ReadRecentFiles(configFile);
    if (std::erase(list, Normal(path)) > 0) WriteRecentFiles(configFile, list);
}

const char* FileKindKey(FileKind kind) {
    switch (kind) {
        case FileKind::Document:
            return "Documents";
        case FileKind::LineFile:
            return "LineFiles";
        case FileKind::ControllerFile:
            return "ControllerFiles";
        case FileKind::Picture:
            return "Pictures";
        case FileKind::Movie:
            return "Movies";
        case FileKind::Music:
            return "Music";
        case FileKind::Design:
            return "DesignFiles";
        case FileKind::Module:
            return "Modules";
        case FileKind::Drawing:
            return "Drawings";
        case FileKind::Program:
            return "Programs";
        case FileKind::Sequence:
            return "Sequences";
    }
    return "Other";
}

std::filesystem::path ReadLastFolder(const std::filesystem::path& configFile, FileKind kind) {
    if (configFile.empty()) return {};
    const std::filesystem::path folder = ProfileFile(configFile, kFoldersSection).GetString(FileKindKey(kind));
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) return {};
    return folder;
}

void WriteLastFolder(const std::filesystem::path& configFile, FileKind kind, const std::filesystem::path& chosen) {
    if (configFile.empty() || chosen.empty()) return;
    std::error_code ec;
    const std::filesystem::path absolute(Normal(chosen));
    const std::filesystem::path folder = std::filesystem::is_directory(absolute, ec) ? absolute : absolute.parent_path();
    // The profile reads strings through its fixed buffer: a longer path would come back cut.
    if (folder.empty() || folder.string().size() >= ProfileFile::kStringBuffer) return;
    ProfileFile(configFile, kFoldersSection).WriteString(FileKindKey(kind), folder.string());
}

namespace {
namespace colourKeys {
constexpr const char* kMode = "Mode";
constexpr const char* kGrade = "Grade";
constexpr const char* kFixed = "FixedSteps";
constexpr const char* kCurrent = "Color";
constexpr const char* kSelected = "Selected";
constexpr const char* kBackground = "Background";
constexpr const char* kLineWidth = "LineWidth";
constexpr const char* kFill = "Fill";
}  // namespace colourKeys

template <std::size_t N>
bool OneOf(int value, const int (&choices)[N]) {
    return std::find(std::begin(choices), std::end(choices), value) != std::end(choices);
}
}  // namespace

Result<Done> SaveColourPanel(const Workspace& ws) {
    if (ws.home.empty()) return Failure{};
    const ColourPanelState& p = ws.colourPanel;
    if (auto written = WriteFileAtomic(ws.home / kColourListFileName, ColourLibrary::Encode({p.list.colours()})); !written) {
        return Failure{0, written.failure().reason, {}, {}};
    }
    ProfileFile cfg(ws.ConfigPath(), kColourPanelSection);
    // Every write rewrites the configuration file: only what changed is written.
    const auto old = cfg.Values();
    auto put = [&](const char* key, int value) {
        std::string name(key);
        for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto it = old.find(name);
        if (it == old.end() || it->second != std::to_string(value)) cfg.WriteInt(key, value);
    };
    put(colourKeys::kMode, p.mode == ColourTransition::Fixed ? 1 : 0);
    put(colourKeys::kGrade, p.grade);
    put(colourKeys::kFixed, p.fixedSteps);
    put(colourKeys::kCurrent, static_cast<int>(p.current & 0xFFFFFFu));
    put(colourKeys::kSelected, p.list.selected());
    const Bgr b = ws.app.backgroundColour;
    put(colourKeys::kBackground, static_cast<int>(MakeListColour(b.r, b.g, b.b)));
    put(colourKeys::kLineWidth, p.lineWidth);
    put(colourKeys::kFill, p.fill ? 1 : 0);
    return Done{};
}

void LoadColourPanel(Workspace& ws) {
    if (ws.home.empty()) return;
    ColourPanelState& p = ws.colourPanel;
    const ProfileFile cfg(ws.ConfigPath(), kColourPanelSection);
    const auto values = cfg.Values();
    auto value = [&](const char* key, int fallback) {
        std::string name(key);
        for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto it = values.find(name);
        return it == values.end() ? fallback : ProfileFile::ParseInt(it->second);
    };
    std::error_code ec;
    const auto file = ws.home / kColourListFileName;
    // The file holds one list of at most 65535 colours; anything larger is not ours.
    if (std::filesystem::is_regular_file(file, ec) &&
        std::filesystem::file_size(file, ec) <= ColourLibrary::kTableBytes + 4 * ColourList::kMaxCount && !ec) {
        if (const auto bytes = ReadFileBytes(file)) {
            // A damaged file keeps the rainbow; an empty list was an empty list.
            if (auto lists = ColourLibrary::Decode(*bytes)) {
                p.list = lists->empty() ? ColourList() : ColourList(std::move(lists->front()));
                p.list.Select(value(colourKeys::kSelected, 0));
            }
        }
    }
    p.mode = value(colourKeys::kMode, p.mode == ColourTransition::Fixed ? 1 : 0) == 1 ? ColourTransition::Fixed
                                                                                    : ColourTransition::Grade;
    if (const int g = value(colourKeys::kGrade, p.grade); OneOf(g, kGradeChoices)) p.grade = g;
    if (const int f = value(colourKeys::kFixed, p.fixedSteps); OneOf(f, kFixedChoices)) p.fixedSteps = f;
    p.current = static_cast<ListColour>(value(colourKeys::kCurrent, static_cast<int>(p.current))) & 0xFFFFFFu;
    const Bgr b = ws.app.backgroundColour;
    const auto back = static_cast<ListColour>(value(colourKeys::kBackground, static_cast<int>(MakeListColour(b.r, b.g, b.b))));
    ws.app.backgroundColour = ToBgr(back & 0xFFFFFFu);
    p.lineWidth = std::clamp(value(colourKeys::kLineWidth, p.lineWidth), 1, 100);
    p.fill = value(colourKeys::kFill, p.fill ? 1 : 0) != 0;
}

SystemSettings ReadSystemSettings(const Workspace& ws) {
    SystemSettings s;
    s.autoCheckVersion = ws.app.autoCheckVersion != 0;
    s.compress = ws.app.compress != 0;
    if (ws.config) s.paintPath = ws.config->GetString(keys::kPaintPath);
    s.gridScaleX = ws.frameView.gridScaleX;
    s.gridScaleY = ws.frameView.gridScaleY;
    return s;
}

void ApplySystemSettings(Workspace& ws, const SystemSettings& s) {
    if (ws.config) {
        ws.config->WriteInt(keys::kAutoCheckVersion, s.autoCheckVersion ? 1 : 0);
        ws.config->WriteInt(keys::kCompress, s.compress ? 1 : 0);
        ws.config->WriteString(keys::kPaintPath, s.paintPath);
    }
    ws.app.autoCheckVersion = s.autoCheckVersion ? 1 : 0;
    ws.app.compress = s.compress ? 1 : 0;
    ws.frameView.gridScaleX = static_cast<std::int16_t>(std::clamp(s.gridScaleX, 1, 100));
    ws.frameView.gridScaleY = static_cast<std::int16_t>(std::clamp(s.gridScaleY, 1, 100));
}

std::string HelpFileName(std::uint8_t language) {
    switch (language) {
        case 1:
            return "Help_c.pdf";
        case 2:
            return "Help_t.pdf";
        default:
            return "Help_e.pdf";
    }
}

std::filesystem::path FindHelpFile(std::uint8_t language, const std::vector<std::filesystem::path>& folders) {
    std::error_code ec;
    for (const std::string& name : {HelpFileName(language), HelpFileName(3)}) {
        for (const auto& folder : folders) {
            if (folder.empty()) continue;
            const auto candidate = folder / name;
            if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
        }
    }
    return {};
}

}  // namespace corv
