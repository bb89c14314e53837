#include "app/sculpt/SaveModuleDialog.h"

#include <QFormLayout>
#include <QLineEdit>

#include "app/sculpt/SculptDialogsCommon.h"
#include "lang/QtText.h"
#include "lang/messages/SculptMessages.h"
#include "lang/messages/CommonMessages.h"

namespace corv {

using sculpt_dialogs::Finish;

SaveModuleDialog::SaveModuleDialog(int width, int height, int pixels, std::uint8_t language, const UiStrings& strings,
                                   QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(RenderQt(msg::sculpt::kSaveAsModule, language));
    name_ = new QLineEdit(this);
    name_->setMaxLength(15);
    name_->setObjectName(QStringLiteral("moduleName"));
    auto* form = new QFormLayout;
    form->addRow(RenderQt(msg::sculpt::kModuleNameLabel, language), name_);
    form->addRow(RenderQt(msg::common::kFontHeight, language), new QLineEdit(QString::number(height), this));
    form->addRow(RenderQt(msg::common::kFontWidth, language), new QLineEdit(QString::number(width), this));
    form->addRow(RenderQt(msg::sculpt::kPixelNumberLabel, language), new QLineEdit(QString::number(pixels), this));
    for (int i = 1; i < form->rowCount(); ++i) {
        if (auto* e = qobject_cast<QLineEdit*>(form->itemAt(i, QFormLayout::FieldRole)->widget())) e->setReadOnly(true);
    }
    Finish(this, form, strings);
}

QString SaveModuleDialog::name() const { return name_->text(); }

}  // namespace corv
