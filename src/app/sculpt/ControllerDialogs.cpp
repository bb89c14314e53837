#include "app/sculpt/ControllerDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/Prompt.h"
#include "controller/LampTypes.h"
#include "lang/Language.h"
#include "lang/Localize.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

// The dialog's own texts in the running language (Traditional through the character mapping).
QString T(std::uint8_t language, const char* chinese, const char* english) {
    return UsesChinese(language) ? QString::fromStdString(LocalizeText(chinese, language)) : QString::fromUtf8(english);
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

QStringList List(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& t : texts) list << Q(t);
    return list;
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QSpinBox* Percent(const char* name, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(0, 100);
    return s;
}

// A read-only list with full-row selection and grid lines.
QTableWidget* MakeList(const std::vector<std::string>& columns, const char* name, QWidget* parent) {
    auto* t = new QTableWidget(0, static_cast<int>(columns.size()), parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setHorizontalHeaderLabels(List(columns));
    t->verticalHeader()->hide();
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setShowGrid(true);
    return t;
}

// Rewrites the list's texts in place, so rows that stay keep their selection.
void SetRows(QTableWidget* table, const std::vector<QStringList>& rows) {
    const QSignalBlocker blocker(table);
    table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        const QStringList& row = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < row.size() && c < table->columnCount(); ++c) {
            QTableWidgetItem* item = table->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                table->setItem(r, c, item);
            }
            item->setText(row[c]);
        }
    }
}

std::vector<int> SelectedRows(const QTableWidget* table) {
    std::vector<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Lighting setting

LightingSettingDialog::LightingSettingDialog(Workspace& ws, Prompt& prompt, QWidget* parent)
    : QDialog(parent),
      ws_(ws),
      prompt_(prompt),
      language_(ws.app.language),
      catalogue_(ChipCatalogue::Load(ws.home / kCatalogueFileName)) {
    setObjectName(QStringLiteral("LightingSettingDialog"));
    setWindowTitle(T(language_, "控制器参数设置", "Lighting setting"));

    list_ = MakeList(SlaveListColumns(language_), "slaveList", this);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);

    lampType_ = new QComboBox(this);
    lampType_->setObjectName(QStringLiteral("lampType"));
    chipType_ = new QComboBox(this);
    chipType_->setObjectName(QStringLiteral("chipType"));
    clock_ = new QComboBox(this);
    clock_->setObjectName(QStringLiteral("clockRate"));
    clock_->setEditable(true);
    clock_->setInsertPolicy(QComboBox::NoInsert);
    clock_->addItems(List(ClockChoices()));
    gray_ = new QComboBox(this);
    gray_->setObjectName(QStringLiteral("grayLevel"));
    ports_ = new QComboBox(this);
    ports_->setObjectName(QStringLiteral("portNumber"));
    ports_->setEditable(true);
    ports_->setInsertPolicy(QComboBox::NoInsert);
    ports_->addItems(List(PortNumberChoices()));
    gamma_ = new QLineEdit(this);
    gamma_->setObjectName(QStringLiteral("gamma"));
    controllerType_ = new QComboBox(this);
    controllerType_->setObjectName(QStringLiteral("controllerType"));
    for (int type = kMasterSlave; type <= kSimpleController; ++type) {
        controllerType_->addItem(Q(LocalizeText(ControllerTypeName(type, language_), language_)));
    }
    bright_ = Percent("bright", this);
    red_ = Percent("red", this);
    green_ = Percent("green", this);
    blue_ = Percent("blue", this);
    reverse_ = new QCheckBox(T(language_, "颜色取反", "ColorReverse"), this);
    reverse_->setObjectName(QStringLiteral("colorReverse"));

    for (std::size_t i = 0; i < catalogue_.entries().size(); ++i) {
        chipType_->addItem(Q(catalogue_.Name(i, language_)));
        chipType_->setItemData(static_cast<int>(i), Q(catalogue_.Tips(i, language_)), Qt::ToolTipRole);
    }
    fillLampNames();

    auto* left = new QFormLayout;
    left->addRow(T(language_, "灯具类型:", "LightType:"), lampType_);
    left->addRow(T(language_, "控制类型:", "ControlType:"), chipType_);
    left->addRow(T(language_, "时钟频率:", "ClockRate:"), clock_);
    left->addRow(T(language_, "灰度等级:", "GrayLevel:"), gray_);
    left->addRow(T(language_, "端口数:", "Port Number:"), ports_);
    left->addRow(T(language_, "伽马值:", "Gamma:"), gamma_);
    auto* right = new QFormLayout;
    right->addRow(T(language_, "亮度:", "Bright:"), bright_);
    right->addRow(T(language_, "红色:", "Red:"), red_);
    right->addRow(T(language_, "绿色:", "Green:"), green_);
    right->addRow(T(language_, "蓝色:", "Blue:"), blue_);
    right->addRow(reverse_);
    right->addRow(T(language_, "控制器类型:", "Controller type:"), controllerType_);
    auto* editors = new QHBoxLayout;
    editors->addLayout(left);
    editors->addLayout(right);

    QPushButton* add = Button(T(language_, "添加", "Add"), "addButton", this);
    QPushButton* applyButton = Button(T(language_, "应用", "Apply"), "applyButton", this);
    QPushButton* ok = Button(T(language_, "确定", "OK"), "okButton", this);
    QPushButton* exitButton = Button(T(language_, "退出", "Exit"), "exitButton", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {add, applyButton, ok, exitButton}) buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(editors);
    layout->addLayout(buttons);
    resize(820, 560);

    // Opening: the defaults, the rules of the current controller type, then the slaves.
    const ParameterValues defaults = DialogDefaults(catalogue_);
    typeState_.graySelection = defaults.grayIndex;
    fillGrayLevels();
    showValues(defaults);
    const int type = std::min<int>(ws_.layout.setting.controllerType, kSimpleController);
    controllerType_->setCurrentIndex(type);
    applyType(type);
    fillList();
    showSlave(0);

    connect(controllerType_, &QComboBox::currentIndexChanged, this, [this](int chosen) {
        if (chosen < 0) return;
        applyType(chosen);
        fillList();
        ws_.layout.MarkChanged();
        emit controllerTypeChanged(chosen);
    });
    connect(list_, &QTableWidget::itemSelectionChanged, this, [this] {
        if (list_->currentRow() >= 0) showSlave(list_->currentRow());
    });
    // Choosing a chip selects its own gray levels where the catalogue gives them (showing a
    // slave's values is no choice: showValues blocks this).
    connect(chipType_, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (position < 0) return;
        gray_->setCurrentIndex(GrayIndexForChip(catalogue_, catalogue_.CodeAt(static_cast<std::size_t>(position)),
                                                gray_->currentIndex(), gray_->count()));
    });
    connect(add, &QPushButton::clicked, this, &LightingSettingDialog::apply);
    connect(applyButton, &QPushButton::clicked, this, &LightingSettingDialog::apply);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

