#include "tasks/tasksort.h"

#include "core/daynumber.h"
#include "core/storedinteger.h"
#include "core/tasktable.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>
#include <vector>

namespace {

bool isSortColumn(int sortColumn)
{
    return sortColumn >= 0 && sortColumn < SortColumnCount;
}

bool isTextKey(int sortColumn)
{
    return sortColumn == sortTaskName || sortColumn == sortProject || sortColumn == sortPriority ||
           sortColumn == sortAssignee;
}

double numericKey(QStringView cell, int sortColumn, bool headerSort)
{
    switch (sortColumn) {
    case sortComplete:
        return integerSortKey(cell);
    case sortDue:
        return headerSort ? headerDateSortKey(cell) : dayDateSortKey(cell);
    case sortTime:
        return timeSortKey(cell);
    default:
        return 0;
    }
}

template <typename T> int threeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// One sort level's keys for every row: numbers or texts, never both.
struct KeyColumn {
    bool text = false;
    bool ascending = true;
    std::vector<double> numbers;
    std::vector<QString> texts;

    KeyColumn(const QList<QString>& rows, int sortColumn, bool asc, bool headerSort)
        : text(isTextKey(sortColumn)), ascending(asc)
    {
        const int column = sortTableColumn(sortColumn);
        if (text)
            texts.reserve(rows.size());
        else
            numbers.reserve(rows.size());
        for (const QString& row : rows) {
            const QStringView cell = TSortGrid::cellOf(row, column);
            if (text)
                texts.push_back(textSortKey(cell));
            else
                numbers.push_back(numericKey(cell, sortColumn, headerSort));
        }
    }
    // Direction applied: negative when row a comes first.
    int compare(int a, int b) const
    {
        const int c =
            text ? threeWay(texts[size_t(a)], texts[size_t(b)]) : threeWay(numbers[size_t(a)], numbers[size_t(b)]);
        return ascending ? c : -c;
    }
};

// The quicksort of the header sort over positions lo..hi of `order` (row indices). The two halves
// it leaves are disjoint, so sorting the smaller one first by recursion and the larger one by the
// loop gives the same order while keeping the stack depth logarithmic.
template <typename Key> void quickSort(const std::vector<Key>& keys, std::vector<int>& order, int lo, int hi, bool asc)
{
    while (lo < hi) {
        const Key pivot = keys[size_t(order[size_t((lo + hi) / 2)])];
        int i = lo;
        int j = hi;
        do {
            if (asc) {
                while (keys[size_t(order[size_t(i)])] < pivot)
                    ++i;
                while (pivot < keys[size_t(order[size_t(j)])])
                    --j;
            } else {
                while (pivot < keys[size_t(order[size_t(i)])])
                    ++i;
                while (keys[size_t(order[size_t(j)])] < pivot)
                    --j;
            }
            if (i <= j) {
                // Position i is never searched again (later passes start right of it), so only j is updated.
                std::swap(order[size_t(i)], order[size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            if (lo < j)
                quickSort(keys, order, lo, j, asc);
            lo = i;
        } else {
            if (i < hi)
                quickSort(keys, order, i, hi, asc);
            hi = j;
        }
    }
}

std::vector<int> identity(int n)
{
    std::vector<int> order(static_cast<size_t>(n), 0);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

void applyOrder(TSortGrid& grid, const std::vector<int>& order)
{
    QList<QString>& rows = grid.rows();
    QList<QString> sorted;
    sorted.reserve(rows.size());
    for (const int index : order)
        sorted.append(std::move(rows[index]));
    rows = std::move(sorted);
}

// Minimum over positions, answering "the rightmost position in a range whose value is below v".
class MinTree final {
public:
    explicit MinTree(const std::vector<int>& values) : m_size(int(values.size()))
    {
        m_leaves = 1;
        while (m_leaves < m_size)
            m_leaves *= 2;
        m_min.assign(size_t(2 * m_leaves), std::numeric_limits<int>::max());
        for (int p = 0; p < m_size; ++p)
            m_min[size_t(m_leaves + p)] = values[size_t(p)];
        for (int node = m_leaves - 1; node >= 1; --node)
            m_min[size_t(node)] = std::min(m_min[size_t(2 * node)], m_min[size_t(2 * node + 1)]);
    }
    void set(int pos, int value)
    {
        size_t node = size_t(m_leaves + pos);
        m_min[node] = value;
        for (node /= 2; node >= 1; node /= 2)
            m_min[node] = std::min(m_min[2 * node], m_min[2 * node + 1]);
    }
    // Rightmost position in lo..hi holding a value less than v; -1 when none.
    int rightmostBelow(int lo, int hi, int v) const { return find(1, 0, m_leaves - 1, lo, hi, v); }

private:
    int find(int node, int nodeLo, int nodeHi, int lo, int hi, int v) const
    {
        if (nodeHi < lo || nodeLo > hi || m_min[size_t(node)] >= v)
            return -1;
        if (nodeLo == nodeHi)
            return nodeLo;
        const int mid = (nodeLo + nodeHi) / 2;
        const int right = find(2 * node + 1, mid + 1, nodeHi, lo, hi, v);
        return right >= 0 ? right : find(2 * node, nodeLo, mid, lo, hi, v);
    }

    int m_size = 0;
    int m_leaves = 1;
    std::vector<int> m_min;
};

} // namespace

int sortTableColumn(int sortColumn)
{
    switch (sortColumn) {
    case sortComplete:
        return colComplete;
    case sortTaskName:
        return colTaskName;
    case sortDue:
    case sortTime:
        return colDue;
    case sortProject:
        return colProject;
    case sortPriority:
        return colPriority;
    case sortAssignee:
        return colAssignee;
    default:
        return -1;
    }
}

int integerSortKey(QStringView cell)
{
    return storedIntegerOr(cell, 0);
}

QString textSortKey(QStringView cell)
{
    if (cell.isEmpty())
        return QString(QChar(0xFB));
    return QLocale().toUpper(cell.toString());
}

double headerDateSortKey(QStringView dueCell)
{
    return dueDayNumber(dueCell);
}

double dayDateSortKey(QStringView dueCell)
{
    return std::trunc(dueDayNumber(dueCell));
}

double timeSortKey(QStringView dueCell)
{
    double day = 0;
    if (!parseDayNumber(dueCell, &day))
        return 1.0;
    const double fraction = day - std::trunc(day);
    return fraction == 0.0 ? 1.0 : fraction;
}

int compareRowsBySortColumn(QStringView rowA, QStringView rowB, int sortColumn, bool headerSort)
{
    if (!isSortColumn(sortColumn))
        return 0;
    const int column = sortTableColumn(sortColumn);
    const QStringView a = TSortGrid::cellOf(rowA, column);
    const QStringView b = TSortGrid::cellOf(rowB, column);
    if (isTextKey(sortColumn))
        return threeWay(textSortKey(a), textSortKey(b));
    return threeWay(numericKey(a, sortColumn, headerSort), numericKey(b, sortColumn, headerSort));
}

void SortByColumn(TSortGrid& grid, int sortColumn, bool ascending)
{
    if (!isSortColumn(sortColumn) || grid.rowCount() < 2)
        return;
    const int n = grid.rowCount();
    std::vector<int> order = identity(n);
    const KeyColumn keys(grid.rows(), sortColumn, true, true);
    if (keys.text)
        quickSort(keys.texts, order, 0, n - 1, ascending);
    else
        quickSort(keys.numbers, order, 0, n - 1, ascending);
    applyOrder(grid, order);
}

void SortByKeys(TSortGrid& grid, int prim, bool primAsc, int sec, bool secAsc, int ter, bool terAsc)
{
    if (!isSortColumn(prim) || grid.rowCount() < 2)
        return;
    const int n = grid.rowCount();
    // A level is used only while all levels before it are set; an unknown column ends the list
    // like "none" does.
    std::vector<KeyColumn> levels;
    levels.emplace_back(grid.rows(), prim, primAsc, false);
    if (isSortColumn(sec)) {
        levels.emplace_back(grid.rows(), sec, secAsc, false);
        if (isSortColumn(ter))
            levels.emplace_back(grid.rows(), ter, terAsc, false);
    }
    auto compare = [&levels](int a, int b) {
        for (const KeyColumn& level : levels) {
            if (const int c = level.compare(a, b))
                return c;
        }
        return 0;
    };

    // Rank every row once: rows that compare equal on all levels share a rank.
    std::vector<int> byKey = identity(n);
    std::sort(byKey.begin(), byKey.end(), [&compare](int a, int b) { return compare(a, b) < 0; });
    std::vector<int> rank(static_cast<size_t>(n), 0);
    int current = 0;
    for (int k = 0; k < n; ++k) {
        if (k > 0 && compare(byKey[size_t(k - 1)], byKey[size_t(k)]) != 0)
            ++current;
        rank[size_t(byKey[size_t(k)])] = current;
    }

    // The exchange sort swaps position i with j exactly when j holds a rank below the one at i at
    // that moment, scanning j down from the end. The swaps of one pass therefore form the chain of
    // strictly falling ranks met from the right; the tree finds each link directly and skips every
    // comparison that would not swap.
    std::vector<int> order = identity(n);
    MinTree tree(rank);
    for (int i = 0; i + 1 < n; ++i) {
        int limit = n - 1;
        while (limit > i) {
            const int j = tree.rightmostBelow(i + 1, limit, rank[size_t(order[size_t(i)])]);
            if (j < 0)
                break;
            // Position i is never searched again (later passes start right of it), so only j is updated.
            std::swap(order[size_t(i)], order[size_t(j)]);
            tree.set(j, rank[size_t(order[size_t(j)])]);
            limit = j - 1;
        }
    }
    applyOrder(grid, order);
}
