#include "core/sortgrid.h"

#include "core/atomicfile.h"
#include "core/textcodec.h"

#include <QMutex>
#include <QStringEncoder>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Line breaks cannot be stored in a cell: they would end the line in the file.
QString cellValue(QStringView text)
{
    QString value = text.toString();
    for (QChar& c : value) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    return value;
}

// Pads or cuts a row text to exactly `colCount` cells.
void fitRow(QString& text, int colCount)
{
    const int fields = int(text.count(QChar(TSortGrid::CellSeparator))) + 1;
    if (fields < colCount) {
        text.append(QString(colCount - fields, QChar(TSortGrid::CellSeparator)));
    } else if (fields > colCount) {
        qsizetype pos = -1;
        for (int i = 0; i < colCount; ++i)
            pos = text.indexOf(QChar(TSortGrid::CellSeparator), pos + 1);
        text.truncate(pos);
    }
}

// The first of the characters `a` and `b` at or after `from`, eight characters at a time where the
// processor allows; `size` when there is none.
qsizetype indexOfEither(const char16_t* text, qsizetype size, qsizetype from, char16_t a, char16_t b)
{
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi16(short(a));
    const __m128i second = _mm_set1_epi16(short(b));
    for (; i + 8 <= size; i += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const int found =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(chars, first), _mm_cmpeq_epi16(chars, second)));
        if (found != 0)
            return i + __builtin_ctz(unsigned(found)) / 2;
    }
#endif
    for (; i < size; ++i) {
        if (text[i] == a || text[i] == b)
            return i;
    }
    return size;
}

// Copies a line with each delimiter turned into the cell separator; returns the number of fields.
int copyCells(const char16_t* in, qsizetype size, char16_t* out, char16_t delimiter)
{
    int cuts = 0;
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i from = _mm_set1_epi16(short(delimiter));
    const __m128i to = _mm_set1_epi16(short(TSortGrid::CellSeparator));
    for (; i + 8 <= size; i += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i cut = _mm_cmpeq_epi16(chars, from);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_or_si128(_mm_and_si128(cut, to), _mm_andnot_si128(cut, chars)));
        cuts += __builtin_popcount(unsigned(_mm_movemask_epi8(cut))) / 2;
    }
#endif
    for (; i < size; ++i) {
        const bool cut = in[i] == delimiter;
        out[i] = cut ? char16_t(TSortGrid::CellSeparator) : in[i];
        cuts += cut;
    }
    return cuts + 1;
}

// The rows read from a file lie one after the other in one allocation, each with the header a
// QString keeps in front of its text: 100,000 separate allocations would cost 1.4 MiB more and
// scatter the rows over the heap. The block holds one reference of its own to every row, so
// Qt never frees a row itself and copies any row it changes. Once the block's reference is the
// only one left to a row, nothing can share that row again; the block is freed once that holds
// for all its rows.
class RowBlocks {
public:
    static constexpr qsizetype HeaderSize = sizeof(QArrayData);
    static_assert(HeaderSize % alignof(QArrayData) == 0);

    // Lays out one row per line: `fill` writes a line's text, `take` receives the row.
    template <typename Fill, typename Take> void read(const std::vector<QStringView>& lines, Fill fill, Take take)
    {
        releaseUnused();
        qsizetype bytes = 0;
        for (const QStringView line : lines)
            bytes += entrySize(line.size());
        if (bytes == 0)
            return;
        char* memory = static_cast<char*>(std::malloc(size_t(bytes)));
        if (memory == nullptr)
            throw std::bad_alloc();
        char* entry = memory;
        for (const QStringView line : lines) {
            auto* header = reinterpret_cast<QTypedArrayData<char16_t>*>(entry);
            header->ref_.storeRelaxed(2); // the block's and the row's
            header->flags = QArrayData::ArrayOptionDefault;
            header->alloc = line.size();
            auto* text = reinterpret_cast<char16_t*>(entry + HeaderSize);
            fill(line, text);
            text[line.size()] = u'\0';
            take(QString(QString::DataPointer(header, text, line.size())));
            entry += entrySize(line.size());
        }
        const QMutexLocker lock(&m_mutex);
        m_blocks.push_back({memory, memory + bytes, memory});
        m_heldBytes += bytes;
    }

