#include "tasks/taskview.h"

#include "core/clock.h"
#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "tasks/tasksort.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

QString nameKey(QStringView name)
{
    return QLocale().toUpper(name.toString());
}

QStringList nameKeys(const QStringList& names)
{
    QStringList keys;
    keys.reserve(names.size());
    for (const QString& name : names)
        keys.append(nameKey(name));
    return keys;
}

bool nameInKeys(QStringView name, const QStringList& keys)
{
    // Most rows fail or pass on the plain comparison; the locale's upper case only when needed.
    for (const QString& key : keys) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return keys.contains(nameKey(name));
}

// Rows copied from the task table share their text, so most pairs are told equal by address.
bool sameText(const QString& x, const QString& y)
{
    return x.size() == y.size() && (x.constData() == y.constData() || x == y);
}

// Whether the rows differ; when they differ only at a few positions, those positions.
bool changedRows(const QList<QString>& now, const QList<QString>& before, QList<int>* positions)
{
    positions->clear();
    if (now.size() != before.size())
        return true;
    // Beyond a few rows a reset of the list costs less than telling each row.
    constexpr qsizetype fewRows = 32;
    for (qsizetype r = 0; r < now.size(); ++r) {
        if (sameText(now[r], before[r]))
            continue;
        if (positions->size() == fewRows) {
            positions->clear();
            return true;
        }
        positions->append(int(r));
    }
    return !positions->isEmpty();
}

// The rows that left and joined between two filter results, when they differ by a few rows or by
// one row that moved (an edited task is stored at the top of the table). False otherwise.
bool rowDifference(const RowRefs& before, const QList<QString>& now, QList<QString>* removed, QList<QString>* added)
{
    removed->clear();
    added->clear();
    qsizetype head = 0;
    while (head < qsizetype(before.size()) && head < now.size() && sameText(*before[size_t(head)], now[head]))
        ++head;
    qsizetype tail = 0;
    while (tail < qsizetype(before.size()) - head && tail < now.size() - head &&
           sameText(*before[before.size() - 1 - size_t(tail)], now[now.size() - 1 - tail]))
        ++tail;
    const qsizetype gone = qsizetype(before.size()) - head - tail;
    const qsizetype come = now.size() - head - tail;
    constexpr qsizetype fewRows = 8;
    if (gone <= fewRows && come <= fewRows) {
        for (qsizetype r = head; r < head + gone; ++r)
            removed->append(*before[size_t(r)]);
        for (qsizetype r = head; r < head + come; ++r)
            added->append(now[r]);
        return true;
    }
    if (gone != come)
        return false;
    // The same rows shifted by one, but for the one that left at one end and the one that came at
    // the other.
    bool shiftedUp = true;
    bool shiftedDown = true;
    for (qsizetype r = head; r + 1 < head + gone && (shiftedUp || shiftedDown); ++r) {
        shiftedUp = shiftedUp && sameText(*before[size_t(r + 1)], now[r]);
        shiftedDown = shiftedDown && sameText(*before[size_t(r)], now[r + 1]);
    }
    if (shiftedUp) {
        removed->append(*before[size_t(head)]);
        added->append(now[head + gone - 1]);
        return true;
    }
    if (shiftedDown) {
        removed->append(*before[size_t(head + gone - 1)]);
        added->append(now[head]);
        return true;
    }
    return false;
}

// Whether two row lists hold, row by row, the same cells in the given columns.
bool sameCells(const QList<QString>& a, const RowRefs& b, const QList<int>& columns)
{
    if (a.size() != qsizetype(b.size()))
        return false;
    for (qsizetype r = 0; r < a.size(); ++r) {
        const QString& other = *b[size_t(r)];
        if (TSortGrid::sameString(a[r], other))
            continue;
        for (const int column : columns) {
            if (TSortGrid::cellOf(a[r], column) != TSortGrid::cellOf(other, column))
                return false;
        }
    }
    return true;
}

int positiveMod(int value, int divisor)
{
    return ((value % divisor) + divisor) % divisor;
}

bool validSortKey(int key)
{
    return key >= NoSortKey && key < SortColumnCount;
}

} // namespace

TaskView::TaskView(TSortGrid& mainGrid) : MainGrid(mainGrid), MirrorGrid(TaskColumnCount, 1) {}

