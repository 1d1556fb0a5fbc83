#include "log/tasklog.h"

#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/tablefiles.h"

#include <cmath>

namespace TaskLog {

void CleanLogGrid(TSortGrid& log)
{
    removeEmptyLogRows(log);
    if (log.rowCount() == 1)
        log.setRowCount(2);
}

bool hasEntries(const TSortGrid& log)
{
    for (int r = 1; r < log.rowCount(); ++r) {
        if (!isEmptyLogRow(log.rowText(r)))
            return true;
    }
    return false;
}

QString dateText(QStringView cell)
{
    if (cell == NoDueDateText)
        return {};
    double day = 0;
    if (!parseDayNumber(cell, &day))
        return cell.toString();
    const QDate date = dateOfDayNumber(day);
    if (!date.isValid())
        return cell.toString();
    QString text = shortDateText(date);
    if (day - std::floor(day) != 0.0)
        text += u' ' + longTimeText(timeOfDayNumber(day));
    return text;
}

QString displayText(const TSortGrid& log, int row, int displayColumn)
{
    const QString& rowText = log.rowText(row);
    switch (displayColumn) {
    case 0:
        return TSortGrid::cellOf(rowText, logTaskName).toString();
    case 1:
        return dateText(TSortGrid::cellOf(rowText, logDue));
    case 2:
        return TSortGrid::cellOf(rowText, logProject).toString();
    case 3:
        return TSortGrid::cellOf(rowText, logPriority).toString();
    case 4:
        return dateText(TSortGrid::cellOf(rowText, logDate));
    case 5:
        return TSortGrid::cellOf(rowText, logAssignee).toString();
    }
    return {};
}

int headerString(int displayColumn)
{
    return 526 + displayColumn;
}

} // namespace TaskLog
