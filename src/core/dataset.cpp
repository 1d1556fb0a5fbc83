#include "core/dataset.h"

#include "core/daynumber.h"
#include "core/tasktable.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

QString missingFolderText(const QString& folder)
{
    return QStringLiteral("The data folder \"%1\" does not exist.").arg(QDir::toNativeSeparators(folder));
}

// The first `width` cells of a row text: rows are compared on this much.
QStringView comparedPart(QStringView rowText, int width)
{
    qsizetype pos = 0;
    for (int c = 0; c < width; ++c) {
        pos = rowText.indexOf(TSortGrid::CellSeparator, pos);
        if (pos < 0)
            return rowText;
        if (c + 1 < width)
            ++pos;
    }
    return rowText.left(pos);
}

bool allCellsEmpty(QStringView rowText)
{
    for (const QChar ch : rowText) {
        if (ch != QChar(TSortGrid::CellSeparator))
            return false;
    }
    return true;
}

// Appends each scratch row (from `firstRow`, unless `skip` says so) that has no equal row in the
// table, compared on `width` columns. Rows appended count as present, so a file holding a row
// twice adds it once, and merging the same file again adds nothing.
template <typename Skip> void mergeRows(TSortGrid& table, const TSortGrid& scratch, int firstRow, int width, Skip skip)
{
    QSet<QString> present;
    for (const QString& row : table.rows())
        present.insert(comparedPart(row, width).toString());
    for (int r = firstRow; r < scratch.rowCount(); ++r) {
        const QString& row = scratch.rowText(r);
        if (skip(row))
            continue;
        QString key = comparedPart(row, width).toString();
        if (present.contains(key))
            continue;
        present.insert(std::move(key));
        table.setRowCount(table.rowCount() + 1);
        table.setRow(table.rowCount() - 1, scratch.row(r));
    }
}

// Rows without year, month and day go, while two or more rows remain.
void removeUndatedDiaryRows(TSortGrid& diary)
{
    for (int r = 0; r < diary.rowCount() && diary.rowCount() > 1;) {
        if (diary.cell(r, diaryYear).isEmpty() && diary.cell(r, diaryMonth).isEmpty() &&
            diary.cell(r, diaryDay).isEmpty())
            diary.DeleteRow(r);
        else
            ++r;
    }
}

} // namespace

DataSet::DataSet()
    : MainGrid(TaskColumnCount, 1), BackGrid(TaskLogColumnCount, 1), gridDiary(DiaryColumnCount, 1),
      gridSpecial(SpecialColumnCount, 1)
{}

QString DataSet::cutDriveRoot(const QString& folder)
{
    QString cut = folder;
    if (cut.size() == 3 && cut.at(0).isLetter() && cut.at(1) == u':' && cut.at(2) == u'\\')
        cut.truncate(2);
    while (cut.size() > 1 && (cut.endsWith(u'/') || cut.endsWith(u'\\')))
        cut.chop(1);
    return cut;
}

void DataSet::setLocation(const QString& name, const QString& folder)
{
    const QString cut = cutDriveRoot(folder);
    if (cut != m_folder)
        ++m_generation;
    m_name = name;
    m_folder = cut;
}

DataSetLock::Result DataSet::lock()
{
    m_lock.release();
    return m_lock.acquire(m_folder);
}

QString DataSet::ensureFolder(Access access)
{
    if (m_folder.isEmpty())
        return QStringLiteral("No data folder is chosen.");
    if (QFileInfo(m_folder).isDir())
        return {};
    const quint64 generation = m_generation;
    const bool wasLocked = m_lock.isHeld();
    while (!QFileInfo(m_folder).isDir()) {
        if (!m_guard || !m_guard())
            return missingFolderText(m_folder);
        if (m_generation != generation) {
            m_locationChanged = true;
            if (access == Access::Write)
                return QStringLiteral("Another data set was opened while the data folder was missing; "
                                      "nothing was written into its folder \"%1\".")
                    .arg(QDir::toNativeSeparators(m_folder));
        }
    }
    // The folder came back (restored or made anew): the lock file went with it, so take the lock
    // again before writing, or another program could open the same data set meanwhile.
    if (wasLocked && m_generation == generation && lock() != DataSetLock::Result::Locked)
        return QStringLiteral("The data set in \"%1\" could not be locked again after its folder came back.")
            .arg(QDir::toNativeSeparators(m_folder));
    return {};
}

DataSet::OpenResult DataSet::open()
{
    m_locationChanged = false;
    m_logUnsaved = false;
    for (;;) {
        OpenResult result;
        const quint64 generation = m_generation;
        const QString error = openOnce(result);
        if (m_generation == generation) {
            if (!error.isEmpty())
                result.errors.append(error);
            return result;
        }
        // The guard switched to another data set midway: start over there, so no table of the
        // first data set stays loaded beside the tables of the second.
    }
}

