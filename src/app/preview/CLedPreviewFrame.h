#pragma once

#include "app/preview/CLedPreviewView.h"
#include "app/preview/CPreviewPage.h"

namespace corv {

class CLedPreviewFrame : public CPreviewPage {
    Q_OBJECT
public:
    CLedPreviewFrame(Workspace& ws, PreviewHost host, QWidget* parent = nullptr);
    CLedPreviewView* view() const { return view_; }
    void Enter();

protected:
    void Redraw() override { view_->update(); }

private:
    CLedPreviewView* view_;
};

}  // namespace corv
