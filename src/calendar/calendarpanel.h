#pragma once

#include "calendar/calendardate.h"
#include "calendar/dayinfo.h"
#include "calendar/diarymemo.h"
#include "calendar/monthmarks.h"
#include "core/sortgrid.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// The calendar panel's state without its widgets: the calendar date, the diary memo, the month
// marks and everything the panel shows for the date. Every move of the date stores the memo
// first and ends in RefreshDayPanel; the window then reads the results and shows them.
class CalendarPanel final {
public:
    // The tables stay owned by the data set; the panel reads tasks and special days and edits
    // the diary.
    CalendarPanel(const TSortGrid& tasks, TSortGrid& diary, const TSortGrid& special, const QDate& calendarDate);

    const QDate& CalendarDate() const { return m_calendarDate; }
    DiaryMemo& diary() { return m_diary; }
    const DiaryMemo& diary() const { return m_diary; }

    // First day of the week of the month grid: 0 = Sunday ... 6 = Saturday.
    int weekStart() const { return m_weekStart; }
    void setWeekStart(int weekStart) { m_weekStart = weekStart >= 0 && weekStart <= 6 ? weekStart : 0; }

    // Brings every result below up to date for the calendar date; the memo is stored and then
    // reloaded for the date.
    void RefreshDayPanel();
    void ComputeMonthMarks();
    // After a change of tasks only.
    void ComputeTaskMarks();

    // ---- Moves: each stores the memo, sets the date and refreshes ----
    void setCalendarDate(const QDate& date); // a day picked in the calendar or the date field
    void btnPrevMonthClick();
    void btnNextMonthClick();
    void btnPrevDayClick();
    void btnNextDayClick();
    void Gototoday1Click(); // also the day change and the time-change refresh
    // Previous/next diary entry: tidies the diary and moves when there is an entry; false when not.
    bool aPrevDiaryEntryExecute();
    bool aNextDiaryEntryExecute();

    // ---- Results ----
    const MonthDayInfo& monthDayInfo() const { return m_marks; }
    MonthLayout monthLayout() const;
    // The hint over a cell of the month grid; nothing over the header row or an empty cell.
    std::optional<QString> cellHint(int row, int column) const;
    const QString& lblDate() const { return m_lblDate; }
    const QString& lblDate1() const { return m_lblDate1; }
    const QString& lblDay() const { return m_lblDay; }
    const QString& lblWeek() const { return m_lblWeek; }
    const QStringList& dayInfoLines() const { return m_dayInfo; }
    const SmartHint& smartHint() const { return m_hint; }

private:
    void moveTo(const QDate& date);

    const TSortGrid& m_tasks;
    const TSortGrid& m_special;
    TSortGrid& m_diaryTable;
    DiaryMemo m_diary;
    QDate m_calendarDate;
    int m_weekStart = 0;
    MonthDayInfo m_marks;
    QString m_lblDate;
    QString m_lblDate1;
    QString m_lblDay;
    QString m_lblWeek;
    QStringList m_dayInfo;
    SmartHint m_hint;
};
