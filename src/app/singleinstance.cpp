#include "app/singleinstance.h"

#include "core/atomicfile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <sys/stat.h>
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

SingleInstance::~SingleInstance() = default;

bool SingleInstance::wakeRunningInstance(int timeoutMs)
{
    if (m_name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    QDataStream(&message, QIODevice::WriteOnly) << WakeMessage;
    socket.write(message);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen()
{
    if (m_name.isEmpty())
        return false;
    // A crashed instance leaves its socket file behind; nobody answered on it, so it is stale.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        m_error = m_server->errorString();
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readConnection);
    return true;
}

void SingleInstance::readConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() < qint64(sizeof(quint32)))
                return;
            quint32 message = 0;
            QDataStream(socket) >> message;
            if (message == WakeMessage)
                Q_EMIT wakeRequested();
        });
    }
}
