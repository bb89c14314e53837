#pragma once

#include <QDialog>
#include <cstdint>

class QComboBox;
class QSpinBox;

namespace corv {

struct UiStrings;
class Prompt;

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

}  // namespace corv
