#pragma once

#include "core/sortgrid.h"

#include <QDate>
#include <QString>

#include <optional>

// The first diary row whose year, month and day, read as integers, are the date's; -1 for none.
int FindDiaryRow(const TSortGrid& diary, const QDate& date);
// The date of a diary row; invalid when its cells do not form a date.
QDate diaryRowDate(const TSortGrid& diary, int row);

// The diary memo as logic: the text shown for one date and its way into and out of the diary
// table. The memo widget passes its text in on every edit (setMemoText) and shows what
// LoadDiaryMemo returns.
class DiaryMemo final {
public:
    explicit DiaryMemo(TSortGrid& diary) : m_diary(diary) {}

    const QString& memoText() const { return m_memoText; }
    void setMemoText(const QString& text) { m_memoText = text; }

    // The date whose entry the memo shows; invalid before the first load.
    const QDate& DiaryMemoDate() const { return m_memoDate; }

    // Storing is off while the main window is starting up.
    void setStoreEnabled(bool enabled) { m_storeEnabled = enabled; }
    bool storeEnabled() const { return m_storeEnabled; }

    // Writes the memo back as the entry of DiaryMemoDate: a new first row for a new text, the
    // row removed when the text was emptied, else its text replaced.
    void StoreDiaryMemo();
    // Makes the memo show the entry of the date (empty without one) and returns that text.
    const QString& LoadDiaryMemo(const QDate& calendarDate);
    // Stores the memo, then orders the table by date, drops rows without text and keeps the
    // first row of each date.
    void TidyDiary();

    // The entry before or after the date (after a tidy); nothing when there is none.
    std::optional<QDate> previousEntry(const QDate& calendarDate);
    std::optional<QDate> nextEntry(const QDate& calendarDate);

private:
    TSortGrid& m_diary;
    QString m_memoText;
    QDate m_memoDate;
    bool m_storeEnabled = true;
};
