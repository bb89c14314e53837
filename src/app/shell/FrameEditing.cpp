// The main window's frame editing commands: the Edit menu's range operations on the current
// clip, the clipboard form of frames, undo and redo, and playback.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSpinBox>
#include <QTimer>

#include "app/shell/CMainFrame.h"
#include "app/common/CFrameRangeDialog.h"
#include "app/shell/CommandTable.h"
#include "app/frame/CVorlaneView.h"
#include "app/frame/ColorProcessDialog.h"
#include "app/frame/CFrameProcessDialog.h"
#include "app/frame/CPasteDialog.h"
#include "app/frame/CRangeOperateDialog.h"
#include "app/frame/CRowColDeleteDialog.h"
#include "app/frame/CStepsPasteDialog.h"
#include "app/frame/OtherStyleDialog.h"
#include "app/frame/ParticleDialog.h"
#include "app/frame/PictureTextPanel.h"
#include "app/frame/PatternPanel.h"
#include "base/FileUtil.h"
#include "ops/ColourProcess.h"
#include "ops/Frames.h"
#include "ops/Generate.h"
#include "base/Prompt.h"
#include "lang/Language.h"
#include "lang/QtText.h"
#include "lang/Render.h"
#include "lang/messages/ShellMessages.h"
#include "lang/UiStrings.h"
#include "workspace/FrameViewRules.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

// The frame block on the clipboard, if there is one that reads back whole.
std::optional<FrameBlock> ClipboardBlock(bool* present = nullptr) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const bool has = data && data->hasFormat(QString::fromLatin1(kFrameBlockMime));
    if (present) *present = has;
    if (!has) return std::nullopt;
    const QByteArray bytes = data->data(QString::fromLatin1(kFrameBlockMime));
    return DecodeFrameBlock(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
}

std::string DamagedBlockText(std::uint8_t language) {
    return Render(msg::shell::kDamagedClipboardBlock, language);
}

bool ClipboardHasBlock() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasFormat(QString::fromLatin1(kFrameBlockMime));
}

void PutOnClipboard(const FrameBlock& block) {
    const auto bytes = EncodeFrameBlock(block);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kFrameBlockMime),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    QApplication::clipboard()->setMimeData(data);
}

// A refusal of a frame operation: no clip and a range outside it do nothing without a word, as
// does a question answered No; any other refusal is told. Always false.
bool Refused(Prompt& prompt, const Failure& failure, int noClip, int outOfRange) {
    if (failure.code != noClip && failure.code != outOfRange && !failure.message.empty()) {
        prompt.Inform(failure.message, PromptIcon::Warning);
    }
    return false;
}

// Frames start .. end of a dialog (1-based, inclusive) as the operations take them.
std::size_t FirstOf(int start) { return static_cast<std::size_t>(start - 1); }
std::size_t EndOf(int end) { return static_cast<std::size_t>(end); }

}  // namespace

void CMainFrame::FramesChanged(std::size_t last) {
    const int count = static_cast<int>(ws_.frames.CurrentFrames().size());
    ws_.app.currentFrame = std::clamp(static_cast<int>(last), 0, std::max(0, count - 1));
    FrameNumberShown(ws_.app.currentFrame + 1);
    UpdateFrameCount();
    UpdateEditActions();
    canvas_->update();
}

void CMainFrame::UpdateEditActions() {
    EnableByRule(actions_, CommandTable(), EnabledRule::CanUndo, ws_.frameUndo.CanUndo());
    EnableByRule(actions_, CommandTable(), EnabledRule::CanRedo, ws_.frameUndo.CanRedo());
    UpdateModified();
    UpdatePasteActions();
}

void CMainFrame::UpdatePasteActions() {
    // Only whether a block is there: reading it waits for the paste.
    EnableByRule(actions_, CommandTable(), EnabledRule::ClipboardBlock, ClipboardHasBlock());
}

bool CMainFrame::CopyFrames(int start, int end) {
    ops::CopyFramesRequest request;
    request.first = FirstOf(start);
    request.end = EndOf(end);
    request.editArea = canvas_->editArea();
    const auto copied = ops::CopyFrames(ws_, request, prompt_, Progress());
    if (!copied) return Refused(prompt_, copied.failure(), ops::kCopyNoClip, ops::kCopyOutOfRange);
    PutOnClipboard(copied->block);
    UpdateEditActions();
    return true;
}

