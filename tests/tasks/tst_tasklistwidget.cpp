#include "core/applanguage.h"
#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "support/widgets.h"
#include "tasks/columnlayout.h"
#include "tasks/taskview.h"
#include "tasks/ui/sortdialog.h"
#include "tasks/ui/taskheader.h"
#include "tasks/ui/taskitemdelegate.h"
#include "tasks/ui/tasklistmodel.h"
#include "tasks/ui/tasklistwidget.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestTaskListWidget final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        Ask::setUnattended(true);
    }
    void cleanup() { verifyPromptsAnswered(); }
    void model_passesModelTester();
    void headerClick_sortsTogglesAndEndsAdvancedSort();
    void sortDialog_refusesRepeatedKeys_data();
    void sortDialog_refusesRepeatedKeys();
    void sortDialog_noneCascade();
    void sortDialog_placementRowsAndHelp();
    void delegate_completedRowHasRedCheck_columnsAlign();
    void delegate_textAndCheckFitTheRow_data();
    void delegate_textAndCheckFitTheRow();
    void hugeName_shownCappedButStoredWhole();
    void autosize_afterOneTaskChanges_matchesAFreshList();

private:
    QTemporaryDir m_dir;
};

namespace {
TSortGrid sampleTable()
{
    TSortGrid grid(TaskColumnCount, 3);
    grid.setRow(0, {u"100"_s, u"Bravo"_s, u"100000"_s, u"Home"_s, u"1 - High"_s});
    grid.setRow(1, {u"40"_s, u"Alpha"_s, u"46000.5"_s, QString(), u"2 - Medium"_s});
    grid.setRow(2, {u"0"_s, u"Charlie"_s, u"100000"_s, u"Work"_s, QString(), {}, {}, u"Charlie"_s});
    return grid;
}
} // namespace

