#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running instance per user: the first start listens on a local socket named after the
// main window's class name and the user; a second start sends it the wake message and ends.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 WakeMessage = 0x1400;

    explicit SingleInstance(const QString& key = QStringLiteral("Tarnwick PRO"), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when another instance answered and was told to wake; this process should end.
    bool wakeRunningInstance(int timeoutMs = 1000);
    // Starts listening; false (with errorString) when the socket cannot be created.
    bool listen();
    QString errorString() const { return m_error; }
    QString serverName() const { return m_name; }

Q_SIGNALS:
    // Another start asked this instance to come to the front.
    void wakeRequested();

private:
    void readConnection();

    QString m_name;
    QString m_error;
    QLocalServer* m_server = nullptr;
};
