#include "app/frame/CRangeOperateDialog.h"

#include <QFormLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/common/DialogCommon.h"
#include "app/frame/FrameEditDialogsCommon.h"
#include "lang/QtText.h"
#include "lang/UiStrings.h"
#include "lang/messages/FrameMessages.h"

namespace corv {

using frame_edit_dialogs::Buttons;
using frame_edit_dialogs::Spin;

CRangeOperateDialog::CRangeOperateDialog(Mode mode, int current, int frameCount, std::uint8_t language,
                                         const UiStrings& strings, QWidget* parent)
    : QDialog(parent), frameCount_(frameCount), strings_(strings) {
    setWindowTitle(RenderQt(msg::frame::kFrameOperateTitle, language));
    start_ = Spin(1, std::max(frameCount, 1) + 1000000, current, this);
    end_ = Spin(1, std::max(frameCount, 1) + 1000000, current, this);
    auto* form = new QFormLayout;
    AddRangeRows(form, start_, end_, frameCount, strings, this);
    const bool copy = mode == Mode::Copy;
    auto* first = new QRadioButton(copy ? RenderQt(msg::frame::kCopyToClipboard, language)
                                        : RenderQt(msg::frame::kDeleteRange, language),
                                   this);
    second_ = new QRadioButton(copy ? RenderQt(msg::frame::kRepeatEveryFrame, language)
                                    : RenderQt(msg::frame::kSpaceFrames, language),
                               this);
    first->setChecked(true);
    number_ = Spin(1, copy ? 1000 : 200, 1, this);
    form->addRow(first);
    form->addRow(second_, number_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Buttons(this, strings));
}

int CRangeOperateDialog::start() const { return start_->value(); }
int CRangeOperateDialog::end() const { return end_->value(); }
bool CRangeOperateDialog::second() const { return second_->isChecked(); }
int CRangeOperateDialog::number() const { return number_->value(); }

void CRangeOperateDialog::accept() {
    if (RangeAccepted(this, start_, end_, frameCount_, strings_)) QDialog::accept();
}

}  // namespace corv
