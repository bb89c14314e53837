#include "app/frame/CRowColDeleteDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
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

CRowColDeleteDialog::CRowColDeleteDialog(int frameCount, std::uint8_t language, const UiStrings& strings,
                                         QWidget* parent)
    : QDialog(parent), frameCount_(frameCount), strings_(strings) {
    setWindowTitle(RenderQt(msg::common::kRowColDeleteTitle, language));
    start_ = Spin(1, std::max(frameCount, 1) + 1000000, 1, this);
    end_ = Spin(1, std::max(frameCount, 1) + 1000000, frameCount, this);
    auto* form = new QFormLayout;
    AddRangeRows(form, start_, end_, frameCount, strings, this);
    for (auto& v : values_) v = Spin(0, 65535, 1, this);
    for (int line = 0; line < 2; ++line) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(RenderQt(msg::frame::kReserve, language), this));
        row->addWidget(values_[2 * line]);
        row->addWidget(new QLabel(line == 0 ? RenderQt(msg::frame::kRowsDelete, language) : RenderQt(msg::frame::kColsDelete, language), this));
        row->addWidget(values_[2 * line + 1]);
        row->addWidget(new QLabel(line == 0 ? RenderQt(msg::frame::kRows, language) : RenderQt(msg::frame::kCols, language), this));
        form->addRow(row);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Buttons(this, strings));
}

int CRowColDeleteDialog::start() const { return start_->value(); }
int CRowColDeleteDialog::end() const { return end_->value(); }
int CRowColDeleteDialog::keepRows() const { return values_[0]->value(); }
int CRowColDeleteDialog::deleteRows() const { return values_[1]->value(); }
int CRowColDeleteDialog::keepCols() const { return values_[2]->value(); }
int CRowColDeleteDialog::deleteCols() const { return values_[3]->value(); }

void CRowColDeleteDialog::accept() {
    if (RangeAccepted(this, start_, end_, frameCount_, strings_)) QDialog::accept();
}

}  // namespace corv
