#include "app/shell/CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QDesktopServices>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <optional>

#include "app/common/CFrameRangeDialog.h"
#include "app/common/CSizeDialog.h"
#include "app/shell/DocumentFingerprint.h"
#include "app/common/FileDialogFolders.h"
#include "app/shell/ManualViewer.h"
#include "app/common/PanelChoices.h"
#include "app/net/LiveOutput.h"
#include "app/net/NetworkFilePath.h"
#include "app/net/NetworkOutputDialog.h"
#include "app/frame/CVorlaneView.h"
#include "app/sculpt/CSculptFrame.h"
#include "app/design/CDesignFrame.h"
#include "app/preview/CLedPreviewFrame.h"
#include "app/preview/CSphereFrame.h"
#include "app/frame/PictureTextPanel.h"
#include "workspace/Settings.h"
#include "app/frame/ColourPanel.h"
#include "app/frame/PatternPanel.h"
#include "app/frame/StylePreview.h"
#include "app/shell/SystemSettingDialog.h"
#include "base/AppHome.h"
#include "workspace/WindowSettings.h"
#include "base/Prompt.h"
#include "lang/Language.h"
#include "lang/Localize.h"
#include "lang/Render.h"
#include "lang/QtText.h"
#include "lang/messages/ShellMessages.h"
#include "lang/messages/CommonMessages.h"
#include "lang/messages/NetMessages.h"
#include "lang/UiStrings.h"
#include "ops/Document.h"
#include "workspace/DocumentOps.h"
#include "workspace/FrameViewRules.h"
#include "workspace/Startup.h"
#include "workspace/Workspace.h"

#ifndef CORVANTINE_VERSION
#define CORVANTINE_VERSION "0.0.0"
#endif

