#include "alarms/alarmclock.h"

#include <QTimer>

AlarmClock::AlarmClock(QObject* parent) : QObject(parent), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("tmClock"));
    m_monotonic.start();
    m_timer->setInterval(IntervalMs);
    connect(m_timer, &QTimer::timeout, this, [this] { Q_EMIT ticked(m_monotonic.elapsed()); });
    m_timer->start();
}

void AlarmClock::stop()
{
    m_timer->stop();
}
