#pragma once

#include <cstddef>
#include <cstdint>

namespace corv {

// Whether an undo history stands where it stood when its document was last saved (a clean
// index). The position counts the steps applied since the history began; undo and redo move
// it, and saving makes it the saved one. The saved state is lost for good when an edit
// discards the redo steps that lead to it, when a history that keeps only its newest steps
// forgets the steps back to it, or when something changes outside the history; then only the
// next save makes the history clean again.
class SavedState {
public:
    // The current state is the one on disk (opened, made or saved).
    void MarkSaved() {
        saved_ = position_;
        reachable_ = true;
        outside_ = false;
    }
    // A new step was pushed; `undoDepth` is how many undo steps the history keeps after it.
    void Pushed(std::size_t undoDepth) {
        if (saved_ > position_) reachable_ = false;  // it was among the redo steps just dropped
        ++position_;
        if (saved_ + static_cast<std::int64_t>(undoDepth) < position_) reachable_ = false;
    }
    // A step was undone or redone; the depths are those the history keeps afterwards.
    void Undone(std::size_t undoDepth, std::size_t redoDepth) {
        --position_;
        Check(undoDepth, redoDepth);
    }
    void Redone(std::size_t undoDepth, std::size_t redoDepth) {
        ++position_;
        Check(undoDepth, redoDepth);
    }
    // The newest step was taken back unused (it changed nothing).
    void Retracted() { --position_; }
    // The history was emptied; the saved state stays only if it is the current one.
    void Emptied() {
        if (saved_ != position_) reachable_ = false;
        saved_ = position_ = 0;
    }
    // Something changed that the history does not hold.
    void ChangedOutside() { outside_ = true; }
    bool AtSaved() const { return reachable_ && !outside_ && saved_ == position_; }

private:
    void Check(std::size_t undoDepth, std::size_t redoDepth) {
        if (saved_ + static_cast<std::int64_t>(undoDepth) < position_ ||
            saved_ > position_ + static_cast<std::int64_t>(redoDepth)) {
            reachable_ = false;
        }
    }

    std::int64_t position_ = 0;
    std::int64_t saved_ = 0;
    bool reachable_ = true;
    bool outside_ = false;
};

}  // namespace corv
