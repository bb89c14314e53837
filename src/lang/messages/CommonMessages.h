#pragma once

#include "base/Text.h"

// The words several parts of the program show alike: buttons, menus, labels.

namespace corv::msg::common {

inline constexpr Text kAdd{"添加", "Add"};
inline constexpr Text kAngle{"角度:", "Angle:"};
inline constexpr Text kCaptureTitle{"视频采集转换", "Video capture transform"};
inline constexpr Text kClose{"关闭", "Close"};
inline constexpr Text kColourCount{"%1色", "%1Color"};
inline constexpr Text kColourProcessTitle{"颜色处理", "Color process"};
inline constexpr Text kCopyCommand{"复制(&C)", "&Copy"};
inline constexpr Text kCutCommand{"剪切(&T)", "Cu&t"};
inline constexpr Text kDelete{"删除(&D)", "&Delete"};
inline constexpr Text kDeleteText{"删除", "Delete"};
inline constexpr Text kEditMenu{"编辑(&E)", "&Edit"};
inline constexpr Text kFileMenu{"文件(&F)", "&File"};
inline constexpr Text kFill{"填充", "Fill"};
inline constexpr Text kFontColour{"颜色...", "Colour..."};
inline constexpr Text kFontHeight{"高:", "Height:"};
inline constexpr Text kFontWidth{"宽:", "Width:"};
inline constexpr Text kFramesLabel{"帧数:", "Frames:"};
inline constexpr Text kImportTitle{"导入", "Import"};
inline constexpr Text kLineTool{"直线", "Line"};
inline constexpr Text kNewLayer{"新建(&N)", "&New"};
inline constexpr Text kNoSuchCommand{"未知命令 \"%1\"", "unknown command \"%1\""};
inline constexpr Text kNoSuchOption{"未知选项 %1", "unknown option %1"};
inline constexpr Text kOk{"确定", "OK"};
inline constexpr Text kOpenFailed{"打开文件失败!", "Open file fail!"};
inline constexpr Text kPasteCommand{"粘贴(&P)", "&Paste"};
inline constexpr Text kPasteTool{"粘贴", "Paste"};
inline constexpr Text kPictureTool{"图片", "Picture"};
inline constexpr Text kPictureUnreadable{"无法读取图片 ", "The picture cannot be read: "};
inline constexpr Text kPictures{"图片", "Pictures"};
inline constexpr Text kPlay{"播放(&P)", "&Play"};
inline constexpr Text kPlayCommand{"播放(&P)", "Play(&P)"};
inline constexpr Text kRectangleTool{"矩形", "Rectangle"};
inline constexpr Text kRedoCommand{"重做(&R)", "&Redo"};
inline constexpr Text kReturn{"返回", "Return"};
inline constexpr Text kRowColDeleteTitle{"行列删除", "Row Col Delete"};
inline constexpr Text kSave{"保存", "Save"};
inline constexpr Text kSaveAsCommand{"另存为(&A)...", "Save &As..."};
inline constexpr Text kSaveCommand{"保存(&S)", "&Save"};
inline constexpr Text kSaveFileFail{"保存文件失败!", "Save file fail!"};
inline constexpr Text kStepsPasteTitle{"阶梯粘贴", "Steps paste"};
inline constexpr Text kStop{"停止(&S)", "&Stop"};
inline constexpr Text kStopCommand{"停止(&S)", "Stop(&S)"};
inline constexpr Text kStripeWidth{"线宽:", "Line width:"};
inline constexpr Text kTextLabel{"文字:", "Text:"};
inline constexpr Text kUndoCommand{"撤销(&U)", "&Undo"};
inline constexpr Text kUntitled{"无标题", "Untitled"};
inline constexpr Text kVertical{"垂直", "Vertical"};
inline constexpr Text kViewMenu{"查看(&V)", "&View"};
inline constexpr Text kZoomIn{"放大", "Zoom in"};
inline constexpr Text kZoomOut{"缩小", "Zoom out"};

}  // namespace corv::msg::common
