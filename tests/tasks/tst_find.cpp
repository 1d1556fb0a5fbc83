#include "core/applanguage.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "support/tables.h"
#include "tasks/find.h"
#include "tasks/findresultmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// The search of the find window over tables made by hand.
class TestFind : public QObject {
    Q_OBJECT

private:
    static QStringList task(const QString& name, const QString& due, const QString& notes = {})
    {
        QStringList cells(TaskColumnCount);
        cells[colTaskName] = name;
        cells[colDue] = due;
        cells[colNotes] = notes;
        return cells;
    }
    static QStringList logEntry(const QString& name, const QDate& logged, const QString& notes = {})
    {
        QStringList cells(TaskLogColumnCount);
        cells[logTaskName] = name;
        cells[logDue] = u"100000"_s;
        cells[logDate] = dueCell(logged);
        cells[logNotes] = notes;
        return cells;
    }
    static QStringList diaryEntry(const QDate& date, const QString& text)
    {
        return {QString::number(date.year()), QString::number(date.month()), QString::number(date.day()), text};
    }
    // "place:row" of each hit, places A (active), L (log), D (diary).
    static QStringList found(const QList<Find::Hit>& hits)
    {
        QStringList out;
        for (const Find::Hit& hit : hits) {
            const char* place = hit.place == Find::Place::ActiveTasks ? "A"
                                : hit.place == Find::Place::TaskLog   ? "L"
                                                                      : "D";
            out.append(QLatin1String(place) + u':' + QString::number(hit.row));
        }
        return out;
    }

private Q_SLOTS:
    void search_matchesText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QStringList>("hits");
        // Tasks: 0 "Invoice Bakery" with notes "PAY THE INVOICE", 1 "Call Ärzte" / "bring äpfel",
        // 2 "Plan garden" / "seeds"; log: 1 "Old invoice" / "paid"; diary: 1 "Invoice sent".
        QTest::newRow("lower word, any case: name and capitals in notes, log, diary")
            << u"invoice"_s << false << QStringList{u"A:0"_s, u"L:1"_s, u"D:1"_s};
        QTest::newRow("lower word, exact case: only the log's lower-case name")
            << u"invoice"_s << true << QStringList{u"L:1"_s};
        QTest::newRow("capitals in the notes, exact case") << u"INVOICE"_s << true << QStringList{u"A:0"_s};
        QTest::newRow("name runs into the notes") << u"gardenseeds"_s << true << QStringList{u"A:2"_s};
        QTest::newRow("seam without case") << u"GARDENSEE"_s << false << QStringList{u"A:2"_s};
        QTest::newRow("log name runs into its notes") << u"invoicepaid"_s << false << QStringList{u"L:1"_s};
        QTest::newRow("umlaut, any case: lower finds capital") << u"ärzte"_s << false << QStringList{u"A:1"_s};
        QTest::newRow("umlaut, any case: capital finds lower") << u"ÄPFEL"_s << false << QStringList{u"A:1"_s};
        QTest::newRow("umlaut, exact case") << u"ärzte"_s << true << QStringList{};
        QTest::newRow("nothing") << u"zebra"_s << false << QStringList{};
    }
    void search_matchesText()
    {
        QFETCH(QString, text);
        QFETCH(bool, caseSensitive);
        QFETCH(QStringList, hits);
        const QDate today(2026, 12, 6);
        const TSortGrid tasks =
            gridOf(TaskColumnCount, {task(u"Invoice Bakery"_s, dueCell(today), EncodeNotes({u"PAY THE INVOICE"_s})),
                                     task(u"Call Ärzte"_s, u"100000"_s, EncodeNotes({u"bring äpfel"_s})),
                                     task(u"Plan garden"_s, u"100000"_s, u"seeds"_s)});
        const TSortGrid log =
            gridOf(TaskLogColumnCount, {{}, logEntry(u"Old invoice"_s, today, EncodeNotes({u"paid"_s, u"twice"_s}))});
        const TSortGrid diary =
            gridOf(DiaryColumnCount, {diaryEntry(QDate(1, 1, 1), {}), diaryEntry(today, u"Invoice sent"_s)});
        Find::Parameters p;
        p.text = text;
        p.caseSensitive = caseSensitive;
        const QList<Find::Hit> result = Find::search(p, {&tasks, &log, &diary}, today, QLocale(QLocale::German));
        QCOMPARE(found(result), hits);
        if (!result.isEmpty() && result.first().place == Find::Place::TaskLog)
            QCOMPARE(result.first().text, u"paid twice"_s); // the notes on one line
    }

    // The last days and weeks end today and reach back through the calendar, across month and year
    // ends; tasks without due date lie outside every range, log entries count by their log date.
    void search_dateRange_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("hits");
        const int days = int(Find::DateMode::LastDays), weeks = int(Find::DateMode::LastWeeks);
        // Every table holds entries dated today - 8, -7, -2, -1 and today (rows 0..4).
        QTest::newRow("1 day over a year end")
            << QDate(2027, 1, 1) << days << 1
            << QStringList{u"A:3"_s, u"A:4"_s, u"L:3"_s, u"L:4"_s, u"D:3"_s, u"D:4"_s};
        QTest::newRow("1 day over a leap month end")
            << QDate(2024, 3, 1) << days << 1
            << QStringList{u"A:3"_s, u"A:4"_s, u"L:3"_s, u"L:4"_s, u"D:3"_s, u"D:4"_s};
        QTest::newRow("2 days") << QDate(2026, 3, 1) << days << 2
                                << QStringList{u"A:2"_s, u"A:3"_s, u"A:4"_s, u"L:2"_s, u"L:3"_s,
                                               u"L:4"_s, u"D:2"_s, u"D:3"_s, u"D:4"_s};
        QTest::newRow("1 week over a year end")
            << QDate(2027, 1, 3) << weeks << 1
            << QStringList{u"A:1"_s, u"A:2"_s, u"A:3"_s, u"A:4"_s, u"L:1"_s, u"L:2"_s,
                           u"L:3"_s, u"L:4"_s, u"D:1"_s, u"D:2"_s, u"D:3"_s, u"D:4"_s};
    }
    void search_dateRange()
    {
        QFETCH(QDate, today);
        QFETCH(int, mode);
        QFETCH(int, count);
        QFETCH(QStringList, hits);
        QList<QStringList> tasks, log, diary;
        for (const int back : {8, 7, 2, 1, 0}) {
            const QDate day = today.addDays(-back);
            // Late in the day: the range compares whole days.
            tasks.append(task(u"note"_s, dueCell(day, 0.9)));
            log.append(logEntry(u"note"_s, day));
            diary.append(diaryEntry(day, u"note"_s));
        }
        tasks.append(task(u"note"_s, u"100000"_s));
        const TSortGrid taskGrid = gridOf(TaskColumnCount, tasks);
        const TSortGrid logGrid = gridOf(TaskLogColumnCount, log);
        const TSortGrid diaryGrid = gridOf(DiaryColumnCount, diary);
        Find::Parameters p;
        p.text = u"note"_s;
        p.dateMode = Find::DateMode(mode);
        p.days = count;
        p.weeks = count;
        QCOMPARE(found(Find::search(p, {&taskGrid, &logGrid, &diaryGrid}, today)), hits);
        // All dates: everything, the task without due date too.
        p.dateMode = Find::DateMode::AllDates;
        QCOMPARE(Find::search(p, {&taskGrid, &logGrid, &diaryGrid}, today).size(), 16);
    }

    void refusal_emptyTextOrReversedDates()
    {
        Find::Parameters p;
        QCOMPARE(Find::refusal(p), (QList<int>{565, 566}));
        p.text = u"x"_s;
        p.from = QDate(2026, 5, 2);
        p.to = QDate(2026, 5, 1);
        QCOMPARE(Find::refusal(p), QList<int>{567}); // also with "All dates" chosen
        p.to = p.from;
        QVERIFY(Find::refusal(p).isEmpty());
    }

    void resultModel_emptyRowWithoutHits()
    {
        FindResultModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        model.setHits({});
        QCOMPARE(model.rowCount(), 1);
        QVERIFY(model.hitAt(0) == nullptr);
        model.setHits({{Find::Place::Diary, 3, u"6 Dec 2026"_s, u"text"_s, QDate(2026, 12, 6)}});
        QCOMPARE(model.data(model.index(0, 0)).toString(), u"Diary"_s);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), LanguageString(569));
    }
};

QTEST_GUILESS_MAIN(TestFind)
#include "tst_find.moc"
