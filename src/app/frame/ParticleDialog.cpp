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

#include "app/common/DocumentDialogs.h"
#include "app/common/FileDialogFolders.h"
#include "app/common/WindowText.h"
#include "base/Prompt.h"
#include "lang/Language.h"
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
    auto T = [lang](const char* cn, const char* en) { return SculptText(cn, en, lang); };
    setWindowTitle(T("粒子系统", "Particle system"));
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
        c->setToolTip(T("选择一项, 或输入一个整数", "Choose an entry or type a whole number"));
        combos_[static_cast<std::size_t>(i)] = c;
    }
    for (int i = 0; i < 6; ++i) ranges_[static_cast<std::size_t>(i)] = Spin(0, this);
    for (int i = 0; i < 3; ++i) accel_[static_cast<std::size_t>(i)] = Spin(0, this);
    send_ = Spin(50, this);
    send_->setRange(0, 100000);
    send_->setToolTip(T("每50帧发出的粒子数 (50: 每帧一个)", "Particles sent per 50 frames (50: one a frame)"));
    throw_ = new QCheckBox(T("随机抛洒", "Throw about"), this);
    throw_->setToolTip(T("水平速度耗尽的粒子重新得到随机速度", "A particle whose horizontal speed has died out gets a new random one"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QString(), this), 0, 0);
    const char* axes[] = {"X", "Y", "Z"};
    for (int a = 0; a < 3; ++a) grid->addWidget(new QLabel(QString::fromLatin1(axes[a]), this), 0, a + 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(T("初始位置", "Original position"), this), 1, 0);
    grid->addWidget(new QLabel(T("初始速度", "Original speed"), this), 2, 0);
    grid->addWidget(new QLabel(T("最小值:", "Min value:"), this), 3, 0);
    grid->addWidget(new QLabel(T("最大值:", "Max value:"), this), 4, 0);
    grid->addWidget(new QLabel(T("加速度", "Acceleration"), this), 5, 0);
    for (int a = 0; a < 3; ++a) {
        grid->addWidget(combos_[static_cast<std::size_t>(ParticleOptions::kPosX + a)], 1, a + 1);
        grid->addWidget(combos_[static_cast<std::size_t>(ParticleOptions::kSpeedX + a)], 2, a + 1);
        grid->addWidget(ranges_[static_cast<std::size_t>(2 * a)], 3, a + 1);
        grid->addWidget(ranges_[static_cast<std::size_t>(2 * a + 1)], 4, a + 1);
        grid->addWidget(accel_[static_cast<std::size_t>(a)], 5, a + 1);
    }
    auto* wind = new QGroupBox(T("风", "Wind"), this);
    auto* windRow = new QHBoxLayout(wind);
    windRow->addWidget(new QLabel(T("方向:", "Direction:"), wind));
    windRow->addWidget(combos_[ParticleOptions::kWind]);
    windRow->addWidget(new QLabel(T("周期:", "Cycle:"), wind));
    windRow->addWidget(combos_[ParticleOptions::kCycle]);
    windRow->addWidget(new QLabel(T("力度:", "Power:"), wind));
    windRow->addWidget(combos_[ParticleOptions::kPower]);
    auto* sendRow = new QHBoxLayout;
    sendRow->addWidget(new QLabel(T("发送速度:", "Send speed:"), this));
    sendRow->addWidget(send_);
    sendRow->addWidget(throw_);
    sendRow->addStretch();

    auto* pictureBox = new QGroupBox(T("粒子图片", "Particle picture"), this);
    auto* pictureRow = new QHBoxLayout(pictureBox);
    preview_ = new QLabel(pictureBox);
    preview_->setFixedSize(64, 64);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setStyleSheet(QStringLiteral("background: black"));
    auto* browse = new QPushButton(T("浏览...", "Browse..."), pictureBox);
    connect(browse, &QPushButton::clicked, this, [this, T] {
        const QString path = QFileDialog::getOpenFileName(
            this, QString(), LastFolder(ws_, FileKind::Picture, QString::fromStdString(ws_.home.string())),
            T("图片", "Picture") + QStringLiteral("(*.bmp *.jpg *.ico *.gif *.png *.tga *.tiff);;") + T("所有文件", "All files") +
                QStringLiteral("(*)"));
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
    auto* save = new QPushButton(T("保存模板", "Save templet"), this);
    auto* remove = new QPushButton(T("删除模板", "Delete templet"), this);
    connect(save, &QPushButton::clicked, this, [this] { SaveTemplate(); });
    connect(remove, &QPushButton::clicked, this, [this] { DeleteTemplate(); });
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(new QLabel(T("模板:", "Templet:"), this));
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
        prompt_.Inform((SculptText("无法读取图片 ", "The picture cannot be read: ", ws_.app.language) + path).toStdString(),
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
        prompt_.Inform(SculptText("无法写入粒子模板库", "The particle library cannot be written", ws_.app.language).toStdString(),
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
