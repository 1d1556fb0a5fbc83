#pragma once

#include "core/daynumber.h"

#include <QDate>
#include <QDateTime>
#include <QStringView>

#include <limits>

class SettingsStore;
class TSortGrid;

// Chooses the one task alarm that comes next and holds it armed until its minute comes.
//
// Nothing records that an alarm has fired: an alarm stops coming back only because the user's
// answer changes the task. So the window re-runs ScheduleNextAlarm after every change of the task
// table (the armed alarm is remembered by row number) and calls tick() from its 450 ms timer.
// Whenever either says "fire", the window shows the alarm dialog for Tag().
class AlarmScheduler final {
public:
    enum class Result {
        Disarmed, // alarms are off, or no alarm falls before the coming midnight
        Armed,    // an alarm later today waits for its minute
        Overdue,  // the alarm of Tag() is due already: fire it now
    };

    // The earliest alarm of the table: its row (-1 for none) and its moment as a day number.
    struct NextAlarm {
        int row = -1;
        double moment = NoDueDate;
    };

    AlarmScheduler(const TSortGrid& taskTable, const SettingsStore& settings);

    // Re-reads the whole task table and arms the earliest alarm of today, or says it is overdue.
    // Reads the time from Clock::current().
    Result ScheduleNextAlarm();
    Result ScheduleNextAlarm(const QDateTime& now);

    // The 450 ms clock check. Returns the task row whose alarm fires now, or -1. An alarm fires
    // once, within its armed minute, and only when a tick saw the time before it since it was
    // armed; a missed minute is found overdue by the next scheduling. When the date has changed
    // since the last scheduling (midnight, a clock set by hand, waking from sleep) the tick
    // schedules again by itself, so tomorrow's alarms are armed whatever the window's own
    // day-change settings are.
    int tick(const QDateTime& now);

    // The row whose alarm is armed or being fired; -1 when none.
    int Tag() const { return m_tag; }
    bool isArmed() const { return m_armed; }
    // The armed time of day in milliseconds since midnight.
    int armedTime() const { return m_armedMsecs; }
    bool AlarmWait() const { return m_alarmWait; }
    // The date of the last scheduling; invalid before the first.
    QDate scheduledDate() const { return m_scheduledDate; }

    // "Alarms"/"Enabled", default on.
    static bool alarmsEnabled(const SettingsStore& settings);
    // The moment a row's alarm rings, as a day number; NoDueDate for a completed task, a task
    // without alarm, a task without (readable) due date and a row outside the table.
    static double alarmMoment(const TSortGrid& taskTable, int row);
    // One pass over the table; of equal moments the upper row wins.
    static NextAlarm findNextAlarm(const TSortGrid& taskTable);

private:
    static constexpr qint64 NoAlarm = std::numeric_limits<qint64>::max();
    // The alarm moment in milliseconds since the day-number epoch, NoAlarm when none.
    static qint64 alarmMsecs(QStringView rowText, int colCount);

    void disarm();
    void arm(int msecsOfDay, const QDateTime& now);
    void updateAlarmWait(int nowMsecs);
    bool matchesArmedMinute(int nowMsecs) const;

    const TSortGrid& m_taskTable;
    const SettingsStore& m_settings;
    int m_tag = -1;
    bool m_armed = false;
    int m_armedMsecs = 0;
    bool m_alarmWait = false;
    QDate m_scheduledDate;
};