bool CMainFrame::CutFrames(int start, int end) {
    ops::CutFramesRequest request;
    request.first = FirstOf(start);
    request.end = EndOf(end);
    request.editArea = canvas_->editArea();
    const auto cut = ops::CutFrames(ws_, request, prompt_, Progress());
    if (!cut) return Refused(prompt_, cut.failure(), ops::kCutNoClip, ops::kCutOutOfRange);
    PutOnClipboard(cut->block);  // encoded before the history changes again
    FramesChanged(cut->last);
    return true;
}

bool CMainFrame::RepeatFrames(int start, int end, int times) {
    const auto repeated =
        ops::RepeatFrames(ws_, ops::RepeatFramesRequest{FirstOf(start), EndOf(end), times}, prompt_, Progress());
    if (!repeated) return Refused(prompt_, repeated.failure(), ops::kRepeatNoClip, ops::kRepeatOutOfRange);
    FramesChanged(repeated->last);
    return true;
}

bool CMainFrame::DeleteFrames(int start, int end, int spacing) {
    ops::DeleteFramesRequest request;
    request.first = FirstOf(start);
    request.end = EndOf(end);
    request.spacing = spacing;
    request.editArea = canvas_->editArea();
    const auto deleted = ops::DeleteFrames(ws_, request, prompt_, Progress());
    if (!deleted) return Refused(prompt_, deleted.failure(), ops::kDeleteNoClip, ops::kDeleteOutOfRange);
    FramesChanged(deleted->last);
    return true;
}

bool CMainFrame::PasteFrames(const PasteOptions& options) {
    bool present = false;
    auto block = ClipboardBlock(&present);
    // A damaged block is told of only where there are frames to paste into.
    if (!ws_.frames.HasCurrent() || ws_.frames.CurrentFrames().empty() || !present) return false;
    if (!block) {
        prompt_.Inform(DamagedBlockText(ws_.app.language), PromptIcon::Warning);
        return false;
    }
    ops::PasteFramesRequest request;
    request.block = std::move(*block);
    request.options = options;
    request.editArea = canvas_->editArea();
    // A block of another size is asked about on the way.
    const auto pasted = ops::PasteFrames(ws_, request, prompt_, Progress());
    if (!pasted) return Refused(prompt_, pasted.failure(), ops::kPasteNoClip, ops::kPasteOutOfRange);
    FramesChanged(pasted->last);
    return true;
}

bool CMainFrame::StepsPasteFrames(int start, int interval, bool backwards) {
    bool present = false;
    auto block = ClipboardBlock(&present);
    // A damaged block is told of only where there are frames to paste into.
    if (!ws_.frames.HasCurrent() || ws_.frames.CurrentFrames().empty() || !present) return false;
    if (!block) {
        prompt_.Inform(DamagedBlockText(ws_.app.language), PromptIcon::Warning);
        return false;
    }
    ops::StepsPasteRequest request;
    request.block = std::move(*block);
    request.start = static_cast<std::size_t>(std::max(start, 0));
    request.interval = interval;
    request.backwards = backwards;
    request.editArea = canvas_->editArea();
    // A block that fits neither way: "Size error!".
    const auto pasted = ops::StepsPasteFrames(ws_, request, prompt_, Progress());
    if (!pasted) return Refused(prompt_, pasted.failure(), ops::kStepsPasteNoClip, ops::kStepsPasteOutOfRange);
    FramesChanged(pasted->last);
    return true;
}

bool CMainFrame::MoveFrames(int start, int end, MoveDirection direction, int ranks, bool increments) {
    ops::MoveFramesRequest request;
    request.first = FirstOf(start);
    request.end = EndOf(end);
    request.direction = direction;
    request.ranks = ranks;
    request.increments = increments;
    request.editArea = canvas_->editArea();
    const auto moved = ops::MoveFrames(ws_, request, prompt_, Progress());
    if (!moved) return Refused(prompt_, moved.failure(), ops::kMoveNoClip, ops::kMoveOutOfRange);
    FramesChanged(moved->last);
    return true;
}

