#include "app/singleinstance.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

class TestSingleInstance final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_runtime;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_runtime = qgetenv("XDG_RUNTIME_DIR");
    }
    void cleanup() { qputenv("XDG_RUNTIME_DIR", m_runtime); }

    // The socket never lies in the shared temporary folder, where another account could take its
    // name first; it goes into a folder only this user can enter.
    void socket_liesInAPrivateFolderOfTheUser_data()
    {
        QTest::addColumn<QString>("runtime"); // "" unset; else a folder under the test folder
        QTest::addColumn<int>("runtimeMode");
        QTest::addColumn<int>("fallbackMode"); // the fallback's mode before; 0: none yet
        QTest::addColumn<bool>("inRuntime");
        QTest::newRow("private runtime folder") << u"run"_s << 0700 << 0 << true;
        QTest::newRow("runtime folder unset") << QString() << 0 << 0 << false;
        QTest::newRow("runtime folder open to others") << u"open"_s << 0777 << 0 << false;
        QTest::newRow("fallback with loose rights") << QString() << 0 << 0755 << false;
    }
    void socket_liesInAPrivateFolderOfTheUser()
    {
        QFETCH(QString, runtime);
        QFETCH(int, runtimeMode);
        QFETCH(int, fallbackMode);
        QFETCH(bool, inRuntime);
        const QString cache = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-'));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
        const QString fallback = cache + u"/tarnwick-runtime"_s;
        if (fallbackMode != 0) {
            QVERIFY(QDir().mkpath(fallback));
            QVERIFY(::chmod(QFile::encodeName(fallback).constData(), mode_t(fallbackMode)) == 0);
        }
        if (runtime.isEmpty()) {
            qunsetenv("XDG_RUNTIME_DIR");
        } else {
            runtime = cache + u'/' + runtime;
            QVERIFY(QDir().mkpath(runtime));
            QVERIFY(::chmod(QFile::encodeName(runtime).constData(), mode_t(runtimeMode)) == 0);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        }

        const SingleInstance instance(u"Tarnwick PRO"_s);
        const QString folder = inRuntime ? runtime : fallback;
        QCOMPARE(instance.serverName(), folder + u"/Tarnwick_PRO"_s);
        QCOMPARE(fileMode(folder), 0700u);
    }

    void secondStart_wakesTheFirst_evenAfterACrashLeftASocket()
    {
        const QString runtime = m_dir.filePath(u"wake"_s);
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        // A crashed start leaves its socket file behind.
        QFile stale(runtime + u"/Wake_test"_s);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();

        {
            SingleInstance first(u"Wake test"_s);
            QVERIFY(!first.wakeRunningInstance(200));
            QVERIFY2(first.listen(), qPrintable(first.errorString()));
            QCOMPARE(fileMode(stale.fileName()), 0600u);
            QSignalSpy woken(&first, &SingleInstance::wakeRequested);
            SingleInstance second(u"Wake test"_s);
            QVERIFY(second.wakeRunningInstance());
            QTRY_COMPARE(woken.count(), 1);
            QVERIFY(second.wakeRunningInstance());
            QTRY_COMPARE(woken.count(), 2);
        }
        // An instance that ended leaves nothing for the next start to take for a running one.
        QVERIFY(!QFileInfo::exists(stale.fileName()));
    }

    void secondStart_whileTheFirstIsBusy_waitsForRoomInItsQueue()
    {
        const QString runtime = m_dir.filePath(u"busy"_s);
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        SingleInstance second(u"Busy test"_s);

        // A first instance that accepts nobody for a while, with its queue already full.
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(second.serverName());
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        const auto* to = reinterpret_cast<const sockaddr*>(&address);
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(listener, to, sizeof(address)) == 0 && ::listen(listener, 0) == 0);
        std::vector<int> waiting;
        for (int k = 0; k < 8; ++k) {
            const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
            if (::connect(client, to, sizeof(address)) != 0) {
                ::close(client);
                break;
            }
            waiting.push_back(client);
        }
        QCOMPARE_LT(waiting.size(), size_t(8));

        QByteArray message;
        std::thread first([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            for (size_t k = 0; k <= waiting.size(); ++k) {
                pollfd pending{listener, POLLIN, 0};
                if (::poll(&pending, 1, 3000) != 1)
                    break;
                const int accepted = ::accept(listener, nullptr, nullptr);
                char bytes[8];
                const ssize_t got = ::recv(accepted, bytes, sizeof(bytes), k < waiting.size() ? MSG_DONTWAIT : 0);
                if (got > 0)
                    message.append(bytes, got);
                ::close(accepted);
            }
        });
        const bool woke = second.wakeRunningInstance(3000);
        first.join();
        for (const int client : waiting)
            ::close(client);
        ::close(listener);
        QVERIFY(woke);
        QCOMPARE(message, QByteArray::fromHex("00001400"));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
