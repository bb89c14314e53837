#include "app/frame/ColourPanel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolTip>
#include <QVBoxLayout>

#include "base/Prompt.h"
#include "lang/Language.h"
#include "lang/Localize.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

QString Text(std::uint8_t language, const char* chinese, const char* english) {
    return UsesChinese(language) ? QString::fromStdString(LocalizeText(chinese, language)) : QString::fromUtf8(english);
}

QColor ToQColor(ListColour c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
ListColour FromQColor(const QColor& c) { return MakeListColour(c.red(), c.green(), c.blue()); }

// The tool buttons' pictures, drawn here: arrow, pen, brush, line, rectangle, fill.
QIcon ToolIcon(DrawTool tool) {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.6));
    switch (tool) {
        case DrawTool::None: {
            QPainterPath arrow;
            arrow.moveTo(6, 3);
            arrow.lineTo(6, 18);
            arrow.lineTo(10, 14);
            arrow.lineTo(13, 20);
            arrow.lineTo(15, 19);
            arrow.lineTo(12, 13);
            arrow.lineTo(17, 13);
            arrow.closeSubpath();
            p.fillPath(arrow, Qt::white);
            p.drawPath(arrow);
            break;
        }
        case DrawTool::Pen:
            p.drawLine(5, 17, 16, 6);
            p.drawLine(16, 6, 18, 8);
            p.drawLine(18, 8, 7, 19);
            p.drawLine(5, 17, 4, 20);
            break;
        case DrawTool::Brush:
            p.setBrush(QColor(200, 60, 60));
            p.drawEllipse(QPointF(8, 15), 4, 4);
            p.drawLine(10, 12, 18, 4);
            break;
        case DrawTool::Line:
            p.drawLine(4, 18, 18, 4);
            break;
        case DrawTool::Rectangle:
            p.drawRect(4, 6, 14, 10);
            break;
        case DrawTool::Fill: {
            p.setBrush(QColor(60, 120, 220));
            QPolygonF bucket({QPointF(5, 9), QPointF(13, 3), QPointF(19, 11), QPointF(11, 17)});
            p.drawPolygon(bucket);
            p.drawEllipse(QPointF(18, 17), 2, 3);
            break;
        }
    }
    return QIcon(pixmap);
}

QIcon ThumbnailIcon(const std::vector<ListColour>& colours) {
    const auto pixels = ListThumbnail(colours, 64, 16);
    QImage image(64, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; ++x) image.setPixel(x, y, 0xFF000000u | pixels[static_cast<std::size_t>(y * 64 + x)]);
    }
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace

QIcon SwatchIcon(ListColour colour) {
    QPixmap pixmap(28, 14);
    pixmap.fill(ToQColor(colour));
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 27, 13);
    return QIcon(pixmap);
}

// --- the strip ---------------------------------------------------------------------------------

