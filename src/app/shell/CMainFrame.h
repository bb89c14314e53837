#pragma once

#include <QFont>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "app/shell/CommandTable.h"
#include "app/shell/DocumentFingerprint.h"
#include "content/Generators.h"
#include "controller/LedFile.h"
#include "media/Movie.h"
#include "base/Progress.h"
#include "base/Result.h"
#include "project/FrameRange.h"
#include "project/FrameStore.h"
#include "ops/Sequence.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QScrollBar;
class QSpinBox;
class QStackedWidget;
class QAction;
class QTimer;
class QDockWidget;
class QTabWidget;
class QMenu;

namespace corv {

class Workspace;
class CVorlaneView;
class ColourPanel;
class PatternPanel;
class CSculptFrame;
class CDesignFrame;
class LiveOutput;
class ManualViewer;
class Prompt;
namespace ops {
struct ColourProcessRequest;
}


// The main window: the frame view, the control bar (frame number, scroll bar, play speed,
// clip selector) and the status bar with its progress bar.
class CaptureDialog;
class CLedPreviewFrame;
class CSphereFrame;
class PaintEditSession;

class CMainFrame : public QMainWindow, public FrameStoreListener {
    Q_OBJECT
public:
    CMainFrame(Workspace& ws, Prompt& prompt, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Title: "<document name> - Corvantine".
    void SetDocumentName(const QString& name);
    // Progress of long work: percentage, 0 hides the bar.
    void SetProgress(int percent);
    // The progress callback for engine operations: drives the bar and repaints it.
    ProgressFn Progress();

    // File commands. Each returns true when it changed or wrote something.
    bool FileNew();
    bool FileOpen(const QString& path = {});
    bool FileSave();
    bool FileSaveAs(const QString& path = {});
    bool Supplemental();
    // "Output Controller File": frames start..end (1-based) of the current clip as controller
    // data files named from `path` (one per master), each copied to the card when one is
    // there; the messages go to the prompt. Without a path the dialogs ask.
    bool OutputControllerFile(int start = 0, int end = 0, const QString& path = {});
    // "Import Controller file": the blocks of a master-slave file into the frames after the
    // current one.
    bool ImportControllerFile(const QString& path = {});
    // Before controller files are written: the power and timing warnings of frames
    // first .. end - 1, Continue (true) or Cancel; true without warnings.
    bool BudgetAllowsOutput(std::size_t first, std::size_t end);
    // "Export sequence (FSEQ)...": the dialog's request, or the one given (no dialog).
    bool ExportSequence(const std::optional<ops::SequenceExportRequest>& request = std::nullopt);
    // "Import sequence (FSEQ)...": a sequence file's frames appended to the current clip
    // through the layout in use (without a clip: a new one of the layout's size).
    bool ImportSequence(const QString& path = {});
    // "Import": the import window, then controller files straight from the chosen movie or
    // document. ImportOutput does the writing (frames 1..frames of the source; 0 all).
    bool Import();
    bool ImportOutput(const QString& source, Fit fit, int frames, const QString& ledPath = {}, bool highSpeed = true);
    // "Video capture transform": the capture dialog; its pictures go after the current frame.
    bool VideoCapture();
    // Places pictures after the current frame (cover mode as set), scaled as the capture does.
    bool PlaceCaptured(std::vector<Frame> frames);
    // "Paint edit": the current frame in the painting program, read back on each save.
    bool PaintEdit();
    PaintEditSession* paintSession() const { return paintSession_; }
    // "Export video": the current clip as a movie; "Video options": its settings.
    bool ExportVideo(const QString& path = {});
    bool VideoOptions();
    // Tests look at the capture dialog while it is open.
    std::function<void(CaptureDialog&)> captureShown;
    // "Unite File": starts the merge tool in the running language.
    bool UniteFile();
    // The About box.
    void About();
    // Help: the manual for the running language (the English one stands in for a missing one).
    bool Help();
    // The manual's window inside the program (null until Help first opened it).
    ManualViewer* manualViewer() const { return manualViewer_; }
    // "System setting": the dialog, then the configuration and the frame view's grid scale.
    bool SystemSetting();
    // Skin commands 0..3 (kept as a setting; a restart is offered as for a language).
    void ChooseSkin(int skin);
    // The recent-file list of the File menu (newest first) and opening one of its entries.
    QStringList recentFiles() const;
    bool OpenRecent(int index);
    // The edit area of the frame view (frame pixels), when it is on.
    std::optional<PixelRect> editArea() const;
    // Frame editing of the current clip, as the Edit menu's dialogs call it (frames 1-based,
    // both ends inclusive). Each records its undo step, makes the last frame it touched
    // current and shows the new frame count; false when the range or the clipboard is wrong.
    bool CopyFrames(int start, int end);
    bool CutFrames(int start, int end);
    bool RepeatFrames(int start, int end, int times);
    bool DeleteFrames(int start, int end, int spacing);
    bool PasteFrames(const PasteOptions& options);
    bool StepsPasteFrames(int start, int interval, bool backwards);
    bool MoveFrames(int start, int end, MoveDirection direction, int ranks, bool increments);
    bool RowColDeleteFrames(int start, int end, int keepRows, int deleteRows, int keepCols, int deleteCols);
    bool InsertFrame();
    // Runs a pattern generator with the pattern panel's values after the current frame; the
    // number of frames made, -1 when it could not run (with the message).
    // The "Other" styles with a dialog ask first, unless `preset` gives their values.
    int RunGenerator(GeneratorMode mode, int style, const OtherOptions* preset = nullptr);
    // "Color process" over frames start..end; false when the range is wrong or nothing could
    // be done (a layout of another size, no current frame).
    bool ColorProcessFrames(const ops::ColourProcessRequest& request);
    // "Design switch": the frames after start..end appear from frame `end` by transition `kind`
    // (0 random, from `seed`, the clock when 0).
    bool DesignSwitchFrames(int start, int end, int kind, std::uint32_t seed = 0);
    bool UndoFrames();
    bool RedoFrames();
    // Playback of the current clip at the speed field's rate (10..80 frames per second).
    void Play();
    void Stop();
    bool playing() const;
    int playInterval() const;
    // The running play timer's period in milliseconds (0 when it never ran).
    int playTimerInterval() const;
    // "Live output": on, the frame shown goes to the controllers of the network description
    // beside the line file in use each time it changes (false, with the message, when there is
    // no such file or it is refused); off, the streams end. True when it is on afterwards.
    // Starts (again: the layout and the description as they are now) or stops live output;
    // a start sends the frame view's frame unless `sendFrame` is false.
    bool SetLiveOutput(bool on, bool sendFrame = true);
    bool liveOutputOn() const;
    LiveOutput* liveOutput() const { return live_.get(); }
    // "Network output...": the dialog that edits that network description.
    bool NetworkOutput();

    // Shows the document's name in the title (or "Untitled").
    void UpdateTitle();

    // True when the document has changes that are not saved (an edit undone again is none).
    bool IsModified() const;
    // The title's "[*]": the document's changes, and the layout's while the sculpt window is shown.
    void UpdateModified();
    void ShowModified();  // the title's mark from what UpdateModified last found
    // The usual question before the document goes away: true when it may go (nothing to
    // save, saved on Yes, changes dropped on No), false on Cancel or when saving failed.
    bool SaveModified();
    // The file the document was last opened from or saved to (a packed document opened from
    // its archive is named by the archive). Start-up sets it for the document it opened.
    void SetDocumentFile(const QString& path);
    QString documentFile() const { return documentFile_; }

    // Opens a document file with the desktop's viewer; true when it started. Tests replace it.
    using FileOpener = std::function<bool(const QString& path)>;
    void SetFileOpener(FileOpener opener) { openFile_ = std::move(opener); }

    // Starts an outside program with an argument list; true when it started. Tests replace it.
    using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
    void SetProgramStarter(ProgramStarter starter) { startProgram_ = std::move(starter); }

    // FrameStoreListener
    void ClipEntriesChanged(int count, int selected) override;
    void FrameNumberShown(int number) override;
    void RedrawRequested() override;

    QComboBox* clipSelector() const { return clipSelector_; }
    QSpinBox* frameNumber() const { return frameNumber_; }
    QSpinBox* speed() const { return speed_; }
    QProgressBar* progressBar() const { return progress_; }
    CVorlaneView* frameView() const { return canvas_; }
    QDockWidget* sidePanel() const { return sidePanel_; }
    QTabWidget* sideTabs() const { return sideTabs_; }
    ColourPanel* colourPanel() const { return colourPanel_; }
    PatternPanel* patternPanel() const { return patternPanel_; }
    // The action of a command id (nullptr when the menus have none).
    QAction* action(int id) const;
    // "Line Setting": the sculpt window in place of the frame view, and back ("Return" there).
    void EnterSculpt();
    void LeaveSculpt();
    bool inSculpt() const;
    // Shift+E: the design editor in place of the frame view ("Return" there comes back).
    void EnterDesign();
    bool inDesign() const;
    CDesignFrame* designFrame() const { return design_; }
    CSphereFrame* sphereFrame() const { return sphere_; }
    CLedPreviewFrame* ledPreviewFrame() const { return ledPreview_; }
    // The previews; the sphere only for a sphere layout (else a word in the status bar).
    bool EnterSphere();
    void EnterLedPreview();
    CSculptFrame* sculptFrame() const { return sculpt_; }
    // F2: the side panel's other tab.
    void SwitchSideTab();
    QAction* languageAction(int code) const;
    // True when closing asked for a restart in another language.
    bool restartRequested() const { return restartRequested_; }
    // The document the restarted program opens: the file of the open document as last saved,
    // empty for a new document that was never saved.
    QString restartDocument() const { return restartDocument_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    using Handler = std::function<void(bool checked)>;
    using Handlers = std::map<int, Handler>;
    void BuildMenus();
    void AddFileHandlers(Handlers& h);
    void AddEditHandlers(Handlers& h);
    void BuildSidePanel();
    void ConnectEditState();
    // The wiring for controller files: loads the line file in use when none is loaded yet;
    // false (with the message) when there is none.
    bool EnsureLayout();
    // The controller file's name from a save dialog ("001.led" in the start folder); empty on
    // Cancel.
    QString AskControllerFilePath();
    // Frames first..end - 1 of a source as controller files through the current wiring, each
    // copied to the card; the messages go to the prompt.
    bool WriteControllerFiles(FrameSource& source, std::size_t first, std::size_t end, FrameShape shape, const QString& path);
    // Loads the line file in use (the clip's, else the configuration's) when no wiring is
    // loaded yet; quietly does nothing when there is none.
    void LoadLayoutInUse();
    QString StartFolder() const;
    void UpdateRecentMenu();
    void Remember(const QString& path);
    void UpdateSkinChecks();
    // After a frame operation: frame `last` (0-based) is current, the count and view follow.
    void FramesChanged(std::size_t last);
    void UpdateEditActions();
    void UpdatePasteActions();
    void BuildControlBar();
    void OnFrameNumberChanged(int number);
    void OnLanguage(int code);
    void UpdateFrameCount();
    // The frame shown changed: live output gets it once the event that changed it is over.
    void OfferLiveFrame();
    // Sends a frame now (the design's play, a test pattern); the output stops with a message
    // when the offer fails.
    void OfferLive(const Frame& frame);
    void LiveOffered(const Result<Done>& offered);
    // Live output starts again from the files in use (the layout or the line file changed).
    void RestartLive();
    void CheckRunningLanguage();
    // Takes the document as it is now as the saved state, from `path` (empty: unsaved).
    void MarkClean(const QString& path);
    QString RestartDocumentNow() const;

    Workspace& ws_;
    Prompt& prompt_;
    CVorlaneView* canvas_ = nullptr;
    CSculptFrame* sculpt_ = nullptr;
    CDesignFrame* design_ = nullptr;
    CSphereFrame* sphere_ = nullptr;
    CLedPreviewFrame* ledPreview_ = nullptr;
    void EnterPage(QWidget* page);
    std::array<bool, 4> mainChrome_{true, true, true, true};  // menus, side panel, control bar, status bar
    QStackedWidget* views_ = nullptr;
    QComboBox* clipSelector_ = nullptr;
    QSpinBox* frameNumber_ = nullptr;
    QScrollBar* frameScroll_ = nullptr;
    QSpinBox* speed_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* frameCountPane_ = nullptr;
    QAction* langActions_[3] = {nullptr, nullptr, nullptr};
    std::map<int, QAction*> actions_;
    QAction* recentActions_[kRecentFileCount] = {};
    QAction* recentSeparator_ = nullptr;
    QDockWidget* sidePanel_ = nullptr;
    QTabWidget* sideTabs_ = nullptr;
    ColourPanel* colourPanel_ = nullptr;
    PatternPanel* patternPanel_ = nullptr;
    bool skinRestart_ = false;
    QTimer* playTimer_ = nullptr;
    bool updating_ = false;
    bool restartRequested_ = false;
    bool saveAsked_ = false;  // the language switch asked already; closing must not ask again
    QString restartDocument_;
    QString documentFile_;
    DocumentState cleanState_;
    OtherOptions otherOptions_;  // the last values of the Linetype and Random dialogs
    ParticleOptions particleOptions_ = DefaultParticleOptions();  // the particle dialog's last values
    QImage particlePicture_;
public:
    // Tests: runs Particle with these values instead of asking.
    void SetParticlePreset(const ParticleOptions& options, const QImage& picture) {
        particleOptions_ = options;
        particlePicture_ = picture;
        particlePreset_ = true;
    }
private:
    bool particlePreset_ = false;
    ProgramStarter startProgram_;
    PaintEditSession* paintSession_ = nullptr;
    FileOpener openFile_;
    ManualViewer* manualViewer_ = nullptr;
    bool documentModified_ = false;  // what UpdateModified last found
    QFont textFontAsMade_;  // the typed text's font as the panel made it, for the language
    std::unique_ptr<LiveOutput> live_;
    bool liveOfferPending_ = false;
    QTimer* liveKeepAlive_ = nullptr;  // sends the frame again while it stays as it is
};

}  // namespace corv
