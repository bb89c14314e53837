#include "app/common/CommandTable.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

#include "lang/QtText.h"

namespace corv {

QString CommandText(const WindowCommand& command, std::uint8_t language) { return RenderQt(command.text, language); }

QKeySequence CommandKey(const WindowCommand& command) {
    return command.key == 0 ? QKeySequence() : QKeySequence(QKeyCombination::fromCombined(command.key));
}

const WindowCommand* FindCommand(std::span<const WindowCommand> table, int id) {
    const auto it = std::find_if(table.begin(), table.end(), [id](const WindowCommand& c) { return c.id == id; });
    return it == table.end() ? nullptr : &*it;
}

BuiltMenus BuildMenuBar(QMenuBar* bar, std::span<const WindowMenu> menus, std::span<const WindowCommand> commands,
                        std::uint8_t language, QObject* receiver, const CommandHandlers& handlers,
                        const CommandAdded& added) {
    BuiltMenus built;
    for (const WindowMenu& title : menus) {
        const QString text = RenderQt(title.text, language);
        if (title.parent < 0) {
            built.menus[title.menu] = bar->addMenu(text);
            continue;
        }
        QMenu* parent = built.menus.at(title.parent);
        parent->addSeparator();
        built.menus[title.menu] = parent->addMenu(text);
    }
    for (const WindowCommand& c : commands) {
        QMenu* menu = built.menus.at(c.menu);
        if (c.separatorBefore) menu->addSeparator();
        QAction* a = menu->addAction(CommandText(c, language));
        a->setData(c.id);
        a->setShortcut(CommandKey(c));
        a->setCheckable(c.checkable);
        built.actions[c.id] = a;
        const auto handler = handlers.find(c.id);
        if (handler == handlers.end()) {
            a->setEnabled(false);
        } else {
            QObject::connect(a, &QAction::triggered, receiver, handler->second);
        }
        if (added) added(c, a, menu);
    }
    return built;
}

void EnableByRule(const std::map<int, QAction*>& actions, std::span<const WindowCommand> table, EnabledRule rule,
                  bool enabled) {
    for (const WindowCommand& c : table) {
        if (c.enabled != rule) continue;
        const auto it = actions.find(c.id);
        if (it != actions.end()) it->second->setEnabled(enabled);
    }
}

}  // namespace corv
