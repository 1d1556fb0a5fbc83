#include "core/clock.h"
#include "core/daynumber.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "tasks/tasksort.h"
#include "tasks/taskview.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct TaskSpec {
    TaskSpec(QString n, QString d = QStringLiteral("100000"), QString p = {}, QString a = {},
             QString c = QStringLiteral("0"), QString r = QStringLiteral("0"))
        : name(std::move(n)), due(std::move(d)), project(std::move(p)), assignee(std::move(a)), complete(std::move(c)),
          recurrence(std::move(r))
    {}
    QString name, due, project, assignee, complete, recurrence;
};

TSortGrid makeTable(const QList<TaskSpec>& tasks)
{
    TSortGrid grid(TaskColumnCount, int(tasks.size()));
    for (int r = 0; r < tasks.size(); ++r) {
        const TaskSpec& t = tasks[r];
        grid.setRow(r, {t.complete, t.name, t.due, t.project, QStringLiteral("2 - Medium"), QString(), QString(),
                        t.assignee, QString(), t.recurrence, QString()});
    }
    return grid;
}

QString due(const QDate& date, double fraction = 0.0)
{
    return dayNumberText(dayNumber(date) + fraction);
}

QStringList names(const TSortGrid& grid)
{
    QStringList result;
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (!grid.cell(r, colTaskName).isEmpty())
            result.append(grid.cellText(r, colTaskName));
    }
    result.sort();
    return result;
}

} // namespace

class TestTaskView final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { Clock::setCurrent(nullptr); }

    void setDeadlineFilter_calendarEdges_data();
    void setDeadlineFilter_calendarEdges();
    void filterTasks_deadlineRules_data();
    void filterTasks_deadlineRules();
    void filterTasks_completedRecurringHiddenWithoutShowCompleted();
    void filterTasks_projectAndUnassignedAssignee_ignoreCase();
    void filterTasks_reverseTableOrderAndDueWidths();
    void rebuildView_countAndLamp();
    void rebuildView_moveEditedToTop();
    void headerSort_togglesDirectionAndEndsAdvancedSort();
    void state_roundTripThroughSettings();
};

void TestTaskView::setDeadlineFilter_calendarEdges_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("weekStart");
    QTest::addColumn<int>("rule");
    QTest::addColumn<double>("limit");

    const QDate sunday(2026, 12, 6);
    QTest::newRow("all dates") << sunday << 0 << 0 << 100001.0;
    QTest::newRow("no due date") << sunday << 0 << 1 << 100000.0;
    QTest::newRow("today") << sunday << 0 << 2 << dayNumber(sunday);
    QTest::newRow("tomorrow on 31 Dec") << QDate(2026, 12, 31) << 0 << 3 << dayNumber(QDate(2027, 1, 1));
    QTest::newRow("this week, Monday start, on Sunday") << sunday << 1 << 4 << dayNumber(sunday);
    QTest::newRow("next week, Monday start, on Sunday") << sunday << 1 << 5 << dayNumber(QDate(2026, 12, 13));
    QTest::newRow("this week, Sunday start, on Sunday") << sunday << 0 << 4 << dayNumber(QDate(2026, 12, 12));
    QTest::newRow("this week, Sunday start, on Saturday")
        << QDate(2026, 12, 12) << 0 << 4 << dayNumber(QDate(2026, 12, 12));
    QTest::newRow("this week, Monday start, on Monday")
        << QDate(2026, 12, 7) << 1 << 4 << dayNumber(QDate(2026, 12, 13));
    QTest::newRow("broken week start counts modulo 7") << sunday << 8 << 4 << dayNumber(sunday);
    QTest::newRow("this month on 31 Dec") << QDate(2026, 12, 31) << 0 << 6 << dayNumber(QDate(2026, 12, 31));
    QTest::newRow("this month, leap February") << QDate(2028, 2, 10) << 0 << 6 << dayNumber(QDate(2028, 2, 29));
    QTest::newRow("this month, plain February") << QDate(2027, 2, 1) << 0 << 6 << dayNumber(QDate(2027, 2, 28));
    QTest::newRow("recurring") << sunday << 0 << 7 << 0.0;
    QTest::newRow("unknown rule shows all") << sunday << 0 << 42 << 100001.0;
}

