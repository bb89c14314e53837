#include "app/preview/CLedPreviewFrame.h"

#include <QAction>

#include "app/preview/PreviewFramesCommon.h"
#include "lang/QtText.h"
#include "lang/messages/PreviewMessages.h"
#include "lang/messages/BudgetPanelMessages.h"
#include "workspace/Workspace.h"

namespace corv {

using preview_frames::AddEntry;

CLedPreviewFrame::CLedPreviewFrame(Workspace& ws, PreviewHost host, QWidget* parent) : CPreviewPage(ws, std::move(host), parent) {
    setObjectName(QStringLiteral("ledPreviewFrame"));
    view_ = new CLedPreviewView(ws_, this);
    setCentralWidget(view_);
    BuildControlMenu([this](QMenu* control) {
        const std::uint8_t lang = ws_.app.language;
        QAction* glow = AddEntry(control, RenderQt(msg::preview::kGlow, lang), QKeySequence(Qt::Key_G), this, [] {});
        glow->setCheckable(true);
        glow->setChecked(view_->glow);
        connect(glow, &QAction::toggled, this, [this](bool on) {
            view_->glow = on;
            view_->update();
        });
        AddEntry(control, RenderQt(msg::preview::kFitWindow, lang), QKeySequence(Qt::Key_Home), this, [this] { view_->Fit(); });
        QAction* current = AddEntry(control, RenderQt(msg::budgetpanel::kCurrentView, lang), QKeySequence(Qt::Key_C), this, [] {});
        current->setObjectName(QStringLiteral("currentView"));
        current->setCheckable(true);
        connect(current, &QAction::toggled, this, [this](bool on) {
            view_->currentView = on;
            view_->update();
        });
    });
}

void CLedPreviewFrame::Enter() {
    view_->Refresh();
    view_->setFocus();
}

}  // namespace corv
