#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace corv {

struct UiStrings;
class Prompt;

// A dialog of labelled whole numbers (the tile counts of "Setting", "Paste Setting", the new
// layout's size, the background's size and place), with an optional check box.
class NumbersDialog : public QDialog {
    Q_OBJECT
public:
    struct Field {
        QString label;
        int low, high, value;
    };
    NumbersDialog(const QString& title, const std::vector<Field>& fields, const UiStrings& strings,
                  QWidget* parent = nullptr, const QString& checkLabel = {}, bool checked = false);
    int value(int i) const;
    QSpinBox* field(int i) const { return spins_[static_cast<std::size_t>(i)]; }
    bool checked() const;
    QCheckBox* checkBox() const { return check_; }

private:
    std::vector<QSpinBox*> spins_;
    QCheckBox* check_ = nullptr;
};

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

// "Line operate": the operation, line a, "And" or "To", line b and the offset (lines 1-based).
enum class LineOperation { Exchange = 0, Unite, Delete, Move, Copy };
struct LineOperateValues {
    LineOperation operation = LineOperation::Exchange;
    int a = 1, b = 1;  // 1-based
    bool to = false;   // "To" rather than "And"
    int dx = 0, dy = 0;
};
// Whether the values are valid for the operation (else "Parameter error!").
bool LineOperateValid(const LineOperateValues& v);

class LineOperateDialog : public QDialog {
    Q_OBJECT
public:
    // Wrong values are told through `prompt` and keep the dialog open.
    LineOperateDialog(int currentLine, std::uint8_t language, const UiStrings& strings, Prompt& prompt,
                      QWidget* parent = nullptr);
    LineOperateValues values() const;
    QComboBox* operationBox() const { return operation_; }
    QComboBox* connectorBox() const { return connector_; }
    QSpinBox* lineA() const { return a_; }
    QSpinBox* lineB() const { return b_; }
    QSpinBox* offsetX() const { return dx_; }
    QSpinBox* offsetY() const { return dy_; }
    void accept() override;

private:
    std::uint8_t language_;
    Prompt& prompt_;
    QComboBox* operation_;
    QComboBox* connector_;
    QSpinBox* a_;
    QSpinBox* b_;
    QSpinBox* dx_;
    QSpinBox* dy_;
};

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
