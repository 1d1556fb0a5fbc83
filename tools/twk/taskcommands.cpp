// The task commands of the data tool: list, add, done, export and import. They run the program's
// own view, editor, completion and exchange code on the data set's files, and change a data set
// only while holding its lock, so a data set open in the program is never changed behind its back.
#include "commands.h"

#include "core/atomicfile.h"
#include "core/clock.h"
#include "core/dataset.h"
#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "exchange/delimitedtext.h"
#include "exchange/exportgrid.h"
#include "exchange/icalendar.h"
#include "exchange/importstep.h"
#include "tasks/recurrence.h"
#include "tasks/taskedit.h"
#include "tasks/tasksort.h"
#include "tasks/taskview.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTextStream>

#include <cmath>
#include <optional>

namespace {

constexpr int BadInput = 2;
constexpr int Failed = 1;

// A refusal of the command line: one line on standard error, exit status 2, nothing changed.
struct Usage {
    QString message;
};

struct Arguments {
    QStringList positional;
    QHash<QString, QString> values;
    QSet<QString> flags;
    QString value(const QString& name) const { return values.value(name); }
    bool has(const QString& name) const { return values.contains(name) || flags.contains(name); }
};

Arguments parseArguments(const QStringList& args, const QStringList& valueOptions, const QStringList& flagOptions)
{
    Arguments parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QStringLiteral("--")) || arg == QStringLiteral("--")) {
            parsed.positional.append(arg);
            continue;
        }
        QString name = arg.mid(2);
        std::optional<QString> inlineValue;
        if (const qsizetype eq = name.indexOf(u'='); eq >= 0) {
            inlineValue = name.mid(eq + 1);
            name.truncate(eq);
        }
        if (flagOptions.contains(name) && !inlineValue) {
            parsed.flags.insert(name);
        } else if (valueOptions.contains(name)) {
            if (!inlineValue && i + 1 >= args.size())
                throw Usage{QStringLiteral("option --%1 needs a value").arg(name)};
            parsed.values.insert(name, inlineValue ? *inlineValue : args[++i]);
        } else {
            throw Usage{QStringLiteral("unknown option \"%1\"").arg(arg)};
        }
    }
    return parsed;
}

QString dataFolder(const Arguments& args)
{
    if (args.positional.isEmpty())
        throw Usage{QStringLiteral("no data set folder given")};
    const QString folder = args.positional.first();
    if (!QFileInfo(folder).isDir())
        throw Usage{QStringLiteral("\"%1\" is not a folder").arg(folder)};
    return folder;
}

// ---- The view ----

const QStringList viewValueOptions{QStringLiteral("project"), QStringLiteral("assignee"), QStringLiteral("deadline"),
                                   QStringLiteral("sort")};
const QStringList viewFlagOptions{QStringLiteral("completed")};

int sortColumnOfName(const QString& name)
{
    const QStringList names{QStringLiteral("complete"), QStringLiteral("name"),     QStringLiteral("due"),
                            QStringLiteral("project"),  QStringLiteral("priority"), QStringLiteral("assignee"),
                            QStringLiteral("time")};
    return int(names.indexOf(name.toLower()));
}

