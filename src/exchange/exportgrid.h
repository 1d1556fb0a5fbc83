#pragma once

#include "core/sortgrid.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// The columns a task export can hold, in the order they stand in the file whatever the order the
// user chose them in.
enum ExportColumn : int {
    expDone = 0,
    expTaskName,
    expDueDate,
    expProject,
    expPriority,
    expNotes,
    expAttachments,
    expAssignee,
    expTime,
};
inline constexpr int ExportColumnCount = 9;

// The captions of the export columns, in file order.
QStringList exportCaptions();
// The file column of a caption; -1 for a text that is none.
int exportColumnOf(QStringView caption);

// The due cell as a date in the short date format; empty without due date or for a cell that is
// not a number.
QString exportDueDateText(QStringView dueCell);
// The due cell's time of day as "hh:mm"; empty at midnight, without due date and for a cell that
// is not a number.
QString exportTimeText(QStringView dueCell);

// The rows to write for the tasks of the view: a title row of the chosen captions, then one row per
// view row, the columns in file order. An empty view (its one empty row) gives one row of empty
// fields. Captions that name no column are left out.
TSortGrid buildExportGrid(const TSortGrid& mirrorGrid, const QStringList& chosenCaptions);

// The task log as its window shows it: the six titles, then one row per entry with due and logged
// days as date texts. Rows that are no entries are left out; a log without entries gives one row
// of empty fields.
TSortGrid buildLogExportGrid(const TSortGrid& backGrid);
// A day number as the log shows it: empty for "100000", else the short date, and the long time
// after a blank when the time of day is not midnight.
QString logDayText(QStringView dayCell);
