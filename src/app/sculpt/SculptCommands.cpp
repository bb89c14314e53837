#include "app/sculpt/SculptCommands.h"

#include <array>

#include "lang/messages/SculptMessages.h"
#include "lang/messages/CommonMessages.h"
#include "lang/messages/NetMessages.h"
#include "lang/messages/BudgetPanelMessages.h"

namespace corv {

namespace {

constexpr int Key(Qt::Key key) { return QKeyCombination(key).toCombined(); }
constexpr int Ctrl(Qt::Key key) { return (Qt::CTRL | key).toCombined(); }
constexpr int Shift(Qt::Key key) { return (Qt::SHIFT | key).toCombined(); }
constexpr int Tool(int mode) { return sculpt::kFirstToolCommand + mode; }

// The menus as the table's numbers.
namespace M {
constexpr int File = static_cast<int>(SculptMenu::File), Edit = static_cast<int>(SculptMenu::Edit);
constexpr int Background = static_cast<int>(SculptMenu::Background), Setting = static_cast<int>(SculptMenu::Setting);
constexpr int View = static_cast<int>(SculptMenu::View), Test = static_cast<int>(SculptMenu::Test);
}  // namespace M
using C = WindowCommand;

constexpr std::array kCommands{
    C{sculpt::kNew, M::File, msg::sculpt::kNewCommand, 0},
    C{sculpt::kOpen, M::File, msg::sculpt::kOpenCommand, Ctrl(Qt::Key_O)},
    C{sculpt::kSave, M::File, msg::common::kSaveCommand, Ctrl(Qt::Key_S)},
    C{sculpt::kSaveAs, M::File, msg::common::kSaveAsCommand, 0},
    C{sculpt::kImportDxf, M::File, msg::sculpt::kImportDxf, 0, true},
    C{sculpt::kPictureIdentify, M::File, msg::sculpt::kPictureIdentify, 0},
    C{sculpt::kExportModule, M::File, msg::sculpt::kExportModule, Key(Qt::Key_E), true},
    C{sculpt::kImportModule, M::File, msg::sculpt::kImportModule, Ctrl(Qt::Key_I)},
    C{sculpt::kOutputMap, M::File, msg::sculpt::kOutputMap, 0, true},
    C{sculpt::kOutputHmc, M::File, msg::sculpt::kOutputHmc, 0},
    C{sculpt::kOutputImage, M::File, msg::sculpt::kOutputImage, Shift(Qt::Key_O)},
    C{sculpt::kReturn, M::File, msg::common::kReturn, Key(Qt::Key_Escape), true},

    C{Tool(sculpt::kToolAdd), M::Edit, msg::common::kAdd, Key(Qt::Key_D), false, true},
    C{Tool(sculpt::kToolCut), M::Edit, msg::sculpt::kCutTool, Ctrl(Qt::Key_X), false, true},
    C{Tool(sculpt::kToolCopy), M::Edit, msg::sculpt::kCopyTool, Ctrl(Qt::Key_C), false, true},
    C{Tool(sculpt::kToolArrayCopy), M::Edit, msg::sculpt::kArrayCopyTool, Shift(Qt::Key_C), false, true},
    C{Tool(sculpt::kToolSaveModule), M::Edit, msg::sculpt::kSaveAsModule, Key(Qt::Key_M), false, true},
    C{Tool(sculpt::kToolPixelsRepeat), M::Edit, msg::sculpt::kPixelsRepeatTool, Key(Qt::Key_R), false, true},
    C{Tool(sculpt::kToolDelete), M::Edit, msg::common::kDeleteText, Key(Qt::Key_Delete), false, true},
    C{Tool(sculpt::kToolPaste), M::Edit, msg::common::kPasteTool, Ctrl(Qt::Key_V), false, true},
    C{Tool(sculpt::kToolTransfer), M::Edit, msg::sculpt::kTransferTool, Key(Qt::Key_G), false, true},
    C{Tool(sculpt::kToolReverse), M::Edit, msg::sculpt::kReverseTool, Key(Qt::Key_A), false, true},
    C{Tool(sculpt::kToolMove), M::Edit, msg::sculpt::kMoveTool, Ctrl(Qt::Key_M), false, true},
    C{sculpt::kUndo, M::Edit, msg::common::kUndoCommand, Ctrl(Qt::Key_Z), true},
    C{sculpt::kRedo, M::Edit, msg::common::kRedoCommand, Ctrl(Qt::Key_Y)},
    C{sculpt::kLineOperate, M::Edit, msg::sculpt::kLineOperate, Key(Qt::Key_L), true},
    C{sculpt::kPasteSetting, M::Edit, msg::sculpt::kPasteSetting, Key(Qt::Key_V)},
    C{sculpt::kAllowRepeat, M::Edit, msg::sculpt::kAllowRepeat, Ctrl(Qt::Key_A), true, true},
    C{sculpt::kConnectByBackground, M::Edit, msg::sculpt::kConnectByBackground, Ctrl(Qt::Key_B), false, true},
    C{sculpt::kDeleteModule, M::Edit, msg::sculpt::kDeleteModule, Ctrl(Qt::Key_Delete), true},

    C{sculpt::kImportBackground, M::Background, msg::sculpt::kImportBackground, 0},
    C{sculpt::kCurrentFrame, M::Background, msg::sculpt::kCurrentFrame, 0},
    C{Tool(sculpt::kToolEditBackground), M::Background, msg::sculpt::kEditBackgroundTool, Key(Qt::Key_B), false, true},
    C{sculpt::kInputText, M::Background, msg::sculpt::kInputText, Key(Qt::Key_T)},
    C{sculpt::kBackPictureSize, M::Background, msg::sculpt::kBackPictureSize, 0, true},
    C{sculpt::kFrameAdjust, M::Background, msg::sculpt::kFrameAdjust, 0},
    C{sculpt::kDeleteBackground, M::Background, msg::sculpt::kDeleteBackground, Shift(Qt::Key_Delete), true},
    C{sculpt::kShowBackground, M::Background, msg::sculpt::kShowBackground, 0, true, true},

    C{sculpt::kLightingSetting, M::Setting, msg::sculpt::kLightingSetting, Key(Qt::Key_P)},
    C{sculpt::kChipPinSetting, M::Setting, msg::sculpt::kChipPinSetting, Key(Qt::Key_C)},
    C{sculpt::kMultiController, M::Setting, msg::sculpt::kMultiController, Key(Qt::Key_U)},

    C{sculpt::kImageCenter, M::View, msg::sculpt::kImageCenter, Key(Qt::Key_Home)},
    C{sculpt::kZoomIn, M::View, msg::common::kZoomIn, Key(Qt::Key_Plus)},
    C{sculpt::kZoomOut, M::View, msg::common::kZoomOut, Key(Qt::Key_Minus)},
    C{sculpt::kShowGrid, M::View, msg::sculpt::kShowGrid, 0, true, true},
    C{sculpt::kShowRoute, M::View, msg::sculpt::kShowRoute, 0, false, true},
    C{sculpt::kShowOutline, M::View, msg::sculpt::kShowOutline, 0, false, true},
    C{sculpt::kShowLinePanel, M::View, msg::sculpt::kShowLinePanel, 0, true, true},
    C{sculpt::kShowBudgetPanel, M::View, msg::budgetpanel::kShowPanel, 0, false, true},

    C{sculpt::kFirstPattern + 0, M::Test, msg::net::kPatternLinesCommand, 0, false, true},
    C{sculpt::kFirstPattern + 1, M::Test, msg::net::kPatternChaseCommand, 0, false, true},
    C{sculpt::kFirstPattern + 2, M::Test, msg::net::kPatternRgbCommand, 0, false, true},
    C{sculpt::kFirstPattern + 3, M::Test, msg::net::kPatternWhiteCommand, 0, false, true},
    C{sculpt::kFirstPattern + 4, M::Test, msg::net::kPatternOffCommand, 0, false, true},
    C{sculpt::kStopPattern, M::Test, msg::net::kStopPatternCommand, 0, true},
};

constexpr std::array kMenus{
    WindowMenu{M::File, msg::common::kFileMenu},
    WindowMenu{M::Edit, msg::common::kEditMenu},
    WindowMenu{M::Background, msg::sculpt::kBackgroundMenu},
    WindowMenu{M::Setting, msg::sculpt::kSettingMenu},
    WindowMenu{M::View, msg::common::kViewMenu},
    WindowMenu{M::Test, msg::net::kTestPatternMenu},
};

}  // namespace

std::span<const WindowCommand> SculptCommandTable() { return kCommands; }
std::span<const WindowMenu> SculptMenuTitles() { return kMenus; }

const WindowCommand* FindSculptCommand(int id) { return FindCommand(kCommands, id); }

}  // namespace corv