namespace corv {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CMainFrame::CMainFrame(Workspace& ws, Prompt& prompt, QWidget* parent)
    : QMainWindow(parent),
      ws_(ws),
      prompt_(prompt),
      startProgram_([](const QString& program, const QStringList& arguments) {
          return QProcess::startDetached(program, arguments);
      }),
      openFile_([](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }) {
    setObjectName(QStringLiteral("CMainFrame"));
    views_ = new QStackedWidget(this);
    canvas_ = new CVorlaneView(ws_, views_);
    canvas_->setObjectName(QStringLiteral("frameView"));
    views_->addWidget(canvas_);
    sculpt_ = new CSculptFrame(ws_, prompt_, views_);
    views_->addWidget(sculpt_);
    connect(sculpt_, &CSculptFrame::returned, this, &CMainFrame::LeaveSculpt);
    // The commissioning patterns go out through the live output.
    sculpt_->startLive = [this]() -> std::optional<std::size_t> {
        if (!SetLiveOutput(true, false)) return std::nullopt;
        return live_->controllerCount();
    };
    sculpt_->offerLive = [this](const Frame& frame) { OfferLive(frame); };
    sculpt_->endLive = [this] { OfferLiveFrame(); };
    sculpt_->playRate = [this] { return speed_ ? speed_->value() : 20; };
    design_ = new CDesignFrame(ws_, prompt_, views_);
    views_->addWidget(design_);
    design_->playInterval = [this] { return playInterval(); };
    design_->wantsPlayedFrames = [this] { return liveOutputOn(); };
    design_->playedFrame = [this](const Frame& frame) { OfferLive(frame); };
    connect(design_, &CDesignFrame::returned, this, &CMainFrame::LeaveSculpt);
    // A layout edit changes only the layout's part of the mark: the document's digest is not
    // taken again for every click in the sculpt window.
    connect(sculpt_, &CSculptFrame::modifiedChanged, this, &CMainFrame::ShowModified);
    connect(design_, &CDesignFrame::modifiedChanged, this, &CMainFrame::UpdateModified);
    connect(design_, &CDesignFrame::framesAdded, this, [this] {
        UpdateFrameCount();
        UpdateTitle();
        canvas_->update();
        OfferLiveFrame();
    });
    PreviewHost host;
    host.playRate = [this] { return speed_ ? speed_->value() : 30; };
    host.frameShown = [this](int number) { FrameNumberShown(number); };
    sphere_ = new CSphereFrame(ws_, host, views_);
    views_->addWidget(sphere_);
    connect(sphere_, &CSphereFrame::returned, this, &CMainFrame::LeaveSculpt);
    ledPreview_ = new CLedPreviewFrame(ws_, host, views_);
    views_->addWidget(ledPreview_);
    connect(ledPreview_, &CLedPreviewFrame::returned, this, &CMainFrame::LeaveSculpt);
    // New may have given the only clip the layout's size: the frame view starts afresh.
    connect(sculpt_, &CSculptFrame::layoutReplaced, this, [this] {
        canvas_->ResetEditBuffers();
        UpdateFrameCount();
        UpdateTitle();
        RestartLive();
    });
    setCentralWidget(views_);

    BuildSidePanel();
    BuildMenus();
    BuildControlBar();
    ConnectEditState();
    setAcceptDrops(true);

    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setMaximumWidth(240);
    progress_->hide();
    frameCountPane_ = new QLabel(this);
    statusBar()->addPermanentWidget(progress_);
    statusBar()->addPermanentWidget(frameCountPane_);
    connect(canvas_, &CVorlaneView::strokeStarted, this, &CMainFrame::Stop);
    connect(canvas_, &CVorlaneView::frameEdited, this, &CMainFrame::OfferLiveFrame);
    connect(canvas_, &CVorlaneView::statusMessage, this, [this](const QString& text) { statusBar()->showMessage(text); });

    ws_.frames.SetListener(this);
    ClipEntriesChanged(ws_.frames.Count(), ws_.frames.current());
    UpdateFrameCount();
    UpdateTitle();
    MarkClean(Q(ws_.documentPath.string()));
    resize(1200, 800);
}

CMainFrame::~CMainFrame() {
    // The panels' choices for the next start, while the panels are still there.
    SavePanelChoices(ws_, patternPanel_, {QStringLiteral("makeFrameNumber")});
    SaveTextFont(ws_, patternPanel_->pictureTextPanel()->textFont(), patternPanel_->pictureTextPanel()->textColour(), textFontAsMade_);
    SaveLinePanelState(ws_, sculpt_->panelState());
    // The base class hides the children after this part of the window is gone: their signals
    // must not reach it any more.
    disconnect(sidePanel_, nullptr, this, nullptr);
    disconnect(canvas_, nullptr, this, nullptr);
    Stop();
    if (ws_.frames.listener() == this) {
        ws_.frames.SetListener(nullptr);
    }
}

void CMainFrame::SetDocumentName(const QString& name) {
    setWindowTitle(name + QStringLiteral("[*] - Corvantine"));
    UpdateModified();
}

void CMainFrame::SetProgress(int percent) {
    if (percent <= 0) {
        progress_->hide();
        return;
    }
    progress_->setValue(std::min(percent, 100));
    progress_->show();
}

ProgressFn CMainFrame::Progress() {
    return [this, last = -1](int percent) mutable {
        if (percent == last) {
            return;
        }
        last = percent;
        SetProgress(percent);
        // Repaint the bar during the blocking operation without taking user input.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

void CMainFrame::UpdateTitle() {
    const auto& path = ws_.documentPath;
    SetDocumentName(path.empty() ? RenderQt(msg::common::kUntitled, ws_.app.language) : QString::fromStdString(path.filename().string()));
}

bool CMainFrame::FileNew() {
    bool made = ws_.frames.Count() == 0;  // the first document is made without asking
    OnNewDocument(ws_, [this, &made](SizeDialogModel& model) {
        std::optional<FrameSize> size = CSizeDialog::Ask(model, ws_.strings, this);
        made = size.has_value();
        return size;
    });
    if (made) {
        MarkClean({});
        canvas_->ResetEditBuffers();
        canvas_->ImageCenter();
        UpdateEditActions();
    }
    UpdateTitle();
    return made;
}

bool CMainFrame::FileOpen(const QString& given) {
    QString path = given;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, QString(), LastFolder(ws_, FileKind::Document, StartFolder()),
                                            RenderQt(msg::shell::kOpenDocumentFilter, ws_.app.language));
    }
    if (path.isEmpty()) {
        return false;
    }
    if (given.isEmpty()) RememberFolder(ws_, FileKind::Document, path);
    // A failure is told by the operation.
    const bool ok = ops::OpenDocument(ws_, ops::OpenDocumentRequest{path.toStdString()}, prompt_, Progress()).ok();
    if (ok) {
        MarkClean(path);
        Remember(path);
        canvas_->ResetEditBuffers();
        canvas_->ImageCenter();
        UpdateEditActions();
    }
    UpdateTitle();
    return ok;
}

bool CMainFrame::FileSave() {
    // A project never saved asks for a name; a failure is told by the operation.
    const auto saved = ops::SaveDocument(ws_, ops::SaveDocumentRequest{}, prompt_, Progress());
    if (!saved) {
        return saved.failure().code == ops::kSaveNoPath ? FileSaveAs() : false;
    }
    MarkClean(Q(saved->path.string()));
    return true;
}

bool CMainFrame::FileSaveAs(const QString& given) {
    QString path = given;
    if (path.isEmpty()) {
        QFileDialog dialog(this, QString(), LastFolder(ws_, FileKind::Document, StartFolder()), RenderQt(msg::shell::kSaveDocumentFilter, ws_.app.language));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("cvn"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return false;
        }
        path = dialog.selectedFiles().front();
        RememberFolder(ws_, FileKind::Document, path);
    }
    const bool ok = ops::SaveDocument(ws_, ops::SaveDocumentRequest{path.toStdString()}, prompt_, Progress()).ok();
    if (ok) {
        MarkClean(path);
        Remember(path);
    }
    UpdateTitle();
    return ok;
}

bool CMainFrame::Supplemental() {
    if (!ws_.frames.HasCurrent()) {
        return false;
    }
    const int count = static_cast<int>(ws_.frames.CurrentFrames().size());
    const FrameRange initial = InitialSupplementalRange(ws_.app.currentFrame, count);
    CFrameRangeDialog range(initial.start, initial.end, count, ws_.strings, this);
    if (range.exec() != QDialog::Accepted) {
        return false;
    }
    const QString target = QFileDialog::getOpenFileName(this, QString(), LastFolder(ws_, FileKind::Document, StartFolder()),
                                                        Q(ws_.strings.cvnFilter));
    if (target.isEmpty()) {
        return false;
    }
    RememberFolder(ws_, FileKind::Document, target);
    ops::AppendFramesRequest request;
    request.target = target.toStdString();
    request.first = static_cast<std::size_t>(range.start() - 1);
    request.end = static_cast<std::size_t>(range.end());
    return ops::AppendFrames(ws_, request, prompt_, Progress()).ok();  // a failure is told by the operation
}

bool CMainFrame::UniteFile() {
    // The merge tool is a program of its own beside this one; it runs in our language.
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/fusebind");
    const int language = UsesChinese(ws_.app.language) ? int{ws_.app.language} : int{kLanguageEnglish};
    if (!startProgram_(tool, {QStringLiteral("--lang"), QString::number(language)})) {
        prompt_.Inform(texts::kOpenFileFail + std::string(" ") + tool.toStdString(), PromptIcon::Warning);
        return false;
    }
    return true;
}

void CMainFrame::About() {
    QMessageBox box(QMessageBox::NoIcon, Q(ws_.strings.aboutTitle),
                    Q(Format(ws_.strings.aboutText.c_str(), CORVANTINE_VERSION)), QMessageBox::Ok, this);
    const QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) {
        box.setIcon(QMessageBox::Information);
    } else {
        box.setIconPixmap(icon.pixmap(64, 64));
    }
    box.button(QMessageBox::Ok)->setText(Q(ws_.strings.buttonOk));
    box.exec();
}

