#include "core/formatsettings.h"

#include "core/clock.h"

#include <QList>
#include <QStringView>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <utility>

namespace {

// A nested format (ddddd, dddddd, t, tt, c) may itself name a nested format; deeper levels are
// dropped so that a short date format such as "ddddd" cannot recurse without end.
constexpr int maxFormatDepth = 2;

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QChar upper(QChar c)
{
    return isAsciiLetter(c) ? c.toUpper() : c;
}

// Length of the run of the letter at `pos`, compared without regard to case.
qsizetype runLength(QStringView pattern, qsizetype pos)
{
    const QChar letter = upper(pattern[pos]);
    qsizetype end = pos + 1;
    while (end < pattern.size() && upper(pattern[end]) == letter)
        ++end;
    return end - pos;
}

bool startsWithAt(QStringView pattern, qsizetype pos, QStringView what)
{
    return pattern.sliced(pos).startsWith(what, Qt::CaseInsensitive);
}

// The text of the quote that starts at `pos`, moving `pos` past its closing quote; an unclosed quote
// runs to the end of the pattern.
QStringView takeQuoted(QStringView pattern, qsizetype& pos)
{
    const qsizetype close = pattern.indexOf(pattern[pos], pos + 1);
    const qsizetype end = close < 0 ? pattern.size() : close;
    const QStringView text = pattern.sliced(pos + 1, end - pos - 1);
    pos = close < 0 ? end : end + 1;
    return text;
}

// A pattern with an AM/PM marker (outside quotes) shows its hours on the 12-hour clock, wherever the
// marker stands (some locales put it before the hour).
bool hasAmPmMarker(QStringView pattern)
{
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern[i];
        if (c == u'"' || c == u'\'') {
            takeQuoted(pattern, i);
            continue;
        }
        if ((c == u'a' || c == u'A') && (startsWithAt(pattern, i, u"am/pm") || startsWithAt(pattern, i, u"a/p") ||
                                         startsWithAt(pattern, i, u"ampm")))
            return true;
        ++i;
    }
    return false;
}

QString number(int value, int digits)
{
    return QString::number(value).rightJustified(digits, u'0');
}

class Formatter final {
public:
    Formatter(const FormatSettings& settings, QDate date, QTime time) : m_s(settings), m_date(date), m_time(time) {}

    void append(QStringView pattern, int depth);
    QString result() const { return m_out; }

private:
    void appendAmPm(QStringView pattern, qsizetype& i);

    const FormatSettings& m_s;
    QDate m_date;
    QTime m_time;
    QString m_out;
};

void Formatter::append(QStringView pattern, int depth)
{
    if (depth >= maxFormatDepth)
        return;
    const bool twelveHour = hasAmPmMarker(pattern);
    QChar lastToken = u' ';
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern[i];
        if (!isAsciiLetter(c)) {
            if (c == u'"' || c == u'\'') {
                m_out += takeQuoted(pattern, i);
                continue;
            }
            if (c == u'/' && !m_s.dateSeparator.isNull())
                m_out += m_s.dateSeparator;
            else if (c == u':' && !m_s.timeSeparator.isNull())
                m_out += m_s.timeSeparator;
            else if (c != u'/' && c != u':')
                m_out += c;
            ++i;
            continue;
        }

        QChar token = upper(c);
        // "m" right after an hour (only separators between) is minutes: "h:mm", "hh mm".
        if (token == u'M' && lastToken == u'H')
            token = u'N';
        lastToken = token;
        if (token == u'A') {
            appendAmPm(pattern, i);
            continue;
        }
        const qsizetype count = runLength(pattern, i);
        switch (token.unicode()) {
        case u'Y':
            m_out += count <= 2 ? number(std::abs(m_date.year()) % 100, 2) : number(m_date.year(), 4);
            break;
        case u'M':
            if (count <= 2)
                m_out += number(m_date.month(), int(count));
            else
                m_out += (count == 3 ? m_s.shortMonthNames : m_s.longMonthNames).value(m_date.month() - 1);
            break;
        case u'D':
            if (count <= 2)
                m_out += number(m_date.day(), int(count));
            else if (count <= 4)
                m_out += (count == 3 ? m_s.shortDayNames : m_s.longDayNames).value(m_date.dayOfWeek() % 7);
            else
                append(count == 5 ? m_s.shortDateFormat : m_s.longDateFormat, depth + 1);
            break;
        case u'H': {
            int hour = m_time.hour();
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            m_out += number(hour, int(std::min<qsizetype>(count, 2)));
            break;
        }
        case u'N':
            m_out += number(m_time.minute(), int(std::min<qsizetype>(count, 2)));
            break;
        case u'S':
            m_out += number(m_time.second(), int(std::min<qsizetype>(count, 2)));
            break;
        case u'T':
            append(count == 1 ? m_s.shortTimeFormat : m_s.longTimeFormat, depth + 1);
            break;
        case u'C':
            append(m_s.shortDateFormat, depth + 1);
            if (m_time != QTime(0, 0)) {
                m_out += u' ';
                append(m_s.longTimeFormat, depth + 1);
            }
            break;
        default:
            m_out += pattern.sliced(i, count);
            break;
        }
        i += count;
    }
}

