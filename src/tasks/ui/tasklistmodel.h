#pragma once

#include "tasks/columnlayout.h"

#include <QAbstractTableModel>

class TaskView;

// The rows of MirrorGrid as the list shows them: one row per MirrorGrid row, one column per view
// column; no row at all while the view has no task (MirrorGrid then keeps one empty row). The
// delegate draws the cells; the texts here serve accessibility and copying.
class TaskListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TaskListModel(TaskView& view, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const ColumnLayout& columnLayout() const { return m_layout; }
    void setColumnLayout(const ColumnLayout& layout);
    // MirrorGrid was rebuilt: the rows are read afresh.
    void reload();
    // The texts of these rows changed; their number and every other row stayed.
    void rowsUpdated(const QList<int>& rows);

private:
    TaskView& m_view;
    ColumnLayout m_layout;
};
