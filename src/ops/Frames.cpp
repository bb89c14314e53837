#include "ops/Frames.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "content/TransitionRenderer.h"
#include "formats/FrameCountScramble.h"
#include "lang/Render.h"
#include "lang/UiStrings.h"
#include "lang/messages/ShellMessages.h"
#include "workspace/Workspace.h"

namespace corv::ops {

namespace {

// The engine's context over the current clip, as the frame window builds it.
RangeContext ContextOf(Workspace& ws, const std::optional<PixelRect>& editArea, const std::optional<Bgr>& background) {
    RangeContext c;
    c.frames = &ws.frames.CurrentFrames();
    c.undo = &ws.frameUndo;
    c.background = background.value_or(ws.app.backgroundColour);
    c.editArea = editArea;
    return c;
}

// Why frames first .. end - 1 of the current clip cannot be worked on; none when they can.
std::optional<Failure> RangeRefusal(const Workspace& ws, std::size_t first, std::size_t end, int noClip, int outOfRange) {
    if (!ws.frames.HasCurrent()) return Failure{noClip, ws.strings.paramError, {}, {}, nullptr};
    if (!ValidRange(ws.frames.CurrentClip().frames.size(), static_cast<long long>(first), static_cast<long long>(end))) {
        return Failure{outOfRange, ws.strings.paramError, {}, {}, nullptr};
    }
    return std::nullopt;
}

// A catalogue message in the workspace's language.
Failure Refusal(const Workspace& ws, int code, const Text& text) {
    return Failure{code, Render(text, ws.app.language), {}, {}, &text};
}

// The frame the window shows after an edit: `last`, within the clip.
FrameEditReply Edited(Workspace& ws, std::size_t last) {
    const std::size_t count = ws.frames.CurrentFrames().size();
    return FrameEditReply{count == 0 ? 0 : std::min(last, count - 1), count};
}

// Whether `added` more frames leave the clip within the frame count a document holds.
bool RoomFor(const std::vector<Frame>& frames, std::size_t added) {
    return added <= kMaxFrameCount && frames.size() + added <= kMaxFrameCount;
}

}  // namespace

Result<InsertFrameReply> InsertFrame(Workspace& ws, const InsertFrameRequest& request, Prompt& /*prompt*/,
                                     const ProgressFn& /*progress*/) {
    using R = Result<InsertFrameReply>;
    if (!ws.frames.HasCurrent()) return R::Fail(kInsertNoClip, ws.strings.paramError);
    auto& frames = ws.frames.CurrentFrames();
    const std::size_t at = request.after ? *request.after
                           : frames.empty()
                               ? 0
                               : std::min(frames.size(), static_cast<std::size_t>(std::max(ws.app.currentFrame, 0)) + 1);
    if (at > frames.size()) return R::Fail(kInsertOutOfRange, ws.strings.paramError);
    // The clip's own size: a clip read without frames has one too.
    const Clip& clip = ws.frames.CurrentClip();
    const int w = frames.empty() ? static_cast<int>(clip.width) : frames.front().width();
    const int h = frames.empty() ? static_cast<int>(clip.height) : frames.front().height();
    if (w <= 0 || h <= 0) return R::Fail(kInsertNoSize, ws.strings.paramError);
    frames.insert(frames.begin() + static_cast<std::ptrdiff_t>(at), Frame::Filled(w, h, ws.app.backgroundColour));
    ws.frameUndo.RecordInserted(frames, at, 1);
    return InsertFrameReply{at};
}

Result<CopyFramesReply> CopyFrames(Workspace& ws, const CopyFramesRequest& r, Prompt& /*prompt*/,
                                   const ProgressFn& /*progress*/) {
    using R = Result<CopyFramesReply>;
    if (auto refusal = RangeRefusal(ws, r.first, r.end, kCopyNoClip, kCopyOutOfRange)) return R::Fail(std::move(*refusal));
    if (r.end - r.first > kMaxBlockFrames) return R::Fail(Refusal(ws, kCopyTooMany, msg::shell::kTooManyFramesToCopy));
    return CopyFramesReply{corv::CopyFrames(ContextOf(ws, r.editArea, std::nullopt), r.first, r.end)};
}

Result<CutFramesReply> CutFrames(Workspace& ws, const CutFramesRequest& r, Prompt& /*prompt*/,
                                 const ProgressFn& /*progress*/) {
    using R = Result<CutFramesReply>;
    if (auto refusal = RangeRefusal(ws, r.first, r.end, kCutNoClip, kCutOutOfRange)) return R::Fail(std::move(*refusal));
    if (r.end - r.first > kMaxBlockFrames) return R::Fail(Refusal(ws, kCutTooMany, msg::shell::kTooManyFramesToCopy));
    RangeContext c = ContextOf(ws, r.editArea, r.background);
    CutFramesReply reply;
    reply.block = corv::CutFrames(c, r.first, r.end);
    const FrameEditReply edited = Edited(ws, r.first);
    reply.last = edited.last;
    reply.count = edited.count;
    return reply;
}

Result<FrameEditReply> PasteFrames(Workspace& ws, const PasteFramesRequest& r, Prompt& prompt,
                                   const ProgressFn& /*progress*/) {
    using R = Result<FrameEditReply>;
    if (!ws.frames.HasCurrent() || ws.frames.CurrentFrames().empty()) return R::Fail(kPasteNoClip, ws.strings.paramError);
    RangeContext c = ContextOf(ws, r.editArea, r.background);
    const std::vector<Frame>& frames = *c.frames;
    if (r.options.place >= frames.size()) return R::Fail(kPasteOutOfRange, ws.strings.paramError);
    const std::size_t times = static_cast<std::size_t>(std::max(r.options.times, 1));
    if (!RoomFor(frames, r.block.pictures.size() * times)) return R::Fail(kPasteClipFull, ws.strings.paramError);
    const Frame& f = frames.front();
    const PixelRect t = TargetRect(f.width(), f.height(), c.editArea);
    if (r.block.width != t.width() || r.block.height != t.height()) {
        const std::string question =
            Format(ws.strings.askPasteSize.c_str(), r.block.height, r.block.width, t.height(), t.width());
        if (prompt.AskYesNo(question) != Answer::Yes) return R::Fail(kPasteDeclined, std::string());
    }
    return Edited(ws, corv::PasteFrames(c, r.block, r.options));
}

Result<FrameEditReply> StepsPasteFrames(Workspace& ws, const StepsPasteRequest& r, Prompt& /*prompt*/,
                                        const ProgressFn& /*progress*/) {
    using R = Result<FrameEditReply>;
    if (!ws.frames.HasCurrent() || ws.frames.CurrentFrames().empty()) return R::Fail(kStepsPasteNoClip, ws.strings.paramError);
    RangeContext c = ContextOf(ws, r.editArea, r.background);
    if (r.start > c.frames->size()) return R::Fail(kStepsPasteOutOfRange, ws.strings.paramError);
    if (!StepsPaste(c, r.block, r.start, r.interval, r.backwards)) {
        return R::Fail(Refusal(ws, kStepsPasteSizeError, msg::shell::kSizeError));
    }
    // The window shows the last new frame.
    const std::size_t upto = std::min(c.frames->size(), r.start + r.block.pictures.size());
    return Edited(ws, upto == 0 ? 0 : upto - 1);
}

Result<FrameEditReply> RepeatFrames(Workspace& ws, const RepeatFramesRequest& r, Prompt& /*prompt*/,
                                    const ProgressFn& /*progress*/) {
    using R = Result<FrameEditReply>;
    if (auto refusal = RangeRefusal(ws, r.first, r.end, kRepeatNoClip, kRepeatOutOfRange)) return R::Fail(std::move(*refusal));
    RangeContext c = ContextOf(ws, std::nullopt, std::nullopt);
    if (!RoomFor(*c.frames, (r.end - r.first) * static_cast<std::size_t>(std::max(r.times, 0)))) {
        return R::Fail(kRepeatClipFull, ws.strings.paramError);
    }
    corv::RepeatFrames(c, r.first, r.end, r.times);
    return Edited(ws, c.frames->size() - 1);
}

Result<FrameEditReply> DeleteFrames(Workspace& ws, const DeleteFramesRequest& r, Prompt& /*prompt*/,
                                    const ProgressFn& /*progress*/) {
    using R = Result<FrameEditReply>;
    if (auto refusal = RangeRefusal(ws, r.first, r.end, kDeleteNoClip, kDeleteOutOfRange)) return R::Fail(std::move(*refusal));
    RangeContext c = ContextOf(ws, r.editArea, r.background);
    corv::DeleteFrames(c, r.first, r.end, r.spacing);
    return Edited(ws, c.frames->size() - 1);
}

Result<FrameEditReply> MoveFrames(Workspace& ws, const MoveFramesRequest& r, Prompt& /*prompt*/,
                                  const ProgressFn& /*progress*/) {
    using R = Result<FrameEditReply>;
    if (auto refusal = RangeRefusal(ws, r.first, r.end, kMoveNoClip, kMoveOutOfRange)) return R::Fail(std::move(*refusal));
    RangeContext c = ContextOf(ws, r.editArea, std::nullopt);
    corv::MoveFrames(c, r.first, r.end, r.direction, r.ranks, r.increments);
    return Edited(ws, r.end - 1);
}

Result<FrameEditReply> RowColDeleteFrames(Workspace& ws, const RowColDeleteRequest& r, Prompt& /*prompt*/,
                                          const ProgressFn& /*progress*/) {
    using R = Result<FrameEditReply>;
    if (auto refusal = RangeRefusal(ws, r.first, r.end, kRowColNoClip, kRowColOutOfRange)) return R::Fail(std::move(*refusal));
    RangeContext c = ContextOf(ws, r.editArea, r.background);
    RowColDelete(c, r.first, r.end, r.keepRows, r.deleteRows, r.keepCols, r.deleteCols);
    return Edited(ws, r.end - 1);
}

Result<DesignSwitchReply> DesignSwitchFrames(Workspace& ws, const DesignSwitchRequest& r, Prompt& /*prompt*/,
                                             const ProgressFn& /*progress*/) {
    using R = Result<DesignSwitchReply>;
    if (auto refusal = RangeRefusal(ws, r.first, r.end, kSwitchNoClip, kSwitchOutOfRange)) return R::Fail(std::move(*refusal));
    if (r.kind < 0 || r.kind >= kTransitionKinds) return R::Fail(kSwitchBadKind, ws.strings.paramError);
    // "Random" draws from the clock unless a seed is given.
    const std::uint32_t seed =
        r.seed != 0 ? r.seed
                    : static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                     std::chrono::system_clock::now().time_since_epoch())
                                                     .count());
    RangeContext c = ContextOf(ws, std::nullopt, std::nullopt);
    DesignSwitchReply reply;
    if (!FrameRangeTransition(c, r.first, r.end, r.kind, seed, &reply.kind)) {
        return R::Fail(kSwitchNoRoom, ws.strings.paramError);
    }
    const FrameEditReply edited = Edited(ws, r.end + (r.end - r.first) - 1);
    reply.last = edited.last;
    reply.count = edited.count;
    return reply;
}

}  // namespace corv::ops
