#pragma once

#include <QListWidget>

// A list of ticked entries whose order the user sets: "Move up", "Move down" and dragging an entry
// onto another of the same list. Each move keeps the entry's tick and selection.
class TOrderedCheckList final : public QListWidget {
    Q_OBJECT
public:
    explicit TOrderedCheckList(QWidget* parent = nullptr);

    // Adds an entry at the end; `data` identifies it for the owner.
    void addEntry(const QString& text, const QVariant& data, bool checked);
    // The entries' data and ticks in list order.
    QList<QVariant> entryData() const;
    QList<bool> entryChecks() const;

    void moveUp();
    void moveDown();
    // Moves the entry to the position, selected afterwards.
    void moveEntry(int from, int to);

Q_SIGNALS:
    // An entry was moved or its tick changed by the user.
    void entriesChanged();

protected:
    void dropEvent(QDropEvent* event) override;

private:
    bool m_filling = false;
};
