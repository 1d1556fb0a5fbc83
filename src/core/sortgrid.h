#pragma once

#include "core/atomicfile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>

// A table of text cells addressed by row and column, the in-memory form of every table file.
// It never has fewer than one row or one column; an empty table is one row of empty cells.
//
// Each row is kept as one string, its cells joined by a line feed. A cell can never hold a line
// break (a file line cannot), so the joined text is unambiguous, and a table of a hundred
// thousand rows costs one allocation per row instead of one per cell.
class TSortGrid {
public:
    static constexpr char16_t CellSeparator = u'\n';
    using RowCells = QVarLengthArray<QStringView, 16>;

    explicit TSortGrid(int colCount = 1, int rowCount = 1);

    int rowCount() const { return int(m_rows.size()); }
    int colCount() const { return m_colCount; }
    // Growing adds empty rows or cells; shrinking drops them. Never below one.
    void setRowCount(int count);
    void setColCount(int count);

    // A cell; outside the table it reads as empty. The view is valid until the grid changes.
    QStringView cell(int row, int col) const;
    QString cellText(int row, int col) const { return cell(row, col).toString(); }
    // Writes outside the table are ignored; line breaks in the text become blanks.
    void setCell(int row, int col, QStringView text);

    // A row's cells as a list (always colCount() of them).
    QStringList row(int row) const;
    // Replaces a row's cells: surplus cells are dropped, missing ones are empty.
    void setRow(int row, const QStringList& cells);
    // All cells of a row at once, without copying; valid until the grid changes.
    RowCells rowCells(int row) const;

    // The joined text of a row; rows of two grids with equal column counts can be copied with it.
    const QString& rowText(int row) const { return m_rows.at(row); }
    void setRowText(int row, const QString& text);
    static QStringView cellOf(QStringView rowText, int col);
    // The first cell separator at or after `from` in a row text; -1 when there is none.
    static qsizetype nextSeparator(QStringView rowText, qsizetype from);
    // A walk over many rows waits mostly for memory, as the rows lie scattered over the heap:
    // asking for the head of the row `RowsAhead` places on overlaps those waits.
    static constexpr qsizetype RowsAhead = 16;
    static void fetchAhead(const QList<QString>& rows, qsizetype row)
    {
        if (row + RowsAhead < rows.size()) {
            const char* text = reinterpret_cast<const char*>(rows[row + RowsAhead].constData());
            __builtin_prefetch(text);
            __builtin_prefetch(text + 64);
        }
    }
    // Two row texts that are one string (shared data), known without reading them.
    static bool sameString(const QString& a, const QString& b)
    {
        return a.constData() == b.constData() && a.size() == b.size();
    }
    // Direct access to the joined rows for filters and sorts that move whole rows.
    QList<QString>& rows() { return m_rows; }
    const QList<QString>& rows() const { return m_rows; }

    // The row the caller works on after a lookup (for example LocateTaskRow).
    int currentRow() const { return m_currentRow; }
    void setCurrentRow(int row) { m_currentRow = row; }

    // Clears every cell, keeping the size.
    void clearCells();
    // One empty row, count of columns kept.
    void clear();

    // Inserts an empty row at `row`; the rows from there move down by one.
    void InsertRow(int row);
    // Removes the row; the only row of a table is emptied instead.
    void DeleteRow(int row);
    // Takes the row out and puts it back at position `to` (counted after the removal).
    void MoveRow(int from, int to);
    // Removes a column; later columns move one place left. The only column is emptied instead.
    void DeleteColumn(int col);

    // Replaces the content with the lines of a text: lines end at CR, LF or CR LF; a line end
    // at the very end adds no line; a NUL character ends the text. Each line is cut at every
    // delimiter; the column count becomes one, then grows to the longest line's field count.
    void LoadFromText(QStringView text, QChar delimiter);
    // Rows read by LoadFromText share one block of memory, freed once none of them is in use
    // any more: a read looks for such blocks, and so should whoever drops many rows at once.
    static void releaseUnusedRows();
    // The memory those blocks hold.
    static qsizetype rowBlockBytes();
    // Reads a file (each line UTF-8, else Windows-1252; NUL bytes skipped) as LoadFromText does. Returns an empty
    // string on success, otherwise an error naming the file; the grid is then left unchanged.
    QString LoadFromFile(const QString& path, QChar delimiter);

    // Every row, every column joined by the delimiter, each line ended by CR LF.
    QString ToText(QChar delimiter) const;
    // Hands ToText as UTF-8 file bytes to `sink` a piece at a time, so that no copy of the whole
    // table is made; stops and returns false when the sink takes no more.
    bool writeFileBytes(QChar delimiter, const ByteSink& sink) const;
    // Appends ToText as UTF-8 file bytes.
    void appendFileBytes(QByteArray& out, QChar delimiter) const;
    // Writes the file bytes atomically. Returns an empty string on success, otherwise the error
    // naming the file and the reason; the previous file is then left intact.
    QString SaveToFile(const QString& path, QChar delimiter) const;

private:
    QString emptyRowText() const { return QString(m_colCount - 1, QChar(CellSeparator)); }
    // Start and end of a cell inside a row text; false when the column is beyond the row.
    static bool cellBounds(QStringView rowText, int col, qsizetype* start, qsizetype* end);

    QList<QString> m_rows;
    int m_colCount = 1;
    int m_currentRow = 0;
};