    void releaseUnused()
    {
        const QMutexLocker lock(&m_mutex);
        for (auto block = m_blocks.begin(); block != m_blocks.end();) {
            // A row left to the block stays so: the walk need never look at it again. Each step
            // learns where the next row starts only from this row; the rows lie in order, so
            // asking for the memory some rows ahead keeps the walk from waiting at each one.
            while (block->firstUsed < block->end) {
                __builtin_prefetch(block->firstUsed + 2048);
                const auto* header = reinterpret_cast<const QArrayData*>(block->firstUsed);
                if (header->ref_.loadAcquire() != 1)
                    break;
                block->firstUsed += entrySize(header->alloc);
            }
            if (block->firstUsed < block->end) {
                ++block;
                continue;
            }
            m_heldBytes -= block->end - block->memory;
            std::free(block->memory);
            block = m_blocks.erase(block);
        }
    }

    qsizetype heldBytes()
    {
        const QMutexLocker lock(&m_mutex);
        return m_heldBytes;
    }

private:
    struct Block {
        char* memory;
        char* end;
        char* firstUsed;
    };
    // Header, text and terminating NUL, rounded up so that the next header is aligned.
    static qsizetype entrySize(qsizetype length)
    {
        constexpr qsizetype align = alignof(QArrayData);
        return HeaderSize + ((qsizetype(sizeof(char16_t)) * (length + 1) + align - 1) & ~(align - 1));
    }

    QMutex m_mutex;
    std::vector<Block> m_blocks;
    qsizetype m_heldBytes = 0;
};

// Never destroyed: rows kept in other static objects may outlive it.
RowBlocks& rowBlocks()
{
    static auto* blocks = new RowBlocks;
    return *blocks;
}

} // namespace

TSortGrid::TSortGrid(int colCount, int rowCount) : m_colCount(std::max(1, colCount))
{
    setRowCount(rowCount);
}

void TSortGrid::setRowCount(int count)
{
    count = std::max(1, count);
    if (count < rowCount()) {
        m_rows.resize(count);
        return;
    }
    m_rows.reserve(count);
    const QString empty = emptyRowText();
    while (rowCount() < count)
        m_rows.append(empty);
}

void TSortGrid::setColCount(int count)
{
    count = std::max(1, count);
    if (count == m_colCount)
        return;
    m_colCount = count;
    for (QString& r : m_rows)
        fitRow(r, count);
}

qsizetype TSortGrid::nextSeparator(QStringView text, qsizetype from)
{
    const qsizetype at = indexOfEither(text.utf16(), text.size(), from, CellSeparator, CellSeparator);
    return at < text.size() ? at : -1;
}

bool TSortGrid::cellBounds(QStringView rowText, int col, qsizetype* start, qsizetype* end)
{
    if (col < 0)
        return false;
    qsizetype from = 0;
    for (int i = 0; i < col; ++i) {
        const qsizetype sep = nextSeparator(rowText, from);
        if (sep < 0)
            return false;
        from = sep + 1;
    }
    const qsizetype to = nextSeparator(rowText, from);
    *start = from;
    *end = to < 0 ? rowText.size() : to;
    return true;
}

QStringView TSortGrid::cellOf(QStringView rowText, int col)
{
    qsizetype start = 0, end = 0;
    if (!cellBounds(rowText, col, &start, &end))
        return {};
    return rowText.sliced(start, end - start);
}

QStringView TSortGrid::cell(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col >= m_colCount)
        return {};
    return cellOf(m_rows.at(row), col);
}

void TSortGrid::setCell(int row, int col, QStringView text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_colCount)
        return;
    QString& r = m_rows[row];
    qsizetype start = 0, end = 0;
    if (cellBounds(r, col, &start, &end))
        r.replace(start, end - start, cellValue(text));
}

QStringList TSortGrid::row(int row) const
{
    QStringList cells;
    cells.reserve(m_colCount);
    for (const QStringView c : rowCells(row))
        cells.append(c.toString());
    return cells;
}

