#pragma once

#include "base/Text.h"

namespace corv::msg::cli {

// The command line: its own words (the command name, usage and warnings).
inline constexpr Text kUsagePrefix{"用法: ", "Usage: "};
inline constexpr Text kWarningPrefix{"警告: ", "warning: "};

// The options of a command (the argument parser).
inline constexpr Text kOptionNeedsValue{"选项 %1 需要一个值", "option %1 needs a value"};
inline constexpr Text kOptionNeedsInteger{"选项 %1 需要一个整数, 而不是 \"%2\"", "option %1 needs an integer, not \"%2\""};
// Between the options of a list.
inline constexpr Text kListSeparator{"、", ", ", Traditional::None};
inline constexpr Text kOptionNotForKind{"%1 不适用于 %2 (它属于 %3)", "%1 does not apply to %2 (it belongs to %3)"};
inline constexpr Text kKindTakesNoOptions{"; %1 不接受任何选项", "; %1 takes no options"};
inline constexpr Text kKindTakesOnlyCommon{"; %1 只可用通用选项 %2", "; %1 takes only the common options %2"};
inline constexpr Text kKindTakesOwn{"; %1 可用 %2", "; %1 takes %2"};
inline constexpr Text kKindTakesOwnAndCommon{"; %1 可用 %2 以及通用选项 %3", "; %1 takes %2 and the common options %3"};
inline constexpr Text kOptionRange{"%1 的取值范围为 %2..%3", "%1 takes %2..%3"};

// Failures every command may report.
inline constexpr Text kFrameRangeHint{" (--first 和 --last 取第 1..%1 帧, 起始帧不能在结束帧之后)",
                                      " (--first and --last take frames 1..%1, first not after last)"};
inline constexpr Text kHeaderSizeDiffers{
    "%1: 文件头记载第一个场景为 %2 x %3, 但该场景实际为 %4 x %5; 按场景本身的尺寸处理",
    "%1: the header gives the first clip as %2 x %3 but the clip is %4 x %5; the clip's own size is used"};
inline constexpr Text kLedsLeftOutOfGrid{
    "%2 中有 %1 个 LED 位于其 %3 x %4 网格之外; 输出和导出时不包括它们",
    "%1 LED(s) of %2 lie outside its %3 x %4 grid; the output and the exports leave them out"};

// The reasons the engine libraries give in English, in Chinese: $1, $2, ... are the parts of
// the English reason the program matches (numbers, file and entry names).
inline constexpr Text kReasonOpenFail{"打开文件失败!$1", "Open file fail!$1"};
inline constexpr Text kReasonWriteFail{"写入文件失败!$1", "Write file fail!$1"};
inline constexpr Text kReasonGridTooLarge{
    "$1 行 x $2 列的网格有 $3 个单元格; 程序最多支持 $4 个单元格, 行数和列数均不超过 65535",
    "a grid of $1 rows x $2 cols has $3 cells; the program takes at most $4 cells and 65535 rows or cols"};
// Display module files.
inline constexpr Text kReasonNotModuleFile{"不是模块文件 (文件开头不是 0 字节)",
                                           "not a module file (it does not start with a 0 byte)"};
inline constexpr Text kReasonModuleCutShort{"第 $1 个模块记录不完整", "module record $1 is cut short"};
inline constexpr Text kReasonModulePointsMissing{"第 $1 个模块记录声称有 $2 个点, 但文件在这些点之前就结束了",
                                                 "module record $1 claims $2 points but the file ends before them"};
inline constexpr Text kReasonModuleEmpty{"第 $1 个模块记录没有尺寸或没有点", "module record $1 has no size or no point"};
inline constexpr Text kReasonModulePointOutside{"第 $1 个模块记录有一个点落在它的 $2 x $3 个单元格之外",
                                                "module record $1 has a point outside its $2 x $3 cells"};
inline constexpr Text kReasonNoModule{"模块文件中没有任何模块", "the module file holds no module"};
// Lamp-type files.
inline constexpr Text kReasonNotLampFile{"不是灯具类型文件 (不足 4 字节的文件头)",
                                         "not a lamp-type file (shorter than its 4-byte header)"};
inline constexpr Text kReasonLampRecordsMissing{"文件声称有 $1 个灯具类型, 但只有 $2 条完整记录",
                                                "the file states $1 lamp types but holds $2 whole records"};
// Controller data files.
inline constexpr Text kReasonNotControllerFile{"不是控制器数据文件", "not a controller data file"};
inline constexpr Text kReasonSlaveRecordsPastEnd{"分控记录超出了文件末尾", "the slave records run past the end of the file"};
inline constexpr Text kReasonBadOffsetOrBlockSize{"数据偏移或帧块大小不合理", "the data offset or block size cannot be true"};
inline constexpr Text kReasonBlockSizeDisagrees{"帧块大小 $1 与分控记录给出的 $2 不符$3",
                                                "the block size $1 disagrees with the slave records, which describe $2$3"};
inline constexpr Text kReasonNoWholeFrame{"文件中没有一个完整的帧$1", "the file holds no whole frame$1"};
inline constexpr Text kReasonWrongChecksumImported{
    "第 $1 个分控的记录校验和错误; 其数据按原样导入",
    "the record of slave $1 has a wrong checksum; its data is imported as it is"};
inline constexpr Text kReasonPartialFrameLeftOut{"数据末尾是一个 $1 字节的不完整帧, 已舍去",
                                                 "the data ends in a partial frame of $1 bytes, which is left out"};
// Archives.
inline constexpr Text kReasonArchiveCrcError{"\"$1\" 的 CRC 校验错误: 压缩包已损坏", "CRC error in \"$1\": the archive is damaged"};
inline constexpr Text kReasonCannotOpenArchive{"无法打开压缩包", "cannot open archive"};
inline constexpr Text kReasonDamagedArchive{"压缩包已损坏", "damaged archive"};
inline constexpr Text kReasonArchiveHoldsNo{"压缩包中没有 $1", "the archive holds no $1"};
inline constexpr Text kReasonCannotUnpack{"无法解压: $1", "cannot be unpacked: $1"};

// The kinds of design item, by their number (0 and any number it does not know: unknown).
inline constexpr Text kItemKindNames[] = {
    {"未知", "unknown"},        {"矩形", "rectangle"},      {"折线", "polyline"},
    {"椭圆", "ellipse"},        {"直线", "line"},           {"圆角矩形", "round rectangle"},
    {"文字", "text"},           {"图片", "picture"},        {"星形", "star"},
    {"组合", "group"},          {"多边形", "polygon"},      {"正多边形", "regular polygon"},
    {"图片区域", "picture area"},
};

// The labels of the file reports (info).
inline constexpr Text kFileLabel{"文件:", "File:"};
inline constexpr Text kTypeLabel{"类型:", "Type:"};
inline constexpr Text kVersionLabel{"版本:", "Version:"};
inline constexpr Text kGridScaleLabel{"网格比例:", "Grid scale:"};
inline constexpr Text kClipsLabel{"场景:", "Clips:"};
inline constexpr Text kDesignLabel{"设计:", "Design:"};
inline constexpr Text kCanvasLabel{"画布:", "Canvas:"};
inline constexpr Text kLayersLabel{"图层:", "Layers:"};
inline constexpr Text kMusicLabel{"音乐:", "Music:"};
inline constexpr Text kSizeLabel{"大小:", "Size:"};
inline constexpr Text kDataOffsetLabel{"数据偏移:", "Data offset:"};
inline constexpr Text kBlockSizeLabel{"帧块大小:", "Block size:"};
inline constexpr Text kSlavesLabel{"分控:", "Slaves:"};
inline constexpr Text kSectionsLabel{"段:", "Sections:"};
// Values of the reports.
inline constexpr Text kNone{"无", "none"};
inline constexpr Text kFrameCount{"%1 帧", "%1 frames"};
inline constexpr Text kByteCount{"%1 字节", "%1 bytes"};

// info on a project document.
inline constexpr Text kProjectDocument{"工程文档", "project document"};
inline constexpr Text kCompressedNote{" (压缩)", " (compressed)"};
inline constexpr Text kPlainCountsNote{" ('1', 普通帧数)", " ('1', plain frame counts)"};
inline constexpr Text kLineFileNote{", 线路文件 %1", ", line file %1"};
inline constexpr Text kNoDesign{"无 (文件在帧数据之后结束)", "none (the file ends after its frames)"};
inline constexpr Text kItemCount{"%1 个对象", "%1 items"};
inline constexpr Text kMaskItem{", 遮罩为第 %1 个对象", ", mask item %1"};

// info on an effect file.
inline constexpr Text kEffectFile{"效果文件 (播放程序后附工程文档)", "effect file (the player with a document appended)"};
inline constexpr Text kEffectFileSize{"%1 字节, 其中播放程序 %2 字节", "%1 bytes, the player %2 bytes"};

// info on a configuration file: the file, and what each key of section "Main" means.
inline constexpr Text kConfigurationFile{"配置文件", "configuration file"};
inline constexpr Text kDefaultNote{" (默认)", " (default)"};
inline constexpr Text kKeyCount{"%1 个键", "%1 keys"};
inline constexpr Text kWriteTestKey{"启动时的写入测试", "write test at start-up"};
inline constexpr Text kRowsKey{"帧高 (行数)", "frame height in rows"};
inline constexpr Text kColsKey{"帧宽 (像素)", "frame width in pixels"};
inline constexpr Text kLanguageKey{"界面语言 (0 = 跟随系统)", "UI language (0 = from the system)"};
inline constexpr Text kLineFileKey{"使用中的线路文件", "line file in use"};
inline constexpr Text kCheckVersionKey{"检查新版本", "check for a new version"};
inline constexpr Text kCompressKey{"同时以压缩方式保存文档", "also store documents compressed"};
inline constexpr Text kSkinKey{"皮肤编号 (0 = 无)", "skin number (0 = none)"};
inline constexpr Text kPaintPathKey{"外部绘图程序", "outside painting program"};
inline constexpr Text kChipTypeKey{"控制器的默认芯片", "controller default"};
inline constexpr Text kSnapKey{"造型编辑器的吸附", "layout editor snap"};

// info: the file itself.
inline constexpr Text kNotRegularFile{"不是普通文件", "not a regular file"};
inline constexpr Text kFileDoesNotExist{"文件不存在", "no such file"};
inline constexpr Text kUnknownFileType{"无法识别的文件类型", "unknown file type"};

// info on a controller data file.
inline constexpr Text kWrongSlaveChecksum{"第 %1 个分控的记录校验和错误", "the record of slave %1 has a wrong checksum"};
inline constexpr Text kPartialBlock{"数据不是整数个帧块: %1 个完整帧, 另有不完整的一帧 %2 字节",
                                    "the data is not a whole number of blocks: %1 whole frames and %2 bytes of a partial one"};
inline constexpr Text kBlockSizeDisagrees{"帧块大小 %1 与分控记录给出的 %2 不符",
                                          "the block size %1 disagrees with the slave records, which describe %2"};
inline constexpr Text kFamilyMasterSlave{"主从", "master-slave"};
inline constexpr Text kFamilySingle{"单机", "single"};
inline constexpr Text kFamilySimple{"简易", "simple"};
inline constexpr Text kFamilyUnknown{"未知", "unknown"};
inline constexpr Text kControllerData{"控制器数据, %1系列 (字节 0 = %2)", "controller data, %1 family (byte 0 = %2)"};
inline constexpr Text kSlaveRecord{"芯片 %1, %2 %3, 端口 %4, 时钟字节 %5, 字节 4 %6, 字节 5 %7, 校验和%8",
                                   "chip %1, %2 %3, ports %4, clock byte %5, byte 4 %6, byte 5 %7, checksum %8"};
inline constexpr Text kChecksumValid{"正确", "valid"};
inline constexpr Text kChecksumWrong{"错误", "WRONG"};

// new-project.
inline constexpr Text kNeedsOneOutputFile{"需要恰好一个输出文件", "needs exactly one output file"};
inline constexpr Text kWidthHeightRequired{"必须给出 --width 和 --height", "--width and --height are required"};
inline constexpr Text kWidthHeightRange{"宽度和高度必须在 1..%1 之间", "width and height must be 1..%1"};
inline constexpr Text kFramesRange{"--frames 必须在 1..%1 之间", "--frames must be 1..%1"};
inline constexpr Text kColorFormat{"--color 的格式为 RRGGBB, 而不是 \"%1\"", "--color takes RRGGBB, not \"%1\""};

// append-frames.
inline constexpr Text kNeedsSourceAndTarget{"需要 SOURCE.cvn 和 TARGET.cvn", "needs SOURCE.cvn and TARGET.cvn"};
inline constexpr Text kFirstLastRequired{"必须给出 --first 和 --last", "--first and --last are required"};
inline constexpr Text kHeaderClipSizeDiffers{
    "%1: 文件头记载的场景尺寸与场景本身不符; 按场景本身的尺寸处理",
    "%1: the header's copy of the clip size disagrees with the clip; the clip's own size is used"};

// pack and unpack.
inline constexpr Text kNeedsCvnAndRar{"需要 IN.cvn 和 OUT.rar", "needs IN.cvn and OUT.rar"};
inline constexpr Text kNeedsRarAndCvn{"需要 IN.rar 和 OUT.cvn", "needs IN.rar and OUT.cvn"};
inline constexpr Text kNoEntryInArchive{"压缩包中没有 \"%1\"", "no entry \"%1\" in the archive"};

// output, import-led and card.
inline constexpr Text kNoSuchClipIn{"没有场景 %1: --clip 的取值范围为 1..%2 (%3 有 %2 个场景)",
                                    "there is no clip %1: --clip takes 1..%2 (%3 has %2 clip(s))"};
inline constexpr Text kNoSuchClip{"没有场景 %1: --clip 的取值范围为 1..%2", "there is no clip %1: --clip takes 1..%2"};
inline constexpr Text kLinesRequired{"必须给出 --lines LAYOUT.lnf", "--lines LAYOUT.lnf is required"};
inline constexpr Text kNeedsOneProjectDocument{"需要恰好一个工程文件", "needs exactly one project document"};
inline constexpr Text kOutRequired{"必须给出 --out PATH/NAME.led", "--out PATH/NAME.led is required"};
inline constexpr Text kCardChoices{"--card 只能是 auto 或 none", "--card takes auto or none"};
inline constexpr Text kNeedsOneControllerFile{"需要恰好一个控制器数据文件", "needs exactly one controller data file"};
inline constexpr Text kIntoRequired{"必须给出 --into PROJECT.cvn", "--into PROJECT.cvn is required"};
inline constexpr Text kImportedFrames{"导入了 %1 帧", "imported %1 frames"};
inline constexpr Text kMountSuitable{"可用", "suitable"};
inline constexpr Text kCardPrefix{"存储卡: ", "Card: "};

// colors, color-process and transition.
inline constexpr Text kColorsRequired{"必须给出 --colors #RRGGBB,...", "--colors #RRGGBB,... is required"};
inline constexpr Text kGradeOrSteps{"--grade 与 --steps 只能给出一个", "give --grade or --steps, not both"};
inline constexpr Text kGradeTakes{"--grade 取 1、2、3、4、5、8、12、16、24 或 32", "--grade takes 1, 2, 3, 4, 5, 8, 12, 16, 24 or 32"};
inline constexpr Text kStepsTakes{"--steps 取 16、32、64、128 或 256", "--steps takes 16, 32, 64, 128 or 256"};
inline constexpr Text kNotAColour{"\"%1\" 不是颜色 (RRGGBB)", "\"%1\" is not a colour (RRGGBB)"};
inline constexpr Text kClipHasNoFrame{"场景中没有帧", "the clip has no frame"};
inline constexpr Text kNeitherDocumentNorPicture{"既不是文档, 也不是本程序能读取的图片",
                                                 "neither a document nor a picture this program reads"};
inline constexpr Text kNoSuchLibraryFile{"没有这个文件", "no such file"};
inline constexpr Text kNoSuchList{"没有列表 %1 (颜色库中有 %2 个)", "there is no list %1 (the library holds %2)"};
inline constexpr Text kNeedsOldNewOut{"需要 旧图 新图 和 OUT.cvn", "needs OLD, NEW and OUT.cvn"};
inline constexpr Text kStepsRequired{"必须给出 --steps N", "--steps N is required"};
inline constexpr Text kKindTakes{"--kind 取 0..57 或 random", "--kind takes 0..57 or random"};
inline constexpr Text kPictureTooLarge{"图片的宽和高最多为 %1 像素", "pictures may be at most %1 pixels wide and high"};
inline constexpr Text kTransitionMade{"过渡 %1 (%2): %3 帧", "transition %1 (%2): %3 frames"};
inline constexpr Text kColorsNeedsSubcommand{"需要一个子命令: list、add 或 remove", "needs a subcommand: list, add or remove"};
inline constexpr Text kColorsUnknownSubcommand{"未知子命令 \"%1\" (list、add、remove)",
                                               "unknown subcommand \"%1\" (list, add, remove)"};
inline constexpr Text kNeedsListNumber{"需要要删除的列表编号", "needs the number of the list to remove"};
inline constexpr Text kNoFurtherArguments{"不接受其他参数", "takes no further arguments"};
inline constexpr Text kBuiltInRainbow{"  [内置彩虹]", "  [built-in rainbow]"};
inline constexpr Text kListAdded{"已添加列表 %1: %2 种颜色", "list %1 added: %2 colours"};
inline constexpr Text kNotAListNumber{"\"%1\" 不是列表编号 (1..)", "\"%1\" is not a list number (1..)"};
inline constexpr Text kListRemoved{"已删除列表 %1", "list %1 removed"};

// import-video, output-from, export-video and capture.
inline constexpr Text kFitChoices{"--fit 只能是 center 或 stretch", "--fit takes center or stretch"};
inline constexpr Text kNeedsMovieAndDocument{"需要一个视频文件和一个工程文件", "needs a movie and a document"};
inline constexpr Text kFrameSizeMustMatch{"场景的帧为 %1 x %2; --width 和 --height 必须与之相同",
                                          "the clip's frames are %1 x %2; --width and --height must match them"};
inline constexpr Text kNoPicturesFrom{"%1 从第 %2 幅画面起没有画面", "%1 has no pictures from picture %2 on"};
inline constexpr Text kMovieFramesAdded{"已向 %5 的场景 %4 加入 %1 帧 (%2 x %3)", "%1 frames of %2 x %3 added to clip %4 of %5"};
inline constexpr Text kNeedsOneMovieOrDocument{"需要恰好一个视频或工程文件", "needs exactly one movie or document"};
inline constexpr Text kNeedsDocumentAndMovie{"需要一个工程文件和一个输出视频文件", "needs a document and an output movie"};
inline constexpr Text kUnknownCodec{"未知的编码器 %1; 本机可用: %2", "unknown codec %1; this machine offers %2"};
inline constexpr Text kMovieWritten{"已将 %1 帧写入 %2 (%3, 每秒 %4 帧)", "%1 frames written to %2 (%3, %4 frames a second)"};
inline constexpr Text kCaptureNeedsOneDocument{"需要恰好一个工程文件", "needs exactly one document"};
inline constexpr Text kRegionRequired{"必须给出 --region X,Y,W,H", "--region X,Y,W,H is required"};
inline constexpr Text kRegionFormat{"--region 的格式为 X,Y,W,H, 宽和高为 1..4096",
                                    "--region takes X,Y,W,H with a width and height of 1..4096"};
inline constexpr Text kCaptureNeedsDisplay{"屏幕采集需要 X11 显示 (未设置 DISPLAY)",
                                           "screen capture needs an X11 display (DISPLAY is not set)"};
inline constexpr Text kRegionSizeMustMatch{"采集区域必须与工程的帧大小相同", "the region must have the size of the document's frames"};
inline constexpr Text kNoScreen{"没有可采集的屏幕", "no screen to capture"};
inline constexpr Text kScreenUnreadable{"无法读取屏幕", "the screen cannot be read"};
inline constexpr Text kFramesCaptured{"已采集 %1 帧到 %2", "%1 frames captured into %2"};

// render-sphere and render-preview.
inline constexpr Text kSizeFormat{"--size 的格式为 W,H, 取值 16..8192 像素", "--size takes W,H of 16..8192 pixels"};
inline constexpr Text kDocumentHasNoFrames{"%1 没有帧", "%1 has no frames"};
inline constexpr Text kNoSuchFrame{"没有第 %1 帧: 场景的帧为 1..%2", "there is no frame %1: the clip has frames 1..%2"};
inline constexpr Text kNeedsDocumentLinesPicture{"需要一个工程文件、一个线路文件和一个输出图片",
                                                 "needs a document, a line file and an output picture"};
inline constexpr Text kRotateFormat{"--rotate 的格式为 AX,AY (度)", "--rotate takes AX,AY in degrees"};
inline constexpr Text kNotSphereLayout{"%1 不是球形布局; 球体预览需要球形布局 (layout new --sphere)",
                                       "%1 is not a sphere layout; the sphere preview needs one (layout new --sphere)"};
inline constexpr Text kSphereFrameWritten{"第 %1 帧的球体图已写入 %2", "frame %1 on the sphere written to %2"};
inline constexpr Text kPngOrGif{"输出文件须为 .png 或 .gif", "the output is a .png or a .gif"};
inline constexpr Text kFrameOrFrames{"--frame 与 --frames 只能给一个", "give --frame or --frames, not both"};
inline constexpr Text kFramesFormat{"--frames 的格式为 A-B", "--frames takes A-B"};
inline constexpr Text kFramesOrder{"--frames 的格式为 A-B, 且 A <= B", "--frames takes A-B with A <= B"};
inline constexpr Text kPreviewWritten{"%1 个灯, 第 %2..%3 帧, 已写入 %4", "%1 LEDs, frames %2..%3, written to %4"};

}  // namespace corv::msg::cli
