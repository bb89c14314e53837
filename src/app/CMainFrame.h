#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

#include "base/Progress.h"
#include "project/FrameRange.h"
#include "project/FrameStore.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QScrollBar;
class QSpinBox;
class QStackedWidget;
class QAction;
class QTimer;

namespace corv {

class Workspace;
class FrameCanvas;
class Prompt;

// Command ids of the main window (they are part of the command interface).
namespace cmd {
inline constexpr int kNew = 57600;
inline constexpr int kOpen = 57601;
inline constexpr int kSave = 57603;
inline constexpr int kSaveAs = 57604;
inline constexpr int kSupplemental = 32928;
inline constexpr int kUniteFile = 32922;
inline constexpr int kExit = 57665;
inline constexpr int kImageCenter = 32804;
inline constexpr int kLanguageSimplified = 32818;
inline constexpr int kLanguageTraditional = 32923;
inline constexpr int kLanguageEnglish = 32819;
inline constexpr int kAbout = 57664;
inline constexpr int kUndo = 57643;
inline constexpr int kRedo = 57644;
inline constexpr int kInsert = 32814;
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kStepsPaste = 32903;
inline constexpr int kDelete = 32808;
inline constexpr int kFrameProcess = 32910;
inline constexpr int kRowColDelete = 32908;
inline constexpr int kPlay = 32810;
inline constexpr int kShowGrid = 32813;
inline constexpr int kOutputControllerFile = 32857;
inline constexpr int kCoverMode = 32812;
inline constexpr int kEditArea = 32809;
inline constexpr int kImport = 32909;
inline constexpr int kToolsbar = 32773;
inline constexpr int kVideoCapture = 32820;
inline constexpr int kPaintEdit = 32807;
inline constexpr int kColorProcess = 32816;
inline constexpr int kLineSetting = 32792;
inline constexpr int kSystemSetting = 32862;
inline constexpr int kHelp = 32838;
inline constexpr int kImportControllerFile = 32924;
inline constexpr int kStop = 32811;
}  // namespace cmd

// The main window: the frame view, the control bar (frame number, scroll bar, play speed,
// clip selector) and the status bar with its progress bar.
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
    // "Unite File": starts the merge tool in the running language.
    bool UniteFile();
    // The About box.
    void About();
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
    bool UndoFrames();
    bool RedoFrames();
    // Playback of the current clip at the speed field's rate (10..80 frames per second).
    void Play();
    void Stop();
    bool playing() const;
    int playInterval() const;

    // Shows the document's name in the title (or "Untitled").
    void UpdateTitle();

    // True when the document has changes that are not saved.
    bool IsModified() const;
    // The usual question before the document goes away: true when it may go (nothing to
    // save, saved on Yes, changes dropped on No), false on Cancel or when saving failed.
    bool SaveModified();
    // The file the document was last opened from or saved to (a packed document opened from
    // its archive is named by the archive). Start-up sets it for the document it opened.
    void SetDocumentFile(const QString& path);
    QString documentFile() const { return documentFile_; }

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
    FrameCanvas* frameView() const { return canvas_; }
    QAction* languageAction(int code) const;
    // True when closing asked for a restart in another language.
    bool restartRequested() const { return restartRequested_; }
    // The document the restarted program opens: the file of the open document as last saved,
    // empty for a new document that was never saved.
    QString restartDocument() const { return restartDocument_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildEditMenu();
    // After a frame operation: frame `last` (0-based) is current, the count and view follow.
    void FramesChanged(std::size_t last);
    RangeContext FrameContext();
    void UpdateEditActions();
    void BuildControlBar();
    void OnFrameNumberChanged(int number);
    void OnLanguage(int code);
    void UpdateFrameCount();
    void CheckRunningLanguage();
    // Takes the document as it is now as the saved state, from `path` (empty: unsaved).
    void MarkClean(const QString& path);
    QString RestartDocumentNow() const;

    Workspace& ws_;
    Prompt& prompt_;
    FrameCanvas* canvas_ = nullptr;
    QStackedWidget* views_ = nullptr;
    QComboBox* clipSelector_ = nullptr;
    QSpinBox* frameNumber_ = nullptr;
    QScrollBar* frameScroll_ = nullptr;
    QSpinBox* speed_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* frameCountPane_ = nullptr;
    QAction* langActions_[3] = {nullptr, nullptr, nullptr};
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    QAction* stepsPasteAction_ = nullptr;
    QTimer* playTimer_ = nullptr;
    bool updating_ = false;
    bool restartRequested_ = false;
    bool saveAsked_ = false;  // the language switch asked already; closing must not ask again
    QString restartDocument_;
    QString documentFile_;
    std::uint64_t cleanFingerprint_ = 0;
    ProgramStarter startProgram_;
};

}  // namespace corv
