#include "app/frame/FrameEditDialogs.h"

#include "content/TransitionRenderer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "lang/Language.h"
#include "lang/Localize.h"
#include "app/common/DocumentDialogs.h"
#include "lang/UiStrings.h"

namespace corv {

namespace {

// OK and Cancel of the program, wired to the dialog.
QDialogButtonBox* Buttons(QDialog* dialog, const UiStrings& strings) {
    auto* box = OkCancel(strings, dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

// The dialog's own texts in the running language (Traditional through the character mapping).
QString T(std::uint8_t language, const char* chinese, const char* english) {
    return UsesChinese(language) ? QString::fromStdString(LocalizeText(chinese, language)) : QString::fromUtf8(english);
}

QSpinBox* Spin(int low, int high, int value, QWidget* parent) {
    auto* s = new QSpinBox(parent);
    s->setRange(low, high);
    s->setValue(value);
    return s;
}

}  // namespace

CRangeOperateDialog::CRangeOperateDialog(Mode mode, int current, int frameCount, std::uint8_t language,
                                         const UiStrings& strings, QWidget* parent)
    : QDialog(parent), frameCount_(frameCount), strings_(strings) {
    setWindowTitle(T(language, "帧操作", "Frame operate"));
    start_ = Spin(1, std::max(frameCount, 1) + 1000000, current, this);
    end_ = Spin(1, std::max(frameCount, 1) + 1000000, current, this);
    auto* form = new QFormLayout;
    AddRangeRows(form, start_, end_, frameCount, strings, this);
    const bool copy = mode == Mode::Copy;
    auto* first = new QRadioButton(copy ? T(language, "复制到剪贴板。", "Copy to clipboard.")
                                        : T(language, "删除范围内的全部帧。", "Delete appoint range of all frame."),
                                   this);
    second_ = new QRadioButton(copy ? T(language, "每帧重复次数:", "Repeat time of every frame:")
                                    : T(language, "间隔帧数:", "Space frame numbers:"),
                               this);
    first->setChecked(true);
    number_ = Spin(1, copy ? 1000 : 200, 1, this);
    form->addRow(first);
    form->addRow(second_, number_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Buttons(this, strings));
}

int CRangeOperateDialog::start() const { return start_->value(); }
int CRangeOperateDialog::end() const { return end_->value(); }
bool CRangeOperateDialog::second() const { return second_->isChecked(); }
int CRangeOperateDialog::number() const { return number_->value(); }

void CRangeOperateDialog::accept() {
    if (RangeAccepted(this, start_, end_, frameCount_, strings_)) QDialog::accept();
}

CPasteDialog::CPasteDialog(int current, int frameCount, std::uint8_t language, const UiStrings& strings, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(T(language, "粘贴", "Paste"));
    place_ = Spin(1, std::max(frameCount, 1), current, this);
    times_ = Spin(1, 1000, 1, this);
    auto* endFrame = new QPushButton(T(language, "尾帧", "End frame"), this);
    connect(endFrame, &QPushButton::clicked, this, [this, frameCount] { place_->setValue(frameCount); });
    mode_ = new QComboBox(this);
    mode_->addItems({T(language, "插入", "Insert"), T(language, "覆盖", "Overlay")});
    direction_ = new QComboBox(this);
    direction_->addItems({T(language, "原样", "Originally"), T(language, "水平镜像", "Horizon mirror"),
                          T(language, "垂直镜像", "Vertical mirror"), T(language, "中心镜像", "Center mirror")});
    reverse_ = new QCheckBox(T(language, "倒序", "Reverse order"), this);
    combine_ = new QComboBox(this);
    const struct {
        const char* chinese;
        const char* english;
        PasteCombine combine;
    } combos[] = {{"正常", "Normal", PasteCombine::Normal},
                  {"或", "OR", PasteCombine::Or},
                  {"异或", "XOR", PasteCombine::Xor},
                  {"与", "And", PasteCombine::And},
                  {"叠加", "Superposition", PasteCombine::Superposition},
                  {"透明", "Transparency", PasteCombine::Transparency},
                  {"相加", "Adding", PasteCombine::Adding}};
    for (const auto& c : combos) {
        combine_->addItem(T(language, c.chinese, c.english));
        combine_->setItemData(combine_->count() - 1, QString::fromStdString(CombineRule(c.combine)), Qt::ToolTipRole);
    }
    auto* place = new QHBoxLayout;
    place->addWidget(place_);
    place->addWidget(endFrame);
    auto* form = new QFormLayout;
    form->addRow(T(language, "位置:", "Place:"), place);
    form->addRow(T(language, "次数:", "Times:"), times_);
    form->addRow(mode_);
    form->addRow(direction_);
    form->addRow(reverse_);
    form->addRow(combine_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Buttons(this, strings));
}

PasteOptions CPasteDialog::options() const {
    PasteOptions o;
    o.place = static_cast<std::size_t>(place_->value() - 1);
    o.times = times_->value();
    o.overlay = mode_->currentIndex() == 1;
    o.direction = static_cast<PasteDirection>(direction_->currentIndex());
    o.reverseOrder = reverse_->isChecked();
    o.combine = static_cast<PasteCombine>(combine_->currentIndex());
    return o;
}

CStepsPasteDialog::CStepsPasteDialog(int current, int frameCount, std::uint8_t language, const UiStrings& strings,
                                     QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(T(language, "阶梯粘贴", "Steps paste"));
    auto* group = new QGroupBox(T(language, "方向", "Direction"), this);
    auto* forwards = new QRadioButton(T(language, "从左到右或从上到下", "From left to right or from top to bottom"), group);
    backwards_ = new QRadioButton(T(language, "从右到左或从下到上", "From right to left or from bottom to top"), group);
    forwards->setChecked(true);
    auto* g = new QVBoxLayout(group);
    g->addWidget(forwards);
    g->addWidget(backwards_);
    start_ = Spin(0, std::max(frameCount, 1), current, this);
    interval_ = Spin(0, 65535, 1, this);
    auto* form = new QFormLayout;
    form->addRow(T(language, "起始帧:", "Start Frame:"), start_);
    form->addRow(T(language, "帧间隔:", "Frame interval:"), interval_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(form);
    layout->addWidget(Buttons(this, strings));
}

int CStepsPasteDialog::startFrame() const { return start_->value(); }
int CStepsPasteDialog::interval() const { return std::max(interval_->value(), 1); }  // below 2 counts as 1
bool CStepsPasteDialog::backwards() const { return backwards_->isChecked(); }

CFrameProcessDialog::CFrameProcessDialog(int frameCount, std::uint8_t language, const UiStrings& strings,
                                         QWidget* parent)
    : QDialog(parent), frameCount_(frameCount), strings_(strings) {
    setWindowTitle(T(language, "帧处理", "Frame processing"));
    start_ = Spin(1, std::max(frameCount, 1) + 1000000, 1, this);
    end_ = Spin(1, std::max(frameCount, 1) + 1000000, frameCount, this);
    auto* form = new QFormLayout;
    form->addRow(QString::fromStdString(strings.rangeStart), start_);
    form->addRow(QString::fromStdString(strings.rangeEnd), end_);
    auto* tabs = new QTabWidget(this);
    auto* move = new QWidget(tabs);
    auto* m = new QVBoxLayout(move);
    const char* names[4][2] = {{"左移", "Move left"}, {"右移", "Move right"}, {"上移", "Move up"}, {"下移", "Move down"}};
    for (int i = 0; i < 4; ++i) {
        directions_[i] = new QRadioButton(T(language, names[i][0], names[i][1]), move);
        m->addWidget(directions_[i]);
    }
    directions_[0]->setChecked(true);
    ranks_ = Spin(0, 65535, 1, move);
    auto* ranks = new QFormLayout;
    ranks->addRow(T(language, "移动行列数:", "Move ranks :"), ranks_);
    m->addLayout(ranks);
    increments_ = new QCheckBox(T(language, "逐帧递增", "Frame-by-frame increments"), move);
    m->addWidget(increments_);
    tabs->addTab(move, T(language, "帧移动", "Frame move"));
    auto* design = new QWidget(tabs);
    auto* d = new QFormLayout(design);
    kind_ = new QComboBox(design);
    for (int k = 0; k < kTransitionKinds; ++k) kind_->addItem(QString::fromLatin1(TransitionKindName(k)));
    kind_->setCurrentIndex(2);  // LeftOver
    d->addRow(T(language, "过渡方式:", "Transition:"), kind_);
    d->addRow(new QLabel(T(language, "范围之后的同样多的帧逐步显现, 从范围的最后一帧开始。",
                           "As many frames as the range holds, after it, appear step by step from its last frame."),
                         design));
    tabs->addTab(design, T(language, "图案切换", "Design switch"));
    tabs_ = tabs;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(tabs);
    layout->addWidget(Buttons(this, strings));
}

int CFrameProcessDialog::start() const { return start_->value(); }
int CFrameProcessDialog::end() const { return end_->value(); }
MoveDirection CFrameProcessDialog::direction() const {
    for (int i = 0; i < 4; ++i) {
        if (directions_[i]->isChecked()) return static_cast<MoveDirection>(i);
    }
    return MoveDirection::Left;
}
int CFrameProcessDialog::ranks() const { return ranks_->value(); }
bool CFrameProcessDialog::increments() const { return increments_->isChecked(); }

bool CFrameProcessDialog::designSwitch() const { return tabs_->currentIndex() == 1; }
int CFrameProcessDialog::transitionKind() const { return kind_->currentIndex(); }

void CFrameProcessDialog::accept() {
    if (!RangeAccepted(this, start_, end_, frameCount_, strings_)) return;
    // The switch needs as many frames after the range as the range holds.
    if (designSwitch() && frameCount_ - end_->value() < end_->value() - start_->value() + 1) {
        Warn(this, windowTitle(), QString::fromStdString(strings_.paramError), strings_);
        end_->setFocus();
        end_->selectAll();
        return;
    }
    QDialog::accept();
}

CRowColDeleteDialog::CRowColDeleteDialog(int frameCount, std::uint8_t language, const UiStrings& strings,
                                         QWidget* parent)
    : QDialog(parent), frameCount_(frameCount), strings_(strings) {
    setWindowTitle(T(language, "行列删除", "Row Col Delete"));
    start_ = Spin(1, std::max(frameCount, 1) + 1000000, 1, this);
    end_ = Spin(1, std::max(frameCount, 1) + 1000000, frameCount, this);
    auto* form = new QFormLayout;
    AddRangeRows(form, start_, end_, frameCount, strings, this);
    for (auto& v : values_) v = Spin(0, 65535, 1, this);
    for (int line = 0; line < 2; ++line) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(T(language, "保留", "Reserve"), this));
        row->addWidget(values_[2 * line]);
        row->addWidget(new QLabel(line == 0 ? T(language, "行,删除", "row,Delete") : T(language, "列,删除", "col,Delete"), this));
        row->addWidget(values_[2 * line + 1]);
        row->addWidget(new QLabel(line == 0 ? T(language, "行", "row") : T(language, "列", "col"), this));
        form->addRow(row);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Buttons(this, strings));
}

int CRowColDeleteDialog::start() const { return start_->value(); }
int CRowColDeleteDialog::end() const { return end_->value(); }
int CRowColDeleteDialog::keepRows() const { return values_[0]->value(); }
int CRowColDeleteDialog::deleteRows() const { return values_[1]->value(); }
int CRowColDeleteDialog::keepCols() const { return values_[2]->value(); }
int CRowColDeleteDialog::deleteCols() const { return values_[3]->value(); }

void CRowColDeleteDialog::accept() {
    if (RangeAccepted(this, start_, end_, frameCount_, strings_)) QDialog::accept();
}

}  // namespace corv
