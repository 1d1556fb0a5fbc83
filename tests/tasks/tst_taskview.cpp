#include "core/clock.h"
#include "core/daynumber.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "support/tables.h"
#include "tasks/recurrence.h"
#include "tasks/taskedit.h"
#include "tasks/tasksort.h"
#include "tasks/taskview.h"

#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

struct TaskSpec {
    TaskSpec(QString n, QString d = u"100000"_s, QString p = {}, QString a = {}, QString c = u"0"_s, QString r = u"0"_s)
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
        grid.setRow(r, {t.complete, t.name, t.due, t.project, u"2 - Medium"_s, QString(), QString(), t.assignee,
                        QString(), t.recurrence, QString()});
    }
    return grid;
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

    void rebuildView_afterOneTaskChanges_matchesAFreshRebuild_data();
    void rebuildView_afterOneTaskChanges_matchesAFreshRebuild();
    void setDeadlineFilter_calendarEdges_data();
    void setDeadlineFilter_calendarEdges();
    void filterTasks_deadlineRules_data();
    void filterTasks_deadlineRules();
    void filterTasks_projectAndUnassignedAssignee_ignoreCase();
    void filterTasks_reverseTableOrderBlankRowsAndDueWidths();
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
    QTest::addColumn<bool>("showCompleted");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("today: overdue and today, never undated") << 2 << true << QStringList{u"overdue"_s, u"today late"_s};
    QTest::newRow("no due date: empty and unreadable count")
        << 1 << true << QStringList{u"broken"_s, u"undated"_s, u"undated recurring"_s};
    QTest::newRow("recurring ignores the date")
        << 7 << true << QStringList{u"done recurring"_s, u"next year recurring"_s, u"undated recurring"_s};
    QTest::newRow("recurring, completed hidden")
        << 7 << false << QStringList{u"next year recurring"_s, u"undated recurring"_s};
    QTest::newRow("this week, Monday start, Sunday") << 4 << true << QStringList{u"overdue"_s, u"today late"_s};
    QTest::newRow("next week") << 5 << true << QStringList{u"following Sunday"_s, u"overdue"_s, u"today late"_s};
}

void TestTaskView::filterTasks_deadlineRules()
{
    QFETCH(int, rule);
    QFETCH(bool, showCompleted);
    QFETCH(QStringList, shown);
    const QDate sunday(2026, 12, 6);
    FixedClock clock(QDateTime(sunday, QTime(9, 0)));
    Clock::setCurrent(&clock);
    TSortGrid table = makeTable({
        {u"overdue"_s, dueCell(sunday.addDays(-3))},
        {u"today late"_s, dueCell(sunday, 0.9)},
        {u"following Sunday"_s, dueCell(sunday.addDays(7), 0.5)},
        {u"after that"_s, dueCell(sunday.addDays(8))},
        {u"undated"_s},
        {u"broken"_s, u"soon"_s},
        {u"undated recurring"_s, u"100000"_s, {}, {}, u"0"_s, u"4"_s},
        {u"next year recurring"_s, dueCell(sunday.addYears(1)), {}, {}, u"99"_s, u"9"_s},
        {u"done recurring"_s, dueCell(sunday.addDays(30)), {}, {}, u"100"_s, u"1"_s},
    });
    TaskView view(table);
    view.ShowCompleted = showCompleted;
    view.SetDeadlineFilter(rule, 1);
    TSortGrid target(TaskColumnCount);
    view.FilterTasks(target, {}, view.DeadlineLimit, {});
    QCOMPARE(names(target), shown);
}

