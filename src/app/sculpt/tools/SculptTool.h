#pragma once

#include <QCursor>
#include <QString>
#include <Qt>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "layout/DisplayModule.h"
#include "layout/SculptGeometry.h"
#include "layout/SculptTools.h"
#include "layout/Wiring.h"

class QKeyEvent;

namespace corv {

class Workspace;
class Prompt;
struct LinePanelState;

// The dialogs of the tools; the window installs real ones, tests script them.
// The tile counts across and down (Add's Ctrl form, Array copy), nullopt on Cancel.
using AskTilesFunction = std::function<std::optional<std::pair<int, int>>(std::pair<int, int> initial)>;
// "Save as module": the name, nullopt on Cancel.
using AskModuleNameFunction = std::function<std::optional<QString>(const DisplayModule& module)>;
// "Pixels repeat output": the repeat count and the group size, nullopt on Cancel.
using AskRepeatFunction = std::function<std::optional<std::pair<int, int>>(int position, int group)>;

// A mouse event as a tool sees it: the cell under the pointer, the button and the keys held.
struct SculptMouse {
    SculptCell cell;
    Qt::MouseButton button = Qt::NoButton;
    Qt::KeyboardModifiers modifiers;
};

// What the view shows of a tool at work; the view draws it, the tools set it.
struct SculptMarks {
    enum class Kind {
        None,
        Range,      // a rectangle from the start to the end cell; the status bar gives its size
        FirstCell,  // Reverse's first cell, waiting for the second
        HeldPoint,  // the point Move holds, over the end cell
    };
    Kind kind = Kind::None;
    int startCol = 0, startRow = 0, endCol = 0, endRow = 0;
};

// What the tools use of the view: the layout and the options, the marks it shows, its dialogs.
class SculptToolContext {
public:
    virtual Workspace& workspace() = 0;
    virtual Prompt& prompt() = 0;
    virtual LinePanelState& panel() = 0;
    virtual LineClipboard& clipboard() = 0;
    virtual SculptMarks& marks() = 0;
    virtual void Repaint() = 0;
    // The lines changed: the line count is recomputed, the panel refreshes, the view repaints.
    virtual void Changed() = 0;
    // "Allow repeat pixels"; Array copy switches it off and the menus follow.
    virtual bool AllowRepeat() const = 0;
    virtual void SwitchRepeatOff() = 0;
    // The mask the tools respect (see CSculptView::ActiveMask).
    virtual const std::vector<std::uint8_t>* ActiveMask() const = 0;
    // The Add options of the line panel and the menus.
    virtual AddOptions ToolAddOptions() const = 0;
    virtual const AskTilesFunction& AskTiles() const = 0;
    virtual const AskModuleNameFunction& AskModuleName() const = 0;
    virtual const AskRepeatFunction& AskRepeat() const = 0;
    // A new module was saved.
    virtual void ModulesChanged() = 0;
    // Moves the first point on one cell to another (see CSculptView::RunMove).
    virtual bool RunMove(int fromCol, int fromRow, int toCol, int toRow) = 0;
    // The background picture and its mask, as Edit background paints them.
    virtual SculptBackground& EditedBackground() = 0;
    virtual std::vector<std::uint8_t>& EditedMask() = 0;

protected:
    ~SculptToolContext() = default;
};

// A tool of the sculpt view: the view hands it the mouse and the keys and asks it for its
// cursor. The plain tool does nothing (it stands for a number no tool has).
class SculptTool {
public:
    explicit SculptTool(SculptToolContext& view) : view_(view) {}
    virtual ~SculptTool() = default;
    SculptTool(const SculptTool&) = delete;
    SculptTool& operator=(const SculptTool&) = delete;

    // The tool was chosen (again): whatever it held is dropped.
    virtual void Chosen() {}
    // Whether the tool takes a press of the button (the left one unless it says otherwise).
    virtual bool Takes(Qt::MouseButton button) const { return button == Qt::LeftButton; }
    // A press the tool takes, never left of or above the grid.
    virtual void Press(const SculptMouse&) {}
    virtual void Move(const SculptMouse&) {}
    // The release of any button.
    virtual void Release(const SculptMouse&) {}
    // A key pressed in the view; true when the tool used it.
    virtual bool Key(const QKeyEvent&) { return false; }
    virtual QCursor Cursor() const { return QCursor(Qt::ArrowCursor); }

protected:
    SculptToolContext& view_;
};

}  // namespace corv
