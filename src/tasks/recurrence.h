#pragma once

#include "core/sortgrid.h"

#include <QDate>
#include <QStringView>

// Recurring tasks: the date arithmetic of the recurrence rules (Recurrence in core/tasktable.h),
// the copy of a completed task at the top of the task table and the roll-forward of its due date.

// The date one step of `rule` after `date`; the same date for a rule without a step (once, or a
// value outside the list) and for an invalid date.
QDate nextOccurrenceDate(int rule, const QDate& date);
// One step of `rule` from a due day number, the time of day kept to the millisecond. A rule
// without a step leaves the day number as it is.
double NextOccurrence(int rule, double due);
// Whether the rule moves a date at all.
bool recurrenceHasStep(int rule);

// The time before the due moment at which the task's alarm rings, in minutes: the amount of the
// alarm cell in minutes, hours, days or weeks; 0 without an alarm or for an unknown unit.
qint64 alarmLeadMinutes(QStringView alarmCell);

// The recurrence cell as the check command reads it: an integer, -1 when it is not a number.
int recurrenceNumber(QStringView recurrenceCell);
// Whether completing a task with this recurrence cell offers to schedule the next period.
inline bool offersNextOccurrence(QStringView recurrenceCell)
{
    return recurrenceNumber(recurrenceCell) > 0;
}

// Inserts a new row 0 holding a copy of every cell of `row` (which moves one down). False, and
// nothing changed, when the row does not exist.
bool DuplicateToTop(TSortGrid& taskTable, int row);
// Moves the row's due date forward by at least one step of its recurrence rule, on to the first
// occurrence whose alarm moment (due date less the alarm lead) lies after Clock::current()'s now;
// when that moment is already in the future, by exactly one step. Rows without due date, with an
// unreadable due date or with a rule without a step are left alone. True when the cell changed.
// Saving the table and rebuilding the view are the caller's.
bool ScheduleNext(TSortGrid& taskTable, int row);
// Completing a recurring task with its next occurrence: DuplicateToTop(row), ScheduleNext(0) on
// the copy, and the original (now at row + 1) marked "100". Returns the original's new row, or
// -1 when the row does not exist.
int completeWithNextOccurrence(TSortGrid& taskTable, int row);

// The check command on a task-table row: a completed task is unchecked ("0"); an open task is
// completed, and a recurring one first asks whether to schedule the next period.
enum class CheckStep { Uncheck, Complete, AskNextOccurrence };
CheckStep checkStepFor(const TSortGrid& taskTable, int row);
// Carries out the step; `scheduleNext` is the answer to the question of AskNextOccurrence.
void applyCheck(TSortGrid& taskTable, int row, CheckStep step, bool scheduleNext = false);
