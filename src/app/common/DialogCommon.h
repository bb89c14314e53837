#pragma once

#include <QDialog>

class QSpinBox;
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

}  // namespace corv