void LightingSettingDialog::fillLampNames() {
    lampType_->clear();
    for (const LightTypeRecord& lamp : ws_.lampTypes) lampType_->addItem(Q(lamp.Name()));
}

void LightingSettingDialog::reloadLampTypes() {
    const int kept = lampType_->currentIndex();
    fillLampNames();
    lampType_->setCurrentIndex(kept >= 0 && kept < lampType_->count() ? kept : 0);
    fillList();
}

void LightingSettingDialog::applyType(int type) {
    if (gray_->currentIndex() >= 0) typeState_.graySelection = gray_->currentIndex();
    typeState_ = ApplyControllerType(ws_.layout.setting, type, typeState_);
    fillGrayLevels();
    ports_->setCurrentText(QString::number(ws_.layout.setting.portsPerSlave));
}

void LightingSettingDialog::fillGrayLevels() {
    // The whole list, cut to the length the controller family allows.
    const std::vector<std::string> levels = GrayLevelChoices(kMasterSlave);
    gray_->clear();
    for (int i = 0; i < typeState_.grayListSize && i < static_cast<int>(levels.size()); ++i) {
        gray_->addItem(Q(levels[static_cast<std::size_t>(i)]));
    }
    gray_->setCurrentIndex(std::min(typeState_.graySelection, gray_->count() - 1));
}

void LightingSettingDialog::fillList() {
    std::vector<QStringList> rows;
    for (const auto& row : SlaveListRows(ws_.layout.setting, ws_.lampTypes, catalogue_, language_)) {
        rows.push_back(List(row));
    }
    SetRows(list_, rows);
}

void LightingSettingDialog::showValues(const ParameterValues& v) {
    lampType_->setCurrentIndex(v.lightType < lampType_->count() ? v.lightType : 0);
    {
        const QSignalBlocker shown(chipType_);
        chipType_->setCurrentIndex(catalogue_.PositionOf(v.chipCode));
    }
    clock_->setCurrentText(Q(ClockText(v.clockDivisor)));
    bright_->setValue(v.brightness);
    red_->setValue(v.red);
    green_->setValue(v.green);
    blue_->setValue(v.blue);
    gray_->setCurrentIndex(std::min(v.grayIndex, gray_->count() - 1));
    reverse_->setChecked(v.reverse);
    ports_->setCurrentText(QString::number(v.ports));
    gamma_->setText(Q(GammaText(v.gamma)));
}