// "am/pm" and "a/p" show the pattern's own letters (so their case follows the pattern); "ampm"
// shows the settings' morning and afternoon texts. Any other "a" is copied.
void Formatter::appendAmPm(QStringView pattern, qsizetype& i)
{
    const bool afternoon = m_time.hour() >= 12;
    if (startsWithAt(pattern, i, u"am/pm")) {
        m_out += pattern.sliced(afternoon ? i + 3 : i, 2);
        i += 5;
    } else if (startsWithAt(pattern, i, u"a/p")) {
        m_out += pattern[afternoon ? i + 2 : i];
        i += 3;
    } else if (startsWithAt(pattern, i, u"ampm")) {
        m_out += afternoon ? m_s.timePMString : m_s.timeAMString;
        i += 4;
    } else {
        m_out += pattern[i];
        ++i;
    }
}

QString format(QStringView pattern, QDate date, QTime time, const FormatSettings& settings)
{
    if (!date.isValid() || !time.isValid())
        return {};
    Formatter formatter(settings, date, time);
    formatter.append(pattern.isEmpty() ? QStringView(u"c") : pattern, 0);
    return formatter.result();
}

// A date only for the time patterns; its value never shows.
const QDate timeOnlyDate(1899, 12, 30);

// ---- Conversion of Qt's locale formats

enum class PatternKind { ShortDate, LongDate, Time };

// Text that must be shown as it stands, quoted when it holds anything the pattern would read, and
// words too, so that the date reader knows to pass over them.
QString literal(const QString& text)
{
    const bool plain = std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.isLetter() || c == u'/' || c == u':' || c == u'"' || c == u'\'';
    });
    if (plain)
        return text;
    if (!text.contains(u'"'))
        return u'"' + text + u'"';
    if (!text.contains(u'\''))
        return u'\'' + text + u'\'';
    QString out;
    for (QChar c : text)
        out += literal(QString(c));
    return out;
}

// Reads a quoted part of a Qt format starting at `pos` (a quote); "''" is a quote character.
QString qtQuoted(const QString& qt, qsizetype& pos)
{
    QString text;
    ++pos;
    if (pos < qt.size() && qt[pos] == u'\'') {
        ++pos;
        return QStringLiteral("'");
    }
    while (pos < qt.size()) {
        if (qt[pos] == u'\'') {
            if (pos + 1 < qt.size() && qt[pos + 1] == u'\'') {
                text += u'\'';
                pos += 2;
                continue;
            }
            ++pos;
            break;
        }
        text += qt[pos++];
    }
    return text;
}

