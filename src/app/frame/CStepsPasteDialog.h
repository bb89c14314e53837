#pragma once

#include <QDialog>
#include <cstdint>

class QRadioButton;
class QSpinBox;

namespace corv {

struct UiStrings;

// "Steps paste": the direction, "Start Frame:" and "Frame interval:".
class CStepsPasteDialog : public QDialog {
    Q_OBJECT
public:
    CStepsPasteDialog(int current, int frameCount, std::uint8_t language, const UiStrings& strings,
                      QWidget* parent = nullptr);
    int startFrame() const;
    int interval() const;
    bool backwards() const;
    QSpinBox* startEdit() const { return start_; }
    QSpinBox* intervalEdit() const { return interval_; }
    QRadioButton* backwardsChoice() const { return backwards_; }

private:
    QSpinBox* start_;
    QSpinBox* interval_;
    QRadioButton* backwards_;
};

}  // namespace corv
