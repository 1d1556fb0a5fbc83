#pragma once

#include "core/sortgrid.h"

#include <QAbstractTableModel>

// The file to import as a table: one row per file line, the first line drawn as titles. The
// view asks only for the cells it shows, so a file of a hundred thousand lines opens at once.
class ImportPreviewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ImportPreviewModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setGrid(TSortGrid grid);
    const TSortGrid& grid() const { return m_grid; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    TSortGrid m_grid;
};
