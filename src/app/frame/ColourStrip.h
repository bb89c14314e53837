#pragma once

#include <QWidget>

#include "content/ColourList.h"

namespace corv {

// The colour list drawn as rows of cells; a click selects an entry (its 1-based number in the
// tooltip); with Ctrl the list is cut after it, with Shift it is removed.
class ColourStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCell = 10;
    explicit ColourStrip(const ColourList& list, QWidget* parent = nullptr);
    // The entry under a point, -1 for none.
    int EntryAt(QPoint at) const;
    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    void entryClicked(int index, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    int Columns() const;
    const ColourList& list_;
};

}  // namespace corv
