#include "app/sculpt/CSculptFrame.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QStatusBar>

#include <algorithm>
#include <filesystem>

#include "app/sculpt/ChipPinDialog.h"
#include "app/sculpt/LightingSettingDialog.h"
#include "app/sculpt/MultiControllerDialog.h"
#include "app/common/FileDialogFolders.h"
#include "app/sculpt/ImportFileDialog.h"
#include "app/sculpt/LinePanel.h"
#include "app/common/PanelChoices.h"
#include "app/sculpt/SculptCommands.h"
#include "app/sculpt/BackgroundTextDialog.h"
#include "app/sculpt/BudgetPanel.h"
#include "lang/messages/BudgetPanelMessages.h"
#include "app/sculpt/LineOperateDialog.h"
#include "app/sculpt/NumbersDialog.h"
#include "app/sculpt/PixelsRepeatDialog.h"
#include "app/sculpt/SaveModuleDialog.h"
#include "app/net/TestPatternPlayer.h"
#include "base/FileUtil.h"
#include "base/Prompt.h"
#include "lang/Language.h"
#include "lang/QtText.h"
#include "lang/Render.h"
#include "lang/messages/SculptMessages.h"
#include "lang/messages/CommonMessages.h"
#include "lang/messages/NetMessages.h"
#include "layout/LayoutImage.h"
#include "layout/LineFile.h"
#include "ops/Layout.h"
#include "workspace/LayoutOps.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {
std::filesystem::path P(const QString& s) { return std::filesystem::path(s.toStdString()); }

// The kind of file a save dialog of this window writes, by its default suffix: each kind has a
// folder of its own.
FileKind KindOfSuffix(const QString& suffix) {
    if (suffix == QLatin1String("lnf")) return FileKind::LineFile;
    if (suffix == QLatin1String("mde")) return FileKind::Module;
    if (suffix == QLatin1String("map") || suffix == QLatin1String("hmc")) return FileKind::ControllerFile;
    return FileKind::Picture;
}
}  // namespace

