#include "calendar/calendardate.h"
#include "calendar/calendarpanel.h"
#include "calendar/dayinfo.h"
#include "calendar/monthmarks.h"
#include "core/clock.h"
#include "core/formatsettings.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "support/tables.h"

#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

TSortGrid tasks(const QList<QStringList>& rows) // complete, name, due
{
    return gridOf(TaskColumnCount, rows);
}

} // namespace

class TestCalendarMarks : public QObject {
    Q_OBJECT

private:
    FormatSettings m_format;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_format = FormatSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        FormatSettings::setCurrent(m_format);
    }

    void dayAndWeekNumbers_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("week");
        QTest::newRow("14 February") << QDate(2023, 2, 14) << u"45/365"_s << u"6/53"_s;
        QTest::newRow("29 February 2000") << QDate(2000, 2, 29) << u"60/366"_s << u"9/53"_s;
        QTest::newRow("1 March 2100, no leap year") << QDate(2100, 3, 1) << u"60/365"_s << u"9/53"_s;
        QTest::newRow("Sunday start, day 1") << QDate(2023, 1, 1) << u"1/365"_s << u"1/53"_s;
        QTest::newRow("Sunday start, day 13") << QDate(2023, 1, 13) << u"13/365"_s << u"1/53"_s;
        QTest::newRow("Sunday start, day 14") << QDate(2023, 1, 14) << u"14/365"_s << u"2/53"_s;
        QTest::newRow("Saturday start, day 1") << QDate(2022, 1, 1) << u"1/365"_s << u"1/53"_s;
        QTest::newRow("Saturday start, day 2") << QDate(2022, 1, 2) << u"2/365"_s << u"1/53"_s;
        QTest::newRow("last day of a leap year") << QDate(2024, 12, 31) << u"366/366"_s << u"52/53"_s;
        QTest::newRow("last day, Saturday start") << QDate(2022, 12, 31) << u"365/365"_s << u"53/53"_s;
    }
    void dayAndWeekNumbers()
    {
        QFETCH(QDate, date);
        QFETCH(QString, day);
        QFETCH(QString, week);
        QCOMPARE(CalendarDates::dayOfYearText(date), day);
        QCOMPARE(CalendarDates::weekOfYearText(date), week);
    }

    void monthNavigation_clampsTheDay_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("previous");
        QTest::addColumn<QDate>("next");
        QTest::newRow("31 January") << QDate(2023, 1, 31) << QDate(2022, 12, 31) << QDate(2023, 2, 28);
        QTest::newRow("31 January, leap year") << QDate(2024, 1, 31) << QDate(2023, 12, 31) << QDate(2024, 2, 29);
        QTest::newRow("31 March") << QDate(2024, 3, 31) << QDate(2024, 2, 29) << QDate(2024, 4, 30);
        QTest::newRow("15 December") << QDate(2023, 12, 15) << QDate(2023, 11, 15) << QDate(2024, 1, 15);
    }
    void monthNavigation_clampsTheDay()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, previous);
        QFETCH(QDate, next);
        QCOMPARE(CalendarDates::previousMonth(from), previous);
        QCOMPARE(CalendarDates::nextMonth(from), next);
    }

    void monthLayout_placesEveryDayUnderItsWeekday()
    {
        for (int weekStart = 0; weekStart <= 6; ++weekStart) {
            for (const QDate& first : {QDate(2026, 2, 1), QDate(2026, 8, 1), QDate(2024, 2, 1)}) {
                const MonthLayout layout(first.year(), first.month(), weekStart);
                const QStringList header = layout.headerNames(m_format);
                QCOMPARE(header.first(), m_format.shortDayNames[weekStart]);
                int seen = 0;
                for (int row = 0; row < MonthLayout::Rows; ++row) {
                    for (int col = 0; col < MonthLayout::Columns; ++col) {
                        const int day = layout.dayAt(row, col);
                        if (day == 0)
                            continue;
                        ++seen;
                        QCOMPARE(header[col],
                                 m_format.shortDayNames[QDate(first.year(), first.month(), day).dayOfWeek() % 7]);
                        int r = 0, c = 0;
                        QVERIFY(layout.cellOfDay(day, &r, &c));
                        QCOMPARE(QPoint(c, r), QPoint(col, row));
                    }
                }
                QCOMPARE(seen, first.daysInMonth());
                QCOMPARE(layout.dayAt(1, header.indexOf(m_format.shortDayNames[first.dayOfWeek() % 7])), 1);
            }
        }
    }

    void computeMonthMarks_marksTasksDiaryAndSpecialDays()
    {
        const QDate month(2024, 3, 10);
        const TSortGrid taskTable = tasks({
            {u"0"_s, u"Pay rent"_s, dueCell(QDate(2024, 3, 1), 0.75)},
            {u"100"_s, u"Done already"_s, dueCell(QDate(2024, 3, 1))},
            {u"40"_s, u"Call Bob"_s, dueCell(QDate(2024, 3, 1))},
            {u"0"_s, u"No date"_s, u"100000"_s},
            {u"0"_s, u"Broken date"_s, u"soon"_s},
            {u""_s, u"Last day"_s, dueCell(QDate(2024, 3, 31), 0.99)},
            {u"0"_s, u"April"_s, dueCell(QDate(2024, 4, 1))},
            {u"0"_s, u"February"_s, dueCell(QDate(2024, 2, 29), 0.5)},
        });
        const TSortGrid diaryTable = gridOf(DiaryColumnCount, {{u"1"_s, u"1"_s, u"1"_s, {}},
                                                               {u"2024"_s, u"3"_s, u"17"_s, u"Parade\x1b"_s},
                                                               {u"2024"_s, u"3"_s, u"8"_s, u"Dentist\x1b"_s},
                                                               {u"2024"_s, u"3"_s, u"9"_s, {}},
                                                               {u"2023"_s, u"3"_s, u"5"_s, u"last year\x1b"_s}});
        const TSortGrid specialTable = gridOf(
            SpecialColumnCount, {{u"St Patrick"_s, u"M"_s, u"3"_s, u"17"_s, {}, {}},
                                 {u"Spring"_s, u"M"_s, u"3"_s, u"20"_s, {}, {}},
                                 {u"Equinox"_s, u"M"_s, u"3"_s, u"20"_s, {}, {}},
                                 {u"Pay day"_s, u"W"_s, u"3"_s, {}, u"1"_s, u"6"_s}}); // 1st Friday: 1 March 2024

        MonthDayInfo info;
        ComputeMonthMarks(info, month, taskTable, diaryTable, specialTable);

        QCOMPARE(info.day(1).Mark, quint8(DayMarkInfo::Special));
        QVERIFY(info.day(1).HasTasks);
        QCOMPARE(info.day(1).TaskNames, u"Pay rent\nCall Bob"_s);
        QCOMPARE(info.day(1).tooltip(), u"Pay day\nPay rent\nCall Bob"_s);
        QCOMPARE(info.day(8).Mark, quint8(DayMarkInfo::Diary));
        QCOMPARE(info.day(9).Mark, quint8(DayMarkInfo::None)); // a row without text is no entry
        QCOMPARE(info.day(5).Mark, quint8(DayMarkInfo::None));
        QCOMPARE(info.day(17).Mark, quint8(DayMarkInfo::Both));
        QCOMPARE(info.day(20).SpecialText, u"Spring\r\nEquinox"_s);
        QCOMPARE(info.day(31).TaskNames, u"Last day"_s);

        // The task pass alone replaces the task marks and keeps the others.
        ComputeTaskMarks(info, month, tasks({{u"0"_s, u"New"_s, dueCell(QDate(2024, 3, 20))}}));
        QVERIFY(!info.day(1).HasTasks);
        QCOMPARE(info.day(20).tooltip(), u"Spring\r\nEquinox\nNew"_s);
        QCOMPARE(info.day(17).Mark, quint8(DayMarkInfo::Both));
    }

    void markPlacements_followTheCellCorners()
    {
        DayMarkInfo info;
        const QRect cell(100, 50, 40, 30); // right edge 140, bottom edge 80
        QVERIFY(markPlacements(info, cell).isEmpty());
        info.HasTasks = true;
        info.Mark = DayMarkInfo::Both;
        const QList<MarkPlacement> marks = markPlacements(info, cell);
        QCOMPARE(marks.size(), 2);
        QVERIFY(marks[0].image == MarkImage::Task && marks[0].rect == QRect(130, 74, 10, 6));
        QVERIFY(marks[1].image == MarkImage::BothDay && marks[1].rect == QRect(121, 50, 19, 9));
        info = DayMarkInfo{DayMarkInfo::Special, {}, false, {}};
        QCOMPARE(markPlacements(info, cell).at(0).rect, QRect(123, 50, 9, 9));
    }

    void dayInfoAndSmartHint_followTheCalendarDate()
    {
        FixedClock clock(QDateTime(QDate(2024, 12, 24), QTime(9, 0)));
        Clock::setCurrent(&clock);
        const TSortGrid taskTable = tasks({{u"0"_s, u"Wrap presents"_s, dueCell(QDate(2024, 12, 24))},
                                           {u"0"_s, u"Cook"_s, dueCell(QDate(2024, 12, 24), 0.25)}});
        TSortGrid diaryTable = gridOf(DiaryColumnCount, {{u"1"_s, u"1"_s, u"1"_s, {}}});
        const TSortGrid specialTable = gridOf(SpecialColumnCount, {{u"Christmas"_s, u"M"_s, u"12"_s, u"25"_s, {}, {}}});
        CalendarPanel panel(taskTable, diaryTable, specialTable, QDate(2024, 12, 24));
        panel.RefreshDayPanel();

        QCOMPARE(panel.dayInfoLines(), (QStringList{QString(), u"Tasks to do:"_s, u"Wrap presents"_s, u"Cook"_s}));
        QVERIFY(panel.smartHint().action == SmartHint::NextDay && panel.smartHint().captionString == 220);

        panel.btnNextDayClick();
        QCOMPARE(panel.dayInfoLines(), (QStringList{u"Christmas"_s, QString(), u"Tasks to do:"_s}));
        QCOMPARE(panel.smartHint().captionString, 219);
        panel.btnNextDayClick();
        panel.Gototoday1Click();
        QCOMPARE(panel.CalendarDate(), QDate(2024, 12, 24));

        clock.set(QDateTime(QDate(2024, 12, 26), QTime(9, 0)));
        panel.Gototoday1Click();
        QCOMPARE(panel.smartHint().action, SmartHint::EditSpecialDays);
        QCOMPARE(panel.dayInfoLines(), (QStringList{QString(), u"Tasks to do:"_s}));

        for (int i = 0; i < 6; ++i)
            panel.btnNextDayClick();
        QCOMPARE(panel.CalendarDate(), QDate(2025, 1, 1));
        panel.btnPrevMonthClick();
        QCOMPARE(panel.CalendarDate(), QDate(2024, 12, 1));
        QCOMPARE(panel.monthDayInfo().month, 12);
        QVERIFY(!panel.cellHint(0, 3));
        int row = 0, col = 0;
        QVERIFY(panel.monthLayout().cellOfDay(24, &row, &col));
        QCOMPARE(panel.cellHint(row, col), u"Wrap presents\nCook"_s);
        Clock::setCurrent(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestCalendarMarks)
#include "tst_calendarmarks.moc"
