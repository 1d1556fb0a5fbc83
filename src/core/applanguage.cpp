#include "core/applanguage.h"

#include "core/atomicfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QLatin1String LanguageSuffix(".lng");

} // namespace

AppLanguage::AppLanguage() : m_language(nativeName()) {}

AppLanguage& AppLanguage::instance()
{
    static AppLanguage language;
    return language;
}

bool AppLanguage::isNativeName(const QString& name)
{
    return name.isEmpty() || languageNameOfFile(name).compare(nativeName(), Qt::CaseInsensitive) == 0;
}

QString AppLanguage::languageNameOfFile(const QString& fileName)
{
    // Only the ending goes, so that "pt.br.lng" is listed as "pt.br" and that name finds the file again.
    if (fileName.endsWith(LanguageSuffix, Qt::CaseInsensitive))
        return fileName.chopped(LanguageSuffix.size());
    return fileName;
}

QStringList AppLanguage::defaultFolders()
{
    QStringList folders;
    const auto add = [&](const QString& folder) {
        const QString clean = QDir::cleanPath(folder);
        if (!folder.isEmpty() && !folders.contains(clean))
            folders.append(clean);
    };
    for (const QString& location : QStandardPaths::standardLocations(QStandardPaths::AppDataLocation))
        add(location + QLatin1String("/languages"));
    // An installation outside the standard prefixes keeps its files beside the program.
    if (QCoreApplication::instance() && !QCoreApplication::applicationName().isEmpty())
        add(QCoreApplication::applicationDirPath() + QLatin1String("/../share/") + QCoreApplication::applicationName() +
            QLatin1String("/languages"));
    return folders;
}

QStringList AppLanguage::folders() const
{
    if (!m_folders)
        m_folders = defaultFolders();
    return *m_folders;
}

void AppLanguage::setFolders(const QStringList& folders)
{
    m_folders = folders;
    discardFiles();
}

void AppLanguage::setLanguage(const QString& name)
{
    m_language = name;
    m_current.reset();
    m_currentError.clear();
}

QStringList AppLanguage::availableLanguages() const
{
    QStringList names{nativeName()};
    for (const QString& folder : folders()) {
        const QStringList files =
            QDir(folder).entryList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QString& file : files) {
            const QString name = languageNameOfFile(file);
            if (!isNativeName(name) && !names.contains(name))
                names.append(name);
        }
    }
    return names;
}

QString AppLanguage::currentFilePath() const
{
    if (isNativeName(m_language))
        return nativeResource();
    // A name is a file name, never a path: a name from the settings must not reach other folders.
    const QString fileName = languageNameOfFile(m_language) + LanguageSuffix;
    if (fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\')) || fileName.startsWith(u'.'))
        return {};
    for (const QString& folder : folders()) {
        const QDir dir(folder);
        if (const QFileInfo info(dir.filePath(fileName)); info.isFile())
            return info.filePath();
        // The list shows "fr" for "fr.LNG" too, so the ending is matched without regard to case.
        for (const QString& file : dir.entryList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name)) {
            if (file.compare(fileName, Qt::CaseInsensitive) == 0 &&
                languageNameOfFile(file) == languageNameOfFile(fileName))
                return dir.filePath(file);
        }
    }
    return {};
}

LanguageFile AppLanguage::readFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot read the language file \"%1\": %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
        return {};
    }
    LanguageFile read = LanguageFile::fromBytes(file.readAll(), QFileInfo(path).fileName());
    if (!read.isValid()) {
        *error = read.errorString();
        return {};
    }
    return read;
}

const LanguageFile& AppLanguage::nativeFile()
{
    if (!m_native) {
        // The user's language folder is made on first need, so there is a place to put translations.
        // It is the program's data folder, home of the default data set too, so it is private.
        if (!folders().isEmpty())
            makePrivateFolder(folders().constFirst());
        QString error;
        m_native = readFile(nativeResource(), &error);
        if (!error.isEmpty())
            qWarning("Built-in language file: %s", qUtf8Printable(error));
    }
    return *m_native;
}

const LanguageFile& AppLanguage::currentFile()
{
    if (isNativeName(m_language))
        return nativeFile();
    if (!m_current) {
        m_currentError.clear();
        const QString path = currentFilePath();
        // A missing file is a language without strings, not an error: every text falls back.
        m_current = path.isEmpty() ? LanguageFile() : readFile(path, &m_currentError);
    }
    return *m_current;
}

QString AppLanguage::loadError()
{
    currentFile();
    return m_currentError;
}

std::optional<FormatSettings> AppLanguage::localeSettings()
{
    const LanguageFile& file = currentFile();
    if (!file.locale())
        return std::nullopt;
    return file.locale()->format;
}

QString AppLanguage::languageString(int number)
{
    if (std::optional<QString> text = currentFile().text(number))
        return *text;
    if (std::optional<QString> text = nativeFile().text(number))
        return *text;
    return QStringLiteral("undefined language string");
}

void AppLanguage::discardFiles()
{
    m_current.reset();
    m_native.reset();
    m_currentError.clear();
}

QString LanguageString(int number)
{
    return AppLanguage::instance().languageString(number);
}

QString LanguageStrings(std::initializer_list<int> numbers)
{
    QStringList texts;
    for (const int number : numbers)
        texts.append(LanguageString(number));
    return texts.join(QLatin1String("\r\n"));
}

void SetLanguage(const QString& name)
{
    AppLanguage::instance().setLanguage(name);
}

QStringList AvailableLanguages()
{
    return AppLanguage::instance().availableLanguages();
}
