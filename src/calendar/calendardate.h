#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

struct FormatSettings;

// Day and week numbers of the calendar panel, month navigation and the layout of the month grid.
namespace CalendarDates {

// Weekday with Sunday = 1 ... Saturday = 7, the numbering the tables and rules use.
int sundayWeekday(const QDate& date);

// 366 in leap years (Gregorian rule), else 365.
int daysInYear(int year);
// 1 for 1 January.
int dayOfYear(const QDate& date);
// Always 53: a year has 52 whole weeks and a part of one more.
int weeksInYear(int year);
// (weekday of 1 January, Sunday = 1, plus day of year - 1) div 7, at least 1. The first day of the
// week the user chose does not take part, so the number is the same whatever it is.
int weekOfYear(const QDate& date);
// "45/365" and "7/53" for the day and week panel.
QString dayOfYearText(const QDate& date);
QString weekOfYearText(const QDate& date);

// The same day of the previous or next month, clamped to that month's length (31 March gives
// 28 or 29 February); December goes on to January of the next year.
QDate previousMonth(const QDate& date);
QDate nextMonth(const QDate& date);

// The date captions above the pages: "Mar 5, 2004" and the full weekday name.
QString dateCaption(const QDate& date, const FormatSettings& settings);
QString weekdayCaption(const QDate& date, const FormatSettings& settings);

} // namespace CalendarDates

// The month calendar's 7 x 7 grid: row 0 holds the weekday abbreviations starting at the first day
// of the week, rows 1 to 6 the days, the 1st in row 1 under its weekday.
class MonthLayout final {
public:
    static constexpr int Rows = 7;
    static constexpr int Columns = 7;

    // weekStart: 0 = Sunday ... 6 = Saturday; other values count as Sunday.
    MonthLayout(int year, int month, int weekStart);

    int year() const { return m_year; }
    int month() const { return m_month; }
    int weekStart() const { return m_weekStart; }
    int daysInMonth() const { return m_days; }

    // The day shown in a cell, 0 for the header row, empty cells and cells outside the grid.
    int dayAt(int row, int column) const;
    // The cell of a day (1 to daysInMonth); false for any other number.
    bool cellOfDay(int day, int* row, int* column) const;
    // The cell text: the weekday abbreviation in row 0, the day number, or empty.
    QString cellText(int row, int column, const FormatSettings& settings) const;
    // The seven header abbreviations in column order.
    QStringList headerNames(const FormatSettings& settings) const;

private:
    int m_year;
    int m_month;
    int m_weekStart;
    int m_days;
    int m_firstColumn; // column of the 1st in row 1
};
