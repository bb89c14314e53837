#include "app/shell/StopSignalWatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "base/FileIO.h"

namespace corv {

namespace {

int wakeFds[2] = {-1, -1};
volatile std::sig_atomic_t received = 0;
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnStopSignal(int sig) {
    if (received != 0) {
        // Asked again while ending: no more waiting (an unfinished write leaves no temporary
        // file, as with the engine's own handlers).
        RemovePendingTemporaryFiles();
        ::signal(sig, SIG_DFL);
        ::raise(sig);
        return;
    }
    received = sig;
    const int savedErrno = errno;
    const char byte = static_cast<char>(sig);
    if (wakeFds[1] >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(wakeFds[1], &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

StopSignalWatcher::StopSignalWatcher(QObject* parent) : QObject(parent) {
    if (::pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        wakeFds[0] = wakeFds[1] = -1;
        return;  // the handlers of the engine (removing unfinished writes) stay in place
    }
    notifier_ = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [] {
        char bytes[16];
        while (::read(wakeFds[0], bytes, sizeof bytes) > 0) {
        }
        // exit(), not quit(): quit() first asks every window to close, and a question about
        // unsaved changes would keep a program that was told to stop waiting for an answer.
        // exit() also ends the loops of open modal dialogs.
        QCoreApplication::exit(128 + static_cast<int>(received));
    });
    for (int sig : kStopSignals) {
        struct sigaction current {};
        // A signal the program was started to ignore (nohup) stays ignored.
        if (::sigaction(sig, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            struct sigaction action {};
            action.sa_handler = OnStopSignal;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESTART;
            ::sigaction(sig, &action, nullptr);
        }
    }
}

StopSignalWatcher::~StopSignalWatcher() {
    // The handlers stay: a signal during the rest of the shutdown is still noted, and a
    // second one ends the program at once. Only the read end goes.
    delete notifier_;
    notifier_ = nullptr;
}

int StopSignalWatcher::Received() { return static_cast<int>(received); }

void StopSignalWatcher::TakeUsualCourse() {
    const int sig = static_cast<int>(received);
    if (sig == 0) return;
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

}  // namespace corv
