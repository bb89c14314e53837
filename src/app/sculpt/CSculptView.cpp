#include "app/sculpt/CSculptView.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

#include "app/sculpt/SculptCommands.h"
#include "app/sculpt/tools/AddTool.h"
#include "app/sculpt/tools/ArrayCopyTool.h"
#include "app/sculpt/tools/EditBackgroundTool.h"
#include "app/sculpt/tools/MoveTool.h"
#include "app/sculpt/tools/PasteTool.h"
#include "app/sculpt/tools/PixelsRepeatTool.h"
#include "app/sculpt/tools/ReverseTool.h"
#include "app/sculpt/tools/SaveModuleTool.h"
#include "app/sculpt/tools/TransferTool.h"
#include "app/sculpt/tools/ZoneTool.h"
#include "app/common/ViewKeys.h"
#include "base/LineWalk.h"
#include "base/Prompt.h"
#include "lang/Language.h"
#include "layout/LayoutImage.h"
#include "layout/Wiring.h"
#include "ops/Layout.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

constexpr QRgb kOutside = 0xFF2A2A2A;
constexpr QRgb kGridBack = 0xFF000000;
constexpr QRgb kGridLine = 0xFF3A3A3A;
constexpr QRgb kUnusable = 0xFF161616;

// Clips the segment to the box [0, w) x [0, h) (Liang-Barsky); false when nothing is left.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double w, double h) {
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0, w - 1 - x0, y0, h - 1 - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    return true;
}

// Straight-pixel drawing into a 32-bit image.
struct Raster {
    QRgb* bits;
    int stride;  // in pixels
    int w, h;
    void Fill(int x0, int y0, int x1, int y1, QRgb c) const {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, w);
        y1 = std::min(y1, h);
        for (int y = y0; y < y1; ++y) std::fill(bits + static_cast<std::ptrdiff_t>(y) * stride + x0, bits + static_cast<std::ptrdiff_t>(y) * stride + x1, c);
    }
    void Line(double fx0, double fy0, double fx1, double fy1, QRgb c) const {
        if (!ClipSegment(fx0, fy0, fx1, fy1, w, h)) return;
        // Both ends inside the picture, so every pixel between them is too: no test per pixel.
        auto in = [](double v, int n) { return std::clamp(static_cast<int>(v), 0, n - 1); };
        QRgb* const out = bits;
        const std::ptrdiff_t step = stride;
        WalkLine(in(fx0, w), in(fy0, h), in(fx1, w), in(fy1, h), [out, step, c](int x, int y) { out[y * step + x] = c; });
    }
};

std::array<QRgb, kLineCount> LineColours() {
    std::array<QRgb, kLineCount> c{};
    for (int l = 0; l < kLineCount; ++l) c[static_cast<std::size_t>(l)] = LineColour(l).rgb();
    return c;
}

// Every tool at its number; the numbers no tool has, and the entry after the last tool, hold
// the plain tool.
std::vector<std::unique_ptr<SculptTool>> MakeTools(SculptToolContext& view) {
    std::vector<std::unique_ptr<SculptTool>> tools(sculpt::kToolEditBackground + 2);
    tools[sculpt::kToolAdd] = std::make_unique<AddTool>(view);
    tools[sculpt::kToolCut] = std::make_unique<ZoneTool>(view, ZoneTool::Action::Cut);
    tools[sculpt::kToolCopy] = std::make_unique<ZoneTool>(view, ZoneTool::Action::Copy);
    tools[sculpt::kToolArrayCopy] = std::make_unique<ArrayCopyTool>(view);
    tools[sculpt::kToolSaveModule] = std::make_unique<SaveModuleTool>(view);
    tools[sculpt::kToolPixelsRepeat] = std::make_unique<PixelsRepeatTool>(view);
    tools[sculpt::kToolDelete] = std::make_unique<ZoneTool>(view, ZoneTool::Action::Delete);
    tools[sculpt::kToolPaste] = std::make_unique<PasteTool>(view);
    tools[sculpt::kToolTransfer] = std::make_unique<TransferTool>(view);
    tools[sculpt::kToolReverse] = std::make_unique<ReverseTool>(view);
    tools[sculpt::kToolMove] = std::make_unique<MoveTool>(view);
    tools[sculpt::kToolEditBackground] = std::make_unique<EditBackgroundTool>(view);
    for (auto& tool : tools) {
        if (!tool) tool = std::make_unique<SculptTool>(view);
    }
    return tools;
}

}  // namespace