CSculptFrame::CSculptFrame(Workspace& ws, Prompt& prompt, QWidget* parent)
    : QMainWindow(parent), ws_(ws), prompt_(prompt) {
    setObjectName(QStringLiteral("sculptFrame"));
    setWindowFlags(Qt::Widget);
    view_ = new CSculptView(ws_, prompt_, state_, this);
    setCentralWidget(view_);
    RestoreLinePanelState(ws_, state_);  // the line limit and connection mode last chosen
    panel_ = new LinePanel(ws_, state_, this);
    dock_ = new QDockWidget(RenderQt(msg::sculpt::kLinesDock, ws_.app.language), this);
    dock_->setObjectName(QStringLiteral("lineDock"));
    dock_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetClosable);
    dock_->setWidget(panel_);
    addDockWidget(Qt::LeftDockWidgetArea, dock_);
    // Power and timing: hidden until asked for (it computes over the whole clip when shown).
    budget_ = new BudgetPanel(ws_, prompt_, this);
    budget_->playRate = [this] { return playRate ? playRate() : 20; };
    budgetDock_ = new QDockWidget(RenderQt(msg::budgetpanel::kDockTitle, ws_.app.language), this);
    budgetDock_->setObjectName(QStringLiteral("budgetDock"));
    budgetDock_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetClosable);
    budgetDock_->setWidget(budget_);
    addDockWidget(Qt::RightDockWidgetArea, budgetDock_);
    budgetDock_->hide();
    zoomPane_ = new QLabel(this);
    statusBar()->addPermanentWidget(zoomPane_);

    const std::uint8_t lang = ws_.app.language;
    view_->askTiles = [this, lang](std::pair<int, int> initial) -> std::optional<std::pair<int, int>> {
        NumbersDialog d(RenderQt(msg::sculpt::kTilesTitle, lang),
                        {{RenderQt(msg::common::kFontWidth, lang), 0, 65535, initial.first},
                         {RenderQt(msg::common::kFontHeight, lang), 0, 65535, initial.second}},
                        ws_.strings, this);
        if (d.exec() != QDialog::Accepted) return std::nullopt;
        return std::pair{d.value(0), d.value(1)};
    };
    view_->askModuleName = [this, lang](const DisplayModule& m) -> std::optional<QString> {
        SaveModuleDialog d(m.width, m.height, static_cast<int>(m.offsets.size()), lang, ws_.strings, this);
        if (d.exec() != QDialog::Accepted) return std::nullopt;
        return d.name();
    };
    view_->askRepeat = [this, lang](int position, int group) -> std::optional<std::pair<int, int>> {
        PixelsRepeatDialog d(position, group, lang, ws_.strings, this);
        if (d.exec() != QDialog::Accepted) return std::nullopt;
        return std::pair{d.repeat(), d.group()};
    };
    connect(view_, &CSculptView::linesChanged, this, &CSculptFrame::Refresh);
    connect(view_, &CSculptView::statusText, this, [this](const QString& t) { statusBar()->showMessage(t); });
    connect(view_, &CSculptView::zoomChanged, this, [this](float z) { zoomPane_->setText(QString::number(z, 'g', 4) + QStringLiteral("x")); });
    connect(view_, &CSculptView::modulesChanged, this, [this] {
        panel_->RefreshModules();
        UpdateChecks();
    });
    connect(view_, &CSculptView::toolChanged, this, [this](int) { UpdateChecks(); });
    connect(view_, &CSculptView::optionsChanged, this, &CSculptFrame::UpdateChecks);
    connect(panel_, &LinePanel::lineChosen, this, [this](int line, Qt::KeyboardModifiers mods) {
        const Line& points = ws_.layout.lines[static_cast<std::size_t>(line)];
        if (!points.empty() && (mods & (Qt::ControlModifier | Qt::ShiftModifier))) {
            const LinePoint p = mods & Qt::ControlModifier ? points.front() : points.back();
            view_->ScrollToCell(PointCol(p), PointRow(p));
        }
        view_->update();
        view_->setFocus();
    });
    patterns_ = new TestPatternPlayer(ws_, this);
    patterns_->offer = [this](const Frame& frame) {
        if (offerLive) offerLive(frame);
    };
    BuildMenus();
    zoomPane_->setText(QString::number(view_->zoom(), 'g', 4) + QStringLiteral("x"));
}

