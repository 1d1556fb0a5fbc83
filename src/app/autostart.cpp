#include "app/autostart.h"

#include "core/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// One argument of an Exec line: quoted when it holds a reserved character, with the four
// characters that stay special inside quotes escaped.
QString execArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString text;
    for (const QChar c : argument) {
        if (needsQuotes && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            text += u'\\';
        // A literal percent sign would otherwise start a field code.
        text += c == u'%' ? QStringLiteral("%%") : QString(c);
    }
    return needsQuotes ? u'"' + text + u'"' : text;
}

// A string value of a desktop entry: the backslash is the value's own escape character.
QString entryValue(const QString& value)
{
    return QString(value).replace(u'\\', QStringLiteral("\\\\"));
}

bool hasControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

} // namespace

QString autostartEntryPath()
{
    // The XDG rule, not QStandardPaths: its test mode would point elsewhere than the desktop looks.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/tarnwick.desktop");
}

QString autostartEntryText(const QString& name, const QString& path)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Exec=%2\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(entryValue(name), entryValue(execArgument(path)));
}

QString SetRunAtStartup(const QString& name, const QString& path)
{
    const QString entry = autostartEntryPath();
    if (path.isEmpty()) {
        QFile file(entry);
        if (!file.exists() || file.remove())
            return {};
        return QStringLiteral("Cannot remove \"%1\": %2").arg(QDir::toNativeSeparators(entry), file.errorString());
    }
    // A line break would end the Exec line and let the rest be read as another key.
    if (hasControlCharacter(name) || hasControlCharacter(path))
        return QStringLiteral("Cannot start \"%1\" with the system: the path holds a control character.")
            .arg(QDir::toNativeSeparators(path));
    const QString folder = QFileInfo(entry).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("Cannot create the folder \"%1\".").arg(QDir::toNativeSeparators(folder));
    return writeFileAtomically(entry, autostartEntryText(name, path).toUtf8());
}

bool runsAtStartup()
{
    return QFileInfo::exists(autostartEntryPath());
}
