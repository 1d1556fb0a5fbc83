#include "alarms/alarmscheduler.h"

#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/sortgrid.h"
#include "core/storedinteger.h"
#include "core/tasktable.h"
#include "tasks/recurrence.h"

#include <QTime>

#include <algorithm>
#include <cmath>

namespace {

constexpr int msecsPerSecond = 1000;
constexpr int msecsPerMinute = 60 * msecsPerSecond;
constexpr qint64 msecsPerDay = 24 * 60 * qint64(msecsPerMinute);

constexpr double MaxDayNumber = 3.0e6; // about the year 10,000 either way

qint64 dayMsecs(double day)
{
    return std::llround(day * double(msecsPerDay));
}

bool completedForAlarms(QStringView cell)
{
    // The common cells ("0".."100") are decided without the general integer reader.
    if (cell.size() == 3 && cell == u"100")
        return true;
    if (cell.size() < 3)
        return false;
    return storedIntegerOr(cell, 0) == 100;
}

} // namespace

AlarmScheduler::AlarmScheduler(const TSortGrid& taskTable, const SettingsStore& settings)
    : m_taskTable(taskTable), m_settings(settings)
{}

bool AlarmScheduler::alarmsEnabled(const SettingsStore& settings)
{
    return settings.readBool(Settings::Alarms, Settings::Enabled, true);
}

qint64 AlarmScheduler::alarmMsecs(QStringView rowText, int colCount)
{
    if (colCount <= colAlarm)
        return NoAlarm;
    // Every row of a grid holds exactly colCount cells, so the alarm cell is found from the row's
    // end, past the few short cells behind it, without walking the name and the notes. Most rows
    // have no alarm and end here; nothing is copied.
    constexpr char16_t separator = TSortGrid::CellSeparator;
    const char16_t* const begin = rowText.utf16();
    const char16_t* const end = begin + rowText.size();
    const char16_t* alarmEnd = end;
    for (int behind = colCount - 1 - colAlarm; behind > 0; --behind) {
        do {
            if (alarmEnd == begin)
                return NoAlarm; // fewer cells than the table has
            --alarmEnd;
        } while (*alarmEnd != separator);
    }
    const char16_t* alarmStart = alarmEnd;
    while (alarmStart != begin && alarmStart[-1] != separator)
        --alarmStart;
    const QStringView alarmCell(alarmStart, alarmEnd);
    if (!hasAlarm(alarmCell))
        return NoAlarm;

    // Cells 0 and 2 from the front.
    const char16_t* cellStart = begin;
    QStringView dueCell;
    for (int col = 0; col <= colDue; ++col) {
        const char16_t* cellEnd = cellStart;
        while (cellEnd != alarmStart && *cellEnd != separator)
            ++cellEnd;
        const QStringView cell(cellStart, cellEnd);
        if (col == colComplete && completedForAlarms(cell))
            return NoAlarm;
        dueCell = cell;
        if (cellEnd == alarmStart)
            break;
        cellStart = cellEnd + 1;
    }
    double due = NoDueDate;
    // A number far outside the calendar ("1e300") is no date either; it would not fit the
    // millisecond count.
    if (!parseDayNumber(dueCell, &due) || due == NoDueDate || !(std::fabs(due) < MaxDayNumber))
        return NoAlarm;
    // Whole milliseconds, so that equal alarm times reached through different due times and
    // leads compare equal.
    return dayMsecs(due) - alarmLeadMinutes(alarmCell) * msecsPerMinute;
}

double AlarmScheduler::alarmMoment(const TSortGrid& taskTable, int row)
{
    if (row < 0 || row >= taskTable.rowCount())
        return NoDueDate;
    const qint64 msecs = alarmMsecs(taskTable.rowText(row), taskTable.colCount());
    return msecs == NoAlarm ? NoDueDate : double(msecs) / msecsPerDay;
}

AlarmScheduler::NextAlarm AlarmScheduler::findNextAlarm(const TSortGrid& taskTable)
{
    NextAlarm next;
    qint64 best = dayMsecs(NoDueDate);
    const QList<QString>& rows = taskTable.rows();
    const int colCount = taskTable.colCount();
    // The alarm cell lies near a row's end: its last line is fetched ahead as well as its head.
    for (qsizetype r = 0; r < rows.size(); ++r) {
        TSortGrid::fetchAhead(rows, r);
        if (r + TSortGrid::RowsAhead < rows.size()) {
            const QString& later = rows.at(r + TSortGrid::RowsAhead);
            __builtin_prefetch(later.constData() + std::max<qsizetype>(later.size() - 1, 0));
        }
        const qint64 msecs = alarmMsecs(rows.at(r), colCount);
        // Strictly earlier: of equal moments the upper row fires first.
        if (msecs < best) {
            best = msecs;
            next.row = int(r);
        }
    }
    if (next.row >= 0)
        next.moment = double(best) / msecsPerDay;
    return next;
}

AlarmScheduler::Result AlarmScheduler::ScheduleNextAlarm()
{
    return ScheduleNextAlarm(Clock::current().now());
}

AlarmScheduler::Result AlarmScheduler::ScheduleNextAlarm(const QDateTime& now)
{
    m_scheduledDate = now.date();
    if (!alarmsEnabled(m_settings)) {
        m_tag = -1;
        disarm();
        return Result::Disarmed;
    }
    const NextAlarm next = findNextAlarm(m_taskTable);
    const qint64 todayStart = dayMsecs(dayNumber(now.date()));
    const qint64 moment = dayMsecs(next.moment);
    // Only today's alarms are armed; later ones wait for the scheduling after midnight.
    if (next.row < 0 || moment >= todayStart + msecsPerDay) {
        m_tag = -1;
        disarm();
        return Result::Disarmed;
    }
    m_tag = next.row;
    // At the very moment itself the alarm fires too: armed for a time that has already come, the
    // clock would never see the time before it and the alarm would wait for another scheduling.
    if (dayMsecs(dayNumber(now)) >= moment) {
        disarm();
        return Result::Overdue;
    }
    arm(int(moment - todayStart), now);
    return Result::Armed;
}

int AlarmScheduler::tick(const QDateTime& now)
{
    if (m_scheduledDate.isValid() && now.date() != m_scheduledDate)
        return ScheduleNextAlarm(now) == Result::Overdue ? m_tag : -1;
    const int nowMsecs = now.time().msecsSinceStartOfDay();
    if (m_armed && matchesArmedMinute(nowMsecs)) {
        if (!m_alarmWait)
            return -1;
        m_alarmWait = false;
        return m_tag;
    }
    updateAlarmWait(nowMsecs);
    return -1;
}

void AlarmScheduler::disarm()
{
    m_armed = false;
}

void AlarmScheduler::arm(int msecsOfDay, const QDateTime& now)
{
    m_armed = true;
    m_armedMsecs = msecsOfDay;
    updateAlarmWait(now.time().msecsSinceStartOfDay());
}

void AlarmScheduler::updateAlarmWait(int nowMsecs)
{
    m_alarmWait = nowMsecs < m_armedMsecs || m_armedMsecs == 0;
}

bool AlarmScheduler::matchesArmedMinute(int nowMsecs) const
{
    // Same hour and minute, and not before the armed second.
    return nowMsecs / msecsPerMinute == m_armedMsecs / msecsPerMinute &&
           nowMsecs / msecsPerSecond >= m_armedMsecs / msecsPerSecond;
}
