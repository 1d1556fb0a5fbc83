#pragma once

#include "core/sortgrid.h"
#include "core/storedinteger.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// Columns of a task row. Every cell is text in the encoding noted.
enum TaskColumn : int {
    colComplete = 0,   // percent complete "0".."100"; completed exactly when "100"
    colTaskName = 1,
    colDue = 2,        // day number text, "100000" for no due date
    colProject = 3,
    colPriority = 4,
    colNotes = 5,      // notes encoding
    colAttachment = 6,
    colAssignee = 7,
    colAlarm = 8,      // "" or "%3u=unit"
    colRecurrence = 9, // recurrence index "0".."10"
    colSpare = 10,     // carried along, never interpreted
};
inline constexpr int TaskColumnCount = 11;


// ---- Completion ----

inline bool isCompleted(QStringView completeCell) { return completeCell == u"100"; }
// The percentage; empty or unreadable counts as 0.
int percentComplete(QStringView completeCell);

// Overdue: due before now; a task due today without a time is not overdue on its day, and a task
// without due date never is.
bool isOverdue(QStringView dueCell, const QDateTime& now);

// ---- Priority ----

enum class PriorityLevel { High, Medium, Low, Other };
// "1 -..." or "1" is high, "2 -..." or "2" medium, "3 -..." or "3" low; anything else other.
PriorityLevel priorityLevel(QStringView priorityCell);
// The texts the editor offers, in its order.
QStringList priorityTexts();

// ---- Alarm ----

enum AlarmUnit : int { alarmMinutes = 0, alarmHours = 1, alarmDays = 2, alarmWeeks = 3 };
struct AlarmSetting {
    int amount = 0;
    int unit = alarmMinutes;
};
// "" for no alarm; else the amount right-aligned in three characters, "=", the unit index.
QString alarmCellText(int amount, int unit);
// Reads characters 1-3 as the amount and 5-6 as the unit, each 0 when unreadable.
AlarmSetting parseAlarmCell(QStringView cell);
inline bool hasAlarm(QStringView cell) { return !cell.isEmpty(); }

// ---- Recurrence ----

enum Recurrence : int {
    recOnce = 0,
    recDaily,
    recWeekDay,
    recWeekEnd,
    recWeekly,
    recFortnightly,
    recMonthly,
    recQuarterly,
    recHalfYearly,
    recYearly,
    recBiMonthly,
};
inline constexpr int RecurrenceCount = 11;
// The index of the cell; empty, unreadable or out of range counts as once.
int recurrenceIndex(QStringView cell);
QStringList recurrenceTexts();

// ---- Notes ----

// Cell text of note lines: TAB becomes 8 blanks, every line is followed by ESC (27).
QString EncodeNotes(const QStringList& lines);
// Lines of a cell: without ESC the whole cell is one line; else every ESC ends a line and
// text after the last ESC is dropped.
QStringList DecodeNotes(QStringView cell);
// The lines of an editor's text: a line ends at CR, LF or CR LF; a final line end adds no line.
QStringList splitTextLines(QStringView text);
// EncodeNotes of an editor's text.
QString encodeNotesText(QStringView text);
// The editor text of a cell (lines joined by "\n").
QString decodeNotesText(QStringView cell);

// ---- Rows ----

// Attachment as stored: one double quote at the very start and one at the very end removed.
QString attachmentCellText(QString typed);

// A row (joined row text of a task grid) without name, due date, project and priority.
bool isBlankTaskRow(QStringView rowText);
// Deletes blank rows from the top down while the grid has two or more rows.
void RemoveBlankRows(TSortGrid& grid);
// Finds the first task-table row whose cells 0, 1, 2, 3, 4, 6 and 7 equal those of row `row`
// of `grid`; makes it the task table's current row. False when none matches.
bool LocateTaskRow(TSortGrid& taskTable, const TSortGrid& grid, int row);
// Cells 0, 1, 2, 3, 4, 6 and 7 of two row texts are equal.
bool sameTaskIdentity(QStringView a, QStringView b);