void TestTaskView::filterTasks_projectAndUnassignedAssignee_ignoreCase()
{
    TSortGrid table = makeTable({
        {u"a"_s, {}, u"Home"_s, {}},
        {u"b"_s, {}, u"HOME"_s, u"Ann"_s},
        {u"c"_s, {}, u"Work"_s, {}},
        {u"d"_s, {}, u"Ärger"_s, {}},
        {u"e"_s, {}, {}, {}},
    });
    TaskView view(table);
    TSortGrid target(TaskColumnCount);
    view.FilterTasks(target, {u"home"_s}, DeadlineAllDates, {QString()});
    QCOMPARE(names(target), QStringList{u"a"_s});
    view.FilterTasks(target, {u"ärger"_s}, DeadlineAllDates, {});
    QCOMPARE(names(target), QStringList{u"d"_s});
    view.FilterTasks(target, {QString()}, DeadlineAllDates, {});
    QCOMPARE(names(target), QStringList{u"e"_s});
    // No task passes: one empty row is left.
    view.FilterTasks(target, {u"Garden"_s}, DeadlineAllDates, {});
    QCOMPARE(target.rowCount(), 1);
    QVERIFY(target.rowText(0).count(TSortGrid::CellSeparator) == TaskColumnCount - 1);
    QVERIFY(names(target).isEmpty());
}

void TestTaskView::filterTasks_reverseTableOrderBlankRowsAndDueWidths()
{
    TSortGrid table = makeTable({
        {u"first"_s, dueCell(QDate(2026, 1, 2), 0.25)},
        {u"second"_s, dueCell(QDate(2026, 1, 3))},
        {u"third"_s},
    });
    TaskView view(table);
    view.measureText = [](const QString& text) { return int(text.size()) * 10; };
    view.FilterTasks(view.MirrorGrid, {}, DeadlineAllDates, {});
    QCOMPARE(view.MirrorGrid.cellText(0, colTaskName), u"third"_s);
    QCOMPARE(view.MirrorGrid.cellText(2, colTaskName), u"first"_s);
    // A blank row (nothing in name, due date, project, priority) leaves the table at the next filter,
    // wherever it lies; a table of blank rows keeps its last one, which is filtered like a task.
    for (const int at : {0, 2, 3}) {
        table.InsertRow(at);
        view.FilterTasks(view.MirrorGrid, {}, DeadlineAllDates, {});
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(view.MirrorGrid.rowCount(), 3);
        QCOMPARE(names(view.MirrorGrid), QStringList({u"first"_s, u"second"_s, u"third"_s}));
    }
    TSortGrid blanks(TaskColumnCount, 2);
    blanks.setCell(1, colComplete, u"100"_s);
    TaskView blankView(blanks);
    blankView.FilterTasks(blankView.MirrorGrid, {}, DeadlineAllDates, {});
    QCOMPARE(blanks.rowCount(), 1);
    QCOMPARE(blankView.MirrorGrid.cellText(0, colComplete), u"100"_s);
    blankView.ShowCompleted = false;
    blankView.FilterTasks(blankView.MirrorGrid, {}, DeadlineAllDates, {});
    QCOMPARE(blankView.MirrorGrid.cellText(0, colComplete), QString());

    // The rebuild measures the widest due date and time of the rows shown.
    view.RebuildView(false);
    QVERIFY(view.DueDateWidth > 6);
    QVERIFY(view.DueTimeWidth > 6);
    // Only undated tasks: nothing to measure.
    view.DeadlineLimit = DeadlineNoDueDate;
    view.RebuildView(false);
    QCOMPARE(view.DueDateWidth, 0);
    QCOMPARE(view.DueTimeWidth, 0);
}

