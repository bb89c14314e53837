#include "app/frame/ColourPanel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base/Prompt.h"
#include "lang/QtText.h"
#include "lang/messages/FrameMessages.h"
#include "lang/messages/CommonMessages.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

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

// --- the panel ---------------------------------------------------------------------------------

ColourPanel::ColourPanel(Workspace& ws, Prompt& prompt, QWidget* parent)
    : QWidget(parent), ws_(ws), prompt_(prompt), libraryFile_(ws.home / ColourLibrary::kFileName) {
    setObjectName(QStringLiteral("colourPanel"));
    const std::uint8_t lang = ws_.app.language;
    auto* layout = new QVBoxLayout(this);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(RenderQt(msg::frame::kColourLabel, lang), this), 0, 0);
    colourButton_ = new QPushButton(this);
    colourButton_->setObjectName(QStringLiteral("colourButton"));
    top->addWidget(colourButton_, 0, 1);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("colourCount"));
    top->addWidget(count_, 0, 2);
    auto* clear = new QPushButton(RenderQt(msg::frame::kClearList, lang), this);
    auto* remove = new QPushButton(RenderQt(msg::common::kDeleteText, lang), this);
    top->addWidget(clear, 1, 1);
    top->addWidget(remove, 1, 2);
    top->addWidget(new QLabel(RenderQt(msg::frame::kBackLabel, lang), this), 2, 0);
    backButton_ = new QPushButton(RenderQt(msg::frame::kBackButton, lang), this);
    backButton_->setObjectName(QStringLiteral("backButton"));
    top->addWidget(backButton_, 2, 1);
    top->addWidget(new QLabel(RenderQt(msg::frame::kModifierHint, lang), this), 3, 0, 1, 3);
    layout->addLayout(top);

    layout->addWidget(new QLabel(RenderQt(msg::frame::kSampleList, lang), this));
    strip_ = new ColourStrip(ws_.colourPanel.list, this);
    layout->addWidget(strip_);

    auto* libraryRow = new QHBoxLayout;
    library_ = new QComboBox(this);
    library_->setObjectName(QStringLiteral("colourLibrary"));
    library_->setIconSize(QSize(64, 16));
    libraryRow->addWidget(library_, 1);
    auto* save = new QPushButton(RenderQt(msg::common::kSave, lang), this);
    auto* drop = new QPushButton(RenderQt(msg::frame::kRemoveList, lang), this);
    save->setObjectName(QStringLiteral("librarySave"));
    drop->setObjectName(QStringLiteral("libraryRemove"));
    libraryRow->addWidget(save);
    libraryRow->addWidget(drop);
    layout->addLayout(libraryRow);

    auto* modes = new QGridLayout;
    gradeRadio_ = new QRadioButton(RenderQt(msg::frame::kTransitionGrade, lang), this);
    fixedRadio_ = new QRadioButton(RenderQt(msg::frame::kTransitionColours, lang), this);
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
        const Text* tip;
    } tools[] = {{DrawTool::None, &msg::frame::kToolSelect},
                 {DrawTool::Pen, &msg::frame::kToolPen},
                 {DrawTool::Brush, &msg::frame::kToolBrush},
                 {DrawTool::Line, &msg::common::kLineTool},
                 {DrawTool::Rectangle, &msg::common::kRectangleTool},
                 {DrawTool::Fill, &msg::common::kFill}};
    for (const auto& t : tools) {
        auto* b = new QPushButton(ToolIcon(t.tool), QString(), this);
        b->setCheckable(true);
        b->setToolTip(RenderQt(*t.tip, lang));
        b->setObjectName(QStringLiteral("tool%1").arg(static_cast<int>(t.tool)));
        b->setMaximumWidth(34);
        tools_->addButton(b, static_cast<int>(t.tool));
        toolRow->addWidget(b);
    }
    tools_->button(0)->setChecked(true);  // the first tool at start
    toolRow->addStretch();
    layout->addLayout(toolRow);

    auto* itemRow = new QHBoxLayout;
    itemRow->addWidget(new QLabel(RenderQt(msg::frame::kPenWidth, lang), this));
    lineWidth_ = new QSpinBox(this);
    lineWidth_->setRange(1, 100);
    lineWidth_->setValue(ws_.colourPanel.lineWidth);
    itemRow->addWidget(lineWidth_);
    fill_ = new QCheckBox(RenderQt(msg::common::kFill, lang), this);
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
    const auto read = libraryFile_.Load();
    libraryRead_ = read.ok();
    if (!libraryRead_) prompt_.Inform(read.message(), PromptIcon::Warning);
    library_->clear();
    const ColourList rainbow = ColourList::Rainbow();
    library_->addItem(ThumbnailIcon(rainbow.colours()), RenderQt(msg::common::kColourCount, ws_.app.language).arg(rainbow.count()));
    if (!libraryRead_) return;
    for (int k = 1; k <= libraryFile_.ListCount(); ++k) {
        library_->addItem(ThumbnailIcon(libraryFile_.List(k)), RenderQt(msg::common::kColourCount, ws_.app.language).arg(libraryFile_.List(k).size()));
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
    if (!libraryRead_) return false;
    if (auto saved = libraryFile_.Append(ws_.colourPanel.list.colours()); !saved) {
        if (!saved.message().empty()) prompt_.Inform(saved.message(), PromptIcon::Warning);
        return false;
    }
    const auto& added = libraryFile_.List(libraryFile_.ListCount());
    library_->addItem(ThumbnailIcon(added), RenderQt(msg::common::kColourCount, ws_.app.language).arg(added.size()));
    library_->setCurrentIndex(library_->count() - 1);
    return true;
}

bool ColourPanel::RemoveLibraryEntry() {
    const int index = library_->currentIndex();
    if (index < 1 || !libraryRead_) return false;
    if (auto removed = libraryFile_.Remove(index); !removed) {
        if (!removed.message().empty()) prompt_.Inform(removed.message(), PromptIcon::Warning);
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
