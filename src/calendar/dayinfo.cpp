#include "calendar/dayinfo.h"

#include "calendar/specialdays.h"

QStringList dayInfoLines(const QStringList& specialDays, const QString& taskNames)
{
    QStringList lines = specialDays;
    lines.append(QString());
    lines.append(QStringLiteral("Tasks to do:"));
    if (!taskNames.isEmpty())
        lines.append(taskNames.split(QLatin1Char('\n')));
    return lines;
}

SmartHint SmartHint::forDate(const QDate& calendarDate, const QDate& today, const TSortGrid& special)
{
    if (calendarDate != today)
        return {GoToToday, 219};
    QStringList names;
    if (SpecialDaysFor(special, today.addDays(1), names))
        return {NextDay, 220};
    return {EditSpecialDays, 221};
}