// The rows the main window's list shows with the same filter and sort: the sort keys of the user's
// settings, no filter but the options given, completed tasks only with --completed.
TSortGrid viewRows(TSortGrid& tasks, const Arguments& args, const SettingsStore& settings)
{
    TaskView view(tasks);
    view.loadState(settings);
    view.ShowAllTasks();
    view.ShowCompleted = args.flags.contains(QStringLiteral("completed"));
    if (args.values.contains(QStringLiteral("project")))
        view.ProjectFilter = {args.value(QStringLiteral("project"))};
    if (args.values.contains(QStringLiteral("assignee")))
        view.AssigneeFilter = {args.value(QStringLiteral("assignee"))};
    const QString deadline = args.value(QStringLiteral("deadline")).toLower();
    if (deadline == u"today")
        view.SetDeadlineFilter(ruleToday, settings);
    else if (deadline == u"tomorrow")
        view.SetDeadlineFilter(ruleTomorrow, settings);
    else if (deadline == u"week")
        view.SetDeadlineFilter(ruleThisWeek, settings);
    else if (!deadline.isEmpty() && deadline != u"overdue")
        throw Usage{QStringLiteral("--deadline takes today, tomorrow, week or overdue, not \"%1\"").arg(deadline)};
    if (args.values.contains(QStringLiteral("sort"))) {
        const QString sort = args.value(QStringLiteral("sort"));
        if (sort.compare(QStringLiteral("3level"), Qt::CaseInsensitive) == 0) {
            view.AdvancedSort = true;
        } else if (const int column = sortColumnOfName(sort); column >= 0) {
            view.AdvancedSort = false;
            view.SortColumn = column;
            view.SortAscending = true;
        } else {
            throw Usage{QStringLiteral("--sort takes 3level, complete, name, due, project, priority, assignee or "
                                       "time, not \"%1\"").arg(sort)};
        }
    }
    if (view.AdvancedSort && view.PrimKey < 0)
        view.AdvancedSort = false; // no 3-level keys set up: the header sort, as the window falls back
    view.RebuildView(false);
    TSortGrid rows = view.MirrorGrid;
    if (deadline == u"overdue") {
        const QDateTime now = Clock::current().now();
        for (int r = rows.rowCount() - 1; r >= 0; --r) {
            if (!isOverdue(rows.cell(r, colDue), now))
                rows.DeleteRow(r);
        }
    }
    if (view.isEmptyView() || isBlankTaskRow(rows.rowText(0)))
        return TSortGrid(TaskColumnCount, 1);
    return rows;
}

bool isEmptyRows(const TSortGrid& rows)
{
    return rows.rowCount() == 1 && isBlankTaskRow(rows.rowText(0));
}

