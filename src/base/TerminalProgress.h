#pragma once

#include <cstdio>

#include "base/Progress.h"

namespace corv {

// The progress bar of the command-line programs: on stderr when it is a terminal, nothing
// otherwise (output piped into a file stays clean).
ProgressFn TerminalProgress();
// The same bar drawn on `out`, or nothing when `terminal` is false.
ProgressFn TerminalProgress(std::FILE* out, bool terminal);

}  // namespace corv
