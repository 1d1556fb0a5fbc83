#include "core/languagefile.h"

#include "core/textcodec.h"

#include <QLocale>

#include <algorithm>

QString languageSignatureError()
{
    return QStringLiteral("Not a language file or old version (1.1)");
}

namespace {

QString damaged(const QString& what)
{
    return QStringLiteral("Language file is damaged: ") + what;
}

QString pastEnd(const char* what)
{
    return damaged(QLatin1String(what) + QLatin1String(" runs past the end of the file"));
}

// Little-endian reads that never pass the end of the data. The first failure sticks: later reads
// return zero, and the parser checks failed() before it trusts a value that drives a loop.
class ByteReader {
public:
    explicit ByteReader(QByteArrayView data) : m_data(data) {}

    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    qsizetype position() const { return m_pos; }
    qsizetype remaining() const { return m_data.size() - m_pos; }

    void fail(const QString& error)
    {
        if (m_error.isEmpty())
            m_error = error;
    }

    QByteArrayView bytes(qsizetype count, const char* what)
    {
        if (failed())
            return {};
        if (count < 0 || count > remaining()) {
            fail(pastEnd(what));
            return {};
        }
        const QByteArrayView result = m_data.sliced(m_pos, count);
        m_pos += count;
        return result;
    }

    quint32 unsignedValue(int size, const char* what)
    {
        const QByteArrayView raw = bytes(size, what);
        quint32 value = 0;
        for (qsizetype i = raw.size() - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(raw[i]);
        return value;
    }

    int u8(const char* what) { return int(unsignedValue(1, what)); }
    int u16(const char* what) { return int(unsignedValue(2, what)); }
    quint32 u32(const char* what) { return unsignedValue(4, what); }

    // A text field: one length byte, then that many bytes.
    QString text(const char* what)
    {
        const int length = u8(what);
        return decodeText(bytes(length, what));
    }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
    QString m_error;
};

QString withoutNul(QString text)
{
    text.remove(QChar(0));
    return text;
}

// Cuts a name to the characters a reader keeps, never through a surrogate pair.
QString kept(const QString& text, int length)
{
    if (text.size() <= length)
        return text;
    if (length > 0 && text.at(length - 1).isHighSurrogate())
        --length;
    return text.left(length);
}

} // namespace

class LanguageFileParser {
public:
    LanguageFileParser(const QByteArray& data, const QString& fileName) : m_data(data), m_in(data), m_name(fileName) {}

    LanguageFile parse()
    {
        LanguageFile file;
        if (m_data.size() < 2 || !m_data.startsWith("LF")) {
            file.m_error = languageSignatureError();
            return file;
        }
        m_in.bytes(2, "the signature");
        if (!readAll(file)) {
            LanguageFile rejected;
            rejected.m_error = m_in.error();
            return rejected;
        }
        return file;
    }

private:
    bool readAll(LanguageFile& file)
    {
        const QByteArrayView versionText = m_in.bytes(4, "the version");
        if (m_in.failed())
            return false;
        bool ok = false;
        const double version = QLocale::c().toDouble(QString::fromLatin1(versionText).trimmed(), &ok);
        if (!ok || version < 0 || version > 99.99) {
            m_in.fail(
                damaged(QStringLiteral("the version \"%1\" is not a number").arg(QString::fromLatin1(versionText))));
            return false;
        }
        m_version = qRound(version * 100);
        file.m_version = m_version;

        if (m_version >= 300) {
            file.m_fileFlags = m_in.u8("the file flags");
            file.m_native = (file.m_fileFlags & LanguageFileNativeFlag) != 0;
        } else {
            const QString base = m_name.section(QLatin1Char('/'), -1);
            file.m_native = base.compare(QLatin1String("native.lng"), Qt::CaseInsensitive) == 0;
        }
        // Before 2.0 every file carries a locale block and there is no byte after it.
        const bool hasLocale = m_version < 200 || m_in.u8("the locale flag") != 0;
        if (hasLocale && !readLocale(file))
            return false;
        if (m_version >= 200)
            m_in.u8("the byte after the locale block");
        m_in.bytes(10, "the reserved bytes");
        return readFonts(file) && readNames(file) && readWindowTexts(file) && readStrings(file);
    }

    bool readLocale(LanguageFile& file)
    {
        LanguageLocale locale;
        FormatSettings& f = locale.format;
        const char* what = "the locale block";
        const auto separator = [&] { return windows1252Char(static_cast<unsigned char>(m_in.u8(what))); };
        const auto names = [&](int count, int length) {
            QStringList list;
            for (int i = 0; i < count; ++i)
                list.append(kept(m_in.text(what), length));
            return list;
        };
        f.currencySymbol = m_in.text(what);
        f.currencyFormat = m_in.u8(what);
        f.negativeCurrencyFormat = m_in.u8(what);
        f.thousandSeparator = separator();
        f.decimalSeparator = separator();
        f.currencyDecimals = m_in.u8(what);
        f.dateSeparator = separator();
        f.shortDateFormat = m_in.text(what);
        f.longDateFormat = m_in.text(what);
        f.timeSeparator = separator();
        f.timeAMString = m_in.text(what);
        f.timePMString = m_in.text(what);
        f.shortTimeFormat = m_in.text(what);
        f.longTimeFormat = m_in.text(what);
        f.shortMonthNames = names(12, ShortMonthNameLength);
        f.longMonthNames = names(12, LongMonthNameLength);
        f.shortDayNames = names(7, ShortDayNameLength);
        f.longDayNames = names(7, LongDayNameLength);
        locale.eraNames = names(7, EraNameLength);
        for (int i = 0; i < 7; ++i)
            locale.eraYearOffsets.append(static_cast<qint32>(m_in.u32(what)));
        f.twoDigitYearWindow = m_in.u16(what);
        f.listSeparator = separator();
        if (m_in.failed())
            return false;
        file.m_locale = std::move(locale);
        return true;
    }

