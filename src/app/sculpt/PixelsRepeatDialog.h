#pragma once

#include <QDialog>
#include <cstdint>

class QSpinBox;

namespace corv {

struct UiStrings;

// "Pixels repeat output": the repeat count and the group size. With a position p > 0 the count
// follows the group: group - ((p + 1) mod group); with p = 0 the group cannot be edited.
class PixelsRepeatDialog : public QDialog {
    Q_OBJECT
public:
    PixelsRepeatDialog(int position, int group, std::uint8_t language, const UiStrings& strings,
                       QWidget* parent = nullptr);
    int repeat() const;
    int group() const;
    QSpinBox* repeatEdit() const { return repeat_; }
    QSpinBox* groupEdit() const { return group_; }

private:
    QSpinBox* repeat_;
    QSpinBox* group_;
};
int RepeatForGroup(int position, int group);

}  // namespace corv
