#include "app/common/DocumentDialogs.h"

#include <algorithm>

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

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

QDialogButtonBox* OkCancel(const UiStrings& strings, QWidget* parent) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, parent);
    buttons->button(QDialogButtonBox::Ok)->setText(Q(strings.buttonOk));
    buttons->button(QDialogButtonBox::Cancel)->setText(Q(strings.buttonCancel));
    return buttons;
}

// A warning box with its OK button in the running language.
void Warn(QWidget* parent, const QString& title, const QString& text, const UiStrings& strings) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(Q(strings.buttonOk));
    box.exec();
}

void AddRangeRows(QFormLayout* form, QSpinBox* start, QSpinBox* end, int frameCount, const UiStrings& strings,
                  QWidget* parent) {
    auto* first = new QPushButton(Q(strings.rangeFirst), parent);
    auto* last = new QPushButton(Q(strings.rangeLast), parent);
    QObject::connect(first, &QPushButton::clicked, start, [start] { start->setValue(1); });
    QObject::connect(last, &QPushButton::clicked, end, [end, frameCount] { end->setValue(frameCount); });
    auto* startRow = new QHBoxLayout;
    startRow->addWidget(start);
    startRow->addWidget(first);
    auto* endRow = new QHBoxLayout;
    endRow->addWidget(end);
    endRow->addWidget(last);
    form->addRow(Q(strings.rangeStart), startRow);
    form->addRow(Q(strings.rangeEnd), endRow);
}

bool RangeAccepted(QDialog* dialog, QSpinBox* start, QSpinBox* end, int frameCount, const UiStrings& strings) {
    const int bad = CheckFrameRange(start->value(), end->value(), static_cast<std::size_t>(std::max(frameCount, 0)));
    if (bad == 0) {
        return true;
    }
    Warn(dialog, dialog->windowTitle(), Q(strings.paramError), strings);
    QSpinBox* field = bad == 1 ? start : end;
    field->setFocus();
    field->selectAll();
    return false;  // the dialog stays open
}

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

FrameRange InitialSupplementalRange(int currentFrame, int frameCount) {
    FrameRange range;
    range.end = std::clamp(currentFrame + 1, 1, std::max(1, frameCount));
    range.start = std::min(2, range.end);
    return range;
}

CFrameRangeDialog::CFrameRangeDialog(int start, int end, int frameCount, const UiStrings& strings, QWidget* parent)
    : QDialog(parent), frameCount_(frameCount), strings_(strings) {
    setWindowTitle(Q(strings_.rangeTitle));
    start_ = new QSpinBox(this);
    end_ = new QSpinBox(this);
    for (QSpinBox* box : {start_, end_}) {
        box->setRange(1, static_cast<int>(kMaxRangeNumber));
    }
    start_->setValue(start);
    end_->setValue(end);
    auto* form = new QFormLayout;
    AddRangeRows(form, start_, end_, frameCount, strings_, this);
    auto* buttons = OkCancel(strings_, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFrameRangeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int CFrameRangeDialog::start() const { return start_->value(); }
int CFrameRangeDialog::end() const { return end_->value(); }

void CFrameRangeDialog::accept() {
    if (RangeAccepted(this, start_, end_, frameCount_, strings_)) {
        QDialog::accept();
    }
}

}  // namespace corv
