#include "core/settingsstore.h"

#include "core/storedinteger.h"

#include "core/atomicfile.h"
#include "core/textcodec.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

// A file this big is not a settings file; reading it whole could exhaust memory.
constexpr qint64 maxFileSize = 16 * 1024 * 1024;

constexpr auto privateFile = QFile::ReadOwner | QFile::WriteOwner;

bool same(QAnyStringView a, QAnyStringView b)
{
    return QAnyStringView::compare(a, b, Qt::CaseInsensitive) == 0;
}

// The lookup key of a name: two names have the same key exactly when same() holds, since both
// fold each character (a surrogate pair as one) the same way.
QString foldedName(QAnyStringView name)
{
    const QString text = name.toString();
    QString key;
    key.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const auto folded = QChar::fromUcs4(QChar::toCaseFolded(QChar::surrogateToUcs4(c, text.at(i + 1))));
            key += QStringView(folded);
            ++i;
        } else {
            key += c.toCaseFolded();
        }
    }
    return key;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Only blanks and tabs: other white space (no-break space, ...) is part of the text.
QStringView trimBlanks(QStringView s)
{
    while (!s.isEmpty() && isBlank(s.front()))
        s = s.sliced(1);
    while (!s.isEmpty() && isBlank(s.back()))
        s.chop(1);
    return s;
}

// A section name goes on a "[...]" line as it is, so it must survive that line unchanged.
bool isValidSectionName(QStringView name)
{
    if (name.isEmpty() || isBlank(name.front()) || isBlank(name.back()))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return true;
}

enum class Field { Name, Value };

QString escape(QStringView text, Field field)
{
    QString out;
    out.reserve(text.size() + 8);
    const qsizetype last = text.size() - 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i < last && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (u == u'\\') {
            out += u"\\\\";
        } else if (u == u'\n') {
            out += u"\\n";
        } else if (u == u'\r') {
            out += u"\\r";
        } else if (u == u'\t') {
            out += u"\\t";
        } else if (u == u' ' && (i == 0 || i == last)) {
            out += u"\\s";
        } else if (u < 0x20 || u == 0x7F || c.isSurrogate()) {
            out += u"\\u";
            out += QString::number(u, 16).toUpper().rightJustified(4, u'0');
        } else if (field == Field::Name && (u == u'=' || (i == 0 && (u == u'[' || u == u';' || u == u'#')))) {
            out += u'\\';
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

// Unknown escapes keep their backslash, so a hand-typed "C:\Data" survives.
QString unescape(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const char16_t next = text[i + 1].unicode();
        switch (next) {
        case u'\\':
        case u'=':
        case u'[':
        case u';':
        case u'#':
            out += QChar(next);
            ++i;
            break;
        case u'n':
            out += u'\n';
            ++i;
            break;
        case u'r':
            out += u'\r';
            ++i;
            break;
        case u't':
            out += u'\t';
            ++i;
            break;
        case u's':
            out += u' ';
            ++i;
            break;
        case u'u': {
            int code = 0;
            bool ok = i + 5 < text.size();
            for (qsizetype k = i + 2; ok && k < i + 6; ++k) {
                const int d = hexDigit(text[k]);
                ok = d >= 0;
                code = code * 16 + d;
            }
            if (ok) {
                out += QChar(char16_t(code));
                i += 5;
            } else {
                out += c;
            }
            break;
        }
        default:
            out += c;
            break;
        }
    }
    return out;
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(defaultPath()) {}

SettingsStore::SettingsStore(const QString& path) : m_path(path)
{
    load();
}

QString SettingsStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/tarnwick.ini");
}

void SettingsStore::load()
{
    const QFileInfo info(m_path);
    if (!info.exists())
        return;
    QFile file(m_path);
    QString reason;
    if (info.isDir())
        reason = QStringLiteral("it is a folder");
    else if (info.size() > maxFileSize)
        reason = QStringLiteral("the file is too big");
    else if (!file.open(QIODevice::ReadOnly))
        reason = file.errorString();
    if (reason.isEmpty()) {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFile::NoError) {
            parse(decodeText(bytes));
            return;
        }
        reason = file.errorString();
    }
    m_readFailed = true;
    m_lastError = QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(m_path), reason);
}

