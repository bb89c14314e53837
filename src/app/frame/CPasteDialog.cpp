#include "app/frame/CPasteDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
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

CPasteDialog::CPasteDialog(int current, int frameCount, std::uint8_t language, const UiStrings& strings, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(RenderQt(msg::common::kPasteTool, language));
    place_ = Spin(1, std::max(frameCount, 1), current, this);
    times_ = Spin(1, 1000, 1, this);
    auto* endFrame = new QPushButton(RenderQt(msg::frame::kEndFrame, language), this);
    connect(endFrame, &QPushButton::clicked, this, [this, frameCount] { place_->setValue(frameCount); });
    mode_ = new QComboBox(this);
    mode_->addItems({RenderQt(msg::frame::kInsert, language), RenderQt(msg::frame::kOverlay, language)});
    direction_ = new QComboBox(this);
    direction_->addItems({RenderQt(msg::frame::kAsIs, language), RenderQt(msg::frame::kHorizontalMirror, language),
                          RenderQt(msg::frame::kVerticalMirror, language), RenderQt(msg::frame::kCentreMirror, language)});
    reverse_ = new QCheckBox(RenderQt(msg::frame::kReverseOrder, language), this);
    combine_ = new QComboBox(this);
    const struct {
        const Text* text;
        PasteCombine combine;
    } combos[] = {{&msg::frame::kCombineNormal, PasteCombine::Normal},
                  {&msg::frame::kCombineOr, PasteCombine::Or},
                  {&msg::frame::kCombineXor, PasteCombine::Xor},
                  {&msg::frame::kCombineAnd, PasteCombine::And},
                  {&msg::frame::kCombineSuperposition, PasteCombine::Superposition},
                  {&msg::frame::kCombineTransparency, PasteCombine::Transparency},
                  {&msg::frame::kCombineAdding, PasteCombine::Adding}};
    for (const auto& c : combos) {
        combine_->addItem(RenderQt(*c.text, language));
        combine_->setItemData(combine_->count() - 1, QString::fromStdString(CombineRule(c.combine)), Qt::ToolTipRole);
    }
    auto* place = new QHBoxLayout;
    place->addWidget(place_);
    place->addWidget(endFrame);
    auto* form = new QFormLayout;
    form->addRow(RenderQt(msg::frame::kPastePlace, language), place);
    form->addRow(RenderQt(msg::frame::kPasteTimes, language), times_);
    form->addRow(mode_);
    form->addRow(direction_);
    form->addRow(reverse_);
    form->addRow(combine_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Buttons(this, strings));
}

PasteOptions CPasteDialog::options() const {
    PasteOptions o;
    o.place = static_cast<std::size_t>(place_->value() - 1);
    o.times = times_->value();
    o.overlay = mode_->currentIndex() == 1;
    o.direction = static_cast<PasteDirection>(direction_->currentIndex());
    o.reverseOrder = reverse_->isChecked();
    o.combine = static_cast<PasteCombine>(combine_->currentIndex());
    return o;
}

}  // namespace corv
