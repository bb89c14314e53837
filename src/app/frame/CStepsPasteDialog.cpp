#include "app/frame/CStepsPasteDialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/common/DialogCommon.h"
#include "app/frame/FrameEditDialogsCommon.h"
#include "lang/QtText.h"
#include "lang/UiStrings.h"
#include "lang/messages/FrameMessages.h"
#include "lang/messages/CommonMessages.h"

namespace corv {

using frame_edit_dialogs::Buttons;
using frame_edit_dialogs::Spin;

CStepsPasteDialog::CStepsPasteDialog(int current, int frameCount, std::uint8_t language, const UiStrings& strings,
                                     QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(RenderQt(msg::common::kStepsPasteTitle, language));
    auto* group = new QGroupBox(RenderQt(msg::frame::kStepsDirection, language), this);
    auto* forwards = new QRadioButton(RenderQt(msg::frame::kStepsForwards, language), group);
    backwards_ = new QRadioButton(RenderQt(msg::frame::kStepsBackwards, language), group);
    forwards->setChecked(true);
    auto* g = new QVBoxLayout(group);
    g->addWidget(forwards);
    g->addWidget(backwards_);
    start_ = Spin(0, std::max(frameCount, 1), current, this);
    interval_ = Spin(0, 65535, 1, this);
    auto* form = new QFormLayout;
    form->addRow(RenderQt(msg::frame::kStartFrame, language), start_);
    form->addRow(RenderQt(msg::frame::kFrameInterval, language), interval_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(form);
    layout->addWidget(Buttons(this, strings));
}

int CStepsPasteDialog::startFrame() const { return start_->value(); }
int CStepsPasteDialog::interval() const { return std::max(interval_->value(), 1); }  // below 2 counts as 1
bool CStepsPasteDialog::backwards() const { return backwards_->isChecked(); }

}  // namespace corv
