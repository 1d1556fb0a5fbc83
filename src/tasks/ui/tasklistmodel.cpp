#include "tasks/ui/tasklistmodel.h"

#include "core/daynumber.h"
#include "core/formatsettings.h"
#include "core/tasktable.h"
#include "tasks/taskview.h"

#include <cmath>

TaskListModel::TaskListModel(TaskView& view, QObject* parent) : QAbstractTableModel(parent), m_view(view) {}

int TaskListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_view.MirrorGrid.rowCount();
}

int TaskListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_layout.count;
}

QVariant TaskListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    return cellText(m_view.MirrorGrid.rowText(index.row()), m_layout.displayColumn(index.column()));
}

QVariant TaskListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_layout.count)
        return {};
    return displayColumnCaption(m_layout.displayColumn(section));
}

void TaskListModel::setColumnLayout(const ColumnLayout& layout)
{
    beginResetModel();
    m_layout = layout;
    endResetModel();
}

void TaskListModel::reload()
{
    beginResetModel();
    endResetModel();
}

QString TaskListModel::cellText(QStringView rowText, int displayColumn)
{
    switch (displayColumn) {
    case 0: {
        const QStringView complete = TSortGrid::cellOf(rowText, colComplete);
        if (isCompleted(complete))
            return QString(QChar(0x2714));
        if (complete.isEmpty() || complete == u"0")
            return {};
        return complete.toString() + u'%';
    }
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
        return tableColumn < 0 ? QString() : TSortGrid::cellOf(rowText, tableColumn).toString();
    }
    }
}
