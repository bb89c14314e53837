#include "app/preview/CSphereFrame.h"

#include "app/preview/PreviewFramesCommon.h"
#include "lang/QtText.h"
#include "lang/messages/PreviewMessages.h"
#include "workspace/Workspace.h"

namespace corv {

using preview_frames::AddEntry;

CSphereFrame::CSphereFrame(Workspace& ws, PreviewHost host, QWidget* parent) : CPreviewPage(ws, std::move(host), parent) {
    setObjectName(QStringLiteral("sphereFrame"));
    BuildControlMenu([this](QMenu* control) {
        AddEntry(control, RenderQt(msg::preview::kShowFace, ws_.app.language), QKeySequence(), this, [this] { ShowFace(); });
    });
}

void CSphereFrame::Enter() {
    if (!view_) {
        // Made on first use: finding out whether OpenGL works costs a context, which a start
        // of the program should not pay.
        view_ = new CLedSphereView(ws_, this);
        view_->playing = [this] { return CPreviewPage::playing(); };
        setCentralWidget(view_);
    }
    view_->RebuildMesh();
    view_->setFocus();
}

void CSphereFrame::ShowFace() {
    if (!view_) return;
    view_->state().ShowFace();
    view_->Redraw();
}

}  // namespace corv