void TaskView::setCurrentRow(int row)
{
    m_currentRow = std::clamp(row, 0, MirrorGrid.rowCount() - 1);
    MirrorGrid.setCurrentRow(m_currentRow);
}

void TaskView::FilterTasks(TSortGrid& target, const QStringList& projects, double limit, const QStringList& assignees)
{
    const QStringList projectKeys = nameKeys(projects);
    const QStringList assigneeKeys = nameKeys(assignees);
    const bool sameShape = target.colCount() == MainGrid.colCount();
    const QList<QString>& rows = MainGrid.rows();
    QList<QString> passing;
    passing.reserve(rows.size());
    // The filter's walk also looks for blank rows: a second walk along 100,000 rows costs as much
    // as the filtering. They are rare; when one turns up, the table is cleaned and filtered anew.
    const auto passes = [&](const QString& rowText) {
        if (!ShowCompleted && isCompleted(TSortGrid::cellOf(rowText, colComplete)))
            return false;
        if (!projectKeys.isEmpty() && !nameInKeys(TSortGrid::cellOf(rowText, colProject), projectKeys))
            return false;
        if (!assigneeKeys.isEmpty() && !nameInKeys(TSortGrid::cellOf(rowText, colAssignee), assigneeKeys))
            return false;
        if (limit == DeadlineRecurringOnly)
            return TSortGrid::cellOf(rowText, colRecurrence).toInt() != 0;
        if (limit < DeadlineNoDueDate)
            return std::floor(dueDayNumber(TSortGrid::cellOf(rowText, colDue))) <= limit;
        if (limit == DeadlineNoDueDate)
            return std::floor(dueDayNumber(TSortGrid::cellOf(rowText, colDue))) >= DeadlineNoDueDate;
        return true;
    };
    bool blankFound = false;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        TSortGrid::fetchAhead(rows, r);
        const QString& rowText = rows[r];
        if (isBlankTaskRow(rowText)) {
            blankFound = true;
            break;
        }
        if (passes(rowText))
            passing.append(rowText);
    }
    if (blankFound) {
        RemoveBlankRows(MainGrid);
        passing.clear();
        for (const QString& rowText : MainGrid.rows()) {
            if (passes(rowText))
                passing.append(rowText);
        }
    }
    // The rows go in at the top one by one, so they end up in reverse table order.
    std::reverse(passing.begin(), passing.end());

    target.clear();
    if (passing.isEmpty())
        return;
    if (sameShape) {
        target.rows() = std::move(passing);
    } else {
        target.setRowCount(int(passing.size()));
        for (int r = 0; r < passing.size(); ++r) {
            QStringList cells;
            for (int c = 0; c < MainGrid.colCount(); ++c)
                cells.append(TSortGrid::cellOf(passing[r], c).toString());
            target.setRow(r, cells);
        }
    }
    // Without a blank row in the table there is none among the rows taken from it.
    if (blankFound)
        RemoveBlankRows(target);
}

double TaskView::deadlineLimitFor(int rule, const QDate& today, int weekStart)
{
    const double todayNumber = dayNumber(today);
    // Day of the week counted 1 = Sunday .. 7 = Saturday.
    const int dow = today.dayOfWeek() % 7 + 1;
    const int daysToWeekEnd = positiveMod(positiveMod(weekStart, 7) + 7 - dow, 7);
    switch (rule) {
    case ruleNoDueDate:
        return DeadlineNoDueDate;
    case ruleToday:
        return todayNumber;
    case ruleTomorrow:
        return todayNumber + 1;
    case ruleThisWeek:
        return todayNumber + daysToWeekEnd;
    case ruleNextWeek:
        return todayNumber + daysToWeekEnd + 7;
    case ruleThisMonth:
        return dayNumber(QDate(today.year(), today.month(), 1).addMonths(1).addDays(-1));
    case ruleRecurring:
        return DeadlineRecurringOnly;
    default:
        return DeadlineAllDates;
    }
}

void TaskView::SetDeadlineFilter(int rule, int weekStart)
{
    DeadlineRuleTag = (rule >= 0 && rule < DeadlineRuleCount) ? rule : ruleAllDates;
    DeadlineLimit = deadlineLimitFor(DeadlineRuleTag, Clock::current().today(), weekStart);
}

void TaskView::SetDeadlineFilter(int rule, const SettingsStore& settings)
{
    SetDeadlineFilter(rule, settings.readInteger(Settings::Calendar, Settings::WeekStart, 0));
}

