#pragma once

#include <QDialog>
#include <optional>

#include "workspace/WindowSettings.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace corv {

struct UiStrings;

// "System setting": version check, compressed documents, the outside painting program and
// the frame view's grid scale.
class SystemSettingDialog : public QDialog {
    Q_OBJECT
public:
    SystemSettingDialog(const SystemSettings& initial, std::uint8_t language, const UiStrings& strings,
                        QWidget* parent = nullptr);
    SystemSettings settings() const;
    // Runs the dialog; the chosen values on OK.
    static std::optional<SystemSettings> Ask(const SystemSettings& initial, std::uint8_t language,
                                             const UiStrings& strings, QWidget* parent);

    QCheckBox* autoCheckBox() const { return autoCheck_; }
    QCheckBox* compressBox() const { return compress_; }
    QLineEdit* paintPathEdit() const { return paintPath_; }
    QSpinBox* gridWidthBox() const { return gridX_; }
    QSpinBox* gridHeightBox() const { return gridY_; }

private:
    QCheckBox* autoCheck_ = nullptr;
    QCheckBox* compress_ = nullptr;
    QLineEdit* paintPath_ = nullptr;
    QSpinBox* gridX_ = nullptr;
    QSpinBox* gridY_ = nullptr;
};

}  // namespace corv
