#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "exchange/delimitedtext.h"
#include "exchange/exportgrid.h"
#include "exchange/icalendar.h"
#include "exchange/importstep.h"
#include "support/tables.h"
#include "support/testfiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <libical/ical.h>

using namespace Qt::Literals::StringLiterals;

// Export, import and the file formats between them, without windows.
class TestExchange : public QObject {
    Q_OBJECT

    static QStringList taskRow(const QString& complete, const QString& name, const QString& due,
                               const QString& project = {}, const QString& priority = {}, const QString& notes = {},
                               const QString& attachment = {}, const QString& assignee = {},
                               const QString& alarm = {}, const QString& recurrence = {})
    {
        return {complete, name, due, project, priority, notes, attachment, assignee, alarm, recurrence, {}};
    }

    static QList<QStringList> rowsOf(const TSortGrid& grid)
    {
        QList<QStringList> rows;
        for (int r = 0; r < grid.rowCount(); ++r)
            rows.append(grid.row(r));
        return rows;
    }

private Q_SLOTS:
    void initTestCase()
    {
        FormatSettings settings = FormatSettings::fromLocale(QLocale::c());
        settings.shortDateFormat = u"dd/mm/yyyy"_s;
        settings.dateSeparator = u'/';
        FormatSettings::setCurrent(settings);
    }