CSculptView::CSculptView(Workspace& ws, Prompt& prompt, LinePanelState& panel, QWidget* parent)
    : QWidget(parent), ws_(ws), prompt_(prompt), panel_(panel) {
    setObjectName(QStringLiteral("sculptView"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hbar_ = new QScrollBar(Qt::Horizontal, this);
    vbar_ = new QScrollBar(Qt::Vertical, this);
    connect(hbar_, &QScrollBar::valueChanged, this, &CSculptView::OnScroll);
    connect(vbar_, &QScrollBar::valueChanged, this, &CSculptView::OnScroll);
    tools_ = MakeTools(*this);
    current_ = ToolFor(tool_);
    setCursor(current_->Cursor());
}

QRect CSculptView::DrawingArea() const {
    return QRect(0, 0, std::max(1, width() - kScrollRoom), std::max(1, height() - kScrollRoom));
}

// ---- geometry ----

void CSculptView::SetZoom(float zoom) {
    zoom_ = std::clamp(zoom, kSculptMinZoom, kSculptMaxZoom);
    ImageCenter();
    emit zoomChanged(zoom_);
}

void CSculptView::ZoomIn() { SetZoom(SculptZoomIn(zoom_)); }
void CSculptView::ZoomOut() { SetZoom(SculptZoomOut(zoom_)); }

void CSculptView::ImageCenter() {
    centre_ = DrawingArea().center();
    centred_ = true;
    UpdateScrollBars();
    update();
}

SculptCell CSculptView::CellAt(QPoint p) const {
    return SculptCellAt(p.x(), p.y(), centre_, ws_.layout.grid.rows, ws_.layout.grid.cols, zoom_);
}

QPoint CSculptView::CellCentre(int col, int row) const {
    const QRectF g = SculptGridRect(centre_, ws_.layout.grid.rows, ws_.layout.grid.cols, zoom_);
    return QPoint(static_cast<int>(g.left() + (col + 0.5) * zoom_), static_cast<int>(g.top() + (row + 0.5) * zoom_));
}

void CSculptView::LimitCentre() {
    centre_ = LimitSculptCentre(centre_, DrawingArea().size(), ws_.layout.grid.rows, ws_.layout.grid.cols, zoom_);
}

void CSculptView::Pan(int dx, int dy, int factor) {
    const QRect area = DrawingArea();
    const int stepX = factor == 0 ? area.width() : area.width() / 3 * factor;
    const int stepY = factor == 0 ? area.height() : area.height() / 3 * factor;
    centre_ += QPoint(dx * stepX, dy * stepY);
    LimitCentre();
    UpdateScrollBars();
    update();
}

void CSculptView::ScrollToCell(int col, int row) {
    const QPoint at = CellCentre(col, row);
    centre_ += DrawingArea().center() - at;
    LimitCentre();
    UpdateScrollBars();
    update();
}

void CSculptView::UpdateScrollBars() {
    const QRect area = DrawingArea();
    const QRectF g = SculptGridRect(centre_, ws_.layout.grid.rows, ws_.layout.grid.cols, zoom_);
    hbar_->setGeometry(0, area.height(), area.width(), kScrollRoom);
    vbar_->setGeometry(area.width(), 0, kScrollRoom, area.height());
    scrolling_ = true;
    const int w = static_cast<int>(g.width()), h = static_cast<int>(g.height());
    hbar_->setRange(0, w);
    hbar_->setPageStep(std::max(1, area.width()));
    hbar_->setSingleStep(std::max(1, static_cast<int>(zoom_)));
    hbar_->setValue(w / 2 - (centre_.x() - area.center().x()));
    vbar_->setRange(0, h);
    vbar_->setPageStep(std::max(1, area.height()));
    vbar_->setSingleStep(std::max(1, static_cast<int>(zoom_)));
    vbar_->setValue(h / 2 - (centre_.y() - area.center().y()));
    scrolling_ = false;
}

void CSculptView::OnScroll() {
    if (scrolling_) return;
    const QRect area = DrawingArea();
    const QRectF g = SculptGridRect(centre_, ws_.layout.grid.rows, ws_.layout.grid.cols, zoom_);
    centre_ = QPoint(area.center().x() + static_cast<int>(g.width()) / 2 - hbar_->value(),
                     area.center().y() + static_cast<int>(g.height()) / 2 - vbar_->value());
    LimitCentre();
    update();
}

void CSculptView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!centred_) {
        ImageCenter();
    } else {
        LimitCentre();
        UpdateScrollBars();
    }
}

