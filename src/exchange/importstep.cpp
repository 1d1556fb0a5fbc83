#include "exchange/importstep.h"

#include "core/daynumber.h"
#include "core/tasktable.h"

#include <cmath>

namespace {

constexpr std::array<int, ImportSlotCount> slotColumns{colComplete, colTaskName, colDue,        colProject,
                                                       colPriority, colAssignee, colAttachment, colNotes};

QString withoutTabs(QStringView cell, QStringView replacement)
{
    if (!cell.contains(u'\t'))
        return cell.toString();
    QString text;
    text.reserve(cell.size() + 8);
    for (const QChar c : cell) {
        if (c == u'\t')
            text += replacement;
        else
            text += c;
    }
    return text;
}

} // namespace

QStringList importFieldNames()
{
    return {QStringLiteral("Done?"),    QStringLiteral("Task name"), QStringLiteral("Due date"),
            QStringLiteral("Project"),  QStringLiteral("Priority"),  QStringLiteral("Assignee"),
            QStringLiteral("Attached file"), QStringLiteral("Notes")};
}

int importSlotColumn(int slot)
{
    return slot >= 0 && slot < ImportSlotCount ? slotColumns[slot] : -1;
}

QList<int> importSourceOrder()
{
    return {slotDone, slotTaskName, slotDueDate, slotProject, slotAssignee, slotPriority, slotAttachedFile, slotNotes};
}

QString importPercentText(QStringView cell)
{
    bool ok = false;
    double value = cell.toDouble(&ok); // C locale: "." is the decimal mark, as in the task file
    if (!ok || !std::isfinite(value))
        return QStringLiteral("0");
    if (value < 1)
        value *= 100;
    // The default rounding mode rounds halves to even. A percentage outside 0..100 would make a
    // task that can never be shown as complete or in progress.
    value = std::clamp(std::nearbyint(value), 0.0, 100.0);
    return QString::number(int(value));
}

QString importDueText(const QString& cell, const FormatSettings& settings)
{
    const QDate date = parseShortDate(cell, settings);
    return date.isValid() ? dayNumberText(dayNumber(date)) : NoDueDateText.toString();
}

QString importCellText(QStringView cell, int slot)
{
    return withoutTabs(cell, slot == slotNotes ? QStringView(u"        ") : QStringView(u" "));
}

int ImportTasks(TSortGrid& mainGrid, const TSortGrid& grid, const ImportPairs& pairs, int firstDataRow)
{
    if (std::all_of(pairs.begin(), pairs.end(), [](int column) { return column < 0; }))
        return 0;
    const int first = std::max(0, firstDataRow);
    int added = 0;
    QStringList cells(TaskColumnCount);
    for (int r = first; r < grid.rowCount(); ++r) {
        const auto row = grid.rowCells(r);
        cells.fill(QString());
        for (int slot = 0; slot < ImportSlotCount; ++slot) {
            const int column = pairs[slot];
            if (column < 0)
                continue;
            const QStringView cell = column < row.size() ? row[column] : QStringView();
            switch (slot) {
            case slotDone:
                cells[slotColumns[slot]] = importPercentText(cell);
                break;
            case slotDueDate:
                cells[slotColumns[slot]] = importDueText(cell.toString());
                break;
            default:
                cells[slotColumns[slot]] = importCellText(cell, slot);
            }
        }
        mainGrid.InsertRow(0);
        mainGrid.setRow(0, cells);
        ++added;
    }
    return added;
}

void insertImportedRows(TSortGrid& mainGrid, const QList<QStringList>& rows)
{
    for (const QStringList& row : rows) {
        QStringList cells = row;
        cells.resize(TaskColumnCount);
        for (int c = 0; c < TaskColumnCount; ++c)
            cells[c] = withoutTabs(cells[c], c == colNotes ? QStringView(u"        ") : QStringView(u" "));
        mainGrid.InsertRow(0);
        mainGrid.setRow(0, cells);
    }
}
