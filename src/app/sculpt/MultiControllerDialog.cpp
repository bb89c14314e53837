#include "app/sculpt/MultiControllerDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/sculpt/ControllerDialogsCommon.h"
#include "controller/Parameters.h"
#include "lang/QtText.h"
#include "lang/messages/SculptMessages.h"
#include "lang/messages/CommonMessages.h"
#include "workspace/Workspace.h"

namespace corv {

using controller_dialogs::Button;
using controller_dialogs::MakeList;
using controller_dialogs::Q;
using controller_dialogs::SelectedRows;
using controller_dialogs::SetRows;

MultiControllerDialog::MultiControllerDialog(Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    const std::uint8_t language = ws.app.language;
    setObjectName(QStringLiteral("MultiControllerDialog"));
    setWindowTitle(RenderQt(msg::sculpt::kMultiController, language));

    list_ = MakeList(MultiControllerColumns(language), "groupList", this);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->horizontalHeader()->setStretchLastSection(true);

    slaves_ = new QSpinBox(this);
    slaves_->setObjectName(QStringLiteral("slaveNumber"));
    slaves_->setRange(1, static_cast<int>(LineSetting::kSlaves));
    slaves_->setValue(1);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(new QLabel(RenderQt(msg::sculpt::kSlaveNumberLabel, language), this));
    numberRow->addWidget(slaves_);
    numberRow->addStretch(1);

    QPushButton* refurbish = Button(RenderQt(msg::sculpt::kRefurbish, language), "refurbish", this);
    QPushButton* add = Button(RenderQt(msg::sculpt::kAddController, language), "addController", this);
    QPushButton* deleteButton = Button(RenderQt(msg::sculpt::kDeleteController, language), "deleteController", this);
    // Every change is taken at once, so closing is all that is left to do.
    QPushButton* closeButton = Button(RenderQt(msg::common::kClose, language), "closeButton", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {refurbish, add, deleteButton, closeButton}) buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(numberRow);
    layout->addLayout(buttons);
    resize(420, 360);

    // Refurbish and delete act on a master of its own: the last row is the one taking the rest.
    auto selectedGroup = [this]() -> int {
        const std::vector<int> rows = SelectedRows(list_);
        return !rows.empty() && rows.front() < static_cast<int>(ws_.layout.slaveGroups.size()) ? rows.front() : -1;
    };
    connect(add, &QPushButton::clicked, this, [this] {
        AddController(ws_.layout.slaveGroups, slaves_->value(), ws_.layout.setting.SlaveCount());
        changed();
    });
    connect(refurbish, &QPushButton::clicked, this, [this, selectedGroup] {
        const int row = selectedGroup();
        if (row < 0) return;
        RefurbishController(ws_.layout.slaveGroups, row, slaves_->value(), ws_.layout.setting.SlaveCount());
        changed();
    });
    connect(deleteButton, &QPushButton::clicked, this, [this, selectedGroup] {
        const int row = selectedGroup();
        if (row < 0) return;
        DeleteController(ws_.layout.slaveGroups, row, ws_.layout.setting.SlaveCount());
        changed();
    });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    fillList();
}

void MultiControllerDialog::fillList() {
    const int slaveCount = ws_.layout.setting.SlaveCount();
    NormaliseSlaveGroups(ws_.layout.slaveGroups, slaveCount);
    std::vector<QStringList> rows;
    for (const auto& [range, count] : SlaveGroupRows(ws_.layout.slaveGroups, slaveCount)) {
        rows.push_back({QString::number(static_cast<int>(rows.size()) + 1), Q(range), QString::number(count)});
    }
    SetRows(list_, rows);
}

void MultiControllerDialog::changed() {
    ws_.layout.MarkChanged();
    fillList();
}

}  // namespace corv