void CMainFrame::MarkClean(const QString& path) {
    documentFile_ = path;
    cleanState_ = CaptureDocumentState(ws_);
    ws_.frameUndo.MarkSaved();
    if (design_) design_->MarkSaved();
    UpdateModified();
}

void CMainFrame::SetDocumentFile(const QString& path) {
    documentFile_ = path;
    Remember(path);
}

QString CMainFrame::StartFolder() const {
    // File dialogs open where the document is (or was last saved).
    const QString file = documentFile_.isEmpty() ? Q(ws_.documentPath.string()) : documentFile_;
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
}

std::optional<PixelRect> CMainFrame::editArea() const { return canvas_->editArea(); }

bool CMainFrame::IsModified() const {
    // The histories answer cheaply while they are away from the saved state; the digest
    // catches what changed outside them.
    if (!ws_.frameUndo.AtSaved() || (design_ && design_->IsModified())) return true;
    return !MatchesDocumentState(cleanState_, ws_);
}

void CMainFrame::UpdateModified() {
    documentModified_ = IsModified();
    ShowModified();
}

void CMainFrame::ShowModified() {
    setWindowModified(documentModified_ || (sculpt_ && views_ && views_->currentWidget() == sculpt_ && ws_.layout.modified));
}

bool CMainFrame::SaveModified() {
    if (!IsModified()) {
        return true;
    }
    switch (prompt_.AskYesNoCancel(ws_.strings.askSave)) {
        case Answer::Yes:
            return FileSave();
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

QString CMainFrame::RestartDocumentNow() const {
    if (ws_.documentPath.empty()) {
        return {};  // a new document that was never saved starts empty again
    }
    const QString file = documentFile_.isEmpty() ? Q(ws_.documentPath.string()) : documentFile_;
    const QFileInfo info(file);
    // A file that has gone away cannot be opened: start with a new document instead of
    // failing start-up.
    return info.isFile() ? info.absoluteFilePath() : QString();
}

void CMainFrame::BuildMenus() {
    const std::uint8_t lang = ws_.app.language;
    Handlers handlers;
    AddFileHandlers(handlers);
    AddEditHandlers(handlers);

    // The skin menu lives in the View menu; a command without a handler is shown, disabled.
    auto* languages = new QActionGroup(this);
    auto* skins = new QActionGroup(this);
    auto added = [this, languages, skins](const WindowCommand& entry, QAction* a, QMenu* menu) {
        if (entry.menu == static_cast<int>(MenuPlace::Language)) languages->addAction(a);
        if (entry.menu == static_cast<int>(MenuPlace::Skin)) skins->addAction(a);
        if (entry.id == cmd::kImportSequence && a->isEnabled()) {
            // The recent files follow the import commands.
            recentSeparator_ = menu->addSeparator();
            for (int i = 0; i < kRecentFileCount; ++i) {
                recentActions_[i] = menu->addAction(QString());
                recentActions_[i]->setData(kFirstRecentFile + i);
                connect(recentActions_[i], &QAction::triggered, this, [this, i] { OpenRecent(i); });
            }
        }
    };
    const BuiltMenus built = BuildMenuBar(menuBar(), MenuTitles(), CommandTable(), lang, this, handlers, added);
    for (const auto& [id, a] : built.actions) actions_[id] = a;
    langActions_[0] = actions_[cmd::kLanguageSimplified];
    langActions_[1] = actions_[cmd::kLanguageTraditional];
    langActions_[2] = actions_[cmd::kLanguageEnglish];
    CheckRunningLanguage();
    UpdateSkinChecks();
    UpdateRecentMenu();

    // Keys of the frame view that have no menu entry.
    auto* design = new QAction(this);
    design->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_E));
    design->setData(cmd::kDesignView);
    connect(design, &QAction::triggered, this, &CMainFrame::EnterDesign);
    addAction(design);
    actions_[cmd::kDesignView] = design;
    auto* sideTab = new QAction(this);
    sideTab->setShortcut(QKeySequence(Qt::Key_F2));
    connect(sideTab, &QAction::triggered, this, &CMainFrame::SwitchSideTab);
    addAction(sideTab);
}