QAction* CSculptFrame::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CSculptFrame::BuildMenus() {
    const std::uint8_t lang = ws_.app.language;
    tools_ = new QActionGroup(this);
    tools_->setExclusive(true);
    CommandHandlers h;
    using namespace sculpt;
    h[kNew] = [this](bool) { NewLayout(); };
    h[kOpen] = [this](bool) { Open(); };
    h[kSave] = [this](bool) { Save(); };
    h[kSaveAs] = [this](bool) { SaveAs(); };
    h[kImportDxf] = [this](bool) { ImportFile(false); };
    h[kPictureIdentify] = [this](bool) { ImportFile(true); };
    h[kExportModule] = [this](bool) { ExportModules(); };
    h[kImportModule] = [this](bool) { ImportModules(); };
    h[kOutputMap] = [this](bool) { OutputMap(); };
    h[kOutputHmc] = [this](bool) { OutputHmc(); };
    h[kOutputImage] = [this](bool) { OutputImage(); };
    h[kReturn] = [this](bool) { Return(); };
    h[kUndo] = [this](bool) { view_->Undo(); };
    h[kRedo] = [this](bool) { view_->Redo(); };
    h[kLineOperate] = [this](bool) { LineOperate(); };
    h[kPasteSetting] = [this](bool) { PasteSetting(); };
    h[kAllowRepeat] = [this](bool on) { view_->allowRepeat = on; };
    h[kConnectByBackground] = [this](bool on) { view_->connectByBackground = on; };
    h[kDeleteModule] = [this](bool) { DeleteCurrentModule(); };
    h[kImportBackground] = [this](bool) { ImportBackground(); };
    h[kCurrentFrame] = [this](bool) { CurrentFrameAsBackground(); };
    h[kInputText] = [this](bool) { InputText(); };
    h[kBackPictureSize] = [this](bool) { BackPictureSize(); };
    h[kFrameAdjust] = [this](bool) { FrameAdjust(); };
    h[kDeleteBackground] = [this](bool) { DeleteBackground(); };
    h[kShowBackground] = [this](bool on) { view_->showBackground = on; view_->update(); };
    h[kShowGrid] = [this](bool on) { view_->showGrid = on; view_->update(); };
    h[kShowRoute] = [this](bool on) { view_->showRoute = on; view_->update(); };
    h[kShowOutline] = [this](bool on) { view_->showOutline = on; view_->update(); };
    h[kShowLinePanel] = [this](bool on) { dock_->setVisible(on); };
    h[kShowBudgetPanel] = [this](bool on) {
        budgetDock_->setVisible(on);
        if (on) budget_->Compute();
    };
    h[kImageCenter] = [this](bool) { view_->ImageCenter(); };
    h[kZoomIn] = [this](bool) { view_->ZoomIn(); };
    h[kZoomOut] = [this](bool) { view_->ZoomOut(); };
    for (int p = 0; p < kPatternCount; ++p) {
        h[kFirstPattern + p] = [this, p](bool) { PlayTestPattern(static_cast<net::TestPattern>(p)); };
    }
    h[kStopPattern] = [this](bool) { StopTestPattern(); };
    h[kLightingSetting] = [this](bool) {
        LightingSettingDialog d(ws_, prompt_, this);
        connect(&d, &LightingSettingDialog::controllerTypeChanged, this, [this](int) { Refresh(); });
        d.exec();
        Refresh();
    };
    h[kChipPinSetting] = [this](bool) {
        ChipPinDialog d(ws_, prompt_, this);
        d.exec();
        Refresh();
    };
    h[kMultiController] = [this](bool) {
        MultiControllerDialog d(ws_, this);
        d.exec();
        Refresh();
    };
    // The tools: one exclusive group, each command choosing its tool.
    auto isTool = [](int id) { return id >= kFirstToolCommand && id <= kFirstToolCommand + kToolEditBackground; };
    for (const WindowCommand& c : SculptCommandTable()) {
        if (isTool(c.id)) h[c.id] = [this, mode = c.id - kFirstToolCommand](bool) { ChooseTool(mode); };
    }
    auto added = [this, isTool](const WindowCommand& c, QAction* a, QMenu*) {
        if (isTool(c.id)) tools_->addAction(a);
    };
    actions_ = BuildMenuBar(menuBar(), SculptMenuTitles(), SculptCommandTable(), lang, this, h, added).actions;
    // The drawing options start on.
    for (int id : {kShowBackground, kShowGrid, kShowRoute, kShowOutline, kShowLinePanel}) actions_[id]->setChecked(true);
    connect(budgetDock_, &QDockWidget::visibilityChanged, this, [this](bool on) {
        if (isVisible()) actions_[sculpt::kShowBudgetPanel]->setChecked(on);
    });
    connect(dock_, &QDockWidget::visibilityChanged, this, [this](bool on) {
        if (isVisible()) actions_[sculpt::kShowLinePanel]->setChecked(on);
    });
    UpdateChecks();
}

void CSculptFrame::ChooseTool(int mode) {
    if (mode == sculpt::kToolPaste && !view_->CanPaste()) {
        UpdateChecks();
        return;
    }
    view_->SetTool(mode);
    UpdateChecks();
}

