#include "exchange/ui/importpreviewmodel.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>

void ImportPreviewModel::setGrid(TSortGrid grid)
{
    beginResetModel();
    m_grid = std::move(grid);
    endResetModel();
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_grid.rowCount();
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_grid.colCount();
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_grid.rowCount() || index.column() >= m_grid.colCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_grid.cellText(index.row(), index.column());
    case Qt::FontRole:
        if (index.row() == 0) {
            QFont font;
            font.setBold(true);
            return font;
        }
        break;
    case Qt::BackgroundRole:
        // The first line is drawn like a fixed title row.
        if (index.row() == 0)
            return QGuiApplication::palette().button();
        break;
    default:
        break;
    }
    return {};
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return {};
    // Columns by the number the pairing uses, rows by the line number the first data row names.
    return orientation == Qt::Horizontal ? QString::number(section) : QString::number(section + 1);
}