bool CMainFrame::RowColDeleteFrames(int start, int end, int keepRows, int deleteRows, int keepCols, int deleteCols) {
    ops::RowColDeleteRequest request;
    request.first = FirstOf(start);
    request.end = EndOf(end);
    request.keepRows = keepRows;
    request.deleteRows = deleteRows;
    request.keepCols = keepCols;
    request.deleteCols = deleteCols;
    request.editArea = canvas_->editArea();
    const auto deleted = ops::RowColDeleteFrames(ws_, request, prompt_, Progress());
    if (!deleted) return Refused(prompt_, deleted.failure(), ops::kRowColNoClip, ops::kRowColOutOfRange);
    FramesChanged(deleted->last);
    return true;
}

bool CMainFrame::InsertFrame() {
    const auto inserted = ops::InsertFrame(ws_, ops::InsertFrameRequest{}, prompt_, Progress());
    if (!inserted) return false;
    FramesChanged(inserted->at);
    return true;
}

int CMainFrame::RunGenerator(GeneratorMode mode, int style, const OtherOptions* preset) {
    if (const auto refusal = ops::GenerateRefusalOf(ws_)) {
        if (refusal->code == ops::kGenerateNoColours) prompt_.Inform(refusal->message, PromptIcon::Warning);
        return -1;
    }
    if (mode == GeneratorMode::Other && style >= 1 && style <= 3) {
        // Diffuse keeps its values in its file; the others for the session.
        const auto diffusing = ws_.home / kDiffusingFileName;
        OtherOptions initial = otherOptions_;
        if (style == 1) {
            const OtherOptions saved = LoadDiffusing(diffusing);
            initial.centreX = saved.centreX;
            initial.centreY = saved.centreY;
            initial.shape = saved.shape;
            initial.ringWidth = saved.ringWidth;
            initial.outward = saved.outward;
        }
        if (preset) {
            otherOptions_ = *preset;
        } else {
            OtherStyleDialog dialog(style, initial, ws_.app.language, ws_.strings, this);
            if (dialog.exec() != QDialog::Accepted) return -1;
            otherOptions_ = dialog.options();
        }
        if (style == 1) {
            auto saved = SaveDiffusing(diffusing, otherOptions_);
            if (!saved) prompt_.Inform(saved.failure().reason, PromptIcon::Warning);
        }
    }
    if (mode == GeneratorMode::Other && style == 0) {
        // The particle dialog keeps its values and picture for the session.
        if (particlePicture_.isNull()) particlePicture_ = ParticleDialog::HomePicture(ws_);
        if (!particlePreset_) {
            ParticleDialog dialog(ws_, prompt_, particleOptions_, particlePicture_, this);
            if (dialog.exec() != QDialog::Accepted) return -1;
            particleOptions_ = dialog.options();
            particlePicture_ = dialog.picture();
        }
    }
    if (mode == GeneratorMode::PictureAndText) {
        PictureTextPanel* panel = patternPanel_->pictureTextPanel();
        if (panel->paths().isEmpty() && !panel->hasTextPicture()) {
            prompt_.Inform(ws_.strings.noPicText, PromptIcon::Warning);
            return -1;
        }
    }
    const bool ports = mode == GeneratorMode::Moving && style >= 8;
    if (ports && !EnsureLayout()) return -1;
    Stop();
    ops::GenerateRequest request = patternPanel_->request(mode, style);
    request.editArea = canvas_->editArea();
    request.other = otherOptions_;
    request.particles = particleOptions_;
    request.particlePicture = particlePicture_;
    request.seed = static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch());  // the random styles differ run to run
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto made = ops::Generate(ws_, request, prompt_, Progress());
    QApplication::restoreOverrideCursor();
    patternPanel_->SetStep(made ? made->step : request.step);  // an invalid step was reset to 1
    if (!made) {
        prompt_.Inform(made.message(), PromptIcon::Warning);
        return -1;
    }
    FramesChanged(made->last);
    return made->made;
}

bool CMainFrame::DesignSwitchFrames(int start, int end, int kind, std::uint32_t seed) {
    // "Random" draws from the clock unless a seed is given; too few frames after the range is
    // the parameter message.
    const auto switched =
        ops::DesignSwitchFrames(ws_, ops::DesignSwitchRequest{FirstOf(start), EndOf(end), kind, seed}, prompt_, Progress());
    if (!switched) return Refused(prompt_, switched.failure(), ops::kSwitchNoClip, ops::kSwitchOutOfRange);
    FramesChanged(switched->last);
    return true;
}