    bool readFonts(LanguageFile& file)
    {
        m_in.u8("the font table");
        const quint32 count = m_in.u32("the font table");
        // Each font takes at least four bytes: an empty name, a 2-byte and a 1-byte value.
        if (!m_in.failed() && count > quint64(m_in.remaining()) / 4)
            m_in.fail(pastEnd("the font table"));
        for (quint32 i = 0; i < count && !m_in.failed(); ++i) {
            file.m_fontNames.append(m_in.text("the font table"));
            m_in.u16("the font table");
            m_in.u8("the font table");
        }
        return !m_in.failed();
    }

    bool readNames(LanguageFile& file)
    {
        m_in.bytes(20, "the reserved bytes");
        const int count = m_in.u16("the name list");
        for (int i = 0; i < count && !m_in.failed(); ++i)
            file.m_names.append(m_in.text("the name list"));
        return !m_in.failed();
    }

    bool readWindowTexts(LanguageFile& file)
    {
        const char* what = "the window-text map";
        const int groups = m_in.u16(what);
        for (int g = 0; g < groups && !m_in.failed(); ++g) {
            const QString group = withoutNul(m_in.text(what));
            const int members = m_in.u16(what);
            for (int m = 0; m < members && !m_in.failed(); ++m) {
                const QString member = withoutNul(m_in.text(what));
                const int number = m_in.u16(what);
                if (!m_in.failed())
                    file.m_windowTexts[group].insert(member, number);
            }
        }
        return !m_in.failed();
    }

    bool readStrings(LanguageFile& file)
    {
        const char* what = "the string table";
        const int count = m_in.u16(what);
        const bool hasFlags = m_version >= 300;
        const int offsetSize = m_version >= 150 ? 4 : 2;
        const qsizetype recordSize = (hasFlags ? 1 : 0) + 2 + offsetSize + 2;
        if (!m_in.failed() && count * recordSize > m_in.remaining())
            m_in.fail(pastEnd(what));
        if (m_in.failed())
            return false;

        struct Record {
            LanguageEntry entry;
            quint32 offset = 0;
        };
        QList<Record> records;
        records.reserve(count);
        for (int i = 0; i < count; ++i) {
            Record r;
            r.entry.flags = hasFlags ? m_in.u8(what) : 0;
            r.entry.number = m_in.u16(what);
            r.offset = m_in.unsignedValue(offsetSize, what);
            r.entry.fontIndex = m_in.u16(what);
            if (!records.isEmpty() && r.entry.number <= records.constLast().entry.number) {
                m_in.fail(damaged(QStringLiteral("string %1 is out of order").arg(r.entry.number)));
                return false;
            }
            records.append(r);
        }

        const QByteArrayView area = QByteArrayView(m_data).sliced(m_in.position());
        const quint32 emptyOffset = offsetSize == 4 ? 0xFFFFFFFFu : 0xFFFFu;
        file.m_entries.reserve(count);
        for (Record& r : records) {
            if (r.offset != emptyOffset) {
                if (r.offset >= quint64(area.size())) {
                    m_in.fail(damaged(
                        QStringLiteral("the text of string %1 lies past the end of the file").arg(r.entry.number)));
                    return false;
                }
                const qsizetype end = area.indexOf('\0', r.offset);
                if (end < 0) {
                    m_in.fail(damaged(
                        QStringLiteral("the text of string %1 runs past the end of the file").arg(r.entry.number)));
                    return false;
                }
                r.entry.text = decodeText(area.sliced(r.offset, end - r.offset));
            }
            file.m_entries.append(std::move(r.entry));
        }
        return true;
    }

    const QByteArray& m_data;
    ByteReader m_in;
    QString m_name;
    int m_version = 0;
};

LanguageFile LanguageFile::fromBytes(const QByteArray& data, const QString& fileName)
{
    return LanguageFileParser(data, fileName).parse();
}

std::optional<QString> LanguageFile::text(int number) const
{
    // The records are in ascending order (checked when read): halve the range.
    const auto it = std::lower_bound(m_entries.cbegin(), m_entries.cend(), number,
                                     [](const LanguageEntry& e, int n) { return e.number < n; });
    if (it == m_entries.cend() || it->number != number)
        return std::nullopt;
    return it->text;
}

int LanguageFile::windowTextNumber(const QString& group, const QString& member) const
{
    const auto g = m_windowTexts.constFind(group);
    if (g == m_windowTexts.cend())
        return -1;
    return g->value(member, -1);
}
