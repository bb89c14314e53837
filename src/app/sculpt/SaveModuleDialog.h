#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QLineEdit;

namespace corv {

struct UiStrings;

// "Save as module": "Module name:", with the pattern's height, width and pixel number shown.
class SaveModuleDialog : public QDialog {
    Q_OBJECT
public:
    SaveModuleDialog(int width, int height, int pixels, std::uint8_t language, const UiStrings& strings,
                     QWidget* parent = nullptr);
    QString name() const;
    QLineEdit* nameEdit() const { return name_; }

private:
    QLineEdit* name_;
};

}  // namespace corv