void TestTaskListWidget::model_passesModelTester()
{
    TSortGrid table = sampleTable();
    TaskView view(table);
    SettingsStore settings(m_dir.filePath(u"a.ini"_s));
    TaskListWidget list(view, settings);
    QAbstractItemModelTester tester(list.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    list.rebuildView(false);
    QCOMPARE(list.model()->rowCount(), 3);
    // No task passes: the list shows no row, while MirrorGrid keeps its one empty row.
    view.ProjectFilter = {u"Nothing"_s};
    list.rebuildView(false);
    QCOMPARE(list.model()->rowCount(), 0);
    QCOMPARE(view.MirrorGrid.rowCount(), 1);
    view.ShowAllTasks();
    view.AdvancedSort = false;
    list.rebuildView(false);
    QCOMPARE(list.model()->data(list.model()->index(0, 0)).toString(), u"40%"_s);
}

void TestTaskListWidget::headerClick_sortsTogglesAndEndsAdvancedSort()
{
    TSortGrid table = sampleTable();
    TaskView view(table);
    SettingsStore settings(m_dir.filePath(u"b.ini"_s));
    TaskListWidget list(view, settings);
    list.resize(600, 300);
    list.show();
    list.rebuildView(false);
    QVERIFY(view.AdvancedSort);
    QSignalSpy rebuilt(&list, &TaskListWidget::viewRebuilt);
    TaskHeader* header = list.header();
    const auto clickHeader = [header](int section) {
        const QPoint pos(header->sectionViewportPosition(section) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, pos);
    };
    clickHeader(1); // task name is the stored column: the first click sorts descending
    QCOMPARE(rebuilt.count(), 1);
    QVERIFY(!view.AdvancedSort);
    QVERIFY(!view.SortAscending);
    QCOMPARE(view.MirrorGrid.cellText(0, colTaskName), u"Charlie"_s);
    clickHeader(1);
    QVERIFY(view.SortAscending);
    QCOMPARE(view.MirrorGrid.cellText(0, colTaskName), u"Alpha"_s);
    clickHeader(3);
    QCOMPARE(view.SortColumn, 3);
    QVERIFY(view.SortAscending);
    QCOMPARE(view.MirrorGrid.cellText(0, colProject), u"Home"_s);
    QCOMPARE(list.viewGrid()->currentIndex().row(), 0);
}

void TestTaskListWidget::sortDialog_refusesRepeatedKeys_data()
{
    QTest::addColumn<int>("prim");
    QTest::addColumn<int>("sec");
    QTest::addColumn<int>("ter");
    QTest::addColumn<bool>("refused");
    QTest::newRow("distinct") << 4 << 5 << 3 << false;
    QTest::newRow("primary twice") << 4 << 4 << 0 << true;
    QTest::newRow("primary as tertiary") << 2 << 3 << 2 << true;
    QTest::newRow("secondary as tertiary") << 1 << 6 << 6 << true;
    QTest::newRow("only none repeated") << 4 << 0 << 0 << false;
}

void TestTaskListWidget::sortDialog_refusesRepeatedKeys()
{
    QFETCH(int, prim);
    QFETCH(int, sec);
    QFETCH(int, ter);
    QFETCH(bool, refused);
    SettingsStore settings(m_dir.filePath(u"sort.ini"_s));
    TfmSort dialog(settings, TfmSort::Keys{3, 4, 2, true, true, true});
    dialog.show();
    childNamed<QComboBox>(&dialog, "cbPrimKey")->setCurrentIndex(prim);
    childNamed<QComboBox>(&dialog, "cbSecKey")->setCurrentIndex(sec);
    childNamed<QComboBox>(&dialog, "cbTerKey")->setCurrentIndex(ter);
    const QStringList warnings =
        promptsAnswered(refused ? QList{QMessageBox::Ok} : QList<QMessageBox::StandardButton>{},
                        [&] { childNamed<QPushButton>(&dialog, "btnSort")->click(); });
    QCOMPARE(warnings, refused ? QStringList{LanguageString(715)} : QStringList());
    QCOMPARE(dialog.isVisible(), refused);
    QCOMPARE(dialog.result() == QDialog::Accepted, !refused);
    if (!refused)
        QCOMPARE(dialog.keys().prim, prim - 1);
}

void TestTaskListWidget::sortDialog_noneCascade()
{
    SettingsStore settings(m_dir.filePath(u"sort.ini"_s));
    TfmSort dialog(settings, TfmSort::Keys{3, 4, 2, true, false, true});
    childNamed<QComboBox>(&dialog, "cbSecKey")->setCurrentIndex(0);
    QCOMPARE(childNamed<QComboBox>(&dialog, "cbTerKey")->currentIndex(), 0);
    childNamed<QComboBox>(&dialog, "cbPrimKey")->setCurrentIndex(0);
    dialog.accept();
    const TfmSort::Keys keys = dialog.keys();
    QCOMPARE(keys.prim, -1);
    QCOMPARE(keys.sec, -1);
    QCOMPARE(keys.ter, -1);
    QVERIFY(!keys.secAsc);
}

void TestTaskListWidget::sortDialog_placementRowsAndHelp()
{
    SettingsStore settings(m_dir.filePath(u"sortform.ini"_s));
    const QRect placed(40, 50, 420, 210);
    {
        TfmSort dialog(settings, TfmSort::Keys{});
        dialog.setGeometry(placed);
        dialog.reject();
    }
    TfmSort dialog(settings, TfmSort::Keys{});
    QCOMPARE(dialog.geometry(), placed);
    QVERIFY(childNamed<QPushButton>(&dialog, "btnHelp")->isHidden());

    // Tab goes across a row before going down.
    const QStringList rows{u"cbPrimKey"_s, u"cbPrimDir"_s, u"cbSecKey"_s, u"cbSecDir"_s, u"cbTerKey"_s, u"cbTerDir"_s};
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    childNamed<QComboBox>(&dialog, rows.first())->setFocus();
    for (const QString& name : rows.mid(1)) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
}

void TestTaskListWidget::delegate_completedRowHasRedCheck_columnsAlign()
{
    TSortGrid table = sampleTable();
    TaskView view(table);
    view.AdvancedSort = false; // task name ascending: Alpha, Bravo (completed), Charlie
    FixedClock clock(QDateTime(QDate(2020, 1, 1), QTime(8, 0))); // Alpha's due date still ahead
    Clock::setCurrent(&clock);
    SettingsStore settings(m_dir.filePath(u"c.ini"_s));
    TaskListWidget list(view, settings);
    list.resize(600, 300);
    list.show();
    list.rebuildView(false);
    list.selectRow(2);
    QCOMPARE(view.MirrorGrid.cellText(1, colTaskName), u"Bravo"_s);
    QTableView* grid = list.viewGrid();
    const QImage image = grid->viewport()->grab().toImage();
    const auto redInRect = [&image](const QRect& rect) {
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                    return true;
            }
        return false;
    };
    const QRect completed = grid->visualRect(list.model()->index(1, 0));
    const QRect open = grid->visualRect(list.model()->index(0, 0));
    QVERIFY(redInRect(completed));
    QVERIFY(!redInRect(open));
    Clock::setCurrent(nullptr);

    // The same text is drawn at the same height in every column (the assignee's too).
    const auto inkTop = [&](int column) {
        const QRect cell = grid->visualRect(list.model()->index(2, column));
        const QColor background = image.pixelColor(cell.topLeft());
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x < cell.right(); ++x)
                if (image.pixelColor(x, y) != background)
                    return y;
        return -1;
    };
    QVERIFY(inkTop(1) > 0);
    QCOMPARE(inkTop(5), inkTop(1));
}

