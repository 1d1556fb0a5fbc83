#include "exchange/delimitedtext.h"

#include "core/atomicfile.h"
#include "core/textcodec.h"

#include <QList>
#include <QStringList>

namespace {

constexpr QChar Esc(27);

bool needsQuotes(QStringView cell)
{
    for (const QChar c : cell) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n' || c == Esc)
            return true;
    }
    return false;
}

void appendCsvField(QString& line, QStringView cell)
{
    if (!needsQuotes(cell)) {
        line += cell;
        return;
    }
    // Notes (each line ended by ESC) are written with real line breaks; an ESC anywhere else stays
    // as it is, so that reading the file back gives the same cell.
    const bool notes = cell.endsWith(Esc);
    line += u'"';
    for (const QChar c : cell) {
        if (c == u'"')
            line += u"\"\"";
        else if (c == Esc && notes)
            line += u'\n';
        else
            line += c;
    }
    line += u'"';
}

// A field read from CSV as a cell: line breaks become the notes encoding.
QString cellOfField(QString field, bool hadBreak)
{
    if (!hadBreak)
        return field;
    QString cell;
    cell.reserve(field.size() + 1);
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c == u'\r') {
            if (i + 1 < field.size() && field[i + 1] == u'\n')
                ++i;
            cell += Esc;
        } else if (c == u'\n') {
            cell += Esc;
        } else {
            cell += c;
        }
    }
    // The last line of notes is ended by ESC too, or it would be dropped when the notes are read.
    if (!cell.endsWith(Esc))
        cell += Esc;
    return cell;
}

} // namespace

QByteArray delimitedFileBytes(const TSortGrid& grid, QChar delimiter)
{
    QByteArray bytes;
    grid.appendFileBytes(bytes, delimiter);
    return bytes;
}

QByteArray csvFileBytes(const TSortGrid& grid)
{
    QByteArray bytes;
    QString line;
    for (int r = 0; r < grid.rowCount(); ++r) {
        line.clear();
        const auto cells = grid.rowCells(r);
        for (int c = 0; c < grid.colCount(); ++c) {
            if (c > 0)
                line += u',';
            appendCsvField(line, c < cells.size() ? cells[c] : QStringView());
        }
        line += u"\r\n";
        appendUtf8(bytes, line);
    }
    return bytes;
}

void parseCsv(QStringView text, TSortGrid& grid)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;     // inside a quoted field
    bool hadBreak = false;   // the field holds a line break
    bool atRecordStart = true;
    const auto endField = [&] {
        record.append(cellOfField(std::exchange(field, QString()), hadBreak));
        hadBreak = false;
    };
    const auto endRecord = [&] {
        endField();
        records.append(std::exchange(record, QStringList()));
        atRecordStart = true;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QChar(0))
            break; // the end of the text, as for every file the program reads
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\r' || c == u'\n')
                    hadBreak = true;
                field += c;
            }
            continue;
        }
        atRecordStart = false;
        if (c == u'"' && field.isEmpty()) {
            quoted = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            endRecord();
        } else {
            field += c;
        }
    }
    if (!atRecordStart || quoted)
        endRecord();

    int columns = 1;
    for (const QStringList& r : records)
        columns = std::max(columns, int(r.size()));
    grid = TSortGrid(columns, std::max(1, int(records.size())));
    for (int r = 0; r < records.size(); ++r)
        grid.setRow(r, records[r]);
}

QString readDelimitedFile(const QString& path, ExchangeFormat format, TSortGrid& grid)
{
    QByteArray bytes;
    if (QString error = readFileBytes(path, &bytes); !error.isEmpty())
        return error;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QString damage; // a stray byte still gives every line the file holds
    const QString text = decodeTableText(bytes, &damage);
    if (format == ExchangeFormat::Csv)
        parseCsv(text, grid);
    else
        grid.LoadFromText(text, delimiterOf(format));
    return {};
}

QByteArray delimitedBytes(const TSortGrid& grid, ExchangeFormat format)
{
    return format == ExchangeFormat::Csv ? csvFileBytes(grid) : delimitedFileBytes(grid, delimiterOf(format));
}

QString writeDelimitedFile(const QString& path, const TSortGrid& grid, ExchangeFormat format)
{
    return writeFileAtomically(path, delimitedBytes(grid, format));
}
