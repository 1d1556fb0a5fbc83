#pragma once

#include "core/backgroundwrite.h"
#include "core/datasetlock.h"
#include "core/sortgrid.h"
#include "core/tablefiles.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// The open data set: its name, its folder, the lock on it and every table loaded from it.
//
// Every read or write of the data folder first makes sure the folder exists. While it does not,
// the folder guard is called (the window that waits for the folder and may switch to another data
// set through setLocation). When the guard switched the data set, a pending write is not done:
// the tables in memory belong to the data set that was open, so writing them would put one data
// set's table into another's folder. The save returns an error instead, and locationChanged()
// tells the caller to lock and open the new data set. A pending open() starts over from the new
// folder, so it never mixes tables of two folders.
class DataSet final {
public:
    DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    TSortGrid MainGrid;    // task table, 11 columns
    TSortGrid BackGrid;    // task log, row 0 is the header, entries from row 1
    TSortGrid gridDiary;   // 4 columns
    TSortGrid gridSpecial; // 6 columns
    NameList projects;
    NameList assignees;

    const QString& name() const { return m_name; }
    const QString& folder() const { return m_folder; }
    // A drive root given as "X:\" is cut to "X:"; a trailing separator is dropped.
    void setLocation(const QString& name, const QString& folder);
    static QString cutDriveRoot(const QString& folder);

    // Called while the data folder does not exist; returns false to give up. Without a guard a
    // missing folder is an error.
    using FolderGuard = std::function<bool()>;
    void setFolderGuard(FolderGuard guard) { m_guard = std::move(guard); }
    // True once a guard switched to another data set (also during open(), which then loaded the
    // new one): the caller must lock the new folder. open() clears it before it starts.
    bool locationChanged() const { return m_locationChanged; }

    // Closes any lock held and locks the current folder.
    DataSetLock::Result lock();
    void unlock() { m_lock.release(); }
    bool isLocked() const { return m_lock.isHeld(); }
    QString lockError() const { return m_lock.error(); }

    struct OpenResult {
        QList<TableMessage> messages; // upgrade warnings and errors, language-string groups
        QStringList errors;           // files that could not be created, read or written back
        bool ok() const { return errors.isEmpty(); }
    };
    // Creates missing table files, then loads every table. A task log in the old layout is saved
    // back at once in the current one.
    OpenResult open();

    // Each returns an empty string on success, else the error text.
    QString saveTasks();
    QString saveTaskLog();
    // The task table's save in two steps, so that a window can rebuild its view while the file is
    // written: prepareTasksSave() does what may wait (for a missing data folder) and refuses what
    // saveTasks() would refuse; saveTasksAside() then writes the table's rows as they are at that
    // moment on another thread. Nothing between the two may switch the data set.
    QString prepareTasksSave();
    BackgroundWrite saveTasksAside() const;
    // Reads the task log again from its file (the log window shows the file's state). While the
    // last save of the log failed, the table in memory is newer than the file: it is saved first
    // and kept when that fails again, so entries moved or deleted meanwhile are never undone.
    OpenResult reloadTaskLog();
    QString saveDiary(); // tidies the diary first
    QString saveSpecial();
    QString saveProjects();
    QString saveAssignees();

    // Appends the task as a log entry dated `today`, then deletes the task row.
    void MoveTaskToLog(int row, const QDate& today);

    enum class PurgeMode { Completed, AllTasks, DueBefore };
    struct PurgeResult {
        int count = 0;
        QString error; // from saving the two files
    };
    // Moves every matching task to the log, then saves the task file and the log.
    PurgeResult purgeToLog(PurgeMode mode, const QDate& before, const QDate& today);
    // At exit: every completed task goes to the log.
    PurgeResult AutoLogCompleted(const QDate& today) { return purgeToLog(PurgeMode::Completed, {}, today); }

    // True when any of the six table files exists in the folder.
    static bool backupHasTables(const QString& folder);
    // Writes the six tables into the folder as the normal saves do. Empty on success.
    QString backupTo(const QString& folder);

    struct RestoreResult {
        QList<TableMessage> messages; // to show before the closing message, in order
        QStringList errors;           // texts of failures (the closing message is then 264)
        int closingString = 263;      // language string shown last
        bool ok() const { return errors.isEmpty(); }
    };
    // Replaces each table found in the folder and saves it into the data folder.
    RestoreResult restoreReplace(const QString& folder);
    // Adds every row of each table found that the table does not already hold, then saves.
    RestoreResult restoreMerge(const QString& folder);

private:
    enum class Access { Read, Write };
    // Empty when the folder exists (after the guard, if needed) and the access may go on.
    QString ensureFolder(Access access);
    QString path(const QString& fileName) const { return dataFilePath(m_folder, fileName); }
    QString openOnce(OpenResult& result);
    QString saveTable(const QString& fileName, const std::function<QString(const QString&)>& writer);
    RestoreResult restore(const QString& folder, bool merge);

    QString m_name;
    QString m_folder;
    DataSetLock m_lock;
    FolderGuard m_guard;
    quint64 m_generation = 0;
    bool m_locationChanged = false;
    bool m_logUnsaved = false; // the log in memory differs from its file after a failed save
    QSet<QString> m_unread; // files that failed to load: never overwritten by a save
};