RebuildResult TaskView::RebuildView(bool moveEditedToTop, const std::function<void()>& tableFinal)
{
    if (CommitPreviewNotes)
        CommitPreviewNotes();
    Rebuilding = true;
    const QList<QString> before = MirrorGrid.rows();
    const bool wasEmpty = isEmptyView();
    const RowRefs lastInput = lastSortInput(before);
    FilterTasks(MirrorGrid, ProjectFilter, DeadlineLimit, AssigneeFilter);
    if (tableFinal)
        tableFinal();
    RebuildResult result;
    result.rowDiffKnown =
        !lastInput.empty() && rowDifference(lastInput, MirrorGrid.rows(), &result.removedRows, &result.addedRows);
    // Before the sort: the rows still lie in the order they were read, which a walk along
    // 100,000 of them feels in cache misses.
    measureDueWidths(result);
    sortMirror(lastInput);
    m_movedToTop = -1;
    Rebuilding = false;

    result.filtered = isFiltered();
    result.taskCount = isEmptyView() ? 0 : MirrorGrid.rowCount();

    int row = m_currentRow;
    if (moveEditedToTop) {
        // The stored task is the first row whose first eight cells equal those of MainGrid's row 0:
        // a row that starts with those cells followed by a cell end.
        const QString& edited = MainGrid.rowText(0);
        qsizetype headLength = 0;
        for (int separators = 0; headLength < edited.size(); ++headLength) {
            if (edited[headLength] == TSortGrid::CellSeparator && ++separators == 8)
                break;
        }
        const QStringView head = QStringView(edited).left(headLength);
        for (int r = 0; r < MirrorGrid.rowCount(); ++r) {
            const QString& candidate = MirrorGrid.rowText(r);
            if (candidate.startsWith(head) &&
                (candidate.size() == headLength || candidate[headLength] == TSortGrid::CellSeparator)) {
                MirrorGrid.MoveRow(r, 0);
                m_movedToTop = r;
                row = 0;
                break;
            }
        }
    }
    setCurrentRow(row);
    result.currentRow = m_currentRow;
    result.rowsChanged = changedRows(MirrorGrid.rows(), before, &result.changedRows);
    if (wasEmpty || isEmptyView())
        result.changedRows.clear();
    // The rows of a table read before (of another data set, say) may have left the view only now.
    TSortGrid::releaseUnusedRows();
    return result;
}

void TaskView::invalidateMeasures()
{
    m_dueDates = {};
    m_dueTimes = {};
}

void TaskView::measureDueWidths(const RebuildResult& result)
{
    if (!measureText) {
        DueDateWidth = 0;
        DueTimeWidth = 0;
        return;
    }
    const auto dateWidth = [this](double due) {
        return std::floor(due) == NoDueDate ? 0 : measureText(shortDateText(dateOfDayNumber(due))) + 6;
    };
    const auto timeWidth = [this](double due) {
        return due - std::floor(due) == 0.0 ? 0 : measureText(shortTimeText(timeOfDayNumber(due))) + 6;
    };
    if (result.rowDiffKnown && m_dueDates.known() && m_dueTimes.known()) {
        for (const QString& row : result.removedRows) {
            const double due = dueDayNumber(TSortGrid::cellOf(row, colDue));
            m_dueDates.remove(dateWidth(due));
            m_dueTimes.remove(timeWidth(due));
        }
        for (const QString& row : result.addedRows) {
            const double due = dueDayNumber(TSortGrid::cellOf(row, colDue));
            m_dueDates.add(dateWidth(due));
            m_dueTimes.add(timeWidth(due));
        }
    }
    if (!m_dueDates.known() || !m_dueTimes.known() || !result.rowDiffKnown) {
        // A table has far fewer distinct days and times than rows: measure each once.
        QHash<qint64, int> dateWidths;
        QHash<qint64, int> timeWidths;
        m_dueDates.reset();
        m_dueTimes.reset();
        for (const QString& row : MirrorGrid.rows()) {
            const double due = dueDayNumber(TSortGrid::cellOf(row, colDue));
            const qint64 day = qint64(std::floor(due));
            auto date = dateWidths.find(day);
            if (date == dateWidths.end())
                date = dateWidths.insert(day, dateWidth(due));
            m_dueDates.add(*date);
            const qint64 time = due - std::floor(due) == 0.0 ? -1 : timeOfDayNumber(due).msecsSinceStartOfDay();
            auto shown = timeWidths.find(time);
            if (shown == timeWidths.end())
                shown = timeWidths.insert(time, timeWidth(due));
            m_dueTimes.add(*shown);
        }
    }
    DueDateWidth = m_dueDates.widest();
    DueTimeWidth = m_dueTimes.widest();
}

