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

    // The height of a row: the font's full line (the letters reaching highest and lowest
    // included) and, with horizontal grid lines, room for the line.
    static int rowHeight(const QFont& font, bool horizLines);
    // Where a cell's text is laid out: one line of the font, the same in every column, vertically
    // centred in the room the grid line leaves.
    static QRect textRect(const QRect& cell, const QFontMetrics& metrics, bool horizLines);
    // The red check mark of a completed task: its bold font (14 points, smaller when the row is
    // lower than the mark), where it is drawn and the rectangle its ink covers.
    struct CheckGlyph {
        QFont font;
        QPointF baseline;
        QRectF ink;
    };
    static CheckGlyph checkGlyph(const QFont& listFont, const QRect& cell, bool horizLines);

private:
    TaskView& m_view;
    const TaskListModel& m_model;
    TaskListStyle m_style;
};
