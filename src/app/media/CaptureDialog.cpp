#include "app/media/CaptureDialog.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <filesystem>
#include <new>

#include "app/frame/CVorlaneView.h"
#include "app/media/CaptureWindow.h"
#include "app/common/FileDialogFolders.h"
#include "app/media/GlobalHotKeys.h"
#include "app/media/MoviePreview.h"
#include "base/Prompt.h"
#include "content/TransitionRenderer.h"
#include "lang/QtText.h"
#include "lang/Render.h"
#include "lang/messages/MediaMessages.h"
#include "lang/messages/CommonMessages.h"
#include "project/Document.h"

namespace corv {

namespace {

// Frame sides are 16-bit signed in documents; screen coordinates stay within the same range.
constexpr int kMaxSide = static_cast<int>(document::kMaxSide);
constexpr int kMaxCoordinate = 32767;
constexpr QSize kPreviewSize(320, 240);
// The preview leaves this much black around the picture on each side.
constexpr int kPreviewMargin = 2;

QSpinBox* Spin(const char* name, int low, int high, int value, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(low, high);
    s->setValue(value);
    return s;
}

QPushButton* Button(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QRect Clamped(QRect r) {
    r.setWidth(std::clamp(r.width(), 1, kMaxSide));
    r.setHeight(std::clamp(r.height(), 1, kMaxSide));
    r.moveTo(std::clamp(r.x(), -kMaxCoordinate, kMaxCoordinate), std::clamp(r.y(), -kMaxCoordinate, kMaxCoordinate));
    return r;
}

}  // namespace

CaptureDialog::CaptureDialog(std::uint8_t language, Prompt& prompt, QSize start, QWidget* parent)
    : QDialog(parent), language_(language), prompt_(prompt) {
    setWindowTitle(RenderQt(msg::common::kCaptureTitle, language_));
    setObjectName(QStringLiteral("CaptureDialog"));

    // The region starts at the size the pictures are meant for, in the middle of the screen.
    const QSize size(std::clamp(start.width(), 1, kMaxSide), std::clamp(start.height(), 1, kMaxSide));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desk = screen ? screen->geometry() : QRect(QPoint(0, 0), size);
    const QRect initial = Clamped(QRect(desk.x() + (desk.width() - size.width()) / 2,
                                        desk.y() + (desk.height() - size.height()) / 2, size.width(), size.height()));
    acceptedSize_ = initial.size();

    left_ = Spin("left", -kMaxCoordinate, kMaxCoordinate, initial.x(), this);
    top_ = Spin("top", -kMaxCoordinate, kMaxCoordinate, initial.y(), this);
    width_ = Spin("width", 1, kMaxSide, initial.width(), this);
    height_ = Spin("height", 1, kMaxSide, initial.height(), this);
    // Typing "320" would otherwise move the window through 3 and 32 first, and ask about
    // dropping the pictures at the first digit.
    for (QSpinBox* s : {left_, top_, width_, height_}) s->setKeyboardTracking(false);
    rate_ = Spin("rate", 1, 100, 20, this);
    frames_ = Spin("frames", 1, 100000, 100, this);
    smooth_ = new QCheckBox(RenderQt(msg::media::kSmoothZoom, language_), this);
    smooth_->setObjectName(QStringLiteral("smooth"));
    smooth_->setChecked(true);
    hardware_ = new QCheckBox(RenderQt(msg::media::kHardwareAcceleration, language_), this);
    hardware_->setObjectName(QStringLiteral("hardware"));
    hardware_->setChecked(true);

    capture_ = Button("capture", RenderQt(msg::media::kCaptureButton, language_), this);
    capture_->setToolTip(QStringLiteral("Ctrl+Alt+F5, Ctrl+Shift+F5"));
    play_ = Button("play", RenderQt(msg::common::kPlay, language_), this);
    stop_ = Button("stop", RenderQt(msg::common::kStop, language_), this);
    stop_->setToolTip(QStringLiteral("Ctrl+Alt+F7, Ctrl+Shift+F7"));
    auto* open = Button("open", RenderQt(msg::media::kOpen, language_), this);
    auto* save = Button("save", RenderQt(msg::common::kSave, language_), this);
    auto* remove = Button("delete", RenderQt(msg::common::kDelete, language_), this);

    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("preview"));
    preview_->setFixedSize(kPreviewSize);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setStyleSheet(QStringLiteral("background: black"));
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("slider"));
    slider_->setRange(0, 0);
    movie_ = new MoviePreview(this);
    movie_->setObjectName(QStringLiteral("movie"));
    movie_->setFixedSize(kPreviewSize);
    // Shown once a movie is opened, so the dialog stays small for plain screen capture.
    movie_->hide();