void LightingSettingDialog::showSlave(int row) {
    if (row < 0 || row >= static_cast<int>(LineSetting::kSlaves)) return;
    const LineSetting& s = ws_.layout.setting;
    const auto k = static_cast<std::size_t>(row);
    ParameterValues v;
    v.lightType = s.lightType[k];
    v.chipCode = s.icType[k];
    v.clockDivisor = s.clock[k];
    v.brightness = s.brightness[k];
    v.red = s.red[k];
    v.green = s.green[k];
    v.blue = s.blue[k];
    v.ports = static_cast<std::int8_t>(s.linePorts[k]);
    v.grayIndex = s.grayReverse[k] & 0x0F;
    v.reverse = (s.grayReverse[k] & 0x80) != 0;
    v.gamma = s.gamma[k];
    showValues(v);
}

ParameterValues LightingSettingDialog::editorValues() const {
    ParameterValues v;
    v.lightType = std::max(lampType_->currentIndex(), 0);
    v.chipCode = catalogue_.CodeAt(static_cast<std::size_t>(std::max(chipType_->currentIndex(), 0)));
    v.clockDivisor = ClockDivisorFromMHz(clock_->currentText().toDouble());
    v.brightness = bright_->value();
    v.red = red_->value();
    v.green = green_->value();
    v.blue = blue_->value();
    v.ports = ports_->currentText().toInt();
    v.grayIndex = std::max(gray_->currentIndex(), 0);
    v.reverse = reverse_->isChecked();
    v.gamma = GammaFromValue(gamma_->text().toDouble());
    return v;
}

void LightingSettingDialog::apply() {
    const std::string message =
        ApplyParameters(ws_.layout.setting, editorValues(), SelectedRows(list_), list_->rowCount(), language_);
    ws_.layout.MarkChanged();
    if (!message.empty()) {
        prompt_.Inform(message, PromptIcon::Information);
        return;
    }
    fillList();
}

// ---------------------------------------------------------------------------------------------
// Chip-pin setting

ChipPinDialog::ChipPinDialog(Workspace& ws, Prompt& prompt, QWidget* parent)
    : QDialog(parent), ws_(ws), prompt_(prompt), language_(ws.app.language) {
    setObjectName(QStringLiteral("ChipPinDialog"));
    setWindowTitle(T(language_, "控制引脚设置", "Chip-pin setting"));

    pinCount_ = new QSpinBox(this);
    pinCount_->setObjectName(QStringLiteral("pinCount"));
    pinCount_->setRange(0, static_cast<int>(LightTypeRecord::kMaxPins));  // 0 after a delete
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(T(language_, "LED灯具控制引脚数:", "Led light chip-pin number:"), this));
    countRow->addWidget(pinCount_);
    countRow->addStretch(1);

    QStringList choices{QString()};
    for (int pixel = 1; pixel <= 16; ++pixel) {
        choices << QStringLiteral("R%1").arg(pixel) << QStringLiteral("G%1").arg(pixel) << QStringLiteral("B%1").arg(pixel);
    }
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    for (int i = 0; i < kSelectors; ++i) {
        auto* label = new QLabel(QString::number(i + 1), this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QFont font = label->font();
        if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * 0.8);
        label->setFont(font);
        auto* pin = new QComboBox(this);
        pin->setObjectName(QStringLiteral("pin%1").arg(i + 1));
        pin->setEditable(true);
        pin->setInsertPolicy(QComboBox::NoInsert);
        pin->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        pin->setMinimumContentsLength(3);
        pin->addItems(choices);
        pins_[static_cast<std::size_t>(i)] = pin;
        grid->addWidget(label, i / 8, 2 * (i % 8));
        grid->addWidget(pin, i / 8, 2 * (i % 8) + 1);
    }

    name_ = new QComboBox(this);
    name_->setObjectName(QStringLiteral("lampName"));
    name_->setEditable(true);
    name_->setInsertPolicy(QComboBox::NoInsert);
    name_->lineEdit()->setMaxLength(48);
    for (const LightTypeRecord& lamp : ws_.lampTypes) name_->addItem(Q(lamp.Name()));
    shortcut_ = new QLineEdit(this);
    shortcut_->setObjectName(QStringLiteral("shortcut"));
    shortcut_->setMaxLength(1000);
    auto* form = new QFormLayout;
    form->addRow(T(language_, "名称:", "Name:"), name_);
    form->addRow(T(language_, "快捷方式:", "Shortcut:"), shortcut_);

    QPushButton* saveButton = Button(T(language_, "保存", "Save"), "saveButton", this);
    QPushButton* deleteButton = Button(T(language_, "删除", "Delete"), "deleteButton", this);
    QPushButton* testFile = Button(T(language_, "生成测试文件", "MakeTestFile"), "makeTestFile", this);
    QPushButton* exitButton = Button(T(language_, "退出", "Exit"), "exitButton", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {saveButton, deleteButton, testFile, exitButton}) buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(countRow);
    layout->addLayout(grid);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(pinCount_, &QSpinBox::valueChanged, this, &ChipPinDialog::enableSelectors);
    connect(name_, &QComboBox::activated, this, &ChipPinDialog::showLampType);
    connect(saveButton, &QPushButton::clicked, this, &ChipPinDialog::save);
    connect(deleteButton, &QPushButton::clicked, this, &ChipPinDialog::remove);
    connect(testFile, &QPushButton::clicked, this, [this] {
        prompt_.Inform(LocalizeText("暂不支持，请使用分控器", language_), PromptIcon::Information);
    });
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);

    name_->setCurrentIndex(0);
    showLampType(0);
}

