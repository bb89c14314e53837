#pragma once

#include "base/Text.h"

namespace corv::msg::design {

// Menu titles of the design window.
inline constexpr Text kToolsMenu{"工具(&T)", "&Tools"};

// Commands of the File, Edit and Play menus.
inline constexpr Text kMusicCommand{"背景音乐...", "Background music..."};
inline constexpr Text kClearMusicCommand{"清除背景音乐", "Clear background music"};
inline constexpr Text kExportCommand{"输出效果文件...", "Output effect file..."};
inline constexpr Text kRenderCommand{"生成帧...", "Render into frames..."};
inline constexpr Text kGroupCommand{"组合", "Group"};
inline constexpr Text kUnlayCommand{"取消组合", "Unlay"};
inline constexpr Text kMaskCommand{"转为遮罩层", "Make mask layer"};
inline constexpr Text kUnmaskCommand{"撤消遮罩层", "Cancel mask layer"};
inline constexpr Text kAreaCommand{"画面区域", "Picture area"};

// The tools (Tools menu) and their tooltips.
inline constexpr Text kSelectTool{"选择", "Select"};
inline constexpr Text kSelectToolTip{"单击、Ctrl+单击或拖出框选择; 拖动移动; 拖动角改变大小",
                                     "Click, Ctrl+click or drag a band to select; drag to move; corners resize"};
inline constexpr Text kRectangleToolTip{"拖出一个矩形", "Drag a rectangle"};
inline constexpr Text kEllipseTool{"椭圆", "Ellipse"};
inline constexpr Text kEllipseToolTip{"拖出椭圆的外框", "Drag the box of an ellipse"};
inline constexpr Text kLineToolTip{"从一端拖到另一端", "Drag from one end to the other"};
inline constexpr Text kRoundRectTool{"圆角矩形", "Rounded rectangle"};
inline constexpr Text kRoundRectToolTip{"拖出一个矩形; 面板上的数值是圆角半径",
                                        "Drag a rectangle; the panel's number is the corner radius"};
inline constexpr Text kStarTool{"星形", "Star"};
inline constexpr Text kStarToolTip{"拖出五角星的外框", "Drag the box of a five-pointed star"};
inline constexpr Text kRegularPolygonTool{"正多边形", "Regular polygon"};
inline constexpr Text kRegularPolygonToolTip{"拖出正五边形的外框", "Drag the box of a regular pentagon"};
inline constexpr Text kPolylineTool{"折线", "Polyline"};
inline constexpr Text kPolylineToolTip{"单击各点; 双击结束折线", "Click the points; a double click ends the line"};
inline constexpr Text kPolygonTool{"多边形", "Polygon"};
inline constexpr Text kPolygonToolTip{"单击各角; 双击闭合图形", "Click the corners; a double click closes the shape"};
inline constexpr Text kText{"文字", "Text"};  // the text tool and the title of its question
inline constexpr Text kTextToolTip{"拖出文字框, 然后输入文字", "Drag the box, then type the text"};
inline constexpr Text kPictureToolTip{"拖出图片框, 然后选择图片文件", "Drag the box, then choose a picture file"};

// Adding a text or a picture item.

// The tool panel: layers, colour, font and the item's values.
inline constexpr Text kToolDock{"工具", "Tool"};
inline constexpr Text kLayers{"图层", "Layers"};
inline constexpr Text kMoveLayerUp{"上移", "Move up"};
inline constexpr Text kMoveLayerDown{"下移", "Move down"};
inline constexpr Text kFontButton{"字体...", "Font..."};
inline constexpr Text kFontButtonTip{"文字对象的字体和大小", "The face and size of text items"};
inline constexpr Text kCornerRadiusTip{"圆角矩形的圆角半径", "The corner radius of rounded rectangles"};
inline constexpr Text kParameterLabel{"参数:", "Parameter:"};

// The window title of a design without a file.

// Render into frames.
inline constexpr Text kRenderTitle{"生成帧", "Render into frames"};

// Messages; a path or a reason follows each text that ends in a space or a colon.
inline constexpr Text kMusicUnplayable{"无法播放背景音乐: ", "The background music cannot be played: "};
inline constexpr Text kClipboardItemsDamaged{"剪贴板中的对象已损坏。", "The items on the clipboard are damaged."};
inline constexpr Text kMusicUnreadable{"无法读取音乐文件 ", "The music file cannot be read: "};
inline constexpr Text kEffectUnwritable{"无法输出效果文件 ", "The effect file cannot be written: "};

}  // namespace corv::msg::design
