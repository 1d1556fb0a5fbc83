#include "alarms/alarmactions.h"
#include "alarms/alarmscheduler.h"
#include "core/clock.h"
#include "core/daynumber.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "support/tables.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;
using Result = AlarmScheduler::Result;

namespace {

const QDate Today(2024, 3, 13);

QDateTime at(int days, QTime time)
{
    return QDateTime(Today.addDays(days), time);
}

QString due(int days, QTime time)
{
    return dayNumberText(dayNumber(at(days, time)));
}

QStringList task(const QString& name, const QString& dueCell, const QString& alarm, const QString& complete = u"0"_s,
                 const QString& rule = u"0"_s)
{
    return {complete, name, dueCell, u"Home"_s, u"2"_s, u"notes\x1b"_s, QString(), u"Ann"_s, alarm, rule, QString()};
}

const auto table = [](const QList<QStringList>& rows) { return gridOf(TaskColumnCount, rows); };

using TimeList = QList<QTime>;
using IndexList = QList<int>;

} // namespace

class TestAlarmScheduler final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    FixedClock m_clock{at(0, QTime(9, 0))};

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
    }
    void init()
    {
        m_settings = std::make_unique<SettingsStore>(m_dir.filePath(u"tarnwick.ini"_s));
        m_settings->deleteAll();
        m_clock.set(at(0, QTime(9, 0)));
        Clock::setCurrent(&m_clock);
    }
    void cleanup() { Clock::setCurrent(nullptr); }

    void tick_firesOnceInArmedMinute_onlyAfterSeeingTheTimeBefore_data()
    {
        QTest::addColumn<QTime>("alarm");
        QTest::addColumn<TimeList>("ticks");
        QTest::addColumn<IndexList>("fires");
        QTest::newRow("once in the minute")
            << QTime(9, 45)
            << TimeList{QTime(9, 44, 59, 600), QTime(9, 45, 0, 50), QTime(9, 45, 0, 500), QTime(9, 45, 59, 900),
                        QTime(9, 46, 0, 350)}
            << IndexList{1};
        QTest::newRow("not before its second")
            << QTime(9, 45, 30) << TimeList{QTime(9, 45, 10), QTime(9, 45, 29, 900), QTime(9, 45, 30, 300)}
            << IndexList{2};
        QTest::newRow("minute slept through")
            << QTime(9, 45) << TimeList{QTime(9, 44, 50), QTime(9, 46, 10), QTime(9, 47)} << IndexList{};
    }
    void tick_firesOnceInArmedMinute_onlyAfterSeeingTheTimeBefore()
    {
        QFETCH(QTime, alarm);
        QFETCH(TimeList, ticks);
        QFETCH(IndexList, fires);
        // Rung 15 minutes before its due time; a completed task with an earlier alarm is ignored.
        const TSortGrid tasks = table({task(u"done"_s, due(0, QTime(9, 10)), u"  0=0"_s, u"100"_s),
                                       task(u"call"_s, due(0, alarm.addSecs(15 * 60)), u" 15=0"_s)});
        AlarmScheduler scheduler(tasks, *m_settings);
        QCOMPARE(scheduler.ScheduleNextAlarm(), Result::Armed);
        QCOMPARE(scheduler.Tag(), 1);
        QCOMPARE(scheduler.armedTime(), alarm.msecsSinceStartOfDay());
        IndexList fired;
        for (int i = 0; i < ticks.size(); ++i) {
            if (scheduler.tick(at(0, ticks.at(i))) == 1)
                fired.append(i);
        }
        QCOMPARE(fired, fires);
        // A missed alarm is found overdue by the next scheduling.
        m_clock.set(at(0, ticks.last()));
        QCOMPARE(scheduler.ScheduleNextAlarm(), Result::Overdue);
    }

    void overdueAlarms_fireEarliestFirst_tiesByUpperRow()
    {
        // Alarms that passed while the program was closed: each answer brings the next one at once.
        // Completed tasks and tasks without a usable due date never ring.
        TSortGrid tasks = table(
            {task(u"later"_s, due(0, QTime(8, 30)), u"  0=0"_s), task(u"tie a"_s, due(-1, QTime(18, 0)), u"  1=1"_s),
             task(u"earliest"_s, due(-1, QTime(16, 0)), u"  0=0"_s),
             task(u"tie b"_s, due(-1, QTime(17, 0)), u"  0=0"_s), task(u"tomorrow"_s, due(1, QTime(0, 30)), u"  0=0"_s),
             task(u"completed"_s, due(-2, QTime(9, 0)), u"  0=0"_s, u" 100 "_s),
             task(u"no due date"_s, u"100000"_s, u"  0=0"_s), task(u"unreadable due"_s, u"soon"_s, u"  0=0"_s),
             task(u"beyond the calendar"_s, u"-1e300"_s, u"  0=0"_s)});
        AlarmScheduler scheduler(tasks, *m_settings);
        QStringList order;
        for (int round = 0; round < 9 && scheduler.ScheduleNextAlarm() == Result::Overdue; ++round) {
            order << tasks.cellText(scheduler.Tag(), colTaskName);
            QVERIFY(disableAlarm(tasks, scheduler.Tag()));
        }
        QCOMPARE(order, (QStringList{u"earliest"_s, u"tie a"_s, u"tie b"_s, u"later"_s}));
        // Tomorrow's alarm is neither armed nor fired today.
        QCOMPARE(scheduler.Tag(), -1);
        QVERIFY(!scheduler.isArmed());
    }

    void dayChange_armsTomorrowsAlarms_unlessAlarmsAreOff()
    {
        TSortGrid tasks = table({task(u"night"_s, due(1, QTime(0, 30)), u"  0=0"_s)});
        AlarmScheduler scheduler(tasks, *m_settings);
        QCOMPARE(scheduler.ScheduleNextAlarm(at(0, QTime(23, 0))), Result::Disarmed);
        QCOMPARE(scheduler.tick(at(0, QTime(23, 59, 59, 900))), -1);
        // The first tick of the new day schedules again by itself.
        QCOMPARE(scheduler.tick(at(1, QTime(0, 0, 0, 300))), -1);
        QVERIFY(scheduler.isArmed());
        QCOMPARE(scheduler.tick(at(1, QTime(0, 29, 59, 800))), -1);
        QCOMPARE(scheduler.tick(at(1, QTime(0, 30, 0, 250))), 0);
        // An alarm already due when the day turns fires from that first tick.
        tasks.setCell(0, colDue, due(2, QTime(0, 0)));
        QCOMPARE(scheduler.ScheduleNextAlarm(at(1, QTime(23, 0))), Result::Disarmed);
        QCOMPARE(scheduler.tick(at(2, QTime(0, 0, 0, 300))), 0);

        // With alarms switched off nothing arms or fires, not even overdue after midnight; an
        // alarm already armed is disarmed by the switch.
        tasks.setCell(0, colDue, due(2, QTime(23, 30)));
        QCOMPARE(scheduler.ScheduleNextAlarm(at(2, QTime(23, 0))), Result::Armed);
        m_settings->writeBool(Settings::Alarms, Settings::Enabled, false);
        QCOMPARE(scheduler.ScheduleNextAlarm(at(2, QTime(23, 0))), Result::Disarmed);
        QVERIFY(!scheduler.isArmed());
        QCOMPARE(scheduler.tick(at(2, QTime(23, 30, 0, 200))), -1);
        tasks.setCell(0, colDue, due(3, QTime(0, 0)));
        QCOMPARE(scheduler.ScheduleNextAlarm(at(2, QTime(23, 0))), Result::Disarmed);
        QCOMPARE(scheduler.tick(at(3, QTime(0, 0, 0, 300))), -1);
        m_settings->writeBool(Settings::Alarms, Settings::Enabled, true);
        QCOMPARE(scheduler.ScheduleNextAlarm(at(3, QTime(0, 1))), Result::Overdue);
    }

    void snooze_movesTheTask_andRingsInTheNewMinute()
    {
        m_clock.set(at(0, QTime(14, 3, 20)));
        TSortGrid tasks = table({task(u"call"_s, due(0, QTime(14, 0)), u" 15=1"_s)});
        const QString before = tasks.rowText(0);
        AlarmScheduler scheduler(tasks, *m_settings);
        // Without a unit nothing changes, and the alarm rings again at once.
        QVERIFY(!snoozeAlarm(tasks, 0, 10, -1, m_clock.now()));
        QCOMPARE(tasks.rowText(0), before);
        QCOMPARE(scheduler.ScheduleNextAlarm(), Result::Overdue);

        QVERIFY(snoozeAlarm(tasks, 0, 2, alarmWeeks, m_clock.now()));
        QCOMPARE(tasks.cellText(0, colDue), due(14, QTime(14, 3, 20)));
        QVERIFY(snoozeAlarm(tasks, 0, 10, alarmMinutes, m_clock.now()));
        QCOMPARE(tasks.cellText(0, colAlarm), u"  0=0"_s);
        QCOMPARE(tasks.cellText(0, colDue), due(0, QTime(14, 13, 20)));
        QCOMPARE(scheduler.ScheduleNextAlarm(), Result::Armed);
        QCOMPARE(scheduler.tick(at(0, QTime(14, 13, 19, 900))), -1);
        QCOMPARE(scheduler.tick(at(0, QTime(14, 13, 20, 300))), 0);
    }

    void checkTask_copiesOnTopOnlyForARuleWithANextDate_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<bool>("copies");
        QTest::newRow("weekly") << u"4"_s << true;
        QTest::newRow("none") << u"0"_s << false;
        // Imported tasks have an empty cell: no copy with the same overdue alarm is left to ring again.
        QTest::newRow("empty") << u""_s << false;
        QTest::newRow("unknown") << u"15"_s << false;
    }
    void checkTask_copiesOnTopOnlyForARuleWithANextDate()
    {
        QFETCH(QString, rule);
        QFETCH(bool, copies);
        m_clock.set(at(0, QTime(10, 30)));
        TSortGrid tasks = table({task(u"other"_s, due(3, QTime(9, 0)), QString()),
                                 task(u"t"_s, due(0, QTime(10, 0)), u" 15=0"_s, u"20"_s, rule)});
        AlarmScheduler scheduler(tasks, *m_settings);
        QCOMPARE(scheduler.ScheduleNextAlarm(), Result::Overdue);
        QCOMPARE(checkOffersNextOccurrence(rule), copies);
        const int checked = checkAlarmedTask(tasks, scheduler.Tag(), true);
        QCOMPARE(checked, copies ? 2 : 1);
        QCOMPARE(tasks.rowCount(), copies ? 3 : 2);
        QCOMPARE(tasks.cellText(checked, colComplete), u"100"_s);
        QCOMPARE(tasks.cellText(checked, colDue), due(0, QTime(10, 0)));
        if (copies)
            QCOMPARE(tasks.row(0), task(u"t"_s, due(7, QTime(10, 0)), u" 15=0"_s, u"20"_s, rule));
        QCOMPARE(scheduler.ScheduleNextAlarm(), Result::Disarmed);
    }

    void actions_outsideTheTable_changeNothing_andRelocateFindsTheTask()
    {
        TSortGrid tasks = table({task(u"a"_s, due(0, QTime(10, 0)), u"  5=0"_s)});
        const QString alarmed = tasks.rowText(0);
        QVERIFY(!snoozeAlarm(tasks, -1, 5, 0, m_clock.now()) && !disableAlarm(tasks, 1));
        QCOMPARE(checkAlarmedTask(tasks, -1, true), -1);
        QCOMPARE(tasks.rowText(0), alarmed);

        QCOMPARE(relocateAlarmedRow(tasks, 0, alarmed), 0);
        tasks.InsertRow(0); // a task added while the dialog was open
        QCOMPARE(relocateAlarmedRow(tasks, 0, alarmed), 1);
        tasks.DeleteRow(1);
        QCOMPARE(relocateAlarmedRow(tasks, 0, alarmed), -1);
    }
};

QTEST_GUILESS_MAIN(TestAlarmScheduler)
#include "tst_alarmscheduler.moc"
