#pragma once

#include <QDialog>
#include <cstdint>

#include "project/FrameRange.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace corv {

struct UiStrings;

// "Paste": Place, Times, Insert or Overlay, the direction, "Reverse order" and the combination
// (each entry's tooltip gives its rule).
class CPasteDialog : public QDialog {
    Q_OBJECT
public:
    CPasteDialog(int current, int frameCount, std::uint8_t language, const UiStrings& strings, QWidget* parent = nullptr);
    PasteOptions options() const;  // place is 0-based
    QSpinBox* placeEdit() const { return place_; }
    QSpinBox* timesEdit() const { return times_; }
    QComboBox* modeBox() const { return mode_; }
    QComboBox* directionBox() const { return direction_; }
    QComboBox* combineBox() const { return combine_; }
    QCheckBox* reverseBox() const { return reverse_; }

private:
    QSpinBox* place_;
    QSpinBox* times_;
    QComboBox* mode_;
    QComboBox* direction_;
    QCheckBox* reverse_;
    QComboBox* combine_;
};

}  // namespace corv
