#include "tasks/taskedit.h"

#include "core/applanguage.h"
#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"

#include <algorithm>

namespace {

// The item of a list at an index, "" outside it (a pick list then has no selection).
QString itemAt(const QStringList& items, int index)
{
    return index >= 0 && index < items.size() ? items.at(index) : QString();
}

// The item equal to the text (case-sensitive); "" when the list does not hold it.
QString matchingItem(const QStringList& items, const QString& text)
{
    return items.contains(text) ? text : QString();
}

QString defaultName(const QStringList& filter, const QStringList& items, bool noDefault, int storedIndex)
{
    if (filter.size() == 1)
        return matchingItem(items, filter.first());
    if (!noDefault)
        return itemAt(items, storedIndex + 1);
    return QString();
}

// A TAB in a one-line field would split the cell when the table file is read back; control
// characters have no place in a name or path either.
QString singleLineCell(QString text)
{
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u' ';
    }
    return text;
}

bool isWeekEnd(const QDate& date)
{
    return date.dayOfWeek() == Qt::Saturday || date.dayOfWeek() == Qt::Sunday;
}

} // namespace

QStringList editorNameItems(QStringList names)
{
    names.removeAll(QString());
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    names.prepend(QString());
    return names;
}

TaskEditValues newTaskValues(const SettingsStore& settings, const QStringList& projectFilter,
                             const QStringList& assigneeFilter, const QStringList& projectItems,
                             const QStringList& assigneeItems, const QDate& today)
{
    TaskEditValues values;
    values.date = today;
    values.hasDue = true;
    values.priority = itemAt(priorityTexts(), settings.readInteger(Settings::Other, Settings::DefaultPriority, 1));

    switch (settings.readInteger(Settings::Defaults, Settings::DueDate, 2)) {
    case 0:
        break;
    case 1:
        values.date = today.addDays(settings.readInteger(Settings::Defaults, Settings::DueDatePlus, 1));
        if (!values.date.isValid())
            values.date = today;
        break;
    default:
        values.hasDue = false;
        break;
    }
    values.recurrence = recOnce;

    values.project =
        defaultName(projectFilter, projectItems, settings.readBool(Settings::Defaults, Settings::NoDefProject, true),
                    settings.readInteger(Settings::Defaults, Settings::Project, -1));
    values.assignee =
        defaultName(assigneeFilter, assigneeItems, settings.readBool(Settings::Defaults, Settings::NoDefAssignee, true),
                    settings.readInteger(Settings::Defaults, Settings::Assignee, -1));

    values.alarmOn = false;
    values.alarmAmount = 0;
    values.alarmUnit = alarmMinutes;
    return values;
}

TaskEditValues taskValuesFromRow(const TSortGrid& grid, int row, const QDate& today)
{
    TaskEditValues values;
    values.name = grid.cellText(row, colTaskName);

    const double due = dueDayNumber(grid.cell(row, colDue));
    const QDate dueDate = dateOfDayNumber(due);
    if (due != NoDueDate && dueDate.isValid()) {
        values.hasDue = true;
        values.date = dueDate;
        values.time = timeOfDayNumber(due);
    } else {
        values.hasDue = false;
        values.date = today;
        values.time = QTime(0, 0);
    }

    // A name that has left the lists stays with the task: editing something else must not clear it.
    values.project = grid.cellText(row, colProject);
    values.assignee = grid.cellText(row, colAssignee);
    values.priority = grid.cellText(row, colPriority);
    values.percent = std::clamp(percentComplete(grid.cell(row, colComplete)), 0, 100);

    const QStringView alarm = grid.cell(row, colAlarm);
    values.alarmOn = hasAlarm(alarm);
    if (values.alarmOn) {
        const AlarmSetting setting = parseAlarmCell(alarm);
        values.alarmAmount = std::clamp(setting.amount, 0, 99);
        values.alarmUnit = setting.unit >= alarmMinutes && setting.unit <= alarmWeeks ? setting.unit : alarmMinutes;
    }
    values.recurrence = recurrenceIndex(grid.cell(row, colRecurrence));
    values.notes = decodeNotesText(grid.cell(row, colNotes));
    values.attachment = grid.cellText(row, colAttachment);
    return values;
}