void TestTaskView::rebuildView_countAndLamp()
{
    TSortGrid table = makeTable({
        {u"a"_s, {}, u"Home"_s},
        {u"b"_s, {}, u"Work"_s},
        {u"c"_s, {}, u"Work"_s},
    });
    TaskView view(table);
    int commits = 0;
    view.CommitPreviewNotes = [&commits] { ++commits; };
    RebuildResult result = view.RebuildView(false);
    QCOMPARE(commits, 1);
    QCOMPARE(result.taskCount, 3);
    QVERIFY(!result.filtered);

    view.ProjectFilter = {u"Home"_s};
    result = view.RebuildView(false);
    QCOMPARE(result.taskCount, 1);
    QVERIFY(result.filtered);
    QVERIFY(result.rowsChanged);
    QVERIFY(!view.RebuildView(false).rowsChanged);

    view.ProjectFilter = {u"Nowhere"_s};
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
        {u"Zebra"_s, {}, u"P"_s},
        {u"Apple"_s, {}, u"P"_s},
        {u"Mango"_s, {}, u"P"_s},
    });
    TaskView view(table);
    view.AdvancedSort = false;
    view.SortColumn = sortTaskName;
    view.RebuildView(false);
    view.setCurrentRow(2);
    RebuildResult result = view.RebuildView(false);
    QCOMPARE(result.currentRow, 2);
    QCOMPARE(view.MirrorGrid.cellText(2, colTaskName), u"Zebra"_s);

    result = view.RebuildView(true);
    QCOMPARE(result.currentRow, 0);
    QCOMPARE(view.currentRow(), 0);
    QCOMPARE(view.MirrorGrid.cellText(0, colTaskName), u"Zebra"_s);
    QCOMPARE(view.MirrorGrid.cellText(1, colTaskName), u"Apple"_s);
}

void TestTaskView::headerSort_togglesDirectionAndEndsAdvancedSort()
{
    TSortGrid table = makeTable({{u"b"_s}, {u"a"_s}, {u"c"_s}});
    TaskView view(table);
    QVERIFY(view.AdvancedSort);
    view.HeaderSort(sortTaskName);
    QVERIFY(!view.AdvancedSort);
    QVERIFY(!view.SortAscending); // the stored column was already the task name
    QCOMPARE(view.MirrorGrid.cellText(0, colTaskName), u"c"_s);
    QCOMPARE(view.sortMark(sortTaskName).shown, true);
    QCOMPARE(view.sortMark(sortProject).shown, false);
    view.HeaderSort(sortProject);
    QVERIFY(view.SortAscending);
    view.PrimKey = NoSortKey;
    QVERIFY(!view.PerformAdvancedSort());
    QVERIFY(!view.AdvancedSort);
    view.PrimKey = sortTaskName;
    QVERIFY(view.PerformAdvancedSort());
    QCOMPARE(view.sortMark(sortTaskName).text, u"1"_s);
    QCOMPARE(view.MirrorGrid.cellText(0, colTaskName), u"a"_s);
}

