#include "core/textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

namespace {

QString windows1252Text(QByteArrayView bytes)
{
    QString text;
    text.resize(bytes.size());
    QChar* out = text.data();
    for (const char c : bytes)
        *out++ = windows1252Char(static_cast<unsigned char>(c));
    return text;
}

// Decodes when the bytes are valid UTF-8; the decoder is lazy, so the text must be taken.
bool decodeUtf8(QByteArrayView bytes, QString* text)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(bytes);
    if (utf8.hasError())
        return false;
    *text = std::move(decoded);
    return true;
}

template <typename LineFn> void forEachLine(QByteArrayView bytes, LineFn fn)
{
    qsizetype start = 0;
    while (start < bytes.size()) {
        const void* found = std::memchr(bytes.data() + start, '\n', size_t(bytes.size() - start));
        const qsizetype end = found ? static_cast<const char*>(found) - bytes.data() + 1 : bytes.size();
        fn(bytes.sliced(start, end - start));
        start = end;
    }
}

enum class Utf16 { No, LittleEndian, BigEndian };

// UTF-16 text has a byte-order mark, or NUL in every other byte of its ASCII characters. NUL
// bytes left by a crash come in blocks and fill both halves of the byte pairs alike.
Utf16 utf16Kind(QByteArrayView bytes)
{
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(bytes[0]);
        const auto b1 = static_cast<unsigned char>(bytes[1]);
        if (b0 == 0xFF && b1 == 0xFE)
            return Utf16::LittleEndian;
        if (b0 == 0xFE && b1 == 0xFF)
            return Utf16::BigEndian;
    }
    const qsizetype probe = std::min<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    if (probe < 4)
        return Utf16::No;
    qsizetype evenNul = 0;
    qsizetype oddNul = 0;
    for (qsizetype i = 0; i < probe; i += 2) {
        evenNul += bytes[i] == '\0';
        oddNul += bytes[i + 1] == '\0';
    }
    const qsizetype pairs = probe / 2;
    if (oddNul * 10 >= pairs * 7 && evenNul * 20 <= pairs)
        return Utf16::LittleEndian;
    if (evenNul * 10 >= pairs * 7 && oddNul * 20 <= pairs)
        return Utf16::BigEndian;
    return Utf16::No;
}

} // namespace

QString decodeText(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QString text;
    if (decodeUtf8(bytes, &text))
        return text;
    text.reserve(bytes.size());
    forEachLine(bytes, [&](QByteArrayView line) {
        QString decoded;
        text += decodeUtf8(line, &decoded) ? decoded : windows1252Text(line);
    });
    return text;
}

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
    QString ignored;
    return decodeUtf8(bytes, &ignored);
}

int countNonUtf8Lines(QByteArrayView bytes)
{
    if (isValidUtf8(bytes))
        return 0;
    int count = 0;
    forEachLine(bytes, [&](QByteArrayView line) { count += !isValidUtf8(line); });
    return count;
}

QString decodeTableText(QByteArrayView bytes, QString* damage)
{
    const auto report = [&](const QString& what) { *damage = what; };
    report({});
    if (const Utf16 kind = utf16Kind(bytes); kind != Utf16::No) {
        QStringDecoder utf16(kind == Utf16::LittleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        QString text = utf16.decode(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        text.remove(QChar(0));
        // A lone surrogate cannot be written as UTF-8; it becomes U+FFFD here, as a broken UTF-8
        // sequence does, rather than another character at the next save.
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
            else if (text.at(i).isSurrogate())
                text[i] = QChar::ReplacementCharacter;
        }
        report(QStringLiteral("the text is stored as UTF-16, not as UTF-8"));
        return text;
    }
    const void* nul = std::memchr(bytes.data(), '\0', size_t(bytes.size()));
    if (nul == nullptr)
        return decodeText(bytes);
    const qsizetype first = static_cast<const char*>(nul) - bytes.data();
    QByteArray kept = bytes.toByteArray();
    const qsizetype count = kept.count('\0');
    kept.replace(QByteArrayView("\0", 1), QByteArrayView());
    report(count == 1 ? QStringLiteral("a NUL byte at byte %1, the trace of a crash or a disk fault").arg(first)
                      : QStringLiteral("%1 NUL bytes, the first at byte %2, the trace of a crash or a disk fault")
                            .arg(count)
                            .arg(first));
    return decodeText(kept);
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
