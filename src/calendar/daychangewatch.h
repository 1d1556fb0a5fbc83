#pragma once

#include <QDate>
#include <QDateTime>

// The clock tick's two checks: has the day changed since it was last seen, and has the wall clock
// been set (it moved differently from the monotonic clock, or the time zone changed). The window's
// 450 ms timer calls tick() with a monotonic time in milliseconds (QElapsedTimer) and runs the
// refresh when it is asked to.
class DayChangeWatch final {
public:
    struct Tick {
        bool dayChanged = false;  // only reported while the day check is enabled
        bool clockJumped = false; // always reported
        // Both ask for the same refresh (calendar to today, marks, view, alarm); run it once.
        bool refresh() const { return dayChanged || clockJumped; }
    };

    // Wall and monotonic clocks may drift by this much between two ticks before it is a jump;
    // timer delays alone never come near it.
    static constexpr qint64 JumpToleranceMs = 2000;

    // LastSeenDate starts as today (Clock::current()).
    explicit DayChangeWatch(qint64 monotonicMs);

    // DayRefreshEnabled: set while the tray icon shows the date or the special-day star is on.
    void setDayRefreshEnabled(bool enabled) { m_dayRefreshEnabled = enabled; }
    bool dayRefreshEnabled() const { return m_dayRefreshEnabled; }
    const QDate& LastSeenDate() const { return m_lastSeenDate; }

    // Reads Clock::current() once.
    Tick tick(qint64 monotonicMs);

private:
    QDate m_lastSeenDate;
    QDateTime m_lastWall;
    qint64 m_lastMonotonic;
    int m_lastOffset;
    bool m_dayRefreshEnabled = false;
};
