#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Result.h"
#include "workspace/Workspace.h"

namespace corv {

// The recent-file list of the File menu: four paths, newest first, kept in the configuration
// file's section "Recent File List" as File1..File4.
inline constexpr const char* kRecentSection = "Recent File List";
inline constexpr int kRecentFiles = 4;
std::vector<std::string> ReadRecentFiles(const std::filesystem::path& configFile);
// Puts `path` (made absolute) first, dropping an older entry of the same file and the fifth.
void AddRecentFile(const std::filesystem::path& configFile, const std::filesystem::path& path);
// Takes a file out of the list (it could not be opened).
void RemoveRecentFile(const std::filesystem::path& configFile, const std::filesystem::path& path);

// Where file dialogs open: the folder last used for each kind of file, kept in the
// configuration file's section "Folders" (one key per kind).
inline constexpr const char* kFoldersSection = "Folders";
enum class FileKind { Document, LineFile, ControllerFile, Picture, Movie, Music, Design, Module, Drawing, Program, Sequence };
const char* FileKindKey(FileKind kind);
// The folder last used for `kind`; empty when none is kept or it is no longer a folder.
std::filesystem::path ReadLastFolder(const std::filesystem::path& configFile, FileKind kind);
// Keeps the folder of `chosen` (a file, or a folder itself) as the last one used for `kind`.
void WriteLastFolder(const std::filesystem::path& configFile, FileKind kind, const std::filesystem::path& chosen);

// The colour panel across restarts: the list in kColourListFileName in the application home
// (the colour library's format, holding one list; written atomically), the way colours are
// added, the current colour, the background colour and the design items' line width and fill
// in the configuration file's section "Colour panel". A missing or damaged list file leaves
// the rainbow.
inline constexpr const char* kColourListFileName = "ColourList.clb";
inline constexpr const char* kColourPanelSection = "Colour panel";
Result<Done> SaveColourPanel(const Workspace& ws);
void LoadColourPanel(Workspace& ws);

// The "System setting" dialog's values.
struct SystemSettings {
    bool autoCheckVersion = true;
    bool compress = false;
    std::string paintPath;  // the outside painting program; empty = the system's
    int gridScaleX = 1;
    int gridScaleY = 1;
};
// The values as the dialog opens: the configuration and the document's grid scale.
SystemSettings ReadSystemSettings(const Workspace& ws);
// OK: writes "AutoCheckVertion", "Compress" and "PaintPath", takes both check boxes into the
// running settings and the grid scale (each kept to 1..100) into the document.
void ApplySystemSettings(Workspace& ws, const SystemSettings& settings);

// The manual for a language: "Help_c.pdf" (simplified), "Help_t.pdf" (traditional), else
// "Help_e.pdf"; looked up in the installed data folder, then the application home, and the
// English manual stands in for a Chinese one that is not there. Empty when none is found.
std::string HelpFileName(std::uint8_t language);
std::filesystem::path FindHelpFile(std::uint8_t language, const std::vector<std::filesystem::path>& folders);

}  // namespace corv
