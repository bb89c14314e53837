#include "app/common/CFrameRangeDialog.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/common/DialogCommon.h"
#include "lang/UiStrings.h"
#include "project/Document.h"

namespace corv {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

FrameRange InitialSupplementalRange(int currentFrame, int frameCount) {
    FrameRange range;
    range.end = std::clamp(currentFrame + 1, 1, std::max(1, frameCount));
    range.start = std::min(2, range.end);
    return range;
}

CFrameRangeDialog::CFrameRangeDialog(int start, int end, int frameCount, const UiStrings& strings, QWidget* parent)
    : QDialog(parent), frameCount_(frameCount), strings_(strings) {
    setWindowTitle(Q(strings_.rangeTitle));
    start_ = new QSpinBox(this);
    end_ = new QSpinBox(this);
    for (QSpinBox* box : {start_, end_}) {
        box->setRange(1, static_cast<int>(kMaxRangeNumber));
    }
    start_->setValue(start);
    end_->setValue(end);
    auto* form = new QFormLayout;
    AddRangeRows(form, start_, end_, frameCount, strings_, this);
    auto* buttons = OkCancel(strings_, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFrameRangeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int CFrameRangeDialog::start() const { return start_->value(); }
int CFrameRangeDialog::end() const { return end_->value(); }

void CFrameRangeDialog::accept() {
    if (RangeAccepted(this, start_, end_, frameCount_, strings_)) {
        QDialog::accept();
    }
}

}  // namespace corv