void TestTaskView::state_roundTripThroughSettings()
{
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(u"tarnwick.ini"_s));
    FixedClock clock(QDateTime(QDate(2026, 12, 6), QTime(12, 0)));
    Clock::setCurrent(&clock);
    TSortGrid table = makeTable({});
    {
        TaskView view(table);
        view.ProjectFilter = TaskView::normalizedNames({u"work"_s, u"Home"_s, u"WORK"_s});
        QCOMPARE(view.ProjectFilter, (QStringList{u"Home"_s, u"work"_s}));
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
    settings.writeString(Settings::FilterProject, u"home"_s, QString()); // a repeat, other case
    settings.writeInteger(Settings::AdvSort, Settings::TerKey, 12);

    SettingsStore reread(dir.filePath(u"tarnwick.ini"_s));
    TaskView view(table);
    view.loadState(reread);
    QCOMPARE(view.ProjectFilter, (QStringList{u"Home"_s, u"work"_s}));
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

void TestTaskView::rebuildView_afterOneTaskChanges_matchesAFreshRebuild_data()
{
    QTest::addColumn<bool>("advanced");
    QTest::addColumn<bool>("showCompleted");
    QTest::newRow("3-level, completed shown") << true << true;
    QTest::newRow("3-level, completed hidden") << true << false;
    QTest::newRow("header sort by project") << false << true;
}

// A rebuild reuses the last sort and measures only the rows that came and went; after any run of
// one-task changes its order and due widths must be those of a view built from scratch.
void TestTaskView::rebuildView_afterOneTaskChanges_matchesAFreshRebuild()
{
    QFETCH(bool, advanced);
    QFETCH(bool, showCompleted);
    QRandomGenerator random(7);
    const QStringList projects{QString(), u"Home"_s, u"Work"_s};
    const auto randomRow = [&](int n) {
        // Few distinct keys, so that ties decide much of the order; some times of day are wide.
        const double due = random.bounded(5) == 0 ? NoDueDate
                                                  : dayNumber(QDate(2026, 12, 1)) + random.bounded(4) +
                                                        (random.bounded(3) == 0 ? random.bounded(24) / 24.0 : 0.0);
        return QStringList{random.bounded(3) == 0 ? u"100"_s : u"0"_s, u"Task %1"_s.arg(n), dayNumberText(due),
                           projects[random.bounded(projects.size())], priorityTexts().value(random.bounded(3))};
    };
    TSortGrid tasks(TaskColumnCount, 60);
    for (int r = 0; r < tasks.rowCount(); ++r)
        tasks.setRow(r, randomRow(r));
    const auto measure = [](const QString& text) { return int(text.size()) * 7 + int(text.count(u'1')); };
    const auto configure = [&](TaskView& view) {
        view.AdvancedSort = advanced;
        view.SortColumn = sortProject;
        view.ShowCompleted = showCompleted;
        view.measureText = measure;
    };
    TaskView view(tasks);
    configure(view);
    view.RebuildView(false);
    for (int step = 0; step < 200; ++step) {
        const int row = int(random.bounded(tasks.rowCount()));
        bool moveToTop = false;
        switch (random.bounded(7)) {
        case 0: // checked or unchecked in place
            applyCheck(tasks, row,
                       checkStepFor(tasks, row) == CheckStep::Uncheck ? CheckStep::Uncheck : CheckStep::Complete);
            break;
        case 1: { // edited: stored at the top, a key cell changed now and then
            TaskEditValues values = taskValuesFromRow(tasks, row, QDate(2026, 12, 6));
            values.name += u'*';
            if (random.bounded(2) == 0)
                values.project = projects[random.bounded(projects.size())];
            storeTask(tasks, values, row);
            moveToTop = random.bounded(2) == 0;
            break;
        }
        case 4: { // notes typed in the preview go into the shown row and its task
            const int shown = int(random.bounded(view.MirrorGrid.rowCount()));
            const int task = int(tasks.rows().indexOf(view.MirrorGrid.rowText(shown)));
            if (task >= 0) {
                view.MirrorGrid.setCell(shown, colNotes, u"typed %1"_s.arg(step));
                tasks.setCell(task, colNotes, u"typed %1"_s.arg(step));
            }
            break;
        }
        case 2:
            tasks.DeleteRow(row);
            break;
        case 3:
            tasks.InsertRow(0);
            tasks.setRow(0, randomRow(1000 + step));
            break;
        case 5: // a key changed in place and shown sorted the other way, then back
            tasks.setCell(row, colProject, projects[random.bounded(projects.size())]);
            view.AdvancedSort = !advanced;
            view.RebuildView(false);
            view.AdvancedSort = advanced;
            break;
        default: // a cell the sort does not read
            tasks.setCell(row, colNotes, u"note %1"_s.arg(step));
            break;
        }
        QStringList before = view.MirrorGrid.rows();
        const RebuildResult result = view.RebuildView(moveToTop);
        TSortGrid copy = tasks;
        TaskView fresh(copy);
        configure(fresh);
        fresh.RebuildView(moveToTop);
        QCOMPARE(view.MirrorGrid.rows(), fresh.MirrorGrid.rows());
        QCOMPARE(view.DueDateWidth, fresh.DueDateWidth);
        QCOMPARE(view.DueTimeWidth, fresh.DueTimeWidth);
        if (result.rowDiffKnown) {
            // What the result says came and went turns the last rows into the new ones.
            for (const QString& gone : result.removedRows)
                QVERIFY(before.removeOne(gone));
            before.append(result.addedRows);
            QStringList now = view.MirrorGrid.rows();
            before.sort();
            now.sort();
            QCOMPARE(before, now);
        }
    }
}

QTEST_GUILESS_MAIN(TestTaskView)
#include "tst_taskview.moc"
