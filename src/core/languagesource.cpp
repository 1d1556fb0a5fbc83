#include "core/languagesource.h"

#include "core/textcodec.h"

#include <QHash>
#include <QString>

#include <array>

namespace {

constexpr int MaxStringNumber = 65535;
constexpr int MaxCount = 65535; // the 2-byte counts of the layout
constexpr int MaxTextField = 255;

// How a locale key is written and what it holds.
enum class LocaleKind { Text, Byte, Word, Separator, Names, Offsets };

struct LocaleKey {
    QLatin1StringView name;
    LocaleKind kind;
    int count;  // number of values for Names/Offsets
    int length; // characters kept of each name
    bool required;
};

using namespace Qt::Literals::StringLiterals;

// In the order of the locale block; the date and time entries are required because the block
// replaces the program's formatting settings as a whole.
const std::array<LocaleKey, 22> LocaleKeys = {{
    {"CurrencySymbol"_L1, LocaleKind::Text, 1, 0, false},
    {"CurrencyFormat"_L1, LocaleKind::Byte, 1, 0, false},
    {"NegCurrFormat"_L1, LocaleKind::Byte, 1, 0, false},
    {"ThousandSeparator"_L1, LocaleKind::Separator, 1, 0, false},
    {"DecimalSeparator"_L1, LocaleKind::Separator, 1, 0, false},
    {"CurrencyDecimals"_L1, LocaleKind::Byte, 1, 0, false},
    {"DateSeparator"_L1, LocaleKind::Separator, 1, 0, true},
    {"ShortDateFormat"_L1, LocaleKind::Text, 1, 0, true},
    {"LongDateFormat"_L1, LocaleKind::Text, 1, 0, true},
    {"TimeSeparator"_L1, LocaleKind::Separator, 1, 0, true},
    {"TimeAMString"_L1, LocaleKind::Text, 1, 0, false},
    {"TimePMString"_L1, LocaleKind::Text, 1, 0, false},
    {"ShortTimeFormat"_L1, LocaleKind::Text, 1, 0, true},
    {"LongTimeFormat"_L1, LocaleKind::Text, 1, 0, true},
    {"ShortMonthNames"_L1, LocaleKind::Names, 12, ShortMonthNameLength, true},
    {"LongMonthNames"_L1, LocaleKind::Names, 12, LongMonthNameLength, true},
    {"ShortDayNames"_L1, LocaleKind::Names, 7, ShortDayNameLength, true},
    {"LongDayNames"_L1, LocaleKind::Names, 7, LongDayNameLength, true},
    {"EraNames"_L1, LocaleKind::Names, 7, EraNameLength, false},
    {"EraYearOffsets"_L1, LocaleKind::Offsets, 7, 0, false},
    {"TwoDigitYearWindow"_L1, LocaleKind::Word, 1, 0, false},
    {"ListSeparator"_L1, LocaleKind::Separator, 1, 0, false},
}};

const LocaleKey* findLocaleKey(QStringView name)
{
    for (const LocaleKey& key : LocaleKeys) {
        if (name.compare(key.name, Qt::CaseInsensitive) == 0)
            return &key;
    }
    return nullptr;
}

// The Windows-1252 byte of a character, the encoding of the one-byte separators.
std::optional<quint8> singleByteOf(QChar c)
{
    for (int b = 1; b < 256; ++b) {
        if (windows1252Char(quint8(b)) == c)
            return quint8(b);
    }
    return std::nullopt;
}

// Why a text cannot go into a length-byte text field, or empty.
QString textFieldProblem(const QString& text, int maxChars = MaxTextField)
{
    if (text.contains(QChar(0)))
        return QStringLiteral("contains a NUL character");
    if (text.size() > maxChars)
        return QStringLiteral("is longer than %1 characters").arg(maxChars);
    if (encodeText(text).size() > MaxTextField)
        return QStringLiteral("is longer than %1 bytes").arg(MaxTextField);
    return {};
}

bool parseNumber(QStringView text, qint64 min, qint64 max, qint64* value)
{
    if (text.isEmpty() || text.size() > 11)
        return false;
    bool ok = false;
    const qint64 v = text.toLongLong(&ok, 10);
    if (!ok || v < min || v > max)
        return false;
    // toLongLong accepts blanks and a plus sign; the source format takes plain digits only.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isDigit() && !(i == 0 && text[i] == u'-' && min < 0))
            return false;
    }
    *value = v;
    return true;
}

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
}

