#include "calendar/calendarpanel.h"
#include "calendar/diarymemo.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "support/tables.h"

#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

TSortGrid diary(const QList<QStringList>& rows)
{
    return gridOf(DiaryColumnCount, rows);
}

const QStringList placeholder{u"1"_s, u"1"_s, u"1"_s, {}};

} // namespace

class TestDiary : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void storeAndLoad_keepTheEntryOfTheMemoDate()
    {
        TSortGrid table = diary({placeholder});
        DiaryMemo memo(table);
        QCOMPARE(memo.LoadDiaryMemo(QDate(2024, 3, 3)), QString());
        memo.setMemoText(u"a\tb\nsecond"_s);
        memo.StoreDiaryMemo();
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.row(0), (QStringList{u"2024"_s, u"3"_s, u"3"_s, u"a        b\x1bsecond\x1b"_s}));
        memo.StoreDiaryMemo(); // storing twice changes nothing
        QCOMPARE(table.rowCount(), 2);

        QCOMPARE(memo.LoadDiaryMemo(QDate(2024, 3, 4)), QString());
        QCOMPARE(memo.LoadDiaryMemo(QDate(2024, 3, 3)), u"a        b\nsecond"_s);

        // Emptying the memo removes the entry.
        memo.setMemoText(QString());
        memo.StoreDiaryMemo();
        QCOMPARE(FindDiaryRow(table, QDate(2024, 3, 3)), -1);
        QCOMPARE(table.rowCount(), 1);
        // Cells are compared as integers.
        table.setRow(0, {u"2024"_s, u"03"_s, u" 7"_s, u"x\x1b"_s});
        QCOMPARE(FindDiaryRow(table, QDate(2024, 3, 7)), 0);
    }

    void store_doesNothingBeforeStartUpOrFirstLoad()
    {
        TSortGrid table = diary({placeholder});
        DiaryMemo memo(table);
        memo.setMemoText(u"typed before any load"_s);
        memo.StoreDiaryMemo();
        QCOMPARE(table.rowCount(), 1);
        memo.setStoreEnabled(false);
        memo.LoadDiaryMemo(QDate(2024, 1, 2));
        memo.setMemoText(u"during start-up"_s);
        memo.StoreDiaryMemo();
        QCOMPARE(table.rowCount(), 1);
    }

    void tidy_sortsDropsEmptyAndDuplicateDates()
    {
        TSortGrid table = diary({{u"2024"_s, u"3"_s, u"20"_s, u"later\x1b"_s},
                                 placeholder,
                                 {u"2024"_s, u"3"_s, u"1"_s, u"first\x1b"_s},
                                 {u"2024"_s, u"3"_s, u"1"_s, u"duplicate\x1b"_s},
                                 {u"2023"_s, u"12"_s, u"31"_s, {}}});
        DiaryMemo memo(table);
        memo.LoadDiaryMemo(QDate(2024, 2, 10));
        memo.setMemoText(u"memo text"_s);
        memo.TidyDiary();
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(table.cellText(0, diaryText), u"memo text\x1b"_s);
        QCOMPARE(table.cellText(1, diaryText), u"first\x1b"_s);
        QCOMPARE(table.cellText(2, diaryText), u"later\x1b"_s);
    }

    void previousAndNext_skipToNeighbouringEntries()
    {
        TSortGrid table = diary({{u"2024"_s, u"3"_s, u"20"_s, u"b\x1b"_s}, {u"2024"_s, u"3"_s, u"1"_s, u"a\x1b"_s}});
        const TSortGrid tasks(TaskColumnCount, 1);
        const TSortGrid special(SpecialColumnCount, 1);
        CalendarPanel panel(tasks, table, special, QDate(2024, 3, 10));
        panel.RefreshDayPanel();
        QVERIFY(panel.aNextDiaryEntryExecute());
        QCOMPARE(panel.CalendarDate(), QDate(2024, 3, 20));
        QCOMPARE(panel.diary().memoText(), u"b"_s);
        QVERIFY(!panel.aNextDiaryEntryExecute());
        QCOMPARE(panel.CalendarDate(), QDate(2024, 3, 20));

        // Text typed on a day without entry becomes one and is a navigation target.
        panel.setCalendarDate(QDate(2024, 3, 10));
        panel.diary().setMemoText(u"middle"_s);
        QVERIFY(panel.aPrevDiaryEntryExecute());
        QCOMPARE(panel.CalendarDate(), QDate(2024, 3, 1));
        QVERIFY(panel.aNextDiaryEntryExecute());
        QCOMPARE(panel.CalendarDate(), QDate(2024, 3, 10));
        QCOMPARE(panel.diary().memoText(), u"middle"_s);
        QCOMPARE(panel.monthDayInfo().day(10).Mark, quint8(DayMarkInfo::Diary));

        TSortGrid empty = diary({placeholder});
        CalendarPanel nothing(tasks, empty, special, QDate(2024, 3, 10));
        QVERIFY(!nothing.aPrevDiaryEntryExecute());
        QVERIFY(!nothing.aNextDiaryEntryExecute());
    }
};

QTEST_GUILESS_MAIN(TestDiary)
#include "tst_diary.moc"
