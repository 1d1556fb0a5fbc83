#pragma once

#include "core/formatsettings.h"
#include "core/sortgrid.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

// The task fields a file column can be paired with, in slot order.
enum ImportSlot : int {
    slotDone = 0,
    slotTaskName,
    slotDueDate,
    slotProject,
    slotPriority,
    slotAssignee,
    slotAttachedFile,
    slotNotes,
};
inline constexpr int ImportSlotCount = 8;

// For each slot the 0-based file column paired with it, -1 when unpaired.
using ImportPairs = std::array<int, ImportSlotCount>;
inline constexpr ImportPairs NoImportPairs{-1, -1, -1, -1, -1, -1, -1, -1};

// The field names in slot order.
QStringList importFieldNames();
// The task-table column a slot fills.
int importSlotColumn(int slot);
// The slots in the order the wizard lists them.
QList<int> importSourceOrder();

// "Done?": a number below 1 is a share and is multiplied by 100; the result is rounded to the
// nearest integer, halves to even, and kept within 0..100. Anything else gives "0".
QString importPercentText(QStringView cell);
// "Due date": a date in the short date format and nothing else, as a day number; anything else
// gives "100000".
QString importDueText(const QString& cell, const FormatSettings& settings = FormatSettings::current());
// A file cell as a task cell: TABs, which would split the task file's line, become blanks (eight
// in notes, as the notes encoding has it).
QString importCellText(QStringView cell, int slot);

// Adds one task per grid row from `firstDataRow` (0-based) to the last, each inserted at the top
// of the task table, so the file's last row ends up first. Nothing happens without a pair or when
// the first data row lies beyond the grid. Returns the number of tasks added.
int ImportTasks(TSortGrid& mainGrid, const TSortGrid& grid, const ImportPairs& pairs, int firstDataRow);

// Inserts whole task rows at the top of the task table, the last one first, as ImportTasks does.
// Cells are made safe as importCellText makes them.
void insertImportedRows(TSortGrid& mainGrid, const QList<QStringList>& rows);