RowRefs TaskView::lastSortInput(const QList<QString>& shown) const
{
    if (!m_sorted)
        return {};
    // Pointers, not copies: copying 100,000 rows would touch every row's text to count it.
    RowRefs rows(size_t(shown.size()), nullptr);
    for (size_t r = 0; r < rows.size(); ++r)
        rows[r] = &shown[qsizetype(r)];
    if (m_movedToTop > 0 && size_t(m_movedToTop) < rows.size())
        std::rotate(rows.begin(), rows.begin() + 1, rows.begin() + m_movedToTop + 1);
    if (m_sortOrder.empty())
        return rows;
    if (m_sortOrder.size() != rows.size())
        return {};
    RowRefs input(rows.size(), nullptr);
    for (size_t position = 0; position < m_sortOrder.size(); ++position)
        input[size_t(m_sortOrder[position])] = rows[position];
    return input;
}

void TaskView::sortMirror(const RowRefs& lastInput)
{
    const QList<int> spec = AdvancedSort ? QList<int>{1, PrimKey, PrimDir, SecKey, SecDir, TerKey, TerDir}
                                         : QList<int>{0, SortColumn, SortAscending};
    const QList<int> columns = AdvancedSort ? keySortColumns(PrimKey, SecKey, TerKey) : headerSortColumns(SortColumn);
    QList<QString>& rows = MirrorGrid.rows();
    // The kept keys belong to the last 3-level sort's input, which a header sort replaces.
    if (!AdvancedSort)
        m_sortKeys = {};
    if (!m_sorted || spec != m_sortSpec || !sameCells(rows, lastInput, columns)) {
        m_sortOrder = AdvancedSort ? SortOrderByKeys(rows, PrimKey, PrimDir, SecKey, SecDir, TerKey, TerDir,
                                                     m_sorted ? lastInput : RowRefs(), m_sortKeys)
                                   : SortOrderByColumn(rows, SortColumn, SortAscending);
        m_sortSpec = spec;
        m_sorted = true;
    }
    if (m_sortOrder.empty())
        return;
    // Moved, not copied: a copy would touch every row's text to count it, twice.
    QList<QString> input = std::move(rows);
    rows = QList<QString>();
    rows.reserve(input.size());
    for (const int index : m_sortOrder)
        rows.append(std::move(input[index]));
}

RebuildResult TaskView::HeaderSort(int sortColumn)
{
    AdvancedSort = false;
    if (sortColumn != SortColumn)
        SortAscending = true;
    else
        SortAscending = !SortAscending;
    SortColumn = sortColumn;
    RebuildResult result = RebuildView(false);
    setCurrentRow(0);
    result.currentRow = 0;
    return result;
}

bool TaskView::PerformAdvancedSort(RebuildResult* result)
{
    if (PrimKey == NoSortKey)
        return false;
    AdvancedSort = true;
    const RebuildResult rebuilt = RebuildView(false);
    if (result)
        *result = rebuilt;
    return true;
}

void TaskView::ShowAllTasks()
{
    ProjectFilter.clear();
    AssigneeFilter.clear();
    DeadlineLimit = DeadlineAllDates;
    DeadlineRuleTag = ruleAllDates;
}

bool TaskView::isFiltered() const
{
    return !ProjectFilter.isEmpty() || !AssigneeFilter.isEmpty() || DeadlineLimit != DeadlineAllDates;
}

bool TaskView::isEmptyView() const
{
    if (MirrorGrid.rowCount() != 1)
        return false;
    for (int c = 0; c <= 5; ++c) {
        if (!MirrorGrid.cell(0, c).isEmpty())
            return false;
    }
    return true;
}

bool TaskView::isCaptionBold(int displayColumn) const
{
    switch (displayColumn) {
    case 2:
        return DeadlineLimit != DeadlineAllDates;
    case 3:
        return !ProjectFilter.isEmpty();
    case 5:
    case 7:
        return !AssigneeFilter.isEmpty();
    default:
        return false;
    }
}

