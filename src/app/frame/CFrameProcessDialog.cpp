#include "app/frame/CFrameProcessDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/common/DialogCommon.h"
#include "app/frame/FrameEditDialogsCommon.h"
#include "content/TransitionRenderer.h"
#include "lang/QtText.h"
#include "lang/UiStrings.h"
#include "lang/messages/FrameMessages.h"

namespace corv {

using frame_edit_dialogs::Buttons;
using frame_edit_dialogs::Spin;

CFrameProcessDialog::CFrameProcessDialog(int frameCount, std::uint8_t language, const UiStrings& strings,
                                         QWidget* parent)
    : QDialog(parent), frameCount_(frameCount), strings_(strings) {
    setWindowTitle(RenderQt(msg::frame::kFrameProcessTitle, language));
    start_ = Spin(1, std::max(frameCount, 1) + 1000000, 1, this);
    end_ = Spin(1, std::max(frameCount, 1) + 1000000, frameCount, this);
    auto* form = new QFormLayout;
    form->addRow(QString::fromStdString(strings.rangeStart), start_);
    form->addRow(QString::fromStdString(strings.rangeEnd), end_);
    auto* tabs = new QTabWidget(this);
    auto* move = new QWidget(tabs);
    auto* m = new QVBoxLayout(move);
    for (int i = 0; i < 4; ++i) {
        directions_[i] = new QRadioButton(RenderQt(msg::frame::kMoveDirections[i], language), move);
        m->addWidget(directions_[i]);
    }
    directions_[0]->setChecked(true);
    ranks_ = Spin(0, 65535, 1, move);
    auto* ranks = new QFormLayout;
    ranks->addRow(RenderQt(msg::frame::kMoveRanks, language), ranks_);
    m->addLayout(ranks);
    increments_ = new QCheckBox(RenderQt(msg::frame::kIncrements, language), move);
    m->addWidget(increments_);
    tabs->addTab(move, RenderQt(msg::frame::kFrameMoveTab, language));
    auto* design = new QWidget(tabs);
    auto* d = new QFormLayout(design);
    kind_ = new QComboBox(design);
    for (int k = 0; k < kTransitionKinds; ++k) kind_->addItem(QString::fromLatin1(TransitionKindName(k)));
    kind_->setCurrentIndex(2);  // LeftOver
    d->addRow(RenderQt(msg::frame::kTransitionKind, language), kind_);
    d->addRow(new QLabel(RenderQt(msg::frame::kDesignSwitchNote, language), design));
    tabs->addTab(design, RenderQt(msg::frame::kDesignSwitchTab, language));
    tabs_ = tabs;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(tabs);
    layout->addWidget(Buttons(this, strings));
}

int CFrameProcessDialog::start() const { return start_->value(); }
int CFrameProcessDialog::end() const { return end_->value(); }
MoveDirection CFrameProcessDialog::direction() const {
    for (int i = 0; i < 4; ++i) {
        if (directions_[i]->isChecked()) return static_cast<MoveDirection>(i);
    }
    return MoveDirection::Left;
}
int CFrameProcessDialog::ranks() const { return ranks_->value(); }
bool CFrameProcessDialog::increments() const { return increments_->isChecked(); }

bool CFrameProcessDialog::designSwitch() const { return tabs_->currentIndex() == 1; }
int CFrameProcessDialog::transitionKind() const { return kind_->currentIndex(); }

void CFrameProcessDialog::accept() {
    if (!RangeAccepted(this, start_, end_, frameCount_, strings_)) return;
    // The switch needs as many frames after the range as the range holds.
    if (designSwitch() && frameCount_ - end_->value() < end_->value() - start_->value() + 1) {
        Warn(this, windowTitle(), QString::fromStdString(strings_.paramError), strings_);
        end_->setFocus();
        end_->selectAll();
        return;
    }
    QDialog::accept();
}

}  // namespace corv
