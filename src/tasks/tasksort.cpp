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

// Turns marks (1 for each value in use) into each value's number among those in use; returns how
// many are in use.
int numberMarked(std::vector<int>& place)
{
    int next = 0;
    for (int& p : place) {
        const int used = p;
        p = next;
        next += used;
    }
    return next;
}

// Dense places of `keys` (equal keys share one), direction applied. Whole numbers in a short
// range, like days or percentages, are placed by counting; the rest by sorting the distinct keys.
std::vector<int> numberPlaces(const std::vector<double>& keys, bool ascending, std::vector<double>* distinctKeys)
{
    std::vector<int> result(keys.size(), 0);
    if (keys.empty())
        return result;
    const auto [least, most] = std::minmax_element(keys.begin(), keys.end());
    const double span = *most - *least;
    const bool whole = std::all_of(keys.begin(), keys.end(), [](double k) { return k == std::trunc(k); });
    const auto signedPlace = [ascending](int place) { return ascending ? place : -place; };
    // Days reach from the first real ones to the "no due date" day: a range of some 100,000.
    if (whole && span <= std::min(16.0 * double(keys.size()) + 1024, 1048576.0)) {
        std::vector<int> place(static_cast<size_t>(span) + 1, 0);
        for (const double k : keys)
            place[size_t(k - *least)] = 1;
        const int next = numberMarked(place);
        for (size_t r = 0; r < keys.size(); ++r)
            result[r] = signedPlace(place[size_t(keys[r] - *least)]);
        if (distinctKeys) {
            distinctKeys->clear();
            for (size_t k = 0; k < place.size(); ++k) {
                if (k + 1 == place.size() ? place[k] < next : place[k] < place[k + 1])
                    distinctKeys->push_back(*least + double(k));
            }
        }
        return result;
    }
    std::vector<double> distinct = keys;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    for (size_t r = 0; r < keys.size(); ++r)
        result[r] = signedPlace(int(std::lower_bound(distinct.begin(), distinct.end(), keys[r]) - distinct.begin()));
    if (distinctKeys)
        *distinctKeys = std::move(distinct);
    return result;
}

bool sameText(QStringView a, QStringView b)
{
    return a.size() == b.size() && std::equal(a.utf16(), a.utf16() + a.size(), b.utf16());
}

// One level of the 3-level sort, read row by row: each row's number, or the number of its text
// among the distinct texts met so far. Tables repeat cell texts a lot, so each is keyed once.
class LevelKeys final {
public:
    static constexpr size_t FewTexts = 12;

    LevelKeys(int sortColumn, size_t rows) : m_sortColumn(sortColumn), m_text(isTextKey(sortColumn))
    {
        if (m_text)
            m_textOfRow.reserve(rows);
        else
            m_numbers.reserve(rows);
    }

    void read(QStringView cell)
    {
        if (!m_text) {
            // Reading a number is quicker than looking its text up among tens of thousands.
            m_numbers.push_back(numericKey(cell, m_sortColumn, false));
            return;
        }
        // Projects, priorities and assignees have a handful of texts: comparing with each is quicker
        // than hashing. Past that many, a hash finds them.
        int found = -1;
        if (m_texts.size() <= FewTexts) {
            for (size_t k = 0; k < m_texts.size(); ++k) {
                if (sameText(m_texts[k], cell)) {
                    found = int(k);
                    break;
                }
            }
        } else {
            found = m_known.value(cell, -1);
        }
        if (found < 0) {
            found = int(m_texts.size());
            m_texts.push_back(cell);
            if (m_texts.size() > FewTexts) {
                if (m_known.isEmpty()) {
                    m_known.reserve(qsizetype(m_textOfRow.capacity() / 4));
                    for (size_t k = 0; k < m_texts.size(); ++k)
                        m_known.insert(m_texts[k], int(k));
                } else {
                    m_known.insert(cell, found);
                }
            }
        }
        m_textOfRow.push_back(found);
    }

