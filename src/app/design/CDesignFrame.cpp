#include "app/design/CDesignFrame.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <array>
#include <cstring>

#include "app/design/CEffectView.h"
#include "app/common/CommandTable.h"
#include "app/common/FileDialogFolders.h"
#include "base/FileUtil.h"
#include "base/Prompt.h"
#include "content/DesignEdit.h"
#include "content/DesignRender.h"
#include "content/TransitionRenderer.h"
#include "lang/QtText.h"
#include "lang/UiStrings.h"
#include "lang/messages/DesignMessages.h"
#include "lang/messages/CommonMessages.h"
#include "media/Music.h"
#include "project/EffectExport.h"
#include "workspace/DocumentOps.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

inline constexpr const char* kItemsMime = "application/x-corvantine-design-items";

namespace id {
constexpr int kMusic = 33200, kClearMusic = 33201, kExport = 33202, kRender = 33203, kReturn = 33204;
constexpr int kUndo = 33210, kRedo = 33211, kCut = 33212, kCopy = 33213, kPaste = 33214, kDelete = 33215;
constexpr int kGroup = 33216, kUnlay = 33217, kMask = 33218, kUnmask = 33219, kArea = 33220;
constexpr int kPlay = 33230, kStop = 33231;
constexpr int kFirstTool = 33240;  // + 0 select, + kind
}  // namespace id

namespace menu {
constexpr int kFile = 0, kEdit = 1, kTools = 2, kPlay = 3;
}  // namespace menu

constexpr int Key(Qt::Key key) { return QKeyCombination(key).toCombined(); }
constexpr int Ctrl(Qt::Key key) { return (Qt::CTRL | key).toCombined(); }
constexpr int Shift(Qt::Key key) { return (Qt::SHIFT | key).toCombined(); }
constexpr int CtrlShift(Qt::Key key) { return (Qt::CTRL | Qt::SHIFT | key).toCombined(); }

using C = WindowCommand;
using R = EnabledRule;

// The menu commands in menu order; the Tools menu holds the tools, added after them.
constexpr std::array kCommands{
    C{id::kMusic, menu::kFile, msg::design::kMusicCommand, 0},
    C{id::kClearMusic, menu::kFile, msg::design::kClearMusicCommand, 0},
    C{id::kExport, menu::kFile, msg::design::kExportCommand, 0},
    C{id::kRender, menu::kFile, msg::design::kRenderCommand, Ctrl(Qt::Key_R)},
    C{id::kReturn, menu::kFile, msg::common::kReturn, Key(Qt::Key_Escape)},
    C{id::kUndo, menu::kEdit, msg::common::kUndoCommand, Ctrl(Qt::Key_Z), false, false, R::CanUndo},
    C{id::kRedo, menu::kEdit, msg::common::kRedoCommand, Ctrl(Qt::Key_Y), false, false, R::CanRedo},
    C{id::kCut, menu::kEdit, msg::common::kCutCommand, Ctrl(Qt::Key_X)},
    C{id::kCopy, menu::kEdit, msg::common::kCopyCommand, Ctrl(Qt::Key_C)},
    C{id::kPaste, menu::kEdit, msg::common::kPasteCommand, Ctrl(Qt::Key_V)},
    C{id::kDelete, menu::kEdit, msg::common::kDelete, Key(Qt::Key_Delete)},
    C{id::kGroup, menu::kEdit, msg::design::kGroupCommand, Ctrl(Qt::Key_G)},
    C{id::kUnlay, menu::kEdit, msg::design::kUnlayCommand, CtrlShift(Qt::Key_G)},
    C{id::kMask, menu::kEdit, msg::design::kMaskCommand, Ctrl(Qt::Key_M)},
    C{id::kUnmask, menu::kEdit, msg::design::kUnmaskCommand, Shift(Qt::Key_M)},
    C{id::kArea, menu::kEdit, msg::design::kAreaCommand, 0},
    C{id::kPlay, menu::kPlay, msg::common::kPlayCommand, Key(Qt::Key_P)},
    C{id::kStop, menu::kPlay, msg::common::kStopCommand, Key(Qt::Key_Space)},
};

