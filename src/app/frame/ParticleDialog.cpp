#include "app/frame/ParticleDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/common/DialogCommon.h"
#include "app/common/FileDialogFolders.h"
#include "base/Prompt.h"
#include "lang/Language.h"
#include "lang/QtText.h"
#include "lang/messages/FrameMessages.h"
#include "lang/messages/CommonMessages.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {
QSpinBox* Spin(int value, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setRange(-100000, 100000);
    s->setValue(value);
    return s;
}
}  // namespace

QImage ParticleDialog::HomePicture(const Workspace& ws) {
    const QImage image(QString::fromStdString((ws.home / kParticlePictureName).string()));
    return image.isNull() ? DefaultParticlePicture() : image;
}

std::filesystem::path ParticleDialog::Library() const { return ws_.home / kParticleLibraryName; }

ParticleDialog::ParticleDialog(Workspace& ws, Prompt& prompt, const ParticleOptions& initial, const QImage& picture,
                               QWidget* parent)
    : QDialog(parent), ws_(ws), prompt_(prompt), picture_(picture) {
    const std::uint8_t lang = ws.app.language;
    setWindowTitle(RenderQt(msg::frame::kParticleTitle, lang));
    setObjectName(QStringLiteral("ParticleDialog"));
    const bool chinese = UsesChinese(lang);
    for (int i = 0; i < ParticleOptions::kCombos; ++i) {
        auto* c = new QComboBox(this);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        for (const std::string& text : chinese ? ParticleComboChinese(i) : ParticleComboChoices(i)) {
            c->addItem(QString::fromStdString(text));
        }
        c->setObjectName(QStringLiteral("combo%1").arg(i));
        c->setToolTip(RenderQt(msg::frame::kParticleComboTip, lang));
        combos_[static_cast<std::size_t>(i)] = c;
    }
    for (int i = 0; i < 6; ++i) ranges_[static_cast<std::size_t>(i)] = Spin(0, this);
    for (int i = 0; i < 3; ++i) accel_[static_cast<std::size_t>(i)] = Spin(0, this);
    send_ = Spin(50, this);
    send_->setRange(0, 100000);
    send_->setToolTip(RenderQt(msg::frame::kSendSpeedTip, lang));
    throw_ = new QCheckBox(RenderQt(msg::frame::kThrowAbout, lang), this);
    throw_->setToolTip(RenderQt(msg::frame::kThrowAboutTip, lang));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QString(), this), 0, 0);
    const char* axes[] = {"X", "Y", "Z"};
    for (int a = 0; a < 3; ++a) grid->addWidget(new QLabel(QString::fromLatin1(axes[a]), this), 0, a + 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(RenderQt(msg::frame::kOriginalPosition, lang), this), 1, 0);
    grid->addWidget(new QLabel(RenderQt(msg::frame::kOriginalSpeed, lang), this), 2, 0);
    grid->addWidget(new QLabel(RenderQt(msg::frame::kMinValue, lang), this), 3, 0);
    grid->addWidget(new QLabel(RenderQt(msg::frame::kMaxValue, lang), this), 4, 0);
    grid->addWidget(new QLabel(RenderQt(msg::frame::kAcceleration, lang), this), 5, 0);
    for (int a = 0; a < 3; ++a) {
        grid->addWidget(combos_[static_cast<std::size_t>(ParticleOptions::kPosX + a)], 1, a + 1);
        grid->addWidget(combos_[static_cast<std::size_t>(ParticleOptions::kSpeedX + a)], 2, a + 1);
        grid->addWidget(ranges_[static_cast<std::size_t>(2 * a)], 3, a + 1);
        grid->addWidget(ranges_[static_cast<std::size_t>(2 * a + 1)], 4, a + 1);
        grid->addWidget(accel_[static_cast<std::size_t>(a)], 5, a + 1);
    }
    auto* wind = new QGroupBox(RenderQt(msg::frame::kWind, lang), this);
    auto* windRow = new QHBoxLayout(wind);
    windRow->addWidget(new QLabel(RenderQt(msg::frame::kWindDirection, lang), wind));
    windRow->addWidget(combos_[ParticleOptions::kWind]);
    windRow->addWidget(new QLabel(RenderQt(msg::frame::kWindCycle, lang), wind));
    windRow->addWidget(combos_[ParticleOptions::kCycle]);
    windRow->addWidget(new QLabel(RenderQt(msg::frame::kWindPower, lang), wind));
    windRow->addWidget(combos_[ParticleOptions::kPower]);
    auto* sendRow = new QHBoxLayout;
    sendRow->addWidget(new QLabel(RenderQt(msg::frame::kSendSpeed, lang), this));
    sendRow->addWidget(send_);
    sendRow->addWidget(throw_);
    sendRow->addStretch();

    auto* pictureBox = new QGroupBox(RenderQt(msg::frame::kParticlePicture, lang), this);
    auto* pictureRow = new QHBoxLayout(pictureBox);
    preview_ = new QLabel(pictureBox);
    preview_->setFixedSize(64, 64);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setStyleSheet(QStringLiteral("background: black"));
    auto* browse = new QPushButton(RenderQt(msg::frame::kBrowsePicture, lang), pictureBox);
    connect(browse, &QPushButton::clicked, this, [this, lang] {
        const QString path = QFileDialog::getOpenFileName(
            this, QString(), LastFolder(ws_, FileKind::Picture, QString::fromStdString(ws_.home.string())),
            RenderQt(msg::common::kPictureTool, lang) + QStringLiteral("(*.bmp *.jpg *.ico *.gif *.png *.tga *.tiff);;") +
                RenderQt(msg::frame::kAllFiles, lang) + QStringLiteral("(*)"));
        RememberFolder(ws_, FileKind::Picture, path);
        if (!path.isEmpty()) LoadPicture(path);
    });
    pictureRow->addWidget(preview_);
    pictureRow->addWidget(browse);
    pictureRow->addStretch();

    templates_ = new QComboBox(this);
    templates_->setEditable(true);
    templates_->setInsertPolicy(QComboBox::NoInsert);
    templates_->setObjectName(QStringLiteral("templet"));
    for (const std::string& name : ParticleTemplateNames(Library())) templates_->addItem(QString::fromStdString(name));
    templates_->setCurrentIndex(-1);
    connect(templates_, &QComboBox::activated, this, [this](int i) { SelectTemplate(templates_->itemText(i)); });
    auto* save = new QPushButton(RenderQt(msg::frame::kSaveTemplate, lang), this);
    auto* remove = new QPushButton(RenderQt(msg::frame::kDeleteTemplate, lang), this);
    connect(save, &QPushButton::clicked, this, [this] { SaveTemplate(); });
    connect(remove, &QPushButton::clicked, this, [this] { DeleteTemplate(); });
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(new QLabel(RenderQt(msg::frame::kTemplate, lang), this));
    templateRow->addWidget(templates_, 1);
    templateRow->addWidget(save);
    templateRow->addWidget(remove);

    auto* buttons = OkCancel(ws.strings, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(wind);
    layout->addLayout(sendRow);
    layout->addWidget(pictureBox);
    layout->addLayout(templateRow);
    layout->addWidget(buttons);
    SetOptions(initial);
    ShowPicture();
}

