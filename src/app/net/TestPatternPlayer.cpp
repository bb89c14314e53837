#include "app/net/TestPatternPlayer.h"

#include <QTimer>
#include <algorithm>

#include "workspace/Workspace.h"

namespace corv {

TestPatternPlayer::TestPatternPlayer(Workspace& ws, QObject* parent) : QObject(parent), ws_(ws), timer_(new QTimer(this)) {
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &TestPatternPlayer::Step);
}

void TestPatternPlayer::Start(net::TestPattern pattern, int fps) {
    pattern_ = pattern;
    fps_ = std::max(1, fps);
    next_ = 0;
    timer_->start(std::max(1, 1000 / fps_));
    Step();
}

void TestPatternPlayer::Stop() {
    timer_->stop();
    pattern_.reset();
}

void TestPatternPlayer::Step() {
    if (!pattern_) return;
    const Frame frame = net::TestPatternFrame(ws_.layout, *pattern_, next_++, fps_);
    if (offer) offer(frame);
}

}  // namespace corv
