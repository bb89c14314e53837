#include "ops/ColourProcess.h"

#include <string>
#include <utility>

#include "lang/UiStrings.h"
#include "workspace/Workspace.h"

namespace corv::ops {

std::optional<Failure> ColourProcessRefusalOf(const Workspace& ws, const ColourProcessRequest& r) {
    if (!ws.frames.HasCurrent()) return Failure{kColourNoClip, ws.strings.paramError, {}, {}};
    if (!ValidRange(ws.frames.CurrentClip().frames.size(), static_cast<long long>(r.start) - 1, r.end)) {
        return Failure{kColourOutOfRange, ws.strings.paramError, {}, {}};
    }
    return std::nullopt;
}

Result<ColourProcessReply> ProcessColours(Workspace& ws, const ColourProcessRequest& r, Prompt& /*prompt*/,
                                          const ProgressFn& /*progress*/) {
    using R = Result<ColourProcessReply>;
    using Mode = ColourProcessRequest::Mode;
    if (auto refusal = ColourProcessRefusalOf(ws, r)) return R::Fail(std::move(*refusal));
    auto& frames = ws.frames.CurrentFrames();
    RangeContext c;
    c.frames = &frames;
    c.undo = &ws.frameUndo;
    c.background = r.background.value_or(ws.app.backgroundColour);
    c.editArea = r.editArea;
    const auto s = static_cast<std::size_t>(r.start - 1), e = static_cast<std::size_t>(r.end);
    switch (r.mode) {
        case Mode::Replace:
            ReplaceColour(c, s, e, r.from, r.to);
            break;
        case Mode::Swap:
            SwapChannels(c, s, e, r.order);
            break;
        case Mode::Shade:
            ShadeChannels(c, s, e, r.red, r.green, r.blue, r.percent);
            break;
        case Mode::ClearNonLed:
            // A layout of another size changes nothing.
            if (!ClearNonLed(c, s, e, ws.layout)) {
                const int w = frames.front().width(), h = frames.front().height();
                return R::Fail(Failure{kColourLayoutSize,
                                       Format(ws.strings.layoutFramesDiffer.c_str(), static_cast<int>(ws.layout.grid.cols),
                                              static_cast<int>(ws.layout.grid.rows), w, h),
                                       {},
                                       {std::to_string(ws.layout.grid.cols), std::to_string(ws.layout.grid.rows),
                                        std::to_string(w), std::to_string(h)}});
            }
            break;
        case Mode::ClearByFrame: {
            const Frame* mask = nullptr;
            if (r.maskFrame) {
                if (*r.maskFrame >= 1 && static_cast<std::size_t>(*r.maskFrame) <= frames.size()) {
                    mask = &frames[static_cast<std::size_t>(*r.maskFrame - 1)];
                }
            } else {
                mask = ws.frames.CurrentFrame();
            }
            if (!mask) return R::Fail(kColourNoMask, ws.strings.paramError);
            if (!ClearByFrame(c, s, e, *mask)) return R::Fail(kColourMaskSize, ws.strings.paramError);
            break;
        }
    }
    return ColourProcessReply{s, e};
}

}  // namespace corv::ops
