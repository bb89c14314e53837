#pragma once

#include <QDialog>
#include <optional>

#include "project/NewDocument.h"

class QSpinBox;
class QCheckBox;

namespace corv {

struct UiStrings;

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

}  // namespace corv
