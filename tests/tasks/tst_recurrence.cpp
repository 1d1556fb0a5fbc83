#include "core/clock.h"
#include "core/daynumber.h"
#include "core/tasktable.h"
#include "tasks/recurrence.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QDate Wed(2024, 5, 15); // "today" of the tests, a Wednesday; now is 10:00

// The due cell of a day relative to Wed at a time.
QString at(int days, int hour, int minute = 0)
{
    return dayNumberText(dayNumber(QDateTime(Wed.addDays(days), QTime(hour, minute))));
}

TSortGrid taskRow(const QString& due, const QString& alarm, const QString& rule)
{
    TSortGrid grid(TaskColumnCount, 1);
    grid.setRow(0, {u"40"_s, u"Water"_s, due, u"Home"_s, u"2"_s, u"n\x1b"_s, QString(), u"Ann"_s, alarm, rule, u"x"_s});
    return grid;
}

} // namespace

class TestRecurrence final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { Clock::setCurrent(nullptr); }

    void nextOccurrence_stepsEachRule_keepsTime_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QDate>("expected");
        const QDate sun(2024, 5, 12); // Sunday 12 .. Saturday 18 May
        const int weekDayStep[] = {1, 1, 1, 1, 1, 3, 2};
        const int weekEndStep[] = {6, 5, 4, 3, 2, 1, 1};
        for (int d = 0; d < 7; ++d) {
            const QDate from = sun.addDays(d);
            QTest::addRow("week-day %d", d) << int(recWeekDay) << from << 1 << from.addDays(weekDayStep[d]);
            QTest::addRow("week-end %d", d) << int(recWeekEnd) << from << 1 << from.addDays(weekEndStep[d]);
        }
        QTest::newRow("daily") << int(recDaily) << QDate(2024, 12, 31) << 1 << QDate(2025, 1, 1);
        QTest::newRow("weekly") << int(recWeekly) << Wed << 1 << QDate(2024, 5, 22);
        QTest::newRow("fortnightly") << int(recFortnightly) << Wed << 1 << QDate(2024, 5, 29);
        QTest::newRow("monthly clamp") << int(recMonthly) << QDate(2024, 1, 31) << 1 << QDate(2024, 2, 29);
        QTest::newRow("monthly clamp stays") << int(recMonthly) << QDate(2024, 1, 31) << 2 << QDate(2024, 3, 29);
        QTest::newRow("quarterly") << int(recQuarterly) << QDate(2022, 11, 30) << 1 << QDate(2023, 2, 28);
        QTest::newRow("half-yearly") << int(recHalfYearly) << QDate(2023, 8, 31) << 1 << QDate(2024, 2, 29);
        QTest::newRow("yearly 29 Feb") << int(recYearly) << QDate(2024, 2, 29) << 4 << QDate(2028, 2, 28);
        QTest::newRow("bi-monthly") << int(recBiMonthly) << QDate(2024, 11, 15) << 1 << QDate(2025, 1, 15);
        QTest::newRow("once") << int(recOnce) << Wed << 1 << Wed;
        QTest::newRow("beyond list") << 11 << Wed << 1 << Wed;
    }
    void nextOccurrence_stepsEachRule_keepsTime()
    {
        QFETCH(int, rule);
        QFETCH(QDate, from);
        QFETCH(int, steps);
        QFETCH(QDate, expected);
        double due = dayNumber(QDateTime(from, QTime(9, 30)));
        for (int i = 0; i < steps; ++i)
            due = NextOccurrence(rule, due);
        QCOMPARE(dateTimeOfDayNumber(due), QDateTime(expected, QTime(9, 30)));
    }

    void nextOccurrence_thousandsOfSteps_timeOfDayExact()
    {
        // Through the cell text each time, as repeated completions store and reread it; also
        // before 1899, where day numbers are negative.
        for (const QDate& start : {Wed, QDate(1890, 6, 1)}) {
            for (const QTime& time : {QTime(9, 0), QTime(23, 59), QTime(0, 1)}) {
                QString cell = dayNumberText(dayNumber(QDateTime(start, time)));
                for (int i = 0; i < 3000; ++i)
                    cell = dayNumberText(NextOccurrence(recWeekDay, dueDayNumber(cell)));
                QCOMPARE(timeOfDayNumber(dueDayNumber(cell)), time);
                QCOMPARE(cell, dayNumberText(dayNumber(QDateTime(dateOfDayNumber(dueDayNumber(cell)), time))));
            }
        }
    }

    void scheduleNext_rollsToFirstFutureAlarm_data()
    {
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("alarm");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("expected"); // empty: the cell stays as it was
        QTest::newRow("past due: two steps") << at(-1, 9) << QString() << "1" << at(1, 9);
        QTest::newRow("future due: one step") << at(1, 9) << QString() << "1" << at(2, 9);
        QTest::newRow("alarm moment past") << at(0, 11) << "  2=1"
                                           << "1" << at(1, 11);
        QTest::newRow("alarm moment reaches now") << at(-1, 12) << "120=0"
                                                  << "1" << at(1, 12);
        QTest::newRow("alarm minute ahead") << at(0, 12, 1) << "120=0"
                                            << "1" << at(1, 12, 1);
        QTest::newRow("day lead skips a day") << at(1, 9) << "  2=2"
                                              << "1" << at(3, 9);
        QTest::newRow("week lead, weekly") << at(3, 9) << "  1=3"
                                           << "4" << at(10, 9);
        QTest::newRow("monthly from 31 Jan") << "45322.25" << QString() << "6" << at(14, 6);
        QTest::newRow("no due date") << "100000" << QString() << "1" << QString();
        QTest::newRow("unreadable due") << "soon" << QString() << "1" << QString();
        QTest::newRow("once") << at(-1, 9) << QString() << "0" << QString();
        QTest::newRow("rule beyond list") << at(-1, 9) << QString() << "12" << QString();
    }
    void scheduleNext_rollsToFirstFutureAlarm()
    {
        QFETCH(QString, due);
        QFETCH(QString, alarm);
        QFETCH(QString, rule);
        QFETCH(QString, expected);
        FixedClock clock(QDateTime(Wed, QTime(10, 0)));
        Clock::setCurrent(&clock);
        TSortGrid grid = taskRow(due, alarm, rule);
        QStringList expectedRow = grid.row(0);
        expectedRow[colDue] = expected.isEmpty() ? due : expected;
        QCOMPARE(ScheduleNext(grid, 0), !expected.isEmpty());
        QCOMPARE(grid.row(0), expectedRow);
    }

    void completeWithNextOccurrence_keepsCompletedRowAndAddsCopy()
    {
        FixedClock clock(QDateTime(Wed, QTime(10, 0)));
        Clock::setCurrent(&clock);
        TSortGrid grid = taskRow(at(-1, 9), u"  5=0"_s, u"1"_s);
        grid.InsertRow(0);
        grid.setCell(0, colTaskName, u"Other");
        QStringList copy = grid.row(1);
        QStringList completed = copy;
        copy[colDue] = at(1, 9);
        completed[colComplete] = u"100"_s;

        QCOMPARE(completeWithNextOccurrence(grid, 1), 2);
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.row(0), copy); // percentage, notes, alarm, rule and spare carried along
        QCOMPARE(grid.cellText(1, colTaskName), u"Other"_s);
        QCOMPARE(grid.row(2), completed);
        QCOMPARE(completeWithNextOccurrence(grid, 3), -1);
        QCOMPARE(grid.rowCount(), 3);
        QVERIFY(!offersNextOccurrence(u"0") && !offersNextOccurrence(u"") && !offersNextOccurrence(u"x"));
        QVERIFY(offersNextOccurrence(u"11"));
    }

    void checkStep_decidesAndApplies_data()
    {
        QTest::addColumn<QString>("complete");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<bool>("scheduleNext");
        QTest::addColumn<int>("step");
        QTest::addColumn<QStringList>("completeCells"); // colComplete of every row afterwards
        QTest::newRow("completed is unchecked") << u"100"_s << u"1"_s << true << int(CheckStep::Uncheck)
                                                << QStringList{u"0"_s};
        QTest::newRow("once is completed") << u"40"_s << u"0"_s << true << int(CheckStep::Complete)
                                           << QStringList{u"100"_s};
        QTest::newRow("recurring, next period") << u"40"_s << u"1"_s << true << int(CheckStep::AskNextOccurrence)
                                                << QStringList{u"40"_s, u"100"_s};
        QTest::newRow("recurring, declined") << u"40"_s << u"1"_s << false << int(CheckStep::AskNextOccurrence)
                                             << QStringList{u"100"_s};
    }
    void checkStep_decidesAndApplies()
    {
        QFETCH(QString, complete);
        QFETCH(QString, rule);
        QFETCH(bool, scheduleNext);
        QFETCH(int, step);
        QFETCH(QStringList, completeCells);
        FixedClock clock(QDateTime(Wed, QTime(10, 0)));
        Clock::setCurrent(&clock);
        TSortGrid grid = taskRow(at(-1, 9), QString(), rule);
        grid.setCell(0, colComplete, complete);
        QCOMPARE(int(checkStepFor(grid, 0)), step);
        applyCheck(grid, 0, CheckStep(step), scheduleNext);
        QStringList cells;
        for (int r = 0; r < grid.rowCount(); ++r)
            cells.append(grid.cellText(r, colComplete));
        QCOMPARE(cells, completeCells);
    }
};

QTEST_GUILESS_MAIN(TestRecurrence)
#include "tst_recurrence.moc"
