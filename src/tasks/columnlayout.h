#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <functional>

class SettingsStore;
class TSortGrid;

// The columns of the task list. Display columns are numbered like the sort columns (0 completion,
// 1 task name, 2 due date, 3 project, 4 priority, 5 assignee, 6 time); an old stored order may
// name 7, which is drawn as the assignee column.
inline constexpr int MaxViewColumns = 7;
inline constexpr int NoDisplayColumn = -1;
// The completion column is fixed at this width when the stored widths are applied.
inline constexpr int CompletionViewWidth = 22;
// A left click closer than this to the list's left edge is a click on the completion mark.
inline constexpr int CompletionClickWidth = 23;

int displayColumnMinWidth(int displayColumn);
// The task-table column whose text the display column shows (the due column for date and time).
int displayTableColumn(int displayColumn);
// The sort column that a click on the display column's header sorts by; -1 for none.
int displaySortColumn(int displayColumn);
QString displayColumnCaption(int displayColumn);

struct ColumnLayout {
    // For each view column, the display column it shows, or -1.
    std::array<int, MaxViewColumns> ColumnMap{0, 1, 2, 3, 4, 5, 6};
    int count = MaxViewColumns;

    int displayColumn(int viewColumn) const
    {
        return viewColumn >= 0 && viewColumn < count ? ColumnMap[size_t(viewColumn)] : NoDisplayColumn;
    }
};

// Which columns are shown and in which order, from "VisibleColumns" and "ColumnsOrder".
ColumnLayout LoadColumnLayout(const SettingsStore& settings);
// The stored width of each view column ("Columns"/"1" upward); column 0 is always 22 pixels.
QList<int> LoadColumnWidths(const SettingsStore& settings, const ColumnLayout& layout);
void SaveColumnWidths(SettingsStore& settings, const QList<int>& viewWidths);
// A width the user dragged: never narrower than the display column's minimum.
int constrainedColumnWidth(int displayColumn, int width);

// Pixels between a cell's left edge and its text.
inline constexpr int CellTextIndent = 2;
// The most characters a cell shows: a name pasted by mistake (megabytes long) must not freeze the
// list while it lays the text out. The stored cell stays whole.
inline constexpr int ShownTextLimit = 2000;

// A cell's text as the list shows it: its first line, at most ShownTextLimit characters.
QString shownText(QStringView cell);
// The completion column's text: "40%" for partial completion, the percentage clamped to 0..100 as
// the task editor reads it; nothing for 0 % and for a completed task (drawn as a check mark).
QString completionText(QStringView completeCell);
// The text a list cell draws for a display column of a task row: date and time in the short
// formats, the completion as above, every other column shown as above.
QString displayCellText(QStringView rowText, int displayColumn);
// The same from the cell the display column reads (the due cell for date and time).
QString displayCellTextOf(QStringView cell, int displayColumn);

// The widest text the display column draws in the filtered rows, with the indent before it and
// one pixel after it, as the autosize measures it.
int measuredColumnWidth(const TSortGrid& grid, int displayColumn, const std::function<int(const QString&)>& measure);

// The widest of a changing collection of widths, kept exact while widths come and go: a full
// count is needed again only when the last width at the top leaves.
class WidestCount final {
public:
    // Empty and known: nothing counted yet.
    void reset();
    void add(int width, int times = 1);
    void remove(int width);
    // Unknown after reset() was never called or the last widest width left.
    bool known() const { return m_known; }
    int widest() const { return m_widest; }

private:
    int m_widest = 0;
    int m_count = 0;
    bool m_known = false;
};

// Text widths measured once per distinct text: a column of 100,000 rows holds few distinct
// projects, priorities, assignees and percentages, and shaping a text costs far more than a
// lookup. The owner clears it when the font changes.
class TextWidthCache final {
public:
    int width(const QString& text, const std::function<int(const QString&)>& measure);
    void clear() { m_widths.clear(); }

private:
    QHash<QString, int> m_widths;
};

// The width measuredColumnWidth counts for one cell (indent and text), 0 for a cell that shows nothing.
int measuredCellWidth(QStringView cell, int displayColumn, const std::function<int(const QString&)>& measure);
// For several display columns at once, in one walk along the rows: every row's measuredCellWidth
// counted into one WidestCount per column, each distinct cell measured once.
QList<WidestCount> measuredColumnWidths(const QList<QString>& rows, const QList<int>& displayColumns,
                                        const std::function<int(const QString&)>& measure);

struct AutosizeInput {
    // measuredColumnWidth of the display column reading each task-table column (index = table column).
    QList<int> tableColumnWidths;
    int dueDateWidth = 0;
    int dueTimeWidth = 0;
    // What each view column's header caption needs to show whole (index = view column); a column
    // is not made narrower than that, so short contents do not cut their captions.
    QList<int> captionWidths;
    int viewWidth = 0;      // the list's outer width
    int frameWidth = 0;     // its frame, both sides together
    int scrollBarWidth = 0; // when the rows do not all fit, else 0
    bool verticalLines = true;
};

// The widths of the view columns after an autosize: every column fits its widest text (at least
// its minimum) and the task name takes what is left.
QList<int> autosizeColumnWidths(const ColumnLayout& layout, const AutosizeInput& input);
