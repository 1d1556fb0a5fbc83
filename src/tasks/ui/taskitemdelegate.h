#pragma once

#include <QColor>
#include <QFont>
#include <QStyledItemDelegate>

class SettingsStore;
class TaskView;
class TaskListModel;

// How the task list is drawn, read from the settings.
struct TaskListStyle {
    QFont font;
    QColor lowColor;
    QColor mediumColor;
    QColor highColor;
    QColor otherColor;
    QColor overdueColor;
    QColor cursorColor;
    bool defaultCursor = true;
    bool overdue = true;
    bool notesMarks = true;
    bool horizLines = true;
    bool verticalLines = true;

    static TaskListStyle fromSettings(const SettingsStore& settings);
};

// Paints every cell of the task list from its MirrorGrid row: priority and overdue colours,
// completed tasks struck out with a red check mark, the notes, attachment, recurrence and alarm marks.
class TaskItemDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    TaskItemDelegate(TaskView& view, const TaskListModel& model, QObject* parent = nullptr);

    const TaskListStyle& style() const { return m_style; }
    void setStyle(const TaskListStyle& style) { m_style = style; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The small mark images, drawn once.
    enum class Mark { Leaf, Attach, Recurrence, Alarm };
    static const QPixmap& markImage(Mark mark);

private:
    TaskView& m_view;
    const TaskListModel& m_model;
    TaskListStyle m_style;
};
