#include "cli/Progress.h"

#include <unistd.h>

#include <cstdio>
#include <memory>

namespace corv::cli {

ProgressFn TerminalProgress() {
    if (!::isatty(STDERR_FILENO)) {
        return {};
    }
    auto last = std::make_shared<int>(-1);
    return [last](int percent) {
        if (percent == *last) {
            return;
        }
        *last = percent;
        if (percent <= 0) {
            std::fprintf(stderr, "\r%60s\r", "");
            return;
        }
        const int filled = percent * 40 / 100;
        char bar[41];
        for (int i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : ' ';
        bar[40] = '\0';
        std::fprintf(stderr, "\r[%s] %3d%%", bar, percent);
        std::fflush(stderr);
    };
}

}  // namespace corv::cli
