#pragma once

#include <QObject>

class QSocketNotifier;

namespace corv {

// Ends the desktop program in order on SIGINT, SIGTERM and SIGHUP. The handler only notes the
// signal and writes a byte into a pipe (both async-signal-safe); the event loop reads it and
// leaves exec(), so the usual shutdown runs and the per-run folder goes with the workspace.
// A second signal before the program has ended takes the signal's usual course at once.
// One watcher per program, made after the QApplication.
class StopSignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit StopSignalWatcher(QObject* parent = nullptr);
    ~StopSignalWatcher() override;

    // The signal that asked the program to end, 0 while none has.
    static int Received();
    // After the shutdown: the signal then takes its usual course, so whoever started the
    // program sees how it ended. Does nothing when no signal came.
    static void TakeUsualCourse();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace corv
