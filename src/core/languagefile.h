#pragma once

#include "core/formatsettings.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// Group (window) name -> member name ("btnOK.Caption") -> number of the string holding its translation.
using WindowTextMap = QMap<QString, QMap<QString, int>>;

// The locale block of a language file: the formatting settings plus the era data that the file carries
// but the program does not use.
struct LanguageLocale {
    FormatSettings format;
    QStringList eraNames;         // 7 entries
    QList<qint32> eraYearOffsets; // 7 entries
};

// Lengths (in characters) that a reader keeps of the locale block's name lists.
inline constexpr int ShortMonthNameLength = 6;
inline constexpr int LongMonthNameLength = 20;
inline constexpr int ShortDayNameLength = 6;
inline constexpr int LongDayNameLength = 20;
inline constexpr int EraNameLength = 10;

// Bit of the file-flags byte (version 3.0 on) that marks the native language file.
inline constexpr int LanguageFileNativeFlag = 0x01;

// The error for any file that does not start with the language file signature.
QString languageSignatureError();

// One record of the string table.
struct LanguageEntry {
    int number = 0;
    int flags = 0;
    int fontIndex = 0;
    QString text;
};

// A language file read into memory. The whole file is checked when it is read, so every lookup
// afterwards is safe; a file that fails the check yields an empty file and an error text.
class LanguageFile final {
public:
    // A file without strings (what a missing file reads as).
    LanguageFile() = default;

    // Reads the bytes of a language file. fileName (without folder is enough) decides whether a file
    // older than version 3.0 is the native one. Check isValid()/errorString() for the result.
    static LanguageFile fromBytes(const QByteArray& data, const QString& fileName = {});

    bool isValid() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }

    // The version in hundredths (3.00 -> 300); 0 for a file without strings.
    int version() const { return m_version; }
    int fileFlags() const { return m_fileFlags; }
    bool isNative() const { return m_native; }

    // The text of a string number, or nothing when the file lacks it.
    std::optional<QString> text(int number) const;
    bool contains(int number) const { return text(number).has_value(); }
    // Every string record, in ascending number order.
    const QList<LanguageEntry>& entries() const { return m_entries; }

    const WindowTextMap& windowTexts() const { return m_windowTexts; }
    // The string number holding the translation of a window member, or -1.
    int windowTextNumber(const QString& group, const QString& member) const;

    const std::optional<LanguageLocale>& locale() const { return m_locale; }
    // Font names of the font table and the name list; read, kept, not otherwise used.
    const QStringList& fontNames() const { return m_fontNames; }
    const QStringList& names() const { return m_names; }

private:
    friend class LanguageFileParser;

    QString m_error;
    int m_version = 0;
    int m_fileFlags = 0;
    bool m_native = false;
    QList<LanguageEntry> m_entries;
    WindowTextMap m_windowTexts;
    std::optional<LanguageLocale> m_locale;
    QStringList m_fontNames;
    QStringList m_names;
};