void CSculptFrame::UpdateChecks() {
    const int tool = view_->tool();
    if (QAction* a = action(sculpt::kFirstToolCommand + tool)) a->setChecked(true);
    actions_[sculpt::kAllowRepeat]->setChecked(view_->allowRepeat);
    actions_[sculpt::kConnectByBackground]->setChecked(view_->connectByBackground);
    const auto playing = patterns_->pattern();
    for (int p = 0; p < sculpt::kPatternCount; ++p) {
        actions_[sculpt::kFirstPattern + p]->setChecked(playing && static_cast<int>(*playing) == p);
    }
    actions_[sculpt::kStopPattern]->setEnabled(playing.has_value());
}

bool CSculptFrame::PlayTestPattern(net::TestPattern pattern) {
    const std::uint8_t lang = ws_.app.language;
    std::optional<std::size_t> controllers;
    if (ws_.layout.setting.lineCount == 0) {
        prompt_.Inform(ws_.strings.noLayout, PromptIcon::Warning);
    } else if (startLive && offerLive) {
        // Restarted every time: the lines may have changed since the output began.
        controllers = startLive();
    }
    if (!controllers) {
        patterns_->Stop();
        UpdateChecks();
        return false;
    }
    patterns_->Start(pattern);
    statusBar()->showMessage(RenderQt(msg::net::kPatternSending, lang, {QString::number(*controllers)}));
    UpdateChecks();
    return true;
}

void CSculptFrame::StopTestPattern() {
    if (!patterns_->running()) return;
    patterns_->Stop();
    if (endLive) endLive();
    statusBar()->showMessage(RenderQt(msg::net::kPatternStopped, ws_.app.language), 5000);
    UpdateChecks();
}

void CSculptFrame::Refresh() {
    panel_->Refresh();
    view_->update();
    UpdateModified();
}

void CSculptFrame::UpdateModified() {
    const auto& path = ws_.lineFilePath;
    setWindowTitle((path.empty() ? RenderQt(msg::common::kUntitled, ws_.app.language) : QString::fromStdString(path.filename().string())) +
                   QStringLiteral("[*]"));
    setWindowModified(ws_.layout.modified);
    emit modifiedChanged();
}

QString CSculptFrame::Folder() const {
    if (!ws_.lineFilePath.empty()) return QString::fromStdString(ws_.lineFilePath.parent_path().string());
    return QString::fromStdString(ws_.home.string());
}

