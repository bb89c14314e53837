#pragma once

#include "base/Text.h"

namespace corv::msg::sculpt {

// Menu titles of the sculpt window.
inline constexpr Text kBackgroundMenu{"背景(&B)", "&Background"};
inline constexpr Text kSettingMenu{"设置(&S)", "&Setting"};

// File menu.
inline constexpr Text kNewCommand{"新建(&N)...", "&New..."};
inline constexpr Text kOpenCommand{"打开(&O)...", "&Open..."};
inline constexpr Text kImportDxf{"导入dxf文件", "Import dxf file"};
inline constexpr Text kPictureIdentify{"图片识别", "Picture Identiry"};
inline constexpr Text kExportModule{"导出模块", "Export module"};
inline constexpr Text kImportModule{"导入模块", "Import module"};
inline constexpr Text kOutputMap{"输出map文件", "Output map file"};
inline constexpr Text kOutputHmc{"输出hmc文件", "Output hmc file"};
inline constexpr Text kOutputImage{"输出图片", "Output image"};

// Edit menu: the tools, then the other commands.
inline constexpr Text kCutTool{"剪切", "Cut"};
inline constexpr Text kCopyTool{"复制", "Copy"};
inline constexpr Text kArrayCopyTool{"阵列复制", "Array copy"};
inline constexpr Text kSaveAsModule{"保存为模块", "Save as module"};
inline constexpr Text kPixelsRepeatTool{"像素点重复", "Pixels repeat"};
inline constexpr Text kTransferTool{"转接", "Transfer"};
inline constexpr Text kReverseTool{"反接", "Reverse"};
inline constexpr Text kMoveTool{"移动", "Move"};
inline constexpr Text kLineOperate{"线路操作", "Line operate"};
inline constexpr Text kPasteSetting{"粘贴设置", "Paste Setting"};
inline constexpr Text kAllowRepeat{"允许重复像素", "Allow repeat pixels"};
inline constexpr Text kConnectByBackground{"按背景连接", "Connect by background"};
inline constexpr Text kDeleteModule{"删除当前模块", "Delete current module"};

// Background menu.
inline constexpr Text kImportBackground{"导入背景图片", "Import backgroud picture"};
inline constexpr Text kCurrentFrame{"当前帧", "Current Frame"};
inline constexpr Text kEditBackgroundTool{"编辑背景", "Edit background"};
inline constexpr Text kInputText{"输入文字", "Input Text"};
inline constexpr Text kBackPictureSize{"背景图片尺寸", "Back picture size"};
inline constexpr Text kFrameAdjust{"背景位置调整", "Frame adjust"};
inline constexpr Text kDeleteBackground{"删除背景", "Delete background"};
inline constexpr Text kShowBackground{"显示背景图片", "Show background image"};

// Setting menu (also the titles of its dialogs).
inline constexpr Text kLightingSetting{"控制器参数设置", "Lighting setting"};
inline constexpr Text kChipPinSetting{"控制引脚设置", "Chip-pin setting"};
inline constexpr Text kMultiController{"多台主控制器设置", "Multi-controller Setting"};

// View menu.
inline constexpr Text kImageCenter{"图像居中", "Image Center"};
inline constexpr Text kShowGrid{"显示网格", "Show gird"};
inline constexpr Text kShowRoute{"显示路径", "Show route"};
inline constexpr Text kShowOutline{"显示外框", "Show outline border"};
inline constexpr Text kShowLinePanel{"线路面板", "Line panel"};

// Labels shared by several dialogs.
inline constexpr Text kExit{"退出", "Exit"};

// The sculpt frame: its line dock, title and number dialogs.
inline constexpr Text kLinesDock{"线路", "Lines"};
inline constexpr Text kTilesTitle{"设置", "Setting"};
inline constexpr Text kNewTitle{"新建", "New"};
inline constexpr Text kHeightRowsLabel{"高度(行):", "Height (rows):"};
inline constexpr Text kWidthColsLabel{"宽度(列):", "Width (cols):"};
inline constexpr Text kSphere{"球面", "Sphere"};
inline constexpr Text kWidthCellsLabel{"宽(格):", "Width (cells):"};
inline constexpr Text kHeightCellsLabel{"高(格):", "Height (cells):"};
inline constexpr Text kLeftCellsLabel{"左(格):", "Left (cells):"};
inline constexpr Text kTopCellsLabel{"上(格):", "Top (cells):"};

// The sculpt frame's messages (printf forms: %s is a path).
inline constexpr Text kCannotWrite{"无法写入 %s", "Cannot write %s", Traditional::None};
inline constexpr Text kReplaceExisting{"%s 已存在，是否替换?", "%s already exists. Replace it?", Traditional::None};
inline constexpr Text kPictureUnreadable{"无法读取图片 %s", "The picture %s cannot be read.", Traditional::None};

// The sculpt view's messages (printf forms: %d are a line number and a point count).
inline constexpr Text kLinesFull{"线路已满: 线路%d及其后的线路都已达到最大点数%d。",
                                 "The lines are full: line %d and the lines after it hold %d points, the line limit.",
                                 Traditional::None};
inline constexpr Text kArrayCopyPixelRange{"选择的像素点数应为1--%d点!", "The choice of pixel points for 1 - %d points!",
                                           Traditional::None};
inline constexpr Text kClipboardLinesDamaged{"剪贴板中的线路数据已损坏，未粘贴任何点。",
                                             "The layout data on the clipboard is damaged; nothing was pasted.",
                                             Traditional::None};

// Line panel.
inline constexpr Text kSinglePixelModeTip{"仅用于单点模块, 且需打开\"按背景连接\"",
                                          "Single pixel only, with \"Connect by background\" on"};
inline constexpr Text kLineAndSlaverLabel{"线路分控设置:", "Line and Slaver:"};
inline constexpr Text kMasterPortBLabel{"主控端口B:", "Master port B:"};
inline constexpr Text kModuleTypeLabel{"模块类型:", "Module Type:"};
inline constexpr Text kLineLimitLabel{"线路最大点数:", "LineLimitPixels:"};

// Save as module dialog.
inline constexpr Text kModuleNameLabel{"模块名称:", "Module name:"};
inline constexpr Text kPixelNumberLabel{"像素点数:", "Pixel number:"};

// Pixels repeat dialog.
inline constexpr Text kPixelsRepeatTitle{"像素点重复输出", "Pixels repeat output"};
inline constexpr Text kGroupSizeTip{"每组像素点数: 重复数使点位对齐到组的边界",
                                    "Pixels per group: the repeat count fills the group up from the clicked point"};
inline constexpr Text kRepeatCountLabel{"像素点重复输出数:", "Repeat the number of pixels output:"};
inline constexpr Text kGroupSizeLabel{"分组点数:", "Group size:"};

// Line operate dialog: the operations in the order of LineOperation.
inline constexpr Text kLineOperations[] = {
    {"交换", "Port exchange"}, {"合并", "Port unite"}, {"删除", "Port delete"},
    {"移动", "Port move"},     {"复制", "Port copy"},
};
inline constexpr Text kAnd{"和", "And"};
inline constexpr Text kTo{"到", "To"};
inline constexpr Text kOperateLabel{"操作:", "Operate:"};
inline constexpr Text kLineLabel{"线路:", "Line:"};
inline constexpr Text kOffsetXLabel{"X偏移:", "OffsetX:"};
inline constexpr Text kOffsetYLabel{"Y偏移:", "OffsetY:"};
inline constexpr Text kParameterError{"参数错误！", "Parameter error!"};

// Background text dialog.
inline constexpr Text kTextHeightLabel{"文字高度(格):", "Height (cells):"};

// Lighting setting dialog.
inline constexpr Text kColorReverse{"颜色取反", "ColorReverse"};
inline constexpr Text kLampTypeLabel{"灯具类型:", "LightType:"};
inline constexpr Text kControlTypeLabel{"控制类型:", "ControlType:"};
inline constexpr Text kClockRateLabel{"时钟频率:", "ClockRate:"};
inline constexpr Text kGrayLevelLabel{"灰度等级:", "GrayLevel:"};
inline constexpr Text kPortNumberLabel{"端口数:", "Port Number:"};
inline constexpr Text kGammaLabel{"伽马值:", "Gamma:"};
inline constexpr Text kBrightLabel{"亮度:", "Bright:"};
inline constexpr Text kRedLabel{"红色:", "Red:"};
inline constexpr Text kGreenLabel{"绿色:", "Green:"};
inline constexpr Text kBlueLabel{"蓝色:", "Blue:"};
inline constexpr Text kControllerTypeLabel{"控制器类型:", "Controller type:"};
inline constexpr Text kApply{"应用", "Apply"};

// Chip-pin setting dialog.
inline constexpr Text kPinCountLabel{"LED灯具控制引脚数:", "Led light chip-pin number:"};
inline constexpr Text kNameLabel{"名称:", "Name:"};
inline constexpr Text kShortcutLabel{"快捷方式:", "Shortcut:"};
inline constexpr Text kMakeTestFile{"生成测试文件", "MakeTestFile"};
// Shown in Chinese in every language.
inline constexpr Text kTestFileUnsupported{"暂不支持，请使用分控器", "暂不支持，请使用分控器"};

// Multi-controller setting dialog.
inline constexpr Text kSlaveNumberLabel{"分控数目:", "Slave number:"};
inline constexpr Text kRefurbish{"更新", "Refurbish"};
inline constexpr Text kAddController{"添加主控制器", "AddController"};
inline constexpr Text kDeleteController{"删除主控制器(&D)", "&DeleteConroller"};

// Import file dialog (%1, %2: a path or a count, then a limit).
inline constexpr Text kImportFileTitle{"导入文件", "Import File"};
inline constexpr Text kVertexMode{"以线段端点为LED", "Use segment ends as LEDs"};
inline constexpr Text kVertexModeTip{"不勾选(圆模式): 取每条线段链上的圆作为LED;\n勾选(端点模式): 取链中各线段的端点作为LED。",
                                     "Circle mode (unchecked): the circles along each chain of LINE segments are the LEDs.\n"
                                     "Vertex mode (checked): the end points of the chain's segments are the LEDs."};
inline constexpr Text kBrowse{"浏览", "Browse"};
inline constexpr Text kFastIdentify{"快速识别", "Fast Identify"};
inline constexpr Text kSpaceXLabel{"X间距:", "SpaceX:"};
inline constexpr Text kSpaceYLabel{"Y间距:", "SpaceY:"};
inline constexpr Text kPointNumLabel{"点数:", "Point num:"};
inline constexpr Text kCannotOpen{"无法打开文件 %1", "Cannot open %1"};
inline constexpr Text kNotAPicture{"%1 不是本程序能读取的图片, 未作任何改动。",
                                   "%1 is not a picture this program reads; nothing was changed."};
inline constexpr Text kDxfEndsEarly{"%1 在 ENTITIES 段结束之前就结束了; 只读到了此前的内容。",
                                    "%1 ends before its ENTITIES section does; only what it holds up to there was read."};
inline constexpr Text kAbsurdEntities{"%1 个图元的坐标不是有限值或超出 %2, 已略去。",
                                      "%1 entities with coordinates that are not finite or lie beyond %2 were left out."};
inline constexpr Text kFastIdentifyNeedsPicture{"快速识别要用图片: 请先用\"浏览\"打开一张图片。",
                                                "Fast Identify works on a picture: open one with Browse first."};
inline constexpr Text kNoLedDots{"图片中没有找到 LED 点。", "No LED dots were found in the picture."};
inline constexpr Text kOpenDrawingFirst{"请先用\"浏览\"打开一个 DXF 图纸或一张图片。",
                                        "Open a DXF drawing or a picture with Browse first."};

}  // namespace corv::msg::sculpt
