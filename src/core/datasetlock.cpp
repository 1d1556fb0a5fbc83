#include "core/datasetlock.h"

#include "core/tablefiles.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

DataSetLock::~DataSetLock()
{
    release();
}

DataSetLock::Result DataSetLock::acquire(const QString& folder)
{
    release();
    m_error.clear();
    const QString path = dataFilePath(folder, TableFile::Lock);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = QStringLiteral("Cannot open \"%1\": %2")
                      .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(errno)));
        return Result::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int reason = errno;
        ::close(fd);
        if (reason == EWOULDBLOCK)
            return Result::HeldByOther;
        m_error = QStringLiteral("Cannot lock \"%1\": %2")
                      .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(reason)));
        return Result::Failed;
    }
    m_fd = fd;
    return Result::Locked;
}

void DataSetLock::release()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
}
