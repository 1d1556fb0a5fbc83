#include "calendar/diarymemo.h"

#include "core/storedinteger.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"

namespace {

int cellNumber(const QString& rowText, int col)
{
    return storedIntegerOr(TSortGrid::cellOf(rowText, col), 0);
}

} // namespace

int FindDiaryRow(const TSortGrid& diary, const QDate& date)
{
    if (!date.isValid())
        return -1;
    const QList<QString>& rows = diary.rows();
    for (int row = 0; row < rows.size(); ++row) {
        const QString& r = rows.at(row);
        if (cellNumber(r, diaryDay) == date.day() && cellNumber(r, diaryMonth) == date.month() &&
            cellNumber(r, diaryYear) == date.year())
            return row;
    }
    return -1;
}

QDate diaryRowDate(const TSortGrid& diary, int row)
{
    if (row < 0 || row >= diary.rowCount())
        return {};
    const QString& r = diary.rowText(row);
    return QDate(cellNumber(r, diaryYear), cellNumber(r, diaryMonth), cellNumber(r, diaryDay));
}

void DiaryMemo::StoreDiaryMemo()
{
    if (!m_storeEnabled || !m_memoDate.isValid())
        return;
    const QString text = encodeNotesText(m_memoText);
    const int row = FindDiaryRow(m_diary, m_memoDate);
    if (row < 0) {
        if (text.isEmpty())
            return;
        m_diary.InsertRow(0);
        m_diary.setRow(0, {QString::number(m_memoDate.year()), QString::number(m_memoDate.month()),
                           QString::number(m_memoDate.day()), text});
    } else if (text.isEmpty()) {
        m_diary.DeleteRow(row);
    } else {
        m_diary.setCell(row, diaryText, text);
    }
}

const QString& DiaryMemo::LoadDiaryMemo(const QDate& calendarDate)
{
    const int row = FindDiaryRow(m_diary, calendarDate);
    m_memoText = row >= 0 ? decodeNotesText(m_diary.cell(row, diaryText)) : QString();
    m_memoDate = calendarDate;
    return m_memoText;
}

void DiaryMemo::TidyDiary()
{
    StoreDiaryMemo();
    tidyDiaryTable(m_diary);
}

std::optional<QDate> DiaryMemo::previousEntry(const QDate& calendarDate)
{
    TidyDiary();
    std::optional<QDate> target;
    for (int row = 0; row < m_diary.rowCount(); ++row) {
        const QDate date = diaryRowDate(m_diary, row);
        if (date.isValid() && date < calendarDate && !m_diary.cell(row, diaryText).isEmpty() &&
            (!target || date > *target))
            target = date;
    }
    return target;
}

std::optional<QDate> DiaryMemo::nextEntry(const QDate& calendarDate)
{
    TidyDiary();
    std::optional<QDate> target;
    for (int row = 0; row < m_diary.rowCount(); ++row) {
        const QDate date = diaryRowDate(m_diary, row);
        if (date.isValid() && date > calendarDate && !m_diary.cell(row, diaryText).isEmpty() &&
            (!target || date < *target))
            target = date;
    }
    return target;
}
