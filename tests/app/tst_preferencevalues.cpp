#include "app/autostart.h"
#include "app/preferences.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "support/tables.h"
#include "support/testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The preference values behind the dialog, the task-table side of renaming and deleting names,
// and the autostart entry.
class TestPreferenceValues : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString settingsPath() const { return m_dir.filePath(u"tarnwick.ini"_s); }

private Q_SLOTS:
    void init() { QFile::remove(settingsPath()); }

    void writeThenRead_everyValueComesBack()
    {
        // Non-default values everywhere: a key written under one name and read under another shows up.
        PreferenceValues v;
        v.iconStyle = 0;
        v.starIcon = v.highlightOverdue = v.defaultCursor = v.notesMarks = v.autosize = v.sortMarks = false;
        v.horizLines = v.verticalLines = v.toolbarFlat = v.toolbarCaptions = v.toolbarSmallFont = false;
        v.noDefaultProject = v.noDefaultAssignee = v.alarmsEnabled = false;
        v.askExit = v.askTaskDeletion = v.askDataCleanup = v.askSpecialDeletion = false;
        v.askSpecialChange = v.askTaskCompletion = false;
        v.runMinimized = v.runWithSystem = v.autoLogCompleted = v.passwordProtection = true;
        v.rememberCalendarDate = v.moveToTop = v.toolbarWrap = v.repeatSound = true;
        v.passwordPrompt = 1;
        v.lowColor = 0x123456;
        v.mediumColor = 0x234567;
        v.highColor = 0x345678;
        v.otherColor = 0x456789;
        v.overdueColor = 0x56789A;
        v.cursorColor = 0x6789AB;
        v.font = {u"DejaVu Serif"_s, 12, -16, true, true};
        v.columns = {{6, false}, {2, true}, {5, false}, {3, true}, {4, true}};
        v.defaultPriority = 3;
        v.dueDate = 1;
        v.dueDatePlus = 14;
        v.weekStart = 1;
        v.calendarClick = 1;
        v.defaultProject = 2;
        v.defaultAssignee = -1;
        v.soundFile = u"/tmp/bell.wav"_s;
        {
            SettingsStore settings(settingsPath());
            writePreferences(settings, v);
        }
        SettingsStore settings(settingsPath());
        QCOMPARE(readPreferences(settings), v);
        QCOMPARE(settings.readString(Settings::Colors, Settings::Low), u"$000123456"_s);
    }

    void passwordProtectionOff_removesTheStoredPassword()
    {
        SettingsStore settings(settingsPath());
        settings.writeString(Settings::Other, Settings::Item0, u"stored"_s);
        PreferenceValues v;
        v.passwordProtection = true;
        writePreferences(settings, v);
        QCOMPARE(settings.readString(Settings::Other, Settings::Item0), u"stored"_s);
        v.passwordProtection = false;
        writePreferences(settings, v);
        QCOMPARE(settings.readString(Settings::Other, Settings::Item0, u"none"_s), QString());
    }

    void readColumnList_data()
    {
        QTest::addColumn<QString>("order"); // "2" to "6"; "-" leaves the value out
        QTest::addColumn<QList<int>>("columns");
        const QList<int> standard{2, 3, 4, 5, 6};
        QTest::newRow("nothing stored") << u"-,-,-,-,-"_s << standard;
        QTest::newRow("complete") << u"6,5,4,3,2"_s << QList<int>{6, 5, 4, 3, 2};
        QTest::newRow("2 and 3 only") << u"3,2,-,-,-"_s << standard;
        QTest::newRow("a column twice") << u"3,3,4,5,6"_s << standard;
        QTest::newRow("no stored order marker") << u"-2,3,4,5,6"_s << standard;
        QTest::newRow("out of range") << u"1,3,4,5,6"_s << standard;
        QTest::newRow("old assignee number") << u"7,2,3,4,6"_s << QList<int>{5, 2, 3, 4, 6};
    }
    void readColumnList()
    {
        QFETCH(QString, order);
        const QStringList values = order.split(u',');
        QFETCH(QList<int>, columns);
        SettingsStore settings(settingsPath());
        for (int i = 0; i < values.size(); ++i) {
            if (values[i] != u"-")
                settings.writeString(Settings::ColumnsOrder, QString::number(i + 2), values[i]);
        }
        settings.writeBool(Settings::VisibleColumns, u"3"_s, false);
        const QList<ColumnChoice> list = ::readColumnList(settings);
        QList<int> read;
        for (const ColumnChoice& entry : list)
            read.append(entry.column);
        QCOMPARE(read, columns);
        // The default list shows every column; a stored one keeps its ticks.
        const bool stored = columns != QList<int>{2, 3, 4, 5, 6};
        QCOMPARE(list[1].shown, !stored);
    }

    void resetToDefaults_keepsWhatDefaultsDoNotTouch()
    {
        PreferenceValues v;
        v.askExit = v.alarmsEnabled = false;
        v.runWithSystem = v.passwordProtection = true;
        v.defaultPriority = 3;
        v.dueDate = 2;
        v.dueDatePlus = 9;
        v.weekStart = 4;
        v.lowColor = 1;
        v.font = {u"Serif"_s, 20, -27, true, false};
        v.columns = {{6, false}, {5, true}, {4, true}, {3, true}, {2, true}};
        v.soundFile = u"bell.wav"_s;
        resetToDefaults(v);
        QCOMPARE(v.lowColor, 0xFF0000);
        QCOMPARE(v.font, (FontChoice{u"MS Sans Serif"_s, 8, -11, false, false}));
        QCOMPARE(v.defaultPriority, 1);
        QCOMPARE(v.dueDate, 0);
        QCOMPARE(v.weekStart, 0);
        QVERIFY(!v.runWithSystem && !v.askExit && v.alarmsEnabled && v.askTaskCompletion);
        QVERIFY(v.passwordProtection);
        QCOMPARE(v.dueDatePlus, 9);
        QCOMPARE(v.columns.first().column, 6);
        QCOMPARE(v.soundFile, u"bell.wav"_s);
    }

    void renameAndDelete_matchCellsExactly()
    {
        const auto task = [](const QString& name, const QString& project) {
            QStringList cells(TaskColumnCount);
            cells[colTaskName] = name;
            cells[colProject] = project;
            return cells;
        };
        TSortGrid tasks = gridOf(TaskColumnCount, {task(u"a"_s, u"Work"_s), task(u"b"_s, u"work"_s),
                                                   task(u"c"_s, u"Work "_s), task(u"d"_s, u"Work"_s)});
        QCOMPARE(renameInColumn(tasks, colProject, u"Work"_s, u"Office"_s), 2);
        QCOMPARE(tasks.cellText(3, colProject), u"Office"_s);
        QCOMPARE(tasks.cellText(1, colProject), u"work"_s);
        QCOMPARE(deleteRowsWithCell(tasks, colProject, u"Office"_s), 2);
        QCOMPARE(tasks.rowCount(), 2);
        QCOMPARE(tasks.cellText(0, colTaskName), u"b"_s);
        // The last task goes too; the table keeps its one empty row.
        tasks = gridOf(TaskColumnCount, {task(u"a"_s, u"Home"_s)});
        QCOMPARE(deleteRowsWithCell(tasks, colProject, u"Home"_s), 1);
        QCOMPARE(tasks.rowCount(), 1);
        QCOMPARE(tasks.cellText(0, colTaskName), QString());
    }

    void autostart_writtenAndRemoved_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << u"/usr/bin/tarnwick"_s << u"Exec=/usr/bin/tarnwick"_s;
        QTest::newRow("blank") << u"/opt/my apps/tarnwick"_s << u"Exec=\"/opt/my apps/tarnwick\""_s;
        QTest::newRow("specials") << u"/opt/a$b\"c`d\\e/t"_s << u"Exec=\"/opt/a\\\\$b\\\\\"c\\\\`d\\\\\\\\e/t\""_s;
        QTest::newRow("percent") << u"/opt/100%/t"_s << u"Exec=/opt/100%%/t"_s;
    }
    void autostart_writtenAndRemoved()
    {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(u"xdg"_s).toUtf8());
        const QString entry = m_dir.filePath(u"xdg/autostart/tarnwick.desktop"_s);
        QCOMPARE(autostartEntryPath(), entry);
        QCOMPARE(SetRunAtStartup(u"Tarnwick PRO"_s, path), QString());
        const QStringList lines = QString::fromUtf8(testFileContents(entry)).split(u'\n');
        QCOMPARE(lines.first(), u"[Desktop Entry]"_s);
        QVERIFY(lines.contains(u"Type=Application"_s));
        QVERIFY(lines.contains(u"Name=Tarnwick PRO"_s));
        QVERIFY2(lines.contains(exec), qPrintable(lines.join(u'|')));
        QCOMPARE(fileMode(entry), 0600u);
        QVERIFY(runsAtStartup());

        QCOMPARE(SetRunAtStartup(u"Tarnwick PRO"_s, QString()), QString());
        QVERIFY(!QFile::exists(entry));
        QCOMPARE(SetRunAtStartup(u"Tarnwick PRO"_s, QString()), QString()); // nothing to remove
        // A line break cannot be put in an Exec line: refused, nothing written.
        QVERIFY(!SetRunAtStartup(u"Tarnwick PRO"_s, u"/opt/a\nX-Bad=1"_s).isEmpty());
        QVERIFY(!QFile::exists(entry));
    }
};

QTEST_GUILESS_MAIN(TestPreferenceValues)
#include "tst_preferencevalues.moc"
