#include "app/sculpt/PixelsRepeatDialog.h"

#include <QFormLayout>
#include <QSpinBox>
#include <algorithm>

#include "app/sculpt/SculptDialogsCommon.h"
#include "lang/QtText.h"
#include "lang/messages/SculptMessages.h"

namespace corv {

using sculpt_dialogs::Finish;
using sculpt_dialogs::Spin;

int RepeatForGroup(int position, int group) { return group >= 1 ? group - ((position + 1) % group) : 1; }

PixelsRepeatDialog::PixelsRepeatDialog(int position, int group, std::uint8_t language, const UiStrings& strings,
                                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(RenderQt(msg::sculpt::kPixelsRepeatTitle, language));
    group_ = Spin(1, 65535, std::max(1, group), this);
    group_->setObjectName(QStringLiteral("group"));
    repeat_ = Spin(0, 65535, position > 0 ? RepeatForGroup(position, std::max(1, group)) : 1, this);
    repeat_->setObjectName(QStringLiteral("repeat"));
    group_->setEnabled(position > 0);
    group_->setToolTip(RenderQt(msg::sculpt::kGroupSizeTip, language));
    connect(group_, &QSpinBox::valueChanged, this, [this, position](int g) {
        if (g >= 2) repeat_->setValue(RepeatForGroup(position, g));
    });
    auto* form = new QFormLayout;
    form->addRow(RenderQt(msg::sculpt::kRepeatCountLabel, language), repeat_);
    form->addRow(RenderQt(msg::sculpt::kGroupSizeLabel, language), group_);
    Finish(this, form, strings);
}

int PixelsRepeatDialog::repeat() const { return repeat_->value(); }
int PixelsRepeatDialog::group() const { return group_->value(); }

}  // namespace corv
