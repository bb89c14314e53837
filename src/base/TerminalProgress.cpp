#include "base/TerminalProgress.h"

#include <unistd.h>

#include <memory>

namespace corv {

ProgressFn TerminalProgress(std::FILE* out, bool terminal) {
    if (!terminal || !out) {
        return {};
    }
    auto last = std::make_shared<int>(-1);
    return [out, last](int percent) {
        if (percent == *last) {
            return;
        }
        *last = percent;
        if (percent <= 0) {
            std::fprintf(out, "\r%60s\r", "");
            std::fflush(out);
            return;
        }
        const int filled = percent * 40 / 100;
        char bar[41];
        for (int i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : ' ';
        bar[40] = '\0';
        std::fprintf(out, "\r[%s] %3d%%", bar, percent);
        std::fflush(out);
    };
}

ProgressFn TerminalProgress() { return TerminalProgress(stderr, ::isatty(STDERR_FILENO) != 0); }

}  // namespace corv
