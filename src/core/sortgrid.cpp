#include "core/sortgrid.h"

#include "core/atomicfile.h"
#include "core/textcodec.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

const QString emptyCell;

QStringList emptyRow(int colCount)
{
    QStringList row;
    row.resize(colCount);
    return row;
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
    while (rowCount() < count)
        m_rows.append(emptyRow(m_colCount));
}

void TSortGrid::setColCount(int count)
{
    count = std::max(1, count);
    if (count == m_colCount)
        return;
    m_colCount = count;
    for (QStringList& r : m_rows)
        r.resize(count);
}

const QString& TSortGrid::cell(int row, int col) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_colCount)
        return emptyCell;
    return m_rows.at(row).at(col);
}

void TSortGrid::setCell(int row, int col, const QString& text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_colCount)
        return;
    m_rows[row][col] = text;
}

void TSortGrid::setRow(int row, QStringList cells)
{
    if (row < 0 || row >= rowCount())
        return;
    cells.resize(m_colCount);
    m_rows[row] = std::move(cells);
}

void TSortGrid::clearCells()
{
    for (QStringList& r : m_rows)
        r = emptyRow(m_colCount);
}

void TSortGrid::clear()
{
    m_rows.clear();
    m_rows.append(emptyRow(m_colCount));
    m_currentRow = 0;
}

void TSortGrid::InsertRow(int row)
{
    row = std::clamp(row, 0, rowCount());
    m_rows.insert(row, emptyRow(m_colCount));
}

void TSortGrid::DeleteRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    if (rowCount() == 1) {
        m_rows[0] = emptyRow(m_colCount);
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
    for (QStringList& r : m_rows)
        r.removeAt(col);
    --m_colCount;
}

void TSortGrid::LoadFromText(QStringView text, QChar delimiter)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text = text.left(nul);

    // Large tables are the common case: size every list once instead of growing it.
    QList<QStringList> rows;
    rows.reserve(text.count(u'\n') + 1);
    int colCount = 1;
    const QChar* p = text.data();
    const QChar* const end = p + text.size();
    while (p < end) {
        const QChar* lineEnd = p;
        int fieldCount = 1;
        while (lineEnd < end && *lineEnd != u'\r' && *lineEnd != u'\n') {
            fieldCount += *lineEnd == delimiter;
            ++lineEnd;
        }
        QStringList fields;
        fields.reserve(std::max(fieldCount, colCount));
        const QChar* fieldStart = p;
        for (; p <= lineEnd; ++p) {
            if (p == lineEnd || *p == delimiter) {
                fields.append(p == fieldStart ? QString() : QString(fieldStart, p - fieldStart));
                fieldStart = p + 1;
            }
        }
        p = lineEnd;
        if (p < end) {
            if (*p == u'\r' && p + 1 < end && p[1] == u'\n')
                ++p;
            ++p;
        }
        colCount = std::max(colCount, fieldCount);
        rows.append(std::move(fields));
    }
    if (rows.isEmpty())
        rows.append(QStringList());
    for (QStringList& r : rows) {
        if (r.size() != colCount)
            r.resize(colCount);
    }
    m_rows = std::move(rows);
    m_colCount = colCount;
    m_currentRow = 0;
}

QString TSortGrid::LoadFromFile(const QString& path, QChar delimiter)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString());
    LoadFromText(decodeText(bytes), delimiter);
    return {};
}

QString TSortGrid::ToText(QChar delimiter) const
{
    qsizetype size = 0;
    for (const QStringList& r : m_rows) {
        for (const QString& c : r)
            size += c.size();
        size += m_colCount + 1;
    }
    QString text;
    text.reserve(size);
    for (const QStringList& r : m_rows) {
        for (int c = 0; c < m_colCount; ++c) {
            if (c > 0)
                text.append(delimiter);
            text.append(r.at(c));
        }
        text.append(u"\r\n");
    }
    return text;
}

void TSortGrid::appendFileBytes(QByteArray& out, QChar delimiter) const
{
    qsizetype size = out.size();
    for (const QStringList& r : m_rows) {
        for (const QString& c : r)
            size += c.size();
        size += m_colCount + 1;
    }
    out.reserve(size + size / 8);
    const char separator = delimiter.unicode() < 0x80 ? char(delimiter.unicode()) : '\0';
    for (const QStringList& r : m_rows) {
        for (int c = 0; c < m_colCount; ++c) {
            if (c > 0) {
                if (separator)
                    out.append(separator);
                else
                    appendUtf8(out, QStringView(&delimiter, 1));
            }
            appendUtf8(out, r.at(c));
        }
        out.append("\r\n", 2);
    }
}

QString TSortGrid::SaveToFile(const QString& path, QChar delimiter) const
{
    QByteArray bytes;
    appendFileBytes(bytes, delimiter);
    return writeFileAtomically(path, bytes);
}
