#pragma once

#include "tasks/columnlayout.h"
#include "tasks/taskview.h"

#include <QFont>

#include <functional>
#include <QWidget>

class QTableView;
class SettingsStore;
class TaskHeader;
class TaskItemDelegate;
class TaskListModel;

// The task list: the view `ViewGrid` over MirrorGrid with its header. It reads its layout, font and
// colours from the settings and reports what the user does; the window runs the commands.
class TaskListWidget final : public QWidget {
    Q_OBJECT
public:
    TaskListWidget(TaskView& view, SettingsStore& settings, QWidget* parent = nullptr);
    ~TaskListWidget() override;

    QTableView* viewGrid() const { return m_viewGrid; }
    TaskHeader* header() const { return m_header; }
    TaskListModel* model() const { return m_model; }
    TaskItemDelegate* delegate() const { return m_delegate; }
    const RebuildResult& lastRebuild() const { return m_lastRebuild; }

    // Columns, widths, font, row height and colours from the settings (start-up, after Preferences).
    void loadSettings();
    // Font, colours, marks, grid lines and sort marks from the settings.
    void applyStyle();
    // The shown columns and their order from the settings; each column keeps its width.
    void applyColumns();
    // Writes the view's column widths back ("Columns").
    void saveColumnWidths();
    // RebuildView and the list shown afresh; the current row as the rebuild says.
    RebuildResult rebuildView(bool moveEditedToTop, const std::function<void()>& tableFinal = {});
    // After a filter change: autosize when "Other"/"Autosize" is on.
    void autosizeIfEnabled();
    // The list's current row made the view's current row (and MirrorGrid's).
    void selectRow(int row);

public Q_SLOTS:
    void AutosizeColumns();

Q_SIGNALS:
    // Left button released over the completion column.
    void checkRequested();
    // Right button: the row under the mouse is current; show the task popup menu there.
    void contextMenuRequested(const QPoint& globalPos);
    void editRequested();
    // The view was rebuilt by the list itself (a header sort); lastRebuild() has the result.
    void viewRebuilt();
    void currentTaskChanged(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void settingsSectionChanged(const QString& section);
    void headerClicked(int logicalIndex);
    void headerResized(int logicalIndex, int oldSize, int newSize);
    void applyWidths(const QList<int>& widths);
    int completionColumnWidth() const;
    // A cell text's width in the current list font, through the width cache.
    std::function<int(const QString&)> cellMeasure();
    void showRebuild(const RebuildResult& result);

    TaskView& m_view;
    SettingsStore& m_settings;
    QTableView* m_viewGrid = nullptr;
    TaskHeader* m_header = nullptr;
    TaskListModel* m_model = nullptr;
    TaskItemDelegate* m_delegate = nullptr;
    TextWidthCache m_widths; // for m_widthFont
    QFont m_widthFont;
    // The widest text of each measured display column in the rows shown; empty until measured again.
    QList<int> m_measuredColumns;
    QList<WidestCount> m_columnExtents;
    RebuildResult m_lastRebuild;
    bool ResizeGuard = false;
};
