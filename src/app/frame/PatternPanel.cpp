#include "app/frame/PatternPanel.h"

#include "app/frame/PictureTextPanel.h"
#include "app/frame/StylePreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <iterator>

#include "lang/QtText.h"
#include "lang/UiStrings.h"
#include "lang/messages/FrameMessages.h"

namespace corv {

namespace {

static_assert(std::size(msg::frame::kGeneratorModeNames) == kGeneratorModes);
static_assert(std::size(msg::frame::kRenderModeNames) == kRenderModes);

// A 16 x 16 picture for a list entry: an arrow for the directions, else the entry's number on
// a colour of the rainbow.
QIcon StyleIcon(GeneratorMode mode, int style) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const bool directions = mode == GeneratorMode::Moving || mode == GeneratorMode::ToyBricks || mode == GeneratorMode::Jalousie ||
                            mode == GeneratorMode::VShape || (mode == GeneratorMode::SoundWave && style < 4);
    if (directions && style < 8) {
        static const int angles[8] = {180, 0, 90, 270, 135, 225, 45, 315};  // left, right, up, down, diagonals
        p.translate(8, 8);
        p.rotate(-angles[style]);
        QPainterPath arrow;
        arrow.moveTo(7, 0);
        arrow.lineTo(1, -5);
        arrow.lineTo(1, -2);
        arrow.lineTo(-6, -2);
        arrow.lineTo(-6, 2);
        arrow.lineTo(1, 2);
        arrow.lineTo(1, 5);
        arrow.closeSubpath();
        p.fillPath(arrow, QColor(40, 110, 220));
        return QIcon(pixmap);
    }
    p.setBrush(QColor::fromHsv((static_cast<int>(mode) * 47 + style * 29) % 360, 200, 230));
    p.setPen(Qt::NoPen);
    p.drawEllipse(1, 1, 14, 14);
    p.setPen(Qt::black);
    QFont font = p.font();
    font.setPixelSize(10);
    p.setFont(font);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString::number((style + 1) % 10));
    return QIcon(pixmap);
}

}  // namespace