    // Each row's place, direction applied: rows with equal keys share one.
    // The texts or numbers met, with their places, go to `keep` when given.
    std::vector<int> places(bool ascending, SortKeyCache::Level* keep) const
    {
        if (keep) {
            keep->text = m_text;
            keep->ascending = ascending;
        }
        if (!m_text)
            return numberPlaces(m_numbers, ascending, keep ? &keep->numbers : nullptr);
        const int count = int(m_texts.size());
        std::vector<QString> keys;
        keys.reserve(size_t(count));
        for (const QStringView cell : m_texts)
            keys.push_back(textSortKey(cell));
        std::vector<int> byKey = identity(count);
        std::sort(byKey.begin(), byKey.end(), [&keys](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
        std::vector<int> place(size_t(count), 0);
        int current = 0;
        for (int k = 0; k < count; ++k) {
            if (k > 0 && keys[size_t(byKey[size_t(k - 1)])] < keys[size_t(byKey[size_t(k)])])
                ++current;
            place[size_t(byKey[size_t(k)])] = ascending ? current : -current;
        }
        if (keep) {
            for (const QStringView cell : m_texts)
                keep->texts.append(cell.toString());
            keep->textPlaces = place;
        }
        std::vector<int> result(m_textOfRow.size(), 0);
        for (size_t r = 0; r < result.size(); ++r)
            result[r] = place[size_t(m_textOfRow[r])];
        return result;
    }
    bool fewTexts() const { return m_texts.size() <= FewTexts; }

private:
    int m_sortColumn;
    bool m_text;
    std::vector<double> m_numbers;
    std::vector<int> m_textOfRow;
    std::vector<QStringView> m_texts;
    QHash<QStringView, int> m_known;
};

// Each level's places for every row, read in one walk along each row: a row's text is then
// fetched from memory once for all levels.
std::vector<std::vector<int>> levelPlaces(const QList<QString>& rows, const std::array<int, 3>& keys,
                                          const std::array<bool, 3>& ascending, const QList<int>& columns,
                                          std::vector<SortKeyCache::Level>* keep)
{
    std::vector<LevelKeys> levels;
    for (size_t level = 0; level < size_t(columns.size()); ++level)
        levels.emplace_back(keys[level], size_t(rows.size()));
    const int last = *std::max_element(columns.begin(), columns.end());
    std::vector<QStringView> found(size_t(last) + 1);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        TSortGrid::fetchAhead(rows, r);
        const QStringView text(rows[r]);
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
        for (size_t level = 0; level < levels.size(); ++level)
            levels[level].read(found[size_t(columns[qsizetype(level)])]);
    }
    // A task name level has as many texts as rows: not worth keeping.
    if (keep && std::any_of(levels.begin(), levels.end(), [](const LevelKeys& l) { return !l.fewTexts(); }))
        keep = nullptr;
    if (keep)
        keep->assign(levels.size(), {});
    std::vector<std::vector<int>> places;
    for (size_t level = 0; level < levels.size(); ++level)
        places.push_back(levels[level].places(ascending[level], keep ? &(*keep)[level] : nullptr));
    return places;
}

// Counts over 0..n-1, each 0 or 1: prefix sums, and where the k-th zero lies.
class Fenwick final {
public:
    // Sized to a power of two past n, so that the search for a zero never leaves the tree; the
    // positions past n-1 stay zero and come after every real one.
    explicit Fenwick(int n)
    {
        while (m_top * 2 <= n)
            m_top *= 2;
        m_tree.assign(static_cast<size_t>(m_top) * 2, 0);
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
    // One past the index of the k-th zero (k >= 1), counted from 0.
    int endOfZero(int k) const
    {
        int pos = 0;
        for (int step = m_top; step > 0; step /= 2) {
            const int zeros = step - m_tree[size_t(pos + step)];
            if (zeros < k) {
                pos += step;
                k -= zeros;
            }
        }
        return pos + 1;
    }

private:
    int m_top = 1;
    std::vector<int> m_tree;
};

// The largest value over positions from..n-1, values only ever raised.
class SuffixMax final {
public:
    explicit SuffixMax(int n) : m_tree(static_cast<size_t>(n) + 1, -1) {}
    void raise(int pos, int value)
    {
        for (size_t k = m_tree.size() - 1 - size_t(pos); k < m_tree.size(); k += k & (~k + 1))
            m_tree[k] = std::max(m_tree[k], value);
    }
    int from(int pos) const
    {
        int most = -1;
        for (size_t k = m_tree.size() - 1 - size_t(pos); k > 0; k -= k & (~k + 1))
            most = std::max(most, m_tree[k]);
        return most;
    }

private:
    std::vector<int> m_tree;
};

// The final order of the exchange sort over `rank` (row indices by output position).
//
// Call a row settled when its rank is at most every rank to its right. Settled rows hold the
// settled ranks in ascending order; every other row is still in its own place. The pass at i
// brings the lowest rank left to i: the first of its settled rows when row i is settled itself;
// otherwise the last, while each rank between the two moves its last settled row to its front
// and row i joins the front of its own rank. Rows that settle after a pass join their rank's
// front, right to left.
//
// So the order follows from the pass at which each row settles. A row p of rank r that is not
// settled settles at the first pass t after which (a) every row right of it ranked below r has
// settled, and (b) rows ranked r or above in 0..t-1 are at least as many as rows ranked below r
// right of p; when that is later than p, row p is moved by its own pass. Both conditions only
// look at lower ranks, so the ranks are handled from the lowest up. Then the passes are replayed
// with one ring of settled rows per rank; the rotations of the middle ranks are counted, not
// done, and applied when a rank is next touched. O(n log n) with plain arrays.
std::vector<int> exchangeSortOrder(const std::vector<int>& rank)
{
    const int n = int(rank.size());
    std::vector<int> order(static_cast<size_t>(n), 0);
    if (n == 0)
        return order;
    const int rankCount = *std::max_element(rank.begin(), rank.end()) + 1;
    // below[r]: rows ranked below r, which is also where rank r starts in the output.
    std::vector<int> below(static_cast<size_t>(rankCount) + 1, 0);
    for (const int r : rank)
        ++below[size_t(r) + 1];
    std::partial_sum(below.begin(), below.end(), below.begin());
    std::vector<int> byRank(static_cast<size_t>(n), 0);
    {
        std::vector<int> next(below.begin(), below.end() - 1);
        for (int p = 0; p < n; ++p)
            byRank[size_t(next[size_t(rank[size_t(p)])]++)] = p;
    }

    // The pass after which each row is settled; Never for a row its own pass moves.
    constexpr int Never = std::numeric_limits<int>::max();
    std::vector<int> settles(static_cast<size_t>(n), Never);
    {
        Fenwick lower(n);
        SuffixMax lowerSettle(n);
        for (int r = 0; r < rankCount; ++r) {
            const int first = below[size_t(r)];
            const int end = below[size_t(r) + 1];
            for (int k = first; k < end; ++k) {
                const int p = byRank[size_t(k)];
                // (b) cannot hold by pass p when fewer than `first` rows lie left of p.
                if (p < first)
                    continue;
                const int waitFor = lowerSettle.from(p + 1);
                if (waitFor > p)
                    continue;
                const int lowerRight = first - lower.prefix(p + 1);
                const int counted = lowerRight == 0 ? 0 : lower.endOfZero(lowerRight);
                settles[size_t(p)] = std::max(waitFor, counted);
            }
            for (int k = first; k < end; ++k) {
                const int p = byRank[size_t(k)];
                lower.add(p, 1);
                lowerSettle.raise(p, settles[size_t(p)]);
            }
        }
    }
    // Rows by the pass they settle after, right to left within one pass.
    std::vector<int> settleStart(static_cast<size_t>(n) + 2, 0);
    for (const int t : settles) {
        if (t != Never)
            ++settleStart[size_t(t) + 1];
    }
    std::partial_sum(settleStart.begin(), settleStart.end(), settleStart.begin());
    std::vector<int> settling(static_cast<size_t>(settleStart.back()), 0);
    {
        std::vector<int> next(settleStart.begin(), settleStart.end() - 1);
        for (int p = n - 1; p >= 0; --p) {
            if (settles[size_t(p)] != Never)
                settling[size_t(next[size_t(settles[size_t(p)])]++)] = p;
        }
    }

    // One ring per rank, each as large as the rank's row count, side by side in one array.
    std::vector<int> ring(static_cast<size_t>(n), 0);
    std::vector<int> head(static_cast<size_t>(rankCount), 0);
    std::vector<int> held(static_cast<size_t>(rankCount), 0);
    // Rotations a rank has had so far: passes moving a row of a higher rank, until the rank's
    // own rows are being placed (then it is the lowest and no pass rotates it).
    Fenwick movedRanks(rankCount);
    long long moves = 0;
    std::vector<long long> applied(static_cast<size_t>(rankCount), 0);
    std::vector<char> placing(static_cast<size_t>(rankCount), 0);
    const auto capacity = [&](int r) { return below[size_t(r) + 1] - below[size_t(r)]; };
    const auto slot = [&](int r, int k) -> int& {
        int index = head[size_t(r)] + k;
        if (index >= capacity(r))
            index -= capacity(r);
        return ring[size_t(below[size_t(r)] + index)];
    };
    const auto stepHeadBack = [&](int r) {
        head[size_t(r)] = (head[size_t(r)] == 0 ? capacity(r) : head[size_t(r)]) - 1;
    };
    const auto catchUp = [&](int r, int pass) {
        if (placing[size_t(r)])
            return;
        placing[size_t(r)] = pass >= below[size_t(r)];
        const long long now = moves - movedRanks.prefix(r + 1);
        const long long times = now - applied[size_t(r)];
        applied[size_t(r)] = now;
        const int count = held[size_t(r)];
        if (count < 2 || times == 0)
            return;
        const int steps = int(times % count);
        if (count == capacity(r)) {
            head[size_t(r)] = (head[size_t(r)] + capacity(r) - steps) % capacity(r);
            return;
        }
        for (int s = 0; s < steps; ++s) {
            const int last = slot(r, count - 1);
            stepHeadBack(r);
            slot(r, 0) = last;
        }
    };
    const auto pushFront = [&](int row, int pass) {
        const int r = rank[size_t(row)];
        catchUp(r, pass);
        stepHeadBack(r);
        slot(r, 0) = row;
        ++held[size_t(r)];
    };
    const auto settleAfter = [&](int pass) {
        for (int k = settleStart[size_t(pass)]; k < settleStart[size_t(pass) + 1]; ++k)
            pushFront(settling[size_t(k)], pass);
    };

    settleAfter(0);
    int low = 0;
    for (int i = 0; i < n; ++i) {
        while (below[size_t(low) + 1] <= i)
            ++low;
        catchUp(low, i);
        --held[size_t(low)];
        if (settles[size_t(i)] != Never) {
            order[size_t(i)] = slot(low, 0);
            head[size_t(low)] = head[size_t(low)] + 1 == capacity(low) ? 0 : head[size_t(low)] + 1;
        } else {
            order[size_t(i)] = slot(low, held[size_t(low)]);
            ++moves;
            movedRanks.add(rank[size_t(i)], 1);
            pushFront(i, i);
        }
        settleAfter(i + 1);
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
    qint64 day = 0;
    bool exact = false;
    if (wholeDayOf(dueCell, &day, &exact) && exact)
        return double(day);
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

namespace {

// Dense ranks of packed keys: rows with equal keys share one.
std::vector<int> packedRanks(const std::vector<std::uint64_t>& packed, int bits)
{
    const size_t n = packed.size();
    std::vector<int> rank(n, 0);
    if (bits <= 24 && (std::uint64_t(1) << bits) <= 8 * std::uint64_t(n) + 4096) {
        // Few enough keys to count: mark the ones in use, number them in order.
        std::vector<int> place(size_t(1) << bits, 0);
        for (const std::uint64_t key : packed)
            place[size_t(key)] = 1;
        numberMarked(place);
        for (size_t r = 0; r < n; ++r)
            rank[r] = place[size_t(packed[r])];
        return rank;
    }
    std::vector<std::pair<std::uint64_t, int>> keyed(n);
    for (size_t r = 0; r < n; ++r)
        keyed[r] = {packed[r], int(r)};
    std::sort(keyed.begin(), keyed.end());
    int current = 0;
    for (size_t k = 0; k < n; ++k) {
        if (k > 0 && keyed[k - 1].first != keyed[k].first)
            ++current;
        rank[size_t(keyed[k].second)] = current;
    }
    return rank;
}

// A row's packed key from the kept texts and numbers; false when one of its keys is not among them.
bool keptKey(const SortKeyCache& cache, QStringView row, const QList<int>& columns, const std::array<int, 3>& keys,
             std::uint64_t* key)
{
    std::uint64_t packed = 0;
    for (size_t level = 0; level < cache.levels.size(); ++level) {
        const SortKeyCache::Level& kept = cache.levels[level];
        const QStringView cell = TSortGrid::cellOf(row, columns[qsizetype(level)]);
        int place = 0;
        if (kept.text) {
            const auto found = std::find_if(kept.texts.begin(), kept.texts.end(),
                                            [cell](const QString& text) { return sameText(text, cell); });
            if (found == kept.texts.end())
                return false;
            place = kept.textPlaces[size_t(found - kept.texts.begin())];
        } else {
            const double number = numericKey(cell, keys[level], false);
            const auto found = std::lower_bound(kept.numbers.begin(), kept.numbers.end(), number);
            if (found == kept.numbers.end() || *found != number)
                return false;
            place = int(found - kept.numbers.begin());
            place = kept.ascending ? place : -place;
        }
        packed = (packed << kept.width) | std::uint64_t(place + kept.offset);
    }
    *key = packed;
    return true;
}

// The packed keys of `rows` from the cache: a row that is the very string of the last input at
// the position reached takes its kept key; the few others are read. False when too many rows
// changed or one has a key the last sort did not see.
bool keptKeys(const QList<QString>& rows, const std::vector<const QString*>& previous, const SortKeyCache& cache,
              const QList<int>& columns, const std::array<int, 3>& keys, std::vector<std::uint64_t>* packed)
{
    if (previous.size() != cache.packed.size())
        return false;
    const auto same = TSortGrid::sameString;
    constexpr int mostRead = 64;
    int read = 0;
    packed->assign(size_t(rows.size()), 0);
    size_t j = 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        // A row taken out of the last input is passed over.
        if (j + 1 < previous.size() && !same(rows[i], *previous[j]) && same(rows[i], *previous[j + 1]))
            ++j;
        if (j < previous.size() && same(rows[i], *previous[j])) {
            (*packed)[size_t(i)] = cache.packed[j++];
            continue;
        }
        if (++read > mostRead || !keptKey(cache, rows[i], columns, keys, &(*packed)[size_t(i)]))
            return false;
        // A row changed in place takes the place of the old one.
        if (j + 1 < previous.size() && i + 1 < rows.size() && same(rows[i + 1], *previous[j + 1]))
            ++j;
    }
    return true;
}

} // namespace

std::vector<int> SortOrderByKeys(const QList<QString>& rows, int prim, bool primAsc, int sec, bool secAsc, int ter,
                                 bool terAsc)
{
    SortKeyCache unused;
    return SortOrderByKeys(rows, prim, primAsc, sec, secAsc, ter, terAsc, {}, unused);
}

std::vector<int> SortOrderByKeys(const QList<QString>& rows, int prim, bool primAsc, int sec, bool secAsc, int ter,
                                 bool terAsc, const std::vector<const QString*>& previous, SortKeyCache& cache)
{
    if (!isSortColumn(prim) || rows.size() < 2) {
        cache = {};
        return {};
    }
    const int n = int(rows.size());
    const std::array<int, 3> keys{prim, sec, ter};
    const std::array<bool, 3> ascending{primAsc, secAsc, terAsc};
    const QList<int> columns = keySortColumns(prim, sec, ter);
    const std::vector<int> spec{prim, primAsc, sec, secAsc, ter, terAsc};

    std::vector<std::uint64_t> packed;
    if (!cache.spec.empty() && cache.spec == spec && keptKeys(rows, previous, cache, columns, keys, &packed)) {
        int bits = 0;
        for (const SortKeyCache::Level& level : cache.levels)
            bits += level.width;
        cache.packed.assign(packed.begin(), packed.end());
        return exchangeSortOrder(packedRanks(packed, bits));
    }

    std::vector<SortKeyCache::Level> kept;
    const std::vector<std::vector<int>> places = levelPlaces(rows, keys, ascending, columns, &kept);
    // Rank every row once: rows that compare equal on all levels share a rank. The levels' places
    // are packed into one number, level 1 highest, so that ranking is one sort of plain integers;
    // only a table with millions of distinct keys needs the level-by-level comparison.
    std::vector<int> offset(places.size(), 0);
    std::vector<int> width(places.size(), 0);
    int bits = 0;
    for (size_t level = 0; level < places.size(); ++level) {
        const auto [least, most] = std::minmax_element(places[level].begin(), places[level].end());
        offset[level] = -*least;
        width[level] = int(std::bit_width(unsigned(*most - *least)));
        bits += width[level];
    }
    cache = {};
    if (bits > 62) {
        const auto less = [&places](int a, int b) {
            for (const std::vector<int>& level : places) {
                if (level[size_t(a)] != level[size_t(b)])
                    return level[size_t(a)] < level[size_t(b)];
            }
            return false;
        };
        std::vector<int> byKey = identity(n);
        std::sort(byKey.begin(), byKey.end(), less);
        std::vector<int> rank(static_cast<size_t>(n), 0);
        int current = 0;
        for (size_t k = 0; k < byKey.size(); ++k) {
            if (k > 0 && less(byKey[k - 1], byKey[k]))
                ++current;
            rank[size_t(byKey[k])] = current;
        }
        return exchangeSortOrder(rank);
    }
    packed.assign(static_cast<size_t>(n), 0);
    for (size_t r = 0; r < packed.size(); ++r) {
        for (size_t level = 0; level < places.size(); ++level)
            packed[r] = (packed[r] << width[level]) | std::uint64_t(places[level][r] + offset[level]);
    }
    // Kept for the next sort while the keys are few: texts of projects, priorities and assignees,
    // days and percentages.
    if (!kept.empty() && bits <= 32) {
        for (size_t level = 0; level < kept.size(); ++level) {
            kept[level].offset = offset[level];
            kept[level].width = width[level];
        }
        cache.spec = spec;
        cache.levels = std::move(kept);
        cache.packed.assign(packed.begin(), packed.end());
    }
    return exchangeSortOrder(packedRanks(packed, bits));
}

void SortByKeys(TSortGrid& grid, int prim, bool primAsc, int sec, bool secAsc, int ter, bool terAsc)
{
    applySortOrder(grid, SortOrderByKeys(grid.rows(), prim, primAsc, sec, secAsc, ter, terAsc));
}