    void exportGrid_columnsInFileOrderWithDateAndTime_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("expected");
        const QString day = dueCell(QDate(2026, 3, 12));
        QTest::newRow("time chosen first") << QStringList{u"Time"_s, u"Task name"_s} << dueCell(QDate(2026, 3, 12), 0.4375)
                                           << u"Task name;Time\r\nA;10:30\r\n"_s;
        QTest::newRow("midnight: no time") << QStringList{u"Due date"_s, u"Time"_s} << day << u"Due date;Time\r\n12/03/2026;\r\n"_s;
        QTest::newRow("no due date") << QStringList{u"Time"_s, u"Due date"_s} << u"100000"_s << u"Due date;Time\r\n;\r\n"_s;
        QTest::newRow("not a number") << QStringList{u"Due date"_s, u"Time"_s} << u"soon"_s << u"Due date;Time\r\n;\r\n"_s;
        QTest::newRow("all, reversed") << QStringList{u"Time"_s, u"Assignee"_s, u"Attachments"_s, u"Notes"_s,
                                                      u"Priority"_s, u"Project"_s, u"Due date"_s, u"Task name"_s, u"Done?"_s}
                                       << day
                                       << u"Done?;Task name;Due date;Project;Priority;Notes;Attachments;Assignee;Time\r\n"
                                          "40;A;12/03/2026;P;1 - High;n\x1b;f;Ann;\r\n"_s;
    }
    void exportGrid_columnsInFileOrderWithDateAndTime()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QString, due);
        QFETCH(QString, expected);
        const TSortGrid view = gridOf(TaskColumnCount, {taskRow(u"40"_s, u"A"_s, due, u"P"_s, u"1 - High"_s, u"n\x1b"_s,
                                                                u"f"_s, u"Ann"_s)});
        QCOMPARE(QString::fromUtf8(delimitedBytes(buildExportGrid(view, chosen), ExchangeFormat::Semicolon)), expected);
    }

    void export_emptyViewAndLog_writeOneLineOfEmptyFields()
    {
        const TSortGrid emptyView(TaskColumnCount, 1);
        QCOMPARE(delimitedBytes(buildExportGrid(emptyView, {u"Task name"_s, u"Project"_s}), ExchangeFormat::Tab),
                 QByteArray("Task name\tProject\r\n\t\r\n"));
        // The log: titles, entries only (the header and empty rows are skipped), days as the log shows them.
        TSortGrid log = gridOf(TaskLogColumnCount, {{}, {u"Gone"_s, dueCell(QDate(2026, 1, 2), 0.5), u"Home"_s, {},
                                                         dueCell(QDate(2026, 1, 3)), u"n"_s, {}, u"Ann"_s},
                                                    {}});
        const QList<QStringList> rows = rowsOf(buildLogExportGrid(log));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0], (QStringList{u"Task"_s, u"Due"_s, u"Project"_s, u"Priority"_s, u"Logged"_s, u"Assignee"_s}));
        QCOMPARE(rows[1], (QStringList{u"Gone"_s, u"02/01/2026 "_s + longTimeText(QTime(12, 0)), u"Home"_s, {},
                                       u"03/01/2026"_s, u"Ann"_s}));
        QCOMPARE(rowsOf(buildLogExportGrid(TSortGrid(TaskLogColumnCount, 1))).size(), 2);
    }

    void importConversions_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("stored");
        QTest::newRow("share 0.5") << int(slotDone) << u"0.5"_s << u"50"_s;
        QTest::newRow("1 stays 1") << int(slotDone) << u"1"_s << u"1"_s;
        QTest::newRow("1.5 to even") << int(slotDone) << u"1.5"_s << u"2"_s;
        QTest::newRow("2.5 to even") << int(slotDone) << u"2.5"_s << u"2"_s;
        QTest::newRow("0.125") << int(slotDone) << u"0.125"_s << u"12"_s;
        QTest::newRow("word") << int(slotDone) << u"Yes"_s << u"0"_s;
        QTest::newRow("comma decimal") << int(slotDone) << u"0,5"_s << u"0"_s;
        QTest::newRow("above 100") << int(slotDone) << u"250"_s << u"100"_s;
        QTest::newRow("negative") << int(slotDone) << u"-0.3"_s << u"0"_s;
        QTest::newRow("infinity") << int(slotDone) << u"inf"_s << u"0"_s;
        QTest::newRow("short date") << int(slotDueDate) << u"12/03/2026"_s << dueCell(QDate(2026, 3, 12));
        QTest::newRow("date and time") << int(slotDueDate) << u"12/03/2026 10:00"_s << u"100000"_s;
        QTest::newRow("other order") << int(slotDueDate) << u"2026-03-12"_s << u"100000"_s;
        QTest::newRow("quotes kept") << int(slotTaskName) << u"\"Call\""_s << u"\"Call\""_s;
        QTest::newRow("TAB in a name") << int(slotTaskName) << u"a\tb"_s << u"a b"_s;
        QTest::newRow("TAB in notes") << int(slotNotes) << u"a\tb"_s << u"a        b"_s;
    }
    void importConversions()
    {
        QFETCH(int, slot);
        QFETCH(QString, cell);
        QFETCH(QString, stored);
        TSortGrid main(TaskColumnCount, 1);
        ImportPairs pairs = NoImportPairs;
        pairs[slot] = 1;
        TSortGrid file(2, 1);
        file.setRow(0, {u"x"_s, cell});
        QCOMPARE(ImportTasks(main, file, pairs, 0), 1);
        QCOMPARE(main.cellText(0, importSlotColumn(slot)), stored);
        QCOMPARE(main.rowCount(), 2);
        QVERIFY(!main.rowText(0).contains(u'\t'));
    }

    void importTasks_reverseOrderFirstRowAndNoPairs()
    {
        TSortGrid file;
        file.LoadFromText(u"Subject;Due\r\nA;1/1/2026\r\nB\r\nC;x;extra\r\n", u';');
        ImportPairs pairs = NoImportPairs;
        pairs[slotTaskName] = 0;
        pairs[slotAssignee] = 2;
        TSortGrid main(TaskColumnCount, 1);
        QCOMPARE(ImportTasks(main, file, pairs, 1), 3);
        QCOMPARE(main.cellText(0, colTaskName), u"C"_s);
        QCOMPARE(main.cellText(0, colAssignee), u"extra"_s);
        QCOMPARE(main.cellText(1, colTaskName), u"B"_s);
        QCOMPARE(main.cellText(2, colTaskName), u"A"_s);
        QCOMPARE(main.cellText(0, colDue), QString()); // an unpaired field stays empty
        QCOMPARE(ImportTasks(main, file, pairs, 4), 0);
        QCOMPARE(ImportTasks(main, file, NoImportPairs, 0), 0);
        QCOMPARE(main.rowCount(), 4);
    }

    void csv_hostileCells_roundTripExactly()
    {
        const TSortGrid grid = gridOf(4, {{u"Name"_s, u"Notes"_s, u"Project"_s, u"Empty"_s},
                                          {u"a, b"_s, EncodeNotes({u"first \"line\""_s, {}, u"third, last"_s}), u"Jiménez ☂"_s, {}},
                                          {u"\"quoted\""_s, u"no escape"_s, u"semi;colon"_s, u"  padded  "_s},
                                          {u"tail\x1b"_s, {}, u"\"\""_s, u","_s},
                                          {u"mid\x1b" u"dle"_s, u"\x1b"_s, u"a\tb"_s, u"\x1b\x1b"_s}});
        QTemporaryDir dir;
        const QString path = dir.filePath(u"x.csv"_s);
        QCOMPARE(writeDelimitedFile(path, grid, ExchangeFormat::Csv), QString());
        const QByteArray bytes = testFileContents(path);
        QVERIFY(bytes.startsWith("Name,Notes,Project,Empty\r\n\"a, b\",\"first \"\"line\"\"\n\nthird, last\n\",Jiménez ☂,\r\n"));
        TSortGrid back;
        QCOMPARE(readDelimitedFile(path, ExchangeFormat::Csv, back), QString());
        QCOMPARE(rowsOf(back), rowsOf(grid));

        // Other programs: a byte-order mark, LF and CR LF inside quotes, a last line without end.
        QVERIFY(writeTestFile(path, "\xEF\xBB\xBFSubject,Notes\nx,\"l1\r\nl2\"\ny,z"));
        QCOMPARE(readDelimitedFile(path, ExchangeFormat::Csv, back), QString());
        QCOMPARE(rowsOf(back), (QList<QStringList>{{u"Subject"_s, u"Notes"_s}, {u"x"_s, u"l1\x1bl2\x1b"_s}, {u"y"_s, u"z"_s}}));
        const QString missing = dir.filePath(u"none.csv"_s);
        QVERIFY(readDelimitedFile(missing, ExchangeFormat::Csv, back).contains(missing));
    }

    void icalendar_writtenTasksParseBackWithEveryField()
    {
        const QString due = dueCell(QDate(2026, 3, 12), 0.4375);
        const TSortGrid tasks = gridOf(TaskColumnCount, {
            taskRow(u"40"_s, u"Pay, rent; now"_s, due, u"Home"_s, u"1 - High"_s, EncodeNotes({u"a"_s, u"Grüße"_s}),
                    u"/tmp/offer 1.pdf"_s, u"Ann"_s, alarmCellText(2, alarmHours), u"5"_s),
            taskRow(u"100"_s, u"Done"_s, dueCell(QDate(2026, 3, 13)), {}, u"3 - Low"_s, {}, {}, {}, {}, u"2"_s),
            taskRow(u"0"_s, u"Someday"_s, u"100000"_s, {}, u"2 - Medium"_s, {}, {}, {}, {}, u"0"_s),
        });
        const QByteArray bytes = icalendarTasksBytes(tasks, QDateTime(QDate(2026, 1, 1), QTime(9, 0), QTimeZone::utc()));

        // libical itself reads what was written.
        icalcomponent* calendar = icalparser_parse_string(bytes.constData());
        QVERIFY(calendar != nullptr);
        icalcomponent* todo = icalcomponent_get_first_component(calendar, ICAL_VTODO_COMPONENT);
        QCOMPARE(QString::fromUtf8(icalcomponent_get_summary(todo)), u"Pay, rent; now"_s);
        const icaltimetype icalDue = icalcomponent_get_due(todo);
        QCOMPARE(QDateTime(QDate(icalDue.year, icalDue.month, icalDue.day), QTime(icalDue.hour, icalDue.minute)),
                 QDateTime(QDate(2026, 3, 12), QTime(10, 30)));
        QCOMPARE(icalproperty_get_priority(icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY)), 1);
        QCOMPARE(icalproperty_get_percentcomplete(icalcomponent_get_first_property(todo, ICAL_PERCENTCOMPLETE_PROPERTY)), 40);
        QCOMPARE(icalcomponent_get_status(todo), ICAL_STATUS_INPROCESS);
        QCOMPARE(QString::fromUtf8(icalproperty_get_categories(icalcomponent_get_first_property(todo, ICAL_CATEGORIES_PROPERTY))),
                 u"Home"_s);
        QCOMPARE(QString::fromUtf8(icalcomponent_get_description(todo)), u"a\nGrüße"_s);
        QCOMPARE(QByteArray(icalattach_get_url(icalproperty_get_attach(icalcomponent_get_first_property(todo, ICAL_ATTACH_PROPERTY)))),
                 QByteArray("file:///tmp/offer%201.pdf"));
        icalrecurrencetype rule = icalproperty_get_rrule(icalcomponent_get_first_property(todo, ICAL_RRULE_PROPERTY));
        QCOMPARE(rule.freq, ICAL_WEEKLY_RECURRENCE);
        QCOMPARE(rule.interval, short(2));
        icalcomponent* alarm = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT);
        QCOMPARE(icaldurationtype_as_int(icalproperty_get_trigger(icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY)).duration),
                 -2 * 3600);
        todo = icalcomponent_get_next_component(calendar, ICAL_VTODO_COMPONENT);
        QCOMPARE(icalcomponent_get_status(todo), ICAL_STATUS_COMPLETED);
        QVERIFY(icalcomponent_get_due(todo).is_date);
        icalcomponent_free(calendar);

        // And the program reads it back to the same cells (the spare column is not carried).
        ICalendarTasks back;
        QVERIFY(parseICalendarTasks(bytes, &back));
        QCOMPARE(back.unmapped, QStringList());
        QCOMPARE(back.rows, rowsOf(tasks));
    }

    void icalendar_handWrittenFileImports()
    {
        // Folded lines (one in the middle of a two-byte character), DUE as DATE and with TZID, an
        // RRULE with and one without a match, an alarm, and an event that is no task.
        const QByteArray ics =
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//hand//EN\r\n"
            "BEGIN:VTODO\r\nUID:1\r\nDTSTAMP:20260101T000000Z\r\n"
            "SUMMARY:Ein sehr langer Titel mit Umlauten wie \xC3\xA4\xC3\xB6\xC3\xBC und noch mehr Text damit er gefa\xC3\r\n"
            " \xA4ltet wird\r\n"
            "DUE;VALUE=DATE:20260315\r\nPRIORITY:3\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\n"
            "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\nTRIGGER;RELATED=END:-PT2H\r\nEND:VALARM\r\nEND:VTODO\r\n"
            "BEGIN:VTODO\r\nUID:2\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Zoned\r\n"
            "DUE;TZID=Europe/Berlin:20260704T090000\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=15\r\nSTATUS:COMPLETED\r\n"
            "CATEGORIES:Work,Home\r\nEND:VTODO\r\n"
            "BEGIN:VEVENT\r\nUID:3\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20260101T100000Z\r\nEND:VEVENT\r\n"
            "END:VCALENDAR\r\n";
        ICalendarTasks tasks;
        QVERIFY(parseICalendarTasks(ics, &tasks));
        QCOMPARE(tasks.rows.size(), 2);
        const QStringList first = tasks.rows[0];
        QCOMPARE(first[colTaskName], u"Ein sehr langer Titel mit Umlauten wie äöü und noch mehr Text damit er gefaältet wird"_s);
        QCOMPARE(first[colDue], dueCell(QDate(2026, 3, 15)));
        QCOMPARE(first[colPriority], u"1 - High"_s);
        QCOMPARE(first[colRecurrence], QString::number(recFortnightly));
        QCOMPARE(first[colAlarm], alarmCellText(2, alarmHours));
        QCOMPARE(first[colComplete], u"0"_s);
        const QStringList second = tasks.rows[1];
        const QDateTime berlin(QDate(2026, 7, 4), QTime(9, 0), QTimeZone("Europe/Berlin"));
        QCOMPARE(second[colDue], dayNumberText(dayNumber(berlin.toLocalTime())));
        QCOMPARE(second[colComplete], u"100"_s);
        QCOMPARE(second[colProject], u"Work"_s);
        QCOMPARE(second[colRecurrence], QString::number(recOnce));
        QCOMPARE(tasks.unmapped.size(), 3); // the second category, the monthly rule, the event
        QVERIFY(tasks.unmapped.join(u'\n').contains(u"BYMONTHDAY=15"_s));

        QVERIFY(!parseICalendarTasks("no calendar here", &tasks) || tasks.rows.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