QString CSculptFrame::AskSavePath(const QString& filter, const QString& suffix, const QString& name) {
    const FileKind kind = KindOfSuffix(suffix);
    QFileDialog dialog(this, QString(), LastFolder(ws_, kind, Folder()) + (name.isEmpty() ? QString() : QStringLiteral("/") + name), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    RememberFolder(ws_, kind, dialog.selectedFiles().front());
    return dialog.selectedFiles().front();
}

void CSculptFrame::Enter() {
    if (!entered_) {
        entered_ = true;
        // The line file in use, when none is loaded yet.
        if (ws_.lineFilePath.empty() && !ws_.app.lineFile.empty() && std::filesystem::exists(ws_.app.lineFile)) {
            OpenLineFile(ws_, prompt_, ws_.app.lineFile);
        }
    }
    const std::size_t cells = static_cast<std::size_t>(ws_.layout.grid.rows) * ws_.layout.grid.cols;
    if (!view_->mask().empty() && view_->mask().size() != cells) view_->DeleteBackground();
    panel_->RefreshModules();
    Refresh();
    view_->ImageCenter();
    view_->setFocus();
}

bool CSculptFrame::Return() {
    if (ws_.layout.modified) {
        const Answer a = prompt_.AskYesNoCancel(ws_.strings.askSave);
        if (a == Answer::Cancel) return false;
        if (a == Answer::Yes && !Save()) return false;
    }
    if (ws_.frames.HasCurrent()) {
        Clip& clip = ws_.frames.CurrentClip();
        if (!ws_.lineFilePath.empty()) {
            clip.lineFilePath = ws_.lineFilePath.string().substr(0, Clip::kLineFilePathBuffer - 1);
        }
        ws_.app.frameWidth = static_cast<std::int16_t>(clip.width);
        ws_.app.frameHeight = static_cast<std::int16_t>(clip.height);
    }
    NormaliseSlaveGroups(ws_.layout.slaveGroups, ws_.layout.setting.SlaveCount());
    // The frame view's frame goes out again (the main window restarts live output).
    patterns_->Stop();
    UpdateChecks();
    emit returned();
    return true;
}

void CSculptFrame::AfterLayoutReplaced(bool fresh) {
    // New starts without a background; Open and imports keep it over the new grid.
    if (fresh || view_->background().Empty()) {
        view_->DeleteBackground();
    } else {
        view_->SetBackgroundRect(view_->background().rect);
    }
    state_.currentLine = std::clamp(state_.currentLine, 0, kLineCount - 1);
    Refresh();
    view_->ImageCenter();
    emit layoutReplaced();
}

bool CSculptFrame::NewLayout(int rows, int cols, bool sphere) {
    const std::uint8_t lang = ws_.app.language;
    if (rows == 0 && cols == 0) {
        const int h = ws_.frames.HasCurrent() ? ws_.frames.CurrentClip().height : ws_.layout.grid.rows;
        const int w = ws_.frames.HasCurrent() ? ws_.frames.CurrentClip().width : ws_.layout.grid.cols;
        NumbersDialog d(RenderQt(msg::sculpt::kNewTitle, lang),
                        {{RenderQt(msg::sculpt::kHeightRowsLabel, lang), 0, 65535, h},
                         {RenderQt(msg::sculpt::kWidthColsLabel, lang), 0, 65535, w}},
                        ws_.strings, this, RenderQt(msg::sculpt::kSphere, lang), ws_.layout.grid.IsSphere());
        if (d.exec() != QDialog::Accepted) return false;
        rows = d.value(0);
        cols = d.value(1);
        sphere = d.checked();
    }
    rows = std::max(1, rows);
    cols = std::max(1, cols);
    if (!ops::NewLayout(ws_, {rows, cols, sphere, std::nullopt}, prompt_, {})) {
        prompt_.Inform(GridLimitText(rows, cols), PromptIcon::Warning);  // kNewLayoutTooLarge, in the window's words
        return false;
    }
    AfterLayoutReplaced(true);
    return true;
}

bool CSculptFrame::Open(const QString& given) {
    QString path = given;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, QString(), LastFolder(ws_, FileKind::LineFile, Folder()), QStringLiteral("*.lnf"));
        RememberFolder(ws_, FileKind::LineFile, path);
    }
    if (path.isEmpty()) return false;
    if (!OpenLineFile(ws_, prompt_, P(path)).ok()) return false;
    AfterLayoutReplaced(false);
    return true;
}

bool CSculptFrame::Save() {
    if (ws_.lineFilePath.empty() || !std::filesystem::exists(ws_.lineFilePath)) return SaveAs();
    if (!SaveLineFileAs(ws_, ws_.lineFilePath).ok()) {
        prompt_.Inform(Format(Render(msg::sculpt::kCannotWrite, ws_.app.language).c_str(), ws_.lineFilePath.string().c_str()),
                       PromptIcon::Warning);
        return false;
    }
    UpdateModified();
    return true;
}

bool CSculptFrame::SaveAs(const QString& given) {
    ws_.lineFilePath.clear();  // Save As forgets the current file first
    const QString path = given.isEmpty() ? AskSavePath(QStringLiteral("*.lnf;;*.*"), QStringLiteral("lnf")) : given;
    if (path.isEmpty()) return false;
    // The file written always ends in ".lnf": a name typed with another ending may stand for
    // an existing line file the dialog did not ask about.
    const std::filesystem::path target = LineFilePathFor(P(path));
    if (given.isEmpty() && target != P(path) && std::filesystem::exists(target) &&
        prompt_.AskYesNo(Format(Render(msg::sculpt::kReplaceExisting, ws_.app.language).c_str(),
                                target.string().c_str())) != Answer::Yes) {
        return false;
    }
    std::filesystem::path written;
    if (!SaveLineFileAs(ws_, P(path), &written).ok()) {
        prompt_.Inform(Format(Render(msg::sculpt::kCannotWrite, ws_.app.language).c_str(),
                              LineFilePathFor(P(path)).string().c_str()),
                       PromptIcon::Warning);
        return false;
    }
    UpdateModified();
    return true;
}

