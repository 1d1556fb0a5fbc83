#pragma once

#include <QHeaderView>

class TaskView;
class TaskListModel;

// The task list's header: captions (bold while the view is filtered on the column) and the marks
// of the active sort, the 3-level keys numbered in blue.
class TaskHeader final : public QHeaderView {
    Q_OBJECT
public:
    TaskHeader(const TaskView& view, const TaskListModel& model, QWidget* parent = nullptr);

    bool displaySortMarks() const { return m_displaySortMarks; }
    void setDisplaySortMarks(bool on) { m_displaySortMarks = on; }

    // The small arrow of a sort mark.
    static QPixmap sortImage(bool ascending);
    // The width that shows a section's caption whole, bold and with a sort mark beside it.
    int captionWidth(int logicalIndex) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    const TaskView& m_view;
    const TaskListModel& m_model;
    bool m_displaySortMarks = true;
};
