#include "app/frame/PictureTextPanel.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/common/DialogCommon.h"
#include "app/common/FileDialogFolders.h"
#include "content/Generators.h"
#include "content/TransitionRenderer.h"
#include "lang/Language.h"
#include "lang/QtText.h"
#include "lang/UiStrings.h"
#include "lang/messages/FrameMessages.h"
#include "lang/messages/CommonMessages.h"

namespace corv {

PictureTextPanel::PictureTextPanel(std::uint8_t language, const UiStrings& strings, QWidget* parent)
    : QWidget(parent), language_(language), font_(DefaultPictureTextFont(UsesChinese(language), 16)) {
    setObjectName(QStringLiteral("pictureTextPanel"));
    stunt_ = new QComboBox(this);
    stunt_->setObjectName(QStringLiteral("stunt"));
    for (int k = 0; k < kTransitionKinds; ++k) stunt_->addItem(QString::fromLatin1(TransitionKindName(k)));
    browse_ = new QPushButton(RenderQt(msg::frame::kBrowseEntries, language), this);
    delete_ = new QPushButton(RenderQt(msg::common::kDelete, language), this);
    edit_ = new QPushButton(RenderQt(msg::common::kEditMenu, language), this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("pictureTextList"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setMinimumHeight(80);
    text_ = new QLineEdit(RenderQt(msg::frame::kTypeTextHere, language), this);
    text_->setObjectName(QStringLiteral("typedText"));
    fontButton_ = new QPushButton(RenderQt(msg::frame::kFontButton, language), this);
    build_ = new QPushButton(RenderQt(msg::frame::kBuildPicture, language), this);
    romance_ = new QComboBox(this);
    romance_->setObjectName(QStringLiteral("romance"));
    for (int i = 0; i < kRenderModes; ++i) romance_->addItem(QString::fromLatin1(RenderModeName(i)));
    frames_ = new QSpinBox(this);
    frames_->setRange(1, 100000);
    frames_->setValue(64);
    frames_->setObjectName(QStringLiteral("makeFrameNumber"));
    direction_ = new QComboBox(this);
    direction_->setObjectName(QStringLiteral("textDirection"));
    direction_->addItem(RenderQt(msg::frame::kHorizontalText, language));
    direction_->addItem(RenderQt(msg::common::kVertical, language));

    auto* form = new QFormLayout;
    form->addRow(RenderQt(msg::frame::kStunt, language), stunt_);
    auto* buttons = new QGridLayout;
    buttons->addWidget(browse_, 0, 0);
    buttons->addWidget(delete_, 0, 1);
    buttons->addWidget(edit_, 0, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(form);
    layout->addWidget(new QLabel(RenderQt(msg::frame::kTextPictureList, language), this));
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    layout->addWidget(text_);
    auto* textButtons = new QGridLayout;
    textButtons->addWidget(fontButton_, 0, 0);
    textButtons->addWidget(build_, 0, 1);
    layout->addLayout(textButtons);
    auto* lower = new QFormLayout;
    lower->addRow(RenderQt(msg::frame::kRomance, language), romance_);
    lower->addRow(RenderQt(msg::frame::kMakeFrameNumber, language), frames_);
    lower->addRow(RenderQt(msg::frame::kTextDirection, language), direction_);
    layout->addLayout(lower);

    connect(browse_, &QPushButton::clicked, this, [this, language] {
        const QStringList files = QFileDialog::getOpenFileNames(
            this, QString(), workspace ? LastFolder(*workspace, FileKind::Picture) : QString(),
            RenderQt(msg::frame::kTextPictureFiles, language) + QStringLiteral("(*.txt *.TXT *.jpg *.bmp *.gif *.png *.ico *.tga *.tiff);;") +
                RenderQt(msg::frame::kAllFiles, language) + QStringLiteral("(*)"));
        if (!files.isEmpty() && workspace) RememberFolder(*workspace, FileKind::Picture, files.front());
        AddFiles(files);
    });
    connect(delete_, &QPushButton::clicked, this, &PictureTextPanel::DeleteSelected);
    connect(edit_, &QPushButton::clicked, this, [this] {
        const int row = list_->currentRow();
        if (row < 0 || row >= paths_.size() || !openEntry) return;
        openEntry(paths_[row], IsTextForEdit(paths_[row].toStdString()));
    });
    connect(fontButton_, &QPushButton::clicked, this, &PictureTextPanel::ChooseFont);
    connect(build_, &QPushButton::clicked, this, [this] {
        BuildPicture(workingSize ? workingSize() : QSize(64, 32), background ? background() : QColor(Qt::black));
    });
    (void)strings;
}

void PictureTextPanel::AddFiles(const QStringList& files) {
    for (const QString& f : files) {
        paths_ << f;
        list_->addItem(QFileInfo(f).fileName());
    }
}

void PictureTextPanel::DeleteSelected() {
    QList<int> rows;
    for (const QListWidgetItem* item : list_->selectedItems()) rows << list_->row(item);
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : rows) {
        delete list_->takeItem(row);
        paths_.removeAt(row);
    }
    if (paths_.isEmpty()) textPicture_ = QImage();  // the text picture goes with the list
    UpdateEnabled();
}

void PictureTextPanel::BuildPicture(QSize size, QColor back) {
    vertical_ = direction_->currentIndex() == 1;
    textPicture_ = BuildTextPicture(text_->text(), font_, colour_, back, size, vertical_);
    UpdateEnabled();
}

void PictureTextPanel::UpdateEnabled() {
    // While a text picture is built, the controls that change the list wait.
    const bool open = textPicture_.isNull();
    for (QWidget* w : {static_cast<QWidget*>(build_), static_cast<QWidget*>(browse_), static_cast<QWidget*>(stunt_),
                       static_cast<QWidget*>(frames_)}) {
        w->setEnabled(open);
    }
}

void PictureTextPanel::SetFont(const QFont& font, QColor colour) {
    font_ = font;
    colour_ = colour;
}

void PictureTextPanel::ChooseFont() {
    // The face, the colour, and with "Custom" a size of our own (height and width in pixels).
    QDialog d(this);
    d.setWindowTitle(RenderQt(msg::frame::kFontTitle, language_));
    auto* face = new QFontComboBox(&d);
    face->setCurrentFont(font_);
    auto* custom = new QCheckBox(RenderQt(msg::frame::kCustomSize, language_), &d);
    auto* width = new QSpinBox(&d);
    auto* height = new QSpinBox(&d);
    width->setRange(1, 4096);
    height->setRange(1, 4096);
    width->setValue(16);
    height->setValue(16);
    QColor colour = colour_;
    auto* colourButton = new QPushButton(RenderQt(msg::common::kFontColour, language_), &d);
    connect(colourButton, &QPushButton::clicked, &d, [&] {
        const QColor chosen = QColorDialog::getColor(colour, &d);
        if (chosen.isValid()) colour = chosen;
    });
    auto* form = new QFormLayout(&d);
    form->addRow(RenderQt(msg::frame::kFontFace, language_), face);
    form->addRow(custom);
    form->addRow(RenderQt(msg::common::kFontWidth, language_), width);
    form->addRow(RenderQt(msg::common::kFontHeight, language_), height);
    form->addRow(colourButton);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    connect(box, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    form->addRow(box);
    if (d.exec() != QDialog::Accepted) return;
    QFont font = face->currentFont();
    font.setPixelSize(font_.pixelSize() > 0 ? font_.pixelSize() : 16);
    if (custom->isChecked()) {
        font.setPixelSize(height->value());
        // A character is about half as wide as high at the normal stretch.
        font.setStretch(std::clamp(width->value() * 200 / std::max(height->value(), 1), 1, 4000));
    }
    SetFont(font, colour);
}

PictureTextOptions PictureTextPanel::options() const {
    PictureTextOptions o;
    for (const QString& p : paths_) o.entries.emplace_back(p.toStdString());
    o.kind = stunt_->currentIndex();
    o.font = font_;
    o.textPicture = textPicture_;
    o.vertical = vertical_;
    return o;
}

int PictureTextPanel::steps() const { return frames_->value(); }
int PictureTextPanel::render() const { return romance_->currentIndex(); }
void PictureTextPanel::SetSteps(int n) { frames_->setValue(std::max(n, 1)); }

}  // namespace corv
