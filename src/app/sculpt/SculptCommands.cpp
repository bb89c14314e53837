#include "app/sculpt/SculptCommands.h"

#include <algorithm>
#include <array>

namespace corv {

namespace {

constexpr int Key(Qt::Key key) { return QKeyCombination(key).toCombined(); }
constexpr int Ctrl(Qt::Key key) { return (Qt::CTRL | key).toCombined(); }
constexpr int Shift(Qt::Key key) { return (Qt::SHIFT | key).toCombined(); }
constexpr int Tool(int mode) { return sculpt::kFirstToolCommand + mode; }

using M = SculptMenu;
using C = SculptCommand;

constexpr std::array kCommands{
    C{sculpt::kNew, M::File, "新建(&N)...", "&New...", 0},
    C{sculpt::kOpen, M::File, "打开(&O)...", "&Open...", Ctrl(Qt::Key_O)},
    C{sculpt::kSave, M::File, "保存(&S)", "&Save", Ctrl(Qt::Key_S)},
    C{sculpt::kSaveAs, M::File, "另存为(&A)...", "Save &As...", 0},
    C{sculpt::kImportDxf, M::File, "导入dxf文件", "Import dxf file", 0, true},
    C{sculpt::kPictureIdentify, M::File, "图片识别", "Picture Identiry", 0},
    C{sculpt::kExportModule, M::File, "导出模块", "Export module", Key(Qt::Key_E), true},
    C{sculpt::kImportModule, M::File, "导入模块", "Import module", Ctrl(Qt::Key_I)},
    C{sculpt::kOutputMap, M::File, "输出map文件", "Output map file", 0, true},
    C{sculpt::kOutputHmc, M::File, "输出hmc文件", "Output hmc file", 0},
    C{sculpt::kOutputImage, M::File, "输出图片", "Output image", Shift(Qt::Key_O)},
    C{sculpt::kReturn, M::File, "返回", "Return", Key(Qt::Key_Escape), true},

    C{Tool(sculpt::kToolAdd), M::Edit, "添加", "Add", Key(Qt::Key_D), false, true},
    C{Tool(sculpt::kToolCut), M::Edit, "剪切", "Cut", Ctrl(Qt::Key_X), false, true},
    C{Tool(sculpt::kToolCopy), M::Edit, "复制", "Copy", Ctrl(Qt::Key_C), false, true},
    C{Tool(sculpt::kToolArrayCopy), M::Edit, "阵列复制", "Array copy", Shift(Qt::Key_C), false, true},
    C{Tool(sculpt::kToolSaveModule), M::Edit, "保存为模块", "Save as module", Key(Qt::Key_M), false, true},
    C{Tool(sculpt::kToolPixelsRepeat), M::Edit, "像素点重复", "Pixels repeat", Key(Qt::Key_R), false, true},
    C{Tool(sculpt::kToolDelete), M::Edit, "删除", "Delete", Key(Qt::Key_Delete), false, true},
    C{Tool(sculpt::kToolPaste), M::Edit, "粘贴", "Paste", Ctrl(Qt::Key_V), false, true},
    C{Tool(sculpt::kToolTransfer), M::Edit, "转接", "Transfer", Key(Qt::Key_G), false, true},
    C{Tool(sculpt::kToolReverse), M::Edit, "反接", "Reverse", Key(Qt::Key_A), false, true},
    C{Tool(sculpt::kToolMove), M::Edit, "移动", "Move", Ctrl(Qt::Key_M), false, true},
    C{sculpt::kUndo, M::Edit, "撤销(&U)", "&Undo", Ctrl(Qt::Key_Z), true},
    C{sculpt::kRedo, M::Edit, "重做(&R)", "&Redo", Ctrl(Qt::Key_Y)},
    C{sculpt::kLineOperate, M::Edit, "线路操作", "Line operate", Key(Qt::Key_L), true},
    C{sculpt::kPasteSetting, M::Edit, "粘贴设置", "Paste Setting", Key(Qt::Key_V)},
    C{sculpt::kAllowRepeat, M::Edit, "允许重复像素", "Allow repeat pixels", Ctrl(Qt::Key_A), true, true},
    C{sculpt::kConnectByBackground, M::Edit, "按背景连接", "Connect by background", Ctrl(Qt::Key_B), false, true},
    C{sculpt::kDeleteModule, M::Edit, "删除当前模块", "Delete current module", Ctrl(Qt::Key_Delete), true},

    C{sculpt::kImportBackground, M::Background, "导入背景图片", "Import backgroud picture", 0},
    C{sculpt::kCurrentFrame, M::Background, "当前帧", "Current Frame", 0},
    C{Tool(sculpt::kToolEditBackground), M::Background, "编辑背景", "Edit background", Key(Qt::Key_B), false, true},
    C{sculpt::kInputText, M::Background, "输入文字", "Input Text", Key(Qt::Key_T)},
    C{sculpt::kBackPictureSize, M::Background, "背景图片尺寸", "Back picture size", 0, true},
    C{sculpt::kFrameAdjust, M::Background, "背景位置调整", "Frame adjust", 0},
    C{sculpt::kDeleteBackground, M::Background, "删除背景", "Delete background", Shift(Qt::Key_Delete), true},
    C{sculpt::kShowBackground, M::Background, "显示背景图片", "Show background image", 0, true, true},

    C{sculpt::kLightingSetting, M::Setting, "控制器参数设置", "Lighting setting", Key(Qt::Key_P)},
    C{sculpt::kChipPinSetting, M::Setting, "控制引脚设置", "Chip-pin setting", Key(Qt::Key_C)},
    C{sculpt::kMultiController, M::Setting, "多台主控制器设置", "Multi-controller Setting", Key(Qt::Key_U)},

    C{sculpt::kImageCenter, M::View, "图像居中", "Image Center", Key(Qt::Key_Home)},
    C{sculpt::kZoomIn, M::View, "放大", "Zoom in", Key(Qt::Key_Plus)},
    C{sculpt::kZoomOut, M::View, "缩小", "Zoom out", Key(Qt::Key_Minus)},
    C{sculpt::kShowGrid, M::View, "显示网格", "Show gird", 0, true, true},
    C{sculpt::kShowRoute, M::View, "显示路径", "Show route", 0, false, true},
    C{sculpt::kShowOutline, M::View, "显示外框", "Show outline border", 0, false, true},
    C{sculpt::kShowLinePanel, M::View, "线路面板", "Line panel", 0, true, true},
};

constexpr std::array kMenus{
    SculptMenuTitle{M::File, "文件(&F)", "&File"},
    SculptMenuTitle{M::Edit, "编辑(&E)", "&Edit"},
    SculptMenuTitle{M::Background, "背景(&B)", "&Background"},
    SculptMenuTitle{M::Setting, "设置(&S)", "&Setting"},
    SculptMenuTitle{M::View, "查看(&V)", "&View"},
};

}  // namespace

std::span<const SculptCommand> SculptCommandTable() { return kCommands; }
std::span<const SculptMenuTitle> SculptMenuTitles() { return kMenus; }

const SculptCommand* FindSculptCommand(int id) {
    const auto it = std::find_if(kCommands.begin(), kCommands.end(), [id](const SculptCommand& c) { return c.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

QKeySequence SculptKey(const SculptCommand& command) {
    return command.key == 0 ? QKeySequence() : QKeySequence(QKeyCombination::fromCombined(command.key));
}

}  // namespace corv
