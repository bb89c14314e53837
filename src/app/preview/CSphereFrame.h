#pragma once

#include "app/preview/CLedSphereView.h"
#include "app/preview/CPreviewPage.h"

namespace corv {

// The sphere preview's page.
class CSphereFrame : public CPreviewPage {
    Q_OBJECT
public:
    CSphereFrame(Workspace& ws, PreviewHost host, QWidget* parent = nullptr);
    // The view, made when the page is first entered (nullptr before).
    CLedSphereView* view() const { return view_; }
    void ShowFace();
    void Enter();

protected:
    void Redraw() override {
        if (view_) view_->Redraw();
    }

private:
    CLedSphereView* view_ = nullptr;
};

}  // namespace corv