void CSculptFrame::ApplyImportedPicture(const QImage& picture) {
    view_->SetBackground(picture, QRect(0, 0, picture.width() * 10, picture.height() * 10));
    view_->connectByBackground = true;
    view_->SetZoom(1.0f);
    UpdateChecks();
}

bool CSculptFrame::ImportFile(bool picture, const QString& path) {
    ImportFileDialog d(ws_, prompt_, picture, this);
    if (!path.isEmpty() && !d.LoadFile(path)) return false;
    if (d.exec() != QDialog::Accepted) return false;
    if (d.outcome() == ImportFileDialog::Outcome::LinesImported) {
        ws_.layout.occupancy.Rebuild(ws_.layout.grid, ws_.layout.lines);
        AfterLayoutReplaced(false);
        view_->connectByBackground = true;
        view_->SetZoom(1.0f);
        UpdateChecks();
        return true;
    }
    if (d.outcome() == ImportFileDialog::Outcome::Picture) {
        ApplyImportedPicture(d.picture());
        return true;
    }
    return false;
}

bool CSculptFrame::ExportModules(const QString& given) {
    const QString path = given.isEmpty() ? AskSavePath(QStringLiteral("*.mde"), QStringLiteral("mde")) : given;
    if (path.isEmpty()) return false;
    if (!ops::ExportModules(ws_, {P(path)}, prompt_, {})) {
        prompt_.Inform(Format(Render(msg::sculpt::kCannotWrite, ws_.app.language).c_str(), path.toStdString().c_str()),
                       PromptIcon::Warning);
        return false;
    }
    return true;
}

bool CSculptFrame::ImportModules(const QString& given) {
    QString path = given;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, QString(), LastFolder(ws_, FileKind::Module, Folder()), QStringLiteral("*.mde"));
        RememberFolder(ws_, FileKind::Module, path);
    }
    if (path.isEmpty()) return false;
    // The window takes the file's modules as they read; the module file keeps them with the next change.
    const auto imported = ops::ImportModules(ws_, {P(path), false, false}, prompt_, {});
    panel_->RefreshModules();
    return imported && imported->added > 0;
}

bool CSculptFrame::DeleteCurrentModule() {
    if (!ops::DeleteModule(ws_, {ws_.modules.current()}, prompt_, {})) return false;
    panel_->RefreshModules();
    return true;
}

bool CSculptFrame::OutputMap(const QString& given) {
    const QString path = given.isEmpty() ? AskSavePath(QStringLiteral("*.map;;*.*"), QStringLiteral("map")) : given;
    if (path.isEmpty()) return false;
    return ops::ExportMap(ws_, {P(path)}, prompt_, {}).ok();
}

bool CSculptFrame::OutputHmc(const QString& given) {
    std::vector<Bgr> colours;
    for (ListColour c : ws_.colourPanel.list.colours()) colours.push_back(ToBgr(c));
    if (colours.empty()) colours.push_back(ToBgr(ws_.colourPanel.current));
    ops::ExportHmcRequest request{{}, colours, ToBgr(ws_.colourPanel.current)};
    if (const auto refusal = ops::HmcRefusalOf(ws_, request)) {
        prompt_.Inform(refusal->message, PromptIcon::Warning);  // kHmcOutsideLimits: the parameter message
        return false;
    }
    const QString path = given.isEmpty() ? AskSavePath(QStringLiteral("*.hmc"), QStringLiteral("hmc")) : given;
    if (path.isEmpty()) return false;
    request.path = P(path);
    return ops::ExportHmc(ws_, request, prompt_, {}).ok();
}

