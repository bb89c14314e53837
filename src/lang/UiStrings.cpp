#include "lang/UiStrings.h"

#include <cstdarg>
#include <cstdio>

#include "lang/Language.h"
#include "lang/Localize.h"

namespace corv {

std::vector<std::string> EffectTypeNames::Names() const {
    std::vector<std::string> names;
    for (const auto& e : entries) {
        if (e.empty()) {
            break;
        }
        names.push_back(e);
    }
    return names;
}

namespace {

const std::vector<std::vector<const char*>> kChineseNames = {
    {"向左(1)", "向右(2)", "向上(3)", "向下(4)", "向左上(5)", "向左下(6)", "向右上(7)", "向右下(8)",
     "端口内(9)", "端口间(0)"},
    {"左右对开(1)", "左右闭合(2)", "上下对开(3)", "上下闭合(4)", "双角对开(5)", "双角闭合(6)"},
    {"左右(1)", "上下(2)"},
    {"椭圆扩散(1)", "椭圆收缩(2)", "菱形扩散(3)", "菱形收缩(4)", "矩形扩散(5)", "矩形收缩(6)"},
    {"正螺旋(1)", "反螺旋(2)", "正旋转(3)", "反旋转(4)"},
    {"变亮(1)", "变暗(2)", "放大(3)", "缩小(4)", "渐隐(5)", "过渡(6)"},
    {"样式1(1)", "样式2(2)", "样式3(3)"},
    {"粒子(1)", "扩散(2)", "线型(3)", "随机(4)", "波浪(5)"},
};

const std::vector<std::vector<const char*>> kEnglishNames = {
    {"Left(1)", "Right(2)", "Up(3)", "Down(4)", "LeftUp(5)", "LeftDown(6)", "RightUp(7)", "RightDown(8)",
     "Inner-port(9)", "Inter-port(0)"},
    {"Horizontal open(1)", "Horizontal close(2)", "Vertical open(3)", "Vertical colse(4)", "Twin corner open(5)",
     "Twin corner colse(6)"},
    {"Horizontal(1)", "Vertical(2)"},
    {"Ellipse diffuse(1)", "Ellipse shrink(2)", "Rhombus diffuse(3)", "Rhombus shrink(4)", "Rectangle diffuse(5)",
     "Rectangle shrink(6)"},
    {"CCW Right-handed screw(1)", "CW screw(2)", "CCW circumrotate(3)", "CW circumrotate(4)"},
    {"Brighten(1)", "Darkle(2)", "Inflate(3)", "Deflate(4)", "Fadeout(5)", "Transition(6)"},
    {"Style1(1)", "Style2(2)", "Style3(3)"},
    {"Particle(1)", "Diffuse(2)", "Linetype(3)", "Random(4)", "Wave(5)"},
};

// List 7 takes the glyph-only conversion.
constexpr std::size_t kGlyphList = 7;

}  // namespace

const std::vector<const char*>& EffectTypeNamesChinese(std::size_t list) { return kChineseNames.at(list); }
const std::vector<const char*>& EffectTypeNamesEnglish(std::size_t list) { return kEnglishNames.at(list); }

const std::vector<UiStringEntry>& UiStringTable() {
    static const std::vector<UiStringEntry> table = {
        {"TabDesign", &UiStrings::tabDesign, "花样", "Design", true},
        {"TabColor", &UiStrings::tabColor, "颜色", "Color", false},
        {"TabSphere", &UiStrings::tabSphere, "球面", "Sphere", false},
        {"TabTool", &UiStrings::tabTool, "工具", "Tool", false},
        {"TabSculpt", &UiStrings::tabSculpt, "造型", "Sculpt", false},
        {"AskSave", &UiStrings::askSave, "是否保存文件?", "Save file, Yes/No/Cancel ?", false},
        {"AskDeleteZone", &UiStrings::askDeleteZone, "确实要删除区域(%d,%d,%d,%d)中的点吗?",
         "Are you sure you want to delete the point in the zone(%d,%d,%d,%d)?", true},
        {"AskPasteSize", &UiStrings::askPasteSize,
         "行列数不一样。\n剪贴板: %d行, %d列\n粘贴帧: %d行, %d列\n是否继续?",
         "The rows or cols is dissimilar.\nClipboard: %d rows, %d cols\nPaste: %d rows, %d cols\n whether continues?",
         false},
        {"ParamError", &UiStrings::paramError, "参数错误！", "Parameter mistake!", false},
        {"AskModelName", &UiStrings::askModelName, "请输入样板名称。", "Please input the model name.", false},
        {"FrameOfTotal", &UiStrings::frameOfTotal, "第%d帧,共%d帧", "%dTh,%d in total", false},
        {"CaptureSizeWarn", &UiStrings::captureSizeWarn,
         "视频采集时长宽应保持不变。\n若改变长或宽，前面采集的数据将全部丢弃。\n是否继续？",
         "Maintain the width and height while sampling.\nIf change the width and height, the collected datas will "
         "lose completely. Yes/No?",
         false},
        {"OutputDone", &UiStrings::outputDone, "输出控制器数据完毕!", "Output File finished!", false},
        {"OutputFileLine", &UiStrings::outputFileLine, "%s: %llu 帧, %llu 字节", "%s: %llu frames, %llu bytes", false},
        {"OutputCardNotSearched", &UiStrings::outputCardNotSearched, "未查找存储卡。", "No card was looked for.", false},
        {"OutputNoCard", &UiStrings::outputNoCard, "未找到存储卡, 没有文件写入存储卡。",
         "No card was found; nothing was written to a card.", false},
        {"OutputCardWritten", &UiStrings::outputCardWritten, "已写入存储卡: %s", "Written to the card: %s", false},
        {"OutputCardSkipped", &UiStrings::outputCardSkipped, "找到存储卡, 但 %s 未写入存储卡。",
         "A card was found; %s was not written to it.", false},
        {"FrameCount", &UiStrings::frameCount, "帧数: %d", "Frames: %d", false},
        {"Zone", &UiStrings::zone, "区域(%d,%d,%d,%d)", "Block(%d,%d,%d,%d)", false},
        {"AskModuleRename", &UiStrings::askModuleRename, "此模块与模块%s相同，是否改名？",
         "This module with the same module %s, would retain its name?", false},
        {"BadFileVersion", &UiStrings::badFileVersion, "不支持的文件或文件版本!",
         "The file or the file version is not supported!", false},
        {"WidthHeight", &UiStrings::widthHeight, "宽: %d ,高: %d", "Width: %d ,Height: %d", false},
        {"HeaderCopyDiffers", &UiStrings::headerCopyDiffers,
         "文件头记录的场景1尺寸为 %d x %d, 但场景实际为 %d x %d; 将使用场景自身的尺寸。",
         "The file header gives the first clip as %d x %d but the clip is %d x %d; the clip's own size is used.",
         false},
        {"LineFileBeside", &UiStrings::lineFileBeside,
         "场景%d: 线路文件 %s 不存在; 已改用文档旁边的 %s, 下次保存时记录新路径。",
         "Clip %d: the line file %s does not exist; %s beside the document is used instead and kept at the next save.",
         false},
        {"LinePixel", &UiStrings::linePixel, "线路:%d, 像素:%d", "No.: %d, Pixel: %d", false},
        {"PinError", &UiStrings::pinError, "引脚%d 设置错误!", "Pin%d setting error!", false},
        {"SaveOk", &UiStrings::saveOk, "保存成功!", "Save success!", false},
        {"DeleteOk", &UiStrings::deleteOk, "删除成功!", "Delete success!", false},
        {"AskRestartSkin", &UiStrings::askRestartSkin, "切换皮肤需要重启软件，是否立即重新启动软件？",
         "Switching the skin need to restart the software, Whether to restart the software?", false},
        {"NoPicText", &UiStrings::noPicText, "没有图片和文本文件!", "No pictures and text files!", false},
        {"NoLayout", &UiStrings::noLayout, "没有设置LED工程造型!", "Not set LED project line! ", false},
        {"LedFileUnsupported", &UiStrings::ledFileUnsupported, "此版本LED文件不支持!",
         "This LED file is not import!", false},
        {"ColourListEmpty", &UiStrings::colourListEmpty, "颜色列表为空: 请先在颜色页添加颜色。",
         "The colour list is empty: add colours in the colour tab first.", false},
        {"LayoutFramesDiffer", &UiStrings::layoutFramesDiffer, "造型为 %d x %d 格, 帧为 %d x %d 像素: 两者必须相同",
         "the layout is %d x %d cells, the frames %d x %d pixels: they must match", false},
        {"DxfNotDrawing", &UiStrings::dxfNotDrawing, "这不是 DXF 图纸 (没有 ENTITIES 段), 没有可导入的内容。",
         "This is not a DXF drawing (it has no ENTITIES section); there is nothing to import.", false},
        {"DxfNoLines", &UiStrings::dxfNoLines, "图纸中没有可取 LED 的 LINE。", "The drawing has no LINE to take LEDs from.",
         false},
        {"DxfNoCircles", &UiStrings::dxfNoCircles,
         "图纸中没有 LED (没有 CIRCLE); 勾选\"以线段端点为LED\"可改用 LINE 的端点。",
         "The drawing has no LED (no CIRCLE); \"Use segment ends as LEDs\" takes the LINE end points.", false},
        {"DxfTooLarge", &UiStrings::dxfTooLarge, "间距为 %d x %d 时, %s; 请加大 X间距/Y间距。",
         "At a spacing of %d x %d, %s; choose a larger SpaceX/SpaceY.", false},
        {"DxfNothingBecameLed", &UiStrings::dxfNothingBecameLed, "图纸中没有任何内容成为 LED。",
         "Nothing in the drawing became an LED.", false},
        {"DxfPictureTooSmall", &UiStrings::dxfPictureTooSmall, "宽度或高度太小!", "Width or height is too small!", false},
        {"DxfSharedCells", &UiStrings::dxfSharedCells,
         "按每格 %3$d x %4$d 个图纸单位, %2$d 个 LED 中有 %1$d 个与其他 LED 共用一个单元格; 减小间距可将它们分开。",
         "%1$d of %2$d LEDs share a cell with another LED at %3$d x %4$d drawing units a cell; a smaller spacing keeps "
         "them apart.",
         false},
        {"GridLimit", &UiStrings::gridLimit, "网格 %lld 行 x %lld 列共 %lld 个单元格; 本程序最多接受 %llu 个单元格, 行数和列数最多 65535",
         "a grid of %lld rows x %lld cols has %lld cells; the program takes at most %llu cells and 65535 rows or cols",
         false},
        {"Scene", &UiStrings::sceneFormat, "场景%d", "Scene%d", false},
    };
    return table;
}

const std::vector<UiStringEntry>& DialogTextTable() {
    static const std::vector<UiStringEntry> table = {
        {"ButtonOk", &UiStrings::buttonOk, "确定", "OK", false},
        {"ButtonCancel", &UiStrings::buttonCancel, "取消", "Cancel", false},
        {"ButtonYes", &UiStrings::buttonYes, "是(&Y)", "&Yes", false},
        {"ButtonNo", &UiStrings::buttonNo, "否(&N)", "&No", false},
        {"ButtonClose", &UiStrings::buttonClose, "关闭", "Close", false},
        {"RangeTitle", &UiStrings::rangeTitle, "选择帧范围", "Select frame range", false},
        {"RangeStart", &UiStrings::rangeStart, "起始帧:", "Start frame:", false},
        {"RangeEnd", &UiStrings::rangeEnd, "结束帧:", "End frame:", false},
        {"RangeFirst", &UiStrings::rangeFirst, "第一帧", "FirstFrame", false},
        {"RangeLast", &UiStrings::rangeLast, "最后一帧", "LastFrame", false},
        {"CvnFilter", &UiStrings::cvnFilter, "cvn文件(*.cvn)", "cvn file(*.cvn)", false},
        {"SizeTitle", &UiStrings::sizeTitle, "设置尺寸", "Setting size", false},
        {"SizeWidth", &UiStrings::sizeWidth, "宽度(像素):", "Width (pixels):", false},
        {"SizeHeight", &UiStrings::sizeHeight, "高度(像素):", "Height (pixels):", false},
        {"SizeScale", &UiStrings::sizeScale, "等比例缩放", "Scale", false},
        {"SizeLimit", &UiStrings::sizeLimit, "宽度和高度必须在1..%d之间。", "Width and height must be 1..%d.", false},
        {"AboutTitle", &UiStrings::aboutTitle, "关于Corvantine", "About Corvantine", false},
        {"AboutText", &UiStrings::aboutText, "Corvantine %s\nLED像素灯光工程的编辑软件。",
         "Corvantine %s\nAuthoring tool for LED pixel installations.", false},
    };
    return table;
}

UiStrings LoadUiStrings(std::uint8_t language) {
    UiStrings s;
    const bool chinese = language == kLanguageSimplified || language == kLanguageTraditional;
    for (std::size_t list = 0; list < s.effectTypeNames.size(); ++list) {
        auto& names = s.effectTypeNames[list];
        names.capacity = kEffectTypeCapacities[list];
        names.entries.assign(names.capacity, std::string());
        const auto& source = chinese ? kChineseNames[list] : kEnglishNames[list];
        for (std::size_t i = 0; i < source.size() && i < names.capacity; ++i) {
            names.entries[i] = list == kGlyphList ? LocalizeGlyphs(source[i], language)
                                                  : LocalizeText(source[i], language);
        }
    }
    for (const auto* table : {&UiStringTable(), &DialogTextTable()}) {
        for (const auto& entry : *table) {
            std::string text = chinese ? entry.chinese : entry.english;
            if (chinese) {
                text = entry.glyphsOnly ? LocalizeGlyphs(text, language) : LocalizeText(text, language);
            }
            s.*entry.member = std::move(text);
        }
    }
    return s;
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<std::size_t>(n));
    }
    va_end(args);
    return out;
}

}  // namespace corv
