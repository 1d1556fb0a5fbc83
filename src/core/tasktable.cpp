#include "core/tasktable.h"

#include "core/daynumber.h"

#include <cmath>

int percentComplete(QStringView completeCell)
{
    return storedIntegerOr(completeCell, 0);
}

bool isOverdue(QStringView dueCell, const QDateTime& now)
{
    const double due = dueDayNumber(dueCell);
    if (due >= NoDueDate)
        return false;
    const double current = dayNumber(now);
    return due < current && (std::floor(due) != std::floor(current) || due != std::floor(due));
}

PriorityLevel priorityLevel(QStringView cell)
{
    if (cell == u"1" || cell.startsWith(u"1 -"))
        return PriorityLevel::High;
    if (cell == u"2" || cell.startsWith(u"2 -"))
        return PriorityLevel::Medium;
    if (cell == u"3" || cell.startsWith(u"3 -"))
        return PriorityLevel::Low;
    return PriorityLevel::Other;
}

QStringList priorityTexts()
{
    return {QString(), QStringLiteral("3 - Low"), QStringLiteral("2 - Medium"), QStringLiteral("1 - High")};
}

QString alarmCellText(int amount, int unit)
{
    return QStringLiteral("%1=%2").arg(amount, 3, 10, QLatin1Char(' ')).arg(unit);
}

AlarmSetting parseAlarmCell(QStringView cell)
{
    AlarmSetting alarm;
    alarm.amount = storedIntegerOr(cell.mid(0, 3), 0);
    alarm.unit = cell.size() > 4 ? storedIntegerOr(cell.mid(4, 2), 0) : 0;
    return alarm;
}

int recurrenceIndex(QStringView cell)
{
    const int index = storedIntegerOr(cell, recOnce);
    return index >= 0 && index < RecurrenceCount ? index : int(recOnce);
}

QStringList recurrenceTexts()
{
    return {QStringLiteral("once"),           QStringLiteral("daily"),     QStringLiteral("every week-day"),
            QStringLiteral("every week-end"), QStringLiteral("weekly"),    QStringLiteral("fortnightly"),
            QStringLiteral("monthly"),        QStringLiteral("quarterly"), QStringLiteral("half-yearly"),
            QStringLiteral("yearly"),         QStringLiteral("bi-monthly")};
}

QString EncodeNotes(const QStringList& lines)
{
    static const QString eightBlanks(8, QLatin1Char(' '));
    QString cell;
    for (const QString& line : lines) {
        QString l = line;
        l.replace(QLatin1Char('\t'), eightBlanks);
        // Line breaks inside a line would break the table file; a line never holds one.
        l.remove(QLatin1Char('\r'));
        l.remove(QLatin1Char('\n'));
        cell += l;
        cell += QChar(27);
    }
    return cell;
}

QStringList DecodeNotes(QStringView cell)
{
    if (!cell.contains(QChar(27)))
        return {cell.toString()};
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < cell.size(); ++i) {
        if (cell[i] == QChar(27)) {
            lines.append(cell.mid(start, i - start).toString());
            start = i + 1;
        }
    }
    return lines;
}

QStringList splitTextLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines.append(text.mid(start, i - start).toString());
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = ++i;
            continue;
        }
        ++i;
    }
    if (start < text.size())
        lines.append(text.mid(start).toString());
    return lines;
}

QString encodeNotesText(QStringView text)
{
    return EncodeNotes(splitTextLines(text));
}

QString decodeNotesText(QStringView cell)
{
    return DecodeNotes(cell).join(QLatin1Char('\n'));
}

QString attachmentCellText(QString typed)
{
    if (typed.startsWith(QLatin1Char('"')))
        typed.remove(0, 1);
    if (typed.endsWith(QLatin1Char('"')))
        typed.chop(1);
    return typed;
}

bool isBlankTaskRow(QStringView rowText)
{
    // Name, due date, project and priority are cells 1 to 4: blank when they hold nothing but
    // their separators.
    qsizetype pos = TSortGrid::nextSeparator(rowText, 0);
    if (pos < 0)
        return true;
    for (int col = colTaskName; col <= colPriority; ++col) {
        ++pos;
        if (pos >= rowText.size())
            return true;
        if (rowText[pos] != QChar(TSortGrid::CellSeparator))
            return false;
    }
    return true;
}

void RemoveBlankRows(TSortGrid& grid)
{
    // Deleting from the top while two or more rows remain leaves the bottom row when all are blank.
    QList<QString>& rows = grid.rows();
    const QString last = rows.last();
    rows.removeIf([](const QString& r) { return isBlankTaskRow(r); });
    if (rows.isEmpty())
        rows.append(last);
    if (grid.currentRow() >= grid.rowCount())
        grid.setCurrentRow(grid.rowCount() - 1);
}

bool sameTaskIdentity(QStringView a, QStringView b)
{
    // Cells 0 to 4 lie together at the start of the row text, up to the fifth separator: walk both
    // rows at once, so that rows which differ early (most of them) cost a few characters.
    const qsizetype shorter = std::min(a.size(), b.size());
    qsizetype pos = 0;
    int separators = 0;
    for (; pos < shorter; ++pos) {
        if (a[pos] != b[pos])
            return false;
        if (a[pos] == QChar(TSortGrid::CellSeparator) && ++separators > colPriority)
            break;
    }
    // One row ended within the head: the heads are equal only when the other's head ends there too.
    if (pos == shorter && a.size() != b.size()) {
        const QStringView longer = a.size() > b.size() ? a : b;
        if (separators != colPriority || longer[pos] != QChar(TSortGrid::CellSeparator))
            return false;
    }
    return TSortGrid::cellOf(a, colAttachment) == TSortGrid::cellOf(b, colAttachment) &&
           TSortGrid::cellOf(a, colAssignee) == TSortGrid::cellOf(b, colAssignee);
}

bool LocateTaskRow(TSortGrid& taskTable, const TSortGrid& grid, int row)
{
    if (row < 0 || row >= grid.rowCount())
        return false;
    const QString& wanted = grid.rowText(row);
    for (int r = 0; r < taskTable.rowCount(); ++r) {
        if (sameTaskIdentity(taskTable.rowText(r), wanted)) {
            taskTable.setCurrentRow(r);
            return true;
        }
    }
    return false;
}