void CMainFrame::AddFileHandlers(Handlers& h) {
    h[cmd::kNew] = [this](bool) {
        if (SaveModified()) FileNew();
    };
    h[cmd::kOpen] = [this](bool) {
        if (SaveModified()) FileOpen();
    };
    h[cmd::kSave] = [this](bool) { FileSave(); };
    h[cmd::kSaveAs] = [this](bool) { FileSaveAs(); };
    h[cmd::kSupplemental] = [this](bool) { Supplemental(); };
    h[cmd::kOutputControllerFile] = [this](bool) { OutputControllerFile(); };
    h[cmd::kImportControllerFile] = [this](bool) { ImportControllerFile(); };
    h[cmd::kExportSequence] = [this](bool) { ExportSequence(); };
    h[cmd::kImportSequence] = [this](bool) { ImportSequence(); };
    h[cmd::kImport] = [this](bool) { Import(); };
    h[cmd::kExportVideo] = [this](bool) { ExportVideo(); };
    h[cmd::kVideoOptions] = [this](bool) { VideoOptions(); };
    h[cmd::kVideoCapture] = [this](bool) { VideoCapture(); };
    h[cmd::kPaintEdit] = [this](bool) { PaintEdit(); };
    h[cmd::kUniteFile] = [this](bool) { UniteFile(); };
    h[cmd::kExit] = [this](bool) { close(); };
    h[cmd::kShowGrid] = [this](bool on) { canvas_->SetShowGrid(on); };
    h[cmd::kImageCenter] = [this](bool) { canvas_->ImageCenter(); };
    h[cmd::kToolsbar] = [this](bool on) { sidePanel_->setVisible(on); };
    h[cmd::kStatusBar] = [this](bool on) { statusBar()->setVisible(on); };
    h[cmd::kReturn] = [this](bool) {
        views_->setCurrentWidget(canvas_);
        canvas_->setFocus();
    };
    h[cmd::kLineSetting] = [this](bool) { EnterSculpt(); };
    h[cmd::kSphereView] = [this](bool) { EnterSphere(); };
    h[cmd::kLedPreview] = [this](bool) { EnterLedPreview(); };
    h[cmd::kSystemSetting] = [this](bool) { SystemSetting(); };
    for (int skin = 0; skin < 4; ++skin) h[cmd::kSkinNone + skin] = [this, skin](bool) { ChooseSkin(skin); };
    h[cmd::kLanguageSimplified] = [this](bool) { OnLanguage(kLanguageSimplified); };
    h[cmd::kLanguageTraditional] = [this](bool) { OnLanguage(kLanguageTraditional); };
    h[cmd::kLanguageEnglish] = [this](bool) { OnLanguage(kLanguageEnglish); };
    h[cmd::kHelp] = [this](bool) { Help(); };
    h[cmd::kAbout] = [this](bool) { About(); };
    h[cmd::kLiveOutput] = [this](bool on) { SetLiveOutput(on); };
    h[cmd::kNetworkOutput] = [this](bool) { NetworkOutput(); };
}

