#include "calendar/diarymemo.h"
#include "calendar/ui/calendarpanelwidget.h"
#include "calendar/ui/monthcalendar.h"
#include "core/clock.h"
#include "core/dataset.h"
#include "core/formatsettings.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "support/tables.h"
#include "support/widgets.h"

#include <QAction>
#include <QCalendarWidget>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestCalendarWidgets : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;
    FixedClock m_clock{QDateTime(QDate(2024, 3, 13), QTime(10, 0))}; // a Wednesday
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<DataSet> m_data;
    std::unique_ptr<TCalendarPanelWidget> m_panel;

    TCalendarPanelWidget* makePanel()
    {
        m_panel = std::make_unique<TCalendarPanelWidget>(*m_settings, *m_data);
        m_panel->resize(257, 220);
        m_panel->show();
        m_panel->activateWindow();
        if (!QTest::qWaitForWindowActive(m_panel.get()))
            qWarning("panel window not active");
        return m_panel.get();
    }
    template <typename T> T* at(const char* name) { return childNamed<T>(m_panel.get(), name); }
    void click(const char* name) { QTest::mouseClick(at<QWidget>(name), Qt::LeftButton, {}, QPoint(4, 4)); }
    void addDiary(const QDate& date, const QString& text)
    {
        m_data->gridDiary.InsertRow(0);
        m_data->gridDiary.setRow(0, {QString::number(date.year()), QString::number(date.month()),
                                     QString::number(date.day()), encodeNotesText(text)});
    }
    QString entryOf(const QDate& date) const
    {
        const int row = FindDiaryRow(m_data->gridDiary, date);
        return row < 0 ? u"<none>"_s : decodeNotesText(m_data->gridDiary.cell(row, diaryText));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        FormatSettings::setCurrent(FormatSettings::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
        Clock::setCurrent(&m_clock);
        Ask::setUnattended(true);
    }
    void cleanupTestCase() { Clock::setCurrent(nullptr); }
    void init()
    {
        m_clock.set(QDateTime(QDate(2024, 3, 13), QTime(10, 0)));
        m_settings = std::make_unique<SettingsStore>(m_dir.filePath(u"s%1.ini"_s.arg(++m_count)));
        m_data = std::make_unique<DataSet>();
    }
    void cleanup()
    {
        m_panel.reset();
        verifyPromptsAnswered();
    }

    void calendarClick_movesDateCaptionsAndDiary()
    {
        addDiary(QDate(2024, 3, 20), u"Dentist at 4"_s);
        auto* panel = makePanel();
        panel->setPage(TCalendarPanelWidget::MonthlyPage);
        auto* calendar = at<TMonthCalendar>("Calendar");
        QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->dayCentre(20));
        QCOMPARE(panel->calendarDate(), QDate(2024, 3, 20));
        QCOMPARE(at<QLabel>("lblDate")->text(), u"Mar 20, 2024"_s);
        QCOMPARE(at<QPlainTextEdit>("memoDiary")->toPlainText(), u"Dentist at 4"_s);

        // The month step and the date picker move everything; the grid follows.
        panel->setCalendarDate(QDate(2024, 1, 31));
        click("SpeedButton3");
        QCOMPARE(panel->calendarDate(), QDate(2024, 2, 29));
        QCOMPARE(panel->panel().monthLayout().month(), 2);
        click("SpeedButton2");
        auto* picker = at<QCalendarWidget>("HiddenPopupDateEdit");
        Q_EMIT picker->clicked(QDate(2023, 12, 31));
        QCOMPARE(panel->calendarDate(), QDate(2023, 12, 31));
        QVERIFY(!picker->isVisible());
        click("btnNextDay");
        QCOMPARE(at<QLabel>("lblDate")->text(), u"Jan 1, 2024"_s);
    }

    void diaryTyping_isStoredWhenLeftOrTheDateOrPageChanges()
    {
        auto* panel = makePanel();
        panel->setPage(TCalendarPanelWidget::DiaryPage);
        auto* memo = at<QPlainTextEdit>("memoDiary");
        memo->setFocus();
        QTest::keyClicks(memo, u"a\tb"_s);
        QVERIFY(memo->hasFocus());
        memo->clearFocus();
        QCOMPARE(entryOf(QDate(2024, 3, 13)), u"a        b"_s);
        memo->setFocus();
        click("btnNextDay");
        QCOMPARE(entryOf(QDate(2024, 3, 13)), u"a        b"_s);
        QCOMPARE(memo->toPlainText(), QString());
        click("SpeedButton1");
        QCOMPARE(memo->toPlainText(), u"a        b"_s);

        // Switching to Day info keeps what was typed; emptying the entry removes its row.
        QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(memo, u"!"_s);
        panel->setPage(TCalendarPanelWidget::DayInfoPage);
        QVERIFY(entryOf(QDate(2024, 3, 13)).endsWith(u'!'));
        panel->setPage(TCalendarPanelWidget::DiaryPage);
        memo->selectAll();
        QTest::keyClick(memo, Qt::Key_Delete);
        click("btnNextDay");
        QCOMPARE(entryOf(QDate(2024, 3, 13)), u"<none>"_s);
    }

    void refreshAll_afterTablesReplaced_keepsTheNewDiary()
    {
        // The panel starts before the data set is loaded; its empty memo must not wipe the
        // loaded entry of the calendar date, neither on refresh nor on the next move.
        auto* panel = makePanel();
        addDiary(QDate(2024, 3, 13), u"loaded"_s);
        panel->refreshAll();
        QCOMPARE(at<QPlainTextEdit>("memoDiary")->toPlainText(), u"loaded"_s);
        m_data->gridDiary.setCell(0, diaryText, encodeNotesText(u"restored"_s));
        panel->setCalendarDate(QDate(2024, 3, 14));
        QCOMPARE(entryOf(QDate(2024, 3, 13)), u"restored"_s);

        // Text typed but not yet stored survives a refresh (special days edited meanwhile).
        panel->setPage(TCalendarPanelWidget::DiaryPage);
        QTest::keyClicks(at<QPlainTextEdit>("memoDiary"), u"typed"_s);
        panel->refreshAll();
        QCOMPARE(entryOf(QDate(2024, 3, 14)), u"typed"_s);
        QCOMPARE(at<QPlainTextEdit>("memoDiary")->toPlainText(), u"typed"_s);
    }

    void taskMarks_paintTheDayCell_andTheHintButtonFollowsThem()
    {
        auto* panel = makePanel();
        const QString due = dueCell(QDate(2024, 3, 15), 0.375);
        m_data->MainGrid = gridOf(TaskColumnCount, {{u"50"_s, u"Call Ann"_s, due}, {u"0"_s, u"Pay rent"_s, due}});
        m_data->gridSpecial.setRow(0, {u"Ides eve"_s, u"M"_s, u"3"_s, u"14"_s, QString(), QString()});
        panel->refreshTaskMarks();
        panel->setPage(TCalendarPanelWidget::MonthlyPage);

        // The task tab is painted in the corner of the 15th only.
        auto* calendar = at<TMonthCalendar>("Calendar");
        const QImage image = calendar->grab().toImage();
        const auto cornerIsRed = [&](int day) {
            int row = 0;
            int column = 0;
            panel->panel().monthLayout().cellOfDay(day, &row, &column);
            const QRect cell = calendar->cellRect(row, column);
            const QColor pixel = image.pixelColor(cell.right() - 4, cell.bottom() - 4);
            return pixel.red() > 180 && pixel.green() < 120;
        };
        QVERIFY(cornerIsRed(15));
        QVERIFY(!cornerIsRed(16));

        // Today (13th) with a special day tomorrow: the hint steps to tomorrow, then offers today.
        click("btnGotoToday");
        click("btnHint");
        QCOMPARE(panel->calendarDate(), QDate(2024, 3, 14));
        QCOMPARE(at<QListWidget>("lbSpecial")->item(0)->text(), u"Ides eve"_s);
        QCOMPARE(at<QPushButton>("btnHint")->text(), u"Go to today"_s);
    }

    void diaryEntryKeys_moveToTheNextEntry_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QDate>("reached");
        const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        const int ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
        QTest::newRow("Ctrl+Shift+PgDn") << int(Qt::Key_PageDown) << ctrlShift << QDate(2024, 3, 20);
        QTest::newRow("Ctrl+Shift+PgUp") << int(Qt::Key_PageUp) << ctrlShift << QDate(2024, 3, 5);
        QTest::newRow("Ctrl+Alt+Right") << int(Qt::Key_Right) << ctrlAlt << QDate(2024, 3, 20);
        QTest::newRow("Ctrl+Alt+Left") << int(Qt::Key_Left) << ctrlAlt << QDate(2024, 3, 5);
    }
    void diaryEntryKeys_moveToTheNextEntry()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QDate, reached);
        addDiary(QDate(2024, 3, 5), u"five"_s);
        addDiary(QDate(2024, 3, 20), u"twenty"_s);
        auto* panel = makePanel();
        panel->setCalendarDate(QDate(2024, 3, 10));
        auto* memo = at<QPlainTextEdit>("memoDiary");
        memo->setFocus();
        QTest::keyClick(memo, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(panel->calendarDate(), reached);
        QCOMPARE(panel->page(), int(TCalendarPanelWidget::DiaryPage));
        QCOMPARE(memo->toPlainText(), reached.day() == 5 ? u"five"_s : u"twenty"_s);
        // The menu shows the key that desktops leave to the program.
        QCOMPARE(panel->findChild<QAction*>(u"aNextDiaryEntry"_s)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_PageDown));
    }

    void midnight_movesTheDateOnlyWithTheDayCheck_butAClockJumpAlwaysRefreshes_data()
    {
        QTest::addColumn<bool>("expectMove");
        QTest::newRow("day check on") << true;
        QTest::newRow("day check off") << false;
    }
    void midnight_movesTheDateOnlyWithTheDayCheck_butAClockJumpAlwaysRefreshes()
    {
        QFETCH(bool, expectMove);
        m_clock.set(QDateTime(QDate(2024, 3, 13), QTime(23, 59, 59)));
        auto* panel = makePanel();
        panel->setDayRefreshEnabled(expectMove);
        panel->setCalendarDate(QDate(2024, 3, 10));
        panel->setPage(TCalendarPanelWidget::DiaryPage);
        QTest::keyClicks(at<QPlainTextEdit>("memoDiary"), u"late note"_s);
        QSignalSpy changed(panel, &TCalendarPanelWidget::dayChanged);

        panel->ClockGetTime(0);
        m_clock.advanceSecs(2);
        panel->ClockGetTime(2000);
        QCOMPARE(changed.count(), expectMove ? 1 : 0);
        QCOMPARE(panel->calendarDate(), expectMove ? QDate(2024, 3, 14) : QDate(2024, 3, 10));
        QCOMPARE(entryOf(QDate(2024, 3, 10)), expectMove ? u"late note"_s : u"<none>"_s);
        QCOMPARE(at<QLabel>("Clock")->text(), u"12:00 AM"_s);
        panel->ClockGetTime(2450);
        QCOMPARE(changed.count(), expectMove ? 1 : 0);

        // The wall clock set an hour ahead refreshes whether or not the day check runs.
        panel->setCalendarDate(QDate(2024, 3, 1));
        m_clock.advanceSecs(3600);
        panel->ClockGetTime(2900);
        QCOMPARE(changed.count(), expectMove ? 2 : 1);
        QCOMPARE(panel->calendarDate(), QDate(2024, 3, 14));
        m_clock.advanceSecs(1);
        panel->ClockGetTime(3900); // a jump refreshes once, not on every later tick
        QCOMPARE(changed.count(), expectMove ? 2 : 1);
    }
};

QTEST_MAIN(TestCalendarWidgets)
#include "tst_calendarwidgets.moc"
