#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

class TSortGrid;

// The answers to a fired alarm. Snooze, CheckTask and DisableAlarm change the task table through
// the functions below; EditTask and DeleteTask are the window's task editor and deletion.
enum class AlarmAction {
    None, // no answer yet
    Snooze,
    CheckTask,
    DisableAlarm,
    EditTask,
    DeleteTask,
};

// Each function works on the alarmed task's row of the task table and leaves the table untouched
// for a row outside it. Saving the task file, rebuilding the view and scheduling the next alarm
// are the caller's.

// Snooze: the task's due moment becomes `now` plus `amount` units (0 minutes, 1 hours, 2 days,
// 3 weeks) and its alarm rings at that moment itself ("  0=<unit>"). The task itself moves.
// False, and nothing changed, for a unit outside 0..3 or a negative amount.
bool snoozeAlarm(TSortGrid& taskTable, int row, int amount, int unit, const QDateTime& now);

// Disable alarm: the alarm cell is emptied; everything else stays.
bool disableAlarm(TSortGrid& taskTable, int row);

// Whether "Check task" asks to schedule the next time period: only for a rule that gives a next
// date. An empty or unreadable cell (imported tasks) or a number outside the list would otherwise
// copy the task with the same due date and alarm, and the copy would ring again at once.
bool checkOffersNextOccurrence(QStringView recurrenceCell);

// Check task: marks the task completed ("100"). With `scheduleNext` and a rule that recurs, a copy
// of the whole row first becomes row 0 with its due date moved to the first occurrence whose alarm
// lies ahead, and the alarmed task moves one row down. Returns the alarmed task's row afterwards;
// -1 for a row outside the table.
int checkAlarmedTask(TSortGrid& taskTable, int row, bool scheduleNext);

// Finds the alarmed task again after the table may have changed under the dialog: `row` when it
// still holds `rowText`, else the first row that does; -1 when the task is gone.
int relocateAlarmedRow(const TSortGrid& taskTable, int row, const QString& rowText);
