#pragma once

#include "core/languagefile.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <optional>

// The editable form of a language: what translators write and what `twk lng compile` turns into a
// language file. The text format is described at the top of resources/lang/native.txt:
//   # comment                      (blank lines are ignored too)
//   N<TAB>text                     string number N (0..65535), escapes \n \t \\ \s \r \xHH
//   @Group<TAB>Member<TAB>N        window-text map entry
//   %Key<TAB>value[<TAB>value...]  locale block entry; a source without such lines has no locale block
struct LanguageSource {
    QMap<int, QString> strings;
    WindowTextMap windowTexts;
    std::optional<LanguageLocale> locale;
};

// Reads a language source. On failure returns nothing and sets *error to a message that names the line.
std::optional<LanguageSource> parseLanguageSource(const QString& text, QString* error);
// The same from the bytes of a source file (UTF-8, or Windows-1252 when not valid UTF-8).
std::optional<LanguageSource> parseLanguageSource(const QByteArray& bytes, QString* error);

// The bytes of a version 3.00 language file. Returns an empty array and sets *error when the source
// holds something the layout cannot store (a name longer than its length byte, a NUL in a text, ...).
QByteArray compileLanguageFile(const LanguageSource& source, bool native, QString* error);

// The source form of a file that was read, and its text (strings, then window texts, then locale lines).
LanguageSource languageSourceOf(const LanguageFile& file);
QString formatLanguageSource(const LanguageSource& source);

// The escapes of the source format, for one text.
QString escapeLanguageText(const QString& text);
std::optional<QString> unescapeLanguageText(QStringView text, QString* error);