// ---- tools ----

SculptTool* CSculptView::ToolFor(int tool) const {
    const int plain = static_cast<int>(tools_.size()) - 1;
    return tools_[static_cast<std::size_t>(tool >= 0 && tool < plain ? tool : plain)].get();
}

void CSculptView::SetTool(int tool) {
    tool_ = tool;
    marks_.kind = SculptMarks::Kind::None;
    current_ = ToolFor(tool_);
    current_->Chosen();
    setCursor(current_->Cursor());
    emit toolChanged(tool_);
    update();
}

bool CSculptView::CanPaste() const {
    if (!clipboard_.Empty()) return true;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasFormat(QString::fromLatin1(kLayoutDataMime));
}

void CSculptView::SetBackground(QImage picture, QRect rect) {
    background_.picture = std::move(picture);
    background_.rect = rect;
    mask_ = BuildBackgroundMask(background_, ws_.layout.grid.rows, ws_.layout.grid.cols);
    update();
}

void CSculptView::SetBackgroundRect(QRect rect) {
    if (background_.Empty()) return;
    SetBackground(background_.picture, rect);
}

void CSculptView::DeleteBackground() {
    background_ = {};
    mask_.clear();
    update();
}

const std::vector<std::uint8_t>* CSculptView::ActiveMask() const {
    const std::size_t cells = static_cast<std::size_t>(ws_.layout.grid.rows) * ws_.layout.grid.cols;
    return connectByBackground && mask_.size() == cells && cells > 0 ? &mask_ : nullptr;
}

void CSculptView::Changed() {
    // The edits mark the layout modified themselves (undo and redo may bring it back to what
    // is on disk).
    ws_.layout.RecomputeLineCount();
    emit linesChanged();
    update();
}

void CSculptView::RunRectangle(int sx, int sy, int ex, int ey, bool ctrl) {
    auto* range = dynamic_cast<SelectRangeTool*>(current_);
    if (!range) range = static_cast<SelectRangeTool*>(tools_[sculpt::kToolAdd].get());
    range->Run(sx, sy, ex, ey, ctrl);
}

void CSculptView::SwitchRepeatOff() {
    allowRepeat = false;
    emit optionsChanged();
}

AddOptions CSculptView::ToolAddOptions() const {
    AddOptions options;
    options.mode = panel_.connectionMode;
    options.lineLimit = panel_.lineLimit;
    options.allowRepeat = allowRepeat;
    options.backgroundMask = ActiveMask();
    options.connectByBackground = connectByBackground;
    return options;
}

void CSculptView::RunClick(int col, int row) {
    if (col < 0 || row < 0) return;
    if (auto* click = dynamic_cast<ClickTool*>(current_)) click->Click(col, row);
}

