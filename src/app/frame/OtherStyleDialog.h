#pragma once

#include <QDialog>

#include "content/Generators.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace corv {

struct UiStrings;

// The dialogs of the "Other" styles: Diffuse (the point, shape, ring width and direction),
// Linetype (angle, line width, speed) and Random (block sizes, blocks a frame, keeping them).
class OtherStyleDialog : public QDialog {
    Q_OBJECT
public:
    // `style`: 1 Diffuse, 2 Linetype, 3 Random.
    OtherStyleDialog(int style, const OtherOptions& initial, std::uint8_t language, const UiStrings& strings,
                     QWidget* parent = nullptr);
    OtherOptions options() const;
    QSpinBox* field(const char* name) const;

private:
    int style_;
    OtherOptions initial_;
    QComboBox* shape_ = nullptr;
    QCheckBox* outward_ = nullptr;
    QCheckBox* keep_ = nullptr;
};

}  // namespace corv