// ---------------------------------------------------------------------------------------------
// Locale lines: collected while reading, turned into a locale block once the whole source is read.

struct LocaleLine {
    int line = 0;
    QStringList values;
};

class LocaleBuilder {
public:
    explicit LocaleBuilder(const QHash<const LocaleKey*, LocaleLine>& lines) : m_lines(lines) {}

    std::optional<LanguageLocale> build(QString* error)
    {
        LanguageLocale locale;
        FormatSettings& f = locale.format;
        f.currencySymbol = text(0, f.currencySymbol);
        f.currencyFormat = number(1, f.currencyFormat);
        f.negativeCurrencyFormat = number(2, f.negativeCurrencyFormat);
        f.thousandSeparator = separator(3, f.thousandSeparator);
        f.decimalSeparator = separator(4, f.decimalSeparator);
        f.currencyDecimals = number(5, f.currencyDecimals);
        f.dateSeparator = separator(6, f.dateSeparator);
        f.shortDateFormat = text(7, {});
        f.longDateFormat = text(8, {});
        f.timeSeparator = separator(9, f.timeSeparator);
        f.timeAMString = text(10, {});
        f.timePMString = text(11, {});
        f.shortTimeFormat = text(12, {});
        f.longTimeFormat = text(13, {});
        f.shortMonthNames = names(14);
        f.longMonthNames = names(15);
        f.shortDayNames = names(16);
        f.longDayNames = names(17);
        locale.eraNames = names(18);
        for (const QString& offset : values(19)) {
            qint64 value = 0;
            if (!parseNumber(offset, INT32_MIN, INT32_MAX, &value))
                fail(19, quoted(offset) + QStringLiteral(" is not a whole number"));
            locale.eraYearOffsets.append(qint32(value));
        }
        while (locale.eraYearOffsets.size() < 7)
            locale.eraYearOffsets.append(0);
        f.twoDigitYearWindow = number(20, f.twoDigitYearWindow);
        f.listSeparator = separator(21, f.listSeparator);
        if (!m_error.isEmpty()) {
            *error = m_error;
            return std::nullopt;
        }
        return locale;
    }

private:
    void fail(int index, const QString& problem)
    {
        if (!m_error.isEmpty())
            return;
        const LocaleKey& key = LocaleKeys[index];
        const auto it = m_lines.constFind(&key);
        if (it == m_lines.cend())
            m_error = QStringLiteral("the locale lines lack %") + key.name;
        else
            m_error = QStringLiteral("line %1: %%2 ").arg(it->line).arg(key.name) + problem;
    }

    QStringList values(int index)
    {
        const LocaleKey& key = LocaleKeys[index];
        const auto it = m_lines.constFind(&key);
        if (it == m_lines.cend()) {
            if (key.required)
                fail(index, {});
            return {};
        }
        const int most = key.kind == LocaleKind::Names || key.kind == LocaleKind::Offsets ? key.count : 1;
        if (it->values.size() > most) {
            fail(index, QStringLiteral("takes %1 value(s), not %2").arg(most).arg(it->values.size()));
            return {};
        }
        return it->values;
    }

    QString text(int index, const QString& fallback)
    {
        const auto it = m_lines.constFind(&LocaleKeys[index]);
        const QStringList v = values(index);
        if (it == m_lines.cend())
            return fallback;
        const QString result = v.value(0);
        if (const QString problem = textFieldProblem(result); !problem.isEmpty())
            fail(index, problem);
        return result;
    }

    int number(int index, int fallback)
    {
        const QStringList v = values(index);
        if (!m_lines.contains(&LocaleKeys[index]))
            return fallback;
        const qint64 max = LocaleKeys[index].kind == LocaleKind::Word ? 65535 : 255;
        qint64 value = 0;
        if (!parseNumber(v.value(0), 0, max, &value))
            fail(index, QStringLiteral("needs a whole number from 0 to %1").arg(max));
        return int(value);
    }

