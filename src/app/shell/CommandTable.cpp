#include "app/shell/CommandTable.h"

#include <algorithm>
#include <array>

#include "lang/Language.h"
#include "lang/Localize.h"

namespace corv {

namespace {

constexpr int Key(Qt::Key key) { return QKeyCombination(key).toCombined(); }
constexpr int Ctrl(Qt::Key key) { return (Qt::CTRL | key).toCombined(); }
constexpr int Shift(Qt::Key key) { return (Qt::SHIFT | key).toCombined(); }

using M = MenuPlace;

// Menu order; within a menu the order of the entries is the order shown.
constexpr std::array kCommands{
    CommandEntry{cmd::kNew, M::File, "新建(&N)", "&New", 0},
    CommandEntry{cmd::kOpen, M::File, "打开(&O)...", "&Open ...", Ctrl(Qt::Key_O)},
    CommandEntry{cmd::kSave, M::File, "保存(&S)", "&Save", Ctrl(Qt::Key_S)},
    CommandEntry{cmd::kSaveAs, M::File, "另存为(&A)...", "Save &As...", 0},
    CommandEntry{cmd::kSupplemental, M::File, "追加", "Supplemental", Key(Qt::Key_A), true},
    CommandEntry{cmd::kOutputControllerFile, M::File, "输出控制器文件(&C)", "Output &Controller File", Key(Qt::Key_O)},
    CommandEntry{cmd::kExportVideo, M::File, "导出视频(&V)...", "Export &video...", 0},
    CommandEntry{cmd::kVideoOptions, M::File, "视频选项...", "Video options...", 0},
    CommandEntry{cmd::kImport, M::File, "导入", "Import", Key(Qt::Key_I)},
    CommandEntry{cmd::kImportControllerFile, M::File, "导入控制器文件", "Import Controller file", 0},
    CommandEntry{cmd::kUniteFile, M::File, "文件合并", "Unite File", 0, true},
    CommandEntry{cmd::kExit, M::File, "退出(&X)", "E&xit", 0, true},

    CommandEntry{cmd::kUndo, M::Edit, "撤销(&U)", "&Undo", Ctrl(Qt::Key_Z)},
    CommandEntry{cmd::kRedo, M::Edit, "重做(&R)", "&Redo", Ctrl(Qt::Key_Y)},
    CommandEntry{cmd::kInsert, M::Edit, "插入(I)", "Insert(I)", Ctrl(Qt::Key_I), true},
    CommandEntry{cmd::kCut, M::Edit, "剪切(&T)", "Cu&t", Ctrl(Qt::Key_X)},
    CommandEntry{cmd::kCopy, M::Edit, "复制(&C)", "&Copy", Ctrl(Qt::Key_C)},
    CommandEntry{cmd::kPaste, M::Edit, "粘贴(&P)", "&Paste", Ctrl(Qt::Key_V)},
    CommandEntry{cmd::kStepsPaste, M::Edit, "阶梯粘贴", "Steps paste", Key(Qt::Key_V)},
    CommandEntry{cmd::kDelete, M::Edit, "删除(&D)", "&Delete", Key(Qt::Key_Delete)},
    CommandEntry{cmd::kCoverMode, M::Edit, "覆盖模式(&C)", "&Cover mode", Key(Qt::Key_Insert), true, true},
    CommandEntry{cmd::kEditArea, M::Edit, "编辑区域(&E)", "&Edit Area", Ctrl(Qt::Key_B), false, true},
    CommandEntry{cmd::kVideoCapture, M::Edit, "视频采集转换", "Video capture transform", Key(Qt::Key_G), true},
    CommandEntry{cmd::kPaintEdit, M::Edit, "绘图编辑", "Paint edit", Ctrl(Qt::Key_E)},
    CommandEntry{cmd::kColorProcess, M::Edit, "颜色处理", "Color process", Ctrl(Qt::Key_P)},
    CommandEntry{cmd::kFrameProcess, M::Edit, "帧处理", "Frame process", Key(Qt::Key_F)},
    CommandEntry{cmd::kRowColDelete, M::Edit, "行列删除", "Row Col Delete", Ctrl(Qt::Key_Delete)},

    CommandEntry{cmd::kShowGrid, M::View, "显示网格", "Show grid", 0, false, true},
    CommandEntry{cmd::kImageCenter, M::View, "图像居中", "Image center", Key(Qt::Key_Home)},
    CommandEntry{cmd::kToolsbar, M::View, "工具栏(&S)", "&Toolsbar", Key(Qt::Key_S), true, true},
    CommandEntry{cmd::kStatusBar, M::View, "状态栏(&B)", "&StatusBar", 0, false, true},
    CommandEntry{cmd::kLineSetting, M::View, "线路设置(&S)", "Line &Setting", Shift(Qt::Key_S), true},
    CommandEntry{cmd::kSphereView, M::View, "球体预览", "Sphere preview", Key(Qt::Key_F3)},
    CommandEntry{cmd::kLedPreview, M::View, "灯光预览", "LED preview", Key(Qt::Key_F4)},
    CommandEntry{cmd::kReturn, M::View, "返回", "Return", Key(Qt::Key_Escape)},
    CommandEntry{cmd::kSystemSetting, M::View, "系统设置(&Y)", "S&ystem setting", 0, true},

    CommandEntry{cmd::kSkinNone, M::Skin, "无皮肤", "No skin", 0, false, true},
    CommandEntry{cmd::kSkin1, M::Skin, "皮肤1", "Skin1", 0, false, true},
    CommandEntry{cmd::kSkin2, M::Skin, "皮肤2", "Skin2", 0, false, true},
    CommandEntry{cmd::kSkin3, M::Skin, "皮肤3", "Skin3", 0, false, true},

    CommandEntry{cmd::kPlay, M::Play, "播放(&P)", "Play(&P)", Key(Qt::Key_P)},
    CommandEntry{cmd::kStop, M::Play, "停止(&S)", "Stop(&S)", Key(Qt::Key_Space)},

    CommandEntry{cmd::kLanguageSimplified, M::Language, "简体中文", "Simplified han(简体中文)", 0, false, true},
    CommandEntry{cmd::kLanguageTraditional, M::Language, "繁體中文", "Traditional(繁體中文)", 0, false, true},
    CommandEntry{cmd::kLanguageEnglish, M::Language, "&English", "&English", 0, false, true},

    CommandEntry{cmd::kHelp, M::Help, "帮助(&H)", "&Help", Key(Qt::Key_F1)},
    CommandEntry{cmd::kAbout, M::Help, "关于(&A)...", "&About...", 0, true},
};

constexpr std::array kMenus{
    MenuTitle{M::File, "文件(&F)", "&File"},     MenuTitle{M::Edit, "编辑(&E)", "&Edit"},
    MenuTitle{M::View, "查看(&V)", "&View"},     MenuTitle{M::Skin, "皮肤(&K)", "S&kin"},
    MenuTitle{M::Play, "播放(&P)", "&Play"},     MenuTitle{M::Language, "语言(&L)", "&Language"},
    MenuTitle{M::Help, "帮助(&H)", "&Help"},
};

bool LanguageEntry(int id) {
    return id == cmd::kLanguageSimplified || id == cmd::kLanguageTraditional || id == cmd::kLanguageEnglish;
}

QString Localized(const char* chinese, const char* english, std::uint8_t language) {
    return UsesChinese(language) ? QString::fromStdString(LocalizeText(chinese, language)) : QString::fromUtf8(english);
}

}  // namespace

std::span<const CommandEntry> CommandTable() { return kCommands; }

const CommandEntry* FindCommand(int id) {
    const auto it = std::find_if(kCommands.begin(), kCommands.end(), [id](const CommandEntry& e) { return e.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

std::span<const MenuTitle> MenuTitles() { return kMenus; }

QString CommandText(const CommandEntry& entry, std::uint8_t language) {
    // The language entries name each language in its own writing, never converted: the
    // Chinese program by the names alone, the English one with the English words beside.
    if (LanguageEntry(entry.id)) return QString::fromUtf8(UsesChinese(language) ? entry.chinese : entry.english);
    return Localized(entry.chinese, entry.english, language);
}

QString MenuText(const MenuTitle& title, std::uint8_t language) { return Localized(title.chinese, title.english, language); }

QKeySequence CommandKey(const CommandEntry& entry) {
    return entry.key == 0 ? QKeySequence() : QKeySequence(QKeyCombination::fromCombined(entry.key));
}

}  // namespace corv
