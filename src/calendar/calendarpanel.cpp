#include "calendar/calendarpanel.h"

#include "calendar/specialdays.h"
#include "core/clock.h"
#include "core/formatsettings.h"

CalendarPanel::CalendarPanel(const TSortGrid& tasks, TSortGrid& diary, const TSortGrid& special,
                             const QDate& calendarDate)
    : m_tasks(tasks), m_special(special), m_diaryTable(diary), m_diary(diary),
      m_calendarDate(calendarDate.isValid() ? calendarDate : Clock::current().today())
{}

void CalendarPanel::RefreshDayPanel()
{
    m_diary.StoreDiaryMemo();
    m_diary.LoadDiaryMemo(m_calendarDate);
    ComputeMonthMarks();
    const FormatSettings& format = FormatSettings::current();
    m_lblDate = CalendarDates::dateCaption(m_calendarDate, format);
    m_lblDate1 = CalendarDates::weekdayCaption(m_calendarDate, format);
    QStringList specialDays;
    SpecialDaysFor(m_special, m_calendarDate, specialDays);
    m_dayInfo = ::dayInfoLines(specialDays, m_marks.day(m_calendarDate.day()).TaskNames);
    m_hint = SmartHint::forDate(m_calendarDate, Clock::current().today(), m_special);
    m_lblDay = CalendarDates::dayOfYearText(m_calendarDate);
    m_lblWeek = CalendarDates::weekOfYearText(m_calendarDate);
}

void CalendarPanel::ComputeMonthMarks()
{
    ::ComputeMonthMarks(m_marks, m_calendarDate, m_tasks, m_diaryTable, m_special);
}

void CalendarPanel::ComputeTaskMarks()
{
    ::ComputeTaskMarks(m_marks, m_calendarDate, m_tasks);
}

void CalendarPanel::moveTo(const QDate& date)
{
    m_diary.StoreDiaryMemo();
    if (date.isValid())
        m_calendarDate = date;
    RefreshDayPanel();
}

void CalendarPanel::setCalendarDate(const QDate& date)
{
    moveTo(date);
}

void CalendarPanel::btnPrevMonthClick()
{
    moveTo(CalendarDates::previousMonth(m_calendarDate));
}

void CalendarPanel::btnNextMonthClick()
{
    moveTo(CalendarDates::nextMonth(m_calendarDate));
}

void CalendarPanel::btnPrevDayClick()
{
    moveTo(m_calendarDate.addDays(-1));
}

void CalendarPanel::btnNextDayClick()
{
    moveTo(m_calendarDate.addDays(1));
}

void CalendarPanel::Gototoday1Click()
{
    moveTo(Clock::current().today());
}

bool CalendarPanel::aPrevDiaryEntryExecute()
{
    const std::optional<QDate> target = m_diary.previousEntry(m_calendarDate);
    if (target)
        moveTo(*target);
    return target.has_value();
}

bool CalendarPanel::aNextDiaryEntryExecute()
{
    const std::optional<QDate> target = m_diary.nextEntry(m_calendarDate);
    if (target)
        moveTo(*target);
    return target.has_value();
}

MonthLayout CalendarPanel::monthLayout() const
{
    return MonthLayout(m_calendarDate.year(), m_calendarDate.month(), m_weekStart);
}

std::optional<QString> CalendarPanel::cellHint(int row, int column) const
{
    const int day = monthLayout().dayAt(row, column);
    if (day == 0)
        return std::nullopt;
    return m_marks.day(day).tooltip();
}
