#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/sortgrid.h"
#include "core/tasktable.h"
#include "tasks/columnlayout.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

using Map = std::array<int, MaxViewColumns>;
Q_DECLARE_METATYPE(Map)

class TestColumnLayout final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void loadColumnLayout_fromSettings_data();
    void loadColumnLayout_fromSettings();
    void loadColumnWidths_defaultsAndMinimums();
    void autosize_nameTakesTheRest();
    void displayCellText_clampsCompletionAndCapsText_data();
    void displayCellText_clampsCompletionAndCapsText();
    void measuredColumnWidth_measuresTheTextDrawn();
    void textWidthCache_measuresEachDistinctTextOnce();
};

void TestColumnLayout::loadColumnLayout_fromSettings_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<int>("count");
    QTest::addColumn<Map>("map");
    QTest::newRow("nothing stored: natural order") << QString() << 7 << Map{0, 1, 2, 3, 4, 5, 6};
    QTest::newRow("stored order") << u"[ColumnsOrder]\n2=6\n3=2\n4=3\n5=4\n6=5\n"_s << 7 << Map{0, 1, 6, 2, 3, 4, 5};
    QTest::newRow("hidden positions move the rest up")
        << u"[VisibleColumns]\n2=0\n4=0\n[ColumnsOrder]\n3=5\n5=3\n6=7\n"_s << 5 << Map{0, 1, 5, 3, 7, -1, -1};
    QTest::newRow("all optional hidden") << u"[VisibleColumns]\n2=0\n3=0\n4=0\n5=0\n6=0\n"_s << 2
                                         << Map{0, 1, -1, -1, -1, -1, -1};
    QTest::newRow("missing order after stored ones restarts natural")
        << u"[ColumnsOrder]\n2=4\n"_s << 7 << Map{0, 1, 2, 3, 4, 5, 6};
}

void TestColumnLayout::loadColumnLayout_fromSettings()
{
    QFETCH(QString, ini);
    QFETCH(int, count);
    QFETCH(Map, map);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.ini"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ini.toUtf8());
    file.close();
    const SettingsStore settings(path);
    const ColumnLayout layout = LoadColumnLayout(settings);
    QCOMPARE(layout.count, count);
    QCOMPARE(layout.ColumnMap, map);
}

void TestColumnLayout::loadColumnWidths_defaultsAndMinimums()
{
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(u"t.ini"_s));
    settings.writeInteger(Settings::Columns, u"1"_s, 300);
    settings.writeInteger(Settings::Columns, u"2"_s, -40);
    const ColumnLayout layout;
    const QList<int> widths = LoadColumnWidths(settings, layout);
    QCOMPARE(widths, (QList<int>{CompletionViewWidth, 300, 15, 15, 15, 15, 15}));
    QCOMPARE(constrainedColumnWidth(3, 4), 15);
    QCOMPARE(constrainedColumnWidth(0, 4), 25);
    QCOMPARE(constrainedColumnWidth(3, 80), 80);
    SaveColumnWidths(settings, {22, 120, 60});
    QCOMPARE(settings.readInteger(Settings::Columns, u"2"_s, 0), 60);
    QVERIFY(!settings.valueExists(Settings::Columns, u"0"_s));
}

void TestColumnLayout::autosize_nameTakesTheRest()
{
    ColumnLayout layout;
    layout.ColumnMap = {0, 1, 2, 5, 6, -1, -1};
    layout.count = 5;
    AutosizeInput input;
    input.tableColumnWidths = {10, 500, 999, 0, 0, 0, 0, 40, 0, 0, 0}; // the due column's own text is not used
    input.dueDateWidth = 70;
    input.dueTimeWidth = 5;
    input.viewWidth = 400;
    input.frameWidth = 2;
    input.verticalLines = true;
    // completion 25 (minimum), date 70, assignee 40, time 15 (minimum): 150; name 400 - (2 + 150 + 3 + 1).
    QCOMPARE(autosizeColumnWidths(layout, input), (QList<int>{25, 244, 70, 40, 15}));
    input.scrollBarWidth = 16;
    input.verticalLines = false;
    QCOMPARE(autosizeColumnWidths(layout, input)[1], 229);
    input.viewWidth = 100;
    QCOMPARE(autosizeColumnWidths(layout, input)[1], 15);
    // A caption wider than its column's contents keeps the column wide enough to read it.
    input.captionWidths = {0, 90, 50, 60, 48};
    QCOMPARE(autosizeColumnWidths(layout, input).mid(2), (QList<int>{70, 60, 48}));
}

