#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "fusebind/Merge.h"
#include "lang/QtTranslations.h"

class QComboBox;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace corv::fuse {

// The texts of the merge dialog that the merge itself does not report: buttons of its
// message boxes and the file choosers' filters.
struct DialogTexts {
    QString yes, no, ok;
    QString datFilter, vidFilter, ctrlDataFilter;
    // The data files the program writes (".led"), and either kind at once.
    QString ledFilter, ctrlLedFilter, ctrlAnyFilter;
};
// 1 Simplified Chinese, 2 Traditional Chinese, anything else English.
DialogTexts LoadDialogTexts(std::uint8_t language);
// The language a set of messages was loaded in (1, 2 or 3).
std::uint8_t LanguageOfMessages(const Messages& messages);
// One page of the merge dialog: the file list, Add, Delete, "MergeMode:", Merge, progress.
class MergePage : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Dat, Vid };
    MergePage(Kind kind, const Messages& messages, const DialogTexts& texts, QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    QComboBox* mode() const { return mode_; }
    QProgressBar* progress() const { return progress_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* mergeButton() const { return merge_; }
    // The filters of the file choosers (";;" between them): the files to add and the merged
    // file, whose first filter and default suffix are the listed files' extension.
    QString inputFilter() const;
    QString outputFilter() const;
    QString outputSuffix() const;
    std::vector<std::filesystem::path> Files() const;
    void AddFiles(const QStringList& paths);
    // "Delete": removes the selected entry and selects the first.
    void DeleteSelected();
    // Runs the merge with the given output chooser and question; returns the result shown.
    MergeResult Merge(const ChooseOutputFn& choose, const AskFn& ask);
    // The message boxes of the page, with their buttons in the page's language.
    bool AskYesNo(const std::string& text);
    void Inform(const std::string& text);

private:
    void OnAdd();
    void OnMerge();

    Kind kind_;
    const Messages& m_;
    const DialogTexts& t_;
    QListWidget* list_;
    QComboBox* mode_;
    QProgressBar* progress_;
    QPushButton* add_;
    QPushButton* delete_;
    QPushButton* merge_;
};

// The merge tool's window: "Merge DAT File" and "Merge VID File".
class CFusebindDialog : public QDialog {
    Q_OBJECT
public:
    // The dialog in a language (1 Simplified Chinese, 2 Traditional Chinese, else English).
    explicit CFusebindDialog(std::uint8_t language, QWidget* parent = nullptr);
    // The dialog with messages loaded for a language; the other texts follow that language.
    explicit CFusebindDialog(const Messages& messages, QWidget* parent = nullptr);
    MergePage* datPage() const { return dat_; }
    MergePage* vidPage() const { return vid_; }
    QTabWidget* tabs() const { return tabs_; }
    QPushButton* closeButton() const { return close_; }
    std::uint8_t language() const { return language_; }

private:
    CFusebindDialog(const Messages& messages, std::uint8_t language, QWidget* parent);

    std::uint8_t language_;
    Messages messages_;
    DialogTexts texts_;
    QTabWidget* tabs_;
    MergePage* dat_;
    MergePage* vid_;
    QPushButton* close_;
};

}  // namespace corv::fuse
