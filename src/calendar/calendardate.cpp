#include "calendar/calendardate.h"

#include "core/formatsettings.h"

#include <algorithm>

namespace CalendarDates {

int sundayWeekday(const QDate& date)
{
    return date.dayOfWeek() % 7 + 1;
}

int daysInYear(int year)
{
    return QDate::isLeapYear(year) ? 366 : 365;
}

int dayOfYear(const QDate& date)
{
    return date.dayOfYear();
}

int weeksInYear(int year)
{
    const int total = daysInYear(year);
    return total / 7 + (total % 7 > 0 ? 1 : 0);
}

int weekOfYear(const QDate& date)
{
    const int firstWeekday = sundayWeekday(QDate(date.year(), 1, 1));
    const int week = (firstWeekday + dayOfYear(date) - 1) / 7;
    return week == 0 ? 1 : week;
}

QString dayOfYearText(const QDate& date)
{
    return QString::number(dayOfYear(date)) + QLatin1Char('/') + QString::number(daysInYear(date.year()));
}

QString weekOfYearText(const QDate& date)
{
    return QString::number(weekOfYear(date)) + QLatin1Char('/') + QString::number(weeksInYear(date.year()));
}

namespace {

QDate clampedDate(int year, int month, int day)
{
    const int length = QDate(year, month, 1).daysInMonth();
    return QDate(year, month, std::min(day, length));
}

} // namespace

QDate previousMonth(const QDate& date)
{
    if (date.month() == 1)
        return clampedDate(date.year() - 1, 12, date.day());
    return clampedDate(date.year(), date.month() - 1, date.day());
}

QDate nextMonth(const QDate& date)
{
    if (date.month() == 12)
        return clampedDate(date.year() + 1, 1, date.day());
    return clampedDate(date.year(), date.month() + 1, date.day());
}

QString dateCaption(const QDate& date, const FormatSettings& settings)
{
    return formatDate(QStringLiteral("mmm d\",\" yyyy"), date, settings);
}

QString weekdayCaption(const QDate& date, const FormatSettings& settings)
{
    return formatDate(QStringLiteral("dddd"), date, settings);
}

} // namespace CalendarDates

MonthLayout::MonthLayout(int year, int month, int weekStart)
    : m_year(year), m_month(month), m_weekStart(weekStart >= 0 && weekStart <= 6 ? weekStart : 0)
{
    const QDate first(year, month, 1);
    m_days = first.isValid() ? first.daysInMonth() : 0;
    const int firstWeekday = first.isValid() ? CalendarDates::sundayWeekday(first) - 1 : 0; // 0 = Sunday
    m_firstColumn = (firstWeekday - m_weekStart + 7) % 7;
}

int MonthLayout::dayAt(int row, int column) const
{
    if (row < 1 || row >= Rows || column < 0 || column >= Columns)
        return 0;
    const int day = (row - 1) * Columns + column - m_firstColumn + 1;
    return day >= 1 && day <= m_days ? day : 0;
}

bool MonthLayout::cellOfDay(int day, int* row, int* column) const
{
    if (day < 1 || day > m_days)
        return false;
    const int index = m_firstColumn + day - 1;
    *row = 1 + index / Columns;
    *column = index % Columns;
    return true;
}

QStringList MonthLayout::headerNames(const FormatSettings& settings) const
{
    QStringList names;
    for (int column = 0; column < Columns; ++column)
        names.append(settings.shortDayNames.value((m_weekStart + column) % 7));
    return names;
}

QString MonthLayout::cellText(int row, int column, const FormatSettings& settings) const
{
    if (row == 0 && column >= 0 && column < Columns)
        return settings.shortDayNames.value((m_weekStart + column) % 7);
    const int day = dayAt(row, column);
    return day > 0 ? QString::number(day) : QString();
}