QString fromQtPattern(const QString& qt, PatternKind kind, QChar dateSeparator, QChar timeSeparator)
{
    QString out;
    qsizetype i = 0;
    while (i < qt.size()) {
        const QChar c = qt[i];
        if (c == u'\'') {
            out += literal(qtQuoted(qt, i));
            continue;
        }
        if (!isAsciiLetter(c)) {
            if (kind == PatternKind::ShortDate && c == dateSeparator)
                out += u'/';
            else if (kind == PatternKind::Time && c == timeSeparator)
                out += u':';
            else
                out += literal(QString(c));
            ++i;
            continue;
        }
        qsizetype count = 1;
        while (i + count < qt.size() && qt[i + count] == c)
            ++count;
        const qsizetype capped2 = std::min<qsizetype>(count, 2);
        switch (c.unicode()) {
        case u'd':
            out += QString(std::min<qsizetype>(count, 4), u'd');
            break;
        case u'M':
            out += QString(std::min<qsizetype>(count, 4), u'm');
            break;
        case u'y':
            out += count <= 2 && kind != PatternKind::ShortDate ? QStringLiteral("yy") : QStringLiteral("yyyy");
            break;
        case u'h':
        case u'H':
            out += QString(capped2, u'h');
            break;
        case u'm':
            out += QString(capped2, u'n');
            break;
        case u's':
            out += QString(capped2, u's');
            break;
        case u'z': // milliseconds and time zone are not shown
        case u't':
            break;
        case u'a':
        case u'A':
            count = 1;
            if (i + 1 < qt.size() && (qt[i + 1] == u'p' || qt[i + 1] == u'P'))
                count = 2;
            out += QStringLiteral("ampm");
            break;
        default:
            out += literal(QString(count, c));
            break;
        }
        i += count;
    }
    return out.trimmed();
}

// The first punctuation after the first field of `fields` in a Qt format, or `fallback`.
QChar qtSeparator(const QString& qt, QStringView fields, QChar fallback)
{
    bool afterField = false;
    for (qsizetype i = 0; i < qt.size(); ++i) {
        const QChar c = qt[i];
        if (c == u'\'') {
            qtQuoted(qt, i);
            --i;
            if (afterField)
                return fallback;
            continue;
        }
        if (fields.contains(c)) {
            afterField = true;
        } else if (afterField && !c.isSpace() && c.category() != QChar::Other_Format) { // skip direction marks
            return c.isLetterOrNumber() ? fallback : c;
        }
    }
    return fallback;
}

QChar firstChar(const QString& text, QChar fallback)
{
    return text.isEmpty() ? fallback : text.front();
}

// Windows-style currency placement codes: positive 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"; negative
// 0 to 15 as the templates below.
void fillCurrencyFormats(const QLocale& locale, FormatSettings& s)
{
    const auto normalised = [](QString text) {
        text.replace(QChar(0x00A0), u' ');
        text.replace(QChar(0x202F), u' ');
        return text;
    };
    const QString symbol = normalised(locale.currencySymbol());
    const QString positive = normalised(locale.toCurrencyString(1.0));
    const qsizetype decimalAt = positive.indexOf(locale.decimalPoint());
    s.currencyDecimals = 0;
    if (decimalAt >= 0) {
        while (decimalAt + 1 + s.currencyDecimals < positive.size() &&
               isAsciiDigit(positive[decimalAt + 1 + s.currencyDecimals]))
            ++s.currencyDecimals;
    }
    if (symbol.isEmpty())
        return;
    const qsizetype symbolAt = positive.indexOf(symbol);
    if (symbolAt == 0)
        s.currencyFormat = symbol.size() < positive.size() && positive[symbol.size()] == u' ' ? 2 : 0;
    else if (symbolAt > 0)
        s.currencyFormat = positive[symbolAt - 1] == u' ' ? 3 : 1;

    static const std::array<const char16_t*, 16> templates = {u"($1)", u"-$1",  u"$-1",   u"$1-",  u"(1$)", u"-1$",
                                                              u"1-$",  u"1$-",  u"-1 $",  u"-$ 1", u"1 $-", u"$ 1-",
                                                              u"$ -1", u"1- $", u"($ 1)", u"(1 $)"};
    const QString amount = locale.toString(1.0, 'f', s.currencyDecimals);
    const QString negative = normalised(locale.toCurrencyString(-1.0));
    for (int n = 0; n < int(templates.size()); ++n) {
        QString candidate;
        for (const char16_t* p = templates[size_t(n)]; *p; ++p) {
            if (*p == u'$')
                candidate += symbol;
            else if (*p == u'1')
                candidate += amount;
            else if (*p == u'-')
                candidate += locale.negativeSign();
            else
                candidate += QChar(*p);
        }
        if (candidate == negative) {
            s.negativeCurrencyFormat = n;
            return;
        }
    }
}

