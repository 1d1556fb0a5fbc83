#include "app/terminationwatch.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace {

constexpr int watchedSignals[] = {SIGTERM, SIGHUP};
int signalPipe[2] = {-1, -1};
struct sigaction previous[std::size(watchedSignals)];

void onSignal(int number)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    // A full pipe already holds a request; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationWatch::TerminationWatch(QObject* parent) : QObject(parent)
{
    if (signalPipe[0] < 0) {
        if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < std::size(watchedSignals); ++i)
            ::sigaction(watchedSignals[i], &action, &previous[i]);
        m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatch::readPipe);
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // Called while the session manager waits: the data must be saved before it returns.
        connect(
            app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { Q_EMIT sessionEnding(); },
            Qt::DirectConnection);
    }
}

TerminationWatch::~TerminationWatch()
{
    if (m_notifier == nullptr)
        return;
    m_notifier->setEnabled(false);
    for (std::size_t i = 0; i < std::size(watchedSignals); ++i)
        ::sigaction(watchedSignals[i], &previous[i], nullptr);
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void TerminationWatch::readPipe()
{
    unsigned char bytes[16];
    int last = 0;
    for (ssize_t n; (n = ::read(signalPipe[0], bytes, sizeof bytes)) > 0;)
        last = bytes[n - 1];
    // Several signals at once are one request.
    if (last != 0)
        Q_EMIT terminationRequested(last);
}
