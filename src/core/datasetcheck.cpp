#include "core/datasetcheck.h"

#include "core/datasetlock.h"
#include "core/daynumber.h"
#include "core/sortgrid.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "core/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {

// Problems are counted per kind so a large damaged file gives a short report.
class ProblemCounter {
public:
    void add(const QString& what, int row)
    {
        for (Entry& e : m_entries) {
            if (e.what == what) {
                ++e.count;
                return;
            }
        }
        m_entries.append({what, 1, row});
    }
    QStringList lines() const
    {
        QStringList out;
        for (const Entry& e : m_entries)
            out.append(e.firstLine <= 0 ? e.what
                       : e.count == 1 ? QStringLiteral("%1 (line %2)").arg(e.what).arg(e.firstLine)
                                    : QStringLiteral("%1 (%2 lines, first line %3)").arg(e.what).arg(e.count).arg(e.firstLine));
        return out;
    }

private:
    struct Entry {
        QString what;
        int count;
        int firstLine;
    };
    QList<Entry> m_entries;
};

bool isDayNumber(QStringView cell)
{
    double day = 0;
    return parseDayNumber(cell, &day) && dateOfDayNumber(day).isValid();
}

bool isIntegerIn(QStringView cell, int low, int high)
{
    qint64 value = 0;
    return parseStoredInteger(cell, &value) && value >= low && value <= high;
}

// Reads the file as plain lines to find what the loaders will drop or reinterpret.
void checkRaw(const QString& path, int columns, int firstDataLine, ProblemCounter& problems)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (!isValidUtf8(bytes))
        problems.add(QStringLiteral("text is not UTF-8, read as Windows-1252"), 0);
    if (bytes.contains('\0'))
        problems.add(QStringLiteral("NUL byte ends the text early; what follows it is ignored"), 0);
    if (columns <= 0)
        return;
    TSortGrid raw;
    raw.LoadFromText(decodeText(bytes), QLatin1Char('\t'));
    for (int r = firstDataLine; r < raw.rowCount(); ++r) {
        int fields = raw.colCount();
        while (fields > 1 && raw.cell(r, fields - 1).isEmpty())
            --fields;
        if (fields > columns)
            problems.add(QStringLiteral("more than %1 fields; the surplus is dropped").arg(columns), r + 1);
    }
}

TableCheck checkTasks(const QString& path, TableCheck check)
{
    TSortGrid tasks;
    const TableLoadResult result = loadTaskTable(tasks, path);
    if (!result.ok()) {
        check.error = result.error;
        return check;
    }
    check.marker = result.marker;
    check.upgradeNeeded = result.upgraded;
    ProblemCounter problems;
    checkRaw(path, result.marker >= 250 ? TaskColumnCount : TaskColumnCount + 2, result.marker >= 250 ? 1 : 0,
             problems);
    static const QRegularExpression alarmPattern(QStringLiteral("^[ 0-9]{2}[0-9]=[0-3]$"));
    const int lineOffset = result.marker >= 250 ? 2 : 1;
    for (int r = 0; r < tasks.rowCount(); ++r) {
        const auto row = tasks.rowCells(r);
        if (isBlankTaskRow(tasks.rowText(r)))
            continue;
        ++check.entries;
        const int line = r + lineOffset;
        if (row[colTaskName].isEmpty())
            problems.add(QStringLiteral("task without a name"), line);
        if (!row[colComplete].isEmpty() && !isIntegerIn(row[colComplete], 0, 100))
            problems.add(QStringLiteral("percent complete is not 0 to 100; read as %1").arg(percentComplete(row[colComplete])), line);
        if (!isDayNumber(row[colDue]))
            problems.add(QStringLiteral("due date is not a day number; read as no due date"), line);
        if (!row[colAlarm].isEmpty() && !alarmPattern.match(row[colAlarm]).hasMatch())
            problems.add(QStringLiteral("alarm cell is malformed"), line);
        if (!row[colRecurrence].isEmpty() && !isIntegerIn(row[colRecurrence], 0, RecurrenceCount - 1))
            problems.add(QStringLiteral("recurrence is not 0 to 10; read as once"), line);
    }
    check.problems = problems.lines();
    return check;
}

