#pragma once

#include "core/sortgrid.h"

#include <QDate>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <algorithm>
#include <array>

// What one day of the shown month carries.
struct DayMarkInfo {
    enum MarkKind : quint8 { None = 0, Special = 1, Diary = 2, Both = 3 };
    quint8 Mark = None;
    QString SpecialText; // descriptions of the day's special days, CR LF between them
    bool HasTasks = false;
    QString TaskNames; // names of the incomplete tasks due that day, LF between them

    // The calendar's hint over the day: the special days, then the tasks.
    QString tooltip() const;
};

// The marks of the month of the calendar date, day 1 to 31.
struct MonthDayInfo {
    int year = 0;
    int month = 0;
    std::array<DayMarkInfo, 31> days;

    // Day 1..31; any other number gives an empty record.
    const DayMarkInfo& day(int d) const;
    DayMarkInfo& day(int d) { return days.at(std::clamp(d, 1, 31) - 1); }
};

// Fills every record for the month of the date: special days, diary entries, then the tasks.
void ComputeMonthMarks(MonthDayInfo& info, const QDate& calendarDate, const TSortGrid& tasks, const TSortGrid& diary,
                       const TSortGrid& special);
// The task pass alone: one walk over the whole task table (no view filter), marking the day of
// every incomplete task due in the month. A due cell that does not read counts as no due date.
void ComputeTaskMarks(MonthDayInfo& info, const QDate& calendarDate, const TSortGrid& tasks);

// The mark images drawn over a day cell, with their places for a cell rectangle.
enum class MarkImage { Task, Day, Leaf, BothDay };
struct MarkPlacement {
    MarkImage image;
    QRect rect;
};
QSize markImageSize(MarkImage image);
// The task image first, then the image of the day's mark; nothing for a day without marks.
QList<MarkPlacement> markPlacements(const DayMarkInfo& info, const QRect& cell);
