#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>

namespace corv {

// Long operations report the percentage done (1..100); 0 means "hide the progress bar".
using ProgressFn = std::function<void(int percent)>;

inline void ReportProgress(const ProgressFn& progress, int percent) {
    if (progress) {
        progress(percent);
    }
}

// The percentage for `done` of `total` units, kept in 1..100 so that a report never hides the bar.
inline int PercentDone(std::uint64_t done, std::uint64_t total) {
    return static_cast<int>(std::clamp<std::uint64_t>(done * 100 / std::max<std::uint64_t>(total, 1), 1, 100));
}

// Hides the progress bar when the operation ends, however it ends.
class ProgressEnd {
public:
    explicit ProgressEnd(const ProgressFn& progress) : progress_(progress) {}
    ~ProgressEnd() { ReportProgress(progress_, 0); }
    ProgressEnd(const ProgressEnd&) = delete;
    ProgressEnd& operator=(const ProgressEnd&) = delete;

private:
    const ProgressFn& progress_;
};

}  // namespace corv
