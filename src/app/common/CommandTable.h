#pragma once

#include <QKeySequence>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <span>

#include "base/Text.h"

class QAction;
class QMenu;
class QMenuBar;
class QObject;

namespace corv {

// When a window's command can be chosen: always, or while a state of the window holds. The
// window resolves the rule (see EnableByRule) each time that state changes.
enum class EnabledRule : std::uint8_t {
    Always,
    CanUndo,         // there is a step to undo
    CanRedo,         // there is a step to redo
    ClipboardBlock,  // the clipboard holds a block of frames
};

// A window's menus as data: every command with its id, menu, text and accelerator. Each window
// builds its menus from its table (BuildMenuBar) and the tests check the menus against it.
struct WindowCommand {
    int id;
    int menu;   // the window's own menu: its enum value or index
    Text text;  // its menu text, a catalogue entry
    int key;    // a Qt key combination (QKeyCombination::toCombined), 0 for none
    bool separatorBefore = false;
    bool checkable = false;
    EnabledRule enabled = EnabledRule::Always;
};

// A menu title, in menu order. A menu with a parent is a submenu of that menu, put after a
// separator ahead of the parent's own commands.
struct WindowMenu {
    int menu;
    Text text;  // a catalogue entry
    int parent = -1;  // -1: on the menu bar
};

// The text shown for a command in a language (1 simplified, 2 traditional, else English).
QString CommandText(const WindowCommand& command, std::uint8_t language);
QKeySequence CommandKey(const WindowCommand& command);
// The entry of a command id in a table, nullptr when the table has none.
const WindowCommand* FindCommand(std::span<const WindowCommand> table, int id);

// What each command does, by id. The window keeps its map; a command without a handler is
// shown, disabled: never faked.
using CommandHandlers = std::map<int, std::function<void(bool checked)>>;
// Called for each command's action once it is in its menu (and connected): a window's own
// additions, such as action groups or entries that follow the command.
using CommandAdded = std::function<void(const WindowCommand& command, QAction* action, QMenu* menu)>;

struct BuiltMenus {
    std::map<int, QMenu*> menus;      // by the window's menu value
    std::map<int, QAction*> actions;  // by command id
};

// Fills a menu bar from a window's table: the menus in their order, then every command in
// table order (its separator, text, id as the action's data, key, checkable) connected to its
// handler with `receiver` as the context.
BuiltMenus BuildMenuBar(QMenuBar* bar, std::span<const WindowMenu> menus, std::span<const WindowCommand> commands,
                        std::uint8_t language, QObject* receiver, const CommandHandlers& handlers,
                        const CommandAdded& added = {});

// Enables or disables every command of the table whose rule is `rule`.
void EnableByRule(const std::map<int, QAction*>& actions, std::span<const WindowCommand> table, EnabledRule rule,
                  bool enabled);

}  // namespace corv