    QChar separator(int index, QChar fallback)
    {
        const QStringList v = values(index);
        if (!m_lines.contains(&LocaleKeys[index]))
            return fallback;
        const QString value = v.value(0);
        if (value.size() != 1 || !singleByteOf(value.at(0)))
            fail(index, QStringLiteral("needs one character of the Windows-1252 set"));
        return value.isEmpty() ? fallback : value.at(0);
    }

    QStringList names(int index)
    {
        const LocaleKey& key = LocaleKeys[index];
        QStringList list = values(index);
        const bool given = m_lines.contains(&key);
        if (given && key.required && list.size() != key.count)
            fail(index, QStringLiteral("takes %1 names, not %2").arg(key.count).arg(list.size()));
        for (const QString& name : std::as_const(list)) {
            if (const QString problem = textFieldProblem(name, key.length); !problem.isEmpty())
                fail(index, quoted(name) + u' ' + problem);
        }
        while (list.size() < key.count)
            list.append(QString());
        return list;
    }

    const QHash<const LocaleKey*, LocaleLine>& m_lines;
    QString m_error;
};

// ---------------------------------------------------------------------------------------------
// Writing the layout.

class ByteWriter {
public:
    QByteArray bytes;
    QString error;

    void u8(int value) { bytes.append(char(quint8(value))); }
    void u16(int value)
    {
        u8(value & 0xFF);
        u8((value >> 8) & 0xFF);
    }
    void u32(quint32 value)
    {
        u16(int(value & 0xFFFF));
        u16(int(value >> 16));
    }
    void text(const QString& text, const QString& what, int maxChars = MaxTextField)
    {
        const QString problem = textFieldProblem(text, maxChars);
        if (!problem.isEmpty()) {
            fail(what + u' ' + quoted(text) + u' ' + problem);
            return;
        }
        const QByteArray encoded = encodeText(text);
        u8(int(encoded.size()));
        bytes.append(encoded);
    }
    void separator(QChar c, const QString& what)
    {
        const std::optional<quint8> b = singleByteOf(c);
        if (!b)
            fail(what + QStringLiteral(" needs one character of the Windows-1252 set"));
        u8(b.value_or(0));
    }
    void fail(const QString& message)
    {
        if (error.isEmpty())
            error = message;
    }
};

void writeLocale(ByteWriter& out, const LanguageLocale& locale)
{
    const FormatSettings& f = locale.format;
    const auto byteValue = [&](int value, QLatin1StringView what) {
        if (value < 0 || value > 255)
            out.fail(u'%' + what + QStringLiteral(" needs a whole number from 0 to 255"));
        out.u8(value);
    };
    const auto names = [&](const QStringList& list, int index) {
        const LocaleKey& key = LocaleKeys[index];
        if (list.size() != key.count)
            out.fail(QStringLiteral("%%1 takes %2 names, not %3").arg(key.name).arg(key.count).arg(list.size()));
        for (int i = 0; i < key.count; ++i)
            out.text(list.value(i), u'%' + key.name, key.length);
    };
    out.text(f.currencySymbol, QStringLiteral("%CurrencySymbol"));
    byteValue(f.currencyFormat, "CurrencyFormat"_L1);
    byteValue(f.negativeCurrencyFormat, "NegCurrFormat"_L1);
    out.separator(f.thousandSeparator, QStringLiteral("%ThousandSeparator"));
    out.separator(f.decimalSeparator, QStringLiteral("%DecimalSeparator"));
    byteValue(f.currencyDecimals, "CurrencyDecimals"_L1);
    out.separator(f.dateSeparator, QStringLiteral("%DateSeparator"));
    out.text(f.shortDateFormat, QStringLiteral("%ShortDateFormat"));
    out.text(f.longDateFormat, QStringLiteral("%LongDateFormat"));
    out.separator(f.timeSeparator, QStringLiteral("%TimeSeparator"));
    out.text(f.timeAMString, QStringLiteral("%TimeAMString"));
    out.text(f.timePMString, QStringLiteral("%TimePMString"));
    out.text(f.shortTimeFormat, QStringLiteral("%ShortTimeFormat"));
    out.text(f.longTimeFormat, QStringLiteral("%LongTimeFormat"));
    names(f.shortMonthNames, 14);
    names(f.longMonthNames, 15);
    names(f.shortDayNames, 16);
    names(f.longDayNames, 17);
    names(locale.eraNames, 18);
    for (int i = 0; i < 7; ++i)
        out.u32(quint32(locale.eraYearOffsets.value(i)));
    if (f.twoDigitYearWindow < 0 || f.twoDigitYearWindow > 65535)
        out.fail(QStringLiteral("%TwoDigitYearWindow needs a whole number from 0 to 65535"));
    out.u16(f.twoDigitYearWindow);
    out.separator(f.listSeparator, QStringLiteral("%ListSeparator"));
}

