#pragma once

#include <cstdio>

#include "base/Progress.h"

namespace corv::fuse {

// A progress bar on stderr when it is a terminal; nothing otherwise.
ProgressFn TerminalProgress();
// The same bar drawn on `out`, or nothing when `terminal` is false.
ProgressFn TerminalProgress(std::FILE* out, bool terminal);

}  // namespace corv::fuse