void TestTaskListWidget::delegate_textAndCheckFitTheRow_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("lines");
    for (const int points : {8, 14, 24}) {
        QTest::addRow("%d pt, grid lines", points) << points << true;
        QTest::addRow("%d pt, no lines", points) << points << false;
    }
}

void TestTaskListWidget::delegate_textAndCheckFitTheRow()
{
    QFETCH(int, points);
    QFETCH(bool, lines);
    QFont font = QApplication::font();
    font.setPointSize(points);
    const QFontMetrics metrics(font);
    const QRect cell(10, 100, 40, TaskItemDelegate::rowHeight(font, lines));
    const QRect room = cell.adjusted(0, 0, 0, lines ? -1 : 0); // above the grid line
    // A whole line of text, descenders included, and the check mark lie inside the row.
    QVERIFY(room.contains(TaskItemDelegate::textRect(cell, metrics, lines)));
    const QRectF check = TaskItemDelegate::checkGlyph(font, cell, lines).ink;
    QVERIFY2(QRectF(room).contains(check), qPrintable(u"%1 in %2 rows"_s.arg(check.height()).arg(room.height())));
}

void TestTaskListWidget::hugeName_shownCappedButStoredWhole()
{
    const QString huge(5'000'000, u'n');
    TSortGrid table(TaskColumnCount, 1);
    table.setRow(0, {u"0"_s, huge, u"100000"_s, huge});
    TaskView view(table);
    SettingsStore settings(m_dir.filePath(u"e.ini"_s));
    TaskListWidget list(view, settings);
    list.resize(600, 200);
    list.show();
    list.rebuildView(false);
    list.AutosizeColumns();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    for (int column : {1, 3})
        QCOMPARE(list.model()->data(list.model()->index(0, column)).toString().size(), ShownTextLimit);
    QCOMPARE(table.cell(0, colTaskName).size(), huge.size());
    QCOMPARE(view.MirrorGrid.cell(0, colProject).size(), huge.size());
}

// The list measures only the rows that came and went after a change; the widths must stay those a
// freshly built list measures, also when the widest text leaves.
void TestTaskListWidget::autosize_afterOneTaskChanges_matchesAFreshList()
{
    TSortGrid table(TaskColumnCount, 30);
    for (int r = 0; r < table.rowCount(); ++r)
        table.setRow(r, {QString::number(r % 3 * 40), u"Task %1"_s.arg(r), u"100000"_s, r % 2 ? u"Home"_s : u"Work"_s,
                         priorityTexts().value(r % 3), {}, {}, r % 4 ? u"Ann"_s : u"Bob"_s});
    SettingsStore settings(m_dir.filePath(u"autosize.ini"_s));
    TaskView view(table);
    TaskListWidget list(view, settings);
    list.resize(700, 300);
    list.rebuildView(false);
    list.AutosizeColumns();
    const auto widths = [](const TaskListWidget& widget) {
        const auto* grid = widget.findChild<QTableView*>(u"ViewGrid"_s);
        QList<int> result;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            result.append(grid->columnWidth(c));
        return result;
    };
    const QString wide = u"Bartholomew Featherstonehaugh-Wolfeschlegel"_s;
    const QList<std::function<void()>> changes = {
        [&] { table.setCell(5, colAssignee, wide); },          // a wider text comes
        [&] { table.setCell(9, colProject, wide); },           // in another column too
        [&] { table.setCell(5, colAssignee, u"Ann"_s); },      // the widest leaves
        [&] { table.DeleteRow(9); },                           // and the other one with its row
        [&] { table.setCell(3, colComplete, u"50"_s); },       // a percentage appears
        [&] { table.MoveRow(12, 0); },                         // a row moves, as the editor stores it
        [&] { table.InsertRow(0); table.setRow(0, {u"0"_s, u"New"_s, u"100000"_s, wide}); },
    };
    for (qsizetype k = 0; k < changes.size(); ++k) {
        changes[k]();
        list.rebuildView(false);
        list.AutosizeColumns();
        TSortGrid copy = table;
        TaskView freshView(copy);
        TaskListWidget fresh(freshView, settings);
        fresh.resize(700, 300);
        fresh.rebuildView(false);
        fresh.AutosizeColumns();
        QVERIFY2(widths(list) == widths(fresh), qPrintable(u"change %1"_s.arg(k)));
    }
}

QTEST_MAIN(TestTaskListWidget)
#include "tst_tasklistwidget.moc"
