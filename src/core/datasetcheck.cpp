#include "core/datasetcheck.h"

#include "core/atomicfile.h"
#include "core/datasetlock.h"
#include "core/daynumber.h"
#include "core/sortgrid.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "core/textcodec.h"

#include <QDir>
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
    const std::optional<int> value = readStoredInteger(cell);
    return value && *value >= low && *value <= high;
}

// The file's bytes and text, read once for the loader and for the checks of the raw lines.
struct RawTable {
    QByteArray bytes;
    QString text;
    QString damage; // what the decoding found: NUL bytes, UTF-16 text
};

// Finds what the loaders will drop or reinterpret in the plain lines of the file.
void checkRawLines(const RawTable& raw, int columns, int firstDataLine, ProblemCounter& problems)
{
    if (const int legacy = countNonUtf8Lines(raw.bytes); legacy > 0)
        problems.add(QStringLiteral("%1 line(s) not UTF-8, read as Windows-1252").arg(legacy), 0);
    if (columns <= 0)
        return;
    // One pass over each line: rows of thousands of fields must not take quadratic time.
    int line = 0;
    for (const QStringView text : QStringView(raw.text).tokenize(u'\n')) {
        ++line;
        if (line <= firstDataLine)
            continue;
        int fields = 1;
        int usedFields = 1;
        for (const QChar ch : text) {
            if (ch == u'\t')
                ++fields;
            else if (ch != u'\r')
                usedFields = fields;
        }
        if (usedFields > columns)
            problems.add(QStringLiteral("more than %1 fields; the surplus is dropped").arg(columns), line);
    }
}

// A damaged file is read as far as it can be; the program keeps a copy before it writes over it.
void checkDamage(const QString& damage, ProblemCounter& problems)
{
    if (!damage.isEmpty())
        problems.add(QStringLiteral("damaged: %1; the program keeps a copy of the file and reads what it can")
                         .arg(damage),
                     0);
}

void checkTasks(const RawTable& raw, TableCheck& check, ProblemCounter& problems)
{
    TSortGrid tasks;
    const TableLoadResult result = loadTaskTableText(tasks, raw.text);
    check.marker = result.marker;
    check.upgradeNeeded = result.upgraded;
    checkDamage(result.damage, problems);
    const bool current = !result.upgraded;
    // Files before the marker had two more date columns.
    checkRawLines(raw, current ? TaskColumnCount : TaskColumnCount + 2, current ? 1 : 0, problems);
    static const QRegularExpression alarmPattern(QStringLiteral("^[ 0-9]{2}[0-9]=[0-3]$"));
    const int lineOffset = current ? 2 : 1;
    for (int r = 0; r < tasks.rowCount(); ++r) {
        if (isBlankTaskRow(tasks.rowText(r)))
            continue;
        ++check.entries;
        const auto row = tasks.rowCells(r);
        const int line = r + lineOffset;
        if (row[colTaskName].isEmpty())
            problems.add(QStringLiteral("task without a name"), line);
        if (!row[colComplete].isEmpty() && !isIntegerIn(row[colComplete], 0, 100))
            problems.add(QStringLiteral("percent complete is not 0 to 100; read as %1")
                             .arg(percentComplete(row[colComplete])),
                         line);
        if (!isDayNumber(row[colDue]))
            problems.add(QStringLiteral("due date is not a day number; read as no due date"), line);
        if (!row[colAlarm].isEmpty() && !alarmPattern.match(row[colAlarm]).hasMatch())
            problems.add(QStringLiteral("alarm cell is malformed"), line);
        if (!row[colRecurrence].isEmpty() && !isIntegerIn(row[colRecurrence], 0, RecurrenceCount - 1))
            problems.add(QStringLiteral("recurrence is not 0 to 10; read as once"), line);
    }
}

void checkTaskLog(const RawTable& raw, TableCheck& check, ProblemCounter& problems)
{
    TSortGrid log;
    const TableLoadResult result = loadTaskLogTableText(log, raw.text);
    check.marker = result.marker;
    check.upgradeNeeded = result.upgraded;
    checkDamage(result.damage, problems);
    const bool current = !result.upgraded;
    // Files before the marker kept both dates as three columns each.
    checkRawLines(raw, current ? TaskLogColumnCount : TaskLogColumnCount + 4, current ? 1 : 0, problems);
    // Row 0 is the header the loader puts in; the file's own header row follows for current files.
    for (int r = 1; r < log.rowCount(); ++r) {
        if (isEmptyLogRow(log.rowText(r)))
            continue;
        ++check.entries;
        const auto row = log.rowCells(r);
        const int line = current ? r + 1 : r;
        if (!isDayNumber(row[logDue]))
            problems.add(QStringLiteral("due date is not a day number"), line);
        if (!isDayNumber(row[logDate]))
            problems.add(QStringLiteral("log date is not a day number"), line);
    }
}

