#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/common/DialogCommon.h"

// What the small dialogs of the sculpt window share: the number fields and OK and Cancel under
// the form.
namespace corv::sculpt_dialogs {

inline QSpinBox* Spin(int low, int high, int value, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setRange(low, high);
    s->setValue(value);
    return s;
}

inline void Finish(QDialog* dialog, QFormLayout* form, const UiStrings& strings) {
    auto* box = OkCancel(strings, dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(box);
}

}  // namespace corv::sculpt_dialogs
