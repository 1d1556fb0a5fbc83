#pragma once

#include "core/sortgrid.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

// The task-view sorts. Sort columns are numbered by meaning, not by table column; the header,
// the 3-level keys and the settings all use this numbering.
enum SortColumn : int {
    sortComplete = 0, // integer key of colComplete
    sortTaskName = 1, // text key
    sortDue = 2,      // date key of colDue
    sortProject = 3,  // text key
    sortPriority = 4, // text key
    sortAssignee = 5, // text key of colAssignee (table column 7)
    sortTime = 6,     // time-of-day key of colDue
};
inline constexpr int SortColumnCount = 7;
inline constexpr int NoSortKey = -1;

// The table column a sort column reads; -1 for a number outside 0..6.
int sortTableColumn(int sortColumn);

// ---- Keys ----

// The cell as a decimal integer; anything else counts as 0.
int integerSortKey(QStringView cell);
// Upper case by the locale's rules; empty becomes the single character 0xFB so that empty
// cells come after all ordinary text. Text keys are compared as unsigned UTF-16 code units
// (QString's own ordering), a prefix before the longer text: for the Latin-1 range this is the
// byte order of the single-byte texts the keys were designed for.
QString textSortKey(QStringView cell);
// Header sort: date and time together; not a number is the no-due-date value.
double headerDateSortKey(QStringView dueCell);
// 3-level sort: the day only (whole part), so tasks of one day are equal.
double dayDateSortKey(QStringView dueCell);
// Fraction of the day; no time (fraction 0), no due date or not a number count as 1.0, after
// every timed task.
double timeSortKey(QStringView dueCell);

// Compares the keys of two row texts under a sort column, computed afresh: <0, 0 or >0.
// `headerSort` picks the header's date key (date and time) over the 3-level one (day only).
int compareRowsBySortColumn(QStringView rowA, QStringView rowB, int sortColumn, bool headerSort);

// ---- Sorts ----
//
// Each sort exists as an order (position i of the result takes input row order[i]; empty when the
// rows stay as they are) and as the sort of a grid in place.

// The table columns whose cells a sort reads: rows that agree on them sort alike.
QList<int> headerSortColumns(int sortColumn);
QList<int> keySortColumns(int prim, int sec, int ter);

std::vector<int> SortOrderByColumn(const QList<QString>& rows, int sortColumn, bool ascending);
std::vector<int> SortOrderByKeys(const QList<QString>& rows, int prim, bool primAsc, int sec, bool secAsc, int ter,
                                 bool terAsc);

// What the last 3-level sort read from its rows: every key text or number with its place, and
// each row's packed key. Kept only while the levels have few texts (not the task name).
struct SortKeyCache {
    struct Level {
        bool text = false;
        bool ascending = true;
        QStringList texts;
        std::vector<int> textPlaces;
        std::vector<double> numbers; // ascending; a number's place is its index
        int offset = 0;
        int width = 0;
    };
    std::vector<int> spec; // the keys and directions it was made for; empty when not kept
    std::vector<Level> levels;
    std::vector<std::uint32_t> packed;
};
// The same order, reading only the rows that are not the very strings of the last sort's input
// (`previous`, by position), whose keys the cache holds; it then holds this sort's.
std::vector<int> SortOrderByKeys(const QList<QString>& rows, int prim, bool primAsc, int sec, bool secAsc, int ter,
                                 bool terAsc, const std::vector<const QString*>& previous, SortKeyCache& cache);
void applySortOrder(TSortGrid& grid, const std::vector<int>& order);

// Header sort: the order of the grid's own quicksort on one column (middle pivot, not stable),
// with each row's key computed once. A column outside 0..6 leaves the grid unchanged.
void SortByColumn(TSortGrid& grid, int sortColumn, bool ascending);

// 3-level sort: the order of the exchange sort (for each position, swap with every later row
// that comes strictly before it, scanning from the end), produced without its quadratic run
// time. Nothing happens when `prim` is -1; a secondary of -1 also ignores the tertiary.
void SortByKeys(TSortGrid& grid, int prim, bool primAsc, int sec, bool secAsc, int ter, bool terAsc);