void checkDiary(const RawTable& raw, TableCheck& check, ProblemCounter& problems)
{
    TSortGrid diary;
    loadDiaryTableText(diary, raw.text);
    checkRawLines(raw, DiaryColumnCount, 0, problems);
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
}

void checkSpecial(const RawTable& raw, TableCheck& check, ProblemCounter& problems)
{
    TSortGrid special;
    loadSpecialTableText(special, raw.text);
    checkRawLines(raw, SpecialColumnCount, 0, problems);
    for (int r = 0; r < special.rowCount(); ++r) {
        const QString& text = special.rowText(r);
        if (text.count(QChar(TSortGrid::CellSeparator)) == text.size())
            continue;
        ++check.entries;
        const auto row = special.rowCells(r);
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
}

void checkNames(const RawTable& raw, TableCheck& check, ProblemCounter& problems)
{
    NameList list;
    loadNameListText(list, raw.text);
    check.entries = list.size();
    checkRawLines(raw, 0, 0, problems);
    const QStringList lines = splitTextLines(raw.text);
    const int empty = int(lines.count(QString()));
    if (lines.size() - empty > list.size())
        problems.add(QStringLiteral("%1 repeated names (ignored)").arg(lines.size() - empty - list.size()), 0);
    if (empty > 0)
        problems.add(QStringLiteral("%1 empty line(s) (ignored)").arg(empty), 0);
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
        RawTable raw;
        check.error = readFileBytes(path, &raw.bytes);
        if (!check.error.isEmpty()) {
            checks.append(check);
            continue;
        }
        raw.text = decodeTableText(raw.bytes, &raw.damage);
        ProblemCounter problems;
        checkDamage(raw.damage, problems);
        if (file == TableFile::Tasks)
            checkTasks(raw, check, problems);
        else if (file == TableFile::TaskLog)
            checkTaskLog(raw, check, problems);
        else if (file == TableFile::Diary)
            checkDiary(raw, check, problems);
        else if (file == TableFile::Special)
            checkSpecial(raw, check, problems);
        else
            checkNames(raw, check, problems);
        check.problems = problems.lines();
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

    // A damaged or older file is only written over once a copy of it is kept beside it.
    const auto rewrite = [&](const QString& file, const QString& path, TableLoadResult load, auto save) {
        QString error;
        if (!load.ok()) {
            result.errors.append(load.error);
        } else if (!keepCopyBeforeRewrite(path, load, &error)) {
            result.errors.append(error);
        } else {
            for (const TableMessage& m : load.messages)
                result.notes.append(m.texts);
            error = save();
            if (error.isEmpty())
                result.rewritten.append(file);
            else
                result.errors.append(error);
        }
    };
    for (const QString& file : TableFile::all()) {
        const QString path = dataFilePath(folder, file);
        if (!QFileInfo(path).isFile())
            continue;
        if (file == TableFile::Tasks) {
            TSortGrid grid;
            const TableLoadResult load = loadTaskTable(grid, path);
            rewrite(file, path, load, [&] { return saveTaskTable(grid, path); });
        } else if (file == TableFile::TaskLog) {
            TSortGrid grid;
            const TableLoadResult load = loadTaskLogTable(grid, path);
            if (load.ok())
                removeEmptyLogRows(grid);
            rewrite(file, path, load, [&] { return saveTaskLogTable(grid, path); });
        } else if (file == TableFile::Diary) {
            TSortGrid grid;
            const TableLoadResult load = loadDiaryTable(grid, path);
            if (load.ok())
                tidyDiaryTable(grid);
            rewrite(file, path, load, [&] { return saveDiaryTable(grid, path); });
        } else if (file == TableFile::Special) {
            TSortGrid grid;
            const TableLoadResult load = loadSpecialTable(grid, path);
            rewrite(file, path, load, [&] { return saveSpecialTable(grid, path); });
        } else {
            NameList list;
            const TableLoadResult load = loadNameList(list, path);
            rewrite(file, path, load, [&] { return saveNameList(list, path); });
        }
    }
    return result;
}
