#include "project/NewDocument.h"

namespace corv {

SizeDialogModel::SizeDialogModel(int presetWidth, int presetHeight)
    : presetWidth_(presetWidth), presetHeight_(presetHeight), width_(presetWidth), height_(presetHeight) {}

bool SizeDialogModel::EditWidth(int width, const FieldSetter& showOther) {
    if (updating_) {
        return false;  // our own update of the width field coming back
    }
    width_ = width;
    if (!scale_ || presetWidth_ == 0) {
        return false;
    }
    updating_ = true;
    height_ = static_cast<int>(static_cast<long long>(width) * presetHeight_ / presetWidth_);
    if (showOther) {
        showOther(height_);
    }
    updating_ = false;
    return true;
}

bool SizeDialogModel::EditHeight(int height, const FieldSetter& showOther) {
    if (updating_) {
        return false;
    }
    height_ = height;
    if (!scale_ || presetHeight_ == 0) {
        return false;
    }
    updating_ = true;
    width_ = static_cast<int>(static_cast<long long>(height) * presetWidth_ / presetHeight_);
    if (showOther) {
        showOther(width_);
    }
    updating_ = false;
    return true;
}

std::optional<FrameSize> SizeDialogModel::Accept() const {
    if (width_ < 1 || height_ < 1 || width_ > kMaxFrameSide || height_ > kMaxFrameSide) {
        return std::nullopt;
    }
    return FrameSize{width_, height_};
}

FrameSize NewDocumentPreset(int layoutWidth, int layoutHeight, int frameWidth, int frameHeight) {
    if (layoutWidth != 0 && layoutHeight != 0) {
        return {layoutWidth, layoutHeight};
    }
    return {frameWidth, frameHeight};
}

}  // namespace corv