QString dueText(QStringView cell)
{
    const double due = dueDayNumber(cell);
    if (due >= NoDueDate)
        return {};
    const QDateTime when = dateTimeOfDayNumber(due);
    double whole = 0;
    return std::modf(due, &whole) == 0.0 ? when.date().toString(Qt::ISODate)
                                         : when.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

// ---- Loading and saving ----

TSortGrid readTasks(const QString& folder)
{
    TSortGrid tasks(TaskColumnCount, 1);
    const QString path = dataFilePath(folder, TableFile::Tasks);
    if (QFileInfo::exists(path)) {
        if (const TableLoadResult loaded = loadTaskTable(tasks, path); !loaded.ok())
            throw loaded.error;
    }
    return tasks;
}

// Opens the data set for a change: its lock first, then every table.
void openLocked(DataSet& data, const QString& folder)
{
    data.setLocation(QFileInfo(folder).fileName(), folder);
    switch (data.lock()) {
    case DataSetLock::Result::Locked:
        break;
    case DataSetLock::Result::HeldByOther:
        throw QStringLiteral("the data set in \"%1\" is open in Tarnwick PRO; close it there first").arg(folder);
    case DataSetLock::Result::Failed:
        throw data.lockError();
    }
    const DataSet::OpenResult opened = data.open();
    if (!opened.ok())
        throw opened.errors.join(QStringLiteral("; "));
}

void saveTasks(DataSet& data)
{
    if (const QString error = data.saveTasks(); !error.isEmpty())
        throw error;
}

// ---- Commands ----

int listTasks(const QStringList& argList)
{
    const Arguments args = parseArguments(argList, viewValueOptions, viewFlagOptions);
    const QString folder = dataFolder(args);
    if (args.positional.size() > 1)
        throw Usage{QStringLiteral("unexpected argument \"%1\"").arg(args.positional[1])};
    SettingsStore settings;
    TSortGrid tasks = readTasks(folder);
    const TSortGrid rows = viewRows(tasks, args, settings);
    if (isEmptyRows(rows))
        return 0;
    QTextStream out(stdout);
    for (int r = 0; r < rows.rowCount(); ++r) {
        out << (r + 1) << '\t' << percentComplete(rows.cell(r, colComplete)) << "%\t" << rows.cell(r, colTaskName)
            << '\t' << dueText(rows.cell(r, colDue)) << '\t' << rows.cell(r, colProject) << '\t'
            << rows.cell(r, colPriority) << '\t' << rows.cell(r, colAssignee) << '\n';
    }
    return 0;
}

QDateTime parseDue(const QString& text)
{
    const QString trimmed = text.trimmed();
    const qsizetype blank = trimmed.indexOf(u' ');
    const QString datePart = blank < 0 ? trimmed : trimmed.left(blank);
    const QString timePart = blank < 0 ? QString() : trimmed.mid(blank + 1).trimmed();
    QDate date = QDate::fromString(datePart, Qt::ISODate);
    if (!date.isValid())
        date = parseShortDate(datePart);
    QTime time(0, 0);
    if (!timePart.isEmpty()) {
        time = QTime::fromString(timePart, QStringLiteral("H:mm"));
        if (!time.isValid())
            time = parseTime(timePart);
    }
    if (!date.isValid() || !time.isValid())
        throw Usage{QStringLiteral("cannot read the due date \"%1\" (write YYYY-MM-DD [HH:MM])").arg(text)};
    return QDateTime(date, time);
}

QString listedName(const NameList& list, const QString& name, const char* what)
{
    if (name.isEmpty())
        return {};
    if (const int at = list.indexOf(name); at >= 0)
        return list.names().at(at);
    throw Usage{QStringLiteral("unknown %1 \"%2\"; known: %3")
                    .arg(QLatin1String(what), name, list.names().join(QStringLiteral(", ")))};
}

int addTask(const QStringList& argList)
{
    const Arguments args = parseArguments(argList,
                                          {QStringLiteral("due"), QStringLiteral("project"), QStringLiteral("priority"),
                                           QStringLiteral("assignee"), QStringLiteral("notes")},
                                          {});
    const QString folder = dataFolder(args);
    if (args.positional.size() != 2)
        throw Usage{QStringLiteral("give the folder and one task name (quote a name with blanks)")};
    // Everything the command line says is checked before the data set is touched.
    if (args.positional[1].trimmed().isEmpty())
        throw Usage{QStringLiteral("the task name is empty")};
    std::optional<QDateTime> due;
    if (args.values.contains(QStringLiteral("due")))
        due = parseDue(args.value(QStringLiteral("due")));
    QString priority;
    if (args.values.contains(QStringLiteral("priority"))) {
        const QString level = args.value(QStringLiteral("priority"));
        if (level != u"1" && level != u"2" && level != u"3")
            throw Usage{QStringLiteral("--priority takes 1, 2 or 3, not \"%1\"").arg(level)};
        for (const QString& text : priorityTexts()) {
            if (text.startsWith(level))
                priority = text;
        }
    }

    SettingsStore settings;
    DataSet data;
    openLocked(data, folder);
    TaskEditValues values = newTaskValues(settings, {}, {}, editorNameItems(data.projects.names()),
                                          editorNameItems(data.assignees.names()), Clock::current().today());
    values.name = args.positional[1];
    if (due) {
        values.hasDue = true;
        values.date = due->date();
        values.time = due->time();
    }
    if (!priority.isEmpty())
        values.priority = priority;
    if (args.values.contains(QStringLiteral("project")))
        values.project = listedName(data.projects, args.value(QStringLiteral("project")), "project");
    if (args.values.contains(QStringLiteral("assignee")))
        values.assignee = listedName(data.assignees, args.value(QStringLiteral("assignee")), "assignee");
    if (args.values.contains(QStringLiteral("notes")))
        values.notes = args.value(QStringLiteral("notes"));
    if (const QString refusal = taskCheckMessage(values); !refusal.isEmpty())
        throw Usage{refusal};
    storeTask(data.MainGrid, values, -1);
    saveTasks(data);
    QTextStream(stdout) << "added \"" << values.name << "\"\n";
    return 0;
}

int checkTask(const QStringList& argList)
{
    const Arguments args = parseArguments(argList, viewValueOptions + QStringList{QStringLiteral("name")}, viewFlagOptions);
    const QString folder = dataFolder(args);
    const bool byName = args.values.contains(QStringLiteral("name"));
    if (args.positional.size() != (byName ? 1 : 2))
        throw Usage{QStringLiteral("give the folder and either a row of \"twk list\" or --name NAME")};
    int row = 0;
    if (!byName) {
        bool ok = false;
        row = args.positional[1].toInt(&ok);
        if (!ok || row < 1)
            throw Usage{QStringLiteral("\"%1\" is no row number").arg(args.positional[1])};
    }

    SettingsStore settings;
    DataSet data;
    openLocked(data, folder);
    // The row is counted in the list the same options show; the task is then found in the table
    // by its cells, as the window does.
    const TSortGrid rows = viewRows(data.MainGrid, args, settings);
    int viewRow = -1;
    if (byName) {
        const QString name = args.value(QStringLiteral("name"));
        for (int r = 0; r < rows.rowCount() && !isEmptyRows(rows); ++r) {
            if (rows.cell(r, colTaskName) != name)
                continue;
            if (viewRow >= 0)
                throw Usage{QStringLiteral("more than one task is named \"%1\"; give its row").arg(name)};
            viewRow = r;
        }
        if (viewRow < 0)
            throw Usage{QStringLiteral("no task named \"%1\" in the list").arg(name)};
    } else {
        if (isEmptyRows(rows) || row > rows.rowCount())
            throw Usage{QStringLiteral("the list has no row %1").arg(row)};
        viewRow = row - 1;
    }
    if (!LocateTaskRow(data.MainGrid, rows, viewRow))
        throw QStringLiteral("the task was not found in the task table");
    const int taskRow = data.MainGrid.currentRow();
    const QString name = data.MainGrid.cellText(taskRow, colTaskName);
    const CheckStep step = checkStepFor(data.MainGrid, taskRow);
    applyCheck(data.MainGrid, taskRow, step, true);
    saveTasks(data);
    QTextStream out(stdout);
    if (step == CheckStep::Uncheck)
        out << "unchecked \"" << name << "\"\n";
    else if (step == CheckStep::AskNextOccurrence)
        out << "checked \"" << name << "\"; next occurrence due " << dueText(data.MainGrid.cell(0, colDue)) << '\n';
    else
        out << "checked \"" << name << "\"\n";
    return 0;
}

ExchangeFormat formatOption(const Arguments& args)
{
    ExchangeFormat format = ExchangeFormat::Tab;
    if (!args.values.contains(QStringLiteral("format")))
        throw Usage{QStringLiteral("--format is needed: %1").arg(formatNames().join(QStringLiteral(", ")))};
    if (!formatFromName(args.value(QStringLiteral("format")), &format))
        throw Usage{QStringLiteral("unknown format \"%1\"; formats: %2")
                        .arg(args.value(QStringLiteral("format")), formatNames().join(QStringLiteral(", ")))};
    return format;
}

int exportTasks(const QStringList& argList)
{
    const Arguments args = parseArguments(argList, viewValueOptions + QStringList{QStringLiteral("format")},
                                          viewFlagOptions + QStringList{QStringLiteral("log"), QStringLiteral("diary")});
    const QString folder = dataFolder(args);
    const ExchangeFormat format = formatOption(args);
    const bool log = args.flags.contains(QStringLiteral("log"));
    const bool diary = args.flags.contains(QStringLiteral("diary"));
    if (log && diary)
        throw Usage{QStringLiteral("--log and --diary exclude each other")};
    if (log && format == ExchangeFormat::ICalendar)
        throw Usage{QStringLiteral("the task log is exported as tsv, semicolon or csv")};
    if (diary && format != ExchangeFormat::ICalendar)
        throw Usage{QStringLiteral("the diary is exported as ics")};
    if (args.positional.size() > 2)
        throw Usage{QStringLiteral("unexpected argument \"%1\"").arg(args.positional[2])};

    QByteArray bytes;
    const QDateTime now = Clock::current().now();
    if (log || diary) {
        TSortGrid grid;
        const QString path = dataFilePath(folder, log ? TableFile::TaskLog : TableFile::Diary);
        if (QFileInfo::exists(path)) {
            const TableLoadResult loaded = log ? loadTaskLogTable(grid, path) : loadDiaryTable(grid, path);
            if (!loaded.ok())
                throw loaded.error;
        }
        bytes = log ? delimitedBytes(buildLogExportGrid(grid), format) : icalendarDiaryBytes(grid, now);
    } else {
        SettingsStore settings;
        TSortGrid tasks = readTasks(folder);
        const TSortGrid rows = viewRows(tasks, args, settings);
        bytes = format == ExchangeFormat::ICalendar ? icalendarTasksBytes(rows, now)
                                                    : delimitedBytes(buildExportGrid(rows, exportCaptions()), format);
    }
    if (args.positional.size() < 2) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            throw QStringLiteral("cannot write to standard output");
        return 0;
    }
    if (const QString error = writeFileAtomically(args.positional[1], bytes); !error.isEmpty())
        throw error;
    return 0;
}

