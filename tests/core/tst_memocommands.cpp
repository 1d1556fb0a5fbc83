#include "core/clock.h"
#include "core/formatsettings.h"
#include "core/memoinsert.h"
#include "core/ui/ask.h"
#include "core/ui/memocommands.h"

#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

FormatSettings fixedFormats()
{
    FormatSettings settings = FormatSettings::fromLocale(QLocale::c());
    settings.dateSeparator = QLatin1Char('.');
    settings.timeSeparator = QLatin1Char(':');
    settings.shortDateFormat = u"dd/mm/yyyy"_s;
    settings.longTimeFormat = u"hh:nn:ss"_s;
    return settings;
}

} // namespace

class TestMemoCommands final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        Ask::setUnattended(true);
    }
    void cleanup()
    {
        Clock::setCurrent(nullptr);
        FormatSettings::resetToSystem();
    }

    void insertionText_usesShortDateAndLongTime_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("expected");
        QTest::newRow("date") << int(MemoInsertion::Date) << QTime(14, 5, 9) << u"05.03.2024"_s;
        QTest::newRow("time") << int(MemoInsertion::Time) << QTime(14, 5, 9) << u"14:05:09"_s;
        QTest::newRow("both") << int(MemoInsertion::DateTime) << QTime(14, 5, 9) << u"05.03.2024 14:05:09"_s;
        QTest::newRow("midnight") << int(MemoInsertion::DateTime) << QTime(0, 0) << u"05.03.2024"_s;
        QTest::newRow("after midnight") << int(MemoInsertion::DateTime) << QTime(0, 0, 1) << u"05.03.2024 00:00:01"_s;
    }
    void insertionText_usesShortDateAndLongTime()
    {
        QFETCH(int, kind);
        QFETCH(QTime, time);
        QFETCH(QString, expected);
        FixedClock clock(QDateTime(QDate(2024, 3, 5), time));
        Clock::setCurrent(&clock);
        FormatSettings::setCurrent(fixedFormats());
        QCOMPARE(memoInsertionText(MemoInsertion(kind)), expected);
    }

    void keys_replaceSelection_readOnlyUntouched()
    {
        FixedClock clock(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
        Clock::setCurrent(&clock);
        FormatSettings::setCurrent(fixedFormats());
        QPlainTextEdit memo(u"due world!"_s);
        installMemoCommands(&memo);
        memo.show();
        QVERIFY(QTest::qWaitForWindowActive(&memo));
        memo.setFocus();
        QTextCursor cursor = memo.textCursor();
        cursor.setPosition(4);
        cursor.setPosition(9, QTextCursor::KeepAnchor);
        memo.setTextCursor(cursor);
        QTest::keyClick(&memo, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(memo.toPlainText(), u"due 05.03.2024!"_s);
        QTest::keyClick(&memo, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(memo.toPlainText(), u"due 05.03.202405.03.2024 14:05:09!"_s);
        memo.setReadOnly(true);
        QTest::keyClick(&memo, Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(memo.toPlainText(), u"due 05.03.202405.03.2024 14:05:09!"_s);
    }
};

QTEST_MAIN(TestMemoCommands)
#include "tst_memocommands.moc"