constexpr std::array kMenus{
    WindowMenu{menu::kFile, msg::common::kFileMenu},
    WindowMenu{menu::kEdit, msg::common::kEditMenu},
    WindowMenu{menu::kTools, msg::design::kToolsMenu},
    WindowMenu{menu::kPlay, msg::common::kPlay},
};

}  // namespace

CDesignFrame::CDesignFrame(Workspace& ws, Prompt& prompt, QWidget* parent)
    : QMainWindow(parent), ws_(ws), prompt_(prompt), history_(std::make_unique<DesignHistory>(ws.temp().path())) {
    setObjectName(QStringLiteral("designFrame"));
    setWindowFlags(Qt::Widget);
    view_ = new CEffectView(ws_, this);
    setCentralWidget(view_);
    timer_ = new QTimer(this);
    music_ = new MusicPlayer(this);
    connect(music_, &MusicPlayer::failed, this, [this](const QString& message) {
        // The design plays on without sound; the reason stays readable in the status bar.
        statusBar()->showMessage(RenderQt(msg::design::kMusicUnplayable, ws_.app.language) + message);
    });
    connect(timer_, &QTimer::timeout, this, [this] {
        ++view_->tick;
        view_->update();
        if (playedFrame && wantsPlayedFrames && wantsPlayedFrames()) {
            if (auto frame = RenderedFrame(view_->tick)) playedFrame(*frame);
        }
    });
    view_->makeItem = [this](int kind, QRectF box) -> std::unique_ptr<EffectItem> {
        const std::uint8_t lang = ws_.app.language;
        if (kind == kItemText) {
            bool ok = false;
            const QString text = QInputDialog::getText(this, RenderQt(msg::design::kText, lang), RenderQt(msg::common::kTextLabel, lang),
                                                       QLineEdit::Normal, QString(), &ok);
            if (!ok || text.isEmpty()) return nullptr;
            AddText(text, box);
        } else if (kind == kItemPicture) {
            const QString path = QFileDialog::getOpenFileName(this, QString(), LastFolder(ws_, FileKind::Picture, QString::fromStdString(ws_.home.string())),
                                                              RenderQt(msg::common::kPictures, lang) + QStringLiteral(" (*.png *.jpg *.jpeg *.bmp *.gif)"));
            RememberFolder(ws_, FileKind::Picture, path);
            if (!path.isEmpty()) AddPicture(path, box);
        }
        return nullptr;  // added above, with its own snapshot
    };
    connect(view_, &CEffectView::edited, this, &CDesignFrame::Edited);
    connect(view_, &CEffectView::selectionChanged, this, &CDesignFrame::RefreshValues);
    BuildPanel();
    BuildMenus();
}

CDesignFrame::~CDesignFrame() = default;