QAction* CMainFrame::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::BuildSidePanel() {
    // The side panel's two tabs receive the pattern panel and the colour panel.
    sidePanel_ = new QDockWidget(this);
    sidePanel_->setObjectName(QStringLiteral("sidePanel"));
    sidePanel_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetClosable);
    sideTabs_ = new QTabWidget(sidePanel_);
    sideTabs_->setObjectName(QStringLiteral("sideTabs"));
    const std::uint8_t lang = ws_.app.language;
    patternPanel_ = new PatternPanel(lang, ws_.strings, sideTabs_);
    PictureTextPanel* pictureText = patternPanel_->pictureTextPanel();
    pictureText->SetSteps(ws_.app.frameWidth);  // "Make frame number:" starts at the frame width
    pictureText->workingSize = [this] {
        const Frame* f = ws_.frames.CurrentFrame();
        if (!f) return QSize(ws_.app.frameWidth, ws_.app.frameHeight);
        const PixelRect r = TargetRect(f->width(), f->height(), canvas_->editArea());
        return QSize(r.width(), r.height());
    };
    pictureText->background = [this] {
        return QColor(ws_.app.backgroundColour.r, ws_.app.backgroundColour.g, ws_.app.backgroundColour.b);
    };
    // The style preview draws on the current frame's size with the colour list.
    patternPanel_->preview()->scene = [this] {
        PreviewScene scene;
        const Frame* f = ws_.frames.CurrentFrame();
        scene.size = f ? QSize(f->width(), f->height()) : QSize(ws_.app.frameWidth, ws_.app.frameHeight);
        scene.colours = ws_.colourPanel.list;
        scene.background = ws_.app.backgroundColour;
        scene.layout = std::make_shared<const Layout>(ws_.layout);
        return scene;
    };
    pictureText->openEntry = [this](const QString& path, bool text) {
        // Text files in the desktop's editor; pictures in the configured painting program.
        const QString painter = ws_.config ? QString::fromStdString(ws_.config->GetString(keys::kPaintPath)) : QString();
        if (!text && !painter.isEmpty() && QFileInfo(painter).isExecutable()) {
            startProgram_(painter, {path});
        } else {
            openFile_(path);
        }
    };
    sideTabs_->addTab(patternPanel_, Q(ws_.strings.tabDesign));
    colourPanel_ = new ColourPanel(ws_, prompt_, sideTabs_);
    sideTabs_->addTab(colourPanel_, Q(ws_.strings.tabColor));
    // A click on a sub-style, or a number key in the frame view, runs the generator.
    connect(patternPanel_, &PatternPanel::runRequested, this, [this](GeneratorMode mode, int style) { RunGenerator(mode, style); });
    connect(canvas_, &CVorlaneView::numberKey, patternPanel_, &PatternPanel::RunEntry);
    // The frame view draws with the panel's tool and colour.
    connect(colourPanel_, &ColourPanel::toolChanged, canvas_, &CVorlaneView::SetDrawingTool);
    // The panels as the user left them; "Make frame number:" starts at the frame width.
    pictureText->workspace = &ws_;
    RestorePanelChoices(ws_, patternPanel_, {QStringLiteral("makeFrameNumber")});
    textFontAsMade_ = pictureText->textFont();
    QFont font = textFontAsMade_;
    QColor colour;
    if (RestoreTextFont(ws_, font, colour)) pictureText->SetFont(font, colour);
    sidePanel_->setWidget(sideTabs_);
    sidePanel_->setMinimumWidth(220);
    addDockWidget(Qt::LeftDockWidgetArea, sidePanel_);
    connect(sidePanel_, &QDockWidget::visibilityChanged, this, [this](bool) {
        if (QAction* a = action(cmd::kToolsbar)) a->setChecked(!sidePanel_->isHidden());
    });
}

void CMainFrame::SwitchSideTab() {
    if (sideTabs_->count() > 1) sideTabs_->setCurrentIndex((sideTabs_->currentIndex() + 1) % sideTabs_->count());
}

// --- recent files, help, settings, skins, dropped files ---------------------------------------

QStringList CMainFrame::recentFiles() const {
    QStringList list;
    for (const std::string& f : ReadRecentFiles(ws_.ConfigPath())) list << Q(f);
    return list;
}

void CMainFrame::UpdateRecentMenu() {
    const QStringList list = recentFiles();
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = recentActions_[i];
        if (!a) return;
        a->setVisible(i < list.size());
        if (i < list.size()) {
            // "&1 name" with the folder in the tooltip and the status tip.
            a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(list[i]).fileName()));
            a->setStatusTip(list[i]);
            a->setToolTip(list[i]);
        }
    }
    if (recentSeparator_) recentSeparator_->setVisible(!list.isEmpty());
}

void CMainFrame::Remember(const QString& path) {
    if (path.isEmpty()) return;
    AddRecentFile(ws_.ConfigPath(), path.toStdString());
    UpdateRecentMenu();
}

bool CMainFrame::OpenRecent(int index) {
    const QStringList list = recentFiles();
    if (index < 0 || index >= list.size() || !SaveModified()) return false;
    if (FileOpen(list[index])) return true;
    // A file that cannot be opened leaves the list (its message was shown).
    RemoveRecentFile(ws_.ConfigPath(), list[index].toStdString());
    UpdateRecentMenu();
    return false;
}

