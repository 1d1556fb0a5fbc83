#include "calendar/specialdays.h"

#include "calendar/calendardate.h"
#include "core/storedinteger.h"
#include "core/tablefiles.h"

SpecialRule SpecialRule::fromRow(const TSortGrid& special, int row)
{
    SpecialRule rule;
    const QStringView rowText = special.rowText(row);
    rule.name = TSortGrid::cellOf(rowText, specName).toString();
    const QStringView kind = TSortGrid::cellOf(rowText, specKind);
    const auto number = [&](int col) { return storedIntegerOr(TSortGrid::cellOf(rowText, col), 0); };
    rule.month = number(specMonth);
    // A row without description is not a rule (the editor's empty placeholder row).
    if (rule.name.isEmpty())
        return rule;
    if (kind == u"M") {
        rule.kind = DayOfMonth;
        rule.day = number(specDay);
    } else if (kind == u"W") {
        rule.kind = DayOfWeek;
        rule.week = number(specWeek);
        rule.weekday = number(specWeekday);
    }
    return rule;
}

bool SpecialRule::matches(const QDate& date) const
{
    if (kind == Invalid || month != date.month())
        return false;
    if (kind == DayOfMonth)
        return day == date.day();
    if (weekday != CalendarDates::sundayWeekday(date) || week < 1)
        return false;
    const int firstOfMonth = CalendarDates::sundayWeekday(QDate(date.year(), date.month(), 1));
    const int first = (weekday - firstOfMonth + 7) % 7 + 1; // day of the first such weekday
    int n = week;
    if (week >= 5)
        n = first + 28 <= date.daysInMonth() ? 5 : 4;
    return date.day() == (n - 1) * 7 + first;
}

QList<SpecialRule> specialRules(const TSortGrid& special)
{
    QList<SpecialRule> rules;
    rules.reserve(special.rowCount());
    for (int row = 0; row < special.rowCount(); ++row)
        rules.append(SpecialRule::fromRow(special, row));
    return rules;
}

bool SpecialDaysFor(const QList<SpecialRule>& rules, const QDate& date, QStringList& list)
{
    list.clear();
    if (!date.isValid())
        return false;
    for (const SpecialRule& rule : rules) {
        if (rule.matches(date))
            list.append(rule.name);
    }
    return !list.isEmpty();
}

bool SpecialDaysFor(const TSortGrid& special, const QDate& date, QStringList& list)
{
    return SpecialDaysFor(specialRules(special), date, list);
}
