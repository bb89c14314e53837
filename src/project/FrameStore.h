#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "project/AppState.h"
#include "project/Frame.h"

namespace corv {

// One sequence of frames of one size, with the line file that wires it.
struct Clip {
    static constexpr std::size_t kLineFilePathBuffer = 260;

    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::string lineFilePath;  // at most 259 bytes (stored as a 260-byte NUL-terminated buffer)
    std::vector<Frame> frames;
    std::int32_t sourceFrame = -1;  // frame that effects take as their source picture; -1 none
};

// What the main window must show when the store changes. Every method has an empty default
// so that engine code and tests run without a window.
class FrameStoreListener {
public:
    virtual ~FrameStoreListener() = default;
    // The clip selector holds `count` entries ("Scene1".."SceneN"); `selected` is the entry
    // to select, -1 for none.
    virtual void ClipEntriesChanged(int count, int selected) {
        (void)count;
        (void)selected;
    }
    // The frame number field shows this 1-based number.
    virtual void FrameNumberShown(int number) { (void)number; }
    // The active view must redraw (the frame view also re-centres its image).
    virtual void RedrawRequested() {}
};

// The project's clips (at most 16) and the current one.
class FrameStore {
public:
    static constexpr int kMaxClips = 16;

    explicit FrameStore(AppState& app) : app_(app) {}

    void SetListener(FrameStoreListener* listener) { listener_ = listener; }
    FrameStoreListener* listener() const { return listener_; }

    // Adds a clip of one frame filled with the background colour and selects it; does
    // nothing when 16 clips exist.
    void AddClip(int width, int height);
    // index < 0 deletes every clip. Otherwise deletes clip `index` when it exists and is not
    // the only clip, moves the later clips down and selects clip 0.
    void DeleteClip(int index);
    // Makes clip `index` current (frame 0, frame size = the clip's); ignored out of range.
    void Select(int index);
    int Count() const { return count_; }
    int current() const { return current_; }

    Clip& clip(int index) { return clips_[static_cast<std::size_t>(index)]; }
    const Clip& clip(int index) const { return clips_[static_cast<std::size_t>(index)]; }
    bool HasCurrent() const { return current_ >= 0 && current_ < count_; }
    Clip& CurrentClip() { return clip(current_); }
    const Clip& CurrentClip() const { return clip(current_); }
    std::vector<Frame>& CurrentFrames() { return CurrentClip().frames; }
    // The current frame, or nullptr when there is no clip or frame.
    Frame* CurrentFrame();

    // The common frame step of every frame producer. Insert mode: a new frame (blank in the
    // background colour, or a copy of the current frame) goes in after the current one and
    // becomes current. Cover mode: the next existing frame becomes current for the caller to
    // overwrite; at the last frame a frame is appended as in insert mode.
    // Returns the frame the caller draws into, nullptr when there is no clip.
    Frame* AppendFrame(bool blank);

    // Replaces every clip by the given ones (at most 16) and selects clip 0; used by the
    // document reader once a whole file has been read.
    void ReplaceAll(std::vector<Clip> clips);

private:
    AppState& app_;
    FrameStoreListener* listener_ = nullptr;
    int count_ = 0;
    int current_ = 0;
    std::array<Clip, kMaxClips> clips_{};
};

}  // namespace corv
