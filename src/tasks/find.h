#pragma once

#include "core/sortgrid.h"

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>

// The search of the find window: one text in the tasks of the current view, the task log and the
// diary, optionally limited to a date range. It reads the tables in place and copies none of them.
namespace Find {

enum class Place { ActiveTasks, TaskLog, Diary };

enum class DateMode { AllDates, Range, LastDays, LastWeeks };

struct Parameters {
    QString text;
    bool caseSensitive = false;
    bool activeTasks = true;
    bool taskLog = true;
    bool diary = true;
    DateMode dateMode = DateMode::AllDates;
    QDate from; // the "From" and "To" boxes, compared whatever the mode
    QDate to;
    int days = 1;
    int weeks = 1;
};

// What keeps a search from running: the language strings of its error message, empty when it may run.
QList<int> refusal(const Parameters& parameters);

// The whole days a row's date must lie in, both ends included; `applies` is false for "All dates".
struct DateRange {
    bool applies = false;
    QDate from;
    QDate to;
};
// "Last N days" reaches back N calendar days before today, "last N weeks" 7 × N days; both end today.
DateRange dateRange(const Parameters& parameters, const QDate& today);

struct Hit {
    Place place = Place::ActiveTasks;
    int row = 0;     // the row in the table searched: MirrorGrid (= the list's row), the log, the diary
    QString name;    // second result column: the task name, or the diary date
    QString text;    // third result column, on one line
    QDate diaryDate; // the date to go to for a diary hit
};

// The tables searched. Any may be null when its place is not offered.
struct Sources {
    const TSortGrid* viewTasks = nullptr; // MirrorGrid: the tasks of the view, in view order
    const TSortGrid* taskLog = nullptr;   // the log, header row 0 included
    const TSortGrid* diary = nullptr;
};

// Searches each chosen place in the order active tasks, task log, diary. Without case sensitivity
// both the search text and the searched text are lower-cased by the locale's rules.
//
// The dates a range compares: the due date (its day) for active tasks, and a task without a due
// date lies outside every range; the log date for log entries; the entry's date for the diary.
// An active task is searched as its name immediately followed by its raw notes, so a text running
// from the end of the name into the notes is found. A log entry is searched the same way (name,
// then notes), and the third column of both shows the notes decoded to one line.
QList<Hit> search(const Parameters& parameters, const Sources& sources, const QDate& today,
                  const QLocale& locale = QLocale());

// Notes in the notes encoding shown on one line: the lines joined by blanks.
QString notesOnOneLine(QStringView cell);

// The texts of the result list's location column.
QString placeText(Place place);

} // namespace Find
