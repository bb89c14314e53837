#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QString>
#include <functional>

namespace corv::preview_frames {

// The Control menu's entries shared by both previews.
inline QAction* AddEntry(QMenu* menu, const QString& text, const QKeySequence& key, QObject* receiver, const std::function<void()>& run) {
    QAction* a = menu->addAction(text);
    a->setShortcut(key);
    QObject::connect(a, &QAction::triggered, receiver, run);
    return a;
}

}  // namespace corv::preview_frames
