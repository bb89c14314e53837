#pragma once

#include <functional>
#include <optional>

namespace corv {

struct FrameSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const FrameSize&, const FrameSize&) = default;
};

// Largest frame side the program handles (sizes are 16-bit signed numbers).
inline constexpr int kMaxFrameSide = 32767;

// The rules of the "Setting size" dialog. The preset fixes the ratio that "Scale" keeps;
// edits of one field update the other with integer division, and a guard keeps the two
// updates from triggering each other.
class SizeDialogModel {
public:
    static constexpr int kDefaultPreset = 168;

    SizeDialogModel() : SizeDialogModel(kDefaultPreset, kDefaultPreset) {}
    SizeDialogModel(int presetWidth, int presetHeight);

    int width() const { return width_; }
    int height() const { return height_; }
    int presetWidth() const { return presetWidth_; }
    int presetHeight() const { return presetHeight_; }
    bool scale() const { return scale_; }
    void SetScale(bool on) { scale_ = on; }

    // The user edited Width (or Height). With "Scale" ticked, the other field follows and
    // `showOther` puts the new value into the other edit; an edit notification that this
    // causes comes back while the guard is set and is ignored. Returns true when the other
    // field changed.
    using FieldSetter = std::function<void(int)>;
    bool EditWidth(int width, const FieldSetter& showOther = {});
    bool EditHeight(int height, const FieldSetter& showOther = {});

    // The size OK takes; nullopt when a side is outside 1..32767.
    std::optional<FrameSize> Accept() const;

private:
    int presetWidth_;
    int presetHeight_;
    int width_;
    int height_;
    bool scale_ = false;
    bool updating_ = false;
};

// The size the new-document dialog starts from: the layout grid's when both of its sides are
// set, else the current frame size.
FrameSize NewDocumentPreset(int layoutWidth, int layoutHeight, int frameWidth, int frameHeight);

}  // namespace corv
