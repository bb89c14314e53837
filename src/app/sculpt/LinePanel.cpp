#include "app/sculpt/LinePanel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/sculpt/SculptCommands.h"
#include "app/sculpt/CSculptView.h"
#include "controller/Parameters.h"
#include "lang/QtText.h"
#include "lang/messages/SculptMessages.h"
#include "layout/PanelLists.h"
#include "workspace/LayoutOps.h"
#include "workspace/Workspace.h"

namespace corv {

LinePanel::LinePanel(Workspace& ws, LinePanelState& state, QWidget* parent) : QWidget(parent), ws_(ws), state_(state) {
    setObjectName(QStringLiteral("linePanel"));
    const std::uint8_t lang = ws.app.language;
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lineList"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    QStringList columns;
    for (const std::string& c : LineListColumns(lang)) columns << QString::fromStdString(c);
    list_->setHeaderLabels(columns);
    for (int l = 0; l < kLineCount; ++l) {
        auto* item = new QTreeWidgetItem(list_, {QString::number(l + 1), QStringLiteral("0")});
        item->setTextAlignment(1, Qt::AlignRight);
    }
    list_->header()->setSectionResizeMode(QHeaderView::Stretch);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (updating_ || !item) return;
        state_.currentLine = list_->indexOfTopLevelItem(item);
        emit lineChosen(state_.currentLine, QApplication::keyboardModifiers());
    });

    // A click on the line already chosen still shows its first or last point.
    connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const Qt::KeyboardModifiers mods = QApplication::keyboardModifiers();
        if (item && (mods & (Qt::ControlModifier | Qt::ShiftModifier))) emit lineChosen(list_->indexOfTopLevelItem(item), mods);
    });

    ports_ = new QComboBox(this);
    ports_->setObjectName(QStringLiteral("portsPerSlave"));
    for (const auto& [text, value] : PortsPerSlaveChoices(lang)) ports_->addItem(QString::fromStdString(text), value);
    connect(ports_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (updating_ || index < 0) return;
        SetPortsPerSlave(ws_, ports_->itemData(index).toInt());
        Refresh();
    });
    master_ = new QLabel(this);
    master_->setObjectName(QStringLiteral("masterPorts"));

    module_ = new QComboBox(this);
    module_->setObjectName(QStringLiteral("moduleType"));
    connect(module_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!updating_ && index >= 0) ws_.modules.Select(index);
    });

    limit_ = new QComboBox(this);
    limit_->setObjectName(QStringLiteral("lineLimit"));
    limit_->setEditable(true);
    limit_->setInsertPolicy(QComboBox::NoInsert);
    for (int v : LineLimitChoices(ws.layout.grid.cols)) limit_->addItem(QString::number(v));
    limit_->setCurrentText(QString::number(state_.lineLimit));
    connect(limit_->lineEdit(), &QLineEdit::editingFinished, this, &LinePanel::OnLimitEdited);
    connect(limit_, &QComboBox::activated, this, [this](int) { OnLimitEdited(); });

    modes_ = new QButtonGroup(this);
    modes_->setExclusive(true);
    auto* buttons = new QGridLayout;
    const auto names = ConnectionModeNames(lang);
    for (int m = 0; m < static_cast<int>(names.size()); ++m) {
        auto* b = new QPushButton(QString::fromStdString(names[static_cast<std::size_t>(m)]), this);
        b->setObjectName(QStringLiteral("mode%1").arg(m));
        b->setCheckable(true);
        b->setChecked(m == state_.connectionMode);
        if (m >= 4) {
            b->setToolTip(RenderQt(msg::sculpt::kSinglePixelModeTip, lang));
        }
        modes_->addButton(b, m);
        buttons->addWidget(b, m / 2, m % 2);
    }
    connect(modes_, &QButtonGroup::idClicked, this, [this](int id) { state_.connectionMode = id; });

    auto* form = new QFormLayout;
    form->addRow(RenderQt(msg::sculpt::kLineAndSlaverLabel, lang), ports_);
    form->addRow(RenderQt(msg::sculpt::kMasterPortBLabel, lang), master_);
    form->addRow(RenderQt(msg::sculpt::kModuleTypeLabel, lang), module_);
    form->addRow(RenderQt(msg::sculpt::kLineLimitLabel, lang), limit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(form);
    layout->addLayout(buttons);
    RefreshModules();
    Refresh();
}

void LinePanel::OnLimitEdited() {
    bool ok = false;
    const int typed = limit_->currentText().trimmed().toInt(&ok);
    state_.lineLimit = AcceptLineLimit(ok ? typed : 0, state_.lineLimit);
    if (!ok || typed <= 0) limit_->setEditText(QString::number(state_.lineLimit));
}

void LinePanel::Refresh() {
    updating_ = true;
    ws_.layout.RecomputeLineCount();
    for (int l = 0; l < kLineCount; ++l) {
        list_->topLevelItem(l)->setText(1, QString::number(ws_.layout.lines[static_cast<std::size_t>(l)].size()));
    }
    list_->setCurrentItem(list_->topLevelItem(std::clamp(state_.currentLine, 0, kLineCount - 1)));
    master_->setText(QString::number(ws_.layout.setting.lineCount));
    // The limit list starts with the width of the grid in use (it follows New and Open).
    limit_->setItemText(0, QString::number(ws_.layout.grid.cols));
    limit_->setEditText(QString::number(state_.lineLimit));
    // A value outside the list (from an old file) shows as the nearest entry.
    const int ports = ws_.layout.setting.portsPerSlave;
    int index = 0;
    for (int i = 0; i < ports_->count(); ++i) {
        if (std::abs(ports_->itemData(i).toInt() - ports) < std::abs(ports_->itemData(index).toInt() - ports)) index = i;
    }
    ports_->setCurrentIndex(index);
    ports_->setEnabled(ws_.layout.setting.controllerType != kSimpleController);
    updating_ = false;
}

void LinePanel::RefreshModules() {
    updating_ = true;
    module_->clear();
    for (std::size_t i = 0; i < ws_.modules.size(); ++i) {
        module_->addItem(QString::fromStdString(ws_.modules.DisplayName(i, ws_.app.language)));
    }
    module_->setCurrentIndex(std::max(0, ws_.modules.current()));
    updating_ = false;
}

void LinePanel::SelectLine(int line) {
    state_.currentLine = std::clamp(line, 0, kLineCount - 1);
    updating_ = true;
    list_->setCurrentItem(list_->topLevelItem(state_.currentLine));
    updating_ = false;
}

}  // namespace corv
