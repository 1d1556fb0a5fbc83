#include "core/datasetlock.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "support/testfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The task commands of the data tool, end to end on a data set in a temporary folder.
class TestTwkTasks : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_folder;

    struct Run {
        int status;
        QString out;
        QString err;
    };

    Run twk(QStringList args) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s)); // never the user's own settings
        env.insert(u"XDG_DATA_HOME"_s, m_home.filePath(u"data"_s));
        process.setProcessEnvironment(env);
        for (QString& arg : args)
            arg.replace(u"DS"_s, m_folder);
        process.start(QStringLiteral(TWK_TOOL_PATH), args);
        if (!process.waitForFinished(60000))
            return {-1, {}, u"timed out"_s};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QByteArray digest() const
    {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const QString& name : QDir(m_folder).entryList(QDir::Files, QDir::Name)) {
            hash.addData(name.toUtf8());
            hash.addData(testFileContents(m_folder + u'/' + name));
        }
        return hash.result();
    }

private Q_SLOTS:
    void init()
    {
        m_folder = m_home.filePath(u"ds"_s);
        QDir(m_folder).removeRecursively();
        QVERIFY(QDir().mkpath(m_folder));
        QVERIFY(writeTestFile(m_folder + u"/projects.twk"_s, "Home\r\nWork\r\n"));
        QVERIFY(writeTestFile(m_folder + u"/assignees.twk"_s, "Ann\r\n"));
    }

    void addListDoneExportImport_endToEnd()
    {
        QCOMPARE(twk({u"add"_s, u"DS"_s, u"Pay rent"_s, u"--due"_s, u"2026-12-06 10:30"_s, u"--project"_s, u"home"_s,
                      u"--priority"_s, u"1"_s, u"--assignee"_s, u"Ann"_s})
                     .status,
                 0);
        QCOMPARE(twk({u"add"_s, u"DS"_s, u"Water, \"plants\""_s, u"--notes"_s, u"one\ntwo"_s}).status, 0);
        QCOMPARE(twk({u"add"_s, u"DS"_s, u"Stand-up"_s, u"--due"_s, u"2026-12-07"_s, u"--project"_s, u"Work"_s}).status, 0);
        // A weekly task checked moves on by a week and leaves its completed copy behind.
        TSortGrid tasks;
        QVERIFY(loadTaskTable(tasks, m_folder + u"/tasks.twk"_s).ok());
        tasks.setCell(0, colRecurrence, QString::number(recWeekly));
        QCOMPARE(saveTaskTable(tasks, m_folder + u"/tasks.twk"_s), QString());

        const Run byProject = twk({u"list"_s, u"DS"_s, u"--sort"_s, u"project"_s});
        QCOMPARE(byProject.status, 0);
        QCOMPARE(byProject.out.split(u'\n', Qt::SkipEmptyParts).size(), 3);
        QVERIFY2(byProject.out.startsWith(u"1\t0%\tPay rent\t2026-12-06 10:30\tHome\t1 - High\tAnn\n"_s), qPrintable(byProject.out));
        QCOMPARE(twk({u"list"_s, u"DS"_s, u"--project"_s, u"Work"_s}).out.count(u'\n'), 1);

        const Run done = twk({u"done"_s, u"DS"_s, u"--name"_s, u"Stand-up"_s});
        QCOMPARE(done.status, 0);
        QVERIFY2(done.out.contains(u"2026-12-14"_s), qPrintable(done.out));
        QCOMPARE(twk({u"list"_s, u"DS"_s}).out.count(u'\n'), 3);
        QCOMPARE(twk({u"list"_s, u"DS"_s, u"--completed"_s}).out.count(u'\n'), 4);

        // CSV out and back in gives the same names and notes, quotes and commas included.
        const QString csv = m_home.filePath(u"tasks.csv"_s);
        QCOMPARE(twk({u"export"_s, u"DS"_s, u"--format"_s, u"csv"_s, csv}).status, 0);
        QCOMPARE(twk({u"import"_s, u"DS"_s, csv, u"--format"_s, u"csv"_s, u"--first-row"_s, u"2"_s, u"--map"_s,
                      u"name=1,notes=5,project=3"_s})
                     .out,
                 u"3 task(s) imported\n"_s);
        QVERIFY(loadTaskTable(tasks, m_folder + u"/tasks.twk"_s).ok());
        QCOMPARE(tasks.rowCount(), 7);
        QStringList names;
        for (int r = 0; r < tasks.rowCount(); ++r)
            names.append(tasks.cellText(r, colTaskName));
        QCOMPARE(names.count(u"Water, \"plants\""_s), 2);
        const int imported = int(names.indexOf(u"Water, \"plants\""_s));
        QCOMPARE(tasks.cellText(imported, colNotes), u"one\x1btwo\x1b"_s);

        const QString ics = m_home.filePath(u"tasks.ics"_s);
        QCOMPARE(twk({u"export"_s, u"DS"_s, u"--format"_s, u"ics"_s, ics}).status, 0);
        QVERIFY(testFileContents(ics).contains("SUMMARY:Water\\, \"plants\""));
        QCOMPARE(twk({u"import"_s, u"DS"_s, ics, u"--format"_s, u"ics"_s}).out, u"6 task(s) imported\n"_s);
    }

    void badInputOrLockedDataSet_changeNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("unknown option") << QStringList{u"list"_s, u"DS"_s, u"--colour"_s, u"red"_s} << 2;
        QTest::newRow("unreadable date") << QStringList{u"add"_s, u"DS"_s, u"x"_s, u"--due"_s, u"31/31/2026"_s} << 2;
        QTest::newRow("unknown project") << QStringList{u"add"_s, u"DS"_s, u"x"_s, u"--project"_s, u"Mars"_s} << 2;
        QTest::newRow("missing folder") << QStringList{u"add"_s, u"DS/nowhere"_s, u"x"_s} << 2;
        QTest::newRow("empty name") << QStringList{u"add"_s, u"DS"_s, u""_s} << 2;
        QTest::newRow("no such row") << QStringList{u"done"_s, u"DS"_s, u"9"_s} << 2;
        QTest::newRow("bad map") << QStringList{u"import"_s, u"DS"_s, u"DS/projects.twk"_s, u"--format"_s, u"tsv"_s,
                                                u"--map"_s, u"colour=1"_s} << 2;
        QTest::newRow("unreadable file") << QStringList{u"import"_s, u"DS"_s, u"DS/none.ics"_s, u"--format"_s, u"ics"_s} << 2;
        QTest::newRow("log as ics") << QStringList{u"export"_s, u"DS"_s, u"--format"_s, u"ics"_s, u"--log"_s} << 2;
        QTest::newRow("locked") << QStringList{u"add"_s, u"DS"_s, u"x"_s} << 1;
    }
    void badInputOrLockedDataSet_changeNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QCOMPARE(twk({u"add"_s, u"DS"_s, u"First"_s}).status, 0);
        DataSetLock lock; // the program holds the data set open
        if (qstrcmp(QTest::currentDataTag(), "locked") == 0)
            QCOMPARE(lock.acquire(m_folder), DataSetLock::Result::Locked);
        const QByteArray before = digest();
        const Run run = twk(args);
        QCOMPARE(run.status, status);
        QCOMPARE(run.err.count(u'\n'), 1);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(digest(), before);
        if (status == 1)
            QVERIFY(run.err.contains(u"open in Tarnwick PRO"_s));
    }
};

QTEST_GUILESS_MAIN(TestTwkTasks)
#include "tst_twktasks.moc"
