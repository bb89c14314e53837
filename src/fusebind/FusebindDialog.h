#pragma once

#include <QDialog>
#include <QWidget>

#include "fusebind/Merge.h"

class QComboBox;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace corv::fuse {

// One page of the merge dialog: the file list, Add, Delete, "MergeMode:", Merge, progress.
class MergePage : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Dat, Vid };
    MergePage(Kind kind, const Messages& messages, QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    QComboBox* mode() const { return mode_; }
    QProgressBar* progress() const { return progress_; }
    QPushButton* mergeButton() const { return merge_; }
    std::vector<std::filesystem::path> Files() const;
    void AddFiles(const QStringList& paths);
    // "Delete": removes the selected entry and selects the first.
    void DeleteSelected();
    // Runs the merge with the given output chooser and question; returns the result shown.
    MergeResult Merge(const ChooseOutputFn& choose, const AskFn& ask);

private:
    void OnAdd();
    void OnMerge();

    Kind kind_;
    const Messages& m_;
    QListWidget* list_;
    QComboBox* mode_;
    QProgressBar* progress_;
    QPushButton* merge_;
};

// The merge tool's window: "Merge DAT File" and "Merge VID File".
class CFusebindDialog : public QDialog {
    Q_OBJECT
public:
    explicit CFusebindDialog(const Messages& messages, QWidget* parent = nullptr);
    MergePage* datPage() const { return dat_; }
    MergePage* vidPage() const { return vid_; }
    QTabWidget* tabs() const { return tabs_; }

private:
    QTabWidget* tabs_;
    MergePage* dat_;
    MergePage* vid_;
};

}  // namespace corv::fuse
