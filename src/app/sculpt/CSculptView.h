#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/common/LinePanelState.h"
#include "app/sculpt/tools/SculptTool.h"
#include "layout/DisplayModule.h"
#include "layout/SculptGeometry.h"
#include "layout/SculptTools.h"
#include "layout/Wiring.h"

class QScrollBar;

namespace corv {

class Workspace;
class Prompt;

// The sculpt view: the layout's grid at a zoom, over an optional background picture, with the
// lines drawn as routes. The mouse and the keys go to the chosen tool (see tools/SculptTool.h),
// which drags rectangles or clicks cells; every change of the lines is recorded for undo.
class CSculptView : public QWidget, private SculptToolContext {
    Q_OBJECT
public:
    static constexpr int kScrollRoom = 18;

    CSculptView(Workspace& ws, Prompt& prompt, LinePanelState& panel, QWidget* parent = nullptr);

    // Geometry.
    float zoom() const { return zoom_; }
    void SetZoom(float zoom);
    void ZoomIn();
    void ZoomOut();
    void ImageCenter();
    QPoint centre() const { return centre_; }
    SculptCell CellAt(QPoint windowPoint) const;
    // The window point at the middle of a cell.
    QPoint CellCentre(int col, int row) const;
    // Arrow keys: a third of the window (factor 3 with Shift, one whole window with Ctrl as 0).
    void Pan(int dx, int dy, int factor);
    // Centres the view on a cell (the line panel's Ctrl and Shift selection).
    void ScrollToCell(int col, int row);
    QRect DrawingArea() const;

    // Tools.
    int tool() const { return tool_; }
    void SetTool(int tool);
    // A rectangle is open, or Reverse waits for its second cell.
    bool dragging() const {
        return marks_.kind == SculptMarks::Kind::Range || marks_.kind == SculptMarks::Kind::FirstCell;
    }
    // Paste can be chosen when the view clipboard or the system clipboard holds layout data.
    bool CanPaste() const;
    LineClipboard& clipboard() override { return clipboard_; }

    // Options of the Edit and View menus.
    bool allowRepeat = false;
    bool connectByBackground = false;
    bool showBackground = true;
    bool showOutline = true;
    bool showGrid = true;
    bool showRoute = true;

    // The background picture and the mask built from it.
    const SculptBackground& background() const { return background_; }
    void SetBackground(QImage picture, QRect rect);
    void SetBackgroundRect(QRect rect);
    void DeleteBackground();
    const std::vector<std::uint8_t>& mask() const { return mask_; }
    // The mask the tools respect: set while "Connect by background" is on and a background exists.
    const std::vector<std::uint8_t>* ActiveMask() const override;

    // The rectangle operation of tools 0..6 from a start and an end cell (Ctrl for Add's form);
    // the other tools add on it as Add does.
    void RunRectangle(int sx, int sy, int ex, int ey, bool ctrl);
    // The click of tools 7, 8 and 9 on a cell.
    void RunClick(int col, int row);
    // Tool 11: moves the first point on one cell to another.
    bool RunMove(int fromCol, int fromRow, int toCol, int toRow) override;

    bool Undo();
    bool Redo();

    // The layout as the view draws it, for "Output image": the whole grid at a zoom that keeps
    // the picture within 8000 pixels a side.
    QImage LayoutPicture() const;

    // Paints the view into an image of the widget's size (the paint event shows it); public for
    // the benchmark.
    void Render(QImage& target) const;
    // The same drawing at any size, centre and zoom; `overlays` adds the drag under way.
    void RenderAt(QImage& target, QSize size, QPoint centre, float zoom, bool overlays) const;

    // Dialogs of the tools; the window installs real ones, tests script them.
    // Add's Ctrl form: the tile counts across and down, nullopt on Cancel.
    AskTilesFunction askTiles;
    // "Save as module": the name, nullopt on Cancel (asked again while the list refuses it).
    AskModuleNameFunction askModuleName;
    // "Pixels repeat output": the repeat count and the group size, nullopt on Cancel.
    AskRepeatFunction askRepeat;

signals:
    // The lines changed (edit, undo, redo): the line panel refreshes.
    void linesChanged();
    void statusText(const QString& text);
    void toolChanged(int tool);
    void zoomChanged(float zoom);
    // A new module was saved (the panel's module list changed).
    void modulesChanged();
    // An option of the menus changed by a tool ("Allow repeat pixels" by Array copy).
    void optionsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What the tools use of the view.
    Workspace& workspace() override { return ws_; }
    Prompt& prompt() override { return prompt_; }
    LinePanelState& panel() override { return panel_; }
    SculptMarks& marks() override { return marks_; }
    void Repaint() override { update(); }
    void Changed() override;
    bool AllowRepeat() const override { return allowRepeat; }
    void SwitchRepeatOff() override;
    // The Add options of the line panel and the menus.
    AddOptions ToolAddOptions() const override;
    const AskTilesFunction& AskTiles() const override { return askTiles; }
    const AskModuleNameFunction& AskModuleName() const override { return askModuleName; }
    const AskRepeatFunction& AskRepeat() const override { return askRepeat; }
    void ModulesChanged() override { emit modulesChanged(); }
    SculptBackground& EditedBackground() override { return background_; }
    std::vector<std::uint8_t>& EditedMask() override { return mask_; }

    // The tool of a number (the plain tool, which does nothing, for a number no tool has).
    SculptTool* ToolFor(int tool) const;
    SculptMouse MouseAt(const QMouseEvent& event) const;
    void UpdateScrollBars();
    void OnScroll();
    void LimitCentre();
    void ShowStatus(QPoint at);

    Workspace& ws_;
    Prompt& prompt_;
    LinePanelState& panel_;
    float zoom_ = kSculptStartZoom;
    QPoint centre_;
    bool centred_ = false;
    int tool_ = 0;
    // Every tool by its number, the plain tool last; the chosen one.
    std::vector<std::unique_ptr<SculptTool>> tools_;
    SculptTool* current_ = nullptr;
    // The drag under way, Reverse's first cell, Move's held point.
    SculptMarks marks_;
    LineClipboard clipboard_;
    SculptBackground background_;
    std::vector<std::uint8_t> mask_;
    QScrollBar* hbar_ = nullptr;
    QScrollBar* vbar_ = nullptr;
    bool scrolling_ = false;
    mutable QImage frameBuffer_;
};

}  // namespace corv
