#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QLineEdit;
class QSpinBox;

namespace corv {

struct UiStrings;

// "Input Text" of the background tools: a text and its height in cells.
class BackgroundTextDialog : public QDialog {
    Q_OBJECT
public:
    BackgroundTextDialog(int maxHeight, std::uint8_t language, const UiStrings& strings, QWidget* parent = nullptr);
    QString text() const;
    int height() const;

private:
    QLineEdit* text_;
    QSpinBox* height_;
};

}  // namespace corv
