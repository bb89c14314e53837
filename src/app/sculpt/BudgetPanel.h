#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "ops/Budget.h"

class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace corv {

class Prompt;
class Workspace;

// The sculpt window's "Power and timing" panel: for the current clip through the layout as it
// is, each line's LEDs, highest frame rate, peak and mean current, the total, and the
// warnings (a line slower than the play speed, a line or slave above the fuse), the lines
// warned of marked. Computed on Compute (and when shown), with the currents, the supply and
// the fuse of its fields.
class BudgetPanel : public QWidget {
    Q_OBJECT
public:
    BudgetPanel(Workspace& ws, Prompt& prompt, QWidget* parent = nullptr);

    // The currents, the supply and the fuse of the fields, held against the play speed.
    BudgetOptions options() const;
    // Computes again; false (the table emptied, the reason in the total's place) when it cannot.
    bool Compute();
    const std::optional<ops::BudgetReply>& last() const { return last_; }

    // The play speed the lines are held against (the main window's); 20 when not set.
    std::function<int()> playRate;

    QTableWidget* table() const { return table_; }
    QLabel* totalLabel() const { return total_; }
    QListWidget* warningList() const { return warnings_; }
    QDoubleSpinBox* milliampsBox() const { return milliamps_; }
    QDoubleSpinBox* idleBox() const { return idle_; }
    QDoubleSpinBox* voltsBox() const { return volts_; }
    QDoubleSpinBox* fuseBox() const { return fuse_; }

private:
    void Show(const ops::BudgetReply& reply);

    Workspace& ws_;
    Prompt& prompt_;
    QDoubleSpinBox* milliamps_;
    QDoubleSpinBox* idle_;
    QDoubleSpinBox* volts_;
    QDoubleSpinBox* fuse_;
    QPushButton* compute_;
    QTableWidget* table_;
    QLabel* total_;
    QListWidget* warnings_;
    std::optional<ops::BudgetReply> last_;
};

}  // namespace corv
