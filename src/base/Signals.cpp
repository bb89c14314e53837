#include "base/Signals.h"

#include <signal.h>

#include "base/FileIO.h"

namespace corv {

namespace {

extern "C" void OnStop(int sig) {
    RemovePendingTemporaryFiles();
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

}  // namespace

void CleanUpOnSignals() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        // A signal the program was started to ignore (nohup) stays ignored.
        if (::sigaction(sig, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            struct sigaction action {};
            action.sa_handler = OnStop;
            sigemptyset(&action.sa_mask);
            ::sigaction(sig, &action, nullptr);
        }
    }
}

}  // namespace corv