bool CSculptView::RunMove(int fromCol, int fromRow, int toCol, int toRow) {
    // The background decides where LEDs may go while "Connect by background" is on.
    if (!ops::MoveLed(ws_, {fromCol, fromRow, toCol, toRow, allowRepeat, ActiveMask()}, prompt_, {})) return false;
    Changed();
    return true;
}

bool CSculptView::Undo() {
    if (!UndoLayout(ws_.layout)) return false;
    Changed();
    return true;
}

bool CSculptView::Redo() {
    if (!RedoLayout(ws_.layout)) return false;
    Changed();
    return true;
}

// ---- mouse and keys ----

SculptMouse CSculptView::MouseAt(const QMouseEvent& event) const {
    return SculptMouse{CellAt(event.position().toPoint()), event.button(), event.modifiers()};
}

void CSculptView::mousePressEvent(QMouseEvent* event) {
    setFocus();
    if (!current_->Takes(event->button())) return;
    const SculptMouse m = MouseAt(*event);
    if (m.cell.col < 0 || m.cell.row < 0) return;
    current_->Press(m);
}

void CSculptView::mouseMoveEvent(QMouseEvent* event) {
    current_->Move(MouseAt(*event));
    ShowStatus(event->position().toPoint());
}

void CSculptView::mouseReleaseEvent(QMouseEvent* event) { current_->Release(MouseAt(*event)); }

void CSculptView::ShowStatus(QPoint at) {
    if (marks_.kind == SculptMarks::Kind::Range) {
        emit statusText(QString::fromStdString(Format(ws_.strings.widthHeight.c_str(),
                                                      std::abs(marks_.endCol - marks_.startCol) + 1,
                                                      std::abs(marks_.endRow - marks_.startRow) + 1)));
        return;
    }
    const SculptCell c = CellAt(at);
    if (!ws_.layout.grid.Contains(c.row, c.col)) {
        emit statusText(QString());
        return;
    }
    std::string text = Format("X: %d ,Y: %d", c.col + 1, c.row + 1);
    const LinePoint p = MakePoint(c.row, c.col);
    bool first = true;
    for (int l = 0; l < kLineCount; ++l) {
        const Line& line = ws_.layout.lines[static_cast<std::size_t>(l)];
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] != p) continue;
            if (first) {
                text += "  " + Format(ws_.strings.linePixel.c_str(), l + 1, static_cast<int>(i) + 1);
                first = false;
            } else {
                text += Format(" %d-%d,", l + 1, static_cast<int>(i) + 1);
            }
        }
    }
    emit statusText(QString::fromStdString(text));
}

void CSculptView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    if (delta > 0) {
        ZoomIn();
    } else {
        ZoomOut();
    }
    QCursor::setPos(mapToGlobal(DrawingArea().center()));
    event->accept();
}

