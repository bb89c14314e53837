#include "project/FrameStore.h"

#include <utility>

namespace corv {

void FrameStore::AddClip(int width, int height) {
    if (count_ >= kMaxClips) {
        return;
    }
    Clip& c = clips_[static_cast<std::size_t>(count_)];
    c = Clip{};
    c.width = static_cast<std::uint32_t>(width < 0 ? 0 : width);
    c.height = static_cast<std::uint32_t>(height < 0 ? 0 : height);
    c.frames.push_back(Frame::Filled(width, height, app_.backgroundColour));
    ++count_;
    Select(count_ - 1);
    if (listener_) {
        listener_->ClipEntriesChanged(count_, count_ - 1);
    }
}

void FrameStore::DeleteClip(int index) {
    if (index < 0) {
        for (auto& c : clips_) {
            c = Clip{};
        }
        count_ = 0;
        current_ = 0;
        app_.currentFrame = 0;
        if (listener_) {
            listener_->ClipEntriesChanged(0, -1);
        }
        return;
    }
    if (index >= count_ || count_ < 2) {
        return;
    }
    for (int i = index; i + 1 < count_; ++i) {
        clips_[static_cast<std::size_t>(i)] = std::move(clips_[static_cast<std::size_t>(i + 1)]);
    }
    clips_[static_cast<std::size_t>(count_ - 1)] = Clip{};
    --count_;
    if (listener_) {
        listener_->ClipEntriesChanged(count_, 0);
    }
    Select(0);
}

void FrameStore::Select(int index) {
    if (index < 0 || index >= count_) {
        return;
    }
    current_ = index;
    app_.currentFrame = 0;
    const Clip& c = clips_[static_cast<std::size_t>(index)];
    app_.frameHeight = static_cast<std::int16_t>(c.height);
    app_.frameWidth = static_cast<std::int16_t>(c.width);
    if (listener_) {
        listener_->FrameNumberShown(1);
        listener_->RedrawRequested();
    }
}

Frame* FrameStore::CurrentFrame() {
    if (!HasCurrent()) {
        return nullptr;
    }
    auto& frames = CurrentFrames();
    if (app_.currentFrame < 0 || static_cast<std::size_t>(app_.currentFrame) >= frames.size()) {
        return nullptr;
    }
    return &frames[static_cast<std::size_t>(app_.currentFrame)];
}

Frame* FrameStore::AppendFrame(bool blank) {
    if (!HasCurrent()) {
        return nullptr;
    }
    Clip& c = CurrentClip();
    auto& frames = c.frames;
    const int w = static_cast<int>(c.width);
    const int h = static_cast<int>(c.height);
    if (frames.empty()) {
        frames.push_back(Frame::Filled(w, h, app_.backgroundColour));
        app_.currentFrame = 0;
        return &frames.front();
    }
    if (app_.currentFrame < 0 || static_cast<std::size_t>(app_.currentFrame) >= frames.size()) {
        app_.currentFrame = static_cast<int>(frames.size()) - 1;
    }
    const auto cur = static_cast<std::size_t>(app_.currentFrame);
    if (app_.coverMode && cur + 1 < frames.size()) {
        ++app_.currentFrame;
        return &frames[cur + 1];
    }
    Frame next = blank ? Frame::Filled(w, h, app_.backgroundColour) : Frame(w, h, &frames[cur]);
    frames.insert(frames.begin() + static_cast<std::ptrdiff_t>(cur + 1), std::move(next));
    ++app_.currentFrame;
    return &frames[cur + 1];
}

void FrameStore::ReplaceAll(std::vector<Clip> clips) {
    DeleteClip(-1);
    int n = 0;
    for (auto& c : clips) {
        if (n >= kMaxClips) {
            break;
        }
        clips_[static_cast<std::size_t>(n++)] = std::move(c);
    }
    count_ = n;
    if (listener_) {
        listener_->ClipEntriesChanged(count_, count_ > 0 ? 0 : -1);
    }
    Select(0);
}

}  // namespace corv