PatternPanel::PatternPanel(std::uint8_t language, const UiStrings& strings, QWidget* parent)
    : QWidget(parent), language_(language), strings_(strings) {
    setObjectName(QStringLiteral("patternPanel"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    recycle_ = new QCheckBox(RenderQt(msg::frame::kRecycleColours, language), this);
    recycle_->setObjectName(QStringLiteral("recycle"));
    layout->addWidget(recycle_);
    countLabel_ = new QLabel(this);
    count_ = new QSpinBox(this);
    count_->setObjectName(QStringLiteral("frameCount"));
    count_->setRange(0, 100000);
    count_->setValue(100);
    form->addRow(countLabel_, count_);
    render_ = new QComboBox(this);
    render_->setObjectName(QStringLiteral("renderMode"));
    for (int i = 0; i < kRenderModes; ++i) render_->addItem(RenderQt(msg::frame::kRenderModeNames[i], language));
    renderLabel_ = new QLabel(RenderQt(msg::frame::kRomance, language), this);
    form->addRow(renderLabel_, render_);
    layout->addLayout(form);

    styles_ = new QListWidget(this);
    styles_->setObjectName(QStringLiteral("styleList"));
    styles_->setIconSize(QSize(16, 16));
    styles_->setMinimumHeight(170);
    layout->addWidget(styles_, 1);
    preview_ = new StylePreview(language, this);
    layout->addWidget(preview_);

    auto* bottom = new QFormLayout;
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("modeBox"));
    for (int m = 0; m < kGeneratorModes; ++m) {
        mode_->addItem(RenderQt(msg::frame::kGeneratorModeNames[m], language));
        mode_->setItemData(m, ModeToolTip(static_cast<GeneratorMode>(m), language), Qt::ToolTipRole);
    }
    bottom->addRow(RenderQt(msg::frame::kActionMode, language), mode_);
    stepLabel_ = new QLabel(RenderQt(msg::frame::kStepLength, language), this);
    step_ = new QSpinBox(this);
    step_->setObjectName(QStringLiteral("stepLength"));
    step_->setRange(1, 32767);
    step_->setValue(1);
    bottom->addRow(stepLabel_, step_);
    layout->addLayout(bottom);
    // The toy-bricks sub-panel, in place of the frame count.
    bricksPanel_ = new QWidget(this);
    bricksPanel_->setObjectName(QStringLiteral("toyBricksPanel"));
    auto* bricks = new QFormLayout(bricksPanel_);
    const struct {
        const Text* label;
        int low, high, value;
    } fields[6] = {{&msg::frame::kBrickWidth, 1, 1000, 4},   {&msg::frame::kBrickHeight, 1, 1000, 2},
                   {&msg::frame::kBrickSpace, 0, 1000, 1},   {&msg::frame::kBrickFrequency, 1, 1000, 3},
                   {&msg::frame::kBrickOverpass, 0, 10000, 5}, {&msg::frame::kBrickRebound, 0, 1000, 2}};
    for (int i = 0; i < 6; ++i) {
        bricks_[i] = new QSpinBox(bricksPanel_);
        bricks_[i]->setObjectName(QStringLiteral("toyBricks%1").arg(i));
        bricks_[i]->setRange(fields[i].low, fields[i].high);
        bricks_[i]->setValue(fields[i].value);
        bricks->addRow(RenderQt(*fields[i].label, language), bricks_[i]);
    }
    layout->addWidget(bricksPanel_);
    // The V-shape sub-panel.
    vshapePanel_ = new QWidget(this);
    vshapePanel_->setObjectName(QStringLiteral("vShapePanel"));
    auto* v = new QFormLayout(vshapePanel_);
    vInterval_ = new QSpinBox(vshapePanel_);
    vInterval_->setObjectName(QStringLiteral("vShapeInterval"));
    vInterval_->setRange(1, 1000);
    vInterval_->setValue(2);
    v->addRow(RenderQt(msg::frame::kStepsInterval, language), vInterval_);
    for (int i = 0; i < 3; ++i) {
        vKinds_[i] = new QRadioButton(RenderQt(msg::frame::kVShapeKinds[i], language), vshapePanel_);
        vKinds_[i]->setObjectName(QStringLiteral("vShapeKind%1").arg(i));
        v->addRow(vKinds_[i]);
    }
    vKinds_[0]->setChecked(true);
    vCycles_ = new QSpinBox(vshapePanel_);
    vCycles_->setObjectName(QStringLiteral("vShapeCycles"));
    vCycles_->setRange(1, 100);
    vCycles_->setValue(1);
    v->addRow(RenderQt(msg::frame::kColourCycles, language), vCycles_);
    layout->addWidget(vshapePanel_);
    pictureText_ = new PictureTextPanel(language, strings, this);
    layout->addWidget(pictureText_);

    connect(mode_, &QComboBox::currentIndexChanged, this, &PatternPanel::ModeChanged);
    connect(styles_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { RunEntry(styles_->row(item)); });
    connect(styles_, &QListWidget::currentRowChanged, this, &PatternPanel::PreviewSelected);
    ModeChanged();
}

std::vector<std::string> PatternPanel::StyleNames(GeneratorMode mode) const {
    // The language's name lists: modes 0-5 show lists 0-5, Dropping list 6, the picture-and-text
    // mode its first two, the four-way modes the first four of list 0, Other list 7.
    const auto& lists = strings_.effectTypeNames;
    auto list = [&](std::size_t i) { return lists[i].Names(); };
    const int m = static_cast<int>(mode);
    if (m <= 6) return list(static_cast<std::size_t>(m));
    if (mode == GeneratorMode::PictureAndText) {
        auto names = list(6);
        names.resize(std::min<std::size_t>(names.size(), 2));
        return names;
    }
    if (mode == GeneratorMode::Other) return list(7);
    auto names = list(0);
    names.resize(std::min<std::size_t>(names.size(), 4));
    if (mode == GeneratorMode::SoundWave && !list(6).empty()) names.push_back(list(6).front());
    return names;
}

void PatternPanel::ModeChanged() {
    const GeneratorMode m = mode();
    const int i = static_cast<int>(m);
    styles_->clear();
    preview_->Clear();
    const auto names = StyleNames(m);
    for (std::size_t s = 0; s < names.size(); ++s) {
        auto* item = new QListWidgetItem(StyleIcon(m, static_cast<int>(s)), QString::fromStdString(names[s]), styles_);
        if (!GeneratorAvailable(m, static_cast<int>(s))) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);  // visible, not yet runnable
        item->setToolTip(StyleToolTip(m, static_cast<int>(s), language_));
    }
    // The enabling rules of the panel.
    recycle_->setEnabled(i <= 3);
    render_->setEnabled(i == 5 || i == 6 || i == 9 || i == 10 || i == 12);
    const bool subPanel = m == GeneratorMode::PictureAndText || m == GeneratorMode::ToyBricks || m == GeneratorMode::VShape;
    count_->setEnabled(!subPanel);
    step_->setEnabled(i == 0 || i == 1 || i == 12);
    for (QWidget* w : {static_cast<QWidget*>(recycle_), static_cast<QWidget*>(countLabel_), static_cast<QWidget*>(count_),
                       static_cast<QWidget*>(stepLabel_), static_cast<QWidget*>(step_)}) {
        w->setVisible(!subPanel);
    }
    bricksPanel_->setVisible(m == GeneratorMode::ToyBricks);
    vshapePanel_->setVisible(m == GeneratorMode::VShape);
    pictureText_->setVisible(m == GeneratorMode::PictureAndText);
    // The sub-panel has a "Romance:" of its own.
    renderLabel_->setVisible(m != GeneratorMode::PictureAndText);
    render_->setVisible(m != GeneratorMode::PictureAndText);
    if (m == GeneratorMode::Dropping) {
        countLabel_->setText(RenderQt(msg::frame::kFilterNumber, language_));
    } else if (m == GeneratorMode::Jalousie) {
        countLabel_->setText(RenderQt(msg::frame::kBlockNumber, language_));
        count_->setValue(3);
    } else {
        countLabel_->setText(RenderQt(msg::frame::kMakeFrameNum, language_));
    }
}