void CSculptView::keyPressEvent(QKeyEvent* event) {
    if (current_->Key(*event)) return;
    const int factor = event->modifiers() & Qt::ControlModifier ? 0 : event->modifiers() & Qt::ShiftModifier ? 3 : 1;
    if (const QPoint d = ArrowPanDirection(event->key()); !d.isNull()) {
        Pan(d.x(), d.y(), factor);
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- drawing ----

void CSculptView::Render(QImage& target) const { RenderAt(target, DrawingArea().size(), centre_, zoom_, true); }

void CSculptView::RenderAt(QImage& target, QSize size, QPoint centre, float zoom, bool overlays) const {
    if (target.size() != size || target.format() != QImage::Format_RGB32) {
        target = QImage(size, QImage::Format_RGB32);
    }
    target.fill(kOutside);
    const LayoutGrid& grid = ws_.layout.grid;
    const QRectF g = SculptGridRect(centre, grid.rows, grid.cols, zoom);
    const double z = zoom;
    Raster ras{reinterpret_cast<QRgb*>(target.bits()), static_cast<int>(target.bytesPerLine() / 4), size.width(),
               size.height()};
    const int gl = static_cast<int>(std::floor(g.left())), gt = static_cast<int>(std::floor(g.top()));
    const int gr = static_cast<int>(std::ceil(g.right())), gb = static_cast<int>(std::ceil(g.bottom()));
    ras.Fill(gl, gt, gr, gb, kGridBack);

    if (showBackground && !background_.Empty()) {
        QPainter p(&target);
        p.setClipRect(QRectF(g.left(), g.top(), g.width(), g.height()).intersected(QRectF(QPointF(0, 0), QSizeF(size))));
        const QRect& r = background_.rect;
        p.drawImage(QRectF(g.left() + r.x() * z / 10, g.top() + r.y() * z / 10, r.width() * z / 10, r.height() * z / 10),
                    background_.picture);
    }
    // Visible cells only.
    const int c0 = std::max(0, static_cast<int>((0 - g.left()) / z) - 1);
    const int c1 = std::min<int>(grid.cols, static_cast<int>((size.width() - g.left()) / z) + 2);
    const int r0 = std::max(0, static_cast<int>((0 - g.top()) / z) - 1);
    const int r1 = std::min<int>(grid.rows, static_cast<int>((size.height() - g.top()) / z) + 2);
    if (grid.IsSphere()) {
        for (int r = r0; r < r1 && r < static_cast<int>(grid.rowWidths.size()); ++r) {
            const int w = grid.rowWidths[static_cast<std::size_t>(r)];
            ras.Fill(static_cast<int>(g.left() + w * z), static_cast<int>(g.top() + r * z), gr,
                     static_cast<int>(g.top() + (r + 1) * z), kUnusable);
        }
    }
    if (showGrid && z >= 4) {
        for (int c = c0; c <= c1 && c <= grid.cols; ++c) {
            const int x = static_cast<int>(g.left() + c * z);
            if (x >= 0 && x < size.width()) ras.Fill(x, std::max(gt, 0), x + 1, std::min(gb, size.height()), kGridLine);
        }
        for (int r = r0; r <= r1 && r <= grid.rows; ++r) {
            const int y = static_cast<int>(g.top() + r * z);
            if (y >= 0 && y < size.height()) ras.Fill(std::max(gl, 0), y, std::min(gr, size.width()), y + 1, kGridLine);
        }
    }
    static const std::array<QRgb, kLineCount> colours = LineColours();
    const double half = z / 2;
    auto sx = [&](LinePoint p) { return g.left() + PointCol(p) * z + half; };
    auto sy = [&](LinePoint p) { return g.top() + PointRow(p) * z + half; };
    if (showRoute) {
        for (int l = 0; l < kLineCount; ++l) {
            const Line& line = ws_.layout.lines[static_cast<std::size_t>(l)];
            const QRgb c = colours[static_cast<std::size_t>(l)];
            for (std::size_t i = 1; i < line.size(); ++i) {
                ras.Line(sx(line[i - 1]), sy(line[i - 1]), sx(line[i]), sy(line[i]), c);
                if (z >= 8) {  // two pixels wide where the cells are large
                    ras.Line(sx(line[i - 1]) + 1, sy(line[i - 1]) + 1, sx(line[i]) + 1, sy(line[i]) + 1, c);
                }
            }
        }
    }
    // The LEDs: squares below a zoom of 6, round dots above.
    const int radius = std::max(0, static_cast<int>(z * 0.3));
    std::vector<int> span(static_cast<std::size_t>(radius) + 1);
    for (int dy = 0; dy <= radius; ++dy) {
        span[static_cast<std::size_t>(dy)] =
            z < 6 ? radius : static_cast<int>(std::sqrt(static_cast<double>(radius) * radius - dy * dy) + 0.5);
    }
    for (int l = 0; l < kLineCount; ++l) {
        const QRgb c = colours[static_cast<std::size_t>(l)];
        for (LinePoint p : ws_.layout.lines[static_cast<std::size_t>(l)]) {
            const int x = static_cast<int>(sx(p)), y = static_cast<int>(sy(p));
            if (x + radius < 0 || y + radius < 0 || x - radius >= size.width() || y - radius >= size.height()) continue;
            for (int dy = -radius; dy <= radius; ++dy) {
                const int s = span[static_cast<std::size_t>(std::abs(dy))];
                ras.Fill(x - s, y + dy, x + s + 1, y + dy + 1, c);
            }
        }
    }
    QPainter p(&target);
    if (showOutline) {
        p.setPen(QPen(QColor(0xE0, 0xC0, 0x40), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(g.left() - 1, g.top() - 1, g.width() + 1, g.height() + 1));
    }
    // Line numbers beside each line's first LED, with a white ring on it.
    if (z >= 4) {
        QFont font = p.font();
        font.setPixelSize(std::clamp(static_cast<int>(z), 9, 16));
        font.setBold(true);
        p.setFont(font);
        for (int l = 0; l < kLineCount; ++l) {
            const Line& line = ws_.layout.lines[static_cast<std::size_t>(l)];
            if (line.empty()) continue;
            const QPointF at(sx(line.front()), sy(line.front()));
            if (at.x() < -50 || at.y() < -50 || at.x() > size.width() + 50 || at.y() > size.height() + 50) continue;
            p.setPen(QPen(l == panel_.currentLine ? QColor(Qt::white) : QColor(200, 200, 200), l == panel_.currentLine ? 2 : 1));
            p.drawEllipse(at, radius + 2.0, radius + 2.0);
            // On a dark plate, so that it reads over LEDs of any colour.
            const QString number = QString::number(l + 1);
            const QRectF box = QFontMetricsF(font).boundingRect(number).translated(at + QPointF(radius + 3, -radius - 2));
            p.fillRect(box.adjusted(-2, 0, 2, 0), QColor(0, 0, 0, 190));
            p.setPen(QColor::fromRgb(colours[static_cast<std::size_t>(l)]));
            p.drawText(at + QPointF(radius + 3, -radius - 2), number);
        }
    }
    // The drag under way, Reverse's first cell, Move's held point.
    if (overlays && marks_.kind != SculptMarks::Kind::None) {
        const SculptMarks& m = marks_;
        const int x0 = std::min(m.startCol, m.endCol), x1 = std::max(m.startCol, m.endCol) + 1;
        const int y0 = std::min(m.startRow, m.endRow), y1 = std::max(m.startRow, m.endRow) + 1;
        p.setPen(QPen(Qt::white, 1, Qt::DashLine));
        p.setBrush(QColor(255, 255, 255, 40));
        if (m.kind == SculptMarks::Kind::HeldPoint) {
            p.drawRect(QRectF(g.left() + m.endCol * z, g.top() + m.endRow * z, z, z));
        } else if (m.kind == SculptMarks::Kind::FirstCell) {
            p.drawRect(QRectF(g.left() + m.startCol * z, g.top() + m.startRow * z, z, z));
        } else {
            p.drawRect(QRectF(g.left() + x0 * z, g.top() + y0 * z, (x1 - x0) * z, (y1 - y0) * z));
        }
    }
}

void CSculptView::paintEvent(QPaintEvent*) {
    Render(frameBuffer_);
    QPainter p(this);
    p.drawImage(0, 0, frameBuffer_);
    p.fillRect(QRect(width() - kScrollRoom, height() - kScrollRoom, kScrollRoom, kScrollRoom), palette().window());
}

QImage CSculptView::LayoutPicture() const {
    const LayoutGrid& grid = ws_.layout.grid;
    const int side = std::max<int>(grid.cols, grid.rows);
    const int cell = std::clamp(8000 / std::max(1, side), 1, 20);
    const QSize size(grid.cols * cell + 2, grid.rows * cell + 2);
    QImage picture;
    RenderAt(picture, size, QPoint(size.width() / 2, size.height() / 2), static_cast<float>(cell), false);
    return picture;
}

}  // namespace corv
