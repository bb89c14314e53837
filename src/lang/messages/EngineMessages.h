#pragma once

#include "base/Text.h"

namespace corv::msg::engine {

// Panel lists: ports per slave, connection modes and the line list's columns.
inline constexpr Text kOneLinePerSlave{"一台分控一条线路", "A line with a slave"};
inline constexpr Text kTwoLinesPerSlave{"一台分控二条线路", "Two line with a slave"};
inline constexpr Text kThreeLinesPerSlave{"一台分控三条线路", "Three line with a slave"};
inline constexpr Text kFourLinesPerSlave{"一台分控四条线路", "Four line with a slave"};
inline constexpr Text kEightLinesPerSlave{"一台分控八条线路", "Eight line with a salve"};
inline constexpr Text kConnectionModeNames[] = {
    {"横向Z型", "Z type (H)"},
    {"纵向Z型", "Z type (V)"},
    {"横向S型", "S type(H)"},
    {"纵向S型", "S type (V)"},
    {"最短距离", "Shor distance "},
    {"最短距离(横向优先)", "Short distance(H)"},
};
inline constexpr Text kLineListColumns[] = {{"线路", "No."}, {"点数", "Count"}};

// Display modules. The first entry's name is compared with the names stored in module files.
inline constexpr Text kSinglePixelModule{"单点", "Single pixel"};
inline constexpr Text kModuleNameExists{"此模块名已存在，是否覆盖？",
                                        "This module name already exists, is it covered?"};

// Effect layers: the name a new layer gets (printf form, %d the 1-based position); it is
// written into the documents.
inline constexpr Text kLayerName{"第%d层", "%dTh layer"};

// Controller parameters. The controller type names come back unconverted; their callers
// convert them for language 2.
inline constexpr Text kMasterSlaveController{"主－分控模式的主控制器", "M-S Mode Controller",
                                             Traditional::None};
inline constexpr Text kSingleController{"单机主控制器", "Single Controller", Traditional::None};
inline constexpr Text kSimpleController{"简易主控制器", "Simple Controller", Traditional::None};
inline constexpr Text kChooseSlaveToModify{"请你选择要修改参数的分控。",
                                           "Please choose to modify the parameter of the slave."};
inline constexpr Text kReversedYes{"是", "Yes"};
inline constexpr Text kReversedNo{"否", "No"};
inline constexpr Text kSlaveListColumns[] = {
    {"  分控", "   No."},
    {"灯具类型", "LightType"},
    {"控制类型", "ControlType"},
    {"时钟", "Clock"},
    {"亮度", "Bright"},
    {"灰度", "Gray"},
    {"取反", "Reverse"},
    {"端口", "Ports"},
    {"红色", "Red"},
    {"绿色", "Green"},
    {"蓝色", "Blue"},
    {"Gamma", "Gamma"},
};
inline constexpr Text kMultiControllerColumns[] = {
    {"序号", "NO."},
    {"分控编号", "SlaveNO."},
    {"分控数目", "SlaveNum"},
};

// Particle system: the entries of its combos. The Chinese entries are shown as they stand in
// both Chinese languages.
inline constexpr Text kParticleRandom{"随机", "Random", Traditional::None};
inline constexpr Text kParticleMiddle{"中间", "Middle", Traditional::None};
inline constexpr Text kParticleTop{"顶部", "Top", Traditional::None};
inline constexpr Text kParticleBottom{"底部", "Bottom", Traditional::None};
inline constexpr Text kParticleEast{"东", "East", Traditional::None};
inline constexpr Text kParticleWest{"西", "West", Traditional::None};
inline constexpr Text kParticleNoWind{"无", "Not", Traditional::None};

// Picture text: the font family a panel starts with (a font name, never converted).
inline constexpr Text kPictureTextFont{"宋体", "Arial", Traditional::None};

}  // namespace corv::msg::engine
