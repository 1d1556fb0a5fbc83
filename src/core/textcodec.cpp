#include "core/textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

QChar windows1252Char(unsigned char byte)
{
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(high[byte - 0x80]);
    return QChar(char16_t(byte));
}

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)utf8.decode(bytes);
    return !utf8.hasError();
}

QString decodeText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    QString legacy;
    legacy.resize(bytes.size());
    QChar* out = legacy.data();
    for (const char c : bytes)
        *out++ = windows1252Char(static_cast<unsigned char>(c));
    return legacy;
}

QByteArray encodeText(const QString& text)
{
    return text.toUtf8();
}

void appendUtf8(QByteArray& out, QStringView text)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            // Rare in table files: fall back to the full encoder for this text.
            out.truncate(start);
            out.append(text.toUtf8());
            return;
        }
        *dst++ = char(c.unicode());
    }
}