void ChipPinDialog::done(int result) {
    SaveLampTypes(ws_.home / kPinSetFileName, ws_.lampTypes);  // a failed write is silent
    emit lampTypesSaved();
    QDialog::done(result);
}

void ChipPinDialog::showLampType(int index) {
    if (index < 0 || index >= static_cast<int>(ws_.lampTypes.size())) return;
    const LightTypeRecord& lamp = ws_.lampTypes[static_cast<std::size_t>(index)];
    for (int i = 0; i < kSelectors; ++i) {
        pins_[static_cast<std::size_t>(i)]->setCurrentText(
            i < lamp.pinCount ? Q(PinText(lamp.pins[static_cast<std::size_t>(i)])) : QString());
    }
    pinCount_->setValue(lamp.pinCount);
    shortcut_->setText(Q(ShortcutText(lamp)));
}

void ChipPinDialog::enableSelectors(int pinCount) {
    for (int i = 0; i < kSelectors; ++i) pins_[static_cast<std::size_t>(i)]->setEnabled(i < pinCount);
}

void ChipPinDialog::save() {
    std::vector<std::string> selectors;
    for (const QComboBox* pin : pins_) selectors.push_back(pin->currentText().toStdString());
    const ChipPinResult r = SaveChipPins(ws_.lampTypes, name_->currentText().toStdString(), pinCount_->value(),
                                         selectors, shortcut_->text().toStdString(), ws_.strings);
    if (r.kind == ChipPinResult::Added) {
        name_->addItem(Q(ws_.lampTypes.back().Name()));
        name_->setCurrentIndex(name_->count() - 1);
    }
    // The line file carries the lamp types: a changed list is a change of the layout.
    if (r.kind == ChipPinResult::Added || r.kind == ChipPinResult::Replaced) ws_.layout.MarkChanged();
    if (!r.message.empty()) {
        prompt_.Inform(r.message, r.kind == ChipPinResult::PinError ? PromptIcon::Warning : PromptIcon::Information);
    }
}

void ChipPinDialog::remove() {
    const int index = name_->currentIndex();
    if (index < 0) return;
    const LineSetting::Table before = ws_.layout.setting.lightType;
    const std::string message =
        DeleteLampType(ws_.lampTypes, static_cast<std::size_t>(index), ws_.layout.setting, ws_.strings);
    if (message.empty()) return;
    if (ws_.layout.setting.lightType != before) ws_.layout.MarkChanged();
    name_->removeItem(index);
    name_->setCurrentIndex(0);
    pinCount_->setValue(0);
    prompt_.Inform(message, PromptIcon::Information);
}

// ---------------------------------------------------------------------------------------------
// Multi-controller setting

MultiControllerDialog::MultiControllerDialog(Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    const std::uint8_t language = ws.app.language;
    setObjectName(QStringLiteral("MultiControllerDialog"));
    setWindowTitle(T(language, "多台主控制器设置", "Multi-controller Setting"));

    list_ = MakeList(MultiControllerColumns(language), "groupList", this);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->horizontalHeader()->setStretchLastSection(true);

    slaves_ = new QSpinBox(this);
    slaves_->setObjectName(QStringLiteral("slaveNumber"));
    slaves_->setRange(1, static_cast<int>(LineSetting::kSlaves));
    slaves_->setValue(1);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(new QLabel(T(language, "分控数目:", "Slave number:"), this));
    numberRow->addWidget(slaves_);
    numberRow->addStretch(1);

    QPushButton* refurbish = Button(T(language, "更新", "Refurbish"), "refurbish", this);
    QPushButton* add = Button(T(language, "添加主控制器", "AddController"), "addController", this);
    QPushButton* deleteButton = Button(T(language, "删除主控制器(&D)", "&DeleteConroller"), "deleteController", this);
    // Every change is taken at once, so closing is all that is left to do.
    QPushButton* closeButton = Button(T(language, "关闭", "Close"), "closeButton", this);
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