TSortGrid::RowCells TSortGrid::rowCells(int row) const
{
    RowCells cells;
    const QStringView text = m_rows.at(row);
    qsizetype from = 0;
    for (int c = 0; c < m_colCount - 1; ++c) {
        const qsizetype sep = text.indexOf(QChar(CellSeparator), from);
        cells.append(text.sliced(from, sep - from));
        from = sep + 1;
    }
    cells.append(text.sliced(from));
    return cells;
}

void TSortGrid::setRow(int row, const QStringList& cells)
{
    if (row < 0 || row >= rowCount())
        return;
    QString text;
    for (int c = 0; c < m_colCount; ++c) {
        if (c > 0)
            text.append(QChar(CellSeparator));
        if (c < cells.size())
            text.append(cellValue(cells.at(c)));
    }
    m_rows[row] = text;
}

void TSortGrid::setRowText(int row, const QString& text)
{
    if (row < 0 || row >= rowCount())
        return;
    QString fitted = text;
    fitRow(fitted, m_colCount);
    m_rows[row] = fitted;
}

void TSortGrid::clearCells()
{
    const QString empty = emptyRowText();
    for (QString& r : m_rows)
        r = empty;
}

void TSortGrid::clear()
{
    m_rows = {emptyRowText()};
    m_currentRow = 0;
}

void TSortGrid::InsertRow(int row)
{
    row = std::clamp(row, 0, rowCount());
    m_rows.insert(row, emptyRowText());
}

void TSortGrid::DeleteRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    if (rowCount() == 1) {
        m_rows[0] = emptyRowText();
        return;
    }
    m_rows.removeAt(row);
    if (m_currentRow >= rowCount())
        m_currentRow = rowCount() - 1;
}

void TSortGrid::MoveRow(int from, int to)
{
    if (from < 0 || from >= rowCount())
        return;
    to = std::clamp(to, 0, rowCount() - 1);
    if (from != to)
        m_rows.move(from, to);
}

void TSortGrid::DeleteColumn(int col)
{
    if (col < 0 || col >= m_colCount)
        return;
    if (m_colCount == 1) {
        clearCells();
        return;
    }
    for (QString& r : m_rows) {
        qsizetype start = 0, end = 0;
        if (!cellBounds(r, col, &start, &end))
            continue;
        // Take the cell with the separator before it (or after it, for column 0).
        if (col == 0)
            r.remove(0, end + 1);
        else
            r.remove(start - 1, end - start + 1);
    }
    --m_colCount;
}

void TSortGrid::LoadFromText(QStringView text, QChar delimiter)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text = text.left(nul);

    std::vector<QStringView> lines;
    lines.reserve(size_t(text.count(u'\n')) + 1);
    const char16_t* const chars = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype p = 0; p < size;) {
        const qsizetype lineEnd = indexOfEither(chars, size, p, u'\r', u'\n');
        lines.emplace_back(chars + p, lineEnd - p);
        p = lineEnd;
        if (p < size) {
            if (chars[p] == u'\r' && p + 1 < size && chars[p + 1] == u'\n')
                ++p;
            ++p;
        }
    }

    QList<QString> rows;
    rows.reserve(qsizetype(lines.size()) + 1);
    int colCount = 1;
    bool ragged = false;
    rowBlocks().read(
        lines,
        [&](QStringView line, char16_t* out) {
            const int fields = copyCells(line.utf16(), line.size(), out, delimiter.unicode());
            if (fields != colCount && !rows.isEmpty())
                ragged = true;
            colCount = std::max(colCount, fields);
        },
        [&](QString row) { rows.append(std::move(row)); });
    if (rows.isEmpty())
        rows.append(QString());
    if (ragged) {
        for (QString& r : rows)
            fitRow(r, colCount);
    }
    m_rows = std::move(rows);
    m_colCount = colCount;
    m_currentRow = 0;
}

void TSortGrid::releaseUnusedRows()
{
    rowBlocks().releaseUnused();
}

qsizetype TSortGrid::rowBlockBytes()
{
    return rowBlocks().heldBytes();
}

QString TSortGrid::LoadFromFile(const QString& path, QChar delimiter)
{
    QByteArray bytes;
    const QString error = readFileBytes(path, &bytes);
    if (error.isEmpty()) {
        QString damage; // a damaged list file still gives every line it holds
        LoadFromText(decodeTableText(bytes, &damage), delimiter);
    }
    return error;
}

