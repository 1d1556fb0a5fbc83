#pragma once

#include "core/sortgrid.h"

#include <QDate>
#include <QString>
#include <QStringList>

// The Day info page's list for a date: its special days, an empty line, "Tasks to do:" and the
// names of the incomplete tasks due that day (LF-separated as the month marks keep them).
QStringList dayInfoLines(const QStringList& specialDays, const QString& taskNames);

// The smart-hint button under the list.
struct SmartHint {
    enum Action {
        GoToToday,       // the calendar date is not today
        NextDay,         // today, and tomorrow is a special day
        EditSpecialDays, // today, and tomorrow is not
    };
    Action action = GoToToday;
    int captionString = 219; // language string of the caption

    static SmartHint forDate(const QDate& calendarDate, const QDate& today, const TSortGrid& special);
};
