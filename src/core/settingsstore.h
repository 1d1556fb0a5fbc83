#pragma once

#include <QAnyStringView>
#include <QHash>
#include <QObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class QColor;

// The user's preferences and remembered state: one INI-style text file per user, readable by
// the user only. Sections may nest ("Filter\Project" lies under "Filter"); section and value names
// are matched without regard to case and keep the spelling they were first written with.
// Every value is text; the typed reads take the caller's default and return it for a missing or
// unreadable value.
//
// Each change is written through at once, unless an update is open (beginUpdate/endUpdate or a
// Batch), in which case the changes go out in one write when the outermost update ends. A failed
// write keeps the changes in memory (and tries again with the next write); lastError() says why.
//
// File layout: "[Section]" lines, each followed by "Name=Value" lines, in first-written order.
// Section names are written as they are (backslashes included). In names and values a backslash
// starts an escape: \\ \n \r \t, \s for a blank at either end, \uXXXX for other control characters
// and unpaired surrogates, and in names \= plus \[ \; \# at the start; so every text reads back
// exactly as written.
// Blank lines and lines starting with ";" or "#" are ignored. Lines that cannot be read (no "=",
// a broken "[" header and the values under it, values before any section) are skipped and are
// not written back; every readable value is kept.
//
// Windows follow preference changes through sectionChanged, emitted once per changed section when
// the change is made or, inside an update, when the outermost update ends.
class SettingsStore final : public QObject {
    Q_OBJECT
public:
    // The store in the user's configuration folder.
    SettingsStore();
    // The store in the given file (created, with its folder, at the first write).
    explicit SettingsStore(const QString& path);

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // "<configuration folder>/tarnwick.ini".
    static QString defaultPath();
    const QString& path() const { return m_path; }

    QString readString(QAnyStringView section, QAnyStringView name, const QString& defaultValue = {}) const;
    // Decimal with an optional sign, or "$" and hexadecimal digits read as a 32-bit pattern
    // ("$FFFFFFFF" is -1). Anything else, or a number out of range, gives the default.
    int readInteger(QAnyStringView section, QAnyStringView name, int defaultValue) const;
    // An integer: non-zero is true; unreadable gives the default.
    bool readBool(QAnyStringView section, QAnyStringView name, bool defaultValue) const;
    // A colour number (see colorNumber), read as readInteger does.
    int readColor(QAnyStringView section, QAnyStringView name, int defaultValue) const;

    // Each write creates the section when missing. Returns false when the value could not be
    // written to the file (see lastError); the value is then still held in memory.
    bool writeString(QAnyStringView section, QAnyStringView name, const QString& value);
    bool writeInteger(QAnyStringView section, QAnyStringView name, int value);
    // "1" or "0".
    bool writeBool(QAnyStringView section, QAnyStringView name, bool value);
    // "$" and nine upper-case hexadecimal digits of the 32-bit pattern, e.g. "$000000080".
    bool writeColor(QAnyStringView section, QAnyStringView name, int color);

    // The value names of the section itself (not of sections under it), in stored order.
    QStringList valueNames(QAnyStringView section) const;
    // True when the section or a section under it exists (a key with subkeys exists).
    bool sectionExists(QAnyStringView section) const;
    bool valueExists(QAnyStringView section, QAnyStringView name) const;
    // Deletes the section and every section under it ("Filter" takes "Filter\Project" along).
    bool deleteSection(QAnyStringView section);
    bool deleteValue(QAnyStringView section, QAnyStringView name);
    // Forgets everything: the file is removed, so the next start uses every default.
    bool deleteAll();

    // Hold writes back until the matching endUpdate; updates nest. endUpdate of the outermost
    // update writes the pending changes and returns false when that failed.
    void beginUpdate();
    bool endUpdate();
    // Writes pending changes now (also inside an update). True when nothing is left unwritten.
    bool flush();

    // The reason the last write failed, naming the file; empty after a successful write. Also set
    // when an existing file could not be read: the store then starts empty and refuses to write
    // over that file, so the user's settings are not lost (deleteAll lifts this).
    const QString& lastError() const { return m_lastError; }
    // Lines of the file that could not be read at load.
    int unreadableLineCount() const { return m_unreadableLines; }

    // Colour number: red in the low byte, then green, then blue; the byte above (system colour
    // flags) is ignored when converting to a colour, and alpha is dropped.
    static int colorNumber(const QColor& color);
    static QColor colorFromNumber(int number);

Q_SIGNALS:
    // A value of the section was written with a new text or deleted (for deleteSection and
    // deleteAll: each section that went). The name is spelled as stored.
    void sectionChanged(const QString& section);

public:

    // Holds writes back for its lifetime, e.g. around everything written at exit; afterwards
    // lastError() tells whether the one write succeeded.
    class Batch final {
    public:
        explicit Batch(SettingsStore& store) : m_store(store) { m_store.beginUpdate(); }
        ~Batch() { m_store.endUpdate(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        SettingsStore& m_store;
    };

private:
    struct Value {
        QString name;
        QString text;
    };
    // Values keep their written order; the index finds one by its case-folded name, so reading
    // or writing a value costs the same however many values the section holds.
    struct Section {
        QString name;
        QList<Value> values;
        QHash<QString, qsizetype> index;
        const Value* find(QAnyStringView name) const;
        Value* find(QAnyStringView name) { return const_cast<Value*>(std::as_const(*this).find(name)); }
        void append(const QString& name, QString text);
        void reindex();
    };

    void load();
    void parse(QStringView text);
    QByteArray serialize() const;
    bool write();
    // Writes pending changes unless an update is open.
    bool settle();
    bool changed(const QString& section);
    bool changedAll(const QStringList& sections);
    void announceChanges();
    Section* findSection(QAnyStringView name);
    const Section* findSection(QAnyStringView name) const;
    Section& addSection(const QString& name);
    void reindexSections();
    const QString* findText(QAnyStringView section, QAnyStringView name) const;

    QString m_path;
    QList<Section> m_sections;
    QHash<QString, qsizetype> m_sectionIndex; // case-folded name -> position in m_sections
    QString m_lastError;
    int m_unreadableLines = 0;
    int m_updateDepth = 0;
    QStringList m_changedSections; // waiting for the outermost update to end
    bool m_dirty = false;
    bool m_readFailed = false;
};
