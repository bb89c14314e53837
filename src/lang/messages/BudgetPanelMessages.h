#pragma once

// The sculpt window's "Power and timing" panel and the current view of the LED preview.

#include "base/Text.h"

namespace corv::msg::budgetpanel {

inline constexpr Text kDockTitle{"功率和时序", "Power and timing"};
inline constexpr Text kShowPanel{"功率和时序面板", "Power and timing panel"};
inline constexpr Text kCompute{"计算", "Compute"};
inline constexpr Text kLine{"线路", "Line"};
inline constexpr Text kLeds{"灯数", "LEDs"};
inline constexpr Text kMaxFps{"最高帧率", "Max fps"};
inline constexpr Text kPeakAmps{"峰值 A", "Peak A"};
inline constexpr Text kMeanAmps{"平均 A", "Mean A"};
inline constexpr Text kMilliamps{"每色满亮 mA:", "mA a colour at full:"};
inline constexpr Text kIdleMilliamps{"每灯空闲 mA:", "Idle mA an LED:"};
inline constexpr Text kVolts{"电源电压 V:", "Supply V:"};
inline constexpr Text kFuseAmps{"保险丝 A:", "Fuse A:"};
inline constexpr Text kNoFuse{"无", "none"};
// %1 the frames, %2 the peak amps, %3 the mean amps, %4 the peak watts.
inline constexpr Text kTotal{"%1 帧: 峰值 %2 A, 平均 %3 A, 峰值 %4 W", "%1 frames: peak %2 A, mean %3 A, peak %4 W"};
inline constexpr Text kNoClip{"没有可计算的帧", "No frames to compute"};
inline constexpr Text kNoWarnings{"没有警告", "No warnings"};
// The output command's question before it writes; %1 the warnings.
inline constexpr Text kOutputWarnings{"功率和时序:\n%1\n\n仍然输出?", "Power and timing:\n%1\n\nWrite the files anyway?"};
// The LED preview's current view.
inline constexpr Text kCurrentView{"电流视图", "Current view"};

}  // namespace corv::msg::budgetpanel
