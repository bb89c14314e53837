#include "app/media/ImportWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

#include "app/frame/CVorlaneView.h"
#include "lang/Language.h"
#include "lang/QtText.h"
#include "lang/messages/MediaMessages.h"
#include "lang/messages/CommonMessages.h"
#include "media/ImportSource.h"

namespace corv {

namespace {

constexpr int kPreviewWidth = 200;
constexpr int kPreviewHeight = 150;
constexpr int kMaxFrameSide = 65535;

// Counting a long movie's packets or unpacking a compressed document takes a moment.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// A number the user reads but does not set.
QSpinBox* ShownNumber(const char* name, int high, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, high);
    box->setReadOnly(true);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

// The nearest existing folder of `file`, so a missing start folder still opens somewhere near.
QString ExistingFolderOf(const QString& file) {
    QString folder = QFileInfo(file).absolutePath();
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder) return QDir::homePath();
        folder = parent;
    }
    return folder;
}

}  // namespace

ImportWindow::ImportWindow(std::uint8_t language, QSize frameSize, std::filesystem::path tempDir,
                           const QString& startFile, QWidget* parent)
    : QFileDialog(parent),
      language_(language),
      frameSize_(std::clamp(frameSize.width(), 1, kMaxFrameSide), std::clamp(frameSize.height(), 1, kMaxFrameSide)),
      tempDir_(std::move(tempDir)) {
    setObjectName(QStringLiteral("ImportWindow"));
    // The side panel lives in the widget dialog's own layout; a platform dialog has none.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setWindowTitle(RenderQt(msg::common::kImportTitle, language));
    if (UsesChinese(language)) {
        // Qt's own labels stay English unless its translations are installed.
        setLabelText(QFileDialog::LookIn, RenderQt(msg::media::kLookIn, language));
        setLabelText(QFileDialog::FileName, RenderQt(msg::media::kFileName, language));
        setLabelText(QFileDialog::FileType, RenderQt(msg::media::kFilesOfType, language));
        setLabelText(QFileDialog::Accept, RenderQt(msg::media::kOpen, language));
        setLabelText(QFileDialog::Reject, RenderQt(msg::media::kCancel, language));
    }
    const QString patterns = QString::fromLatin1(ImportFilterPatterns());
    const QString spaced = QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' '));
    setNameFilter(QStringLiteral("%1 (%2)").arg(patterns, spaced));

    BuildPanel(language);

    // Typing a name and moving through folders emit this too; only files are previewed, and a
    // file already shown is not read again.
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
        if (path != previewed_ && QFileInfo(path).isFile()) Preview(path);
    });
    // A full path typed or pasted into the name field is previewed as soon as it names a file.
    if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        connect(name, &QLineEdit::textChanged, this, [this](const QString& text) {
            const QFileInfo info(text);
            if (info.isAbsolute() && info.isFile() && info.absoluteFilePath() != previewed_) Preview(info.absoluteFilePath());
        });
    }
    // The picture shown depends on the fit; toggling one button of the pair toggles both.
    connect(stretch_, &QRadioButton::toggled, this, [this] {
        if (!previewed_.isEmpty()) Preview(previewed_);
    });

    // The start is a file to select, or a folder to open (the one last imported from).
    const bool startFolder = QFileInfo(startFile).isDir();
    setDirectory(startFolder ? QFileInfo(startFile).absoluteFilePath() : ExistingFolderOf(startFile));
    if (!startFile.isEmpty() && !startFolder) selectFile(startFile);
    // The list fills in later, so the start file is previewed here rather than by its signal.
    if (QFileInfo(startFile).isFile()) Preview(QFileInfo(startFile).absoluteFilePath());
}

