#include "tasks/findresultmodel.h"

#include "core/applanguage.h"

void FindResultModel::setHits(QList<Find::Hit> hits)
{
    beginResetModel();
    m_hits = std::move(hits);
    m_searched = true;
    endResetModel();
}

void FindResultModel::clear()
{
    beginResetModel();
    m_hits.clear();
    m_searched = false;
    endResetModel();
}

const Find::Hit* FindResultModel::hitAt(int row) const
{
    return row >= 0 && row < m_hits.size() ? &m_hits.at(row) : nullptr;
}

int FindResultModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_searched ? std::max(1, int(m_hits.size())) : 0;
}

int FindResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant FindResultModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const Find::Hit* hit = hitAt(index.row());
    if (hit == nullptr)
        return QString();
    switch (index.column()) {
    case 0:
        return Find::placeText(hit->place);
    case 1:
        return hit->name;
    case 2:
        return hit->text;
    }
    return {};
}

QVariant FindResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2)
        return QAbstractTableModel::headerData(section, orientation, role);
    static constexpr int strings[] = {810, 569, 811};
    return LanguageString(strings[section]);
}
