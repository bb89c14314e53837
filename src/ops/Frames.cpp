#include "ops/Frames.h"

#include <algorithm>

#include "workspace/Workspace.h"

namespace corv::ops {

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

}  // namespace corv::ops
