#include "app/common/CSizeDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/common/DialogCommon.h"
#include "lang/UiStrings.h"

namespace corv {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CSizeDialog::CSizeDialog(SizeDialogModel& model, const UiStrings& strings, QWidget* parent)
    : QDialog(parent), model_(model), strings_(strings) {
    setWindowTitle(Q(strings_.sizeTitle));
    width_ = new QSpinBox(this);
    height_ = new QSpinBox(this);
    for (QSpinBox* box : {width_, height_}) {
        box->setRange(0, kMaxFrameSide);
    }
    width_->setValue(model.width());
    height_->setValue(model.height());
    scale_ = new QCheckBox(Q(strings_.sizeScale), this);
    scale_->setChecked(model.scale());

    auto* form = new QFormLayout;
    form->addRow(Q(strings_.sizeWidth), width_);
    form->addRow(Q(strings_.sizeHeight), height_);
    form->addRow(scale_);
    auto* buttons = OkCancel(strings_, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(scale_, &QCheckBox::toggled, this, [this](bool on) { model_.SetScale(on); });
    connect(width_, &QSpinBox::valueChanged, this,
            [this](int v) { model_.EditWidth(v, [this](int h) { height_->setValue(h); }); });
    connect(height_, &QSpinBox::valueChanged, this,
            [this](int v) { model_.EditHeight(v, [this](int w) { width_->setValue(w); }); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (model_.Accept()) {
            QDialog::accept();
        } else {
            Warn(this, windowTitle(), Q(Format(strings_.sizeLimit.c_str(), kMaxFrameSide)), strings_);
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<FrameSize> CSizeDialog::Ask(SizeDialogModel& model, const UiStrings& strings, QWidget* parent) {
    CSizeDialog dialog(model, strings, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return model.Accept();
}

}  // namespace corv
