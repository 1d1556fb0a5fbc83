#include "core/daynumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr qint64 epochJulianDay = 2415019; // QDate(1899, 12, 30).toJulianDay()
constexpr double msecsPerDay = 86400000.0;

} // namespace

double dayNumber(const QDate& date)
{
    // An invalid date has no day; it counts as "no date" rather than overflowing.
    if (!date.isValid())
        return NoDueDate;
    return double(date.toJulianDay() - epochJulianDay);
}

double dayNumber(const QDateTime& when)
{
    if (!when.date().isValid())
        return NoDueDate;
    const double days = dayNumber(when.date());
    const double fraction = when.time().msecsSinceStartOfDay() / msecsPerDay;
    // Before the epoch the fraction still counts forward from midnight of that day.
    return days < 0 ? days - fraction : days + fraction;
}

QDate dateOfDayNumber(double day)
{
    if (!std::isfinite(day) || std::fabs(day) > 3.0e6)
        return {};
    return QDate::fromJulianDay(qint64(std::trunc(day)) + epochJulianDay);
}

QTime timeOfDayNumber(double day)
{
    if (!std::isfinite(day))
        return QTime(0, 0);
    const double fraction = std::fabs(day - std::trunc(day));
    qint64 msecs = qint64(std::llround(fraction * msecsPerDay));
    if (msecs >= qint64(msecsPerDay))
        msecs = qint64(msecsPerDay) - 1;
    return QTime::fromMSecsSinceStartOfDay(int(msecs));
}

QDateTime dateTimeOfDayNumber(double day)
{
    return QDateTime(dateOfDayNumber(day), timeOfDayNumber(day));
}

QString dayNumberText(double day)
{
    if (!std::isfinite(day))
        return QStringLiteral("0");
    if (day == 0)
        return QStringLiteral("0");
    const int integerDigits = int(std::floor(std::log10(std::fabs(day)))) + 1;
    const int decimals = std::clamp(15 - integerDigits, 0, 340);
    char buffer[400];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, day);
    QByteArray text(buffer, length);
    if (text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.'))
            text.chop(1);
    }
    if (text == "-0")
        return QStringLiteral("0");
    return QString::fromLatin1(text);
}

bool parseDayNumber(QStringView text, double* day)
{
    // Stored day numbers are short ASCII decimals: read those directly, the rare rest through Qt.
    text = text.trimmed();
    if (!text.isEmpty() && text.size() < 40) {
        char buffer[40];
        qsizetype length = 0;
        bool ascii = true;
        for (const QChar c : text) {
            if (c.unicode() >= 0x80) {
                ascii = false;
                break;
            }
            buffer[length++] = char(c.unicode());
        }
        // from_chars takes no "+"; such texts go the long way.
        if (ascii && buffer[0] != '+') {
            double value = 0;
            const auto [end, error] = std::from_chars(buffer, buffer + length, value);
            if (error == std::errc() && end == buffer + length) {
                if (!std::isfinite(value))
                    return false;
                *day = value;
                return true;
            }
        }
    }
    bool ok = false;
    // Plain decimal text only: toDouble is locale-independent for QStringView.
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    *day = value;
    return true;
}

bool wholeDayOf(QStringView text, qint64* day, bool* exact)
{
    qint64 whole = 0;
    qsizetype pos = 0;
    // More digits than that could overflow; such texts are read the long way.
    for (; pos < text.size() && pos < 15 && text[pos].unicode() >= '0' && text[pos].unicode() <= '9'; ++pos)
        whole = whole * 10 + (text[pos].unicode() - '0');
    if (pos == 0 || (pos < text.size() && text[pos] != QLatin1Char('.')))
        return false;
    for (qsizetype k = pos + 1; k < text.size(); ++k) {
        if (text[k].unicode() < '0' || text[k].unicode() > '9')
            return false;
    }
    *day = whole;
    // Fifteen digits in all are held closer than the distance to the next whole number; a longer
    // fraction may round up to it when read.
    *exact = text.size() - (pos < text.size() ? 1 : 0) <= 15;
    return true;
}

double dueDayNumber(QStringView cell)
{
    double day = NoDueDate;
    if (!parseDayNumber(cell, &day))
        return NoDueDate;
    return day;
}