QString DataSet::openOnce(OpenResult& result)
{
    const quint64 generation = m_generation;
    m_unread.clear();
    const auto load = [&](const QString& fileName, auto&& loader) {
        if (const QString error = ensureFolder(Access::Read); !error.isEmpty())
            return error;
        if (m_generation != generation)
            return QString();
        if (const QString error = createMissingTableFile(m_folder, fileName); !error.isEmpty()) {
            m_unread.insert(fileName);
            result.errors.append(error);
            return QString();
        }
        TableLoadResult loaded = loader(path(fileName));
        QString copyError;
        if (!keepCopyBeforeRewrite(path(fileName), loaded, &copyError)) {
            // A damaged or older file is only written over once a copy of it is safe.
            m_unread.insert(fileName);
            result.errors.append(copyError);
        }
        result.messages.append(loaded.messages);
        if (!loaded.ok()) {
            // Never write back over a file that could not be read.
            m_unread.insert(fileName);
            result.errors.append(loaded.error);
        }
        return QString();
    };
    // Tables that fail to load start empty, never with the previous data set's rows.
    MainGrid = TSortGrid(TaskColumnCount, 1);
    BackGrid = TSortGrid(TaskLogColumnCount, 1);
    gridDiary = TSortGrid(DiaryColumnCount, 1);
    gridSpecial = TSortGrid(SpecialColumnCount, 1);
    projects.clear();
    assignees.clear();
    bool logUpgraded = false;
    bool logDamaged = false;
    const std::pair<QString, std::function<TableLoadResult(const QString&)>> tables[] = {
        {TableFile::Tasks, [&](const QString& p) { return loadTaskTable(MainGrid, p); }},
        {TableFile::Projects, [&](const QString& p) { return loadNameList(projects, p); }},
        {TableFile::Assignees, [&](const QString& p) { return loadNameList(assignees, p); }},
        {TableFile::Diary, [&](const QString& p) { return loadDiaryTable(gridDiary, p); }},
        {TableFile::Special, [&](const QString& p) { return loadSpecialTable(gridSpecial, p); }},
        {TableFile::TaskLog,
         [&](const QString& p) {
             TableLoadResult loaded = loadTaskLogTable(BackGrid, p);
             // Saving and loading leave empty rows behind the header; they are no entries.
             removeEmptyLogRows(BackGrid);
             logUpgraded = loaded.ok() && loaded.upgraded && loaded.damage.isEmpty();
             logDamaged = loaded.ok() && !loaded.damage.isEmpty();
             return loaded;
         }},
    };
    for (const auto& [fileName, loader] : tables) {
        if (const QString error = load(fileName, loader); !error.isEmpty())
            return error;
        if (m_generation != generation)
            return {};
    }
    // What could be read of a damaged log is in memory and the file's copy is kept: the log window's
    // next reading writes the table first instead of finding the damage (and copying it) again.
    if (logDamaged && !m_unread.contains(TableFile::TaskLog))
        m_logUnsaved = true;
    if (logUpgraded && !m_unread.contains(TableFile::TaskLog)) {
        if (const QString error = saveTaskLog(); !error.isEmpty())
            result.errors.append(error);
    }
    return {};
}

QString DataSet::saveTable(const QString& fileName, const std::function<QString(const QString&)>& writer)
{
    if (m_unread.contains(fileName))
        return QStringLiteral("\"%1\" could not be read when the data set was opened, so it is not overwritten.")
            .arg(QDir::toNativeSeparators(path(fileName)));
    if (const QString error = ensureFolder(Access::Write); !error.isEmpty())
        return error;
    return writer(path(fileName));
}

QString DataSet::saveTasks()
{
    return saveTable(TableFile::Tasks, [this](const QString& p) { return saveTaskTable(MainGrid, p); });
}

QString DataSet::prepareTasksSave()
{
    return saveTable(TableFile::Tasks, [](const QString&) { return QString(); });
}

BackgroundWrite DataSet::saveTasksAside() const
{
    // The copy shares the rows; a change of the table meanwhile copies them first.
    return BackgroundWrite::start(
        [tasks = MainGrid, path = path(TableFile::Tasks)] { return saveTaskTable(tasks, path); });
}

QString DataSet::saveTaskLog()
{
    const QString error =
        saveTable(TableFile::TaskLog, [this](const QString& p) { return saveTaskLogTable(BackGrid, p); });
    m_logUnsaved = !error.isEmpty();
    return error;
}

