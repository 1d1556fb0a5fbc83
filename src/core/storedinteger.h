#pragma once

#include <QChar>
#include <QStringView>

#include <optional>

// Reads an integer as stored in table cells and settings: blanks around it, an optional sign,
// decimal digits within the range of int, or "$" and up to eight hexadecimal digits read as a
// 32-bit pattern (colours and flags). Nothing when the text is anything else.
std::optional<int> readStoredInteger(QStringView text);
inline int storedIntegerOr(QStringView text, int fallback)
{
    return readStoredInteger(text).value_or(fallback);
}
// The value of a hexadecimal digit, -1 for any other character.
int hexDigit(QChar c);