bool CMainFrame::Help() {
    const std::filesystem::path program = QCoreApplication::applicationDirPath().toStdString();
    const std::vector<std::filesystem::path> folders = {InstalledDataDir(program), ws_.home, program};
    const auto manual = FindHelpFile(ws_.app.language, folders);
    if (manual.empty()) {
        prompt_.Inform(ManualViewer::MissingText(ws_.app.language, Q(HelpFileName(ws_.app.language)), folders).toStdString(),
                       PromptIcon::Warning);
        return false;
    }
    // The manual shows in the program's own viewer; the desktop's viewer only when asked for.
    if (!manualViewer_) {
        manualViewer_ = new ManualViewer(prompt_, ws_.app.language,
                                         [this](const QString& path) { return openFile_(path); }, this);
    }
    // Shown again where the reader left it when it is still the same manual.
    const bool open = manualViewer_->path() == Q(manual.string()) && manualViewer_->pageCount() > 0;
    const QString problem = open ? QString() : manualViewer_->Open(Q(manual.string()));
    if (problem.isEmpty()) {
        manualViewer_->show();
        manualViewer_->raise();
        manualViewer_->activateWindow();
        return true;
    }
    const std::string question = (problem + QLatin1Char('\n') + ManualViewer::AskExternalText(ws_.app.language)).toStdString();
    if (prompt_.AskYesNo(question) != Answer::Yes) return false;
    if (openFile_(Q(manual.string()))) return true;
    prompt_.Inform(ManualViewer::NoDesktopViewerText(ws_.app.language, Q(manual.string())).toStdString(),
                   PromptIcon::Warning);
    return false;
}

bool CMainFrame::SystemSetting() {
    const auto chosen = SystemSettingDialog::Ask(ReadSystemSettings(ws_), ws_.app.language, ws_.strings, this);
    if (!chosen) return false;
    ApplySystemSettings(ws_, *chosen);
    canvas_->GridScaleChanged();
    return true;
}

void CMainFrame::UpdateSkinChecks() {
    for (int skin = 0; skin < 4; ++skin) {
        if (QAction* a = action(cmd::kSkinNone + skin)) a->setChecked(ws_.app.skin == skin);
    }
}

void CMainFrame::ChooseSkin(int skin) {
    const SkinChange change = ChangeSkin(ws_, prompt_, skin);
    UpdateSkinChecks();
    if (change == SkinChange::Restart) {
        skinRestart_ = true;
        close();  // asks about unsaved changes; Cancel keeps the program running
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    // One document is open at a time: the first file dropped is opened.
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        event->acceptProposedAction();
        const QString path = url.toLocalFile();
        // The question about unsaved changes waits until the drop has finished.
        QTimer::singleShot(0, this, [this, path] {
            if (SaveModified()) FileOpen(path);
        });
        return;
    }
}

QAction* CMainFrame::languageAction(int code) const {
    if (code < 1 || code > 3) {
        return nullptr;
    }
    return langActions_[code - 1];
}

void CMainFrame::BuildControlBar() {
    QToolBar* bar = addToolBar(RenderQt(msg::shell::kControlBar, ws_.app.language));
    bar->setObjectName(QStringLiteral("controlBar"));
    bar->setMovable(false);

    frameScroll_ = new QScrollBar(Qt::Horizontal, bar);
    frameScroll_->setObjectName(QStringLiteral("1012"));
    frameScroll_->setRange(1, 100);
    frameScroll_->setSingleStep(1);
    frameScroll_->setPageStep(10);
    frameScroll_->setMinimumWidth(240);
    bar->addWidget(frameScroll_);

    frameNumber_ = new QSpinBox(bar);
    frameNumber_->setObjectName(QStringLiteral("1013"));
    frameNumber_->setRange(1, 100000000);
    frameNumber_->setValue(1);
    bar->addWidget(frameNumber_);

    bar->addSeparator();
    speed_ = new QSpinBox(bar);
    speed_->setObjectName(QStringLiteral("1049"));
    speed_->setRange(1, 1000);
    speed_->setValue(30);
    speed_->setSuffix(RenderQt(msg::shell::kFramesPerSecondSuffix, ws_.app.language));
    bar->addWidget(speed_);
    if (QAction* live = action(cmd::kLiveOutput)) {
        auto* button = new QToolButton(bar);
        button->setObjectName(QStringLiteral("liveOutput"));
        button->setDefaultAction(live);  // checked with the menu's command
        bar->addWidget(button);
    }

    bar->addSeparator();
    clipSelector_ = new QComboBox(bar);
    clipSelector_->setObjectName(QStringLiteral("1236"));
    clipSelector_->setMinimumWidth(120);
    bar->addWidget(clipSelector_);

    connect(frameScroll_, &QScrollBar::valueChanged, this, [this](int v) {
        if (!updating_) {
            frameNumber_->setValue(v);
        }
    });
    connect(frameNumber_, &QSpinBox::valueChanged, this, &CMainFrame::OnFrameNumberChanged);
    // A new speed inside 10..80 takes effect at once while playing; others are ignored.
    connect(speed_, &QSpinBox::valueChanged, this, [this](int v) {
        if (SpeedAccepted(v) && playing()) playTimer_->start(PlayInterval(v));
    });
    connect(clipSelector_, &QComboBox::activated, this, [this](int index) {
        if (index == ws_.frames.current()) return;
        ws_.frames.Select(index);
        // The history belongs to the clip it was made on.
        canvas_->ResetEditBuffers();
        UpdateEditActions();
    });
}