GeneratorMode PatternPanel::mode() const { return static_cast<GeneratorMode>(std::max(0, mode_->currentIndex())); }
void PatternPanel::SetMode(GeneratorMode m) { mode_->setCurrentIndex(static_cast<int>(m)); }
bool PatternPanel::recycle() const { return recycle_->isChecked() && recycle_->isEnabled(); }
int PatternPanel::count() const { return count_->value(); }
int PatternPanel::step() const { return step_->value(); }
void PatternPanel::SetStep(int step) { step_->setValue(step); }
int PatternPanel::render() const { return render_->isEnabled() ? render_->currentIndex() : 0; }

ToyBricksOptions PatternPanel::bricks() const {
    return ToyBricksOptions{bricks_[0]->value(), bricks_[1]->value(), bricks_[2]->value(),
                            bricks_[3]->value(), bricks_[4]->value(), bricks_[5]->value()};
}

VShapeOptions PatternPanel::vshape() const {
    VShapeOptions o;
    o.kind = vKinds_[1]->isChecked() ? VShapeOptions::Turn : vKinds_[2]->isChecked() ? VShapeOptions::VisAVis : VShapeOptions::Move;
    o.interval = vInterval_->value();
    o.cycles = vCycles_->value();
    return o;
}

void PatternPanel::PreviewSelected() {
    const int style = styles_->currentRow();
    if (style < 0 || !GeneratorAvailable(mode(), style)) {
        preview_->Clear();
        return;
    }
    preview_->Request(mode(), style, ops::GeneratorSettings(request(mode(), style)));
}

ops::GenerateRequest PatternPanel::request(GeneratorMode mode, int style) const {
    ops::GenerateRequest r;
    r.mode = mode;
    r.style = style;
    r.recycle = recycle();
    r.step = step();
    r.count = count();
    r.render = render();
    r.bricks = bricks();
    r.vshape = vshape();
    if (mode == GeneratorMode::PictureAndText) {
        r.pictureText = pictureText_->options();
        r.count = pictureText_->steps();
        r.render = pictureText_->render();
    }
    return r;
}

void PatternPanel::RunEntry(int style) {
    if (style < 0 || style >= styles_->count() || !GeneratorAvailable(mode(), style)) return;
    styles_->setCurrentRow(style);
    emit runRequested(mode(), style);
}

}  // namespace corv