FormatSettings& programSettings()
{
    static FormatSettings settings = FormatSettings::fromLocale(QLocale::system());
    return settings;
}

// ---- Reading dates and times

enum class Field { Day, Month, Year };
using FieldOrder = std::array<Field, 3>;

// The order of day, month and year in a short date pattern. A pattern without all three follows its
// first field: year first is year-month-day, month first month-day-year, otherwise day-month-year.
FieldOrder dateOrder(QStringView pattern)
{
    QList<Field> seen;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern[i];
        if (c == u'"' || c == u'\'') {
            takeQuoted(pattern, i);
            continue;
        }
        if (!isAsciiLetter(c)) {
            ++i;
            continue;
        }
        const qsizetype count = runLength(pattern, i);
        const QChar token = upper(c);
        std::optional<Field> field;
        if (token == u'D' && count <= 2)
            field = Field::Day;
        else if (token == u'M' && count <= 4)
            field = Field::Month;
        else if (token == u'Y')
            field = Field::Year;
        if (field && !seen.contains(*field))
            seen.append(*field);
        i += count;
    }
    if (seen.size() == 3)
        return {seen[0], seen[1], seen[2]};
    if (!seen.isEmpty() && seen.front() == Field::Year)
        return {Field::Year, Field::Month, Field::Day};
    if (!seen.isEmpty() && seen.front() == Field::Month)
        return {Field::Month, Field::Day, Field::Year};
    return {Field::Day, Field::Month, Field::Year};
}

int expandTwoDigitYear(int twoDigits, int currentYear, int window)
{
    if (window <= 0)
        return currentYear / 100 * 100 + twoDigits;
    const int first = currentYear - window;
    const int year = first / 100 * 100 + twoDigits;
    return year < first ? year + 100 : year;
}

QString withoutTrailingDot(const QString& name)
{
    return name.endsWith(u'.') ? name.chopped(1) : name;
}

// The month (1 to 12) a name stands for, or 0.
int monthFromName(const QString& word, const FormatSettings& settings)
{
    for (const QStringList* names : {&settings.longMonthNames, &settings.shortMonthNames}) {
        for (int m = 0; m < std::min<qsizetype>(names->size(), 12); ++m) {
            const QString name = withoutTrailingDot(names->at(m).trimmed());
            if (!name.isEmpty() && word.compare(name, Qt::CaseInsensitive) == 0)
                return m + 1;
        }
    }
    return 0;
}

struct DateWord {
    QString text;
    bool numeric = false;
};

bool isWordChar(QChar c)
{
    return isAsciiDigit(c) || c.isLetterOrNumber() || c.isMark();
}

// Splits a date into numbers and words. Between two of them (and after the last) stands one
// punctuation character at most, with any blanks or direction marks; digits and letters must be
// separated.
std::optional<QList<DateWord>> splitDate(QStringView text)
{
    QList<DateWord> words;
    qsizetype i = 0;
    while (i < text.size()) {
        DateWord word;
        word.numeric = isAsciiDigit(text[i]);
        const qsizetype start = i;
        while (i < text.size() &&
               (word.numeric ? isAsciiDigit(text[i]) : isWordChar(text[i]) && !isAsciiDigit(text[i])))
            ++i;
        if (i == start)
            return std::nullopt;
        word.text = text.sliced(start, i - start).toString();
        words.append(word);
        int punctuation = 0;
        const qsizetype separatorStart = i;
        while (i < text.size() && !isWordChar(text[i])) {
            if (!text[i].isSpace() && text[i].category() != QChar::Other_Format)
                ++punctuation;
            ++i;
        }
        if (punctuation > 1 || (i == separatorStart && i < text.size()))
            return std::nullopt;
    }
    return words;
}