void CMainFrame::OnFrameNumberChanged(int number) {
    if (updating_ || !ws_.frames.HasCurrent()) {
        return;
    }
    const int count = static_cast<int>(ws_.frames.CurrentFrames().size());
    updating_ = true;
    frameScroll_->setRange(1, std::max(1, count));
    frameScroll_->setValue(number);
    updating_ = false;
    ws_.app.currentFrame = std::clamp(number - 1, 0, std::max(0, count - 1));
    UpdateFrameCount();
    canvas_->update();
    OfferLiveFrame();
}

void CMainFrame::UpdateFrameCount() {
    const int count = ws_.frames.HasCurrent() ? static_cast<int>(ws_.frames.CurrentFrames().size()) : 0;
    frameCountPane_->setText(Q(Format(ws_.strings.frameCount.c_str(), count)));
}

void CMainFrame::ClipEntriesChanged(int count, int selected) {
    clipSelector_->clear();
    for (int i = 1; i <= count; ++i) {
        clipSelector_->addItem(Q(Format(ws_.strings.sceneFormat.c_str(), i)));
    }
    clipSelector_->setCurrentIndex(selected);
    // Clips came or went and another may be current: the history was made on the old one.
    canvas_->ResetEditBuffers();
    UpdateEditActions();
    OfferLiveFrame();
}

void CMainFrame::FrameNumberShown(int number) {
    frameNumber_->setValue(number);
    OnFrameNumberChanged(number);
}

void CMainFrame::RedrawRequested() {
    UpdateFrameCount();
    canvas_->update();
    OfferLiveFrame();
}

void CMainFrame::CheckRunningLanguage() {
    for (int i = 0; i < 3; ++i) {
        langActions_[i]->setChecked(ws_.app.language == i + 1);
    }
}

void CMainFrame::OnLanguage(int code) {
    // The running language stays ticked: the new one shows once the program runs in it.
    CheckRunningLanguage();
    // The restart closes the document: changes are saved or dropped first, and Cancel keeps
    // both the document and the language.
    if (code != ws_.app.language && !SaveModified()) {
        return;
    }
    if (ChangeLanguage(ws_, code)) {
        saveAsked_ = true;
        close();
    }
}

void CMainFrame::EnterSculpt() { EnterPage(sculpt_); }

void CMainFrame::EnterDesign() { EnterPage(design_); }

bool CMainFrame::EnterSphere() {
    if (ws_.layout.setting.lineCount == 0 && !ws_.layout.grid.IsSphere()) LoadLayoutInUse();
    if (!ws_.layout.grid.IsSphere()) {
        statusBar()->showMessage(RenderQt(msg::shell::kSphereLayoutsOnly, ws_.app.language), 5000);
        return false;
    }
    EnterPage(sphere_);
    return true;
}

void CMainFrame::EnterLedPreview() {
    if (ws_.layout.setting.lineCount == 0) LoadLayoutInUse();
    EnterPage(ledPreview_);
}

void CMainFrame::EnterPage(QWidget* page) {
    Stop();
    auto* bar = findChild<QToolBar*>(QStringLiteral("controlBar"));
    mainChrome_ = {menuBar()->isVisible(), sidePanel_->isVisible(), bar && bar->isVisible(), statusBar()->isVisible()};
    // The sculpt window brings its own menus, panel and status bar; the main window's keys
    // go quiet with its hidden menus.
    menuBar()->hide();
    sidePanel_->hide();
    if (bar) bar->hide();
    statusBar()->hide();
    views_->setCurrentWidget(page);
    UpdateModified();
    actions_[cmd::kDesignView]->setEnabled(false);  // the frame view's key
    if (page == sculpt_) sculpt_->Enter();
    if (page == design_) design_->Enter();
    if (page == sphere_ || page == ledPreview_) {
        // The previews play the clip: the frame number stays in view.
        if (bar) bar->show();
        if (page == sphere_) sphere_->Enter();
        else ledPreview_->Enter();
    }
}

void CMainFrame::LeaveSculpt() {
    const bool fromSculpt = views_->currentWidget() == sculpt_;
    auto* bar = findChild<QToolBar*>(QStringLiteral("controlBar"));
    menuBar()->setVisible(mainChrome_[0]);
    sidePanel_->setVisible(mainChrome_[1]);
    if (bar) bar->setVisible(mainChrome_[2]);
    statusBar()->setVisible(mainChrome_[3]);
    views_->setCurrentWidget(canvas_);
    UpdateModified();
    actions_[cmd::kDesignView]->setEnabled(true);
    canvas_->update();
    canvas_->setFocus();
    if (fromSculpt) RestartLive();  // the lines may have changed, or the line file
    else OfferLiveFrame();           // the frame view's frame, after the design's or a preview's
}

