#include "core/dataset.h"
#include "core/formatsettings.h"
#include "core/tasktable.h"
#include "log/tasklog.h"
#include "log/tasklogmodel.h"
#include "support/tables.h"
#include "support/testfiles.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The task log's table rules without its window: cleaning, date texts, reloading from the file.
class TestTaskLog : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    int m_folders = 0;

    void openDataSet(DataSet& data, const QByteArray& logFile = {})
    {
        const QString folder = m_root.filePath(u"set%1"_s.arg(++m_folders));
        QDir().mkpath(folder);
        if (!logFile.isEmpty())
            QVERIFY(writeTestFile(dataFilePath(folder, TableFile::TaskLog), logFile));
        data.setLocation(u"Test"_s, folder);
        QVERIFY(data.open().ok());
    }

    static QString logPath(const DataSet& data) { return dataFilePath(data.folder(), TableFile::TaskLog); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_root.isValid());
        FormatSettings settings = FormatSettings::fromLocale(QLocale::c());
        settings.shortDateFormat = u"d/m/yyyy"_s;
        settings.longTimeFormat = u"hh:nn:ss"_s;
        settings.dateSeparator = u'/';
        settings.timeSeparator = u':';
        FormatSettings::setCurrent(settings);
    }
    void cleanupTestCase() { FormatSettings::resetToSystem(); }

    void dateText_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no due date") << u"100000"_s << QString();
        QTest::newRow("with a time: long time") << dueCell(QDate(2004, 3, 5), 0.4375) << u"5/3/2004 10:30:00"_s;
        QTest::newRow("whole day: no time") << dueCell(QDate(2026, 12, 6)) << u"6/12/2026"_s;
        QTest::newRow("not a number: as it stands") << u"soon"_s << u"soon"_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void dateText()
    {
        QFETCH(QString, cell);
        QFETCH(QString, shown);
        QCOMPARE(TaskLog::dateText(cell), shown);
    }

    // Saving and loading leave empty rows behind the header; the cleaning after each load takes
    // them out again, so neither entries nor rows pile up, with entries or without.
    void cleaning_repeatedSaveAndLoad_neverGrowsNorLoses()
    {
        DataSet data;
        openDataSet(data, "250\r\n\t\t\t\t\t\t\t\r\n\t\t\t\t\t\t\t\r\nFirst\t100000\t\t\t46000\t\t\t\r\n"
                          "\t\t\t\t\t\t\t\r\nSecond\t46001.5\tWork\t\t46001\tnote\x1b\tfile\tAnn\r\n");
        for (int entries : {2, 0}) {
            if (entries == 0)
                data.BackGrid = TSortGrid(TaskLogColumnCount, 1);
            QByteArray firstFile;
            for (int round = 0; round < 3; ++round) {
                TaskLog::CleanLogGrid(data.BackGrid);
                QCOMPARE(data.BackGrid.rowCount(), entries == 0 ? 2 : entries + 1);
                QCOMPARE(TaskLog::hasEntries(data.BackGrid), entries > 0);
                QVERIFY(data.saveTaskLog().isEmpty());
                if (round == 0)
                    firstFile = testFileContents(logPath(data));
                QCOMPARE(testFileContents(logPath(data)), firstFile);
                QVERIFY(data.reloadTaskLog().ok());
            }
            if (entries > 0) {
                QCOMPARE(data.BackGrid.cellText(1, logTaskName), u"First"_s);
                QCOMPARE(data.BackGrid.cellText(2, logAssignee), u"Ann"_s);
            } else {
                QCOMPARE(firstFile, QByteArray("250\t\t\t\t\t\t\t\r\n\t\t\t\t\t\t\t\r\n\t\t\t\t\t\t\t\r\n"));
            }
        }
    }

    // A log whose save failed (a full disk) is newer than its file: showing the log window must not
    // read the old file over the tasks just moved into it.
    void reload_afterFailedSave_keepsMovedEntries()
    {
        DataSet data;
        openDataSet(data);
        data.MainGrid.setRow(0, {u"0"_s, u"Moved task with a long name"_s, u"100000"_s, u"Project"_s, QString(),
                                 EncodeNotes({u"Notes long enough to fill the file beyond the limit"_s})});
        data.MoveTaskToLog(0, QDate(2026, 12, 6));
        QVERIFY(!withTinyFileSizeLimit([&] { return data.saveTaskLog(); }).isEmpty());

        // Still no room: the table in memory stays as it is.
        const DataSet::OpenResult failed = withTinyFileSizeLimit([&] { return data.reloadTaskLog(); });
        QVERIFY(!failed.ok());
        QVERIFY(TaskLog::hasEntries(data.BackGrid));

        // Room again: the table is saved first, then read back with its entry.
        QVERIFY(data.reloadTaskLog().ok());
        QCOMPARE(data.BackGrid.cellText(1, logTaskName), u"Moved task with a long name"_s);
        QVERIFY(testFileContents(logPath(data)).contains("Moved task with a long name"));
    }

    // A damaged log is copied and reported once, when the data set opens; showing the log window
    // afterwards finds the repaired table, not the damage again.
    void reload_afterDamagedOpen_copiesOnce()
    {
        DataSet data;
        openDataSet(data, QByteArray("250\r\n\t\t\t\t\t\t\t\r\nKept\t100000\t\t\t46000\t\t\t\r\nCut\0off\r\n", 47));
        const DataSet::OpenResult reloaded = data.reloadTaskLog();
        QVERIFY(reloaded.ok());
        QVERIFY(reloaded.messages.isEmpty());
        QCOMPARE(QDir(data.folder()).entryList({u"tasklog.twk.damaged-*"_s}).size(), 1);
        QCOMPARE(data.BackGrid.cellText(1, logTaskName), u"Kept"_s);
    }

    void model_showsEntriesUnderTheHeader()
    {
        const TSortGrid log = gridOf(
            TaskLogColumnCount,
            {{}, {u"Done"_s, u"100000"_s, u"Work"_s, u"1 - High"_s, dueCell(QDate(2026, 12, 6)), {}, {}, u"Ann"_s}});
        TaskLogModel model(log);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, 0)).toString(), u"Done"_s);
        QCOMPARE(model.data(model.index(0, 1)).toString(), QString());
        QCOMPARE(model.data(model.index(0, 4)).toString(), u"6/12/2026"_s);
        QCOMPARE(model.data(model.index(0, 5)).toString(), u"Ann"_s);
    }
};

QTEST_GUILESS_MAIN(TestTaskLog)
#include "tst_tasklog.moc"
