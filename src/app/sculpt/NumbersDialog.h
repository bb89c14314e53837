#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class QCheckBox;
class QSpinBox;

namespace corv {

struct UiStrings;

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

}  // namespace corv
