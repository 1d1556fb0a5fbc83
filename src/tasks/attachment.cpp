#include "tasks/attachment.h"

#include <QDir>
#include <QRegularExpression>

bool isMissingAttachment(const QString& path)
{
    const QString trimmed = path.trimmed();
    return trimmed.isEmpty() || trimmed == u"mailto:";
}

QUrl attachmentUrl(const QString& path, const QString& baseFolder)
{
    const QString trimmed = path.trimmed();
    // One-letter schemes are drive letters ("C:\..."), which are files.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(trimmed).hasMatch())
        return QUrl(trimmed);
    return QUrl::fromLocalFile(QDir(baseFolder).absoluteFilePath(QDir::fromNativeSeparators(trimmed)));
}

QString attachmentLocalFile(const QString& path, const QString& baseFolder)
{
    const QUrl url = attachmentUrl(path, baseFolder);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}
