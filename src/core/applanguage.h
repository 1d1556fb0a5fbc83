#pragma once

#include "core/languagefile.h"

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>

// The program's language: where language files are looked up, which language is current, and the two
// files in use (the current language's and the built-in native one), each read on first need.
class AppLanguage final {
public:
    static AppLanguage& instance();

    AppLanguage(const AppLanguage&) = delete;
    AppLanguage& operator=(const AppLanguage&) = delete;

    // The name of the built-in language, and the resource that holds its file.
    static QString nativeName() { return QStringLiteral("Native"); }
    static QString nativeResource() { return QStringLiteral(":/lang/native.lng"); }
    // True for "Native" in any case (also written with ".lng") and for an empty name.
    static bool isNativeName(const QString& name);
    // The language name of a file name: the ".lng" ending removed.
    static QString languageNameOfFile(const QString& fileName);

    // The folders searched for "<name>.lng", first match wins: the user's application data folder
    // ("languages" below it), then the installed share folders.
    static QStringList defaultFolders();
    QStringList folders() const;
    // Replaces the folders (tests); both loaded files are discarded.
    void setFolders(const QStringList& folders);

    QString language() const { return m_language; }
    // Makes a language current; its file is read on the next lookup.
    void setLanguage(const QString& name);
    // "Native" first, then every "*.lng" file of the folders, each name once.
    QStringList availableLanguages() const;
    // The file the current language reads from; empty for a missing file, the resource for Native.
    QString currentFilePath() const;

    // The text of a string number: the current language's, else the native one, else
    // "undefined language string".
    QString languageString(int number);

    // The files, read when first needed. A file that could not be read is empty (no strings).
    const LanguageFile& currentFile();
    const LanguageFile& nativeFile();
    // Why the current language's file could not be read (empty when it was read or is missing).
    // Lookups then use the native file.
    QString loadError();
    // The formatting settings of the current language's locale block, when it has one.
    std::optional<FormatSettings> localeSettings();

    // Forgets both loaded files (when no translated window is left).
    void discardFiles();

private:
    AppLanguage();
    static LanguageFile readFile(const QString& path, QString* error);

    mutable std::optional<QStringList> m_folders; // the defaults until a caller sets others
    QString m_language;
    std::optional<LanguageFile> m_current;
    std::optional<LanguageFile> m_native;
    QString m_currentError;
};

// The message of a number in the current language (falls back to the native text).
QString LanguageString(int number);
// Several messages joined with CR LF, as message boxes show them.
QString LanguageStrings(std::initializer_list<int> numbers);
void SetLanguage(const QString& name);
QStringList AvailableLanguages();