QAction* CDesignFrame::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CDesignFrame::BuildMenus() {
    const std::uint8_t lang = ws_.app.language;
    const CommandHandlers handlers = {
        {id::kMusic, [this](bool) { SetMusic(); }},        {id::kClearMusic, [this](bool) { ClearMusic(); }},
        {id::kExport, [this](bool) { ExportEffect(); }},   {id::kRender, [this](bool) { RenderFrames(); }},
        {id::kReturn, [this](bool) { Stop(); emit returned(); }},
        {id::kUndo, [this](bool) { Undo(); }},             {id::kRedo, [this](bool) { Redo(); }},
        {id::kCut, [this](bool) { Cut(); }},               {id::kCopy, [this](bool) { Copy(); }},
        {id::kPaste, [this](bool) { Paste(); }},           {id::kDelete, [this](bool) { DeleteSelected(); }},
        {id::kGroup, [this](bool) { Group(); }},           {id::kUnlay, [this](bool) { Ungroup(); }},
        {id::kMask, [this](bool) { MakeMask(); }},         {id::kUnmask, [this](bool) { ClearMask(); }},
        {id::kArea, [this](bool) { AddPictureArea(); }},   {id::kPlay, [this](bool) { Play(); }},
        {id::kStop, [this](bool) { Stop(); }},
    };
    const BuiltMenus built = BuildMenuBar(menuBar(), kMenus, kCommands, lang, this, handlers);
    for (const auto& [commandId, a] : built.actions) actions_[commandId] = a;
    QMenu* toolsMenu = built.menus.at(menu::kTools);
    // The tools: select, then a kind each (the tooltip says what the shape is).
    tools_ = new QActionGroup(this);
    const struct {
        int kind;
        Text name;
        Text tip;
    } tools[] = {
        {CEffectView::kSelectTool, msg::design::kSelectTool, msg::design::kSelectToolTip},
        {kItemRectangle, msg::common::kRectangleTool, msg::design::kRectangleToolTip},
        {kItemEllipse, msg::design::kEllipseTool, msg::design::kEllipseToolTip},
        {kItemLine, msg::common::kLineTool, msg::design::kLineToolTip},
        {kItemRoundRect, msg::design::kRoundRectTool, msg::design::kRoundRectToolTip},
        {kItemStar, msg::design::kStarTool, msg::design::kStarToolTip},
        {kItemRegularPolygon, msg::design::kRegularPolygonTool, msg::design::kRegularPolygonToolTip},
        {kItemPolyline, msg::design::kPolylineTool, msg::design::kPolylineToolTip},
        {kItemPolygon, msg::design::kPolygonTool, msg::design::kPolygonToolTip},
        {kItemText, msg::design::kText, msg::design::kTextToolTip},
        {kItemPicture, msg::common::kPictureTool, msg::design::kPictureToolTip},
    };
    for (const auto& t : tools) {
        QAction* a = toolsMenu->addAction(RenderQt(t.name, lang));
        a->setCheckable(true);
        a->setToolTip(RenderQt(t.tip, lang));
        a->setStatusTip(RenderQt(t.tip, lang));
        a->setData(id::kFirstTool + t.kind);
        tools_->addAction(a);
        actions_[id::kFirstTool + t.kind] = a;
        connect(a, &QAction::triggered, this, [this, kind = t.kind] { view_->tool = kind; });
    }
    toolsMenu->setToolTipsVisible(true);
    actions_[id::kFirstTool]->setChecked(true);
}

