#include "app/sculpt/NumbersDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QSpinBox>

#include "app/sculpt/SculptDialogsCommon.h"

namespace corv {

using sculpt_dialogs::Finish;
using sculpt_dialogs::Spin;

NumbersDialog::NumbersDialog(const QString& title, const std::vector<Field>& fields, const UiStrings& strings,
                             QWidget* parent, const QString& checkLabel, bool checked)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* form = new QFormLayout;
    for (const Field& f : fields) {
        spins_.push_back(Spin(f.low, f.high, f.value, this));
        form->addRow(f.label, spins_.back());
    }
    if (!checkLabel.isEmpty()) {
        check_ = new QCheckBox(checkLabel, this);
        check_->setChecked(checked);
        form->addRow(check_);
    }
    Finish(this, form, strings);
}

int NumbersDialog::value(int i) const { return spins_.at(static_cast<std::size_t>(i))->value(); }
bool NumbersDialog::checked() const { return check_ && check_->isChecked(); }

}  // namespace corv