bool CSculptFrame::OutputImage(const QString& given) {
    const QString path =
        given.isEmpty()
            ? AskSavePath(QStringLiteral("JPEG (*.jpeg);;BMP (*.bmp);;GIF, PNG (*.gif *.png);;* (*.*)"), QStringLiteral("jpeg"),
                          QStringLiteral("Hookup"))
            : given;
    if (path.isEmpty()) return false;
    // The encoder follows the extension (jpeg, bmp, png; GIF for anything else), written whole or not at all.
    return SaveLayoutImage(view_->LayoutPicture(), path).ok();
}

bool CSculptFrame::ImportBackground(const QString& given) {
    QString path = given;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, QString(), LastFolder(ws_, FileKind::Picture, Folder()),
                                            RenderQt(msg::common::kPictures, ws_.app.language) +
                                                QStringLiteral(" (*.png *.jpg *.jpeg *.bmp *.gif)"));
        RememberFolder(ws_, FileKind::Picture, path);
    }
    if (path.isEmpty()) return false;
    QImage picture(path);
    if (picture.isNull()) {
        prompt_.Inform(Format(Render(msg::sculpt::kPictureUnreadable, ws_.app.language).c_str(),
                              path.toStdString().c_str()),
                       PromptIcon::Warning);
        return false;
    }
    // Stretched over the whole grid.
    view_->SetBackground(picture, QRect(0, 0, ws_.layout.grid.cols * 10, ws_.layout.grid.rows * 10));
    return true;
}

bool CSculptFrame::CurrentFrameAsBackground() {
    if (!ws_.frames.HasCurrent() || ws_.frames.CurrentClip().frames.empty()) return false;
    const Clip& clip = ws_.frames.CurrentClip();
    const Frame& frame = clip.frames[static_cast<std::size_t>(std::clamp<int>(ws_.app.currentFrame, 0, static_cast<int>(clip.frames.size()) - 1))];
    const int w = static_cast<int>(clip.width), h = static_cast<int>(clip.height);
    QImage picture(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Bgr c = frame.Pixel(x, y);
            picture.setPixel(x, y, qRgb(c.r, c.g, c.b));
        }
    }
    // A frame pixel on each cell when the sizes agree.
    view_->SetBackground(picture, QRect(0, 0, w * 10, h * 10));
    return true;
}

bool CSculptFrame::InputText(const QString& given, int height) {
    QString text = given;
    if (text.isEmpty()) {
        BackgroundTextDialog d(ws_.layout.grid.rows, ws_.app.language, ws_.strings, this);
        if (d.exec() != QDialog::Accepted || d.text().isEmpty()) return false;
        text = d.text();
        height = d.height();
    }
    const int cols = ws_.layout.grid.cols, rows = ws_.layout.grid.rows;
    QImage picture = view_->background().Empty() ? QImage() : view_->background().picture;
    QRect rect = view_->background().rect;
    if (picture.isNull() || rect != QRect(0, 0, cols * 10, rows * 10) || picture.size() != QSize(cols, rows)) {
        // Text goes on a picture of one pixel per cell; an earlier background is scaled onto it.
        QImage fresh(cols, rows, QImage::Format_RGB32);
        fresh.fill(Qt::black);
        if (!picture.isNull()) {
            QPainter p(&fresh);
            p.drawImage(QRectF(rect.x() / 10.0, rect.y() / 10.0, rect.width() / 10.0, rect.height() / 10.0), picture);
        }
        picture = fresh;
        rect = QRect(0, 0, cols * 10, rows * 10);
    }
    {
        QPainter p(&picture);
        QFont font = p.font();
        font.setPixelSize(std::max(1, height));
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(picture.rect(), Qt::AlignCenter, text);
    }
    view_->SetBackground(picture, rect);
    return true;
}

