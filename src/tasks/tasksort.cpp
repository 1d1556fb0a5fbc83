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

// Counts over 0..n-1 with prefix sums and "position of the k-th unit".
class Fenwick final {
public:
    explicit Fenwick(int n) : m_tree(static_cast<size_t>(n) + 1, 0)
    {
        while (m_top * 2 <= n)
            m_top *= 2;
    }
    void add(int index, int delta)
    {
        for (++index; index < int(m_tree.size()); index += index & -index)
            m_tree[size_t(index)] += delta;
    }
    // Sum over 0..end-1.
    int prefix(int end) const
    {
        int sum = 0;
        for (; end > 0; end -= end & -end)
            sum += m_tree[size_t(end)];
        return sum;
    }
    // Index holding the unit numbered k (0-based) when the counts are laid out in order.
    int kth(int k) const
    {
        int pos = 0;
        for (int step = m_top; step > 0; step /= 2) {
            const int next = pos + step;
            if (next < int(m_tree.size()) && m_tree[size_t(next)] <= k) {
                pos = next;
                k -= m_tree[size_t(next)];
            }
        }
        return pos;
    }

private:
    std::vector<int> m_tree;
    int m_top = 1;
};

// Rows of one rank in order, with cheap changes at both ends.
class Ring final {
public:
    int size() const { return m_count; }
    void pushFront(int value)
    {
        grow();
        m_head = (m_head + m_buffer.size() - 1) & (m_buffer.size() - 1);
        m_buffer[m_head] = value;
        ++m_count;
    }
    void pushBack(int value)
    {
        grow();
        m_buffer[(m_head + size_t(m_count)) & (m_buffer.size() - 1)] = value;
        ++m_count;
    }
    int popFront()
    {
        const int value = m_buffer[m_head];
        m_head = (m_head + 1) & (m_buffer.size() - 1);
        --m_count;
        return value;
    }
    int popBack()
    {
        --m_count;
        return m_buffer[(m_head + size_t(m_count)) & (m_buffer.size() - 1)];
    }
    // Moves the last row to the front, `times` times.
    void rotate(long long times)
    {
        if (m_count < 2)
            return;
        const int steps = int(times % m_count);
        if (steps <= m_count / 2) {
            for (int s = 0; s < steps; ++s)
                pushFront(popBack());
        } else {
            for (int s = steps; s < m_count; ++s)
                pushBack(popFront());
        }
    }

private:
    void grow()
    {
        if (size_t(m_count) < m_buffer.size())
            return;
        std::vector<int> bigger(std::max<size_t>(4, 2 * m_buffer.size()), 0);
        for (int s = 0; s < m_count; ++s)
            bigger[size_t(s)] = m_buffer[(m_head + size_t(s)) & (m_buffer.size() - 1)];
        m_buffer = std::move(bigger);
        m_head = 0;
    }

    std::vector<int> m_buffer;
    size_t m_head = 0;
    int m_count = 0;
};

constexpr int NoRank = std::numeric_limits<int>::max();

// Lowest rank per range of positions, for the rows still in their own place (NoRank elsewhere).
class LooseTree final {
public:
    explicit LooseTree(const std::vector<int>& ranks)
    {
        const int n = int(ranks.size());
        while (m_leaves < n)
            m_leaves *= 2;
        m_min.assign(size_t(2 * m_leaves), NoRank);
        std::copy(ranks.begin(), ranks.end(), m_min.begin() + m_leaves);
        for (int node = m_leaves - 1; node >= 1; --node)
            m_min[size_t(node)] = std::min(m_min[size_t(2 * node)], m_min[size_t(2 * node + 1)]);
    }
    void clear(int pos)
    {
        size_t node = size_t(m_leaves + pos);
        m_min[node] = NoRank;
        for (node /= 2; node >= 1; node /= 2)
            m_min[node] = std::min(m_min[2 * node], m_min[2 * node + 1]);
    }
    // Rightmost position in lo..hi-1 with a rank of at most `cap`; -1 when none.
    int rightmostAtMost(int lo, int hi, int cap) const { return find(1, 0, m_leaves, lo, hi, cap); }

private:
    int find(int node, int nodeLo, int nodeHi, int lo, int hi, int cap) const
    {
        if (nodeHi <= lo || nodeLo >= hi || m_min[size_t(node)] > cap)
            return -1;
        if (nodeHi - nodeLo == 1)
            return nodeLo;
        const int mid = (nodeLo + nodeHi) / 2;
        const int right = find(2 * node + 1, mid, nodeHi, lo, hi, cap);
        return right >= 0 ? right : find(2 * node, nodeLo, mid, lo, hi, cap);
    }