void TestTaskView::setDeadlineFilter_calendarEdges()
{
    QFETCH(QDate, today);
    QFETCH(int, weekStart);
    QFETCH(int, rule);
    QFETCH(double, limit);
    FixedClock clock(QDateTime(today, QTime(23, 59)));
    Clock::setCurrent(&clock);
    TSortGrid table = makeTable({});
    TaskView view(table);
    view.SetDeadlineFilter(rule, weekStart);
    QCOMPARE(view.DeadlineLimit, limit);
}

void TestTaskView::filterTasks_deadlineRules_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("today: overdue and today, never undated")
        << 2 << QStringList{QStringLiteral("overdue"), QStringLiteral("today late")};
    QTest::newRow("no due date: empty and unreadable count")
        << 1 << QStringList{QStringLiteral("broken"), QStringLiteral("undated"), QStringLiteral("undated recurring")};
    QTest::newRow("recurring ignores the date")
        << 7 << QStringList{QStringLiteral("next year recurring"), QStringLiteral("undated recurring")};
    QTest::newRow("this week, Monday start, Sunday")
        << 4 << QStringList{QStringLiteral("overdue"), QStringLiteral("today late")};
    QTest::newRow("next week") << 5
                               << QStringList{QStringLiteral("following Sunday"), QStringLiteral("overdue"),
                                              QStringLiteral("today late")};
}

void TestTaskView::filterTasks_deadlineRules()
{
    QFETCH(int, rule);
    QFETCH(QStringList, shown);
    const QDate sunday(2026, 12, 6);
    FixedClock clock(QDateTime(sunday, QTime(9, 0)));
    Clock::setCurrent(&clock);
    TSortGrid table = makeTable({
        {QStringLiteral("overdue"), due(sunday.addDays(-3))},
        {QStringLiteral("today late"), due(sunday, 0.9)},
        {QStringLiteral("following Sunday"), due(sunday.addDays(7), 0.5)},
        {QStringLiteral("after that"), due(sunday.addDays(8))},
        {QStringLiteral("undated")},
        {QStringLiteral("broken"), QStringLiteral("soon")},
        {QStringLiteral("undated recurring"),
         QStringLiteral("100000"),
         {},
         {},
         QStringLiteral("0"),
         QStringLiteral("4")},
        {QStringLiteral("next year recurring"),
         due(sunday.addYears(1)),
         {},
         {},
         QStringLiteral("0"),
         QStringLiteral("9")},
    });
    TaskView view(table);
    view.SetDeadlineFilter(rule, 1);
    TSortGrid target(TaskColumnCount);
    view.FilterTasks(target, {}, view.DeadlineLimit, {});
    QCOMPARE(names(target), shown);
}

void TestTaskView::filterTasks_completedRecurringHiddenWithoutShowCompleted()
{
    TSortGrid table = makeTable({
        {QStringLiteral("done recurring"),
         QStringLiteral("100000"),
         {},
         {},
         QStringLiteral("100"),
         QStringLiteral("1")},
        {QStringLiteral("open recurring"), QStringLiteral("100000"), {}, {}, QStringLiteral("99"), QStringLiteral("1")},
    });
    TaskView view(table);
    TSortGrid target(TaskColumnCount);
    view.FilterTasks(target, {}, DeadlineRecurringOnly, {});
    QCOMPARE(names(target).size(), 2);
    view.ShowCompleted = false;
    view.FilterTasks(target, {}, DeadlineRecurringOnly, {});
    QCOMPARE(names(target), QStringList{QStringLiteral("open recurring")});
}

