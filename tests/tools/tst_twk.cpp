#include "core/datasetlock.h"
#include "core/tablefiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// Drives the data tool as a user would, on data sets made by hand.
class TestTwk : public QObject {
    Q_OBJECT

private:
    struct Run {
        int status;
        QString out;
        QString err;
    };

    static Run twk(const QStringList& args)
    {
        QProcess process;
        process.start(QStringLiteral(TWK_TOOL_PATH), args);
        if (!process.waitForFinished(60000))
            return {-1, {}, u"timed out"_s};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    static void write(const QString& folder, const QString& name, const QByteArray& bytes)
    {
        QFile file(folder + u'/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Every file of the folder with its content digest, to prove nothing changed.
    static QMap<QString, QByteArray> snapshot(const QString& folder)
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden);
        while (it.hasNext()) {
            const QString path = it.next();
            files.insert(path, QCryptographicHash::hash(read(path), QCryptographicHash::Sha1));
        }
        return files;
    }

    static QString lineOf(const QString& out, const QString& file)
    {
        for (const QString& line : out.split(u'\n')) {
            if (line.startsWith(file + u':'))
                return line;
        }
        return {};
    }

private Q_SLOTS:
    void check_reportsEveryTableAndChangesNothing()
    {
        QTemporaryDir dir;
        const QString folder = dir.path();
        write(folder, TableFile::Tasks, "N\tOld\t2024\t3\t5\tHome\r\nY\tDone\t2100\t1\t1\r\n");
        write(folder, TableFile::TaskLog, "250\r\n\t\t\t\t\t\t\t\r\nGone\t45000\tHome\t\t45001\t\t\t\r\n");
        write(folder, TableFile::Diary, "1\t1\t1\t\r\n2024\t2\t30\tbad day\x1b\r\n");
        write(folder, TableFile::Projects, "Home\r\nhome\r\nWork\r\n");
        // One line in Windows-1252 and one of 20,000 fields.
        write(folder, TableFile::Special, "F\xEAte\tM\t7\t14\t\t\r\nWide" + QByteArray(20000, '\t') + "x\r\n");
        const auto before = snapshot(folder);

        const Run run = twk({u"check"_s, folder});
        QCOMPARE(run.status, 0);
        QCOMPARE(snapshot(folder), before);
        QVERIFY2(lineOf(run.out, TableFile::Tasks).contains(u"2 tasks"_s), qPrintable(run.out));
        QVERIFY(lineOf(run.out, TableFile::Tasks).contains(u"upgrade needed"_s));
        QVERIFY(lineOf(run.out, TableFile::TaskLog).contains(u"1 log entries, format marker 250, current format"_s));
        QVERIFY(lineOf(run.out, TableFile::Diary).contains(u"1 problem"_s));
        QVERIFY(run.out.contains(u"do not form a date"_s));
        QVERIFY(run.out.contains(u"1 line(s) not UTF-8"_s));
        QVERIFY(run.out.contains(u"more than 6 fields; the surplus is dropped (line 2)"_s));
        QVERIFY(lineOf(run.out, TableFile::Projects).contains(u"2 names"_s));
    }

    void check_unreadableTableOrNoFolder_failsWithMessage()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(TableFile::Tasks)); // a folder where the file should be is skipped
        QCOMPARE(twk({u"check"_s, dir.path()}).status, 0);
        const Run missing = twk({u"check"_s, dir.filePath(u"nowhere"_s)});
        QVERIFY(missing.status != 0);
        QVERIFY(missing.err.contains(u"not a folder"_s));
        QVERIFY(twk({u"check"_s}).status != 0);
        QVERIFY(twk({u"frobnicate"_s}).status != 0);
    }

    void upgrade_rewritesOldFilesInCurrentFormat()
    {
        QTemporaryDir dir;
        const QString folder = dir.path();
        write(folder, TableFile::Tasks, "Y\tDone\t2024\t2\t29\tHome\t1 - High\r\n");
        write(folder, TableFile::TaskLog, "Gone\t2020\t1\t15\tHome\t2 - Medium\t2020\t1\t20\tn\x1b\tf\tAnn\r\n");
        write(folder, TableFile::Assignees, QByteArray("bob\n\0\0Ann\n", 10));
        const Run run = twk({u"upgrade"_s, folder});
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        // The older and the damaged file are kept as they were.
        QVERIFY(read(folder + u"/tasks.twk.before-upgrade"_s).startsWith("Y\tDone\t2024"));
        QVERIFY(run.out.contains(u"tasks.twk.before-upgrade"_s));
        QCOMPARE(QDir(folder).entryList({u"assignees.twk.damaged-*"_s}).size(), 1);
        QCOMPARE(read(folder + u"/tasks.twk"_s),
                 QByteArray("300\t\t\t\t\t\t\t\t\t\t\r\n100\tDone\t45351\tHome\t1 - High\t\t\t\t\t\t\r\n"));
        QCOMPARE(read(folder + u"/tasklog.twk"_s),
                 QByteArray(
                     "250\t\t\t\t\t\t\t\r\n\t\t\t\t\t\t\t\r\nGone\t43845\tHome\t2 - Medium\t43850\tn\x1b\tf\tAnn\r\n"));
        QCOMPARE(read(folder + u"/assignees.twk"_s), QByteArray("Ann\r\nbob\r\n"));
        QVERIFY(!QFile::exists(folder + u"/diary.twk"_s));
        // A second upgrade changes nothing: the log does not gather empty rows.
        const QByteArray log = read(folder + u"/tasklog.twk"_s);
        QCOMPARE(twk({u"upgrade"_s, folder}).status, 0);
        QCOMPARE(read(folder + u"/tasklog.twk"_s), log);
        QVERIFY(lineOf(twk({u"check"_s, folder}).out, TableFile::Tasks).contains(u"current format, no problems"_s));
    }

    void upgrade_refusesDataSetOpenInProgram()
    {
        QTemporaryDir dir;
        write(dir.path(), TableFile::Tasks, "Y\tDone\t2024\t2\t29\r\n");
        const QByteArray before = read(dir.filePath(TableFile::Tasks));
        DataSetLock lock;
        QCOMPARE(lock.acquire(dir.path()), DataSetLock::Result::Locked);
        const Run run = twk({u"upgrade"_s, dir.path()});
        QVERIFY(run.status != 0);
        QVERIFY(run.err.contains(u"open in Tarnwick PRO"_s));
        QCOMPARE(read(dir.filePath(TableFile::Tasks)), before);
        lock.release();
        QCOMPARE(twk({u"upgrade"_s, dir.path()}).status, 0);
    }
};

QTEST_GUILESS_MAIN(TestTwk)
#include "tst_twk.moc"
