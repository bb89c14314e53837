#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "app/common/LinePanelState.h"
#include "layout/DisplayModule.h"
#include "layout/SculptGeometry.h"
#include "layout/SculptTools.h"
#include "layout/Wiring.h"

class QScrollBar;

namespace corv {

class Workspace;
class Prompt;

// The sculpt view: the layout's grid at a zoom, over an optional background picture, with the
// lines drawn as routes. The mouse drags rectangles or clicks cells for the chosen tool; every
// change of the lines is recorded for undo.
class CSculptView : public QWidget {
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
    bool dragging() const { return dragging_; }
    // Paste can be chosen when the view clipboard or the system clipboard holds layout data.
    bool CanPaste() const;
    LineClipboard& clipboard() { return clipboard_; }

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
    const std::vector<std::uint8_t>* ActiveMask() const;

    // The rectangle operation of tools 0..6 from a start and an end cell (Ctrl for Add's form).
    void RunRectangle(int sx, int sy, int ex, int ey, bool ctrl);
    // The click of tools 7, 8 and 9 on a cell.
    void RunClick(int col, int row);
    // Tool 11: moves the first point on one cell to another.
    bool RunMove(int fromCol, int fromRow, int toCol, int toRow);

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
    std::function<std::optional<std::pair<int, int>>(std::pair<int, int> initial)> askTiles;
    // "Save as module": the name, nullopt on Cancel (asked again while the list refuses it).
    std::function<std::optional<QString>(const DisplayModule& module)> askModuleName;
    // "Pixels repeat output": the repeat count and the group size, nullopt on Cancel.
    std::function<std::optional<std::pair<int, int>>(int position, int group)> askRepeat;

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
    void Changed();
    void UpdateScrollBars();
    void OnScroll();
    void LimitCentre();
    void ShowStatus(QPoint at);
    void DeleteZoneAsked(const CellRect& r);
    void ArrayCopy(const CellRect& r, const Drag& drag);
    // Removes the undo step an operation opened when it changed nothing.
    void DropEmptyStep();
    // The Add options of the line panel and the menus.
    AddOptions ToolAddOptions() const;
    void SaveAsModule(const CellRect& r);
    void RepeatPixels(const CellRect& r);
    void PaintBackgroundCell(int col, int row, bool on);
    // The points of the first line with points inside the rectangle, relative to its corner.
    std::vector<std::uint32_t> FirstLineInside(const CellRect& r) const;

    Workspace& ws_;
    Prompt& prompt_;
    LinePanelState& panel_;
    float zoom_ = kSculptStartZoom;
    QPoint centre_;
    bool centred_ = false;
    int tool_ = 0;
    bool dragging_ = false;
    int startCol_ = 0, startRow_ = 0, endCol_ = 0, endRow_ = 0;
    bool moving_ = false;  // tool 11 holds a point
    bool painting_ = false;  // tool 12: the button is down
    bool paintOn_ = true;
    LineClipboard clipboard_;
    SculptBackground background_;
    std::vector<std::uint8_t> mask_;
    QScrollBar* hbar_ = nullptr;
    QScrollBar* vbar_ = nullptr;
    bool scrolling_ = false;
    mutable QImage frameBuffer_;
};

}  // namespace corv
