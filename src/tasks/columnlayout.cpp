#include "tasks/columnlayout.h"

#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/sortgrid.h"
#include "core/tasktable.h"
#include "tasks/tasksort.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <vector>

int displayColumnMinWidth(int displayColumn)
{
    return displayColumn == 0 ? 25 : 15;
}

int displayTableColumn(int displayColumn)
{
    switch (displayColumn) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
        return displayColumn;
    case 5:
    case 7:
        return colAssignee;
    case 6:
        return colDue;
    default:
        return -1;
    }
}

int displaySortColumn(int displayColumn)
{
    if (displayColumn == 7)
        return sortAssignee;
    return displayColumn >= 0 && displayColumn < SortColumnCount ? displayColumn : NoSortKey;
}

QString displayColumnCaption(int displayColumn)
{
    switch (displayColumn) {
    case 1:
        return QStringLiteral("Task name");
    case 2:
        return QStringLiteral("Due date");
    case 3:
        return QStringLiteral("Project");
    case 4:
        return QStringLiteral("Priority");
    case 5:
    case 7:
        return QStringLiteral("Assign");
    case 6:
        return QStringLiteral("Time");
    default:
        return {};
    }
}

ColumnLayout LoadColumnLayout(const SettingsStore& settings)
{
    ColumnLayout layout;
    layout.ColumnMap = {0, 1, NoDisplayColumn, NoDisplayColumn, NoDisplayColumn, NoDisplayColumn, NoDisplayColumn};
    layout.count = 2;
    int next = 2;
    for (int i = 2; i <= 6; ++i) {
        const QString key = QString::number(i);
        if (!settings.readBool(Settings::VisibleColumns, key, true))
            continue;
        ++layout.count;
        const int v = settings.readInteger(Settings::ColumnsOrder, key, -2);
        if (v == -2) {
            layout.ColumnMap = {0, 1, 2, 3, 4, 5, 6};
            layout.count = MaxViewColumns;
            break;
        }
        // A stored number that names no column would draw nothing; it shows nothing instead.
        layout.ColumnMap[size_t(next++)] = (v >= 2 && v <= 7) ? v : NoDisplayColumn;
    }
    return layout;
}

QList<int> LoadColumnWidths(const SettingsStore& settings, const ColumnLayout& layout)
{
    QList<int> widths(layout.count);
    widths[0] = CompletionViewWidth;
    for (int i = 1; i < layout.count; ++i) {
        const int minimum = displayColumnMinWidth(layout.ColumnMap[size_t(i)]);
        widths[i] = settings.readInteger(Settings::Columns, QString::number(i), minimum);
        // A negative or absurd stored width would hide the column for good.
        if (widths[i] < minimum)
            widths[i] = minimum;
    }
    return widths;
}

void SaveColumnWidths(SettingsStore& settings, const QList<int>& viewWidths)
{
    SettingsStore::Batch batch(settings);
    for (int i = 1; i < viewWidths.size(); ++i)
        settings.writeInteger(Settings::Columns, QString::number(i), viewWidths[i]);
}

int constrainedColumnWidth(int displayColumn, int width)
{
    return std::max(width, displayColumnMinWidth(displayColumn));
}

QString shownText(QStringView cell)
{
    qsizetype end = std::min<qsizetype>(cell.size(), ShownTextLimit);
    for (qsizetype i = 0; i < end; ++i) {
        if (cell[i] == u'\r' || cell[i] == u'\n') {
            end = i;
            break;
        }
    }
    return cell.left(end).toString();
}

QString completionText(QStringView completeCell)
{
    if (isCompleted(completeCell))
        return {};
    const int percent = std::clamp(percentComplete(completeCell), 0, 100);
    return percent == 0 ? QString() : QString::number(percent) + u'%';
}

QString displayCellTextOf(QStringView cell, int displayColumn)
{
    switch (displayColumn) {
    case 0:
        return completionText(cell);
    case 2: {
        const double due = dueDayNumber(cell);
        return std::floor(due) == NoDueDate ? QString() : shortDateText(dateOfDayNumber(due));
    }
    case 6: {
        const double due = dueDayNumber(cell);
        return due - std::floor(due) == 0.0 ? QString() : shortTimeText(timeOfDayNumber(due));
    }
    default:
        return displayTableColumn(displayColumn) < 0 ? QString() : shownText(cell);
    }
}

QString displayCellText(QStringView rowText, int displayColumn)
{
    const int tableColumn = displayTableColumn(displayColumn);
    return tableColumn < 0 ? QString() : displayCellTextOf(TSortGrid::cellOf(rowText, tableColumn), displayColumn);
}

