#pragma once

#include "base/Text.h"

namespace corv::msg::shell {

// The main menu: the menu titles.
inline constexpr Text kSkinMenu{"皮肤(&K)", "S&kin"};
inline constexpr Text kLanguageMenu{"语言(&L)", "&Language"};
inline constexpr Text kHelpMenu{"帮助(&H)", "&Help"};

// The main menu: the File menu.
inline constexpr Text kOpenCommand{"打开(&O)...", "&Open ..."};
inline constexpr Text kSupplementalCommand{"追加", "Supplemental"};
inline constexpr Text kOutputControllerFileCommand{"输出控制器文件(&C)", "Output &Controller File"};
inline constexpr Text kExportVideoCommand{"导出视频(&V)...", "Export &video..."};
inline constexpr Text kVideoOptionsCommand{"视频选项...", "Video options..."};
inline constexpr Text kImportControllerFileCommand{"导入控制器文件", "Import Controller file"};
inline constexpr Text kUniteFileCommand{"文件合并", "Unite File"};
inline constexpr Text kExitCommand{"退出(&X)", "E&xit"};

// The main menu: the Edit menu.
inline constexpr Text kInsertCommand{"插入(I)", "Insert(I)"};
inline constexpr Text kCoverModeCommand{"覆盖模式(&C)", "&Cover mode"};
inline constexpr Text kEditAreaCommand{"编辑区域(&E)", "&Edit Area"};
inline constexpr Text kPaintEditCommand{"绘图编辑", "Paint edit"};
inline constexpr Text kFrameProcessCommand{"帧处理", "Frame process"};

// The main menu: the View menu.
inline constexpr Text kShowGridCommand{"显示网格", "Show grid"};
inline constexpr Text kImageCenterCommand{"图像居中", "Image center"};
inline constexpr Text kToolsbarCommand{"工具栏(&S)", "&Toolsbar"};
inline constexpr Text kStatusBarCommand{"状态栏(&B)", "&StatusBar"};
inline constexpr Text kLineSettingCommand{"线路设置(&S)", "Line &Setting"};
inline constexpr Text kSpherePreviewCommand{"球体预览", "Sphere preview"};
inline constexpr Text kLedPreviewCommand{"灯光预览", "LED preview"};
inline constexpr Text kSystemSettingCommand{"系统设置(&Y)", "S&ystem setting"};

// The main menu: the Skin menu.
inline constexpr Text kNoSkinCommand{"无皮肤", "No skin"};
inline constexpr Text kSkin1Command{"皮肤1", "Skin1"};
inline constexpr Text kSkin2Command{"皮肤2", "Skin2"};
inline constexpr Text kSkin3Command{"皮肤3", "Skin3"};

// The main menu: the Play menu.

// The main menu: the Language menu. Each language is named in its own writing, never
// converted: the Chinese program by the names alone, the English one with the English words
// beside.
inline constexpr Text kSimplifiedChineseCommand{"简体中文", "Simplified han(简体中文)", Traditional::None};
inline constexpr Text kTraditionalChineseCommand{"繁體中文", "Traditional(繁體中文)", Traditional::None};
inline constexpr Text kEnglishCommand{"&English", "&English", Traditional::None};

// The main menu: the Help menu.
inline constexpr Text kHelpCommand{"帮助(&H)", "&Help"};
inline constexpr Text kAboutCommand{"关于(&A)...", "&About..."};

// The main window.
inline constexpr Text kOpenDocumentFilter{"Corvantine 文档 (*.cvn *.rar);;所有文件 (*)", "Corvantine File (*.cvn *.rar);;All files (*)"};
inline constexpr Text kSaveDocumentFilter{"Corvantine 文档 (*.cvn)", "Corvantine File (*.cvn)"};
inline constexpr Text kControlBar{"控制", "Control"};
inline constexpr Text kFramesPerSecondSuffix{" 帧/秒", " fps"};
inline constexpr Text kSphereLayoutsOnly{"球体预览只用于球形布局。", "The sphere preview is for sphere layouts only."};

// The main window's frame editing commands.
inline constexpr Text kDamagedClipboardBlock{"剪贴板上的帧块已损坏 (其尺寸与长度不符)。",
                                             "The frame block on the clipboard is damaged (its sizes do not match its length)."};
inline constexpr Text kTooManyFramesToCopy{"一次最多可复制或剪切 65535 帧。", "At most 65535 frames can be copied or cut at a time."};
inline constexpr Text kSizeError{"尺寸错误!", "Size error!"};
inline constexpr Text kControllerFileFilter{"LED控制文件(*.led)", "LED Ctrl file(*.led)"};

// The main window's media commands.
inline constexpr Text kPainterBusy{"绘图程序正在编辑一帧。", "A painting program is editing a frame already."};
inline constexpr Text kVideoFileFilter{"AVI文件(*.avi);;MP4 (*.mp4);;Matroska (*.mkv);;QuickTime (*.mov);;GIF (*.gif);;所有文件 (*.*)",
                                       "AVI File(*.avi);;MP4 (*.mp4);;Matroska (*.mkv);;QuickTime (*.mov);;GIF (*.gif);;*.*"};

// The system setting dialog.
inline constexpr Text kSystemSettingTitle{"系统设置", "System setting"};
inline constexpr Text kAutoCheckVersion{"自动检查软件版本", "Auto check vertion of software"};
inline constexpr Text kCompressDocuments{"压缩存储文档(*.cvn)", "Compressed files to store documents(*.cvn)"};
inline constexpr Text kExternalPaintingTool{"外部绘图工具:", "External painting tools:"};
inline constexpr Text kProgramFilter{"程序 (*)", "Programs (*)"};
inline constexpr Text kGridScale{"网格比例", "Grid scale"};

// The manual's window.
inline constexpr Text kManualMissingFile{"文件不存在或无法读取", "the file is not there or cannot be read"};
inline constexpr Text kManualInvalidPdf{"这不是有效的 PDF 文件", "it is no valid PDF file"};
inline constexpr Text kManualPassword{"文件有密码保护", "it is protected by a password"};
inline constexpr Text kManualUnsupportedSecurity{"文件的加密方式不受支持", "its security scheme is not supported"};
inline constexpr Text kManualUnreadable{"文件无法读取", "it cannot be read"};
inline constexpr Text kManualNoPages{"文件中没有页面", "it has no pages"};
inline constexpr Text kManualTitle{"使用手册", "Manual"};
inline constexpr Text kManualTitleWithName{"使用手册 - %1", "Manual - %1"};
inline constexpr Text kPreviousPage{"上一页", "Previous page"};
inline constexpr Text kNextPage{"下一页", "Next page"};
inline constexpr Text kPageLabel{"页:", "Page:"};
inline constexpr Text kPageCount{"共 %1 页", "of %1"};
inline constexpr Text kFitWidth{"适合宽度", "Fit width"};
inline constexpr Text kFind{"查找", "Find"};
inline constexpr Text kFindPrevious{"上一个", "Previous"};
inline constexpr Text kFindNext{"下一个", "Next"};
inline constexpr Text kNotFound{"找不到 \"%1\"", "\"%1\" not found"};
inline constexpr Text kOpenInDesktopViewer{"用系统的阅读器打开", "Open in the desktop's viewer"};
inline constexpr Text kManualNotShown{"无法在程序中显示使用手册 %1: %2。", "The manual %1 cannot be shown in the program: %2."};
inline constexpr Text kEitherManual{"%1 或 %2", "%1 or %2"};
inline constexpr Text kManualNotThere{"找不到使用手册 %1 (查找的文件夹: %2)。", "The manual %1 is not there (looked in %2)."};
inline constexpr Text kAskDesktopViewer{"要用系统的 PDF 阅读器打开它吗?", "Open it in the desktop's PDF viewer?"};
inline constexpr Text kNoDesktopViewer{"系统中没有可以打开 PDF 文件的程序, 无法打开 %1。",
                                       "No program of the desktop opens PDF files, so %1 could not be opened."};

}  // namespace corv::msg::shell