bool CSculptFrame::BackPictureSize() {
    if (view_->background().Empty()) return false;
    const QRect r = view_->background().rect;
    const std::uint8_t lang = ws_.app.language;
    NumbersDialog d(RenderQt(msg::sculpt::kBackPictureSize, lang),
                    {{RenderQt(msg::sculpt::kWidthCellsLabel, lang), 1, 65535, std::max(1, r.width() / 10)},
                     {RenderQt(msg::sculpt::kHeightCellsLabel, lang), 1, 65535, std::max(1, r.height() / 10)}},
                    ws_.strings, this);
    if (d.exec() != QDialog::Accepted) return false;
    view_->SetBackgroundRect(QRect(r.x(), r.y(), d.value(0) * 10, d.value(1) * 10));
    return true;
}

bool CSculptFrame::FrameAdjust() {
    if (view_->background().Empty()) return false;
    const QRect r = view_->background().rect;
    const std::uint8_t lang = ws_.app.language;
    NumbersDialog d(RenderQt(msg::sculpt::kFrameAdjust, lang),
                    {{RenderQt(msg::sculpt::kLeftCellsLabel, lang), -65535, 65535, r.x() / 10},
                     {RenderQt(msg::sculpt::kTopCellsLabel, lang), -65535, 65535, r.y() / 10}},
                    ws_.strings, this);
    if (d.exec() != QDialog::Accepted) return false;
    view_->SetBackgroundRect(QRect(d.value(0) * 10, d.value(1) * 10, r.width(), r.height()));
    return true;
}

bool CSculptFrame::DeleteBackground() {
    if (view_->background().Empty()) return false;
    view_->DeleteBackground();
    return true;
}

bool CSculptFrame::LineOperate() {
    LineOperateDialog d(state_.currentLine, ws_.app.language, ws_.strings, prompt_, this);
    if (d.exec() != QDialog::Accepted) return false;
    const LineOperateValues v = d.values();
    using K = ops::LineOperationKind;
    static constexpr K kKinds[] = {K::Exchange, K::Unite, K::Delete, K::Move, K::Copy};
    ops::LineOperationRequest request{kKinds[static_cast<int>(v.operation)], v.a - 1, v.b - 1, v.to, v.dx, v.dy};
    switch (v.operation) {
        case LineOperation::Exchange:
        case LineOperation::Unite:
        case LineOperation::Delete:
        case LineOperation::Move:
            if (!ops::OperateLines(ws_, request, prompt_, {})) return false;
            break;
        case LineOperation::Copy: {
            // Lines a..b, only a when b is out of range.
            if (request.b < 0 || request.b >= kLineCount) request.b = request.a;
            const auto copied = ops::OperateLines(ws_, request, prompt_, {});
            const std::vector<std::uint8_t>& bytes = copied->data;
            auto* data = new QMimeData;
            data->setData(QString::fromLatin1(kLayoutDataMime),
                          QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
            QApplication::clipboard()->setMimeData(data);
            view_->clipboard() = {};
            return true;
        }
    }
    Refresh();  // each operation marked the layout modified (undoable ones through their step)
    return true;
}

bool CSculptFrame::PasteSetting() {
    CellRect& r = view_->clipboard().source;
    const std::uint8_t lang = ws_.app.language;
    NumbersDialog d(RenderQt(msg::sculpt::kPasteSetting, lang),
                    {{QStringLiteral("x0:"), -65535, 65535, r.x0},
                     {QStringLiteral("y0:"), -65535, 65535, r.y0},
                     {QStringLiteral("x1:"), -65535, 65535, r.x1},
                     {QStringLiteral("y1:"), -65535, 65535, r.y1}},
                    ws_.strings, this);
    if (d.exec() != QDialog::Accepted) return false;
    r = {d.value(0), d.value(1), d.value(2), d.value(3)};
    return true;
}

}  // namespace corv