    captureTimer_ = new QTimer(this);
    captureTimer_->setTimerType(Qt::PreciseTimer);
    previewTimer_ = new QTimer(this);
    connect(captureTimer_, &QTimer::timeout, this, &CaptureDialog::CaptureTick);
    connect(previewTimer_, &QTimer::timeout, this, &CaptureDialog::PreviewTick);

    window_ = new CaptureWindow(language, this);
    window_->SetRegion(initial);
    connect(window_, &CaptureWindow::regionChanged, this, &CaptureDialog::WindowMoved);

    connect(left_, &QSpinBox::valueChanged, this, &CaptureDialog::PositionEdited);
    connect(top_, &QSpinBox::valueChanged, this, &CaptureDialog::PositionEdited);
    connect(width_, &QSpinBox::valueChanged, this, &CaptureDialog::SizeEdited);
    connect(height_, &QSpinBox::valueChanged, this, &CaptureDialog::SizeEdited);
    connect(rate_, &QSpinBox::valueChanged, this, [this] {
        // A running capture or playback takes the new rate at once.
        if (captureTimer_->isActive()) captureTimer_->setInterval(Interval());
        if (previewTimer_->isActive()) previewTimer_->setInterval(Interval());
    });
    connect(smooth_, &QCheckBox::toggled, this, [this] { ShowPicture(slider_->value()); });
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        ShowPicture(position);
        UpdateSlider();
    });

    connect(capture_, &QPushButton::clicked, this, &CaptureDialog::StartCapture);
    connect(play_, &QPushButton::clicked, this, &CaptureDialog::Play);
    connect(stop_, &QPushButton::clicked, this, &CaptureDialog::StopCapture);
    connect(remove, &QPushButton::clicked, this, &CaptureDialog::DeleteAll);
    connect(open, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QString(), workspace ? LastFolder(*workspace, FileKind::Movie) : QString(),
            RenderQt(msg::media::kVideoFilesFilter, language_) +
                QStringLiteral(" (*.avi *.wmv *.mpg *.mpeg *.asf *.mpv *.mpa *.rm *.dat *.vob *.m2v *.mov *.rmvb *.3gp "
                               "*.swf *.flv *.mp4)"));
        if (!path.isEmpty() && workspace) RememberFolder(*workspace, FileKind::Movie, path);
        if (!path.isEmpty()) OpenMovie(path);
    });
    connect(save, &QPushButton::clicked, this, [this] {
        QFileDialog dialog(this);
        if (workspace) dialog.setDirectory(LastFolder(*workspace, FileKind::Document));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("cvn"));
        dialog.setNameFilter(RenderQt(msg::media::kCvnDocumentFilter, language_));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
        if (workspace) RememberFolder(*workspace, FileKind::Document, dialog.selectedFiles().constFirst());
        SaveDocument(dialog.selectedFiles().constFirst());
    });

    SetUpHotKeys();

    auto* fields = new QFormLayout;
    fields->addRow(RenderQt(msg::media::kLeftLabel, language_), left_);
    fields->addRow(RenderQt(msg::media::kTopLabel, language_), top_);
    fields->addRow(RenderQt(msg::common::kFontWidth, language_), width_);
    fields->addRow(RenderQt(msg::common::kFontHeight, language_), height_);
    fields->addRow(RenderQt(msg::media::kCaptureRateLabel, language_), rate_);
    fields->addRow(RenderQt(msg::common::kFramesLabel, language_), frames_);
    fields->addRow(smooth_);
    fields->addRow(hardware_);

    auto* commands = new QGridLayout;
    commands->addWidget(capture_, 0, 0);
    commands->addWidget(play_, 0, 1);
    commands->addWidget(stop_, 0, 2);
    commands->addWidget(open, 1, 0);
    commands->addWidget(save, 1, 1);
    commands->addWidget(remove, 1, 2);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setText(RenderQt(msg::common::kOk, language_));
    box->button(QDialogButtonBox::Cancel)->setText(RenderQt(msg::media::kCancel, language_));
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* pictures = new QVBoxLayout;
    pictures->addWidget(preview_);
    pictures->addWidget(slider_);
    pictures->addStretch();
    auto* controls = new QVBoxLayout;
    controls->addLayout(fields);
    controls->addLayout(commands);
    controls->addStretch();
    controls->addWidget(box);
    auto* row = new QHBoxLayout(this);
    row->addLayout(pictures);
    row->addWidget(movie_, 0, Qt::AlignTop);
    row->addLayout(controls);

    ShowPicture(0);
    UpdateSlider();
}