bool CMainFrame::ColorProcessFrames(const ops::ColourProcessRequest& r) {
    if (ops::ColourProcessRefusalOf(ws_, r)) return false;
    // The wiring in use; a layout of another size changes nothing.
    if (r.mode == ops::ColourProcessRequest::Mode::ClearNonLed && ws_.layout.setting.lineCount == 0 && !EnsureLayout()) {
        return false;
    }
    ops::ColourProcessRequest request = r;
    request.editArea = canvas_->editArea();
    if (!ops::ProcessColours(ws_, request, prompt_, Progress())) return false;
    FramesChanged(static_cast<std::size_t>(ws_.app.currentFrame));
    return true;
}

bool CMainFrame::UndoFrames() {
    std::size_t touched = 0;
    if (!ws_.frames.HasCurrent() || !ws_.frameUndo.Undo(ws_.frames.CurrentFrames(), &touched)) return false;
    FramesChanged(touched);
    return true;
}

bool CMainFrame::RedoFrames() {
    std::size_t touched = 0;
    if (!ws_.frames.HasCurrent() || !ws_.frameUndo.Redo(ws_.frames.CurrentFrames(), &touched)) return false;
    FramesChanged(touched);
    return true;
}

int CMainFrame::playInterval() const { return PlayInterval(speed_->value()); }

int CMainFrame::playTimerInterval() const { return playTimer_ ? playTimer_->interval() : 0; }

bool CMainFrame::playing() const { return playTimer_ && playTimer_->isActive(); }

void CMainFrame::Play() {
    if (playing() || !ws_.frames.HasCurrent() || !CanPlay(ws_.frames.CurrentFrames().size())) return;
    if (!playTimer_) {
        playTimer_ = new QTimer(this);
        playTimer_->setTimerType(Qt::PreciseTimer);
        connect(playTimer_, &QTimer::timeout, this, [this] {
            if (!ws_.frames.HasCurrent()) return;
            const int count = static_cast<int>(ws_.frames.CurrentFrames().size());
            const int next = ws_.app.currentFrame + 1 < count ? ws_.app.currentFrame + 1 : 0;
            FrameNumberShown(next + 1);
        });
    }
    playTimer_->start(playInterval());
}

void CMainFrame::Stop() {
    if (playTimer_) playTimer_->stop();
}

void CMainFrame::AddEditHandlers(Handlers& h) {
    auto frameCount = [this] { return ws_.frames.HasCurrent() ? static_cast<int>(ws_.frames.CurrentFrames().size()) : 0; };
    auto current = [this] { return ws_.app.currentFrame + 1; };
    h[cmd::kUndo] = [this](bool) { UndoFrames(); };
    h[cmd::kRedo] = [this](bool) { RedoFrames(); };
    h[cmd::kInsert] = [this](bool) { InsertFrame(); };
    h[cmd::kCut] = [this, frameCount, current](bool) {
        CFrameRangeDialog d(current(), current(), frameCount(), ws_.strings, this);
        if (d.exec() == QDialog::Accepted) CutFrames(d.start(), d.end());
    };
    h[cmd::kCopy] = [this, frameCount, current](bool) {
        CRangeOperateDialog d(CRangeOperateDialog::Mode::Copy, current(), frameCount(), ws_.app.language, ws_.strings, this);
        if (d.exec() != QDialog::Accepted) return;
        d.second() ? RepeatFrames(d.start(), d.end(), d.number()) : CopyFrames(d.start(), d.end());
    };
    h[cmd::kPaste] = [this, frameCount, current](bool) {
        CPasteDialog d(current(), frameCount(), ws_.app.language, ws_.strings, this);
        if (d.exec() == QDialog::Accepted) PasteFrames(d.options());
    };
    h[cmd::kStepsPaste] = [this, frameCount, current](bool) {
        CStepsPasteDialog d(current(), frameCount(), ws_.app.language, ws_.strings, this);
        if (d.exec() == QDialog::Accepted) StepsPasteFrames(d.startFrame(), d.interval(), d.backwards());
    };
    h[cmd::kDelete] = [this, frameCount, current](bool) {
        CRangeOperateDialog d(CRangeOperateDialog::Mode::Delete, current(), frameCount(), ws_.app.language, ws_.strings, this);
        if (d.exec() == QDialog::Accepted) DeleteFrames(d.start(), d.end(), d.second() ? d.number() : 0);
    };
    h[cmd::kFrameProcess] = [this, frameCount](bool) {
        CFrameProcessDialog d(frameCount(), ws_.app.language, ws_.strings, this);
        if (d.exec() != QDialog::Accepted) return;
        if (d.designSwitch()) {
            DesignSwitchFrames(d.start(), d.end(), d.transitionKind());
        } else {
            MoveFrames(d.start(), d.end(), d.direction(), d.ranks(), d.increments());
        }
    };
    h[cmd::kRowColDelete] = [this, frameCount](bool) {
        CRowColDeleteDialog d(frameCount(), ws_.app.language, ws_.strings, this);
        if (d.exec() == QDialog::Accepted) {
            RowColDeleteFrames(d.start(), d.end(), d.keepRows(), d.deleteRows(), d.keepCols(), d.deleteCols());
        }
    };
    h[cmd::kColorProcess] = [this, frameCount, current](bool) {
        ColorProcessDialog d(current(), frameCount(), ws_.app.language, ws_.strings, this);
        if (d.exec() == QDialog::Accepted) ColorProcessFrames(d.request());
    };
    h[cmd::kCoverMode] = [this](bool on) { ws_.app.coverMode = on; };
    h[cmd::kEditArea] = [this](bool on) { canvas_->SetEditAreaOn(on); };
    h[cmd::kPlay] = [this](bool) { Play(); };
    h[cmd::kStop] = [this](bool) { Stop(); };
}

