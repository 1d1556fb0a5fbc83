#include "core/sortgrid.h"
#include "core/tasktable.h"
#include "tasks/tasksort.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The header quicksort as the procedure reads: the pivot's key taken once (kept as the pivot
// row's text), every other key recomputed at each comparison, whole rows swapped.
void literalQuickSort(TSortGrid& grid, int col, bool asc, int lo, int hi)
{
    QList<QString>& rows = grid.rows();
    const QString pivot = rows[(lo + hi) / 2];
    auto key = [&](int row) { return compareRowsBySortColumn(rows[row], pivot, col, true); };
    int i = lo;
    int j = hi;
    do {
        while (asc ? key(i) < 0 : key(i) > 0)
            ++i;
        while (asc ? key(j) > 0 : key(j) < 0)
            --j;
        if (i <= j) {
            std::swap(rows[i], rows[j]);
            ++i;
            --j;
        }
    } while (i <= j);
    if (lo < j)
        literalQuickSort(grid, col, asc, lo, j);
    if (i < hi)
        literalQuickSort(grid, col, asc, i, hi);
}

// The 3-level exchange sort as the procedure reads, n(n-1)/2 comparisons.
void literalSortByKeys(TSortGrid& grid, int prim, bool primAsc, int sec, bool secAsc, int ter, bool terAsc)
{
    if (prim == -1)
        return;
    QList<QString>& rows = grid.rows();
    const int n = int(rows.size());
    auto before = [](int c, bool asc) { return (c > 0 && asc) || (c < 0 && !asc); };
    for (int i = 0; i <= n - 2; ++i) {
        for (int j = n - 1; j >= i + 1; --j) {
            bool swap = false;
            const int c1 = compareRowsBySortColumn(rows[i], rows[j], prim, false);
            if (before(c1, primAsc)) {
                swap = true;
            } else if (c1 == 0 && sec != -1) {
                const int c2 = compareRowsBySortColumn(rows[i], rows[j], sec, false);
                if (before(c2, secAsc))
                    swap = true;
                else if (c2 == 0 && ter != -1)
                    swap = before(compareRowsBySortColumn(rows[i], rows[j], ter, false), terAsc);
            }
            if (swap)
                std::swap(rows[i], rows[j]);
        }
    }
}

// Small alphabets so that equal keys are common; each row carries its number in colSpare so
// that equal-looking rows are still told apart when the orders are compared.
TSortGrid randomTable(QRandomGenerator& random, int rowCount)
{
    static const QStringList complete = {{}, u"0"_s, u"50"_s, u"100"_s, u"x"_s, u" 7"_s};
    static const QStringList names = {{}, u"a"_s, u"A"_s, u"b"_s, u"ab"_s, u"\u00e9"_s, u"\u00c9"_s};
    static const QStringList due = {{},         u"100000"_s,  u"40179"_s, u"40179.5"_s, u"40179.25"_s,
                                    u"40180"_s, u"40180.5"_s, u"abc"_s,   u"40179.75"_s};
    static const QStringList priorities = {{}, u"1 - High"_s, u"2 - Medium"_s, u"3 - Low"_s, u"1 - high"_s};
    TSortGrid grid(TaskColumnCount, rowCount);
    auto pick = [&random](const QStringList& list) { return list[random.bounded(int(list.size()))]; };
    for (int r = 0; r < rowCount; ++r) {
        grid.setCell(r, colComplete, pick(complete));
        grid.setCell(r, colTaskName, pick(names));
        grid.setCell(r, colDue, pick(due));
        grid.setCell(r, colProject, pick(names));
        grid.setCell(r, colPriority, pick(priorities));
        grid.setCell(r, colAssignee, pick(names));
        grid.setCell(r, colSpare, QString::number(r));
    }
    return grid;
}

QStringList column(const TSortGrid& grid, int col)
{
    QStringList cells;
    for (int r = 0; r < grid.rowCount(); ++r)
        cells.append(grid.cellText(r, col));
    return cells;
}

TSortGrid tableOf(int col, const QStringList& cells)
{
    TSortGrid grid(TaskColumnCount, int(cells.size()));
    for (int r = 0; r < cells.size(); ++r)
        grid.setCell(r, col, cells[r]);
    return grid;
}

} // namespace

