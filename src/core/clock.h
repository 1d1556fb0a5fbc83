#pragma once

#include <QDateTime>

// The one source of "now". Alarms, recurrence, overdue colours, the day change and the calendar
// all read the time through the current clock, so tests can fix it or step it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    QDate today() const { return now().date(); }

    // The clock in force; the system clock unless a test installed another.
    static const Clock& current();
    // Installs a clock (nullptr restores the system clock). The caller keeps ownership.
    static void setCurrent(const Clock* clock);
};

// A clock that stands still until told otherwise; tests step it by hand.
class FixedClock final : public Clock {
public:
    explicit FixedClock(const QDateTime& when) : m_now(when) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& when) { m_now = when; }
    void advanceSecs(qint64 secs) { m_now = m_now.addSecs(secs); }

private:
    QDateTime m_now;
};
