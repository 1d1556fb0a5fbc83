#pragma once

#include "core/sortgrid.h"
#include "exchange/exchangeformat.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// The bytes of a grid as a delimited file: each row's cells joined by the delimiter, no quoting,
// every line ended by CR LF, UTF-8.
QByteArray delimitedFileBytes(const TSortGrid& grid, QChar delimiter);

// The bytes of a grid as RFC 4180 CSV: a field is quoted when it holds a comma, a quotation mark,
// a line break or an ESC, quotation marks are doubled, lines end in CR LF, UTF-8. Notes keep their
// line structure: each ESC of the notes encoding becomes a real line break.
QByteArray csvFileBytes(const TSortGrid& grid);
// Reads RFC 4180 CSV text (also the lenient kind spreadsheets write: line ends CR, LF or CR LF, a
// quotation mark inside an unquoted field kept as it is). A field with line breaks is stored in the
// notes encoding, every line followed by ESC, so the notes written by csvFileBytes come back as
// they were. The column count becomes the longest record's field count.
void parseCsv(QStringView text, TSortGrid& grid);

// Reads a file to import as a grid (TAB, semicolon or CSV; an iCalendar file is read elsewhere).
// A leading byte-order mark is dropped. Returns an empty string on success, else a message naming
// the file and the reason; the grid is then unchanged.
QString readDelimitedFile(const QString& path, ExchangeFormat format, TSortGrid& grid);
// Writes the grid through the atomic writer in a delimited format (TAB, semicolon or CSV). Empty on
// success, else the error naming the file and the reason.
QString writeDelimitedFile(const QString& path, const TSortGrid& grid, ExchangeFormat format);
QByteArray delimitedBytes(const TSortGrid& grid, ExchangeFormat format);
