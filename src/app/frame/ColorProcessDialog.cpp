#include "app/frame/ColorProcessDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/frame/ColourPanel.h"
#include "app/common/DialogCommon.h"
#include "lang/QtText.h"
#include "lang/messages/FrameMessages.h"
#include "lang/messages/CommonMessages.h"

namespace corv {

namespace {
constexpr ChannelOrder kOrders[] = {ChannelOrder::RBG, ChannelOrder::GRB, ChannelOrder::GBR, ChannelOrder::BGR, ChannelOrder::BRG};
}  // namespace

ColorProcessDialog::ColorProcessDialog(int currentFrame, int frameCount, std::uint8_t language, const UiStrings& strings,
                                       QWidget* parent)
    : QDialog(parent), frameCount_(frameCount), strings_(strings) {
    setObjectName(QStringLiteral("ColorProcessDialog"));
    setWindowTitle(RenderQt(msg::common::kColourProcessTitle, language));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    modes_[0] = new QRadioButton(RenderQt(msg::frame::kColourReplace, language), this);
    oldButton_ = new QPushButton(RenderQt(msg::frame::kOldColour, language), this);
    newButton_ = new QPushButton(RenderQt(msg::frame::kNewColour, language), this);
    grid->addWidget(modes_[0], 0, 0);
    auto* replaceRow = new QHBoxLayout;
    replaceRow->addWidget(oldButton_);
    replaceRow->addWidget(new QLabel(RenderQt(msg::frame::kReplaceAs, language), this));
    replaceRow->addWidget(newButton_);
    grid->addLayout(replaceRow, 0, 1);

    modes_[1] = new QRadioButton(RenderQt(msg::frame::kChannelSwap, language), this);
    auto* swapRow = new QHBoxLayout;
    swapRow->addWidget(new QLabel(RenderQt(msg::frame::kFromRgbTo, language), this));
    order_ = new QComboBox(this);
    for (ChannelOrder o : kOrders) order_->addItem(QString::fromLatin1(ChannelOrderName(o)));
    swapRow->addWidget(order_);
    grid->addWidget(modes_[1], 1, 0);
    grid->addLayout(swapRow, 1, 1);

    modes_[2] = new QRadioButton(RenderQt(msg::frame::kShadeAdjust, language), this);
    auto* shadeRow = new QHBoxLayout;
    shadeRow->addWidget(new QLabel(RenderQt(msg::frame::kColourChannels, language), this));
    for (int i = 0; i < 3; ++i) {
        channels_[i] = new QCheckBox(RenderQt(msg::frame::kChannelNames[i], language), this);
        channels_[i]->setChecked(true);
        shadeRow->addWidget(channels_[i]);
    }
    shadeRow->addWidget(new QLabel(RenderQt(msg::frame::kPercentage, language), this));
    percent_ = new QSpinBox(this);
    percent_->setRange(0, 65535);
    percent_->setValue(100);
    percent_->setSuffix(QStringLiteral("%"));
    shadeRow->addWidget(percent_);
    grid->addWidget(modes_[2], 2, 0);
    grid->addLayout(shadeRow, 2, 1);

    modes_[3] = new QRadioButton(RenderQt(msg::frame::kClearUnlit, language), this);
    modes_[4] = new QRadioButton(RenderQt(msg::frame::kClearUnderBlack, language), this);
    grid->addWidget(modes_[3], 3, 0, 1, 2);
    grid->addWidget(modes_[4], 4, 0, 1, 2);
    modes_[0]->setChecked(true);
    layout->addLayout(grid);

    auto* form = new QFormLayout;
    start_ = new QSpinBox(this);
    end_ = new QSpinBox(this);
    AddRangeRows(form, start_, end_, frameCount, strings, this);
    start_->setValue(std::clamp(currentFrame, 1, std::max(1, frameCount)));
    end_->setValue(std::max(1, frameCount));
    layout->addLayout(form);

    QDialogButtonBox* buttons = OkCancel(strings, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    auto pick = [this](Bgr& colour) {
        const QColor chosen = QColorDialog::getColor(QColor(colour.r, colour.g, colour.b), this);
        if (!chosen.isValid()) return;
        colour = Bgr{static_cast<std::uint8_t>(chosen.blue()), static_cast<std::uint8_t>(chosen.green()),
                     static_cast<std::uint8_t>(chosen.red())};
        ShowColours();
    };
    connect(oldButton_, &QPushButton::clicked, this, [this, pick] { pick(old_); });
    connect(newButton_, &QPushButton::clicked, this, [this, pick] { pick(new_); });
    ShowColours();
}

void ColorProcessDialog::ShowColours() {
    oldButton_->setIcon(SwatchIcon(MakeListColour(old_.r, old_.g, old_.b)));
    newButton_->setIcon(SwatchIcon(MakeListColour(new_.r, new_.g, new_.b)));
}

void ColorProcessDialog::SetColours(Bgr oldColour, Bgr newColour) {
    old_ = oldColour;
    new_ = newColour;
    ShowColours();
}

ColorProcessDialog::Mode ColorProcessDialog::mode() const {
    for (int i = 0; i < 5; ++i) {
        if (modes_[i]->isChecked()) return static_cast<Mode>(i + 1);
    }
    return Mode::Replace;
}

int ColorProcessDialog::start() const { return start_->value(); }
int ColorProcessDialog::end() const { return end_->value(); }
ChannelOrder ColorProcessDialog::order() const { return kOrders[std::max(0, order_->currentIndex())]; }
bool ColorProcessDialog::red() const { return channels_[0]->isChecked(); }
bool ColorProcessDialog::green() const { return channels_[1]->isChecked(); }
bool ColorProcessDialog::blue() const { return channels_[2]->isChecked(); }
int ColorProcessDialog::percent() const { return percent_->value(); }

ColorProcessRequest ColorProcessDialog::request() const {
    ColorProcessRequest r;
    r.mode = mode();
    r.start = start();
    r.end = end();
    r.from = old_;
    r.to = new_;
    r.order = order();
    r.red = red();
    r.green = green();
    r.blue = blue();
    r.percent = percent();
    return r;
}

void ColorProcessDialog::accept() {
    if (RangeAccepted(this, start_, end_, frameCount_, strings_)) QDialog::accept();
}

}  // namespace corv
