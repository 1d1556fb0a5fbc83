#pragma once

#include <QByteArray>
#include <QString>

// Files are written as UTF-8 without byte-order mark. Files made on other systems may be in
// Windows-1252, so each line whose bytes are not valid UTF-8 is read as Windows-1252; a stray
// byte in one line never changes how the others read.
QString decodeText(QByteArrayView bytes);
// decodeText for table files, which must never lose a line: bytes that are no plain text are
// reported in `damage` (empty when there is none) and read as far as possible. NUL bytes, the
// trace of a crash or a disk fault, are skipped so no line behind them is lost, and UTF-16 text
// is read as UTF-16.
QString decodeTableText(QByteArrayView bytes, QString* damage);
QByteArray encodeText(const QString& text);
// Windows-1252 to Unicode for one byte (undefined code points map to the same code point).
QChar windows1252Char(unsigned char byte);
// True when the bytes are valid UTF-8 (an empty text is).
bool isValidUtf8(QByteArrayView bytes);
// The number of lines (cut at LF) whose bytes are not valid UTF-8.
int countNonUtf8Lines(QByteArrayView bytes);
// Appends the UTF-8 bytes of a text (plain ASCII is copied directly).
void appendUtf8(QByteArray& out, QStringView text);
