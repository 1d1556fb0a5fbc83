#pragma once

#include "core/sortgrid.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Tasks and diary days as iCalendar (RFC 5545), written and read through libical.
//
// A task is a VTODO: SUMMARY, DUE (a date, or a local date and time), PRIORITY (1, 5, 9 for high,
// medium, low), PERCENT-COMPLETE and STATUS, CATEGORIES (the project), X-TARNWICK-ASSIGNEE,
// DESCRIPTION (the notes), ATTACH (the attached file as a file URI), RRULE and a VALARM whose
// trigger lies the alarm's lead before the due moment. A diary day is a VJOURNAL.

// The tasks of a task grid (blank rows left out); `now` stamps each entry.
QByteArray icalendarTasksBytes(const TSortGrid& tasks, const QDateTime& now);
// The diary's days with text.
QByteArray icalendarDiaryBytes(const TSortGrid& diary, const QDateTime& now);

// The RRULE text a recurrence index is written as; empty for once.
QString recurrenceRuleText(int recurrence);
// The recurrence index of an RRULE text; -1 when no rule of the program matches it.
int recurrenceOfRule(const QString& rule);

struct ICalendarTasks {
    QList<QStringList> rows; // task rows of 11 cells, in file order
    QStringList unmapped;    // what could not be carried over, one line each, naming the task
};
// The VTODOs of an iCalendar text. False when the text is no iCalendar data at all.
bool parseICalendarTasks(const QByteArray& bytes, ICalendarTasks* result);
// Reads an iCalendar file. Empty on success, else a message naming the file and the reason.
QString readICalendarFile(const QString& path, ICalendarTasks* result);
