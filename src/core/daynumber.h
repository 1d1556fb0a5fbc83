#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringView>

// A moment as days since 30 December 1899 with the time of day as the fraction (0.5 is noon).
// Stored as text without regard to the user's locale.
inline constexpr double NoDueDate = 100000.0; // 14 October 2173: sorts after every real date
inline constexpr QStringView NoDueDateText = u"100000";

// An invalid date gives NoDueDate.
double dayNumber(const QDate& date);
double dayNumber(const QDateTime& when);
// The date of a day number (its whole part); invalid for values outside the calendar.
QDate dateOfDayNumber(double day);
QTime timeOfDayNumber(double day);
QDateTime dateTimeOfDayNumber(double day);

// Shortest text of at most 15 significant digits, "." as decimal mark, never an exponent.
QString dayNumberText(double day);
// Reads a day number written by dayNumberText (or any plain decimal number); false when the
// text is not a number.
bool parseDayNumber(QStringView text, double* day);
// The due cell's value: the day number, or NoDueDate when the cell is empty or unreadable.
double dueDayNumber(QStringView cell);
// The whole day of a plain "digits[.digits]" text, read without converting the number: the
// value floors to *day, or when *exact is false (more than 15 digits) possibly to *day + 1, as a
// long fraction may round up. False for any other text.
bool wholeDayOf(QStringView text, qint64* day, bool* exact);