QString taskCheckMessage(const TaskEditValues& values)
{
    if (values.name.isEmpty())
        return LanguageString(437);
    int message = 0;
    if (values.recurrence == recWeekDay && isWeekEnd(values.date))
        message = 438;
    else if (values.recurrence == recWeekEnd && !isWeekEnd(values.date))
        message = 439;
    if (message == 0)
        return QString();
    return shortDateText(values.date) + QStringLiteral(" is ") + formatDate(QStringLiteral("dddd"), values.date) +
           LanguageString(message);
}

QStringList taskRowCells(const TaskEditValues& values)
{
    QStringList cells(TaskColumnCount);
    cells[colComplete] = QString::number(std::clamp(values.percent, 0, 100));
    cells[colTaskName] = singleLineCell(values.name);
    cells[colProject] = singleLineCell(values.project);
    cells[colPriority] = singleLineCell(values.priority);
    cells[colNotes] = encodeNotesText(values.notes);
    cells[colAttachment] = singleLineCell(attachmentCellText(values.attachment));
    cells[colAssignee] = singleLineCell(values.assignee);
    cells[colRecurrence] = QString::number(values.recurrence);
    // A date that cannot be written becomes "no due date" rather than a broken cell.
    cells[colDue] =
        values.hasDue ? dayNumberText(dayNumber(QDateTime(values.date, values.time))) : NoDueDateText.toString();
    cells[colAlarm] = values.alarmOn ? alarmCellText(values.alarmAmount, values.alarmUnit) : QString();
    return cells;
}

StoredTask storeTask(TSortGrid& mainGrid, const TaskEditValues& values, int editedRow)
{
    if (mainGrid.colCount() < TaskColumnCount)
        mainGrid.setColCount(TaskColumnCount);
    if (editedRow >= 0 && editedRow < mainGrid.rowCount())
        mainGrid.DeleteRow(editedRow);
    mainGrid.InsertRow(0);
    mainGrid.setRow(0, taskRowCells(values));

    StoredTask stored;
    for (std::size_t i = 0; i < StoredTask::Columns.size(); ++i)
        stored.texts[i] = mainGrid.cellText(0, StoredTask::Columns[i]);
    return stored;
}

int storedTaskRow(const TSortGrid& mirrorGrid, const StoredTask& task)
{
    if (task.isEmpty())
        return -1;
    // The recurrence (the eighth text) takes no part: a task is known by its other seven cells.
    // The first five lie together at the start of a row: a row that does not start with them is
    // passed over after a few characters.
    static_assert(StoredTask::Columns[0] == 0 && StoredTask::Columns[4] == 4);
    QString head;
    for (std::size_t i = 0; i < 5; ++i) {
        if (i > 0)
            head.append(QChar(TSortGrid::CellSeparator));
        head.append(task.texts[i]);
    }
    for (int row = 0; row < mirrorGrid.rowCount(); ++row) {
        const QStringView text = mirrorGrid.rowText(row);
        const qsizetype common = std::min(text.size(), head.size());
        if (text.first(common) != QStringView(head).first(common))
            continue;
        if (text.size() > head.size() && text[head.size()] != QChar(TSortGrid::CellSeparator))
            continue;
        // A row cut short within its first five cells reads the missing ones as empty.
        bool equal = true;
        for (std::size_t i = text.size() < head.size() ? 0 : 5; i < 7 && equal; ++i)
            equal = mirrorGrid.cell(row, StoredTask::Columns[i]) == task.texts[i];
        if (equal)
            return row;
    }
    return -1;
}