void TestTaskView::filterTasks_projectAndUnassignedAssignee_ignoreCase()
{
    TSortGrid table = makeTable({
        {QStringLiteral("a"), {}, QStringLiteral("Home"), {}},
        {QStringLiteral("b"), {}, QStringLiteral("HOME"), QStringLiteral("Ann")},
        {QStringLiteral("c"), {}, QStringLiteral("Work"), {}},
        {QStringLiteral("d"), {}, QStringLiteral("Ärger"), {}},
        {QStringLiteral("e"), {}, {}, {}},
    });
    TaskView view(table);
    TSortGrid target(TaskColumnCount);
    view.FilterTasks(target, {QStringLiteral("home")}, DeadlineAllDates, {QString()});
    QCOMPARE(names(target), QStringList{QStringLiteral("a")});
    view.FilterTasks(target, {QStringLiteral("ärger")}, DeadlineAllDates, {});
    QCOMPARE(names(target), QStringList{QStringLiteral("d")});
    view.FilterTasks(target, {QString()}, DeadlineAllDates, {});
    QCOMPARE(names(target), QStringList{QStringLiteral("e")});
    // No task passes: one empty row is left.
    view.FilterTasks(target, {QStringLiteral("Garden")}, DeadlineAllDates, {});
    QCOMPARE(target.rowCount(), 1);
    QVERIFY(target.rowText(0).count(TSortGrid::CellSeparator) == TaskColumnCount - 1);
    QVERIFY(names(target).isEmpty());
}

void TestTaskView::filterTasks_reverseTableOrderAndDueWidths()
{
    TSortGrid table = makeTable({
        {QStringLiteral("first"), due(QDate(2026, 1, 2), 0.25)},
        {QStringLiteral("second"), due(QDate(2026, 1, 3))},
        {QStringLiteral("third")},
    });
    TaskView view(table);
    view.measureText = [](const QString& text) { return int(text.size()) * 10; };
    view.FilterTasks(view.MirrorGrid, {}, DeadlineAllDates, {});
    QCOMPARE(view.MirrorGrid.cellText(0, colTaskName), QStringLiteral("third"));
    QCOMPARE(view.MirrorGrid.cellText(2, colTaskName), QStringLiteral("first"));
    QVERIFY(view.DueDateWidth > 6);
    QVERIFY(view.DueTimeWidth > 6);
    // Another target grid leaves the widths of the view alone.
    view.DueDateWidth = 1;
    TSortGrid report(TaskColumnCount);
    view.FilterTasks(report, {}, DeadlineAllDates, {});
    QCOMPARE(view.DueDateWidth, 1);
    // Only undated tasks: nothing to measure.
    view.FilterTasks(view.MirrorGrid, {}, DeadlineNoDueDate, {});
    QCOMPARE(view.DueDateWidth, 0);
    QCOMPARE(view.DueTimeWidth, 0);
}

void TestTaskView::rebuildView_countAndLamp()
{
    TSortGrid table = makeTable({
        {QStringLiteral("a"), {}, QStringLiteral("Home")},
        {QStringLiteral("b"), {}, QStringLiteral("Work")},
        {QStringLiteral("c"), {}, QStringLiteral("Work")},
    });
    TaskView view(table);
    int commits = 0;
    view.CommitPreviewNotes = [&commits] { ++commits; };
    RebuildResult result = view.RebuildView(false);
    QCOMPARE(commits, 1);
    QCOMPARE(result.taskCount, 3);
    QVERIFY(!result.filtered);

    view.ProjectFilter = {QStringLiteral("Home")};
    result = view.RebuildView(false);
    QCOMPARE(result.taskCount, 1);
    QVERIFY(result.filtered);
    QVERIFY(result.rowsChanged);
    QVERIFY(!view.RebuildView(false).rowsChanged);

    view.ProjectFilter = {QStringLiteral("Nowhere")};
    result = view.RebuildView(false);
    QCOMPARE(result.taskCount, 0);
    QVERIFY(result.filtered);

    // Hiding completed tasks is not a filter for the lamp.
    view.ShowAllTasks();
    view.ShowCompleted = false;
    QVERIFY(!view.RebuildView(false).filtered);
    view.SetDeadlineFilter(ruleNoDueDate, 0);
    QVERIFY(view.RebuildView(false).filtered);
}

