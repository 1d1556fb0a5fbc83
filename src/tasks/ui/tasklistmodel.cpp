#include "tasks/ui/tasklistmodel.h"

#include "core/tasktable.h"
#include "tasks/taskview.h"

TaskListModel::TaskListModel(TaskView& view, QObject* parent) : QAbstractTableModel(parent), m_view(view) {}

int TaskListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_view.isEmptyView() ? 0 : m_view.MirrorGrid.rowCount();
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
    const QString& rowText = m_view.MirrorGrid.rowText(index.row());
    const int display = m_layout.displayColumn(index.column());
    if (display == 0 && isCompleted(TSortGrid::cellOf(rowText, colComplete)))
        return QString(QChar(0x2714));
    return displayCellText(rowText, display);
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

void TaskListModel::rowsUpdated(const QList<int>& rows)
{
    for (const int row : rows)
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}
