#include "core/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

QString systemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    return streamFileAtomically(path, [&bytes](const ByteSink& sink) { sink(bytes.constData(), bytes.size()); });
}

QString streamFileAtomically(const QString& path, const std::function<void(const ByteSink&)>& produce)
{
    // A new file is private; an existing one keeps its mode. QSaveFile alone would give a new
    // file the umask's mode and pass an existing mode through the umask as well.
    struct stat existing {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &existing) == 0;
    const mode_t mode = exists ? existing.st_mode & 0777 : S_IRUSR | S_IWUSR;

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    const auto failure = [&](const QString& reason) {
        file.cancelWriting();
        return QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), reason);
    };
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    const int fd = file.handle();
    // A file system without modes (a FAT stick) refuses; the data matters more than the mode.
    (void)::fchmod(fd, mode);

    // Written straight to the temporary file, so a failure keeps the system's reason: QSaveFile's
    // own buffered write reports a full disk as "Unknown error".
    int writeError = 0;
    produce([fd, &writeError](const char* data, qsizetype left) {
        while (writeError == 0 && left > 0) {
            const ssize_t written = ::write(fd, data, size_t(left));
            if (written < 0) {
                if (errno != EINTR)
                    writeError = errno;
                continue;
            }
            data += written;
            left -= written;
        }
        return writeError == 0;
    });
    if (writeError != 0)
        return failure(systemErrorText(writeError));
    // Some file systems report a lack of space only when the data reaches the disk; QSaveFile's
    // commit ignores that, and would put the incomplete file in place of the old one.
    if (::fsync(fd) != 0 && (errno == EIO || errno == ENOSPC || errno == EDQUOT))
        return failure(systemErrorText(errno));
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

bool makePrivateFolder(const QString& path)
{
    QStringList missing;
    for (QString folder = QDir::cleanPath(QDir(path).absolutePath()); !QFileInfo::exists(folder);) {
        missing.prepend(folder);
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder)
            break;
        folder = parent;
    }
    for (const QString& folder : std::as_const(missing))
        QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return QFileInfo(path).isDir();
}

PrivateCreationScope::PrivateCreationScope() : m_saved(::umask(S_IRWXG | S_IRWXO)) {}

PrivateCreationScope::~PrivateCreationScope()
{
    ::umask(m_saved);
}
