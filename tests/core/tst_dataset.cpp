#include "core/applanguage.h"
#include "core/clock.h"
#include "core/dataset.h"
#include "core/daynumber.h"
#include "core/tasktable.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "support/tables.h"
#include "support/testfiles.h"

using namespace Qt::Literals::StringLiterals;
using PurgeMode = DataSet::PurgeMode;
Q_DECLARE_METATYPE(DataSet::PurgeMode)

namespace {

QString due(int y, int m, int d)
{
    return dueCell(QDate(y, m, d));
}

void addTask(DataSet& data, const QString& complete, const QString& name, const QString& dueCell,
             const QString& project = {})
{
    TSortGrid& grid = data.MainGrid;
    if (!isBlankTaskRow(grid.rowText(grid.rowCount() - 1)))
        grid.setRowCount(grid.rowCount() + 1);
    grid.setRow(grid.rowCount() - 1, {complete, name, dueCell, project, u"2 - Medium"_s, u"note\x1b"_s, u"file.txt"_s,
                                      u"Ann"_s, QString(), u"0"_s, QString()});
}

QStringList taskNames(const DataSet& data)
{
    QStringList names;
    for (int r = 0; r < data.MainGrid.rowCount(); ++r)
        names.append(data.MainGrid.cellText(r, colTaskName));
    return names;
}

QStringList logNames(const DataSet& data)
{
    QStringList names;
    for (int r = 1; r < data.BackGrid.rowCount(); ++r)
        if (!isEmptyLogRow(data.BackGrid.rowText(r)))
            names.append(data.BackGrid.cellText(r, logTaskName));
    return names;
}

} // namespace

