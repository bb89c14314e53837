#pragma once

namespace corv {

// Makes the program leave no temporary file behind when it is stopped: on SIGINT, SIGTERM and
// SIGHUP the pending temporary files are removed and the signal then takes its usual course.
// Programs that read memory-mapped files give `busErrorMessage`: a bus error (such a file cut
// short by another program) then removes them too and ends the program with that message on
// standard error and exit code 1, instead of a crash.
void CleanUpOnSignals(const char* busErrorMessage = nullptr);

}  // namespace corv
