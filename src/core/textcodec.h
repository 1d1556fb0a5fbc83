#pragma once

#include <QByteArray>
#include <QString>

// Files are written as UTF-8 without byte-order mark. Files made on other systems may be in
// Windows-1252, so bytes that are not valid UTF-8 are read as Windows-1252.
QString decodeText(QByteArrayView bytes);
QByteArray encodeText(const QString& text);
// Windows-1252 to Unicode for one byte (undefined code points map to the same code point).
QChar windows1252Char(unsigned char byte);
// True when the bytes are valid UTF-8 (an empty text is).
bool isValidUtf8(QByteArrayView bytes);
// Appends the UTF-8 bytes of a text (plain ASCII is copied directly).
void appendUtf8(QByteArray& out, QStringView text);