int measuredColumnWidth(const TSortGrid& grid, int displayColumn, const std::function<int(const QString&)>& measure)
{
    int widest = 0;
    for (int r = 0; r < grid.rowCount(); ++r) {
        const QString text = displayCellText(grid.rowText(r), displayColumn);
        if (!text.isEmpty())
            widest = std::max(widest, CellTextIndent + measure(text));
    }
    return widest + 1;
}

void WidestCount::reset()
{
    m_widest = 0;
    m_count = 0;
    m_known = true;
}

void WidestCount::add(int width, int times)
{
    if (width > m_widest) {
        m_widest = width;
        m_count = times;
    } else if (width == m_widest) {
        m_count += times;
    }
}

void WidestCount::remove(int width)
{
    if (width == m_widest && width > 0 && --m_count <= 0)
        m_known = false;
}

int measuredCellWidth(QStringView cell, int displayColumn, const std::function<int(const QString&)>& measure)
{
    const QString text = displayCellTextOf(cell, displayColumn);
    return text.isEmpty() ? 0 : CellTextIndent + measure(text);
}

QList<WidestCount> measuredColumnWidths(const QList<QString>& rows, const QList<int>& displayColumns,
                                        const std::function<int(const QString&)>& measure)
{
    const qsizetype count = displayColumns.size();
    QList<int> tableColumns;
    for (const int display : displayColumns)
        tableColumns.append(displayTableColumn(display));
    const int last = tableColumns.isEmpty() ? -1 : *std::max_element(tableColumns.cbegin(), tableColumns.cend());
    // A column repeats few texts: rows are counted per distinct cell, and each is measured once.
    std::vector<QHash<QStringView, int>> seen(static_cast<size_t>(count));
    std::vector<QStringView> cells(static_cast<size_t>(std::max(last, 0)) + 1);
    for (const QString& rowText : rows) {
        // One walk along the row finds every cell needed: the assignee lies behind the notes.
        const QStringView row(rowText);
        qsizetype start = 0;
        for (int c = 0; c <= last; ++c) {
            if (start > row.size()) {
                cells[size_t(c)] = {};
                continue;
            }
            qsizetype end = TSortGrid::nextSeparator(row, start);
            if (end < 0)
                end = row.size();
            cells[size_t(c)] = row.sliced(start, end - start);
            start = end + 1;
        }
        for (qsizetype k = 0; k < count; ++k) {
            if (tableColumns[k] >= 0)
                ++seen[size_t(k)][cells[size_t(tableColumns[k])]];
        }
    }
    QList<WidestCount> widest(count);
    for (qsizetype k = 0; k < count; ++k) {
        widest[k].reset();
        const QHash<QStringView, int>& known = seen[size_t(k)];
        for (auto it = known.cbegin(); it != known.cend(); ++it)
            widest[k].add(measuredCellWidth(it.key(), displayColumns[k], measure), it.value());
    }
    return widest;
}

int TextWidthCache::width(const QString& text, const std::function<int(const QString&)>& measure)
{
    const auto found = m_widths.constFind(text);
    if (found != m_widths.cend())
        return *found;
    // Unique texts (notes-like assignee names, a huge imported table) must not grow it forever.
    if (m_widths.size() >= 50000)
        m_widths.clear();
    const int measured = measure(text);
    m_widths.insert(text, measured);
    return measured;
}

QList<int> autosizeColumnWidths(const ColumnLayout& layout, const AutosizeInput& input)
{
    QList<int> widths(layout.count, 0);
    int sum = 0;
    int nameColumn = -1;
    for (int i = 0; i < layout.count; ++i) {
        const int m = layout.ColumnMap[size_t(i)];
        if (m == 1) {
            nameColumn = i;
            continue;
        }
        if (m == NoDisplayColumn)
            continue;
        int content = 0;
        if (m == 2) {
            content = input.dueDateWidth;
        } else if (m == 6) {
            content = input.dueTimeWidth;
        } else {
            const int tableColumn = displayTableColumn(m);
            content = input.tableColumnWidths.value(tableColumn, 0);
        }
        widths[i] = std::max({content, displayColumnMinWidth(m), input.captionWidths.value(i, 0)});
        sum += widths[i];
    }
    if (nameColumn >= 0) {
        const int vl = input.verticalLines ? 1 : 0;
        const int left = input.viewWidth - (input.frameWidth + sum + 3 + vl) - input.scrollBarWidth;
        widths[nameColumn] = left < 0 ? displayColumnMinWidth(1) : left;
    }
    return widths;
}
