#include "app/frame/OtherStyleDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/common/DialogCommon.h"
#include "lang/QtText.h"
#include "lang/messages/FrameMessages.h"
#include "lang/messages/CommonMessages.h"

namespace corv {

OtherStyleDialog::OtherStyleDialog(int style, const OtherOptions& initial, std::uint8_t language, const UiStrings& strings,
                                   QWidget* parent)
    : QDialog(parent), style_(style), initial_(initial) {
    setObjectName(QStringLiteral("OtherStyleDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto spin = [&](const char* name, const Text& label, int low, int high, int value) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(low, high);
        box->setValue(value);
        form->addRow(RenderQt(label, language), box);
    };
    if (style == 1) {
        setWindowTitle(RenderQt(msg::frame::kDiffuseTitle, language));
        spin("centreX", msg::frame::kCentreAcross, 0, 100, initial.centreX);
        spin("centreY", msg::frame::kCentreDown, 0, 100, initial.centreY);
        shape_ = new QComboBox(this);
        shape_->addItems({RenderQt(msg::frame::kRingShapes[0], language), RenderQt(msg::frame::kRingShapes[1], language),
                          RenderQt(msg::frame::kRingShapes[2], language)});
        shape_->setCurrentIndex(initial.shape);
        form->addRow(RenderQt(msg::frame::kRingShape, language), shape_);
        spin("ringWidth", msg::frame::kRingWidth, 1, 1000, initial.ringWidth);
        outward_ = new QCheckBox(RenderQt(msg::frame::kOutward, language), this);
        outward_->setChecked(initial.outward);
        form->addRow(outward_);
    } else if (style == 2) {
        setWindowTitle(RenderQt(msg::frame::kLinetypeTitle, language));
        spin("angle", msg::common::kAngle, 0, 359, initial.angle);
        spin("lineWidth", msg::common::kStripeWidth, 1, 1000, initial.lineWidth);
        spin("speed", msg::frame::kStripeSpeed, 0, 1000, initial.speed);
    } else {
        setWindowTitle(RenderQt(msg::frame::kRandomTitle, language));
        spin("minSize", msg::frame::kSmallestBlock, 1, 1000, initial.minSize);
        spin("maxSize", msg::frame::kLargestBlock, 1, 1000, initial.maxSize);
        spin("blocksPerFrame", msg::frame::kBlocksPerFrame, 0, 10000, initial.blocksPerFrame);
        keep_ = new QCheckBox(RenderQt(msg::frame::kKeepBlocks, language), this);
        keep_->setChecked(initial.keep);
        form->addRow(keep_);
    }
    layout->addLayout(form);
    QDialogButtonBox* buttons = OkCancel(strings, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QSpinBox* OtherStyleDialog::field(const char* name) const { return findChild<QSpinBox*>(QString::fromLatin1(name)); }

OtherOptions OtherStyleDialog::options() const {
    OtherOptions o = initial_;
    auto value = [&](const char* name, int fallback) {
        const QSpinBox* box = field(name);
        return box ? box->value() : fallback;
    };
    o.centreX = value("centreX", o.centreX);
    o.centreY = value("centreY", o.centreY);
    if (shape_) o.shape = static_cast<OtherOptions::Shape>(shape_->currentIndex());
    o.ringWidth = value("ringWidth", o.ringWidth);
    if (outward_) o.outward = outward_->isChecked();
    o.angle = value("angle", o.angle);
    o.lineWidth = value("lineWidth", o.lineWidth);
    o.speed = value("speed", o.speed);
    o.minSize = value("minSize", o.minSize);
    o.maxSize = value("maxSize", o.maxSize);
    o.blocksPerFrame = value("blocksPerFrame", o.blocksPerFrame);
    if (keep_) o.keep = keep_->isChecked();
    return o;
}

}  // namespace corv
