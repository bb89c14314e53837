#include "app/DocumentDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "lang/UiStrings.h"
#include "project/Document.h"

namespace corv {

CSizeDialog::CSizeDialog(SizeDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(QStringLiteral("Setting size"));
    width_ = new QSpinBox(this);
    height_ = new QSpinBox(this);
    for (QSpinBox* box : {width_, height_}) {
        box->setRange(0, kMaxFrameSide);
    }
    width_->setValue(model.width());
    height_->setValue(model.height());
    scale_ = new QCheckBox(QStringLiteral("Scale"), this);
    scale_->setChecked(model.scale());

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Width (pixels):"), width_);
    form->addRow(QStringLiteral("Height (pixels):"), height_);
    form->addRow(scale_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
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
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("Width and height must be 1..%1.").arg(kMaxFrameSide));
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<FrameSize> CSizeDialog::Ask(SizeDialogModel& model, QWidget* parent) {
    CSizeDialog dialog(model, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return model.Accept();
}

CFrameRangeDialog::CFrameRangeDialog(int start, int end, int frameCount, const UiStrings& strings, QWidget* parent)
    : QDialog(parent), frameCount_(frameCount), strings_(strings) {
    setWindowTitle(QStringLiteral("Select frame range"));
    start_ = new QSpinBox(this);
    end_ = new QSpinBox(this);
    for (QSpinBox* box : {start_, end_}) {
        box->setRange(1, static_cast<int>(kMaxRangeNumber));
    }
    start_->setValue(start);
    end_->setValue(end);
    auto* first = new QPushButton(QStringLiteral("FirstFrame"), this);
    auto* last = new QPushButton(QStringLiteral("LastFrame"), this);
    auto* form = new QFormLayout;
    auto* startRow = new QHBoxLayout;
    startRow->addWidget(start_);
    startRow->addWidget(first);
    auto* endRow = new QHBoxLayout;
    endRow->addWidget(end_);
    endRow->addWidget(last);
    form->addRow(QStringLiteral("Start frame:"), startRow);
    form->addRow(QStringLiteral("End frame:"), endRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(first, &QPushButton::clicked, this, [this] { start_->setValue(1); });
    connect(last, &QPushButton::clicked, this, [this] { end_->setValue(frameCount_); });
    connect(buttons, &QDialogButtonBox::accepted, this, &CFrameRangeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int CFrameRangeDialog::start() const { return start_->value(); }
int CFrameRangeDialog::end() const { return end_->value(); }

void CFrameRangeDialog::accept() {
    const int bad = CheckFrameRange(start(), end(), static_cast<std::size_t>(frameCount_));
    if (bad != 0) {
        QMessageBox::warning(this, QString(), QString::fromStdString(strings_.paramError));
        QSpinBox* field = bad == 1 ? start_ : end_;
        field->setFocus();
        field->selectAll();
        return;  // the dialog stays open
    }
    QDialog::accept();
}

}  // namespace corv
