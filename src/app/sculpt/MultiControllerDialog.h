#pragma once

#include <QDialog>

class QSpinBox;
class QTableWidget;

namespace corv {

class Workspace;

// "Multi-controller Setting": how many slaves each master controller drives; the last master
// takes the rest.
class MultiControllerDialog : public QDialog {
    Q_OBJECT
public:
    MultiControllerDialog(Workspace& ws, QWidget* parent = nullptr);

private:
    void fillList();
    // Marks the layout modified and shows the list again.
    void changed();

    Workspace& ws_;
    QTableWidget* list_ = nullptr;
    QSpinBox* slaves_ = nullptr;
};

}  // namespace corv
