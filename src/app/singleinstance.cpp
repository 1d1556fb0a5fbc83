#include "app/singleinstance.h"

#include "core/atomicfile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A folder only this user can enter: a real folder (no link), owned by the user, with no rights
// for group or others. Another account can then neither occupy nor reach a socket in it.
bool isPrivateFolder(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// The socket's address; false when the path does not fit into one.
bool socketAddress(const QString& path, sockaddr_un* address)
{
    const QByteArray encoded = QFile::encodeName(path);
    std::memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    if (encoded.isEmpty() || size_t(encoded.size()) >= sizeof(address->sun_path))
        return false;
    std::memcpy(address->sun_path, encoded.constData(), size_t(encoded.size()));
    return true;
}

// Waits until the socket is ready for `events`; false when the time runs out first.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, int(std::min<qint64>(deadline.remainingTime(), 1 << 30)));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

QString SingleInstance::runtimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime))
        return runtime;
    // Without a usable runtime folder: one of the user's own under the home folder, which no
    // other account can create first.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        return {};
    const QString folder = cache + QStringLiteral("/tarnwick-runtime");
    makePrivateFolder(folder);
    struct stat st {};
    const QByteArray path = QFile::encodeName(folder);
    // The user's own folder with loose rights (copied from elsewhere, say) is made private again.
    if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid())
        ::chmod(path.constData(), S_IRWXU);
    return isPrivateFolder(folder) ? folder : QString();
}

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent)
{
    const QString folder = runtimeFolder();
    if (folder.isEmpty()) {
        m_error = QStringLiteral("No private runtime folder for the single-instance socket.");
        return;
    }
    m_name = folder + u'/' + QString(key).replace(QLatin1Char(' '), QLatin1Char('_'));
}

SingleInstance::~SingleInstance()
{
    while (!m_clients.empty())
        dropClient(m_clients.begin()->first);
    if (m_listener >= 0) {
        delete m_listening; // before its socket is closed
        ::close(m_listener);
        // Gone with this instance, so that the next start does not take it for a running one.
        ::unlink(QFile::encodeName(m_name).constData());
    }
}

bool SingleInstance::wakeRunningInstance(int timeoutMs)
{
    sockaddr_un address{};
    if (m_name.isEmpty() || !socketAddress(m_name, &address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    bool connected = false;
    for (;;) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
            connected = true;
        } else if (errno == EINTR) {
            continue;
        } else if (errno == EAGAIN && !deadline.hasExpired()) {
            // The running instance is busy and its queue is full. A local socket does not go on
            // connecting by itself (nor does it report failure later): ask again shortly.
            ::usleep(10000);
            continue;
        } else if (errno == EINPROGRESS && waitFor(fd, POLLOUT, deadline)) {
            int error = 0;
            socklen_t length = sizeof(error);
            connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
        }
        break;
    }
    if (connected) {
        // Four bytes, most significant first, as a data stream writes a 32-bit number.
        const quint32 message = qToBigEndian(WakeMessage);
        const char* data = reinterpret_cast<const char*>(&message);
        qsizetype left = sizeof(message);
        while (left > 0) {
            const ssize_t written = ::send(fd, data, size_t(left), MSG_NOSIGNAL);
            if (written > 0) {
                data += written;
                left -= written;
            } else if (written < 0 && errno != EINTR && !(errno == EAGAIN && waitFor(fd, POLLOUT, deadline))) {
                break;
            }
        }
    }
    ::close(fd);
    return connected;
}

bool SingleInstance::listen()
{
    sockaddr_un address{};
    if (m_name.isEmpty())
        return false;
    if (!socketAddress(m_name, &address)) {
        m_error = QStringLiteral("The socket path is too long: %1").arg(m_name);
        return false;
    }
    // A crashed instance leaves its socket file behind; nobody answered on it, so it is stale.
    ::unlink(address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        m_error = systemErrorText(errno);
        return false;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd, 8) != 0) {
        m_error = systemErrorText(errno);
        ::close(fd);
        return false;
    }
    m_listener = fd;
    m_listening = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_listening, &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections()
{
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return; // EAGAIN: none left
        }
        Client& client = m_clients[fd];
        client.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(client.notifier, &QSocketNotifier::activated, this, [this, fd] { readClient(fd); });
    }
}

void SingleInstance::readClient(int fd)
{
    const auto found = m_clients.find(fd);
    if (found == m_clients.end())
        return;
    QByteArray& received = found->second.received;
    char buffer[64];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof(buffer), 0);
        if (got > 0) {
            // Only the first message counts; a client that goes on sending is not listened to.
            if (received.size() < qsizetype(sizeof(quint32)))
                received.append(buffer, std::min<qsizetype>(got, qsizetype(sizeof(quint32)) - received.size()));
            if (received.size() == qsizetype(sizeof(quint32))) {
                const bool wake = qFromBigEndian<quint32>(received.constData()) == WakeMessage;
                dropClient(fd);
                if (wake)
                    Q_EMIT wakeRequested();
                return;
            }
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;     // more may come
        dropClient(fd); // closed before a whole message, or failed
        return;
    }
}

void SingleInstance::dropClient(int fd)
{
    const auto found = m_clients.find(fd);
    if (found == m_clients.end())
        return;
    // Possibly inside its own signal: disabled now, deleted once that has returned.
    found->second.notifier->setEnabled(false);
    found->second.notifier->deleteLater();
    ::close(fd);
    m_clients.erase(found);
}