// The non-blank quoted texts of a pattern.
QStringList quotedTexts(QStringView pattern)
{
    QStringList texts;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern[i];
        if (c != u'"' && c != u'\'') {
            ++i;
            continue;
        }
        const QString text = takeQuoted(pattern, i).trimmed().toString();
        if (!text.isEmpty())
            texts.append(text);
    }
    return texts;
}

} // namespace

FormatSettings FormatSettings::fromLocale(const QLocale& locale)
{
    FormatSettings s;
    s.currencySymbol = locale.currencySymbol();
    fillCurrencyFormats(locale, s);
    s.thousandSeparator = firstChar(locale.groupSeparator(), QLatin1Char(','));
    s.decimalSeparator = firstChar(locale.decimalPoint(), QLatin1Char('.'));
    s.listSeparator = s.decimalSeparator == u',' ? QLatin1Char(';') : QLatin1Char(',');

    const QString qtShortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString qtShortTime = locale.timeFormat(QLocale::ShortFormat);
    s.dateSeparator = qtSeparator(qtShortDate, u"dMy", QLatin1Char('/'));
    s.timeSeparator = qtSeparator(qtShortTime, u"hH", QLatin1Char(':'));
    s.shortDateFormat = fromQtPattern(qtShortDate, PatternKind::ShortDate, s.dateSeparator, s.timeSeparator);
    s.longDateFormat =
        fromQtPattern(locale.dateFormat(QLocale::LongFormat), PatternKind::LongDate, s.dateSeparator, s.timeSeparator);
    s.shortTimeFormat = fromQtPattern(qtShortTime, PatternKind::Time, s.dateSeparator, s.timeSeparator);
    s.longTimeFormat =
        fromQtPattern(locale.timeFormat(QLocale::LongFormat), PatternKind::Time, s.dateSeparator, s.timeSeparator);
    s.timeAMString = locale.amText();
    s.timePMString = locale.pmText();

    for (int m = 1; m <= 12; ++m) {
        s.shortMonthNames.append(locale.monthName(m, QLocale::ShortFormat));
        s.longMonthNames.append(locale.monthName(m, QLocale::LongFormat));
    }
    for (int d : {7, 1, 2, 3, 4, 5, 6}) { // Qt counts Monday as 1; the lists start on Sunday
        s.shortDayNames.append(locale.dayName(d, QLocale::ShortFormat));
        s.longDayNames.append(locale.dayName(d, QLocale::LongFormat));
    }
    return s;
}

const FormatSettings& FormatSettings::current()
{
    return programSettings();
}

void FormatSettings::setCurrent(const FormatSettings& settings)
{
    programSettings() = settings;
}

void FormatSettings::resetToSystem()
{
    programSettings() = fromLocale(QLocale::system());
}

QString formatDateTime(const QString& pattern, const QDateTime& when, const FormatSettings& settings)
{
    if (!when.isValid())
        return {};
    return format(pattern, when.date(), when.time(), settings);
}

QString formatDate(const QString& pattern, const QDate& date, const FormatSettings& settings)
{
    return format(pattern, date, QTime(0, 0), settings);
}

QString shortDateText(const QDate& date, const FormatSettings& settings)
{
    return format(u"ddddd", date, QTime(0, 0), settings);
}

QString longDateText(const QDate& date, const FormatSettings& settings)
{
    return format(u"dddddd", date, QTime(0, 0), settings);
}

QString shortTimeText(const QTime& time, const FormatSettings& settings)
{
    return format(u"t", timeOnlyDate, time, settings);
}

QString longTimeText(const QTime& time, const FormatSettings& settings)
{
    return format(u"tt", timeOnlyDate, time, settings);
}

