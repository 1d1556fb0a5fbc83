#include "core/applanguage.h"
#include "core/formatsettings.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/sortgrid.h"
#include "core/tasktable.h"
#include "support/tables.h"
#include "tasks/taskedit.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QDate Today(2024, 3, 13); // a Wednesday

const QStringList ProjectItems = editorNameItems({u"Gamma"_s, u"alpha"_s, QString(), u"Beta"_s});

// complete, name, due, project, priority, notes, attachment, assignee, alarm, recurrence, spare
const QStringList FullRow{u"40"_s,       u"Call Bob"_s, u"40179.5"_s, u"Beta"_s, u"2 - Medium"_s, u"one\x1btwo\x1b"_s,
                          u"/a/b.txt"_s, u"Ann"_s,      u" 99=3"_s,   u"6"_s,    u"keep?"_s};

} // namespace

class TestTaskEdit : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        FormatSettings::setCurrent(FormatSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
    }

    void newTask_defaults_data()
    {
        QTest::addColumn<QStringList>("settings"); // "name=value" of Defaults (DefaultPriority: Other)
        QTest::addColumn<QStringList>("filter");
        QTest::addColumn<int>("daysAhead"); // -1: no due date
        QTest::addColumn<QString>("priority");
        QTest::addColumn<QString>("project");

        const QStringList defProject{u"NoDefProject=0"_s, u"Project=1"_s};
        QTest::newRow("nothing stored") << QStringList() << QStringList() << -1 << u"3 - Low"_s << QString();
        QTest::newRow("due today, high") << QStringList{u"Due date=0"_s, u"DefaultPriority=3"_s} << QStringList() << 0
                                         << u"1 - High"_s << QString();
        QTest::newRow("due in 3 days, bad priority")
            << QStringList{u"Due date=1"_s, u"Due date plus=3"_s, u"DefaultPriority=9"_s} << QStringList() << 3
            << QString() << QString();
        QTest::newRow("default project") << defProject << QStringList() << -1 << u"3 - Low"_s << u"Beta"_s;
        QTest::newRow("default switched off")
            << QStringList{u"Project=1"_s} << QStringList() << -1 << u"3 - Low"_s << QString();
        QTest::newRow("index beyond the list")
            << QStringList{u"NoDefProject=0"_s, u"Project=7"_s} << QStringList() << -1 << u"3 - Low"_s << QString();
        QTest::newRow("one-name filter wins")
            << defProject << QStringList{u"Gamma"_s} << -1 << u"3 - Low"_s << u"Gamma"_s;
        QTest::newRow("unassigned filter") << defProject << QStringList{QString()} << -1 << u"3 - Low"_s << QString();
        QTest::newRow("filter name not listed")
            << defProject << QStringList{u"Zed"_s} << -1 << u"3 - Low"_s << QString();
        QTest::newRow("two-name filter") << defProject << QStringList{u"Beta"_s, u"Gamma"_s} << -1 << u"3 - Low"_s
                                         << u"Beta"_s;
    }
    void newTask_defaults()
    {
        QFETCH(QStringList, settings);
        QFETCH(QStringList, filter);
        QFETCH(int, daysAhead);
        QFETCH(QString, priority);
        QFETCH(QString, project);

        SettingsStore store(m_dir.filePath(u"s%1.ini"_s.arg(++m_count)));
        for (const QString& setting : settings) {
            const QString name = setting.section(u'=', 0, 0);
            store.writeString(name == u"DefaultPriority" ? Settings::Other : Settings::Defaults, name,
                              setting.section(u'=', 1));
        }
        const TaskEditValues values = newTaskValues(store, filter, {}, ProjectItems, ProjectItems, Today);
        QCOMPARE(values.hasDue, daysAhead >= 0);
        QCOMPARE(values.date, Today.addDays(std::max(daysAhead, 0)));
        QCOMPARE(values.priority, priority);
        QCOMPARE(values.project, project);
        QCOMPARE(values.assignee, QString());
    }

    void fromRow_oddCells_storeAsTheDialogShowsThem_data()
    {
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<QStringList>("stored");
        // Unchanged values store the same cells; only the spare cell is not carried.
        QTest::newRow("every cell") << FullRow << (QStringList(FullRow.mid(0, colSpare)) << QString());
        QTest::newRow("unreadable cells")
            << QStringList{u"abc"_s,  u"t"_s,    u"soon"_s, QString(),  QString(),
                           QString(), QString(), QString(), u"xx=yy"_s, u"z"_s}
            << QStringList{u"0"_s,    u"t"_s,    u"100000"_s, QString(), QString(), QString(),
                           QString(), QString(), u"  0=0"_s,  u"0"_s,    QString()};
        QTest::newRow("unlisted project, out-of-range numbers")
            << QStringList{u"250"_s,  u"t"_s,    u"45000"_s, u"Gone"_s,  QString(),
                           QString(), QString(), QString(),  u"123=7"_s, u"12"_s}
            << QStringList{u"100"_s,  u"t"_s,    u"45000"_s, u"Gone"_s, QString(), QString(),
                           QString(), QString(), u" 99=0"_s, u"0"_s,    QString()};
    }
    void fromRow_oddCells_storeAsTheDialogShowsThem()
    {
        QFETCH(QStringList, row);
        QFETCH(QStringList, stored);
        TSortGrid grid = gridOf(TaskColumnCount, {row});
        const TaskEditValues values = taskValuesFromRow(grid, 0, Today);
        QCOMPARE(taskRowCells(values), stored);
        if (!values.hasDue)
            QCOMPARE(values.date, Today);
    }

    void check_recurrenceDay_data()
    {
        QTest::addColumn<int>("recurrence");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("message"); // 0 for accepted

        QTest::newRow("week-day rule on a Saturday") << int(recWeekDay) << QDate(2024, 3, 16) << 438;
        QTest::newRow("week-day rule on a Monday") << int(recWeekDay) << QDate(2024, 3, 18) << 0;
        QTest::newRow("week-end rule on a Friday") << int(recWeekEnd) << QDate(2024, 3, 15) << 439;
        QTest::newRow("week-end rule on a Sunday") << int(recWeekEnd) << QDate(2024, 3, 17) << 0;
    }
    void check_recurrenceDay()
    {
        QFETCH(int, recurrence);
        QFETCH(QDate, date);
        QFETCH(int, message);
        TaskEditValues values;
        values.name = u"t"_s;
        values.recurrence = recurrence;
        values.date = date; // the rule is checked against the date box even without a due date
        const QString text = taskCheckMessage(values);
        if (message == 0)
            QVERIFY2(text.isEmpty(), qPrintable(text));
        else
            QCOMPARE(text, shortDateText(date) + u" is "_s + QLocale(QLocale::English).dayName(date.dayOfWeek()) +
                               LanguageString(message));
    }

    void store_writesTheCellEncodings_evenIntoANarrowTable()
    {
        // A table still at the form's 7 columns must not drop assignee, alarm and recurrence.
        TSortGrid grid(7, 1);
        TaskEditValues values;
        values.name = u"a\tb"_s; // a TAB would split the cell in the table file
        values.hasDue = true;
        values.date = QDate(2010, 1, 1);
        values.time = QTime(12, 0);
        values.alarmOn = true;
        values.alarmAmount = 5;
        values.alarmUnit = alarmHours;
        values.notes = u"l1\n\tl2\n"_s;
        values.recurrence = recYearly;
        values.assignee = u"Ann"_s;
        const StoredTask stored = storeTask(grid, values, 0);
        QCOMPARE(grid.row(0),
                 (QStringList{u"0"_s, u"a b"_s, u"40179.5"_s, QString(), QString(), u"l1\x1b        l2\x1b"_s,
                              QString(), u"Ann"_s, u"  5=1"_s, u"9"_s, QString()}));
        QCOMPARE(stored.texts, (std::array<QString, 8>{u"0"_s, u"a b"_s, u"40179.5"_s, QString(), QString(), QString(),
                                                       u"Ann"_s, u"9"_s}));
    }

    void storedTaskRow_matchesSevenCellsFromTheTop()
    {
        QStringList other = FullRow;
        other[colNotes] = u"different"_s;
        other[colAlarm].clear();
        other[colRecurrence] = u"0"_s;
        QStringList elsewhere = FullRow;
        elsewhere[colAssignee] = u"Bob"_s;
        TSortGrid mirror = gridOf(TaskColumnCount, {elsewhere, other, FullRow});

        TSortGrid main(TaskColumnCount, 1);
        StoredTask stored = storeTask(main, taskValuesFromRow(gridOf(TaskColumnCount, {FullRow}), 0, Today), -1);
        QCOMPARE(storedTaskRow(mirror, stored), 1);

        // A priority that only starts like the stored one, or a row cut short, is not the task.
        mirror.setCell(1, colPriority, QString(stored.texts[4] + u"x"_s));
        mirror.setRowText(0, QString(stored.texts[0] + QChar(TSortGrid::CellSeparator) + stored.texts[1]));
        QCOMPARE(storedTaskRow(mirror, stored), 2);
        // A short row reads its missing cells as empty.
        StoredTask shortTask;
        shortTask.texts[0] = stored.texts[0];
        shortTask.texts[1] = stored.texts[1];
        QCOMPARE(storedTaskRow(mirror, shortTask), 0);

        stored.texts[1] = u"nowhere"_s;
        QCOMPARE(storedTaskRow(mirror, stored), -1);
        QCOMPARE(storedTaskRow(mirror, StoredTask()), -1);
    }
};

QTEST_GUILESS_MAIN(TestTaskEdit)
#include "tst_taskedit.moc"