// The values of one locale key as the source writes them.
QStringList localeValues(const LanguageLocale& locale, int index)
{
    const FormatSettings& f = locale.format;
    const auto one = [](const auto& value) { return QStringList{QString(value)}; };
    const auto num = [](int value) { return QStringList{QString::number(value)}; };
    switch (index) {
    case 0:
        return one(f.currencySymbol);
    case 1:
        return num(f.currencyFormat);
    case 2:
        return num(f.negativeCurrencyFormat);
    case 3:
        return one(f.thousandSeparator);
    case 4:
        return one(f.decimalSeparator);
    case 5:
        return num(f.currencyDecimals);
    case 6:
        return one(f.dateSeparator);
    case 7:
        return one(f.shortDateFormat);
    case 8:
        return one(f.longDateFormat);
    case 9:
        return one(f.timeSeparator);
    case 10:
        return one(f.timeAMString);
    case 11:
        return one(f.timePMString);
    case 12:
        return one(f.shortTimeFormat);
    case 13:
        return one(f.longTimeFormat);
    case 14:
        return f.shortMonthNames;
    case 15:
        return f.longMonthNames;
    case 16:
        return f.shortDayNames;
    case 17:
        return f.longDayNames;
    case 18:
        return locale.eraNames;
    case 19: {
        QStringList list;
        for (const qint32 offset : locale.eraYearOffsets)
            list.append(QString::number(offset));
        return list;
    }
    case 20:
        return num(f.twoDigitYearWindow);
    default:
        return one(f.listSeparator);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------

QString escapeLanguageText(const QString& text)
{
    qsizetype first = 0;
    while (first < text.size() && text.at(first) == u' ')
        ++first;
    qsizetype last = text.size();
    while (last > first && text.at(last - 1) == u' ')
        --last;

    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u' ' && (i < first || i >= last))
            out += u"\\s"; // blanks at the ends, which editors tend to drop
        else if (c == u'\\')
            out += u"\\\\";
        else if (c == u'\t')
            out += u"\\t";
        else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            out += u"\\n";
            ++i;
        } else if (c == u'\r')
            out += u"\\r";
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

std::optional<QString> unescapeLanguageText(QStringView text, QString* error)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++i >= text.size()) {
            *error = QStringLiteral("a backslash ends the text (write \\\\ for a backslash)");
            return std::nullopt;
        }
        switch (text.at(i).unicode()) {
        case u'n':
            out += u"\r\n";
            break;
        case u'r':
            out += u'\r';
            break;
        case u't':
            out += u'\t';
            break;
        case u's':
            out += u' ';
            break;
        case u'\\':
            out += u'\\';
            break;
        case u'x': {
            const auto hex = [&](qsizetype at) {
                const char16_t d = at < text.size() ? text.at(at).unicode() : u'?';
                return d >= u'0' && d <= u'9'   ? d - u'0'
                       : d >= u'a' && d <= u'f' ? d - u'a' + 10
                       : d >= u'A' && d <= u'F' ? d - u'A' + 10
                                                : -1;
            };
            const int high = hex(i + 1);
            const int low = hex(i + 2);
            const int code = high * 16 + low;
            if (high < 0 || low < 0 || code == 0) {
                *error = QStringLiteral("\\x needs two hexadecimal digits other than 00");
                return std::nullopt;
            }
            out += QChar(char16_t(code));
            i += 2;
            break;
        }
        default:
            *error = QStringLiteral("unknown escape \\") + text.at(i);
            return std::nullopt;
        }
    }
    return out;
}

std::optional<LanguageSource> parseLanguageSource(const QByteArray& bytes, QString* error)
{
    return parseLanguageSource(decodeText(bytes), error);
}

