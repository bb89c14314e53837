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

#include "app/common/DocumentDialogs.h"
#include "app/common/FileDialogFolders.h"
#include "app/common/WindowText.h"
#include "content/Generators.h"
#include "content/TransitionRenderer.h"
#include "lang/Language.h"
#include "lang/UiStrings.h"

namespace corv {

PictureTextPanel::PictureTextPanel(std::uint8_t language, const UiStrings& strings, QWidget* parent)
    : QWidget(parent), language_(language), font_(DefaultPictureTextFont(UsesChinese(language), 16)) {
    setObjectName(QStringLiteral("pictureTextPanel"));
    auto T = [language](const char* cn, const char* en) { return SculptText(cn, en, language); };
    stunt_ = new QComboBox(this);
    stunt_->setObjectName(QStringLiteral("stunt"));
    for (int k = 0; k < kTransitionKinds; ++k) stunt_->addItem(QString::fromLatin1(TransitionKindName(k)));
    browse_ = new QPushButton(T("浏览(&B)", "&Browse"), this);
    delete_ = new QPushButton(T("删除(&D)", "&Delete"), this);
    edit_ = new QPushButton(T("编辑(&E)", "&Edit"), this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("pictureTextList"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setMinimumHeight(80);
    text_ = new QLineEdit(T("请在此输入文字！", "Please enters your content in this"), this);
    text_->setObjectName(QStringLiteral("typedText"));
    fontButton_ = new QPushButton(T("字体(&F)", "&Font"), this);
    build_ = new QPushButton(T("生成图片(&P)", "Build&Picture"), this);
    romance_ = new QComboBox(this);
    romance_->setObjectName(QStringLiteral("romance"));
    for (int i = 0; i < kRenderModes; ++i) romance_->addItem(QString::fromLatin1(RenderModeName(i)));
    frames_ = new QSpinBox(this);
    frames_->setRange(1, 100000);
    frames_->setValue(64);
    frames_->setObjectName(QStringLiteral("makeFrameNumber"));
    direction_ = new QComboBox(this);
    direction_->setObjectName(QStringLiteral("textDirection"));
    direction_->addItem(T("水平", "Horizon"));
    direction_->addItem(T("垂直", "Vertical"));

    auto* form = new QFormLayout;
    form->addRow(T("特技:", "Stunt:"), stunt_);
    auto* buttons = new QGridLayout;
    buttons->addWidget(browse_, 0, 0);
    buttons->addWidget(delete_, 0, 1);
    buttons->addWidget(edit_, 0, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(form);
    layout->addWidget(new QLabel(T("文本和图片列表:", "Text and Pic list:"), this));
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    layout->addWidget(text_);
    auto* textButtons = new QGridLayout;
    textButtons->addWidget(fontButton_, 0, 0);
    textButtons->addWidget(build_, 0, 1);
    layout->addLayout(textButtons);
    auto* lower = new QFormLayout;
    lower->addRow(T("渲染方式:", "Romance:"), romance_);
    lower->addRow(T("生成帧数:", "Make frame number:"), frames_);
    lower->addRow(T("文字方向:", "Text direction:"), direction_);
    layout->addLayout(lower);

    connect(browse_, &QPushButton::clicked, this, [this, T] {
        const QStringList files = QFileDialog::getOpenFileNames(
            this, QString(), workspace ? LastFolder(*workspace, FileKind::Picture) : QString(),
            T("文本,图片", "Text,Picture") + QStringLiteral("(*.txt *.TXT *.jpg *.bmp *.gif *.png *.ico *.tga *.tiff);;") +
                T("所有文件", "All files") + QStringLiteral("(*)"));
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
    d.setWindowTitle(SculptText("字体", "Font", language_));
    auto* face = new QFontComboBox(&d);
    face->setCurrentFont(font_);
    auto* custom = new QCheckBox(SculptText("自定义", "Custom", language_), &d);
    auto* width = new QSpinBox(&d);
    auto* height = new QSpinBox(&d);
    width->setRange(1, 4096);
    height->setRange(1, 4096);
    width->setValue(16);
    height->setValue(16);
    QColor colour = colour_;
    auto* colourButton = new QPushButton(SculptText("颜色...", "Colour...", language_), &d);
    connect(colourButton, &QPushButton::clicked, &d, [&] {
        const QColor chosen = QColorDialog::getColor(colour, &d);
        if (chosen.isValid()) colour = chosen;
    });
    auto* form = new QFormLayout(&d);
    form->addRow(SculptText("字体:", "Face:", language_), face);
    form->addRow(custom);
    form->addRow(SculptText("宽:", "Width:", language_), width);
    form->addRow(SculptText("高:", "Height:", language_), height);
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
