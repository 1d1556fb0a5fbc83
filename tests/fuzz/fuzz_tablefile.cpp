// Feeds arbitrary bytes to every table reader and checks that what was read writes back and
// reads again to the same rows.
#include "core/sortgrid.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "core/textcodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString damage;
    const QString text = decodeTableText(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), &damage);
    // NUL bytes are skipped, so no line is cut short behind one.
    if (text.contains(QChar(0)))
        std::abort();

    TSortGrid grid;
    grid.LoadFromText(text, QLatin1Char('\t'));
    TSortGrid again;
    again.LoadFromText(grid.ToText(QLatin1Char('\t')), QLatin1Char('\t'));
    if (again.rows() != grid.rows() || grid.rowCount() < 1 || grid.colCount() < 1)
        std::abort();

    TSortGrid tasks;
    loadTaskTableText(tasks, text);
    if (tasks.colCount() != TaskColumnCount)
        std::abort();
    for (int r = 0; r < tasks.rowCount(); ++r) {
        (void)parseAlarmCell(tasks.cell(r, colAlarm));
        (void)recurrenceIndex(tasks.cell(r, colRecurrence));
        (void)DecodeNotes(tasks.cell(r, colNotes));
    }
    RemoveBlankRows(tasks);

    TSortGrid log;
    loadTaskLogTableText(log, text);
    removeEmptyLogRows(log);
    TSortGrid diary;
    loadDiaryTableText(diary, text);
    tidyDiaryTable(diary);
    TSortGrid special;
    loadSpecialTableText(special, text);
    NameList names;
    loadNameListText(names, text);
    return 0;
}
