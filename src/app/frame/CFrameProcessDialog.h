#pragma once

#include <QDialog>
#include <cstdint>

#include "project/FrameRange.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace corv {

struct UiStrings;

// "Frame processing" with its "Frame move" page ("Design switch" comes with the transitions
// and is shown disabled).
class CFrameProcessDialog : public QDialog {
    Q_OBJECT
public:
    CFrameProcessDialog(int frameCount, std::uint8_t language, const UiStrings& strings, QWidget* parent = nullptr);
    int start() const;
    int end() const;
    MoveDirection direction() const;
    int ranks() const;
    bool increments() const;
    QSpinBox* startEdit() const { return start_; }
    QSpinBox* endEdit() const { return end_; }
    QSpinBox* ranksEdit() const { return ranks_; }
    QRadioButton* directionChoice(MoveDirection d) const { return directions_[static_cast<int>(d)]; }
    QCheckBox* incrementsBox() const { return increments_; }
    // The "Design switch" page is the one shown, and its transition kind (0..57).
    bool designSwitch() const;
    int transitionKind() const;
    QTabWidget* pages() const { return tabs_; }
    QComboBox* kindBox() const { return kind_; }
    void accept() override;

private:
    int frameCount_;
    const UiStrings& strings_;
    QSpinBox* start_;
    QSpinBox* end_;
    QTabWidget* tabs_ = nullptr;
    QComboBox* kind_ = nullptr;
    QRadioButton* directions_[4];
    QSpinBox* ranks_;
    QCheckBox* increments_;
};

}  // namespace corv
