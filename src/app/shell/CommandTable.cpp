#include "app/shell/CommandTable.h"

#include <array>

#include "lang/messages/ShellMessages.h"
#include "lang/messages/CommonMessages.h"
#include "lang/messages/NetMessages.h"
#include "lang/messages/SequenceDialogMessages.h"

namespace corv {

namespace {

constexpr int Key(Qt::Key key) { return QKeyCombination(key).toCombined(); }
constexpr int Ctrl(Qt::Key key) { return (Qt::CTRL | key).toCombined(); }
constexpr int Shift(Qt::Key key) { return (Qt::SHIFT | key).toCombined(); }

// The menus as the table's numbers.
namespace M {
constexpr int File = static_cast<int>(MenuPlace::File), Edit = static_cast<int>(MenuPlace::Edit);
constexpr int View = static_cast<int>(MenuPlace::View), Skin = static_cast<int>(MenuPlace::Skin);
constexpr int Play = static_cast<int>(MenuPlace::Play), Language = static_cast<int>(MenuPlace::Language);
constexpr int Help = static_cast<int>(MenuPlace::Help);
}  // namespace M
using C = WindowCommand;
using R = EnabledRule;

// Menu order; within a menu the order of the entries is the order shown.
constexpr std::array kCommands{
    C{cmd::kNew, M::File, msg::common::kNewLayer, 0},
    C{cmd::kOpen, M::File, msg::shell::kOpenCommand, Ctrl(Qt::Key_O)},
    C{cmd::kSave, M::File, msg::common::kSaveCommand, Ctrl(Qt::Key_S)},
    C{cmd::kSaveAs, M::File, msg::common::kSaveAsCommand, 0},
    C{cmd::kSupplemental, M::File, msg::shell::kSupplementalCommand, Key(Qt::Key_A), true},
    C{cmd::kOutputControllerFile, M::File, msg::shell::kOutputControllerFileCommand, Key(Qt::Key_O)},
    C{cmd::kExportVideo, M::File, msg::shell::kExportVideoCommand, 0},
    C{cmd::kVideoOptions, M::File, msg::shell::kVideoOptionsCommand, 0},
    C{cmd::kImport, M::File, msg::common::kImportTitle, Key(Qt::Key_I)},
    C{cmd::kImportControllerFile, M::File, msg::shell::kImportControllerFileCommand, 0},
    C{cmd::kExportSequence, M::File, msg::seqdlg::kExportCommand, 0},
    C{cmd::kImportSequence, M::File, msg::seqdlg::kImportCommand, 0},
    C{cmd::kUniteFile, M::File, msg::shell::kUniteFileCommand, 0, true},
    C{cmd::kExit, M::File, msg::shell::kExitCommand, 0, true},

    C{cmd::kUndo, M::Edit, msg::common::kUndoCommand, Ctrl(Qt::Key_Z), false, false, R::CanUndo},
    C{cmd::kRedo, M::Edit, msg::common::kRedoCommand, Ctrl(Qt::Key_Y), false, false, R::CanRedo},
    C{cmd::kInsert, M::Edit, msg::shell::kInsertCommand, Ctrl(Qt::Key_I), true},
    C{cmd::kCut, M::Edit, msg::common::kCutCommand, Ctrl(Qt::Key_X)},
    C{cmd::kCopy, M::Edit, msg::common::kCopyCommand, Ctrl(Qt::Key_C)},
    C{cmd::kPaste, M::Edit, msg::common::kPasteCommand, Ctrl(Qt::Key_V), false, false, R::ClipboardBlock},
    C{cmd::kStepsPaste, M::Edit, msg::common::kStepsPasteTitle, Key(Qt::Key_V), false, false, R::ClipboardBlock},
    C{cmd::kDelete, M::Edit, msg::common::kDelete, Key(Qt::Key_Delete)},
    C{cmd::kCoverMode, M::Edit, msg::shell::kCoverModeCommand, Key(Qt::Key_Insert), true, true},
    C{cmd::kEditArea, M::Edit, msg::shell::kEditAreaCommand, Ctrl(Qt::Key_B), false, true},
    C{cmd::kVideoCapture, M::Edit, msg::common::kCaptureTitle, Key(Qt::Key_G), true},
    C{cmd::kPaintEdit, M::Edit, msg::shell::kPaintEditCommand, Ctrl(Qt::Key_E)},
    C{cmd::kColorProcess, M::Edit, msg::common::kColourProcessTitle, Ctrl(Qt::Key_P)},
    C{cmd::kFrameProcess, M::Edit, msg::shell::kFrameProcessCommand, Key(Qt::Key_F)},
    C{cmd::kRowColDelete, M::Edit, msg::common::kRowColDeleteTitle, Ctrl(Qt::Key_Delete)},

    C{cmd::kShowGrid, M::View, msg::shell::kShowGridCommand, 0, false, true},
    C{cmd::kImageCenter, M::View, msg::shell::kImageCenterCommand, Key(Qt::Key_Home)},
    C{cmd::kToolsbar, M::View, msg::shell::kToolsbarCommand, Key(Qt::Key_S), true, true},
    C{cmd::kStatusBar, M::View, msg::shell::kStatusBarCommand, 0, false, true},
    C{cmd::kLineSetting, M::View, msg::shell::kLineSettingCommand, Shift(Qt::Key_S), true},
    C{cmd::kSphereView, M::View, msg::shell::kSpherePreviewCommand, Key(Qt::Key_F3)},
    C{cmd::kLedPreview, M::View, msg::shell::kLedPreviewCommand, Key(Qt::Key_F4)},
    C{cmd::kReturn, M::View, msg::common::kReturn, Key(Qt::Key_Escape)},
    C{cmd::kSystemSetting, M::View, msg::shell::kSystemSettingCommand, 0, true},

    C{cmd::kSkinNone, M::Skin, msg::shell::kNoSkinCommand, 0, false, true},
    C{cmd::kSkin1, M::Skin, msg::shell::kSkin1Command, 0, false, true},
    C{cmd::kSkin2, M::Skin, msg::shell::kSkin2Command, 0, false, true},
    C{cmd::kSkin3, M::Skin, msg::shell::kSkin3Command, 0, false, true},

    C{cmd::kPlay, M::Play, msg::common::kPlayCommand, Key(Qt::Key_P)},
    C{cmd::kStop, M::Play, msg::common::kStopCommand, Key(Qt::Key_Space)},
    C{cmd::kLiveOutput, M::Play, msg::net::kLiveOutputCommand, 0, true, true},
    C{cmd::kNetworkOutput, M::Play, msg::net::kNetworkOutputCommand, 0},

    C{cmd::kLanguageSimplified, M::Language, msg::shell::kSimplifiedChineseCommand, 0, false, true},
    C{cmd::kLanguageTraditional, M::Language, msg::shell::kTraditionalChineseCommand, 0, false, true},
    C{cmd::kLanguageEnglish, M::Language, msg::shell::kEnglishCommand, 0, false, true},

    C{cmd::kHelp, M::Help, msg::shell::kHelpCommand, Key(Qt::Key_F1)},
    C{cmd::kAbout, M::Help, msg::shell::kAboutCommand, 0, true},
};

constexpr std::array kMenus{
    WindowMenu{M::File, msg::common::kFileMenu},     WindowMenu{M::Edit, msg::common::kEditMenu},
    WindowMenu{M::View, msg::common::kViewMenu},     WindowMenu{M::Skin, msg::shell::kSkinMenu, M::View},
    WindowMenu{M::Play, msg::common::kPlay},     WindowMenu{M::Language, msg::shell::kLanguageMenu},
    WindowMenu{M::Help, msg::shell::kHelpMenu},
};

}  // namespace

std::span<const WindowCommand> CommandTable() { return kCommands; }

const WindowCommand* FindCommand(int id) { return FindCommand(kCommands, id); }

std::span<const WindowMenu> MenuTitles() { return kMenus; }

}  // namespace corv