void CDesignFrame::BuildPanel() {
    const std::uint8_t lang = ws_.app.language;
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("designToolPanel"));
    layers_ = new QListWidget(panel);
    layers_->setObjectName(QStringLiteral("layerList"));
    connect(layers_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!updating_ && row >= 0) SetCurrentLayer(row);
    });
    connect(layers_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (updating_) return;
        const int row = layers_->row(item);
        if (row < 0 || row >= static_cast<int>(ws_.effects.Count())) return;
        const bool on = item->checkState() == Qt::Checked;
        ws_.effects.at(static_cast<std::size_t>(row)).checked = on ? 1 : 0;
        // Checking makes a layer current; unchecking the current one moves to a checked one.
        SetCurrentLayer(on ? row : row == view_->currentLayer ? AfterUncheck(ws_.effects, row) : view_->currentLayer);
        view_->ClearSelection();
        RefreshLayers();
    });
    auto button = [&](const Text& text, auto slot) {
        auto* b = new QPushButton(RenderQt(text, lang), panel);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto* layerButtons = new QGridLayout;
    layerButtons->addWidget(button(msg::common::kNewLayer, [this] { NewLayer(); }), 0, 0);
    layerButtons->addWidget(button(msg::common::kDelete, [this] { DeleteLayer(); }), 0, 1);
    layerButtons->addWidget(button(msg::design::kMoveLayerUp, [this] { MoveLayer(true); }), 1, 0);
    layerButtons->addWidget(button(msg::design::kMoveLayerDown, [this] { MoveLayer(false); }), 1, 1);

    colourButton_ = new QPushButton(RenderQt(msg::common::kFontColour, lang), panel);
    connect(colourButton_, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(QColor::fromRgb(view_->colour), this);
        if (c.isValid()) ApplyColour(c.rgb() & 0xFFFFFFu);
    });
    lineWidth_ = new QComboBox(panel);
    lineWidth_->setEditable(true);
    for (int w = 1; w <= 6; ++w) lineWidth_->addItem(QString::number(w));
    connect(lineWidth_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (updating_) return;
        const int w = std::clamp(text.toInt(), 1, 6);  // a typed value below 1 becomes 1
        view_->lineWidth = w;
        SetLineWidth(view_->selection, w);
        if (!view_->selection.empty()) Edited();
    });
    auto* fontButton = new QPushButton(RenderQt(msg::design::kFontButton, lang), panel);
    fontButton->setToolTip(RenderQt(msg::design::kFontButtonTip, lang));
    connect(fontButton, &QPushButton::clicked, this, [this] {
        bool ok = false;
        QFont current(textFace_);
        current.setPixelSize(textHeight_ > 0 ? textHeight_ : 32);
        const QFont chosen = QFontDialog::getFont(&ok, current, this);
        if (ok) ApplyFont(chosen.family(), chosen.pixelSize() > 0 ? chosen.pixelSize() : static_cast<int>(chosen.pointSizeF() * 96 / 72));
    });
    fill_ = new QCheckBox(RenderQt(msg::common::kFill, lang), panel);
    fill_->setChecked(true);
    connect(fill_, &QCheckBox::toggled, this, [this](bool on) {
        if (updating_) return;
        view_->fill = on;
        SetFill(view_->selection, on);
        if (!view_->selection.empty()) Edited();
    });
    angle_ = new QSpinBox(panel);
    angle_->setObjectName(QStringLiteral("angle"));
    angle_->setRange(0, 359);
    angle_->setWrapping(true);
    connect(angle_, &QSpinBox::valueChanged, this, [this](int a) {
        if (updating_ || view_->selection.empty()) return;
        SetAngle(view_->selection, a);
        Edited();
    });
    auto spin = [&](int low, int high) {
        auto* s = new QSpinBox(panel);
        s->setRange(low, high);
        return s;
    };
    posX_ = spin(-100000, 100000);
    posY_ = spin(-100000, 100000);
    for (QSpinBox* s : {posX_, posY_}) {
        connect(s, &QSpinBox::editingFinished, this, [this] {
            if (updating_) return;
            if (SetPosition(view_->selection, posX_->value(), posY_->value(), view_->canvas().width(), view_->canvas().height())) Edited();
        });
    }
    sizeW_ = new QDoubleSpinBox(panel);
    sizeH_ = new QDoubleSpinBox(panel);
    for (QDoubleSpinBox* s : {sizeW_, sizeH_}) {
        s->setRange(-100000, 100000);
        connect(s, &QDoubleSpinBox::editingFinished, this, [this] {
            if (updating_ || view_->selection.empty()) return;
            SetSize(view_->selection, static_cast<float>(sizeW_->value()), static_cast<float>(sizeH_->value()));
            Edited();
        });
    }
    parameter_ = spin(0, 65535);
    parameter_->setValue(20);
    parameter_->setToolTip(RenderQt(msg::design::kCornerRadiusTip, lang));
    connect(parameter_, &QSpinBox::valueChanged, this, [this](int v) { view_->parameter = v; });

    auto* form = new QFormLayout;
    form->addRow(colourButton_);
    form->addRow(fontButton);
    form->addRow(RenderQt(msg::common::kStripeWidth, lang), lineWidth_);
    form->addRow(fill_);
    form->addRow(RenderQt(msg::common::kAngle, lang), angle_);
    form->addRow(QStringLiteral("X:"), posX_);
    form->addRow(QStringLiteral("Y:"), posY_);
    form->addRow(RenderQt(msg::common::kFontWidth, lang), sizeW_);
    form->addRow(RenderQt(msg::common::kFontHeight, lang), sizeH_);
    form->addRow(RenderQt(msg::design::kParameterLabel, lang), parameter_);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(new QLabel(RenderQt(msg::design::kLayers, lang), panel));
    layout->addWidget(layers_, 1);
    layout->addLayout(layerButtons);
    layout->addLayout(form);
    dock_ = new QDockWidget(RenderQt(msg::design::kToolDock, lang), this);
    dock_->setObjectName(QStringLiteral("designDock"));
    dock_->setFeatures(QDockWidget::DockWidgetMovable);
    dock_->setWidget(panel);
    addDockWidget(Qt::LeftDockWidgetArea, dock_);
}

