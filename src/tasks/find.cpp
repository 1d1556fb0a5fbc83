#include "tasks/find.h"

#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"

#include <cmath>

namespace Find {

namespace {

// Lower-cases the way the locale does. For ASCII text outside the locales that lower "I" to
// something else, plain ASCII lower-casing gives the same result without the cost of the locale's
// conversion, which matters on a hundred thousand rows.
class Lowering {
public:
    explicit Lowering(const QLocale& locale)
        : m_locale(locale),
          m_asciiSafe(locale.language() != QLocale::Turkish && locale.language() != QLocale::Azerbaijani)
    {}

    // The lower-cased concatenation of a and b; valid until the next call.
    QStringView lower(QStringView a, QStringView b)
    {
        m_joined.resize(a.size() + b.size());
        char16_t* out = reinterpret_cast<char16_t*>(m_joined.data());
        bool ascii = m_asciiSafe;
        for (QStringView part : {a, b}) {
            for (const QChar ch : part) {
                const char16_t c = ch.unicode();
                if (c >= 0x80)
                    ascii = false;
                *out++ = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
            }
        }
        if (ascii)
            return m_joined;
        m_lowered = m_locale.toLower(a.toString() + b);
        return m_lowered;
    }

private:
    const QLocale& m_locale;
    bool m_asciiSafe;
    QString m_joined;
    QString m_lowered;
};

// Whether the needle occurs in a immediately followed by b.
class Matcher {
public:
    Matcher(const QString& text, bool caseSensitive, const QLocale& locale)
        : m_caseSensitive(caseSensitive), m_lowering(locale), m_needle(caseSensitive ? text : locale.toLower(text))
    {}