void TestColumnLayout::displayCellText_clampsCompletionAndCapsText_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("shown");
    QTest::newRow("partial") << 0 << u"40"_s << u"40%"_s;
    QTest::newRow("completed: the check mark only") << 0 << u"100"_s << QString();
    QTest::newRow("zero") << 0 << u"0"_s << QString();
    QTest::newRow("negative") << 0 << u"-5"_s << QString();
    QTest::newRow("above 100") << 0 << u"150"_s << u"100%"_s;
    QTest::newRow("inf") << 0 << u"inf"_s << QString();
    QTest::newRow("nan") << 0 << u"nan"_s << QString();
    QTest::newRow("first line only") << 1 << u"first\rsecond"_s << u"first"_s;
    QTest::newRow("capped") << 3 << QString(3 * ShownTextLimit, u'x') << QString(ShownTextLimit, u'x');
}

void TestColumnLayout::displayCellText_clampsCompletionAndCapsText()
{
    QFETCH(int, column);
    QFETCH(QString, cell);
    QFETCH(QString, shown);
    QStringList cells(TaskColumnCount);
    cells[column] = cell;
    QCOMPARE(displayCellText(cells.join(TSortGrid::CellSeparator), column), shown);
}

void TestColumnLayout::measuredColumnWidth_measuresTheTextDrawn()
{
    TSortGrid grid(TaskColumnCount, 3);
    grid.setRow(0, {u"40"_s, u"A"_s});
    grid.setRow(1, {u"100"_s, u"B"_s});
    grid.setRow(2, {u"7"_s, u"C"_s, {}, {}, {}, {}, {}, u"Annabel"_s});
    const auto tenPerCharacter = [](const QString& text) { return int(text.size()) * 10; };
    // The indent before the text, "40%" with its percent sign, one pixel after it.
    QCOMPARE(measuredColumnWidth(grid, 0, tenPerCharacter), CellTextIndent + 30 + 1);
    QCOMPARE(measuredColumnWidth(grid, 5, tenPerCharacter), CellTextIndent + 70 + 1);
    QCOMPARE(measuredColumnWidth(grid, 4, tenPerCharacter), 1);
}

void TestColumnLayout::textWidthCache_measuresEachDistinctTextOnce()
{
    // A table with repeated values, measured plainly and through the cache.
    TSortGrid grid(TaskColumnCount, 3000);
    const QStringList projects{u"Home"_s, u"Work"_s, u"Garden"_s, QString(), u"Tax return"_s};
    for (int r = 0; r < grid.rowCount(); ++r)
        grid.setRow(r, {QString::number((r * 37) % 101), u"Task"_s, {}, projects[r % projects.size()]});
    int calls = 0;
    const auto measure = [&calls](const QString& text) {
        ++calls;
        return int(text.size()) * 7 + int(text.count(u'%')) * 3;
    };
    TextWidthCache cache;
    const auto cached = [&](const QString& text) { return cache.width(text, measure); };
    for (const int column : {0, 3}) {
        const int plain = measuredColumnWidth(grid, column, measure);
        calls = 0;
        QCOMPARE(measuredColumnWidth(grid, column, cached), plain);
        QVERIFY2(calls <= 101, qPrintable(QString::number(calls))); // one call per distinct text at most
        calls = 0;
        QCOMPARE(measuredColumnWidth(grid, column, cached), plain);
        QCOMPARE(calls, 0);
    }
}

QTEST_GUILESS_MAIN(TestColumnLayout)
#include "tst_columnlayout.moc"