bool CMainFrame::inSculpt() const { return views_->currentWidget() == sculpt_; }
bool CMainFrame::inDesign() const { return views_->currentWidget() == design_; }

// --- live output to networked controllers ------------------------------------------------------

bool CMainFrame::liveOutputOn() const { return live_ && live_->running(); }

bool CMainFrame::SetLiveOutput(bool on, bool sendFrame) {
    const std::uint8_t lang = ws_.app.language;
    QAction* command = action(cmd::kLiveOutput);
    auto refuse = [&](const std::string& why) {
        if (live_) live_->Stop();
        if (liveKeepAlive_) liveKeepAlive_->stop();
        if (command) command->setChecked(false);
        if (!why.empty()) prompt_.Inform(Render(msg::net::kLiveOutputCannotStart, lang, {why}), PromptIcon::Warning);
        return false;
    };
    if (!on) {
        if (liveOutputOn()) {
            const auto stats = live_->Stop();
            statusBar()->showMessage(RenderQt(msg::net::kLiveOutputStopped, lang,
                                              {QString::number(stats.framesSent), QString::number(stats.framesDropped)}),
                                     5000);
        }
        return refuse({});
    }
    if (ws_.layout.setting.lineCount == 0) LoadLayoutInUse();
    const std::filesystem::path file = NetworkFileInUse(ws_);
    if (file.empty()) return refuse(Render(msg::net::kNoLineFileInUse, lang));
    if (!EnsureLayout()) return refuse({});  // the message was shown
    if (!live_) live_ = std::make_unique<LiveOutput>(ws_);
    const Frame* frame = ws_.frames.CurrentFrame();
    const FrameShape shape = frame ? FrameShape{frame->height(), frame->width()}
                                   : FrameShape{ws_.layout.grid.rows, ws_.layout.grid.cols};
    if (auto started = live_->Start(file, shape); !started) return refuse(started.message());
    if (command) command->setChecked(true);
    if (!liveKeepAlive_) {
        // Receivers take a source that has gone quiet for a few seconds as lost: a frame that
        // stays as it is goes out again every second.
        liveKeepAlive_ = new QTimer(this);
        liveKeepAlive_->setInterval(1000);
        connect(liveKeepAlive_, &QTimer::timeout, this, [this] {
            if (liveOutputOn()) LiveOffered(live_->Resend());
        });
    }
    statusBar()->showMessage(RenderQt(msg::net::kLiveOutputStarted, lang, {QString::number(live_->controllerCount())}),
                             5000);
    if (!live_->warnings().empty()) {
        std::string text;
        for (const std::string& warning : live_->warnings()) text += (text.empty() ? "" : "\n") + warning;
        prompt_.Inform(text, PromptIcon::Warning);
    }
    if (sendFrame) OfferLiveFrame();
    return true;
}

void CMainFrame::RestartLive() {
    if (liveOutputOn()) SetLiveOutput(true);
}

void CMainFrame::OfferLiveFrame() {
    if (!liveOutputOn() || liveOfferPending_) return;
    liveOfferPending_ = true;
    // After the event that changed the frame: one offer however many places told of it. The
    // sender's thread sends; offering never waits for the network.
    QTimer::singleShot(0, this, [this] {
        liveOfferPending_ = false;
        if (const Frame* frame = ws_.frames.CurrentFrame()) OfferLive(*frame);
    });
}

void CMainFrame::OfferLive(const Frame& frame) {
    if (!liveOutputOn()) return;
    liveKeepAlive_->start();  // a second from this frame
    LiveOffered(live_->Offer(frame));
}

void CMainFrame::LiveOffered(const Result<Done>& offered) {
    if (offered) return;
    liveKeepAlive_->stop();
    if (QAction* command = action(cmd::kLiveOutput)) command->setChecked(false);
    prompt_.Inform(Render(msg::net::kLiveOutputCannotStart, ws_.app.language, {offered.message()}), PromptIcon::Warning);
}

bool CMainFrame::NetworkOutput() {
    if (ws_.layout.setting.lineCount == 0) LoadLayoutInUse();
    const std::filesystem::path file = NetworkFileInUse(ws_);
    if (file.empty()) {
        prompt_.Inform(Render(msg::net::kNoLineFileInUse, ws_.app.language), PromptIcon::Warning);
        return false;
    }
    NetworkOutputDialog dialog(ws_, file, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    RestartLive();  // a running output sends as the file now says
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // A changed layout is asked about first, as Return would.
    if (inSculpt() && !sculpt_->Return()) {
        event->ignore();
        return;
    }
    if (!saveAsked_ && !SaveModified()) {
        skinRestart_ = false;
        event->ignore();
        return;
    }
    Stop();
    restartRequested_ = LanguageRestartNeeded(ws_) || skinRestart_;
    restartDocument_ = restartRequested_ ? RestartDocumentNow() : QString();
    event->accept();
}

}  // namespace corv