TableCheck checkTaskLog(const QString& path, TableCheck check)
{
    TSortGrid log;
    const TableLoadResult result = loadTaskLogTable(log, path);
    if (!result.ok()) {
        check.error = result.error;
        return check;
    }
    check.marker = result.marker;
    check.upgradeNeeded = result.upgraded;
    ProblemCounter problems;
    checkRaw(path, result.marker >= 250 ? TaskLogColumnCount : TaskLogColumnCount + 4, result.marker >= 250 ? 1 : 0,
             problems);
    // Row 0 is the header the loader puts in; the file's own header row follows for current files.
    for (int r = 1; r < log.rowCount(); ++r) {
        const auto row = log.rowCells(r);
        if (isEmptyLogRow(log.rowText(r)))
            continue;
        ++check.entries;
        const int line = result.marker >= 250 ? r + 1 : r;
        if (!isDayNumber(row[logDue]))
            problems.add(QStringLiteral("due date is not a day number"), line);
        if (!isDayNumber(row[logDate]))
            problems.add(QStringLiteral("log date is not a day number"), line);
    }
    check.problems = problems.lines();
    return check;
}

TableCheck checkDiary(const QString& path, TableCheck check)
{
    TSortGrid diary;
    const TableLoadResult result = loadDiaryTable(diary, path);
    if (!result.ok()) {
        check.error = result.error;
        return check;
    }
    ProblemCounter problems;
    checkRaw(path, DiaryColumnCount, 0, problems);
    QSet<QDate> seen;
    for (int r = 0; r < diary.rowCount(); ++r) {
        const auto row = diary.rowCells(r);
        if (row[diaryText].isEmpty())
            continue;
        ++check.entries;
        const QDate date(storedIntegerOr(row[diaryYear], 0), storedIntegerOr(row[diaryMonth], 0),
                         storedIntegerOr(row[diaryDay], 0));
        if (!date.isValid())
            problems.add(QStringLiteral("year, month and day do not form a date"), r + 1);
        else if (seen.contains(date))
            problems.add(QStringLiteral("second entry for the same day; only the first is kept"), r + 1);
        seen.insert(date);
    }
    check.problems = problems.lines();
    return check;
}

TableCheck checkSpecial(const QString& path, TableCheck check)
{
    TSortGrid special;
    const TableLoadResult result = loadSpecialTable(special, path);
    if (!result.ok()) {
        check.error = result.error;
        return check;
    }
    ProblemCounter problems;
    checkRaw(path, SpecialColumnCount, 0, problems);
    for (int r = 0; r < special.rowCount(); ++r) {
        const auto row = special.rowCells(r);
        if (special.rowText(r).count(QChar(TSortGrid::CellSeparator)) == special.rowText(r).size())
            continue;
        ++check.entries;
        const int line = r + 1;
        if (!isIntegerIn(row[specMonth], 1, 12))
            problems.add(QStringLiteral("month is not 1 to 12"), line);
        if (row[specKind] == u"M") {
            if (!isIntegerIn(row[specDay], 1, 31))
                problems.add(QStringLiteral("day is not 1 to 31"), line);
        } else if (row[specKind] == u"W") {
            if (!isIntegerIn(row[specWeek], 1, 5))
                problems.add(QStringLiteral("week is not 1 to 5"), line);
            if (!isIntegerIn(row[specWeekday], 1, 7))
                problems.add(QStringLiteral("weekday is not 1 to 7"), line);
        } else {
            problems.add(QStringLiteral("kind is neither \"M\" nor \"W\""), line);
        }
    }
    check.problems = problems.lines();
    return check;
}