SortMark TaskView::sortMark(int displayColumn) const
{
    SortMark mark;
    const int s = displayColumn == 7 ? int(sortAssignee) : displayColumn;
    if (s < 0)
        return mark;
    if (AdvancedSort) {
        const int keys[3] = {PrimKey, SecKey, TerKey};
        const bool dirs[3] = {PrimDir, SecDir, TerDir};
        for (int k = 0; k < 3; ++k) {
            if (keys[k] == s) {
                mark.shown = true;
                mark.ascending = dirs[k];
                mark.text = QString::number(k + 1);
                break;
            }
        }
    } else if (s == SortColumn) {
        mark.shown = true;
        mark.ascending = SortAscending;
    }
    return mark;
}

QStringList TaskView::normalizedNames(QStringList names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::localeAwareCompare(nameKey(a), nameKey(b)) < 0;
    });
    QStringList result;
    QString lastKey;
    for (const QString& name : names) {
        const QString key = nameKey(name);
        if (!result.isEmpty() && key == lastKey)
            continue;
        result.append(name);
        lastKey = key;
    }
    return result;
}

void TaskView::loadState(const SettingsStore& settings)
{
    ProjectFilter = normalizedNames(settings.valueNames(Settings::FilterProject));
    AssigneeFilter = normalizedNames(settings.valueNames(Settings::FilterAssignee));
    SetDeadlineFilter(settings.readInteger(Settings::Filter, Settings::Date, ruleAllDates), settings);
    ShowCompleted = settings.readBool(Settings::Startup, Settings::ShowChecked, true);

    SortColumn = settings.readInteger(Settings::Sorting, Settings::Column, 1);
    // The time column is not kept between runs.
    if (SortColumn < 0 || SortColumn > 5)
        SortColumn = 1;
    SortAscending = settings.readBool(Settings::Sorting, Settings::Direction, true);
    AdvancedSort = settings.readBool(Settings::AdvSort, Settings::AdvancedSort, true);
    PrimKey = settings.readInteger(Settings::AdvSort, Settings::PrimKey, 3);
    SecKey = settings.readInteger(Settings::AdvSort, Settings::SecKey, 4);
    TerKey = settings.readInteger(Settings::AdvSort, Settings::TerKey, 2);
    // A key number that names no column counts as no key, so it can neither sort nor show.
    if (!validSortKey(PrimKey))
        PrimKey = NoSortKey;
    if (!validSortKey(SecKey))
        SecKey = NoSortKey;
    if (!validSortKey(TerKey))
        TerKey = NoSortKey;
    PrimDir = settings.readBool(Settings::AdvSort, Settings::PrimDir, true);
    SecDir = settings.readBool(Settings::AdvSort, Settings::SecDir, true);
    TerDir = settings.readBool(Settings::AdvSort, Settings::TerDir, true);
}

void TaskView::saveState(SettingsStore& settings) const
{
    SettingsStore::Batch batch(settings);
    settings.deleteSection(Settings::FilterProject);
    settings.deleteSection(Settings::FilterAssignee);
    for (const QString& name : ProjectFilter)
        settings.writeString(Settings::FilterProject, name, QString());
    for (const QString& name : AssigneeFilter)
        settings.writeString(Settings::FilterAssignee, name, QString());
    settings.writeInteger(Settings::Filter, Settings::Date, DeadlineRuleTag);
    settings.writeBool(Settings::Startup, Settings::ShowChecked, ShowCompleted);

    settings.writeInteger(Settings::Sorting, Settings::Column, SortColumn);
    settings.writeBool(Settings::Sorting, Settings::Direction, SortAscending);
    settings.writeBool(Settings::AdvSort, Settings::AdvancedSort, AdvancedSort);
    settings.writeInteger(Settings::AdvSort, Settings::PrimKey, PrimKey);
    settings.writeInteger(Settings::AdvSort, Settings::SecKey, SecKey);
    settings.writeInteger(Settings::AdvSort, Settings::TerKey, TerKey);
    settings.writeBool(Settings::AdvSort, Settings::PrimDir, PrimDir);
    settings.writeBool(Settings::AdvSort, Settings::SecDir, SecDir);
    settings.writeBool(Settings::AdvSort, Settings::TerDir, TerDir);
}
