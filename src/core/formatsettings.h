#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>

// The formatting settings every date and time shown to the user goes through. Filled from the
// system locale; a language file's locale block replaces them when it carries one.
// Patterns use these letters: d dd ddd dddd ddddd dddddd, m mm mmm mmmm, yy yyyy, h hh, n nn,
// s ss, t tt, c, am/pm a/p ampm, "/" (date separator), ":" (time separator), quoted literals.
// Letters are read without regard to case; m or mm right after h or hh is minutes. "am/pm" and "a/p"
// show the pattern's own letters, "ampm" the settings' texts; with any of them hours are 12-hour.
// An empty pattern means "c".
struct FormatSettings {
    QString currencySymbol;
    int currencyFormat = 0;
    int negativeCurrencyFormat = 0;
    QChar thousandSeparator = QLatin1Char(',');
    QChar decimalSeparator = QLatin1Char('.');
    int currencyDecimals = 2;
    QChar dateSeparator = QLatin1Char('/');
    QString shortDateFormat; // pattern letters as above, e.g. "d/mm/yyyy"
    QString longDateFormat;  // e.g. "dddd, mmmm d, yyyy"
    QChar timeSeparator = QLatin1Char(':');
    QString timeAMString;
    QString timePMString;
    QString shortTimeFormat;     // e.g. "h:nn"
    QString longTimeFormat;      // e.g. "h:nn:ss"
    QStringList shortMonthNames; // 12 entries, January first
    QStringList longMonthNames;  // 12 entries
    QStringList shortDayNames;   // 7 entries, Sunday first
    QStringList longDayNames;    // 7 entries, Sunday first
    // A two-digit year yy is read into the 100 years that start twoDigitYearWindow years before the
    // current year (window 50 in 2025: 1975 to 2074); a window of 0 means the current century.
    int twoDigitYearWindow = 50;
    QChar listSeparator = QLatin1Char(',');

    // Settings taken from a locale (the system locale by default). A two-digit year in the locale's
    // short date is widened to four digits, so that dates written out read back the same.
    static FormatSettings fromLocale(const QLocale& locale);

    // The settings in force for the whole program, initially from the system locale.
    static const FormatSettings& current();
    static void setCurrent(const FormatSettings& settings);
    static void resetToSystem();
};

// Formats a date and time with a pattern of the letters above.
QString formatDateTime(const QString& pattern, const QDateTime& when,
                       const FormatSettings& settings = FormatSettings::current());
QString formatDate(const QString& pattern, const QDate& date,
                   const FormatSettings& settings = FormatSettings::current());

// The short and long date and time of the settings in force.
QString shortDateText(const QDate& date, const FormatSettings& settings = FormatSettings::current());
QString longDateText(const QDate& date, const FormatSettings& settings = FormatSettings::current());
QString shortTimeText(const QTime& time, const FormatSettings& settings = FormatSettings::current());
QString longTimeText(const QTime& time, const FormatSettings& settings = FormatSettings::current());

// Reads a date written in the short date format (as a user or another program wrote it):
// day, month and year in the order the format gives, separated by the date separator or any
// non-alphanumeric character; month names are accepted; a missing year is this year; two-digit
// years use the window. Returns an invalid QDate when the text is not such a date.
QDate parseShortDate(const QString& text, const FormatSettings& settings = FormatSettings::current());
// Reads a time "h:nn[:ss]" with an optional AM/PM marker; invalid QTime when unreadable.
QTime parseTime(const QString& text, const FormatSettings& settings = FormatSettings::current());