void CDesignFrame::Enter() {
    if (ws_.design.canvasWidth == 0 || ws_.design.canvasHeight == 0) {
        ws_.design.canvasWidth = 800;
        ws_.design.canvasHeight = 600;
    }
    if (ws_.effects.Empty()) corv::NewLayer(ws_.effects, 1, ws_.app.language);
    RenameLayers(ws_.effects, ws_.app.language);
    layerCounter_ = static_cast<int>(ws_.effects.Count());
    view_->currentLayer = std::clamp(view_->currentLayer, 0, static_cast<int>(ws_.effects.Count()) - 1);
    view_->selection.clear();
    if (history_->current() == 0) history_->Record(ws_.effects, view_->currentLayer);
    RefreshLayers();
    RefreshValues();
    view_->update();
    view_->setFocus();
}

void CDesignFrame::RefreshLayers() {
    updating_ = true;
    layers_->clear();
    for (const auto& layer : ws_.effects) {
        auto* item = new QListWidgetItem(QString::fromStdString(layer->name), layers_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(layer->checked ? Qt::Checked : Qt::Unchecked);
    }
    layers_->setCurrentRow(view_->currentLayer);
    updating_ = false;
    EnableByRule(actions_, kCommands, EnabledRule::CanUndo, history_->CanUndo());
    EnableByRule(actions_, kCommands, EnabledRule::CanRedo, history_->CanRedo());
    UpdateModified();
}

void CDesignFrame::MarkSaved() {
    history_->MarkSaved();
    UpdateModified();
}

void CDesignFrame::UpdateModified() {
    const auto& path = ws_.documentPath;
    setWindowTitle((path.empty() ? RenderQt(msg::common::kUntitled, ws_.app.language) : QString::fromStdString(path.filename().string())) +
                   QStringLiteral("[*]"));
    setWindowModified(IsModified());
    emit modifiedChanged();
}

void CDesignFrame::RefreshValues() {
    updating_ = true;
    // Position, size and angle belong to a selected item; colour, line width and fill also
    // set what new items take.
    for (QWidget* w : std::initializer_list<QWidget*>{posX_, posY_, sizeW_, sizeH_, angle_}) w->setEnabled(!view_->selection.empty());
    if (!view_->selection.empty()) {
        const EffectItem* item = view_->selection.back();
        const RectF b = item->BoundingBox();
        posX_->setValue(static_cast<int>(b.x));
        posY_->setValue(static_cast<int>(b.y));
        sizeW_->setValue(item->w);
        sizeH_->setValue(item->h);
        angle_->setValue(item->angle);
        fill_->setChecked(item->fill != 0);
        lineWidth_->setCurrentText(QString::number(item->lineWidth));
    }
    updating_ = false;
}

void CDesignFrame::SetCurrentLayer(int index) {
    if (index == view_->currentLayer) return;
    view_->currentLayer = index;
    view_->ClearSelection();
}

void CDesignFrame::Edited() {
    history_->Record(ws_.effects, view_->currentLayer);
    RefreshLayers();
    RefreshValues();
    view_->update();
}

void CDesignFrame::NewLayer() {
    view_->currentLayer = corv::NewLayer(ws_.effects, ++layerCounter_, ws_.app.language);
    view_->ClearSelection();
    Edited();
}

bool CDesignFrame::DeleteLayer() {
    view_->ClearSelection();
    view_->currentLayer = corv::DeleteLayer(ws_.effects, view_->currentLayer, ws_.app.language);
    RenameLayers(ws_.effects, ws_.app.language);
    Edited();
    return true;
}

bool CDesignFrame::MoveLayer(bool up) {
    const int to = corv::MoveLayer(ws_.effects, view_->currentLayer, up);
    if (to == view_->currentLayer) return false;
    view_->currentLayer = to;
    RenameLayers(ws_.effects, ws_.app.language);
    Edited();
    return true;
}

bool CDesignFrame::Group() {
    EffectLayer* layer = view_->layer();
    if (!layer) return false;
    EffectItem* group = GroupItems(*layer, view_->selection);
    if (!group) return false;
    view_->selection = {group};
    Edited();
    return true;
}

bool CDesignFrame::Ungroup() {
    EffectLayer* layer = view_->layer();
    if (!layer) return false;
    Selection children = UngroupItems(*layer, view_->selection);
    if (children.empty()) return false;
    view_->selection = children;
    Edited();
    return true;
}

bool CDesignFrame::MakeMask() {
    EffectLayer* layer = view_->layer();
    if (!layer || view_->selection.empty()) return false;
    layer->mask = view_->selection.front();
    Edited();
    return true;
}

bool CDesignFrame::ClearMask() {
    EffectLayer* layer = view_->layer();
    if (!layer || !layer->mask) return false;
    layer->mask = nullptr;
    Edited();
    return true;
}

bool CDesignFrame::Copy() {
    if (view_->selection.empty()) return false;
    const auto bytes = EncodeItems(view_->selection);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kItemsMime), QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    QApplication::clipboard()->setMimeData(data);
    return true;
}

