#pragma once

#include "base/Text.h"

namespace corv::msg::frame {

// --- the style preview: the tool tips of the modes and of their styles ---------------------------

// One per generator mode, in the modes' order.
inline constexpr Text kModeTips[] = {
    {"画面按方向移动，新颜色从对边进入", "The picture moves in a direction; the new colour enters at the opposite edge"},
    {"画面分成两半或四块，对称地向外或向内移动", "The picture in halves or quarters moving out or in, mirrored"},
    {"相邻的行或列朝相反方向交错移动", "Neighbouring rows or columns move in opposite directions"},
    {"颜色一圈一圈地向外扩散或向内收缩", "The colours spread out ring by ring or shrink inward"},
    {"颜色列表排成螺旋或扇形绕中心旋转", "The colour list laid as spirals or sectors turning about the centre"},
    {"整个画面逐帧变亮、变暗、放大、缩小、淡出或换色", "The whole picture brightens, darkens, grows, shrinks, fades or changes colour frame by frame"},
    {"雨滴从上方落下，拖着颜色列表的尾巴", "Drops fall from the top, trailing the colour list"},
    {"图文列表的图片和文字依次以所选过渡效果出现", "The pictures and texts of the list shown one after another with the chosen transition"},
    {"积木沿方向移动并在对边堆起来", "Bricks travel in a direction and pile up against the far edge"},
    {"像音量表一样随机起落的色条", "Bars of the colour list rising and falling at random like a level meter"},
    {"百叶窗：区域分成若干叶片，逐列用当前颜色打开", "Blinds: the area cut into slats that open column by column in the current colour"},
    {"颜色列表组成的V形条纹沿方向移动", "Chevrons of the colour list travelling in a direction"},
    {"粒子、扩散、线型、随机和波浪效果", "Particles, diffuse rings, stripes, random blocks and waves"},
};

// The styles of each mode, in the styles' order.
inline constexpr Text kMovingStyleTips[] = {
    {"画面每帧向左移动一个步长，当前颜色从右边进入", "The picture moves left by the step each frame; the current colour enters at the right"},
    {"画面每帧向右移动一个步长，当前颜色从左边进入", "The picture moves right by the step each frame; the current colour enters at the left"},
    {"画面每帧向上移动一个步长，当前颜色从下边进入", "The picture moves up by the step each frame; the current colour enters at the bottom"},
    {"画面每帧向下移动一个步长，当前颜色从上边进入", "The picture moves down by the step each frame; the current colour enters at the top"},
    {"画面向左上斜向移动，颜色从右下进入", "The picture moves diagonally up and left; the colour enters from the bottom right"},
    {"画面向左下斜向移动，颜色从右上进入", "The picture moves diagonally down and left; the colour enters from the top right"},
    {"画面向右上斜向移动，颜色从左下进入", "The picture moves diagonally up and right; the colour enters from the bottom left"},
    {"画面向右下斜向移动，颜色从左上进入", "The picture moves diagonally down and right; the colour enters from the top left"},
    {"颜色沿每个端口的走线移动，从端口的起点进入（需要线路文件）", "The colours move along each port's wiring, entering at the port's start (needs a line file)"},
    {"颜色从一个端口移到下一个端口，第一个端口取新颜色（需要线路文件）", "The colours pass from port to port, the first port taking the new colour (needs a line file)"},
};
inline constexpr Text kSymmetryStyleTips[] = {
    {"左右两半从中线向外移动，颜色从中间进入", "The left and right halves move out from the middle; the colour enters at the centre line"},
    {"左右两半向中线移动，颜色从两侧进入", "The left and right halves move in to the middle; the colour enters at both sides"},
    {"上下两半从中线向外移动，颜色从中间进入", "The top and bottom halves move out from the middle; the colour enters at the centre line"},
    {"上下两半向中线移动，颜色从上下两边进入", "The top and bottom halves move in to the middle; the colour enters at the top and bottom"},
    {"四块从中心向四角斜向移动，颜色从中心进入", "The four quarters move diagonally out to the corners; the colour enters at the centre"},
    {"四块从四角向中心斜向移动，颜色从四角进入", "The four quarters move diagonally in from the corners; the colour enters at the corners"},
};
inline constexpr Text kInterleavingStyleTips[] = {
    {"各行每帧移动一个像素，相邻行一左一右", "Every row moves a pixel a frame, neighbouring rows left and right"},
    {"各列每帧移动一个像素，相邻列一上一下", "Every column moves a pixel a frame, neighbouring columns up and down"},
};
inline constexpr Text kDiffusingStyleTips[] = {
    {"椭圆环：颜色从中心进入，每帧向外扩散一圈", "Elliptic rings: the colour enters at the centre and spreads out a ring a frame"},
    {"椭圆环：颜色从边缘进入，每帧向内收缩一圈", "Elliptic rings: the colour enters at the edge and shrinks in a ring a frame"},
    {"菱形：四块从中心向外斜向扩散", "Rhombus: the four quarters move diagonally out of the centre"},
    {"菱形：四块斜向收缩到中心", "Rhombus: the four quarters move diagonally into the centre"},
    {"矩形环：颜色从中心进入，每帧向外扩散一圈", "Rectangular rings: the colour enters at the centre and spreads out a ring a frame"},
    {"矩形环：颜色从边缘进入，每帧向内收缩一圈", "Rectangular rings: the colour enters at the edge and shrinks in a ring a frame"},
};
inline constexpr Text kRotationStyleTips[] = {
    {"颜色列表组成的螺旋臂逆时针旋转", "Spiral arms in the colours of the list turning anticlockwise"},
    {"颜色列表组成的螺旋臂顺时针旋转", "Spiral arms in the colours of the list turning clockwise"},
    {"颜色列表排成绕中心的扇形，逆时针旋转", "The colour list as sectors about the centre, turning anticlockwise"},
    {"颜色列表排成绕中心的扇形，顺时针旋转", "The colour list as sectors about the centre, turning clockwise"},
};
inline constexpr Text kGradualStyleTips[] = {
    {"每帧所有像素变亮一些", "Every pixel a little brighter each frame"},
    {"每帧所有像素变暗一些", "Every pixel a little darker each frame"},
    {"画面每帧每边放大一个像素", "The picture grows by a pixel on every side each frame"},
    {"画面每帧每边缩小一个像素", "The picture shrinks by a pixel on every side each frame"},
    {"画面在生成的帧数内淡出到背景色", "The picture fades to the background over the frames made"},
    {"整个区域每帧换成颜色列表的下一个颜色", "The whole area takes the next colour of the list each frame"},
};
inline constexpr Text kDroppingStyleTips[] = {
    {"每帧在随机列落下一滴，每帧下落一行，拖着颜色列表", "A drop a frame in a random column, falling a row a frame, trailing the colour list"},
    {"每帧在随机列落下一滴，每帧下落两行", "A drop a frame in a random column, falling two rows a frame"},
    {"每两帧落下一滴，每帧下落一行", "A drop every other frame, falling a row a frame"},
};
inline constexpr Text kPictureTextStyleTips[] = {
    {"图文列表的每一项以所选过渡效果出现", "Each entry of the list comes in with the chosen transition"},
    {"图文列表的每一项以所选过渡效果出现，再退回背景", "Each entry of the list comes in with the chosen transition and goes out again to the background"},
};
inline constexpr Text kBricksStyleTips[] = {
    {"积木向左移动，堆在左边", "Bricks travel left and pile up against the left edge"},
    {"积木向右移动，堆在右边", "Bricks travel right and pile up against the right edge"},
    {"积木向上移动，堆在上边", "Bricks travel up and pile up against the top edge"},
    {"积木向下移动，堆在下边", "Bricks travel down and pile up against the bottom edge"},
};
inline constexpr Text kSoundStyleTips[] = {
    {"每行一根色条，从右边向左随机伸缩", "A bar per row, growing and shrinking at random from the right edge leftward"},
    {"每行一根色条，从左边向右随机伸缩", "A bar per row, growing and shrinking at random from the left edge rightward"},
    {"每列一根色条，从下边向上随机伸缩", "A bar per column, growing and shrinking at random from the bottom upward"},
    {"每列一根色条，从上边向下随机伸缩", "A bar per column, growing and shrinking at random from the top downward"},
    {"每行一根色条，从中间向两边随机伸缩", "A bar per row, growing and shrinking at random from the middle to both sides"},
};
inline constexpr Text kJalousieStyleTips[] = {
    {"叶片竖排，每片从右向左打开", "Upright slats, each opening from its right side to the left"},
    {"叶片竖排，每片从左向右打开", "Upright slats, each opening from its left side to the right"},
    {"叶片横排，每片从下向上打开", "Level slats, each opening from its bottom upward"},
    {"叶片横排，每片从上向下打开", "Level slats, each opening from its top downward"},
};
inline constexpr Text kVShapeStyleTips[] = {
    {"V形条纹向左移动", "Chevrons of the colour list travelling left"},
    {"V形条纹向右移动", "Chevrons of the colour list travelling right"},
    {"V形条纹向上移动", "Chevrons of the colour list travelling up"},
    {"V形条纹向下移动", "Chevrons of the colour list travelling down"},
};
inline constexpr Text kOtherStyleTips[] = {
    {"粒子在背景上运动（粒子对话框的设置）", "Particles moving over the background (the particle dialog's settings)"},
    {"绕所选点的圆、方或菱形环，颜色列表向外或向内流动", "Circle, square or diamond rings about a chosen point, the colour list running out or in"},
    {"颜色列表组成的平行条纹按角度移动", "Parallel stripes of the colour list moving across at an angle"},
    {"随机大小和位置的色块，取颜色列表中的随机颜色", "Blocks of random size and place in random colours of the list"},
    {"各行按步长右移，进入的颜色随上下扫动的波峰变化", "Rows move right by the step; the entering colours follow a crest sweeping up and down"},
};

// The preview's own state.
inline constexpr Text kPreviewing{"预览中…", "Previewing…"};
inline constexpr Text kNoPreview{"此样式无预览", "No preview for this style"};

// --- the pattern panel ---------------------------------------------------------------------------

inline constexpr Text kRecycleColours{"循环使用前一帧颜色", "Recycling before a color"};
// The render modes' and the generator modes' names, in their order (the English ones are the
// modes' own names).
inline constexpr Text kRenderModeNames[] = {
    {"无", "Not"},         {"左", "Left"},         {"右", "Right"},          {"上", "Up"},
    {"下", "Down"},        {"左上", "Left up"},    {"左下", "Left down"},    {"右上", "Right up"},
    {"右下", "Right down"}, {"曲线上", "Curve up"}, {"曲线下", "Curve down"},
};
inline constexpr Text kGeneratorModeNames[] = {
    {"移动", "Moving"},     {"对称", "Symmetry"},   {"交错", "Interleaving"},   {"扩散", "Diffusing"},
    {"旋转", "Rotation"},   {"渐变", "Gradual changing"}, {"雨滴", "Dropping"}, {"图文", "PictureAndText"},
    {"积木", "Toy bricks"}, {"音符", "Sound wave"}, {"百叶窗", "Jalousie"},     {"V型", "V shape"},
    {"其它", "Other"},
};
// Also the label of the picture-text panel's own render choice.
inline constexpr Text kRomance{"渲染方式:", "Romance:"};
inline constexpr Text kActionMode{"变化模式:", "Action Mode:"};
inline constexpr Text kStepLength{"移动步长:", "Step length:"};
// The frame count's label, by mode.
inline constexpr Text kFilterNumber{"渗透帧数:", "Filter Number:"};
inline constexpr Text kBlockNumber{"分块数目:", "Block Number:"};
inline constexpr Text kMakeFrameNum{"生成帧数:", "Make Frame Num:"};
// The toy-bricks sub-panel.
inline constexpr Text kBrickWidth{"积木宽度:", "Toy bricks width:"};
inline constexpr Text kBrickHeight{"积木高度:", "Toy bricks height:"};
inline constexpr Text kBrickSpace{"间距:", "Space between:"};
inline constexpr Text kBrickFrequency{"频率:", "Frequency:"};
inline constexpr Text kBrickOverpass{"越过:", "Overpass:"};
inline constexpr Text kBrickRebound{"反弹高度:", "Rebound height:"};
// The V-shape sub-panel.
inline constexpr Text kStepsInterval{"步长间隔:", "Steps Interval:"};
inline constexpr Text kVShapeKinds[] = {{"V型移动", "V move"}, {"V型翻转", "V turn"}, {"V型相对", "V vis-a-vis"}};
inline constexpr Text kColourCycles{"颜色循环次数:", "Color pad cycles:"};

// --- the picture-text panel ----------------------------------------------------------------------

inline constexpr Text kBrowseEntries{"浏览(&B)", "&Browse"};
inline constexpr Text kTypeTextHere{"请在此输入文字！", "Please enters your content in this"};
inline constexpr Text kFontButton{"字体(&F)", "&Font"};
inline constexpr Text kBuildPicture{"生成图片(&P)", "Build&Picture"};
inline constexpr Text kHorizontalText{"水平", "Horizon"};
inline constexpr Text kStunt{"特技:", "Stunt:"};
inline constexpr Text kTextPictureList{"文本和图片列表:", "Text and Pic list:"};
inline constexpr Text kMakeFrameNumber{"生成帧数:", "Make frame number:"};
inline constexpr Text kTextDirection{"文字方向:", "Text direction:"};
// The file dialog's filters (the particle dialog's too).
inline constexpr Text kTextPictureFiles{"文本,图片", "Text,Picture"};
inline constexpr Text kAllFiles{"所有文件", "All files"};
// The font dialog.
inline constexpr Text kFontTitle{"字体", "Font"};
inline constexpr Text kCustomSize{"自定义", "Custom"};
inline constexpr Text kFontFace{"字体:", "Face:"};

// --- the colour panel ----------------------------------------------------------------------------

inline constexpr Text kColourLabel{"颜色:", "Color:"};
inline constexpr Text kClearList{"清除", "Clear"};
inline constexpr Text kBackLabel{"背景:", "Back:"};
inline constexpr Text kBackButton{"背景色", "bk"};
inline constexpr Text kModifierHint{"Ctrl 或 Shift + 鼠标", "Ctrl or Shift + Mouse"};
inline constexpr Text kSampleList{"样本颜色列表:", "Sample color list:"};
inline constexpr Text kRemoveList{"移除", "Remove"};
inline constexpr Text kTransitionGrade{"过渡等级:", "Transition grade:"};
inline constexpr Text kTransitionColours{"过渡颜色数:", "Transitional colors:"};
// The drawing tools' tips (kFill is also the fill check box).
inline constexpr Text kToolSelect{"选择 (拖动编辑区域)", "Select (drag the edit area)"};
inline constexpr Text kToolPen{"画笔", "Pen"};
inline constexpr Text kToolBrush{"刷子", "Brush"};
inline constexpr Text kPenWidth{"线宽:", "LineWidth:"};
// A colour library entry: %1 is its number of colours.

// --- the colour processing dialog ----------------------------------------------------------------

inline constexpr Text kColourReplace{"颜色替换,颜色", "Color replace,Color"};
inline constexpr Text kOldColour{"旧颜色", "OldClr"};
inline constexpr Text kNewColour{"新颜色", "NewClr"};
inline constexpr Text kReplaceAs{"替换为", "replace as"};
inline constexpr Text kChannelSwap{"颜色分量交换", "Color member swap"};
inline constexpr Text kFromRgbTo{"从 R G B 到", "from R G B to"};
inline constexpr Text kShadeAdjust{"颜色明暗调整", "Color light and shade adjust"};
inline constexpr Text kColourChannels{"颜色分量", "Color member"};
inline constexpr Text kChannelNames[] = {{"红", "Red"}, {"绿", "Green"}, {"蓝", "Blue"}};
inline constexpr Text kPercentage{"百分比: ", "Percentage: "};
inline constexpr Text kClearUnlit{"清除非发光点", "Clear  not lighting of point"};
inline constexpr Text kClearUnderBlack{"清除与当前帧黑色像素对应的像素", "Clear pixels corresponding to black pixels of current frame"};

// --- the frame edit dialogs ----------------------------------------------------------------------

// Frame operate (copy or delete a range).
inline constexpr Text kFrameOperateTitle{"帧操作", "Frame operate"};
inline constexpr Text kCopyToClipboard{"复制到剪贴板。", "Copy to clipboard."};
inline constexpr Text kDeleteRange{"删除范围内的全部帧。", "Delete appoint range of all frame."};
inline constexpr Text kRepeatEveryFrame{"每帧重复次数:", "Repeat time of every frame:"};
inline constexpr Text kSpaceFrames{"间隔帧数:", "Space frame numbers:"};
// Paste.
inline constexpr Text kEndFrame{"尾帧", "End frame"};
inline constexpr Text kInsert{"插入", "Insert"};
inline constexpr Text kOverlay{"覆盖", "Overlay"};
inline constexpr Text kAsIs{"原样", "Originally"};
inline constexpr Text kHorizontalMirror{"水平镜像", "Horizon mirror"};
inline constexpr Text kVerticalMirror{"垂直镜像", "Vertical mirror"};
inline constexpr Text kCentreMirror{"中心镜像", "Center mirror"};
inline constexpr Text kReverseOrder{"倒序", "Reverse order"};
inline constexpr Text kCombineNormal{"正常", "Normal"};
inline constexpr Text kCombineOr{"或", "OR"};
inline constexpr Text kCombineXor{"异或", "XOR"};
inline constexpr Text kCombineAnd{"与", "And"};
inline constexpr Text kCombineSuperposition{"叠加", "Superposition"};
inline constexpr Text kCombineTransparency{"透明", "Transparency"};
inline constexpr Text kCombineAdding{"相加", "Adding"};
inline constexpr Text kPastePlace{"位置:", "Place:"};
inline constexpr Text kPasteTimes{"次数:", "Times:"};
// Steps paste.
inline constexpr Text kStepsDirection{"方向", "Direction"};
inline constexpr Text kStepsForwards{"从左到右或从上到下", "From left to right or from top to bottom"};
inline constexpr Text kStepsBackwards{"从右到左或从下到上", "From right to left or from bottom to top"};
inline constexpr Text kStartFrame{"起始帧:", "Start Frame:"};
inline constexpr Text kFrameInterval{"帧间隔:", "Frame interval:"};
// Frame processing (move, design switch).
inline constexpr Text kFrameProcessTitle{"帧处理", "Frame processing"};
inline constexpr Text kMoveDirections[] = {{"左移", "Move left"}, {"右移", "Move right"}, {"上移", "Move up"}, {"下移", "Move down"}};
inline constexpr Text kMoveRanks{"移动行列数:", "Move ranks :"};
inline constexpr Text kIncrements{"逐帧递增", "Frame-by-frame increments"};
inline constexpr Text kFrameMoveTab{"帧移动", "Frame move"};
inline constexpr Text kTransitionKind{"过渡方式:", "Transition:"};
inline constexpr Text kDesignSwitchNote{"范围之后的同样多的帧逐步显现, 从范围的最后一帧开始。",
                                        "As many frames as the range holds, after it, appear step by step from its last frame."};
inline constexpr Text kDesignSwitchTab{"图案切换", "Design switch"};
// Row and column delete.
inline constexpr Text kReserve{"保留", "Reserve"};
inline constexpr Text kRowsDelete{"行,删除", "row,Delete"};
inline constexpr Text kColsDelete{"列,删除", "col,Delete"};
inline constexpr Text kRows{"行", "row"};
inline constexpr Text kCols{"列", "col"};

// --- the other styles' dialog (diffuse, linetype, random) ----------------------------------------

inline constexpr Text kDiffuseTitle{"扩散", "Diffuse"};
inline constexpr Text kCentreAcross{"中心横向 (%):", "Centre across (%):"};
inline constexpr Text kCentreDown{"中心纵向 (%):", "Centre down (%):"};
inline constexpr Text kRingShapes[] = {{"圆形", "Circle"}, {"方形", "Square"}, {"菱形", "Diamond"}};
inline constexpr Text kRingShape{"形状:", "Shape:"};
inline constexpr Text kRingWidth{"环宽:", "Ring width:"};
inline constexpr Text kOutward{"向外扩散", "Outward"};
inline constexpr Text kLinetypeTitle{"线型", "Linetype"};
inline constexpr Text kStripeSpeed{"速度 (像素/帧):", "Speed (pixels a frame):"};
inline constexpr Text kRandomTitle{"随机", "Random"};
inline constexpr Text kSmallestBlock{"最小块:", "Smallest block:"};
inline constexpr Text kLargestBlock{"最大块:", "Largest block:"};
inline constexpr Text kBlocksPerFrame{"每帧块数:", "Blocks a frame:"};
inline constexpr Text kKeepBlocks{"保留之前的块", "Keep the blocks before"};

// --- the particle dialog -------------------------------------------------------------------------

inline constexpr Text kParticleTitle{"粒子系统", "Particle system"};
inline constexpr Text kParticleComboTip{"选择一项, 或输入一个整数", "Choose an entry or type a whole number"};
inline constexpr Text kSendSpeedTip{"每50帧发出的粒子数 (50: 每帧一个)", "Particles sent per 50 frames (50: one a frame)"};
inline constexpr Text kThrowAbout{"随机抛洒", "Throw about"};
inline constexpr Text kThrowAboutTip{"水平速度耗尽的粒子重新得到随机速度", "A particle whose horizontal speed has died out gets a new random one"};
inline constexpr Text kOriginalPosition{"初始位置", "Original position"};
inline constexpr Text kOriginalSpeed{"初始速度", "Original speed"};
inline constexpr Text kMinValue{"最小值:", "Min value:"};
inline constexpr Text kMaxValue{"最大值:", "Max value:"};
inline constexpr Text kAcceleration{"加速度", "Acceleration"};
inline constexpr Text kWind{"风", "Wind"};
inline constexpr Text kWindDirection{"方向:", "Direction:"};
inline constexpr Text kWindCycle{"周期:", "Cycle:"};
inline constexpr Text kWindPower{"力度:", "Power:"};
inline constexpr Text kSendSpeed{"发送速度:", "Send speed:"};
inline constexpr Text kParticlePicture{"粒子图片", "Particle picture"};
inline constexpr Text kBrowsePicture{"浏览...", "Browse..."};
inline constexpr Text kSaveTemplate{"保存模板", "Save templet"};
inline constexpr Text kDeleteTemplate{"删除模板", "Delete templet"};
inline constexpr Text kTemplate{"模板:", "Templet:"};
// Followed by the picture's path.
inline constexpr Text kParticleLibraryUnwritable{"无法写入粒子模板库", "The particle library cannot be written"};

}  // namespace corv::msg::frame
