// Feeds arbitrary bytes to the iCalendar import: every task read has the task table's columns and
// no cell that could split a task file line; tasks written out read back as many.
#include "core/sortgrid.h"
#include "core/tasktable.h"
#include "exchange/icalendar.h"
#include "exchange/importstep.h"

#include <QDateTime>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    ICalendarTasks read;
    if (!parseICalendarTasks(bytes, &read))
        return 0;
    TSortGrid tasks(TaskColumnCount, 1);
    insertImportedRows(tasks, read.rows);
    for (int r = 0; r < tasks.rowCount(); ++r) {
        const QString& row = tasks.rowText(r);
        if (row.contains(u'\t') || row.contains(u'\r') || tasks.row(r).size() != TaskColumnCount)
            std::abort();
    }
    int named = 0;
    for (const QStringList& row : read.rows)
        named += isBlankTaskRow(row.join(u'\n')) ? 0 : 1;
    ICalendarTasks again;
    if (!parseICalendarTasks(icalendarTasksBytes(tasks, QDateTime::currentDateTimeUtc()), &again) ||
        again.rows.size() != named)
        std::abort();
    return 0;
}
