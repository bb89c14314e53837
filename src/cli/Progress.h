#pragma once

#include "base/Progress.h"

namespace corv::cli {

// A progress bar on stderr when it is a terminal; nothing otherwise.
ProgressFn TerminalProgress();

}  // namespace corv::cli
