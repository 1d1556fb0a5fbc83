#pragma once

#include "core/sortgrid.h"

#include <QString>
#include <QStringView>

// The task log as its window shows it: row 0 of the log table is the header, entries follow.
namespace TaskLog {

// Removes every row after the header whose name, due date, project, priority and log date are all
// empty; a log left with its header alone gets one empty row after it, so the list always has a
// row. Cleaning a cleaned log changes nothing, so repeated saves and loads neither grow nor shrink it.
void CleanLogGrid(TSortGrid& log);

// Whether the log holds any entry.
bool hasEntries(const TSortGrid& log);

// A day-number cell as the log shows it: empty for "100000"; else the short date, followed by a
// blank and the long time when the time of day is not midnight. A cell that is no number shows
// as it stands.
QString dateText(QStringView cell);

// The text of display column 0..5 (name, due, project, priority, log date, assignee) for a row.
inline constexpr int DisplayColumnCount = 6;
QString displayText(const TSortGrid& log, int row, int displayColumn);
// The language string of a display column's header.
int headerString(int displayColumn);

} // namespace TaskLog