void SettingsStore::parse(QStringView text)
{
    Section* current = nullptr;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        const QStringView line = trimBlanks(text.sliced(pos, end - pos));
        pos = end + (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n' ? 2 : 1);

        if (line.isEmpty() || line.front() == u';' || line.front() == u'#')
            continue;
        if (line.front() == u'[') {
            const QStringView name =
                line.size() > 1 && line.back() == u']' ? trimBlanks(line.sliced(1).chopped(1)) : QStringView();
            // Values under a broken header belong to no known section; putting them in the
            // previous one could overwrite good values there.
            current = nullptr;
            if (!isValidSectionName(name)) {
                ++m_unreadableLines;
                continue;
            }
            current = findSection(name);
            if (!current)
                current = &addSection(name.toString());
            continue;
        }
        qsizetype eq = 0;
        while (eq < line.size() && line[eq] != u'=')
            eq += line[eq] == u'\\' ? 2 : 1;
        if (!current || eq >= line.size()) {
            ++m_unreadableLines;
            continue;
        }
        const QString name = unescape(trimBlanks(line.first(eq)));
        QString value = unescape(trimBlanks(line.sliced(eq + 1)));
        if (Value* v = current->find(name))
            v->text = std::move(value); // a repeated name: the later line wins
        else
            current->append(name, std::move(value));
    }
}

QByteArray SettingsStore::serialize() const
{
    QString text;
    for (const Section& section : m_sections) {
        if (!text.isEmpty())
            text += u'\n';
        text += u'[';
        text += section.name;
        text += u"]\n";
        for (const Value& value : section.values)
            text += escape(value.name, Field::Name) + u'=' + escape(value.text, Field::Value) + u'\n';
    }
    return encodeText(text);
}

bool SettingsStore::write()
{
    if (m_readFailed) {
        // m_lastError still holds the read failure.
        return false;
    }
    if (m_sections.isEmpty()) {
        QFile file(m_path);
        if (file.exists() && !file.remove()) {
            m_lastError =
                QStringLiteral("Cannot delete \"%1\": %2").arg(QDir::toNativeSeparators(m_path), file.errorString());
            return false;
        }
    } else {
        // Missing ancestors too, each private; a failure shows up as the write's error.
        makePrivateFolder(QFileInfo(m_path).absolutePath());
        // The atomic writer keeps the permissions of an existing file, so make sure the target is
        // private before the new content arrives; the content is never readable by others.
        QFile target(m_path);
        if (!target.exists()) {
            if (target.open(QIODevice::WriteOnly | QIODevice::NewOnly, privateFile))
                target.close();
        } else {
            target.setPermissions(privateFile);
        }
        const QString error = writeFileAtomically(m_path, serialize());
        if (!error.isEmpty()) {
            m_lastError = error;
            return false;
        }
        target.setPermissions(privateFile);
    }
    m_dirty = false;
    m_lastError.clear();
    return true;
}

bool SettingsStore::settle()
{
    return m_updateDepth > 0 || !m_dirty || write();
}

bool SettingsStore::changed(const QString& section)
{
    m_dirty = true;
    if (!section.isEmpty() && !m_changedSections.contains(section, Qt::CaseInsensitive))
        m_changedSections.append(section);
    const bool written = settle();
    if (m_updateDepth == 0)
        announceChanges();
    return written;
}

bool SettingsStore::changedAll(const QStringList& sections)
{
    // One write for them all, each section announced once.
    beginUpdate();
    m_dirty = true;
    for (const QString& section : sections)
        changed(section);
    return endUpdate();
}

void SettingsStore::announceChanges()
{
    // A receiver may write settings again: take the list first.
    for (const QString& section : std::exchange(m_changedSections, {}))
        Q_EMIT sectionChanged(section);
}

bool SettingsStore::flush()
{
    return !m_dirty || write();
}

void SettingsStore::beginUpdate()
{
    ++m_updateDepth;
}

bool SettingsStore::endUpdate()
{
    if (m_updateDepth == 0)
        return !m_dirty;
    if (--m_updateDepth > 0)
        return true;
    const bool written = flush();
    announceChanges();
    return written;
}

const SettingsStore::Value* SettingsStore::Section::find(QAnyStringView name) const
{
    const auto it = index.constFind(foldedName(name));
    return it == index.cend() ? nullptr : &values.at(*it);
}

void SettingsStore::Section::append(const QString& name, QString text)
{
    index.insert(foldedName(name), values.size());
    values.append({name, std::move(text)});
}

void SettingsStore::Section::reindex()
{
    index.clear();
    for (qsizetype i = 0; i < values.size(); ++i)
        index.insert(foldedName(values.at(i).name), i);
}

SettingsStore::Section* SettingsStore::findSection(QAnyStringView name)
{
    const auto it = m_sectionIndex.constFind(foldedName(name));
    return it == m_sectionIndex.cend() ? nullptr : &m_sections[*it];
}

SettingsStore::Section& SettingsStore::addSection(const QString& name)
{
    m_sectionIndex.insert(foldedName(name), m_sections.size());
    m_sections.append({name, {}, {}});
    return m_sections.last();
}

