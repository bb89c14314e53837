#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QSpinBox>

#include "app/common/DialogCommon.h"

// What the frame range dialogs of the frame view share. Each checks its range when confirmed
// ("Parameter mistake!" and the dialog stays open) and hands its values to the engine's range
// operations.
namespace corv::frame_edit_dialogs {

// OK and Cancel of the program, wired to the dialog.
inline QDialogButtonBox* Buttons(QDialog* dialog, const UiStrings& strings) {
    auto* box = OkCancel(strings, dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

inline QSpinBox* Spin(int low, int high, int value, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setRange(low, high);
    s->setValue(value);
    return s;
}

}  // namespace corv::frame_edit_dialogs
