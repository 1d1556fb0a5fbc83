#include "log/tasklogmodel.h"

#include "core/applanguage.h"
#include "log/tasklog.h"

TaskLogModel::TaskLogModel(const TSortGrid& log, QObject* parent) : QAbstractTableModel(parent), m_log(log) {}

void TaskLogModel::reload()
{
    beginResetModel();
    endResetModel();
}

int TaskLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(0, m_log.rowCount() - 1);
}

int TaskLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : TaskLog::DisplayColumnCount;
}

QVariant TaskLogModel::data(const QModelIndex& index, int role) const
{
    // The table may have been replaced while the list was not looking (a data set opened).
    if (!index.isValid() || role != Qt::DisplayRole || tableRow(index.row()) >= m_log.rowCount())
        return {};
    return TaskLog::displayText(m_log, tableRow(index.row()), index.column());
}

QVariant TaskLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < TaskLog::DisplayColumnCount)
        return LanguageString(TaskLog::headerString(section));
    return QAbstractTableModel::headerData(section, orientation, role);
}