bool CDesignFrame::Cut() { return Copy() && DeleteSelected(); }

bool CDesignFrame::Paste() {
    EffectLayer* layer = view_->layer();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!layer || !data || !data->hasFormat(QString::fromLatin1(kItemsMime))) return false;
    const QByteArray bytes = data->data(QString::fromLatin1(kItemsMime));
    auto items = DecodeItems(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
    if (!items) {
        prompt_.Inform(RenderQt(msg::design::kClipboardItemsDamaged, ws_.app.language).toStdString(),
                       PromptIcon::Warning);
        return false;
    }
    view_->selection.clear();
    for (auto& item : *items) {
        item->MoveBy(10, 10);  // beside the originals
        view_->selection.push_back(item.get());
        layer->items.push_back(std::move(item));
    }
    Edited();
    return true;
}

bool CDesignFrame::DeleteSelected() {
    EffectLayer* layer = view_->layer();
    if (!layer || view_->selection.empty()) return false;
    DeleteItems(*layer, view_->selection);
    view_->selection.clear();
    Edited();
    return true;
}

bool CDesignFrame::Restored(std::optional<int> layer) {
    if (!layer) return false;
    view_->currentLayer = std::max(*layer, 0);
    view_->ClearSelection();
    RefreshLayers();
    return true;
}

bool CDesignFrame::Undo() { return Restored(history_->Undo(ws_.effects, ws_.app.language)); }
bool CDesignFrame::Redo() { return Restored(history_->Redo(ws_.effects, ws_.app.language)); }