void CaptureDialog::SetUpHotKeys() {
    hotKeys_ = new GlobalHotKeys(this);
    // The system-wide keys arrive while the dialog exists; they only act while it is on screen.
    connect(hotKeys_, &GlobalHotKeys::captureKey, this, [this] {
        if (isVisible()) StartCapture();
    });
    connect(hotKeys_, &GlobalHotKeys::stopKey, this, [this] {
        if (isVisible()) StopCapture();
    });
    if (!hotKeys_->systemWide()) {
        // Without system-wide keys the same keys work at least while the dialog has the focus.
        for (const Qt::KeyboardModifiers mods : {Qt::ControlModifier | Qt::AltModifier, Qt::ControlModifier | Qt::ShiftModifier}) {
            auto* captureKey = new QShortcut(QKeySequence(mods | Qt::Key_F5), this);
            auto* stopKey = new QShortcut(QKeySequence(mods | Qt::Key_F7), this);
            connect(captureKey, &QShortcut::activated, this, &CaptureDialog::StartCapture);
            connect(stopKey, &QShortcut::activated, this, &CaptureDialog::StopCapture);
        }
    }
}

CaptureDialog::~CaptureDialog() = default;

bool CaptureDialog::smoothZoom() const { return smooth_->isChecked(); }
bool CaptureDialog::hardwareAcceleration() const { return hardware_->isChecked(); }
void CaptureDialog::SetSmoothZoom(bool on) { smooth_->setChecked(on); }
void CaptureDialog::SetHardwareAcceleration(bool on) { hardware_->setChecked(on); }

int CaptureDialog::Interval() const { return 1000 / std::max(rate_->value(), 1); }

QRect CaptureDialog::region() const { return QRect(left_->value(), top_->value(), width_->value(), height_->value()); }

void CaptureDialog::SetRegion(QRect r) {
    r = Clamped(r);
    // A refused size keeps the old one; the position is taken either way.
    if (!AcceptSize(r.size())) r.setSize(acceptedSize_);
    WriteFields(r);
    window_->SetRegion(region());
}

void CaptureDialog::WriteFields(const QRect& r) {
    syncing_ = true;
    left_->setValue(r.x());
    top_->setValue(r.y());
    width_->setValue(r.width());
    height_->setValue(r.height());
    syncing_ = false;
}

bool CaptureDialog::AcceptSize(QSize size) {
    if (size == acceptedSize_) return true;
    // The fields are locked during a run; a movie or a window change must not alter the
    // size of the pictures half way either.
    if (capturing_) return false;
    // A second change while the question is still open (a spin arrow held down) is refused;
    // the answer to the open question decides.
    if (asking_) return false;
    if (!captured_.empty()) {
        asking_ = true;
        const Answer answer = prompt_.AskYesNo(
            Render(msg::media::kKeepSizeWhileCapturing, language_));
        asking_ = false;
        if (answer != Answer::Yes) return false;
        DeleteAll();
    }
    acceptedSize_ = size;
    return true;
}

void CaptureDialog::PositionEdited() {
    if (syncing_) return;
    window_->SetRegion(region());
}

void CaptureDialog::SizeEdited() {
    if (syncing_) return;
    if (!AcceptSize(QSize(width_->value(), height_->value()))) {
        WriteFields(QRect(QPoint(left_->value(), top_->value()), acceptedSize_));
        return;
    }
    window_->SetRegion(region());
}

void CaptureDialog::WindowMoved(QRect r) {
    r = Clamped(r);
    if (r.size() != acceptedSize_) {
        // The question takes over the mouse; the window must not keep following it afterwards.
        if (!captured_.empty()) window_->CancelDrag();
        if (!AcceptSize(r.size())) {
            window_->SetRegion(region());
            return;
        }
    }
    WriteFields(r);
}

