#include "app/common/DialogCommon.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

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

}  // namespace corv