ColourStrip::ColourStrip(const ColourList& list, QWidget* parent) : QWidget(parent), list_(list) {
    setObjectName(QStringLiteral("colourStrip"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setMinimumHeight(kCell * 2);
}

int ColourStrip::Columns() const { return std::max(1, width() / kCell); }

int ColourStrip::heightForWidth(int width) const {
    const int columns = std::max(1, width / kCell);
    const int rows = std::max<int>(1, static_cast<int>((list_.count() + static_cast<std::size_t>(columns) - 1) / static_cast<std::size_t>(columns)));
    return std::min(rows, 24) * kCell + 2;
}

QSize ColourStrip::sizeHint() const { return QSize(200, heightForWidth(200)); }

int ColourStrip::EntryAt(QPoint at) const {
    if (at.x() < 0 || at.y() < 0 || at.x() >= Columns() * kCell) return -1;
    const std::size_t index = static_cast<std::size_t>(at.y() / kCell) * static_cast<std::size_t>(Columns()) + static_cast<std::size_t>(at.x() / kCell);
    return index < list_.count() ? static_cast<int>(index) : -1;
}

void ColourStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const int columns = Columns();
    for (std::size_t i = 0; i < list_.count(); ++i) {
        const int x = static_cast<int>(i % static_cast<std::size_t>(columns)) * kCell;
        const int y = static_cast<int>(i / static_cast<std::size_t>(columns)) * kCell;
        if (y > height()) break;
        p.fillRect(x, y, kCell, kCell, ToQColor(list_[i]));
    }
    if (!list_.empty()) {
        const int s = list_.selected();
        p.setPen(QPen(Qt::black, 2));
        p.drawRect((s % columns) * kCell + 1, (s / columns) * kCell + 1, kCell - 2, kCell - 2);
        p.setPen(QPen(Qt::white, 1));
        p.drawRect((s % columns) * kCell + 2, (s / columns) * kCell + 2, kCell - 5, kCell - 5);
    }
}

void ColourStrip::mousePressEvent(QMouseEvent* event) {
    const int index = EntryAt(event->position().toPoint());
    if (index >= 0) emit entryClicked(index, event->modifiers());
}

bool ColourStrip::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = EntryAt(help->pos());
        if (index >= 0) {
            QToolTip::showText(help->globalPos(), QString::number(index + 1), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

// --- the panel ---------------------------------------------------------------------------------

ColourPanel::ColourPanel(Workspace& ws, Prompt& prompt, QWidget* parent)
    : QWidget(parent), ws_(ws), prompt_(prompt), libraryFile_(ws.home / ColourLibrary::kFileName) {
    setObjectName(QStringLiteral("colourPanel"));
    const std::uint8_t lang = ws_.app.language;
    auto* layout = new QVBoxLayout(this);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(Text(lang, "颜色:", "Color:"), this), 0, 0);
    colourButton_ = new QPushButton(this);
    colourButton_->setObjectName(QStringLiteral("colourButton"));
    top->addWidget(colourButton_, 0, 1);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("colourCount"));
    top->addWidget(count_, 0, 2);
    auto* clear = new QPushButton(Text(lang, "清除", "Clear"), this);
    auto* remove = new QPushButton(Text(lang, "删除", "Delete"), this);
    top->addWidget(clear, 1, 1);
    top->addWidget(remove, 1, 2);
    top->addWidget(new QLabel(Text(lang, "背景:", "Back:"), this), 2, 0);
    backButton_ = new QPushButton(Text(lang, "背景色", "bk"), this);
    backButton_->setObjectName(QStringLiteral("backButton"));
    top->addWidget(backButton_, 2, 1);
    top->addWidget(new QLabel(Text(lang, "Ctrl 或 Shift + 鼠标", "Ctrl or Shift + Mouse"), this), 3, 0, 1, 3);
    layout->addLayout(top);

    layout->addWidget(new QLabel(Text(lang, "样本颜色列表:", "Sample color list:"), this));
    strip_ = new ColourStrip(ws_.colourPanel.list, this);
    layout->addWidget(strip_);

    auto* libraryRow = new QHBoxLayout;
    library_ = new QComboBox(this);
    library_->setObjectName(QStringLiteral("colourLibrary"));
    library_->setIconSize(QSize(64, 16));
    libraryRow->addWidget(library_, 1);
    auto* save = new QPushButton(Text(lang, "保存", "Save"), this);
    auto* drop = new QPushButton(Text(lang, "移除", "Remove"), this);
    save->setObjectName(QStringLiteral("librarySave"));
    drop->setObjectName(QStringLiteral("libraryRemove"));
    libraryRow->addWidget(save);
    libraryRow->addWidget(drop);
    layout->addLayout(libraryRow);

    auto* modes = new QGridLayout;
    gradeRadio_ = new QRadioButton(Text(lang, "过渡等级:", "Transition grade:"), this);
    fixedRadio_ = new QRadioButton(Text(lang, "过渡颜色数:", "Transitional colors:"), this);
    grade_ = new QComboBox(this);
    fixed_ = new QComboBox(this);
    for (int g : kGradeChoices) grade_->addItem(QString::number(g), g);
    for (int f : kFixedChoices) fixed_->addItem(QString::number(f), f);
    grade_->setCurrentIndex(grade_->findData(ws_.colourPanel.grade));
    fixed_->setCurrentIndex(fixed_->findData(ws_.colourPanel.fixedSteps));
    (ws_.colourPanel.mode == ColourTransition::Grade ? gradeRadio_ : fixedRadio_)->setChecked(true);
    modes->addWidget(gradeRadio_, 0, 0);
    modes->addWidget(grade_, 0, 1);
    modes->addWidget(fixedRadio_, 1, 0);
    modes->addWidget(fixed_, 1, 1);
    layout->addLayout(modes);

    auto* toolRow = new QHBoxLayout;
    tools_ = new QButtonGroup(this);
    tools_->setExclusive(true);
    const struct {
        DrawTool tool;
        const char* chinese;
        const char* english;
    } tools[] = {{DrawTool::None, "选择 (拖动编辑区域)", "Select (drag the edit area)"},
                 {DrawTool::Pen, "画笔", "Pen"},
                 {DrawTool::Brush, "刷子", "Brush"},
                 {DrawTool::Line, "直线", "Line"},
                 {DrawTool::Rectangle, "矩形", "Rectangle"},
                 {DrawTool::Fill, "填充", "Fill"}};
    for (const auto& t : tools) {
        auto* b = new QPushButton(ToolIcon(t.tool), QString(), this);
        b->setCheckable(true);
        b->setToolTip(Text(lang, t.chinese, t.english));
        b->setObjectName(QStringLiteral("tool%1").arg(static_cast<int>(t.tool)));
        b->setMaximumWidth(34);
        tools_->addButton(b, static_cast<int>(t.tool));
        toolRow->addWidget(b);
    }
    tools_->button(0)->setChecked(true);  // the first tool at start
    toolRow->addStretch();
    layout->addLayout(toolRow);

    auto* itemRow = new QHBoxLayout;
    itemRow->addWidget(new QLabel(Text(lang, "线宽:", "LineWidth:"), this));
    lineWidth_ = new QSpinBox(this);
    lineWidth_->setRange(1, 100);
    lineWidth_->setValue(ws_.colourPanel.lineWidth);
    itemRow->addWidget(lineWidth_);
    fill_ = new QCheckBox(Text(lang, "填充", "Fill"), this);
    fill_->setChecked(ws_.colourPanel.fill);
    itemRow->addWidget(fill_);
    itemRow->addStretch();
    layout->addLayout(itemRow);
    layout->addStretch();

    connect(colourButton_, &QPushButton::clicked, this, [this] { ColourButton(QApplication::keyboardModifiers()); });
    connect(backButton_, &QPushButton::clicked, this, [this] {
        const Bgr b = ws_.app.backgroundColour;
        const QColor chosen = QColorDialog::getColor(QColor(b.r, b.g, b.b), this);
        if (chosen.isValid()) SetBackground(Bgr{static_cast<std::uint8_t>(chosen.blue()), static_cast<std::uint8_t>(chosen.green()),
                                                static_cast<std::uint8_t>(chosen.red())});
    });
    connect(clear, &QPushButton::clicked, this, &ColourPanel::Clear);
    connect(remove, &QPushButton::clicked, this, [this] { Delete(QApplication::keyboardModifiers()); });
    connect(strip_, &ColourStrip::entryClicked, this, [this](int index, Qt::KeyboardModifiers modifiers) {
        ws_.colourPanel.list.Select(index);
        if (modifiers & (Qt::ControlModifier | Qt::ShiftModifier)) {
            Delete(modifiers);
        } else {
            SetCurrentColour(ws_.colourPanel.list[static_cast<std::size_t>(index)]);
        }
        strip_->update();
    });
    connect(library_, &QComboBox::activated, this, &ColourPanel::LoadLibraryEntry);
    connect(save, &QPushButton::clicked, this, &ColourPanel::SaveToLibrary);
    connect(drop, &QPushButton::clicked, this, &ColourPanel::RemoveLibraryEntry);
    for (QRadioButton* r : {gradeRadio_, fixedRadio_}) connect(r, &QRadioButton::toggled, this, &ColourPanel::TakeMode);
    for (QComboBox* c : {grade_, fixed_}) connect(c, &QComboBox::currentIndexChanged, this, &ColourPanel::TakeMode);
    connect(tools_, &QButtonGroup::idClicked, this, [this](int id) { SetTool(static_cast<DrawTool>(id)); });
    connect(lineWidth_, &QSpinBox::valueChanged, this, [this](int v) { ws_.colourPanel.lineWidth = v; });
    connect(fill_, &QCheckBox::toggled, this, [this](bool on) { ws_.colourPanel.fill = on; });

    RefreshLibrary();
    UpdateButtons();
    ListChanged();
}

void ColourPanel::TakeMode() {
    ws_.colourPanel.mode = gradeRadio_->isChecked() ? ColourTransition::Grade : ColourTransition::Fixed;
    ws_.colourPanel.grade = grade_->currentData().toInt();
    ws_.colourPanel.fixedSteps = fixed_->currentData().toInt();
}

void ColourPanel::UpdateButtons() {
    colourButton_->setIcon(SwatchIcon(ws_.colourPanel.current));
    const Bgr b = ws_.app.backgroundColour;
    backButton_->setIcon(SwatchIcon(MakeListColour(b.r, b.g, b.b)));
}

void ColourPanel::ListChanged() {
    count_->setText(QString::number(ws_.colourPanel.list.count()));
    strip_->updateGeometry();
    strip_->update();
    emit listChanged();
}

void ColourPanel::ColourButton(Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier) {
        AddCurrentColour();
        return;
    }
    const QColor chosen = QColorDialog::getColor(ToQColor(ws_.colourPanel.current), this);
    if (chosen.isValid()) SetCurrentColour(FromQColor(chosen));
}