void TestTaskView::rebuildView_moveEditedToTop()
{
    TSortGrid table = makeTable({
        {QStringLiteral("Zebra"), {}, QStringLiteral("P")},
        {QStringLiteral("Apple"), {}, QStringLiteral("P")},
        {QStringLiteral("Mango"), {}, QStringLiteral("P")},
    });
    TaskView view(table);
    view.AdvancedSort = false;
    view.SortColumn = sortTaskName;
    view.RebuildView(false);
    view.setCurrentRow(2);
    RebuildResult result = view.RebuildView(false);
    QCOMPARE(result.currentRow, 2);
    QCOMPARE(view.MirrorGrid.cellText(2, colTaskName), QStringLiteral("Zebra"));

    result = view.RebuildView(true);
    QCOMPARE(result.currentRow, 0);
    QCOMPARE(view.currentRow(), 0);
    QCOMPARE(view.MirrorGrid.cellText(0, colTaskName), QStringLiteral("Zebra"));
    QCOMPARE(view.MirrorGrid.cellText(1, colTaskName), QStringLiteral("Apple"));
}

void TestTaskView::headerSort_togglesDirectionAndEndsAdvancedSort()
{
    TSortGrid table = makeTable({{QStringLiteral("b")}, {QStringLiteral("a")}, {QStringLiteral("c")}});
    TaskView view(table);
    QVERIFY(view.AdvancedSort);
    view.HeaderSort(sortTaskName);
    QVERIFY(!view.AdvancedSort);
    QVERIFY(!view.SortAscending); // the stored column was already the task name
    QCOMPARE(view.MirrorGrid.cellText(0, colTaskName), QStringLiteral("c"));
    QCOMPARE(view.sortMark(sortTaskName).shown, true);
    QCOMPARE(view.sortMark(sortProject).shown, false);
    view.HeaderSort(sortProject);
    QVERIFY(view.SortAscending);
    view.PrimKey = NoSortKey;
    QVERIFY(!view.PerformAdvancedSort());
    QVERIFY(!view.AdvancedSort);
    view.PrimKey = sortTaskName;
    QVERIFY(view.PerformAdvancedSort());
    QCOMPARE(view.sortMark(sortTaskName).text, QStringLiteral("1"));
    QCOMPARE(view.MirrorGrid.cellText(0, colTaskName), QStringLiteral("a"));
}

void TestTaskView::state_roundTripThroughSettings()
{
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("tarnwick.ini")));
    FixedClock clock(QDateTime(QDate(2026, 12, 6), QTime(12, 0)));
    Clock::setCurrent(&clock);
    TSortGrid table = makeTable({});
    {
        TaskView view(table);
        view.ProjectFilter =
            TaskView::normalizedNames({QStringLiteral("work"), QStringLiteral("Home"), QStringLiteral("WORK")});
        QCOMPARE(view.ProjectFilter, (QStringList{QStringLiteral("Home"), QStringLiteral("work")}));
        view.AssigneeFilter = {QString()};
        view.SetDeadlineFilter(ruleTomorrow, 0);
        view.ShowCompleted = false;
        view.AdvancedSort = false;
        view.SortColumn = sortTime;
        view.SortAscending = false;
        view.PrimKey = sortPriority;
        view.SecKey = NoSortKey;
        view.TerDir = false;
        view.saveState(settings);
    }
    settings.writeString(Settings::FilterProject, QStringLiteral("home"), QString()); // a repeat, other case
    settings.writeInteger(Settings::AdvSort, Settings::TerKey, 12);

    SettingsStore reread(dir.filePath(QStringLiteral("tarnwick.ini")));
    TaskView view(table);
    view.loadState(reread);
    QCOMPARE(view.ProjectFilter, (QStringList{QStringLiteral("Home"), QStringLiteral("work")}));
    QCOMPARE(view.AssigneeFilter, QStringList{QString()});
    QCOMPARE(view.DeadlineRuleTag, int(ruleTomorrow));
    QCOMPARE(view.DeadlineLimit, dayNumber(QDate(2026, 12, 7)));
    QVERIFY(!view.ShowCompleted);
    QVERIFY(!view.AdvancedSort);
    QCOMPARE(view.SortColumn, int(sortTaskName)); // the time column is not kept
    QVERIFY(!view.SortAscending);
    QCOMPARE(view.PrimKey, int(sortPriority));
    QCOMPARE(view.SecKey, int(NoSortKey));
    QCOMPARE(view.TerKey, int(NoSortKey)); // unreadable key number
    QVERIFY(!view.TerDir);
}

QTEST_GUILESS_MAIN(TestTaskView)
#include "tst_taskview.moc"
