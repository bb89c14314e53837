#include "base/Signals.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "base/FileIO.h"

namespace corv {

namespace {

const char* g_busErrorMessage = "";

extern "C" void OnStop(int sig) {
    RemovePendingTemporaryFiles();
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

extern "C" void OnBusError(int) {
    RemovePendingTemporaryFiles();
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, g_busErrorMessage, std::strlen(g_busErrorMessage));
    ::_exit(1);
}

void Install(int sig, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(sig, &action, nullptr);
}

}  // namespace

void CleanUpOnSignals(const char* busErrorMessage) {
    g_busErrorMessage = busErrorMessage ? busErrorMessage : "";
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        // A signal the program was started to ignore (nohup) stays ignored.
        if (::sigaction(sig, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            Install(sig, OnStop);
        }
    }
    if (busErrorMessage) {
        Install(SIGBUS, OnBusError);
    }
}

}  // namespace corv