bool CDesignFrame::AddPictureArea() {
    EffectLayer* layer = view_->layer();
    if (!layer || !ws_.frames.HasCurrent()) return false;
    const Clip& clip = ws_.frames.CurrentClip();
    auto item = CreateItem(kItemPictureArea);
    item->w = static_cast<float>(clip.width);
    item->h = static_cast<float>(clip.height);
    item->x = (view_->canvas().width() - item->w) / 2;
    item->y = (view_->canvas().height() - item->h) / 2;
    const ListColour c = ws_.colourPanel.current;
    item->colour = 0xFF000000u | (c & 0xFFFFFFu);
    // The whole current clip (the source is bounded by the clip when drawn).
    item->sourceX = item->sourceY = 0;
    item->sourceW = item->sourceH = 0;
    item->sourceClip = static_cast<std::int16_t>(ws_.frames.current());
    view_->selection = {item.get()};
    layer->items.push_back(std::move(item));
    Edited();
    return true;
}

bool CDesignFrame::AddPicture(const QString& path, QRectF box) {
    EffectLayer* layer = view_->layer();
    const QImage image(path);
    if (image.isNull() || !layer) {
        prompt_.Inform((RenderQt(msg::common::kPictureUnreadable, ws_.app.language) + path).toStdString(), PromptIcon::Warning);
        return false;
    }
    // Large pictures are kept at most 1024 pixels a side.
    const QImage kept = image.width() > 1024 || image.height() > 1024 ? image.scaled(1024, 1024, Qt::KeepAspectRatio, Qt::SmoothTransformation) : image;
    const QImage argb = kept.convertToFormat(QImage::Format_ARGB32);
    auto item = std::make_unique<PictureItem>();
    if (box.width() < 1 || box.height() < 1) box = QRectF(box.topLeft(), QSizeF(argb.size()));
    item->x = static_cast<float>(box.x());
    item->y = static_cast<float>(box.y());
    item->w = static_cast<float>(box.width());
    item->h = static_cast<float>(box.height());
    item->pictureWidth = static_cast<std::uint32_t>(argb.width());
    item->pictureHeight = static_cast<std::uint32_t>(argb.height());
    item->pixels.resize(static_cast<std::size_t>(argb.width()) * static_cast<std::size_t>(argb.height()) * 4);
    for (int y = 0; y < argb.height(); ++y) {
        std::memcpy(item->pixels.data() + static_cast<std::size_t>(y) * argb.width() * 4, argb.constScanLine(y), static_cast<std::size_t>(argb.width()) * 4);
    }
    view_->selection = {item.get()};
    layer->items.push_back(std::move(item));
    Edited();
    return true;
}

bool CDesignFrame::AddText(const QString& text, QRectF box) {
    EffectLayer* layer = view_->layer();
    if (!layer || text.isEmpty()) return false;
    auto item = std::make_unique<TextItem>();
    item->x = static_cast<float>(box.x());
    item->y = static_cast<float>(box.y());
    item->w = static_cast<float>(std::max(box.width(), 1.0));
    item->h = static_cast<float>(std::max(box.height(), 1.0));
    item->colour = 0xFF000000u | view_->colour;
    item->fontFace = textFace_.toStdString().substr(0, TextItem::kFaceNameSize - 1);
    item->fontValue = static_cast<std::uint32_t>(textHeight_ > 0 ? textHeight_ : std::max(8.0, box.height() * 0.8));
    item->text = text.toStdString().substr(0, 65535);
    view_->selection = {item.get()};
    layer->items.push_back(std::move(item));
    Edited();
    return true;
}

void CDesignFrame::ApplyFont(const QString& face, int pixelHeight) {
    textFace_ = face;
    textHeight_ = std::clamp(pixelHeight, 1, 4095);
    bool changed = false;
    for (EffectItem* item : view_->selection) {
        if (item->kind() != kItemText) continue;
        auto& text = static_cast<TextItem&>(*item);
        text.fontFace = face.toStdString().substr(0, TextItem::kFaceNameSize - 1);
        text.fontValue = static_cast<std::uint32_t>(textHeight_);
        changed = true;
    }
    if (changed) Edited();
}

void CDesignFrame::ApplyColour(std::uint32_t rgb) {
    view_->colour = rgb;
    SetColour(view_->selection, rgb);
    if (!view_->selection.empty()) Edited();
}