TableCheck checkNames(const QString& path, TableCheck check)
{
    NameList list;
    const TableLoadResult result = loadNameList(list, path);
    if (!result.ok()) {
        check.error = result.error;
        return check;
    }
    check.entries = list.size();
    ProblemCounter problems;
    checkRaw(path, 0, 0, problems);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const int lines = int(splitTextLines(decodeText(file.readAll())).size());
        if (lines > list.size())
            problems.add(QStringLiteral("%1 repeated names (ignored)").arg(lines - list.size()), 0);
        if (list.contains(QString()))
            problems.add(QStringLiteral("an empty name"), 0);
    }
    check.problems = problems.lines();
    return check;
}

} // namespace

QList<TableCheck> checkDataFolder(const QString& folder)
{
    QList<TableCheck> checks;
    for (const QString& file : TableFile::all()) {
        TableCheck check;
        check.file = file;
        const QString path = dataFilePath(folder, file);
        check.present = QFileInfo(path).isFile();
        if (!check.present) {
            checks.append(check);
            continue;
        }
        if (file == TableFile::Tasks)
            check = checkTasks(path, check);
        else if (file == TableFile::TaskLog)
            check = checkTaskLog(path, check);
        else if (file == TableFile::Diary)
            check = checkDiary(path, check);
        else if (file == TableFile::Special)
            check = checkSpecial(path, check);
        else
            check = checkNames(path, check);
        checks.append(check);
    }
    return checks;
}

UpgradeResult upgradeDataFolder(const QString& folder)
{
    UpgradeResult result;
    if (!QFileInfo(folder).isDir()) {
        result.errors.append(QStringLiteral("\"%1\" is not a folder").arg(QDir::toNativeSeparators(folder)));
        return result;
    }
    DataSetLock lock;
    switch (lock.acquire(folder)) {
    case DataSetLock::Result::Locked:
        break;
    case DataSetLock::Result::HeldByOther:
        result.errors.append(QStringLiteral("The data set in \"%1\" is open in Tarnwick PRO; close it first")
                                 .arg(QDir::toNativeSeparators(folder)));
        return result;
    case DataSetLock::Result::Failed:
        result.errors.append(lock.error());
        return result;
    }

    const auto rewrite = [&](const QString& file, const TableLoadResult& load, const QString& saveError) {
        if (!load.ok())
            result.errors.append(load.error);
        else if (!saveError.isEmpty())
            result.errors.append(saveError);
        else
            result.rewritten.append(file);
    };
    for (const QString& file : TableFile::all()) {
        const QString path = dataFilePath(folder, file);
        if (!QFileInfo(path).isFile())
            continue;
        if (file == TableFile::Tasks) {
            TSortGrid grid;
            const TableLoadResult load = loadTaskTable(grid, path);
            rewrite(file, load, load.ok() ? saveTaskTable(grid, path) : QString());
        } else if (file == TableFile::TaskLog) {
            TSortGrid grid;
            const TableLoadResult load = loadTaskLogTable(grid, path);
            if (load.ok())
                removeEmptyLogRows(grid);
            rewrite(file, load, load.ok() ? saveTaskLogTable(grid, path) : QString());
        } else if (file == TableFile::Diary) {
            TSortGrid grid;
            const TableLoadResult load = loadDiaryTable(grid, path);
            if (load.ok())
                tidyDiaryTable(grid);
            rewrite(file, load, load.ok() ? saveDiaryTable(grid, path) : QString());
        } else if (file == TableFile::Special) {
            TSortGrid grid;
            const TableLoadResult load = loadSpecialTable(grid, path);
            rewrite(file, load, load.ok() ? saveSpecialTable(grid, path) : QString());
        } else {
            NameList list;
            const TableLoadResult load = loadNameList(list, path);
            rewrite(file, load, load.ok() ? saveNameList(list, path) : QString());
        }
    }
    return result;
}
