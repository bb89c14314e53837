#pragma once

#include <functional>

namespace corv {

// Long operations report the percentage done (1..100); 0 means "hide the progress bar".
using ProgressFn = std::function<void(int percent)>;

inline void ReportProgress(const ProgressFn& progress, int percent) {
    if (progress) {
        progress(percent);
    }
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