std::optional<LanguageSource> parseLanguageSource(const QString& text, QString* error)
{
    LanguageSource source;
    QHash<int, int> stringLines;
    QHash<QString, int> memberLines; // "group\tmember" -> line
    QHash<const LocaleKey*, LocaleLine> localeLines;

    QStringView whole(text);
    if (whole.startsWith(QChar(0xFEFF))) // a byte-order mark some editors put first
        whole = whole.sliced(1);
    const QList<QStringView> lines = whole.split(u'\n');
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const int lineNo = int(index) + 1;
        QStringView line = lines[index];
        if (line.endsWith(u'\r'))
            line.chop(1);
        const auto fail = [&](const QString& message) {
            *error = QStringLiteral("line %1: ").arg(lineNo) + message;
            return std::nullopt;
        };
        const auto field = [&](QStringView raw, QString* value) {
            QString problem;
            const std::optional<QString> unescaped = unescapeLanguageText(raw, &problem);
            if (!unescaped) {
                *error = QStringLiteral("line %1: ").arg(lineNo) + problem;
                return false;
            }
            *value = *unescaped;
            return true;
        };

        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;

        if (line.front().isDigit()) {
            const qsizetype tab = line.indexOf(u'\t');
            if (tab < 0)
                return fail(QStringLiteral("a TAB must follow the string number"));
            qint64 number = 0;
            if (!parseNumber(line.first(tab), 0, MaxStringNumber, &number))
                return fail(
                    QStringLiteral("the string number must be a whole number from 0 to %1").arg(MaxStringNumber));
            if (const int earlier = stringLines.value(int(number)); earlier > 0)
                return fail(QStringLiteral("string %1 is already given on line %2").arg(number).arg(earlier));
            QString value;
            if (!field(line.sliced(tab + 1), &value))
                return std::nullopt;
            if (value.contains(QChar(0)))
                return fail(QStringLiteral("a text cannot hold a NUL character"));
            stringLines.insert(int(number), lineNo);
            source.strings.insert(int(number), value);
        } else if (line.front() == u'@') {
            const QList<QStringView> parts = line.sliced(1).split(u'\t');
            if (parts.size() != 3)
                return fail(QStringLiteral("a window text takes @Group, TAB, member, TAB, string number"));
            QString group, member;
            if (!field(parts[0], &group) || !field(parts[1], &member))
                return std::nullopt;
            if (group.isEmpty() || member.isEmpty())
                return fail(QStringLiteral("a window text needs a group and a member name"));
            for (const QString& name : {group, member}) {
                if (const QString problem = textFieldProblem(name); !problem.isEmpty())
                    return fail(QStringLiteral("the name ") + quoted(name) + u' ' + problem);
            }
            qint64 number = 0;
            if (!parseNumber(parts[2], 0, MaxStringNumber, &number))
                return fail(
                    QStringLiteral("the string number must be a whole number from 0 to %1").arg(MaxStringNumber));
            const QString key = group + u'\t' + member;
            if (const int earlier = memberLines.value(key); earlier > 0)
                return fail(QStringLiteral("%1 of %2 is already given on line %3")
                                .arg(quoted(member), quoted(group))
                                .arg(earlier));
            memberLines.insert(key, lineNo);
            source.windowTexts[group].insert(member, int(number));
        } else if (line.front() == u'%') {
            const QList<QStringView> parts = line.sliced(1).split(u'\t');
            const LocaleKey* key = findLocaleKey(parts[0]);
            if (!key)
                return fail(QStringLiteral("unknown locale entry %") + parts[0].toString());
            if (const LocaleLine earlier = localeLines.value(key); earlier.line > 0)
                return fail(QStringLiteral("%%1 is already given on line %2").arg(key->name).arg(earlier.line));
            LocaleLine entry{lineNo, {}};
            for (qsizetype i = 1; i < parts.size(); ++i) {
                QString value;
                if (!field(parts[i], &value))
                    return std::nullopt;
                entry.values.append(value);
            }
            localeLines.insert(key, entry);
        } else {
            return fail(QStringLiteral("expected a string (number, TAB, text), a window text (@...), "
                                       "a locale entry (%...) or a comment (#...)"));
        }
    }

    if (source.strings.size() > MaxCount) {
        *error = QStringLiteral("a language file holds at most %1 strings").arg(MaxCount);
        return std::nullopt;
    }
    if (!localeLines.isEmpty()) {
        source.locale = LocaleBuilder(localeLines).build(error);
        if (!source.locale)
            return std::nullopt;
    }
    return source;
}

