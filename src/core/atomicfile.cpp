#include "core/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

QString writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    const auto failure = [&](const QString& reason) {
        file.cancelWriting();
        return QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), reason);
    };
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    if (file.write(bytes) != bytes.size())
        return failure(file.errorString());
    // QSaveFile buffers small writes: a short write (disk full, size limit) only shows in the
    // flush, and commit() would still replace the old file with the truncated one.
    if (!file.flush())
        return failure(file.errorString());
    if (!file.commit())
        return QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return {};
}

QString readFileBytes(const QString& path, QByteArray* bytes)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        *bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            return {};
    }
    return QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString());
}
