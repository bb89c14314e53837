#include "app/sculpt/ChipPinDialog.h"

#include <QComboBox>
#include <QFont>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/sculpt/ControllerDialogsCommon.h"
#include "base/Prompt.h"
#include "controller/LampTypes.h"
#include "lang/QtText.h"
#include "lang/Render.h"
#include "lang/messages/SculptMessages.h"
#include "lang/messages/CommonMessages.h"
#include "workspace/Workspace.h"

namespace corv {

using controller_dialogs::Button;
using controller_dialogs::Q;

ChipPinDialog::ChipPinDialog(Workspace& ws, Prompt& prompt, QWidget* parent)
    : QDialog(parent), ws_(ws), prompt_(prompt), language_(ws.app.language) {
    setObjectName(QStringLiteral("ChipPinDialog"));
    setWindowTitle(RenderQt(msg::sculpt::kChipPinSetting, language_));

    pinCount_ = new QSpinBox(this);
    pinCount_->setObjectName(QStringLiteral("pinCount"));
    pinCount_->setRange(0, static_cast<int>(LightTypeRecord::kMaxPins));  // 0 after a delete
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(RenderQt(msg::sculpt::kPinCountLabel, language_), this));
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
    form->addRow(RenderQt(msg::sculpt::kNameLabel, language_), name_);
    form->addRow(RenderQt(msg::sculpt::kShortcutLabel, language_), shortcut_);

    QPushButton* saveButton = Button(RenderQt(msg::common::kSave, language_), "saveButton", this);
    QPushButton* deleteButton = Button(RenderQt(msg::common::kDeleteText, language_), "deleteButton", this);
    QPushButton* testFile = Button(RenderQt(msg::sculpt::kMakeTestFile, language_), "makeTestFile", this);
    QPushButton* exitButton = Button(RenderQt(msg::sculpt::kExit, language_), "exitButton", this);
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
        prompt_.Inform(Render(msg::sculpt::kTestFileUnsupported, language_), PromptIcon::Information);
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

}  // namespace corv