void ColourPanel::SetCurrentColour(ListColour colour) {
    ws_.colourPanel.current = colour & 0xFFFFFFu;
    UpdateButtons();
    emit toolChanged(tool_, ToBgr(ws_.colourPanel.current));
}

void ColourPanel::AddCurrentColour() {
    TakeMode();
    const auto& s = ws_.colourPanel;
    ws_.colourPanel.list.AddColour(s.current, s.mode, s.mode == ColourTransition::Grade ? s.grade : s.fixedSteps);
    ListChanged();
}

void ColourPanel::SetBackground(Bgr colour) {
    ws_.app.backgroundColour = colour;
    UpdateButtons();
}

void ColourPanel::Delete(Qt::KeyboardModifiers modifiers) {
    ColourList& list = ws_.colourPanel.list;
    if (modifiers & Qt::ControlModifier) {
        list.KeepUpToSelected();
    } else if (modifiers & Qt::ShiftModifier) {
        list.RemoveSelected();
    } else {
        list.DeleteLast();
    }
    ListChanged();
}

void ColourPanel::Clear() {
    ws_.colourPanel.list.Clear();
    ListChanged();
}

void ColourPanel::RefreshLibrary() {
    std::string error;
    libraryRead_ = libraryFile_.Load(&error);
    if (!libraryRead_) prompt_.Inform(error, PromptIcon::Warning);
    library_->clear();
    const ColourList rainbow = ColourList::Rainbow();
    library_->addItem(ThumbnailIcon(rainbow.colours()), Text(ws_.app.language, "%1色", "%1Color").arg(rainbow.count()));
    if (!libraryRead_) return;
    for (int k = 1; k <= libraryFile_.ListCount(); ++k) {
        library_->addItem(ThumbnailIcon(libraryFile_.List(k)), Text(ws_.app.language, "%1色", "%1Color").arg(libraryFile_.List(k).size()));
    }
}

