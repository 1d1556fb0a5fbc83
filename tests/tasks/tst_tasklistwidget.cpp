#include "core/clock.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "support/widgets.h"
#include "tasks/taskview.h"
#include "tasks/ui/sortdialog.h"
#include "tasks/ui/taskheader.h"
#include "tasks/ui/tasklistmodel.h"
#include "tasks/ui/tasklistwidget.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QImage>
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
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void model_passesModelTester();
    void headerClick_sortsTogglesAndEndsAdvancedSort();
    void sortDialog_refusesRepeatedKeys_data();
    void sortDialog_refusesRepeatedKeys();
    void sortDialog_noneCascade();
    void delegate_completedRowHasRedCheck();

private:
    QTemporaryDir m_dir;
};

namespace {
TSortGrid sampleTable()
{
    TSortGrid grid(TaskColumnCount, 3);
    grid.setRow(0, {u"100"_s, u"Bravo"_s, u"100000"_s, u"Home"_s, u"1 - High"_s});
    grid.setRow(1, {u"40"_s, u"Alpha"_s, u"46000.5"_s, QString(), u"2 - Medium"_s});
    grid.setRow(2, {u"0"_s, u"Charlie"_s, u"100000"_s, u"Work"_s, QString()});
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
    view.ProjectFilter = {u"Nothing"_s};
    list.rebuildView(false);
    QCOMPARE(list.model()->rowCount(), 1);
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
    TfmSort dialog(TfmSort::Keys{3, 4, 2, true, true, true});
    dialog.show();
    childNamed<QComboBox>(&dialog, "cbPrimKey")->setCurrentIndex(prim);
    childNamed<QComboBox>(&dialog, "cbSecKey")->setCurrentIndex(sec);
    childNamed<QComboBox>(&dialog, "cbTerKey")->setCurrentIndex(ter);
    const QStringList warnings = answerModals({}, [&] { childNamed<QPushButton>(&dialog, "btnSort")->click(); });
    QCOMPARE(!warnings.isEmpty(), refused);
    QCOMPARE(dialog.isVisible(), refused);
    QCOMPARE(dialog.result() == QDialog::Accepted, !refused);
    if (!refused)
        QCOMPARE(dialog.keys().prim, prim - 1);
}

void TestTaskListWidget::sortDialog_noneCascade()
{
    TfmSort dialog(TfmSort::Keys{3, 4, 2, true, false, true});
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

void TestTaskListWidget::delegate_completedRowHasRedCheck()
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
}

QTEST_MAIN(TestTaskListWidget)
#include "tst_tasklistwidget.moc"
