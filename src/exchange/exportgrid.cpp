#include "exchange/exportgrid.h"

#include "core/applanguage.h"
#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"

#include <array>
#include <cmath>

namespace {

// The task-table column each export column copies; -1 where the text is computed.
constexpr std::array<int, ExportColumnCount> sourceColumn{colComplete, colTaskName, -1,           colProject, colPriority,
                                                          colNotes,    colAttachment, colAssignee, -1};

// The day number of a due cell; a cell that is not a number counts as no due date.
double exportDayNumber(QStringView dueCell)
{
    double day = 0;
    return parseDayNumber(dueCell, &day) ? day : NoDueDate;
}

} // namespace

QStringList exportCaptions()
{
    return {QStringLiteral("Done?"),   QStringLiteral("Task name"),   QStringLiteral("Due date"),
            QStringLiteral("Project"), QStringLiteral("Priority"),    QStringLiteral("Notes"),
            QStringLiteral("Attachments"), QStringLiteral("Assignee"), QStringLiteral("Time")};
}

int exportColumnOf(QStringView caption)
{
    const QStringList captions = exportCaptions();
    for (int c = 0; c < captions.size(); ++c) {
        if (captions[c] == caption)
            return c;
    }
    return -1;
}

QString exportDueDateText(QStringView dueCell)
{
    const double day = exportDayNumber(dueCell);
    if (day == NoDueDate)
        return {};
    const QDate date = dateOfDayNumber(day);
    return date.isValid() ? shortDateText(date) : QString();
}

QString exportTimeText(QStringView dueCell)
{
    double day = 0;
    if (!parseDayNumber(dueCell, &day) || day == NoDueDate)
        return {};
    double whole = 0;
    if (std::modf(day, &whole) == 0.0)
        return {};
    const QTime time = timeOfDayNumber(day);
    return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QString();
}

TSortGrid buildExportGrid(const TSortGrid& mirrorGrid, const QStringList& chosenCaptions)
{
    std::array<bool, ExportColumnCount> chosen{};
    for (const QString& caption : chosenCaptions) {
        if (const int c = exportColumnOf(caption); c >= 0)
            chosen[c] = true;
    }
    QList<int> columns;
    for (int c = 0; c < ExportColumnCount; ++c) {
        if (chosen[c])
            columns.append(c);
    }
    const QStringList captions = exportCaptions();
    TSortGrid grid(std::max<int>(1, int(columns.size())), mirrorGrid.rowCount() + 1);
    QStringList cells(columns.size());
    for (int i = 0; i < columns.size(); ++i)
        cells[i] = captions[columns[i]];
    grid.setRow(0, cells);
    for (int r = 0; r < mirrorGrid.rowCount(); ++r) {
        const auto row = mirrorGrid.rowCells(r);
        for (int i = 0; i < columns.size(); ++i) {
            const int c = columns[i];
            const QStringView due = row.size() > colDue ? row[colDue] : QStringView();
            if (c == expDueDate)
                cells[i] = exportDueDateText(due);
            else if (c == expTime)
                cells[i] = exportTimeText(due);
            else
                cells[i] = row.size() > sourceColumn[c] ? row[sourceColumn[c]].toString() : QString();
        }
        grid.setRow(r + 1, cells);
    }
    return grid;
}

QString logDayText(QStringView dayCell)
{
    if (dayCell == NoDueDateText)
        return {};
    double day = 0;
    if (!parseDayNumber(dayCell, &day))
        day = 0; // an unreadable cell reads as 0, the log's first day
    const QDate date = dateOfDayNumber(day);
    if (!date.isValid())
        return {};
    QString text = shortDateText(date);
    double whole = 0;
    if (std::modf(day, &whole) != 0.0)
        text += u' ' + longTimeText(timeOfDayNumber(day));
    return text;
}

TSortGrid buildLogExportGrid(const TSortGrid& backGrid)
{
    QList<QStringList> rows{{LanguageString(526), LanguageString(527), LanguageString(528), LanguageString(529),
                             LanguageString(530), LanguageString(531)}};
    for (int r = 1; r < backGrid.rowCount(); ++r) {
        if (isEmptyLogRow(backGrid.rowText(r)))
            continue;
        const auto row = backGrid.rowCells(r);
        const auto cell = [&row](int c) { return c < row.size() ? row[c] : QStringView(); };
        rows.append({cell(logTaskName).toString(), logDayText(cell(logDue)), cell(logProject).toString(),
                     cell(logPriority).toString(), logDayText(cell(logDate)), cell(logAssignee).toString()});
    }
    // The window keeps one empty row below its titles.
    TSortGrid grid(6, std::max(2, int(rows.size())));
    for (int r = 0; r < rows.size(); ++r)
        grid.setRow(r, rows[r]);
    return grid;
}
