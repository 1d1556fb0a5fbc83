#include "calendar/monthmarks.h"

#include "calendar/diarymemo.h"
#include "calendar/specialdays.h"
#include "core/daynumber.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"

#include <cmath>

QString DayMarkInfo::tooltip() const
{
    QString hint = SpecialText;
    if (!TaskNames.isEmpty()) {
        if (!hint.isEmpty())
            hint.append(QLatin1Char('\n'));
        hint.append(TaskNames);
    }
    return hint;
}

const DayMarkInfo& MonthDayInfo::day(int d) const
{
    static const DayMarkInfo none;
    return d >= 1 && d <= 31 ? days.at(d - 1) : none;
}

void ComputeMonthMarks(MonthDayInfo& info, const QDate& calendarDate, const TSortGrid& tasks, const TSortGrid& diary,
                       const TSortGrid& special)
{
    info = MonthDayInfo();
    if (!calendarDate.isValid())
        return;
    info.year = calendarDate.year();
    info.month = calendarDate.month();
    const int length = calendarDate.daysInMonth();

    // Days of the month that have an entry, from one walk over the diary.
    std::array<bool, 32> hasEntry{};
    for (int row = 0; row < diary.rowCount(); ++row) {
        const QDate date = diaryRowDate(diary, row);
        if (date.isValid() && date.year() == info.year && date.month() == info.month &&
            !diary.cell(row, diaryText).isEmpty())
            hasEntry[date.day()] = true;
    }

    const QList<SpecialRule> rules = specialRules(special);
    QStringList names;
    for (int d = 1; d <= length; ++d) {
        const bool isSpecial = SpecialDaysFor(rules, QDate(info.year, info.month, d), names);
        DayMarkInfo& day = info.day(d);
        day.SpecialText = names.join(QStringLiteral("\r\n"));
        day.Mark = (isSpecial ? DayMarkInfo::Special : 0) | (hasEntry[d] ? DayMarkInfo::Diary : 0);
    }
    ComputeTaskMarks(info, calendarDate, tasks);
}

void ComputeTaskMarks(MonthDayInfo& info, const QDate& calendarDate, const TSortGrid& tasks)
{
    for (DayMarkInfo& day : info.days) {
        day.HasTasks = false;
        day.TaskNames.clear();
    }
    if (!calendarDate.isValid())
        return;
    const QDate firstDate(calendarDate.year(), calendarDate.month(), 1);
    const double first = dayNumber(firstDate);
    const double last = first + calendarDate.daysInMonth() - 1;
    const QList<QString>& rows = tasks.rows();
    for (qsizetype r = 0; r < rows.size(); ++r) {
        TSortGrid::fetchAhead(rows, r);
        const QString& row = rows[r];
        // Completion, name and due date are the first three cells: one scan finds them.
        const qsizetype completeEnd = TSortGrid::nextSeparator(row, 0);
        if (completeEnd < 0 || isCompleted(QStringView(row).first(completeEnd)))
            continue;
        const qsizetype nameEnd = TSortGrid::nextSeparator(row, completeEnd + 1);
        if (nameEnd < 0)
            continue;
        const qsizetype dueEnd = TSortGrid::nextSeparator(row, nameEnd + 1);
        const QStringView dueCell =
            QStringView(row).sliced(nameEnd + 1, (dueEnd < 0 ? row.size() : dueEnd) - nameEnd - 1);
        // The digits tell the day without reading the number, or at least that it lies in another month.
        qint64 whole = 0;
        bool exact = false;
        const bool plain = wholeDayOf(dueCell, &whole, &exact);
        if (plain && (double(whole) + (exact ? 0 : 1) < first || double(whole) > last))
            continue;
        const double due = plain && exact ? double(whole) : std::floor(dueDayNumber(dueCell));
        if (due < first || due > last)
            continue;
        DayMarkInfo& day = info.day(int(due - first) + 1);
        day.HasTasks = true;
        if (!day.TaskNames.isEmpty())
            day.TaskNames.append(QLatin1Char('\n'));
        day.TaskNames.append(QStringView(row).sliced(completeEnd + 1, nameEnd - completeEnd - 1));
    }
}

QSize markImageSize(MarkImage image)
{
    switch (image) {
    case MarkImage::Task:
        return {10, 6};
    case MarkImage::Day:
        return {9, 9};
    case MarkImage::Leaf:
        return {9, 7};
    case MarkImage::BothDay:
        return {19, 9};
    }
    return {};
}

QList<MarkPlacement> markPlacements(const DayMarkInfo& info, const QRect& cell)
{
    // Right and bottom are the first pixel outside the cell, as the image offsets count from them.
    const int right = cell.x() + cell.width();
    const int bottom = cell.y() + cell.height();
    QList<MarkPlacement> placements;
    if (info.HasTasks) {
        const QSize size = markImageSize(MarkImage::Task);
        placements.append({MarkImage::Task, QRect(QPoint(right - size.width(), bottom - size.height()), size)});
    }
    const auto place = [&](MarkImage image, int leftOffset) {
        placements.append({image, QRect(QPoint(right - leftOffset, cell.y()), markImageSize(image))});
    };
    switch (info.Mark) {
    case DayMarkInfo::Special:
        place(MarkImage::Day, 17);
        break;
    case DayMarkInfo::Diary:
        place(MarkImage::Leaf, 10);
        break;
    case DayMarkInfo::Both:
        place(MarkImage::BothDay, 19);
        break;
    default:
        break;
    }
    return placements;
}
