#include "app/preview/CPreviewPage.h"

#include <QMenuBar>
#include <QTimer>

#include "app/preview/PreviewFramesCommon.h"
#include "lang/QtText.h"
#include "lang/messages/PreviewMessages.h"
#include "lang/messages/CommonMessages.h"
#include "workspace/FrameViewRules.h"
#include "workspace/Workspace.h"

namespace corv {

using preview_frames::AddEntry;

CPreviewPage::CPreviewPage(Workspace& ws, PreviewHost host, QWidget* parent) : QMainWindow(parent), ws_(ws), host_(std::move(host)) {
    setWindowFlags(Qt::Widget);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, [this] {
        const auto& frames = ws_.frames.CurrentFrames();
        if (frames.empty()) return Stop();
        ws_.app.currentFrame = (ws_.app.currentFrame + 1) % static_cast<int>(frames.size());
        if (host_.frameShown) host_.frameShown(ws_.app.currentFrame + 1);
        Redraw();
    });
}

void CPreviewPage::BuildControlMenu(const std::function<void(QMenu*)>& extra) {
    const std::uint8_t lang = ws_.app.language;
    QMenu* control = menuBar()->addMenu(RenderQt(msg::preview::kControlMenu, lang));
    AddEntry(control, RenderQt(msg::common::kPlay, lang), QKeySequence(Qt::Key_P), this, [this] { Play(); });
    AddEntry(control, RenderQt(msg::common::kStop, lang), QKeySequence(Qt::Key_Space), this, [this] { Stop(); });
    extra(control);
    control->addSeparator();
    AddEntry(control, RenderQt(msg::preview::kReturnToMainWindow, lang), QKeySequence(Qt::Key_Escape), this, [this] {
        Stop();
        emit returned();
    });
}

bool CPreviewPage::Play() {
    if (timer_->isActive() || !ws_.frames.HasCurrent() || !CanPlay(ws_.frames.CurrentFrames().size())) return false;
    timer_->start(playInterval());
    return true;
}

void CPreviewPage::Stop() { timer_->stop(); }
bool CPreviewPage::playing() const { return timer_->isActive(); }
int CPreviewPage::playInterval() const { return PlayInterval(host_.playRate ? host_.playRate() : 30); }

}  // namespace corv
