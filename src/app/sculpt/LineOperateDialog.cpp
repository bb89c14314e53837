#include "app/sculpt/LineOperateDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QSpinBox>

#include "app/sculpt/SculptDialogsCommon.h"
#include "base/Prompt.h"
#include "layout/Layout.h"
#include "lang/QtText.h"
#include "lang/messages/SculptMessages.h"

namespace corv {

using sculpt_dialogs::Finish;
using sculpt_dialogs::Spin;

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
    setWindowTitle(RenderQt(msg::sculpt::kLineOperate, language));
    operation_ = new QComboBox(this);
    operation_->setObjectName(QStringLiteral("operation"));
    for (const Text& operation : msg::sculpt::kLineOperations) operation_->addItem(RenderQt(operation, language));
    connector_ = new QComboBox(this);
    connector_->addItem(RenderQt(msg::sculpt::kAnd, language));
    connector_->addItem(RenderQt(msg::sculpt::kTo, language));
    a_ = Spin(-99999, 99999, currentLine + 1, this);
    b_ = Spin(-99999, 99999, 0, this);
    dx_ = Spin(-65535, 65535, 0, this);
    dy_ = Spin(-65535, 65535, 0, this);
    auto* form = new QFormLayout;
    form->addRow(RenderQt(msg::sculpt::kOperateLabel, language), operation_);
    form->addRow(RenderQt(msg::sculpt::kLineLabel, language), a_);
    form->addRow(QString(), connector_);
    form->addRow(RenderQt(msg::sculpt::kLineLabel, language), b_);
    form->addRow(RenderQt(msg::sculpt::kOffsetXLabel, language), dx_);
    form->addRow(RenderQt(msg::sculpt::kOffsetYLabel, language), dy_);
    Finish(this, form, strings);
}

LineOperateValues LineOperateDialog::values() const {
    return {static_cast<LineOperation>(operation_->currentIndex()), a_->value(), b_->value(),
            connector_->currentIndex() == 1, dx_->value(), dy_->value()};
}

void LineOperateDialog::accept() {
    if (!LineOperateValid(values())) {
        prompt_.Inform(RenderQt(msg::sculpt::kParameterError, language_).toStdString(), PromptIcon::Warning);
        return;
    }
    QDialog::accept();
}

}  // namespace corv
