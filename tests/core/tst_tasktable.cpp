#include "core/daynumber.h"
#include "core/tasktable.h"
#include "support/tables.h"

#include <QTest>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

class TestTaskTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dayNumberText_isShortestWithoutExponentOrLocale_data()
    {
        QTest::addColumn<double>("day");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole day") << 45000.0 << u"45000"_s;
        QTest::newRow("noon") << 45000.5 << u"45000.5"_s;
        QTest::newRow("no due date") << NoDueDate << u"100000"_s;
        QTest::newRow("a third, 15 digits") << 45000.0 + 1.0 / 3.0 << u"45000.3333333333"_s;
        QTest::newRow("one second, no exponent") << 1.0 / 86400.0 << u"0.0000115740740740741"_s;
        QTest::newRow("zero") << 0.0 << u"0"_s;
        QTest::newRow("negative zero") << -0.0 << u"0"_s;
        QTest::newRow("before the epoch") << -1.25 << u"-1.25"_s;
    }
    void dayNumberText_isShortestWithoutExponentOrLocale()
    {
        QFETCH(double, day);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(dayNumberText(day), text);
        double back = 0;
        QVERIFY(parseDayNumber(dayNumberText(day), &back));
        QVERIFY(qAbs(back - day) < 1e-9);
        QLocale::setDefault(QLocale::c());
    }

    void wholeDayOf_givesTheFlooredDayOrRefuses()
    {
        // Texts the quick reading takes: the floored value is the day found, or with a long
        // fraction possibly the next one.
        for (const QString& text : {u"46023"_s, u"46023.5"_s, u"46023."_s, u"46023.9999999999"_s,
                                    u"46023.99999999999999999"_s, u"0.25"_s, u"100000"_s}) {
            qint64 day = -1;
            bool exact = false;
            QVERIFY2(wholeDayOf(text, &day, &exact), qPrintable(text));
            const double floored = std::floor(dueDayNumber(text));
            QVERIFY2(floored == double(day) || (!exact && floored == double(day + 1)), qPrintable(text));
            QCOMPARE(exact, text.size() <= 16);
        }
        // Anything else goes the long way.
        for (const QString& text : {u""_s, u" 46023"_s, u"-5.5"_s, u"4.6e4"_s, u"46023.5 "_s, u".5"_s,
                                    u"1234567890123456"_s, u"\u0664\u0666"_s}) {
            qint64 day = -1;
            bool exact = false;
            QVERIFY2(!wholeDayOf(text, &day, &exact), qPrintable(text));
        }
    }

    void dayNumber_convertsDatesAndTimes()
    {
        QCOMPARE(dayNumber(QDate(1899, 12, 30)), 0.0);
        QCOMPARE(dayNumber(QDate(2173, 10, 14)), NoDueDate);
        QCOMPARE(dayNumber(QDateTime(QDate(2024, 2, 29), QTime(18, 0))), 45351.75);
        QCOMPARE(dateTimeOfDayNumber(45351.75), QDateTime(QDate(2024, 2, 29), QTime(18, 0)));
        // Before the epoch the fraction still counts from that day's midnight.
        QCOMPARE(dateTimeOfDayNumber(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
        QCOMPARE(dayNumber(dateTimeOfDayNumber(-1.25)), -1.25);
        // A minute survives the text round trip exactly.
        const QDateTime when(QDate(2026, 12, 6), QTime(23, 59));
        double day = 0;
        QVERIFY(parseDayNumber(dayNumberText(dayNumber(when)), &day));
        QCOMPARE(dateTimeOfDayNumber(day), when);
        QCOMPARE(dueDayNumber(u""), NoDueDate);
        QCOMPARE(dueDayNumber(u"abc"), NoDueDate);
        QVERIFY(!dateOfDayNumber(1e300).isValid());
        QCOMPARE(dayNumber(QDate()), NoDueDate);

        // The quick reader of plain decimals agrees with the general number reader on everything.
        for (const QString& text :
             {u"40179.5"_s, u" 45351.75 "_s, u"+12"_s, u"-1.25"_s, u".5"_s, u"7."_s, u"1e3"_s, u"1e"_s, u"inf"_s,
              u"nan"_s, u"1.2.3"_s, u"12a"_s, u"0x10"_s, u"\u0663"_s, u"4 5"_s, u"100000"_s, u"1e400"_s, u"--1"_s}) {
            bool ok = false;
            const double expected = text.trimmed().toDouble(&ok);
            ok = ok && std::isfinite(expected);
            double got = -7;
            QCOMPARE(parseDayNumber(text, &got), ok);
            if (ok)
                QCOMPARE(got, expected);
        }
    }

    void notes_encodeAndDecode()
    {
        QCOMPARE(EncodeNotes({u"a\tb"_s}), u"a        b\x1b"_s);
        QCOMPARE(EncodeNotes({}), QString());
        QCOMPARE(EncodeNotes({u"x"_s, QString(), u"y"_s}), u"x\x1b\x1by\x1b"_s);
        QCOMPARE(DecodeNotes(u"a        b\x1b"), QStringList({u"a        b"_s}));
        QCOMPARE(DecodeNotes(u"imported text"), QStringList({u"imported text"_s}));
        QCOMPARE(DecodeNotes(u"one\x1btwo\x1b"
                             "dropped"),
                 QStringList({u"one"_s, u"two"_s}));
        // The editor's final empty line is not stored; line ends of any kind split lines.
        QCOMPARE(encodeNotesText(u"first\r\nsecond\n"), u"first\x1bsecond\x1b"_s);
        QCOMPARE(encodeNotesText(u"a\r\rb"), QStringLiteral("a\x1b\x1b"
                                                            "b\x1b"));
        QCOMPARE(decodeNotesText(encodeNotesText(u"p\n\nq")), u"p\n\nq"_s);
        // A cell never receives a line break or a TAB.
        const QString cell = EncodeNotes({u"bad\r\nline\t"_s});
        QVERIFY(!cell.contains(u'\r') && !cell.contains(u'\n') && !cell.contains(u'\t'));
    }

    void alarmCell_writesPaddedAmountAndReadsByPosition()
    {
        QCOMPARE(alarmCellText(5, alarmHours), u"  5=1"_s);
        QCOMPARE(alarmCellText(99, alarmWeeks), u" 99=3"_s);
        QCOMPARE(alarmCellText(0, alarmMinutes), u"  0=0"_s);
        const AlarmSetting a = parseAlarmCell(u" 99=3");
        QCOMPARE(a.amount, 99);
        QCOMPARE(a.unit, 3);
        const AlarmSetting junk = parseAlarmCell(u"x5=z");
        QCOMPARE(junk.amount, 0);
        QCOMPARE(junk.unit, 0);
        QCOMPARE(parseAlarmCell(u"  7").amount, 7);
        QVERIFY(!hasAlarm(u""));
    }

    void cellReadings_priorityRecurrenceCompletion()
    {
        QCOMPARE(priorityLevel(u"1 - High"), PriorityLevel::High);
        QCOMPARE(priorityLevel(u"1"), PriorityLevel::High);
        QCOMPARE(priorityLevel(u"1-High"), PriorityLevel::Other);
        QCOMPARE(priorityLevel(u"12"), PriorityLevel::Other);
        QCOMPARE(priorityLevel(u"2 - anything"), PriorityLevel::Medium);
        QCOMPARE(priorityLevel(u"3"), PriorityLevel::Low);
        QCOMPARE(priorityLevel(u""), PriorityLevel::Other);
        QCOMPARE(recurrenceIndex(u"10"), int(recBiMonthly));
        QCOMPARE(recurrenceIndex(u""), int(recOnce));
        QCOMPARE(recurrenceIndex(u"11"), int(recOnce));
        QCOMPARE(recurrenceIndex(u"-1"), int(recOnce));
        QCOMPARE(recurrenceIndex(u"x"), int(recOnce));
        QVERIFY(isCompleted(u"100"));
        QVERIFY(!isCompleted(u"99") && !isCompleted(u"Y") && !isCompleted(u"100.0"));
        QCOMPARE(percentComplete(u""), 0);
        QCOMPARE(percentComplete(u"40"), 40);
        QCOMPARE(storedIntegerOr(u"  -12", 0), -12);
        QCOMPARE(storedIntegerOr(u"12x", 7), 7);
        QCOMPARE(storedIntegerOr(u"$", 7), 7);
        QCOMPARE(attachmentCellText(u"\"/tmp/a b.txt\""_s), u"/tmp/a b.txt"_s);
        QCOMPARE(attachmentCellText(u"\""_s), QString());
    }

    void isOverdue_todayWithoutTimeIsNotAndNoDueDateNever()
    {
        const QDateTime now(QDate(2026, 12, 6), QTime(9, 0));
        QVERIFY(!isOverdue(dueCell(QDate(2026, 12, 6)), now));
        QVERIFY(isOverdue(dueCell(QDate(2026, 12, 6), 8.0 / 24), now));
        QVERIFY(!isOverdue(dueCell(QDate(2026, 12, 6), 10.0 / 24), now));
        QVERIFY(isOverdue(dueCell(QDate(2026, 12, 5)), now));
        QVERIFY(!isOverdue(u"100000", now));
        QVERIFY(!isOverdue(u"", now));
    }

    void removeBlankRows_keepsOneRowAndLocateFindsUpperTwin()
    {
        TSortGrid tasks(TaskColumnCount, 3);
        RemoveBlankRows(tasks);
        QCOMPARE(tasks.rowCount(), 1);

        tasks.setRowCount(4);
        // Only name, due, project and priority make a row non-blank.
        tasks.setCell(0, colNotes, u"notes only"_s);
        tasks.setCell(1, colTaskName, u"Twin"_s);
        tasks.setCell(1, colNotes, u"upper"_s);
        tasks.setCell(3, colTaskName, u"Twin"_s);
        tasks.setCell(3, colNotes, u"lower"_s);
        tasks.setCell(3, colAlarm, alarmCellText(1, 0));
        RemoveBlankRows(tasks);
        QCOMPARE(tasks.rowCount(), 2);

        TSortGrid view(TaskColumnCount, 1);
        view.setRow(0, tasks.row(1));
        QVERIFY(LocateTaskRow(tasks, view, 0));
        QCOMPARE(tasks.currentRow(), 0);
        QCOMPARE(tasks.cellText(tasks.currentRow(), colNotes), u"upper"_s);
        view.setCell(0, colAssignee, u"Someone"_s);
        QVERIFY(!LocateTaskRow(tasks, view, 0));
        QVERIFY(!LocateTaskRow(tasks, view, 5));
    }

    void sameTaskIdentity_comparesHeadAttachmentAndAssignee_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("same");
        const QString row = u"10\nCall\n46000\nHome\n2 - Medium\nnotes\n/a.pdf\nAnn\n\n0"_s;
        QTest::newRow("equal") << row << row << true;
        QTest::newRow("notes differ") << row << QString(row).replace(u"notes"_s, u"other"_s) << true;
        QTest::newRow("name differs late") << row << QString(row).replace(u"Call"_s, u"Calm"_s) << false;
        QTest::newRow("priority differs") << row << QString(row).replace(u"2 - Medium"_s, u"2 - Mediums"_s) << false;
        QTest::newRow("attachment differs") << row << QString(row).replace(u"/a.pdf"_s, u"/b.pdf"_s) << false;
        QTest::newRow("assignee differs") << row << QString(row).replace(u"Ann"_s, u"Bob"_s) << false;
        // Rows hold their cells separated by line breaks. A row cut short after its priority has the same head as a
        // full one.
        QTest::newRow("five cells against full")
            << u"10\nCall\n46000\nHome\n2 - Medium"_s << u"10\nCall\n46000\nHome\n2 - Medium\n\n\n"_s << true;
        QTest::newRow("four cells against five") << u"10\nCall\n46000\nHome"_s << u"10\nCall\n46000\nHome\n"_s << false;
        QTest::newRow("prefix of a name") << u"10\nCall"_s << u"10\nCall me"_s << false;
    }
    void sameTaskIdentity_comparesHeadAttachmentAndAssignee()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, same);
        QCOMPARE(sameTaskIdentity(a, b), same);
        QCOMPARE(sameTaskIdentity(b, a), same);
    }
};

QTEST_GUILESS_MAIN(TestTaskTable)
#include "tst_tasktable.moc"
