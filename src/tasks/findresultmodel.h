#pragma once

#include "tasks/find.h"

#include <QAbstractTableModel>
#include <QList>

// The find window's result list: location, name or date, text. After a search without hits it
// shows one empty row under the header; before any search it is empty.
class FindResultModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setHits(QList<Find::Hit> hits);
    void clear();

    const QList<Find::Hit>& hits() const { return m_hits; }
    // The hit shown in a row, null for the empty row.
    const Find::Hit* hitAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<Find::Hit> m_hits;
    bool m_searched = false;
};