bool CDesignFrame::SetMusic(const QString& given) {
    QString path = given;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, QString(), LastFolder(ws_, FileKind::Music, QString::fromStdString(ws_.home.string())),
                                            QStringLiteral("*.mp3 *.wav *.midi *.mid *.rmi *.snd *.au *.wma"));
        RememberFolder(ws_, FileKind::Music, path);
    }
    if (path.isEmpty()) return false;
    QString why;
    if (!IsPlayableSound(path, &why)) {
        prompt_.Inform((RenderQt(msg::design::kMusicUnreadable, ws_.app.language) + path + QStringLiteral(" (") +
                        why + QStringLiteral(")"))
                           .toStdString(),
                       PromptIcon::Warning);
        return false;
    }
    ws_.design.musicPath = path.toStdString();
    return true;
}

void CDesignFrame::ClearMusic() { ws_.design.musicPath.clear(); }

bool CDesignFrame::ExportEffect(const QString& given) {
    QString path = given;
    if (path.isEmpty()) {
        QFileDialog dialog(this, QString(), LastFolder(ws_, FileKind::Design, QString::fromStdString(ws_.home.string())),
                           QStringLiteral("*.run"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("run"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        path = dialog.selectedFiles().front();
        RememberFolder(ws_, FileKind::Design, path);
    }
    const Result<Done> exported =
        ExportEffectFile(ProgramDir() / "corvantine-player", path.toStdString(), DocumentSourceOf(ws_), ws_.temp().path());
    if (!exported) {
        // The reason follows: the system's, naming the file (a full disk, a player not ours).
        prompt_.Inform((RenderQt(msg::design::kEffectUnwritable, ws_.app.language) + path).toStdString() +
                           "\n" + exported.failure().reason,
                       PromptIcon::Warning);
        return false;
    }
    return true;
}

int CDesignFrame::RenderFrames(int frames) {
    if (!ws_.frames.HasCurrent() || ws_.frames.CurrentFrames().empty()) return 0;
    if (frames <= 0) {
        bool ok = false;
        frames = QInputDialog::getInt(this, RenderQt(msg::design::kRenderTitle, ws_.app.language),
                                      RenderQt(msg::common::kFramesLabel, ws_.app.language), 100, 1, 100000, 1, &ok);
        if (!ok) return 0;
    }
    Stop();
    std::vector<Frame>& clip = ws_.frames.CurrentFrames();
    const int w = clip.front().width(), h = clip.front().height();
    ws_.frameUndo.BeginUndo(clip, 0, clip.size(), static_cast<std::uint32_t>(frames));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (int t = 0; t < frames; ++t) clip.push_back(DesignFrame(static_cast<std::size_t>(t), w, h));
    QApplication::restoreOverrideCursor();
    emit framesAdded();
    return frames;
}

Frame CDesignFrame::DesignFrame(std::size_t tick, int width, int height) const {
    const QImage canvas = RenderDesign(ws_.effects, view_->canvas(), DesignTime{&ws_.frames, tick});
    Frame f(width, height);
    ImageToFrame(canvas.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), f);
    return f;
}

std::optional<Frame> CDesignFrame::RenderedFrame(std::size_t tick) const {
    if (!ws_.frames.HasCurrent() || ws_.frames.CurrentFrames().empty()) return std::nullopt;
    const Frame& shape = ws_.frames.CurrentFrames().front();
    return DesignFrame(tick, shape.width(), shape.height());
}

void CDesignFrame::Play() {
    timer_->start(playInterval ? std::max(1, playInterval()) : 40);
    if (!ws_.design.musicPath.empty()) music_->Play(QString::fromStdString(ws_.design.musicPath.string()));
}

void CDesignFrame::Stop() {
    timer_->stop();
    music_->Stop();
}
bool CDesignFrame::playing() const { return timer_->isActive(); }

}  // namespace corv