class TestDataSet : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    int m_folders = 0;

    QString newFolder()
    {
        const QString path = m_root.filePath(u"set%1"_s.arg(++m_folders));
        QDir().mkpath(path);
        return path;
    }

    // An opened data set in a fresh folder with four tasks.
    void openWithTasks(DataSet& data)
    {
        data.setLocation(u"Test"_s, newFolder());
        QVERIFY(data.open().ok());
        addTask(data, u"100"_s, u"done"_s, due(2004, 3, 5) + u".4375"_s);
        addTask(data, u"40"_s, u"half"_s, due(2004, 3, 10));
        addTask(data, QString(), u"unrated"_s, due(2004, 3, 1));
        addTask(data, u"0"_s, u"open"_s, NoDueDateText.toString());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_root.isValid());
    }

    void open_emptyFolder_createsEveryTableAndLoadsEmptyTables()
    {
        DataSet data;
        data.setLocation(u"Test"_s, newFolder());
        const DataSet::OpenResult result = data.open();
        QVERIFY2(result.ok(), qPrintable(result.errors.join(u'\n')));
        for (const QString& file : TableFile::all())
            QVERIFY2(QFile::exists(dataFilePath(data.folder(), file)), qPrintable(file));
        QCOMPARE(data.MainGrid.rowCount(), 1);
        QVERIFY(isBlankTaskRow(data.MainGrid.rowText(0)));
        QCOMPARE(data.BackGrid.rowCount(), 1);
        QCOMPARE(data.gridDiary.cellText(0, diaryYear), u"1"_s);
    }

    void open_markerlessTaskLog_warnsAndSavesItBackAtOnce()
    {
        DataSet data;
        data.setLocation(u"Test"_s, newFolder());
        QVERIFY(writeTestFile(dataFilePath(data.folder(), TableFile::TaskLog),
                              "Old task\t2004\t3\t5\tWork\t1 - High\t2004\t3\t6\tnotes\tfile\tAnn\r\n"));
        const DataSet::OpenResult result = data.open();
        QVERIFY(result.ok());
        QCOMPARE(result.messages.size(), 1);
        QCOMPARE(result.messages.first().strings, (QList<int>{203, 204}));
        QCOMPARE(logNames(data), QStringList{u"Old task"_s});
        QCOMPARE(data.BackGrid.cellText(1, logDue), due(2004, 3, 5));
        const QString path = dataFilePath(data.folder(), TableFile::TaskLog);
        QVERIFY(testFileContents(path).startsWith("250\t"));
        QVERIFY(testFileContents(path + u".before-upgrade"_s).startsWith("Old task\t2004\t"));
        QVERIFY(result.messages.first().texts.join(u' ').contains(path + u".before-upgrade"_s));
    }

    void open_damagedFile_keepsACopyAndSavesEveryRowRead_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("entries");
        QByteArray tasks = "300\t\t\t\t\t\t\t\t\t\t\r\n";
        for (int i = 0; i < 1000; ++i)
            tasks += "0\tTask " + QByteArray::number(i) + "\t45000\tHome\t\t\t\t\t\t0\t\r\n";
        QByteArray nul = tasks;
        nul.insert(nul.indexOf("Task 10\t"), QByteArray(512, '\0'));
        QTest::newRow("NUL block in tasks") << TableFile::Tasks << nul << 1000;
        QByteArray utf16;
        for (const QChar c : QString(u"\uFEFF"_s + QString::fromUtf8(tasks)))
            utf16 += char(c.unicode() & 0xFF), utf16 += char(c.unicode() >> 8);
        QTest::newRow("UTF-16 tasks") << TableFile::Tasks << utf16 << 1000;
        QByteArray marker = tasks;
        marker.replace(0, 3, "3O0");
        QTest::newRow("damaged marker") << TableFile::Tasks << marker << 1000;
        QTest::newRow("NUL in projects") << TableFile::Projects << QByteArray("Home\r\n\0Work\r\nGarden\r\n", 21) << 3;
    }
    void open_damagedFile_keepsACopyAndSavesEveryRowRead()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(int, entries);
        const FixedClock clock(QDateTime(QDate(2026, 12, 6), QTime(14, 25, 1)));
        Clock::setCurrent(&clock);
        DataSet data;
        data.setLocation(u"Test"_s, newFolder());
        const QString path = dataFilePath(data.folder(), file);
        QVERIFY(writeTestFile(path, bytes));
        const DataSet::OpenResult result = data.open();
        Clock::setCurrent(nullptr);
        QVERIFY(result.ok());
        QCOMPARE(result.messages.size(), 1);
        const QString message = result.messages[0].texts.join(u'\n');
        QVERIFY2(message.contains(path) && message.contains(u"damaged"_s), qPrintable(message));
        QCOMPARE(testFileContents(path + u".damaged-20261206-142501"_s), bytes);
        QCOMPARE(file == TableFile::Tasks ? data.MainGrid.rowCount() : data.projects.size(), entries);
        QVERIFY(data.saveTasks().isEmpty() && data.saveProjects().isEmpty());
        DataSet again;
        again.setLocation(u"Test"_s, data.folder());
        QVERIFY(again.open().messages.isEmpty());
        QCOMPARE(file == TableFile::Tasks ? again.MainGrid.rowCount() : again.projects.size(), entries);
    }

    void lock_sameFolderTwice_secondIsRefusedUntilReleased()
    {
        const QString folder = newFolder();
        DataSet first;
        DataSet second;
        first.setLocation(u"A"_s, folder);
        second.setLocation(u"A"_s, folder + u'/');
        QCOMPARE(first.lock(), DataSetLock::Result::Locked);
        QCOMPARE(second.lock(), DataSetLock::Result::HeldByOther);
        first.unlock();
        QCOMPARE(second.lock(), DataSetLock::Result::Locked);
    }

    void saves_writeTheirTablesAndReopenTheSame()
    {
        DataSet data;
        openWithTasks(data);
        data.projects.add(u"Work"_s);
        data.gridDiary.setRowCount(3);
        data.gridDiary.setRow(1, {u"2004"_s, u"3"_s, u"5"_s, u"text\x1b"_s});
        data.gridDiary.setRow(2, {u"2004"_s, u"3"_s, u"6"_s, QString()}); // no text: tidied away
        for (const QString& error : {data.saveTasks(), data.saveDiary(), data.saveProjects(), data.saveTaskLog(),
                                     data.saveSpecial(), data.saveAssignees()})
            QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(
            testFileContents(dataFilePath(data.folder(), TableFile::Tasks)).startsWith("300\t\t\t\t\t\t\t\t\t\t\r\n"));

        DataSet again;
        again.setLocation(u"Test"_s, data.folder());
        QVERIFY(again.open().ok());
        QCOMPARE(taskNames(again), taskNames(data));
        QCOMPARE(again.projects.names(), QStringList{u"Work"_s});
        QCOMPARE(again.gridDiary.rowCount(), 1);
        QCOMPARE(again.gridDiary.cellText(0, diaryDay), u"5"_s);
    }

    void MoveTaskToLog_copiesTheLogColumnsAndRemovesTheTask()
    {
        DataSet data;
        openWithTasks(data);
        const QDate today(2010, 6, 1);
        data.MoveTaskToLog(0, today);
        QCOMPARE(taskNames(data), (QStringList{u"half"_s, u"unrated"_s, u"open"_s}));
        QCOMPARE(data.BackGrid.row(1), (QStringList{u"done"_s, due(2004, 3, 5) + u".4375"_s, QString(), u"2 - Medium"_s,
                                                    due(2010, 6, 1), u"note\x1b"_s, u"file.txt"_s, u"Ann"_s}));
    }

    void purgeToLog_movesTheChosenTasks_data()
    {
        QTest::addColumn<PurgeMode>("mode");
        QTest::addColumn<QDate>("before");
        QTest::addColumn<QStringList>("moved");
        QTest::newRow("completed") << PurgeMode::Completed << QDate() << QStringList{u"done"_s};
        QTest::newRow("all tasks keeps the empty completion cell")
            << PurgeMode::AllTasks << QDate() << QStringList{u"done"_s, u"half"_s, u"open"_s};
        QTest::newRow("due before a date, time of day counts")
            << PurgeMode::DueBefore << QDate(2004, 3, 6) << QStringList{u"done"_s, u"unrated"_s};
        QTest::newRow("due before the same day is not earlier")
            << PurgeMode::DueBefore << QDate(2004, 3, 5) << QStringList{u"unrated"_s};
    }
    void purgeToLog_movesTheChosenTasks()
    {
        QFETCH(PurgeMode, mode);
        QFETCH(QDate, before);
        QFETCH(QStringList, moved);
        DataSet data;
        openWithTasks(data);
        QStringList kept = taskNames(data);
        for (const QString& name : moved)
            kept.removeOne(name);
        const DataSet::PurgeResult result = data.purgeToLog(mode, before, QDate(2010, 6, 1));
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(result.count, moved.size());
        QCOMPARE(logNames(data), moved);
        QCOMPARE(taskNames(data), kept);

        // Both files were written.
        DataSet again;
        again.setLocation(u"Test"_s, data.folder());
        QVERIFY(again.open().ok());
        QCOMPARE(logNames(again), moved);
        QCOMPARE(taskNames(again), kept);
    }

    void purgeToLog_lastTaskMoved_leavesOneEmptyRowAndEnds()
    {
        DataSet data;
        data.setLocation(u"Test"_s, newFolder());
        QVERIFY(data.open().ok());
        addTask(data, u"100"_s, u"only"_s, QString()); // empty due cell: no due date
        QCOMPARE(data.purgeToLog(PurgeMode::DueBefore, QDate(2100, 1, 1), QDate(2010, 6, 1)).count, 0);
        QCOMPARE(data.AutoLogCompleted(QDate(2010, 6, 1)).count, 1);
        QCOMPARE(data.MainGrid.rowCount(), 1);
        QVERIFY(isBlankTaskRow(data.MainGrid.rowText(0)));
    }

    void backup_thenRestoreReplace_bringsTheTablesBack()
    {
        DataSet data;
        openWithTasks(data);
        data.assignees.add(u"Ann"_s);
        const QString backup = newFolder();
        QVERIFY(!DataSet::backupHasTables(backup));
        QVERIFY(data.backupTo(backup).isEmpty());
        QVERIFY(DataSet::backupHasTables(backup));
        QVERIFY(!QFile::exists(dataFilePath(backup, TableFile::Lock)));
        const QStringList names = taskNames(data);

        data.MainGrid.clear();
        data.assignees.clear();
        const DataSet::RestoreResult result = data.restoreReplace(backup);
        QVERIFY2(result.ok(), qPrintable(result.errors.join(u'\n')));
        QCOMPARE(result.closingString, 263);
        QCOMPARE(taskNames(data), names);
        QCOMPARE(data.assignees.names(), QStringList{u"Ann"_s});
        // Written into the data folder, not only into memory.
        QVERIFY(testFileContents(dataFilePath(data.folder(), TableFile::Assignees)).startsWith("Ann\r\n"));

        const DataSet::RestoreResult none = data.restoreReplace(newFolder());
        QCOMPARE(none.messages.first().strings, (QList<int>{261, 262}));
    }

    void restoreMerge_twice_addsNothingTheSecondTime()
    {
        DataSet source;
        openWithTasks(source);
        source.MoveTaskToLog(0, QDate(2010, 6, 1));
        source.gridSpecial.setRow(0, {u"Day"_s, u"M"_s, u"5"_s, u"1"_s, QString(), QString()});
        const QString backup = newFolder();
        QVERIFY(source.backupTo(backup).isEmpty());

        DataSet data;
        openWithTasks(data); // the same three remaining tasks plus "done"
        QVERIFY(data.restoreMerge(backup).ok());
        const QStringList tasks = taskNames(data);
        const int logRows = data.BackGrid.rowCount();
        const int specialRows = data.gridSpecial.rowCount();
        QCOMPARE(tasks.size(), 4);
        QCOMPARE(logNames(data), QStringList{u"done"_s});
        QCOMPARE(specialRows, 1);

        QVERIFY(data.restoreMerge(backup).ok());
        QCOMPARE(taskNames(data), tasks);
        QCOMPARE(data.BackGrid.rowCount(), logRows);
        QCOMPARE(data.gridSpecial.rowCount(), specialRows);
    }

    void missingFolder_guardRunsBeforeTheWrite()
    {
        DataSet data;
        openWithTasks(data);
        QVERIFY(data.lock() == DataSetLock::Result::Locked);
        const QString folder = data.folder();
        QVERIFY(QDir(folder).removeRecursively());

        // Without a guard: an error, and nothing is created.
        QVERIFY(!data.saveTasks().isEmpty());
        QVERIFY(!QFileInfo::exists(folder));

        // The guard runs while the folder is missing; once it is back, the write goes there.
        int calls = 0;
        data.setFolderGuard([&] {
            ++calls;
            return QDir().mkpath(folder);
        });
        QVERIFY(data.saveTasks().isEmpty());
        QCOMPARE(calls, 1);
        QVERIFY(QFile::exists(dataFilePath(folder, TableFile::Tasks)));
        QVERIFY(data.isLocked());
        QVERIFY(data.saveTasks().isEmpty());
        QCOMPARE(calls, 1);
    }

    void missingFolder_guardSwitchesDataSet_nothingWrittenIntoTheOther()
    {
        DataSet data;
        openWithTasks(data);
        const QString other = newFolder();
        QVERIFY(QDir(data.folder()).removeRecursively());
        data.setFolderGuard([&] {
            data.setLocation(u"Other"_s, other);
            return true;
        });
        QVERIFY(!data.saveTasks().isEmpty());
        QVERIFY(data.locationChanged());
        QVERIFY(QDir(other).isEmpty());

        // Opening goes on in the new folder.
        QVERIFY(data.open().ok());
        QVERIFY(QFile::exists(dataFilePath(other, TableFile::Tasks)));
        QCOMPARE(data.MainGrid.rowCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDataSet)
#include "tst_dataset.moc"
