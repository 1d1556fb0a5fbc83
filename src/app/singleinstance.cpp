#include "app/singleinstance.h"

#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent), m_name(QStringLiteral("%1-%2").arg(key).arg(::getuid()))
{
    m_name.replace(QLatin1Char(' '), QLatin1Char('_'));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::wakeRunningInstance(int timeoutMs)
{
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
