#pragma once

#include <span>

#include "app/common/CommandTable.h"

namespace corv {

// Command ids of the main window (they are part of the command interface).
namespace cmd {
inline constexpr int kNew = 57600;
inline constexpr int kOpen = 57601;
inline constexpr int kSave = 57603;
inline constexpr int kSaveAs = 57604;
inline constexpr int kSupplemental = 32928;
inline constexpr int kUniteFile = 32922;
inline constexpr int kExit = 57665;
inline constexpr int kImageCenter = 32804;
inline constexpr int kLanguageSimplified = 32818;
inline constexpr int kLanguageTraditional = 32923;
inline constexpr int kLanguageEnglish = 32819;
inline constexpr int kAbout = 57664;
inline constexpr int kUndo = 57643;
inline constexpr int kRedo = 57644;
inline constexpr int kInsert = 32814;
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kStepsPaste = 32903;
inline constexpr int kDelete = 32808;
inline constexpr int kFrameProcess = 32910;
inline constexpr int kRowColDelete = 32908;
inline constexpr int kPlay = 32810;
inline constexpr int kShowGrid = 32813;
inline constexpr int kOutputControllerFile = 32857;
inline constexpr int kCoverMode = 32812;
inline constexpr int kEditArea = 32809;
inline constexpr int kImport = 32909;
inline constexpr int kToolsbar = 32773;
inline constexpr int kVideoCapture = 32820;
inline constexpr int kPaintEdit = 32807;
inline constexpr int kExportVideo = 32815;
inline constexpr int kVideoOptions = 32817;
inline constexpr int kColorProcess = 32816;
inline constexpr int kLineSetting = 32792;
inline constexpr int kSystemSetting = 32862;
inline constexpr int kHelp = 32838;
inline constexpr int kImportControllerFile = 32924;
inline constexpr int kStop = 32811;
inline constexpr int kStatusBar = 59393;
inline constexpr int kReturn = 32791;
inline constexpr int kDesignView = 32822;
inline constexpr int kSphereView = 32865;
inline constexpr int kLedPreview = 32866;
inline constexpr int kSkinNone = 32876;
inline constexpr int kSkin1 = 32877;
inline constexpr int kSkin2 = 32878;
inline constexpr int kSkin3 = 32879;
inline constexpr int kLiveOutput = 32880;
inline constexpr int kNetworkOutput = 32881;
inline constexpr int kExportSequence = 32882;
inline constexpr int kImportSequence = 32883;
}  // namespace cmd

// The main menu as data (WindowCommand entries, their menu a MenuPlace): every command with its
// id, menu, texts and accelerator. The window builds its menus from this table and the tests
// check the menus against it. The language entries read the same in every language.
enum class MenuPlace { File, Edit, View, Skin, Play, Language, Help };

// Every command in menu order.
std::span<const WindowCommand> CommandTable();
// The entry of a command id, nullptr when the table has none.
const WindowCommand* FindCommand(int id);
// The menu titles in menu order (MenuPlace order; the skin menu is a submenu of View).
std::span<const WindowMenu> MenuTitles();

// Recent files: four menu entries from this id on.
inline constexpr int kFirstRecentFile = 57616;
inline constexpr int kRecentFileCount = 4;

}  // namespace corv
