#include "tasks/tasksort.h"

#include "core/daynumber.h"
#include "core/storedinteger.h"
#include "core/tasktable.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
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

// Each row's place on one level of the 3-level sort, direction applied: rows with equal keys share
// a number. Tables repeat cell texts a lot, so each distinct text is keyed once.
std::vector<int> levelRanks(const std::vector<QStringView>& cellOfRowText, int sortColumn, bool ascending)
{
    // Projects, priorities and assignees have a handful of texts: comparing with each is quicker than
    // hashing. Past that many, a hash finds them.
    constexpr size_t fewTexts = 12;
    QHash<QStringView, int> known;
    std::vector<QStringView> cells;
    std::vector<int> cellOfRow(cellOfRowText.size(), 0);
    for (size_t r = 0; r < cellOfRowText.size(); ++r) {
        const QStringView cell = cellOfRowText[r];
        int found = -1;
        if (cells.size() <= fewTexts) {
            for (size_t k = 0; k < cells.size(); ++k) {
                if (cells[k].size() == cell.size() && cells[k] == cell) {
                    found = int(k);
                    break;
                }
            }
        } else {
            found = known.value(cell, -1);
        }
        if (found < 0) {
            found = int(cells.size());
            cells.push_back(cell);
            if (cells.size() > fewTexts) {
                if (known.isEmpty()) {
                    known.reserve(qsizetype(cellOfRowText.size() / 4));
                    for (size_t k = 0; k < cells.size(); ++k)
                        known.insert(cells[k], int(k));
                } else {
                    known.insert(cell, found);
                }
            }
        }
        cellOfRow[r] = found;
    }
    const int count = int(cells.size());
    std::vector<int> byKey = identity(count);
    std::vector<int> place(size_t(count), 0);
    auto assign = [&](const auto& keys) {
        std::sort(byKey.begin(), byKey.end(), [&keys](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
        int current = 0;
        for (int k = 0; k < count; ++k) {
            if (k > 0 && keys[size_t(byKey[size_t(k - 1)])] < keys[size_t(byKey[size_t(k)])])
                ++current;
            place[size_t(byKey[size_t(k)])] = ascending ? current : -current;
        }
    };
    if (isTextKey(sortColumn)) {
        std::vector<QString> keys;
        keys.reserve(size_t(count));
        for (const QStringView cell : cells)
            keys.push_back(textSortKey(cell));
        assign(keys);
    } else {
        std::vector<double> keys;
        keys.reserve(size_t(count));
        for (const QStringView cell : cells)
            keys.push_back(numericKey(cell, sortColumn, false));
        assign(keys);
    }
    std::vector<int> result(cellOfRowText.size(), 0);
    for (size_t r = 0; r < result.size(); ++r)
        result[r] = place[size_t(cellOfRow[r])];
    return result;
}

// The cells of the given table columns in every row, found in one walk along each row.
std::vector<std::vector<QStringView>> columnCells(const QList<QString>& rows, const std::vector<int>& columns)
{
    std::vector<std::vector<QStringView>> result(columns.size());
    for (auto& cells : result)
        cells.reserve(size_t(rows.size()));
    const int last = *std::max_element(columns.begin(), columns.end());
    std::vector<QStringView> found(size_t(last) + 1);
    for (const QString& row : rows) {
        const QStringView text(row);
        qsizetype start = 0;
        for (int c = 0; c <= last; ++c) {
            if (start > text.size()) {
                found[size_t(c)] = {};
                continue;
            }
            qsizetype end = start;
            while (end < text.size() && text[end] != QChar(TSortGrid::CellSeparator))
                ++end;
            found[size_t(c)] = text.sliced(start, end - start);
            start = end + 1;
        }
        for (size_t k = 0; k < columns.size(); ++k)
            result[k].push_back(found[size_t(columns[k])]);
    }
    return result;
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

constexpr int Unused = std::numeric_limits<int>::max() / 2;

// One number per slot with additions over a prefix of the slots and a search for a slot at or
// below zero. Each node keeps the lowest value of its subtree minus what its ancestors added.
class SlackTree final {
public:
    explicit SlackTree(const std::vector<int>& values)
    {
        const int n = int(values.size());
        while (m_leaves < n)
            m_leaves *= 2;
        m_min.assign(size_t(2 * m_leaves), Unused);
        m_add.assign(size_t(2 * m_leaves), 0);
        std::copy(values.begin(), values.end(), m_min.begin() + m_leaves);
        for (int node = m_leaves - 1; node >= 1; --node)
            m_min[size_t(node)] = std::min(m_min[size_t(2 * node)], m_min[size_t(2 * node + 1)]);
    }
    // Adds `delta` to slots 0..end-1.
    void addPrefix(int end, int delta) { addPrefix(1, 0, m_leaves, end, delta); }
    void set(int slot, int value)
    {
        size_t node = size_t(m_leaves + slot);
        int above = 0;
        for (size_t up = node / 2; up >= 1; up /= 2)
            above += m_add[up];
        m_min[node] = value - above;
        for (node /= 2; node >= 1; node /= 2)
            m_min[node] = std::min(m_min[2 * node], m_min[2 * node + 1]) + m_add[node];
    }
    // Some slot whose value is at most zero; -1 when none.
    int exhausted() const
    {
        if (m_min[1] > 0)
            return -1;
        size_t node = 1;
        int above = 0;
        while (node < size_t(m_leaves)) {
            above += m_add[node];
            node = m_min[2 * node] + above <= 0 ? 2 * node : 2 * node + 1;
        }
        return int(node) - m_leaves;
    }

private:
    void addPrefix(int node, int nodeLo, int nodeHi, int end, int delta)
    {
        if (nodeLo >= end)
            return;
        if (nodeHi <= end) {
            m_min[size_t(node)] += delta;
            m_add[size_t(node)] += delta;
            return;
        }
        const int mid = (nodeLo + nodeHi) / 2;
        addPrefix(2 * node, nodeLo, mid, end, delta);
        addPrefix(2 * node + 1, mid, nodeHi, end, delta);
        m_min[size_t(node)] = std::min(m_min[size_t(2 * node)], m_min[size_t(2 * node + 1)]) + m_add[size_t(node)];
    }

    int m_leaves = 1;
    std::vector<int> m_min;
    std::vector<int> m_add;
};

// The final order of the exchange sort over `rank` (row indices by output position).
//
// Call a position settled when its rank is at most every rank to its right. Settled positions
// hold their ranks in ascending order; every other position (a loose one) still holds its own
// row. A pass at i either finds i settled (the smallest rank stays) or, for a loose row of rank
// c, swaps along the rightmost settled row of each rank below c: the rightmost row of the
// smallest rank comes to i, each other rank's rightmost row moves to the front of its rank, and
// c's row joins the front of its rank. The middle ranks' moves are counted, not done, and
// applied when a rank is next touched.
//
// Afterwards some loose rows may have become settled. A loose row p of rank r is settled exactly
// when (a) no loose row right of it has a lower rank, and (b) the settled rows right of it, which
// hold the highest settled ranks, hold none below r:
//     slack(p) = (settled rows ranked below r) - (settled positions at or left of p) <= 0.
// The rows meeting (a) form a staircase, ranks rising with positions, so the settled rows and
// positions change their slacks by ranges of slots (rank, then position): a pass moves one rank
// range, and a row that settles changes the slack of no other staircase row but those of its own
// rank right of it, which settle with it. Taking a row off the staircase lets rows left of it,
// ranked above it, join; each row joins once, with its slack counted afresh. O(n log n) overall.
std::vector<int> exchangeSortOrder(const std::vector<int>& rank)
{
    const int n = int(rank.size());
    std::vector<int> order(static_cast<size_t>(n), 0);
    if (n == 0)
        return order;
    const int rankCount = *std::max_element(rank.begin(), rank.end()) + 1;
    // below[r]: rows ranked below r. Slots order the rows by rank, then by position.
    std::vector<int> below(static_cast<size_t>(rankCount) + 1, 0);
    for (const int r : rank)
        ++below[size_t(r) + 1];
    std::partial_sum(below.begin(), below.end(), below.begin());
    std::vector<int> slotOf(static_cast<size_t>(n), 0);
    std::vector<int> rowAt(static_cast<size_t>(n), 0);
    {
        std::vector<int> next(below.begin(), below.end() - 1);
        for (int p = 0; p < n; ++p) {
            const int slot = next[size_t(rank[size_t(p)])]++;
            slotOf[size_t(p)] = slot;
            rowAt[size_t(slot)] = p;
        }
    }

    std::vector<char> settled(static_cast<size_t>(n), 0);
    std::vector<int> loose(static_cast<size_t>(n), NoRank);
    Fenwick settledPositions(n);
    Fenwick settledRanks(rankCount);
    // The staircase: loose rows ranked at most every loose row right of them.
    std::vector<char> onStairs(static_cast<size_t>(n), 0);
    Fenwick stairs(n);
    int stairCount = 0;
    Fenwick rotations(rankCount + 1);
    std::vector<Ring> groups(static_cast<size_t>(rankCount));
    std::vector<long long> applied(static_cast<size_t>(rankCount), 0);
    int lowest = NoRank;
    int lowestLoose = NoRank;
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
            if (r <= lowestLoose) {
                onStairs[size_t(p)] = 1;
                stairs.add(p, 1);
                ++stairCount;
                lowestLoose = r;
            }
        }
    }
    LooseTree tree(loose);
    auto slackOf = [&](int p) { return settledRanks.prefix(rank[size_t(p)]) - settledPositions.prefix(p + 1); };
    std::vector<int> initialSlack(static_cast<size_t>(n), Unused);
    for (int p = 0; p < n; ++p) {
        if (onStairs[size_t(p)])
            initialSlack[size_t(slotOf[size_t(p)])] = slackOf(p);
    }
    SlackTree slack(initialSlack);
    auto leaveStairs = [&](int p) {
        if (onStairs[size_t(p)]) {
            onStairs[size_t(p)] = 0;
            slack.set(slotOf[size_t(p)], Unused);
            stairs.add(p, -1);
            --stairCount;
        }
    };
    auto group = [&](int r) -> Ring& {
        Ring& g = groups[size_t(r)];
        const long long now = rotations.prefix(r + 1);
        g.rotate(now - applied[size_t(r)]);
        applied[size_t(r)] = now;
        return g;
    };

    // The lowest settled rank is the lowest of all rows left, which never falls: rows settle with a
    // rank at least that low. So it is found by counting up rather than by a tree search.
    std::vector<int> settledOfRank(static_cast<size_t>(rankCount), 0);
    for (int p = 0; p < n; ++p) {
        if (settled[size_t(p)])
            ++settledOfRank[size_t(rank[size_t(p)])];
    }
    int low = 0;
    const auto settle = [&](int r) {
        settledRanks.add(r, 1);
        ++settledOfRank[size_t(r)];
    };
    std::vector<int> fresh;
    for (int i = 0; i < n; ++i) {
        while (settledOfRank[size_t(low)] == 0)
            ++low;
        settledRanks.add(low, -1);
        --settledOfRank[size_t(low)];
        if (settled[size_t(i)]) {
            order[size_t(i)] = group(low).popFront();
            settledPositions.add(i, -1);
            // One rank fewer below the ranks above low, one position fewer left of every row.
            slack.addPrefix(below[size_t(low) + 1], 1);
            continue;
        }
        const int c = rank[size_t(i)];
        // The lowest rank lies right of i, so low < c. Nothing loose lies left of i: no row joins.
        leaveStairs(i);
        tree.clear(i);
        slack.addPrefix(below[size_t(c) + 1], -1);
        slack.addPrefix(below[size_t(low) + 1], 1);
        order[size_t(i)] = group(low).popBack();
        if (low + 1 < c) {
            rotations.add(low + 1, 1);
            rotations.add(c, -1);
        }
        group(c).pushFront(i);
        settle(c);

        fresh.clear();
        for (int slot = slack.exhausted(); slot >= 0; slot = slack.exhausted()) {
            const int q = rowAt[size_t(slot)];
            leaveStairs(q);
            tree.clear(q);
            settled[size_t(q)] = 1;
            settledPositions.add(q, 1);
            settle(rank[size_t(q)]);
            fresh.push_back(q);
        }
        // Right to left, so that the staircase right of each gap is complete when the gap is filled.
        // A row that joins has the settled row that left, ranked below it, to its right: it stays loose.
        std::sort(fresh.begin(), fresh.end(), [](int a, int b) { return a > b; });
        for (const int q : fresh) {
            const int leftStairs = stairs.prefix(q);
            const int from = leftStairs > 0 ? stairs.kth(leftStairs - 1) + 1 : i + 1;
            // Cleared positions hold NoRank, so the open cap stays below it.
            int cap = leftStairs < stairCount ? rank[size_t(stairs.kth(leftStairs))] : NoRank - 1;
            int limit = q;
            for (int p = tree.rightmostAtMost(from, limit, cap); p >= 0; p = tree.rightmostAtMost(from, limit, cap)) {
                onStairs[size_t(p)] = 1;
                stairs.add(p, 1);
                ++stairCount;
                slack.set(slotOf[size_t(p)], slackOf(p));
                cap = rank[size_t(p)];
                limit = p;
            }
        }
        // Rows of one rank join its front right to left (fresh is in that order already).
        for (const int q : fresh)
            group(rank[size_t(q)]).pushFront(q);
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

QList<int> headerSortColumns(int sortColumn)
{
    if (!isSortColumn(sortColumn))
        return {};
    return {sortTableColumn(sortColumn)};
}

QList<int> keySortColumns(int prim, int sec, int ter)
{
    // A level is used only while all levels before it are set; an unknown column ends the list
    // like "none" does.
    QList<int> columns;
    for (const int key : {prim, sec, ter}) {
        if (!isSortColumn(key))
            break;
        columns.append(sortTableColumn(key));
    }
    return columns;
}

void applySortOrder(TSortGrid& grid, const std::vector<int>& order)
{
    if (order.empty())
        return;
    QList<QString>& rows = grid.rows();
    QList<QString> sorted;
    sorted.reserve(rows.size());
    for (const int index : order)
        sorted.append(rows[index]);
    rows = std::move(sorted);
}

std::vector<int> SortOrderByColumn(const QList<QString>& rows, int sortColumn, bool ascending)
{
    if (!isSortColumn(sortColumn) || rows.size() < 2)
        return {};
    const int n = int(rows.size());
    std::vector<int> order = identity(n);
    const KeyColumn keys(rows, sortColumn, true, true);
    if (keys.text)
        quickSort(keys.texts, order, 0, n - 1, ascending);
    else
        quickSort(keys.numbers, order, 0, n - 1, ascending);
    return order;
}

void SortByColumn(TSortGrid& grid, int sortColumn, bool ascending)
{
    applySortOrder(grid, SortOrderByColumn(grid.rows(), sortColumn, ascending));
}

std::vector<int> SortOrderByKeys(const QList<QString>& rows, int prim, bool primAsc, int sec, bool secAsc, int ter,
                                 bool terAsc)
{
    if (!isSortColumn(prim) || rows.size() < 2)
        return {};
    const int n = int(rows.size());
    const std::array<int, 3> keys{prim, sec, ter};
    const std::array<bool, 3> ascending{primAsc, secAsc, terAsc};
    const QList<int> columns = keySortColumns(prim, sec, ter);
    const std::vector<std::vector<QStringView>> cells =
        columnCells(rows, std::vector<int>(columns.begin(), columns.end()));

    std::vector<std::vector<int>> places;
    for (size_t level = 0; level < size_t(columns.size()); ++level)
        places.push_back(levelRanks(cells[level], keys[level], ascending[level]));
    // Rank every row once: rows that compare equal on all levels share a rank. The levels' places
    // are packed into one number, level 1 highest, so that ranking is one sort of plain integers;
    // only a table with millions of distinct keys needs the level-by-level comparison.
    std::vector<int> rank(static_cast<size_t>(n), 0);
    std::vector<int> offset(places.size(), 0);
    std::vector<int> width(places.size(), 0);
    int bits = 0;
    for (size_t level = 0; level < places.size(); ++level) {
        const auto [least, most] = std::minmax_element(places[level].begin(), places[level].end());
        offset[level] = -*least;
        width[level] = int(std::bit_width(unsigned(*most - *least)));
        bits += width[level];
    }
    if (bits <= 62) {
        std::vector<std::pair<std::uint64_t, int>> keyed(static_cast<size_t>(n));
        for (size_t r = 0; r < keyed.size(); ++r) {
            std::uint64_t packed = 0;
            for (size_t level = 0; level < places.size(); ++level)
                packed = (packed << width[level]) | std::uint64_t(places[level][r] + offset[level]);
            keyed[r] = {packed, int(r)};
        }
        std::sort(keyed.begin(), keyed.end());
        int current = 0;
        for (size_t k = 0; k < keyed.size(); ++k) {
            if (k > 0 && keyed[k - 1].first != keyed[k].first)
                ++current;
            rank[size_t(keyed[k].second)] = current;
        }
    } else {
        const auto less = [&places](int a, int b) {
            for (const std::vector<int>& level : places) {
                if (level[size_t(a)] != level[size_t(b)])
                    return level[size_t(a)] < level[size_t(b)];
            }
            return false;
        };
        std::vector<int> byKey = identity(n);
        std::sort(byKey.begin(), byKey.end(), less);
        int current = 0;
        for (size_t k = 0; k < byKey.size(); ++k) {
            if (k > 0 && less(byKey[k - 1], byKey[k]))
                ++current;
            rank[size_t(byKey[k])] = current;
        }
    }
    return exchangeSortOrder(rank);
}

void SortByKeys(TSortGrid& grid, int prim, bool primAsc, int sec, bool secAsc, int ter, bool terAsc)
{
    applySortOrder(grid, SortOrderByKeys(grid.rows(), prim, primAsc, sec, secAsc, ter, terAsc));
}
