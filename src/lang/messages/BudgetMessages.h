#pragma once

#include "base/Text.h"

// The power and timing budget of the ports: its warnings, its values and its report.

namespace corv::msg::budget {

// Warnings: %1 the line (or slave) number, %2 its value, %3 the limit.
inline constexpr Text kLineTooSlow{"线路 %1 每秒最多能显示 %2 帧, 低于节目的 %3 帧/秒",
                                   "Line %1 can show at most %2 frames a second, below the show's %3"};
inline constexpr Text kLineOverFuse{"线路 %1 的峰值电流为 %2 A, 超过保险丝的 %3 A",
                                    "Line %1 peaks at %2 A, above the fuse's %3 A"};
inline constexpr Text kSlaveOverFuse{"分控 %1 的峰值电流为 %2 A, 超过保险丝的 %3 A",
                                     "Slave %1 peaks at %2 A, above the fuse's %3 A"};

// A value that is not a usable number: %1 the value's name (an option such as --volts), %2
// what was given.
inline constexpr Text kNeedsAboveZero{"%1 必须是大于 0 的数 (而不是 %2)", "%1 takes a number above 0 (not %2)"};
inline constexpr Text kNeedsZeroOrMore{"%1 必须是不小于 0 的数 (而不是 %2)",
                                       "%1 takes a number of 0 or more (not %2)"};

// The names of the values (%1 of the two texts above) where no option names them.
inline constexpr Text kValueMilliamps{"每个颜色分量的满级电流 (mA)", "the current of a colour component at full level (mA)"};
inline constexpr Text kValueIdleMilliamps{"每个 LED 的静态电流 (mA)", "the idle current of an LED (mA)"};
inline constexpr Text kValueVolts{"供电电压 (V)", "the supply voltage (V)"};
inline constexpr Text kValueFps{"节目的帧率", "the show's frame rate"};
inline constexpr Text kValueFuseAmps{"保险丝电流 (A)", "the fuse's current (A)"};

// The report of corvantine-cli budget: its three tables and the total.
inline constexpr Text kLinesTitle{"线路:", "Lines:"};
inline constexpr Text kSlavesTitle{"分控:", "Slaves:"};
inline constexpr Text kMastersTitle{"主控:", "Masters:"};
inline constexpr Text kColumnLine{"线路", "line"};
inline constexpr Text kColumnSlave{"分控", "slave"};
inline constexpr Text kColumnMaster{"主控", "master"};
inline constexpr Text kColumnLeds{"LED 数", "LEDs"};
inline constexpr Text kColumnLines{"线路", "lines"};
inline constexpr Text kColumnSlaves{"分控", "slaves"};
inline constexpr Text kColumnPeakAmps{"峰值 A", "peak A"};
inline constexpr Text kColumnMeanAmps{"平均 A", "mean A"};
inline constexpr Text kColumnPeakWatts{"峰值 W", "peak W"};
inline constexpr Text kColumnMaxFps{"最高帧率", "max fps"};
// %1 the peak current, %2 the mean current, %3 the peak power, %4 the frames.
inline constexpr Text kTotalLine{"合计: 峰值 %1 A, 平均 %2 A, 峰值 %3 W (%4 帧)",
                                 "Total: peak %1 A, mean %2 A, peak %3 W (%4 frames)"};

}  // namespace corv::msg::budget