    int m_leaves = 1;
    std::vector<int> m_min;
};

// The final order of the exchange sort over `rank` (row indices by output position).
//
// Call a position settled when its rank is at most every rank to its right. Settled positions
// hold their ranks in ascending order; every other position still holds its own row. A pass at i
// either finds i settled (the smallest rank stays) or, for an unsettled row of rank c, swaps
// along the rightmost settled row of each rank below c: the rightmost row of the smallest rank
// comes to i, each other rank's rightmost row moves to the front of its rank, and c's row joins
// the front of its rank. Afterwards an unsettled row may have become settled (the ranks right of
// it have risen); those rows join the front of their rank too. The middle ranks' moves are
// counted, not done, and applied when a rank is next touched.
std::vector<int> exchangeSortOrder(const std::vector<int>& rank)
{
    const int n = int(rank.size());
    std::vector<int> order(static_cast<size_t>(n), 0);
    if (n == 0)
        return order;
    const int rankCount = *std::max_element(rank.begin(), rank.end()) + 1;
    std::vector<char> settled(static_cast<size_t>(n), 0);
    std::vector<int> loose(static_cast<size_t>(n), NoRank);
    Fenwick settledPositions(n);
    Fenwick settledRanks(rankCount);
    Fenwick rotations(rankCount + 1);
    std::vector<Ring> groups(static_cast<size_t>(rankCount));
    std::vector<long long> applied(static_cast<size_t>(rankCount), 0);
    int lowest = NoRank;
    for (int p = n - 1; p >= 0; --p) {
        const int r = rank[size_t(p)];
        if (r <= lowest) {
            settled[size_t(p)] = 1;
            settledPositions.add(p, 1);
            settledRanks.add(r, 1);
            groups[size_t(r)].pushFront(p);
            lowest = r;
        } else {
            loose[size_t(p)] = r;
        }
    }
    LooseTree tree(loose);
    auto group = [&](int r) -> Ring& {
        Ring& g = groups[size_t(r)];
        const long long now = rotations.prefix(r + 1);
        g.rotate(now - applied[size_t(r)]);
        applied[size_t(r)] = now;
        return g;
    };

    for (int i = 0; i < n; ++i) {
        const int low = settledRanks.kth(0);
        settledRanks.add(low, -1);
        if (settled[size_t(i)]) {
            order[size_t(i)] = group(low).popFront();
            settledPositions.add(i, -1);
            continue;
        }
        const int c = rank[size_t(i)];
        tree.clear(i);
        order[size_t(i)] = group(low).popBack();
        if (low + 1 < c) {
            rotations.add(low + 1, 1);
            rotations.add(c, -1);
        }
        group(c).pushFront(i);
        settledRanks.add(c, 1);

        // Rows that became settled lie left of where c's row landed. Searching right to left, a
        // candidate is settled when its rank is at most the rank now at the first settled position
        // right of it; otherwise that rank caps the search further left.
        const int before = settledPositions.prefix(i + 1);
        int limit = settledPositions.kth(before + settledRanks.prefix(c));
        int cap = c;
        while (true) {
            const int q = tree.rightmostAtMost(i + 1, limit, cap);
            if (q < 0)
                break;
            const int bound = settledRanks.kth(settledPositions.prefix(q) - before);
            const int r = rank[size_t(q)];
            if (r <= bound) {
                group(r).pushFront(q);
                settledRanks.add(r, 1);
                settledPositions.add(q, 1);
                settled[size_t(q)] = 1;
                tree.clear(q);
                cap = r;
            } else {
                cap = bound;
            }
            limit = q;
        }
    }
    return order;
}

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

    const std::vector<int> order = exchangeSortOrder(rank);
    applyOrder(grid, order);
}
