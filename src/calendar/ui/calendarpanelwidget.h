#pragma once

#include "calendar/calendarpanel.h"
#include "calendar/daychangewatch.h"

#include <QDate>
#include <QWidget>

class DataSet;
class QAction;
class QActionGroup;
class QCalendarWidget;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QToolButton;
class SettingsStore;
class TMonthCalendar;

// The calendar panel at the right of the main window's bottom area: the date bar, the day and
// week line with the clock, and the three pages (Day info, Diary, Monthly view). Every rule lives
// in CalendarPanel; this widget forwards the user's actions to it and shows the results.
class TCalendarPanelWidget final : public QWidget {
    Q_OBJECT
public:
    enum Page { DayInfoPage = 0, DiaryPage = 1, MonthlyPage = 2 };

    // The data set's tables must outlive the panel; they may be reloaded in place (refreshAll).
    TCalendarPanelWidget(SettingsStore& settings, DataSet& data, QWidget* parent = nullptr);
    ~TCalendarPanelWidget() override;

    QDate calendarDate() const { return m_panel.CalendarDate(); }
    // Stores the diary memo, moves to the date and refreshes everything.
    void setCalendarDate(const QDate& date);

    int page() const;
    // As the Calendar menu's page items; out-of-range numbers show Day info.
    void setPage(int page);

    // After any change of the task table: marks, the Day info list and the smart hint.
    void refreshTaskMarks();
    // After the tables were replaced or edited elsewhere (a data set opened, a restore, the special
    // days edited). Diary text typed since the last store is kept; otherwise the memo is reloaded
    // from the table without writing the old text over the new table.
    void refreshAll();
    // The same, opened on `date`: the start-up's one refresh.
    void refreshAll(const QDate& date);
    // Writes the diary memo into gridDiary; call before every save of the diary, before a restore
    // or data set switch, and before find and print.
    void storeDiary();
    // Re-reads "Calendar"/"WeekStart" (after the preferences dialog).
    void applySettings();

    // The day-change check runs while the tray shows the date or the special-day star (the tray
    // code sets this); a jump of the wall clock refreshes regardless.
    void setDayRefreshEnabled(bool enabled) { m_watch.setDayRefreshEnabled(enabled); }
    bool dayRefreshEnabled() const { return m_watch.dayRefreshEnabled(); }

    // Adds the Calendar menu's items: the three pages, "Goto &today", previous/next diary entry
    // and "&Special days list...".
    void fillCalendarMenu(QMenu* menu) const;

    CalendarPanel& panel() { return m_panel; }
    QPlainTextEdit* diaryMemo() const { return memoDiary; }

    // One step of the clock, with a monotonic time in milliseconds counted from about when the panel
    // was made. The program's clock tick (AlarmClock) calls it; tests call it with stepped times.
    void ClockGetTime(qint64 monotonicMs);

    // Calendar menu actions (also live as shortcuts while the panel's window is active).
    QAction* miDayInfo = nullptr;
    QAction* miDiary = nullptr;
    QAction* miMonthly = nullptr;
    QAction* Gototoday1 = nullptr;
    QAction* aPrevDiaryEntry = nullptr;
    QAction* aNextDiaryEntry = nullptr;
    QAction* Specialdays1 = nullptr;

Q_SIGNALS:
    // The day changed at midnight or the wall clock was set: the calendar is on today already;
    // the main window refreshes the tray icon, rebuilds the view and re-arms the alarm.
    void dayChanged();
    // "&Special days list...", the popup item and the smart hint ask for the editor; refreshAll()
    // after it closes.
    void specialDaysRequested();

protected:
    // The day information and the hints are made from language strings: shown again in a new language.
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createBar();
    void createDatePicker();
    void createPages();
    QToolButton* barButton(const QString& name, const QString& text, const QString& tip);

    // Shows what the logic holds for the calendar date.
    void showResults();
    void showMemo();
    void syncPageChecks(int page);

    // Handlers.
    void btnDayInfoClick();
    void btnDiaryClick();
    void btnMonthlyClick();
    void btnPrevDayClick();
    void btnNextDayClick();
    void btnPrevMonthClick();
    void btnNextMonthClick();
    void monthStep(int step);
    void Gototoday1Click();
    void lblDateClick();
    void btnHintClick();
    void CalendarChange(const QDate& date);
    void CalendarDblClick();
    void aPrevDiaryEntryExecute();
    void aNextDiaryEntryExecute();
    void memoDiaryChange();
    void storeMemo();

    SettingsStore& m_settings;
    CalendarPanel m_panel;
    DayChangeWatch m_watch;
    bool m_loadingMemo = false;
    bool m_memoDirty = false; // typed since the memo was last stored or loaded
    QDate m_shownMemoDate;

    QFrame* pnlDateBar = nullptr;
    QToolButton* btnGotoToday = nullptr;
    QToolButton* SpeedButton2 = nullptr; // "Date"
    QToolButton* btnPrevMonth = nullptr;
    QToolButton* SpeedButton1 = nullptr; // previous day
    QLabel* lblDate = nullptr;
    QLabel* lblDate1 = nullptr;
    QToolButton* SpeedButton3 = nullptr; // next month
    QToolButton* btnNextDay = nullptr;
    QToolButton* btnDayInfo = nullptr;
    QToolButton* btnDiary = nullptr;
    QToolButton* btnMonthly = nullptr;

    QWidget* pZodiak = nullptr;
    QLabel* lblDay = nullptr;
    QLabel* lblWeek = nullptr;
    QLabel* lblClock = nullptr; // the clock, object name "Clock"

    QStackedWidget* m_pages = nullptr;
    QListWidget* lbSpecial = nullptr;
    QPushButton* btnHint = nullptr;
    QPlainTextEdit* memoDiary = nullptr;
    TMonthCalendar* Calendar = nullptr;
    QMenu* pmCalendar = nullptr;
    QActionGroup* m_pageGroup = nullptr;

    QFrame* m_datePopup = nullptr;
    QCalendarWidget* HiddenPopupDateEdit = nullptr;
};
