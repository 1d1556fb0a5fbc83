#include "alarms/alarmactions.h"

#include "core/daynumber.h"
#include "core/sortgrid.h"
#include "core/tasktable.h"
#include "tasks/recurrence.h"

namespace {

bool validRow(const TSortGrid& taskTable, int row)
{
    return row >= 0 && row < taskTable.rowCount();
}

} // namespace

bool snoozeAlarm(TSortGrid& taskTable, int row, int amount, int unit, const QDateTime& now)
{
    if (!validRow(taskTable, row) || amount < 0 || unit < alarmMinutes || unit > alarmWeeks)
        return false;
    // Wall-clock arithmetic, as day numbers count: a snooze across a daylight-saving change still
    // lands on the hour the user expects.
    QDateTime when(now.date(), now.time(), Qt::UTC);
    switch (unit) {
    case alarmMinutes:
        when = when.addSecs(qint64(amount) * 60);
        break;
    case alarmHours:
        when = when.addSecs(qint64(amount) * 3600);
        break;
    case alarmDays:
        when = when.addDays(amount);
        break;
    default:
        when = when.addDays(qint64(amount) * 7);
        break;
    }
    taskTable.setCell(row, colAlarm, alarmCellText(0, unit));
    taskTable.setCell(row, colDue, dayNumberText(dayNumber(when)));
    return true;
}

bool disableAlarm(TSortGrid& taskTable, int row)
{
    if (!validRow(taskTable, row))
        return false;
    taskTable.setCell(row, colAlarm, QStringView());
    return true;
}

bool checkOffersNextOccurrence(QStringView recurrenceCell)
{
    return recurrenceHasStep(recurrenceNumber(recurrenceCell));
}

int checkAlarmedTask(TSortGrid& taskTable, int row, bool scheduleNext)
{
    if (!validRow(taskTable, row))
        return -1;
    if (scheduleNext && checkOffersNextOccurrence(taskTable.cell(row, colRecurrence)))
        return completeWithNextOccurrence(taskTable, row);
    taskTable.setCell(row, colComplete, u"100");
    return row;
}

int relocateAlarmedRow(const TSortGrid& taskTable, int row, const QString& rowText)
{
    if (validRow(taskTable, row) && taskTable.rowText(row) == rowText)
        return row;
    return int(taskTable.rows().indexOf(rowText));
}
