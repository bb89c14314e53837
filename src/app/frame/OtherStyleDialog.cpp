#include "app/frame/OtherStyleDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/common/DocumentDialogs.h"
#include "lang/Language.h"
#include "lang/Localize.h"

namespace corv {

namespace {
QString Text(std::uint8_t language, const char* chinese, const char* english) {
    return UsesChinese(language) ? QString::fromStdString(LocalizeText(chinese, language)) : QString::fromUtf8(english);
}
}  // namespace

OtherStyleDialog::OtherStyleDialog(int style, const OtherOptions& initial, std::uint8_t language, const UiStrings& strings,
                                   QWidget* parent)
    : QDialog(parent), style_(style), initial_(initial) {
    setObjectName(QStringLiteral("OtherStyleDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto spin = [&](const char* name, const char* chinese, const char* english, int low, int high, int value) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(low, high);
        box->setValue(value);
        form->addRow(Text(language, chinese, english), box);
    };
    if (style == 1) {
        setWindowTitle(Text(language, "扩散", "Diffuse"));
        spin("centreX", "中心横向 (%):", "Centre across (%):", 0, 100, initial.centreX);
        spin("centreY", "中心纵向 (%):", "Centre down (%):", 0, 100, initial.centreY);
        shape_ = new QComboBox(this);
        shape_->addItems({Text(language, "圆形", "Circle"), Text(language, "方形", "Square"), Text(language, "菱形", "Diamond")});
        shape_->setCurrentIndex(initial.shape);
        form->addRow(Text(language, "形状:", "Shape:"), shape_);
        spin("ringWidth", "环宽:", "Ring width:", 1, 1000, initial.ringWidth);
        outward_ = new QCheckBox(Text(language, "向外扩散", "Outward"), this);
        outward_->setChecked(initial.outward);
        form->addRow(outward_);
    } else if (style == 2) {
        setWindowTitle(Text(language, "线型", "Linetype"));
        spin("angle", "角度:", "Angle:", 0, 359, initial.angle);
        spin("lineWidth", "线宽:", "Line width:", 1, 1000, initial.lineWidth);
        spin("speed", "速度 (像素/帧):", "Speed (pixels a frame):", 0, 1000, initial.speed);
    } else {
        setWindowTitle(Text(language, "随机", "Random"));
        spin("minSize", "最小块:", "Smallest block:", 1, 1000, initial.minSize);
        spin("maxSize", "最大块:", "Largest block:", 1, 1000, initial.maxSize);
        spin("blocksPerFrame", "每帧块数:", "Blocks a frame:", 0, 10000, initial.blocksPerFrame);
        keep_ = new QCheckBox(Text(language, "保留之前的块", "Keep the blocks before"), this);
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
