#include "core/storedinteger.h"

#include <limits>

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

namespace {

QStringView trimBlanks(QStringView text)
{
    while (!text.isEmpty() && (text.front() == u' ' || text.front() == u'\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == u' ' || text.back() == u'\t'))
        text.chop(1);
    return text;
}

} // namespace

std::optional<int> readStoredInteger(QStringView text)
{
    text = trimBlanks(text);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    if (text.front() == u'$') {
        text = text.sliced(1);
        if (text.isEmpty())
            return std::nullopt;
        quint64 pattern = 0;
        for (const QChar c : text) {
            const int d = hexDigit(c);
            if (d < 0)
                return std::nullopt;
            pattern = pattern * 16 + quint64(d);
            if (pattern > 0xFFFFFFFFu)
                return std::nullopt;
        }
        const quint32 bits = quint32(pattern);
        return int(negative ? 0u - bits : bits);
    }
    qint64 value = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < u'0' || u > u'9')
            return std::nullopt;
        value = value * 10 + (u - u'0');
        if (value > qint64(1) << 31)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