void ImportWindow::BuildPanel(std::uint8_t language) {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("importPanel"));

    preview_ = new QLabel(panel);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setFixedSize(kPreviewWidth, kPreviewHeight);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setWordWrap(true);
    preview_->setStyleSheet(QStringLiteral("background-color: black; color: white;"));
    // The reason a file cannot be read is shown in the small preview, so it gets a small font.
    QFont small = preview_->font();
    if (small.pointSizeF() > 0) small.setPointSizeF(small.pointSizeF() * 0.8);
    preview_->setFont(small);

    width_ = ShownNumber("width", kMaxFrameSide, panel);
    height_ = ShownNumber("height", kMaxFrameSide, panel);
    width_->setValue(frameSize_.width());
    height_->setValue(frameSize_.height());
    frameNum_ = ShownNumber("frameNum", INT_MAX, panel);
    import_ = new QSpinBox(panel);
    import_->setObjectName(QStringLiteral("import"));
    auto* importRow = new QHBoxLayout;
    importRow->addWidget(import_, 1);
    importRow->addWidget(new QLabel(RenderQt(msg::media::kImportFramesUnit, language), panel));

    auto* form = new QFormLayout;
    form->addRow(RenderQt(msg::common::kFontWidth, language), width_);
    form->addRow(RenderQt(msg::common::kFontHeight, language), height_);
    form->addRow(RenderQt(msg::media::kFrameNumLabel, language), frameNum_);
    form->addRow(RenderQt(msg::media::kImportLabel, language), importRow);

    auto* mode = new QGroupBox(RenderQt(msg::media::kImportMode, language), panel);
    mode->setObjectName(QStringLiteral("importMode"));
    center_ = new QRadioButton(RenderQt(msg::media::kCenterFit, language), mode);
    center_->setObjectName(QStringLiteral("center"));
    center_->setToolTip(RenderQt(msg::media::kCenterFitTip, language));
    center_->setChecked(true);
    stretch_ = new QRadioButton(RenderQt(msg::media::kStretchFit, language), mode);
    stretch_->setObjectName(QStringLiteral("stretch"));
    stretch_->setToolTip(RenderQt(msg::media::kStretchFitTip, language));
    auto* modeRow = new QHBoxLayout(mode);
    modeRow->addWidget(center_);
    modeRow->addWidget(stretch_);

    output_ = new QCheckBox(RenderQt(msg::media::kOutputControllerData, language), panel);
    output_->setObjectName(QStringLiteral("output"));
    output_->setChecked(true);
    highSpeed_ = new QCheckBox(RenderQt(msg::media::kHighSpeedImport, language), panel);
    highSpeed_->setObjectName(QStringLiteral("highSpeed"));
    highSpeed_->setToolTip(RenderQt(msg::media::kHighSpeedImportTip, language));

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(preview_, 0, Qt::AlignHCenter);
    column->addLayout(form);
    column->addWidget(mode);
    column->addWidget(output_);
    column->addWidget(highSpeed_);
    column->addStretch(1);

    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1);
    } else if (layout()) {
        layout()->addWidget(panel);
    }
    ShowFrameCount(0, true);
}

bool ImportWindow::outputControllerData() const { return output_->isChecked(); }

bool ImportWindow::highSpeed() const { return highSpeed_->isChecked(); }

Fit ImportWindow::fit() const { return stretch_->isChecked() ? Fit::Stretch : Fit::Center; }

int ImportWindow::importFrames() const { return import_->value(); }

int ImportWindow::frameNum() const { return frameNum_->value(); }

QString ImportWindow::chosenFile() const { return selectedFiles().value(0); }

void ImportWindow::Preview(const QString& path) {
    // A new file imports all its frames; the same file seen again (another fit) keeps the
    // user's choice unless it had none to offer before.
    const bool resetImport = path != previewed_ || frameNum() == 0;
    previewed_ = path;
    Result<ImportPreview> read = Failure{};
    {
        const WaitCursor wait;
        read = PreviewImport(std::filesystem::path(path.toStdString()), frameSize_.width(), frameSize_.height(), fit(),
                             tempDir_);
    }
    if (!read) {
        ShowFailure(QString::fromStdString(read.message()));
        return;
    }
    const ImportPreview& preview = *read;
    preview_->setToolTip(QString());
    if (preview.first.width() > 0 && preview.first.height() > 0) {
        const QSize room = preview_->contentsRect().size();
        const QImage shown = FrameToImage(preview.first).scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        preview_->setPixmap(QPixmap::fromImage(shown));
    } else {
        preview_->clear();
    }
    ShowFrameCount(static_cast<int>(std::min<std::size_t>(preview.frames, INT_MAX)), resetImport);
}

void ImportWindow::ShowFrameCount(int frames, bool resetImport) {
    frameNum_->setValue(frames);
    // With nothing to offer the count to import is 0, which the caller reads as nothing to do.
    import_->setRange(frames > 0 ? 1 : 0, frames);
    if (resetImport) import_->setValue(frames);
    import_->setEnabled(frames > 0);
}

void ImportWindow::ShowFailure(const QString& why) {
    const QString text = why.isEmpty() ? RenderQt(msg::media::kFileUnreadable, language_) : why;
    preview_->clear();
    preview_->setText(text);
    preview_->setToolTip(text);
    ShowFrameCount(0, true);
}

void ImportWindow::accept() {
    const QString path = chosenFile();
    if (!path.isEmpty() && path != previewed_ && QFileInfo(path).isFile()) Preview(path);
    QFileDialog::accept();
}

}  // namespace corv