DataSet::OpenResult DataSet::reloadTaskLog()
{
    OpenResult result;
    if (m_logUnsaved) {
        if (const QString error = saveTaskLog(); !error.isEmpty()) {
            result.errors.append(error);
            return result;
        }
    }
    const quint64 generation = m_generation;
    if (const QString error = ensureFolder(Access::Read); !error.isEmpty()) {
        result.errors.append(error);
        return result;
    }
    // Another data set is being opened: its log comes with it.
    if (m_generation != generation)
        return result;
    if (const QString error = createMissingTableFile(m_folder, TableFile::TaskLog); !error.isEmpty()) {
        result.errors.append(error);
        return result;
    }
    TSortGrid log(TaskLogColumnCount, 1);
    TableLoadResult loaded = loadTaskLogTable(log, path(TableFile::TaskLog));
    if (!loaded.ok()) {
        // The table in memory stays; the file is not written over while it cannot be read.
        m_unread.insert(TableFile::TaskLog);
        result.errors.append(loaded.error);
        return result;
    }
    QString copyError;
    const bool copyKept = keepCopyBeforeRewrite(path(TableFile::TaskLog), loaded, &copyError);
    result.messages = loaded.messages;
    if (copyKept) {
        m_unread.remove(TableFile::TaskLog);
    } else {
        m_unread.insert(TableFile::TaskLog);
        result.errors.append(copyError);
    }
    removeEmptyLogRows(log);
    BackGrid = std::move(log);
    if (copyKept && loaded.upgraded && loaded.damage.isEmpty()) {
        if (const QString error = saveTaskLog(); !error.isEmpty())
            result.errors.append(error);
    }
    return result;
}

QString DataSet::saveDiary()
{
    tidyDiaryTable(gridDiary);
    return saveTable(TableFile::Diary, [this](const QString& p) { return saveDiaryTable(gridDiary, p); });
}

QString DataSet::saveSpecial()
{
    return saveTable(TableFile::Special, [this](const QString& p) { return saveSpecialTable(gridSpecial, p); });
}

QString DataSet::saveProjects()
{
    return saveTable(TableFile::Projects, [this](const QString& p) { return saveNameList(projects, p); });
}

QString DataSet::saveAssignees()
{
    return saveTable(TableFile::Assignees, [this](const QString& p) { return saveNameList(assignees, p); });
}

void DataSet::MoveTaskToLog(int row, const QDate& today)
{
    if (row < 0 || row >= MainGrid.rowCount())
        return;
    const QStringList entry{
        MainGrid.cellText(row, colTaskName),   MainGrid.cellText(row, colDue),      MainGrid.cellText(row, colProject),
        MainGrid.cellText(row, colPriority),   dayNumberText(dayNumber(today)),     MainGrid.cellText(row, colNotes),
        MainGrid.cellText(row, colAttachment), MainGrid.cellText(row, colAssignee),
    };
    BackGrid.setRowCount(BackGrid.rowCount() + 1);
    BackGrid.setRow(BackGrid.rowCount() - 1, entry);
    MainGrid.DeleteRow(row);
}

DataSet::PurgeResult DataSet::purgeToLog(PurgeMode mode, const QDate& before, const QDate& today)
{
    const double limit = dayNumber(before);
    const auto matches = [&](int row) {
        switch (mode) {
        case PurgeMode::Completed:
            return isCompleted(MainGrid.cell(row, colComplete));
        case PurgeMode::AllTasks:
            return !MainGrid.cell(row, colComplete).isEmpty() && !MainGrid.cell(row, colTaskName).isEmpty();
        case PurgeMode::DueBefore: {
            // An empty or unreadable cell has no due date; reading it as day 0 would move the
            // emptied last row again and again.
            double due = NoDueDate;
            return parseDayNumber(MainGrid.cell(row, colDue), &due) && due < limit;
        }
        }
        return false;
    };
    PurgeResult result;
    for (int row = 0; row < MainGrid.rowCount();) {
        // The only row of the table is emptied rather than removed; an empty row matches no mode.
        if (matches(row)) {
            MoveTaskToLog(row, today);
            ++result.count;
        } else {
            ++row;
        }
    }
    QStringList errors;
    for (const QString& error : {saveTasks(), saveTaskLog()}) {
        if (!error.isEmpty())
            errors.append(error);
    }
    result.error = errors.join(u'\n');
    return result;
}

bool DataSet::backupHasTables(const QString& folder)
{
    for (const QString& fileName : TableFile::all()) {
        if (QFileInfo::exists(dataFilePath(folder, fileName)))
            return true;
    }
    return false;
}

