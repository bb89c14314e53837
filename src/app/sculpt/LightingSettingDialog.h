#pragma once

#include <QDialog>
#include <cstdint>

#include "controller/Catalogue.h"
#include "controller/Parameters.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace corv {

class Prompt;
class Workspace;

// "Lighting setting": the controller family and one parameter set per slave. Every change
// goes straight into the layout's wiring record.
class LightingSettingDialog : public QDialog {
    Q_OBJECT
public:
    LightingSettingDialog(Workspace& ws, Prompt& prompt, QWidget* parent = nullptr);

    // Refills the lamp-type choices after the lamp types changed, keeping the selection when
    // it is still in range.
    void reloadLampTypes();

signals:
    // The controller family changed. The simple family forces four lines per slave: the line
    // panel then shows 4 and locks its ports-per-slave selector; the others unlock it.
    void controllerTypeChanged(int type);

private:
    void fillLampNames();
    // The controller-type rules for the editors: gray-level list and "Port Number:".
    void applyType(int type);
    void fillGrayLevels();
    void fillList();
    void showValues(const ParameterValues& values);
    void showSlave(int row);
    ParameterValues editorValues() const;
    void apply();

    Workspace& ws_;
    Prompt& prompt_;
    std::uint8_t language_;
    ChipCatalogue catalogue_;
    ControllerTypeState typeState_;

    QTableWidget* list_ = nullptr;
    QComboBox* lampType_ = nullptr;
    QComboBox* chipType_ = nullptr;
    QComboBox* clock_ = nullptr;
    QSpinBox* bright_ = nullptr;
    QSpinBox* red_ = nullptr;
    QSpinBox* green_ = nullptr;
    QSpinBox* blue_ = nullptr;
    QComboBox* gray_ = nullptr;
    QCheckBox* reverse_ = nullptr;
    QComboBox* ports_ = nullptr;
    QLineEdit* gamma_ = nullptr;
    QComboBox* controllerType_ = nullptr;
};

}  // namespace corv
