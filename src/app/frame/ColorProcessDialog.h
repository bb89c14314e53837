#pragma once

#include <QDialog>

#include "content/ColourProcess.h"
#include "ops/ColourProcess.h"
#include "project/Frame.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace corv {

struct UiStrings;

// What the colour processing dialog asks for: the operation's request.
using ColorProcessRequest = ops::ColourProcessRequest;

// "Color process": replace a colour, swap channels, shade channels, clear the pixels no LED
// shows or those black in the current frame, over a range of frames.
class ColorProcessDialog : public QDialog {
    Q_OBJECT
public:
    using Mode = ColorProcessRequest::Mode;
    ColorProcessDialog(int currentFrame, int frameCount, std::uint8_t language, const UiStrings& strings,
                       QWidget* parent = nullptr);

    Mode mode() const;
    int start() const;
    int end() const;
    Bgr oldColour() const { return old_; }
    Bgr newColour() const { return new_; }
    void SetColours(Bgr oldColour, Bgr newColour);
    ChannelOrder order() const;
    bool red() const;
    bool green() const;
    bool blue() const;
    int percent() const;
    ColorProcessRequest request() const;

    QRadioButton* modeChoice(Mode m) const { return modes_[static_cast<int>(m) - 1]; }
    QComboBox* orderBox() const { return order_; }
    QSpinBox* percentEdit() const { return percent_; }
    QSpinBox* startEdit() const { return start_; }
    QSpinBox* endEdit() const { return end_; }
    QCheckBox* channelBox(int channel) const { return channels_[channel]; }  // 0 red, 1 green, 2 blue
    void accept() override;

private:
    void ShowColours();
    int frameCount_;
    const UiStrings& strings_;
    QRadioButton* modes_[5];
    QPushButton* oldButton_;
    QPushButton* newButton_;
    QComboBox* order_;
    QCheckBox* channels_[3];
    QSpinBox* percent_;
    QSpinBox* start_;
    QSpinBox* end_;
    Bgr old_{0, 0, 255};
    Bgr new_{0, 255, 0};
};

}  // namespace corv
