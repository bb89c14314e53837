#pragma once

#include <QPoint>
#include <Qt>

namespace corv {

// The way an arrow key moves the picture of a view (left moves it right, so that more of its
// left side shows); a null point for other keys.
inline QPoint ArrowPanDirection(int key) {
    switch (key) {
        case Qt::Key_Left:
            return {1, 0};
        case Qt::Key_Right:
            return {-1, 0};
        case Qt::Key_Up:
            return {0, 1};
        case Qt::Key_Down:
            return {0, -1};
        default:
            return {};
    }
}

}  // namespace corv
