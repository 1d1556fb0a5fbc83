// Feeds arbitrary bytes to the CSV reader and the import step: what was read writes back as CSV
// and reads again to the same rows, and no imported cell can split a task file line.
#include "core/sortgrid.h"
#include "core/tasktable.h"
#include "core/textcodec.h"
#include "exchange/delimitedtext.h"
#include "exchange/importstep.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString damage;
    const QString text = decodeTableText(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), &damage);
    TSortGrid grid;
    parseCsv(text, grid);
    if (grid.rowCount() < 1 || grid.colCount() < 1)
        std::abort();
    TSortGrid again;
    parseCsv(QString::fromUtf8(csvFileBytes(grid)), again);
    if (again.rows() != grid.rows())
        std::abort();

    TSortGrid semicolon;
    semicolon.LoadFromText(text, QLatin1Char(';'));
    TSortGrid tasks(TaskColumnCount, 1);
    ImportPairs pairs;
    for (int slot = 0; slot < ImportSlotCount; ++slot)
        pairs[slot] = slot % 3 == 0 ? -1 : slot;
    ImportTasks(tasks, semicolon, pairs, 0);
    ImportTasks(tasks, grid, pairs, 0);
    for (int r = 0; r < tasks.rowCount(); ++r) {
        if (tasks.rowText(r).contains(u'\t') || tasks.row(r).size() != TaskColumnCount)
            std::abort();
    }
    return 0;
}
