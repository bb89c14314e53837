#pragma once

#include "cli/Cli.h"
#include "ops/Output.h"

namespace corv {
class Workspace;
}

namespace corv::cli {

// What `output` and `output-from` print of a controller file output: the files written, the
// card copies, the failed writes, "Output File finished!" and its detail. The exit code.
int PrintControllerOutput(Context& ctx, const Workspace& ws, const ops::Result<ops::ControllerOutputReply>& written);

}  // namespace corv::cli
