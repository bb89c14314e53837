#pragma once

#include <span>

#include "app/common/CommandTable.h"

namespace corv {

// Command ids of the sculpt window.
namespace sculpt {
// Tools (the number is the tool mode).
inline constexpr int kToolAdd = 0;
inline constexpr int kToolCut = 1;
inline constexpr int kToolCopy = 2;
inline constexpr int kToolArrayCopy = 3;
inline constexpr int kToolSaveModule = 4;
inline constexpr int kToolPixelsRepeat = 5;
inline constexpr int kToolDelete = 6;
inline constexpr int kToolPaste = 7;
inline constexpr int kToolTransfer = 8;
inline constexpr int kToolReverse = 9;
inline constexpr int kToolMove = 11;
inline constexpr int kToolEditBackground = 12;  // paints the background mask cell by cell

inline constexpr int kFirstToolCommand = 33000;  // tool t has command id 33000 + t
inline constexpr int kImageCenter = 32772;
inline constexpr int kNew = 33100;
inline constexpr int kOpen = 33101;
inline constexpr int kSave = 33102;
inline constexpr int kSaveAs = 33103;
inline constexpr int kImportDxf = 33104;
inline constexpr int kPictureIdentify = 33105;
inline constexpr int kExportModule = 33106;
inline constexpr int kImportModule = 33107;
inline constexpr int kOutputMap = 33108;
inline constexpr int kOutputHmc = 33109;
inline constexpr int kOutputImage = 33110;
inline constexpr int kReturn = 33111;
inline constexpr int kUndo = 33120;
inline constexpr int kRedo = 33121;
inline constexpr int kLineOperate = 33122;
inline constexpr int kPasteSetting = 33123;
inline constexpr int kAllowRepeat = 33124;
inline constexpr int kConnectByBackground = 33125;
inline constexpr int kDeleteModule = 33126;
inline constexpr int kImportBackground = 33130;
inline constexpr int kCurrentFrame = 33131;
inline constexpr int kInputText = 33132;
inline constexpr int kBackPictureSize = 33133;
inline constexpr int kFrameAdjust = 33134;
inline constexpr int kDeleteBackground = 33135;
inline constexpr int kShowBackground = 33136;
inline constexpr int kLightingSetting = 33140;
inline constexpr int kChipPinSetting = 33141;
inline constexpr int kMultiController = 33142;
inline constexpr int kZoomIn = 33150;
inline constexpr int kZoomOut = 33151;
inline constexpr int kShowGrid = 33152;
inline constexpr int kShowRoute = 33153;
inline constexpr int kShowOutline = 33154;
inline constexpr int kShowLinePanel = 33155;
inline constexpr int kShowBudgetPanel = 33156;
// Commissioning patterns sent live to the controllers (pattern p has id kFirstPattern + p,
// p as net::TestPattern counts).
inline constexpr int kFirstPattern = 33160;
inline constexpr int kPatternCount = 5;
inline constexpr int kStopPattern = 33169;
}  // namespace sculpt

// The sculpt window's menus (a WindowCommand's menu).
enum class SculptMenu { File, Edit, Background, Setting, View, Test };

// Every command of the sculpt window in menu order, and the menu titles.
std::span<const WindowCommand> SculptCommandTable();
std::span<const WindowMenu> SculptMenuTitles();
const WindowCommand* FindSculptCommand(int id);

}  // namespace corv
