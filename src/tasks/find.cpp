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

QDate dayOfCell(QStringView cell)
{
    double day = 0;
    return parseDayNumber(cell, &day) ? dateOfDayNumber(std::floor(day)) : QDate();
}

// A due date of "100000" (or an unreadable one) is no date: outside every range.
QDate dueDayOfCell(QStringView cell)
{
    const double due = dueDayNumber(cell);
    return std::floor(due) == NoDueDate ? QDate() : dateOfDayNumber(std::floor(due));
}

QDate diaryDateOfRow(const TSortGrid& diary, int row)
{
    return QDate(diary.cell(row, diaryYear).toInt(), diary.cell(row, diaryMonth).toInt(),
                 diary.cell(row, diaryDay).toInt());
}

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
    const DateRange range = dateRange(parameters, today);
    Matcher matcher(parameters.text, parameters.caseSensitive, locale);

    if (parameters.activeTasks && sources.viewTasks != nullptr) {
        const TSortGrid& tasks = *sources.viewTasks;
        for (int r = 0; r < tasks.rowCount(); ++r) {
            const QString& row = tasks.rowText(r);
            if (range.applies && !range.contains(dueDayOfCell(TSortGrid::cellOf(row, colDue))))
                continue;
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
            if (range.applies && !range.contains(dayOfCell(TSortGrid::cellOf(row, logDate))))
                continue;
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
            if (range.applies && !range.contains(date))
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
    if (cell.isEmpty())
        return {};
    return DecodeNotes(cell).join(u' ').trimmed();
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
