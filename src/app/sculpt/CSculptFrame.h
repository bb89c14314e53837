#pragma once

#include <QMainWindow>
#include <QString>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>

#include "app/sculpt/CSculptView.h"
#include "net/TestPatterns.h"
#include "project/Frame.h"

class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;

namespace corv {

class LinePanel;
class TestPatternPlayer;
class BudgetPanel;
class Prompt;
class Workspace;

// The sculpt window ("Line Setting"): the sculpt view with its menus, the line panel and the
// status bar. It lives inside the main window, which shows it in place of the frame view.
class CSculptFrame : public QMainWindow {
    Q_OBJECT
public:
    CSculptFrame(Workspace& ws, Prompt& prompt, QWidget* parent = nullptr);

    // Shown in place of the frame view: loads the line file in use the first time, centres the grid.
    void Enter();
    // "Return": asks to save a changed layout (Cancel stays), gives the current clip the line
    // file's path, the application grid the clip's size, normalises the slave groups and
    // signals the main window. False when the user stayed.
    bool Return();

    // File commands; without a path the file dialogs ask. True when they did something.
    bool NewLayout(int rows = 0, int cols = 0, bool sphere = false);
    bool Open(const QString& path = {});
    bool Save();
    bool SaveAs(const QString& path = {});
    bool ImportFile(bool picture, const QString& path = {});
    bool ExportModules(const QString& path = {});
    bool ImportModules(const QString& path = {});
    bool OutputMap(const QString& path = {});
    bool OutputHmc(const QString& path = {});
    bool OutputImage(const QString& path = {});
    bool DeleteCurrentModule();
    // Background tools.
    bool ImportBackground(const QString& path = {});
    bool CurrentFrameAsBackground();
    bool InputText(const QString& text = {}, int height = 0);
    bool BackPictureSize();
    bool FrameAdjust();
    bool DeleteBackground();
    // "Line operate" with given values (the dialog's), "Parameter error!" when they are wrong.
    bool LineOperate();
    bool PasteSetting();
    // Chooses a tool by its mode (Paste only when there is something to paste).
    void ChooseTool(int mode);

    CSculptView* view() const { return view_; }
    LinePanel* linePanel() const { return panel_; }
    LinePanelState& panelState() { return state_; }
    QAction* action(int id) const;
    QDockWidget* lineDock() const { return dock_; }
    QDockWidget* budgetDock() const { return budgetDock_; }
    BudgetPanel* budgetPanel() const { return budget_; }
    // The play speed (the main window's), for the power and timing panel.
    std::function<int()> playRate;

    // Commissioning: plays `pattern` of the layout as it is to the controllers of the line
    // file's network description, until StopTestPattern (or Return). False when live output
    // cannot run (the reason was shown).
    bool PlayTestPattern(net::TestPattern pattern);
    void StopTestPattern();
    TestPatternPlayer* testPatterns() const { return patterns_; }
    // Given by the main window: `startLive` (re)starts live output for the layout as it is now
    // and gives the number of controllers (nothing when it cannot; it told why), `offerLive`
    // sends a frame, `endLive` gives live output back to the frame view.
    std::function<std::optional<std::size_t>()> startLive;
    std::function<void(const Frame&)> offerLive;
    std::function<void()> endLive;

signals:
    void returned();
    // The layout's grid changed size or was replaced (the main window may follow it).
    void layoutReplaced();
    // The layout's modified state may have changed (the title's "[*]" follows it).
    void modifiedChanged();

private:
    void BuildMenus();
    void Refresh();
    void UpdateModified();
    void UpdateChecks();
    QString Folder() const;
    // After New (fresh), Open or an import replaced the layout.
    void AfterLayoutReplaced(bool fresh);
    void ApplyImportedPicture(const QImage& picture);
    // Asks for a path to save to; empty on cancel.
    QString AskSavePath(const QString& filter, const QString& suffix, const QString& name = {});

    Workspace& ws_;
    Prompt& prompt_;
    LinePanelState state_;
    CSculptView* view_;
    LinePanel* panel_;
    QDockWidget* dock_;
    QLabel* zoomPane_;
    QActionGroup* tools_;
    std::map<int, QAction*> actions_;
    bool entered_ = false;
    TestPatternPlayer* patterns_;
    BudgetPanel* budget_;
    QDockWidget* budgetDock_;
};

}  // namespace corv
