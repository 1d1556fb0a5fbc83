#include "tasks/recurrence.h"

#include "core/clock.h"
#include "core/daynumber.h"
#include "core/storedinteger.h"
#include "core/tasktable.h"

#include <QDateTime>
#include <QTime>

namespace {

constexpr qint64 msecsPerMinute = 60 * 1000;
constexpr qint64 msecsPerDay = 24 * 60 * msecsPerMinute;

// A due moment kept as date and time of day, so that steps never add fractions of a day and the
// time of day stays exactly what the user entered.
struct Moment {
    QDate date;
    QTime time;

    // Wall-clock milliseconds on one scale, free of time zones and daylight saving, the way day
    // numbers compare.
    qint64 wallMsecs() const { return date.toJulianDay() * msecsPerDay + time.msecsSinceStartOfDay(); }
    double day() const { return dayNumber(QDateTime(date, time, Qt::UTC)); }
};

// Weekday number counted from Sunday = 1 to Saturday = 7.
int weekdayFromSunday(const QDate& date)
{
    return date.dayOfWeek() % 7 + 1;
}

} // namespace

bool recurrenceHasStep(int rule)
{
    return rule >= recDaily && rule <= recBiMonthly;
}

QDate nextOccurrenceDate(int rule, const QDate& date)
{
    if (!date.isValid())
        return date;
    switch (rule) {
    case recDaily:
        return date.addDays(1);
    case recWeekDay: {
        const int w = weekdayFromSunday(date);
        return date.addDays(w == 6 ? 3 : w == 7 ? 2 : 1);
    }
    case recWeekEnd: {
        const int w = weekdayFromSunday(date);
        return date.addDays(w == 1 ? 6 : w == 7 ? 1 : 7 - w);
    }
    case recWeekly:
        return date.addDays(7);
    case recFortnightly:
        return date.addDays(14);
    // QDate limits the day to the length of the resulting month, and each step starts from the
    // limited day, so a monthly task from the 31st stays on the shorter day from then on.
    case recMonthly:
        return date.addMonths(1);
    case recQuarterly:
        return date.addMonths(3);
    case recHalfYearly:
        return date.addMonths(6);
    case recYearly:
        return date.addMonths(12);
    case recBiMonthly:
        return date.addMonths(2);
    default:
        return date;
    }
}

double NextOccurrence(int rule, double due)
{
    const QDate date = dateOfDayNumber(due);
    if (!recurrenceHasStep(rule) || !date.isValid())
        return due;
    const QDate next = nextOccurrenceDate(rule, date);
    if (!next.isValid())
        return due;
    return Moment{next, timeOfDayNumber(due)}.day();
}

qint64 alarmLeadMinutes(QStringView alarmCell)
{
    if (!hasAlarm(alarmCell))
        return 0;
    const AlarmSetting alarm = parseAlarmCell(alarmCell);
    const qint64 amount = alarm.amount;
    switch (alarm.unit) {
    case alarmMinutes:
        return amount;
    case alarmHours:
        return amount * 60;
    case alarmDays:
        return amount * 24 * 60;
    case alarmWeeks:
        return amount * 7 * 24 * 60;
    default:
        return 0;
    }
}

int recurrenceNumber(QStringView recurrenceCell)
{
    return storedIntegerOr(recurrenceCell, -1);
}

bool DuplicateToTop(TSortGrid& taskTable, int row)
{
    if (row < 0 || row >= taskTable.rowCount())
        return false;
    const QString copy = taskTable.rowText(row);
    taskTable.InsertRow(0);
    taskTable.setRowText(0, copy);
    return true;
}

bool ScheduleNext(TSortGrid& taskTable, int row)
{
    if (row < 0 || row >= taskTable.rowCount())
        return false;
    const QString oldText = taskTable.cellText(row, colDue);
    const double due = dueDayNumber(oldText);
    if (due == NoDueDate)
        return false;
    const int rule = recurrenceIndex(taskTable.cell(row, colRecurrence));
    Moment moment{dateOfDayNumber(due), timeOfDayNumber(due)};
    if (!recurrenceHasStep(rule) || !moment.date.isValid())
        return false;

    const qint64 leadMsecs = alarmLeadMinutes(taskTable.cell(row, colAlarm)) * msecsPerMinute;
    const QDateTime now = Clock::current().now();
    const qint64 nowMsecs = Moment{now.date(), now.time()}.wallMsecs();
    // At least one step; more while the alarm moment (or the due moment without alarm) is not
    // yet in the future. Every step moves the date forward, so the loop ends.
    do {
        const QDate next = nextOccurrenceDate(rule, moment.date);
        if (!next.isValid())
            break;
        moment.date = next;
    } while (moment.wallMsecs() - leadMsecs <= nowMsecs);

    const QString newText = dayNumberText(moment.day());
    taskTable.setCell(row, colDue, newText);
    return newText != oldText;
}

int completeWithNextOccurrence(TSortGrid& taskTable, int row)
{
    if (!DuplicateToTop(taskTable, row))
        return -1;
    ScheduleNext(taskTable, 0);
    taskTable.setCell(row + 1, colComplete, u"100");
    return row + 1;
}

CheckStep checkStepFor(const TSortGrid& taskTable, int row)
{
    if (isCompleted(taskTable.cell(row, colComplete)))
        return CheckStep::Uncheck;
    return offersNextOccurrence(taskTable.cell(row, colRecurrence)) ? CheckStep::AskNextOccurrence
                                                                     : CheckStep::Complete;
}

void applyCheck(TSortGrid& taskTable, int row, CheckStep step, bool scheduleNext)
{
    if (row < 0 || row >= taskTable.rowCount())
        return;
    if (step == CheckStep::Uncheck)
        taskTable.setCell(row, colComplete, u"0");
    else if (step == CheckStep::AskNextOccurrence && scheduleNext)
        completeWithNextOccurrence(taskTable, row);
    else
        taskTable.setCell(row, colComplete, u"100");
}
