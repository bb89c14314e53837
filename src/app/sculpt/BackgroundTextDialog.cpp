#include "app/sculpt/BackgroundTextDialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <algorithm>

#include "app/sculpt/SculptDialogsCommon.h"
#include "lang/QtText.h"
#include "lang/messages/SculptMessages.h"
#include "lang/messages/CommonMessages.h"

namespace corv {

using sculpt_dialogs::Finish;
using sculpt_dialogs::Spin;

BackgroundTextDialog::BackgroundTextDialog(int maxHeight, std::uint8_t language, const UiStrings& strings,
                                           QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(RenderQt(msg::sculpt::kInputText, language));
    text_ = new QLineEdit(this);
    height_ = Spin(1, std::max(1, maxHeight), std::clamp(maxHeight, 1, 16), this);
    auto* form = new QFormLayout;
    form->addRow(RenderQt(msg::common::kTextLabel, language), text_);
    form->addRow(RenderQt(msg::sculpt::kTextHeightLabel, language), height_);
    Finish(this, form, strings);
}

QString BackgroundTextDialog::text() const { return text_->text(); }
int BackgroundTextDialog::height() const { return height_->value(); }

}  // namespace corv
