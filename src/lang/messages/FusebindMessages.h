#pragma once

#include "base/Text.h"

namespace corv::msg::fusebind {

// The merge window and the messages of a merge.
inline constexpr Text kMergeCaption{"文件合并", "File Merge"};
inline constexpr Text kTooFewFiles{"文件数目太少!", "File number is too small!"};
inline constexpr Text kFileTypesDiffer{"文件类型不一致!", "File type is not consistent!"};
inline constexpr Text kMergeSucceeded{"合并文件成功!", "Merge file is successfully!"};
inline constexpr Text kMergeFailed{"合并文件失败!", "Merge file failed!"};
inline constexpr Text kNotOurFormat{"不是Veltranix格式文件!", " Not Veltranix format files!"};
inline constexpr Text kFrameCountsDiffer{"帧数不一样!\r\n", "Frame number vary!\r\n"};
inline constexpr Text kContinueQuestion{"是否继续?", "Continue?"};
inline constexpr Text kSizesDiffer{"尺寸不一致!\r\n", "Size vary!\r\n"};
inline constexpr Text kDatPageTitle{"DAT文件合并", "Merge DAT File"};
inline constexpr Text kVidPageTitle{"VID文件合并", "Merge VID File"};
inline constexpr Text kDatModeFrames{"帧数增加,分控不变", "Frame manifold,Slave fixedness"};
inline constexpr Text kDatModeSlaves{"分控增加,帧数不变", "Slave manifold,Frame fixedness"};
inline constexpr Text kDatModeLabel{"合并方式:", "MergeMode:"};
inline constexpr Text kVidModeLabel{"排列方式:", "MergeMode:"};
inline constexpr Text kHorizontal{"水平", "Horizontal"};
inline constexpr Text kMergeButton{"合并", "Merge"};
inline constexpr Text kWarningTitle{"警告", "Warning"};

// Warnings and refusals of a merge.
inline constexpr Text kPartialFrameBlock{
    "%1: 数据在一个帧块中间结束, 不完整的帧块已舍去, 保留%2个完整帧。",
    "%1: the data ends inside a frame block; the partial block is left out and %2 whole "
    "frames are kept."};
inline constexpr Text kNoWholeFrame{
    "%1: 数据在第一个帧块中间结束, 没有一个完整的帧。",
    "%1: the data ends inside the first frame block; no whole frame is left."};
inline constexpr Text kBadChecksum{
    "%1: 第%2个分控的校验和错误, 该记录按原样保留。",
    "%1: the checksum of slave %2 is wrong; its record is kept as it is."};
inline constexpr Text kMoreBadChecksums{
    "%1: 另有%2个分控的校验和错误。",
    "%1: %2 more slaves have a wrong checksum."};
inline constexpr Text kFramesTooLong{
    "%1: 声称有%2帧%3 x %4像素, 但帧数据只有%5字节。",
    "%1: claims %2 frames of %3 x %4 pixels, but holds only %5 bytes of frames."};
inline constexpr Text kNoFreeSpace{
    "%1: 磁盘空间不足: 合并后的文件需要%2, 该处只剩%3。",
    "%1: not enough free space: the merged file needs %2, only %3 are free there."};
inline constexpr Text kPictureTooBig{
    "合并后的画面将是%1 x %2像素, 每边最多32767。",
    "the merged picture would be %1 x %2 pixels; a side holds at most 32767."};
inline constexpr Text kTooManySlaves{
    "合并后将有%1个分控, 控制器数据文件最多容纳%2个。",
    "the merged file would have %1 slaves; a controller data file holds at most %2."};
inline constexpr Text kSlaveShapeDiffers{
    "%1: 分控数、数据偏移或帧块大小与第一个文件不同。",
    "%1: the slave count, data offset or frame block size differs from the first file's."};
inline constexpr Text kArchiveEntryMissing{"%1: 压缩包中没有%2。", "%1: the archive holds no %2."};
inline constexpr Text kTooManyCells{
    "合并后的画面将是%1 x %2像素, 共%3个点; 程序最多打开%4个点的画面。",
    "the merged picture would be %1 x %2 pixels, %3 cells; the program opens pictures of at "
    "most %4 cells."};
inline constexpr Text kOutputIsInput{
    "%1: 输出文件就是输入文件%2, 合并会覆盖它; 请另选输出文件。",
    "%1: the output is the input %2, which the merge would overwrite; choose another output."};

// The command line: help texts and usage mistakes.
inline constexpr Text kHelp{
    "用法: fusebind [--lang 1|2|3]                  (合并对话框)\n"
    "      fusebind [--lang 1|2|3] merge-dat --mode frames|slaves -o 输出.dat 输入1.dat 输入2.dat ... [--yes]\n"
    "      fusebind [--lang 1|2|3] merge-vid --mode horizontal|vertical -o 输出.vid 输入1.vid 输入2.vid ... "
    "[--yes]\n"
    "      fusebind --version | --help\n"
    "\n"
    "合并控制器数据文件(.dat 或 .led): 帧数增加或分控增加; 把视频工程文件(.vid)拼成一个画面。\n"
    "--lang 选择对话框和消息的语言: 1 简体中文, 2 繁体中文, 3 英文。不给时按程序旁的\n"
    "Vorlane.ini, 其中没有设定时按系统的语言。\n"
    "--yes 在输入文件不一致时回答\"是否继续?\"; 不给时这样的合并显示问题并以状态 1 退出。\n"
    "运行 \"fusebind merge-dat --help\" 或 \"fusebind merge-vid --help\" 查看命令的选项。\n"
    "退出状态: 0 成功, 1 合并失败, 2 用法错误。\n",
    "Usage: fusebind [--lang 1|2|3]                  (the merge dialog)\n"
    "       fusebind [--lang 1|2|3] merge-dat --mode frames|slaves -o OUT.dat IN1.dat IN2.dat ... [--yes]\n"
    "       fusebind [--lang 1|2|3] merge-vid --mode horizontal|vertical -o OUT.vid IN1.vid IN2.vid ... [--yes]\n"
    "       fusebind --version | --help\n"
    "\n"
    "Merges controller data files (.dat or .led) in time or as more slaves, and video project files (.vid)\n"
    "side by side into one picture.\n"
    "--lang picks the language of the dialog and of the messages: 1 Simplified Chinese,\n"
    "2 Traditional Chinese, 3 English. Without it the language comes from Vorlane.ini beside\n"
    "the program, and from the system where that sets none.\n"
    "--yes answers the \"Continue?\" question when the inputs differ; without it such a merge\n"
    "stops with the question and exit status 1.\n"
    "Run \"fusebind merge-dat --help\" or \"fusebind merge-vid --help\" for a command's options.\n"
    "Exit status: 0 success, 1 the merge failed, 2 bad usage.\n"};
inline constexpr Text kMergeDatHelp{
    "用法: fusebind [--lang 1|2|3] merge-dat --mode frames|slaves -o 输出.dat 输入1.dat 输入2.dat ... [--yes]\n"
    "\n"
    "合并控制器数据文件: 全部为 .dat 或全部为 .led (本程序写出的文件); 输出文件名不带扩展名时\n"
    "使用输入文件的扩展名。\n"
    "  --mode frames   帧数增加, 分控不变: 各文件的帧依次相接 (各文件的分控须相同)\n"
    "  --mode slaves   分控增加, 帧数不变: 各文件的分控逐帧并排\n"
    "  -o 输出.dat     合并后的文件 (先写临时文件; 失败时原文件不变)\n"
    "  --yes           各文件帧数不同时照样合并\n"
    "  --lang 1|2|3    消息的语言: 1 简体中文, 2 繁体中文, 3 英文\n"
    "输入文件末尾不完整的帧块被舍去并给出警告; 校验和错误的分控记录按原样合并并给出警告。\n"
    "输出文件的大小先算好, 磁盘空间不够时不写入。\n",
    "Usage: fusebind [--lang 1|2|3] merge-dat --mode frames|slaves -o OUT.dat IN1.dat IN2.dat ... [--yes]\n"
    "\n"
    "Merges controller data files: all .dat or all .led (the files the program writes); an output\n"
    "named without an extension gets theirs.\n"
    "  --mode frames   more frames, the same slaves: the files' frames one after the other\n"
    "                  (every file must have the same slaves)\n"
    "  --mode slaves   more slaves, the same frames: the files' slaves side by side, frame by frame\n"
    "  -o OUT.dat      the merged file (written through a temporary file; on failure the old one\n"
    "                  stays as it was)\n"
    "  --yes           merge all the same when the files' frame counts differ\n"
    "  --lang 1|2|3    the language of the messages: 1 Simplified Chinese, 2 Traditional Chinese,\n"
    "                  3 English\n"
    "A partial frame block at the end of an input is left out, with a warning; slave records with\n"
    "a wrong checksum are merged as they are, with a warning. The merged file's size is worked out\n"
    "first, and nothing is written when its folder has not the room.\n"};
inline constexpr Text kMergeVidHelp{
    "用法: fusebind [--lang 1|2|3] merge-vid --mode horizontal|vertical -o 输出.vid 输入1.vid 输入2.vid ... "
    "[--yes]\n"
    "\n"
    "把视频工程文件 (普通的或压缩的) 拼成一个画面。\n"
    "  --mode horizontal   水平: 各画面从左到右并排\n"
    "  --mode vertical     垂直: 各画面上下排列, 第一个在上\n"
    "  -o 输出.vid         合并后的文件 (先写临时文件; 失败时原文件不变)\n"
    "  --yes               帧数或尺寸不一致时照样合并\n"
    "  --lang 1|2|3        消息的语言: 1 简体中文, 2 繁体中文, 3 英文\n"
    "输出文件的大小先算好, 磁盘空间不够时不写入。\n",
    "Usage: fusebind [--lang 1|2|3] merge-vid --mode horizontal|vertical -o OUT.vid IN1.vid IN2.vid ... "
    "[--yes]\n"
    "\n"
    "Merges video project files (plain or packed) into one picture.\n"
    "  --mode horizontal   the pictures side by side, from left to right\n"
    "  --mode vertical     the pictures one above the other, the first on top\n"
    "  -o OUT.vid          the merged file (written through a temporary file; on failure the old\n"
    "                      one stays as it was)\n"
    "  --yes               merge all the same when the frame counts or sizes differ\n"
    "  --lang 1|2|3        the language of the messages: 1 Simplified Chinese, 2 Traditional\n"
    "                      Chinese, 3 English\n"
    "The merged file's size is worked out first, and nothing is written when its folder has not\n"
    "the room.\n"};
inline constexpr Text kNeedsFileName{"%1 需要一个文件名", "%1 needs a file name"};
inline constexpr Text kNoOutputFile{"缺少输出文件: 请用 -o 指定", "no output file: name it with -o"};
inline constexpr Text kDatModeValues{"--mode 只能是 frames 或 slaves", "--mode takes frames or slaves"};
inline constexpr Text kVidModeValues{
    "--mode 只能是 horizontal 或 vertical",
    "--mode takes horizontal or vertical"};
inline constexpr Text kLangValues{
    "--lang 只能是 1 (简体中文)、2 (繁体中文) 或 3 (英文)",
    "--lang takes 1 (Simplified Chinese), 2 (Traditional Chinese) or 3 (English)"};
inline constexpr Text kSeeHelp{"运行 \"%1 --help\" 查看选项。", "Run \"%1 --help\" for the options."};
inline constexpr Text kYesHint{"加上 --yes 即照样合并。", "Give --yes to merge them all the same."};

// The merge window's file filters.
inline constexpr Text kDatFilter{"dat文件(*.dat)", "dat file(*.dat)"};
inline constexpr Text kVidFilter{"vid文件(*.vid)", "vid file(*.vid)"};
inline constexpr Text kCtrlDatFilter{"控制器数据文件(*.dat)", "CtrlData file(*.dat)"};
inline constexpr Text kLedFilter{"led文件(*.led)", "led file(*.led)"};
inline constexpr Text kCtrlLedFilter{"控制器数据文件(*.led)", "CtrlData file(*.led)"};
inline constexpr Text kCtrlAnyFilter{"控制器数据文件(*.dat *.led)", "CtrlData file(*.dat *.led)"};

}  // namespace corv::msg::fusebind
