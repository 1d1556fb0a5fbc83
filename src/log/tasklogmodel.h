#pragma once

#include "core/sortgrid.h"

#include <QAbstractTableModel>

// The log list (`LogGrid`) over the log table, read in place: list row i shows entry row i + 1 of
// the table (its row 0 is the header, which the list shows as its header). Call reload() after the
// table changed.
class TaskLogModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TaskLogModel(const TSortGrid& log, QObject* parent = nullptr);

    void reload();
    // The log table's row of a list row and back.
    static int tableRow(int listRow) { return listRow + 1; }
    static int listRow(int tableRow) { return tableRow - 1; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const TSortGrid& m_log;
};
