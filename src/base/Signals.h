#pragma once

namespace corv {

// Makes the program leave no temporary file behind when it is stopped: on SIGINT, SIGTERM and
// SIGHUP the temporary files of replacing files not yet committed are removed, and the signal
// then takes its usual course.
void CleanUpOnSignals();

}  // namespace corv
