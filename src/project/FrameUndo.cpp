#include "project/FrameUndo.h"

#include <algorithm>
#include <iterator>
#include <numeric>

namespace corv {

std::vector<Frame> TakeFramesAt(std::vector<Frame>& clip, const std::vector<std::size_t>& positions) {
    std::vector<Frame> taken;
    taken.reserve(positions.size());
    // A contiguous run (Cut, Delete) moves as one range.
    if (!positions.empty() && positions.back() - positions.front() + 1 == positions.size() &&
        positions.back() < clip.size()) {
        const auto first = clip.begin() + static_cast<std::ptrdiff_t>(positions.front());
        const auto last = first + static_cast<std::ptrdiff_t>(positions.size());
        std::move(first, last, std::back_inserter(taken));
        clip.erase(first, last);
        return taken;
    }
    std::size_t write = 0, next = 0;
    for (std::size_t read = 0; read < clip.size(); ++read) {
        if (next < positions.size() && positions[next] == read) {
            taken.push_back(std::move(clip[read]));
            ++next;
        } else {
            if (write != read) clip[write] = std::move(clip[read]);
            ++write;
        }
    }
    clip.resize(write);
    return taken;
}

void PutFramesAt(std::vector<Frame>& clip, const std::vector<std::size_t>& positions, std::vector<Frame>& frames) {
    if (frames.empty()) return;
    if (positions.back() - positions.front() + 1 == positions.size() && positions.front() <= clip.size()) {
        clip.insert(clip.begin() + static_cast<std::ptrdiff_t>(positions.front()),
                    std::make_move_iterator(frames.begin()), std::make_move_iterator(frames.end()));
        frames.clear();
        return;
    }
    std::vector<Frame> merged;
    merged.reserve(clip.size() + frames.size());
    std::size_t from = 0, next = 0;
    while (from < clip.size() || next < frames.size()) {
        if (next < frames.size() && (positions[next] == merged.size() || from >= clip.size())) {
            merged.push_back(std::move(frames[next++]));
        } else {
            merged.push_back(std::move(clip[from++]));
        }
    }
    clip = std::move(merged);
    frames.clear();
}

namespace {

std::vector<std::size_t> Run(std::size_t index, std::size_t count) {
    std::vector<std::size_t> p(count);
    std::iota(p.begin(), p.end(), index);
    return p;
}

}  // namespace

void FrameUndo::Push(Step step) {
    undo_.push_front(std::move(step));
    if (undo_.size() > kDepth) undo_.pop_back();  // the fourth step pushes out the oldest
    redo_.clear();
    saved_.Pushed(undo_.size());
}

void FrameUndo::RecordInserted(const std::vector<Frame>& frames, std::size_t index, std::size_t count) {
    count = std::min(count, frames.size() - std::min(index, frames.size()));
    Step s;
    s.kind = kInserted;
    s.index = index;
    s.positions = Run(index, count);
    s.present = true;
    Push(std::move(s));
}

void FrameUndo::BeginUndo(const std::vector<Frame>& frames, int kind, std::size_t index, std::uint32_t count) {
    switch (kind) {
        case kInserted: {
            Step s;
            s.kind = kInserted;
            s.index = index;
            s.positions = Run(index, count);  // the frames are not there yet
            s.present = true;
            Push(std::move(s));
            return;
        }
        case kRemoved: {
            const std::size_t n = std::min<std::size_t>(count, frames.size() - std::min(index, frames.size()));
            const std::uint64_t pixels = n == 0 ? 0 : static_cast<std::uint64_t>(frames[index].width()) * frames[index].height() * n;
            if (pixels > kMaxCopiedPixels) {
                Reset();
                saved_.ChangedOutside();
                return;
            }
            Step s;
            s.kind = kRemoved;
            s.index = index;
            s.positions = Run(index, n);
            s.frames.assign(frames.begin() + static_cast<std::ptrdiff_t>(index),
                            frames.begin() + static_cast<std::ptrdiff_t>(index + n));
            s.present = false;  // by the time the step is undone they are out of the clip
            Push(std::move(s));
            return;
        }
        case 5: {
            // Kinds from 4 on are kept whatever their size.
            const std::size_t offset = count >> 24, end = count & 0xFFFFFFu;
            if (RecordChange(frames, index + offset, end > offset ? end - offset : 0, kChanged, false)) undo_.front().kind = 5;
            return;
        }
        case 4:
            if (RecordChange(frames, index, count, kChanged, false)) undo_.front().kind = 4;
            return;
        default:
            RecordChange(frames, index, count, kind == kChangedOther ? kChangedOther : kChanged);
            return;
    }
}

void FrameUndo::RecordInsertedAt(const std::vector<Frame>& /*frames*/, const std::vector<std::size_t>& positions) {
    Step s;
    s.kind = kRepeated;
    s.index = positions.empty() ? 0 : positions.front();
    s.positions = positions;
    s.present = true;
    Push(std::move(s));
}

bool FrameUndo::RecordChange(const std::vector<Frame>& frames, std::size_t index, std::size_t count, Kind kind,
                             bool limited) {
    count = std::min(count, frames.size() - std::min(index, frames.size()));
    std::uint64_t pixels = 0;
    for (std::size_t i = index; i < index + count; ++i) {
        pixels += static_cast<std::uint64_t>(frames[i].width()) * static_cast<std::uint64_t>(frames[i].height());
    }
    if (limited && pixels > kMaxCopiedPixels) {
        Reset();  // too large to copy: this change cannot be undone, nor can the ones before it
        saved_.ChangedOutside();
        return false;
    }
    Step s;
    s.kind = kind;
    s.index = index;
    s.inPlace = true;
    s.frames.assign(frames.begin() + static_cast<std::ptrdiff_t>(index),
                    frames.begin() + static_cast<std::ptrdiff_t>(index + count));
    Push(std::move(s));
    return true;
}

void FrameUndo::AddAppendedTail(std::size_t from, std::size_t count) {
    if (undo_.empty() || count == 0) return;
    Step& step = undo_.front();
    step.tailPositions = Run(from, count);
    step.tailPresent = true;
}

void FrameUndo::Remove(std::vector<Frame>& frames, std::size_t index, std::size_t count) {
    count = std::min(count, frames.size() - std::min(index, frames.size()));
    Step s;
    s.kind = kRemoved;
    s.index = index;
    s.positions = Run(index, count);
    s.frames = TakeFramesAt(frames, s.positions);
    s.present = false;
    Push(std::move(s));
}

void FrameUndo::RemoveAt(std::vector<Frame>& frames, const std::vector<std::size_t>& positions) {
    Step s;
    s.kind = kThinned;
    s.index = positions.empty() ? 0 : positions.front();
    s.positions = positions;
    s.frames = TakeFramesAt(frames, positions);
    s.present = false;
    Push(std::move(s));
}

void FrameUndo::MarkPlaceholder() {
    if (!undo_.empty()) undo_.front().placeholder = true;
}

void FrameUndo::Apply(std::vector<Frame>& clip, Step& step) {
    if (step.inPlace) {
        // The appended frames leave first (they follow the changed run), or come back last.
        if (!step.tailPositions.empty() && step.tailPresent) step.tail = TakeFramesAt(clip, step.tailPositions);
        for (std::size_t i = 0; i < step.frames.size() && step.index + i < clip.size(); ++i) {
            std::swap(step.frames[i], clip[step.index + i]);
        }
        if (!step.tailPositions.empty() && !step.tailPresent) PutFramesAt(clip, step.tailPositions, step.tail);
        step.tailPresent = !step.tailPresent;
        return;
    }
    if (step.present) {
        step.frames = TakeFramesAt(clip, step.positions);
        if (step.placeholder && clip.empty()) clip.push_back(std::move(step.standIn));
    } else {
        if (step.placeholder && clip.size() == 1) {
            step.standIn = std::move(clip.front());
            clip.clear();
        }
        PutFramesAt(clip, step.positions, step.frames);
    }
    step.present = !step.present;
}

bool FrameUndo::Undo(std::vector<Frame>& frames, std::size_t* touched) {
    if (undo_.empty()) return false;
    Step step = std::move(undo_.front());
    undo_.pop_front();
    Apply(frames, step);
    if (touched) *touched = step.index;
    redo_.push_front(std::move(step));
    if (redo_.size() > kDepth) redo_.pop_back();
    saved_.Undone(undo_.size(), redo_.size());
    return true;
}

bool FrameUndo::Redo(std::vector<Frame>& frames, std::size_t* touched) {
    if (redo_.empty()) return false;
    Step step = std::move(redo_.front());
    redo_.pop_front();
    Apply(frames, step);
    if (touched) *touched = step.index;
    undo_.push_front(std::move(step));
    if (undo_.size() > kDepth) undo_.pop_back();
    saved_.Redone(undo_.size(), redo_.size());
    return true;
}

void FrameUndo::Reset() {
    undo_.clear();
    redo_.clear();
    saved_.Emptied();
}

}  // namespace corv