QByteArray compileLanguageFile(const LanguageSource& source, bool native, QString* error)
{
    ByteWriter out;
    out.bytes.append("LF3.00");
    out.u8(native ? LanguageFileNativeFlag : 0);
    out.u8(source.locale ? 1 : 0);
    if (source.locale)
        writeLocale(out, *source.locale);
    out.u8(0);
    out.bytes.append(10, '\0');
    out.u8(0); // font table: no fonts
    out.u32(0);
    out.bytes.append(20, '\0');
    out.u16(0); // no names

    if (source.windowTexts.size() > MaxCount)
        out.fail(QStringLiteral("more than %1 window-text groups").arg(MaxCount));
    out.u16(int(source.windowTexts.size()));
    for (auto group = source.windowTexts.cbegin(); group != source.windowTexts.cend(); ++group) {
        out.text(group.key(), QStringLiteral("the window-text group"));
        if (group->size() > MaxCount)
            out.fail(QStringLiteral("more than %1 members in %2").arg(MaxCount).arg(quoted(group.key())));
        out.u16(int(group->size()));
        for (auto member = group->cbegin(); member != group->cend(); ++member) {
            out.text(member.key(), QStringLiteral("the window-text member"));
            if (member.value() < 0 || member.value() > MaxStringNumber)
                out.fail(QStringLiteral("window text %1 names string %2, outside 0 to %3")
                             .arg(quoted(member.key()))
                             .arg(member.value())
                             .arg(MaxStringNumber));
            out.u16(member.value());
        }
    }

    if (source.strings.size() > MaxCount)
        out.fail(QStringLiteral("a language file holds at most %1 strings").arg(MaxCount));
    out.u16(int(source.strings.size()));
    QByteArray area;
    for (auto it = source.strings.cbegin(); it != source.strings.cend(); ++it) {
        if (it.key() < 0 || it.key() > MaxStringNumber)
            out.fail(QStringLiteral("string number %1 is outside 0 to %2").arg(it.key()).arg(MaxStringNumber));
        if (it->contains(QChar(0)))
            out.fail(QStringLiteral("string %1 holds a NUL character").arg(it.key()));
        out.u8(0);
        out.u16(it.key());
        if (it->isEmpty()) {
            out.u32(0xFFFFFFFFu);
        } else {
            if (area.size() >= qsizetype(0xFFFFFFFFu))
                out.fail(QStringLiteral("the texts are too long for one language file"));
            out.u32(quint32(area.size()));
            area += encodeText(*it);
            area += '\0';
        }
        out.u16(0);
    }
    out.bytes += area;

    if (!out.error.isEmpty()) {
        *error = out.error;
        return {};
    }
    return out.bytes;
}

LanguageSource languageSourceOf(const LanguageFile& file)
{
    LanguageSource source;
    for (const LanguageEntry& entry : file.entries())
        source.strings.insert(entry.number, entry.text);
    source.windowTexts = file.windowTexts();
    source.locale = file.locale();
    return source;
}

QString formatLanguageSource(const LanguageSource& source)
{
    QString out;
    for (auto it = source.strings.cbegin(); it != source.strings.cend(); ++it)
        out += QString::number(it.key()) + u'\t' + escapeLanguageText(*it) + u'\n';
    for (auto group = source.windowTexts.cbegin(); group != source.windowTexts.cend(); ++group) {
        for (auto member = group->cbegin(); member != group->cend(); ++member) {
            out += u'@' + escapeLanguageText(group.key()) + u'\t' + escapeLanguageText(member.key()) + u'\t' +
                   QString::number(member.value()) + u'\n';
        }
    }
    if (source.locale) {
        for (int i = 0; i < int(LocaleKeys.size()); ++i) {
            out += u'%' + LocaleKeys[i].name;
            for (const QString& value : localeValues(*source.locale, i))
                out += u'\t' + escapeLanguageText(value);
            out += u'\n';
        }
    }
    return out;
}