void CaptureDialog::StartCapture() {
    if (capturing_) return;
    previewTimer_->stop();
    previewing_ = false;
    target_ = captured_.size() + static_cast<std::size_t>(frames_->value());
    slider_->setRange(1, static_cast<int>(std::min<std::size_t>(target_, static_cast<std::size_t>(INT_MAX))));
    capture_->setEnabled(false);
    play_->setEnabled(false);
    width_->setEnabled(false);
    height_->setEnabled(false);
    capturing_ = true;
    // The marking window must be off the screen before the first picture is read.
    window_->hide();
    QApplication::processEvents();
    // The events just handled may have stopped the run already (the stop key, a closed dialog).
    if (!capturing_) return;
    captureTimer_->start(Interval());
}

void CaptureDialog::CaptureTick() {
    if (!capturing_) return;
    if (captured_.size() + 1 >= target_) {
        StopCapture();
        return;
    }
    const QRect r = region();
    QScreen* screen = QGuiApplication::primaryScreen();
    QImage image;
    if (screen) image = screen->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
    if (image.isNull()) {
        StopCapture();
        prompt_.Inform(Render(msg::media::kScreenCaptureNeedsX11, language_), PromptIcon::Warning);
        return;
    }
    try {
        // Screens scaled for high density deliver more pixels than the region has points.
        if (image.size() != r.size()) image = image.scaled(r.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        Frame frame(r.width(), r.height());
        ImageToFrame(image, frame);
        captured_.push_back(std::move(frame));
    } catch (const std::bad_alloc&) {
        StopCapture();
        prompt_.Inform(Render(msg::media::kOutOfMemory, language_), PromptIcon::Error);
        return;
    }
    const int position = static_cast<int>(captured_.size());
    if (slider_->value() == position) {
        ShowPicture(position);
        UpdateSlider();
    } else {
        slider_->setValue(position);
    }
}

void CaptureDialog::HaltTimers() {
    captureTimer_->stop();
    previewTimer_->stop();
    capturing_ = false;
    previewing_ = false;
    capture_->setEnabled(true);
    play_->setEnabled(true);
    width_->setEnabled(true);
    height_->setEnabled(true);
}

void CaptureDialog::StopCapture() {
    HaltTimers();
    FitSliderToPictures();
    if (isVisible()) window_->show();
}

void CaptureDialog::FitSliderToPictures() {
    const int count = static_cast<int>(captured_.size());
    slider_->setRange(count > 0 ? 1 : 0, count);
    ShowPicture(slider_->value());
    UpdateSlider();
}

void CaptureDialog::Play() {
    if (capturing_ || captured_.empty()) return;
    FitSliderToPictures();
    previewing_ = true;
    previewTimer_->start(Interval());
}

void CaptureDialog::PreviewTick() {
    if (captured_.empty()) {
        previewTimer_->stop();
        previewing_ = false;
        return;
    }
    // The slider is 1-based, so its value is the 0-based index of the next picture.
    int next = slider_->value();
    if (next < 0 || next >= static_cast<int>(captured_.size())) next = 0;
    slider_->setValue(next + 1);
}

void CaptureDialog::DeleteAll() {
    if (capturing_) StopCapture();
    previewTimer_->stop();
    previewing_ = false;
    // swap, not clear: the pictures may hold most of memory and must really be given back.
    std::vector<Frame>().swap(captured_);
    FitSliderToPictures();
}

void CaptureDialog::ShowPicture(int position) {
    if (position < 1 || position > static_cast<int>(captured_.size())) {
        preview_->clear();
        return;
    }
    const QSize area(std::max(1, preview_->width() - 2 * kPreviewMargin),
                     std::max(1, preview_->height() - 2 * kPreviewMargin));
    const QImage image = FrameToImage(captured_[static_cast<std::size_t>(position - 1)]);
    preview_->setPixmap(QPixmap::fromImage(image.scaled(
        area, Qt::IgnoreAspectRatio, smooth_->isChecked() ? Qt::SmoothTransformation : Qt::FastTransformation)));
}

void CaptureDialog::UpdateSlider() {
    const QString format = RenderQt(msg::media::kPictureOfPictures, language_);
    slider_->setToolTip(QString::asprintf(format.toUtf8().constData(), slider_->value(),
                                          static_cast<int>(captured_.size())));
}

bool CaptureDialog::OpenMovie(const QString& path) {
    QString why;
    if (!movie_->Open(path, &why)) {
        QString text = RenderQt(msg::media::kMovieNotPlayable, language_) + path;
        if (!why.isEmpty()) text += QStringLiteral("\n") + why;
        prompt_.Inform(text.toStdString(), PromptIcon::Warning);
        return false;
    }
    movie_->show();
    // The movie area has only just joined the layout; place it before asking where it is.
    if (layout()) layout()->activate();
    adjustSize();
    // The grown dialog stays on its screen.
    if (const QScreen* screen = QGuiApplication::screenAt(frameGeometry().center())) {
        const QRect space = screen->availableGeometry();
        QRect box = frameGeometry();
        if (box.right() > space.right()) box.moveRight(space.right());
        if (box.bottom() > space.bottom()) box.moveBottom(space.bottom());
        if (box.left() < space.left()) box.moveLeft(space.left());
        if (box.top() < space.top()) box.moveTop(space.top());
        move(box.topLeft());
    }
    CoverMovie();
    // The window manager may move the grown dialog; follow once it has settled.
    QTimer::singleShot(0, this, [this] {
        if (movie_->playing() && !capturing_) CoverMovie();
    });
    return true;
}

void CaptureDialog::CoverMovie() {
    const QRect picture = movie_->pictureRect();
    SetRegion(QRect(movie_->mapToGlobal(picture.topLeft()), picture.size()));
}

bool CaptureDialog::SaveDocument(const QString& path) {
    if (captured_.empty()) {
        prompt_.Inform(Render(msg::media::kNothingCapturedToSave, language_), PromptIcon::Warning);
        return false;
    }
    if (!WriteSingleClipDocument(std::filesystem::path(path.toStdString()), captured_)) {
        prompt_.Inform(Render(msg::common::kSaveFileFail, language_), PromptIcon::Error);
        return false;
    }
    return true;
}

std::vector<Frame> CaptureDialog::TakeScaled(QSize frameSize) {
    StopCapture();
    const Qt::TransformationMode mode = smooth_->isChecked() ? Qt::SmoothTransformation : Qt::FastTransformation;
    std::vector<Frame> out;
    out.reserve(captured_.size());
    for (Frame& picture : captured_) {
        if (picture.width() == frameSize.width() && picture.height() == frameSize.height()) {
            out.push_back(std::move(picture));
            continue;
        }
        const QImage scaled = FrameToImage(picture).scaled(frameSize, Qt::IgnoreAspectRatio, mode);
        picture = Frame();
        Frame frame(frameSize.width(), frameSize.height());
        ImageToFrame(scaled, frame);
        out.push_back(std::move(frame));
    }
    std::vector<Frame>().swap(captured_);
    FitSliderToPictures();
    return out;
}

void CaptureDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!capturing_) window_->show();
    // The dialog must not cover the region it grabs: it steps beside the region, to the right
    // when there is room, else to the left, else below.
    const QRect area = region().adjusted(-8, -8, 8, 8);
    QRect box = frameGeometry();
    if (!box.intersects(area)) return;
    const QScreen* screen = QGuiApplication::screenAt(area.center());
    const QRect space = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 14, 1 << 14);
    if (area.right() + box.width() <= space.right()) box.moveLeft(area.right() + 1);
    else if (area.left() - box.width() >= space.left()) box.moveRight(area.left() - 1);
    else box.moveTop(std::min(area.bottom() + 1, space.bottom() - box.height()));
    move(box.topLeft());
}

void CaptureDialog::hideEvent(QHideEvent* event) {
    // Minimising is the window system's hiding and leaves a run going: capturing with the
    // dialog out of the way is what the hot keys are for.
    if (event->spontaneous()) {
        QDialog::hideEvent(event);
        return;
    }
    // A closed dialog neither reads the screen nor keeps its marking window up.
    HaltTimers();
    movie_->Stop();
    window_->hide();
    QDialog::hideEvent(event);
}

void CaptureDialog::keyPressEvent(QKeyEvent* event) {
    // Enter in a field confirms the value; it must not also close the dialog through OK.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        for (QWidget* w = focusWidget(); w && w != this; w = w->parentWidget()) {
            if (qobject_cast<QAbstractSpinBox*>(w)) {
                event->accept();
                return;
            }
        }
    }
    QDialog::keyPressEvent(event);
}

}  // namespace corv