ParticleOptions ParticleDialog::options() const {
    ParticleOptions o;
    for (int i = 0; i < ParticleOptions::kCombos; ++i) {
        const QComboBox* c = combos_[static_cast<std::size_t>(i)];
        const int index = c->findText(c->currentText());
        // A chosen entry, or the typed number (text that is no number counts as 0).
        o.combos[static_cast<std::size_t>(i)] = index >= 0 ? ParticleChoice{index, 0} : ParticleChoice{-1, c->currentText().trimmed().toInt()};
    }
    for (int i = 0; i < 6; ++i) o.ranges[static_cast<std::size_t>(i)] = ranges_[static_cast<std::size_t>(i)]->value();
    for (int i = 0; i < 3; ++i) o.accel[static_cast<std::size_t>(i)] = accel_[static_cast<std::size_t>(i)]->value();
    o.sendSpeed = send_->value();
    o.throwAbout = throw_->isChecked();
    return o;
}

void ParticleDialog::SetOptions(const ParticleOptions& o) {
    for (int i = 0; i < ParticleOptions::kCombos; ++i) {
        QComboBox* c = combos_[static_cast<std::size_t>(i)];
        const ParticleChoice& choice = o.combos[static_cast<std::size_t>(i)];
        if (choice.selection >= 0 && choice.selection < c->count()) {
            c->setCurrentIndex(choice.selection);
        } else {
            c->setCurrentIndex(-1);
            c->setEditText(QString::number(choice.typed));
        }
    }
    for (int i = 0; i < 6; ++i) ranges_[static_cast<std::size_t>(i)]->setValue(o.ranges[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 3; ++i) accel_[static_cast<std::size_t>(i)]->setValue(o.accel[static_cast<std::size_t>(i)]);
    send_->setValue(o.sendSpeed);
    throw_->setChecked(o.throwAbout);
}

void ParticleDialog::ShowPicture() {
    if (picture_.isNull()) {
        preview_->clear();
        return;
    }
    preview_->setPixmap(QPixmap::fromImage(picture_.scaled(preview_->size(), Qt::KeepAspectRatio, Qt::FastTransformation)));
}

bool ParticleDialog::LoadPicture(const QString& path) {
    const QImage image(path);
    if (image.isNull()) {
        prompt_.Inform((RenderQt(msg::common::kPictureUnreadable, ws_.app.language) + path).toStdString(),
                       PromptIcon::Warning);
        return false;
    }
    picture_ = image;
    ShowPicture();
    return true;
}

bool ParticleDialog::SelectTemplate(const QString& name) {
    const auto loaded = LoadParticleTemplate(Library(), name.toStdString());
    if (!loaded) return false;
    SetOptions(*loaded);
    return true;
}

bool ParticleDialog::SaveTemplate() {
    const QString name = templates_->currentText().trimmed();
    if (name.isEmpty()) {
        prompt_.Inform(ws_.strings.askModelName, PromptIcon::Warning);
        return false;
    }
    if (!SaveParticleTemplate(Library(), name.toStdString(), options())) {
        prompt_.Inform(RenderQt(msg::frame::kParticleLibraryUnwritable, ws_.app.language).toStdString(),
                       PromptIcon::Warning);
        return false;
    }
    if (templates_->findText(name) < 0) templates_->addItem(name);
    templates_->setCurrentIndex(templates_->findText(name));
    return true;
}

bool ParticleDialog::DeleteTemplate() {
    const QString name = templates_->currentText().trimmed();
    if (!DeleteParticleTemplate(Library(), name.toStdString())) return false;
    templates_->removeItem(templates_->findText(name));
    templates_->setCurrentIndex(-1);
    return true;
}

}  // namespace corv