void CMainFrame::ConnectEditState() {
    action(cmd::kCoverMode)->setChecked(ws_.app.coverMode);
    action(cmd::kShowGrid)->setChecked(canvas_->showGrid());
    action(cmd::kToolsbar)->setChecked(true);
    action(cmd::kStatusBar)->setChecked(true);
    // Paste follows the clipboard; undo and redo their stacks.
    // A change of the clipboard changes what Paste can do, never the document.
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::UpdatePasteActions);
    connect(canvas_, &CVorlaneView::frameEdited, this, &CMainFrame::UpdateEditActions);
    UpdateEditActions();
}

}  // namespace corv

#include <QFileDialog>

#include "app/common/CFrameRangeDialog.h"
#include "app/common/FileDialogFolders.h"
#include "controller/LedFile.h"
#include "ops/Output.h"
#include "ops/Budget.h"
#include "app/net/NetworkFilePath.h"
#include "app/sculpt/BudgetPanel.h"
#include "app/sculpt/CSculptFrame.h"
#include "lang/messages/BudgetPanelMessages.h"
#include "workspace/LayoutOps.h"

namespace corv {

bool CMainFrame::EnsureLayout() {
    if (ws_.layout.setting.lineCount != 0) return true;
    LoadLayoutInUse();
    if (ws_.layout.setting.lineCount != 0) return true;
    prompt_.Inform(ws_.strings.noLayout, PromptIcon::Warning);
    return false;
}

void CMainFrame::LoadLayoutInUse() {
    // The wiring in use is the line file the line setting view would load: the clip's own,
    // else the one the configuration names.
    std::string path = ws_.frames.HasCurrent() ? ws_.frames.CurrentClip().lineFilePath : std::string();
    if (path.empty()) path = ws_.app.lineFile;
    std::error_code ec;
    if (!path.empty() && std::filesystem::is_regular_file(path, ec)) {
        // Loading the wiring to write with is no change to the document.
        const std::string clipLineFile = ws_.frames.HasCurrent() ? ws_.frames.CurrentClip().lineFilePath : std::string();
        OpenLineFile(ws_, prompt_, path);
        if (ws_.frames.HasCurrent()) ws_.frames.CurrentClip().lineFilePath = clipLineFile;
    }
}

bool CMainFrame::OutputControllerFile(int start, int end, const QString& given) {
    if (!ws_.frames.HasCurrent()) return false;
    const auto& frames = ws_.frames.CurrentFrames();
    const int count = static_cast<int>(frames.size());
    if (start == 0) {
        CFrameRangeDialog range(1, count, count, ws_.strings, this);
        if (range.exec() != QDialog::Accepted) return false;
        start = range.start();
        end = range.end();
    }
    ops::ControllerOutputRequest request;
    // A start or an end before the first frame gives a range the operation refuses.
    request.first = start >= 1 ? static_cast<std::size_t>(start - 1) : frames.size();
    request.end = end >= 1 ? static_cast<std::size_t>(end) : 0;
    if (const auto refusal = ops::ControllerOutputRefusalOf(ws_, request)) {
        prompt_.Inform(refusal->message, PromptIcon::Warning);
        return false;
    }
    if (!EnsureLayout()) return false;
    if (!BudgetAllowsOutput(request.first, request.end)) return false;
    const QString path = given.isEmpty() ? AskControllerFilePath() : given;
    if (path.isEmpty()) return false;
    ClipFrameSource source(frames);
    return WriteControllerFiles(source, request.first, request.end, FrameShape{frames.front().height(), frames.front().width()},
                                path);
}

bool CMainFrame::BudgetAllowsOutput(std::size_t first, std::size_t end) {
    // The warnings of the power and timing panel (its currents and fuse, the play speed).
    ops::BudgetRequest request;
    request.first = first;
    request.end = end;
    request.options = sculpt_->budgetPanel()->options();
    request.lineFile = LineFileInUse(ws_);
    request.options.fps = speed_ ? speed_->value() : request.options.fps;
    const auto budget = ops::ComputeBudget(ws_, request, prompt_, Progress());
    SetProgress(-1);
    // A budget that cannot be had is no reason to hold the output back: it says its own.
    if (!budget || budget->warnings.empty()) return true;
    constexpr std::size_t kShown = 12;
    std::string text;
    for (std::size_t i = 0; i < budget->warnings.size() && i < kShown; ++i) text += (i ? "\n" : "") + budget->warnings[i];
    if (budget->warnings.size() > kShown) text += "\n...";
    return prompt_.AskOkCancel(Render(msg::budgetpanel::kOutputWarnings, ws_.app.language, {text})) == Answer::Yes;
}

QString CMainFrame::AskControllerFilePath() {
    const QString folder = LastFolder(ws_, FileKind::ControllerFile, StartFolder());
    QFileDialog dialog(this, QString(), folder.isEmpty() ? QStringLiteral("001.led") : folder + QStringLiteral("/001.led"),
                       RenderQt(msg::shell::kControllerFileFilter, ws_.app.language));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("led"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    RememberFolder(ws_, FileKind::ControllerFile, dialog.selectedFiles().front());
    return dialog.selectedFiles().front();
}

bool CMainFrame::WriteControllerFiles(FrameSource& source, std::size_t first, std::size_t end, FrameShape shape, const QString& path) {
    ops::ControllerOutputRequest request;
    request.frames = &source;
    request.shape = shape;
    request.first = first;
    request.end = end;
    request.path = path.toStdString();
    const auto written = ops::WriteControllerFiles(ws_, request, prompt_, Progress());
    if (!written) {
        prompt_.Inform(written.message(), PromptIcon::Warning);
        return false;
    }
    for (const std::string& failure : written->failures) prompt_.Inform(failure, PromptIcon::Warning);
    if (!written->complete()) return false;
    // "Output File finished!" carries what was written.
    prompt_.InformDetailed(ws_.strings.outputDone, OutputReportText(written->report, ws_.strings), PromptIcon::Information);
    return true;
}

bool CMainFrame::ImportControllerFile(const QString& given) {
    if (!ws_.frames.HasCurrent() || !EnsureLayout()) return false;
    QString path = given;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, QString(), LastFolder(ws_, FileKind::ControllerFile, StartFolder()),
                                            RenderQt(msg::shell::kControllerFileFilter, ws_.app.language));
        if (path.isEmpty()) return false;
        RememberFolder(ws_, FileKind::ControllerFile, path);
    }
    // The file's warnings reach the prompt on the way.
    const auto imported = ops::ImportControllerFile(ws_, ops::ControllerImportRequest{path.toStdString()}, prompt_, Progress());
    if (!imported) {
        prompt_.Inform(imported.message(), PromptIcon::Warning);
        return false;
    }
    FramesChanged(0);
    return true;
}

}  // namespace corv
