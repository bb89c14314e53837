#include "app/sculpt/LightingSettingDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/sculpt/ControllerDialogsCommon.h"
#include "base/Prompt.h"
#include "controller/LampTypes.h"
#include "lang/Localize.h"
#include "lang/QtText.h"
#include "lang/messages/SculptMessages.h"
#include "lang/messages/CommonMessages.h"
#include "ops/Layout.h"
#include "workspace/Workspace.h"

namespace corv {

using controller_dialogs::Button;
using controller_dialogs::List;
using controller_dialogs::MakeList;
using controller_dialogs::Q;
using controller_dialogs::SelectedRows;
using controller_dialogs::SetRows;

namespace {

QSpinBox* Percent(const char* name, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(0, 100);
    return s;
}

}  // namespace

LightingSettingDialog::LightingSettingDialog(Workspace& ws, Prompt& prompt, QWidget* parent)
    : QDialog(parent),
      ws_(ws),
      prompt_(prompt),
      language_(ws.app.language),
      catalogue_(ChipCatalogue::Load(ws.home / kCatalogueFileName)) {
    setObjectName(QStringLiteral("LightingSettingDialog"));
    setWindowTitle(RenderQt(msg::sculpt::kLightingSetting, language_));

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
    reverse_ = new QCheckBox(RenderQt(msg::sculpt::kColorReverse, language_), this);
    reverse_->setObjectName(QStringLiteral("colorReverse"));

    for (std::size_t i = 0; i < catalogue_.entries().size(); ++i) {
        chipType_->addItem(Q(catalogue_.Name(i, language_)));
        chipType_->setItemData(static_cast<int>(i), Q(catalogue_.Tips(i, language_)), Qt::ToolTipRole);
    }
    fillLampNames();

    auto* left = new QFormLayout;
    left->addRow(RenderQt(msg::sculpt::kLampTypeLabel, language_), lampType_);
    left->addRow(RenderQt(msg::sculpt::kControlTypeLabel, language_), chipType_);
    left->addRow(RenderQt(msg::sculpt::kClockRateLabel, language_), clock_);
    left->addRow(RenderQt(msg::sculpt::kGrayLevelLabel, language_), gray_);
    left->addRow(RenderQt(msg::sculpt::kPortNumberLabel, language_), ports_);
    left->addRow(RenderQt(msg::sculpt::kGammaLabel, language_), gamma_);
    auto* right = new QFormLayout;
    right->addRow(RenderQt(msg::sculpt::kBrightLabel, language_), bright_);
    right->addRow(RenderQt(msg::sculpt::kRedLabel, language_), red_);
    right->addRow(RenderQt(msg::sculpt::kGreenLabel, language_), green_);
    right->addRow(RenderQt(msg::sculpt::kBlueLabel, language_), blue_);
    right->addRow(reverse_);
    right->addRow(RenderQt(msg::sculpt::kControllerTypeLabel, language_), controllerType_);
    auto* editors = new QHBoxLayout;
    editors->addLayout(left);
    editors->addLayout(right);

    QPushButton* add = Button(RenderQt(msg::common::kAdd, language_), "addButton", this);
    QPushButton* applyButton = Button(RenderQt(msg::sculpt::kApply, language_), "applyButton", this);
    QPushButton* ok = Button(RenderQt(msg::common::kOk, language_), "okButton", this);
    QPushButton* exitButton = Button(RenderQt(msg::sculpt::kExit, language_), "exitButton", this);
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

    // A family chosen is a change of the layout (the opening rules above are none).
    connect(controllerType_, &QComboBox::currentIndexChanged, this, [this](int chosen) {
        if (chosen < 0) return;
        if (gray_->currentIndex() >= 0) typeState_.graySelection = gray_->currentIndex();
        if (const auto set = ops::SetControllerType(ws_, {chosen, typeState_}, prompt_, {})) typeState_ = set->state;
        fillGrayLevels();
        ports_->setCurrentText(QString::number(ws_.layout.setting.portsPerSlave));
        fillList();
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
        ops::SetSlaveParameters(ws_, {editorValues(), SelectedRows(list_), list_->rowCount()}, prompt_, {})->message;
    if (!message.empty()) {
        prompt_.Inform(message, PromptIcon::Information);
        return;
    }
    fillList();
}

}  // namespace corv
