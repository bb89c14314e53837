#pragma once

#include <QDialog>
#include <cstdint>

class QRadioButton;
class QSpinBox;

namespace corv {

struct UiStrings;

// "Frame operate": Start and End frame with "First frame" / "Last frame", and in copy mode
// "Copy to clipboard." or "Repeat time of every frame:", in delete mode "Delete appoint range
// of all frame." or "Space frame numbers:".
class CRangeOperateDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Copy, Delete };
    CRangeOperateDialog(Mode mode, int current, int frameCount, std::uint8_t language, const UiStrings& strings,
                        QWidget* parent = nullptr);
    int start() const;  // 1-based
    int end() const;
    bool second() const;  // "Repeat time ..." / "Space frame numbers:" chosen
    int number() const;   // the repeat count or the spacing
    QSpinBox* startEdit() const { return start_; }
    QSpinBox* endEdit() const { return end_; }
    QRadioButton* secondChoice() const { return second_; }
    QSpinBox* numberEdit() const { return number_; }
    void accept() override;

private:
    int frameCount_;
    const UiStrings& strings_;
    QSpinBox* start_;
    QSpinBox* end_;
    QRadioButton* second_;
    QSpinBox* number_;
};

}  // namespace corv