    bool matches(QStringView a, QStringView b = {})
    {
        if (!m_caseSensitive)
            return m_lowering.lower(a, b).contains(m_needle);
        if (a.contains(m_needle) || b.contains(m_needle))
            return true;
        // A match across the join needs at most needle-1 characters of each side.
        const qsizetype reach = m_needle.size() - 1;
        if (reach <= 0 || a.isEmpty() || b.isEmpty())
            return false;
        m_seam.resize(0);
        m_seam.append(a.right(reach));
        m_seam.append(b.left(reach));
        return m_seam.contains(m_needle);
    }

private:
    bool m_caseSensitive;
    Lowering m_lowering;
    QString m_needle;
    QString m_seam;
};

// The whole day of a day-number cell; false when the cell is no number. Plain "46000" and
// "46000.4375" are read directly: parsing a floating-point number on every row of a large table
// would cost more than the search itself.
bool wholeDayOfCell(QStringView cell, qint64* day)
{
    qint64 value = 0;
    qsizetype i = 0;
    for (; i < cell.size() && i < 12 && cell[i] >= u'0' && cell[i] <= u'9'; ++i)
        value = value * 10 + (cell[i].unicode() - u'0');
    bool plain = i > 0 && (i == cell.size() || cell[i] == u'.');
    for (qsizetype j = i + 1; plain && j < cell.size(); ++j)
        plain = cell[j] >= u'0' && cell[j] <= u'9';
    if (plain) {
        *day = value;
        return true;
    }
    double number = 0;
    if (!parseDayNumber(cell, &number))
        return false;
    *day = qint64(std::floor(number));
    return true;
}

qint64 dayOf(const QDate& date)
{
    return qint64(dayNumber(date));
}

QDate diaryDateOfRow(const TSortGrid& diary, int row)
{
    return QDate(diary.cell(row, diaryYear).toInt(), diary.cell(row, diaryMonth).toInt(),
                 diary.cell(row, diaryDay).toInt());
}

// The range as whole day numbers, both ends included.
struct DayRange {
    bool applies;
    qint64 from;
    qint64 to;
    bool contains(qint64 day) const { return !applies || (day >= from && day <= to); }
};

} // namespace

QList<int> refusal(const Parameters& parameters)
{
    if (parameters.text.isEmpty())
        return {565, 566};
    if (parameters.from.isValid() && parameters.to.isValid() && parameters.to < parameters.from)
        return {567};
    return {};
}

DateRange dateRange(const Parameters& parameters, const QDate& today)
{
    DateRange range;
    range.from = QDate(1900, 1, 1);
    range.to = today;
    switch (parameters.dateMode) {
    case DateMode::AllDates:
        break;
    case DateMode::Range:
        range.applies = true;
        range.from = parameters.from;
        range.to = parameters.to;
        break;
    case DateMode::LastDays:
        range.applies = true;
        range.from = today.addDays(-qint64(parameters.days));
        break;
    case DateMode::LastWeeks:
        range.applies = true;
        range.from = today.addDays(-7 * qint64(parameters.weeks));
        break;
    }
    return range;
}

QList<Hit> search(const Parameters& parameters, const Sources& sources, const QDate& today, const QLocale& locale)
{
    QList<Hit> hits;
    if (!refusal(parameters).isEmpty())
        return hits;
    const DateRange dates = dateRange(parameters, today);
    const DayRange range{dates.applies, dayOf(dates.from), dayOf(dates.to)};
    Matcher matcher(parameters.text, parameters.caseSensitive, locale);

    if (parameters.activeTasks && sources.viewTasks != nullptr) {
        const TSortGrid& tasks = *sources.viewTasks;
        for (int r = 0; r < tasks.rowCount(); ++r) {
            const QString& row = tasks.rowText(r);
            if (range.applies) {
                // The due day; a task without due date lies outside every range.
                qint64 due = 0;
                if (!wholeDayOfCell(TSortGrid::cellOf(row, colDue), &due) || due == qint64(NoDueDate) ||
                    !range.contains(due))
                    continue;
            }
            const QStringView name = TSortGrid::cellOf(row, colTaskName);
            const QStringView notes = TSortGrid::cellOf(row, colNotes);
            if (matcher.matches(name, notes))
                hits.append({Place::ActiveTasks, r, name.toString(), notesOnOneLine(notes), {}});
        }
    }
    if (parameters.taskLog && sources.taskLog != nullptr) {
        const TSortGrid& log = *sources.taskLog;
        for (int r = 0; r < log.rowCount(); ++r) {
            const QString& row = log.rowText(r);
            if (range.applies) {
                qint64 logged = 0;
                if (!wholeDayOfCell(TSortGrid::cellOf(row, logDate), &logged) || !range.contains(logged))
                    continue;
            }
            const QStringView name = TSortGrid::cellOf(row, logTaskName);
            const QStringView notes = TSortGrid::cellOf(row, logNotes);
            if (matcher.matches(name, notes))
                hits.append({Place::TaskLog, r, name.toString(), notesOnOneLine(notes), {}});
        }
    }
    if (parameters.diary && sources.diary != nullptr) {
        const TSortGrid& diary = *sources.diary;
        for (int r = 0; r < diary.rowCount(); ++r) {
            const QDate date = diaryDateOfRow(diary, r);
            if (range.applies && (!date.isValid() || !range.contains(dayOf(date))))
                continue;
            const QStringView text = diary.cell(r, diaryText);
            if (matcher.matches(text))
                hits.append(
                    {Place::Diary, r, date.isValid() ? shortDateText(date) : QString(), notesOnOneLine(text), date});
        }
    }
    return hits;
}

QString notesOnOneLine(QStringView cell)
{
    // As DecodeNotes joined by blanks: every ESC ends a line, text after the last one is dropped.
    const qsizetype last = cell.lastIndexOf(QChar(27));
    QString text = (last < 0 ? cell : cell.left(last)).toString();
    text.replace(QChar(27), u' ');
    return text.trimmed();
}

QString placeText(Place place)
{
    switch (place) {
    case Place::ActiveTasks:
        return QStringLiteral("Active tasks");
    case Place::TaskLog:
        return QStringLiteral("Task Log");
    case Place::Diary:
        return QStringLiteral("Diary");
    }
    return {};
}

} // namespace Find
