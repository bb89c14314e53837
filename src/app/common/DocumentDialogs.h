#pragma once

#include <QDialog>
#include <optional>

#include "project/NewDocument.h"

class QSpinBox;
class QCheckBox;
class QDialogButtonBox;
class QFormLayout;

namespace corv {

struct UiStrings;

// Pieces every dialog of the program shares, in the running language: OK and Cancel, a
// warning box, the "Start frame:" / "End frame:" rows with "FirstFrame" / "LastFrame", and the
// range check that keeps a dialog open with "Parameter mistake!" on the field at fault.
QDialogButtonBox* OkCancel(const UiStrings& strings, QWidget* parent);
void Warn(QWidget* parent, const QString& title, const QString& text, const UiStrings& strings);
void AddRangeRows(QFormLayout* form, QSpinBox* start, QSpinBox* end, int frameCount, const UiStrings& strings,
                  QWidget* parent);
bool RangeAccepted(QDialog* dialog, QSpinBox* start, QSpinBox* end, int frameCount, const UiStrings& strings);

// "Setting size": Width, Height and "Scale", driven by the size rules of new documents.
class CSizeDialog : public QDialog {
    Q_OBJECT
public:
    CSizeDialog(SizeDialogModel& model, const UiStrings& strings, QWidget* parent = nullptr);
    QSpinBox* widthEdit() const { return width_; }
    QSpinBox* heightEdit() const { return height_; }
    QCheckBox* scaleBox() const { return scale_; }

    // Runs the dialog; nullopt on Cancel.
    static std::optional<FrameSize> Ask(SizeDialogModel& model, const UiStrings& strings, QWidget* parent);

private:
    SizeDialogModel& model_;
    const UiStrings& strings_;
    QSpinBox* width_;
    QSpinBox* height_;
    QCheckBox* scale_;
};

// The range "Select frame range" starts with for a clip of `frameCount` frames while frame
// `currentFrame` (0-based) is shown: from frame 2 to the current frame, never past the
// clip's ends and never starting after it ends (a one-frame clip gives 1..1).
struct FrameRange {
    int start = 1;
    int end = 1;
};
FrameRange InitialSupplementalRange(int currentFrame, int frameCount);

// "Select frame range": Start and End frame (1-based) with "FirstFrame" and "LastFrame".
class CFrameRangeDialog : public QDialog {
    Q_OBJECT
public:
    CFrameRangeDialog(int start, int end, int frameCount, const UiStrings& strings, QWidget* parent = nullptr);
    int start() const;
    int end() const;
    QSpinBox* startEdit() const { return start_; }
    QSpinBox* endEdit() const { return end_; }

    void accept() override;

private:
    int frameCount_;
    const UiStrings& strings_;
    QSpinBox* start_;
    QSpinBox* end_;
};

}  // namespace corv
