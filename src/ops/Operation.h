#pragma once

#include "base/Progress.h"
#include "base/Prompt.h"
#include "base/Result.h"

namespace corv {
class Workspace;
}

namespace corv::ops {

// The outcome of an operation: its reply, or the failure (the refusal's code, the catalogue
// message in the workspace's language, the engine's reason and the message's values). Every
// operation has one shape:
//   Result<Reply> Operation(Workspace&, const Request&, Prompt&, const ProgressFn&)
// The request holds what a dialog's fields or the command line's flags give; the prompt
// takes the questions an operation asks on its way; the progress callback the percentage.
using corv::Failure;
template <class T>
using Result = corv::Result<T>;

}  // namespace corv::ops
