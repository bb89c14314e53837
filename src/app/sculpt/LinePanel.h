#pragma once

#include <QWidget>

class QButtonGroup;
class QComboBox;
class QLabel;
class QTreeWidget;

namespace corv {

class Workspace;
struct LinePanelState;

// The line panel of the sculpt window: the 256 lines with their point counts, lines per slave,
// the master ports in use, the module, the line limit and the connection mode.
class LinePanel : public QWidget {
    Q_OBJECT
public:
    LinePanel(Workspace& ws, LinePanelState& state, QWidget* parent = nullptr);

    // After every edit, undo, redo and load: counts, "Master port B:", the ports selector.
    void Refresh();
    // The module list changed (saved, deleted, imported).
    void RefreshModules();
    // Selects a line (0-based) as the current one.
    void SelectLine(int line);

    QTreeWidget* lineList() const { return list_; }
    QComboBox* portsBox() const { return ports_; }
    QComboBox* moduleBox() const { return module_; }
    QComboBox* limitBox() const { return limit_; }
    QLabel* masterPorts() const { return master_; }
    QButtonGroup* modeButtons() const { return modes_; }

signals:
    // A line was chosen in the list; with Ctrl the view shows its first point, with Shift its last.
    void lineChosen(int line, Qt::KeyboardModifiers modifiers);

private:
    void OnLimitEdited();

    Workspace& ws_;
    LinePanelState& state_;
    QTreeWidget* list_;
    QComboBox* ports_;
    QLabel* master_;
    QComboBox* module_;
    QComboBox* limit_;
    QButtonGroup* modes_;
    bool updating_ = false;
};

}  // namespace corv
