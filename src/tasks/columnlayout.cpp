#include "tasks/columnlayout.h"

#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/sortgrid.h"
#include "core/tasktable.h"
#include "tasks/tasksort.h"

#include <algorithm>
#include <cmath>

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

QString displayCellText(QStringView rowText, int displayColumn)
{
    switch (displayColumn) {
    case 0:
        return completionText(TSortGrid::cellOf(rowText, colComplete));
    case 2: {
        const double due = dueDayNumber(TSortGrid::cellOf(rowText, colDue));
        return std::floor(due) == NoDueDate ? QString() : shortDateText(dateOfDayNumber(due));
    }
    case 6: {
        const double due = dueDayNumber(TSortGrid::cellOf(rowText, colDue));
        return due - std::floor(due) == 0.0 ? QString() : shortTimeText(timeOfDayNumber(due));
    }
    default: {
        const int tableColumn = displayTableColumn(displayColumn);
        return tableColumn < 0 ? QString() : shownText(TSortGrid::cellOf(rowText, tableColumn));
    }
    }
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
