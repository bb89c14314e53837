#include "app/frame/ColourStrip.h"

#include <algorithm>

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace corv {

namespace {

QColor ToQColor(ListColour c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

}  // namespace

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

}  // namespace corv
