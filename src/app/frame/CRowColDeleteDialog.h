#pragma once

#include <QDialog>
#include <cstdint>

class QSpinBox;

namespace corv {

struct UiStrings;

// "Row Col Delete": the range and "Reserve N row,Delete M row" / "Reserve N col,Delete M col".
class CRowColDeleteDialog : public QDialog {
    Q_OBJECT
public:
    CRowColDeleteDialog(int frameCount, std::uint8_t language, const UiStrings& strings, QWidget* parent = nullptr);
    int start() const;
    int end() const;
    int keepRows() const;
    int deleteRows() const;
    int keepCols() const;
    int deleteCols() const;
    QSpinBox* startEdit() const { return start_; }
    QSpinBox* endEdit() const { return end_; }
    void accept() override;

private:
    int frameCount_;
    const UiStrings& strings_;
    QSpinBox* start_;
    QSpinBox* end_;
    QSpinBox* values_[4];
};

}  // namespace corv
