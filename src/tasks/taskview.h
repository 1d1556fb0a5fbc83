#pragma once

#include "core/sortgrid.h"
#include "tasks/columnlayout.h"
#include "tasks/tasksort.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class SettingsStore;

// Reserved deadline limits; any other limit is the last due day shown.
inline constexpr double DeadlineAllDates = 100001.0;
inline constexpr double DeadlineNoDueDate = 100000.0;
inline constexpr double DeadlineRecurringOnly = 0.0;

// Deadline rules, numbered as the deadline menu's items and the filter dialog's choices.
enum DeadlineRule : int {
    ruleAllDates = 0,
    ruleNoDueDate = 1,
    ruleToday = 2,
    ruleTomorrow = 3,
    ruleThisWeek = 4,
    ruleNextWeek = 5,
    ruleThisMonth = 6,
    ruleRecurring = 7,
};
inline constexpr int DeadlineRuleCount = 8;

// What a rebuild tells the window.
struct RebuildResult {
    int taskCount = 0;       // for the status bar; 0 for the one empty row of an empty view
    bool filtered = false;   // the filter lamp: red when true, lime green when false
    bool rowsChanged = true; // the rows (content or order) differ from before the rebuild
    int currentRow = 0;      // the view row to select
    // When not empty, the rows changed only at these positions (same count, same order
    // elsewhere); otherwise, when rowsChanged, anything may have changed.
    QList<int> changedRows;
    // When rowDiffKnown, the shown rows differ from the last rebuild's by exactly these: the
    // texts of rows that left and of rows that joined (in any order).
    bool rowDiffKnown = false;
    QList<QString> removedRows;
    QList<QString> addedRows;
};

// Rows of a list that stays alive and unchanged meanwhile, in another order.
using RowRefs = std::vector<const QString*>;

// The mark a header column carries for the active sort.
struct SortMark {
    bool shown = false;
    bool ascending = true;
    QString text; // "1", "2", "3" for the 3-level keys, empty for the header sort
};

// The task list's state and its rebuild: which tasks pass the filter, in which order they are
// shown. The task table stays in MainGrid; the rows shown are copied into MirrorGrid, whose row i
// is the list's row i.
class TaskView final {
public:
    explicit TaskView(TSortGrid& mainGrid);

    TaskView(const TaskView&) = delete;
    TaskView& operator=(const TaskView&) = delete;

    // ---- Filter ----
    // Empty list: no filtering; the single empty name: only rows without a name.
    QStringList ProjectFilter;
    QStringList AssigneeFilter;
    double DeadlineLimit = DeadlineAllDates;
    int DeadlineRuleTag = ruleAllDates; // the rule of the checked deadline item
    bool ShowCompleted = true;

    // ---- Sort ----
    int SortColumn = 1;
    bool SortAscending = true;
    bool AdvancedSort = true;
    int PrimKey = 3;
    int SecKey = 4;
    int TerKey = 2;
    bool PrimDir = true;
    bool SecDir = true;
    bool TerDir = true;

    // ---- Rebuild ----
    TSortGrid& MainGrid;
    TSortGrid MirrorGrid;
    bool Rebuilding = false;
    // Widest due date and time (pixels + 6) of the last filter run into MirrorGrid.
    int DueDateWidth = 0;
    int DueTimeWidth = 0;
    // Measures a text in the list's font; without it the widths above stay 0.
    std::function<int(const QString&)> measureText;
    // The font or the date formats changed: the next rebuild measures every row again.
    void invalidateMeasures();
    // Stores edits of the notes preview into the task before anything is rebuilt.
    std::function<void()> CommitPreviewNotes;

    // The selected row of the list (and MirrorGrid's current row).
    int currentRow() const { return m_currentRow; }
    void setCurrentRow(int row);

    // Fills `target` with the task rows that pass, in reverse table order; an empty result is
    // one empty row. Also used by the reports with their own grid and filter.
    void FilterTasks(TSortGrid& target, const QStringList& projects, double limit, const QStringList& assignees);
    // Sets DeadlineLimit from a rule (0..7; others count as 0) as of Clock::current()'s today.
    // The week starts on `weekStart` (0 Sunday .. 6 Saturday).
    void SetDeadlineFilter(int rule, int weekStart);
    // The same with the week start of the settings ("Calendar"/"WeekStart").
    void SetDeadlineFilter(int rule, const SettingsStore& settings);
    static double deadlineLimitFor(int rule, const QDate& today, int weekStart);

    // Refilters and resorts MirrorGrid. With moveEditedToTop the row equal to MainGrid's row 0 (the
    // task just stored) is moved to the top and selected; otherwise the selected index is kept.
    // `tableFinal` is called once MainGrid holds its rows for good (the filter's walk drops blank
    // rows from it), before the sort: a save can start there.
    RebuildResult RebuildView(bool moveEditedToTop, const std::function<void()>& tableFinal = {});
    // The header sort on a sort column (clicked twice: descending), then row 0 selected.
    RebuildResult HeaderSort(int sortColumn);
    // Makes the 3-level sort active and rebuilds; false (nothing changed) while it has no primary key.
    bool PerformAdvancedSort(RebuildResult* result = nullptr);
    // Clears both name filters and the deadline limit.
    void ShowAllTasks();

    bool isFiltered() const;
    // No task passed the filter: MirrorGrid holds only the empty row every grid keeps.
    bool isEmptyView() const;
    // Whether the header caption of a display column is drawn bold (the view is filtered on it).
    bool isCaptionBold(int displayColumn) const;
    SortMark sortMark(int displayColumn) const;

    // The names of a filter as kept: sorted and each name once, both without regard to case.
    static QStringList normalizedNames(QStringList names);

    // Filter, "Show completed" and sort state from the settings and back. Loading sets the
    // deadline limit from the stored rule as of today.
    void loadState(const SettingsStore& settings);
    void saveState(SettingsStore& settings) const;

private:
    // Sorts MirrorGrid, reusing the last order when the rows differ from the last sort's input only
    // in cells the sort does not read: the sorts' orders depend on nothing else.
    void sortMirror(const RowRefs& lastInput);
    // The last sort's input, made again from the rows it put in `shown` and its order; empty when
    // unknown. Keeping the input itself would hold a third list of every row.
    RowRefs lastSortInput(const QList<QString>& shown) const;
    // Keeps DueDateWidth and DueTimeWidth, from the rows that came and went when that is known.
    void measureDueWidths(const RebuildResult& result);

    int m_currentRow = 0;
    QList<int> m_sortSpec;
    bool m_sorted = false;        // m_sortOrder made the rows shown
    SortKeyCache m_sortKeys;      // the keys of the last 3-level sort's input
    std::vector<int> m_sortOrder; // empty: the input's own order
    int m_movedToTop = -1;        // the shown row the edited task was moved up from, after the sort
    WidestCount m_dueDates;
    WidestCount m_dueTimes;
};
