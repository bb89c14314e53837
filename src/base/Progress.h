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

}  // namespace corv
