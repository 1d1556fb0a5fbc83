#include "app/ui/orderedchecklist.h"

#include <QDropEvent>
#include <QScopedValueRollback>

TOrderedCheckList::TOrderedCheckList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    // Entries come only from this list: another list's entry would mean nothing here.
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    connect(this, &QListWidget::itemChanged, this, [this] {
        if (!m_filling)
            Q_EMIT entriesChanged();
    });
}

void TOrderedCheckList::addEntry(const QString& text, const QVariant& data, bool checked)
{
    const QScopedValueRollback filling(m_filling, true);
    auto* item = new QListWidgetItem(text, this);
    item->setData(Qt::UserRole, data);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QList<QVariant> TOrderedCheckList::entryData() const
{
    QList<QVariant> data;
    for (int i = 0; i < count(); ++i)
        data.append(item(i)->data(Qt::UserRole));
    return data;
}

QList<bool> TOrderedCheckList::entryChecks() const
{
    QList<bool> checks;
    for (int i = 0; i < count(); ++i)
        checks.append(item(i)->checkState() == Qt::Checked);
    return checks;
}

void TOrderedCheckList::moveUp()
{
    if (currentRow() > 0)
        moveEntry(currentRow(), currentRow() - 1);
}

void TOrderedCheckList::moveDown()
{
    if (currentRow() >= 0 && currentRow() < count() - 1)
        moveEntry(currentRow(), currentRow() + 1);
}

void TOrderedCheckList::moveEntry(int from, int to)
{
    if (from < 0 || from >= count() || to < 0 || to >= count() || from == to)
        return;
    {
        const QScopedValueRollback filling(m_filling, true);
        QListWidgetItem* moved = takeItem(from);
        insertItem(to, moved);
        setCurrentItem(moved);
    }
    Q_EMIT entriesChanged();
}

void TOrderedCheckList::dropEvent(QDropEvent* event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    // The dragged entry is the selected one (the last when none is); it takes the place of the
    // entry it is dropped on, or the last place below every entry.
    const int from = currentRow() >= 0 ? currentRow() : count() - 1;
    const QListWidgetItem* target = itemAt(event->position().toPoint());
    moveEntry(from, target != nullptr ? row(target) : count() - 1);
    // The move is done; the base class must not move or remove anything more.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}
