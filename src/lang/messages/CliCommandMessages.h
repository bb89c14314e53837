#pragma once

#include "base/Text.h"

// The texts of the layout, lamp, chip, module, dxf, export-map, export-hmc, render-layout,
// identify, frames, color-process, generate and design commands, and of info on line, module
// and lamp type files.

namespace corv::msg::cli {

// layout new
inline constexpr Text kRowsAndColsRequired{"必须给出 --rows 和 --cols", "--rows and --cols are required"};

// layout add
inline constexpr Text kNeedsOneLineFile{"需要恰好一个线路文件", "needs exactly one line file"};
inline constexpr Text kFromAndToRequired{
    "必须给出 --from COL,ROW 和 --to COL,ROW",
    "--from COL,ROW and --to COL,ROW are required"};
inline constexpr Text kFromTakesCell{"--from 的格式为 COL,ROW", "--from takes COL,ROW"};
inline constexpr Text kToTakesCell{"--to 的格式为 COL,ROW", "--to takes COL,ROW"};
inline constexpr Text kLimitMustBePositive{"--limit 必须是正数", "--limit must be positive"};
inline constexpr Text kWiringModeChoices{
    "--mode 只能是 z-h、z-v、s-h、s-v、shortest 或 shortest-h",
    "--mode takes z-h, z-v, s-h, s-v, shortest or shortest-h"};
inline constexpr Text kTilesTakesCounts{"--tiles 的格式为 AX,AY", "--tiles takes AX,AY"};
inline constexpr Text kNoDisplayModuleNamed{"没有名为 \"%1\" 的显示模块", "no display module named \"%1\""};
inline constexpr Text kCellOutsideGrid{
    "%1 的取值范围为 COL 0..%2,ROW 0..%3 (网格为 %4 列 x %5 行)",
    "%1 takes COL 0..%2,ROW 0..%3 (the grid is %4 cols x %5 rows)"};
inline constexpr Text kPlacedNoLedInDrag{
    "没有放置任何 LED: 拖动范围内的单元格都已被占用 (--repeat 允许多个 LED 共用一个单元格), "
    "或者线路 %1 及其后的线路都已满 (--limit); %2 未作改动",
    "placed no LED: every cell of the drag is taken (--repeat lets LEDs share a cell) or "
    "line %1 and the lines after it are full (--limit); %2 is unchanged"};
inline constexpr Text kAddedPoints{
    "添加了 %1 个点; 当前线路 %2; 主控端口 %3",
    "added %1 points; current line %2; master ports %3"};

// layout set
inline constexpr Text kClockRange{
    "--clock 以 MHz 为单位, 取值 0.1 到 50, 例如 25 或 0.5",
    "--clock takes MHz from 0.1 to 50, like 25 or 0.5"};
inline constexpr Text kGammaRange{
    "--gamma 的取值范围为 0.2..10, 例如 2.2 (保存为伽马值 x 10)",
    "--gamma takes 0.2..10, like 2.2 (stored as gamma x 10)"};
inline constexpr Text kGroupsFormat{"--groups 的格式为 N,N,...", "--groups takes N,N,..."};
inline constexpr Text kGroupsCounts{
    "--groups 给出各主控的分控数: 每项至少为 1, 总和不超过造型中的 %1 台分控 "
    "(其余的分控归最后一台主控)",
    "--groups takes slave counts of at least 1 that add up to at most the layout's "
    "%1 slaves (the last master takes the rest)"};
inline constexpr Text kPercentRange{"百分比的取值范围为 0..100", "percentages take 0..100"};
inline constexpr Text kPortsPerSlaveChoices{
    "--ports-per-slave 只能是 1、2、3、4 或 8",
    "--ports-per-slave takes 1, 2, 3, 4 or 8"};
inline constexpr Text kPortsChoices{"--ports 只能是 1、2、3、4 或 8", "--ports takes 1, 2, 3, 4 or 8"};
inline constexpr Text kGrayChoices{"--gray 只能是 2、4、8、... 65536", "--gray takes 2, 4, 8, ... 65536"};
inline constexpr Text kReverseChoices{"--reverse 只能是 yes 或 no", "--reverse takes yes or no"};
inline constexpr Text kFamilyChoices{
    "--family 只能是 ms、single 或 simple",
    "--family takes ms, single or simple"};
inline constexpr Text kUnknownChipCode{
    "--chip %1 不是芯片列表中的芯片代码 (可用 \"corvantine-cli chip list\" 列出)",
    "--chip %1 is no chip code of the catalogue (\"corvantine-cli chip list\" lists them)"};
inline constexpr Text kNoLampTypeNamed{"没有名为 \"%1\" 的灯具类型", "no lamp type named \"%1\""};
inline constexpr Text kSimpleControllerFourLines{
    "简易主控制器固定为一台分控四条线路",
    "the Simple Controller always drives 4 lines per slave"};
inline constexpr Text kSingleControllerGrayLimit{
    "单机主控制器最多支持 512 级灰度",
    "the Single Controller takes at most 512 gray levels"};
inline constexpr Text kLayoutHasNoSlave{
    "造型中还没有分控 (没有任何线路上有 LED)",
    "the layout has no slave yet (no line holds an LED)"};
inline constexpr Text kSlavesFormat{
    "--slaves 的格式为列表, 如 1-3,7 或 all",
    "--slaves takes a list like 1-3,7 or all"};
inline constexpr Text kSlavesRange{
    "--slaves 的取值范围为 1..%1 (造型中有 %1 台分控)",
    "--slaves takes slaves 1..%1 (the layout has %1)"};
inline constexpr Text kNoSlaveChosen{
    "没有选择分控: 线路文件只保存它的 %1 个分控, 文件内容没有改变; 用 --slaves 选择要修改的分控",
    "no slave was chosen: the line file keeps only its %1 slave(s), so nothing in it "
    "changed; --slaves picks the slaves to change"};

// layout
inline constexpr Text kLayoutNeedsSubcommand{"需要一个子命令: new、add 或 set", "needs a subcommand: new, add or set"};
inline constexpr Text kUnknownLayoutSubcommand{
    "未知子命令 \"%1\" (new、add、set、delete、copy、cut、paste、transfer、reverse、move-point、repeat、array-copy、line-op)",
    "unknown subcommand \"%1\" (new, add, set, delete, copy, cut, paste, transfer, reverse, move-point, repeat, array-copy, line-op)"};

// lamp
inline constexpr Text kLampNeedsSubcommand{
    "需要一个子命令: add、list 或 delete",
    "needs a subcommand: add, list or delete"};
inline constexpr Text kPinCount{"%1 个引脚", "%1 pins"};
inline constexpr Text kBuiltInMark{"  [内置]", "  [built in]"};
inline constexpr Text kNeedsLampTypeName{"需要一个灯具类型名称", "needs a lamp type name"};
inline constexpr Text kPinsRequired{"必须给出 --pins R1,G1,B1,...", "--pins R1,G1,B1,... is required"};
inline constexpr Text kLampPinRange{"灯具类型的引脚数为 1..192", "a lamp type has 1..192 pins"};
inline constexpr Text kBuiltInLampUnchangeable{
    "%1 是内置灯具类型, 不能修改",
    "%1 is a built-in lamp type and cannot be changed"};
inline constexpr Text kBuiltInLampUndeletable{
    "%1 是内置灯具类型, 不能删除",
    "%1 is a built-in lamp type and cannot be deleted"};
inline constexpr Text kUnknownLampSubcommand{
    "未知子命令 \"%1\" (add、list、delete)",
    "unknown subcommand \"%1\" (add, list, delete)"};

// chip
inline constexpr Text kChipNeedsList{"需要子命令 list", "needs the subcommand list"};
inline constexpr Text kChipCodeLabel{"代码 ", "code "};
inline constexpr Text kDefaultMark{"  [默认]", "  [default]"};

// module
inline constexpr Text kModuleNeedsSubcommand{
    "需要一个子命令: list、import、export 或 delete",
    "needs a subcommand: list, import, export or delete"};
inline constexpr Text kPointCount{"%1 个点", "%1 points"};
inline constexpr Text kNeedsOneArgument{"需要一个参数", "needs one argument"};
inline constexpr Text kNothingImported{"%1: %2; 未导入任何模块", "%1: %2; nothing was imported"};
inline constexpr Text kImportedModules{"导入了 %1 个模块", "imported %1 modules"};
inline constexpr Text kNoUserModuleNamed{"没有名为 \"%1\" 的用户模块", "no user module named \"%1\""};
inline constexpr Text kUnknownModuleSubcommand{
    "未知子命令 \"%1\" (list、import、export、delete)",
    "unknown subcommand \"%1\" (list, import, export, delete)"};

// info on a line file
inline constexpr Text kLedsBeyondGrid{
    "%2 中有 %1 个 LED 位于其 %3 x %4 网格之外",
    "%1 LED(s) of %2 lie outside its %3 x %4 grid"};
inline constexpr Text kLineFileVersion{"线路文件, 版本 %1", "line file, version %1"};
inline constexpr Text kGridLabel{"网格:", "Grid:"};
inline constexpr Text kRowsByCols{"%1 行 x %2 列", "%1 rows x %2 cols"};
inline constexpr Text kSphereMark{" (球体)", " (sphere)"};
inline constexpr Text kControllerLabel{"控制器:", "Controller:"};
inline constexpr Text kLinesPerSlave{"每个分控 %1 路", "%1 line(s) per slave"};
inline constexpr Text kLinesLabel{"线路:", "Lines:"};
inline constexpr Text kLinesInUse{"使用 %1 路", "%1 in use"};
inline constexpr Text kSlaveSettings{
    "灯具 %1, 芯片 %2, 时钟 %3 MHz, 亮度 %4%%, 灰度 %5",
    "lamp %1, chip %2, clock %3 MHz, bright %4%%, gray %5"};
inline constexpr Text kGrayReversedMark{", 反色", ", reversed"};
inline constexpr Text kPortsAndGamma{", 端口 %1, 伽马 %2", ", ports %1, gamma %2"};
inline constexpr Text kLampTypesLabel{"灯具类型:", "Lamp types:"};
inline constexpr Text kSlaveGroupsLabel{"分控分组:", "Slave groups:"};

// info on a display module file
inline constexpr Text kDisplayModulesKind{"显示模块", "display modules"};
inline constexpr Text kModulesLabel{"模块:", "Modules:"};

// info on a lamp type file
inline constexpr Text kLampTypesKind{"灯具类型", "lamp types"};

// dxf
inline constexpr Text kDxfNeedsFiles{"需要 DRAWING.dxf 和 OUT.lnf", "needs DRAWING.dxf and OUT.lnf"};
inline constexpr Text kPictureNeedsSize{
    "--picture 需要同时给出 --width 和 --height",
    "--picture needs --width and --height"};
inline constexpr Text kNotDxfDrawing{
    "不是 DXF 图纸 (没有 ENTITIES 段)",
    "not a DXF drawing (it has no ENTITIES section)"};
inline constexpr Text kDrawingHasNoLine{"图纸中没有可取 LED 的 LINE", "the drawing has no LINE to take LEDs from"};
inline constexpr Text kDrawingHasNoLed{
    "图纸中没有 LED (没有 CIRCLE; --vertex-mode 可改用 LINE 的端点)",
    "the drawing has no LED (no CIRCLE; --vertex-mode takes the LINE end points)"};
inline constexpr Text kDrawingEndsEarly{
    "%1 在 ENTITIES 段结束之前就结束了; 已导入此前的内容",
    "%1 ends before its ENTITIES section does; what it holds up to there is imported"};
inline constexpr Text kEntitiesLeftOut{
    "%1 个图元的坐标不是有限值或超出 %2, 已略去",
    "%1 entities with coordinates that are not finite or lie beyond %2 were left out"};
inline constexpr Text kGridTooLargeAtSpacing{
    "间距为 %1 x %2 时, %3; 请加大 --space-x/--space-y",
    "at a spacing of %1 x %2, %3; give a larger --space-x/--space-y"};
inline constexpr Text kLedsShareCells{
    "按每格 %3 x %4 个图纸单位, %2 个 LED 中有 %1 个与其他 LED 共用一个单元格; 减小间距可将它们分开",
    "%1 of %2 LEDs share a cell with another LED at %3 x %4 drawing units a cell; a smaller spacing keeps them apart"};
inline constexpr Text kWidthOrHeightTooSmall{"宽度或高度太小!", "Width or height is too small!"};
inline constexpr Text kCannotEncodePicture{"无法编码图片 %1", "cannot encode the picture %1"};
inline constexpr Text kSuggestedSpacingLabel{"建议间距:", "Suggested spacing:"};
inline constexpr Text kSpacingUsedLabel{"所用间距:", "Spacing used:"};
inline constexpr Text kCirclesLabel{"圆:", "Circles:"};
inline constexpr Text kChainsLabel{"链:", "Chains:"};
inline constexpr Text kLinesMadeLabel{"生成线路:", "Lines made:"};
inline constexpr Text kLedCount{"%1 个 LED", "%1 LEDs"};

// export-map
inline constexpr Text kMapNeedsFiles{"需要 LAYOUT.lnf 和 OUT.map", "needs LAYOUT.lnf and OUT.map"};

// export-hmc
inline constexpr Text kHmcNeedsFiles{"需要 LAYOUT.lnf 和 OUT.hmc", "needs LAYOUT.lnf and OUT.hmc"};
inline constexpr Text kColorsTakesList{"--colors 的格式为 RRGGBB,RRGGBB,...", "--colors takes RRGGBB,RRGGBB,..."};
inline constexpr Text kSelectedTakesColour{"--selected 的格式为 RRGGBB", "--selected takes RRGGBB"};
inline constexpr Text kLineOneOutsideGrid{" (线路 1 有 LED 在网格之外)", " (line 1 has LEDs outside the grid)"};
inline constexpr Text kHmcLimits{
    "(HMC 文件要求网格不超过 128 x 128, 第一条线路有 6..1536 个 LED, 范围不超过 1800 个单元格)",
    "(an HMC file takes a grid of at most 128 x 128 and a first line of 6..1536 LEDs "
    "within at most 1800 cells)"};

// render-layout
inline constexpr Text kRenderLayoutNeedsFiles{"需要 LAYOUT.lnf 和 OUT.png", "needs LAYOUT.lnf and OUT.png"};
inline constexpr Text kGridTooLargeForPicture{
    "%1 x %2 个单元格的网格画不进每边最多 %3 像素、总共最多 %4 像素的图片",
    "a grid of %1 x %2 cells does not fit a picture of at most %3 pixels a side and %4 pixels"};
inline constexpr Text kPictureCellSizeReduced{
    "图片按每格 %1 像素绘制 (而不是 %2), 以不超过 %3 像素",
    "the picture is drawn at %1 pixels a cell instead of %2 to stay within %3 pixels"};

// identify
inline constexpr Text kIdentifyNeedsFiles{"需要 图片 和 OUT.lnf", "needs PICTURE and OUT.lnf"};
inline constexpr Text kIdentifyModeChoices{
    "--mode 取 shortest 或 shortest-h",
    "--mode takes shortest or shortest-h"};
inline constexpr Text kNotReadablePicture{"不是本程序能读取的图片", "not a picture this program reads"};
inline constexpr Text kNoLedDotsFound{"没有找到 LED 点", "no LED dots found"};
inline constexpr Text kLedDotsFound{
    "%1 个 LED 点, 间距 %2 像素: 网格 %3 列 x %4 行, 已连接 %5 个 LED",
    "%1 LED dots, pitch %2 pixels: a grid of %3 cols x %4 rows, %5 LEDs wired"};

// layout line-op and the editing tools
inline constexpr Text kCellOptionRequired{"必须给出 %1 COL,ROW", "%1 COL,ROW is required"};
inline constexpr Text kCellOptionRange{"%1 的取值范围为 COL 0..%2,ROW 0..%3", "%1 takes COL 0..%2,ROW 0..%3"};
inline constexpr Text kLineOptionRequired{"必须给出 %1 N", "%1 N is required"};
inline constexpr Text kLineOpNeedsOperation{
    "需要一个操作: exchange、unite、delete、move 或 copy",
    "needs an operation: exchange, unite, delete, move or copy"};
inline constexpr Text kTwoDifferentLines{"(两条不同的线路: --a 和 --and)", "(two different lines: --a and --and)"};
inline constexpr Text kOffsetRequired{"必须给出 --offset DX,DY", "--offset DX,DY is required"};
inline constexpr Text kClipOutRequired{"必须给出 --clip 输出文件", "--clip OUT is required"};
inline constexpr Text kLinesCopied{"已复制线路", "lines copied"};
inline constexpr Text kUnknownLineOperation{"未知操作 \"%1\"", "unknown operation \"%1\""};
inline constexpr Text kNeedsLineFile{"需要一个线路文件", "needs a line file"};
inline constexpr Text kFileUnchanged{"%1 未作改动", "%1 is unchanged"};
inline constexpr Text kNoLedInZone{"区域中没有 LED", "no LED in the zone"};
inline constexpr Text kFragmentsCopied{"已复制 %1 段", "%1 fragments copied"};
inline constexpr Text kLedsDeleted{"已删除 %1 个 LED", "%1 LEDs deleted"};
inline constexpr Text kClipInRequired{"必须给出 --clip 输入文件", "--clip IN is required"};
inline constexpr Text kNotLayoutData{"不是造型数据, 或已损坏", "not layout data, or damaged"};
inline constexpr Text kPlacedNoLedCellsTaken{
    "没有放置任何 LED (单元格已被占用或线路已满)",
    "placed no LED (the cells are taken or the lines full)"};
inline constexpr Text kLedsPasted{"已粘贴 %1 个 LED", "%1 LEDs pasted"};
inline constexpr Text kNoOtherLineThere{"其他线路在该处没有 LED", "no other line has an LED there"};
inline constexpr Text kTransferredToLine{"已转接到线路 %1", "transferred to line %1"};
inline constexpr Text kNoLineConnectsCells{"没有线路连接这两个单元格", "no line connects the two cells"};
inline constexpr Text kLineReversed{"已反接", "reversed"};
inline constexpr Text kNoLedToMove{
    "该处没有 LED, 或目标单元格已被占用",
    "no LED to move there, or the target cell is taken"};
inline constexpr Text kPointMoved{"已移动", "moved"};
inline constexpr Text kLedsAdded{"已添加 %1 个 LED", "%1 LEDs added"};
inline constexpr Text kTilesRequired{
    "必须给出 --tiles AX,AY (各为 1..1000)",
    "--tiles AX,AY is required (1..1000 each)"};
inline constexpr Text kPixelPointsRange{"选择的像素点数应为1--%1点!", "The choice of pixel points for 1 - %1 points!"};
inline constexpr Text kPlacedNoLedLinesFull{
    "没有放置任何 LED: 单元格已被占用或线路已满",
    "placed no LED: the cells are taken or the lines full"};
inline constexpr Text kLedsLaid{"已放置 %1 个 LED", "%1 LEDs laid"};
inline constexpr Text kEditDone{"完成", "done"};

// frames: the clip, the range and the options
inline constexpr Text kRectInsideFrame{
    "--rect 取帧 %1 x %2 之内的 L,T,R,B (0 <= L < R <= %1, 0 <= T < B <= %2)",
    "--rect takes L,T,R,B inside the %1 x %2 frame (0 <= L < R <= %1, 0 <= T < B <= %2)"};
inline constexpr Text kBlockFileRequired{"必须给出 --block 文件", "--block FILE is required"};
inline constexpr Text kNotFrameBlock{
    "不是帧块文件 (其尺寸与它的 %1 字节不符)",
    "not a frame block (its sizes do not match its %1 bytes)"};
inline constexpr Text kOptionTakesChoices{"%1 的取值为 %2", "%1 takes %2"};
inline constexpr Text kOptionRequired{"必须给出 %1", "%1 is required"};
inline constexpr Text kClipFrameLimit{"一个场景最多容纳 %1 帧", "a clip holds at most %1 frames"};

// frames
inline constexpr Text kCannotMakeFolder{"无法创建文件夹", "cannot make the folder"};
inline constexpr Text kFramesExported{"导出了 %1 帧", "exported %1 frames"};
inline constexpr Text kFramesNeedsSubcommand{
    "需要子命令和文档: frames 子命令 DOC.cvn ...",
    "needs a subcommand and a document: frames SUBCOMMAND DOC.cvn ..."};
inline constexpr Text kUnknownFramesSubcommand{"未知子命令 \"%1\" (%2)", "unknown subcommand \"%1\" (%2)"};
inline constexpr Text kExportNeedsFolder{"需要 DOC.cvn 和输出文件夹", "needs DOC.cvn and OUTDIR"};
inline constexpr Text kExactlyOneDocument{"需要且只需要一个文档", "needs exactly one document"};
inline constexpr Text kNeedsDocAndPicture{"需要 DOC.cvn 和至少一张图片", "needs DOC.cvn and at least one picture"};
inline constexpr Text kBlockOutRequired{"必须给出 --block 输出文件", "--block OUT is required"};
inline constexpr Text kBlockFrameLimit{"一个帧块最多容纳 65535 帧", "a block holds at most 65535 frames"};
inline constexpr Text kFramesCopied{"复制了 %1 帧", "copied %1 frames"};

// color-process
inline constexpr Text kColourProcessNeedsOne{
    "请给出 --replace、--swap、--shade、--clear-non-led、--clear-by-frame 之一",
    "give one of --replace, --swap, --shade, --clear-non-led, --clear-by-frame"};
inline constexpr Text kReplaceTakesColours{
    "--replace 的格式为 旧颜色,新颜色 (RRGGBB,RRGGBB)",
    "--replace takes OLD,NEW (RRGGBB,RRGGBB)"};
inline constexpr Text kSwapChoices{
    "--swap 取 RBG、GRB、GBR、BGR 或 BRG",
    "--swap takes RBG, GRB, GBR, BGR or BRG"};
inline constexpr Text kChannelsLetters{"--channels 取 R、G、B 中的字母", "--channels takes letters of R, G and B"};
inline constexpr Text kBackgroundTakesColour{"--background 的格式为 RRGGBB", "--background takes RRGGBB"};
inline constexpr Text kFramesProcessed{"已处理第 %1..%2 帧", "processed frames %1..%2"};

// generate
inline constexpr Text kNoParticleTemplate{"%2 中没有名为 \"%1\" 的粒子模板", "no particle template named \"%1\" in %2"};
inline constexpr Text kBadParticleValue{
    "--particle: \"%1\" 不是有效的粒子参数 (见 corvantine-cli help generate)",
    "--particle: \"%1\" is not a particle value (see corvantine-cli help generate)"};
inline constexpr Text kParticlePictureUnreadable{"无法读取粒子图片 %1", "the particle picture %1 cannot be read"};
inline constexpr Text kPictureAndTextSource{
    "picture-and-text 需要 --files F1,F2,... 或 --text 文字, 二者取一",
    "picture-and-text takes either --files F1,F2,... or --text TEXT"};
inline constexpr Text kFileMissing{"%1: 文件不存在", "%1: no such file"};
inline constexpr Text kDirectionChoices{
    "--direction 取 horizontal 或 vertical",
    "--direction takes horizontal or vertical"};
inline constexpr Text kTextColourTakesColour{"--text-color 的格式为 RRGGBB", "--text-color takes RRGGBB"};
inline constexpr Text kVKindChoices{
    "--v-kind 取 move、turn 或 vis-a-vis",
    "--v-kind takes move, turn or vis-a-vis"};
inline constexpr Text kShapeChoices{
    "--shape 取 circle、square 或 diamond",
    "--shape takes circle, square or diamond"};
inline constexpr Text kModeRequired{"必须给出 --mode 名称", "--mode NAME is required"};
inline constexpr Text kUnknownMode{"未知模式 \"%1\" (%2)", "unknown mode \"%1\" (%2)"};
inline constexpr Text kStyleRequired{"必须给出 --style N", "--style N is required"};
inline constexpr Text kStyleNotAvailable{
    "%1 %2 随设计编辑器提供, 目前尚不可用",
    "%1 %2 comes with the design editor and is not available yet"};
inline constexpr Text kRenderChoices{
    "--render 取 not、left、right、up、down、left-up、left-down、right-up、right-down、curve-up 或 curve-down",
    "--render takes not, left, right, up, down, left-up, left-down, right-up, right-down, curve-up or curve-down"};
inline constexpr Text kColourListEmpty{"颜色列表为空", "the colour list is empty"};
inline constexpr Text kPortStylesNeedLines{
    "端口样式需要 --lines LAYOUT.lnf",
    "the port styles need --lines LAYOUT.lnf"};
inline constexpr Text kLayoutLargerThanFrames{
    "造型 (%1 x %2) 大于帧 (%3 x %4)",
    "the layout (%1 x %2) is larger than the frames (%3 x %4)"};
inline constexpr Text kGeneratorFailed{"生成器无法运行: %1", "the generator could not run: %1"};
inline constexpr Text kFramesGenerated{
    "%1 %2: 生成 %3 帧, 场景共 %4 帧",
    "%1 %2: %3 frames made, %4 frames in the clip"};

// design list: an item
inline constexpr Text kItemPlace{" 位于 %1,%2 大小 %3x%4", " at %1,%2 size %3x%4"};
inline constexpr Text kItemColourWidth{" 颜色 %1 线宽 %2", " colour %1 width %2"};
inline constexpr Text kItemFilled{" 填充", " filled"};
inline constexpr Text kItemOutline{" 轮廓", " outline"};
inline constexpr Text kItemAngle{" 角度 %1", " angle %1"};
inline constexpr Text kItemSourceClip{" 来源场景 %1", " source clip %1"};
inline constexpr Text kItemTextMark{" 文字", " text"};
inline constexpr Text kItemMaskMark{" (遮罩)", " (mask)"};

// design export
inline constexpr Text kExportNeedsOut{"export 需要 OUT", "export needs OUT"};
inline constexpr Text kPlayerMissing{"找不到播放程序 %1", "the player %1 is not there"};
inline constexpr Text kOutputSameAsInput{
    "%1 与输入文件 %2 是同一个文件, 请另选输出文件",
    "%1 is the same file as the input %2; choose another output"};
inline constexpr Text kNotEffectPlayer{
    "%1 不是效果播放程序 (corvantine-player)",
    "%1 is not the effect player program (corvantine-player)"};

// design add
inline constexpr Text kAddNeedsKind{"add 需要对象类型", "add needs a kind"};
inline constexpr Text kAddKindChoices{
    "add 取 rectangle、ellipse、line、round-rectangle、text、star、regular-polygon 或 picture-area",
    "add takes rectangle, ellipse, line, round-rectangle, text, star, regular-polygon or picture-area"};
inline constexpr Text kBoxTakesRect{"--box 的格式为 X,Y,W,H", "--box takes X,Y,W,H"};
inline constexpr Text kColorTakesColour{"--color 的格式为 RRGGBB", "--color takes RRGGBB"};

// design
inline constexpr Text kDesignNeedsCommand{
    "需要 文档 和 list、render、export 或 add",
    "needs DOC and list, render, export or add"};
inline constexpr Text kListTakesNoNames{"list 不需要其他参数", "list takes no more names"};
inline constexpr Text kCanvasSummary{"画布 %1 x %2, %3 个图层", "canvas %1 x %2, %3 layers"};
inline constexpr Text kMusicBytes{", 音乐 %1 字节", ", music of %1 bytes"};
inline constexpr Text kLayerItems{" 个对象", " items"};
inline constexpr Text kRenderNeedsFrames{"render 需要 --frames N", "render needs --frames N"};
inline constexpr Text kDesignFramesAppended{
    "追加设计 %1 帧, 场景共 %2 帧",
    "%1 frames of the design appended, %2 frames in the clip"};
inline constexpr Text kUnknownDesignCommand{"未知的 design 命令 \"%1\"", "unknown design command \"%1\""};

}  // namespace corv::msg::cli
