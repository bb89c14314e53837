#include "workspace/WindowSettings.h"

#include <algorithm>
#include <system_error>

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
