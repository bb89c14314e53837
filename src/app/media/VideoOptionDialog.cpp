#include "app/media/VideoOptionDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStringList>
#include <QVBoxLayout>
#include <QVariant>

#include <string>
#include <utility>

#include "lang/QtText.h"
#include "lang/UiStrings.h"
#include "lang/messages/MediaMessages.h"
#include "lang/messages/CommonMessages.h"
#include "media/Movie.h"

namespace corv {

namespace {

QSpinBox* RateSpin(int low, int high, const char* name, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    return box;
}

// The codecs the writer drives by a fixed quantiser or by an x264 rate factor; the others
// ignore the quality.
bool UsesQuantiser(const std::string& name) { return name == "mjpeg" || name == "mpeg4"; }
bool UsesRateFactor(const std::string& name) { return name == "libx264" || name == "libx264rgb"; }

}  // namespace

VideoOptionDialog::VideoOptionDialog(std::uint8_t language, std::filesystem::path configPath, QWidget* parent)
    : QDialog(parent), language_(language), configPath_(std::move(configPath)) {
    setObjectName(QStringLiteral("VideoOptionDialog"));
    setWindowTitle(RenderQt(msg::media::kVideoOptionsTitle, language));

    framesPerSecond_ = RateSpin(kMinVideoRate, kMaxVideoRate, "framesPerSecond", this);
    gatherRate_ = RateSpin(kMinVideoRate, kMaxVideoRate, "gatherRate", this);
    keyFramesEvery_ = RateSpin(kMinKeyFramesEvery, kMaxKeyFramesEvery, "keyFramesEvery", this);

    encoders_ = new QComboBox(this);
    encoders_->setObjectName(QStringLiteral("encoder"));
    encoders_->addItem(RenderQt(msg::media::kUncompressed, language), QVariant::fromValue(0u));
    // "rawvideo" is what the first entry already stands for: the container's default for AVI.
    for (const VideoEncoder& encoder : AvailableVideoEncoders()) {
        if (encoder.name == "rawvideo") continue;
        const QVariant code = QVariant::fromValue(static_cast<uint>(encoder.fourcc));
        encoders_->addItem(QString::fromStdString(encoder.description), code);
    }
    auto* about = new QPushButton(RenderQt(msg::media::kAbout, language), this);
    about->setObjectName(QStringLiteral("about"));

    quality_ = new QSlider(Qt::Horizontal, this);
    quality_->setObjectName(QStringLiteral("quality"));
    quality_->setRange(kMinVideoQuality, kMaxVideoQuality);
    quality_->setPageStep(10);
    qualityValue_ = new QLabel(this);
    qualityValue_->setObjectName(QStringLiteral("qualityValue"));
    // Wide enough for "100" so the slider does not move as the number grows.
    qualityValue_->setMinimumWidth(qualityValue_->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    qualityValue_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(RenderQt(msg::media::kPlaySpeed, language), this), 0, 0);
    grid->addWidget(framesPerSecond_, 0, 1);
    grid->addWidget(new QLabel(RenderQt(msg::media::kFramesPerSecond, language), this), 0, 2);
    grid->addWidget(new QLabel(RenderQt(msg::media::kCaptureSpeed, language), this), 1, 0);
    grid->addWidget(gatherRate_, 1, 1);
    grid->addWidget(new QLabel(RenderQt(msg::media::kFramesPerSecond, language), this), 1, 2);
    grid->addWidget(new QLabel(RenderQt(msg::media::kCompressor, language), this), 2, 0);
    grid->addWidget(encoders_, 2, 1);
    grid->addWidget(about, 2, 2);
    auto* qualityRow = new QHBoxLayout;
    qualityRow->addWidget(quality_, 1);
    qualityRow->addWidget(qualityValue_);
    grid->addWidget(new QLabel(RenderQt(msg::media::kQuality, language), this), 3, 0);
    grid->addLayout(qualityRow, 3, 1, 1, 2);
    grid->addWidget(new QLabel(RenderQt(msg::media::kKeyFrameRate, language), this), 4, 0);
    grid->addWidget(keyFramesEvery_, 4, 1);
    grid->addWidget(new QLabel(RenderQt(msg::media::kFrameUnit, language), this), 4, 2);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(RenderQt(msg::common::kOk, language));
    buttons->button(QDialogButtonBox::Cancel)->setText(RenderQt(msg::media::kCancel, language));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    connect(quality_, &QSlider::valueChanged, qualityValue_, [this](int value) { qualityValue_->setNum(value); });
    connect(about, &QPushButton::clicked, this, [this] { ShowAbout(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &VideoOptionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    ShowSettings(ReadVideoSettings(configPath_));
}

void VideoOptionDialog::ShowSettings(const VideoSettings& settings) {
    framesPerSecond_->setValue(settings.framesPerSecond);
    gatherRate_->setValue(settings.gatherRate);
    keyFramesEvery_->setValue(settings.keyFramesEvery);
    quality_->setValue(settings.compQuality);
    qualityValue_->setNum(quality_->value());  // also when the slider already stood there
    // A code this machine has no encoder for falls back to the first entry, uncompressed.
    const int index = encoders_->findData(QVariant::fromValue(static_cast<uint>(settings.compFccHandler)));
    encoders_->setCurrentIndex(index < 0 ? 0 : index);
}

VideoSettings VideoOptionDialog::settings() const {
    VideoSettings s;
    s.framesPerSecond = framesPerSecond_->value();
    s.gatherRate = gatherRate_->value();
    s.keyFramesEvery = keyFramesEvery_->value();
    s.compQuality = quality_->value();
    s.compFccHandler = static_cast<std::uint32_t>(encoders_->currentData().toUInt());
    return s;
}

void VideoOptionDialog::accept() {
    if (!WriteVideoSettings(configPath_, settings())) {
        // The export still gets the shown values from the caller; only keeping them failed.
        const QString text = QString::fromUtf8(texts::kConfigNotWritable);
        QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
        box.button(QMessageBox::Ok)->setText(RenderQt(msg::common::kOk, language_));
        box.exec();
    }
    QDialog::accept();
}

QString VideoOptionDialog::AboutText() const {
    const int quality = quality_->value();
    const std::uint32_t code = static_cast<std::uint32_t>(encoders_->currentData().toUInt());
    // The first entry writes through the container's default, which for AVI is "rawvideo".
    const VideoEncoder* encoder = code == 0 ? EncoderByName("rawvideo") : EncoderForFourcc(code);
    QStringList lines;
    lines << encoders_->currentText();
    if (!encoder) {
        lines << RenderQt(msg::media::kRawPixelsAbout, language_);
        return lines.join(QLatin1Char('\n'));
    }
    lines << RenderQt(msg::media::kEncoderAbout, language_).arg(QString::fromStdString(encoder->name));
    lines << (encoder->lossless ? RenderQt(msg::media::kLosslessYes, language_) : RenderQt(msg::media::kLosslessNo, language_));
    if (UsesQuantiser(encoder->name)) {
        lines << RenderQt(msg::media::kQuantiserAbout, language_)
                     .arg(quality)
                     .arg(QuantiserForQuality(quality));
    } else if (UsesRateFactor(encoder->name)) {
        lines << RenderQt(msg::media::kRateFactorAbout, language_)
                     .arg(quality)
                     .arg(RateFactorForQuality(quality));
    } else {
        lines << RenderQt(msg::media::kQualityDoesNotApply, language_);
    }
    return lines.join(QLatin1Char('\n'));
}

void VideoOptionDialog::ShowAbout() {
    QMessageBox box(QMessageBox::Information, RenderQt(msg::media::kAbout, language_), AboutText(), QMessageBox::Ok, this);
    box.button(QMessageBox::Ok)->setText(RenderQt(msg::common::kOk, language_));
    box.exec();
}

}  // namespace corv
