#pragma once

#include "base/Text.h"

namespace corv::msg::media {

// Shared by the media windows: the dialog buttons and the size fields.
inline constexpr Text kCancel{"取消", "Cancel"};
inline constexpr Text kOpen{"打开", "Open"};

// The capture dialog ("Video capture transform") and its marking window.
inline constexpr Text kCaptureWindowCaption{"采集窗", "Capture window"};
inline constexpr Text kSmoothZoom{"平滑缩放", "Smooth zoom"};
inline constexpr Text kHardwareAcceleration{"硬件加速", "HardwareAcceleration"};
inline constexpr Text kCaptureButton{"采集(&A)", "C&apture"};
inline constexpr Text kVideoFilesFilter{"所有视频文件(swf,avi,mpg,asf,wmv,rm,rmvb,3gp)", "All Video file(swf,avi,mpg,asf,wmv,rm,rmvb,3gp)"};
inline constexpr Text kCvnDocumentFilter{"cvn 文档(*.cvn)", "cvn document(*.cvn)"};
inline constexpr Text kLeftLabel{"左:", "Left:"};
inline constexpr Text kTopLabel{"上:", "Top:"};
inline constexpr Text kCaptureRateLabel{"帧/秒:", "F/S:"};
inline constexpr Text kKeepSizeWhileCapturing{"视频采集时长宽应保持不变。\n若改变长或宽，前面采集的数据将全部丢弃。\n是否继续？",
                                              "Maintain the width and height while sampling.\nIf change the width and height, the collected datas "
                                              "will lose completely. Yes/No?"};
inline constexpr Text kScreenCaptureNeedsX11{"屏幕采集需要 X11 会话；当前会话不允许读取屏幕。",
                                             "Screen capture needs an X11 session; this session does not allow reading the screen."};
inline constexpr Text kOutOfMemory{"内存不足。", "Memory insufficiency."};
// printf form: the picture shown, the pictures captured.
inline constexpr Text kPictureOfPictures{"第%d帧,共%d帧", "%dTh,%d in total"};
// Followed by the movie's path.
inline constexpr Text kMovieNotPlayable{"无法播放影片 ", "The movie cannot be played: "};
inline constexpr Text kNothingCapturedToSave{"没有采集的图像可以保存。", "There are no captured pictures to save."};

// The import window.
inline constexpr Text kLookIn{"查找范围:", "Look in:"};
inline constexpr Text kFileName{"文件名:", "File name:"};
inline constexpr Text kFilesOfType{"文件类型:", "Files of type:"};
inline constexpr Text kImportFramesUnit{"帧", "Frames"};
inline constexpr Text kFrameNumLabel{"帧数:", "FrameNum:"};
inline constexpr Text kImportLabel{"导入:", "Import:"};
inline constexpr Text kImportMode{"导入方式", "Import mode"};
inline constexpr Text kCenterFit{"居中", "Center"};
inline constexpr Text kCenterFitTip{"图片保持比例, 缩放到帧内并居中, 其余部分为黑色",
                                    "The picture keeps its proportions, scaled to fit the frame and centred on black"};
inline constexpr Text kStretchFit{"拉伸", "Stretch"};
inline constexpr Text kStretchFitTip{"图片缩放到正好填满整帧", "The picture is scaled to fill the frame exactly"};
inline constexpr Text kOutputControllerData{"输出控制器数据(&C)", "Output &Controller Data"};
inline constexpr Text kHighSpeedImport{"高速导入SWF", "HighSpeedImportSWF"};
inline constexpr Text kHighSpeedImportTip{"逐帧读取Flash影片, 而不是在播放时取样",
                                          "Step Flash movies picture by picture instead of sampling them while they play"};
inline constexpr Text kFileUnreadable{"无法读取这个文件。", "This file cannot be read."};

// Paint edit: a frame edited in an outside painting program.
inline constexpr Text kNoFrameToPaint{"没有可以绘制的帧。", "There is no frame to paint."};
// Followed by the known painting programs and kSentenceEnd.
inline constexpr Text kNoPainterFound{"没有找到绘图程序。请在系统设置中指定绘图程序, 或安装以下程序之一: ",
                                      "No painting program was found. Name one under System setting (paint program), or install one of: "};
inline constexpr Text kSentenceEnd{"。", "."};
// Followed by the folder.
inline constexpr Text kPictureFolderNotMade{"无法在此处建立图片文件夹: ", "The folder for the picture cannot be made in "};
// Followed by the program and the reason.
inline constexpr Text kPainterNotStarted{"无法启动绘图程序: ", "The painting program cannot be started: "};

// The video options dialog.
inline constexpr Text kVideoOptionsTitle{"AVI 选项", "AVI Option"};
inline constexpr Text kUncompressed{"不压缩", "Uncompressed"};
inline constexpr Text kAbout{"关于", "About"};
inline constexpr Text kPlaySpeed{"播放速度:", "Play speed:"};
inline constexpr Text kFramesPerSecond{"帧/秒", "Frames/second"};
inline constexpr Text kCaptureSpeed{"采集速度:", "Capture speed:"};
inline constexpr Text kCompressor{"压缩器:", "Compressor:"};
inline constexpr Text kQuality{"质量:", "Quality:"};
inline constexpr Text kKeyFrameRate{"关键帧间隔:", "Key frame rate:"};
inline constexpr Text kFrameUnit{"帧", "frame"};
inline constexpr Text kRawPixelsAbout{"每帧按原样保存24位像素, 无损; 质量设置对它不起作用。",
                                      "Every frame is kept as its 24-bit pixels: lossless; the quality does not apply to it."};
inline constexpr Text kEncoderAbout{"FFmpeg 编码器: %1", "FFmpeg encoder: %1"};
inline constexpr Text kLosslessYes{"无损: 是", "Lossless: yes"};
inline constexpr Text kLosslessNo{"无损: 否", "Lossless: no"};
inline constexpr Text kQuantiserAbout{"质量 %1 对应量化值 %2 (2 最好, 31 文件最小)。",
                                      "Quality %1 gives the quantiser %2 (2 is the best, 31 the smallest file)."};
inline constexpr Text kRateFactorAbout{"质量 %1 对应码率因子 %2 (0 无损, 51 文件最小)。",
                                       "Quality %1 gives the rate factor %2 (0 is lossless, 51 the smallest file)."};
inline constexpr Text kQualityDoesNotApply{"质量设置对这个压缩器不起作用。", "The quality does not apply to this compressor."};

}  // namespace corv::msg::media