QDate parseShortDate(const QString& text, const FormatSettings& settings)
{
    // Quoted text of the short date (such as a "y." after the year) is read over.
    QString bare = text;
    for (const QString& fixed : quotedTexts(settings.shortDateFormat)) {
        const qsizetype at = bare.indexOf(fixed, 0, Qt::CaseInsensitive);
        if (at >= 0)
            bare.remove(at, fixed.size());
    }
    const std::optional<QList<DateWord>> words = splitDate(QStringView(bare).trimmed());
    if (!words || words->size() < 2 || words->size() > 3)
        return {};

    int month = 0;
    QList<const DateWord*> numbers;
    for (const DateWord& word : *words) {
        if (word.numeric) {
            if (word.text.size() > 4)
                return {};
            numbers.append(&word);
        } else {
            if (month != 0)
                return {};
            month = monthFromName(word.text, settings);
            if (month == 0)
                return {};
        }
    }

    // The numbers fill the fields of the short date in its order, leaving out a named month and,
    // when only two fields are written, the year.
    QList<Field> fields;
    for (Field f : dateOrder(settings.shortDateFormat)) {
        if (!(f == Field::Month && month != 0))
            fields.append(f);
    }
    if (numbers.size() < fields.size())
        fields.removeOne(Field::Year);
    if (numbers.size() != fields.size())
        return {};

    int day = 0;
    int year = Clock::current().today().year();
    for (qsizetype n = 0; n < numbers.size(); ++n) {
        const int value = numbers[n]->text.toInt();
        switch (fields[n]) {
        case Field::Day:
            day = value;
            break;
        case Field::Month:
            month = value;
            break;
        case Field::Year:
            year = numbers[n]->text.size() <= 2
                       ? expandTwoDigitYear(value, Clock::current().today().year(), settings.twoDigitYearWindow)
                       : value;
            break;
        }
    }
    return QDate::isValid(year, month, day) ? QDate(year, month, day) : QDate();
}

QTime parseTime(const QString& text, const FormatSettings& settings)
{
    QString rest = text.trimmed();

    // An AM/PM marker before or after the time; the longest that fits wins ("AM" before "A").
    QStringList markers = {settings.timeAMString, settings.timePMString, QStringLiteral("AM"),
                           QStringLiteral("PM"),  QStringLiteral("A"),   QStringLiteral("P")};
    std::stable_sort(markers.begin(), markers.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    enum { None, Morning, Afternoon } half = None;
    for (const QString& marker : std::as_const(markers)) {
        const QString m = marker.trimmed();
        if (m.isEmpty())
            continue;
        const bool atEnd = rest.endsWith(m, Qt::CaseInsensitive);
        if (!atEnd && !rest.startsWith(m, Qt::CaseInsensitive))
            continue;
        const bool afternoon = m.compare(settings.timePMString.trimmed(), Qt::CaseInsensitive) == 0 ||
                               m.compare(u"PM", Qt::CaseInsensitive) == 0 || m.compare(u"P", Qt::CaseInsensitive) == 0;
        half = afternoon ? Afternoon : Morning;
        rest = (atEnd ? rest.chopped(m.size()) : rest.sliced(m.size())).trimmed();
        break;
    }

    int parts[3] = {0, 0, 0};
    int partCount = 0;
    qsizetype i = 0;
    while (partCount < 3) {
        const qsizetype start = i;
        while (i < rest.size() && i - start < 2 && isAsciiDigit(rest[i]))
            ++i;
        if (i == start)
            return {};
        parts[partCount++] = QStringView(rest).sliced(start, i - start).toInt();
        if (i == rest.size())
            break;
        if (rest[i] != settings.timeSeparator && rest[i] != u':')
            return {};
        ++i;
    }
    if (partCount < 2 || i != rest.size())
        return {};

    int hour = parts[0];
    if (half != None) {
        if (hour > 12)
            return {};
        if (half == Afternoon && hour < 12)
            hour += 12;
        else if (half == Morning && hour == 12)
            hour = 0;
    }
    return QTime::isValid(hour, parts[1], parts[2]) ? QTime(hour, parts[1], parts[2]) : QTime();
}
