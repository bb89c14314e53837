#include "app/frame/StylePreview.h"

#include <QPixmap>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <span>

#include "content/TransitionRenderer.h"
#include "lang/QtText.h"
#include "lang/messages/FrameMessages.h"
#include "project/FrameUndo.h"

namespace corv {

namespace {

// A preview run stays within this many bytes of frames: a large frame, or a style whose run
// length the mode decides (toy bricks, V shape, jalousie), is drawn on a smaller frame of the
// same shape when it would not.
constexpr std::uint64_t kPreviewBytes = 64ull << 20;
// The longest run a preview makes.
constexpr int kPreviewRunFrames = 300;

// The frames of one request: the style run on a blank frame, at most `wanted` of them picked
// evenly from the run. Runs in the worker thread on copies only.
std::vector<QImage> Render(GeneratorMode mode, int style, GeneratorRun run, const PreviewScene& scene, int wanted) {
    QSize size = scene.size;
    if (size.isEmpty() || scene.colours.empty()) return {};
    // The run is made at the panel's own length (a few hundred frames at most), so that the
    // picked frames show the whole course of the style, not only its first steps.
    const bool ownLength = mode != GeneratorMode::Jalousie && mode != GeneratorMode::PictureAndText;
    if (ownLength) run.count = std::clamp(run.count, wanted, kPreviewRunFrames);
    std::uint64_t longest = static_cast<std::uint64_t>(ownLength ? run.count : wanted);
    if (mode == GeneratorMode::ToyBricks) longest = 20000;
    if (mode == GeneratorMode::VShape) {
        longest = static_cast<std::uint64_t>(std::max(run.vshape.cycles, 1)) * scene.colours.count() * static_cast<std::uint64_t>(std::max(run.vshape.interval, 1));
    }
    if (mode == GeneratorMode::Jalousie) longest = static_cast<std::uint64_t>(std::max(size.width(), size.height()));
    // Pictures and text run as long as their steps, entries and text make them (thousands of
    // frames for a long text): measured as that many, so the frame is made small enough.
    if (mode == GeneratorMode::PictureAndText) longest = 4000;
    const std::uint64_t bytes = longest * static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) * 3;
    if (bytes > kPreviewBytes) {
        const double shrink = std::sqrt(static_cast<double>(kPreviewBytes) / static_cast<double>(bytes));
        size = QSize(std::max(1, static_cast<int>(size.width() * shrink)), std::max(1, static_cast<int>(size.height() * shrink)));
    }
    std::vector<Frame> frames{Frame::Filled(size.width(), size.height(), scene.background)};
    FrameUndo undo;
    ColourList colours = scene.colours;
    run.frames = &frames;
    run.current = 0;
    run.undo = &undo;
    run.colours = &colours;
    run.background = scene.background;
    run.coverMode = false;
    run.editArea.reset();
    run.layout = scene.layout.get();
    run.seed = 1;
    if (RunGenerator(run, mode, style) <= 0 || frames.size() < 2) return {};
    const std::size_t made = frames.size() - 1;
    const std::size_t shown = std::min<std::size_t>(made, static_cast<std::size_t>(wanted));
    std::vector<QImage> out;
    out.reserve(shown);
    for (std::size_t i = 0; i < shown; ++i) out.push_back(FrameToImage32(frames[1 + i * made / shown]));
    return out;
}

}  // namespace

QString ModeToolTip(GeneratorMode mode, std::uint8_t language) {
    static_assert(std::size(msg::frame::kModeTips) == kGeneratorModes);
    const int m = static_cast<int>(mode);
    if (m < 0 || m >= kGeneratorModes) return {};
    return RenderQt(msg::frame::kModeTips[m], language);
}

