#pragma once

#include "core/sortgrid.h"
#include "core/tasktable.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <array>

class SettingsStore;

// What the task editor shows and the user changes, without its widgets.
struct TaskEditValues {
    QString name;
    QString priority; // the priority box's text, typed or chosen
    QString project;  // "" for none
    QString assignee; // "" for none
    bool hasDue = false;
    QDate date; // also set (to today) when the task has no due date
    QTime time{0, 0};
    int recurrence = recOnce;
    bool alarmOn = false;
    int alarmAmount = 0; // 0..99
    int alarmUnit = alarmMinutes;
    int percent = 0;    // 0..100
    QString notes;      // the memo's text, lines joined by "\n"
    QString attachment; // as typed; quotes are stripped when stored
};

// The texts of a stored task's columns 0, 1, 2, 3, 4, 6, 7 and 9, kept so that the task can be
// found again in the rebuilt view: a task has no identifier but its cells.
struct StoredTask {
    static constexpr std::array<int, 8> Columns{colComplete, colTaskName,   colDue,      colProject,
                                                colPriority, colAttachment, colAssignee, colRecurrence};
    std::array<QString, 8> texts;

    bool isEmpty() const { return texts[1].isEmpty(); }
};

// The items of a project or assignee pick list: the empty item, then the non-empty names sorted
// without regard to case.
QStringList editorNameItems(QStringList names);

// The values of a new task as of `today`: due date, priority, project and assignee from the
// settings, project and assignee overridden by a view filter on exactly one name. A name that is
// not among the items gives "".
TaskEditValues newTaskValues(const SettingsStore& settings, const QStringList& projectFilter,
                             const QStringList& assigneeFilter, const QStringList& projectItems,
                             const QStringList& assigneeItems, const QDate& today);

// The values of task-table row `row`; a task without (readable) due date reads as today with the
// due date off. Project and assignee are the cells as they stand, listed or not.
TaskEditValues taskValuesFromRow(const TSortGrid& grid, int row, const QDate& today);

// The message that refuses the values, empty when they can be stored: an empty name, or a
// week-day rule on a week-end date or the reverse (the date counts even with the due date off).
QString taskCheckMessage(const TaskEditValues& values);

// The cells of a task row built from the values.
QStringList taskRowCells(const TaskEditValues& values);

// Stores the values as row 0 of the task table: the edited row (-1 for a new task) is deleted
// first. Returns the texts that find the task again.
StoredTask storeTask(TSortGrid& mainGrid, const TaskEditValues& values, int editedRow);

// The first MirrorGrid row that holds the stored task, -1 when it is filtered out.
int storedTaskRow(const TSortGrid& mirrorGrid, const StoredTask& task);
