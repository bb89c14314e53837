#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace corv {

class Prompt;
class Workspace;

// "Chip-pin setting": which driver-chip pin carries which colour of which pixel, per lamp
// type. The user lamp types are written to the lamp-type file when the dialog closes.
class ChipPinDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSelectors = 64;

    ChipPinDialog(Workspace& ws, Prompt& prompt, QWidget* parent = nullptr);

    void done(int result) override;

signals:
    // The lamp types were written on closing; lamp-type choices elsewhere should be refilled.
    void lampTypesSaved();

private:
    void showLampType(int index);
    void enableSelectors(int pinCount);
    void save();
    void remove();

    Workspace& ws_;
    Prompt& prompt_;
    std::uint8_t language_;

    QSpinBox* pinCount_ = nullptr;
    std::array<QComboBox*, kSelectors> pins_{};
    QComboBox* name_ = nullptr;
    QLineEdit* shortcut_ = nullptr;
};

}  // namespace corv