class TestTaskSort final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void keys_readCellsAsDocumented_data()
    {
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("integer numeric") << int(sortComplete) << u"9"_s << u"10"_s << -1;
        QTest::newRow("integer non-number is 0") << int(sortComplete) << u"x"_s << u"0"_s << 0;
        QTest::newRow("text ignores case") << int(sortTaskName) << u"Call Ann"_s << u"cALL aNN"_s << 0;
        QTest::newRow("text accents by locale") << int(sortProject) << u"\u00e9t\u00e9"_s << u"\u00c9T\u00c9"_s << 0;
        QTest::newRow("text prefix first") << int(sortTaskName) << u"ab"_s << u"abc"_s << -1;
        QTest::newRow("text empty after letters") << int(sortProject) << QString() << u"ZZZ"_s << 1;
        QTest::newRow("text empty before y-diaeresis") << int(sortProject) << QString() << u"\u00ff"_s << -1;
        QTest::newRow("header date includes time") << int(sortDue) << u"40179.25"_s << u"40179.5"_s << -1;
        QTest::newRow("header date non-number last") << int(sortDue) << u"abc"_s << u"99999"_s << 1;
        QTest::newRow("header date non-number is none") << int(sortDue) << u"abc"_s << u"100000"_s << 0;
        QTest::newRow("time untimed after timed") << int(sortTime) << u"40179"_s << u"40170.99"_s << 1;
        QTest::newRow("time no due date is untimed") << int(sortTime) << u"100000"_s << u"40179"_s << 0;
        QTest::newRow("time non-number is untimed") << int(sortTime) << u"?"_s << u"40179"_s << 0;
        QTest::newRow("time ignores day") << int(sortTime) << u"40179.25"_s << u"10.5"_s << -1;
    }
    void keys_readCellsAsDocumented()
    {
        QFETCH(int, sortColumn);
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        const int col = sortTableColumn(sortColumn);
        const TSortGrid grid = tableOf(col, {a, b});
        const int c = compareRowsBySortColumn(grid.rowText(0), grid.rowText(1), sortColumn, true);
        QCOMPARE((c > 0) - (c < 0), expected);
    }

    void keys_threeLevelDateIsDayOnly()
    {
        const TSortGrid grid = tableOf(colDue, {u"40179.75"_s, u"40179.25"_s});
        QCOMPARE(compareRowsBySortColumn(grid.rowText(0), grid.rowText(1), sortDue, false), 0);
        QVERIFY(compareRowsBySortColumn(grid.rowText(0), grid.rowText(1), sortDue, true) > 0);
    }

    void sortByColumn_randomTables_matchQuicksortProcedure()
    {
        QRandomGenerator random(4711);
        for (int round = 0; round < 300; ++round) {
            const TSortGrid table = randomTable(random, 1 + random.bounded(70));
            for (int col = 0; col < SortColumnCount; ++col) {
                for (const bool asc : {true, false}) {
                    TSortGrid expected = table;
                    literalQuickSort(expected, col, asc, 0, expected.rowCount() - 1);
                    TSortGrid actual = table;
                    SortByColumn(actual, col, asc);
                    QCOMPARE(actual.rows(), expected.rows());
                }
            }
        }
    }

    void sortByKeys_randomTables_matchExchangeProcedure()
    {
        QRandomGenerator random(1206);
        for (int round = 0; round < 3000; ++round) {
            const int size = round % 10 == 0 ? 150 + random.bounded(100) : 1 + random.bounded(50);
            const TSortGrid table = randomTable(random, size);
            const int prim = random.bounded(-1, SortColumnCount);
            const int sec = random.bounded(-1, SortColumnCount);
            const int ter = random.bounded(-1, SortColumnCount);
            const bool primAsc = random.bounded(2), secAsc = random.bounded(2), terAsc = random.bounded(2);
            TSortGrid expected = table;
            literalSortByKeys(expected, prim, primAsc, sec, secAsc, ter, terAsc);
            TSortGrid actual = table;
            SortByKeys(actual, prim, primAsc, sec, secAsc, ter, terAsc);
            if (actual.rows() != expected.rows())
                QFAIL(qPrintable(u"round %1 keys %2 %3 %4"_s.arg(round).arg(prim).arg(sec).arg(ter)));
        }
    }

    void sortByKeys_manySmallTables_matchExchangeProcedure()
    {
        // Every short arrangement of a few values shows up many times over, including the ones
        // where rows settle in cascades within one pass.
        QRandomGenerator random(90210);
        for (int round = 0; round < 200000; ++round) {
            const int size = 2 + random.bounded(9);
            const int values = 1 + random.bounded(size < 6 ? 3 : 6);
            TSortGrid table(TaskColumnCount, size);
            for (int k = 0; k < size; ++k) {
                table.setCell(k, colComplete, QString::number(random.bounded(values)));
                table.setCell(k, colSpare, QString::number(k));
            }
            TSortGrid expected = table;
            literalSortByKeys(expected, sortComplete, true, -1, true, -1, true);
            TSortGrid actual = table;
            SortByKeys(actual, sortComplete, true, -1, true, -1, true);
            if (actual.rows() != expected.rows())
                QFAIL(qPrintable(column(table, colComplete).join(u' ')));
        }
    }

    void sortByKeys_distinctKeysFallingChains_matchExchangeProcedure()
    {
        // Large values followed by rising runs make every pass swap along long chains.
        QStringList names;
        for (int k = 0; k < 60; ++k)
            names.append(u"Z%1"_s.arg(99 - k, 2, 10, QLatin1Char('0')));
        for (int k = 0; k < 60; ++k)
            names.append(u"A%1"_s.arg(k % 20, 2, 10, QLatin1Char('0')));
        const TSortGrid table = tableOf(colTaskName, names);
        for (const bool asc : {true, false}) {
            TSortGrid expected = table;
            literalSortByKeys(expected, sortTaskName, asc, -1, true, -1, true);
            TSortGrid actual = table;
            SortByKeys(actual, sortTaskName, asc, -1, true, -1, true);
            QCOMPARE(actual.rows(), expected.rows());
        }
    }

    void sortByKeys_adversarialPatterns_matchExchangeProcedure_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("size");
        for (const int size : {2, 3, 17, 300}) {
            for (const QString& pattern :
                 {u"equal"_s, u"sorted"_s, u"reversed"_s, u"fallingTies"_s, u"sawtooth"_s, u"fallingSawtooth"_s,
                  u"highThenRuns"_s, u"alternating"_s, u"randomFew"_s, u"randomMany"_s, u"nearlySorted"_s})
                QTest::addRow("%s %d", qPrintable(pattern), size) << pattern << size;
        }
        QTest::newRow("fallingTies 2000") << u"fallingTies"_s << 2000;
        QTest::newRow("highThenRuns 2000") << u"highThenRuns"_s << 2000;
        QTest::newRow("randomFew 2000") << u"randomFew"_s << 2000;
        QTest::newRow("fallingSawtooth 1500") << u"fallingSawtooth"_s << 1500;
        // Mostly distinct keys: rows settle in scattered runs far right of the pass.
        QTest::newRow("randomMany 2000") << u"randomMany"_s << 2000;
    }
    void sortByKeys_adversarialPatterns_matchExchangeProcedure()
    {
        // Long swap chains and many equal keys: the order among equal rows is what a shortcut
        // gets wrong, so each row carries its number to tell them apart.
        QFETCH(QString, pattern);
        QFETCH(int, size);
        QRandomGenerator random(size);
        auto valueAt = [&](int k) {
            if (pattern == u"equal")
                return 5;
            if (pattern == u"sorted")
                return k;
            if (pattern == u"reversed")
                return size - k;
            if (pattern == u"fallingTies")
                return (size - k) / 3;
            if (pattern == u"sawtooth")
                return k % 7;
            if (pattern == u"fallingSawtooth")
                return (size - k) / 10 + k % 4;
            if (pattern == u"highThenRuns")
                return k < size / 2 ? size + k % 5 : k % 13;
            if (pattern == u"alternating")
                return k % 2;
            if (pattern == u"randomMany")
                return random.bounded(size);
            if (pattern == u"nearlySorted")
                return k / 4 + random.bounded(3);
            return random.bounded(4);
        };
        TSortGrid table(TaskColumnCount, size);
        for (int k = 0; k < size; ++k) {
            table.setCell(k, colComplete, QString::number(valueAt(k)));
            table.setCell(k, colSpare, QString::number(k));
        }
        for (const bool asc : {true, false}) {
            TSortGrid expected = table;
            literalSortByKeys(expected, sortComplete, asc, -1, true, -1, true);
            TSortGrid actual = table;
            SortByKeys(actual, sortComplete, asc, -1, true, -1, true);
            QCOMPARE(column(actual, colSpare), column(expected, colSpare));
        }
    }

    void sortByColumn_priorityAscending_emptyLast()
    {
        TSortGrid grid = tableOf(colPriority, {QString(), u"3 - Low"_s, u"1 - High"_s, QString(), u"2 - Medium"_s});
        SortByColumn(grid, sortPriority, true);
        QCOMPARE(column(grid, colPriority),
                 QStringList({u"1 - High"_s, u"2 - Medium"_s, u"3 - Low"_s, QString(), QString()}));
    }

    void sortByColumn_dueDate_noDueDateLastAscendingFirstDescending()
    {
        const QStringList cells = {u"100000"_s, u"40180.25"_s, u"40179.5"_s, u"40180"_s, u"40179.25"_s};
        TSortGrid grid = tableOf(colDue, cells);
        SortByColumn(grid, sortDue, true);
        QCOMPARE(column(grid, colDue),
                 QStringList({u"40179.25"_s, u"40179.5"_s, u"40180"_s, u"40180.25"_s, u"100000"_s}));
        SortByColumn(grid, sortDue, false);
        QCOMPARE(column(grid, colDue),
                 QStringList({u"100000"_s, u"40180.25"_s, u"40180"_s, u"40179.5"_s, u"40179.25"_s}));
    }

    void sortByKeys_dayThenTime_untimedAfterTimed()
    {
        TSortGrid grid = tableOf(colDue, {u"40180.5"_s, u"40179"_s, u"100000"_s, u"40179.75"_s, u"40179.25"_s});
        SortByKeys(grid, sortDue, true, sortTime, true, -1, true);
        QCOMPARE(column(grid, colDue),
                 QStringList({u"40179.25"_s, u"40179.75"_s, u"40179"_s, u"40180.5"_s, u"100000"_s}));
    }

    void sortByKeys_noPrimaryKey_leavesOrder()
    {
        const TSortGrid table = tableOf(colTaskName, {u"b"_s, u"a"_s});
        TSortGrid grid = table;
        SortByKeys(grid, -1, true, sortTaskName, true, -1, true);
        QCOMPARE(grid.rows(), table.rows());
    }
};

QTEST_GUILESS_MAIN(TestTaskSort)
#include "tst_tasksort.moc"
