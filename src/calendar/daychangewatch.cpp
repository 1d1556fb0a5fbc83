#include "calendar/daychangewatch.h"

#include "core/clock.h"

#include <cstdlib>

DayChangeWatch::DayChangeWatch(qint64 monotonicMs)
{
    const QDateTime now = Clock::current().now();
    m_lastSeenDate = now.date();
    m_lastWall = now;
    m_lastMonotonic = monotonicMs;
    m_lastOffset = now.offsetFromUtc();
}

DayChangeWatch::Tick DayChangeWatch::tick(qint64 monotonicMs)
{
    const QDateTime now = Clock::current().now();
    Tick result;

    const qint64 wallStep = m_lastWall.msecsTo(now);
    const qint64 monotonicStep = monotonicMs - m_lastMonotonic;
    const int offset = now.offsetFromUtc();
    result.clockJumped = std::llabs(wallStep - monotonicStep) > JumpToleranceMs || offset != m_lastOffset;
    m_lastWall = now;
    m_lastMonotonic = monotonicMs;
    m_lastOffset = offset;

    const QDate today = now.date();
    if (m_dayRefreshEnabled && today != m_lastSeenDate) {
        m_lastSeenDate = today;
        result.dayChanged = true;
    }
    return result;
}
