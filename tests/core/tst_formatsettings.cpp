#include "core/clock.h"
#include "core/formatsettings.h"

#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Fixed English settings, so that no result depends on the machine's locale.
FormatSettings english()
{
    FormatSettings s;
    s.dateSeparator = u'/';
    s.timeSeparator = u':';
    s.shortDateFormat = u"d/mm/yyyy"_s;
    s.longDateFormat = u"dddd, d mmmm yyyy"_s;
    s.shortTimeFormat = u"h:nn AM/PM"_s;
    s.longTimeFormat = u"hh:nn:ss"_s;
    s.timeAMString = u"am"_s;
    s.timePMString = u"pm"_s;
    s.shortMonthNames = u"Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec"_s.split(u' ');
    s.longMonthNames =
        u"January February March April May June July August September October November December"_s.split(u' ');
    s.shortDayNames = u"Sun Mon Tue Wed Thu Fri Sat"_s.split(u' ');
    s.longDayNames = u"Sunday Monday Tuesday Wednesday Thursday Friday Saturday"_s.split(u' ');
    return s;
}

const QDateTime friday(QDate(2004, 3, 5), QTime(9, 30, 15));

} // namespace

class TestFormatSettings : public QObject {
    Q_OBJECT

    FixedClock m_clock{QDateTime(QDate(2025, 6, 15), QTime(12, 0))};

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        Clock::setCurrent(&m_clock);
    }
    void cleanupTestCase() { Clock::setCurrent(nullptr); }

    void formatDateTime_pattern_givesText_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("expected");
        const QDateTime jan5(QDate(2004, 1, 5), QTime(9, 30));
        const QDateTime midnight(QDate(2004, 3, 5), QTime(0, 0));
        const QDateTime evening(QDate(2004, 3, 5), QTime(21, 5, 7));
        // Patterns the program itself uses.
        QTest::newRow("weekday check") << u"ddddd\" is \"dddd"_s << friday << u"5/03/2004 is Friday"_s;
        QTest::newRow("day caption") << u"mmm d\",\" yyyy"_s << friday << u"Mar 5, 2004"_s;
        QTest::newRow("alarm due") << u"mmm dd\",\" yyyy \"at\" "_s << jan5 << u"Jan 05, 2004 at "_s;
        QTest::newRow("export time") << u"hh:mm"_s << evening << u"21:05"_s;
        QTest::newRow("long date") << u"dddddd"_s << friday << u"Friday, 5 March 2004"_s;
        QTest::newRow("short time") << u"t"_s << evening << u"9:05 PM"_s;
        QTest::newRow("long time") << u"tt"_s << evening << u"21:05:07"_s;
        QTest::newRow("c with time") << u"c"_s << friday << u"5/03/2004 09:30:15"_s;
        QTest::newRow("c at midnight") << u"c"_s << midnight << u"5/03/2004"_s;
        QTest::newRow("empty is c") << QString() << friday << u"5/03/2004 09:30:15"_s;
        // Letter rules.
        QTest::newRow("upper case") << u"D MMM YYYY HH:NN"_s << evening << u"5 Mar 2004 21:05"_s;
        QTest::newRow("mm after hh blank") << u"hh mm"_s << evening << u"21 05"_s;
        QTest::newRow("mm after minutes") << u"h:mm mm"_s << evening << u"21:05 03"_s;
        QTest::newRow("mm not after hour") << u"mm ss"_s << evening << u"03 07"_s;
        QTest::newRow("five m") << u"mmmmm"_s << friday << u"March"_s;
        QTest::newRow("one y") << u"y"_s << friday << u"04"_s;
        QTest::newRow("hhh") << u"hhh"_s << jan5 << u"09"_s;
        // 12-hour clock.
        QTest::newRow("am/pm midnight") << u"h:nn am/pm"_s << QDateTime(QDate(2004, 3, 5), QTime(0, 5))
                                        << u"12:05 am"_s;
        QTest::newRow("AM/PM noon") << u"hh:nn AM/PM"_s << QDateTime(QDate(2004, 3, 5), QTime(12, 30)) << u"12:30 PM"_s;
        QTest::newRow("a/p") << u"h a/p"_s << QDateTime(QDate(2004, 3, 5), QTime(13, 0)) << u"1 p"_s;
        QTest::newRow("ampm texts") << u"h ampm"_s << evening << u"9 pm"_s;
        QTest::newRow("marker first") << u"ampm h:nn"_s << evening << u"pm 9:05"_s;
        QTest::newRow("quoted marker") << u"h \"am/pm\""_s << evening << u"21 am/pm"_s;
        // Literals.
        QTest::newRow("quotes") << u"\"d/m\" 'h:n' d"_s << friday << u"d/m h:n 5"_s;
        QTest::newRow("quote inside") << u"'say \"hi\"' d"_s << friday << u"say \"hi\" 5"_s;
        QTest::newRow("unclosed quote") << u"d \"at h"_s << friday << u"5 at h"_s;
        QTest::newRow("plain a") << u"d at"_s << jan5 << u"5 a9:30 AM"_s;
    }

    void formatDateTime_pattern_givesText()
    {
        QFETCH(QString, pattern);
        QFETCH(QDateTime, when);
        QFETCH(QString, expected);
        QCOMPARE(formatDateTime(pattern, when, english()), expected);
    }

    void formatDateTime_separatorsAndNesting_followSettings()
    {
        FormatSettings s = english();
        s.dateSeparator = u'.';
        s.timeSeparator = u'.';
        QCOMPARE(formatDateTime(u"d/m/yy h:nn \"/:\""_s, friday, s), u"5.3.04 9.30 /:"_s);

        // A short date that names itself must not recurse without end.
        s.shortDateFormat = u"d ddddd"_s;
        QCOMPARE(shortDateText(QDate(2004, 3, 5), s), u"5 "_s);
        QCOMPARE(formatDateTime(u"c"_s, friday, s), u"5  09.30.15"_s);

        // Broken name lists (a bad language file) give empty names, not a crash.
        s.longMonthNames.clear();
        s.shortDayNames = {u"Sun"_s};
        QCOMPARE(formatDate(u"[mmmm][ddd]"_s, QDate(2004, 3, 5), s), u"[][]"_s);
        QCOMPARE(formatDate(u"d"_s, QDate(), s), QString());
    }

    void fromLocale_knownLocales_giveSensibleFormats_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("shortDate");
        QTest::addColumn<QString>("longDate");
        QTest::addColumn<QString>("shortTime");
        QTest::addColumn<QString>("longTime");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << u"3/5/2004"_s
                               << u"Friday, March 5, 2004"_s << u"9:05 PM"_s << u"9:05:07 PM"_s;
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << u"05.03.2004"_s
                               << u"Freitag, 5. März 2004"_s << u"21:05"_s << u"21:05:07"_s;
        QTest::newRow("bg_BG quoted") << QLocale(QLocale::Bulgarian, QLocale::Bulgaria) << u"5.03.2004 г."_s
                                      << u"петък, 5 март 2004 г."_s << u"21:05 ч."_s << u"21:05:07 ч."_s;
        QTest::newRow("ko_KR marker first") << QLocale(QLocale::Korean, QLocale::SouthKorea) << u"2004. 3. 5."_s
                                            << u"2004년 3월 5일 금요일"_s << u"오후 9:05"_s << u"오후 9시 5분 7초"_s;
    }

    void fromLocale_knownLocales_giveSensibleFormats()
    {
        QFETCH(QLocale, locale);
        const FormatSettings s = FormatSettings::fromLocale(locale);
        const QDate date(2004, 3, 5);
        const QTime time(21, 5, 7);
        QFETCH(QString, shortDate);
        QFETCH(QString, longDate);
        QFETCH(QString, shortTime);
        QFETCH(QString, longTime);
        QCOMPARE(shortDateText(date, s), shortDate);
        QCOMPARE(longDateText(date, s), longDate);
        QCOMPARE(shortTimeText(time, s), shortTime);
        QCOMPARE(longTimeText(time, s), longTime);
        QCOMPARE(s.longDayNames.first(), locale.dayName(7, QLocale::LongFormat));
        // What the locale writes, the program reads back.
        QCOMPARE(parseShortDate(shortDateText(date, s), s), date);
    }

    void current_setAndReset_switchesProgramSettings()
    {
        FormatSettings::setCurrent(english());
        QCOMPARE(longDateText(QDate(2004, 3, 5)), u"Friday, 5 March 2004"_s);
        FormatSettings::resetToSystem();
        QCOMPARE(FormatSettings::current().longDateFormat,
                 FormatSettings::fromLocale(QLocale::system()).longDateFormat);
    }

    void parseShortDate_text_givesDate_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected");
        const QString dmy = u"d/mm/yyyy"_s;
        const QString mdy = u"m/d/yyyy"_s;
        const QString ymd = u"yyyy/mm/dd"_s;
        const QDate march5(2004, 3, 5);
        const QDate march5ThisYear(2025, 3, 5);
        QTest::newRow("d/m/y") << dmy << u"5/3/2004"_s << march5;
        QTest::newRow("m/d/y") << mdy << u"3/5/2004"_s << march5;
        QTest::newRow("y/m/d") << ymd << u"2004/03/05"_s << march5;
        QTest::newRow("other separator") << dmy << u" 05-03-2004 "_s << march5;
        QTest::newRow("named month") << dmy << u"5 Mar 2004"_s << march5;
        QTest::newRow("long name first") << dmy << u"MARCH 5, 2004"_s << march5;
        QTest::newRow("d/m no year") << dmy << u"5/3"_s << march5ThisYear;
        QTest::newRow("y/m/d no year") << ymd << u"3/5"_s << march5ThisYear;
        QTest::newRow("name no year") << mdy << u"Mar 5"_s << march5ThisYear;
        QTest::newRow("yy window start") << dmy << u"5/3/75"_s << QDate(1975, 3, 5);
        QTest::newRow("yy window end") << dmy << u"5/3/74"_s << QDate(2074, 3, 5);
        QTest::newRow("one-digit year") << dmy << u"5/3/4"_s << march5;
        QTest::newRow("quoted literal") << u"d/mm/yyyy \"r.\""_s << u"5/3/2004 r."_s << march5;
        QTest::newRow("31 February") << dmy << u"31/02/2025"_s << QDate();
        QTest::newRow("month 13") << dmy << u"5/13/2004"_s << QDate();
        QTest::newRow("empty") << dmy << QString() << QDate();
        QTest::newRow("garbage") << dmy << u"soon"_s << QDate();
        QTest::newRow("with time") << dmy << u"5/3/2004 10:30"_s << QDate();
        QTest::newRow("double separator") << dmy << u"5//3/2004"_s << QDate();
        QTest::newRow("unknown name") << dmy << u"5/Foo/2004"_s << QDate();
        QTest::newRow("two names") << dmy << u"5 Mar Apr"_s << QDate();
        QTest::newRow("four fields") << dmy << u"1/2/3/4"_s << QDate();
        QTest::newRow("huge number") << dmy << u"5/3/99999999999"_s << QDate();
    }

    void parseShortDate_text_givesDate()
    {
        QFETCH(QString, format);
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        FormatSettings s = english();
        s.shortDateFormat = format;
        QCOMPARE(parseShortDate(text, s), expected);
    }

    void parseTime_text_givesTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QTime>("expected");
        QTest::newRow("h:nn") << u"9:30"_s << QTime(9, 30);
        QTest::newRow("h:nn:ss") << u"21:30:15"_s << QTime(21, 30, 15);
        QTest::newRow("PM") << u"9:30 PM"_s << QTime(21, 30);
        QTest::newRow("pm glued") << u"9:30pm"_s << QTime(21, 30);
        QTest::newRow("12 am") << u"12:05 am"_s << QTime(0, 5);
        QTest::newRow("marker first") << u"p 3:30"_s << QTime(15, 30);
        QTest::newRow("13 PM") << u"13:00 PM"_s << QTime();
        QTest::newRow("24:00") << u"24:00"_s << QTime();
        QTest::newRow("minute 60") << u"9:60"_s << QTime();
        QTest::newRow("empty") << QString() << QTime();
        QTest::newRow("trailing text") << u"9:30 xyz"_s << QTime();
        QTest::newRow("four parts") << u"9:30:15:1"_s << QTime();
    }

    void parseTime_text_givesTime()
    {
        QFETCH(QString, text);
        QFETCH(QTime, expected);
        QCOMPARE(parseTime(text, english()), expected);
    }
};

QTEST_GUILESS_MAIN(TestFormatSettings)
#include "tst_formatsettings.moc"
