#include "calendar/specialdays.h"
#include "calendar/specialdayseditor.h"
#include "core/tablefiles.h"
#include "support/tables.h"
#include "support/testfiles.h"

#include <QHash>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

TSortGrid table(const QList<QStringList>& rows)
{
    return gridOf(SpecialColumnCount, rows);
}

QStringList weekRule(const QString& name, int month, int week, int weekday)
{
    return {name, u"W"_s, QString::number(month), {}, QString::number(week), QString::number(weekday)};
}

QStringList dayRule(const QString& name, int month, int day)
{
    return {name, u"M"_s, QString::number(month), QString::number(day), {}, {}};
}

} // namespace

class TestSpecialDays : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TSortGrid m_grid;
    int m_saves = 0;

    SpecialDaysEditor::Saver saver()
    {
        return [this] {
            ++m_saves;
            return saveSpecialTable(m_grid, m_dir.filePath(TableFile::Special));
        };
    }
    QByteArray fileBytes() const { return testFileContents(m_dir.filePath(TableFile::Special)); }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_grid = TSortGrid(SpecialColumnCount, 1);
        m_saves = 0;
    }

    void specialDaysFor_weekRule_matchesOnlyItsDay_data()
    {
        QTest::addColumn<QDate>("firstOfMonth");
        QTest::addColumn<int>("week");
        QTest::addColumn<int>("weekday");
        QTest::addColumn<int>("expectedDay");
        QTest::newRow("2nd Monday, 1 May a Monday") << QDate(2023, 5, 1) << 2 << 2 << 8;
        QTest::newRow("2nd Monday, 1 May a Tuesday") << QDate(2018, 5, 1) << 2 << 2 << 14;
        QTest::newRow("1st Saturday, 1st a Sunday") << QDate(2023, 1, 1) << 1 << 7 << 7;
        QTest::newRow("last Monday, 1 May a Monday") << QDate(2023, 5, 1) << 5 << 2 << 29;
        QTest::newRow("last Monday, 1 May a Sunday") << QDate(2022, 5, 1) << 5 << 2 << 30;
        QTest::newRow("last Monday, 1 May a Friday") << QDate(2020, 5, 1) << 5 << 2 << 25;
        QTest::newRow("last Sunday, leap Feb from Sunday") << QDate(2004, 2, 1) << 5 << 1 << 29;
    }
    void specialDaysFor_weekRule_matchesOnlyItsDay()
    {
        QFETCH(QDate, firstOfMonth);
        QFETCH(int, week);
        QFETCH(int, weekday);
        QFETCH(int, expectedDay);
        const TSortGrid grid = table({weekRule(u"rule"_s, firstOfMonth.month(), week, weekday)});
        QStringList names;
        for (QDate d = firstOfMonth; d.month() == firstOfMonth.month(); d = d.addDays(1))
            QCOMPARE(SpecialDaysFor(grid, d, names), d.day() == expectedDay);
    }

    void specialDaysFor_everyRuleOfSeveralYears_agreesWithReference()
    {
        // Every week rule and every day-of-month rule, with the day each should hit found by
        // walking the month.
        QList<QStringList> rows;
        for (int month = 1; month <= 12; ++month) {
            for (int week = 1; week <= 5; ++week) {
                for (int weekday = 1; weekday <= 7; ++weekday)
                    rows.append(weekRule(u"W%1.%2.%3"_s.arg(month).arg(week).arg(weekday), month, week, weekday));
            }
            for (int day = 1; day <= 31; ++day)
                rows.append(dayRule(u"M%1.%2"_s.arg(month).arg(day), month, day));
        }
        const QList<SpecialRule> rules = specialRules(table(rows));
        for (int year : {1900, 1999, 2000, 2004, 2023, 2024, 2025, 2026, 2027, 2100}) {
            QHash<QDate, QStringList> expected;
            for (const QStringList& row : rows) {
                const int month = row[2].toInt();
                if (row[1] == u"M") {
                    expected[QDate(year, month, row[3].toInt())].append(row[0]); // 30 Feb: invalid, never asked
                    continue;
                }
                QList<QDate> hits;
                for (QDate d(year, month, 1); d.month() == month; d = d.addDays(1)) {
                    if (d.dayOfWeek() % 7 + 1 == row[5].toInt())
                        hits.append(d);
                }
                expected[row[4] == u"5" ? hits.last() : hits.at(row[4].toInt() - 1)].append(row[0]);
            }
            QStringList names;
            for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
                QCOMPARE(SpecialDaysFor(rules, d, names), expected.contains(d));
                QCOMPARE(names, expected.value(d));
            }
        }
    }

    void specialDaysFor_tableOrder_skipsRowsThatAreNoRules()
    {
        const TSortGrid grid = table({dayRule(u"Zeta"_s, 12, 25),
                                      dayRule(u"Alpha"_s, 12, 25),
                                      {u"Bad kind"_s, u"X"_s, u"12"_s, u"25"_s},
                                      dayRule(QString(), 12, 25),
                                      {u"Unreadable"_s, u"M"_s, u"12"_s, u"x"_s}});
        QStringList names{u"stale"_s};
        QVERIFY(SpecialDaysFor(grid, QDate(2031, 12, 25), names));
        QCOMPARE(names, (QStringList{u"Zeta"_s, u"Alpha"_s}));
        QVERIFY(!SpecialDaysFor(grid, QDate(2031, 11, 25), names));
        QVERIFY(names.isEmpty());
    }

    void editor_opensOnFirstSortedRule_modifiedFollowsRuleValues()
    {
        m_grid = table({weekRule(u"mother's day"_s, 5, 2, 1), dayRule(u"Christmas"_s, 12, 25), dayRule({}, 1, 1)});
        SpecialDaysEditor editor(m_grid, saver());
        QCOMPARE(editor.items(), (QStringList{u"Christmas"_s, u"mother's day"_s}));
        QCOMPARE(editor.description(), u"Christmas"_s);
        QCOMPARE(QPoint(editor.month(), editor.day()), QPoint(12, 25));
        QVERIFY(!editor.isModified() && !editor.addEnabled() && !editor.changeEnabled());

        editor.setDay(24);
        QVERIFY(editor.isModified() && editor.changeEnabled());
        editor.setDay(25);
        QVERIFY(!editor.isModified());
        editor.setDescription(u"Xmas"_s); // the description is no part of the state
        QVERIFY(!editor.isModified() && editor.addEnabled());
        editor.setDescription(QString());
        QVERIFY(!editor.addEnabled());

        editor.select(1);
        QVERIFY(editor.isWeekRule() && !editor.dayEnabled());
        QCOMPARE(QPoint(editor.weekIndex(), editor.weekdayIndex()), QPoint(1, 0));
        editor.setWeekdayIndex(3);
        QVERIFY(editor.closeNeedsConfirmation());
    }

    void editor_add_keepsRulesSorted_refusesEmptyText()
    {
        SpecialDaysEditor editor(m_grid, saver());
        QCOMPARE(editor.selectedIndex(), -1);
        editor.New(QDate(2026, 7, 4));
        editor.setDescription(u"zoo trip"_s);
        QVERIFY(editor.Add().ok());
        editor.New(QDate(2026, 1, 1));
        editor.setWeekRule(true);
        editor.setMonth(5);
        editor.setWeekIndex(4);
        editor.setWeekdayIndex(1);
        editor.setDescription(u"Bank holiday"_s);
        QVERIFY(editor.Add().ok());
        QCOMPARE(editor.selectedIndex(), 0);
        QCOMPARE(editor.description(), u"Bank holiday"_s);

        editor.setDescription(u"Zoo Trip"_s); // case alone makes another rule
        QVERIFY(editor.Add().ok());
        editor.New(QDate(2026, 6, 6));
        QCOMPARE(editor.Add().strings, QList<int>{495});
        QCOMPARE(m_grid.rowCount(), 3);
        QCOMPARE(m_saves, 3);
    }

    void editor_changeAndDelete_replaceOrRemoveRule()
    {
        m_grid = table({dayRule(u"Anniversary"_s, 6, 10), dayRule(u"Birthday"_s, 3, 1)});
        SpecialDaysEditor editor(m_grid, saver());
        editor.select(1);
        editor.setMonth(4);
        editor.setDescription(u"Birthday (moved)"_s);
        QVERIFY(editor.Change().ok());
        QCOMPARE(fileBytes(), QByteArray("Anniversary\tM\t6\t10\t\t\r\nBirthday (moved)\tM\t4\t1\t\t\r\n"));
        // A cleared description must not turn a change into a silent deletion.
        editor.setDescription(QString());
        QCOMPARE(editor.Change().strings, QList<int>{495});

        editor.select(1);
        QVERIFY(editor.Delete().ok());
        QCOMPARE(editor.items(), QStringList{u"Anniversary"_s});
        QCOMPARE(editor.selectedIndex(), 0);
        QVERIFY(editor.Delete().ok());
        QCOMPARE(editor.selectedIndex(), -1);
        QCOMPARE(m_saves, 1); // deleting writes nothing until the editor closes
        QCOMPARE(editor.Close(), QString());
        QCOMPARE(fileBytes(), QByteArray("\t\t\t\t\t\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestSpecialDays)
#include "tst_specialdays.moc"
