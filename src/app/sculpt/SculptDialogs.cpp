#include "app/sculpt/SculptDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/common/DocumentDialogs.h"
#include "app/sculpt/SculptCommands.h"
#include "base/Prompt.h"
#include "layout/Layout.h"
#include "lang/UiStrings.h"

namespace corv {

namespace {

QSpinBox* Spin(int low, int high, int value, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setRange(low, high);
    s->setValue(value);
    return s;
}

void Finish(QDialog* dialog, QFormLayout* form, const UiStrings& strings) {
    auto* box = OkCancel(strings, dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(box);
}

}  // namespace

NumbersDialog::NumbersDialog(const QString& title, const std::vector<Field>& fields, const UiStrings& strings,
                             QWidget* parent, const QString& checkLabel, bool checked)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* form = new QFormLayout;
    for (const Field& f : fields) {
        spins_.push_back(Spin(f.low, f.high, f.value, this));
        form->addRow(f.label, spins_.back());
    }
    if (!checkLabel.isEmpty()) {
        check_ = new QCheckBox(checkLabel, this);
        check_->setChecked(checked);
        form->addRow(check_);
    }
    Finish(this, form, strings);
}

int NumbersDialog::value(int i) const { return spins_.at(static_cast<std::size_t>(i))->value(); }
bool NumbersDialog::checked() const { return check_ && check_->isChecked(); }

SaveModuleDialog::SaveModuleDialog(int width, int height, int pixels, std::uint8_t language, const UiStrings& strings,
                                   QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(SculptText("保存为模块", "Save as module", language));
    name_ = new QLineEdit(this);
    name_->setMaxLength(15);
    name_->setObjectName(QStringLiteral("moduleName"));
    auto* form = new QFormLayout;
    form->addRow(SculptText("模块名称:", "Module name:", language), name_);
    form->addRow(SculptText("高:", "Height:", language), new QLineEdit(QString::number(height), this));
    form->addRow(SculptText("宽:", "Width:", language), new QLineEdit(QString::number(width), this));
    form->addRow(SculptText("像素点数:", "Pixel number:", language), new QLineEdit(QString::number(pixels), this));
    for (int i = 1; i < form->rowCount(); ++i) {
        if (auto* e = qobject_cast<QLineEdit*>(form->itemAt(i, QFormLayout::FieldRole)->widget())) e->setReadOnly(true);
    }
    Finish(this, form, strings);
}

QString SaveModuleDialog::name() const { return name_->text(); }

int RepeatForGroup(int position, int group) { return group >= 1 ? group - ((position + 1) % group) : 1; }

PixelsRepeatDialog::PixelsRepeatDialog(int position, int group, std::uint8_t language, const UiStrings& strings,
                                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(SculptText("像素点重复输出", "Pixels repeat output", language));
    group_ = Spin(1, 65535, std::max(1, group), this);
    group_->setObjectName(QStringLiteral("group"));
    repeat_ = Spin(0, 65535, position > 0 ? RepeatForGroup(position, std::max(1, group)) : 1, this);
    repeat_->setObjectName(QStringLiteral("repeat"));
    group_->setEnabled(position > 0);
    group_->setToolTip(SculptText("每组像素点数: 重复数使点位对齐到组的边界", "Pixels per group: the repeat count fills the group up from the clicked point", language));
    connect(group_, &QSpinBox::valueChanged, this, [this, position](int g) {
        if (g >= 2) repeat_->setValue(RepeatForGroup(position, g));
    });
    auto* form = new QFormLayout;
    form->addRow(SculptText("像素点重复输出数:", "Repeat the number of pixels output:", language), repeat_);
    form->addRow(SculptText("分组点数:", "Group size:", language), group_);
    Finish(this, form, strings);
}

int PixelsRepeatDialog::repeat() const { return repeat_->value(); }
int PixelsRepeatDialog::group() const { return group_->value(); }

bool LineOperateValid(const LineOperateValues& v) {
    const auto in = [](int n) { return n >= 1 && n <= kLineCount; };
    switch (v.operation) {
        case LineOperation::Exchange:
        case LineOperation::Unite:
            return in(v.a) && in(v.b) && v.a != v.b;
        case LineOperation::Delete:
            return in(v.a) || in(v.b);
        case LineOperation::Move:
        case LineOperation::Copy:
            return in(v.a) && (!in(v.b) || v.b >= v.a);
    }
    return false;
}

LineOperateDialog::LineOperateDialog(int currentLine, std::uint8_t language, const UiStrings& strings, Prompt& prompt,
                                     QWidget* parent)
    : QDialog(parent), language_(language), prompt_(prompt) {
    setWindowTitle(SculptText("线路操作", "Line operate", language));
    operation_ = new QComboBox(this);
    operation_->setObjectName(QStringLiteral("operation"));
    for (const auto& [cn, en] : {std::pair{"交换", "Port exchange"}, {"合并", "Port unite"}, {"删除", "Port delete"},
                                 {"移动", "Port move"}, {"复制", "Port copy"}}) {
        operation_->addItem(SculptText(cn, en, language));
    }
    connector_ = new QComboBox(this);
    connector_->addItem(SculptText("和", "And", language));
    connector_->addItem(SculptText("到", "To", language));
    a_ = Spin(-99999, 99999, currentLine + 1, this);
    b_ = Spin(-99999, 99999, 0, this);
    dx_ = Spin(-65535, 65535, 0, this);
    dy_ = Spin(-65535, 65535, 0, this);
    auto* form = new QFormLayout;
    form->addRow(SculptText("操作:", "Operate:", language), operation_);
    form->addRow(SculptText("线路:", "Line:", language), a_);
    form->addRow(QString(), connector_);
    form->addRow(SculptText("线路:", "Line:", language), b_);
    form->addRow(SculptText("X偏移:", "OffsetX:", language), dx_);
    form->addRow(SculptText("Y偏移:", "OffsetY:", language), dy_);
    Finish(this, form, strings);
}

LineOperateValues LineOperateDialog::values() const {
    return {static_cast<LineOperation>(operation_->currentIndex()), a_->value(), b_->value(),
            connector_->currentIndex() == 1, dx_->value(), dy_->value()};
}

void LineOperateDialog::accept() {
    if (!LineOperateValid(values())) {
        prompt_.Inform(SculptText("参数错误！", "Parameter error!", language_).toStdString(), PromptIcon::Warning);
        return;
    }
    QDialog::accept();
}

BackgroundTextDialog::BackgroundTextDialog(int maxHeight, std::uint8_t language, const UiStrings& strings,
                                           QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(SculptText("输入文字", "Input Text", language));
    text_ = new QLineEdit(this);
    height_ = Spin(1, std::max(1, maxHeight), std::clamp(maxHeight, 1, 16), this);
    auto* form = new QFormLayout;
    form->addRow(SculptText("文字:", "Text:", language), text_);
    form->addRow(SculptText("文字高度(格):", "Height (cells):", language), height_);
    Finish(this, form, strings);
}

QString BackgroundTextDialog::text() const { return text_->text(); }
int BackgroundTextDialog::height() const { return height_->value(); }

}  // namespace corv
