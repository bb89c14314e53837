#pragma once

#include "base/Text.h"

namespace corv::msg::preview {

// The control menu of the preview windows.
inline constexpr Text kControlMenu{"控制(&C)", "&Control"};
inline constexpr Text kReturnToMainWindow{"返回主窗口", "Return main window"};

// The sphere preview.
inline constexpr Text kShowFace{"显示正面", "Show face"};
// Followed by the shader compiler's log.
inline constexpr Text kShadersNotBuilt{"球体预览的着色器在此无法建立: ", "The sphere preview's shaders do not build here: "};
// kNoOpenGlBefore, the reason, kNoOpenGlAfter.
inline constexpr Text kNoOpenGlBefore{"OpenGL 3.3 不可用 (", "OpenGL 3.3 is not available ("};
inline constexpr Text kNoOpenGlAfter{"), 球体不使用它绘制。", "); the sphere is drawn without it."};

// The LED preview.
inline constexpr Text kNoLedsOnLines{"当前线路没有灯。", "The current layout has no LEDs on its lines."};
inline constexpr Text kGlow{"光晕", "Glow"};
inline constexpr Text kFitWindow{"适合窗口", "Fit window"};

}  // namespace corv::msg::preview