void ColourPanel::LoadLibraryEntry(int index) {
    if (index == 0) {
        ws_.colourPanel.list = ColourList::Rainbow();
    } else if (libraryRead_ && index <= libraryFile_.ListCount()) {
        ws_.colourPanel.list = ColourList(libraryFile_.List(index));
    } else {
        return;
    }
    ws_.colourPanel.list.Select(0);
    ListChanged();
}

bool ColourPanel::SaveToLibrary() {
    std::string error;
    if (!libraryRead_ || !libraryFile_.Append(ws_.colourPanel.list.colours(), &error)) {
        if (!error.empty()) prompt_.Inform(error, PromptIcon::Warning);
        return false;
    }
    const auto& added = libraryFile_.List(libraryFile_.ListCount());
    library_->addItem(ThumbnailIcon(added), Text(ws_.app.language, "%1色", "%1Color").arg(added.size()));
    library_->setCurrentIndex(library_->count() - 1);
    return true;
}

bool ColourPanel::RemoveLibraryEntry() {
    const int index = library_->currentIndex();
    std::string error;
    if (index < 1 || !libraryRead_ || !libraryFile_.Remove(index, &error)) {
        if (!error.empty()) prompt_.Inform(error, PromptIcon::Warning);
        return false;
    }
    library_->removeItem(index);
    return true;
}

void ColourPanel::SetTool(DrawTool tool) {
    tool_ = tool;
    if (QAbstractButton* b = tools_->button(static_cast<int>(tool)); b && !b->isChecked()) b->setChecked(true);
    emit toolChanged(tool_, ToBgr(ws_.colourPanel.current));
}

QPushButton* ColourPanel::toolButton(DrawTool tool) const {
    return qobject_cast<QPushButton*>(tools_->button(static_cast<int>(tool)));
}

}  // namespace corv
