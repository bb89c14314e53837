#pragma once

#include <QDialog>

class QSpinBox;

namespace corv {

struct UiStrings;

// The range "Select frame range" starts with for a clip of `frameCount` frames while frame
// `currentFrame` (0-based) is shown: from frame 2 to the current frame, never past the
// clip's ends and never starting after it ends (a one-frame clip gives 1..1).
struct FrameRange {
    int start = 1;
    int end = 1;
};
FrameRange InitialSupplementalRange(int currentFrame, int frameCount);

// "Select frame range": Start and End frame (1-based) with "FirstFrame" and "LastFrame".
class CFrameRangeDialog : public QDialog {
    Q_OBJECT
public:
    CFrameRangeDialog(int start, int end, int frameCount, const UiStrings& strings, QWidget* parent = nullptr);
    int start() const;
    int end() const;
    QSpinBox* startEdit() const { return start_; }
    QSpinBox* endEdit() const { return end_; }

    void accept() override;

private:
    int frameCount_;
    const UiStrings& strings_;
    QSpinBox* start_;
    QSpinBox* end_;
};

}  // namespace corv