QString StyleToolTip(GeneratorMode mode, int style, std::uint8_t language) {
    static const std::span<const Text> kLists[] = {
        msg::frame::kMovingStyleTips,   msg::frame::kSymmetryStyleTips,    msg::frame::kInterleavingStyleTips,
        msg::frame::kDiffusingStyleTips, msg::frame::kRotationStyleTips,    msg::frame::kGradualStyleTips,
        msg::frame::kDroppingStyleTips, msg::frame::kPictureTextStyleTips, msg::frame::kBricksStyleTips,
        msg::frame::kSoundStyleTips,    msg::frame::kJalousieStyleTips,    msg::frame::kVShapeStyleTips,
        msg::frame::kOtherStyleTips};
    static_assert(std::size(kLists) == kGeneratorModes);
    const int m = static_cast<int>(mode);
    if (m < 0 || m >= kGeneratorModes || style < 0 || style >= static_cast<int>(kLists[m].size())) return {};
    return RenderQt(kLists[m][static_cast<std::size_t>(style)], language);
}

StylePreview::StylePreview(std::uint8_t language, QWidget* parent) : QLabel(parent), language_(language) {
    setObjectName(QStringLiteral("stylePreview"));
    setAlignment(Qt::AlignCenter);
    setMinimumSize(120, 64);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFrameShape(QFrame::StyledPanel);
    timer_.setInterval(kInterval);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (frames_.empty()) return;
        shown_ = (shown_ + 1) % static_cast<int>(frames_.size());
        ShowFrame();
    });
}

StylePreview::~StylePreview() {
    pending_.reset();
    if (worker_) {
        worker_->wait();  // it works on copies; one short run at most
        delete worker_;
    }
}

void StylePreview::Request(GeneratorMode mode, int style, const GeneratorRun& settings) {
    auto job = std::make_unique<Job>();
    job->id = ++newest_;
    job->mode = mode;
    job->style = style;
    job->settings = settings;
    if (scene) {
        job->scene = scene();
    } else {
        job->scene.size = QSize(32, 16);
        job->scene.colours = ColourList::Rainbow();
    }
    timer_.stop();
    frames_.clear();
    shown_ = 0;
    setPixmap(QPixmap());
    setText(RenderQt(msg::frame::kPreviewing, language_));
    if (worker_) {
        pending_ = std::move(job);  // the running one is dropped when it ends
        return;
    }
    Start(std::move(job));
}

void StylePreview::Clear() {
    ++newest_;
    pending_.reset();
    timer_.stop();
    frames_.clear();
    shown_ = 0;
    setPixmap(QPixmap());
    setText(QString());
}

void StylePreview::Start(std::unique_ptr<Job> job) {
    auto result = std::make_shared<Result>();
    result->id = job->id;
    std::shared_ptr<Job> shared(std::move(job));
    worker_ = QThread::create([shared, result] {
        result->frames = Render(shared->mode, shared->style, shared->settings, shared->scene, kFrames);
    });
    worker_->setObjectName(QStringLiteral("stylePreviewWorker"));
    connect(worker_, &QThread::finished, this, [this, result] { Finished(result); });
    worker_->start(QThread::LowPriority);
}

void StylePreview::Finished(const std::shared_ptr<Result>& result) {
    if (worker_) {
        worker_->wait();
        worker_->deleteLater();
        worker_ = nullptr;
    }
    if (pending_) {
        Start(std::move(pending_));
        return;
    }
    if (result->id != newest_) return;  // a selection made since; Clear() came after it
    frames_ = std::move(result->frames);
    shown_ = 0;
    if (frames_.empty()) {
        setPixmap(QPixmap());
        setText(RenderQt(msg::frame::kNoPreview, language_));
    } else {
        setText(QString());
        ShowFrame();
        if (frames_.size() > 1 && isVisible()) timer_.start();
    }
    emit framesReady(static_cast<int>(frames_.size()));
}

void StylePreview::showEvent(QShowEvent* event) {
    QLabel::showEvent(event);
    if (frames_.size() > 1) timer_.start();
}

void StylePreview::hideEvent(QHideEvent* event) {
    QLabel::hideEvent(event);
    timer_.stop();
}

void StylePreview::ShowFrame() {
    if (shown_ < 0 || shown_ >= static_cast<int>(frames_.size())) return;
    const QImage& frame = frames_[static_cast<std::size_t>(shown_)];
    const QSize room = contentsRect().size().boundedTo(QSize(4096, 4096)).expandedTo(QSize(1, 1));
    setPixmap(QPixmap::fromImage(frame.scaled(room, Qt::KeepAspectRatio, Qt::FastTransformation)));
}

}  // namespace corv
