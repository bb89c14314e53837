#include "app/frame/StylePreview.h"

#include <QPixmap>
#include <QThread>

#include <algorithm>
#include <cmath>

#include "content/TransitionRenderer.h"
#include "lang/Language.h"
#include "lang/Localize.h"
#include "project/FrameUndo.h"

namespace corv {

namespace {

QString Text(std::uint8_t language, const char* chinese, const char* english) {
    return UsesChinese(language) ? QString::fromStdString(LocalizeText(chinese, language)) : QString::fromUtf8(english);
}

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
    static const char* const kTips[kGeneratorModes][2] = {
        {"画面按方向移动，新颜色从对边进入", "The picture moves in a direction; the new colour enters at the opposite edge"},
        {"画面分成两半或四块，对称地向外或向内移动", "The picture in halves or quarters moving out or in, mirrored"},
        {"相邻的行或列朝相反方向交错移动", "Neighbouring rows or columns move in opposite directions"},
        {"颜色一圈一圈地向外扩散或向内收缩", "The colours spread out ring by ring or shrink inward"},
        {"颜色列表排成螺旋或扇形绕中心旋转", "The colour list laid as spirals or sectors turning about the centre"},
        {"整个画面逐帧变亮、变暗、放大、缩小、淡出或换色", "The whole picture brightens, darkens, grows, shrinks, fades or changes colour frame by frame"},
        {"雨滴从上方落下，拖着颜色列表的尾巴", "Drops fall from the top, trailing the colour list"},
        {"图文列表的图片和文字依次以所选过渡效果出现", "The pictures and texts of the list shown one after another with the chosen transition"},
        {"积木沿方向移动并在对边堆起来", "Bricks travel in a direction and pile up against the far edge"},
        {"像音量表一样随机起落的色条", "Bars of the colour list rising and falling at random like a level meter"},
        {"百叶窗：区域分成若干叶片，逐列用当前颜色打开", "Blinds: the area cut into slats that open column by column in the current colour"},
        {"颜色列表组成的V形条纹沿方向移动", "Chevrons of the colour list travelling in a direction"},
        {"粒子、扩散、线型、随机和波浪效果", "Particles, diffuse rings, stripes, random blocks and waves"},
    };
    const int m = static_cast<int>(mode);
    if (m < 0 || m >= kGeneratorModes) return {};
    return Text(language, kTips[m][0], kTips[m][1]);
}

QString StyleToolTip(GeneratorMode mode, int style, std::uint8_t language) {
    struct Tip {
        const char* chinese;
        const char* english;
    };
    static const std::vector<Tip> kMoving = {
        {"画面每帧向左移动一个步长，当前颜色从右边进入", "The picture moves left by the step each frame; the current colour enters at the right"},
        {"画面每帧向右移动一个步长，当前颜色从左边进入", "The picture moves right by the step each frame; the current colour enters at the left"},
        {"画面每帧向上移动一个步长，当前颜色从下边进入", "The picture moves up by the step each frame; the current colour enters at the bottom"},
        {"画面每帧向下移动一个步长，当前颜色从上边进入", "The picture moves down by the step each frame; the current colour enters at the top"},
        {"画面向左上斜向移动，颜色从右下进入", "The picture moves diagonally up and left; the colour enters from the bottom right"},
        {"画面向左下斜向移动，颜色从右上进入", "The picture moves diagonally down and left; the colour enters from the top right"},
        {"画面向右上斜向移动，颜色从左下进入", "The picture moves diagonally up and right; the colour enters from the bottom left"},
        {"画面向右下斜向移动，颜色从左上进入", "The picture moves diagonally down and right; the colour enters from the top left"},
        {"颜色沿每个端口的走线移动，从端口的起点进入（需要线路文件）", "The colours move along each port's wiring, entering at the port's start (needs a line file)"},
        {"颜色从一个端口移到下一个端口，第一个端口取新颜色（需要线路文件）", "The colours pass from port to port, the first port taking the new colour (needs a line file)"},
    };
    static const std::vector<Tip> kSymmetry = {
        {"左右两半从中线向外移动，颜色从中间进入", "The left and right halves move out from the middle; the colour enters at the centre line"},
        {"左右两半向中线移动，颜色从两侧进入", "The left and right halves move in to the middle; the colour enters at both sides"},
        {"上下两半从中线向外移动，颜色从中间进入", "The top and bottom halves move out from the middle; the colour enters at the centre line"},
        {"上下两半向中线移动，颜色从上下两边进入", "The top and bottom halves move in to the middle; the colour enters at the top and bottom"},
        {"四块从中心向四角斜向移动，颜色从中心进入", "The four quarters move diagonally out to the corners; the colour enters at the centre"},
        {"四块从四角向中心斜向移动，颜色从四角进入", "The four quarters move diagonally in from the corners; the colour enters at the corners"},
    };
    static const std::vector<Tip> kInterleaving = {
        {"各行每帧移动一个像素，相邻行一左一右", "Every row moves a pixel a frame, neighbouring rows left and right"},
        {"各列每帧移动一个像素，相邻列一上一下", "Every column moves a pixel a frame, neighbouring columns up and down"},
    };
    static const std::vector<Tip> kDiffusing = {
        {"椭圆环：颜色从中心进入，每帧向外扩散一圈", "Elliptic rings: the colour enters at the centre and spreads out a ring a frame"},
        {"椭圆环：颜色从边缘进入，每帧向内收缩一圈", "Elliptic rings: the colour enters at the edge and shrinks in a ring a frame"},
        {"菱形：四块从中心向外斜向扩散", "Rhombus: the four quarters move diagonally out of the centre"},
        {"菱形：四块斜向收缩到中心", "Rhombus: the four quarters move diagonally into the centre"},
        {"矩形环：颜色从中心进入，每帧向外扩散一圈", "Rectangular rings: the colour enters at the centre and spreads out a ring a frame"},
        {"矩形环：颜色从边缘进入，每帧向内收缩一圈", "Rectangular rings: the colour enters at the edge and shrinks in a ring a frame"},
    };
    static const std::vector<Tip> kRotation = {
        {"颜色列表组成的螺旋臂逆时针旋转", "Spiral arms in the colours of the list turning anticlockwise"},
        {"颜色列表组成的螺旋臂顺时针旋转", "Spiral arms in the colours of the list turning clockwise"},
        {"颜色列表排成绕中心的扇形，逆时针旋转", "The colour list as sectors about the centre, turning anticlockwise"},
        {"颜色列表排成绕中心的扇形，顺时针旋转", "The colour list as sectors about the centre, turning clockwise"},
    };
    static const std::vector<Tip> kGradual = {
        {"每帧所有像素变亮一些", "Every pixel a little brighter each frame"},
        {"每帧所有像素变暗一些", "Every pixel a little darker each frame"},
        {"画面每帧每边放大一个像素", "The picture grows by a pixel on every side each frame"},
        {"画面每帧每边缩小一个像素", "The picture shrinks by a pixel on every side each frame"},
        {"画面在生成的帧数内淡出到背景色", "The picture fades to the background over the frames made"},
        {"整个区域每帧换成颜色列表的下一个颜色", "The whole area takes the next colour of the list each frame"},
    };
    static const std::vector<Tip> kDropping = {
        {"每帧在随机列落下一滴，每帧下落一行，拖着颜色列表", "A drop a frame in a random column, falling a row a frame, trailing the colour list"},
        {"每帧在随机列落下一滴，每帧下落两行", "A drop a frame in a random column, falling two rows a frame"},
        {"每两帧落下一滴，每帧下落一行", "A drop every other frame, falling a row a frame"},
    };
    static const std::vector<Tip> kPictureText = {
        {"图文列表的每一项以所选过渡效果出现", "Each entry of the list comes in with the chosen transition"},
        {"图文列表的每一项以所选过渡效果出现，再退回背景", "Each entry of the list comes in with the chosen transition and goes out again to the background"},
    };
    static const std::vector<Tip> kBricks = {
        {"积木向左移动，堆在左边", "Bricks travel left and pile up against the left edge"},
        {"积木向右移动，堆在右边", "Bricks travel right and pile up against the right edge"},
        {"积木向上移动，堆在上边", "Bricks travel up and pile up against the top edge"},
        {"积木向下移动，堆在下边", "Bricks travel down and pile up against the bottom edge"},
    };
    static const std::vector<Tip> kSound = {
        {"每行一根色条，从右边向左随机伸缩", "A bar per row, growing and shrinking at random from the right edge leftward"},
        {"每行一根色条，从左边向右随机伸缩", "A bar per row, growing and shrinking at random from the left edge rightward"},
        {"每列一根色条，从下边向上随机伸缩", "A bar per column, growing and shrinking at random from the bottom upward"},
        {"每列一根色条，从上边向下随机伸缩", "A bar per column, growing and shrinking at random from the top downward"},
        {"每行一根色条，从中间向两边随机伸缩", "A bar per row, growing and shrinking at random from the middle to both sides"},
    };
    static const std::vector<Tip> kJalousie = {
        {"叶片竖排，每片从右向左打开", "Upright slats, each opening from its right side to the left"},
        {"叶片竖排，每片从左向右打开", "Upright slats, each opening from its left side to the right"},
        {"叶片横排，每片从下向上打开", "Level slats, each opening from its bottom upward"},
        {"叶片横排，每片从上向下打开", "Level slats, each opening from its top downward"},
    };
    static const std::vector<Tip> kVShape = {
        {"V形条纹向左移动", "Chevrons of the colour list travelling left"},
        {"V形条纹向右移动", "Chevrons of the colour list travelling right"},
        {"V形条纹向上移动", "Chevrons of the colour list travelling up"},
        {"V形条纹向下移动", "Chevrons of the colour list travelling down"},
    };
    static const std::vector<Tip> kOther = {
        {"粒子在背景上运动（粒子对话框的设置）", "Particles moving over the background (the particle dialog's settings)"},
        {"绕所选点的圆、方或菱形环，颜色列表向外或向内流动", "Circle, square or diamond rings about a chosen point, the colour list running out or in"},
        {"颜色列表组成的平行条纹按角度移动", "Parallel stripes of the colour list moving across at an angle"},
        {"随机大小和位置的色块，取颜色列表中的随机颜色", "Blocks of random size and place in random colours of the list"},
        {"各行按步长右移，进入的颜色随上下扫动的波峰变化", "Rows move right by the step; the entering colours follow a crest sweeping up and down"},
    };
    static const std::vector<Tip>* const kLists[kGeneratorModes] = {&kMoving, &kSymmetry, &kInterleaving, &kDiffusing, &kRotation,
                                                                     &kGradual, &kDropping, &kPictureText, &kBricks, &kSound,
                                                                     &kJalousie, &kVShape, &kOther};
    const int m = static_cast<int>(mode);
    if (m < 0 || m >= kGeneratorModes || style < 0 || style >= static_cast<int>(kLists[m]->size())) return {};
    const Tip& tip = (*kLists[m])[static_cast<std::size_t>(style)];
    return Text(language, tip.chinese, tip.english);
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
    setText(Text(language_, "预览中…", "Previewing…"));
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
        setText(Text(language_, "此样式无预览", "No preview for this style"));
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
