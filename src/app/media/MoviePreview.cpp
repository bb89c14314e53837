#include "app/media/MoviePreview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/frame/CVorlaneView.h"
#include "media/Movie.h"

namespace corv {

MoviePreview::MoviePreview(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &MoviePreview::ShowNext);
}

MoviePreview::~MoviePreview() = default;

bool MoviePreview::Open(const QString& path, QString* why) {
    Stop();
    auto reader = std::make_unique<MovieReader>();
    if (!reader->Open(std::filesystem::path(path.toStdString()))) {
        if (why) *why = QString::fromStdString(reader->error());
        return false;
    }
    reader_ = std::move(reader);
    shown_ = 0;
    // Movies that name no rate are played at 25 pictures a second, as the reader assumes.
    const double fps = reader_->info().fps > 0 ? reader_->info().fps : 25.0;
    timer_->start(std::max(1, static_cast<int>(std::lround(1000.0 / fps))));
    ShowNext();
    return true;
}

void MoviePreview::Stop() {
    timer_->stop();
    reader_.reset();
    frame_ = Frame();
    picture_ = QImage();
    update();
}

bool MoviePreview::playing() const { return reader_ && timer_->isActive(); }

QRect MoviePreview::pictureRect() const {
    if (!reader_) return rect();
    const MovieInfo& info = reader_->info();
    if (info.width <= 0 || info.height <= 0) return rect();
    const FitRect r = FitInside(info.width, info.height, width(), height(), Fit::Center);
    return QRect(r.x, r.y, r.w, r.h);
}

void MoviePreview::ShowNext() {
    if (!reader_) return;
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    if (!reader_->Next(frame_, w, h, Fit::Center)) {
        // The end of the movie: start over. A movie that gives nothing even from its start
        // (or cannot be decoded) would otherwise spin here for ever.
        if (!reader_->Rewind() || !reader_->Next(frame_, w, h, Fit::Center)) {
            timer_->stop();
            return;
        }
    }
    picture_ = FrameToImage(frame_);
    ++shown_;
    update();
}

void MoviePreview::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    if (!picture_.isNull()) painter.drawImage(QPoint(0, 0), picture_);
}

}  // namespace corv