QString DataSet::backupTo(const QString& folder)
{
    const QString target = cutDriveRoot(folder);
    if (!QFileInfo(target).isDir())
        return QStringLiteral("The folder \"%1\" does not exist.").arg(QDir::toNativeSeparators(target));
    tidyDiaryTable(gridDiary);
    const auto file = [&](const QString& name) { return dataFilePath(target, name); };
    for (const QString& error :
         {saveTaskTable(MainGrid, file(TableFile::Tasks)), saveTaskLogTable(BackGrid, file(TableFile::TaskLog)),
          saveDiaryTable(gridDiary, file(TableFile::Diary)), saveSpecialTable(gridSpecial, file(TableFile::Special)),
          saveNameList(projects, file(TableFile::Projects)), saveNameList(assignees, file(TableFile::Assignees))}) {
        if (!error.isEmpty())
            return error;
    }
    return {};
}

DataSet::RestoreResult DataSet::restoreReplace(const QString& folder)
{
    return restore(folder, false);
}

DataSet::RestoreResult DataSet::restoreMerge(const QString& folder)
{
    return restore(folder, true);
}

DataSet::RestoreResult DataSet::restore(const QString& folder, bool merge)
{
    RestoreResult result;
    const QString source = cutDriveRoot(folder);
    if (!backupHasTables(source)) {
        result.messages.append({TableMessage::Error, {261, 262}});
        return result;
    }
    const auto note = [&](const QString& error) {
        if (!error.isEmpty())
            result.errors.append(error);
    };
    for (const QString& fileName : TableFile::all()) {
        const QString file = dataFilePath(source, fileName);
        if (!QFileInfo::exists(file))
            continue;
        TableLoadResult loaded;
        if (fileName == TableFile::Tasks) {
            TSortGrid scratch(TaskColumnCount, 1);
            loaded = loadTaskTable(scratch, file);
            if (loaded.ok()) {
                if (merge) {
                    // Cells 0 to 9 are compared; the spare cell is not.
                    mergeRows(MainGrid, scratch, 0, TaskColumnCount - 1, isBlankTaskRow);
                    RemoveBlankRows(MainGrid);
                } else {
                    MainGrid = std::move(scratch);
                }
                m_unread.remove(fileName);
                note(saveTasks());
            }
        } else if (fileName == TableFile::TaskLog) {
            TSortGrid scratch(TaskLogColumnCount, 1);
            loaded = loadTaskLogTable(scratch, file);
            if (loaded.ok()) {
                if (merge)
                    mergeRows(BackGrid, scratch, 1, TaskLogColumnCount, isEmptyLogRow);
                else
                    BackGrid = std::move(scratch);
                removeEmptyLogRows(BackGrid);
                m_unread.remove(fileName);
                note(saveTaskLog());
            }
        } else if (fileName == TableFile::Diary) {
            TSortGrid scratch(DiaryColumnCount, 1);
            loaded = loadDiaryTable(scratch, file);
            if (loaded.ok()) {
                if (merge)
                    mergeRows(gridDiary, scratch, 0, DiaryColumnCount, allCellsEmpty);
                else
                    gridDiary = std::move(scratch);
                removeUndatedDiaryRows(gridDiary);
                m_unread.remove(fileName);
                note(saveDiary());
            }
        } else if (fileName == TableFile::Special) {
            TSortGrid scratch(SpecialColumnCount, 1);
            loaded = loadSpecialTable(scratch, file);
            if (loaded.ok()) {
                if (merge) {
                    mergeRows(gridSpecial, scratch, 0, SpecialColumnCount, allCellsEmpty);
                    if (gridSpecial.rowCount() > 1 && allCellsEmpty(gridSpecial.rowText(0)))
                        gridSpecial.DeleteRow(0);
                } else {
                    gridSpecial = std::move(scratch);
                }
                m_unread.remove(fileName);
                note(saveSpecial());
            }
        } else {
            const bool isProjects = fileName == TableFile::Projects;
            NameList& list = isProjects ? projects : assignees;
            NameList scratch;
            loaded = loadNameList(scratch, file);
            if (loaded.ok()) {
                if (!merge)
                    list.clear();
                for (const QString& name : scratch.names())
                    list.add(name);
                m_unread.remove(fileName);
                note(isProjects ? saveProjects() : saveAssignees());
            }
        }
        if (!loaded.damage.isEmpty())
            result.messages.append(
                {TableMessage::Warning,
                 {},
                 {QStringLiteral("The file \"%1\" is damaged: %2. What could be read of it was restored.")
                      .arg(QDir::toNativeSeparators(file), loaded.damage)}});
        result.messages.append(loaded.messages);
        note(loaded.error);
    }
    if (!result.ok())
        result.closingString = 264;
    return result;
}
