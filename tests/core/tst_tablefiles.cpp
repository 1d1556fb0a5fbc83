#include "core/daynumber.h"
#include "core/sortgrid.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "core/textcodec.h"
#include "support/tables.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestTableFiles : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        return writeTestFile(path, bytes) ? path : QString();
    }

private Q_SLOTS:
    void grid_loadFromText_cutsLinesAndFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<QString>("lastCell");
        QTest::newRow("empty text is one empty row") << u""_s << 1 << 1 << u""_s;
        QTest::newRow("final CR LF adds no line") << u"a\tb\r\n"_s << 1 << 2 << u"b"_s;
        QTest::newRow("no final line end") << u"a\tb"_s << 1 << 2 << u"b"_s;
        QTest::newRow("CR, LF and CR LF all end lines") << u"a\rb\nc\r\nd"_s << 4 << 1 << u"d"_s;
        QTest::newRow("LF CR is two line ends") << u"a\n\rb"_s << 3 << 1 << u"b"_s;
        QTest::newRow("trailing TAB gives empty last field") << u"a\t"_s << 1 << 2 << u""_s;
        QTest::newRow("consecutive TABs, nothing trimmed") << u" a \t\t c "_s << 1 << 3 << u" c "_s;
        QTest::newRow("NUL ends the text") << u"a\tb\r\nc"_s + QChar(0) + u"\t\t\td\r\n"_s << 2 << 2 << u""_s;
        QTest::newRow("longest line sets columns") << u"a\r\nb\tc\td\te"_s << 2 << 4 << u"e"_s;
        QTest::newRow("ends and TABs on either side of every eighth character")
            << u"0123456\r\n01234567\tabcdefg\txyz\r0123456789abcde\t\t\tthe last cell of the text"_s << 3 << 4
            << u"the last cell of the text"_s;
    }
    void grid_loadFromText_cutsLinesAndFields()
    {
        QFETCH(QString, text);
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(QString, lastCell);
        TSortGrid grid(5, 7);
        grid.LoadFromText(text, QLatin1Char('\t'));
        QCOMPARE(grid.rowCount(), rows);
        QCOMPARE(grid.colCount(), cols);
        QCOMPARE(grid.cellText(grid.rowCount() - 1, grid.colCount() - 1), lastCell);
    }

    // The rows read from a text share one block of memory: each must still behave as a string of
    // its own, and the block must go once no row of it is left.
    void grid_rowsRead_liveAndChangeOnTheirOwn()
    {
        TSortGrid::releaseUnusedRows();
        const qsizetype heldBefore = TSortGrid::rowBlockBytes();
        QString held;
        QString changed;
        {
            TSortGrid grid;
            grid.LoadFromText(u"a\tb\r\ncc\td\r\n\u00e9\tfff"_s, QLatin1Char('\t'));
            held = grid.rowText(1);
            changed = grid.rowText(1);
            changed.append(u"x"_s);
            grid.setCell(0, 1, u"changed"_s);
            QCOMPARE(grid.row(0), QStringList({u"a"_s, u"changed"_s}));
            QCOMPARE(grid.row(1), QStringList({u"cc"_s, u"d"_s}));
            QCOMPARE(grid.row(2), QStringList({u"\u00e9"_s, u"fff"_s}));
            QCOMPARE(grid.rowText(2).utf16()[5], 0); // a row's text ends in NUL, as any string's
            QVERIFY(TSortGrid::rowBlockBytes() > heldBefore);
        }
        TSortGrid other;
        other.LoadFromText(u"z"_s, QLatin1Char('\t'));
        QCOMPARE(held, u"cc\nd"_s);
        QCOMPARE(changed, u"cc\ndx"_s);
        QVERIFY(TSortGrid::rowBlockBytes() > heldBefore);
        held.clear();
        other.clear();
        TSortGrid::releaseUnusedRows();
        QCOMPARE(TSortGrid::rowBlockBytes(), heldBefore);
    }

    void grid_rowOperations_keepAtLeastOneRowAndColumn()
    {
        TSortGrid grid(3, 3);
        for (int r = 0; r < 3; ++r)
            grid.setCell(r, 0, QString::number(r));
        grid.InsertRow(1);
        QCOMPARE(grid.rowCount(), 4);
        QVERIFY(grid.cellText(1, 0).isEmpty());
        QCOMPARE(grid.cellText(2, 0), u"1"_s);
        grid.MoveRow(3, 0);
        QCOMPARE(grid.cellText(0, 0), u"2"_s);
        QCOMPARE(grid.cellText(1, 0), u"0"_s);
        grid.DeleteColumn(0);
        QCOMPARE(grid.colCount(), 2);
        QVERIFY(grid.cellText(0, 0).isEmpty());
        while (grid.rowCount() > 1)
            grid.DeleteRow(0);
        grid.setCell(0, 1, u"x"_s);
        grid.DeleteRow(0);
        QCOMPARE(grid.rowCount(), 1);
        QVERIFY(grid.cellText(0, 1).isEmpty());
        grid.DeleteColumn(0);
        grid.DeleteColumn(0);
        QCOMPARE(grid.colCount(), 1);
        grid.setRowCount(0);
        QCOMPARE(grid.rowCount(), 1);
        TSortGrid wide(3, 1);
        wide.setRow(0, {u"a"_s, u"b"_s, u"c"_s});
        wide.DeleteColumn(1);
        QCOMPARE(wide.row(0), QStringList({u"a"_s, u"c"_s}));
        wide.setColCount(4);
        wide.setCell(0, 3, u"line\r\nbreak"_s);
        QCOMPARE(wide.row(0), QStringList({u"a"_s, u"c"_s, QString(), u"line  break"_s}));
        wide.setColCount(1);
        QCOMPARE(wide.row(0), QStringList({u"a"_s}));
        // Reads and writes outside the table never touch memory they do not own.
        grid.setCell(5, 5, u"x"_s);
        QVERIFY(grid.cellText(-1, 9).isEmpty());
    }

    void grid_saveToFile_writesEveryCellWithCrLfAndAnyDelimiter()
    {
        TSortGrid grid(3, 2);
        grid.setCell(0, 0, u"é"_s);
        grid.setCell(1, 2, u"z"_s);
        const QString path = m_dir.filePath(u"grid.txt"_s);
        QVERIFY(grid.SaveToFile(path, QLatin1Char(';')).isEmpty());
        QCOMPARE(testFileContents(path), QByteArray("\xc3\xa9;;\r\n;;z\r\n"));
        TSortGrid back;
        QVERIFY(back.LoadFromFile(path, QLatin1Char(';')).isEmpty());
        QCOMPARE(back.rows(), grid.rows());
    }

    void grid_fileBytes_areTheUtf8OfTheText()
    {
        // Long rows with a character beyond ASCII anywhere, including at the edges of the blocks the
        // writer narrows at once; every fiftieth table spans many of the pieces the writer hands
        // out, one with a row longer than a piece.
        QRandomGenerator random(2612);
        const QString alphabet = u"ab \u00e9\u20ac\U0001F600"_s;
        for (int round = 0; round < 300; ++round) {
            TSortGrid grid(1 + random.bounded(4), round % 50 == 0 ? 2000 : 1 + random.bounded(3));
            for (int r = 0; r < grid.rowCount(); ++r) {
                for (int c = 0; c < grid.colCount(); ++c) {
                    QString cell(random.bounded(40), u'x');
                    if (random.bounded(2) == 1) {
                        const qsizetype at = random.bounded(alphabet.size() - 1);
                        cell.insert(random.bounded(cell.size() + 1),
                                    alphabet.mid(at, alphabet[at].isHighSurrogate() ? 2 : 1));
                    }
                    grid.setCell(r, c, cell);
                }
            }
            if (round == 50)
                grid.setCell(1000, 0, QString(30000, QChar(0x20AC)));
            for (const QChar delimiter : {QChar(u'\t'), QChar(u';'), QChar(u'\u00a7')}) {
                QByteArray bytes;
                grid.appendFileBytes(bytes, delimiter);
                QCOMPARE(bytes, grid.ToText(delimiter).toUtf8());
            }
        }
    }

    void grid_loadFromFile_readsWindows1252WhenNotUtf8()
    {
        const QString path = write(u"legacy.twk"_s, QByteArray("caf\xe9\t\x80\r\n"));
        TSortGrid grid;
        QVERIFY(grid.LoadFromFile(path, QLatin1Char('\t')).isEmpty());
        QCOMPARE(grid.cellText(0, 0), u"café"_s);
        QCOMPARE(grid.cellText(0, 1), QString(QChar(0x20AC)));
    }

    void decodeText_readsEveryLineAndReportsDamage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("damage");
        QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9\r\n") << u"café\r\n"_s << u""_s;
        QTest::newRow("one stray byte changes only its own line")
            << QByteArray("caf\xC3\xA9\r\nna\xEFve\r\n\xC3\xA9t\xC3\xA9") << u"café\r\nnaïve\r\nété"_s << u""_s;
        QTest::newRow("NUL bytes are skipped, the lines after them kept")
            << QByteArray("a\tb\r\nc\0\0\0\t\t\td\r\ne\r\n", 18) << u"a\tb\r\nc\t\t\td\r\ne\r\n"_s << u"3 NUL bytes"_s;
        QTest::newRow("UTF-16 with byte-order mark") << QByteArray("\xFF\xFE" "a\0\t\0\xE9\0\r\0\n\0", 12)
                                                     << u"a\té\r\n"_s << u"UTF-16"_s;
        QTest::newRow("UTF-16 big-endian without mark") << QByteArray("\0" "3\0" "0\0" "0\0\r\0\n\0x\0\t", 14)
                                                        << u"300\r\nx\t"_s << u"UTF-16"_s;
        // No UTF-8 can hold a lone surrogate: it would come back from a save as another character.
        // A pair split by a NUL byte is whole once the NUL is gone.
        QTest::newRow("UTF-16 lone surrogates") << QByteArray("\xFE\xFF\0a\xD8\x00\0b\xDC\x00\xD8\x3D\0\0\xDE\x00", 16)
                                                << u"a\uFFFDb\uFFFD\U0001F600"_s << u"UTF-16"_s;
    }
    void decodeText_readsEveryLineAndReportsDamage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, damage);
        QString found;
        QCOMPARE(decodeTableText(bytes, &found), text);
        QVERIFY2(damage.isEmpty() ? found.isEmpty() : found.contains(damage), qPrintable(found));
    }

    void markers_unreadable_damagedAndReadAsCurrentFormat_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("firstEntry");
        const QStringList task{u"40"_s, u"Report"_s, u"45350.5"_s, u"Work"_s, u"1 - High"_s, u"n\x1b"_s,
                               u"a.txt"_s, u"Ann"_s, u"  5=1"_s, u"2"_s, QString()};
        QTest::newRow("tasks, marker 3O0") << TableFile::Tasks
                                           << QByteArray("3O0\t\t\t\t\t\t\t\t\t\t\r\n40\tReport\t45350.5\tWork\t1 - High"
                                                         "\tn\x1b\ta.txt\tAnn\t  5=1\t2\t\r\n")
                                           << task;
        QTest::newRow("tasks, marker line lost") << TableFile::Tasks
                                                 << QByteArray("40\tReport\t45350.5\tWork\t1 - High\tn\x1b\ta.txt"
                                                               "\tAnn\t  5=1\t2\t\r\n0\tNext\t45351\r\n")
                                                 << task;
        QTest::newRow("tasks, integer due and no project") << TableFile::Tasks
                                                           << QByteArray("x\r\n0\tCall\t45351\t\t\r\n")
                                                           << QStringList{u"0"_s, u"Call"_s, u"45351"_s, {}, {}, {},
                                                                          {},    {},        {},          {}, {}};
        QTest::newRow("log, marker 2S0") << TableFile::TaskLog
                                         << QByteArray("2S0\t\t\t\t\t\t\t\r\n\t\t\t\t\t\t\t\r\nGone\t45000\tHome"
                                                       "\t\t45001\tn\x1b\tf\tAnn\r\n")
                                         << QStringList{u"Gone"_s, u"45000"_s, u"Home"_s, {},
                                                        u"45001"_s, u"n\x1b"_s, u"f"_s,  u"Ann"_s};
    }
    void markers_unreadable_damagedAndReadAsCurrentFormat()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, firstEntry);
        const QString path = write(file, bytes);
        TSortGrid grid;
        const bool tasks = file == TableFile::Tasks;
        const TableLoadResult result = tasks ? loadTaskTable(grid, path) : loadTaskLogTable(grid, path);
        QVERIFY(result.ok());
        QVERIFY(!result.upgraded);
        QVERIFY(result.messages.isEmpty());
        QVERIFY2(result.damage.contains(u"format marker"_s), qPrintable(result.damage));
        int row = 0;
        while (row < grid.rowCount() && (tasks ? isBlankTaskRow(grid.rowText(row)) : isEmptyLogRow(grid.rowText(row))))
            ++row;
        QCOMPARE(grid.row(row), firstEntry);
    }

    void createMissing_writesFirstContents_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("tasks") << TableFile::Tasks << QByteArray("300\r\n\t\t\t\t\t\t\t\t\r\n");
        QTest::newRow("log") << TableFile::TaskLog << QByteArray("250\r\n");
        QTest::newRow("diary") << TableFile::Diary << QByteArray("1\t1\t1\t\r\n");
        QTest::newRow("special") << TableFile::Special << QByteArray();
        QTest::newRow("projects") << TableFile::Projects << QByteArray();
        QTest::newRow("assignees") << TableFile::Assignees << QByteArray();
    }
    void createMissing_writesFirstContents()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QTemporaryDir folder;
        QVERIFY(createMissingTableFile(folder.path(), file).isEmpty());
        QCOMPARE(testFileContents(dataFilePath(folder.path(), file)), content);
        // An existing file is left alone.
        QVERIFY(writeTestFile(dataFilePath(folder.path(), file), "kept"));
        QVERIFY(createMissingTableFile(folder.path(), file).isEmpty());
        QCOMPARE(testFileContents(dataFilePath(folder.path(), file)), QByteArray("kept"));
    }

    void tasks_newFile_loadsAsOneBlankRowAndSavesMarkerPlusBlankRow()
    {
        QTemporaryDir folder;
        QVERIFY(createMissingTableFile(folder.path(), TableFile::Tasks).isEmpty());
        const QString path = dataFilePath(folder.path(), TableFile::Tasks);
        TSortGrid tasks;
        const TableLoadResult result = loadTaskTable(tasks, path);
        QVERIFY(result.ok());
        QCOMPARE(result.marker, 300);
        QVERIFY(!result.upgraded);
        QCOMPARE(tasks.rowCount(), 1);
        QCOMPARE(tasks.colCount(), TaskColumnCount);
        QVERIFY(isBlankTaskRow(tasks.rowText(0)));
        QVERIFY(saveTaskTable(tasks, path).isEmpty());
        QCOMPARE(testFileContents(path), QByteArray("300\t\t\t\t\t\t\t\t\t\t\r\n\t\t\t\t\t\t\t\t\t\t\r\n"));
    }

    void tasks_roundTrip_keepsEveryCellAndOrder()
    {
        TSortGrid tasks(TaskColumnCount, 2);
        const QStringList first = {
            u"40"_s,         u"Call Ann"_s, u"45000.5"_s,        u"Home"_s, u"1 - High"_s, EncodeNotes({u"a"_s}),
            u"/tmp/x.pdf"_s, u"Bob"_s,      alarmCellText(5, 1), u"3"_s,    u"spare"_s};
        tasks.setRow(0, first);
        tasks.setCell(1, colTaskName, u"Übung"_s);
        const QString path = m_dir.filePath(u"rt.twk"_s);
        QVERIFY(saveTaskTable(tasks, path).isEmpty());
        TSortGrid back;
        QVERIFY(loadTaskTable(back, path).ok());
        QCOMPARE(back.rows(), tasks.rows());
    }

    void tasks_marker250_convertsCompletedFlag()
    {
        const QString path = write(u"t250.twk"_s, "250\r\nY\tDone\r\n40\tHalf\r\nN\tOpen\t100000\r\n");
        TSortGrid tasks;
        const TableLoadResult result = loadTaskTable(tasks, path);
        QVERIFY(result.ok());
        QVERIFY(result.upgraded);
        QVERIFY(result.messages.isEmpty());
        QCOMPARE(tasks.rowCount(), 3);
        QCOMPARE(tasks.cellText(0, colComplete), u"100"_s);
        QCOMPARE(tasks.cellText(1, colComplete), u"0"_s);
        QCOMPARE(tasks.cellText(2, colComplete), u"0"_s);
        QCOMPARE(tasks.cellText(2, colDue), u"100000"_s);
        QCOMPARE(tasks.colCount(), TaskColumnCount);
    }

    void tasks_withoutMarker_warnsAndConvertsDates()
    {
        // complete, name, year, month, day, project, priority, notes, attachment, assignee, alarm, recurrence
        const QString path = write(u"old.twk"_s, "Y\tFirst\t2024\t2\t29\tHome\t1 - High\tn\x1b\ta\tAnn\t  5=1\t2\r\n"
                                                 "N\tNo date\t2100\t1\t1\tWork\r\n"
                                                 "N\tBad date\t2023\t2\t30\r\n"
                                                 "N\tJunk\tabc\t1\t1\r\n");
        TSortGrid tasks;
        const TableLoadResult result = loadTaskTable(tasks, path);
        QVERIFY(result.ok());
        QCOMPARE(result.marker, 0);
        QVERIFY(result.upgraded);
        QCOMPARE(result.messages.size(), 1);
        QCOMPARE(result.messages[0].kind, TableMessage::Warning);
        QCOMPARE(result.messages[0].strings, QList<int>({206, 207}));
        QCOMPARE(tasks.rowCount(), 4);
        QCOMPARE(tasks.row(0), QStringList({u"100"_s, u"First"_s, dueCell(QDate(2024, 2, 29)), u"Home"_s, u"1 - High"_s,
                                            u"n\x1b"_s, u"a"_s, u"Ann"_s, u"  5=1"_s, u"2"_s, QString()}));
        QCOMPARE(tasks.cellText(1, colDue), u"100000"_s);
        QCOMPARE(tasks.cellText(1, colProject), u"Work"_s);
        QCOMPARE(tasks.cellText(2, colDue), u"100000"_s);
        QCOMPARE(tasks.cellText(3, colDue), u"100000"_s);
        QCOMPARE(tasks.cellText(3, colComplete), u"0"_s);
    }

    void tasks_surplusFieldsDroppedAndShortLinesPadded()
    {
        const QString path =
            write(u"wide.twk"_s, "300\r\n1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13\t14\r\n0\tShort\r\n");
        TSortGrid tasks;
        QVERIFY(loadTaskTable(tasks, path).ok());
        QCOMPARE(tasks.colCount(), TaskColumnCount);
        QCOMPARE(tasks.cellText(0, colSpare), u"11"_s);
        QCOMPARE(tasks.row(1).size(), TaskColumnCount);
        QVERIFY(tasks.cellText(1, colSpare).isEmpty());
    }

    void taskLog_loadPutsHeaderRowFirstAndSaveWritesMarker()
    {
        QTemporaryDir folder;
        QVERIFY(createMissingTableFile(folder.path(), TableFile::TaskLog).isEmpty());
        const QString path = dataFilePath(folder.path(), TableFile::TaskLog);
        TSortGrid log;
        QVERIFY(loadTaskLogTable(log, path).ok());
        QCOMPARE(log.colCount(), TaskLogColumnCount);
        QCOMPARE(log.rowCount(), 2);
        log.InsertRow(log.rowCount());
        log.setCell(log.rowCount() - 1, logTaskName, u"Entry"_s);
        QVERIFY(saveTaskLogTable(log, path).isEmpty());
        QVERIFY(testFileContents(path).startsWith("250\t\t\t\t\t\t\t\r\n\t\t\t\t\t\t\t\r\n"));
        TSortGrid back;
        const TableLoadResult result = loadTaskLogTable(back, path);
        QCOMPARE(result.marker, 250);
        QCOMPARE(back.cellText(back.rowCount() - 1, logTaskName), u"Entry"_s);
        QVERIFY(back.cellText(0, logTaskName).isEmpty());
    }

    void taskLog_withoutMarker_warnsAndConvertsBothDates()
    {
        // name, due y/m/d, project, priority, logged y/m/d, notes, attachment, assignee
        const QString path =
            write(u"oldlog.twk"_s, "Done\t2020\t1\t15\tHome\t2 - Medium\t2020\t1\t20\tnote\x1b\tfile\tAnn\r\n");
        TSortGrid log;
        const TableLoadResult result = loadTaskLogTable(log, path);
        QVERIFY(result.upgraded);
        QCOMPARE(result.messages[0].strings, QList<int>({203, 204}));
        QCOMPARE(log.rowCount(), 2);
        QCOMPARE(log.row(1), QStringList({u"Done"_s, dueCell(QDate(2020, 1, 15)), u"Home"_s, u"2 - Medium"_s,
                                          dueCell(QDate(2020, 1, 20)), u"note\x1b"_s, u"file"_s, u"Ann"_s}));
    }

    void diary_loadFillsDummyDate_tidyKeepsOneRow()
    {
        const QString path = write(u"diary.twk"_s, "\t\t\t\r\n2024\t3\t1\tb\x1b\r\n2024\t1\t10\ta\x1b\r\n"
                                                   "2023\t12\t31\t\r\n2024\t3\t1\tsecond\x1b\r\n");
        TSortGrid diary;
        QVERIFY(loadDiaryTable(diary, path).ok());
        QCOMPARE(diary.colCount(), DiaryColumnCount);
        QCOMPARE(diary.row(0), QStringList({u"1"_s, u"1"_s, u"1"_s, QString()}));
        // Sorting and dropping duplicates is checked with the diary memo; an all-empty table keeps one row.
        TSortGrid empty(DiaryColumnCount, 2);
        tidyDiaryTable(empty);
        QCOMPARE(empty.rowCount(), 1);
    }

    void special_loadSetsSixColumns()
    {
        const QString path = write(u"special.twk"_s, "Mother's day\tW\t5\t\t2\t1\textra\r\n");
        TSortGrid special;
        QVERIFY(loadSpecialTable(special, path).ok());
        QCOMPARE(special.colCount(), SpecialColumnCount);
        QCOMPARE(special.cellText(0, specWeekday), u"1"_s);
    }

    void nameList_sortedWithoutCaseAndRepeatsIgnored()
    {
        const QString path = write(u"projects.twk"_s, "work\r\nHome\n\r\nWork\rapple\r\n\r\nhome\r\n");
        NameList list;
        list.add(u"stale"_s);
        QVERIFY(loadNameList(list, path).ok());
        QCOMPARE(list.names(), QStringList({u"apple"_s, u"Home"_s, u"work"_s}));
        QVERIFY(!list.add(u"APPLE"_s));
        QVERIFY(list.add(u"Garden"_s));
        QCOMPARE(list.indexOf(u"garden"_s), 1);
        QVERIFY(saveNameList(list, path).isEmpty());
        QCOMPARE(testFileContents(path), QByteArray("apple\r\nGarden\r\nHome\r\nwork\r\n"));
    }

    void save_failure_leavesPreviousFileAndNamesIt()
    {
        QTemporaryDir folder;
        const QString path = dataFilePath(folder.path(), TableFile::Tasks);
        TSortGrid tasks(TaskColumnCount, 1);
        tasks.setCell(0, colTaskName, u"Keep me"_s);
        QVERIFY(saveTaskTable(tasks, path).isEmpty());
        const QByteArray before = testFileContents(path);
        // A folder where the temporary file would go makes the write fail even for root.
        const QString blocked = dataFilePath(folder.path(), u"missing/tasks.twk"_s);
        const QString error = saveTaskTable(tasks, blocked);
        QVERIFY(!error.isEmpty());
        QVERIFY(error.contains(u"tasks.twk"_s));
        QCOMPARE(testFileContents(path), before);
        // Nothing but the table is left in the folder after a good save.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList({TableFile::Tasks}));
    }

    void dataFilePath_cutsDriveRoot()
    {
        QCOMPARE(dataFilePath(u"C:\\"_s, TableFile::Tasks), u"C:/tasks.twk"_s);
        QCOMPARE(dataFilePath(u"/data/set/"_s, TableFile::Tasks), u"/data/set/tasks.twk"_s);
        QCOMPARE(dataFilePath(u"/"_s, TableFile::Tasks), u"/tasks.twk"_s);
    }
};

QTEST_GUILESS_MAIN(TestTableFiles)
#include "tst_tablefiles.moc"
