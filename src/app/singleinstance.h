#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <map>

class QSocketNotifier;

// One running instance per user: the first start listens on a local socket named after the
// main window's class name in the user's private runtime folder; a second start sends it the
// wake message and ends. No other account can occupy or reach the socket.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 WakeMessage = 0x1400;

    explicit SingleInstance(const QString& key = QStringLiteral("Tarnwick PRO"), QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another instance answered and was told to wake; this process should end.
    bool wakeRunningInstance(int timeoutMs = 1000);
    // Starts listening; false (with errorString) when the socket cannot be created.
    bool listen();
    QString errorString() const { return m_error; }
    // The socket's full path; empty when there is no private folder for it.
    QString serverName() const { return m_name; }

    // $XDG_RUNTIME_DIR when it is the user's own and private (0700), otherwise a private folder
    // made under the user's cache folder; empty when neither can be had.
    static QString runtimeFolder();

Q_SIGNALS:
    // Another start asked this instance to come to the front.
    void wakeRequested();

private:
    void acceptConnections();
    void readClient(int fd);
    void dropClient(int fd);

    QString m_name;
    QString m_error;
    // A plain Unix socket: the network module and the libraries it pulls in would cost more
    // memory and start-up time than all the rest of this class.
    int m_listener = -1;
    QSocketNotifier* m_listening = nullptr;
    struct Client {
        QSocketNotifier* notifier = nullptr;
        QByteArray received;
    };
    std::map<int, Client> m_clients;
};