QString TSortGrid::ToText(QChar delimiter) const
{
    qsizetype size = 0;
    for (const QString& r : m_rows)
        size += r.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString& r : m_rows) {
        const qsizetype start = text.size();
        text.append(r);
        for (QChar* c = text.data() + start; c != text.data() + text.size(); ++c) {
            if (*c == QChar(CellSeparator))
                *c = delimiter;
        }
        text.append(u"\r\n");
    }
    return text;
}

namespace {

// Writes an ASCII row as bytes with its cell separators replaced, sixteen characters at a time
// where the processor allows; false as soon as a character is not ASCII (what was written then
// is to be written over).
bool narrowAsciiRow(QStringView row, char* dst, char replacement)
{
    const char16_t* src = row.utf16();
    const qsizetype n = row.size();
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i nonAscii = _mm_set1_epi16(short(0xFF80));
    const __m128i separator = _mm_set1_epi8(char(TSortGrid::CellSeparator));
    const __m128i delimiter = _mm_set1_epi8(replacement);
    for (; i + 16 <= n; i += 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 8));
        const __m128i wide = _mm_and_si128(_mm_or_si128(low, high), nonAscii);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(wide, _mm_setzero_si128())) != 0xFFFF)
            return false;
        const __m128i bytes = _mm_packus_epi16(low, high);
        const __m128i isSeparator = _mm_cmpeq_epi8(bytes, separator);
        const __m128i result =
            _mm_or_si128(_mm_and_si128(isSeparator, delimiter), _mm_andnot_si128(isSeparator, bytes));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), result);
    }
#endif
    for (; i < n; ++i) {
        const char16_t c = src[i];
        if (c >= 0x80)
            return false;
        dst[i] = c == TSortGrid::CellSeparator ? replacement : char(c);
    }
    return true;
}

} // namespace

bool TSortGrid::writeFileBytes(QChar delimiter, const ByteSink& sink) const
{
    // A piece small enough to stay in the cache between rows and file and to come from the heap
    // rather than a fresh mapping, reused for the whole table: filling one buffer of the table's
    // size faults in every page of it.
    constexpr qsizetype PieceBytes = 192 * 1024;
    QByteArray piece(PieceBytes, Qt::Uninitialized);
    char* begin = piece.data();
    char* dst = begin;
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const bool asciiDelimiter = delimiter.unicode() < 0x80;
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        fetchAhead(m_rows, row);
        const QString& r = m_rows[row];
        // UTF-8 takes at most three bytes per UTF-16 unit.
        const qsizetype worst = (r.size() + 2) * 3;
        if (piece.size() - (dst - begin) < worst) {
            if (dst != begin && !sink(begin, dst - begin))
                return false;
            if (piece.size() < worst)
                piece.resize(worst);
            begin = dst = piece.data();
        }
        char* const rowStart = dst;
        if (asciiDelimiter && narrowAsciiRow(r, dst, char(delimiter.unicode()))) {
            dst += r.size();
            *dst++ = '\r';
            *dst++ = '\n';
            continue;
        }
        dst = encoder.appendToBuffer(dst, r);
        if (asciiDelimiter) {
            // Written as a select so that the compiler vectorises it.
            const char separator = char(CellSeparator);
            const char replacement = char(delimiter.unicode());
            for (char* c = rowStart; c != dst; ++c)
                *c = *c == separator ? replacement : *c;
        } else if (std::find(rowStart, dst, char(CellSeparator)) != dst) {
            QString withDelimiter = r;
            withDelimiter.replace(QChar(CellSeparator), delimiter);
            dst = encoder.appendToBuffer(rowStart, withDelimiter);
        }
        *dst++ = '\r';
        *dst++ = '\n';
    }
    return dst == begin || sink(begin, dst - begin);
}

void TSortGrid::appendFileBytes(QByteArray& out, QChar delimiter) const
{
    writeFileBytes(delimiter, [&out](const char* data, qsizetype size) {
        out.append(data, size);
        return true;
    });
}

QString TSortGrid::SaveToFile(const QString& path, QChar delimiter) const
{
    return streamFileAtomically(path, [&](const ByteSink& sink) { writeFileBytes(delimiter, sink); });
}