void SettingsStore::reindexSections()
{
    m_sectionIndex.clear();
    for (qsizetype i = 0; i < m_sections.size(); ++i)
        m_sectionIndex.insert(foldedName(m_sections.at(i).name), i);
}

const SettingsStore::Section* SettingsStore::findSection(QAnyStringView name) const
{
    return const_cast<SettingsStore*>(this)->findSection(name);
}

const QString* SettingsStore::findText(QAnyStringView section, QAnyStringView name) const
{
    if (const Section* s = findSection(section)) {
        if (const Value* value = s->find(name))
            return &value->text;
    }
    return nullptr;
}

QString SettingsStore::readString(QAnyStringView section, QAnyStringView name, const QString& defaultValue) const
{
    const QString* text = findText(section, name);
    return text ? *text : defaultValue;
}

int SettingsStore::readInteger(QAnyStringView section, QAnyStringView name, int defaultValue) const
{
    const QString* text = findText(section, name);
    if (!text)
        return defaultValue;
    return readStoredInteger(*text).value_or(defaultValue);
}

bool SettingsStore::readBool(QAnyStringView section, QAnyStringView name, bool defaultValue) const
{
    const QString* text = findText(section, name);
    if (!text)
        return defaultValue;
    const std::optional<int> number = readStoredInteger(*text);
    return number ? *number != 0 : defaultValue;
}

int SettingsStore::readColor(QAnyStringView section, QAnyStringView name, int defaultValue) const
{
    return readInteger(section, name, defaultValue);
}

bool SettingsStore::writeString(QAnyStringView section, QAnyStringView name, const QString& value)
{
    const QString sectionName = section.toString();
    if (!isValidSectionName(sectionName)) {
        m_lastError = QStringLiteral("Cannot write \"%1\": invalid section name \"%2\"")
                          .arg(QDir::toNativeSeparators(m_path), sectionName);
        return false;
    }
    Section* s = findSection(sectionName);
    if (!s)
        s = &addSection(sectionName);
    if (Value* v = s->find(name)) {
        if (v->text == value)
            return settle(); // unchanged: no rewrite, so the file does not churn
        v->text = value;
        return changed(s->name);
    }
    s->append(name.toString(), value);
    return changed(s->name);
}

bool SettingsStore::writeInteger(QAnyStringView section, QAnyStringView name, int value)
{
    return writeString(section, name, QString::number(value));
}

bool SettingsStore::writeBool(QAnyStringView section, QAnyStringView name, bool value)
{
    return writeString(section, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool SettingsStore::writeColor(QAnyStringView section, QAnyStringView name, int color)
{
    return writeString(section, name, u'$' + QString::number(quint32(color), 16).toUpper().rightJustified(9, u'0'));
}

QStringList SettingsStore::valueNames(QAnyStringView section) const
{
    QStringList names;
    if (const Section* s = findSection(section)) {
        for (const Value& value : s->values)
            names.append(value.name);
    }
    return names;
}

namespace {

// The section itself or one nested under it.
bool isWithin(const QString& candidate, const QString& section)
{
    return same(candidate, section) || (candidate.size() > section.size() && candidate[section.size()] == u'\\' &&
                                        same(QStringView(candidate).first(section.size()), section));
}

} // namespace

bool SettingsStore::sectionExists(QAnyStringView section) const
{
    const QString name = section.toString();
    return std::any_of(m_sections.cbegin(), m_sections.cend(),
                       [&](const Section& s) { return isWithin(s.name, name); });
}

bool SettingsStore::valueExists(QAnyStringView section, QAnyStringView name) const
{
    return findText(section, name) != nullptr;
}

bool SettingsStore::deleteSection(QAnyStringView section)
{
    const QString name = section.toString();
    QStringList gone;
    for (const Section& s : std::as_const(m_sections)) {
        if (isWithin(s.name, name))
            gone.append(s.name);
    }
    if (gone.isEmpty())
        return settle();
    m_sections.removeIf([&](const Section& s) { return isWithin(s.name, name); });
    reindexSections();
    return changedAll(gone);
}

bool SettingsStore::deleteValue(QAnyStringView section, QAnyStringView name)
{
    Section* s = findSection(section);
    if (!s || s->values.removeIf([&](const Value& v) { return same(v.name, name); }) == 0)
        return settle();
    s->reindex();
    return changed(s->name);
}

bool SettingsStore::deleteAll()
{
    QStringList gone;
    for (const Section& s : std::as_const(m_sections))
        gone.append(s.name);
    m_sections.clear();
    m_sectionIndex.clear();
    m_readFailed = false;
    return changedAll(gone);
}

int SettingsStore::colorNumber(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}

QColor SettingsStore::colorFromNumber(int number)
{
    const auto bits = quint32(number);
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}
