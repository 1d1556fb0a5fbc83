#pragma once

#include <QElapsedTimer>
#include <QObject>

class QTimer;

// The program's one periodic source: every 450 ms on the user-interface thread it reports a
// monotonic time in milliseconds (counted from its construction). The main window lets the
// calendar repaint its clock and look for a new day on it, then checks the armed alarm.
class AlarmClock final : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 450;

    // Starts ticking at once.
    explicit AlarmClock(QObject* parent = nullptr);

    qint64 elapsedMs() const { return m_monotonic.elapsed(); }
    void stop();

Q_SIGNALS:
    void ticked(qint64 monotonicMs);

private:
    QElapsedTimer m_monotonic;
    QTimer* m_timer = nullptr;
};