ImportPairs parseMap(const QString& map)
{
    const QStringList fields{QStringLiteral("done"),     QStringLiteral("name"),     QStringLiteral("due"),
                             QStringLiteral("project"),  QStringLiteral("priority"), QStringLiteral("assignee"),
                             QStringLiteral("attachment"), QStringLiteral("notes")};
    ImportPairs pairs = NoImportPairs;
    for (const QString& pair : map.split(u',', Qt::SkipEmptyParts)) {
        const QString field = pair.section(u'=', 0, 0).trimmed().toLower();
        bool ok = false;
        const int column = pair.section(u'=', 1).trimmed().toInt(&ok);
        const qsizetype slot = fields.indexOf(field);
        if (slot < 0 || !ok || column < 0 || !pair.contains(u'='))
            throw Usage{QStringLiteral("cannot read \"%1\" of --map; write FIELD=COLUMN with FIELD one of %2 and "
                                       "COLUMN counted from 0").arg(pair, fields.join(QStringLiteral(", ")))};
        pairs[slot] = column;
    }
    return pairs;
}

int importTasks(const QStringList& argList)
{
    const Arguments args = parseArguments(argList, {QStringLiteral("format"), QStringLiteral("map"),
                                                    QStringLiteral("first-row")}, {});
    const QString folder = dataFolder(args);
    if (args.positional.size() != 2)
        throw Usage{QStringLiteral("give the folder and the file to import")};
    const QString file = args.positional[1];
    const ExchangeFormat format = formatOption(args);
    ImportPairs pairs = NoImportPairs;
    int firstRow = 1;
    if (format != ExchangeFormat::ICalendar) {
        if (!args.values.contains(QStringLiteral("map")))
            throw Usage{QStringLiteral("--map FIELD=COLUMN,... is needed for a delimited file")};
        pairs = parseMap(args.value(QStringLiteral("map")));
        if (args.values.contains(QStringLiteral("first-row"))) {
            bool ok = false;
            firstRow = args.value(QStringLiteral("first-row")).toInt(&ok);
            if (!ok || firstRow < 1)
                throw Usage{QStringLiteral("--first-row takes a line number from 1")};
        }
    }
    // The file is read before the data set is opened: a file that cannot be read changes nothing.
    TSortGrid grid;
    ICalendarTasks calendar;
    const QString readError =
        format == ExchangeFormat::ICalendar ? readICalendarFile(file, &calendar) : readDelimitedFile(file, format, grid);
    if (!readError.isEmpty())
        throw Usage{readError};

    DataSet data;
    openLocked(data, folder);
    int added = 0;
    if (format == ExchangeFormat::ICalendar) {
        insertImportedRows(data.MainGrid, calendar.rows);
        added = int(calendar.rows.size());
    } else {
        added = ImportTasks(data.MainGrid, grid, pairs, firstRow - 1);
    }
    if (added > 0)
        saveTasks(data);
    QTextStream out(stdout);
    out << added << " task(s) imported\n";
    for (const QString& line : calendar.unmapped)
        out << "not carried over: " << line << '\n';
    return 0;
}

} // namespace

int runTaskCommand(const QString& command, const QStringList& args)
{
    try {
        if (command == u"list")
            return listTasks(args);
        if (command == u"add")
            return addTask(args);
        if (command == u"done")
            return checkTask(args);
        if (command == u"export")
            return exportTasks(args);
        if (command == u"import")
            return importTasks(args);
        throw Usage{QStringLiteral("unknown command")};
    } catch (const Usage& usage) {
        // One line, so a script can show or log it as it stands.
        QString message = usage.message;
        message.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
        QTextStream(stderr) << "twk " << command << ": " << message << '\n';
        return BadInput;
    } catch (const QString& error) {
        QTextStream(stderr) << "twk " << command << ": " << error << '\n';
        return Failed;
    }
}
