#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the requests to end the program from outside into signals on the user-interface thread:
// SIGTERM and SIGHUP (a kill, a closed terminal) and the desktop session ending (logout,
// shutdown). The signal handler only writes the signal's number into a pipe, which is all a
// handler may safely do; the pipe's reader runs in the event loop. One watch at a time.
class TerminationWatch final : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatch(QObject* parent = nullptr);
    ~TerminationWatch() override;

    // False when the pipe or the handlers could not be set up (the signals then end the program
    // at once, as without the watch).
    bool isActive() const { return m_notifier != nullptr; }

Q_SIGNALS:
    // SIGTERM or SIGHUP arrived: save without asking, then end.
    void terminationRequested(int signal);
    // The session manager asks for the data to be saved; the program may be ended right after,
    // or go on when the logout is cancelled.
    void sessionEnding();

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};
